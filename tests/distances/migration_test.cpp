#include "distances/distancestore.h"
#include "distances/migration.h"

#include "calculator/pellamy.h"
#include "support/accessfiles.h"
#include "support/dialogcheck.h"
#include "support/distancedb.h"
#include "support/readonly.h"

namespace {

const QString kTestData = QStringLiteral(PELLAMY_ACCESS_TESTDATA);

class MigrationTest : public DialogTest {
protected:
    // An Access 2000 file's first page as far as the signature goes: enough for
    // everything that looks at a file before its reader does.
    static QByteArray jet4Page() {
        QByteArray page(4096, '\0');
        page.replace(4, 15, "Standard Jet DB");
        page[0x14] = 1;
        return page;
    }

    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }

    // The migration refuses the file with a message saying so, and leaves
    // it byte for byte as it was, with nothing beside it.
    void expectRefused(const char* says, const QString& reader = accessReaderPath()) const {
        const QByteArray before = fileBytes(path());
        const QStringList filesBefore = files();
        const Migration m = migrateAccessDatabase(path(), reader);
        EXPECT_EQ(m.outcome, Migration::Outcome::Failed);
        EXPECT_TRUE(m.message.contains(QString::fromUtf8(says))) << m.message.toStdString();
        EXPECT_TRUE(m.message.endsWith("The file has not been changed."));
        EXPECT_EQ(fileBytes(path()), before);
        EXPECT_EQ(files(), filesBefore);
    }
};

class AccessFileTest : public MigrationTest {
protected:
    void SetUp() override { REQUIRE_ACCESS_FILES(); }

    static QByteArray testFile(const QString& name) { return fileBytes(kTestData + '/' + name); }

    void copyIn(const QString& name, qsizetype keptBytes = 1 << 30) const {
        writeFile(path(), testFile(name).left(keptBytes));
    }
};

// The rows of both Access test files, sorted.
const QVector<QStringList> kNineRows = {
    {"A. Brown & Son", "Berwick", "248", "880", "26241600"},
    {"A. Brown & Son", "Thurso", "410", "1702", "43398120"},
    {"C. Jones", "", "100", "0", "10560000"},
    {"J. Smith", "Berwick", "250", "1234", "26474040"},
    {"J. Smith", "Thurso", "412", "17", "43508220"},
    {"Müller", "Berwick", "249", "440", "26320800"},
    {"Müller", "Lerwick", "500", "5", "52800300"},
    {"O'Brien", "Berwick", "251", "0", "26505600"},
    {"O'Brien", "Thurso", "413", "1759", "43718340"},
};

} // namespace

TEST_F(AccessFileTest, BothDistanceFilesComeOverRowForRow) {
    for (const char* name : {"distances-text-jet4.mdb", "distances-numeric-jet4.mdb"}) {
        SCOPED_TRACE(name);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        copyIn(name);
        // Left two days ago by a copy killed part-way: thrown away.
        QFile stale(dir.filePath("distances-migrating-4242.mdb"));
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.setFileTime(QDateTime::currentDateTime().addDays(-2),
                          QFileDevice::FileModificationTime);
        stale.close();
        const Migration m = migrateAccessDatabase(path());
        ASSERT_EQ(m.outcome, Migration::Outcome::Migrated) << m.message.toStdString();
        // C. Jones has no race point: listed to be checked.
        EXPECT_TRUE(m.message.startsWith(
            "Your Access database distances.mdb has been brought over to Pellamy: 9 rows. The "
            "Access file has been kept as distances-access.mdb, beside the new distances.mdb. 1 "
            "of the rows should be checked"));
        QVector<QStringList> rows = distanceRows(path());
        std::sort(rows.begin(), rows.end());
        EXPECT_EQ(rows, kNineRows);
        EXPECT_EQ(files(), QStringList({"distances-access-report.txt", "distances-access.mdb",
                                        "distances.mdb"}));
    }
}

