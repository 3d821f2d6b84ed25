// The distances on a federation's PostgreSQL server: the private server that
// scripts/test starts (PELLAMY_TEST_SERVER), a database of this run's own.
#include "calculator/pellamy.h"
#include "distances/coordinatestore.h"
#include "distances/distancestore.h"
#include "distances/editor/frmdistances.h"
#include "distances/schema.h"
#include "distances/servercopy.h"
#include "distances/workout.h"

#include "support/accessfiles.h"
#include "support/dialogcheck.h"
#include "support/distancedb.h"
#include "support/droppedline.h"
#include "support/filesizelimit.h"

#include <gmock/gmock.h>

#include <QProcess>
#include <QScopeGuard>
#include <QSqlQuery>

#include <future>
#include <optional>
#include <thread>

namespace {

using testing::AllOf, testing::HasSubstr, testing::Not, testing::StartsWith;
const QString kAdmin = qEnvironmentVariable("PELLAMY_TEST_SERVER");
const QString kDatabase = QStringLiteral("pellamy_test_%1").arg(QCoreApplication::applicationPid());

// The connection string for this run's database, or another, signed in as a user.
QString serverString(const QString& user = QStringLiteral("pellamy_admin"),
                     const QString& database = kDatabase) {
    return QString(kAdmin)
        .replace("dbname=postgres", "dbname=" + database)
        .replace("user=pellamy_admin", "user=" + user);
}

// Runs statements on the server as its superuser; the test fails on an error.
void serverExec(const QString& sql, bool inRunDatabase = true) {
    SqlConnection admin({}, "test-admin", "QPSQL", inRunDatabase ? serverString() : kAdmin);
    QString error;
    EXPECT_TRUE(runSqlScript(admin.db, sql, &error)) << error.toStdString();
}

// Stops or starts the test server, as a club room loses its line.
void serverControl(const char* action) {
    const QString dir = qEnvironmentVariable("PELLAMY_TEST_SERVER_DIR");
    ASSERT_FALSE(dir.isEmpty());
    QProcess control;
    control.start(QStringLiteral(PELLAMY_SOURCE_DIR "/scripts/pgserver"), {action, dir});
    ASSERT_TRUE(control.waitForFinished(60000));
    ASSERT_EQ(control.exitCode(), 0) << control.readAllStandardError().toStdString();
}

QString schemaScript() {
    QFile schema(QStringLiteral(PELLAMY_SOURCE_DIR "/distances/schema-postgres.sql"));
    EXPECT_TRUE(schema.open(QIODevice::ReadOnly));
    return QString::fromUtf8(schema.readAll());
}

class ServerTest : public DialogTest {
protected:
    static void SetUpTestSuite() {
        if (kAdmin.isEmpty())
            return;
        serverExec(QStringLiteral("CREATE DATABASE %1;").arg(kDatabase), false);
        serverExec(schemaScript());
    }
    static void TearDownTestSuite() {
        if (!kAdmin.isEmpty())
            serverExec("DROP DATABASE IF EXISTS " + kDatabase + " WITH (FORCE);", false);
    }
    void SetUp() override {
        if (kAdmin.isEmpty()) {
            if (qEnvironmentVariable("CI") == QLatin1String("true"))
                FAIL() << "CI runs the server's tests: scripts/test starts the server";
            GTEST_SKIP() << "no test server: scripts/test starts one";
        }
        serverExec("TRUNCATE distances, lofts, racepoints RESTART IDENTITY;");
        useServer(serverString());
    }
    void useServer(const QString& text) {
        writeFile(dir.filePath("server.txt"), text.toUtf8() + "\n");
    }
    DistanceSource source() const { return distanceSourceInFolder(dir.path()); }
    // The one message shown since the last look, which is then forgotten.
    std::string said() { return takeMessage().toStdString(); }
    // The same rows in the club's own file and on the server, in one order.
    void putRows(const QVector<Row>& rows) {
        makeDistanceDatabase(path(), rows);
        QString sql;
        for (const Row& row : rows) {
            QStringList values; // dollar-quoted: an apostrophe stands as it is
            for (const char* value : row)
                values << (value ? "$v$" + QString::fromUtf8(value) + "$v$" : "NULL");
            sql += "INSERT INTO distances (name, racepoint, miles, yards, sixtieths) VALUES (" +
                   values.join(u',') + ");\n";
        }
        serverExec(sql);
    }
};

QStringList recordsInOrder(DistanceRecordSet& records) {
    QStringList out;
    for (int i = 0; i < records.count(); ++i) {
        records.moveTo(i);
        const DistanceRecord& r = records.current();
        out << QStringList{r.name, r.racepoint, r.miles, r.yards, r.sixtieths}.join(u'|');
    }
    return out;
}

// Both engines list and match alike from the same rows: A to Z without regard to case, accents
// and apostrophes as they stand, empty and NULL values, pairs held twice.
TEST_F(ServerTest, BothEnginesListAndMatchAlike) {
    putRows({{"Ann O'Hara", "Dover", "100", "880", "10612800"},
             {"ann o'hara", "DOVER", "100", "881", "10612860"},
             {"Éva Kovács", "Dover", "101", "0", "10665600"},
             {"éva kovács", "dover", "102", "0", "10771200"},
             {"Zed Ward", "Dover", "99", "5", "10454700"},
             {"apple Grower", "Calais", "120", "1", "12672060"},
             {"_Under", "calais", "121", "0", "12777600"},
             {"Ätna Loft", "Ålesund", "600", "0", "63360000"},
             {"Bob Ng", "ålesund", "601", "0", "63465600"},
             {"", "Calais", "1", "1", "105660"},
             {nullptr, "CALAIS", "1", "2", "105720"},
             {"Carl Fenn", nullptr, "3", "3", "316980"},
             {"Carl Fenn", "", "3", "4", "317040"},
             {"Al Ames", "Berwick", "50", "0", nullptr}});
    const DistanceStore file{DistanceSource(path())};
    const DistanceStore server(source());
    const NameList filePoints = file.racepoints(), serverPoints = server.racepoints();
    ASSERT_TRUE(serverPoints.ok()) << serverPoints.error.toStdString();
    EXPECT_EQ(serverPoints.values, filePoints.values);
    EXPECT_EQ(serverPoints.hadEmpty, filePoints.hadEmpty);
    EXPECT_EQ(serverPoints.values.size(), 5);

    const QStringList names = {"Ann O'Hara", "Éva Kovács", "éva kovács", "Zed Ward", "_Under",
                               "Ätna Loft",  "Bob Ng",     "Carl Fenn",  "Al Ames",  "Nobody"};
    for (const QString& point : filePoints.values + QStringList{"Nowhere", "Ålesund"})
        for (const QString& asTyped : {point, point.toLower(), point.toUpper()}) {
            const NameList a = file.members(asTyped), b = server.members(asTyped);
            EXPECT_EQ(b.values, a.values) << asTyped.toStdString();
            EXPECT_EQ(b.hadEmpty, a.hadEmpty) << asTyped.toStdString();
            for (const QString& name : names)
                for (const QString& nameTyped : {name, name.toLower(), name.toUpper()})
                    EXPECT_EQ(server.distance(nameTyped, asTyped).text,
                              file.distance(nameTyped, asTyped).text)
                        << nameTyped.toStdString() << " at " << asTyped.toStdString();
        }

    // The editor's order: by name, then race point, an empty name first.
    DistanceRecordSet fileRecords{DistanceSource(path())};
    DistanceRecordSet serverRecords(source());
    ASSERT_TRUE(fileRecords.open() && serverRecords.open()) << serverRecords.error().toStdString();
    EXPECT_EQ(recordsInOrder(serverRecords), recordsInOrder(fileRecords));
}

TEST_F(ServerTest, EditorWritesAndNeverOverwritesAnotherWriter) {
    putRows({{"Ann Hale", "Dover", "100", "0", "10560000"},
             {"Bo Finch", "Dover", "90", "0", "9504000"}});
    DistanceRecordSet mine(source()), theirs(source());
    ASSERT_TRUE(mine.open() && theirs.open()) << mine.error().toStdString();

    mine.addNew(); // a member's second distance from a race point is refused
    EXPECT_EQ(mine.save({"ann hale", "DOVER", "1", "0", "105600"}), WriteOutcome::HeldTwice);
    ASSERT_EQ(mine.save({"Cy Dunn", "Dover", "100", "880", "10612800"}), WriteOutcome::Done)
        << mine.error().toStdString();
    EXPECT_EQ(mine.position(), 2);
    EXPECT_EQ(mine.current().sixtieths, "10612800");

    mine.moveTo(0);
    theirs.moveTo(0);
    ASSERT_EQ(theirs.save({"Ann Hale", "Dover", "100", "1", "10560060"}), WriteOutcome::Done);
    EXPECT_EQ(mine.save({"Ann Hale", "Dover", "100", "2", "10560120"}), WriteOutcome::Changed);
    EXPECT_EQ(mine.current().yards, "1"); // shown as now stored

    mine.moveTo(1);
    theirs.moveTo(1);
    ASSERT_EQ(theirs.removeCurrent(), WriteOutcome::Done);
    EXPECT_EQ(mine.removeCurrent(), WriteOutcome::Deleted);
    EXPECT_EQ(mine.count(), 2);
    EXPECT_EQ(DistanceStore(source()).members("dover").values,
              QStringList({"Ann Hale", "Cy Dunn"}));

    // A row another session keeps locked is waited for a moment, then the
    // save is refused in words instead of the window hanging.
    {
        SqlConnection holder({}, "holder", "QPSQL", serverString());
        QSqlQuery(holder.db).exec("BEGIN");
        QSqlQuery(holder.db).exec("SELECT * FROM distances FOR UPDATE");
        mine.moveTo(0);
        EXPECT_EQ(mine.save({"Ann Hale", "Dover", "100", "3", "10560180"}), WriteOutcome::Failed);
        EXPECT_THAT(faultMessage(mine.fault(), "the record has not been saved.").toStdString(),
                    StartsWith("The distance server is busy"));
    } // closed: the rows are free again
    EXPECT_EQ(mine.save({"Ann Hale", "Dover", "100", "3", "10560180"}), WriteOutcome::Done);

    // Another club adding the same pair meanwhile: the save waits for that
    // write and refuses a second row.
    std::promise<void> inserted;
    std::thread other([&] {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "other");
            db.setConnectOptions(serverString());
            QSqlQuery q(db);
            EXPECT_TRUE(db.open() && q.exec("BEGIN") &&
                        q.exec("INSERT INTO distances (name, racepoint, miles, yards, sixtieths) "
                               "VALUES ('Di Moss', 'Dover', '5', '0', '528000')"));
            inserted.set_value();
            // Committed once the save waits for it (after 5 s when it does
            // not: the save has gone on past the check by then).
            (void)QTest::qWaitFor([&] {
                return q.exec("SELECT count(*) FROM pg_locks WHERE NOT granted AND relation = "
                              "'distances'::regclass") &&
                       q.next() && q.value(0).toInt() > 0;
            });
            q.exec("COMMIT");
        }
        QSqlDatabase::removeDatabase("other");
    });
    inserted.get_future().wait();
    mine.addNew();
    EXPECT_EQ(mine.save({"Di Moss", "Dover", "5", "0", "528000"}), WriteOutcome::HeldTwice);
    other.join();

    // A club's user reads only: a save is refused in words.
    serverExec("DO $$ BEGIN CREATE ROLE club_reader LOGIN IN ROLE pellamy_club; EXCEPTION WHEN "
               "duplicate_object THEN NULL; END $$;");
    useServer(serverString("club_reader"));
    DistanceRecordSet club(source());
    ASSERT_TRUE(club.open()) << club.error().toStdString();
    EXPECT_FALSE(club.mayWrite());
    EXPECT_EQ(club.save({"Ann Hale", "Dover", "1", "1", "105660"}), WriteOutcome::Failed);
    EXPECT_EQ(club.fault(), DatabaseFault::NotAllowed) << club.error().toStdString();
    EXPECT_THAT(faultMessage(club.fault(), "the record has not been saved.").toStdString(),
                HasSubstr("may read the distances but not change them"));
    frmdistances editor(dir.path(), &dialogs);
    EXPECT_THAT(said(), HasSubstr("may read them but not change them"));
    EXPECT_FALSE(control<QPushButton>(editor, "cmdUpdate")->isEnabled());
    EXPECT_TRUE(control<QLineEdit>(editor, "yards")->isReadOnly());
}

