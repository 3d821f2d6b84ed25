#include "calc/raceentry.h"

#include "worked_example.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace pellamy;

TEST(RaceEntry, WorkedExampleColumnForColumn) {
    const CalculatorFields f = workedExample();
    const QStringList entry = buildRaceEntry(f, calculateVelocity(f));
    const QStringList expected = {
        "",
        "J. Smith",
        "19-30-02",
        "19-30-00",
        "02",
        "19-00-10",
        "19-00-00",
        "06",
        "11-45-30",
        "03-45-22",
        "1176.859",
        "12",
        "345",
        "BB",
        "C",
        "GB06N12345",
        "150-1234",
        "P-N",
        "12",
        "240",
        "SW",
        "23/05/2006 19:45:12",
        "24/05/2006 19:45:12",
        "08",
        "00",
        "Berwick",
        "1",
        "0",
        "22",
        "30",
        "4",
        "30",
        "Benzing 1234",
        "19:30:00",
        "Benzing 1234",
        "19:00:00",
        "Good race",
        "24/05/2006 19:45:12",
        "24/05/2006 19:45:12",
    };
    ASSERT_EQ(entry.size(), kColumnCount);
    for (int column = 0; column < kColumnCount; ++column)
        EXPECT_EQ(entry[column], expected[column]) << "column " << column;
}

TEST(RaceEntry, ColumnTableAndHeaders) {
    const QStringList headers = raceEntryHeaders();
    ASSERT_EQ(headers.size(), kColumnCount);
    EXPECT_EQ(headers[Col::Velocity], "Y.P.M");
    EXPECT_EQ(headers[Col::Comments], "TXTCOMMENTS");
    EXPECT_EQ(headers.count("Member"), 3);
    EXPECT_EQ(headers.count("H : M : S"), 2);
    int first17 = 0, all = 0;
    for (int c = 0; c < kColumnCount; ++c) {
        all += raceEntryColumns()[std::size_t(c)].width;
        if (c <= 16)
            first17 += raceEntryColumns()[std::size_t(c)].width;
    }
    EXPECT_EQ(first17, 25079);
    EXPECT_EQ(all, 25079 + 22 * 852);

    const QString caption = groupCaptionLine();
    EXPECT_EQ(caption.size(), 250);
    EXPECT_EQ(caption.indexOf("Clock Setting"), 60);
    EXPECT_EQ(caption.indexOf("Rubbers"), 250 - 48 - 7);
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

TEST(RaceEntry, PoolMarks) {
    EXPECT_EQ(poolMark(true, false), "P");
    EXPECT_EQ(poolMark(false, true), "N");
    EXPECT_EQ(poolMark(true, true), "P-N");
    EXPECT_EQ(poolMark(false, false), "");
}

TEST(RaceEntry, SexCodesInTheCalculatorsOrder) {
    EXPECT_EQ(sexCode(true, false, "H"), "C");
    EXPECT_EQ(sexCode(false, true, "C"), "H");
    EXPECT_EQ(sexCode(true, true, "H"), "C");   // both ticked: Cock
    EXPECT_EQ(sexCode(false, false, "H"), "H"); // neither: the previous bird's
    EXPECT_EQ(sexCode(false, false, ""), "");
}

TEST(RaceEntry, ColourCodes) {
    ASSERT_EQ(colourTable().size(), 18u);
    EXPECT_EQ(colourCode(0, ""), "BB");
    EXPECT_EQ(colourCode(6, ""), "Y");
    EXPECT_EQ(colourCode(7, ""), "W");
    EXPECT_EQ(colourCode(17, ""), "WF");
    EXPECT_STREQ(colourTable()[9].name, "Blue Cheq");
    EXPECT_EQ(colourCode(-1, "RD"), "RD"); // a colour typed that is not in the list
    EXPECT_EQ(colourCode(-1, ""), "");
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
