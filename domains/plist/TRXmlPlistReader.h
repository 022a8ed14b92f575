#pragma once

#include "TRValue.h"

#include <QByteArray>
#include <QString>

namespace pugi {
class xml_node;
}

// Reads an XML 1.0 property list (UTF-8, or UTF-16 with a byte-order mark; entities and CDATA) into a
// value. Strict: unknown tags, text outside values, bad numbers, dates and base64, a key without a value,
// a second root value and nesting deeper than kTRMaxNestingDepth are refused with line and column.
class TRXmlPlistReader
{
public:
    explicit TRXmlPlistReader(const QByteArray &bytes);

    bool read(TRValue *value, QString *error);

private:
    bool readValue(const pugi::xml_node &node, int depth, TRValue *value);
    bool readArray(const pugi::xml_node &node, int depth, TRValue *value);
    bool readDictionary(const pugi::xml_node &node, int depth, TRValue *value);
    // The character data of a leaf element (an element inside it is an error).
    bool leafText(const pugi::xml_node &node, const char **text, QByteArray *joined);
    // Offset of character data before or after the root element, or -1.
    qsizetype junkOutsideRoot() const;
    bool failAt(qsizetype offset, const QString &reason);
    bool failAt(const pugi::xml_node &node, const QString &reason);

    QByteArray m_bytes; // UTF-8
    qsizetype m_bomSize = 0;
    QString m_error;
};
