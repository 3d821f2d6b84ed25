#include "calculatorfixture.h"

#include "calc/worked_example.h"

#include "calc/raceentry.h"
#include "support/controls.h"
#include "support/qt_printers.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPlainTextEdit>

using namespace pellamy;

namespace {

const QVector<testsupport::Row> kClub = {
    {"J. Smith", "Berwick", "150", "1234", "15914040"},
    {"O'Brien", "Berwick", "251", "0", "26505600"},
    {"O'Brien", "Berwick", "251", "0", "26505600"},
    {"A. Brown", "Berwick", "248", "880", "26241600"},
};

const QString kNoEntries = "You have no entries in your Database, please check.";

} // namespace

class ClockingTest : public CalculatorTest {
protected:
    void SetUp() override { prepare(); }

    // A new window on the club's database with the worked example's bird.
    void prepare() {
        makeDatabase(kClub);
        open();
        choose(list("member"), list("member")->findText("J. Smith"));
        // The worked example: clocks set the evening before, opened on race day.
        Pellamy& w = *window;
        const QTime setTime(19, 45, 12);
        control<QDateTimeEdit>(w, "DayClockSet")->setDateTime({QDate(2006, 5, 23), setTime});
        control<QDateTimeEdit>(w, "RaceDay")->setDateTime({QDate(2006, 5, 24), setTime});
        control<QDateTimeEdit>(w, "DaybirdClocked")->setDateTime({QDate(2006, 5, 24), setTime});
        control<QDateTimeEdit>(w, "DayClockOpen")->setDateTime({QDate(2006, 5, 24), setTime});
        type("MTSetHr", "19"), type("MTSetMin", "30"), type("MTSetSec", "0");
        type("CsHr", "19"), type("CsMin", "30"), type("CsSec", "2");
        type("MTRakeHr", "19"), type("MTRakeMin", "0"), type("MTRakeSec", "0");
        type("CrHr", "19"), type("CrMin", "0"), type("CrSec", "10");
        type("birdclockhrs", "11"), type("birdclockmins", "45"), type("birdclocksecs", "30");
        type("txtmember", "12"), type("txtbirds", "240"), type("txtwind", "SW");
        type("mtdetailset", "Master clock 7"), type("mtreadset", "19:30:00");
        type("mtdetailrake", "Master clock 7"), type("mtreadrake", "19:00:00");
        control<QPlainTextEdit>(w, "txtcomments")->setPlainText("Good race");
        type("ringno", "GB06N12345"), type("Rubin", "12"), type("Rubout", "345");
        control<QCheckBox>(w, "Check1")->setChecked(true);
        control<QCheckBox>(w, "Check2")->setChecked(true);
        control<QCheckBox>(w, "Check3")->setChecked(true);
    }

    QStringList row(int i) const { return window->entries().entry(i); }
};

TEST_F(ClockingTest, WorkedExampleGivesTheEntryColumnForColumn) {
    Pellamy& w = *window;
    clock();
    ASSERT_EQ(w.entries().count(), 1);
    const QStringList expected = workedExampleEntry();
    EXPECT_EQ(row(0), expected);
    EXPECT_EQ(box("sixtieths")->text(), "15914040\r\n");
    EXPECT_EQ(box("txtdateset")->text(), "23052006");
    EXPECT_EQ(box("txtdaterace")->text(), "24052006");
    // Ready for the next bird.
    EXPECT_EQ(box("ringno")->text(), "");
    EXPECT_EQ(box("Rubin")->text(), "");
    EXPECT_EQ(box("Rubout")->text(), "");
    EXPECT_FALSE(control<QCheckBox>(w, "Check1")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(w, "Check2")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(w, "Check3")->isChecked());
    EXPECT_EQ(box("birdclockhrs")->text(), "11");
    // Only the member question was asked.
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].kind, "question");
    EXPECT_EQ(dialogs.shown()[0].text, "Another Bird for J. Smith");
    EXPECT_EQ(dialogs.shown()[0].title, "Pellamy");
}

TEST_F(ClockingTest, AnswersToTheMemberQuestion) {
    Pellamy& w = *window;
    clock(true);
    EXPECT_FALSE(list("member")->isVisible()); // Yes: the member stays chosen for the next bird
    type("birdclockmins", "50");
    clock(false);
    EXPECT_TRUE(list("member")->isVisible());
    EXPECT_EQ(w.entries().count(), 2);
    EXPECT_EQ(row(0)[Col::BirdClocked], "11-45-30"); // the faster bird first
    EXPECT_EQ(row(1)[Col::BirdClocked], "11-50-30");
    EXPECT_EQ(row(1)[Col::Sex], "C"); // neither ticked: the previous bird's code
    EXPECT_EQ(row(1)[Col::PoolNom], "");
}

