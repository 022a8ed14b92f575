#include "TRDigits.h"

#include <climits>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// Independent reading of a digit: -1 for a non-digit.
int expectedHexValue(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

TEST(TRDigits, DigitStrings)
{
    EXPECT_STREQ(decDigits, "0123456789");
    EXPECT_STREQ(hexDigitsL, "0123456789abcdef");
    EXPECT_STREQ(hexDigitsU, "0123456789ABCDEF");
}

TEST(TRDigits, EveryCharacterCodeThroughValuesAndTests)
{
    int decCount = 0;
    int hexCount = 0;
    for (int c = 0; c < 256; ++c) {
        SCOPED_TRACE(c);
        const int hex = expectedHexValue(c);
        const bool dec = hex >= 0 && hex < 10 && c <= '9';
        EXPECT_EQ(isDecDigit(c), dec);
        EXPECT_EQ(decDigitValue(c), dec ? hex : 0);
        EXPECT_EQ(isHexDigit(c), hex >= 0);
        EXPECT_EQ(hexDigitValue(c), hex >= 0 ? hex : 0);
        decCount += isDecDigit(c);
        hexCount += isHexDigit(c);
    }
    EXPECT_EQ(decCount, 10);
    EXPECT_EQ(hexCount, 22);
    // Codes beyond eight bits never match, not even ones whose low byte is a digit.
    for (const int c : {-1, INT_MIN, 0x130, 0x141, 0xFF30, INT_MAX}) {
        EXPECT_FALSE(isDecDigit(c)) << c;
        EXPECT_FALSE(isHexDigit(c)) << c;
        EXPECT_EQ(decDigitValue(c), 0) << c;
        EXPECT_EQ(hexDigitValue(c), 0) << c;
    }
    EXPECT_EQ(hexDigitValue('F'), 15);
    EXPECT_EQ(hexDigitValue('f'), 15);
    EXPECT_FALSE(isHexDigit('g'));
}

TEST(TRDigits, EveryByteThroughHexToStrAndBack)
{
    for (int byte = 0; byte < 256; ++byte) {
        const QString text = hexToStr(byte);
        EXPECT_EQ(text, QString::asprintf("%02x", byte));
        EXPECT_EQ(strToHex(text), byte);
        EXPECT_EQ(strToHex(text.toUpper()), byte);
        // Only the low eight bits count, for any integer.
        EXPECT_EQ(hexToStr(byte + 256), text);
        EXPECT_EQ(hexToStr(byte - 256), text);
        EXPECT_EQ(hexToStr(byte | INT_MIN), text);
    }
    EXPECT_EQ(hexToStr(10), u"0a");
    EXPECT_EQ(hexToStr(256), u"00");
    EXPECT_EQ(hexToStr(-1), u"ff");
}

TEST(TRDigits, StrToHexReadsAtMostTwoCharacters)
{
    const struct
    {
        const char16_t *text;
        int byte;
    } cases[] = {{u"", 0},    {u"f", 15},    {u"A", 10},  {u"g", 0},     {u"ff", 255}, {u"FF", 255},
                 {u"0a", 10}, {u"abc", 171}, {u"1g", 16}, {u"g1", 1},    {u"123", 18}, {u"x5", 5},
                 {u"gg", 0},  {u" 5", 5},    {u"5 ", 80}, {u"\u0661", 0}};
    for (const auto &c : cases)
        EXPECT_EQ(strToHex(QString::fromUtf16(c.text)), c.byte) << QString::fromUtf16(c.text).toStdString();
    // Every pair of character codes: a non-digit counts as 0, the result never exceeds 255.
    for (int high = 0; high < 256; ++high) {
        for (int low = 0; low < 256; ++low) {
            const QString text = QString(QChar(high)) + QChar(low);
            const int expected = 16 * qMax(0, expectedHexValue(high)) + qMax(0, expectedHexValue(low));
            ASSERT_EQ(strToHex(text), expected) << high << " " << low;
        }
    }
}

TEST(TRDigits, DecimalTextKeepsTheSign)
{
    const struct
    {
        const char16_t *text;
        int value;
    } reads[] = {{u"300", 44},
                 {u"-1", -1},
                 {u"-300", -44},
                 {u"12abc", 12},
                 {u"abc", 0},
                 {u"", 0},
                 {u"  +7", 7},
                 {u"255", 255},
                 {u"256", 0},
                 {u"-255", -255},
                 {u"0x10", 0},
                 {u"99999999999", 255},
                 {u"-99999999999", 0 /* INT_MIN is a multiple */}};
    for (const auto &r : reads)
        EXPECT_EQ(strToDec(QString::fromUtf16(r.text)), r.value) << QString::fromUtf16(r.text).toStdString();

    EXPECT_EQ(decToStr(255), u"255");
    EXPECT_EQ(decToStr(256), u"0");
    EXPECT_EQ(decToStr(300), u"44");
    EXPECT_EQ(decToStr(-1), u"-1");
    EXPECT_EQ(decToStr(-300), u"-44");
    EXPECT_EQ(decToStr(INT_MIN), u"0");
    EXPECT_EQ(decToStr(INT_MAX), u"255");
    for (int value = -1000; value <= 1000; ++value) {
        const QString text = decToStr(value);
        EXPECT_EQ(strToDec(text), value % 256) << value;
        EXPECT_EQ(strToDec(QString::number(value)), value % 256) << value;
        EXPECT_EQ(text.startsWith(u'-'), value % 256 < 0) << value;
    }
}

} // namespace
