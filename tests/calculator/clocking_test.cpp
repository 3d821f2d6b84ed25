#include "calculatorfixture.h"

#include "calc/raceentry.h"
#include "calc/worked_example.h"

namespace {

const QVector<Row> kClub = {
    {"J. Smith", "Berwick", "150", "1234", "15914040"},
    {"O'Brien", "Berwick", "251", "0", "26505600"},
    {"O'Brien", "Berwick", "251", "0", "26505600"},
    {"A. Brown", "Berwick", "248", "880", "26241600"},
};

const QString kQuestion = "question|Pellamy|Another Bird for ";

} // namespace

class ClockingTest : public CalculatorTest {
protected:
    void SetUp() override { prepare(); }

    // A new window on the club's database with the worked example's bird.
    void prepare() {
        makeDatabase(kClub);
        open();
        choose(list("member"), list("member")->findText("J. Smith"));
        enterWorkedExample(*window);
        type("ringno", "GB06N12345"), type("Rubin", "12"), type("Rubout", "345");
        for (const char* name : {"Check1", "Check2", "Check3"})
            tick(name)->setChecked(true);
    }

    QStringList row(int i) const { return window->entries().entry(i); }
};

TEST_F(ClockingTest, WorkedExampleGivesTheEntryColumnForColumn) {
    clock();
    ASSERT_EQ(window->entries().count(), 1);
    EXPECT_EQ(row(0), workedExampleEntry());
    EXPECT_EQ(texts({"sixtieths", "txtdateset", "txtdaterace"}),
              QStringList({"15914040\r\n", "23052006", "24052006"}));
    // Ready for the next bird; only the member question was asked.
    EXPECT_EQ(texts({"ringno", "Rubin", "Rubout", "birdclockhrs"}),
              QStringList({"", "", "", "11"}));
    for (const char* name : {"Check1", "Check2", "Check3"})
        EXPECT_FALSE(tick(name)->isChecked()) << name;
    EXPECT_EQ(shown(), QStringList({kQuestion + "J. Smith"}));
}

TEST_F(ClockingTest, AFieldOverItsLimitIsReportedResetAndTheBirdStillCalculated) {
    // The limits and resets of every field are the core's; this proves the
    // window shows the message and writes the reset into the field.
    type("birdclockhrs", "99");
    clock();
    EXPECT_EQ(box("birdclockhrs")->text(), "10");
    EXPECT_EQ(shown(),
              QStringList({"message|Pellamy|Sorry but you can't enter a number higher than 24",
                           kQuestion + "J. Smith"}));
    EXPECT_EQ(window->entries().count(), 1);
}

TEST_F(ClockingTest, FailuresMakeNoEntryAndTheQuestionStillFollows) {
    // Why a calculation fails is the core's table; the window has one path
    // for a distance that was read and one for a database it cannot read.
    for (const bool noDatabase : {false, true}) {
        SCOPED_TRACE(noDatabase ? "no database" : "two distance rows for the member");
        prepare();
        if (noDatabase)
            QFile::remove(path());
        else
            choose(list("member"), list("member")->findText("O'Brien"));
        dialogs.clear();
        clock(false);
        EXPECT_EQ(window->entries().count(), 0);
        EXPECT_EQ(shown(), QStringList({kQuestion + (noDatabase ? "J. Smith" : "O'Brien")}));
        EXPECT_TRUE(list("member")->isVisible());
        // A distance that is no number: the figures worked out before the
        // velocity are shown. Without a database nothing is worked out.
        if (!noDatabase) {
            EXPECT_EQ(texts({"variation", "FTSecs", "velocity"}),
                      QStringList({"5.53403933434191", "22.4659606656587", ""}));
        }
        // The bird's own details stay for a second try.
        EXPECT_EQ(box("ringno")->text(), "GB06N12345");
        EXPECT_TRUE(tick("Check1")->isChecked());
    }
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
        EXPECT_EQ(
            shown(),
            QStringList({"message|Pellamy|You have no entries in your Database, please check.",
                         kQuestion + (empty ? "" : "J. Smith")}));
    }
}

TEST_F(ClockingTest, SexAndColourCodes) {
    tick("Check3")->setChecked(false);
    tick("Check4")->setChecked(true);
    choose(list("comcol"), 6); // Yellow
    clock();
    EXPECT_EQ(row(0).mid(Col::Colour, 2), QStringList({"Y", "H"}));
    EXPECT_FALSE(tick("Check4")->isChecked());

    // Neither ticked and a colour not in the list: the previous bird's codes.
    list("comcol")->setEditText("Purple");
    type("birdclockmins", "47");
    clock();
    EXPECT_EQ(row(1).mid(Col::Colour, 2), QStringList({"Y", "H"}));
    EXPECT_EQ(list("comcol")->currentText(), "Purple");
}

TEST_F(ClockingTest, CalculatePictureWorksFromTheKeyboard) {
    // Space is EntryTest.ABirdIsEnteredFromTheKeyboardAlone's.
    auto* picture = control<QAbstractButton>(*window, "Picture1");
    picture->setFocus();
    dialogs.answerYesNo(true);
    QTest::keyClick(picture, Qt::Key_Return); // the press animates first
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->entries().count() == 1; }, 5000));
}
