#include "calculatorfixture.h"

#include "calc/raceentry.h"
#include "racefile/racefile.h"
#include "support/controls.h"
#include "support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>

using namespace pellamy;

namespace {

QStringList raceEntry(const QString& name, const QString& velocity) {
    QStringList e(kColumnCount);
    e[Col::Name] = name;
    e[Col::Velocity] = velocity;
    e[Col::RingNo] = "R-" + name;
    e[Col::Members] = "12";
    e[Col::Birds] = "240";
    e[Col::Wind] = "SW";
    e[Col::SetDate] = "23/05/2006 19:45:12";
    e[Col::RaceDate] = "24/05/2006 19:45:12";
    e[Col::LibHour] = "07";
    e[Col::LibMinute] = "30";
    e[Col::Racepoint] = "Exeter";
    e[Col::Midnight] = "1";
    e[Col::Midnight2] = "0";
    e[Col::HodHr] = "21";
    e[Col::HodMin] = "45";
    e[Col::HolHr] = "5";
    e[Col::HolMin] = "15";
    e[Col::MtdSet] = "Master A";
    e[Col::MtrSet] = "19:30";
    e[Col::MtdRake] = "Master B";
    e[Col::MtrRake] = "19:00";
    e[Col::Comments] = "Good race";
    e[Col::ClockOpen] = "24/05/2006 19:45:12";
    e[Col::DayBird] = "25/05/2006 19:45:12";
    return e;
}

class RaceFileWindowTest : public CalculatorTest {
protected:
    void SetUp() override {
        makeDatabase({{"J. Smith", "Berwick", "150", "1234", "15914040"},
                      {"J. Smith", "Exeter", "150", "1234", "15914040"}});
        open();
        window->entries().appendAll(
            {raceEntry("A", "1200.000"), raceEntry("B", "1100.000"), raceEntry("C", "1000.000")});
        window->recovery().markSaved(); // as if it came from a file
        path = dir.filePath("race one.txt");
    }

