#include "TRNumberText.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr double kTwoTo63 = 9223372036854775808.0;
constexpr double kTwoTo64 = 18446744073709551616.0;

qsizetype skipSpace(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    return i;
}

} // namespace

TRValue trLeadingWholeNumber(const QString &text)
{
    qsizetype i = skipSpace(text);
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        negative = text.at(i++) == u'-';
    constexpr quint64 kMaximum = std::numeric_limits<quint64>::max();
    quint64 magnitude = 0;
    bool overflow = false;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        const quint64 digit = text.at(i).unicode() - u'0';
        if (magnitude > (kMaximum - digit) / 10)
            overflow = true;
        else
            magnitude = 10 * magnitude + digit;
    }
    if (!negative)
        return TRValue::fromUnsigned(overflow ? kMaximum : magnitude);
    constexpr quint64 kMinimumMagnitude = quint64(1) << 63;
    if (overflow || magnitude >= kMinimumMagnitude)
        return TRValue::fromInteger(std::numeric_limits<qint64>::min());
    return TRValue::fromInteger(-static_cast<qint64>(magnitude));
}

QString trRealNumberPattern()
{
    return QStringLiteral("[+-]?(?:infinity|inf|nan|(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:e[+-]?[0-9]+)?)");
}

double trLeadingReal(const QString &text)
{
    static const QRegularExpression number(trRealNumberPattern(), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = number.match(text, skipSpace(text), QRegularExpression::NormalMatch,
                                                       QRegularExpression::AnchorAtOffsetMatchOption);
    if (!match.hasMatch())
        return 0.0;
    QByteArray digits = match.captured().toLatin1().toLower();
    bool negative = false;
    if (digits.startsWith('-') || digits.startsWith('+')) {
        negative = digits.startsWith('-');
        digits.remove(0, 1);
    }
    double magnitude = 0.0;
    const char *first = digits.constData();
    const char *last = first + digits.size();
    if (std::from_chars(first, last, magnitude).ec == std::errc::result_out_of_range) {
        // Beyond the double range: read with the wider type and let the conversion give an infinity, a
        // subnormal or zero.
        long double wide = 0.0L;
        if (std::from_chars(first, last, wide).ec == std::errc())
            magnitude = static_cast<double>(wide);
        else
            magnitude = digits.contains("e-") ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -magnitude : magnitude;
}

QString trShortestRealText(double number)
{
    return TRValue::fromReal(number).description();
}

bool trFitsWholeNumber(double number)
{
    return std::floor(number) == number && number >= -kTwoTo63 && number < kTwoTo64;
}

TRValue trWholePart(const TRValue &number)
{
    if (number.isInteger())
        return number;
    if (number.isBoolean())
        return TRValue::fromInteger(number.toBool() ? 1 : 0);
    const double real = number.toReal();
    if (std::isnan(real))
        return TRValue::fromInteger(0);
    if (real >= kTwoTo64)
        return TRValue::fromUnsigned(std::numeric_limits<quint64>::max());
    if (real < -kTwoTo63)
        return TRValue::fromInteger(std::numeric_limits<qint64>::min());
    const double whole = std::trunc(real);
    return whole < 0 ? TRValue::fromInteger(static_cast<qint64>(whole))
                     : TRValue::fromUnsigned(static_cast<quint64>(whole));
}
