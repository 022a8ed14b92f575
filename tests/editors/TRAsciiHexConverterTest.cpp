#include "TRAsciiHexConverter.h"

#include "TRTokenField.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

QStringList list(std::initializer_list<const char16_t *> items)
{
    QStringList result;
    for (const char16_t *item : items)
        result.append(QString::fromUtf16(item));
    return result;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (const int value : values)
        result.append(static_cast<char>(value));
    return result;
}

struct ConverterTest : ::testing::Test
{
    TRTokenField hex;
    TRTokenField dec;
    TRTokenField ascii;
    TRAsciiHexConverter converter{&hex, &dec, &ascii};
};

TEST_F(ConverterTest, EveryByteReadsBackWithItsThreeTokens)
{
    EXPECT_TRUE(ascii.isReadOnly());
    EXPECT_FALSE(hex.isReadOnly());
    EXPECT_FALSE(dec.isReadOnly());
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte) {
        SCOPED_TRACE(byte);
        const QByteArray one(1, static_cast<char>(byte));
        all.append(one);
        converter.setData(one);
        EXPECT_EQ(converter.data(), one);
        EXPECT_EQ(hex.tokens(), QStringList{QString::asprintf("%02x", byte)});
        EXPECT_EQ(hex.displayedTokens(), hex.tokens());
        EXPECT_EQ(dec.tokens(), QStringList{QString::number(byte)});
        const QString character = byte < 0x20 ? QStringLiteral(".") : QString::fromLatin1(one);
        EXPECT_EQ(ascii.tokens(), QStringList{character});
        EXPECT_EQ(ascii.displayedTokens(), QStringList{character});
    }
    converter.setData(all);
    EXPECT_EQ(converter.data(), all);
    ASSERT_EQ(ascii.tokens().size(), 256);
    EXPECT_EQ(ascii.tokens().at(0x1F), u".");
    EXPECT_EQ(ascii.tokens().at(0x20), u" ");
    EXPECT_EQ(ascii.tokens().at(0x7F), QString(QChar(0x7F)));
    EXPECT_EQ(ascii.tokens().at(0xE9), u"\u00e9");
}

TEST_F(ConverterTest, FillingShowsTheSameBytesThreeWays)
{
    converter.setData(bytes({0x00, 0x41, 0xFF}));
    EXPECT_EQ(hex.displayedTokens(), list({u"00", u"41", u"ff"}));
    EXPECT_EQ(dec.displayedTokens(), list({u"0", u"65", u"255"}));
    EXPECT_EQ(ascii.displayedTokens(), list({u".", u"A", u"\u00ff"}));

    converter.setData({});
    EXPECT_TRUE(hex.tokens().isEmpty());
    EXPECT_TRUE(dec.tokens().isEmpty());
    EXPECT_TRUE(ascii.tokens().isEmpty());
    EXPECT_TRUE(converter.data().isEmpty());
}

TEST_F(ConverterTest, DecimalTokenOutOfRangeWraps)
{
    QTest::keyClicks(&dec, QStringLiteral("300 "));
    EXPECT_EQ(dec.tokens(), list({u"300"})) << "the field typed in keeps what was typed";
    EXPECT_EQ(dec.displayedTokens(), list({u"44"}));
    EXPECT_EQ(hex.displayedTokens(), list({u"2c"}));
    EXPECT_EQ(ascii.displayedTokens(), list({u","}));
    EXPECT_EQ(converter.data(), bytes({0x2C}));
}

TEST_F(ConverterTest, HexTokensShowTheirTwoDigits)
{
    QTest::keyClicks(&hex, QStringLiteral("1g2 ABC "));
    EXPECT_EQ(hex.tokens(), list({u"1g2", u"ABC"}));
    EXPECT_EQ(hex.displayedTokens(), list({u"12", u"AB"}));
    EXPECT_EQ(dec.displayedTokens(), list({u"18", u"171"}));
    EXPECT_EQ(ascii.displayedTokens(), list({u".", u"\u00ab"}));
    EXPECT_EQ(converter.data(), bytes({0x12, 0xAB}));
}

TEST_F(ConverterTest, TokenBeingTypedCountsAlready)
{
    QTest::keyClicks(&hex, QStringLiteral("4"));
    EXPECT_EQ(dec.tokens(), list({u"4"}));
    EXPECT_EQ(converter.data(), bytes({0x04}));
    QTest::keyClicks(&hex, QStringLiteral("1"));
    EXPECT_EQ(dec.tokens(), list({u"65"}));
    EXPECT_EQ(ascii.tokens(), list({u"A"}));
    EXPECT_EQ(converter.data(), bytes({0x41}));
}

