// The season results window, driven as a secretary drives it.
#include "season/window/frmseason.h"

#include "support/dialogcheck.h"
#include "support/entries.h"
#include "support/recordingprinter.h"

#include <gmock/gmock.h>

namespace {

QStringList column(QTableWidget* table, int c) {
    QStringList out;
    for (int r = 0; r < table->rowCount(); ++r)
        out << (table->item(r, c) ? table->item(r, c)->text() : QString());
    return out;
}

} // namespace

using SeasonWindow = DialogTest;

TEST_F(SeasonWindow, ChosenFilesGiveBothTablesToPrintAndSave) {
    writeRace(dir.filePath("thurso.txt"), "Thurso", "16/05/2026",
              {{"Bo Finch", "1200.000"}, {"ann hale", "1100.000"}});
    writeRace(dir.filePath("berwick.txt"), "Berwick", "02/05/2026",
              {{"Ann Hale", "1200.000"}, {"Bo Finch", "1100.000"}});
    writeFile(dir.filePath("notes.txt"), "Subs paid: Al Invented, Bo Finch"); // no line end
    RecordingPrinter printer;
    printer.available = false; // the sheet is saved as a PDF
    QString club = "Northfield Homing Society";
    frmseason window([&] { return club; }, &dialogs, &printer);
    window.show();

    dialogs.answerFiles(
        {dir.filePath("thurso.txt"), dir.filePath("notes.txt"), dir.filePath("berwick.txt")});
    QTest::mouseClick(control<QPushButton>(window, "cmdChoose"), Qt::LeftButton);
    auto* races = control<QTableWidget>(window, "lstRaces");
    EXPECT_EQ(column(races, 1), QStringList({"Berwick", "Thurso", ""}));
    EXPECT_THAT(column(races, 4).value(2).toStdString(),
                testing::HasSubstr("notes.txt is not a race file"));
    // Said at once too, whole: in the list it may be out of sight.
    EXPECT_EQ(dialogs.messages(),
              QStringList{"Please look at these files before the results are printed:\n\n"
                          "notes.txt is not a race file: its lines do not hold race entries, and "
                          "is left out."});
    dialogs.clear();
    // Tab goes on from the list to the rules, not from cell to cell.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    races->setFocus();
    QTest::keyClick(races, Qt::Key_Tab);
    EXPECT_TRUE(
        control<QTabWidget>(window, "tabCompetitions")->isAncestorOf(QApplication::focusWidget()));

    auto* averages = control<QTableWidget>(window, "tblAverages");
    EXPECT_EQ(column(averages, 1), QStringList({"Ann Hale", "Bo Finch"}));
    EXPECT_EQ(column(averages, 3), QStringList({"1150.000", "1150.000"})); // before the races
    EXPECT_EQ(column(averages, 0), QStringList({"1=", "1="}));
    EXPECT_EQ(control<QLabel>(window, "lblAveragesNote")->text(),
              "Counted as one member, as their names differ only in letter case or spacing: "
              "“Ann Hale”, “ann hale”.");
    control<QRadioButton>(window, "optRacesClocked")->click();
    control<QSpinBox>(window, "spnMinimumRaces")->setValue(9);
    EXPECT_TRUE(control<QLabel>(window, "lblAveragesNote")
                    ->text()
                    .startsWith("2 members clocked in fewer than 9 races are not listed "
                                "here.\nCounted as one member"));

    control<QTabWidget>(window, "tabCompetitions")->setCurrentIndex(1);
    auto* pointsBox = control<QLineEdit>(window, "txtPoints");
    pointsBox->setFocus();
    pointsBox->selectAll();
    QTest::keyClicks(pointsBox, "5 x");
    QTest::keyClick(pointsBox, Qt::Key_Tab);
    EXPECT_THAT(takeMessage().toStdString(), testing::HasSubstr("\"x\" is not one"));
    EXPECT_EQ(QApplication::focusWidget(), pointsBox); // to be put right there
    EXPECT_EQ(pointsBox->selectedText(), "5 x");
    pointsBox->selectAll();
    QTest::keyClicks(pointsBox, "5 3");
    QTest::keyClick(pointsBox, Qt::Key_Return);
    EXPECT_EQ(column(control<QTableWidget>(window, "tblPoints"), 2), QStringList({"8", "8"}));

    // Typed, then saved by the button's access key: the box is never left.
    pointsBox->selectAll();
    QTest::keyClicks(pointsBox, "7 3");
    dialogs.answerFile(dir.filePath("points")); // ".csv" is added
    control<QPushButton>(window, "cmdSaveCsv")->click();
    EXPECT_TRUE(fileBytes(dir.filePath("points.csv")).contains("Pos,Member,Berwick 02/05/2026"));
    EXPECT_TRUE(fileBytes(dir.filePath("points.csv")).contains(",7,3,10"));
    // The club's name as it stands when printing (changed on the start
    // window meanwhile).
    club = "Westside Flyers";
    dialogs.answerYesNo(true);
    dialogs.answerFile(dir.filePath("points.pdf"));
    QTest::mouseClick(control<QPushButton>(window, "cmdPrint"), Qt::LeftButton);
    ASSERT_EQ(printer.printed.size(), 1);
    EXPECT_TRUE(printer.printed[0].texts().contains("Season Points"));
    EXPECT_TRUE(printer.printed[0].texts().contains("Westside Flyers"));
    // A race put right in the calculator since it was chosen: taken in
    // afresh and said before anything is printed or saved.
    writeRace(dir.filePath("berwick.txt"), "Berwick", "02/05/2026", {{"Ann Hale", "1200.000"}});
    control<QPushButton>(window, "cmdSaveCsv")->click();
    EXPECT_THAT(takeMessage().toStdString(),
                testing::StartsWith("berwick.txt changed since the files were chosen"));
    EXPECT_EQ(column(control<QTableWidget>(window, "tblPoints"), 2), QStringList({"10", "7"}));

    // Chosen again, none of the files can be counted: said so at Print.
    dialogs.answerFiles({dir.filePath("notes.txt")});
    window.cmdChoose_Click();
    EXPECT_THAT(takeMessage().toStdString(), // it is no race file, as before
                testing::HasSubstr("notes.txt is not a race file"));
    window.cmdPrint_Click();
    EXPECT_THAT(onlyMessage(dialogs.messages()).toStdString(),
                testing::StartsWith("None of the files chosen can be counted"));
}