    void writeFile(const QByteArray& bytes) const {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QStringList names() const {
        QStringList out;
        for (const QStringList& e : window->entries().entries())
            out << e.value(Col::Name);
        return out;
    }

    QString path;
};

} // namespace

TEST_F(RaceFileWindowTest, SavingWritesTheRenumberedListAndShowsTheMemberList) {
    list("member")->hide();
    dialogs.answerFile(path);
    QTest::mouseClick(button("cmdsave"), Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(dialogs.shown()[0].kind, "save");
    EXPECT_EQ(dialogs.shown()[0].text, "Text Files (*.txt)");
    EXPECT_TRUE(list("member")->isVisible());
    const QByteArray bytes = testsupport::fileBytes(path);
    EXPECT_EQ(bytes.count("\r\n"), 6);
    EXPECT_TRUE(bytes.startsWith("1, A, "));
    EXPECT_EQ(window->entries().text(2, Col::Pos), "3");
}

TEST_F(RaceFileWindowTest, OpeningRestoresTheEntriesAndTheRaceDetails) {
    dialogs.answerFile(path);
    window->cmdsave_Click();
    window->entries().clear();
    control<QPlainTextEdit>(*window, "txtcomments")->setPlainText("something else");
    list("member")->hide();

    dialogs.answerFile(path);
    QTest::mouseClick(button("cmdopen"), Qt::LeftButton);
    EXPECT_TRUE(list("member")->isVisible());
    EXPECT_EQ(names(), QStringList({"A", "B", "C"}));
    EXPECT_EQ(window->entries().text(0, Col::Pos), "1");
    EXPECT_EQ(window->windowTitle(), "Result for ..... Exeter     24/05/2006 19:45:12     12 "
                                     "Members     Sent 240  Birds     Liberated at 0730     "
                                     "Into a SW Wind");
    EXPECT_EQ(box("txtmember")->text(), "12");
    EXPECT_EQ(box("txtwind")->text(), "SW");
    EXPECT_EQ(box("HODmin")->text(), "45");
    EXPECT_EQ(box("mtreadrake")->text(), "19:00");
    EXPECT_EQ(control<QPlainTextEdit>(*window, "txtcomments")->toPlainText(), "Good race");
    EXPECT_EQ(list("racepoint")->currentText(), "Exeter");
    EXPECT_EQ(list("member")->currentText(),
              "J. Smith"); // its members are loaded
    EXPECT_EQ(control<QDateTimeEdit>(*window, "DayClockSet")->dateTime(),
              QDateTime(QDate(2006, 5, 23), QTime(19, 45, 12)));
    EXPECT_EQ(control<QDateTimeEdit>(*window, "DaybirdClocked")->date(), QDate(2006, 5, 25));
    EXPECT_EQ(box("midnight")->text(), "1");
    EXPECT_EQ(box("midnight2")->text(), "0"); // as the file has it
    EXPECT_EQ(box("extraday")->text(), "-1");
    EXPECT_EQ(box("txtdateset")->text(), "23052006");
    EXPECT_EQ(box("txtdaterace")->text(), "24052006");
}

TEST_F(RaceFileWindowTest, ACancelledOrFailedSaveSaysSoAndKeepsTheOldFile) {
    writeFile("old race\r\n");
    list("member")->hide();
    QTest::mouseClick(button("cmdsave"), Qt::LeftButton); // no file chosen
    const QString noName = "You have not chosen a filename, Please try again.";
    EXPECT_EQ(dialogs.messages(), QStringList({noName}));
    EXPECT_TRUE(list("member")->isVisible());
    EXPECT_EQ(window->entries().text(0, Col::Pos), "1"); // renumbered all the same

    dialogs.clear();
    dialogs.answerFile(dir.filePath("no such folder/race.txt"));
    window->cmdsave_Click();
    EXPECT_EQ(dialogs.messages(), QStringList({noName}));
    EXPECT_EQ(testsupport::fileBytes(path), "old race\r\n");

    // A full disk (a name that stands for /dev/full) is said in plain words.
    const QString full = dir.filePath("full.txt");
    ASSERT_TRUE(QFile::link("/dev/full", full));
    dialogs.clear();
    dialogs.answerFile(full);
    window->cmdsave_Click();
    EXPECT_EQ(dialogs.messages(),
              QStringList({"The race was not saved to " + QDir::toNativeSeparators(full) +
                           ", because the disk is full. The race is still on screen: please save "
                           "it somewhere else."}));
    EXPECT_TRUE(window->recovery().unsaved());
}

TEST_F(RaceFileWindowTest, OpeningLeavesTheRaceAloneOnACancelOrAWrongFile) {
    box("txtwind")->setText("NE");
    dialogs.answerFile(""); // cancelled
    window->cmdopen_Click();
    dialogs.answerFile(dir.filePath("missing.txt"));
    list("member")->hide();
    window->cmdopen_Click();
    EXPECT_EQ(dialogs.messages(),
              QStringList({"You have chosen a wrong race date, Please try again."}));
    EXPECT_TRUE(list("member")->isVisible());
    EXPECT_EQ(window->entries().count(), 3);
    EXPECT_EQ(box("txtwind")->text(), "NE");
}

TEST_F(RaceFileWindowTest, RecordsWithTooManyFieldsAreReportedAndTheRestIsRead) {
    QStringList second = raceEntry("B", "1100.000");
    second[Col::Comments] = "Wet, windy";
    QByteArray bytes = raceFileBytes({raceEntry("A", "1200.000")}).bytes;
    bytes += second.join(", ").toLatin1() + "\r\n\r\n";
    bytes += raceFileBytes({raceEntry("C", "1000.000")}).bytes;
    writeFile(bytes);
    dialogs.answerFile(path);
    window->cmdopen_Click();
    EXPECT_EQ(names(), QStringList({"A", "B", "C"}));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("Lines 3 of the race file had more than 39"));
    EXPECT_EQ(box("txtwind")->text(), "SW");

    // A file with Linux line ends reads as one line: the message says why.
    writeFile(raceFileBytes({raceEntry("A", "1200.000"), raceEntry("B", "1100.000")})
                  .bytes.replace("\r\n", "\n"));
    dialogs.clear();
    dialogs.answerFile(path);
    window->cmdopen_Click();
    EXPECT_EQ(window->entries().count(), 1);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("The lines of this race file end as on Linux"));
}

TEST_F(RaceFileWindowTest, AnUnsavedRaceIsNotReplacedWithoutAsking) {
    dialogs.answerFile(path);
    window->cmdsave_Click();
    window->entries().setText(0, Col::RingNo, "changed");
    dialogs.clear();
    dialogs.answerYesNo(false);
    window->cmdopen_Click();
    ASSERT_EQ(dialogs.shown().size(), 1); // no file was asked for
    EXPECT_EQ(dialogs.shown()[0].kind, "question");
    EXPECT_EQ(dialogs.shown()[0].text, "Have you saved race to file?");
    EXPECT_EQ(window->entries().text(0, Col::RingNo), "changed");

    dialogs.answerYesNo(true);
    dialogs.answerFile(path);
    window->cmdopen_Click();
    EXPECT_EQ(window->entries().text(0, Col::RingNo), "R-A");
    dialogs.clear();
    dialogs.answerFile(path); // just opened: nothing to ask
    window->cmdopen_Click();
    EXPECT_EQ(dialogs.shown().size(), 1);
}

TEST_F(RaceFileWindowTest, FilesThatCannotBeRaceFilesAreRefusedAndTheRaceStays) {
    QByteArray binary(100 * 1024, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 7919) % 251);
    const struct {
        const char* what;
        QByteArray bytes;
        const char* says;
    } cases[] = {
        {"binary", binary, "holds bytes that are not text"},
        {"a control byte", raceFileBytes({raceEntry("X", "1.0")}).bytes.replace("SW", "S\x01W"),
         "holds bytes that are not text"},
        {"UTF-16", QByteArray("\xFF\xFE") + QByteArray("1\0,\0 \0A\0"),
         "is a Unicode (UTF-16) text file"},
        {"a 10 MB line", QByteArray(10 * 1024 * 1024, 'x'),
         "has a line longer than 65536 characters"},
    };
    box("txtwind")->setText("NE");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(c.bytes);
        dialogs.clear();
        dialogs.answerFile(path);
        window->cmdopen_Click();
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_EQ(dialogs.messages()[0], QDir::toNativeSeparators(path) +
                                             " is not a race file: it " + c.says +
                                             ". The race on screen has not been changed.");
        EXPECT_EQ(names(), QStringList({"A", "B", "C"}));
        EXPECT_EQ(box("txtwind")->text(), "NE");
    }
}

