#include "TRKeyPath.h"

QString trKeyPath(const QStringList &names)
{
    QStringList escaped;
    escaped.reserve(names.size());
    for (QString name : names)
        escaped.append(name.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
                           .replace(QLatin1Char('/'), QLatin1String("\\/")));
    return escaped.join(QLatin1Char('/'));
}

QStringList trNamesInKeyPath(const QString &path)
{
    QStringList names;
    if (path.isEmpty())
        return names;
    QString name;
    for (qsizetype at = 0; at < path.size(); ++at) {
        const QChar character = path.at(at);
        if (character == QLatin1Char('\\') && at + 1 < path.size()) {
            name.append(path.at(++at));
        } else if (character == QLatin1Char('/')) {
            names.append(name);
            name.clear();
        } else {
            name.append(character);
        }
    }
    names.append(name);
    return names;
}
