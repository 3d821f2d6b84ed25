#include "distances/connection.h"
#include "distances/distancestore.h"
#include "distances/recordset.h"
#include "distances/sixtieths.h"

#include "support/distancedb.h"
#include "support/testing.h"

#include <QSqlError>
#include <QSqlQuery>

#include <tuple>

using DistanceStoreTest = FolderTest;

TEST_F(DistanceStoreTest, ListsRacePointsAndMembersOnceAndGivesEveryMatchingDistance) {
    makeDistanceDatabase(path(), {{"J. Smith", "Berwick", "250", "1234", "26474040"},
                                  {"J. Smith", "Thurso", "412", "17", "43508220"},
                                  {"A. Brown & Son", "Berwick", "248", "880", "26241600"},
                                  {"O'Brien", "Berwick", "251", "0", "26505600"},
                                  {"O'Brien", "Berwick", "251", "0", "26505600"},
                                  {"Müller", "Lerwick", "500", "5", "52800300"},
                                  {"C. Jones", "Berwick", "100", "0", nullptr}});
    const DistanceStore store(path());
    const NameList points = store.racepoints();
    ASSERT_TRUE(points.ok()) << points.error.toStdString();
    EXPECT_EQ(points.values, QStringList({"Berwick", "Lerwick", "Thurso"}));
    EXPECT_FALSE(points.hadEmpty);
    EXPECT_EQ(store.members("Berwick").values,
              QStringList({"A. Brown & Son", "C. Jones", "J. Smith", "O'Brien"}));
    EXPECT_EQ(store.members("BERWICK").values.size(), 4); // letter case does not matter
    EXPECT_EQ(store.members("Nowhere").values, QStringList());
    EXPECT_TRUE(store.members("Nowhere").ok());

    // A member listed twice gives two lines; a NULL Sixtieths an empty one.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"J. Smith", "Berwick", "26474040\r\n"},
        {"j. smith", "berwick", "26474040\r\n"},
        {"O'Brien", "Berwick", "26505600\r\n26505600\r\n"},
        {"Müller", "Lerwick", "52800300\r\n"},
        {"C. Jones", "Berwick", "\r\n"},
        {"J. Smith", "Lerwick", ""},
        {"x' OR '1'='1", "Berwick", ""},
    };
    for (const auto& [member, racepoint, text] : cases) {
        const DistanceLookup lookup = store.distance(QString::fromUtf8(member), racepoint);
        EXPECT_TRUE(lookup.ok()) << member;
        EXPECT_EQ(lookup.text, text) << member;
    }
}

// The race points in SELECT DISTINCT ... ORDER BY's order, letter case and trailing blanks as
// the engine compares them; empty or NULL race points and members are skipped, and that is
// reported.
TEST_F(DistanceStoreTest, RacePointsInEngineOrderWithoutEmptyRows) {
    const QVector<Row> rows = {
        {"A", "dover", "1", "0", "105600"}, {"B", "Thurso", "1", "0", "105600"},
        {"C", "DOVER", "1", "0", "105600"}, {"D", nullptr, "1", "0", "105600"},
        {"E", "", "1", "0", "105600"},      {"F", "ayr", "1", "0", "105600"},
        {"G", "Ayr ", "1", "0", "105600"},  {"H", "Zürich", "1", "0", "105600"},
        {"", "Thurso", "1", "0", "105600"},
    };
    makeDistanceDatabase(path(), rows);
    const DistanceStore store(path());
    const NameList points = store.racepoints();
    EXPECT_EQ(points.values, QStringList({"ayr", "Ayr ", "dover", "Thurso", "Zürich"}));
    EXPECT_TRUE(points.hadEmpty);
    const NameList members = store.members("Thurso");
    EXPECT_EQ(members.values, QStringList({"B"}));
    EXPECT_TRUE(members.hadEmpty);
}