TEST_F(RaceFileWindowTest, ShortAndEmptyFilesRestoreWhatTheyHold) {
    writeFile("");
    dialogs.answerFile(path);
    window->cmdopen_Click();
    EXPECT_EQ(window->entries().count(), 0);
    EXPECT_EQ(window->windowTitle(), "");

    QStringList shortEntry = raceEntry("A", "1.000").mid(0, 22); // up to the set date
    shortEntry[Col::SetDate] = "not a date";
    writeFile(raceFileBytes({shortEntry}).bytes);
    box("txtbirds")->setText("99");
    dialogs.answerFile(path);
    window->cmdopen_Click();
    EXPECT_EQ(window->entries().entry(0).size(), 22);
    EXPECT_EQ(box("txtwind")->text(), "SW"); // restored up to the bad date
    EXPECT_EQ(window->windowTitle(), "");    // not reached
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(RaceFileWindowTest, CommaAndCharacterChangesAreReportedOnSaving) {
    window->entries().setText(1, Col::Name, "Brown, A.");
    window->entries().setText(2, Col::Name, QString::fromUtf8("Łukasz"));
    dialogs.answerFile(path);
    window->cmdsave_Click();
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[0].contains("entries 2 a comma was saved as a semicolon"));
    EXPECT_TRUE(dialogs.messages()[1].contains("Entries 3 hold characters"));
    dialogs.clear();
    dialogs.answerFile(path);
    window->cmdopen_Click();
    EXPECT_EQ(names(), QStringList({"A", "Brown; A.", "?ukasz"}));
}

TEST_F(RaceFileWindowTest, RaceDetailsGoFromTheControlsThroughAFileBackToTheControls) {
    Pellamy& w = *window;
    w.entries().clear();
    choose(list("racepoint"), list("racepoint")->findText("Exeter"));
    const std::pair<const char*, const char*> texts[] = {
        {"txtmember", "14"},     {"txtbirds", "310"},
        {"txtwind", "NW"},       {"birdlibhrs", "07"},
        {"birdlibmins", "15"},   {"HODhr", "21"},
        {"HODmin", "50"},        {"HOLhr", "5"},
        {"HOLmin", "10"},        {"mtdetailset", "Master clock 7"},
        {"mtreadset", "19:31"},  {"mtdetailrake", "Master clock 8"},
        {"mtreadrake", "19:02"},
    };
    for (const auto& [name, text] : texts)
        type(name, text);
    control<QPlainTextEdit>(w, "txtcomments")->setPlainText("Wet start");
    control<QDateTimeEdit>(w, "DayClockSet")->setDateTime({QDate(2006, 5, 22), QTime(18, 0)});
    control<QDateTimeEdit>(w, "RaceDay")->setDateTime({QDate(2006, 5, 24), QTime(6, 0)});
    control<QDateTimeEdit>(w, "DaybirdClocked")->setDateTime({QDate(2006, 5, 24), QTime(12, 0)});
    control<QDateTimeEdit>(w, "DayClockOpen")->setDateTime({QDate(2006, 5, 24), QTime(20, 0)});
    clock();
    ASSERT_EQ(w.entries().count(), 1);
    dialogs.answerFile(path);
    w.cmdsave_Click();

    ScriptedDialogService otherDialogs;
    Pellamy other(dir.path(), &otherDialogs); // a second copy, as on another evening
    otherDialogs.answerFile(path);
    other.cmdopen_Click();
    const auto otherBox = [&](const char* name) {
        return other.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    };
    for (const auto& [name, text] : texts)
        EXPECT_EQ(otherBox(name), text) << name;
    for (const char* name : {"midnight", "midnight2", "txtdateset", "txtdaterace"})
        EXPECT_EQ(otherBox(name), box(name)->text()) << name;
    EXPECT_EQ(control<QComboBox>(other, "racepoint")->currentText(), "Exeter");
    EXPECT_EQ(control<QPlainTextEdit>(other, "txtcomments")->toPlainText(), "Wet start");
    EXPECT_EQ(control<QDateTimeEdit>(other, "DayClockSet")->dateTime(),
              control<QDateTimeEdit>(w, "DayClockSet")->dateTime());
    EXPECT_EQ(control<QDateTimeEdit>(other, "DaybirdClocked")->dateTime(),
              control<QDateTimeEdit>(w, "DaybirdClocked")->dateTime());
    EXPECT_EQ(other.entries().entries(), w.entries().entries());
    testsupport::expectDialogsHandled(otherDialogs);
}
