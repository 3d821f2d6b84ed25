#pragma once
// Conversions between the texts the calculator's fields hold and numbers.
// None of them depends on the machine's locale: "." is always the decimal
// point, so a race works out the same on every computer.

#include <QString>

#include <cstdint>
#include <optional>

namespace pellamy {

// Reads a field's text as a number. Blanks and line breaks around the number
// are ignored; an optional sign, digits with an optional "." and an optional
// exponent ("1.5E-05") are accepted. Anything else (an empty text, letters,
// two numbers on two lines, a value beyond the double range) is not a number.
std::optional<double> textToNumber(const QString& text);

// Rounds to the nearest whole number, halves to the even neighbour
// (2.5 gives 2, 3.5 gives 4, -2.5 gives -2).
double roundHalfEven(double value);

// Whole-number division a \ b: both operands are first rounded half to even,
// the quotient is then truncated toward zero. Empty when b rounds to zero or
// an operand lies outside the 32-bit whole-number range (an overflow).
std::optional<double> wholeDivide(double a, double b);

// The whole-number part, toward zero (-3.7 gives -3).
double truncateNumber(double value);

// Converts to a 16-bit whole number, rounding half to even. Empty when the
// rounded value lies outside -32768 to 32767.
std::optional<std::int16_t> toInt16(double value);

} // namespace pellamy
