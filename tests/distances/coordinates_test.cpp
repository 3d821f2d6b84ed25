// Distances from coordinates: the coordinate forms, the geodesic against
// PROJ's geod, the CSV import, the work-out and its writing, and the window.
#include "distances/coordinates.h"
#include "distances/editor/frmcoordinates.h"
#include "distances/editor/frmdistances.h"
#include "distances/geodesic.h"
#include "distances/placecsv.h"
#include "distances/workout.h"

#include "calc/windows1252.h"
#include "support/controls.h"
#include "support/dialogcheck.h"
#include "support/distancedb.h"
#include "support/qt_printers.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace pellamy;
using testsupport::control;
using testsupport::distanceRows;
using testsupport::makeDistanceDatabase;

namespace {

struct Pair {
    double lat1, lon1, lat2, lon2;
};

// The geodesic distances in metres as PROJ's geod gives them.
QVector<double> geodMetres(const QVector<Pair>& pairs) {
    QProcess geod;
    geod.start("geod", {"+ellps=WGS84", "-I", "+units=m", "-F", "%.6f"});
    if (!geod.waitForStarted()) {
        ADD_FAILURE() << "PROJ's geod is not installed (Debian proj-bin): run scripts/setup";
        return {};
    }
    for (const Pair& p : pairs)
        geod.write(QStringLiteral("%1 %2 %3 %4\n")
                       .arg(p.lat1, 0, 'g', 17)
                       .arg(p.lon1, 0, 'g', 17)
                       .arg(p.lat2, 0, 'g', 17)
                       .arg(p.lon2, 0, 'g', 17)
                       .toLatin1());
    geod.closeWriteChannel();
    geod.waitForFinished();
    QVector<double> metres;
    for (const QByteArray& line : geod.readAllStandardOutput().split('\n'))
        if (!line.trimmed().isEmpty())
            metres << line.simplified().split(' ').last().toDouble();
    EXPECT_EQ(metres.size(), pairs.size());
    return metres;
}

qint64 exact(const char* text, Axis axis) {
    return *readCoordinate(QString::fromUtf8(text), axis).nanoArcseconds;
}

} // namespace

TEST(Geodesic, AgreesWithProjGeodToTheMillimetre) {
    ASSERT_TRUE(geodesicAvailable());
    const QVector<Pair> pairs = {
        {51.4778, -0.0015, 51.4923, -0.0015}, // a mile north
        {51.4778, -0.0015, 51.4778, 0.0217},  // a mile east
        {50.1234, -5.5432, 58.6012, -3.0231}, // Cornwall to Caithness
        {55.95, -3.19, 43.30, -0.37},         // south over the sea, 800 miles
        {48.85, 2.35, 41.90, 12.50},          // south-east
        {52.52, 13.40, 60.17, 24.94},         // north-east
        {40.42, -3.70, 53.35, -6.26},         // north-west
        {45.76, 4.84, 36.72, -4.42},          // south-west, near 1,000 miles
        {-33.87, 151.21, -37.81, 144.96},     // southern hemisphere
        {-17.71, 178.06, -18.14, -178.43},    // across the antimeridian
        {64.84, -147.72, 65.00, 179.50},      // across it in the north
        {1.29, 103.85, -6.21, 106.85},        // across the equator
        {-34.60, -58.38, -31.42, -64.18},     // south and west
        {69.65, 18.96, 59.91, 10.75},         // far north
    };
    const QVector<double> reference = geodMetres(pairs);
    ASSERT_EQ(reference.size(), pairs.size());
    for (int i = 0; i < pairs.size(); ++i) {
        const Pair& p = pairs[i];
        const double metres = *geodesicMetres(p.lat1, p.lon1, p.lat2, p.lon2);
        EXPECT_LT(std::abs(metres - reference[i]), 0.0005) << "pair " << i;
        EXPECT_GT(metres, 1600.0);
        EXPECT_LT(metres, 1.62e6);
    }
}

