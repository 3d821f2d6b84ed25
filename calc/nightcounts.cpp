#include "nightcounts.h"

#include "textforms.h"

#include <QTimeZone>

namespace pellamy {

QString nightCount(const QDateTime& later, const QDateTime& earlier) {
    const double days = double(earlier.date().daysTo(later.date()));
    const double seconds =
        double(later.time().msecsSinceStartOfDay() - earlier.time().msecsSinceStartOfDay()) /
        1000.0;
    return generalNumberText(days + seconds / 86400.0);
}

NightCounts nightCounts(const QDateTime& dayClockSet, const QDateTime& raceDay,
                        const QDateTime& dayBirdClocked, const QDateTime& dayClockOpen) {
    return {nightCount(dayClockOpen, dayClockSet), nightCount(dayBirdClocked, raceDay),
            nightCount(dayClockOpen, dayBirdClocked)};
}

StartingDates startingDates(const QDateTime& now) {
    // The same clock time on a date, in now's own time (local, or a zone).
    const auto at = [&](const QDate& date, const QTime& time) {
        return now.timeSpec() == Qt::TimeZone ? QDateTime(date, time, now.timeZone())
                                              : QDateTime(date, time, now.timeSpec());
    };
    const QTime time(now.time().hour(), now.time().minute(), now.time().second());
    StartingDates dates{at(now.date().addDays(-1), time), at(now.date(), time)};
    // A clock time skipped yesterday: made invalid, or moved on an hour,
    // as the Qt version has it.
    if (!dates.yesterday.isValid() || dates.yesterday.time() != time) {
        dates.yesterday = dates.today.addDays(-1);
        dates.today = at(now.date(), dates.yesterday.time());
    }
    return dates;
}

TimeTexts timeCopy(const QTime& time) {
    return {QString::number(time.hour()), QString::number(time.minute()),
            QString::number(time.second())};
}

} // namespace pellamy
