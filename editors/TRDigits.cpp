#include "TRDigits.h"

#include "TRHexDigits.h"
#include "TRValue.h"

const char *const decDigits = "0123456789";
const char *const hexDigitsL = kTRHexDigits;
const char *const hexDigitsU = "0123456789ABCDEF";

namespace {

// Position of the character in the digit string, or -1. The strings are 8-bit, so a code outside
// 1..255 never matches (the terminating zero byte is not a digit).
int decPosition(int character)
{
    for (int i = 0; decDigits[i] != '\0'; ++i) {
        if (static_cast<unsigned char>(decDigits[i]) == character)
            return i;
    }
    return -1;
}

int hexPosition(int character)
{
    return character < 0 ? -1 : trHexDigitValue(char32_t(character));
}

int characterAt(const QString &text, qsizetype index)
{
    return text.at(index).unicode();
}

} // namespace

std::uint8_t decDigitValue(int character)
{
    const int position = decPosition(character);
    return static_cast<std::uint8_t>(position < 0 ? 0 : position);
}

bool isDecDigit(int character)
{
    return decPosition(character) >= 0;
}

int strToDec(const QString &text)
{
    // C++ remainder truncates toward zero, so the result keeps the sign of the value.
    return TRValue::fromString(text).intValue() % 256;
}

QString decToStr(int value)
{
    return QString::number(value % 256);
}

std::uint8_t hexDigitValue(int character)
{
    const int position = hexPosition(character);
    return static_cast<std::uint8_t>(position < 0 ? 0 : position);
}

bool isHexDigit(int character)
{
    return hexPosition(character) >= 0;
}

QString hexToStr(int value)
{
    const unsigned bits = static_cast<unsigned>(value);
    const char text[2] = {hexDigitsL[(bits & 0xF0U) >> 4], hexDigitsL[bits & 0x0FU]};
    return QString::fromLatin1(text, 2);
}

int strToHex(const QString &text)
{
    if (text.isEmpty())
        return 0;
    if (text.size() == 1)
        return hexDigitValue(characterAt(text, 0));
    return 16 * hexDigitValue(characterAt(text, 0)) + hexDigitValue(characterAt(text, 1));
}