TEST(Coordinates, EveryFormReadsExactlyAndShowsInOneForm) {
    const struct {
        const char* text;
        Axis axis;
        const char* shown;
    } cases[] = {
        {"51.4778", Axis::Latitude, "51°28'40.08\"N"},
        {"-0.0015", Axis::Longitude, "0°00'05.4\"W"},
        {"51 28.668N", Axis::Latitude, "51°28'40.08\"N"},
        {"N 51° 28.668'", Axis::Latitude, "51°28'40.08\"N"},
        {"51:28:40.1N", Axis::Latitude, "51°28'40.1\"N"},
        {"51°28'40.1\"N", Axis::Latitude, "51°28'40.1\"N"},
        {"0°0'5.3\"W", Axis::Longitude, "0°00'05.3\"W"},
        {"51°28′40.1″ n", Axis::Latitude, "51°28'40.1\"N"},
        {"51,4778", Axis::Latitude, "51°28'40.08\"N"},
        {"s33 52 7,2", Axis::Latitude, "33°52'07.2\"S"},
        {"W 2 30", Axis::Longitude, "2°30'00\"W"},
        {"+1.5", Axis::Longitude, "1°30'00\"E"},
        {"-180", Axis::Longitude, "180°00'00\"W"},
        {"90", Axis::Latitude, "90°00'00\"N"},
        {"0", Axis::Latitude, "0°00'00\"N"},
        // More places than a nano-arcsecond holds are rounded to one.
        {"51.123456789012", Axis::Latitude, "51°07'24.444440443\"N"},
        {"51.12345678901", Axis::Latitude, "51°07'24.444440436\"N"},
    };
    for (const auto& c : cases) {
        const CoordinateReading r = readCoordinate(QString::fromUtf8(c.text), c.axis);
        ASSERT_TRUE(r.nanoArcseconds) << c.text << ": " << r.error.toStdString();
        const QString shown = coordinateText(*r.nanoArcseconds, c.axis);
        EXPECT_EQ(shown, QString::fromUtf8(c.shown)) << c.text;
        EXPECT_EQ(readCoordinate(shown, c.axis).nanoArcseconds, r.nanoArcseconds) << c.text;
    }
    // The decimal forms of one point are one value, to the nano-arcsecond.
    EXPECT_EQ(exact("51.4778", Axis::Latitude), exact("51 28.668", Axis::Latitude));
    EXPECT_EQ(exact("51.4778", Axis::Latitude), exact("51 28 40.08", Axis::Latitude));
    EXPECT_DOUBLE_EQ(coordinateDegrees(exact("-0.0015", Axis::Longitude)), -0.0015);
}

TEST(Coordinates, WhatCannotBeReadIsRefusedQuotingIt) {
    const struct {
        const char* text;
        Axis axis;
        const char* says;
    } cases[] = {
        {"91", Axis::Latitude, "lies outside 90°S to 90°N"},
        {"90 0 0.1", Axis::Latitude, "lies outside"},
        {"180.0001", Axis::Longitude, "lies outside 180°W to 180°E"},
        {"51.2E", Axis::Latitude, "is marked E"},
        {"2.5N", Axis::Longitude, "is marked N"},
        {"51 60 00", Axis::Latitude, "minutes of 60 or more"},
        {"51 28 60", Axis::Latitude, "seconds of 60 or more"},
        {"-51 N", Axis::Latitude, "both a sign and N"},
        {"51,28,40", Axis::Latitude, "cannot be read"},
        {"51,5.2", Axis::Latitude, "cannot be read"},
        {"51.5 30", Axis::Latitude, "cannot be read"},
        {"51\"28'", Axis::Latitude, "cannot be read"},
        {"51.4.5", Axis::Latitude, "cannot be read"},
        {"fifty one", Axis::Latitude, "cannot be read"},
        {"1234", Axis::Longitude, "cannot be read"},
    };
    for (const auto& c : cases) {
        const CoordinateReading r = readCoordinate(QString::fromUtf8(c.text), c.axis);
        EXPECT_FALSE(r.nanoArcseconds) << c.text;
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.says))) << r.error.toStdString();
        EXPECT_TRUE(r.error.contains(u'"' + QString::fromUtf8(c.text) + u'"'))
            << r.error.toStdString();
    }
    EXPECT_EQ(readCoordinate("  ", Axis::Latitude).error, "The latitude is empty.");
}

