#pragma once
// The whole-day counts that place a race's clock times on one axis, and the
// copy of a time picker's value into its hours, minutes and seconds fields.

#include <QDateTime>
#include <QString>
#include <QTime>

namespace pellamy {

// later minus earlier in days, as general number text: "1", "0", "-1", or a
// fraction when the times of day differ. The two values are taken as they
// read on the calendar and the clock face, so a change to or from summer
// time between them does not make a whole day a fraction.
QString nightCount(const QDateTime& later, const QDateTime& earlier);

// The race dates a new race starts from: the clocks set yesterday, and the
// race, the bird and the opening today, each at the present clock time in
// whole seconds, as clock-face dates (a time skipped yesterday when the
// clocks went forward is still that time).
struct StartingDates {
    QDateTime yesterday;
    QDateTime today;
};
StartingDates startingDates(const QDateTime& now);

// A time picker's value as the plain decimal texts of its hour, minute and
// second, without leading zeros: 07:05:00 gives "7", "5", "0".
struct TimeTexts {
    QString hours;
    QString minutes;
    QString seconds;
};
TimeTexts timeCopy(const QTime& time);

} // namespace pellamy
