#include "distances/distancestore.h"
#include "distances/migration.h"

#include "calculator/pellamy.h"
#include "support/distancedb.h"
#include "support/qt_printers.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pellamy;

namespace {

const QString kTestData = QStringLiteral(PELLAMY_ACCESS_TESTDATA);

class MigrationTest : public testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo(kTestData).isDir())
            GTEST_SKIP() << "the Access test files are not at " << kTestData.toStdString();
        if (!QFileInfo(accessReaderPath()).isExecutable())
            GTEST_SKIP() << "this build has no Access reader";
    }

    QString path() const { return dir.filePath("distances.mdb"); }

    void copyIn(const QString& name, qsizetype truncateTo = -1) const {
        QByteArray bytes = testsupport::fileBytes(kTestData + "/" + name);
        if (truncateTo >= 0)
            bytes.truncate(truncateTo);
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir dir;
};

QStringList sortedRows(const QVector<QStringList>& rows) {
    QStringList out;
    for (const QStringList& row : rows)
        out << row.join(u'|');
    out.sort();
    return out;
}

const QStringList kNineRows = [] {
    QStringList rows = {
        "J. Smith|Berwick|250|1234|26474040",
        "J. Smith|Thurso|412|17|43508220",
        "A. Brown & Son|Berwick|248|880|26241600",
        "A. Brown & Son|Thurso|410|1702|43398120",
        "O'Brien|Berwick|251|0|26505600",
        "O'Brien|Thurso|413|1759|43718340",
        QString::fromUtf8("Müller|Berwick|249|440|26320800"),
        QString::fromUtf8("Müller|Lerwick|500|5|52800300"),
        "C. Jones||100|0|10560000",
    };
    rows.sort();
    return rows;
}();

} // namespace

TEST_F(MigrationTest, BothDistanceFilesComeOverRowForRow) {
    for (const char* name : {"distances-text-jet4.mdb", "distances-numeric-jet4.mdb"}) {
        SCOPED_TRACE(name);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        copyIn(name);
        const Migration m = migrateAccessDatabase(path());
        ASSERT_EQ(m.outcome, Migration::Outcome::Migrated) << m.message.toStdString();
        EXPECT_EQ(m.rows, 9);
        EXPECT_EQ(m.keptAs, "distances-access.mdb");
        EXPECT_EQ(m.message, "Your Access database distances.mdb has been brought over to "
                             "Pellamy: 9 rows. The Access file has been kept as "
                             "distances-access.mdb.");
        EXPECT_EQ(testsupport::fileBytes(dir.filePath("distances-access.mdb")),
                  testsupport::fileBytes(kTestData + "/" + name));
        EXPECT_EQ(sortedRows(testsupport::distanceRows(path())), kNineRows);
        EXPECT_EQ(files(), QStringList({"distances-access.mdb", "distances.mdb"}));

        const DistanceStore store(path());
        EXPECT_EQ(store.distance("J. Smith", "Berwick").text, "26474040\r\n");
        EXPECT_TRUE(store.racepoints().hadEmpty);

        // The second opening finds Pellamy's own database.
        EXPECT_EQ(migrateAccessDatabase(path()).outcome, Migration::Outcome::NotNeeded);
    }
}

TEST_F(MigrationTest, TheCalculatorBringsItOverOnceAndListsTheRacePoints) {
    copyIn("distances-numeric-jet4.mdb");
    ScriptedDialogService dialogs;
    {
        Pellamy window(dir.path(), &dialogs);
        ASSERT_GE(dialogs.messages().size(), 1);
        EXPECT_TRUE(dialogs.messages()[0].contains("9 rows"));
        EXPECT_EQ(window.racepoint->count(), 3); // Berwick, Lerwick, Thurso
        EXPECT_EQ(window.racepoint->currentText(), "Berwick");
    }
    dialogs.clear();
    Pellamy again(dir.path(), &dialogs);
    EXPECT_FALSE(dialogs.messages().join(" ").contains("brought over"));
}