TEST(PlaceCsv, FindsSeparatorHeadingAndCharacterSet) {
    const struct {
        QByteArray bytes;
        QStringList names;
    } cases[] = {
        // Semicolons, decimal commas, a heading and Windows-1252.
        {"Loft;Lat;Lon\r\n" + toWindows1252("Zoë Example;51,4778;-0,0015\r\n") +
             "Ann Sample;52,1;-1,25\r\n",
         {"Zoë Example", "Ann Sample"}},
        // Tabs, UTF-8 with a byte-order mark, no heading, a blank line.
        {"\xEF\xBB\xBFZoë Example\t51 28.668N\t0 0.09W\n\nAnn Sample\t52.1\t-1.25\n",
         {"Zoë Example", "Ann Sample"}},
        // Commas, a quoted name holding a comma and a quote, an extra column.
        {"name,latitude,longitude,notes\n\"Example, \"\"Zoë\"\"\",51.4778,-0.0015,x\n",
         {"Example, \"Zoë\""}},
    };
    for (const auto& c : cases) {
        const PlaceImport read = readPlaceCsv(c.bytes, 20);
        EXPECT_EQ(read.error, QString());
        QStringList names;
        for (const Place& p : read.places)
            names << p.name;
        EXPECT_EQ(names, c.names);
        ASSERT_FALSE(read.places.isEmpty());
        EXPECT_EQ(read.places[0].latitude, QString::fromUtf8("51°28'40.08\"N"));
        EXPECT_EQ(read.places[0].longitude, QString::fromUtf8("0°00'05.4\"W"));
    }
}

TEST(PlaceCsv, ABadLineImportsNothingAndIsNamed) {
    const PlaceImport read = readPlaceCsv("name,lat,lon\nAnn Sample,52.1,-1.25\n"
                                          "Bob Sample,95,1\nann sample,52,1\n"
                                          "A name much longer than twenty,52,1\nJust a name\n",
                                          20);
    EXPECT_TRUE(read.places.isEmpty());
    EXPECT_TRUE(read.error.startsWith("Nothing was imported, because 4 lines"))
        << read.error.toStdString();
    for (const char* says :
         {"Line 3: The latitude \"95\" lies outside", "Line 4: \"ann sample\" is in the file twice",
          "Line 5: the name \"A name much longer than twenty\" is longer",
          "Line 6: \"Just a name\" is not a name, a latitude and a longitude"})
        EXPECT_TRUE(read.error.contains(QString::fromUtf8(says))) << says;
}

namespace {

class WorkOutTest : public testing::Test {
protected:
    QString path() const { return dir.filePath("distances.mdb"); }

    // Three lofts and four race points; one member's loft has no
    // coordinates kept.
    void makeClub(const QVector<testsupport::Row>& rows) {
        makeDistanceDatabase(path(), rows);
        const PlaceLists lists = {
            {{"Ann Sample", "51.4778", "-0.0015"},
             {"Bob Example", "52.2053", "0.1218"},
             {"Cy Invented", "50.7192", "-1.8808"}},
            {{"Berwick", "55.7710", "-2.0054"},
             {"Rennes", "48.1173", "-1.6778"},
             {"Thurso", "58.5936", "-3.5221"},
             {"Ypres", "50.8503", "2.8851"}},
        };
        ASSERT_EQ(savePlaces(path(), {}, lists).outcome, WriteOutcome::Done);
        for (const Place& loft : lists.lofts)
            for (const Place& point : lists.racepoints)
                pairs << Pair{
                    coordinateDegrees(exact(qPrintable(loft.latitude), Axis::Latitude)),
                    coordinateDegrees(exact(qPrintable(loft.longitude), Axis::Longitude)),
                    coordinateDegrees(exact(qPrintable(point.latitude), Axis::Latitude)),
                    coordinateDegrees(exact(qPrintable(point.longitude), Axis::Longitude))};
    }

