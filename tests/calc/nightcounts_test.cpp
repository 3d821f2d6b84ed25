#include "calc/nightcounts.h"
#include "support/testing.h"

#include <QTimeZone>

#include <tuple>

// The date pickers' pairing into midnight, midnight2 and extraday is the
// calculator's, tested there.
TEST(NightCounts, CountDaysBetweenTwoDates) {
    const QTime now(18, 12, 40);
    const QDateTime friday(QDate(2006, 5, 26), now), sunday(QDate(2006, 5, 28), now);
    const std::tuple<QDateTime, QDateTime, const char*> cases[] = {
        {sunday, friday, "2"},
        {friday, friday, "0"},
        {friday, sunday, "-2"}, // opened before set
        {friday, friday.addSecs(-6 * 3600), "0.25"},
    };
    for (const auto& [later, earlier, expected] : cases)
        EXPECT_EQ(nightCount(later, earlier), expected);
}

TEST(NightCounts, ASummerTimeChangeKeepsWholeDays) {
    // Clocks go forward in the early hours of 26 March 2006 in Britain, and
    // back on 29 October.
    const QTimeZone london("Europe/London");
    ASSERT_TRUE(london.isValid());
    for (const QDate& day : {QDate(2006, 3, 25), QDate(2006, 10, 28)}) {
        const QDateTime set(day, QTime(19, 30), london),
            open(day.addDays(1), QTime(19, 30), london);
        ASSERT_NE(set.offsetFromUtc(), open.offsetFromUtc()); // a change lies between them
        EXPECT_EQ(nightCount(open, set), "1");
    }
    // Started at 01:30 the day after the clocks went forward, when 01:30 did
    // not exist yesterday: the dates a new race starts from still count one
    // night between them.
    const StartingDates dates =
        startingDates(QDateTime(QDate(2027, 3, 29), QTime(1, 30, 10), london));
    ASSERT_TRUE(dates.yesterday.isValid() && dates.today.isValid());
    EXPECT_EQ(nightCount(dates.today, dates.yesterday), "1");
    EXPECT_EQ(dates.today.date(), QDate(2027, 3, 29));
}
