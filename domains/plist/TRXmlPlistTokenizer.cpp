#include "TRXmlPlistTokenizer.h"

#include "TRHexDigits.h"
#include "TRPlistScalars.h"
#include "TRText.h"

#include <QStringDecoder>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool isNameChar(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

// Characters XML 1.0 allows, also as character references.
bool isXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xa || c == 0xd || (c >= 0x20 && c <= 0xd7ff) || (c >= 0xe000 && c <= 0xfffd) ||
           (c >= 0x10000 && c <= 0x10ffff);
}

void appendUtf8(std::string *out, char32_t c)
{
    if (c < 0x80) {
        out->push_back(char(c));
    } else if (c < 0x800) {
        out->push_back(char(0xc0 | c >> 6));
        out->push_back(char(0x80 | (c & 0x3f)));
    } else if (c < 0x10000) {
        out->push_back(char(0xe0 | c >> 12));
        out->push_back(char(0x80 | (c >> 6 & 0x3f)));
        out->push_back(char(0x80 | (c & 0x3f)));
    } else {
        out->push_back(char(0xf0 | c >> 18));
        out->push_back(char(0x80 | (c >> 12 & 0x3f)));
        out->push_back(char(0x80 | (c >> 6 & 0x3f)));
        out->push_back(char(0x80 | (c & 0x3f)));
    }
}

} // namespace

TRXmlPlistTokenizer::TRXmlPlistTokenizer(const QByteArray &bytes) : m_bytes(bytes)
{
}