    // Miles, Yards and Sixtieths from geod's distance, by hand.
    QStringList expectedRow(int loft, int point, const char* name, const char* racepoint) {
        const qint64 yards = qint64(std::floor(geod[loft * 4 + point] / 0.9144 + 0.5));
        return {name, racepoint, QString::number(yards / 1760), QString::number(yards % 1760),
                QString::number(yards * 60)};
    }

    QTemporaryDir dir;
    QVector<Pair> pairs;
    QVector<double> geod;
};

} // namespace

TEST_F(WorkOutTest, WritesEveryPairAsOrdinaryRowsAndLeavesTheRestAlone) {
    makeClub({{"Dee Nocoords", "Berwick", "300", "5", "31680300"},
              {"ann sample", "berwick", "1", "1", "105660"},
              {"Bob Example", "Thurso", "0", "0", "0"}});
    geod = geodMetres(pairs);
    ASSERT_EQ(geod.size(), 12);
    // The same distance typed by hand needs no change.
    const QStringList right = expectedRow(1, 2, "Bob Example", "Thurso");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "hand");
        db.setDatabaseName(path());
        db.open();
        QSqlQuery(db).exec(QStringLiteral("UPDATE Distances SET Miles = '%1', Yards = '%2', "
                                          "Sixtieths = '%3' WHERE Name = 'Bob Example'")
                               .arg(right[2], right[3], right[4]));
        db.close();
    }
    QSqlDatabase::removeDatabase("hand");

    DistanceWorkOut workOut(path());
    WorkOutPlan plan;
    ASSERT_TRUE(workOut.plan(&plan)) << workOut.error().toStdString();
    EXPECT_EQ(plan.added, 10);
    EXPECT_EQ(plan.changed, 1);
    EXPECT_EQ(plan.unchanged, 1);
    const QStringList ann = expectedRow(0, 0, "ann sample", "berwick");
    EXPECT_EQ(plan.changedRows,
              QStringList{QStringLiteral("ann sample at berwick: 1 miles 1 yards, becomes %1 "
                                         "miles %2 yards")
                              .arg(ann[2], ann[3])});
    EXPECT_DOUBLE_EQ(plan.largestChange, ann[4].toDouble() / 60 - 1761);
    ASSERT_EQ(workOut.write(plan), WriteOutcome::Done);

    const QVector<QStringList> rows = distanceRows(path());
    ASSERT_EQ(rows.size(), 13);
    EXPECT_EQ(rows[0], (QStringList{"Dee Nocoords", "Berwick", "300", "5", "31680300"}));
    EXPECT_EQ(rows[1], ann);
    EXPECT_EQ(rows[2], right);
    const char* lofts[] = {"Ann Sample", "Bob Example", "Cy Invented"};
    const char* points[] = {"Berwick", "Rennes", "Thurso", "Ypres"};
    QVector<QStringList> added = rows.mid(3);
    for (int point = 0, i = 0; point < 4; ++point)
        for (int loft = 0; loft < 3; ++loft)
            if (!(loft == 0 && point == 0) && !(loft == 1 && point == 2)) {
                EXPECT_EQ(added[i++], expectedRow(loft, point, lofts[loft], points[point]));
            }

    // Worked out again, nothing is left to change.
    ASSERT_TRUE(workOut.plan(&plan));
    EXPECT_TRUE(plan.writes.isEmpty());
    EXPECT_EQ(plan.unchanged, 12);
}