// server.txt unusable, a wrong password, no server there: one message each
// (why, and the copy read instead), showing no password.
TEST_F(ServerTest, ServerOutOfReachIsSaidOnceWithTheReason) {
    serverExec("DO $$ BEGIN CREATE ROLE pellamy_password LOGIN PASSWORD 'right-horse' IN ROLE "
               "pellamy_club; EXCEPTION WHEN duplicate_object THEN NULL; END $$;");
    writeFile(dir.filePath("pgpass"), "*:*:*:pellamy_password:wrong-battery\n");
    QFile::setPermissions(dir.filePath("pgpass"), QFile::ReadOwner | QFile::WriteOwner);
    std::optional<EnvSet> passFile(std::in_place, "PGPASSFILE", dir.filePath("pgpass").toUtf8());
    const std::pair<QString, const char*> cases[] = {
        {"", "server.txt is empty"},
        {"# only a comment", "server.txt is empty"},
        {"junk", "server.txt: missing \"=\" after \"junk\""},
        {"host=a;b", "holds a \";\""},
        {"postgresql://host/db", "holds an address"},
        {"host=/nonexistent-folder port=5432 dbname=x", "No such file or directory"},
        {"host=/tmp sslmode=requre", "server.txt: invalid sslmode value"},
        {"host=/tmp port=99999", "server.txt: invalid port number"},
        {serverString("pellamy_password"), "Please check the password kept for this computer"},
        {serverString("pellamy_password") + " password=wrong-secret",
         "password authentication failed"},
    };
    for (const auto& [text, reason] : cases) {
        SCOPED_TRACE(text.toStdString());
        useServer(text);
        const DistanceStore store(source());
        EXPECT_FALSE(store.racepoints().ok());
        EXPECT_THAT(store.takeNotice().toStdString(),
                    AllOf(HasSubstr(reason), HasSubstr("There is no copy of the distances"),
                          Not(HasSubstr("wrong-secret")), Not(HasSubstr("wrong-battery"))));
        store.members("Dover");
        EXPECT_EQ(store.takeNotice(), QString()) << "said once";
    }
    // A password file libpq passes over, or one without this server's
    // line, is named, with what to do.
    QFile::setPermissions(dir.filePath("pgpass"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    writeFile(dir.filePath("other"), "*:*:*:pellamy_other:right-horse\n");
    QFile::setPermissions(dir.filePath("other"), QFile::ReadOwner | QFile::WriteOwner);
    for (const auto& [file, says] : {std::pair{"pgpass", "(chmod 600 "},
                                     {"missing", "which is not there"},
                                     {"other", "No line of"}}) {
        qputenv("PGPASSFILE", dir.filePath(file).toUtf8());
        useServer(serverString("pellamy_password"));
        const DistanceStore store(source());
        store.racepoints();
        EXPECT_THAT(store.takeNotice().toStdString(), HasSubstr(says));
    }
    passFile.reset();

    // With no copy of the distances either, CALCULATE says why no entry was
    // made, not that the database holds none.
    {
        Pellamy window(dir.path(), &dialogs);
        said(); // the server out of reach, and no copy
        dialogs.answerYesNo(false);
        window.Picture1_Click();
        EXPECT_EQ(said(), "No entry was made for this bird: the distance server cannot be reached, "
                          "so its distance could not be read.");
    }

    // A server that answers without the tables is no reason to read the
    // copy, but the calculator says what it met.
    useServer(kAdmin);
    Pellamy window(dir.path(), &dialogs);
    EXPECT_THAT(said(), HasSubstr("could not be read from the distance server: relation "
                                  "\"distances\" does not exist. The server.txt"));
    frmdistances editor(dir.path(), &dialogs); // the same words
    EXPECT_THAT(said(), StartsWith("The distances could not be read from the distance server: "
                                   "relation \"distances\" does not exist. The server.txt"));
}

// The table taken away on race night, after the race points were read: the
// members and a bird's distance are said as start-up says the race points.
TEST_F(ServerTest, ReadsThatFailOnRaceNightGiveTheServersAdvice) {
    putRows({{"Ann Hale", "Dover", "100", "0", "10560000"}});
    Pellamy window(dir.path(), &dialogs);
    serverExec("ALTER TABLE distances RENAME TO kept;");
    const auto putBack = qScopeGuard([] { serverExec("ALTER TABLE kept RENAME TO distances;"); });
    const std::string reason = "could not be read from the distance server: relation "
                               "\"distances\" does not exist. The server.txt beside Pellamy";
    window.racepoint_Click();
    EXPECT_THAT(said(), StartsWith("The members of Dover " + reason));
    control<QComboBox>(window, "member")->setEditText("Ann Hale");
    dialogs.answerYesNo(false);
    window.Picture1_Click();
    EXPECT_THAT(said(), StartsWith("No entry was made for this bird: its distance " + reason));
}

// A table another session holds (an officer's psql altering it) is said as
// a server busy, not as a server set up wrongly.
TEST_F(ServerTest, ATableHeldOnTheServerIsSaidAsBusy) {
    putRows({{"Ann Hale", "Dover", "100", "0", "10560000"}});
    useServer(serverString() + " options='-c lock_timeout=100'");
    Pellamy window(dir.path(), &dialogs);
    SqlConnection officer({}, "officer", "QPSQL", serverString());
    QSqlQuery(officer.db).exec("BEGIN");
    ASSERT_TRUE(QSqlQuery(officer.db).exec("LOCK TABLE distances IN ACCESS EXCLUSIVE MODE"));
    const std::string busy = "he distance server is busy with another change to these "
                             "distances, so ";
    window.racepoint_Click();
    EXPECT_THAT(said(), StartsWith("T" + busy + "the members of Dover could not be read."));
    control<QComboBox>(window, "member")->setEditText("Ann Hale");
    dialogs.answerYesNo(false);
    window.Picture1_Click();
    EXPECT_THAT(said(), StartsWith("No entry was made for this bird: t" + busy + "its distance"));
    Pellamy again(dir.path(), &dialogs);
    EXPECT_THAT(said(), StartsWith("T" + busy + "the race points could not be read."));
    frmdistances editor(dir.path(), &dialogs);
    EXPECT_THAT(said(), StartsWith("T" + busy + "the distances could not be read."));
}

// A copy made at start-up serves when the server stops mid-session: the
// calculator reads it after one message, and the editor shows it read-only.
TEST_F(ServerTest, StoppedServerLeavesTheClubRacingFromItsCopy) {
    putRows({{"Ann Hale", "Dover", "100", "0", "10560000"},
             {"Bo Finch", "Calais", "90", "0", "9504000"}});
    serverExec("INSERT INTO lofts (name, latitude, longitude) VALUES ('Ann Hale', '51°30''00\"N', "
               "'0°07''00\"W');");
    const QString copy = dir.filePath("distances-copy.mdb");
    // A copy cut short two days ago by a killed process, and its journal.
    const QStringList staleFiles = {copy + ".4242-1.new", copy + ".4242-1.new-journal"};
    for (const QString& name : staleFiles) {
        QFile stale(name);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.setFileTime(QDateTime::currentDateTime().addDays(-2),
                          QFileDevice::FileModificationTime);
    }
    {
        Pellamy window(dir.path(), &dialogs);
        EXPECT_EQ(control<QComboBox>(window, "racepoint")->count(), 2);
        // A window closed sooner stops the copy.
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(copy); }, 30000));
    }
    ASSERT_TRUE(QFileInfo::exists(copy)) << "the copy outlives the window";
    for (const QString& name : staleFiles)
        EXPECT_FALSE(QFileInfo::exists(name)) << name.toStdString();
    EXPECT_EQ(distanceRows(copy), distanceRows(path()));
    EXPECT_EQ(readPlaces(copy).lists.lofts.size(), 1);
    const QDateTime made = copyMade(copy);
    EXPECT_TRUE(made.isValid() && qAbs(made.secsTo(QDateTime::currentDateTime())) < 120);

    const DistanceStore store(source());
    ASSERT_EQ(store.racepoints().values, QStringList({"Calais", "Dover"}));
    DistanceRecordSet officer(source()), typist(source()); // editors open all along
    ASSERT_TRUE(officer.open() && typist.open());
    auto live = std::make_unique<frmdistances>(dir.path(), &dialogs);
    const DistanceStore steady(source()); // read again only once the server is back
    ASSERT_TRUE(steady.racepoints().ok());
    serverControl("stop");
    // Pressed again, the server is tried again: the line is said to be gone,
    // not left as an empty error.
    for (int press = 0; press < 2; ++press)
        EXPECT_EQ(typist.save({"Ann Hale", "Dover", "100", "1", "10560060"}), WriteOutcome::Failed);
    EXPECT_EQ(typist.fault(), DatabaseFault::Unreachable);
    EXPECT_EQ(typist.error(), "the connection to the distance server was lost");
    QTest::mouseClick(control<QToolButton>(*control<DataControl>(*live, "Data1"), "Next"),
                      Qt::LeftButton);
    EXPECT_THAT(said(), StartsWith("The distance server cannot be reached, so the record could "
                                   "not be shown."));
    live.reset();
    const DistanceLookup lookup = store.distance("ann hale", "dover");
    EXPECT_EQ(lookup.text, "10560000\r\n") << lookup.error.toStdString();
    EXPECT_TRUE(store.offline());

    // Read alike when server.txt names another server since, but said; a
    // user or password changed is the same server.
    for (const auto& [user, database] :
         {std::pair{"club_reader", kDatabase}, {"pellamy_admin", "pellamy_elsewhere"}}) {
        useServer(serverString(user, database));
        Pellamy window(dir.path(), &dialogs);
        EXPECT_EQ(control<QComboBox>(window, "racepoint")->count(), 2);
        const std::string notice = said();
        EXPECT_THAT(notice, AllOf(HasSubstr("The distance server cannot be reached"),
                                  HasSubstr("copy of the distances, made on")));
        const std::string doubt =
            "dbname=" + kDatabase.toStdString() + "), not from the one it names now (host=";
        EXPECT_EQ(notice.find(doubt) != std::string::npos &&
                      notice.find("dbname=pellamy_elsewhere).") != std::string::npos,
                  database != kDatabase)
            << notice;
    }
    useServer(serverString());
    {
        frmdistances editor(dir.path(), &dialogs);
        EXPECT_THAT(said(), HasSubstr("Nothing in them can be changed while the copy is used"));
        EXPECT_EQ(control<QLineEdit>(editor, "txtFields(0)")->text(), "Ann Hale");
        EXPECT_TRUE(control<QLineEdit>(editor, "txtFields(0)")->isReadOnly());
        for (const char* button :
             {"cmdAdd", "cmdDelete", "cmdUpdate", "cmdCoordinates", "cmdUpload"})
            EXPECT_FALSE(control<QPushButton>(editor, button)->isEnabled()) << button;
    }
    // A copy spoilt meanwhile is said as the copy's, not distances.mdb's or the server's.
    const QByteArray whole = fileBytes(copy);
    for (const QByteArray& spoilt :
         {QByteArray("not a database"), QByteArray(whole).replace(4096, 4, "\xff\xff\xff\xff")}) {
        writeFile(copy, spoilt);
        Pellamy window(dir.path(), &dialogs);
        EXPECT_EQ(control<QComboBox>(window, "racepoint")->count(), 0); // none read in part
        EXPECT_THAT(said(), HasSubstr("copy of the distances (distances-copy.mdb) cannot be read"));
    }
    writeFile(copy, whole);
    serverControl("start");
    EXPECT_EQ(fileBytes(copy), whole) << "nothing writes to the copy";
    // Its connection dropped by the restart, a store reads from the server again unasked.
    EXPECT_EQ(steady.members("Dover").values, QStringList{"Ann Hale"});
    EXPECT_FALSE(steady.offline());
    EXPECT_EQ(steady.takeNotice(), QString());
    // A move is not tried on the server again at once after a failed try;
    // Update pressed is, and saves.
    EXPECT_FALSE(typist.moveTo(1));
    EXPECT_EQ(typist.fault(), DatabaseFault::Unreachable);
    EXPECT_EQ(typist.save({"Ann Hale", "Dover", "100", "1", "10560060"}), WriteOutcome::Done)
        << typist.error().toStdString();
    EXPECT_TRUE(officer.moveTo(1)) << officer.error().toStdString();
    EXPECT_EQ(officer.save({"Bo Finch", "Calais", "90", "1", "9504060"}), WriteOutcome::Done);
}

