#include "calculatorfixture.h"

#include "calc/raceentry.h"
#include "calc/worked_example.h"
#include "racefile/racefile.h"
#include "support/entries.h"
#include "support/readonly.h"

#include <gmock/gmock.h>

using testing::_, testing::ElementsAre, testing::EndsWith, testing::HasSubstr, testing::StartsWith;

namespace {

// An entry as a race file holds it: the worked example's, at Exeter, with
// the bird clocked a day after the race.
QStringList raceEntry(const QString& name, const QString& velocity,
                      const char* comments = nullptr) {
    QStringList e = workedExampleEntry();
    e[Col::Name] = name, e[Col::Velocity] = velocity, e[Col::Racepoint] = "Exeter";
    e[Col::DayBird] = "25/05/2006 19:45:12";
    if (comments)
        e[Col::Comments] = comments;
    return e;
}

QByteArray fileOf(const QVector<QStringList>& entries) {
    return raceFileBytes(toRows(entries)).bytes;
}

class RaceFileWindowTest : public CalculatorTest {
protected:
    void SetUp() override {
        // Only J. Smith flies from Exeter, so its member list is told apart.
        makeDatabase({{"O'Brien", "Berwick", "251", "0", "26505600"},
                      {"J. Smith", "Exeter", "150", "1234", "15914040"}});
        open();
        window->entries().appendAll(toRows(
            {raceEntry("A", "1200.000"), raceEntry("B", "1100.000"), raceEntry("C", "1000.000")}));
        window->recovery().markSaved(); // as if it came from a file
    }

    // Writes the race file with the bytes given, and opens it.
    void openBytes(const QByteArray& bytes) {
        writeFile(path, bytes);
        openFile(path);
    }

    // The messages shown since it was last called, each looked at, as gmock's
    // string matchers take them.
    std::vector<std::string> saidSoFar() {
        std::vector<std::string> out;
        for (const QString& text : takeMessages())
            out.push_back(text.toStdString());
        return out;
    }

    const QString path = dir.filePath("race one.txt");
};

} // namespace

// Every race detail going through a file is proven by the round trip below;
// this proves the list, the heading and what is worked out on opening.
TEST_F(RaceFileWindowTest, SavingAndOpeningBringBackTheListAndTheRaceDetails) {
    window->entries().setText(0, Col::LibHour, "8"); // as a spreadsheet writes it
    saveFile(path);
    EXPECT_EQ(shown(), QStringList({"save||Text Files (*.txt)"}));
    window->entries().clear();

    openFile(path);
    EXPECT_EQ(names(window->entries()), QStringList({"A", "B", "C"}));
    QStringList heading = window->entries().entry(0);
    heading[Col::LibHour] = "08"; // as the calculation writes it, on screen and printed
    EXPECT_EQ(window->windowTitle(), resultHeading(heading));
    EXPECT_EQ(list("member")->currentText(), "J. Smith"); // Exeter's members are loaded
    // midnight2 as the file has it; extraday worked out from the dates.
    EXPECT_EQ(
        texts({"birdlibhrs", "midnight", "midnight2", "extraday", "txtdateset", "txtdaterace"}),
        QStringList({"08", "1", "0", "-1", "23052006", "24052006"}));
}

