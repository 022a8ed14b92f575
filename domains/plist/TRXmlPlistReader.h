#pragma once

#include "TRPlistShape.h"
#include "TRValue.h"

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

// Reads an XML 1.0 property list (UTF-8, or UTF-16 with a byte-order mark) in one streaming pass that
// builds the values directly, with no document tree: entities, character references, CDATA, comments,
// processing instructions and the DOCTYPE are understood. Strict: malformed XML, unknown tags, text
// outside values, bad numbers, dates and base64, a key without a value, a second root value and nesting
// deeper than kTRMaxNestingDepth are refused with line and column.
class TRXmlPlistReader
{
public:
    explicit TRXmlPlistReader(const QByteArray &bytes);

    bool read(TRValue *value, QString *error);
    // Checks the whole text exactly as read() does, refusing the same files with the same messages, but
    // builds no values beyond the dictionary keys that the duplicate check needs.
    bool scan(TRPlistShape *shape, QString *error);

private:
    struct Tag
    {
        std::string_view name;
        qsizetype at = 0; // offset of its '<'
        bool empty = false;
    };

    bool run(TRValue *value, QString *error);
    bool readDocument(TRValue *value);
    bool readValue(const Tag &tag, int depth, TRValue *value);
    bool readArray(const Tag &tag, int depth, TRValue *value);
    bool readDictionary(const Tag &tag, int depth, TRValue *value);
    // Moves to the next child start tag of an open element; *closed is set instead at its end tag.
    bool nextChild(const Tag &parent, Tag *child, bool *closed);
    // The character data of a leaf element up to its end tag, entities resolved.
    bool readText(const Tag &tag, std::string_view *text);
    bool readStartTag(Tag *tag);
    bool readEndTag(const Tag &open);
    bool readName(std::string_view *name);
    bool skipMarkup(bool *skipped); // comments and processing instructions
    bool skipDoctype();
    bool appendReference(); // at '&'
    void skipSpace();
    bool startsWith(std::string_view text) const;
    bool fail(qsizetype offset, const QString &reason);

    struct PendingEntry
    {
        QString key;
        TRValue value;
        qsizetype keyAt = 0;
    };

    QByteArray m_bytes; // UTF-8
    const char *m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_pos = 0;
    std::string m_text;
    std::vector<TRValue> m_pendingElements;
    std::vector<PendingEntry> m_pendingEntries;
    QString m_error;
    // Scanning: values are checked and counted, not kept (the root's leaf value excepted).
    bool m_scanOnly = false;
    TRPlistShape m_shape;
};