TEST_F(DistanceStoreTest, MissingFilesAndFilesThatAreNoDatabaseAreReportedAndNeverTouched) {
    const QString missing = DistanceStore(path()).racepoints().error;
    EXPECT_TRUE(missing.contains("distances.mdb")) << missing.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path()));
    makeDistanceDatabase(path());
    EXPECT_TRUE(DistanceStore(path()).racepoints().ok()); // an empty one is read

    const QByteArray contents[] = {
        QByteArray(),
        QByteArray("not a database at all\n"),
        QByteArray("\0\1\0\0Standard Jet DB\0\1", 21) + QByteArray(2000, '\0'),
    };
    for (const QByteArray& bytes : contents) {
        SCOPED_TRACE(bytes.left(20).toStdString());
        writeFile(path(), bytes);
        const DistanceStore store(path());
        EXPECT_FALSE(store.racepoints().ok()); // members() reads as racepoints() does
        EXPECT_FALSE(store.distance("A", "Dover").ok());
        EXPECT_EQ(fileBytes(path()), bytes);
    }
}

// A Distances another program made a view, or a table without row numbers: the calculator
// reads it; the editor says it cannot tell its records apart (it once looped for ever).
TEST_F(DistanceStoreTest, ADistancesTableWithoutRowNumbersIsSaidByTheEditor) {
    for (const char* changed :
         {"ALTER TABLE Distances RENAME TO Kept; CREATE VIEW Distances AS SELECT * FROM Kept",
          "CREATE TABLE Kept (Name TEXT PRIMARY KEY, Racepoint, Miles, Yards, Sixtieths) WITHOUT "
          "ROWID; INSERT INTO Kept SELECT * FROM Distances; DROP TABLE Distances; ALTER TABLE "
          "Kept RENAME TO Distances"}) {
        makeDistanceDatabase(path(), {{"Ann Hale", "Dover", "1", "0", "105600"}});
        for (const QString& statement : QString::fromLatin1(changed).split(u';'))
            execSql(path(), statement);
        EXPECT_EQ(DistanceStore(path()).distance("Ann Hale", "Dover").text, "105600\r\n");
        DistanceRecordSet records{DistanceSource(path())};
        EXPECT_FALSE(records.open());
        EXPECT_TRUE(records.error().startsWith("the Distances table of distances.mdb has been "
                                               "changed by another program"))
            << records.error().toStdString();
    }
}

TEST(Sixtieths, MilesAndYardsGiveSixtiethsOfAYard) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"100", "880", "10612800"},  {"0", "1", "60"},
        {"0", "0.5", "30"},          {" 85 ", "440.5", "9002430"},
        {"250", "1234", "26474040"},
    };
    for (const auto& [miles, yards, text] : cases)
        EXPECT_EQ(sixtiethsText(miles, yards), QString::fromLatin1(text)) << text;
    const std::pair<const char*, const char*> notDistances[] = {
        {"", "880"},    {"100", ""},    {"ten", "0"},
        {"1e400", "0"}, {"1e308", "0"}, {"1.7023609231650716e303", "0"}, // past the largest
    };
    for (const auto& [miles, yards] : notDistances)
        EXPECT_EQ(sixtiethsText(miles, yards), std::nullopt) << miles << " " << yards;
    EXPECT_EQ(sixtiethsDisagreement("10", "0", ""), "Sixtieths is empty, but 10 miles 0 yards make "
                                                    "1056000");
}

TEST_F(DistanceStoreTest, ADamagedFileIsNeverHalfRead) {
    makeDamagedDatabase(path());
    const DistanceStore store(path());
    int failed = store.racepoints().ok() ? 0 : 1;
    for (int p = 0; p < 20; ++p) {
        const NameList members = store.members("Point " + QString::number(p));
        EXPECT_EQ(members.values.size(), members.ok() ? 400 : 0) << p;
        EXPECT_EQ(members.fault, members.ok() ? DatabaseFault::None : DatabaseFault::Damaged) << p;
        failed += members.ok() ? 0 : 1;
    }
    EXPECT_GT(failed, 0);
}

