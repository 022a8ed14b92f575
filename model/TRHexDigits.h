#pragma once

// Hexadecimal digits, as every part of Tamrix writes and reads them.

// The digits, lower case: a digit's value is its position.
inline constexpr char kTRHexDigits[] = "0123456789abcdef";

// The lower-case digit of the low four bits of the value.
inline constexpr char trHexDigit(unsigned value)
{
    return kTRHexDigits[value & 0xfU];
}

// The value of a hexadecimal digit (either case), or -1 for any other character.
inline constexpr int trHexDigitValue(char32_t character)
{
    if (character >= U'0' && character <= U'9')
        return int(character - U'0');
    if (character >= U'a' && character <= U'f')
        return int(character - U'a') + 10;
    if (character >= U'A' && character <= U'F')
        return int(character - U'A') + 10;
    return -1;
}
