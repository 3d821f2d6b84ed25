#include "calculatorfixture.h"

#include "calc/raceentry.h"
#include "reports/maillauncher.h"
#include "reports/publish.h"
#include "support/entries.h"
#include "support/readonly.h"
#include "support/recordingprinter.h"

namespace {

class RecordingMailer : public MailLauncher {
public:
    void send(const QString&, const QString&, const QString& attachment, Failed) override {
        attachments << attachment;
    }
    QStringList attachments;
};

class ReportsWindowTest : public CalculatorTest {
protected:
    void SetUp() override {
        window = std::make_unique<Pellamy>(folder.path(), &dialogs);
        window->setPrinter(&printer);
        window->setNamesSource([] {
            return std::pair<QString, QString>("Rose, Crown and Anchor", "North East Federation");
        });
        window->entries().appendAll(toRows({entry("A", "3"), entry("B", "2"), entry("C", "1")}));
        box("txtdaterace")->setText("24052006");
        window->show();
    }

    void TearDown() override {
        window.reset(); // before its folder goes
        CalculatorTest::TearDown();
    }

    // The user's own folders are the test's.
    EnvSet home{"HOME", dir.filePath("home").toUtf8()};
    EnvSet config{"XDG_CONFIG_HOME", dir.filePath("home/.config").toUtf8()};

    QTemporaryDir folder{QDir::tempPath() + "/Pellamy program XXXXXX"};
    RecordingPrinter printer;
};

} // namespace

// The copies texts refused and corrected are the core's table (Copies).
TEST_F(ReportsWindowTest, BothSheetsPrintWithTheCopiesAskedAndClubPrintRenumbers) {
    type("txtcopies2", "2.5");
    QTest::keyClick(box("txtcopies2"), Qt::Key_Return); // a box in the button: no press
    EXPECT_FALSE(control<QPushButton>(*window, "Clubprint")->isDown());
    click("Clubprint");
    ASSERT_EQ(printer.printed.size(), 1);
    const PrintDocument& sheet = printer.printed[0];
    EXPECT_EQ(sheet.copies, 2);
    EXPECT_EQ(sheet.lines[5].text, "Rose, Crown and Anchor");
    EXPECT_EQ(sheet.lines[8].text.trimmed(), "24/05/06");
    EXPECT_TRUE(sheet.lines[18].text.startsWith("  3   C")); // renumbered first

    box("txtcopies")->setText("0"); // corrected to 1, in the box too
    click("CmdPrint");
    ASSERT_EQ(printer.printed.size(), 2);
    EXPECT_EQ(printer.printed[1].copies, 1);
    EXPECT_EQ(printer.printed[1].lines[1].text, "North East Federation");
    EXPECT_EQ(texts({"txtcopies", "txtcopies2"}), QStringList({"1", "2.5"}));

    box("txtcopies2")->setText("two");
    window->Clubprint_Click();
    EXPECT_EQ(dialogs.messages(), QStringList({"The number of copies of the club sheet must be a "
                                               "number up to 32767. Nothing has been printed."}));
    EXPECT_EQ(printer.printed.size(), 2);
    // Before a bird is worked out the hidden date box holds its own name: the picker's date prints.
    box("txtcopies2")->setText("1");
    box("txtdaterace")->setText("txtdaterace");
    picker("RaceDay")->setDate(QDate(2026, 6, 13));
    click("Clubprint");
    EXPECT_EQ(printer.printed.last().lines[8].text.trimmed(), "13/06/26");
}

