#include "calculatorfixture.h"

#include "calc/raceentry.h"
#include "support/entries.h"
#include "support/filesizelimit.h"

namespace {

class EditingTest : public CalculatorTest {
protected:
    void SetUp() override {
        open();
        for (const char* name : {"A", "B", "C"}) {
            QStringList e = entry(name, "");
            e[Col::RingNo] = QStringLiteral("GB-%1").arg(name);
            window->entries().append(e);
        }
        window->setEndAction([this] { ended = true; });
    }

    void clickRow(int row, Qt::KeyboardModifiers keys = {}) {
        QTreeView* view = control<QTreeView>(*window, "ListView1");
        const QRect cell = view->visualRect(window->entries().index(row, Col::Name));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, keys, cell.center());
    }

    QString cell(int row, int column) const { return window->entries().text(row, column); }

    bool ended = false;
};

} // namespace

// That typing with no entry selected changes nothing is ClearItem's.
TEST_F(EditingTest, ARowClickFillsTheEditBoxesAndTypingWritesBack) {
    clickRow(1);
    EXPECT_EQ(texts({"birdedit", "coledit", "sexedit", "rubinedit", "ruboutedit"}),
              QStringList({"GB-B", "c13", "c14", "c11", "c12"}));
    QTest::keyClicks(box("birdedit"), "7");
    EXPECT_EQ(cell(1, Col::RingNo), "GB-B7");

    clickRow(2);
    box("coledit")->clear();
    QTest::keyClicks(box("coledit"), "RC");
    EXPECT_EQ(cell(2, Col::Colour), "RC");
    EXPECT_EQ(cell(1, Col::Colour), "c13");
    box("sexedit")->clear();
    EXPECT_EQ(cell(2, Col::Sex), "");
}

TEST_F(EditingTest, ARowMadeCurrentFromTheKeyboardIsTheOneEdited) {
    // Tabbing into the list makes its first row current without selecting it.
    control<QTreeView>(*window, "ListView1")
        ->selectionModel()
        ->setCurrentIndex(window->entries().index(0, 0), QItemSelectionModel::NoUpdate);
    EXPECT_EQ(box("birdedit")->text(), "GB-A");
    QTest::keyClicks(box("birdedit"), "1");
    EXPECT_EQ(cell(0, Col::RingNo), "GB-A1");
}

TEST_F(EditingTest, ClearItemRemovesTheSelectedEntryAndKeepsPositions) {
    window->entries().renumber();
    auto* remove = control<QPushButton>(*window, "cmdremove");
    // A row Ctrl+clicked again is no longer chosen, though still current: nothing is removed.
    clickRow(1);
    clickRow(1, Qt::ControlModifier);
    EXPECT_EQ(box("birdedit")->text(), ""); // nor is a correction taken there
    remove->click();
    EXPECT_EQ(window->entries().count(), 3);
    list("member")->hide();
    clickRow(1);
    remove->setFocus();
    QTest::keyClick(remove, Qt::Key_Return); // Enter on a button presses it, as Space does
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->entries().count() == 2; }));
    // Enter held down: the keyboard's repeats press nothing more.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
    QApplication::sendEvent(remove, &repeat);
    EXPECT_FALSE(remove->isDown());
    EXPECT_EQ(cell(1, Col::Pos), "3");
    EXPECT_TRUE(list("member")->isVisible());
    EXPECT_EQ(box("birdedit")->text(), "GB-B"); // not refilled by a removal
    QTest::keyClicks(box("birdedit"), "9");     // and nothing else takes the edit
    EXPECT_EQ(cell(0, Col::RingNo), "GB-A");
    EXPECT_EQ(cell(1, Col::RingNo), "GB-C");
    clickRow(0); // the first entry as any other
    remove->click();
    EXPECT_EQ(cell(0, Col::RingNo), "GB-C");

    list("member")->hide();
    {
        FileSizeLimit full(1); // a full disk: the race cleared cannot be kept aside
        click("CmdClear");
    }
    EXPECT_EQ(window->entries().count(), 0);
    EXPECT_TRUE(list("member")->isVisible());
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[0].startsWith(
        "The race cleared had not been saved, and it could not be kept as"));
    EXPECT_TRUE(dialogs.messages().value(1).startsWith("The race on screen cannot be kept safe"));
}

TEST_F(EditingTest, ExitEndsTheProgramOnlyOnYesAndWritesNoFile) {
    for (const bool yes : {false, true}) {
        dialogs.answerYesNo(yes);
        click("CmdExit");
        EXPECT_EQ(ended, yes);
    }
    EXPECT_EQ(shown(), QStringList(2, "question||Have you saved race to file?"));
    // No race file and no result; only the recovery record, which offers
    // nothing (the recovery window test opens it again).
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList({"race-recovery.journal", "race-recovery.journal.lock"}));
}

TEST_F(EditingTest, ClosingTheWindowWithARaceOnScreenAsksFirst) {
    const QVector<RaceEntryRow> race = window->entries().rows();
    window->entries().clear();
    window->close(); // nothing to lose: no question (shown() below has none)
    EXPECT_FALSE(window->isVisible());

    window->show();
    window->entries().appendAll(race);
    for (const bool yes : {false, true}) {
        dialogs.answerYesNo(yes);
        window->close();
        EXPECT_EQ(window->isVisible(), !yes);
    }
    EXPECT_EQ(shown(), QStringList(2, "question|Pellamy|The race on screen has changes that have "
                                      "not been saved to a file. Close the calculator without "
                                      "saving them?"));
}