// A copy that cannot be made is said while the server is there: the folder named where it stands in
// the way, the server where it broke the copy off.
TEST_F(ServerTest, ACopyThatCannotBeMadeIsSaid) {
    putRows({{"Ann Hale", "Dover", "100", "0", "10560000"}});
    QDir(dir.path()).mkdir("distances-copy.mdb"); // a folder stands in its place
    serverExec("DO $$ BEGIN CREATE ROLE half_reader LOGIN; EXCEPTION WHEN duplicate_object THEN "
               "NULL; END $$; GRANT SELECT ON distances TO half_reader;");
    for (const char* user : {"pellamy_admin", "half_reader"}) {
        useServer(serverString(QString::fromLatin1(user)));
        Pellamy window(dir.path(), &dialogs);
        // Said at the next choice of a race point, once the copy has failed.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return (window.racepoint_Click(), dialogs.messages().size() == 1); }));
        EXPECT_THAT(said(),
                    AllOf(StartsWith("The copy of the distances kept for when the server"),
                          HasSubstr(user == std::string("half_reader")
                                        ? "the distance server refused it or broke it off "
                                          "(permission denied for table lofts)"
                                        : "could not be made in " +
                                              QDir::toNativeSeparators(dir.path()).toStdString())));
        QDir(dir.path()).rmdir("distances-copy.mdb");
        // Nor is the copy begun left behind in the club's folder.
        EXPECT_EQ(QDir(dir.path()).entryList({"*.new*"}, QDir::Files), QStringList()) << user;
    }
    // The line lost as a copy begins: said, and the last whole copy kept,
    // not an empty one put in its place.
    const QString copy = dir.filePath("distances-copy.mdb");
    useServer(serverString());
    {
        Pellamy window(dir.path(), &dialogs);
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(copy); }, 30000));
    }
    const QByteArray whole = fileBytes(copy);
    {
        // A disk that fills as the next copy is written: the last copy is
        // said to serve still.
        FileSizeLimit full(2048);
        Pellamy window(dir.path(), &dialogs);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return (window.racepoint_Click(), dialogs.messages().size() == 1); }));
        EXPECT_THAT(said(), HasSubstr("The last copy, made on "));
    }
    EXPECT_EQ(fileBytes(copy), whole);
    DroppedLine dropped("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    Pellamy window(dir.path(), &dialogs);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (window.racepoint_Click(), dialogs.messages().size() == 1); }));
    EXPECT_THAT(said(), HasSubstr("broke it off (server closed the connection unexpectedly."));
    EXPECT_EQ(fileBytes(copy), whole);
}