TEST_F(RaceFileWindowTest, ACancelledOrFailedSaveSaysSo) {
    list("member")->hide();
    saveFile(QString()); // the file chooser cancelled
    EXPECT_TRUE(list("member")->isVisible());
    EXPECT_EQ(window->entries().text(0, Col::Pos), "1"); // renumbered all the same
    saveFile(dir.filePath("no such folder/race.txt"));
    // A full disk (a name that stands for /dev/full) is said in plain words.
    const QString full = dir.filePath("full.txt");
    ASSERT_TRUE(QFile::link("/dev/full", full));
    saveFile(full);
    const QString noName = "You have not chosen a filename, Please try again.";
    EXPECT_EQ(dialogs.messages(),
              QStringList({noName, noName,
                           "The race was not saved to " + QDir::toNativeSeparators(full) +
                               ", because the disk is full. The race is still on screen: please "
                               "save it somewhere else."}));
    EXPECT_TRUE(window->recovery().unsaved());

    // A name typed without ".txt" gets it, so that the race is listed where
    // races are opened; but not over the club's name, nor where the next
    // Email Result would write (one message each, and no question first
    // whether to replace it).
    dialogs.clear();
    writeFile(dir.filePath("club.txt"), "\"Northfield HS\"\r\n");
    for (const char* name : {"club", "result.txt", "result-2.txt", "server"})
        saveFile(dir.filePath(name));
    EXPECT_TRUE(window->recovery().unsaved()); // refused, the race is still to be saved
    saveFile(dir.filePath("race 24.05"));
    // Nor where the result goes when the program folder takes none.
    ASSERT_TRUE(QDir().mkpath(dir.filePath("home/Documents/Pellamy")));
    {
        const EnvSet home("HOME", dir.filePath("home").toUtf8());
        saveFile(dir.filePath("home/Documents/Pellamy/result.txt"));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("home/Documents/Pellamy/result.txt")));
    EXPECT_EQ(saidSoFar().size(), 5u);
    EXPECT_EQ(QDir(dir.path()).entryList({"race *", "club*", "result*", "server*"}),
              QStringList({"club.txt", "race 24.05.txt"}));

    // A folder Pellamy may not write in is said as such, not as no name.
    QTemporaryDir locked;
    READ_ONLY_OR_SKIP(readOnly, locked.path());
    saveFile(locked.filePath("race.txt"));
    EXPECT_THAT(saidSoFar(),
                ElementsAre(HasSubstr(", because Pellamy may not write there: the file, "
                                      "or the folder it is in, is read-only.")));
}

// Why bytes are no race file is the core's table (RaceFile.SaysWhyBytesAreNoRaceFile).
TEST_F(RaceFileWindowTest, OpeningLeavesTheRaceAloneOnACancelOrAWrongFile) {
    box("txtwind")->setText("NE");
    openFile(""); // cancelled
    list("member")->hide();
    openFile(dir.filePath("missing.txt"));
    EXPECT_TRUE(list("member")->isVisible());
    openBytes(fileOf({raceEntry("X", "1.0")}).replace("SW", "S\x01W"));
    EXPECT_EQ(dialogs.messages(),
              QStringList({"You have chosen a wrong race date, Please try again.",
                           QDir::toNativeSeparators(path) +
                               " is not a race file: it holds bytes that are not text. The race on "
                               "screen has not been changed."}));
    EXPECT_EQ(names(window->entries()), QStringList({"A", "B", "C"}));
    EXPECT_EQ(box("txtwind")->text(), "NE");
}