// Damage beside the distances (in the coordinates' pages) is found by the editor, the one
// writer, before it writes, though every distance still reads.
TEST_F(DistanceStoreTest, TheEditorFindsDamageBesideTheDistances) {
    makeDistanceDatabase(path(), {{"Ann Hale", "Dover", "1", "0", "105600"}});
    execSql(path(), "CREATE TABLE Lofts (Name, Latitude, Longitude)");
    execSql(path(), "INSERT INTO Lofts WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 "
                    "FROM n WHERE i < 3999) SELECT 'Member ' || i, '51', '0' FROM n");
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.seek(file.size() - 2 * 4096));
    file.write(QByteArray(4096, '\xA5'));
    file.close();
    EXPECT_EQ(distanceRows(path()).size(), 1);
    DistanceRecordSet records{DistanceSource(path())};
    EXPECT_FALSE(records.open());
    EXPECT_EQ(records.fault(), DatabaseFault::Damaged) << records.error().toStdString();
}

// A power cut in the middle of a write leaves the database half written and its journal beside
// it: the calculator's read-only reads see the distances as they were before that write.
TEST_F(DistanceStoreTest, AWriteCutShortIsRolledBackBeforeTheCalculatorReads) {
    makeDistanceDatabase(path());
    execSql(path(), "INSERT INTO Distances WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 "
                    "FROM n WHERE i < 7999) SELECT 'Member ' || (i / 20), 'Point ' || (i % 20), "
                    "'100', '0', '10560000' FROM n");
    const QVector<QStringList> kept = distanceRows(path());
    const QString cut = dir.filePath("cut.mdb"); // with its journal, cut.mdb-journal
    {
        SqlConnection writer(path());
        QSqlQuery q(writer.db);
        q.exec("PRAGMA cache_size = 2"); // pages go to the file before the commit
        q.exec("BEGIN");
        ASSERT_TRUE(q.exec("UPDATE Distances SET Racepoint = 'Lost ' || Racepoint"))
            << q.lastError().text().toStdString();
        ASSERT_GT(QFileInfo(path() + "-journal").size(), 0);
        QFile::copy(path(), cut);
        QFile::copy(path() + "-journal", cut + "-journal");
        q.exec("ROLLBACK");
    }
    ASSERT_NE(fileBytes(cut), fileBytes(path())) << "the copy holds no half-written page";
    EXPECT_EQ(DistanceStore(cut).racepoints().values.size(), 20);
    EXPECT_EQ(DistanceStore(cut).distance("Member 7", "Point 3").text, "10560000\r\n");
    EXPECT_EQ(distanceRows(cut), kept);
}

// A program folder on a Windows network share: the server's name belongs to
// the path, where SQLite refuses it as the address's host.
TEST_F(DistanceStoreTest, AFolderOnANetworkShareIsAddressedAsAPath) {
    EXPECT_EQ(sqliteFileUri("//club-pc/Pellamy/distances.mdb", DistanceConnection::Mode::Read),
              "file:////club-pc/Pellamy/distances.mdb?mode=ro");
    makeDistanceDatabase(path(), {{"Ann Hale", "Dover", "1", "0", "105600"}});
    SqlConnection share(sqliteFileUri("/" + path(), DistanceConnection::Mode::Read), "share",
                        "QSQLITE", "QSQLITE_OPEN_URI");
    QSqlQuery q(share.db);
    EXPECT_TRUE(q.exec("SELECT Name FROM Distances") && q.next());
}

// Rows sent a group at a time arrive whole and in order, the last group short; a statement the
// database refuses is said.
TEST_F(DistanceStoreTest, RowsWrittenInGroupsArriveInOrder) {
    makeDistanceDatabase(path(), {});
    const DistanceConnection connection(path(), DistanceConnection::Mode::ReadWrite);
    RowBatch batch(connection.database(), 2, [](int rows) {
        return "INSERT INTO Distances (Name, Racepoint, Miles, Yards, Sixtieths) VALUES " +
               repeatedRows("(?, ?, '1', '0', '105600')", rows);
    });
    QVector<QStringList> expected;
    for (const char* name : {"Ann", "Bo", "Cy", "Di", "Ed"}) {
        ASSERT_TRUE(batch.add({name, "Dover"})) << batch.error().text().toStdString();
        expected.push_back({name, "Dover", "1", "0", "105600"});
    }
    ASSERT_TRUE(batch.finish()) << batch.error().text().toStdString();
    EXPECT_EQ(distanceRows(path()), expected);

    RowBatch wrong(connection.database(), 2,
                   [](int) { return QStringLiteral("INSERT INTO Nowhere"); });
    EXPECT_TRUE(wrong.add({1}));
    EXPECT_FALSE(wrong.finish());
    EXPECT_TRUE(wrong.error().isValid());
}