// A club's file brought up from the editor: new pairs added, pairs held alike left, pairs held
// with another distance refused and listed, never overwritten.
TEST_F(ServerTest, ClubFileBroughtUpWithoutOverwriting) {
    serverExec("INSERT INTO distances (name, racepoint, miles, yards, sixtieths) VALUES "
               "('Ann Hale', 'Dover', '100', '0', '10560000'), "
               "('Bo Finch', 'Dover', '90', '0', '9504000'), "
               "('Fay Lund', 'Dover', '10', '0', '1056000');");
    makeDistanceDatabase(path(), {{"ann hale ", "DOVER", "100", "0", "10560000"},
                                  {"Bo Finch", "Dover", "91", "0", "9609600"},
                                  {"Cy Dunn", "Dover", "80", "0", "8448000"},
                                  {"Cy Dunn", "Dover", "80", "0", "8448000"},
                                  {"Di Reyes", "", "1", "0", "105600"},
                                  {"Ed Moss", "Dover", "70", "0", "7392000"},
                                  {"Ed Moss", "Dover", "71", "0", "7497600"},
                                  {"Fay Lund", "Dover", "10", "0", "1056001"},
                                  {"Bo Finch", "Hull", "50", "0", "5280000"},
                                  {"Hal Webb", "Dover", "-5", "0", "-528000"},
                                  {" Ivy Nash ", "Hull ", "60", "0", "6336000"},
                                  {"Fay Lund", "Hull", "20", "0", "2112000"},
                                  {"Jo Near", "Hull", "0", "880", "52800"}});
    execSql(path(), "INSERT INTO Distances VALUES ('Gus' || char(0) || 'Tail', 'Dover', '1', "
                    "'0', '105600')"); // as a damaged file may hold
    frmdistances editor(dir.path(), &dialogs);
    ASSERT_TRUE(control<QPushButton>(editor, "cmdUpload")->isVisibleTo(&editor));
    {
        // The line lost as the commit is sent: whether the rows were added is not known.
        DroppedLine dropped("COMMIT");
        dialogs.answerYesNo(true);
        QTest::mouseClick(control<QPushButton>(editor, "cmdUpload"), Qt::LeftButton);
        EXPECT_THAT(said(), StartsWith("The line to the distance server was lost as the "
                                       "distances were being brought up, so it is not known"));
    }
    dialogs.answerYesNo(true);
    QTest::mouseClick(control<QPushButton>(editor, "cmdUpload"), Qt::LeftButton);
    EXPECT_EQ(said(),
              "4 distances were added to the server; 2 were there already.\n\n"
              "8 were not brought up, and the server's distances are as they were:\n"
              "Bo Finch at Dover: the server holds 9504000 sixtieths, distances.mdb holds 9609600\n"
              "Di Reyes at (none): the race point is empty\n"
              "Ed Moss at Dover: distances.mdb holds 7392000 sixtieths here and 7497600 in another "
              "row\n"
              "Ed Moss at Dover: distances.mdb holds 7497600 sixtieths here and 7392000 in another "
              "row\n"
              "Fay Lund at Dover: Sixtieths is 1056001, but 10 miles 0 yards make 1056000\n"
              "Bo Finch at Hull: the server holds another distance for this name at Dover\n"
              "Hal Webb at Dover: the distance is below nought\n"
              "Gus?Tail at Dover: a character in it is not text\n\n"
              "Where the server's distance is another club's member of the same name, give "
              "yours a name of its own.");
    DistanceRecordSet onServer(source());
    ASSERT_TRUE(onServer.open()) << onServer.error().toStdString();
    EXPECT_EQ(recordsInOrder(onServer),
              QStringList({"Ann Hale|Dover|100|0|10560000", "Bo Finch|Dover|90|0|9504000",
                           "Cy Dunn|Dover|80|0|8448000", "Fay Lund|Dover|10|0|1056000",
                           "Fay Lund|Hull|20|0|2112000", "Ivy Nash|Hull|60|0|6336000",
                           "Jo Near|Hull|0|880|52800"}));
    EXPECT_EQ(editor.recordPosition(), 0); // the server's records shown afresh
}

