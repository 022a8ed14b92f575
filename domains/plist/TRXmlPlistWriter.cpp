#include "TRXmlPlistWriter.h"

#include "TRLimits.h"
#include "TRPlistScalars.h"
#include "TRText.h"

#include <charconv>

namespace {

bool canWriteValue(const TRValue &value, int depth)
{
    switch (value.kind()) {
    case TRValue::Kind::None:
    case TRValue::Kind::Uid:
        return false;
    case TRValue::Kind::String:
        return TRXmlPlistWriter::canWriteText(value.stringView());
    case TRValue::Kind::Date:
        return TRPlistScalars::hasIsoForm(value.toDate());
    case TRValue::Kind::Array:
        if (depth >= kTRMaxNestingDepth)
            return false;
        for (const TRValue &element : value.toArray()) {
            if (!canWriteValue(element, depth + 1))
                return false;
        }
        return true;
    case TRValue::Kind::Dictionary:
        if (depth >= kTRMaxNestingDepth)
            return false;
        for (const auto &entry : value.toDictionary()) {
            if (!TRXmlPlistWriter::canWriteText(entry.first) || !canWriteValue(entry.second, depth + 1))
                return false;
        }
        return true;
    default:
        return true;
    }
}

} // namespace

bool TRXmlPlistWriter::canWriteText(QStringView text)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t unit = units[i];
        if (unit >= 0x20 && unit < 0xd800)
            continue;
        if (unit < 0x20) {
            if (unit != u'\t' && unit != u'\n' && unit != u'\r')
                return false;
        } else if (unit >= 0xd800 && unit <= 0xdbff) {
            if (i + 1 >= length || units[i + 1] < 0xdc00 || units[i + 1] > 0xdfff)
                return false;
            ++i;
        } else if ((unit >= 0xdc00 && unit <= 0xdfff) || unit == 0xfffe || unit == 0xffff) {
            return false;
        }
    }
    return true;
}

bool TRXmlPlistWriter::canWrite(const TRValue &value)
{
    return canWriteValue(value, 0);
}

void TRXmlPlistWriter::indent(int level)
{
    m_out.append(level, '\t');
}

void TRXmlPlistWriter::appendEscaped(QStringView text)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const char32_t unit = units[i];
        if (unit < 0x80) {
            switch (unit) {
            case u'&':
                m_out.append("&amp;", 5);
                break;
            case u'<':
                m_out.append("&lt;", 4);
                break;
            case u'>':
                m_out.append("&gt;", 4);
                break;
            case u'\r':
                m_out.append("&#13;", 5);
                break;
            default:
                m_out.append(char(unit));
            }
            continue;
        }
        char32_t codePoint = unit;
        if (unit >= 0xd800 && unit <= 0xdbff && i + 1 < length) {
            codePoint = 0x10000 + ((unit - 0xd800) << 10) + (char32_t(units[i + 1]) - 0xdc00);
            ++i;
        }
        if (codePoint < 0x800) {
            m_out.append(char(0xc0 | codePoint >> 6));
            m_out.append(char(0x80 | (codePoint & 0x3f)));
        } else if (codePoint < 0x10000) {
            m_out.append(char(0xe0 | codePoint >> 12));
            m_out.append(char(0x80 | (codePoint >> 6 & 0x3f)));
            m_out.append(char(0x80 | (codePoint & 0x3f)));
        } else {
            m_out.append(char(0xf0 | codePoint >> 18));
            m_out.append(char(0x80 | (codePoint >> 12 & 0x3f)));
            m_out.append(char(0x80 | (codePoint >> 6 & 0x3f)));
            m_out.append(char(0x80 | (codePoint & 0x3f)));
        }
    }
}

void TRXmlPlistWriter::appendElement(const char *tag, QStringView text, int level)
{
    indent(level);
    m_out.append('<').append(tag).append('>');
    appendEscaped(text);
    m_out.append("</").append(tag).append(">\n");
}

void TRXmlPlistWriter::writeValue(const TRValue &value, int level)
{
    switch (value.kind()) {
    case TRValue::Kind::String:
        appendElement("string", value.stringView(), level);
        break;
    case TRValue::Kind::Integer: {
        char buffer[24];
        const auto result = value.isUnsignedInteger()
                                ? std::to_chars(buffer, buffer + sizeof buffer, value.toUnsigned())
                                : std::to_chars(buffer, buffer + sizeof buffer, value.toInteger());
        indent(level);
        m_out.append("<integer>").append(buffer, result.ptr - buffer).append("</integer>\n");
        break;
    }
    case TRValue::Kind::Real:
        indent(level);
        m_out.append("<real>");
        TRPlistScalars::appendReal(&m_out, value.toReal());
        m_out.append("</real>\n");
        break;
    case TRValue::Kind::Boolean:
        indent(level);
        m_out.append(value.toBool() ? "<true/>\n" : "<false/>\n");
        break;
    case TRValue::Kind::Date:
        indent(level);
        m_out.append("<date>");
        TRPlistScalars::appendIsoDate(&m_out, value.toDate());
        m_out.append("</date>\n");
        break;
    case TRValue::Kind::Data: {
        indent(level);
        m_out.append("<data>\n");
        const QByteArray tabs(level, '\t');
        // Lines get shorter as the indentation grows, as the platform writes them.
        const int lineLength = std::max(16, 76 - 8 * level) / 4 * 4;
        TRPlistScalars::appendBase64Lines(&m_out, value.toData(), lineLength, tabs);
        indent(level);
        m_out.append("</data>\n");
        break;
    }
    case TRValue::Kind::Array: {
        const TRArray &elements = value.toArray();
        indent(level);
        if (elements.isEmpty()) {
            m_out.append("<array/>\n");
            break;
        }
        m_out.append("<array>\n");
        for (const TRValue &element : elements)
            writeValue(element, level + 1);
        indent(level);
        m_out.append("</array>\n");
        break;
    }
    case TRValue::Kind::Dictionary: {
        const TRDictionary &entries = value.toDictionary();
        indent(level);
        if (entries.isEmpty()) {
            m_out.append("<dict/>\n");
            break;
        }
        m_out.append("<dict>\n");
        for (const auto &entry : entries) {
            appendElement("key", entry.first, level + 1);
            writeValue(entry.second, level + 1);
        }
        indent(level);
        m_out.append("</dict>\n");
        break;
    }
    case TRValue::Kind::None:
    case TRValue::Kind::Uid:
        break;
    }
}

bool TRXmlPlistWriter::write(const TRValue &value, QByteArray *out, QString *error)
{
    if (!canWrite(value)) {
        if (error)
            *error = trText(
                "The value holds text, a date or a kind of value that an XML property list cannot carry.");
        return false;
    }
    m_out.clear();
    m_out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                 "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                 "<plist version=\"1.0\">\n");
    writeValue(value, 0);
    m_out.append("</plist>\n");
    *out = std::move(m_out);
    m_out = QByteArray();
    return true;
}
