#pragma once
// Fitting texts to the fixed columns of the printed sheets and the e-mailed
// result.

#include <QString>

namespace pellamy {

// A text fitted to a field of n "@" placeholders: right-aligned (padded on
// the left), or left-aligned (padded on the right) with a leading "!". A
// value longer than its field is printed whole: nothing is cut off a name or
// a ring number.
QString fieldPattern(const QString& value, const QString& pattern);

// A date through the pattern "@@/@@/@@": an eight-digit date (day, month,
// four-digit year) prints as day/month/two-digit year, 24052006 as 24/05/06;
// any other text fills the places from the right, extra characters going in
// front of the first.
QString slashDate(const QString& value);

// Pads a line with blanks to the start of the next 14-character print zone
// (character positions 1, 15, 29, 43, ...). A line that ends exactly at a
// zone boundary moves on to the following zone.
void toNextPrintZone(QString& line);

} // namespace pellamy