// A club's Access file whose conversion found rows to check: they are
// named, and the first press brings nothing up to every club's distances.
TEST_F(ServerTest, DoubtfulRowsOfAnAccessFileAreNotBroughtUp) {
    REQUIRE_ACCESS_FILES();
    frmdistances editor(dir.path(), &dialogs);
    QByteArray bytes = fileBytes(PELLAMY_ACCESS_TESTDATA "/distances-text-jet4.mdb");
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    bytes.replace(QByteArray(utf16(u"43398120")), QByteArray(utf16(u"43398121")));
    writeFile(path(), bytes);
    dialogs.answerYesNo(true);
    editor.cmdUpload_Click();
    EXPECT_THAT(said(), AllOf(HasSubstr("2 of the rows should be checked"),
                              HasSubstr("Nothing has been brought up to the server yet")));
    EXPECT_TRUE(DistanceStore(source()).racepoints().values.isEmpty());
    // A row without a race point alone stops nothing: it is never brought
    // up, and is named then.
    writeFile(path(), fileBytes(PELLAMY_ACCESS_TESTDATA "/distances-text-jet4.mdb"));
    dialogs.answerYesNo(true);
    editor.cmdUpload_Click();
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_THAT(dialogs.messages()[1].toStdString(),
                AllOf(HasSubstr("C. Jones at (none): the race point is empty"),
                      Not(HasSubstr("another club's member")))); // none held otherwise
    dialogs.clear();
    EXPECT_FALSE(DistanceStore(source()).racepoints().values.isEmpty());
}

