#include "calc/raceentry.h"

#include "worked_example.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace pellamy;

TEST(RaceEntry, WorkedExampleColumnForColumn) {
    const CalculatorFields f = workedExample();
    const QStringList entry = buildRaceEntry(f, calculateVelocity(f));
    const QStringList expected = workedExampleEntry();
    ASSERT_EQ(entry.size(), kColumnCount);
    for (int column = 0; column < kColumnCount; ++column)
        EXPECT_EQ(entry[column], expected[column]) << "column " << column;
}

TEST(RaceEntry, SetErrorAndVariationTexts) {
    struct Case {
        const char* variation;
        const char* column7;
    } variations[] = {
        {"5.53403933434191", "06"}, {"12.3456", "12"},   {"-3.75", "-04"},
        {"123.456", "123"},         {"6", "06"},         {"0", "00"},
        {"-0.001", "00"},           {"0.0000123", "00"},
    };
    for (const Case& c : variations) {
        SCOPED_TRACE(c.variation);
        EXPECT_EQ(variationText(c.variation), c.column7);
    }

    CalculatorFields f = workedExample();
    struct SetCase {
        const char *memberSeconds, *masterSeconds, *column4;
    } setErrors[] = {{"0", "5", "-05"}, {"0", "2", "-02"}, {"127", "2", "125"}, {"2", "2", "00"}};
    for (const SetCase& c : setErrors) {
        SCOPED_TRACE(c.column4);
        f.CsMin = "30", f.CsSec = c.memberSeconds, f.MTSetSec = c.masterSeconds;
        const QStringList entry = buildRaceEntry(f, calculateVelocity(f));
        EXPECT_EQ(entry[Col::SetError], c.column4);
    }
}

TEST(RaceEntry, DistanceText) {
    EXPECT_EQ(distanceText("150", "1234"), "150-1234");
    EXPECT_EQ(distanceText("85", "440.5"), "085-0441");
    EXPECT_EQ(distanceText("0", "0"), "000-0000");
}

TEST(RaceEntry, PoolSexAndColourCodes) {
    EXPECT_EQ(poolMark(true, true), "P-N");
    EXPECT_EQ(poolMark(false, false), "");
    EXPECT_EQ(sexCode(true, false, "H"), "C");
    EXPECT_EQ(sexCode(false, true, "C"), "H");
    EXPECT_EQ(sexCode(true, true, "H"), "C");   // both ticked: Cock
    EXPECT_EQ(sexCode(false, false, "H"), "H"); // neither: the previous bird's
    EXPECT_EQ(sexCode(false, false, ""), "");
    EXPECT_EQ(colourCode(6, ""), "Y");
    EXPECT_EQ(colourCode(17, ""), "WF");
    EXPECT_EQ(colourCode(-1, "RD"), "RD"); // a colour typed that is not in the list
}

TEST(RaceEntry, TimeFieldChecks) {
    const QString over24 = "Sorry but you can't enter a number higher than 24";
    const QString over59 = "Sorry but you can't enter a number higher than 59";

    CalculatorFields f = workedExample();
    f.MTSetHr = "25", f.CsSec = "60", f.birdlibhrs = "99", f.birdclockhrs = "25", f.CrMin = "59",
    f.MTRakeHr = "24", f.birdlibmins = "-5", f.CsMin = "59.5";
    const TimeFieldCheck check = checkTimeFields(f);
    EXPECT_TRUE(check.allNumbers);
    ASSERT_EQ(check.resets.size(), 5);
    const TimeFieldReset expected[] = {
        {"MTSetHr", over24, "19"},    {"CsMin", over59, "0"},         {"CsSec", over59, "0"},
        {"birdlibhrs", over24, "08"}, {"birdclockhrs", over24, "10"},
    };
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(check.resets[i].field, expected[i].field);
        EXPECT_EQ(check.resets[i].message, expected[i].message);
        EXPECT_EQ(check.resets[i].resetText, expected[i].resetText);
    }
    EXPECT_EQ(f.MTSetHr, "19");
    EXPECT_EQ(f.birdlibhrs, "08");
    EXPECT_EQ(f.birdclockhrs, "10");
    EXPECT_EQ(f.CrMin, "59");       // 59 is accepted
    EXPECT_EQ(f.MTRakeHr, "24");    // and 24 as an hour
    EXPECT_EQ(f.birdlibmins, "-5"); // negatives pass
}

TEST(RaceEntry, TimeFieldChecksStopAtTheFirstFieldThatIsNotANumber) {
    CalculatorFields f = workedExample();
    f.MTSetHr = "30", f.CsHr = "", f.CrHr = "99";
    const TimeFieldCheck check = checkTimeFields(f);
    EXPECT_FALSE(check.allNumbers);
    EXPECT_EQ(check.notANumber, "CsHr");
    ASSERT_EQ(check.resets.size(), 1);
    EXPECT_EQ(check.resets[0].field, "MTSetHr");
    EXPECT_EQ(f.CrHr, "99"); // not reached
}

TEST(RaceDetails, ColumnsReadBackIntoTheSameDetailsAndStopAtABadDate) {
    RaceDetails d;
    d.txtmember = "12", d.txtbirds = "240", d.txtwind = "SW", d.racepoint = "Exeter";
    d.DayClockSet = QDateTime(QDate(2006, 5, 23), QTime(19, 45, 12));
    d.RaceDay = d.DayClockOpen = QDateTime(QDate(2006, 5, 24), QTime(19, 45, 12));
    d.DaybirdClocked = QDateTime(QDate(2006, 5, 25), QTime(0, 0));
    d.mtdetailset = "Master clock 7", d.txtcomments = "Wet, then fine";
    QStringList entry = QStringList(Col::Members, "x") + d.columns();
    ASSERT_EQ(entry.size(), kColumnCount);
    EXPECT_EQ(entry[Col::DayBird], "25/05/2006");
    const auto any = [](int, const QDateTime&) { return true; };
    RaceDetails back;
    EXPECT_EQ(readRaceDetails(entry, back, any), 21);
    EXPECT_EQ(back.columns(), d.columns());

    // A date the picker would refuse stops the reading there.
    RaceDetails partial;
    const auto notAfter2006 = [](int, const QDateTime& date) { return date.date().year() <= 2006; };
    entry[Col::ClockOpen] = "24/05/2051";
    EXPECT_EQ(readRaceDetails(entry, partial, notAfter2006), Col::ClockOpen - Col::Members);
    EXPECT_EQ(partial.txtcomments, "Wet, then fine");
    EXPECT_FALSE(partial.DayClockOpen.isValid());
    EXPECT_EQ(readRaceDetails(entry.mid(0, Col::Wind), partial, any), 2); // a short entry
}
