#include "app/frmsplashpellamy.h"
#include "app/namefiles.h"
#include "app/program.h"
#include "calculator/pellamy.h"
#include "distances/editor/frmdistances.h"
#include "platform/windowhabits.h"
#include "season/window/frmseason.h"

#include "support/dialogcheck.h"
#include "support/distancedb.h"
#include "support/readonly.h"

#include <QDeadlineTimer>
#include <QFileDialog>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

class StartWindowTest : public DialogTest {
protected:
    void SetUp() override {
        makeDistanceDatabase(path(), {{"J. Smith", "Berwick", "250", "1234", "26474040"}});
        writeNameFile(dir.filePath("club.txt"), "Rose, Crown and Anchor");
        writeNameFile(dir.filePath("fed.txt"), "North East Federation");
        program = std::make_unique<Program>(dir.path(), &dialogs);
        program->setEndAction([this] { ended = true; });
        start = program->start();
    }

    static QStringList visibleWindows() {
        QStringList names;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                names << w->objectName();
        names.sort();
        return names;
    }

    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    QLineEdit* box(const char* name) const { return start->findChild<QLineEdit*>(name); }
    QPushButton* button(const char* name) const { return start->findChild<QPushButton*>(name); }
    QStringList names() const { return {box("txtclub")->text(), box("txtfed")->text()}; }

    std::unique_ptr<Program> program;
    frmSplashPellamy* start = nullptr;
    bool ended = false;
};

} // namespace

// The stored names are shown, read-only: edited by the buttons, each stored
// as typed, a cancelled one as empty.
TEST_F(StartWindowTest, ShowsTheStoredNamesAndEditsThem) {
    EXPECT_EQ(names(), QStringList({"Rose, Crown and Anchor", "North East Federation"}));
    EXPECT_TRUE(box("txtclub")->isReadOnly() && box("txtfed")->isReadOnly());

    // A name longer than its box shows its start.
    dialogs.answerInput("  Westside, Flyers\r\n"); // a spreadsheet cell pasted
    click(button("Command2"));
    EXPECT_EQ(box("txtclub")->cursorPosition(), 0);
    dialogs.answerInput(""); // a cancelled box gives an empty text
    click(button("Command3"));
    EXPECT_EQ(shown(), QStringList({"input|Pellamy|Please enter the Club name",
                                    "input|Pellamy|Please enter the Federation name",
                                    "message|Error|You have not entered a Federation name"}));
    EXPECT_EQ(names(), QStringList({"  Westside, Flyers", ""}));
    EXPECT_EQ(box("txtclub")->toolTip(), "  Westside, Flyers"); // read whole when cut
    EXPECT_EQ(fileBytes(dir.filePath("club.txt")), "\"  Westside, Flyers\"\r\n");
    EXPECT_EQ(fileBytes(dir.filePath("fed.txt")), "\"\"\r\n");
}

// The names stand out on the desktop blue under a light theme and a dark one.
TEST_F(StartWindowTest, TheNamesReadOnALightOrADarkDesktop) {
    const QPalette before = QApplication::palette();
    for (const QColor& base : {QColor(Qt::white), QColor(0x23, 0x26, 0x29)}) {
        QPalette palette = before;
        palette.setColor(QPalette::Base, base);
        QApplication::setPalette(palette);
        Program other(dir.path(), &dialogs);
        const QPalette shown = other.start()->findChild<QLineEdit*>("txtclub")->palette();
        EXPECT_GT(shown.color(QPalette::Text).lightness() - shown.color(QPalette::Base).lightness(),
                  100)
            << base.name().toStdString();
    }
    QApplication::setPalette(before);
}

// Made lower than itself, as on a small screen at a large text size, the
// window draws its picture smaller and keeps every button inside it.
TEST_F(StartWindowTest, ShrinksToAScreenLowerThanItself) {
    start->resize(start->width(), 520);
    QApplication::processEvents();
    EXPECT_EQ(start->height(), 520);
    const QWidget* exit = button("Command4");
    EXPECT_TRUE(start->rect().contains(QRect(exit->mapTo(start, QPoint(0, 0)), exit->size())));
    EXPECT_LT(start->findChild<QLabel*>("Picture1")->pixmap().deviceIndependentSize().height(),
              288);
}