QString TRXmlPlistTokenizer::nameText(std::string_view name)
{
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

bool TRXmlPlistTokenizer::fail(qsizetype offset, const QString &reason)
{
    qsizetype line = 0;
    qsizetype column = 0;
    TRPlistScalars::lineAndColumn(m_data, m_size, offset, &line, &column);
    m_error = trFormat(trText("The XML property list is malformed at line %@, column %@: %@."),
                       {QString::number(line), QString::number(column), reason});
    return false;
}

bool TRXmlPlistTokenizer::open()
{
    const auto *raw = reinterpret_cast<const unsigned char *>(m_bytes.constData());
    qsizetype skip = 0;
    if (m_bytes.size() >= 2 && ((raw[0] == 0xfe && raw[1] == 0xff) || (raw[0] == 0xff && raw[1] == 0xfe))) {
        // UTF-16 (the decoder drops the byte-order mark, and only that) is read as UTF-8, so that positions
        // are counted the same way for both.
        QStringDecoder decoder(raw[0] == 0xfe ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
        const QString text = decoder.decode(m_bytes);
        if (decoder.hasError() || m_bytes.size() % 2 != 0) {
            m_error = trText("The XML property list is not valid UTF-16.");
            return false;
        }
        m_bytes = text.toUtf8();
    } else if (m_bytes.startsWith("\xef\xbb\xbf")) {
        skip = 3;
    }
    m_data = m_bytes.constData() + skip;
    m_size = m_bytes.size() - skip;
    const qsizetype invalid = TRPlistScalars::firstInvalidUtf8(m_data, m_size);
    return invalid < 0 || fail(invalid, trText("the text is not valid UTF-8"));
}
bool TRXmlPlistTokenizer::startsWith(std::string_view text) const
{
    return std::string_view(m_data + m_pos, size_t(m_size - m_pos)).substr(0, text.size()) == text;
}

void TRXmlPlistTokenizer::skipSpace()
{
    while (m_pos < m_size && isSpace(m_data[m_pos]))
        ++m_pos;
}

bool TRXmlPlistTokenizer::skipMarkup(bool *skipped)
{
    *skipped = false;
    const qsizetype start = m_pos;
    const std::string_view rest(m_data + m_pos, size_t(m_size - m_pos));
    if (startsWith("<!--")) {
        const size_t end = rest.find("-->", 4);
        if (end == std::string_view::npos)
            return fail(start, trText("unterminated comment"));
        m_pos += qsizetype(end + 3);
        *skipped = true;
    } else if (startsWith("<?")) {
        const size_t end = rest.find("?>", 2);
        if (end == std::string_view::npos)
            return fail(start, trText("unterminated processing instruction"));
        m_pos += qsizetype(end + 2);
        *skipped = true;
    }
    return true;
}

bool TRXmlPlistTokenizer::skipDoctype()
{
    const qsizetype start = m_pos;
    char quote = 0;
    int brackets = 0;
    for (m_pos += 9; m_pos < m_size; ++m_pos) {
        const char c = m_data[m_pos];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (startsWith("<!--")) {
            bool skipped = false;
            if (!skipMarkup(&skipped))
                return false;
            --m_pos;
        } else if (c == '[') {
            ++brackets;
        } else if (c == ']') {
            --brackets;
        } else if (c == '>' && brackets <= 0) {
            ++m_pos;
            return true;
        }
    }
    return fail(start, trText("unterminated DOCTYPE"));
}

bool TRXmlPlistTokenizer::readName(std::string_view *name)
{
    const qsizetype start = m_pos;
    if (m_pos >= m_size || !isNameStart(m_data[m_pos]))
        return fail(m_pos, trText("malformed tag"));
    while (m_pos < m_size && isNameChar(m_data[m_pos]))
        ++m_pos;
    *name = std::string_view(m_data + start, size_t(m_pos - start));
    return true;
}

bool TRXmlPlistTokenizer::readStartTag(Tag *tag)
{
    tag->at = m_pos++;
    if (!readName(&tag->name))
        return false;
    for (;;) {
        const qsizetype before = m_pos;
        skipSpace();
        if (m_pos >= m_size)
            return fail(tag->at, trText("unterminated tag"));
        if (m_data[m_pos] == '>') {
            ++m_pos;
            tag->empty = false;
            return true;
        }
        if (startsWith("/>")) {
            m_pos += 2;
            tag->empty = true;
            return true;
        }
        // An attribute (the plist element's version); its value is not needed.
        std::string_view attribute;
        if (m_pos == before || !readName(&attribute))
            return fail(m_pos, trText("malformed tag"));
        skipSpace();
        if (m_pos >= m_size || m_data[m_pos] != '=')
            return fail(m_pos, trText("malformed attribute"));
        ++m_pos;
        skipSpace();
        if (m_pos >= m_size || (m_data[m_pos] != '"' && m_data[m_pos] != '\''))
            return fail(m_pos, trText("malformed attribute"));
        const char quote = m_data[m_pos++];
        while (m_pos < m_size && m_data[m_pos] != quote) {
            if (m_data[m_pos] == '<')
                return fail(m_pos, trText("malformed attribute"));
            ++m_pos;
        }
        if (m_pos >= m_size)
            return fail(tag->at, trText("unterminated tag"));
        ++m_pos;
    }
}

bool TRXmlPlistTokenizer::readEndTag(const Tag &open)
{
    const qsizetype at = m_pos;
    m_pos += 2;
    std::string_view name;
    if (!readName(&name))
        return false;
    skipSpace();
    if (m_pos >= m_size || m_data[m_pos] != '>')
        return fail(m_pos, trText("malformed tag"));
    ++m_pos;
    if (name != open.name) {
        return fail(at, trFormat(trText("</%@> does not close <%@>"), {nameText(name), nameText(open.name)}));
    }
    return true;
}

bool TRXmlPlistTokenizer::nextChild(const Tag &parent, Tag *child, bool *closed)
{
    *closed = false;
    for (;;) {
        skipSpace();
        if (m_pos >= m_size)
            return fail(parent.at, trFormat(trText("<%@> is not closed"), {nameText(parent.name)}));
        if (m_data[m_pos] != '<')
            return fail(m_pos, trText("text outside a value"));
        bool skipped = false;
        if (!skipMarkup(&skipped))
            return false;
        if (skipped)
            continue;
        if (startsWith("</")) {
            *closed = true;
            return readEndTag(parent);
        }
        if (startsWith("<!"))
            return fail(m_pos, trText("text outside a value"));
        return readStartTag(child);
    }
}

bool TRXmlPlistTokenizer::openRoot(Tag *root, Tag *value)
{
    m_pos = 0;
    bool sawDoctype = false;
    for (;;) {
        skipSpace();
        if (m_pos >= m_size)
            return fail(m_pos, trText("no root element"));
        if (m_data[m_pos] != '<')
            return fail(m_pos, trText("text outside the root element"));
        bool skipped = false;
        if (!skipMarkup(&skipped))
            return false;
        if (skipped)
            continue;
        if (startsWith("<!DOCTYPE") && !sawDoctype) {
            sawDoctype = true;
            if (!skipDoctype())
                return false;
            continue;
        }
        if (startsWith("<!") || startsWith("</"))
            return fail(m_pos, trText("malformed tag"));
        if (!readStartTag(root))
            return false;
        break;
    }
    if (root->name != "plist")
        return fail(root->at, trFormat(trText("unknown root element <%@>"), {nameText(root->name)}));
    if (root->empty)
        return fail(root->at, trText("the property list holds no value"));
    bool closed = false;
    if (!nextChild(*root, value, &closed))
        return false;
    if (closed)
        return fail(root->at, trText("the property list holds no value"));
    return true;
}

bool TRXmlPlistTokenizer::closeRoot(const Tag &root)
{
    Tag tag;
    bool closed = false;
    if (!nextChild(root, &tag, &closed))
        return false;
    if (!closed)
        return fail(tag.at, trText("a second root object"));
    for (;;) {
        skipSpace();
        if (m_pos >= m_size)
            return true;
        if (m_data[m_pos] != '<')
            return fail(m_pos, trText("text outside the root element"));
        bool skipped = false;
        if (!skipMarkup(&skipped))
            return false;
        if (!skipped)
            return fail(m_pos, trText("a second root element"));
    }
}
bool TRXmlPlistTokenizer::appendReference()
{
    const qsizetype start = m_pos;
    const std::string_view rest(m_data + m_pos + 1, size_t(std::min<qsizetype>(m_size - m_pos - 1, 12)));
    const size_t end = rest.find(';');
    if (end == std::string_view::npos || end == 0)
        return fail(start, trText("a lone \u201c&\u201d or a malformed entity"));
    const std::string_view name = rest.substr(0, end);
    m_pos += qsizetype(end) + 2;
    if (name == "amp") {
        m_text.push_back('&');
    } else if (name == "lt") {
        m_text.push_back('<');
    } else if (name == "gt") {
        m_text.push_back('>');
    } else if (name == "quot") {
        m_text.push_back('"');
    } else if (name == "apos") {
        m_text.push_back('\'');
    } else if (name[0] == '#') {
        const bool hex = name.size() > 1 && name[1] == 'x';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        char32_t code = 0;
        if (digits.empty())
            return fail(start, trText("bad character reference"));
        for (const char c : digits) {
            int digit = trHexDigitValue(char32_t(quint8(c)));
            if (!hex && digit >= 10)
                digit = -1;
            if (digit < 0 || code > 0x10ffff)
                return fail(start, trText("bad character reference"));
            code = code * (hex ? 16 : 10) + char32_t(digit);
        }
        if (!isXmlCharacter(code))
            return fail(start, trText("a character reference to a character XML does not allow"));
        appendUtf8(&m_text, code);
    } else {
        return fail(start, trFormat(trText("unknown entity \u201c&%@;\u201d"), {nameText(name)}));
    }
    return true;
}

bool TRXmlPlistTokenizer::readText(const Tag &tag, std::string_view *text)
{
    *text = std::string_view();
    if (tag.empty)
        return true;
    // Plain character data is used where it stands; the buffer is only for resolved text.
    bool buffered = false;
    qsizetype start = m_pos;
    const auto toBuffer = [&] {
        if (!buffered) {
            m_text.clear();
            buffered = true;
        }
        m_text.append(m_data + start, size_t(m_pos - start));
    };
    for (;;) {
        if (m_pos >= m_size)
            return fail(tag.at, trFormat(trText("<%@> is not closed"), {nameText(tag.name)}));
        const char c = m_data[m_pos];
        if (c == '<' && startsWith("</")) {
            std::string_view plain(m_data + start, size_t(m_pos - start));
            if (buffered) {
                m_text.append(plain);
                plain = m_text;
            }
            if (!readEndTag(tag))
                return false;
            *text = plain;
            return true;
        }
        if (c == '<') {
            toBuffer();
            if (startsWith("<![CDATA[")) {
                const std::string_view rest(m_data + m_pos, size_t(m_size - m_pos));
                const size_t end = rest.find("]]>", 9);
                if (end == std::string_view::npos)
                    return fail(m_pos, trText("unterminated CDATA section"));
                for (size_t i = 9; i < end; ++i) {
                    // Line ends inside CDATA are normalised too.
                    if (rest[i] == '\r') {
                        m_text.push_back('\n');
                        if (i + 1 < end && rest[i + 1] == '\n')
                            ++i;
                    } else {
                        m_text.push_back(rest[i]);
                    }
                }
                m_pos += qsizetype(end + 3);
            } else {
                bool skipped = false;
                if (!skipMarkup(&skipped))
                    return false;
                if (!skipped)
                    return fail(m_pos,
                                trFormat(trText("unexpected element inside <%@>"), {nameText(tag.name)}));
            }
        } else if (c == '&') {
            toBuffer();
            if (!appendReference())
                return false;
        } else if (c == '\r') {
            toBuffer();
            m_text.push_back('\n');
            m_pos += m_pos + 1 < m_size && m_data[m_pos + 1] == '\n' ? 2 : 1;
        } else if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') {
            return fail(m_pos, trText("a character XML does not allow"));
        } else {
            ++m_pos;
            continue;
        }
        start = m_pos;
    }
}