TEST_F(ClockingTest, AFieldOverItsLimitIsReportedResetAndTheBirdStillCalculated) {
    // The limits and resets of every field are the core's; this proves the
    // window shows the message and writes the reset into the field.
    type("birdclockhrs", "99");
    clock();
    EXPECT_EQ(box("birdclockhrs")->text(), "10");
    ASSERT_EQ(dialogs.shown().size(), 2);
    EXPECT_EQ(dialogs.shown()[0].text, "Sorry but you can't enter a number higher than 24");
    EXPECT_EQ(dialogs.shown()[0].title, "Pellamy");
    EXPECT_EQ(dialogs.shown()[1].kind, "question");
    EXPECT_EQ(window->entries().count(), 1);
}

TEST_F(ClockingTest, FailuresMakeNoEntryAndTheQuestionStillFollows) {
    struct Case {
        const char* what;
        void (*change)(ClockingTest&);
    } cases[] = {
        {"an empty time field", [](ClockingTest& t) { t.type("CrMin", ""); }},
        {"two distance rows for the member",
         [](ClockingTest& t) {
             choose(control<QComboBox>(*t.window, "member"),
                    control<QComboBox>(*t.window, "member")->findText("O'Brien"));
         }},
        {"a member with no distance",
         [](ClockingTest& t) { control<QComboBox>(*t.window, "member")->setEditText("Nobody"); }},
        {"letters in the darkness", [](ClockingTest& t) { t.type("HODhr", "xx"); }},
        {"no database", [](ClockingTest& t) { QFile::remove(t.databasePath()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prepare();
        c.change(*this);
        dialogs.clear();
        clock(false);
        EXPECT_EQ(window->entries().count(), 0);
        ASSERT_EQ(dialogs.shown().size(), 1);
        EXPECT_EQ(dialogs.shown()[0].kind, "question");
        EXPECT_TRUE(list("member")->isVisible());
        // The bird's own details stay for a second try.
        EXPECT_EQ(box("ringno")->text(), "GB06N12345");
        EXPECT_TRUE(control<QCheckBox>(*window, "Check1")->isChecked());
    }
}

TEST_F(ClockingTest, MissingDistanceKeepsTheFiguresComputedBeforeTheVelocity) {
    list("member")->setEditText("Nobody");
    clock();
    EXPECT_EQ(box("sixtieths")->text(), "");
    EXPECT_EQ(box("variation")->text(), "5.53403933434191");
    EXPECT_EQ(box("FTSecs")->text(), "22.4659606656587");
    EXPECT_EQ(box("velocity")->text(), "");
}

TEST_F(ClockingTest, WithNoRacePointChosenTheNoEntriesMessageComesBeforeTheQuestion) {
    for (const bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "an empty database" : "a race point typed, not chosen");
        if (empty) {
            makeDatabase({});
            open();
        } else {
            list("racepoint")->setEditText("berwick"); // still matches: the bird is clocked
        }
        dialogs.clear();
        clock();
        EXPECT_EQ(window->entries().count(), empty ? 0 : 1);
        ASSERT_EQ(dialogs.shown().size(), 2);
        EXPECT_EQ(dialogs.shown()[0].text, kNoEntries);
        EXPECT_EQ(dialogs.shown()[1].text,
                  empty ? "Another Bird for " : "Another Bird for J. Smith");
    }
}

TEST_F(ClockingTest, SexAndColourCodes) {
    Pellamy& w = *window;
    control<QCheckBox>(w, "Check3")->setChecked(true);
    control<QCheckBox>(w, "Check4")->setChecked(true);
    clock();
    EXPECT_EQ(row(0)[Col::Sex], "C");
    EXPECT_FALSE(control<QCheckBox>(w, "Check3")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(w, "Check4")->isChecked());
    EXPECT_EQ(row(0)[Col::Colour], "BB");

    control<QCheckBox>(w, "Check4")->setChecked(true);
    choose(list("comcol"), 6); // Yellow
    type("birdclockmins", "46");
    clock();
    EXPECT_EQ(row(1)[Col::Sex], "H");
    EXPECT_EQ(row(1)[Col::Colour], "Y");

    list("comcol")->setEditText("Purple"); // not in the list: the previous bird's code
    type("birdclockmins", "47");
    clock();
    EXPECT_EQ(row(2)[Col::Colour], "Y");
    EXPECT_EQ(list("comcol")->currentText(), "Purple");
}

TEST_F(ClockingTest, CalculatePictureWorksFromTheKeyboard) {
    control<QAbstractButton>(*window, "Picture1")->setFocus();
    dialogs.answerYesNo(true);
    QTest::keyClick(control<QAbstractButton>(*window, "Picture1"), Qt::Key_Space);
    EXPECT_EQ(window->entries().count(), 1);
    dialogs.answerYesNo(true);
    QTest::keyClick(control<QAbstractButton>(*window, "Picture1"),
                    Qt::Key_Return); // the press animates first
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->entries().count() == 2; }, 5000));
}
