#pragma once

#include <QString>
#include <cstdint>

// The digit strings and the small routines the byte editor rests on: a digit's value is its position in its
// string (the hexadecimal ones are those of TRHexDigits.h). Text made here is lower case.

// "0123456789"
extern const char *const decDigits;
// "0123456789abcdef"
extern const char *const hexDigitsL;
// "0123456789ABCDEF"
extern const char *const hexDigitsU;

// Position of the character in decDigits, 0 when it is not a decimal digit (so only isDecDigit tells a
// non-digit from '0').
std::uint8_t decDigitValue(int character);
// Whether the character is one of the ten decimal digits.
bool isDecDigit(int character);

// The integer the text begins with (white space, a sign, digits; 0 when none; clamped to the int range),
// reduced modulo 256 keeping its sign: -255 to 255.
int strToDec(const QString &text);
// The decimal text of the value reduced the same way: 256 gives "0", -1 gives "-1".
QString decToStr(int value);

// Value 0 to 15 of a hexadecimal digit of either case, 0 when it is not one.
std::uint8_t hexDigitValue(int character);
// Whether the character is one of the 22 hexadecimal digits (both cases).
bool isHexDigit(int character);

// The low 8 bits of the value as two lower-case hexadecimal digits, high digit first: -1 gives "ff".
QString hexToStr(int value);
// The byte 0 to 255 the text spells in at most two hexadecimal digits; only the first two characters
// count, and a character that is not a digit counts as 0: "abc" gives 0xab, "g1" gives 1, "" gives 0.
int strToHex(const QString &text);
