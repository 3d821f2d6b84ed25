#include "calc/clocking.h"

#include "calc/worked_example.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace pellamy;

// One click of CALCULATE without the window: what the step returns is all
// the window writes back.
TEST(ClockBird, ReturnsTheEntryAndTheFieldsAndTicksAsTheWindowShowsThemNext) {
    const BirdChoices ticked{true, true, true, false, 9}; // pooled, noms, cock; Blue Cheq
    const BirdChoices cleared{false, false, false, false, 9};
    struct Case {
        const char* what;
        void (*change)(CalculatorFields&);
        bool entryMade;
        BirdChoices after;
    } cases[] = {
        {"the worked example", [](CalculatorFields&) {}, true, cleared},
        {"a field that is no number", [](CalculatorFields& f) { f.CrMin = ""; }, false, ticked},
        {"no distance", [](CalculatorFields& f) { f.sixtieths.clear(); }, false, ticked},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CalculatorFields f = workedExample();
        c.change(f);
        const ClockingOutcome out = clockBird(f, ticked);
        EXPECT_EQ(out.calculated, c.entryMade);
        EXPECT_EQ(out.entryMade, c.entryMade);
        EXPECT_EQ(out.choices.pooled, c.after.pooled);
        EXPECT_EQ(out.choices.noms, c.after.noms);
        EXPECT_EQ(out.choices.cock, c.after.cock);
        // The bird's own fields are emptied for the next bird only when it
        // was entered; otherwise they stay for a second try.
        EXPECT_EQ(out.fields.ringno, c.entryMade ? "" : "GB06N12345");
        EXPECT_EQ(out.fields.Rubin, c.entryMade ? "" : "12");
        if (c.entryMade) {
            EXPECT_EQ(out.entry.mid(Col::Colour, 5),
                      QStringList({"BC", "C", "GB06N12345", "150-1234", "P-N"}));
        }
    }
    // A clock field over its limit is reset, written back and then used.
    CalculatorFields f = workedExample();
    f.CsSec = "75";
    const ClockingOutcome out = clockBird(f, ticked);
    ASSERT_EQ(out.resets.size(), 1);
    EXPECT_EQ(out.resets[0].field, "CsSec");
    EXPECT_EQ(out.resets[0].message, "Sorry but you can't enter a number higher than 59");
    EXPECT_EQ(out.fields.CsSec, "0");
    ASSERT_TRUE(out.entryMade);
    EXPECT_EQ(out.entry[Col::MemberSet], "19-30-00");
}
