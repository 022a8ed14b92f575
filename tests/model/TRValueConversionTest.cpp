// Change type's conversions: every pair of leaf kinds, the exact, the lossy and the impossible ones, and
// the ISO 8601 dates they rest on.
#include "TRValueConversion.h"

#include <gtest/gtest.h>

namespace {

using Kind = TRValueConversion::Kind;
using Outcome = TRValueConversion::Outcome;

TRValue text(const char *utf8)
{
    return TRValue::fromString(QString::fromUtf8(utf8));
}

const char *outcomeName(Outcome outcome)
{
    return outcome == Outcome::Exact ? "exact" : outcome == Outcome::Lossy ? "lossy" : "impossible";
}

} // namespace

TEST(ValueConversion, EveryConversionOfTheTable)
{
    // 2024-01-02T03:04:05Z in seconds since 2001.
    const double when = 725857445.0;
    const struct
    {
        TRValue from;
        Kind to;
        Outcome outcome;
        TRValue expected; // none when impossible
    } cases[] = {
        // Text to number: whole numbers, large unsigned ones, reals; anything else is refused.
        {text("42"), Kind::Number, Outcome::Exact, TRValue::fromInteger(42)},
        {text("-7"), Kind::Number, Outcome::Exact, TRValue::fromInteger(-7)},
        {text("18446744073709551615"), Kind::Number, Outcome::Exact,
         TRValue::fromUnsigned(18446744073709551615ull)},
        {text("2.5"), Kind::Number, Outcome::Exact, TRValue::fromReal(2.5)},
        {text(" 42 "), Kind::Number, Outcome::Lossy, TRValue::fromInteger(42)},
        {text("2.50"), Kind::Number, Outcome::Lossy, TRValue::fromReal(2.5)},
        {text("abc"), Kind::Number, Outcome::Impossible, TRValue()},
        {text(""), Kind::Number, Outcome::Impossible, TRValue()},
        {text("12abc"), Kind::Number, Outcome::Impossible, TRValue()},
        // Numbers to text.
        {TRValue::fromInteger(42), Kind::String, Outcome::Exact, text("42")},
        {TRValue::fromReal(0.1), Kind::String, Outcome::Exact, text("0.1")},
        // Booleans and numbers.
        {TRValue::fromBool(true), Kind::Number, Outcome::Exact, TRValue::fromInteger(1)},
        {TRValue::fromBool(false), Kind::Number, Outcome::Exact, TRValue::fromInteger(0)},
        {TRValue::fromInteger(1), Kind::Boolean, Outcome::Exact, TRValue::fromBool(true)},
        {TRValue::fromInteger(0), Kind::Boolean, Outcome::Exact, TRValue::fromBool(false)},
        {TRValue::fromInteger(5), Kind::Boolean, Outcome::Lossy, TRValue::fromBool(true)},
        {TRValue::fromReal(0.5), Kind::Boolean, Outcome::Lossy, TRValue::fromBool(true)},
        // Booleans and text.
        {TRValue::fromBool(true), Kind::String, Outcome::Exact, text("YES")},
        {TRValue::fromBool(false), Kind::String, Outcome::Exact, text("NO")},
        {text("YES"), Kind::Boolean, Outcome::Exact, TRValue::fromBool(true)},
        {text("false"), Kind::Boolean, Outcome::Lossy, TRValue::fromBool(false)},
        {text("1"), Kind::Boolean, Outcome::Lossy, TRValue::fromBool(true)},
        {text("maybe"), Kind::Boolean, Outcome::Impossible, TRValue()},
        // Dates and their ISO 8601 text.
        {TRValue::fromDate(when), Kind::String, Outcome::Exact, text("2024-01-02T03:04:05Z")},
        {TRValue::fromDate(when + 0.25), Kind::String, Outcome::Exact, text("2024-01-02T03:04:05.250Z")},
        {TRValue::fromDate(when + 0.0001), Kind::String, Outcome::Lossy, text("2024-01-02T03:04:05Z")},
        {text("2024-01-02T03:04:05Z"), Kind::Date, Outcome::Exact, TRValue::fromDate(when)},
        {text("2024-01-02T05:04:05+02:00"), Kind::Date, Outcome::Lossy, TRValue::fromDate(when)},
        {text("2024-01-02"), Kind::Date, Outcome::Lossy, TRValue::fromDate(when - 3 * 3600 - 4 * 60 - 5)},
        {text("2024-02-30T00:00:00Z"), Kind::Date, Outcome::Impossible, TRValue()},
        {text("yesterday"), Kind::Date, Outcome::Impossible, TRValue()},
        // Data and its UTF-8 text.
        {TRValue::fromData(QByteArray("h\xc3\xa9llo")), Kind::String, Outcome::Exact, text("h\xc3\xa9llo")},
        {TRValue::fromData(QByteArray("\xef\xbb\xbfx")), Kind::String, Outcome::Exact,
         TRValue::fromString(QChar(0xfeff) + QStringLiteral("x"))},
        {TRValue::fromData(QByteArray("\xff\xfe")), Kind::String, Outcome::Impossible, TRValue()},
        {text("h\xc3\xa9llo"), Kind::Data, Outcome::Exact, TRValue::fromData(QByteArray("h\xc3\xa9llo"))},
        {TRValue::fromString(QString(QChar(0xd800))), Kind::Data, Outcome::Lossy, TRValue::fromData("?")},
        // Pairs without a conversion.
        {TRValue::fromInteger(3), Kind::Date, Outcome::Impossible, TRValue()},
        {TRValue::fromDate(when), Kind::Data, Outcome::Impossible, TRValue()},
        {TRValue::fromArray({}), Kind::String, Outcome::Impossible, TRValue()},
    };
    for (const auto &c : cases) {
        const QString from = c.from.description();
        SCOPED_TRACE(from.toStdString() + " to kind " + std::to_string(int(c.to)));
        const TRValueConversion::Result result = TRValueConversion::convert(c.from, c.to);
        EXPECT_STREQ(outcomeName(result.outcome), outcomeName(c.outcome));
        EXPECT_EQ(result.value, c.expected) << result.value.description().toStdString();
        // Only an exact conversion goes without a word; the others say what changes or why not.
        EXPECT_EQ(result.message.isEmpty(), c.outcome == Outcome::Exact) << result.message.toStdString();
    }
}

TEST(ValueConversion, WhichKindsConvertAndExactOnesRoundTrip)
{
    const TRValue samples[] = {text("42"), TRValue::fromInteger(42), TRValue::fromBool(true),
                               TRValue::fromDate(725857445.5), TRValue::fromData(QByteArray("text"))};
    for (const TRValue &sample : samples) {
        Kind from{};
        ASSERT_TRUE(TRValueConversion::kindOf(sample, &from));
        for (int to = 0; to < TRValueConversion::kKindCount; ++to) {
            SCOPED_TRACE(sample.description().toStdString() + " to kind " + std::to_string(to));
            const TRValueConversion::Result there = TRValueConversion::convert(sample, Kind(to));
            // The menu offers no pair without a conversion.
            if (Kind(to) != from && !TRValueConversion::exists(from, Kind(to))) {
                EXPECT_EQ(there.outcome, Outcome::Impossible);
            }
            if (there.outcome != Outcome::Exact)
                continue;
            const TRValueConversion::Result back = TRValueConversion::convert(there.value, from);
            EXPECT_EQ(back.value, sample);
        }
    }
}