TEST_F(WorkOutTest, NothingIsWrittenOverAChangeMadeSinceThePlan) {
    makeClub({});
    DistanceWorkOut workOut(path());
    WorkOutPlan plan;
    ASSERT_TRUE(workOut.plan(&plan));
    // Another writer (the distances editor, say) adds a row meanwhile.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "other");
        db.setDatabaseName(path());
        db.open();
        QSqlQuery(db).exec("INSERT INTO Distances VALUES ('Ann Sample','Ypres','1','2','105720')");
        db.close();
    }
    QSqlDatabase::removeDatabase("other");
    EXPECT_EQ(workOut.write(plan), WriteOutcome::Changed);
    EXPECT_EQ(distanceRows(path()).size(), 1);

    // Coordinates saved over lists that are no longer as they were read.
    const PlaceLists stored = readPlaces(path()).lists;
    EXPECT_EQ(savePlaces(path(), {}, {{{"Dee Sample", "50", "1"}}, {}}).outcome,
              WriteOutcome::Changed);
    EXPECT_EQ(readPlaces(path()).lists, stored);
}

TEST_F(WorkOutTest, AProcessKilledHalfWayWritesNothing) {
    makeDistanceDatabase(path(), {{"Kept Member", "Berwick", "1", "2", "105720"}});
    PlaceLists lists;
    for (int i = 0; i < 50; ++i)
        lists.lofts.push_back({QStringLiteral("Member %1").arg(i), QString::number(50 + i * 0.05),
                               QString::number(-3 + i * 0.04)});
    for (int i = 0; i < 40; ++i)
        lists.racepoints.push_back({QStringLiteral("Point %1").arg(i),
                                    QString::number(45 + i * 0.3), QString::number(-5 + i * 0.2)});
    ASSERT_EQ(savePlaces(path(), {}, lists).outcome, WriteOutcome::Done);
    const QByteArray before = testsupport::fileBytes(path());

    QProcess child;
    child.start(PELLAMY_TEST_CHILD, {"workout", dir.path()});
    ASSERT_TRUE(child.waitForReadyRead(20000)) << child.readAllStandardError().toStdString();
    EXPECT_EQ(child.readLine().trimmed(), "half");
    child.kill();
    child.waitForFinished();

    // The half-written transaction is rolled back when the file is next read.
    EXPECT_EQ(distanceRows(path()),
              (QVector<QStringList>{{"Kept Member", "Berwick", "1", "2", "105720"}}));
    EXPECT_EQ(testsupport::fileBytes(path()), before);
}

namespace {

class CoordinatesWindowTest : public testing::Test {
protected:
    void TearDown() override { testsupport::expectDialogsHandled(dialogs); }

    frmcoordinates* openFrom(frmdistances& editor) {
        control<QPushButton>(editor, "cmdCoordinates")->click();
        auto* window = editor.findChild<frmcoordinates*>();
        EXPECT_TRUE(window && window->isVisible());
        return window;
    }
    // Types into the cells as a user does: the cell's editor, then Enter.
    static void type(QTableWidget* list, int row, const QStringList& texts) {
        for (int column = 0; column < texts.size(); ++column) {
            list->setCurrentCell(row, column);
            const QModelIndex cell = list->model()->index(row, column);
            if (!list->indexWidget(cell))
                list->editItem(list->item(row, column));
            auto* editor = qobject_cast<QLineEdit*>(list->indexWidget(cell));
            ASSERT_TRUE(editor) << "no editor on row " << row << " column " << column;
            editor->selectAll();
            QTest::keyClicks(editor, texts[column]);
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents(); // Enter commits the cell from the event queue
        }
    }
    static QStringList row(QTableWidget* list, int row) {
        return {list->item(row, 0)->text(), list->item(row, 1)->text(), list->item(row, 2)->text()};
    }

    QTemporaryDir dir;
    ScriptedDialogService dialogs;
};

} // namespace

