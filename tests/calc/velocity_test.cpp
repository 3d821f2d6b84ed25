#include "calc/velocity.h"

#include "support/testing.h"
#include "worked_example.h"

#include <QLocale>

using F = CalculatorFields&;

// Every field a calculation writes, in the order it writes them.
static QStringList written(const VelocityResult& r) {
    QStringList out;
    for (const auto* field : {&r.variation, &r.FTHrs, &r.FTMins, &r.FTSecs, &r.velocity, &r.Text1,
                              &r.Textcon2, &r.miles, &r.textcon4, &r.textcon5, &r.yards})
        out << field->value_or("(not written)");
    return out;
}

static void expectWorkedExample(const VelocityResult& r) {
    ASSERT_TRUE(r.ok()) << r.failedStep;
    EXPECT_EQ(r.setError, 2.0);
    EXPECT_EQ(written(r), QStringList({"5.53403933434191", "3", "45", "22.4659606656587",
                                       "1176.85931296045", "40.1202038509244", "150.701136363636",
                                       "150", "15840000", "74040", "1234"}));
}

// The same in a locale whose decimal mark is a comma.
TEST(Velocity, WorkedExampleGivesEveryResultFieldInAnyLocale) {
    expectWorkedExample(calculateVelocity(workedExample()));
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    expectWorkedExample(calculateVelocity(workedExample()));
    QLocale::setDefault(saved);
}

// The hours and minutes are whole divisions that round, so the seconds left
// over may be negative (the last two).
TEST(Velocity, ClockErrorsDarknessAndTheSplitOfTheFlyingTime) {
    const struct {
        const char* what;
        void (*change)(F);
        QStringList variationHrsMinsSecs;
    } cases[] = {
        {"bird out overnight on a perfect clock: 61800 s less the darkness",
         [](F f) {
             f.CsSec = f.CrSec = "0", f.midnight = "2", f.midnight2 = "1";
             f.birdclockhrs = "7", f.birdclockmins = "10", f.birdclocksecs = "0";
             f.HODhr = "22", f.HODmin = "30", f.HOLhr = "4", f.HOLmin = "30";
         },
         {"0", "17", "10", "0"}},
        {"liberated at 08:00:15",
         [](F f) { f.birdlibsecs = "15"; },
         {"5.53403933434191", "3", "45", "7.46596066565871"}},
        {"clock that lost time: negative variation lengthens the flight",
         [](F f) { f.CsSec = "10", f.CrSec = "2"; },
         {"-5.53432948742198", "3", "45", "25.5343294874219"}},
        {"clocked the moment the clock was set: no variation",
         [](F f) {
             f.birdclockhrs = "19", f.birdclockmins = "30", f.birdclocksecs = "2";
             f.midnight = "0", f.CrHr = "21";
         },
         {"0", "11", "30", "0"}},
        {"darkness start earlier than its end runs over two midnights: 42 hours",
         [](F f) {
             f.CsSec = f.CrSec = "0", f.midnight2 = "1";
             f.HODhr = "4", f.HODmin = "0", f.HOLhr = "22", f.HOLmin = "0";
         },
         {"0", "-14", "-14", "-30"}},
        {"T = 3599.7 s on a perfect clock",
         [](F f) {
             f.CsSec = f.CrSec = "0", f.birdclockhrs = "8", f.birdclockmins = "59";
             f.birdclocksecs = "59.7";
         },
         {"0", "1", "0", "-0.300000000000182"}},
        {"T = 59.6 s on a perfect clock",
         [](F f) {
             f.CsSec = f.CrSec = "0", f.birdclockhrs = "8", f.birdclockmins = "0";
             f.birdclocksecs = "59.6";
         },
         {"0", "0", "1", "-0.399999999999999"}},
        // The clocks opened the day after the bird: the variation is shared
        // out to the time of clocking, not to the opening day.
        {"opened on race day",
         [](F f) { f.CrSec = "20"; },
         {"12.4501169963838", "3", "45", "15.5498830036158"}},
        {"opened next day, bird clocked on race day",
         [](F f) { f.midnight = "2", f.extraday = "1", f.CrSec = "20"; },
         {"6.16019366382486", "3", "45", "21.8398063361747"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CalculatorFields f = workedExample();
        c.change(f);
        const VelocityResult r = calculateVelocity(f);
        ASSERT_TRUE(r.ok()) << r.failedStep;
        EXPECT_EQ(written(r).mid(0, 4), c.variationHrsMinsSecs);
    }
}

TEST(Velocity, StopsAtTheFailingStepKeepingEarlierResults) {
    const struct {
        const char* what;
        void (*change)(F);
        VelocityFault fault;
        int step;
        const char* field;
        bool variationWritten, flyingTimeWritten;
    } cases[] = {
        {"empty member set seconds", [](F f) { f.CsSec = ""; }, VelocityFault::NotANumber, 1,
         "CsSec", false, false},
        {"letters in darkness start", [](F f) { f.HODmin = "xx"; }, VelocityFault::NotANumber, 12,
         "HODmin", true, false},
        {"no distance row", [](F f) { f.sixtieths = ""; }, VelocityFault::NotANumber, 19,
         "sixtieths", true, true},
        {"clock read at the moment it was set",
         [](F f) { f.midnight = "0", f.CrHr = "19", f.CrMin = "30", f.CrSec = "2"; },
         VelocityFault::DivisionByZero, 10, "", false, false},
        {"flying time of zero",
         [](F f) {
             f.CsSec = f.CrSec = "0", f.birdclockhrs = "8";
             f.birdclockmins = f.birdclocksecs = "0";
         },
         VelocityFault::DivisionByZero, 19, "", true, true},
        {"a flying time too large for whole division",
         [](F f) { f.midnight2 = "1e6", f.HOLhr = "-100"; }, VelocityFault::Overflow, 17, "", true,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CalculatorFields f = workedExample();
        c.change(f);
        const VelocityResult r = calculateVelocity(f);
        EXPECT_EQ(r.fault, c.fault);
        EXPECT_EQ(r.failedStep, c.step);
        EXPECT_EQ(r.failedField, c.field);
        EXPECT_EQ(r.variation.has_value(), c.variationWritten);
        EXPECT_EQ(r.FTSecs.has_value(), c.flyingTimeWritten);
        EXPECT_FALSE(r.velocity.has_value());
        EXPECT_FALSE(r.yards.has_value());
    }
}
