#include "distances/distancestore.h"
#include "distances/sixtieths.h"

#include "support/distancedb.h"
#include "support/qt_printers.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pellamy;
using testsupport::makeDistanceDatabase;

namespace {

class DistanceStoreTest : public testing::Test {
protected:
    QString path() const { return dir.filePath("distances.mdb"); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(DistanceStoreTest, ListsRacePointsAndMembersOnceInEngineOrder) {
    makeDistanceDatabase(path(), {
                                     {"J. Smith", "Berwick", "250", "1234", "26474040"},
                                     {"J. Smith", "Thurso", "412", "17", "43508220"},
                                     {"A. Brown & Son", "Berwick", "248", "880", "26241600"},
                                     {"O'Brien", "Berwick", "251", "0", "26505600"},
                                     {"O'Brien", "Berwick", "251", "0", "26505600"},
                                     {"Müller", "Lerwick", "500", "5", "52800300"},
                                 });
    const DistanceStore store(path());
    const NameList points = store.racepoints();
    ASSERT_TRUE(points.ok()) << points.error.toStdString();
    EXPECT_EQ(points.values, QStringList({"Berwick", "Lerwick", "Thurso"}));
    EXPECT_FALSE(points.hadEmpty);

    EXPECT_EQ(store.members("Berwick").values,
              QStringList({"A. Brown & Son", "J. Smith", "O'Brien"}));
    EXPECT_EQ(store.members("BERWICK").values.size(), 3); // letter case does not matter
    EXPECT_EQ(store.members("Nowhere").values, QStringList());
    EXPECT_TRUE(store.members("Nowhere").ok());
}

TEST_F(DistanceStoreTest, DistanceLookupGivesEveryMatchingRow) {
    makeDistanceDatabase(path(), {
                                     {"J. Smith", "Berwick", "250", "1234", "26474040"},
                                     {"O'Brien", "Berwick", "251", "0", "26505600"},
                                     {"O'Brien", "Berwick", "251", "0", "26505600"},
                                     {"Müller", "Lerwick", "500", "5", "52800300"},
                                     {"C. Jones", "Berwick", "100", "0", nullptr},
                                 });
    const DistanceStore store(path());
    struct Case {
        const char *member, *racepoint, *text;
    } cases[] = {
        {"J. Smith", "Berwick", "26474040\r\n"},
        {"j. smith", "berwick", "26474040\r\n"},
        {"O'Brien", "Berwick", "26505600\r\n26505600\r\n"},
        {"Müller", "Lerwick", "52800300\r\n"},
        {"C. Jones", "Berwick", "\r\n"},
        {"J. Smith", "Lerwick", ""},
        {"x' OR '1'='1", "Berwick", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        const DistanceLookup lookup = store.distance(QString::fromUtf8(c.member), c.racepoint);
        EXPECT_TRUE(lookup.ok());
        EXPECT_EQ(lookup.text, c.text);
    }
}

TEST_F(DistanceStoreTest, EmptyRacePointRowsAreSkippedAndReported) {
    makeDistanceDatabase(path(), {
                                     {"A", nullptr, "1", "0", "105600"},
                                     {"B", "", "1", "0", "105600"},
                                     {"C", "", "1", "0", "105600"},
                                     {"D", "Dover", "1", "0", "105600"},
                                     {"E", "Ayr", "1", "0", "105600"},
                                     {"", "Ayr", "1", "0", "105600"},
                                 });
    const DistanceStore store(path());
    const NameList points = store.racepoints();
    EXPECT_EQ(points.values, QStringList({"Ayr", "Dover"}));
    EXPECT_TRUE(points.hadEmpty);
    const NameList members = store.members("Ayr");
    EXPECT_EQ(members.values, QStringList({"E"}));
    EXPECT_TRUE(members.hadEmpty);
}

TEST_F(DistanceStoreTest, EmptyTableGivesEmptyLists) {
    makeDistanceDatabase(path());
    const DistanceStore store(path());
    EXPECT_TRUE(store.racepoints().ok());
    EXPECT_TRUE(store.racepoints().values.isEmpty());
    EXPECT_TRUE(store.members("Dover").values.isEmpty());
    EXPECT_EQ(store.distance("Smith", "Dover").text, "");
}

TEST_F(DistanceStoreTest, FilesThatAreNoDatabaseAreReportedAndNeverTouched) {
    const QByteArray contents[] = {
        QByteArray(),
        QByteArray("not a database at all\n"),
        QByteArray(4096, '\xff'),
        QByteArray("\0\1\0\0Standard Jet DB\0\1", 21) + QByteArray(2000, '\0'),
    };
    for (const QByteArray& bytes : contents) {
        SCOPED_TRACE(bytes.left(20).toStdString());
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        const DistanceStore store(path());
        EXPECT_FALSE(store.racepoints().ok());
        EXPECT_FALSE(store.members("Dover").ok());
        EXPECT_FALSE(store.distance("A", "Dover").ok());
        EXPECT_EQ(testsupport::fileBytes(path()), bytes);
    }
}

TEST_F(DistanceStoreTest, MissingDatabaseIsReportedAndNotCreated) {
    const DistanceStore store(path());
    const NameList points = store.racepoints();
    EXPECT_FALSE(points.ok());
    EXPECT_TRUE(points.error.contains("distances.mdb"));
    EXPECT_FALSE(store.distance("A", "B").ok());
    EXPECT_FALSE(QFileInfo::exists(path()));
}

TEST(Sixtieths, MilesAndYardsGiveSixtiethsOfAYard) {
    struct Case {
        const char *miles, *yards;
        std::optional<QString> text;
    } cases[] = {
        {"100", "880", QString("10612800")},
        {"0", "1", QString("60")},
        {"0", "0.5", QString("30")},
        {"250", "1234", QString("26474040")},
        {" 85 ", "440.5", QString("9002430")},
        {"", "880", std::nullopt},
        {"100", "", std::nullopt},
        {"ten", "0", std::nullopt},
        {"1e400", "0", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.miles);
        EXPECT_EQ(sixtiethsText(c.miles, c.yards), c.text);
    }
}

TEST_F(DistanceStoreTest, RacePointsAreWhatSelectDistinctGives) {
    makeDistanceDatabase(path(), {
                                     {"A", "dover", "1", "0", "105600"},
                                     {"B", "Thurso", "1", "0", "105600"},
                                     {"C", "DOVER", "1", "0", "105600"},
                                     {"D", nullptr, "1", "0", "105600"},
                                     {"E", "", "1", "0", "105600"},
                                     {"F", "ayr", "1", "0", "105600"},
                                     {"G", "Ayr ", "1", "0", "105600"},
                                     {"H", "Zürich", "1", "0", "105600"},
                                 });
    QStringList distinct;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "plain");
        db.setDatabaseName(path());
        ASSERT_TRUE(db.open());
        QSqlQuery q("SELECT DISTINCT Racepoint FROM Distances ORDER BY Racepoint", db);
        while (q.next())
            if (!q.value(0).toString().isEmpty())
                distinct << q.value(0).toString();
    }
    QSqlDatabase::removeDatabase("plain");
    const NameList points = DistanceStore(path()).racepoints();
    EXPECT_EQ(points.values, distinct);
    EXPECT_EQ(points.values, QStringList({"ayr", "Ayr ", "dover", "Thurso", "Zürich"}));
    EXPECT_TRUE(points.hadEmpty);
}

TEST(DistanceStoreDamage, ADamagedFileIsNeverHalfRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("distances.mdb");
    testsupport::makeDamagedDatabase(path);
    const DistanceStore store(path);
    const NameList points = store.racepoints();
    int failed = points.ok() ? 0 : 1;
    for (int p = 0; p < 20; ++p) {
        const NameList members = store.members("Point " + QString::number(p));
        EXPECT_TRUE(members.ok() ? members.values.size() == 400 : members.values.isEmpty()) << p;
        if (!members.ok()) {
            EXPECT_EQ(members.fault, DatabaseFault::Damaged);
            ++failed;
        }
    }
    EXPECT_GT(failed, 0);
}