// What such a record keeps is the core's (RaceFile.RecordsWithTooManyFields...).
TEST_F(RaceFileWindowTest, RecordsWithTooManyFieldsAreReportedAndTheRestIsRead) {
    QByteArray bytes = " \r\n"; // a line of blanks first: the entries are numbered as listed
    for (const char* name : {"A", "B"})
        bytes += raceEntry(name, "1200.000", "Wet, windy").join(", ").toLatin1() + "\r\n\r\n";
    openBytes(bytes);
    EXPECT_EQ(names(window->entries()), QStringList({"A", "B"}));
    // The fields moved: "windy" is no date.
    EXPECT_THAT(saidSoFar(), ElementsAre(HasSubstr("\"windy\" is not a date"),
                                         StartsWith("Every entry of the race file " +
                                                    QDir::toNativeSeparators(path).toStdString() +
                                                    " holds more than a race entry's 39 fields")));

    // Lines of blanks (left by an edit in Notepad) hold no bird: neither placed nor saved. The
    // race details come from the first entry.
    list("racepoint")->setEditText("Berwick");
    const QByteArray one = fileOf({raceEntry("A", "1200.000")});
    openBytes("1\r\n" + one + "\t\r\n4\r\n"); // the first and last as an older save numbered them
    EXPECT_EQ(list("racepoint")->currentText(), "Exeter");
    EXPECT_THAT(window->windowTitle().toStdString(), HasSubstr("Exeter"));
    EXPECT_EQ(names(window->entries()), QStringList({"A"}));
    // Cut short after the last entry's position: that entry stays, to be seen.
    openBytes(one + "2");
    EXPECT_EQ(window->entries().count(), 2);
    EXPECT_THAT(saidSoFar(), ElementsAre(HasSubstr("ends part-way through a line")));

    // A file whose line ends were changed to Linux ones reads whole, with
    // nothing to say (the fixture fails on a message left unlooked at).
    const QByteArray two = fileOf({raceEntry("A", "1200.000"), raceEntry("B", "1100.000")});
    openBytes(QByteArray(two).replace("\r\n", "\n"));
    EXPECT_EQ(raceFileBytes(window->entries().rows()).bytes, two);
    // So does one whose comments an older program kept on two lines, CR LF inside.
    const QByteArray fog = fileOf({raceEntry("A", "1200.000", "Fog"), raceEntry("B", "1100.000")});
    openBytes(QByteArray(fog).replace(", Fog, ", ", Fog\r\nlate, "));
    EXPECT_EQ(window->entries().count(), 2);
    EXPECT_EQ(window->entries().text(0, Col::Comments), "Fog\nlate");
}

TEST_F(RaceFileWindowTest, AnUnsavedRaceIsNotReplacedWithoutAsking) {
    // A bird corrected, or the wind typed for the sheet, since the save; a
    // race of one bird as well.
    openBytes(fileOf({raceEntry("A", "1200.000")}));
    for (const bool bird : {false, true}) {
        saveFile(path);
        if (bird)
            window->entries().setText(0, Col::RingNo, "changed");
        else
            type("txtwind", "NE");
        dialogs.clear();
        dialogs.answerYesNo(false);
        window->cmdopen_Click();
        EXPECT_EQ(shown(), QStringList({"question|Pellamy|The race on screen has changes that "
                                        "have not been saved to a file. Open another race "
                                        "without saving them?"})); // no file asked for
    }
    EXPECT_EQ(window->entries().text(0, Col::RingNo), "changed");

    dialogs.answerYesNo(true);
    openFile(path);
    EXPECT_EQ(window->entries().text(0, Col::RingNo), "GB06N12345");
    openFile(path); // just opened: nothing to ask (a question would go unanswered)

    // Changed since by another copy of Pellamy (a clock time put right, of
    // the same size, within the same second), whether opened or saved here,
    // and with a backup saved elsewhere meanwhile: not replaced unasked, No
    // by default; once saved here, asked no more.
    const QByteArray ours = fileBytes(path);
    const QByteArray theirs = QByteArray(ours).replace("11-45-30", "11-45-31");
    for (const bool saved : {false, true}) {
        const QString file = dir.filePath(saved ? "saved.txt" : "opened.txt");
        writeFile(file, ours);
        saved ? saveFile(file) : openFile(file);
        saveFile(dir.filePath("backup.txt"));
        writeFile(file, theirs);
        dialogs.clear();
        dialogs.answerYesNo(false);
        saveFile(file);
        EXPECT_EQ(fileBytes(file), theirs);
        EXPECT_THAT(dialogs.noByDefault().last().toStdString(),
                    HasSubstr("by another copy of Pellamy or another program. Saving now "
                              "replaces what was saved there. Replace it all the same?"));
        dialogs.answerYesNo(true);
        saveFile(file);
        EXPECT_EQ(fileBytes(file), ours);
    }
    saveFile(path);
    QFile::remove(path); // gone: saved again unasked
    saveFile(path);
    EXPECT_EQ(fileBytes(path), ours);
}

