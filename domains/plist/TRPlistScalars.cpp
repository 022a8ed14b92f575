#include "TRPlistScalars.h"

#include "TRDateTime.h"
#include "TRHexDigits.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool equalsIgnoringCase(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != lower[i])
            return false;
    }
    return true;
}

// Reads exactly `count` decimal digits at *pos.
bool takeDigits(std::string_view text, size_t *pos, size_t count, int *number)
{
    if (*pos + count > text.size())
        return false;
    int value = 0;
    for (size_t i = 0; i < count; ++i) {
        const char c = text[*pos + i];
        if (!isDigit(c))
            return false;
        value = value * 10 + (c - '0');
    }
    *pos += count;
    *number = value;
    return true;
}

bool takeChar(std::string_view text, size_t *pos, char expected)
{
    if (*pos >= text.size() || text[*pos] != expected)
        return false;
    ++*pos;
    return true;
}

void appendPadded(QByteArray *out, qint64 number, int width)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    for (auto length = result.ptr - buffer; length < width; ++length)
        out->append('0');
    out->append(buffer, result.ptr - buffer);
}

const char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

std::optional<TRValue> TRPlistScalars::parseInteger(std::string_view text)
{
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;
    quint64 magnitude = 0;
    for (const char c : text) {
        const int digit = base == 16 ? trHexDigitValue(char32_t(quint8(c))) : (isDigit(c) ? c - '0' : -1);
        if (digit < 0)
            return std::nullopt;
        if (magnitude > (std::numeric_limits<quint64>::max() - quint64(digit)) / quint64(base))
            return std::nullopt;
        magnitude = magnitude * quint64(base) + quint64(digit);
    }
    if (!negative)
        return TRValue::fromUnsigned(magnitude);
    if (magnitude > quint64(1) << 63)
        return std::nullopt;
    return TRValue::fromInteger(magnitude == quint64(1) << 63 ? std::numeric_limits<qint64>::min()
                                                              : -qint64(magnitude));
}

