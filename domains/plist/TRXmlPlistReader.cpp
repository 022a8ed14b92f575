#include "TRXmlPlistReader.h"

#include "TRLimits.h"
#include "TRPlistScalars.h"
#include "TRText.h"

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isBlank(std::string_view text)
{
    for (const char c : text) {
        if (!isSpace(c))
            return false;
    }
    return true;
}

} // namespace

TRXmlPlistReader::TRXmlPlistReader(const QByteArray &bytes) : m_tokens(bytes)
{
}

bool TRXmlPlistReader::read(TRValue *value, QString *error)
{
    m_scanOnly = false;
    return run(value, error);
}

bool TRXmlPlistReader::scan(TRPlistShape *shape, QString *error)
{
    m_scanOnly = true;
    m_shape = TRPlistShape();
    TRValue root;
    if (!run(&root, error))
        return false;
    if (!root.isNone())
        m_shape.rootKind = root.kind();
    *shape = m_shape;
    return true;
}

bool TRXmlPlistReader::run(TRValue *value, QString *error)
{
    *value = TRValue();
    Tag root;
    Tag tag;
    const bool ok = m_tokens.open() && m_tokens.openRoot(&root, &tag) && readValue(tag, 0, value) &&
                    m_tokens.closeRoot(root);
    m_pendingElements.clear();
    m_pendingEntries.clear();
    if (!ok) {
        *value = TRValue();
        if (error)
            *error = m_tokens.error();
    }
    return ok;
}

bool TRXmlPlistReader::readValue(const Tag &tag, int depth, TRValue *value)
{
    ++m_shape.expandedValues;
    // A scan keeps only the root's own value, and that only when it is a leaf.
    const bool keep = !m_scanOnly || depth == 0;
    const std::string_view name = tag.name;
    if (name == "dict")
        return readDictionary(tag, depth, value);
    if (name == "array")
        return readArray(tag, depth, value);
    std::string_view text;
    if (name == "string") {
        if (!m_tokens.readText(tag, &text))
            return false;
        if (keep)
            *value = TRValue::fromString(TRPlistScalars::textFromUtf8(text.data(), qsizetype(text.size())));
        return true;
    }
    if (name == "integer") {
        if (!m_tokens.readText(tag, &text))
            return false;
        auto number = TRPlistScalars::parseInteger(text);
        if (!number)
            return m_tokens.fail(tag.at, trText("not an integer, or out of range"));
        if (keep)
            *value = std::move(*number);
        return true;
    }
    if (name == "real") {
        if (!m_tokens.readText(tag, &text))
            return false;
        const auto number = TRPlistScalars::parseReal(text);
        if (!number)
            return m_tokens.fail(tag.at, trText("not a real number, or out of range"));
        if (keep)
            *value = TRValue::fromReal(*number);
        return true;
    }
    if (name == "true" || name == "false") {
        if (!m_tokens.readText(tag, &text))
            return false;
        if (!isBlank(text))
            return m_tokens.fail(tag.at, trText("text inside a boolean"));
        if (keep)
            *value = TRValue::fromBool(name == "true");
        return true;
    }
    if (name == "date") {
        if (!m_tokens.readText(tag, &text))
            return false;
        const auto date = TRPlistScalars::parseIsoDate(text);
        if (!date)
            return m_tokens.fail(tag.at, trText("not a date of the form YYYY-MM-DDThh:mm:ssZ"));
        if (keep)
            *value = TRValue::fromDate(*date);
        return true;
    }
    if (name == "data") {
        if (!m_tokens.readText(tag, &text))
            return false;
        auto bytes = TRPlistScalars::decodeBase64(text);
        if (!bytes)
            return m_tokens.fail(tag.at, trText("bad base64 data"));
        if (keep)
            *value = TRValue::fromData(*bytes);
        return true;
    }
    if (name == "key")
        return m_tokens.fail(tag.at, trText("a key outside a dictionary"));
    return m_tokens.fail(tag.at,
                         trFormat(trText("unknown element <%@>"), {TRXmlPlistTokenizer::nameText(name)}));
}

