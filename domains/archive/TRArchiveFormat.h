#pragma once

#include <QString>

// The $version every keyed archive carries.
inline constexpr qint64 kTRArchiveVersion = 100000;

// The record key under which a keyed archive stores the index-th value coded without a key: "$0", "$1", ...
inline QString trCodedValueKey(int index)
{
    static const QString common[] = {QStringLiteral("$0"), QStringLiteral("$1"), QStringLiteral("$2"),
                                     QStringLiteral("$3")};
    if (index >= 0 && index < 4)
        return common[index];
    return QLatin1Char('$') + QString::number(index);
}