TEST_F(StartWindowTest, AnUnwritableNameFileIsReportedAndTheNameKeptOnScreen) {
    QFile::remove(dir.filePath("club.txt"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("club.txt"));
    dialogs.answerInput("Rose and Crown");
    click(button("Command2"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains(QDir::toNativeSeparators(dir.filePath("club.txt")) +
                                               " cannot be written, because "));
    EXPECT_EQ(dialogs.shown().last().title, "Pellamy");
    EXPECT_EQ(box("txtclub")->text(), "Rose and Crown");
    // The start window goes with the calculator; the sheets still have it.
    click(button("Command1"));
    QApplication::processEvents();
    EXPECT_EQ(program->names().club, "Rose and Crown");
}

// The start window goes, but the reports read the names through it afresh.
TEST_F(StartWindowTest, GoToCalculatorLeavesOnlyTheCalculator) {
    EXPECT_EQ(start->focusWidget(), button("Command1")); // what Enter at the start presses
    click(button("Command1"));
    QApplication::processEvents();
    EXPECT_EQ(visibleWindows(), QStringList({"Pellamy"}));
    EXPECT_TRUE(program->startWindow() == nullptr); // closed and gone
    ASSERT_TRUE(program->calculator());
    EXPECT_EQ(program->calculator()->findChild<QComboBox*>("racepoint")->currentText(), "Berwick");
    writeNameFile(dir.filePath("fed.txt"), "Changed Federation");
    EXPECT_EQ(program->names().club, "Rose, Crown and Anchor");
    EXPECT_EQ(program->names().fed, "Changed Federation");
    ASSERT_TRUE(program->startWindow());
    EXPECT_FALSE(program->startWindow()->isVisible());
    writeNameFile(dir.filePath("fed.txt"), "Later");
    EXPECT_EQ(program->names().fed, "Changed Federation"); // the same window, kept
}

TEST_F(StartWindowTest, ExitLeavesAnOpenDistancesEditorAndSeasonWindowRunning) {
    // A second press brings the same window to the front, minimised or not.
    for (const auto& [name, shown] :
         {std::pair{"Command5", "frmdistances"}, {"cmdSeason", "frmseason"}}) {
        click(button(name));
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            window = w->objectName() == shown ? w : window;
        window->showMinimized();
        click(button(name));
        EXPECT_FALSE(window->isMinimized()) << shown;
    }
    EXPECT_EQ(visibleWindows(), QStringList({"frmSplashPellamy", "frmdistances", "frmseason"}));
    click(button("Command4"));
    QApplication::processEvents();
    EXPECT_EQ(visibleWindows(), QStringList({"frmdistances", "frmseason"}));
    EXPECT_FALSE(ended);
    program->distancesEditor()->close();
    program->showSeasonResults()->close();
    QApplication::processEvents();
    EXPECT_TRUE(visibleWindows().isEmpty());
    // Closed, a window is made afresh on the next press.
    EXPECT_TRUE(program->showSeasonResults()->isVisible());
}

TEST_F(StartWindowTest, ExitOnTheCalculatorSavesNothingTypedInTheDistancesEditor) {
    const QByteArray database = fileBytes(path());
    click(button("Command5"));
    frmdistances* editor = program->distancesEditor();
    editor->findChild<QLineEdit*>("miles")->setText("777"); // a change that could be saved
    click(button("Command1"));
    dialogs.answerYesNo(true); // the Exit question, nothing else
    click(program->calculator()->findChild<QPushButton*>("CmdExit"));
    EXPECT_TRUE(ended);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(fileBytes(path()), database);
}

// A message taller than a small screen shows the first lines of each
// paragraph and its question; the rest is under Show Details.
TEST(Dialogs, ALongTextKeepsEachParagraphAndItsQuestionOnTheScreen) {
    const QString details = "\n\n(The whole text is under Show Details.)";
    const QString row = "Ann Hale at Dover: 100 miles 1 yards, becomes 101 miles";
    const QString asked = "Worked out: 30 rows to change.\n\nThese rows change:\n" +
                          QStringList(30, row).join(u'\n') +
                          "\n\nNew names:\nCy Dunn\n\nWrite these distances?";
    EXPECT_EQ(shownOfLongText(asked), "Worked out: 30 rows to change.\n\nThese rows change:\n" +
                                          row + "\n…\n\nNew names:\nCy Dunn" + details +
                                          "\n\nWrite these distances?");
    EXPECT_EQ(shownOfLongText("Short.\n\nWrite these distances?"),
              "Short.\n\nWrite these distances?");
    // Twenty files fit a screen's 24 lines of 70 characters, not 12 of 36
    // (twice the text size on a small laptop).
    const QString file = "race-17.txt is not a race file, and is left out.";
    const QString files = "Please look at these files:\n\n" + QStringList(20, file).join(u'\n');
    EXPECT_EQ(shownOfLongText(files), files);
    EXPECT_EQ(shownOfLongText(files, 12, 36),
              "Please look at these files:\n\n" + file + "\n" + file + "\n…" + details);
    // One line as long as a paragraph (every entry of a race named) keeps its start.
    QString entries = "Lines";
    for (int line = 1; line < 600; line += 2)
        entries += QString(" %1,").arg(line);
    EXPECT_EQ(shownOfLongText(entries + " of the race file are too long.", 24, 30),
              "Lines 1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, …" + details);
}

// Does what the user does in the next dialog, once it is up and active, and
// only once. A dialog left up 10 s after it was asked for is closed, and the
// test fails: it never waits on one.
void inNextDialog(const std::function<void(QDialog*)>& act) {
    struct State {
        bool acted = false;
        QPointer<QDialog> dialog;
    };
    auto state = std::make_shared<State>();
    auto* poll = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(poll, &QTimer::timeout, [=] {
        auto* up = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        const bool gone = state->acted && (!state->dialog || !state->dialog->isVisible());
        if (!gone && deadline.hasExpired()) {
            ADD_FAILURE() << "a dialog was left unanswered";
            if (up)
                up->reject();
        } else if (!gone) {
            if (!state->acted && up && up->isActiveWindow()) {
                state->acted = true, state->dialog = up;
                act(up);
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
    });
    poll->start(10);
}

// The real dialogs answered as the user answers them: Enter takes the
// default (No where Yes loses a file), Escape cancels, and the file chosen
// comes back, the next chooser opening in its folder.
TEST(Dialogs, TheRealDialogsGiveTheUsersAnswer) {
    QtDialogService real;
    const auto press = [](Qt::Key key) {
        inNextDialog([key](QDialog* d) {
            // The key held down as the dialog opened: its repeats answer nothing.
            QKeyEvent held(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(d, &held);
            EXPECT_TRUE(d->isVisible());
            QTest::keyClick(d, key);
        });
    };
    for (const bool yesByDefault : {true, false}) {
        press(Qt::Key_Return);
        EXPECT_EQ(real.askYesNo("Replace it?", "", yesByDefault), yesByDefault);
    }
    press(Qt::Key_Escape);
    EXPECT_EQ(real.askYesNoCancel("Save the race?", ""), std::nullopt);
    press(Qt::Key_Return);
    EXPECT_EQ(real.askYesNoCancel("Save the race?", ""), true);

    QTemporaryDir dir;
    writeFile(dir.filePath("race.txt"), "");
    QString openedIn, nameGiven;
    const auto choose = [&](const QString& file) {
        inNextDialog([&openedIn, &nameGiven, file](QDialog* d) {
            auto* chooser = static_cast<QFileDialog*>(d);
            openedIn = chooser->directory().path();
            nameGiven = chooser->findChild<QLineEdit*>("fileNameEdit")->text();
            // The name typed whole into the chooser's name box, then Open.
            chooser->findChild<QLineEdit*>("fileNameEdit")->setText(file);
            file.isEmpty() ? d->reject() : d->accept();
        });
    };
    choose(dir.filePath("race.txt"));
    EXPECT_EQ(real.openFileName("Text Files (*.txt)"), dir.filePath("race.txt"));
    choose({});
    EXPECT_EQ(real.openFileName("Text Files (*.txt)"), QString());
    EXPECT_EQ(openedIn, dir.path());
    choose(dir.filePath("new race.txt"));
    EXPECT_EQ(real.saveFileName("Text Files (*.txt)"), dir.filePath("new race.txt"));
    // A sheet saved as a PDF elsewhere: race files are still chosen where
    // races were, in another window's chooser (Season Results') too.
    QTemporaryDir sheets;
    choose(sheets.filePath("sheet.pdf"));
    real.saveFileName("PDF Files (*.pdf)");
    choose({});
    QtDialogService().openFileNames("Race Files (*.txt);;All Files (*)");
    EXPECT_EQ(openedIn, dir.path());
    // The folder last used, gone since (a memory stick taken out): the
    // program folder, not the folder above with the gone one's name ready
    // to be saved under.
    ASSERT_TRUE(sheets.remove());
    choose({});
    real.saveFileName("PDF Files (*.pdf)");
    EXPECT_EQ(openedIn, programFolder());
    EXPECT_EQ(nameGiven, "");
    // A folder Pellamy may not write in: a file opened from there, but none saved there.
    READ_ONLY_OR_SKIP(folder, dir.path());
    choose({});
    real.saveFileName("Text Files (*.txt)");
    EXPECT_NE(openedIn, dir.path());
    choose({});
    real.openFileName("Text Files (*.txt)");
    EXPECT_EQ(openedIn, dir.path());
}

// A form that scrolls up and down on a low screen is given its scroll bar's
// width where the screen has it, so it does not scroll sideways as well.
TEST(WindowHabits, AFormCutInHeightDoesNotScrollSideways) {
    QWidget window(nullptr, Qt::Window);
    auto* scroll = new QScrollArea(&window);
    auto* form = new QWidget;
    form->setMinimumSize(300, 4000);
    scroll->setWidgetResizable(true);
    scroll->setWidget(form);
    (new QVBoxLayout(&window))->addWidget(scroll);
    window.layout()->setContentsMargins(0, 0, 0, 0);
    scroll->setFrameShape(QFrame::NoFrame);
    window.resize(300, 4000);
    window.show();
    centreOnScreen(&window);
    QApplication::processEvents();
    EXPECT_TRUE(window.screen()->availableGeometry().contains(window.frameGeometry()));
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
}
