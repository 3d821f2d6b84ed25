#include "calculatorfixture.h"

#include "calc/raceentry.h"
#include "calc/worked_example.h"
#include "support/entries.h"

#include <csignal>

namespace {

const QString kOffer =
    "question|Pellamy|Pellamy was not closed properly last time, and the race on screen then (%1) "
    "had not been saved to a file. Would you like to bring it back?";

class RecoveryWindowTest : public CalculatorTest {
protected:
    void SetUp() override { makeDatabase({{"J. Smith", "Berwick", "150", "1234", "15914040"}}); }

    // Opens the calculator again on the same folder, as after a restart.
    void reopen(std::optional<bool> answer) {
        window.reset();
        dialogs.clear();
        if (answer)
            dialogs.answerYesNoCancel(*answer);
        open();
    }
};

} // namespace

TEST_F(RecoveryWindowTest, TheRaceOfAKilledProcessIsOfferedAndComesBackWhole) {
    QProcess child;
    child.start(QStringLiteral(PELLAMY_TEST_CHILD), {"clock", dir.path(), "12"});
    ASSERT_TRUE(child.waitForReadyRead(30000)) << child.readAllStandardError().toStdString();
    ASSERT_EQ(child.readAllStandardOutput(), "ready\n");
    ::kill(pid_t(child.processId()), SIGKILL);
    child.waitForFinished();

    QDataStream saved(fileBytes(dir.filePath("entries.bin")));
    QVector<QStringList> expected;
    saved >> expected;

    reopen(true);
    const QString offer = kOffer.arg("Berwick, 24/05/2006, 11 entries");
    EXPECT_EQ(shown(), QStringList({offer}));
    EXPECT_EQ(columnsOf(window->entries().rows()), expected);
    window.reset(); // Escape brings it back too
    dialogs.answerYesNoCancel(std::nullopt);
    open();
    EXPECT_EQ(window->entries().count(), 11);

    // Brought back but not yet saved: offered again after another failure.
    // Declined where it cannot be set aside (a folder holds the name), it is
    // said, and offered again while nothing has changed; then kept aside.
    const QString old = window->recovery().path() + ".old";
    ASSERT_TRUE(QDir().mkdir(old));
    reopen(false);
    ASSERT_EQ(shown().size(), 2);
    EXPECT_EQ(shown()[0], offer);
    EXPECT_TRUE(shown()[1].startsWith("message|Pellamy|The race not brought back could not be "
                                      "kept as " +
                                      QDir::toNativeSeparators(old) + ", because "))
        << shown()[1].toStdString();
    ASSERT_TRUE(QDir().rmdir(old));
    reopen(false);
    EXPECT_EQ(shown(), QStringList({offer}));
    EXPECT_EQ(window->entries().count(), 0);
    EXPECT_TRUE(QFile::exists(old));
    reopen(std::nullopt); // declined: not offered again (an offer would go unanswered)
}

// A damaged record is kept whole before anything writes over it, and said,
// with the race offered as far as it reads (and declined, set aside as any
// record declined is) or without one.
TEST_F(RecoveryWindowTest, ADamagedRecordIsKeptWholeAndSaid) {
    open();
    QStringList a = workedExampleEntry(), b = a;
    a[Col::Name] = "A", b[Col::Name] = "B";
    window->entries().appendAll(toRows({a, b}));
    const QString path = window->recovery().path();
    for (const bool head : {false, true}) {
        SCOPED_TRACE(head ? "in its head" : "in the race");
        window.reset();
        QByteArray damaged = fileBytes(path);
        damaged[head ? 1 : damaged.indexOf("\tB\t") + 1] = 'x';
        writeFile(path, damaged);
        reopen(head ? std::nullopt : std::optional(false));
        const QString kept = path + (head ? ".damaged-2" : ".damaged");
        const QString file = QDir::toNativeSeparators(path);
        const QString text = head ? "message|Pellamy|The recovery file " + file +
                                        " was damaged, and no race could be read from it."
                                  : kOffer.arg("Berwick, 24/05/2006, 1 entry") +
                                        "\n\nPart of the recovery file " + file +
                                        " was damaged, so the race in it could be read only as "
                                        "far as the damage.";
        EXPECT_EQ(shown(), QStringList({text + " The file is kept whole as " +
                                        QDir::toNativeSeparators(kept) + "."}));
        EXPECT_EQ(fileBytes(kept), damaged);
        if (!head)
            window->entries().appendAll(toRows({a, b})); // a record again, for its head
    }
    reopen(std::nullopt); // moved aside when it offered nothing: said once
    // Damaged in a race begun after a race not saved was cleared: nothing to offer, said once.
    window->entries().appendAll(toRows({a}));
    window->entries().clear();
    window->entries().appendAll(toRows({b}));
    window->entries().appendAll(toRows({a})); // a line after the damage: not a torn end
    window.reset();
    QByteArray damaged = fileBytes(path);
    damaged[damaged.lastIndexOf("\tB\t") + 1] = 'x';
    writeFile(path, damaged);
    reopen(std::nullopt);
    EXPECT_EQ(shown().size(), 1);
    reopen(std::nullopt);
}

// Race details typed once the birds are in, even after a save, are in the
// race brought back.
TEST_F(RecoveryWindowTest, DetailsTypedAfterTheBirdsComeBackToo) {
    open();
    choose(list("member"), 0);
    enterWorkedExample(*window);
    clock(false);
    saveFile(dir.filePath("race.txt"));
    type("txtwind", "SW 10");
    QTest::keyClicks(comments(), "Convoyer: Al Invented");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->entries().entry(0)[Col::Wind] == "SW 10"; }));
    reopen(true);
    EXPECT_EQ(box("txtwind")->text(), "SW 10");
    EXPECT_TRUE(comments()->toPlainText().contains("Convoyer: Al Invented"));
}

// A race ended unsaved is offered at the next start, whatever the user
// said on the way out; one saved is not.
TEST_F(RecoveryWindowTest, AnExitOffersTheRaceOnlyWhenItWasNotSaved) {
    const auto save = [&] { saveFile(dir.filePath("race.txt")); };
    const auto exit = [&] {
        window->setEndAction([&] { window->close(); }); // as the program's end does
        dialogs.answerYesNo(true);
        window->CmdExit_Click();
    };
    const QString ended = "question|Pellamy|Pellamy was closed last time with the race on screen "
                          "(x, 1 entry) not saved to a file. Would you like to bring it back?";
    const std::tuple<const char*, std::function<void()>, QStringList> endings[] = {
        {"Exit answered Yes, unsaved", exit, {ended}},
        {"Exit after a save", [&] { save(), exit(); }, {}},
        {"the wind typed since a save", [&] { save(), type("txtwind", "NE"), exit(); }, {ended}},
        {"closed unsaved", [&] { dialogs.answerYesNo(true), window->close(); }, {ended}},
    };
    for (const auto& [what, ending, offered] : endings) {
        SCOPED_TRACE(what);
        reopen(std::nullopt);
        window->entries().append(QStringList(kColumnCount, "x"));
        ending();
        reopen(offered.isEmpty() ? std::nullopt : std::optional(false));
        EXPECT_EQ(shown(), offered);
    }
}
