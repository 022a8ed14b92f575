#include "TRText.h"

#include "TRFormText.h"

#include <QCoreApplication>

QString trText(const char *english)
{
    return QCoreApplication::translate(kTamrixTextContext, english);
}

QString trFormText(const char *english, const char * /*disambiguation*/)
{
    return trText(english);
}

namespace {

bool isSlotKind(QChar c)
{
    return c == u'@' || c == u'd' || c == u'C';
}

} // namespace

// A numbered slot ("%2$@") takes that argument instead of the next one, so a translation can reorder
// them; unnumbered slots after it continue from the argument following it.
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
            continue;
        }
        // "%N$@": a numbered slot, counted from 1.
        qsizetype end = i + 1;
        qsizetype number = 0;
        while (end < pattern.size() && pattern.at(end).isDigit() && number < 1000)
            number = number * 10 + pattern.at(end++).digitValue();
        if (end > i + 1 && end + 1 < pattern.size() && pattern.at(end) == u'$' &&
            isSlotKind(pattern.at(end + 1))) {
            if (number >= 1 && number <= arguments.size()) {
                result.append(arguments.at(number - 1));
                next = number;
                i = end + 1;
                continue;
            }
        } else if (isSlotKind(slot) && next < arguments.size()) {
            result.append(arguments.at(next++));
            ++i;
            continue;
        }
        result.append(c);
    }
    return result;
}
