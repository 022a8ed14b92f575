#pragma once

#include "TRValue.h"

#include <QString>

// Number texts of the number editor, always in the C locale (a full stop before the fraction), the way
// property lists write numbers.

// The whole number the text begins with (leading white space, an optional sign, decimal digits), 0 when
// it begins with none. Negative values are signed 64-bit integers, positive ones up to 2^64-1 (unsigned
// above 2^63-1); beyond that the nearest end of the range is taken.
TRValue trLeadingWholeNumber(const QString &text);

// The real number the text begins with (leading white space, then the longest prefix that reads as a
// number: digits with an optional fraction and exponent, "inf", "infinity" or "nan" in any case), 0 when
// it begins with none. Magnitudes beyond the double range read as an infinity.
double trLeadingReal(const QString &text);

// The pattern of a real number's text, without anchors; to be matched without regard to case.
QString trRealNumberPattern();

// The shortest text that reads back to the very same double, as values describe themselves: "0.1", "3",
// "-0", "1e+300", "9223372036854775808", "inf", "nan".
QString trShortestRealText(double number);

// Whether a double is a whole number that fits the whole-number range, -2^63 to 2^64-1.
bool trFitsWholeNumber(double number);
// The whole part of a number (a real's fraction dropped; beyond the range the nearest end; nan gives 0),
// as an integer value; a boolean gives 1 or 0.
TRValue trWholePart(const TRValue &number);
