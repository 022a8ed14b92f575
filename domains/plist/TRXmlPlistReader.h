#pragma once

#include "TRKeySet.h"
#include "TRPlistShape.h"
#include "TRValue.h"
#include "TRXmlPlistTokenizer.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Reads an XML 1.0 property list (UTF-8, or UTF-16 with a byte-order mark) in one streaming pass that
// builds the values directly, with no document tree (TRXmlPlistTokenizer reads the markup). Strict:
// malformed XML, unknown tags, text outside values, bad numbers, dates and base64, a key without a value,
// a second root value and nesting deeper than kTRMaxNestingDepth are refused with line and column.
class TRXmlPlistReader
{
public:
    explicit TRXmlPlistReader(const QByteArray &bytes);

    bool read(TRValue *value, QString *error);
    // Checks the whole text exactly as read() does, refusing the same files with the same messages, but
    // builds no values.
    bool scan(TRPlistShape *shape, QString *error);

private:
    using Tag = TRXmlPlistTokenizer::Tag;

    bool run(TRValue *value, QString *error);
    bool readValue(const Tag &tag, int depth, TRValue *value);
    bool readArray(const Tag &tag, int depth, TRValue *value);
    bool readDictionary(const Tag &tag, int depth, TRValue *value);

    struct PendingEntry
    {
        QString key;
        TRValue value;
        qsizetype keyAt = 0;
    };

    TRXmlPlistTokenizer m_tokens;
    std::vector<TRValue> m_pendingElements;
    std::vector<PendingEntry> m_pendingEntries;
    // Scanning: values are checked and counted, not kept (the root's leaf value excepted).
    bool m_scanOnly = false;
    TRPlistShape m_shape;
    TRKeySet m_keys;
};
