#pragma once
// The text forms in which the calculator stores numbers, times and dates.

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

namespace pellamy {

// The form of every computed number kept in a field: the shortest decimal
// text of the value rounded to 15 significant digits (an exact half rounds
// away from zero), no thousands
// separators, no trailing zeros and no point for a whole number
// (1143.21, -12.5, 60). Values of 1E+15 and more are written with an
// exponent ("1E+15", "1.5E+20"); smaller ones always in plain decimals, so
// that cutting a text to its first characters keeps a number.
// Precondition: the value is finite.
QString generalNumberText(double value);

// Writes a number text with a digit pattern: "00", "000", "0000" (whole
// numbers with at least two, three or four digits) or "0000.000" (three
// decimals, at least four digits before the point). Rounding is half away
// from zero on the decimal digits of the number's general number text, so
// 1100.1235 gives 1100.124. A minus sign stays in front (-05); a value that
// rounds to zero is written without a sign. Longer values are written whole
// (125 under "00"). A text that is not a number comes back unchanged.
QString patternText(const QString& text, const QString& pattern);

// Hours, minutes and seconds texts as "00" patterns joined by "-": 07-05-09.
QString hmsText(const QString& hours, const QString& minutes, const QString& seconds);

// A race date as the calendar and the clock face read it, in no time zone:
// a change to or from summer time never moves it, skips it or makes the
// days between two of them a fraction.
QDateTime clockFaceDateTime(const QDate& date, const QTime& time);

// A date picker's value as text: "24/05/2006", or "24/05/2006 19:45:12"
// when the time of day is not midnight.
QString dateText(const QDateTime& value);

// Reads back what dateText writes. Also takes one-digit days and months and
// a time without seconds, and gives a clock-face date. Empty when the text
// is not such a date.
std::optional<QDateTime> readDateText(const QString& text);

// A date as eight digits, day, month and four-digit year: 24052006.
QString eightDigitDate(const QDate& date);

// A count and its noun in the message's words: "1 row", "2 rows", "0 rows".
QString countText(qsizetype count, const QString& one, const QString& many);

// A text as it is shown or printed: without the characters that turn the
// direction of what follows them (U+202A to U+202E, U+2066 to U+2069), which
// no name needs and which would show a ring or the figures after it mirrored.
QString withoutDirectionControls(const QString& text);

} // namespace pellamy