TEST_F(CoordinatesWindowTest, TypedAndImportedPlacesGiveDistancesTheEditorShows) {
    makeDistanceDatabase(dir.filePath("distances.mdb"));
    frmdistances editor(dir.path(), &dialogs);
    editor.show();
    frmcoordinates* w = openFrom(editor);
    ASSERT_TRUE(w);
    auto* lofts = control<QTableWidget>(*w, "lstLofts");
    auto* points = control<QTableWidget>(*w, "lstRacepoints");

    control<QPushButton>(*w, "cmdAddLoft")->click();
    type(lofts, 0, {"Ann Sample", "51 28.668N", "0.0015W"});
    EXPECT_EQ(row(lofts, 0), (QStringList{"Ann Sample", QString::fromUtf8("51°28'40.08\"N"),
                                          QString::fromUtf8("0°00'05.4\"W")}));
    // A coordinate that cannot be read is refused and the cell keeps its value.
    type(lofts, 0, {"Ann Sample", "51.4778X"});
    EXPECT_EQ(dialogs.messages().value(0).left(32), "The latitude \"51.4778X\" cannot b");
    EXPECT_EQ(lofts->item(0, 1)->text(), QString::fromUtf8("51°28'40.08\"N"));

    QFile csv(dir.filePath("points.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("Race point;Latitude;Longitude\nBerwick;55,7710;-2,0054\nYpres;50,8503;2,8851\n");
    csv.close();
    dialogs.answerFile(csv.fileName());
    control<QPushButton>(*w, "cmdImportRacepoints")->click();
    EXPECT_EQ(dialogs.messages().value(1),
              "From points.csv: 2 race points added, 0 given new coordinates. They are stored "
              "when you press Save.");
    EXPECT_EQ(points->rowCount(), 2);

    // Work out saves the lists first, then asks.
    dialogs.answerYesNo(true);
    control<QPushButton>(*w, "cmdWorkOut")->click();
    ASSERT_EQ(dialogs.shown().size(), 5); // the file chooser is one of them
    EXPECT_TRUE(dialogs.shown()[3].text.startsWith(
        "Worked out from the coordinates: 2 rows to add, 0 rows to change"));
    EXPECT_EQ(dialogs.shown()[4].text,
              "The distances have been written: 2 rows added, 0 rows changed.");
    EXPECT_FALSE(w->hasUnsavedChanges());
    EXPECT_EQ(readPlaces(dir.filePath("distances.mdb")).lists.racepoints.size(), 2);
    EXPECT_EQ(distanceRows(dir.filePath("distances.mdb")).size(), 2);
    // The editor, empty before, shows the rows written.
    EXPECT_EQ(control<QLineEdit>(editor, "txtFields(1)")->text(), "Berwick");

    // Closing with an unsaved change asks; No throws it away.
    lofts->setCurrentCell(0, 0);
    control<QPushButton>(*w, "cmdRemoveLoft")->click();
    dialogs.answerYesNo(false);
    control<QPushButton>(*w, "cmdClose")->click();
    EXPECT_EQ(dialogs.shown().last().text, "Save the changes you have made to the coordinates?");
    EXPECT_EQ(readPlaces(dir.filePath("distances.mdb")).lists.lofts.size(), 1);
}

TEST_F(CoordinatesWindowTest, AnIncompleteRowIsNotSaved) {
    makeDistanceDatabase(dir.filePath("distances.mdb"));
    frmcoordinates w(dir.filePath("distances.mdb"), &dialogs);
    ASSERT_TRUE(w.load());
    w.show();
    w.cmdAddRacepoint_Click();
    type(control<QTableWidget>(w, "lstRacepoints"), 0, {"Berwick", "55.771"});
    w.cmdSave_Click();
    EXPECT_EQ(dialogs.messages(),
              QStringList{"The race point \"Berwick\" has no longitude. Nothing has been saved."});
    EXPECT_TRUE(readPlaces(dir.filePath("distances.mdb")).lists.racepoints.isEmpty());
    w.closeWithoutSaving();
}