TEST_F(MigrationTest, ATakenBackupNameMovesToTheNext) {
    copyIn("distances-text-jet4.mdb");
    for (const char* taken : {"distances-access.mdb", "distances-access-2.mdb"}) {
        QFile file(dir.filePath(taken));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    const Migration m = migrateAccessDatabase(path());
    EXPECT_EQ(m.keptAs, "distances-access-3.mdb");
    EXPECT_EQ(testsupport::fileBytes(dir.filePath("distances-access.mdb")), "keep me");
    EXPECT_EQ(testsupport::fileBytes(dir.filePath("distances-access-3.mdb")),
              testsupport::fileBytes(kTestData + "/distances-text-jet4.mdb"));
}

TEST_F(MigrationTest, WhatCannotComeOverIsLeftExactlyAsItWas) {
    struct Case {
        const char* what;
        const char* file;
        qsizetype truncateTo;
        const char* says;
    } cases[] = {
        {"Jet 4 without Distances", "jet4-no-distances-table.mdb", -1, "without a Distances table"},
        {"Jet 3 without Distances", "jet3-no-distances-table.mdb", -1, "without a Distances table"},
        {"a truncated copy", "distances-text-jet4.mdb", 40000, "cannot be read"},
        {"a zero-byte file", "distances-text-jet4.mdb", 0, "neither a Pellamy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        copyIn(c.file, c.truncateTo);
        const QByteArray before = testsupport::fileBytes(path());
        const Migration m = migrateAccessDatabase(path());
        EXPECT_EQ(m.outcome, Migration::Outcome::Failed);
        EXPECT_TRUE(m.message.contains(c.says)) << m.message.toStdString();
        EXPECT_TRUE(m.message.endsWith("The file has not been changed."));
        EXPECT_EQ(testsupport::fileBytes(path()), before);
        EXPECT_EQ(files(), QStringList({"distances.mdb"}));
    }

    QByteArray ace = testsupport::fileBytes(kTestData + "/distances-text-jet4.mdb");
    ace.replace(4, 15, "Standard ACE DB");
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(ace);
    file.close();
    EXPECT_TRUE(migrateAccessDatabase(path()).message.contains("Access 2007"));
    EXPECT_EQ(testsupport::fileBytes(path()), ace);
}

TEST_F(MigrationTest, APellamyDatabaseIsNeverTouched) {
    testsupport::makeDistanceDatabase(path(), {{"A", "B", "1", "0", "105600"}});
    const QByteArray before = testsupport::fileBytes(path());
    const QDateTime modified = QFileInfo(path()).lastModified();
    EXPECT_EQ(migrateAccessDatabase(path()).outcome, Migration::Outcome::NotNeeded);
    EXPECT_EQ(migrateAccessDatabase(dir.filePath("missing.mdb")).outcome,
              Migration::Outcome::NotNeeded);
    EXPECT_EQ(testsupport::fileBytes(path()), before);
    EXPECT_EQ(QFileInfo(path()).lastModified(), modified);
}

TEST_F(MigrationTest, WithoutAReaderTheBuildSaysItCannotReadAccessFiles) {
    copyIn("distances-text-jet4.mdb");
    const Migration m = migrateAccessDatabase(path(), dir.filePath("no-reader"));
    EXPECT_TRUE(m.message.contains("cannot read Access files"));
    EXPECT_EQ(files(), QStringList({"distances.mdb"}));
}

TEST_F(MigrationTest, AReaderThatCrashesOnADamagedFileLeavesItAlone) {
    copyIn("distances-text-jet4.mdb");
    const QString reader = dir.filePath("crashing-reader");
    QFile script(reader);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nkill -SEGV $$\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray before = testsupport::fileBytes(path());
    const Migration m = migrateAccessDatabase(path(), reader);
    EXPECT_EQ(m.outcome, Migration::Outcome::Failed);
    EXPECT_TRUE(m.message.contains("may be damaged"));
    EXPECT_EQ(testsupport::fileBytes(path()), before);
    EXPECT_EQ(files(), QStringList({"crashing-reader", "distances.mdb"}));
}