// Coordinates saved with the rule of the stale list; distances worked out from them refused
// when the table changed between the plan and the write.
TEST_F(ServerTest, CoordinatesAndWorkedOutDistancesOnTheServer) {
    putRows({{"Ann Hale", "Dover", "1", "0", "105600"}});
    const PlaceLists lists{{{"Ann Hale", "51°30'00\"N", "0°07'00\"W"}},
                           {{"Dover", "51°07'00\"N", "1°19'00\"E"}}};
    const PlaceSave saved = savePlaces(source(), {}, lists);
    ASSERT_EQ(saved.outcome, WriteOutcome::Done) << saved.error.toStdString();
    EXPECT_EQ(readPlaces(source()).lists, lists);
    EXPECT_EQ(savePlaces(source(), {}, lists).outcome, WriteOutcome::Changed);

    // A function planted in schema public (as any user could before
    // PostgreSQL 15) is not run by the work-out; the schema leaves a club's
    // user no room to plant one.
    serverExec("CREATE FUNCTION public.concat(text, text, text, text, text) RETURNS text "
               "LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION 'planted'; END $$;");
    DistanceWorkOut workOut(source());
    WorkOutPlan plan;
    ASSERT_TRUE(workOut.plan(&plan)) << workOut.error().toStdString();
    serverExec("DROP FUNCTION public.concat(text, text, text, text, text); GRANT CREATE ON "
               "SCHEMA public TO PUBLIC;" +
               schemaScript() +
               "DO $$ BEGIN IF has_schema_privilege('pellamy_club', 'public', 'CREATE') THEN "
               "RAISE EXCEPTION 'clubs may plant'; END IF; END $$;");
    EXPECT_EQ(plan.changed, 1);
    serverExec("UPDATE distances SET yards = '5';");
    EXPECT_EQ(workOut.write(plan), WriteOutcome::Changed);
    ASSERT_TRUE(workOut.plan(&plan));
    ASSERT_EQ(workOut.write(plan), WriteOutcome::Done) << workOut.error().toStdString();
    EXPECT_EQ(DistanceStore(source()).distance("Ann Hale", "Dover").text,
              QString::number(plan.longestYards * 60) + "\r\n");
}

