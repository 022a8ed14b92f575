#include "TROpenStepReader.h"

#include "TRHexDigits.h"
#include "TRLimits.h"
#include "TRPlistScalars.h"
#include "TRText.h"

#include <QStringDecoder>

namespace {

bool isUnquotedCharacter(QChar c)
{
    const char16_t unit = c.unicode();
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
           (unit >= u'0' && unit <= u'9') || unit == u'_' || unit == u'$' || unit == u'/' || unit == u':' ||
           unit == u'.' || unit == u'-' || unit == u'+' || (unit >= 0x80 && !c.isSpace() && unit != 0xfeff);
}

} // namespace

TROpenStepReader::TROpenStepReader(const QByteArray &bytes) : m_bytes(bytes)
{
}

bool TROpenStepReader::fail(qsizetype position, const QString &reason)
{
    qsizetype line = 1;
    qsizetype column = 1;
    TRPlistScalars::lineAndColumn(m_text, position, &line, &column);
    m_error = trFormat(trText("The text property list is malformed at line %@, column %@: %@."),
                       {QString::number(line), QString::number(column), reason});
    return false;
}

bool TROpenStepReader::read(TRValue *value, QString *error)
{
    m_scanOnly = false;
    return run(value, error);
}

bool TROpenStepReader::scan(TRPlistShape *shape, QString *error)
{
    m_scanOnly = true;
    TRValue root;
    if (!run(&root, error))
        return false;
    const bool compound = m_lastKind == TRValue::Kind::Array || m_lastKind == TRValue::Kind::Dictionary;
    *shape = TRPlistShape{m_lastKind, compound ? m_lastCount : 0, m_values};
    return true;
}

bool TROpenStepReader::run(TRValue *value, QString *error)
{
    *value = TRValue();
    m_values = 0;
    const bool ok = [&] {
        const auto *raw = reinterpret_cast<const unsigned char *>(m_bytes.constData());
        if (m_bytes.size() >= 2 &&
            ((raw[0] == 0xfe && raw[1] == 0xff) || (raw[0] == 0xff && raw[1] == 0xfe))) {
            QStringDecoder decoder(raw[0] == 0xfe ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
            m_text = decoder.decode(m_bytes);
            if (decoder.hasError() || m_bytes.size() % 2 != 0) {
                m_error = trText("The text property list is not valid UTF-16.");
                return false;
            }
        } else {
            const qsizetype skip = m_bytes.startsWith("\xef\xbb\xbf") ? 3 : 0;
            const qsizetype invalid =
                TRPlistScalars::firstInvalidUtf8(m_bytes.constData() + skip, m_bytes.size() - skip);
            if (invalid >= 0) {
                m_error = trFormat(trText("The text property list is not valid UTF-8 at byte %@."),
                                   {QString::number(invalid + skip)});
                return false;
            }
            m_text = TRPlistScalars::textFromUtf8(m_bytes.constData() + skip, m_bytes.size() - skip);
        }
        m_bytes = QByteArray();
        if (!skipSpace())
            return false;
        if (atEnd())
            return fail(m_pos, trText("the text holds no value"));
        const qsizetype start = m_pos;
        if (!readValue(0, value))
            return false;
        if (!skipSpace())
            return false;
        if (!atEnd() && peek() == u'=' && m_lastKind == TRValue::Kind::String) {
            // A strings file: the top-level dictionary has no braces.
            m_pos = start;
            m_values = 1;
            return readEntries(0, QChar(), value);
        }
        if (!atEnd())
            return fail(m_pos, trText("text after the value"));
        return true;
    }();
    if (!ok) {
        *value = TRValue();
        if (error)
            *error = m_error;
    }
    return ok;
}

bool TROpenStepReader::skipSpace()
{
    while (!atEnd()) {
        const QChar c = peek();
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v') {
            ++m_pos;
        } else if (c == u'/' && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == u'/') {
            while (!atEnd() && peek() != u'\n')
                ++m_pos;
        } else if (c == u'/' && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == u'*') {
            const qsizetype end = m_text.indexOf(QStringLiteral("*/"), m_pos + 2);
            if (end < 0)
                return fail(m_pos, trText("unterminated comment"));
            m_pos = end + 2;
        } else {
            break;
        }
    }
    return true;
}

