#include "nightcounts.h"

#include "textforms.h"

namespace pellamy {

QString nightCount(const QDateTime& later, const QDateTime& earlier) {
    const double days = double(earlier.date().daysTo(later.date()));
    const double seconds =
        double(later.time().msecsSinceStartOfDay() - earlier.time().msecsSinceStartOfDay()) /
        1000.0;
    return generalNumberText(days + seconds / 86400.0);
}

StartingDates startingDates(const QDateTime& now) {
    const QTime time(now.time().hour(), now.time().minute(), now.time().second());
    return {clockFaceDateTime(now.date().addDays(-1), time), clockFaceDateTime(now.date(), time)};
}

TimeTexts timeCopy(const QTime& time) {
    return {QString::number(time.hour()), QString::number(time.minute()),
            QString::number(time.second())};
}

} // namespace pellamy