// The line lost just after a delete's commit: no record shown, not the one deleted, and said; and
// lost as a save's commit is sent: not said as not saved.
TEST_F(ServerTest, AWriteCutOffIsSaidAsFarAsItIsKnown) {
    putRows({{"Ann Hale", "Dover", "100", "0", "10560000"},
             {"Bo Finch", "Dover", "90", "0", "9504000"}});
    serverExec("DO $$ BEGIN CREATE ROLE cut_officer LOGIN IN ROLE pellamy_officer; EXCEPTION "
               "WHEN duplicate_object THEN NULL; END $$; GRANT pellamy_officer TO cut_officer; "
               "CREATE FUNCTION cut_off() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER AS $$ "
               "BEGIN REVOKE pellamy_officer FROM cut_officer; RETURN NULL; END $$; CREATE "
               "TRIGGER cut AFTER DELETE ON distances EXECUTE FUNCTION cut_off();");
    useServer(serverString("cut_officer"));
    {
        frmdistances editor(dir.path(), &dialogs);
        QTest::mouseClick(control<QPushButton>(editor, "cmdDelete"), Qt::LeftButton);
        EXPECT_THAT(said(), StartsWith("The record has been deleted, but the records could not "
                                       "be read again: "));
        EXPECT_EQ(control<QLineEdit>(editor, "txtFields(0)")->text(), "");
    }
    serverExec("DROP TRIGGER cut ON distances; DROP FUNCTION cut_off();");
    // The line lost as the save's commit is sent: the server may have saved it.
    useServer(serverString());
    frmdistances editor(dir.path(), &dialogs);
    control<QLineEdit>(editor, "miles")->setText("101");
    DroppedLine dropped("Commit");
    QTest::mouseClick(control<QPushButton>(editor, "cmdUpdate"), Qt::LeftButton);
    EXPECT_EQ(said(), "The line to the distance server was lost as the record was being saved, so "
                      "it is not known whether it has been saved. Once the server can be reached, "
                      "look for the record before saving it again.");
}

} // namespace
