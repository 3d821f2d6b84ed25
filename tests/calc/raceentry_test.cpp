#include "calc/clocking.h"
#include "calc/raceentry.h"

#include "support/testing.h"
#include "worked_example.h"

#include <gmock/gmock.h>

#include <tuple>

using testing::HasSubstr, testing::StartsWith;

// Each reset as one text: "field to reset text: message shown".
static QStringList resets(const TimeFieldCheck& check) {
    QStringList out;
    for (const TimeFieldReset& r : check.resets)
        out << r.field + " to " + r.resetText + ": " + r.message;
    return out;
}

TEST(RaceEntry, SetErrorAndVariationTexts) {
    // Only the variation's first five characters count: "-12.5" rounds away
    // from zero, "1234." is not rounded up as 1234.5 would be.
    const std::pair<const char*, const char*> variations[] = {
        {"5.53403933434191", "06"}, {"-12.5", "-13"}, {"-0.001", "00"}, {"1234.5", "1234"}};
    for (const auto& [variation, column7] : variations)
        EXPECT_EQ(variationText(variation), QString::fromLatin1(column7)) << variation;

    CalculatorFields f = workedExample();
    for (const auto& [memberSeconds, masterSeconds, column4] :
         {std::tuple{"0", "5", "-05"}, {"127", "2", "125"}, {"2", "2", "00"}}) {
        f.CsSec = memberSeconds, f.MTSetSec = masterSeconds;
        EXPECT_EQ(buildRaceEntry(f, calculateVelocity(f))[Col::SetError], column4) << column4;
    }
}

TEST(RaceEntry, DistancePoolSexAndColourCodes) {
    EXPECT_EQ(distanceText("85", "440.5"), "085-0441");
    EXPECT_EQ(poolMark(false, false), "");
    EXPECT_EQ(sexCode(true, false, "H"), "C");
    EXPECT_EQ(sexCode(false, true, "C"), "H");
    EXPECT_EQ(sexCode(true, true, "H"), "C");   // both ticked: Cock
    EXPECT_EQ(sexCode(false, false, "H"), "H"); // neither: the previous bird's
    EXPECT_EQ(colourCode(17, ""), "WF");
    EXPECT_EQ(colourCode(-1, "RD"), "RD"); // a colour typed that is not in the list
}

TEST(RaceEntry, TimeFieldChecks) {
    const QString over24 = "Sorry but you can't enter a number higher than 24";
    const QString over59 = "Sorry but you can't enter a number higher than 59";

    CalculatorFields f = workedExample();
    f.MTSetHr = "25", f.CsSec = "60", f.birdlibhrs = "99", f.birdclockhrs = "25", f.CrMin = "59",
    f.MTRakeHr = "24", f.birdlibmins = "-5", f.CsMin = "59.5";
    EXPECT_EQ(
        resets(checkTimeFields(f)),
        QStringList({"MTSetHr to 19: " + over24, "CsMin to 0: " + over59, "CsSec to 0: " + over59,
                     "birdlibhrs to 08: " + over24, "birdclockhrs to 10: " + over24}));
    // The fields hold their reset texts; 59, 24 as an hour and negatives pass.
    EXPECT_EQ(QStringList({f.MTSetHr, f.CsMin, f.CsSec, f.birdlibhrs, f.birdclockhrs, f.CrMin,
                           f.MTRakeHr, f.birdlibmins}),
              QStringList({"19", "0", "0", "08", "10", "59", "24", "-5"}));

    // The checks stop at the first field that is not a number.
    f = workedExample();
    f.MTSetHr = "30", f.CsHr = "", f.CrHr = "99";
    const TimeFieldCheck stopped = checkTimeFields(f);
    EXPECT_FALSE(stopped.allNumbers);
    EXPECT_EQ(stopped.notANumber, "CsHr");
    EXPECT_EQ(resets(stopped), QStringList({"MTSetHr to 19: " + over24})); // CrHr not reached
}

