#include "TRValueConversion.h"

#include "TRDateTime.h"
#include "TRText.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <cmath>

namespace {

using Kind = TRValueConversion::Kind;
using Outcome = TRValueConversion::Outcome;
using Result = TRValueConversion::Result;

// A long text is cut for the messages that quote it.
QString quoted(const QString &text)
{
    constexpr qsizetype kShown = 60;
    return text.size() <= kShown ? text : text.left(kShown) + QChar(0x2026);
}

QString booleanText(bool truth)
{
    return truth ? QStringLiteral("YES") : QStringLiteral("NO");
}

Result made(const TRValue &value, bool exact, const QString &loss)
{
    return {exact ? Outcome::Exact : Outcome::Lossy, value, exact ? QString() : loss};
}

Result refused(const QString &reason)
{
    return {Outcome::Impossible, TRValue(), reason};
}

Result textToNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    TRValue number;
    if (const qint64 whole = trimmed.toLongLong(&ok); ok)
        number = TRValue::fromInteger(whole);
    else if (const quint64 large = trimmed.toULongLong(&ok); ok)
        number = TRValue::fromUnsigned(large);
    else if (const double real = trimmed.toDouble(&ok); ok)
        number = TRValue::fromReal(real);
    if (number.isNone())
        return refused(trFormat(trText("The text \u201c%@\u201d is not a number."), {quoted(text)}));
    return made(number, number.description() == text,
                trFormat(trText("The text \u201c%@\u201d becomes the number %@."),
                         {quoted(text), number.description()}));
}

Result textToBoolean(const QString &text)
{
    const QString word = text.trimmed().toLower();
    bool truth = false;
    if (word == QLatin1String("yes") || word == QLatin1String("true") || word == QLatin1String("1"))
        truth = true;
    else if (word != QLatin1String("no") && word != QLatin1String("false") && word != QLatin1String("0"))
        return refused(trFormat(
            trText("The text \u201c%@\u201d is not a truth value: use YES, NO, true, false, 1 or 0."),
            {quoted(text)}));
    return made(TRValue::fromBool(truth), text == booleanText(truth),
                trFormat(trText("The text \u201c%@\u201d becomes the boolean %@."),
                         {quoted(text), booleanText(truth)}));
}

Result textToDate(const QString &text)
{
    double date = 0;
    if (!TRValueConversion::readIsoText(text, &date))
        return refused(trFormat(trText("The text \u201c%@\u201d is not a date in ISO 8601 form, such as "
                                       "2024-01-02T03:04:05Z."),
                                {quoted(text)}));
    const QString back = TRValueConversion::isoText(date);
    return made(TRValue::fromDate(date), back == text,
                trFormat(trText("The text \u201c%@\u201d becomes the date %@."), {quoted(text), back}));
}

Result dateToText(double date)
{
    const QString text = TRValueConversion::isoText(date);
    double back = 0;
    if (text.isEmpty() || !TRValueConversion::readIsoText(text, &back))
        return refused(trText("The date cannot be written in ISO 8601 form."));
    return made(
        TRValue::fromString(text), back == date,
        trFormat(trText("The date becomes the text %@, which keeps it only to the millisecond."), {text}));
}

Result dataToText(const QByteArray &bytes)
{
    // A byte order mark at the start is kept as a character, so that the text gives the same bytes back.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return refused(trText("The data is not valid UTF-8 text."));
    return made(TRValue::fromString(text), text.toUtf8() == bytes, QString());
}

Result textToData(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    // Only a lone surrogate has no UTF-8 form.
    return made(TRValue::fromData(bytes), QString::fromUtf8(bytes) == text,
                trText("The text holds characters that UTF-8 cannot carry; they become question marks."));
}

} // namespace

bool TRValueConversion::kindOf(const TRValue &value, Kind *kind)
{
    switch (value.kind()) {
    case TRValue::Kind::String:
        *kind = Kind::String;
        return true;
    case TRValue::Kind::Integer:
    case TRValue::Kind::Real:
        *kind = Kind::Number;
        return true;
    case TRValue::Kind::Boolean:
        *kind = Kind::Boolean;
        return true;
    case TRValue::Kind::Date:
        *kind = Kind::Date;
        return true;
    case TRValue::Kind::Data:
        *kind = Kind::Data;
        return true;
    default:
        return false;
    }
}