TEST_F(RaceFileWindowTest, ShortAndEmptyFilesRestoreWhatTheyHold) {
    window->setWindowTitle("Result for last week's race");
    openBytes("");
    EXPECT_EQ(window->entries().count(), 0);
    EXPECT_EQ(window->windowTitle(), ""); // the last race's heading goes
    // The empty list saved over a race asks first; No, the default, keeps it.
    writeFile(dir.filePath("kept.txt"), "a race");
    for (const bool replace : {false, true}) {
        dialogs.answerYesNo(replace);
        saveFile(dir.filePath("kept.txt"));
        EXPECT_EQ(fileBytes(dir.filePath("kept.txt")).isEmpty(), replace);
    }
    EXPECT_EQ(dialogs.noByDefault().size(), 2);

    const QStringList shortEntry = raceEntry("A", "1.000").mid(0, 23); // up to the race date
    const std::tuple<int, const char*, std::string> badDates[] = {
        {Col::SetDate, "", "date the clocks were set: it is empty in the file."},
        {Col::RaceDate, "31/02/2026", "race date: \"31/02/2026\" is not a date Pellamy can take."}};
    for (const auto& [column, date, why] : badDates) {
        QStringList bad = shortEntry;
        bad[column] = date;
        openBytes(fileOf({bad}));
        EXPECT_EQ(box("txtwind")->text(), "SW"); // restored up to the bad date, and said
        EXPECT_THAT(saidSoFar(),
                    ElementsAre(StartsWith("The race details were read only up to the " + why), _));
    }
    // Stopped at a later date, the set and race dates read before it are those the sheets print.
    QStringList lateBad = raceEntry("A", "1.000");
    lateBad[Col::ClockOpen] = "not a date";
    openBytes(fileOf({lateBad}));
    EXPECT_EQ(texts({"txtdateset", "txtdaterace"}), QStringList({"23052006", "24052006"}));
    EXPECT_THAT(saidSoFar(), ElementsAre(HasSubstr("up to the date the clocks were opened")));
    // The date the bird was clocked put right counts whole nights, the
    // time of day of the dates read aside.
    picker("DaybirdClocked")->setDate(QDate(2006, 5, 24));
    EXPECT_EQ(box("midnight2")->text(), "0");
    // Saved again: what was not restored stays as the entry holds it.
    QStringList unreadDate = raceEntry("A", "1.000");
    unreadDate[Col::Pos] = "1", unreadDate[Col::SetDate] = "5/23/2026 6:00:00 PM";
    openBytes(fileOf({unreadDate}));
    saveFile(dir.filePath("again.txt"));
    EXPECT_EQ(fileBytes(dir.filePath("again.txt")), fileBytes(path));
    EXPECT_THAT(saidSoFar(), ElementsAre(HasSubstr("\"5/23/2026 6:00:00 PM\" is not a date")));

    // Cut short part-way through its last entry: read, and said. (Which
    // files end part-way is the core's: RaceFile.AnLfTypedInTheComments...)
    // Its last blocks filled with nought (a power cut): the entries before
    // them read. A line broken in a text editor: its pieces are read. A
    // clock time a spreadsheet made a date of. Each is said.
    const QByteArray two = fileOf({raceEntry("A", "1.000"), raceEntry("B", "2.000")});
    const std::tuple<QByteArray, int, testing::Matcher<std::string>> damaged[] = {
        {two.chopped(30), 2, EndsWith("its last entry may be incomplete. Please check it.")},
        {two.chopped(30) + QByteArray(4096, '\0'), 2, HasSubstr("ends in bytes of nought")},
        {two.left(100) + "\r\n" + two.mid(100), 3,
         StartsWith("Entries 1, 2 of the race file " +
                    QDir::toNativeSeparators(path).toStdString() + " hold fewer")},
        {QByteArray(two).replace("11-45-30", "11/45/1930"), 2,
         StartsWith("The clock times of every entry of the race")},
    };
    for (const auto& [bytes, count, said] : damaged) {
        openBytes(bytes);
        EXPECT_EQ(window->entries().count(), count);
        EXPECT_THAT(saidSoFar(), ElementsAre(said));
    }
}