TEST(RaceDetails, ColumnsReadBackIntoTheSameDetailsAndStopAtABadDate) {
    RaceDetails d = workedExample();
    d.DaybirdClocked = QDateTime(QDate(2006, 5, 25), QTime(0, 0)); // a date without a time
    QStringList entry = QStringList(Col::Members, "x") + d.columns();
    const auto any = [](int, const QDateTime&) { return true; };
    RaceDetails back;
    EXPECT_EQ(readRaceDetails(entry, back, any), 21);
    EXPECT_EQ(back.columns(), d.columns());
    // A liberation time a spreadsheet wrote without its leading noughts.
    entry[Col::LibHour] = "8", entry[Col::LibMinute] = "0";
    readRaceDetails(entry, back, any);
    EXPECT_EQ(back.birdlibhrs + back.birdlibmins, "0800");

    // A date the picker would refuse stops the reading there.
    RaceDetails partial;
    const auto notAfter2006 = [](int, const QDateTime& date) { return date.date().year() <= 2006; };
    entry[Col::ClockOpen] = "24/05/2051";
    EXPECT_EQ(readRaceDetails(entry, partial, notAfter2006), Col::ClockOpen - Col::Members);
    EXPECT_EQ(partial.txtcomments, "Good race");
    EXPECT_FALSE(partial.DayClockOpen.isValid());
    EXPECT_EQ(readRaceDetails(entry.mid(0, Col::Wind), partial, any), 2); // a short entry
}