bool TRValueConversion::exists(Kind from, Kind to)
{
    if (from == to)
        return false;
    // Text converts to and from every kind; numbers and booleans to each other.
    if (from == Kind::String || to == Kind::String)
        return true;
    return (from == Kind::Number && to == Kind::Boolean) || (from == Kind::Boolean && to == Kind::Number);
}

TRValueConversion::Result TRValueConversion::convert(const TRValue &value, Kind to)
{
    Kind from = Kind::String;
    if (!kindOf(value, &from))
        return refused(trText("Only a single value can change its type."));
    if (from == to)
        return made(value, true, QString());
    if (!exists(from, to))
        return refused(trText("There is no conversion between these types."));
    switch (from) {
    case Kind::String: {
        const QString text = value.toString();
        switch (to) {
        case Kind::Number:
            return textToNumber(text);
        case Kind::Boolean:
            return textToBoolean(text);
        case Kind::Date:
            return textToDate(text);
        default:
            return textToData(text);
        }
    }
    case Kind::Number:
        if (to == Kind::String)
            return made(TRValue::fromString(value.description()), true, QString());
        return made(TRValue::fromBool(value.toReal() != 0), value.toReal() == 0 || value.toReal() == 1,
                    trFormat(trText("The number %@ becomes the boolean %@."),
                             {value.description(), booleanText(value.toReal() != 0)}));
    case Kind::Boolean:
        if (to == Kind::String)
            return made(TRValue::fromString(booleanText(value.toBool())), true, QString());
        return made(TRValue::fromInteger(value.toBool() ? 1 : 0), true, QString());
    case Kind::Date:
        return dateToText(value.toDate());
    case Kind::Data:
        return dataToText(value.toData());
    }
    return refused(QString());
}

QString TRValueConversion::isoText(double secondsSince2001)
{
    if (!std::isfinite(secondsSince2001))
        return QString();
    double whole = std::floor(secondsSince2001);
    qint64 milliseconds = std::llround((secondsSince2001 - whole) * 1000);
    if (milliseconds == 1000) {
        whole += 1;
        milliseconds = 0;
    }
    const auto civil = trCivilFromDate(whole);
    if (!civil || civil->year < 0 || civil->year > 9999)
        return QString();
    QString text = QStringLiteral("%1-%2-%3T%4:%5:%6")
                       .arg(civil->year, 4, 10, QLatin1Char('0'))
                       .arg(civil->month, 2, 10, QLatin1Char('0'))
                       .arg(civil->day, 2, 10, QLatin1Char('0'))
                       .arg(civil->hour, 2, 10, QLatin1Char('0'))
                       .arg(civil->minute, 2, 10, QLatin1Char('0'))
                       .arg(civil->second, 2, 10, QLatin1Char('0'));
    if (milliseconds != 0)
        text += QStringLiteral(".%1").arg(milliseconds, 3, 10, QLatin1Char('0'));
    return text + QLatin1Char('Z');
}

bool TRValueConversion::readIsoText(const QString &text, double *secondsSince2001)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4})-(\d{2})-(\d{2})(?:[T ](\d{2}):(\d{2})(?::(\d{2})(?:\.(\d{1,9}))?)?)?(Z|[+-]\d{2}(?::?\d{2})?)?$)"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    const auto field = [&match](int n) { return match.captured(n).toInt(); };
    TRCivilTime civil;
    civil.year = field(1);
    civil.month = field(2);
    civil.day = field(3);
    civil.hour = field(4);
    civil.minute = field(5);
    civil.second = field(6);
    if (!trIsValidCivil(civil.year, civil.month, civil.day, civil.hour, civil.minute, civil.second))
        return false;
    double seconds = trDateFromCivil(civil);
    if (const QString fraction = match.captured(7); !fraction.isEmpty())
        seconds += (QStringLiteral("0.") + fraction).toDouble();
    const QString zone = match.captured(8);
    if (zone.size() > 1) {
        const int hours = zone.mid(1, 2).toInt();
        const int minutes = zone.size() > 3 ? zone.right(2).toInt() : 0;
        if (hours > 23 || minutes > 59)
            return false;
        const int offset = (hours * 60 + minutes) * 60;
        seconds += zone.startsWith(QLatin1Char('+')) ? -offset : offset;
    }
    *secondsSince2001 = seconds;
    return true;
}