TEST_F(RaceFileWindowTest, CommaAndCharacterChangesAreReportedOnSaving) {
    QTest::keyClicks(comments(), "Wet, windy"); // typed
    window->entries().setText(2, Col::Name, QString::fromUtf8("Łukasz"));
    window->entries().setText(0, Col::RingNo, "GB\f06"); // a form feed
    saveFile(path);
    EXPECT_THAT(saidSoFar(),
                ElementsAre(HasSubstr("In every entry a comma was saved as a semicolon"),
                            HasSubstr("not text (pasted from another program) in entry 1")));
    EXPECT_TRUE(fileBytes(path).contains("Łukasz")); // kept, in a file in UTF-8
    // Comments longer than a race file's line may be: refused, the file kept.
    const QByteArray saved = fileBytes(path);
    comments()->insertPlainText(QString(kLongestRaceFileLine, 'x')); // as typed
    saveFile(path);
    EXPECT_THAT(saidSoFar(), ElementsAre(StartsWith("The race was not saved: ")));
    EXPECT_EQ(fileBytes(path), saved);
}

TEST_F(RaceFileWindowTest, RaceDetailsGoFromTheControlsThroughAFileBackToTheControls) {
    window->entries().clear();
    choose(list("racepoint"), list("racepoint")->findText("Exeter"));
    const std::pair<const char*, const char*> typed[] = {
        {"txtmember", "14"},     {"txtbirds", "310"},
        {"txtwind", "NW"},       {"birdlibhrs", "07"},
        {"birdlibmins", "15"},   {"HODhr", "21"},
        {"HODmin", "50"},        {"HOLhr", "5"},
        {"HOLmin", "10"},        {"mtdetailset", "Master clock 7"},
        {"mtreadset", "19:31"},  {"mtdetailrake", "Master clock 8"},
        {"mtreadrake", "19:02"},
    };
    for (const auto& [name, text] : typed)
        type(name, text);
    setDates(*window, {QDate(2006, 5, 22), QTime(18, 0)}, {QDate(2006, 5, 24), QTime(6, 0)},
             {QDate(2006, 5, 24), QTime(12, 0)}, {QDate(2006, 5, 24), QTime(20, 0)});
    clock();
    ASSERT_EQ(window->entries().count(), 1);
    // Typed once the birds are in, as the sheet is made ready: kept all the same.
    QTest::keyClicks(comments(), "Wet start");
    saveFile(path);

    ScriptedDialogService otherDialogs;
    Pellamy other(dir.path(), &otherDialogs); // a second copy, as on another evening
    otherDialogs.answerFile(path);
    other.cmdopen_Click();
    for (const auto& [name, text] : typed)
        EXPECT_EQ(control<QLineEdit>(other, name)->text(), text) << name;
    for (const char* name : {"midnight", "midnight2", "txtdateset", "txtdaterace"})
        EXPECT_EQ(control<QLineEdit>(other, name)->text(), box(name)->text()) << name;
    EXPECT_EQ(control<QComboBox>(other, "racepoint")->currentText(), "Exeter");
    EXPECT_EQ(control<QPlainTextEdit>(other, "txtcomments")->toPlainText(), "Wet start");
    for (const char* name : {"DayClockSet", "RaceDay", "DaybirdClocked", "DayClockOpen"})
        EXPECT_EQ(control<QDateTimeEdit>(other, name)->dateTime(), picker(name)->dateTime())
            << name;
    EXPECT_EQ(columnsOf(other.entries().rows()), columnsOf(window->entries().rows()));
    expectDialogsHandled(otherDialogs);
}