std::optional<double> TRPlistScalars::parseReal(std::string_view text)
{
    text = trimmed(text);
    bool negative = false;
    std::string_view body = text;
    if (!body.empty() && (body.front() == '-' || body.front() == '+')) {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    if (equalsIgnoringCase(body, "nan"))
        return negative ? -std::numeric_limits<double>::quiet_NaN()
                        : std::numeric_limits<double>::quiet_NaN();
    if (equalsIgnoringCase(body, "inf") || equalsIgnoringCase(body, "infinity"))
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    // Only the plain decimal grammar: digits, an optional point, an optional exponent.
    size_t pos = 0;
    size_t mantissaDigits = 0;
    while (pos < body.size() && isDigit(body[pos])) {
        ++pos;
        ++mantissaDigits;
    }
    if (pos < body.size() && body[pos] == '.') {
        ++pos;
        while (pos < body.size() && isDigit(body[pos])) {
            ++pos;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (pos < body.size() && (body[pos] == 'e' || body[pos] == 'E')) {
        ++pos;
        if (pos < body.size() && (body[pos] == '+' || body[pos] == '-'))
            ++pos;
        const size_t exponentStart = pos;
        while (pos < body.size() && isDigit(body[pos]))
            ++pos;
        if (pos == exponentStart)
            return std::nullopt;
    }
    if (pos != body.size())
        return std::nullopt;
    double number = 0;
    const auto result = std::from_chars(body.data(), body.data() + body.size(), number);
    if (result.ec == std::errc::result_out_of_range) {
        // Underflow to zero is a value; overflow is not.
        bool allZero = true;
        for (size_t i = 0; i < body.size() && body[i] != 'e' && body[i] != 'E'; ++i) {
            if (body[i] >= '1' && body[i] <= '9')
                allZero = false;
        }
        const auto exponentAt = body.find_first_of("eE");
        if (allZero || (exponentAt != std::string_view::npos && body.substr(exponentAt + 1).front() == '-'))
            number = 0;
        else
            return std::nullopt;
    } else if (result.ec != std::errc() || result.ptr != body.data() + body.size()) {
        return std::nullopt;
    }
    return negative ? -number : number;
}

std::optional<double> TRPlistScalars::parseIsoDate(std::string_view text)
{
    text = trimmed(text);
    size_t pos = 0;
    int year = 0;
    TRCivilTime civil;
    if (!takeDigits(text, &pos, 4, &year) || !takeChar(text, &pos, '-') ||
        !takeDigits(text, &pos, 2, &civil.month) || !takeChar(text, &pos, '-') ||
        !takeDigits(text, &pos, 2, &civil.day) || !takeChar(text, &pos, 'T') ||
        !takeDigits(text, &pos, 2, &civil.hour) || !takeChar(text, &pos, ':') ||
        !takeDigits(text, &pos, 2, &civil.minute) || !takeChar(text, &pos, ':') ||
        !takeDigits(text, &pos, 2, &civil.second))
        return std::nullopt;
    civil.year = year;
    if (pos < text.size() && text[pos] == '.') {
        const size_t start = pos;
        ++pos;
        while (pos < text.size() && isDigit(text[pos]))
            ++pos;
        if (pos == start + 1)
            return std::nullopt;
        double fraction = 0;
        std::from_chars(text.data() + start, text.data() + pos, fraction);
        civil.fraction = fraction;
    }
    if (!takeChar(text, &pos, 'Z') || pos != text.size())
        return std::nullopt;
    if (!trIsValidCivil(civil.year, civil.month, civil.day, civil.hour, civil.minute, civil.second))
        return std::nullopt;
    return trDateFromCivil(civil);
}

std::optional<double> TRPlistScalars::parseDescriptionDate(std::string_view text)
{
    text = trimmed(text);
    size_t pos = 0;
    bool negativeYear = false;
    if (!text.empty() && text.front() == '-') {
        negativeYear = true;
        ++pos;
    }
    const size_t yearStart = pos;
    qint64 year = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        if (pos - yearStart >= 12)
            return std::nullopt;
        year = year * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos - yearStart < 4)
        return std::nullopt;
    TRCivilTime civil;
    civil.year = negativeYear ? -year : year;
    int zoneHours = 0;
    int zoneMinutes = 0;
    if (!takeChar(text, &pos, '-') || !takeDigits(text, &pos, 2, &civil.month) ||
        !takeChar(text, &pos, '-') || !takeDigits(text, &pos, 2, &civil.day) || !takeChar(text, &pos, ' ') ||
        !takeDigits(text, &pos, 2, &civil.hour) || !takeChar(text, &pos, ':') ||
        !takeDigits(text, &pos, 2, &civil.minute) || !takeChar(text, &pos, ':') ||
        !takeDigits(text, &pos, 2, &civil.second) || !takeChar(text, &pos, ' ') || pos >= text.size())
        return std::nullopt;
    const char sign = text[pos++];
    if ((sign != '+' && sign != '-') || !takeDigits(text, &pos, 2, &zoneHours) ||
        !takeDigits(text, &pos, 2, &zoneMinutes) || pos != text.size() || zoneMinutes > 59)
        return std::nullopt;
    if (!trIsValidCivil(civil.year, civil.month, civil.day, civil.hour, civil.minute, civil.second))
        return std::nullopt;
    const int zoneSeconds = (zoneHours * 3600 + zoneMinutes * 60) * (sign == '-' ? -1 : 1);
    return trDateFromCivil(civil) - zoneSeconds;
}

bool TRPlistScalars::hasIsoForm(double date)
{
    const auto civil = trCivilFromDate(date);
    return civil && civil->year >= 1 && civil->year <= 9999;
}

void TRPlistScalars::appendIsoDate(QByteArray *out, double date)
{
    const auto civil = trCivilFromDate(date);
    if (!civil)
        return;
    appendPadded(out, civil->year, 4);
    out->append('-');
    appendPadded(out, civil->month, 2);
    out->append('-');
    appendPadded(out, civil->day, 2);
    out->append('T');
    appendPadded(out, civil->hour, 2);
    out->append(':');
    appendPadded(out, civil->minute, 2);
    out->append(':');
    appendPadded(out, civil->second, 2);
    out->append('Z');
}

void TRPlistScalars::appendReal(QByteArray *out, double number)
{
    if (std::isnan(number)) {
        out->append("nan");
        return;
    }
    if (std::isinf(number)) {
        out->append(number > 0 ? "+infinity" : "-infinity");
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    out->append(buffer, result.ptr - buffer);
}

std::optional<QByteArray> TRPlistScalars::decodeBase64(std::string_view text)
{
    static const auto table = [] {
        std::array<qint8, 256> values{};
        values.fill(-1);
        for (int i = 0; i < 64; ++i)
            values[static_cast<unsigned char>(kBase64Alphabet[i])] = qint8(i);
        return values;
    }();
    QByteArray bytes;
    bytes.reserve(qsizetype(text.size() / 4 * 3 + 3));
    quint32 group = 0;
    int sextets = 0;
    int padding = 0;
    for (const char c : text) {
        if (isSpace(c))
            continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const qint8 value = table[static_cast<unsigned char>(c)];
        if (value < 0 || padding > 0)
            return std::nullopt;
        group = group << 6 | quint32(value);
        if (++sextets == 4) {
            bytes.append(char(group >> 16));
            bytes.append(char(group >> 8 & 0xff));
            bytes.append(char(group & 0xff));
            group = 0;
            sextets = 0;
        }
    }
    if (sextets == 1 || padding > 2 || (padding > 0 && sextets + padding != 4))
        return std::nullopt;
    if (sextets == 2) {
        bytes.append(char(group >> 4));
    } else if (sextets == 3) {
        bytes.append(char(group >> 10));
        bytes.append(char(group >> 2 & 0xff));
    }
    return bytes;
}

void TRPlistScalars::appendBase64Lines(QByteArray *out, const QByteArray &bytes, int lineLength,
                                       const QByteArray &indent)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    int column = 0;
    auto put = [&](char c) {
        if (column == 0)
            out->append(indent);
        out->append(c);
        if (++column == lineLength) {
            out->append('\n');
            column = 0;
        }
    };
    qsizetype i = 0;
    for (; i + 3 <= size; i += 3) {
        const quint32 group = quint32(data[i]) << 16 | quint32(data[i + 1]) << 8 | data[i + 2];
        put(kBase64Alphabet[group >> 18]);
        put(kBase64Alphabet[group >> 12 & 63]);
        put(kBase64Alphabet[group >> 6 & 63]);
        put(kBase64Alphabet[group & 63]);
    }
    if (i < size) {
        const quint32 group = quint32(data[i]) << 16 | (i + 1 < size ? quint32(data[i + 1]) << 8 : 0);
        put(kBase64Alphabet[group >> 18]);
        put(kBase64Alphabet[group >> 12 & 63]);
        put(i + 1 < size ? kBase64Alphabet[group >> 6 & 63] : '=');
        put('=');
    }
    if (column != 0)
        out->append('\n');
}

QString TRPlistScalars::textFromUtf8(const char *data, qsizetype size)
{
    if (size >= 3 && data[0] == '\xef' && data[1] == '\xbb' && data[2] == '\xbf')
        return QChar(0xfeff) + QString::fromUtf8(data + 3, size - 3);
    return QString::fromUtf8(data, size);
}

qsizetype TRPlistScalars::firstInvalidUtf8(const char *data, qsizetype size)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    qsizetype i = 0;
    while (i < size) {
        // Runs of ASCII, the bulk of a property list, are passed over eight bytes at a time.
        quint64 word = 0;
        while (i + 8 <= size && (std::memcpy(&word, bytes + i, 8), (word & 0x8080808080808080u) == 0))
            i += 8;
        if (i == size)
            break;
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        quint32 codePoint = 0;
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
            codePoint = lead & 0x1f;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            codePoint = lead & 0x0f;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            codePoint = lead & 0x07;
        } else {
            return i;
        }
        if (i + length > size)
            return i;
        for (int k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xc0) != 0x80)
                return i;
            codePoint = codePoint << 6 | (bytes[i + k] & 0x3f);
        }
        if ((length == 3 && (codePoint < 0x800 || (codePoint >= 0xd800 && codePoint <= 0xdfff))) ||
            (length == 4 && (codePoint < 0x10000 || codePoint > 0x10ffff)))
            return i;
        i += length;
    }
    return -1;
}

namespace {

// Lines and columns over code units; continues tells the units that carry on a character begun before.
template<class Unit, class Continues>
void countLinesAndColumns(const Unit *units, qsizetype end, Continues continues, qsizetype *line,
                          qsizetype *column)
{
    *line = 1;
    *column = 1;
    for (qsizetype i = 0; i < end; ++i) {
        if (units[i] == Unit('\n')) {
            ++*line;
            *column = 1;
        } else if (!continues(units[i])) {
            ++*column;
        }
    }
}

} // namespace

void TRPlistScalars::lineAndColumn(const char *data, qsizetype size, qsizetype offset, qsizetype *line,
                                   qsizetype *column)
{
    countLinesAndColumns(
        reinterpret_cast<const unsigned char *>(data), std::min(offset, size),
        [](unsigned char byte) { return (byte & 0xc0) == 0x80; }, line, column);
}

void TRPlistScalars::lineAndColumn(QStringView text, qsizetype offset, qsizetype *line, qsizetype *column)
{
    countLinesAndColumns(
        text.utf16(), std::min(offset, text.size()),
        [](char16_t unit) { return QChar::isLowSurrogate(unit); }, line, column);
}
