#include "TRValueJson.h"

#include "TRHexDigits.h"

#include <charconv>
#include <cmath>

namespace {

constexpr quint64 kLargestExactInteger = quint64(1) << 53;

} // namespace

QByteArray TRValueJson::toJson(const TRValue &value)
{
    QByteArray out;
    append(&out, value);
    return out;
}

void TRValueJson::appendNumber(QByteArray *out, double number)
{
    if (std::isnan(number)) {
        out->append("\"nan\"");
    } else if (std::isinf(number)) {
        out->append(number > 0 ? "\"inf\"" : "\"-inf\"");
    } else {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
        out->append(buffer, result.ptr - buffer);
    }
}

void TRValueJson::appendText(QByteArray *out, QStringView text)
{
    out->append('"');
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t unit = units[i];
        const bool pairedHigh = unit >= 0xd800 && unit <= 0xdbff && i + 1 < length &&
                                units[i + 1] >= 0xdc00 && units[i + 1] <= 0xdfff;
        if (pairedHigh) {
            out->append(QStringView(units + i, 2).toUtf8());
            ++i;
        } else if (unit == u'"' || unit == u'\\') {
            out->append('\\').append(char(unit));
        } else if (unit < 0x20 || (unit >= 0xd800 && unit <= 0xdfff)) {
            // Control characters and lone surrogates as escapes, so the output stays valid UTF-8.
            out->append("\\u");
            for (int shift = 12; shift >= 0; shift -= 4)
                out->append(trHexDigit(unit >> shift));
        } else if (unit < 0x80) {
            out->append(char(unit));
        } else {
            out->append(QString(QChar(unit)).toUtf8());
        }
    }
    out->append('"');
}

void TRValueJson::append(QByteArray *out, const TRValue &value)
{
    switch (value.kind()) {
    case TRValue::Kind::None:
        out->append("{\"none\":null}");
        break;
    case TRValue::Kind::String:
        out->append("{\"string\":");
        appendText(out, value.stringView());
        out->append('}');
        break;
    case TRValue::Kind::Integer: {
        const bool isUnsigned = value.isUnsignedInteger();
        const qint64 number = value.toInteger();
        const bool exact =
            !isUnsigned && number >= -qint64(kLargestExactInteger) && number <= qint64(kLargestExactInteger);
        out->append("{\"integer\":");
        if (!exact)
            out->append('"');
        out->append(isUnsigned ? QByteArray::number(value.toUnsigned()) : QByteArray::number(number));
        if (!exact)
            out->append('"');
        out->append('}');
        break;
    }
    case TRValue::Kind::Real:
        out->append("{\"real\":");
        appendNumber(out, value.toReal());
        out->append('}');
        break;
    case TRValue::Kind::Boolean:
        out->append(value.toBool() ? "{\"boolean\":true}" : "{\"boolean\":false}");
        break;
    case TRValue::Kind::Date:
        out->append("{\"date\":");
        appendNumber(out, value.toDate());
        out->append('}');
        break;
    case TRValue::Kind::Data:
        out->append("{\"data\":\"").append(value.toData().toHex()).append("\"}");
        break;
    case TRValue::Kind::Array: {
        out->append("{\"array\":[");
        bool first = true;
        for (const TRValue &element : value.toArray()) {
            if (!first)
                out->append(',');
            first = false;
            append(out, element);
        }
        out->append("]}");
        break;
    }
    case TRValue::Kind::Dictionary: {
        out->append("{\"dict\":{");
        bool first = true;
        for (const auto &entry : value.toDictionary()) {
            if (!first)
                out->append(',');
            first = false;
            appendText(out, entry.first);
            out->append(':');
            append(out, entry.second);
        }
        out->append("}}");
        break;
    }
    case TRValue::Kind::Uid:
        out->append("{\"uid\":").append(QByteArray::number(value.toUid())).append('}');
        break;
    }
}