// One click of CALCULATE without the window: what the step returns is all
// the window writes back.
TEST(ClockBird, ReturnsTheEntryAndTheFieldsAndTicksAsTheWindowShowsThemNext) {
    const BirdChoices ticked{true, true, true, false, 9}; // pooled, noms, cock; Blue Cheq
    const BirdChoices cleared{false, false, false, false, 9};
    QStringList entered = workedExampleEntry(); // in the colour ticked
    entered[Col::Colour] = "BC";
    struct Case {
        const char* what;
        void (*change)(CalculatorFields&);
        BirdChoices after;
        const char* noEntry; // why no entry was made; empty when one was
    } cases[] = {
        {"the worked example", [](CalculatorFields&) {}, cleared, ""},
        {"a field that is no number", [](CalculatorFields& f) { f.CrMin = ""; }, ticked,
         "a Clock Read box does not hold a number."},
        {"no distance", [](CalculatorFields& f) { f.sixtieths.clear(); }, ticked,
         "there is no distance for J. Smith from Berwick. Please choose the member from the "
         "list, or add the distance under Enter Members Distances."},
        {"an empty distance", [](CalculatorFields& f) { f.sixtieths = "\r\n"; }, ticked,
         "the distance for J. Smith from Berwick is empty. Please fill it in under Enter Members "
         "Distances."},
        {"two distances", [](CalculatorFields& f) { f.sixtieths += f.sixtieths; }, ticked,
         "there are 2 distances for J. Smith from Berwick, so Pellamy cannot tell which is "
         "right. Please keep the right one and delete the others under Enter Members Distances."},
        // Reset and written back, but not used: a second click takes it.
        {"a clock field over its limit", [](CalculatorFields& f) { f.CsSec = "75"; }, ticked,
         "a time over its limit was put back as the box now shows. Please check it and click "
         "CALCULATE again."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CalculatorFields f = workedExample();
        c.change(f);
        const ClockingOutcome out = clockBird(f, ticked);
        const bool entryMade = !*c.noEntry;
        EXPECT_EQ(out.entryMade, entryMade);
        EXPECT_EQ(out.calculated, entryMade);
        if (!entryMade) {
            EXPECT_EQ(noEntryReason(out, f.sixtieths, "J. Smith", "Berwick"), c.noEntry);
        }
        if (QString(c.what).contains("distance")) { // on a server its officer changes them
            EXPECT_THAT(noEntryReason(out, f.sixtieths, "J. Smith", "Berwick", true).toStdString(),
                        HasSubstr("ask the federation's distance officer to "));
        }
        EXPECT_EQ(std::tie(out.choices.pooled, out.choices.noms, out.choices.cock),
                  std::tie(c.after.pooled, c.after.noms, c.after.cock));
        // The bird's own fields are emptied for the next bird only when it
        // was entered; otherwise they stay for a second try.
        EXPECT_EQ(out.fields.ringno, entryMade ? "" : "GB06N12345");
        EXPECT_EQ(out.fields.Rubin, entryMade ? "" : "12");
        EXPECT_EQ(out.entry, entryMade ? entered : QStringList());
    }
    // With no member chosen, that is what is said.
    CalculatorFields none = workedExample();
    none.sixtieths.clear();
    EXPECT_EQ(noEntryReason(clockBird(none, ticked), none.sixtieths, " ", "Berwick"),
              "no member is chosen. Please choose the member from the list.");
    // The fields written back hold the reset time, which a second click takes.
    CalculatorFields f = workedExample();
    f.CsSec = "75";
    EXPECT_TRUE(clockBird(clockBird(f, ticked).fields, ticked).entryMade);

    // A clock set half an hour out (an hour at a change of summer time) is
    // doubted; a second less is not.
    f = workedExample();
    f.CsMin = "59", f.CsSec = "59";
    const auto doubt = [&] { return clockDoubt(clockBird(f, ticked)).toStdString(); };
    EXPECT_EQ(doubt(), "");
    f.CsHr = "20", f.CsMin = "0", f.CsSec = "0";
    EXPECT_THAT(doubt(), StartsWith("This bird's clock was 1800 seconds ahead of the master clock "
                                    "when set, and had lost 1226 seconds by"));
    f.CrMin = "30", f.CrSec = "0"; // and read as far out: set out, it kept time
    EXPECT_THAT(doubt(), StartsWith("This bird's clock was 1800 seconds ahead of the master clock "
                                    "when set, and had neither gained nor lost by"));
    f.CrMin = "0", f.CrSec = "10";
    f.CsHr = "-3000000000000000"; // a negative hour passes the time check
    EXPECT_THAT(doubt(), StartsWith("This bird's clock was 1.08000000000001E+19 seconds behind"));
    // Half an hour gained by the moment it was read, when the bird was clocked: doubted.
    f = workedExample();
    f.CsSec = "0", f.CrMin = "30", f.CrSec = "0", f.birdclockhrs = "19", f.birdclockmins = "30";
    f.birdclocksecs = "0";
    EXPECT_THAT(doubt(), HasSubstr("was set to the master clock, and had gained 1800 seconds by"));
    f = workedExample();
    f.CrMin = "33"; // read 33 minutes out: a share of it gained by the bird's time
    EXPECT_THAT(doubt(),
                HasSubstr("when set, and had gained 1344 seconds by the time it was "
                          "clocked, and had gained 1988 seconds by the time it was read."));
    f = workedExample(); // clocked, by the times given, before liberation
    f.birdclockhrs = "7";
    EXPECT_THAT(doubt(), StartsWith("This bird's flying time comes out below nought"));
    f = workedExample(); // a loft at the race point: a velocity of nought, no doubt
    f.sixtieths = "0\r\n";
    EXPECT_EQ(doubt(), "");
    // A clock read just after midnight, the master clock just before: a
    // day's error, doubted.
    f = workedExample();
    f.CrHr = "0", f.CrMin = "0", f.CrSec = "5", f.MTRakeHr = "23", f.MTRakeMin = "59",
    f.MTRakeSec = "50";
    EXPECT_THAT(doubt(), StartsWith("This bird's clock was 2 seconds ahead of the master clock "
                                    "when set, and had lost 312045 seconds"));
    f.CsSec = "0"; // set right to the second
    EXPECT_THAT(doubt(), StartsWith("This bird's clock was set to the master clock, and had lost"));
}
