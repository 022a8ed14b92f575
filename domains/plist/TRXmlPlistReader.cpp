#include "TRXmlPlistReader.h"

#include "TRLimits.h"
#include "TRPlistScalars.h"
#include "TRText.h"

#include <QStringDecoder>

#include <pugixml.hpp>

#include <cstring>

namespace {

bool isBlank(const char *text)
{
    for (; *text; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r')
            return false;
    }
    return true;
}

bool isText(const pugi::xml_node &node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

bool isTag(const pugi::xml_node &node, const char *tag)
{
    return std::strcmp(node.name(), tag) == 0;
}

} // namespace

TRXmlPlistReader::TRXmlPlistReader(const QByteArray &bytes)
    : m_bytes(bytes)
{
}

bool TRXmlPlistReader::failAt(qsizetype offset, const QString &reason)
{
    qsizetype line = 0;
    qsizetype column = 0;
    TRPlistScalars::lineAndColumn(m_bytes.constData(), m_bytes.size(), offset + m_bomSize, &line, &column);
    m_error = trFormat(trText("The XML property list is malformed at line %@, column %@: %@."),
                       {QString::number(line), QString::number(column), reason});
    return false;
}

bool TRXmlPlistReader::failAt(const pugi::xml_node &node, const QString &reason)
{
    // The offset of an element points at its name; step back to its '<'.
    ptrdiff_t offset = node.offset_debug();
    if (node.type() == pugi::node_element && offset > 0)
        --offset;
    return failAt(qsizetype(std::max<ptrdiff_t>(offset, 0)), reason);
}

bool TRXmlPlistReader::read(TRValue *value, QString *error)
{
    *value = TRValue();
    const bool ok = [&] {
        const auto *raw = reinterpret_cast<const unsigned char *>(m_bytes.constData());
        if (m_bytes.size() >= 2 && ((raw[0] == 0xfe && raw[1] == 0xff) || (raw[0] == 0xff && raw[1] == 0xfe))) {
            // UTF-16: decoded here so that positions can be given in the text's lines and columns.
            QStringDecoder decoder(raw[0] == 0xfe ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
            const QString text = decoder.decode(m_bytes.sliced(2));
            if (decoder.hasError() || m_bytes.size() % 2 != 0)
                return failAt(0, trText("the text is not valid UTF-16"));
            m_bytes = text.toUtf8();
        } else if (m_bytes.startsWith("\xef\xbb\xbf")) {
            m_bomSize = 3;
        }
        const qsizetype invalid = TRPlistScalars::firstInvalidUtf8(m_bytes.constData(), m_bytes.size());
        if (invalid >= 0)
            return failAt(invalid - m_bomSize, trText("the text is not valid UTF-8"));

        pugi::xml_document document;
        const unsigned options = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol
                                 | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata;
        const pugi::xml_parse_result result = document.load_buffer(m_bytes.constData() + m_bomSize,
                                                                   size_t(m_bytes.size() - m_bomSize), options,
                                                                   pugi::encoding_utf8);
        if (!result) {
            return failAt(qsizetype(result.offset), result.status == pugi::status_no_document_element
                                                        ? trText("no root element")
                                                        : QString::fromUtf8(result.description()));
        }
        // The parser passes over character data outside the root element; a property list has none.
        const qsizetype junk = junkOutsideRoot();
        if (junk >= 0)
            return failAt(junk, trText("text outside the root element"));

        pugi::xml_node plist;
        for (const pugi::xml_node &child : document.children()) {
            if (child.type() == pugi::node_element) {
                if (plist)
                    return failAt(child, trText("a second root element"));
                plist = child;
            } else if (isText(child) && !isBlank(child.value())) {
                return failAt(child, trText("text outside the root element"));
            }
        }
        if (!plist)
            return failAt(0, trText("no root element"));
        if (!isTag(plist, "plist"))
            return failAt(plist, trFormat(trText("unknown root element <%@>"), {QString::fromUtf8(plist.name())}));
        if (!isBlank(plist.value()))
            return failAt(plist, trText("text outside a value"));
        pugi::xml_node root;
        for (const pugi::xml_node &child : plist.children()) {
            if (child.type() == pugi::node_element) {
                if (root)
                    return failAt(child, trText("a second root object"));
                root = child;
            } else if (isText(child) && !isBlank(child.value())) {
                return failAt(child, trText("text outside a value"));
            }
        }
        if (!root)
            return failAt(plist, trText("the property list holds no value"));
        return readValue(root, 0, value);
    }();
    if (!ok) {
        *value = TRValue();
        if (error)
            *error = m_error;
    }
    return ok;
}

qsizetype TRXmlPlistReader::junkOutsideRoot() const
{
    const char *data = m_bytes.constData() + m_bomSize;
    const qsizetype size = m_bytes.size() - m_bomSize;
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    qsizetype first = 0;
    while (first < size && isSpace(data[first]))
        ++first;
    if (first < size && data[first] != '<')
        return first;
    qsizetype last = size - 1;
    while (last >= 0 && isSpace(data[last]))
        --last;
    if (last >= 0 && data[last] != '>') {
        while (last > 0 && data[last - 1] != '>')
            --last;
        return last;
    }
    return -1;
}

bool TRXmlPlistReader::leafText(const pugi::xml_node &node, const char **text, QByteArray *joined)
{
    *text = node.value();
    if (!node.first_child())
        return true;
    // Character data split by CDATA sections or comments.
    joined->clear();
    joined->append(*text);
    for (const pugi::xml_node &child : node.children()) {
        if (child.type() == pugi::node_element)
            return failAt(child, trFormat(trText("unexpected element inside <%@>"), {QString::fromUtf8(node.name())}));
        if (isText(child))
            joined->append(child.value());
    }
    *text = joined->constData();
    return true;
}

bool TRXmlPlistReader::readValue(const pugi::xml_node &node, int depth, TRValue *value)
{
    const char *tag = node.name();
    if (isTag(node, "dict"))
        return readDictionary(node, depth, value);
    if (isTag(node, "array"))
        return readArray(node, depth, value);

    const char *text = nullptr;
    QByteArray joined;
    if (!leafText(node, &text, &joined))
        return false;
    switch (tag[0]) {
    case 's':
        if (std::strcmp(tag, "string") == 0) {
            *value = TRValue::fromString(QString::fromUtf8(text));
            return true;
        }
        break;
    case 'i':
        if (std::strcmp(tag, "integer") == 0) {
            auto number = TRPlistScalars::parseInteger(text);
            if (!number)
                return failAt(node, trText("not an integer, or out of range"));
            *value = std::move(*number);
            return true;
        }
        break;
    case 'r':
        if (std::strcmp(tag, "real") == 0) {
            const auto number = TRPlistScalars::parseReal(text);
            if (!number)
                return failAt(node, trText("not a real number, or out of range"));
            *value = TRValue::fromReal(*number);
            return true;
        }
        break;
    case 't':
    case 'f':
        if (std::strcmp(tag, "true") == 0 || std::strcmp(tag, "false") == 0) {
            if (!isBlank(text))
                return failAt(node, trText("text inside a boolean"));
            *value = TRValue::fromBool(tag[0] == 't');
            return true;
        }
        break;
    case 'd':
        if (std::strcmp(tag, "date") == 0) {
            const auto date = TRPlistScalars::parseIsoDate(text);
            if (!date)
                return failAt(node, trText("not a date of the form YYYY-MM-DDThh:mm:ssZ"));
            *value = TRValue::fromDate(*date);
            return true;
        }
        if (std::strcmp(tag, "data") == 0) {
            auto bytes = TRPlistScalars::decodeBase64(text);
            if (!bytes)
                return failAt(node, trText("bad base64 data"));
            *value = TRValue::fromData(*bytes);
            return true;
        }
        break;
    case 'k':
        if (std::strcmp(tag, "key") == 0)
            return failAt(node, trText("a key outside a dictionary"));
        break;
    default:
        break;
    }
    return failAt(node, trFormat(trText("unknown element <%@>"), {QString::fromUtf8(tag)}));
}

bool TRXmlPlistReader::readArray(const pugi::xml_node &node, int depth, TRValue *value)
{
    if (depth >= kTRMaxNestingDepth)
        return failAt(node, trFormat(trText("nested deeper than %@ levels"), {QString::number(kTRMaxNestingDepth)}));
    if (!isBlank(node.value()))
        return failAt(node, trText("text outside a value"));
    TRArray elements;
    for (const pugi::xml_node &child : node.children()) {
        if (child.type() == pugi::node_element) {
            TRValue element;
            if (!readValue(child, depth + 1, &element))
                return false;
            elements.append(std::move(element));
        } else if (isText(child) && !isBlank(child.value())) {
            return failAt(child, trText("text outside a value"));
        }
    }
    *value = TRValue::fromArray(std::move(elements));
    return true;
}

bool TRXmlPlistReader::readDictionary(const pugi::xml_node &node, int depth, TRValue *value)
{
    if (depth >= kTRMaxNestingDepth)
        return failAt(node, trFormat(trText("nested deeper than %@ levels"), {QString::number(kTRMaxNestingDepth)}));
    if (!isBlank(node.value()))
        return failAt(node, trText("text outside a value"));
    TRDictionary entries;
    pugi::xml_node key;
    QString keyText;
    QByteArray joined;
    for (const pugi::xml_node &child : node.children()) {
        if (child.type() != pugi::node_element) {
            if (isText(child) && !isBlank(child.value()))
                return failAt(child, trText("text outside a value"));
            continue;
        }
        if (!key) {
            if (!isTag(child, "key"))
                return failAt(child, trText("a value without a key"));
            const char *text = nullptr;
            if (!leafText(child, &text, &joined))
                return false;
            key = child;
            keyText = QString::fromUtf8(text);
            continue;
        }
        if (isTag(child, "key"))
            return failAt(key, trText("a key without a value"));
        TRValue entry;
        if (!readValue(child, depth + 1, &entry))
            return false;
        if (!entries.insert(keyText, std::move(entry)))
            return failAt(key, trFormat(trText("duplicate key \u201c%@\u201d"), {keyText}));
        key = pugi::xml_node();
    }
    if (key)
        return failAt(key, trText("a key without a value"));
    *value = TRValue::fromDictionary(std::move(entries));
    return true;
}