TEST_F(ReportsWindowTest, WithoutAPrinterTheSheetCanBeSavedAsPdf) {
    printer.available = false;
    dialogs.answerYesNo(true);
    dialogs.answerFile(folder.filePath("club")); // ".pdf" is added
    window->Clubprint_Click();
    EXPECT_EQ(shown(), QStringList({"question|Pellamy|No printer is available. Would you like to "
                                    "save the sheet as a PDF file instead?",
                                    "save||PDF Files (*.pdf)"}));
    EXPECT_EQ(printer.pdfPaths, QStringList({folder.filePath("club.pdf")}));

    dialogs.answerYesNo(false);
    box("txtcopies")->setText("3"); // not in the file: said
    window->CmdPrint_Click();
    EXPECT_EQ(printer.printed.size(), 1);
    EXPECT_EQ(dialogs.shown().size(), 3); // the question alone, no message with it
    EXPECT_TRUE(dialogs.shown().last().text.endsWith(
        " (The file holds one copy: print it 3 times for the 3 copies.) Would you like to save "
        "the sheet as a PDF file instead?"));
}

TEST_F(ReportsWindowTest, EmailWritesResultTxtAndHandsItToTheMailer) {
    QTemporaryDir tools;
    const QString record = tools.filePath("mailer-args.txt");
    if (QStandardPaths::findExecutable("xdg-email").isEmpty())
        GTEST_SKIP() << "xdg-email is not installed";
    // The mailer xdg-email hands the link to, with no path in it: a folder's
    // name may hold a blank or a quote.
    {
        const EnvSet recordIn("PELLAMY_MAILER_RECORD", record.toUtf8());
        const EnvSet mailer("MAILER",
                            "sh -c 'printf %s \"$1\" > \"$PELLAMY_MAILER_RECORD\"' mailer");
        list("racepoint")->setEditText("Northpoint");
        click("Command2");
    }
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QFileInfo(record).size() > 0; })); // the shell makes the file, then writes it

    const QString path = QDir::toNativeSeparators(folder.filePath("result.txt"));
    const QByteArray written = fileBytes(path);
    EXPECT_TRUE(written.startsWith("\r\n                      Northpoint     24052006"));
    EXPECT_TRUE(written.contains("      3")); // renumbered first
    const QString link = QString::fromUtf8(fileBytes(record));
    // As xdg-email encodes it: all but letters, digits and "@.-/". The message
    // attaches a copy of its own.
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(path, "@.-/", "_~"));
    EXPECT_EQ(link.section("&attach=", 0, 0),
              "mailto:?subject=" + encoded +
                  "&body=Please%20find%20attached%20this%20weeks%20race%20result");
    const QString attached = QUrl::fromPercentEncoding(link.section("&attach=", 1).toUtf8());
    EXPECT_EQ(QFileInfo(attached).fileName(), "result.txt");
    EXPECT_EQ(fileBytes(attached), written);
}

TEST_F(ReportsWindowTest, ResultTxtIsRewrittenInAReadOnlyFolderAndAFullDiskIsSaidSo) {
    RecordingMailer mailer;
    window->setMailLauncher(&mailer);
    const QString path = folder.filePath("result.txt");

    // A name Windows-1252 cannot hold is kept: the file is written in UTF-8.
    window->entries().setText(0, Col::Name, QString::fromUtf8("Łukasz"));
    window->Command2_Click();
    EXPECT_TRUE(fileBytes(path).startsWith("\xEF\xBB\xBF\r\n"));
    EXPECT_TRUE(fileBytes(path).contains("Łukasz"));

    // A full disk: result.txt stands for /dev/full, which takes no byte. It
    // goes to the user's documents folder instead; where that cannot be
    // made either, no e-mail is started.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::link("/dev/full", path));
    const QString full = "The result could not be written to " + QDir::toNativeSeparators(path) +
                         ", because the disk is full, ";
    const QString documents =
        QDir::toNativeSeparators(dir.filePath("home/Documents/Pellamy/result.txt"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("home/Documents")));
    writeFile(dir.filePath("home/Documents/Pellamy"), "a file in the way");
    window->Command2_Click();
    ASSERT_TRUE(QFile::remove(dir.filePath("home/Documents/Pellamy")));
    window->Command2_Click();
    EXPECT_EQ(dialogs.messages(),
              QStringList({full + "nor to " + documents +
                               ", because its folder could not be made, so no e-mail has been "
                               "started.",
                           full + "so it was written to " + documents + " instead."}));
    EXPECT_EQ(mailer.attachments, QStringList({QDir::toNativeSeparators(path), documents}));
    EXPECT_TRUE(fileBytes(documents).contains("Łukasz"));

    // In a folder Pellamy may not write in, result.txt is written in place.
    ASSERT_TRUE(QFile::remove(path));
    writeFile(path, QByteArray(4000, '#')); // longer than this week's
    window->entries().setText(0, Col::Name, "Lukasz");
    {
        READ_ONLY_OR_SKIP(readOnly, folder.path());
        window->Command2_Click();
    }
    EXPECT_EQ(mailer.attachments.size(), 3); // and nothing said
    EXPECT_TRUE(fileBytes(path).startsWith("\r\n                      "));
    EXPECT_FALSE(fileBytes(path).contains('#'));
    // With no result.txt there yet, it goes to the documents folder.
    ASSERT_TRUE(QFile::remove(path) && QFile::remove(documents));
    {
        ReadOnly readOnly(folder.path());
        window->Command2_Click();
    }
    EXPECT_EQ(mailer.attachments.value(3), documents);
    EXPECT_TRUE(fileBytes(documents).contains("Lukasz"));
    ASSERT_EQ(dialogs.messages().size(), 3); // said, after the two above
    EXPECT_TRUE(
        dialogs.messages()[2].endsWith(", so it was written to " + documents + " instead."));
}