TEST_F(ConverterTest, DecimalEditsReachTheBytesThroughTheHexField)
{
    converter.setData(bytes({1, 2, 3}));
    QTest::keyClicks(&dec, QStringLiteral("-5 65"));
    EXPECT_EQ(dec.tokens(), list({u"1", u"2", u"3", u"-5", u"65"}));
    EXPECT_EQ(dec.displayedTokens(), list({u"1", u"2", u"3", u"5", u"65"}));
    EXPECT_EQ(hex.tokens(), list({u"01", u"02", u"03", u"05", u"41"}));
    EXPECT_EQ(converter.data(), bytes({1, 2, 3, 5, 0x41}));
    // Removing a token in the decimal field removes the byte.
    QTest::keyClick(&dec, Qt::Key_Backspace);
    QTest::keyClick(&dec, Qt::Key_Backspace);
    EXPECT_EQ(converter.data(), bytes({1, 2, 3, 5}));
}

TEST_F(ConverterTest, TokensWithoutDigitsStandForZero)
{
    QTest::keyClicks(&hex, QStringLiteral("zz "));
    QTest::keyClicks(&dec, QStringLiteral(" x"));
    EXPECT_EQ(converter.data(), bytes({0, 0}));
    EXPECT_EQ(hex.displayedTokens(), list({u"00", u"00"}));
}

TEST(TRAsciiHexConverter, NormalisedTokens)
{
    const struct
    {
        const char16_t *token;
        const char16_t *hex;
        const char16_t *dec;
    } cases[] = {
        {u"a9", u"a9", u"9"},     {u"F", u"0F", u"0"},
        {u"1g2", u"12", u"12"},   {u"abc", u"ab", u"0"},
        {u"", u"00", u"0"},       {u"xyz", u"00", u"0"},
        {u"7", u"07", u"7"},      {u"007", u"00", u"7"},
        {u"255", u"25", u"255"},  {u"256", u"25", u"0"},
        {u"300", u"30", u"44"},   {u"999", u"99", u"231"},
        {u"1234", u"12", u"123"}, {u"-5", u"05", u"5"},
        {u"1e2", u"1e", u"12"},   {u"\u0661\u0662", u"00", u"0"},
    };
    for (const auto &c : cases) {
        const QString token = QString::fromUtf16(c.token);
        EXPECT_EQ(TRAsciiHexConverter::makeHexStringFrom(token), QString::fromUtf16(c.hex))
            << token.toStdString();
        EXPECT_EQ(TRAsciiHexConverter::makeDecStringFrom(token), QString::fromUtf16(c.dec))
            << token.toStdString();
    }
}

TEST(TRAsciiHexConverter, ValidityTests)
{
    EXPECT_TRUE(TRAsciiHexConverter::isValidHex(QString()));
    EXPECT_TRUE(TRAsciiHexConverter::isValidDec(QString()));
    EXPECT_TRUE(TRAsciiHexConverter::isValidHex(QStringLiteral("0123456789abcdefABCDEF")));
    EXPECT_FALSE(TRAsciiHexConverter::isValidHex(QStringLiteral("1g")));
    EXPECT_TRUE(TRAsciiHexConverter::isValidDec(QStringLiteral("0123456789")));
    EXPECT_FALSE(TRAsciiHexConverter::isValidDec(QStringLiteral("12a")));
    EXPECT_FALSE(TRAsciiHexConverter::isValidDec(QStringLiteral("-1")));
}

TEST(TRAsciiHexConverter, EitherSideMayGoFirst)
{
    // Fields that outlive their converter keep working without it.
    TRTokenField hex;
    TRTokenField dec;
    {
        TRTokenField ascii;
        auto converter = std::make_unique<TRAsciiHexConverter>(&hex, &dec, &ascii);
        converter->setData(bytes({0x10}));
        converter.reset();
    }
    QTest::keyClicks(&hex, QStringLiteral("1g2 "));
    EXPECT_EQ(hex.displayedTokens(), list({u"10", u"1g2"}));
    EXPECT_EQ(dec.tokens(), list({u"16"}));

    // A converter that outlives its fields keeps working without them and is destroyed safely.
    auto fields = std::make_unique<TRTokenField[]>(3);
    auto converter = std::make_unique<TRAsciiHexConverter>(&fields[0], &fields[1], &fields[2]);
    converter->setData(bytes({0x41}));
    fields.reset();
    converter->setData(bytes({0x10, 0x20}));
    EXPECT_TRUE(converter->data().isEmpty());
    converter.reset();
}

} // namespace