TEST_F(AccessFileTest, TheCalculatorBringsItOverAndListsTheRacePoints) {
    copyIn("distances-numeric-jet4.mdb");
    Pellamy window(dir.path(), &dialogs);
    // The rows to check are said, then the message for a record with a field missed out.
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[0].contains("9 rows"));
    EXPECT_TRUE(dialogs.messages()[1].startsWith("You have missed out a field /s"));
    EXPECT_EQ(control<QComboBox>(window, "racepoint")->count(), 3); // Berwick, Lerwick, Thurso
}

TEST_F(AccessFileTest, ATakenBackupNameMovesToTheNext) {
    copyIn("distances-text-jet4.mdb");
    for (const char* taken : {"distances-access.mdb", "distances-access-2.mdb"})
        writeFile(dir.filePath(taken), "keep me");
    const Migration m = migrateAccessDatabase(path());
    EXPECT_EQ(m.keptAs, "distances-access-3.mdb");
    EXPECT_EQ(fileBytes(dir.filePath("distances-access.mdb")), "keep me");
    EXPECT_EQ(fileBytes(dir.filePath("distances-access-3.mdb")),
              testFile("distances-text-jet4.mdb"));
}

TEST_F(AccessFileTest, AccessFilesWithoutADistancesTableAreLeftAlone) {
    for (const char* file : {"jet4-no-distances-table.mdb", "jet3-no-distances-table.mdb"}) {
        SCOPED_TRACE(file);
        copyIn(file);
        expectRefused("without a Distances table");
    }
    // Nor one whose Distances table lacks a column (Yards renamed Yardz).
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    writeFile(path(), testFile("distances-text-jet4.mdb")
                          .replace(QByteArray(utf16(u"Yards")), QByteArray(utf16(u"Yardz"))));
    expectRefused("whose Distances table lacks a column (the table Distances has no column Yards)");
}

TEST_F(AccessFileTest, AReadOnlyFolderIsSaidAsSuch) {
    copyIn("distances-text-jet4.mdb");
    READ_ONLY_OR_SKIP(readOnly, dir.path());
    expectRefused("because Pellamy may not write there: the file, or the folder it is in, is "
                  "read-only");
}

TEST_F(AccessFileTest, AFileWithPagesMissingIsRefusedWhereverItWasCut) {
    const qsizetype pages = testFile("distances-text-jet4.mdb").size() / 4096;
    for (qsizetype kept = 1; kept < pages; ++kept) {
        SCOPED_TRACE(kept);
        copyIn("distances-text-jet4.mdb", kept * 4096);
        expectRefused("may be damaged");
    }
}

TEST_F(AccessFileTest, RowsThatLookWrongComeOverAsTheyStandAndAreListed) {
    QByteArray bytes = testFile("distances-text-jet4.mdb");
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    // One digit of a Sixtieths changed (in the first row too), a control
    // character in a name, and a member's second distance from one race point.
    bytes.replace(QByteArray(utf16(u"43398120")), QByteArray(utf16(u"43398121")));
    bytes.replace(QByteArray(utf16(u"26474040")), QByteArray(utf16(u"26474041")));
    bytes.replace(bytes.indexOf(QByteArray(utf16(u"O'Brien"))), 2, QByteArray("\x01\0", 2));
    bytes.replace(QByteArray(utf16(u"Lerwick")), QByteArray(utf16(u"berwick")));
    writeFile(path(), bytes);
    const Migration m = migrateAccessDatabase(path());
    ASSERT_EQ(m.outcome, Migration::Outcome::Migrated) << m.message.toStdString();
    EXPECT_EQ(m.rows, 9);
    const QString report = dir.filePath("distances-access-report.txt");
    EXPECT_TRUE(m.message.contains("5 of the rows should be checked")) << m.message.toStdString();
    EXPECT_TRUE(m.message.endsWith("They are listed in " + QDir::toNativeSeparators(report) + "."));
    const QString listed = QString::fromUtf8(fileBytes(report));
    EXPECT_TRUE(listed.contains("A. Brown & Son | Thurso | 410 | 1702 | 43398121): Sixtieths is "
                                "43398121, but 410 miles 1702 yards make 43398120."))
        << listed.toStdString();
    EXPECT_TRUE(listed.contains("Row 1 (J. Smith | Berwick | 250 | 1234 | 26474041)"));
    EXPECT_TRUE(listed.contains("Name holds a character that cannot be read"));
    EXPECT_TRUE(listed.contains("(C. Jones |  | 100 | 0 | 10560000): Racepoint is empty."));
    EXPECT_TRUE(listed.contains(QString::fromUtf8("Row 8 (Müller | berwick | 500 | 5 | 52800300): "
                                                  "Name and Racepoint are those of row 7 too")));
    // As the club kept them: nothing was corrected on the way.
    EXPECT_EQ(DistanceStore(path()).distance("A. Brown & Son", "Thurso").text, "43398121\r\n");
}

