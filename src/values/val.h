#pragma once
// Number reading shared by every window: the leading number of a text, and
// rounding with halves going to the even neighbour.
#include <QString>
#include <cstdint>

namespace zel {

// The leading number of a text: leading blanks are skipped, '.' is the decimal
// mark, an optional sign and exponent are read, reading stops at the first
// character that cannot continue a number, and a text without one gives 0.
// "&H1F" and "&O17" read as hexadecimal and octal; one beyond 64 bits gives 0.
double Val(QStringView text);

// Rounds to the nearest whole number, halves to the even one (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

// Val, then rounded half to even to a 32-bit signed integer (saturating).
int32_t valToInt(QStringView text);

// A number as plain decimal text: no exponent, no grouping, no trailing zeros.
QString plainNumber(double value, int maxDecimals = 10);

} // namespace zel