// A second copy of Pellamy on the folder e-mails its own race while the
// first runs, and result.txt once it is the first of those running.
TEST_F(ReportsWindowTest, ASecondCopyEmailsItsOwnResultWhileTheFirstRuns) {
    ScriptedDialogService otherDialogs;
    Pellamy second(folder.path(), &otherDialogs), third(folder.path(), &otherDialogs);
    RecordingMailer mailer;
    second.setMailLauncher(&mailer), third.setMailLauncher(&mailer);
    second.Command2_Click();
    window.reset();
    second.Command2_Click();
    third.Command2_Click();
    QStringList expected;
    for (const char* name : {"result-2.txt", "result.txt", "result-3.txt"})
        expected << QDir::toNativeSeparators(folder.filePath(name));
    EXPECT_EQ(mailer.attachments, expected);
    expectDialogsHandled(otherDialogs);
}

// The entry list's context menu publishes the list as it stands, numbered
// as the sheets number it, without changing it.
TEST_F(ReportsWindowTest, ResultCopiedAndSavedAsCsvAndWebPage) {
    window->copyResult();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), resultTabText(window->entries().rows()));

    dialogs.answerFile(folder.filePath("result"));
    window->saveResultAsCsv();
    const QByteArray csv = resultCsv(window->entries().rows());
    EXPECT_EQ(fileBytes(folder.filePath("result.csv")), csv);
    // "result" again: result.csv is there now, and is kept when the user says No.
    window->entries().setText(0, Col::Name, "Changed");
    dialogs.answerFile(folder.filePath("result"));
    dialogs.answerYesNo(false);
    window->saveResultAsCsv();
    EXPECT_EQ(dialogs.shown().size(), 3);
    EXPECT_EQ(dialogs.shown().last().text.section(u'\n', 1), "Do you want to replace it?");
    EXPECT_EQ(fileBytes(folder.filePath("result.csv")), csv);
    dialogs.answerFile(folder.filePath("result.html"));
    window->saveResultAsWebPage();
    // Headed with the club and the race's own date, not the date picker's.
    const QByteArray page = fileBytes(folder.filePath("result.html"));
    EXPECT_TRUE(page.contains("Rose, Crown and Anchor") && page.contains("24/05/06"));
    EXPECT_EQ(window->entries().text(0, Col::Pos), "c0"); // the list is left as it was

    // A race of one bird is a result; an empty list is none.
    while (window->entries().count() > 1)
        window->entries().removeEntry(0);
    window->copyResult();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), resultTabText(window->entries().rows()));
    window->entries().clear();
    window->saveResultAsCsv();
    EXPECT_EQ(dialogs.messages(),
              QStringList({"There is no result yet: the list of birds is empty."}));
}