TEST_F(MigrationTest, WhatIsNoAccessFileOfAKindItReadsIsLeftAlone) {
    const std::pair<QByteArray, const char*> cases[] = {
        {"", "is empty (0 bytes)"},
        {"just some text", "neither a Pellamy"},
        {jet4Page().replace(4, 15, "Standard ACE DB"), "Access 2007"},
        {jet4Page().left(3000), "may be damaged"}, // not a whole number of pages
    };
    for (const auto& [bytes, says] : cases) {
        SCOPED_TRACE(says);
        writeFile(path(), bytes);
        expectRefused(says);
    }
}

TEST_F(MigrationTest, APellamyDatabaseIsNeverTouched) {
    makeDistanceDatabase(path(), {{"A", "B", "1", "0", "105600"}});
    const QByteArray before = fileBytes(path());
    const QDateTime modified = QFileInfo(path()).lastModified();
    EXPECT_EQ(migrateAccessDatabase(path()).outcome, Migration::Outcome::NotNeeded);
    EXPECT_EQ(migrateAccessDatabase(dir.filePath("missing.mdb")).outcome,
              Migration::Outcome::NotNeeded);
    EXPECT_EQ(fileBytes(path()), before);
    EXPECT_EQ(QFileInfo(path()).lastModified(), modified);
}

// Names and race points written again with a blank before or after, which
// the calculator lists apart, are listed for checking too.
TEST_F(MigrationTest, PairsAndRacePointsKeptAgainWithABlankAreListed) {
    writeFile(path(), jet4Page());
    const QTemporaryDir programs(programsFolderTemplate());
    const QString reader = programs.filePath("reader");
    writeFile(reader,
              "#!/bin/sh\necho '{\"rows\": [[\"Ann Hale\", \"Dover\", \"1\", \"0\", \"105600\"], "
              "[\"Ann Hale \", \"Dover\", \"1\", \"0\", \"105600\"], [\"Bo Finch\", \"dover \", "
              "\"1\", \"0\", \"105600\"], [\"Cy Dunn\", \"DOVER\", \"1\", \"0\", \"105600\"]]}'\n",
              true);
    const Migration m = migrateAccessDatabase(path(), reader);
    ASSERT_EQ(m.outcome, Migration::Outcome::Migrated) << m.message.toStdString();
    EXPECT_EQ(m.doubtfulRows, 2);
    const QString listed =
        QString::fromUtf8(fileBytes(dir.filePath("distances-access-report.txt")));
    EXPECT_TRUE(
        listed.contains("Row 2 (Ann Hale  | Dover | 1 | 0 | 105600): Name and Racepoint are "
                        "those of row 1 but for a blank before or after"));
    EXPECT_TRUE(listed.contains("Row 3 (Bo Finch | dover  | 1 | 0 | 105600): Racepoint is that of "
                                "row 1 but for a blank before or after"));
}

TEST_F(MigrationTest, WithoutAWorkingReaderTheAccessFileIsLeftAlone) {
    writeFile(path(), jet4Page());
    expectRefused("cannot read Access files", dir.filePath("no-reader"));

    const QTemporaryDir programs(programsFolderTemplate());
    const QString reader = programs.filePath("crashing-reader");
    writeFile(reader, "#!/bin/sh\nkill -SEGV $$\n", true);
    expectRefused("may be damaged", reader);
    // A library missing on this computer says nothing of the file.
    writeFile(reader,
              "#!/bin/sh\necho 'cannot open shared object file: libmdb.so.3' >&2\nexit 127\n",
              true);
    expectRefused("reader could not be run (cannot open shared object file: libmdb.so.3)", reader);
}