// The server is named in messages and in the club's copy without a password.
TEST(DistanceSource, TheServerIsShownWithoutItsPasswords) {
    const std::pair<const char*, const char*> cases[] = {
        {"host=h password = 'a b' user=u", "host=h password=… user=u"},
        {"host=h sslpassword=Key-Phrase", "host=h sslpassword=…"},
        {"host=h password=wild\\ heron user=u", "host=h password=… user=u"},
    };
    for (const auto& [server, shown] : cases) {
        DistanceSource source;
        source.server = QString::fromUtf8(server);
        EXPECT_EQ(source.serverShown(), QString::fromUtf8(shown));
    }
}

// A copy made from the server server.txt names now is not doubted for a
// host written in capitals or PostgreSQL's own port written out.
TEST(DistanceSource, TheSameServerWrittenOtherwiseIsTheSamePlace) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"host=Club.Example port=5432 dbname=d user=a", "host=club.example dbname=d", true},
        {"host=/run/Sock dbname=d", "host=/run/sock dbname=d", false},
        {"host=h port=5433 dbname=d", "host=h dbname=d", false},
        {"host=h dbname=d", "host=h dbname=e", false},
    };
    for (const auto& [then, now, same] : cases)
        EXPECT_EQ(serverPlace(then) == serverPlace(now), same) << then << " / " << now;
    // Settings on a second line would go unused unsaid; a note there is passed over.
    QString error;
    EXPECT_EQ(serverConnectionString("host=h dbname=d\nask Bo for the password\n", &error),
              "host=h dbname=d");
    EXPECT_EQ(serverConnectionString("# club\nhost=h dbname=d\n\nuser=a password=x\n", &error), "");
    EXPECT_EQ(error, "server.txt holds settings on line 4 as well as on line 2. Please write them "
                     "all on one line, such as host=… port=… dbname=… user=…, and put # before a "
                     "line not to be used.");
}

// Its own words, joined as sentences, without the statement, level or code.
TEST(ServerReason, TheServersWordsWithoutItsStatementOrCode) {
    const std::pair<const char*, const char*> cases[] = {
        {"ERROR:  function f(integer) does not exist\nLINE 1: SELECT f(1)\n               ^\n"
         "HINT:  No function matches the given name.\n(42883)",
         "function f(integer) does not exist. No function matches the given name."},
        {"connection to server on socket \"/s\" failed: No such file or directory\n\tIs the "
         "server running locally?\n",
         "connection to server on socket \"/s\" failed: No such file or directory. Is the server "
         "running locally?"},
        // Two of libpq's reasons, one a line of its own, the other's
        // sentence over three lines, and no code.
        {"FATAL:  terminating connection due to administrator command\nserver closed the "
         "connection unexpectedly\n\tThis probably means the server terminated abnormally\n\t"
         "before or while processing the request.\n()",
         "terminating connection due to administrator command. server closed the connection "
         "unexpectedly. This probably means the server terminated abnormally before or while "
         "processing the request."},
    };
    for (const auto& [text, said] : cases)
        EXPECT_EQ(serverReason(QSqlError("QPSQL: Unable to run", text)), said);
}

// Whatever the reason ends in, or with none, one sentence ends before the advice.
TEST(DistanceSource, AServerReasonIsSaidAsOneSentence) {
    for (const auto& [reason, said] :
         {std::pair{"", "The members could not be read from the distance server. The"},
          {"permission denied", "The members could not be read from the distance server: "
                                "permission denied. The"},
          {"gone away?", "The members could not be read from the distance server: gone away? The"}})
        EXPECT_TRUE(serverNotReadMessage("The members", reason).startsWith(said)) << reason;
}
