#include "calculatorfixture.h"

#include "calc/raceentry.h"
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
            dialogs.answerYesNo(*answer);
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

    QFile saved(dir.filePath("entries.bin"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    QDataStream stream(&saved);
    QVector<QStringList> expected;
    stream >> expected;

    reopen(true);
    EXPECT_EQ(shown(), QStringList({kOffer.arg("11 entries")}));
    EXPECT_EQ(columnsOf(window->entries().rows()), expected);
    EXPECT_EQ(box("txtdaterace")->text(), "24052006"); // the race details restored

    // Brought back but not yet saved: offered again after another failure.
    reopen(false);
    EXPECT_EQ(shown(), QStringList({kOffer.arg("11 entries")}));
    EXPECT_EQ(window->entries().count(), 0);
    EXPECT_TRUE(QFile::exists(window->recovery().path() + ".old"));
    reopen(std::nullopt); // declined: not offered again
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(RecoveryWindowTest, NothingIsOfferedAfterASaveOrAnExit) {
    const std::pair<const char*, std::function<void()>> endings[] = {
        {"saved",
         [&] {
             dialogs.answerFile(dir.filePath("race.txt"));
             window->cmdsave_Click();
         }},
        {"Exit answered Yes",
         [&] {
             window->setEndAction([] {});
             dialogs.answerYesNo(true);
             window->CmdExit_Click();
         }},
        {"closed and said to be saved",
         [&] {
             dialogs.answerYesNo(true);
             window->close();
         }},
    };
    for (const auto& [what, ending] : endings) {
        SCOPED_TRACE(what);
        reopen(std::nullopt);
        EXPECT_TRUE(dialogs.shown().isEmpty());
        window->entries().append(QStringList(kColumnCount, "x"));
        ending();
    }
    reopen(std::nullopt);
    EXPECT_TRUE(dialogs.shown().isEmpty());
}