bool TROpenStepReader::readValue(int depth, TRValue *value)
{
    ++m_values;
    const QChar c = peek();
    if (c == u'{' || c == u'(') {
        if (depth >= kTRMaxNestingDepth)
            return fail(m_pos, trFormat(trText("nested deeper than %@ levels"),
                                        {QString::number(kTRMaxNestingDepth)}));
        ++m_pos;
        if (c == u'{')
            return readEntries(depth + 1, QLatin1Char('}'), value);
        TRArray elements;
        qsizetype count = 0;
        for (;;) {
            if (!skipSpace())
                return false;
            if (atEnd())
                return fail(m_pos, trText("unterminated array"));
            if (peek() == u')') {
                ++m_pos;
                break;
            }
            TRValue element;
            if (!readValue(depth + 1, &element))
                return false;
            ++count;
            if (!m_scanOnly)
                elements.append(std::move(element));
            if (!skipSpace())
                return false;
            if (peek() == u',') {
                ++m_pos;
            } else if (peek() != u')') {
                return fail(m_pos, atEnd() ? trText("unterminated array")
                                           : trText("expected \u201c,\u201d or \u201c)\u201d"));
            }
        }
        m_lastKind = TRValue::Kind::Array;
        m_lastCount = count;
        if (!m_scanOnly)
            *value = TRValue::fromArray(std::move(elements));
        return true;
    }
    if (c == u'<') {
        // Typed values and data are rare and small beside strings: a scan reads them too, for their kind.
        TRValue angled;
        if (!readAngled(&angled))
            return false;
        m_lastKind = angled.kind();
        if (!m_scanOnly)
            *value = std::move(angled);
        return true;
    }
    m_lastKind = TRValue::Kind::String;
    if (m_scanOnly)
        return readString(nullptr);
    QString text;
    if (!readString(&text))
        return false;
    *value = TRValue::fromString(text);
    return true;
}

bool TROpenStepReader::readEntries(int depth, QChar terminator, TRValue *value)
{
    TRDictionary entries;
    qsizetype count = 0;
    if (m_scanOnly)
        m_keys.clear(depth);
    for (;;) {
        if (!skipSpace())
            return false;
        if (atEnd()) {
            if (terminator.isNull())
                break;
            return fail(m_pos, trText("unterminated dictionary"));
        }
        if (!terminator.isNull() && peek() == terminator) {
            ++m_pos;
            break;
        }
        const qsizetype keyAt = m_pos;
        QString key;
        // A scan checks the key against the ones before it as soon as it is read, where its characters
        // lie, and reports a repeated one where reading does: once its entry is read.
        bool repeated = false;
        if (!(m_scanOnly ? scanKey(depth, &repeated) : readString(&key)) || !skipSpace())
            return false;
        if (repeated)
            key = m_repeatedKey;
        if (peek() != u'=')
            return fail(m_pos, trText("expected \u201c=\u201d after a key"));
        ++m_pos;
        if (!skipSpace())
            return false;
        if (atEnd())
            return fail(m_pos, trText("a key without a value"));
        TRValue entry;
        if (!readValue(depth, &entry) || !skipSpace())
            return false;
        if (peek() != u';')
            return fail(m_pos, trText("expected \u201c;\u201d after a value"));
        ++m_pos;
        if (m_scanOnly ? repeated : !entries.insert(key, std::move(entry)))
            return fail(keyAt, trFormat(trText("duplicate key \u201c%@\u201d"), {key}));
        ++count;
    }
    m_lastKind = TRValue::Kind::Dictionary;
    m_lastCount = count;
    if (!m_scanOnly)
        *value = TRValue::fromDictionary(std::move(entries));
    return true;
}

bool TROpenStepReader::scanKey(int depth, bool *repeated)
{
    const qsizetype start = m_pos;
    if (!readString(nullptr))
        return false;
    const bool quoted = peekAt(start) == u'"' || peekAt(start) == u'\'';
    QStringView characters = QStringView(m_text).mid(start, m_pos - start);
    if (quoted)
        characters = characters.mid(1, characters.size() - 2);
    // Only a key with escapes is decoded, into a buffer reused for every such key.
    const bool decoded = quoted && characters.contains(u'\\');
    if (decoded) {
        m_pos = start;
        m_decodedKey.resize(0);
        readQuoted(&m_decodedKey);
        characters = m_decodedKey;
    }
    *repeated = !m_keys.insert(
        depth, TRKeySet::Key{characters.utf16(), characters.size(), TRKeySet::Units::Utf16}, decoded);
    if (*repeated)
        m_repeatedKey = characters.toString();
    return true;
}

bool TROpenStepReader::readString(QString *text)
{
    if (peek() == u'"' || peek() == u'\'')
        return readQuoted(text);
    const qsizetype start = m_pos;
    while (!atEnd() && isUnquotedCharacter(peek()))
        ++m_pos;
    if (m_pos == start)
        return fail(m_pos, atEnd() ? trText("unexpected end of text") : trText("unexpected character"));
    if (text)
        *text = m_text.mid(start, m_pos - start);
    return true;
}

