#include "calculatorfixture.h"

#include "calc/raceentry.h"
#include "calc/raceentryrow.h"
#include "calc/worked_example.h"

const QString kQuestion = "question|Pellamy|Another Bird for ";
const QString kNoEntries = "message|Pellamy|You have no entries in your Database, please check.";

class ClockingTest : public CalculatorTest {
protected:
    // A window on the club's database with the worked example's bird.
    void SetUp() override {
        makeDatabase({{"J. Smith", "Berwick", "150", "1234", "15914040"},
                      {"O'Brien", "Berwick", "251", "0", "26505600"},
                      {"O'Brien", "Berwick", "251", "0", "26505600"}});
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
    // Ready for the next bird (and any message would fail the fixture).
    EXPECT_EQ(texts({"ringno", "Rubin", "Rubout", "birdclockhrs"}),
              QStringList({"", "", "", "11"}));
    for (const char* name : {"Check1", "Check2", "Check3"})
        EXPECT_FALSE(tick(name)->isChecked()) << name;
}

// A distance put right while the race is entered (by the federation's
// officer on its server, say) gives the member's next bird another: said.
TEST_F(ClockingTest, ABirdWorkedOutAtAnotherDistanceThanTheMembersBirdsIsSaid) {
    clock();
    execSql(path(), "UPDATE Distances SET Miles = '151', Sixtieths = '16019640' WHERE Name = "
                    "'J. Smith'");
    clock();
    const QString changed = "This bird was worked out at a distance of 151-1234 for J. Smith from "
                            "Berwick, but the bird entered before for J. Smith was worked out at "
                            "150-1234: the distance has been changed in the distances meanwhile. "
                            "Please check which is right, and clear and enter again the birds "
                            "worked out at the wrong one.";
    EXPECT_EQ(takeMessage(), changed);
    clock(); // said again at each bird until the list is put right
    EXPECT_EQ(takeMessage(), changed);
    list("member")->setEditText("j. smith"); // typed in other letters: the same record
    clock();
    EXPECT_TRUE(takeMessage().contains("changed in the distances meanwhile"));
}

// A member's next bird clocked with other clock times (the boxes as the
// program started, after a race was brought back): said, once for each
// other clock. Another member's clock is not the member's.
TEST_F(ClockingTest, ABirdWorkedOutWithOtherClockTimesThanTheMembersBirdsIsSaid) {
    clock();
    type("MTRakeHr", "19"), type("MTRakeMin", "30");
    execSql(path(), "INSERT INTO Distances VALUES ('Ann Hale', 'Berwick', '1', '0', '105600')");
    list("member")->setEditText("Ann Hale");
    clock();
    list("member")->setEditText("J. Smith");
    clock();
    EXPECT_EQ(takeMessage(),
              "This bird was worked out with J. Smith's clock set on 23/05/2006 at 19-30-02 by the "
              "master clock's 19-30-00, read on 24/05/2006 at 19-00-10 by its 19-30-00, but a bird "
              "entered before for J. Smith was worked out with it set on 23/05/2006 at 19-30-02 by "
              "the master clock's 19-30-00, read on 24/05/2006 at 19-00-10 by its 19-00-00. If J. "
              "Smith clocked with a second clock, both may be right; if not, please check the "
              "clock times and the days the clocks were set and opened (a race opened or brought "
              "back keeps no clock times in the boxes), and clear and enter again the birds "
              "worked out with the wrong ones.");
    clock(); // a second clock's times, now known
    // The clock opened a day later by the picker, the times alike: not the member's clock.
    picker("DayClockOpen")->setDate(picker("DayClockOpen")->date().addDays(1));
    clock();
    EXPECT_TRUE(takeMessages().join('\n').contains(
        "read on 25/05/2006 at 19-00-10 by its 19-30-00, but a bird"));
}

// Race details put right after birds were entered, or a ring clocked again: said. The darkness
// counts only between birds out overnight.
TEST_F(ClockingTest, OtherRaceDetailsOrARingEnteredBeforeAreSaid) {
    clock();
    type("HODhr", "21");
    clock();
    type("birdlibmins", "15"), type("ringno", " gb06n12345");
    clock();
    const QStringList said = takeMessages();
    ASSERT_EQ(said.size(), 2);
    const QString date = picker("RaceDay")->date().toString("dd/MM/yyyy");
    EXPECT_EQ(said[0], "This bird was worked out as liberated at 08 15 on " + date +
                           " from Berwick, but 2 birds entered before it were worked out as "
                           "liberated at 08 00 on " +
                           date +
                           " from Berwick. Each bird keeps the race details it was worked out "
                           "with, and the sheets are headed with those in the window: please put "
                           "the race details right, and clear and enter again the birds worked "
                           "out with the wrong ones.");
    EXPECT_EQ(said[1], "A bird with the ring number gb06n12345 is already in the list, entered "
                       "for J. Smith (velocity 1176.859). If it is the same bird entered again, "
                       "please clear one of them.");
}

// The same race written otherwise in birds already in the list (a race file saved elsewhere or
// by hand), and lines that hold no bird, are said nothing of. The birds are out overnight, so
// that the darkness counts; each row differs from the bird entered in one way.
TEST_F(ClockingTest, TheSameRaceWrittenOtherwiseIsNoOtherRace) {
    picker("DaybirdClocked")->setDate(picker("RaceDay")->date().addDays(1));
    QStringList bird = workedExampleEntry();
    bird[Col::RingNo] = "", bird[Col::Midnight2] = "1";
    const std::pair<int, const char*> alike[] = {
        {Col::LibHour, "8"},
        {Col::Racepoint, "BERWICK "},
        {Col::RaceDate, "24/5/2006"},
        {Col::HolHr, "04"},
        {Col::RaceDate, "24.05.2006"}, // dates not read as dates: taken as the same day
        {Col::ClockOpen, "2006-05-24"},
    };
    QVector<RaceEntryRow> rows = {RaceEntryRow(QStringList{" "}),
                                  RaceEntryRow(QStringList(bird.mid(0, 20)))};
    for (const auto& [column, text] : alike) {
        QStringList row = bird;
        row[column] = text;
        rows << RaceEntryRow(row);
    }
    window->entries().appendAll(rows);
    clock();
}

// A name kept again with a blank after it (typed so in another program) is
// said when the race point is chosen, and a bird at its distance too.
TEST_F(ClockingTest, ANameKeptAgainWithABlankAfterItIsSaid) {
    clock();
    // Names alike but for letters' case beyond A to Z are two names, as the distances look them up.
    execSql(path(), "INSERT INTO Distances VALUES ('J. Smith ', 'Berwick', '100', '0', "
                    "'10560000'), ('Zoë Hart', 'Berwick', '1', '0', '105600'), ('ZOË HART', "
                    "'Berwick', '1', '0', '105600')");
    choose(list("racepoint"), 0);
    EXPECT_TRUE(takeMessage().startsWith("The distances hold J. Smith more than once from Berwick, "
                                         "with a blank"));
    choose(list("member"), list("member")->findText("J. Smith "));
    clock();
    const QString bird = takeMessage();
    EXPECT_TRUE(bird.startsWith("This bird was worked out at a distance of 100-0000 for J. Smith "
                                "from Berwick"));
    EXPECT_TRUE(bird.contains(": the distances hold the name more than once"));
    // Read again from a race file, whose names lose their blanks: still so.
    for (int i = 0; i < window->entries().count(); ++i)
        window->entries().setText(i, Col::Name, "J. Smith");
    choose(list("member"), list("member")->findText("J. Smith"));
    clock();
    EXPECT_TRUE(takeMessage().contains(": the distances hold the name more than once"));
}

// A clock read just after midnight against a master clock just before it:
// entered as the times stand, and doubted (the core's ClockBird test).
TEST_F(ClockingTest, AClockFarOutFromTheMasterClockIsDoubted) {
    type("CrHr", "0"), type("CrMin", "0"), type("CrSec", "5");
    type("MTRakeHr", "23"), type("MTRakeMin", "59"), type("MTRakeSec", "50");
    clock();
    EXPECT_EQ(window->entries().count(), 1);
    EXPECT_TRUE(takeMessage().startsWith("This bird's clock was 2 seconds ahead of"));
}

// While the next bird is asked for, the one just entered is in view: its
// row in a long list, and the list on a form scrolled down to CALCULATE.
TEST_F(ClockingTest, TheBirdJustEnteredIsInView) {
    QStringList faster = workedExampleEntry();
    faster[Col::Velocity] = "9999.000", faster[Col::RingNo] = "";
    window->entries().appendAll(QVector<RaceEntryRow>(40, RaceEntryRow(faster)));
    window->resize(420, 300);
    auto* form = window->findChild<QScrollArea*>();
    for (QScrollBar* bar : {form->verticalScrollBar(), form->horizontalScrollBar()})
        bar->setValue(bar->maximum()); // down and across to CALCULATE
    clock();
    auto* list = control<QTreeView>(*window, "ListView1");
    const QRect added = list->visualRect(window->entries().index(40, 0));
    EXPECT_TRUE(list->viewport()->rect().contains(added.center()));
    // Brought into view up and down only: the form stays across at CALCULATE.
    const int rowAt = list->viewport()->mapTo(form->viewport(), added.center()).y();
    EXPECT_TRUE(rowAt > 0 && rowAt < form->viewport()->height()) << rowAt;
    EXPECT_EQ(form->horizontalScrollBar()->value(), form->horizontalScrollBar()->maximum());
}

TEST_F(ClockingTest, AFieldOverItsLimitIsReportedAndResetAndASecondClickEntersTheBird) {
    // The limits and resets of every field are the core's; this proves the
    // window shows the message and writes the reset into the field.
    type("birdclockhrs", "99");
    clock();
    EXPECT_EQ(box("birdclockhrs")->text(), "10");
    EXPECT_EQ(shown(), // "No entry was made" is said only when none was
              QStringList({"message|Pellamy|Sorry but you can't enter a number higher than 24",
                           "message|Pellamy|No entry was made for this bird: a time over its "
                           "limit was put back as the box now shows. Please check it and click "
                           "CALCULATE again.",
                           kQuestion + "J. Smith"}));
    clock();
    EXPECT_EQ(window->entries().count(), 1);
}

// Why a calculation fails is the core's table; here two distance rows for the
// member make the distance no number. A lookup that fails is the next test's.
TEST_F(ClockingTest, AFailureMakesNoEntryKeepsTheBirdAndTheQuestionStillFollows) {
    choose(list("member"), list("member")->findText("O'Brien"));
    clock(false);
    EXPECT_EQ(shown(),
              QStringList({"message|Pellamy|No entry was made for this bird: there are 2 "
                           "distances for O'Brien from Berwick, so Pellamy cannot tell which is "
                           "right. Please keep the right one and delete the others under Enter "
                           "Members Distances.",
                           kQuestion + "O'Brien"}));
    // The figures worked out before the velocity are shown; the bird's own
    // details stay for a second try.
    EXPECT_EQ(texts({"variation", "FTSecs", "velocity", "ringno"}),
              QStringList({"5.53403933434191", "22.4659606656587", "", "GB06N12345"}));
    EXPECT_TRUE(tick("Check1")->isChecked());
}

TEST_F(ClockingTest, ADistanceThatCannotBeReadIsSaid) {
    QFile::remove(path()); // the folder on a stick pulled out, say
    clock(false);
    EXPECT_EQ(shown(), QStringList({"message|Pellamy|No entry was made for this bird: its distance "
                                    "could not be read from the distances: Could not find file '" +
                                        path() + "'.",
                                    kQuestion + "J. Smith"}));
}

// "berwick" still matches: the bird is clocked. "Nowhere" has no distance,
// which the no-entries message alone says (no "No entry was made" besides).
TEST_F(ClockingTest, ARacePointTypedNotChosenGivesTheNoEntriesMessageBeforeTheQuestion) {
    // Entered (its distance found all the same), or not and why.
    const QString nowhere =
        "message|Pellamy|No entry was made for this bird: there is no distance for J. Smith "
        "from Nowhere. Please choose the member from the list, or add the "
        "distance under Enter Members Distances.";
    for (const auto& [typed, why] : {std::pair{"berwick", QString()}, {"Nowhere", nowhere}}) {
        list("racepoint")->setEditText(typed);
        clock();
        EXPECT_EQ(shown(), (why.isEmpty() ? QStringList() : QStringList{why}) +
                               QStringList({kNoEntries, kQuestion + "J. Smith"}))
            << typed;
        dialogs.clear();
    }
    EXPECT_EQ(window->entries().count(), 1); // Berwick's bird
}

// distances.mdb held by another program as the bird is clocked: left out, saying why.
TEST_F(ClockingTest, ADatabaseHeldElsewhereLeavesTheBirdOutSayingWhy) {
    SqlConnection other(path());
    QSqlQuery(other.db).exec("BEGIN EXCLUSIVE");
    clock();
    EXPECT_EQ(shown(), QStringList({"message|Pellamy|No entry was made for this bird: "
                                    "distances.mdb is in use by another program, so its distance "
                                    "could not be read. Please try again in a moment. If a "
                                    "database program has it open with changes not yet written, "
                                    "write or cancel them there first.",
                                    kQuestion + "J. Smith"}));
    EXPECT_EQ(window->entries().count(), 0);
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