bool TRXmlPlistReader::readArray(const Tag &tag, int depth, TRValue *value)
{
    if (depth >= kTRMaxNestingDepth)
        return m_tokens.fail(
            tag.at, trFormat(trText("nested deeper than %@ levels"), {QString::number(kTRMaxNestingDepth)}));
    // Elements wait on a stack shared by all levels, so that each array is allocated once at its size.
    const size_t start = m_pendingElements.size();
    qsizetype count = 0;
    if (!tag.empty) {
        for (;;) {
            Tag child;
            bool closed = false;
            if (!m_tokens.nextChild(tag, &child, &closed))
                return false;
            if (closed)
                break;
            TRValue element;
            if (!readValue(child, depth + 1, &element))
                return false;
            ++count;
            if (!m_scanOnly)
                m_pendingElements.push_back(std::move(element));
        }
    }
    if (m_scanOnly) {
        if (depth == 0)
            m_shape = TRPlistShape{TRValue::Kind::Array, count, m_shape.expandedValues};
        return true;
    }
    TRArray elements;
    elements.reserve(qsizetype(m_pendingElements.size() - start));
    for (size_t i = start; i < m_pendingElements.size(); ++i)
        elements.append(std::move(m_pendingElements[i]));
    m_pendingElements.resize(start);
    *value = TRValue::fromArray(std::move(elements));
    return true;
}

bool TRXmlPlistReader::readDictionary(const Tag &tag, int depth, TRValue *value)
{
    if (depth >= kTRMaxNestingDepth)
        return m_tokens.fail(
            tag.at, trFormat(trText("nested deeper than %@ levels"), {QString::number(kTRMaxNestingDepth)}));
    const size_t start = m_pendingEntries.size();
    // A scan checks each key as it comes, against the keys before it where they lie, and holds the first
    // repeated one back until the whole dictionary is read, as reading does.
    qsizetype count = 0;
    qsizetype repeatedAt = -1;
    QString repeated;
    if (m_scanOnly)
        m_keys.clear(depth);
    if (!tag.empty) {
        for (;;) {
            Tag keyTag;
            bool closed = false;
            if (!m_tokens.nextChild(tag, &keyTag, &closed))
                return false;
            if (closed)
                break;
            if (keyTag.name != "key")
                return m_tokens.fail(keyTag.at, trText("a value without a key"));
            std::string_view text;
            if (!m_tokens.readText(keyTag, &text))
                return false;
            if (m_scanOnly) {
                // Valid UTF-8, so equal bytes are equal characters; resolved text lies in a reused buffer.
                const TRKeySet::Key key{text.data(), qsizetype(text.size()), TRKeySet::Units::Utf8};
                if (!m_keys.insert(depth, key, !m_tokens.inPlace(text)) && repeatedAt < 0) {
                    repeatedAt = keyTag.at;
                    repeated = TRPlistScalars::textFromUtf8(text.data(), qsizetype(text.size()));
                }
            }
            PendingEntry entry{m_scanOnly ? QString()
                                          : TRPlistScalars::textFromUtf8(text.data(), qsizetype(text.size())),
                               TRValue(), keyTag.at};
            Tag valueTag;
            if (!m_tokens.nextChild(tag, &valueTag, &closed))
                return false;
            if (closed || valueTag.name == "key")
                return m_tokens.fail(keyTag.at, trText("a key without a value"));
            if (!readValue(valueTag, depth + 1, &entry.value))
                return false;
            ++count;
            if (!m_scanOnly)
                m_pendingEntries.push_back(std::move(entry));
        }
    }
    if (m_scanOnly) {
        if (repeatedAt >= 0)
            return m_tokens.fail(repeatedAt, trFormat(trText("duplicate key \u201c%@\u201d"), {repeated}));
        if (depth == 0)
            m_shape = TRPlistShape{TRValue::Kind::Dictionary, count, m_shape.expandedValues};
        return true;
    }
    TRDictionary entries;
    entries.reserve(qsizetype(m_pendingEntries.size() - start));
    for (size_t i = start; i < m_pendingEntries.size(); ++i) {
        PendingEntry &entry = m_pendingEntries[i];
        if (!entries.insert(entry.key, std::move(entry.value)))
            return m_tokens.fail(entry.keyAt, trFormat(trText("duplicate key \u201c%@\u201d"), {entry.key}));
    }
    m_pendingEntries.resize(start);
    *value = TRValue::fromDictionary(std::move(entries));
    return true;
}