bool TROpenStepReader::readQuoted(QString *text)
{
    const QChar quote = peek();
    const qsizetype start = m_pos++;
    const auto append = [text](QChar c) {
        if (text)
            text->append(c);
    };
    for (;;) {
        if (atEnd())
            return fail(start, trText("unterminated string"));
        const QChar c = m_text.at(m_pos++);
        if (c == quote)
            return true;
        if (c != u'\\') {
            append(c);
            continue;
        }
        if (atEnd())
            return fail(start, trText("unterminated string"));
        const qsizetype escapeAt = m_pos - 1;
        const QChar e = m_text.at(m_pos++);
        switch (e.unicode()) {
        case u'a':
            append(QChar(0x07));
            break;
        case u'b':
            append(QChar(0x08));
            break;
        case u'f':
            append(QChar(0x0c));
            break;
        case u'n':
            append(QChar(0x0a));
            break;
        case u'r':
            append(QChar(0x0d));
            break;
        case u't':
            append(QChar(0x09));
            break;
        case u'v':
            append(QChar(0x0b));
            break;
        case u'U':
        case u'u': {
            int code = 0;
            int digits = 0;
            for (; digits < 4 && !atEnd() && trHexDigitValue(peek().unicode()) >= 0; ++digits)
                code = code * 16 + trHexDigitValue(m_text.at(m_pos++).unicode());
            if (digits == 0)
                return fail(escapeAt, trText("a \\U escape without hexadecimal digits"));
            append(QChar(char16_t(code)));
            break;
        }
        default:
            if (e >= u'0' && e <= u'7') {
                int code = e.unicode() - u'0';
                for (int digits = 1; digits < 3 && !atEnd() && peek() >= u'0' && peek() <= u'7'; ++digits)
                    code = code * 8 + (m_text.at(m_pos++).unicode() - u'0');
                append(QChar(char16_t(code)));
            } else {
                append(e);
            }
        }
    }
}

bool TROpenStepReader::readAngled(TRValue *value)
{
    const qsizetype start = m_pos++;
    const qsizetype end = m_text.indexOf(u'>', m_pos);
    if (end < 0)
        return fail(start, trText("unterminated data"));
    const QString body = m_text.mid(m_pos, end - m_pos);
    m_pos = end + 1;
    if (body.startsWith(u'*')) {
        const QByteArray content = body.mid(2).toLatin1();
        const std::string_view view(content.constData(), size_t(content.size()));
        const QChar type = body.size() > 1 ? body.at(1) : QChar();
        if (type == u'I') {
            auto number = TRPlistScalars::parseInteger(view);
            if (!number || body.mid(2).trimmed() != body.mid(2))
                return fail(start, trText("not an integer, or out of range"));
            *value = std::move(*number);
        } else if (type == u'R') {
            const auto number = TRPlistScalars::parseReal(view);
            if (!number || body.mid(2).trimmed() != body.mid(2))
                return fail(start, trText("not a real number, or out of range"));
            *value = TRValue::fromReal(*number);
        } else if (type == u'B') {
            if (body != QLatin1String("*BY") && body != QLatin1String("*BN"))
                return fail(start, trText("a boolean must be <*BY> or <*BN>"));
            *value = TRValue::fromBool(body.at(2) == u'Y');
        } else if (type == u'D') {
            const auto date = TRPlistScalars::parseDescriptionDate(view);
            if (!date || body.mid(2).trimmed() != body.mid(2))
                return fail(start, trText("not a date of the form YYYY-MM-DD hh:mm:ss +zzzz"));
            *value = TRValue::fromDate(*date);
        } else {
            return fail(start, trText("unknown typed value"));
        }
        return true;
    }
    if (body.startsWith(u'[')) {
        if (!body.endsWith(u']'))
            return fail(start, trText("unterminated base64 data"));
        const QByteArray content = body.mid(1, body.size() - 2).toLatin1();
        auto bytes =
            TRPlistScalars::decodeBase64(std::string_view(content.constData(), size_t(content.size())));
        if (!bytes)
            return fail(start, trText("bad base64 data"));
        *value = TRValue::fromData(*bytes);
        return true;
    }
    QByteArray bytes;
    if (!m_scanOnly)
        bytes.reserve(body.size() / 2);
    int high = -1;
    qsizetype highAt = 0;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body.at(i);
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        const int digit = trHexDigitValue(c.unicode());
        if (digit < 0)
            return fail(start + 1 + i, trText("bad hexadecimal digit in data"));
        if (high < 0) {
            high = digit;
            highAt = start + 1 + i;
        } else {
            if (!m_scanOnly)
                bytes.append(char(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0)
        return fail(highAt, trText("odd number of hexadecimal digits in data"));
    *value = TRValue::fromData(bytes);
    return true;
}
