#include "TRText.h"

#include <QCoreApplication>

QString trText(const char *english)
{
    return QCoreApplication::translate(kTamrixTextContext, english);
}

QString trFormat(const QString &pattern, const QStringList &arguments)
{
    QString result;
    result.reserve(pattern.size() + 16);
    qsizetype next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c != u'%' || i + 1 >= pattern.size()) {
            result.append(c);
            continue;
        }
        const QChar slot = pattern.at(i + 1);
        if (slot == u'%') {
            result.append(u'%');
            ++i;
        } else if ((slot == u'@' || slot == u'd' || slot == u'C') && next < arguments.size()) {
            result.append(arguments.at(next++));
            ++i;
        } else {
            result.append(c);
        }
    }
    return result;
}
