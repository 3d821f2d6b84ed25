#include "calc/velocity.h"

#include "worked_example.h"

#include <QLocale>

#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace pellamy;

namespace {

QString text(const std::optional<QString>& field) {
    return field.value_or("(not written)");
}

void expectWorkedExample(const VelocityResult& r) {
    ASSERT_TRUE(r.ok()) << r.failedStep;
    EXPECT_EQ(r.setError, 2.0);
    EXPECT_EQ(text(r.variation), "5.53403933434191");
    EXPECT_EQ(text(r.FTHrs), "3");
    EXPECT_EQ(text(r.FTMins), "45");
    EXPECT_EQ(text(r.FTSecs), "22.4659606656587");
    EXPECT_EQ(text(r.velocity), "1176.85931296045");
    EXPECT_EQ(text(r.Text1), "40.1202038509244");
    EXPECT_EQ(text(r.Textcon2), "150.701136363636");
    EXPECT_EQ(text(r.miles), "150");
    EXPECT_EQ(text(r.textcon4), "15840000");
    EXPECT_EQ(text(r.textcon5), "74040");
    EXPECT_EQ(text(r.yards), "1234");
}

} // namespace

TEST(Velocity, WorkedExampleGivesEveryResultField) {
    expectWorkedExample(calculateVelocity(workedExample()));
}

TEST(Velocity, ACommaDecimalLocaleChangesNothing) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    std::setlocale(LC_ALL, "fr_FR.UTF-8");
    expectWorkedExample(calculateVelocity(workedExample()));
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(saved);
}

TEST(Velocity, ClockErrorsDarknessAndTheSplitOfTheFlyingTime) {
    struct Case {
        const char* what;
        void (*change)(CalculatorFields&);
        const char *variation, *hrs, *mins, *secs;
    } cases[] = {
        {"bird out overnight on a perfect clock: 61800 s less the darkness",
         [](CalculatorFields& f) {
             f.CsSec = "0", f.CrSec = "0";
             f.birdclockhrs = "7", f.birdclockmins = "10", f.birdclocksecs = "0";
             f.midnight = "2", f.midnight2 = "1";
             f.HODhr = "22", f.HODmin = "30", f.HOLhr = "4", f.HOLmin = "30";
         },
         "0", "17", "10", "0"},
        {"clock that lost time: negative variation lengthens the flight",
         [](CalculatorFields& f) { f.CsSec = "10", f.CrSec = "2"; }, "-5.53432948742198", "3", "45",
         "25.5343294874219"},
        {"clocked the moment the clock was set: no variation",
         [](CalculatorFields& f) {
             f.birdclockhrs = "19", f.birdclockmins = "30", f.birdclocksecs = "2", f.midnight = "0",
             f.CrHr = "21";
         },
         "0", "11", "30", "0"},
        {"clocked the moment the clock was opened: the whole gain",
         [](CalculatorFields& f) {
             f.birdclockhrs = "19", f.birdclockmins = "0", f.birdclocksecs = "10";
         },
         "8", "11", "0", "0"},
        {"darkness start earlier than its end runs over two midnights: 42 hours",
         [](CalculatorFields& f) {
             f.CsSec = "0", f.CrSec = "0", f.midnight2 = "1";
             f.HODhr = "4", f.HODmin = "0", f.HOLhr = "22", f.HOLmin = "0";
         },
         "0", "-14", "-14", "-30"},
        // The hours and minutes are whole divisions that round, so the
        // seconds left over may be negative.
        {"T = 3599.7 s on a perfect clock",
         [](CalculatorFields& f) {
             f.CsSec = "0", f.CrSec = "0";
             f.birdclockhrs = "8", f.birdclockmins = "59", f.birdclocksecs = "59.7";
         },
         "0", "1", "0", "-0.300000000000182"},
        {"T = 59.6 s on a perfect clock",
         [](CalculatorFields& f) {
             f.CsSec = "0", f.CrSec = "0";
             f.birdclockhrs = "8", f.birdclockmins = "0", f.birdclocksecs = "59.6";
         },
         "0", "0", "1", "-0.399999999999999"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CalculatorFields f = workedExample();
        c.change(f);
        const VelocityResult r = calculateVelocity(f);
        ASSERT_TRUE(r.ok()) << r.failedStep;
        EXPECT_EQ(text(r.variation), c.variation);
        EXPECT_EQ(text(r.FTHrs), c.hrs);
        EXPECT_EQ(text(r.FTMins), c.mins);
        EXPECT_EQ(text(r.FTSecs), c.secs);
    }
}

TEST(Velocity, StopsAtTheFailingStepKeepingEarlierResults) {
    struct Case {
        const char* what;
        void (*change)(CalculatorFields&);
        VelocityFault fault;
        int step;
        const char* field;
        bool variationWritten, flyingTimeWritten;
    } cases[] = {
        {"empty member set seconds", [](CalculatorFields& f) { f.CsSec = ""; },
         VelocityFault::NotANumber, 1, "CsSec", false, false},
        {"letters in darkness start", [](CalculatorFields& f) { f.HODmin = "xx"; },
         VelocityFault::NotANumber, 12, "HODmin", true, false},
        {"no distance row", [](CalculatorFields& f) { f.sixtieths = ""; },
         VelocityFault::NotANumber, 19, "sixtieths", true, true},
        {"clock read at the moment it was set",
         [](CalculatorFields& f) {
             f.midnight = "0", f.CrHr = "19", f.CrMin = "30", f.CrSec = "2";
         },
         VelocityFault::DivisionByZero, 10, "", false, false},
        {"flying time of zero",
         [](CalculatorFields& f) {
             f.CsSec = "0", f.CrSec = "0";
             f.birdclockhrs = "8", f.birdclockmins = "0", f.birdclocksecs = "0";
         },
         VelocityFault::DivisionByZero, 19, "", true, true},
        {"a flying time too large for whole division",
         [](CalculatorFields& f) { f.midnight2 = "1e6", f.HOLhr = "-100"; },
         VelocityFault::Overflow, 17, "", true, true},
    };
    for (const Case& c : cases) {
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
