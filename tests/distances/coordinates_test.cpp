// Distances from coordinates: the coordinate forms, the geodesic against
// PROJ's geod, the CSV import, the work-out and its writing, and the window.
#include "distances/coordinates.h"
#include "distances/editor/frmcoordinates.h"
#include "distances/editor/frmdistances.h"
#include "distances/geodesic.h"
#include "distances/placecsv.h"
#include "distances/workout.h"

#include "calc/windows1252.h"
#include "support/dialogcheck.h"
#include "support/distancedb.h"

#include <gmock/gmock.h>

#include <QSqlQuery>

#include <cmath>
#include <tuple>

namespace {

using testing::AllOf, testing::HasSubstr, testing::StartsWith;
constexpr Axis La = Axis::Latitude, Lo = Axis::Longitude;

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
        geod.write(QString::asprintf("%.17g %.17g %.17g %.17g\n", p.lat1, p.lon1, p.lat2, p.lon2)
                       .toLatin1());
    geod.closeWriteChannel();
    geod.waitForFinished();
    QVector<double> metres;
    for (const QByteArray& line : geod.readAllStandardOutput().trimmed().split('\n'))
        metres << line.simplified().split(' ').last().toDouble();
    EXPECT_EQ(metres.size(), pairs.size());
    return metres;
}

} // namespace

TEST(Geodesic, AgreesWithProjGeodToTheMillimetre) {
    ASSERT_TRUE(geodesicAvailable());
    // clang-format off
    const QVector<Pair> pairs = {
        {51.4778, -0.0015, 51.4923, -0.0015}, {51.4778, -0.0015, 51.4778, 0.0217}, // a mile N, E
        {50.1234, -5.5432, 58.6012, -3.0231}, {45.76, 4.84, 36.72, -4.42}, // Caithness; 1,000 miles
    };
    // clang-format on
    const QVector<double> reference = geodMetres(pairs);
    for (int i = 0; i < pairs.size(); ++i) {
        const auto [lat1, lon1, lat2, lon2] = pairs[i];
        EXPECT_NEAR(*geodesicMetres(lat1, lon1, lat2, lon2), reference.value(i), 0.0005) << i;
    }
}

TEST(Coordinates, EveryFormReadsExactlyAndShowsInOneForm) {
    // The last two have more places than a nano-arcsecond holds: rounded to one.
    // clang-format off
    const std::tuple<const char*, Axis, const char*> cases[] = {
        {"51.4778", La, "51°28'40.08\"N"},       {"-0.0015", Lo, "0°00'05.4\"W"},
        {"51 28.668N", La, "51°28'40.08\"N"},    {"N 51° 28.668'", La, "51°28'40.08\"N"},
        {"51:28:40.1N", La, "51°28'40.1\"N"},    {"51°28'40.1\"N", La, "51°28'40.1\"N"},
        {"0°0'5.3\"W", Lo, "0°00'05.3\"W"},      {"51°28′40.1″ n", La, "51°28'40.1\"N"},
        {"51,4778", La, "51°28'40.08\"N"},       {"s33 52 7,2", La, "33°52'07.2\"S"},
        {"W 2 30", Lo, "2°30'00\"W"},            {"+1.5", Lo, "1°30'00\"E"},
        {"-180", Lo, "180°00'00\"W"},            {"90", La, "90°00'00\"N"},
        {"0", La, "0°00'00\"N"},                {"51°28’40.1’’N", La, "51°28'40.1\"N"},
        {"51.123456789012", La, "51°07'24.444440443\"N"},
        {"51.999999999999999999", La, "52°00'00\"N"}, {"51 59 59.9999999995N", La, "52°00'00\"N"},
        {"51.12345678901", La, "51°07'24.444440436\"N"},
    };
    // clang-format on
    for (const auto& [text, axis, shownAs] : cases) {
        const CoordinateReading r = readCoordinate(QString::fromUtf8(text), axis);
        ASSERT_TRUE(r.nanoArcseconds) << text << ": " << r.error.toStdString();
        const QString shown = coordinateText(*r.nanoArcseconds, axis);
        EXPECT_EQ(shown, QString::fromUtf8(shownAs)) << text;
        EXPECT_EQ(readCoordinate(shown, axis).nanoArcseconds, r.nanoArcseconds) << text;
    }
    EXPECT_DOUBLE_EQ(coordinateDegrees(*readCoordinate("-0.0015", Lo).nanoArcseconds), -0.0015);
}

TEST(Coordinates, WhatCannotBeReadIsRefusedQuotingIt) {
    // clang-format off
    const std::tuple<const char*, Axis, const char*> cases[] = {
        {"91", La, "lies outside 90°S to 90°N"},   {"90 0 0.1", La, "lies outside"},
        {"180.0001", Lo, "lies outside 180°W to 180°E"},
        {"51.2E", La, "is marked E"},              {"2.5N", Lo, "is marked N"},
        {"51 60 00", La, "minutes of 60 or more"}, {"51 28 60", La, "seconds of 60 or more"},
        {"-51 N", La, "both a sign and N"},        {"51,28,40", La, "cannot be read"},
        {"51,5.2", La, "cannot be read"},          {"51.5 30", La, "cannot be read"},
        {"51\"28'", La, "cannot be read"},         {"51.4.5", La, "cannot be read"},
        {"fifty one", La, "cannot be read"},       {"1234", Lo, "cannot be read"},
        {"51::40", La, "cannot be read"},          {"51:", La, "cannot be read"},
    };
    // clang-format on
    for (const auto& [text, axis, says] : cases) {
        const CoordinateReading r = readCoordinate(QString::fromUtf8(text), axis);
        EXPECT_FALSE(r.nanoArcseconds) << text;
        EXPECT_THAT(r.error.toStdString(),
                    AllOf(HasSubstr(says), HasSubstr('"' + std::string(text) + '"')));
    }
    EXPECT_EQ(readCoordinate("  ", La).error, "The latitude is empty.");
}

TEST(PlaceCsv, FindsSeparatorHeadingAndCharacterSet) {
    const Place zoe = {"Zoë Example", "51°28'40.08\"N", "0°00'05.4\"W"};
    const Place ann = {"Ann Sample", "52°06'00\"N", "1°15'00\"W"};
    const std::pair<QByteArray, QVector<Place>> cases[] = {
        // Semicolons, decimal commas, a heading and Windows-1252.
        {"Loft;Lat;Lon\r\n" + toWindows1252("Zoë Example;51,4778;-0,0015\r\n") +
             "Ann\xA0Sample;52,1;-1,25\r\n", // a non-breaking space: a blank
         {zoe, ann}},
        // Tabs, UTF-8 with a byte-order mark, no heading, a blank line, the
        // last line a tab and no line end.
        {"\xEF\xBB\xBFZoë Example\t51 28.668N\t0 0.09W\n\nAnn Sample\t52.1\t-1.25\t", {zoe, ann}},
        // Commas, a quoted name holding a comma and a quote, an extra column,
        // a spreadsheet's emptied row.
        {"name,latitude,longitude,notes\n\"Example, \"\"Zoë\"\"\",51.4778,-0.0015,x\n,,,\n",
         {{"Example, \"Zoë\"", zoe.latitude, zoe.longitude}}},
        // UTF-16 with its mark, as spreadsheets save "Unicode text".
        {QByteArray("\xFF\xFE") + QByteArray(QStringEncoder(QStringEncoder::Utf16LE)(
                                      u"Zoë Example\t51.4778\t-0.0015\r\n")),
         {zoe}}};
    for (const auto& [bytes, expected] : cases) {
        const PlaceImport read = readPlaceCsv(bytes, 20);
        EXPECT_EQ(read.error, QString());
        EXPECT_EQ(read.places, expected);
    }
}

TEST(PlaceCsv, ABadLineImportsNothingAndIsNamed) {
    const PlaceImport read = readPlaceCsv("name,lat,lon\nAnn Sample,52.1,-1.25\nBob Sample,95,1\n"
                                          "ann sample,52,1\nA name much longer than twenty,52,1\n"
                                          "Just a name\n\"Cy\nSample\",52,1\n",
                                          20);
    EXPECT_TRUE(read.places.isEmpty());
    EXPECT_TRUE(read.error.startsWith("Nothing was imported, because 5 lines"))
        << read.error.toStdString();
    for (const char* says :
         {"Line 3: The latitude \"95\" lies outside", "Line 4: \"ann sample\" is in the file twice",
          "Line 5: the name \"A name much longer than twenty\" is longer",
          "Line 6: \"Just a name\" is not a name, a latitude and a longitude",
          "Line 7: the name \"Cy Sample\" holds a line break"})
        EXPECT_TRUE(read.error.contains(QString::fromUtf8(says))) << says;
    // A first line whose figures do not read is a fault, not a heading; and
    // decimal commas left unquoted in a comma-separated file are refused.
    EXPECT_THAT(readPlaceCsv("Ann Sample,95.1,-1.25\nBob Sample,52.1,-1\n", 20).error.toStdString(),
                HasSubstr("Line 1: The latitude \"95.1\""));
    EXPECT_THAT(readPlaceCsv("Ann Sample,,\nBob Sample,52.1,-1\n", 20).error.toStdString(),
                HasSubstr("Line 1: The latitude is empty."));
    EXPECT_THAT(readPlaceCsv("Ann Sample,?,?\nBob Sample,52.1,-1\n", 20).error.toStdString(),
                HasSubstr("Line 1: The latitude \"?\""));
    // A quote never closed, in a column not read, would take the lines after it.
    EXPECT_THAT(readPlaceCsv("Ann Sample,51.5,-1.25\n\nBob,52,-1,\"big loft\nCy,53,-1\n", 20)
                    .error.toStdString(),
                HasSubstr("line 3 of the file opens a double quote that is never closed"));
    // Rows of only a latitude and longitude: the first is no heading either.
    EXPECT_THAT(readPlaceCsv("52\t1E\n53\t2E\n", 20, "the rows pasted").error.toStdString(),
                AllOf(HasSubstr("because 2 lines of the rows pasted"), HasSubstr("Line 1: ")));
    // A heading alone is said, not taken as no places to import.
    EXPECT_EQ(readPlaceCsv("Name,Latitude,Longitude\n", 20).error,
              "There are no places in the file, only a heading: \"Name,Latitude,Longitude\".");
    // A heading with the longitude first is refused, not read the wrong way.
    EXPECT_EQ(readPlaceCsv("Member;Long;Lat\nAnn Sample;-0,0015;51,4778\n", 20).error,
              "The heading \"Member;Long;Lat\" puts the longitude before the latitude. Please "
              "put the latitude in the second column and the longitude in the third. Nothing was "
              "imported.");
    for (const char* text : {"Name,X,Y\nAnn Sample,-0.0015,51.4778\n",
                             "Naam;Lengtegraad;Breedtegraad\nAnn Sample;-0,0015;51,4778\n"})
        EXPECT_THAT(readPlaceCsv(text, 20).error.toStdString(), StartsWith("The heading")) << text;
    for (const char* line :
         {"Ann Sample,51,5,-1,25", "Ann Sample,N51,5,W0,1", "Ann Sample,N51.5,W0,1",
          "Ann Sample,N51 30 00,5,W0 07 00,5", "Ann Sample,N51 28,W0 07,25",
          "Ann Sample,51.5N,0,1W", "Ann Sample,51,5N,0,1W"})
        EXPECT_THAT(readPlaceCsv(QByteArray(line) + "\n", 20).error.toStdString(),
                    HasSubstr("Line 1: \"" + std::string(line) +
                              "\" looks like coordinates with decimal commas"));
    // Quoted, or a column more that the heading names: read.
    for (const char* text : {"Ann Sample,\"51,4778\",\"0\",\"3\"\n",
                             "Name,Latitude,Longitude,Birds\nAnn Sample,N51:28:40,W0:00:05,17\n"})
        EXPECT_EQ(readPlaceCsv(text, 20).error, "") << text;
}

namespace {

class WorkOutTest : public FolderTest {
protected:
    // Three lofts and four race points, with the distances of the twelve
    // pairs from geod; one member's loft has no coordinates kept.
    void makeClub(const QVector<Row>& rows) {
        makeDistanceDatabase(path(), rows);
        ASSERT_EQ(savePlaces(path(), {}, lists).outcome, WriteOutcome::Done);
        QVector<Pair> pairs;
        for (const Place& l : lists.lofts)
            for (const Place& p : lists.racepoints)
                pairs << Pair{l.latitude.toDouble(), l.longitude.toDouble(), p.latitude.toDouble(),
                              p.longitude.toDouble()};
        geod = geodMetres(pairs);
    }

    // The pair's row with Miles, Yards and Sixtieths from geod's distance, by
    // hand; under the names given, where the stored row spells them otherwise.
    QStringList expectedRow(int loft, int point, const char* name = {}, const char* at = {}) {
        const qint64 yards = qint64(std::floor(geod.value(loft * 4 + point) / 0.9144 + 0.5));
        return {name ? name : lists.lofts[loft].name, at ? at : lists.racepoints[point].name,
                QString::number(yards / 1760), QString::number(yards % 1760),
                QString::number(yards * 60)};
    }

    const PlaceLists lists = {
        {{"Ann Sample", "51.4778", "-0.0015"},
         {"Bob Example", "52.2053", "0.1218"},
         {"Cy Invented", "50.7192", "-1.8808"}},
        {{"Berwick", "55.7710", "-2.0054"},
         {"Rennes", "48.1173", "-1.6778"},
         {"Thurso", "58.5936", "-3.5221"},
         {"Ypres", "50.8503", "2.8851"}},
    };
    QVector<double> geod;
};

} // namespace

TEST_F(WorkOutTest, WritesEveryPairAsOrdinaryRowsAndLeavesTheRestAlone) {
    makeClub({{"Dee Nocoords", "Berwick", "300", "5", "31680300"},
              {"ann sample ", "berwick", "1", "1", "105660"},
              {"Bob Example", "Thurso", "0", "0", "0"},
              {"Cy. Invénted", "Berwick", "1", "0", "105600"},
              {"Dee Nocoords", "Y-Pres", "1", "0", "105600"}});
    // The same distance typed by hand needs no change. It is typed while another program reads the
    // file in write-ahead mode, so that it stands in the file's log, not yet in distances.mdb.
    SqlConnection other(path(), "other");
    for (const char* statement : {"PRAGMA journal_mode=WAL", "BEGIN", "SELECT * FROM Distances"})
        ASSERT_TRUE(QSqlQuery(other.db).exec(statement)) << statement;
    const QStringList right = expectedRow(1, 2);
    execSql(path(), "UPDATE Distances SET Miles = '" + right[2] + "', Yards = '" + right[3] +
                        "', Sixtieths = '" + right[4] + "' WHERE Name = 'Bob Example'");

    DistanceWorkOut workOut(path());
    WorkOutPlan plan;
    ASSERT_TRUE(workOut.plan(&plan)) << workOut.error().toStdString();
    EXPECT_EQ(QVector<int>({plan.added, plan.changed, plan.unchanged}), QVector<int>({10, 1, 1}));
    // Named, so that a loft spelt otherwise than its member's rows is seen.
    EXPECT_EQ(plan.newNames, QStringList({"Cy Invented", "Rennes", "Ypres"}));
    EXPECT_EQ(plan.besideAlike, QStringList{"Cy Invented at Berwick (beside Cy. Invénted)"});
    EXPECT_EQ(plan.pointsAlike, QStringList{"Ypres (beside Y-Pres)"});
    EXPECT_EQ(QString::number(plan.longestYards * 60) + " " + plan.longestPair,
              expectedRow(2, 2)[4] + " Cy Invented at Thurso");
    const QStringList ann = expectedRow(0, 0, "ann sample ", "berwick");
    EXPECT_EQ(plan.changedRows, QStringList{"ann sample  at berwick: 1 mile 1 yard, becomes " +
                                            ann[2] + " miles " + ann[3] + " yards"});
    EXPECT_DOUBLE_EQ(plan.largestChange.value_or(0), ann[4].toDouble() / 60 - 1761);
    const QVector<QStringList> typed = distanceRows(path());
    ASSERT_EQ(workOut.write(plan), WriteOutcome::Done);
    // The distances typed by hand are kept in a file of their own.
    EXPECT_EQ(workOut.keptAs(), "distances-before-workout.mdb");
    EXPECT_EQ(distanceRows(dir.filePath(workOut.keptAs())), typed);

    // The new rows follow, race point by race point, spelt as the member's other rows are.
    QVector<QStringList> rows = {{"Dee Nocoords", "Berwick", "300", "5", "31680300"},
                                 ann,
                                 right,
                                 {"Cy. Invénted", "Berwick", "1", "0", "105600"},
                                 {"Dee Nocoords", "Y-Pres", "1", "0", "105600"}};
    for (int point = 0; point < 4; ++point)
        for (int loft = 0; loft < 3; ++loft)
            if (!(loft == 0 && point == 0) && !(loft == 1 && point == 2))
                rows << expectedRow(loft, point, loft == 0 ? "ann sample " : nullptr);
    EXPECT_EQ(distanceRows(path()), rows);

    // Worked out again, nothing is left to change.
    ASSERT_TRUE(workOut.plan(&plan));
    EXPECT_TRUE(plan.writes.isEmpty());
    EXPECT_EQ(plan.unchanged, 12);
    // Yards that disagree with the right Sixtieths are put right too: the
    // editor would work the Sixtieths out again from them.
    execSql(path(), "UPDATE Distances SET Yards = Yards + 27 WHERE rowid = 3");
    ASSERT_TRUE(workOut.plan(&plan));
    EXPECT_EQ(plan.changed, 1);
    EXPECT_EQ(plan.largestChange, 27);
    EXPECT_THAT(plan.changedRows.value(0).toStdString(), HasSubstr(": Sixtieths is"));
    // Written into distances.mdb itself, not left in the log beside it for a
    // kept copy put in its place to be overlaid with.
    QSqlQuery(other.db).exec("ROLLBACK");
    ASSERT_EQ(workOut.write(plan), WriteOutcome::Done);
    EXPECT_EQ(QFileInfo(path() + "-wal").size(), 0);
    // A row left empty is filled, not said to change by nought yards.
    execSql(path(), "UPDATE Distances SET Miles = '', Yards = '', Sixtieths = '' WHERE rowid = 3");
    ASSERT_TRUE(workOut.plan(&plan));
    EXPECT_EQ(plan.changedRows.size(), 1);
    EXPECT_EQ(plan.largestChange, std::nullopt);
}

TEST_F(WorkOutTest, NothingIsWrittenOverAChangeMadeSinceThePlan) {
    makeClub({});
    DistanceWorkOut workOut(path());
    WorkOutPlan plan;
    ASSERT_TRUE(workOut.plan(&plan));
    // Another writer (the distances editor, say) adds a row meanwhile.
    execSql(path(), "INSERT INTO Distances VALUES ('Ann Sample','Ypres','1','2','105720')");
    EXPECT_EQ(workOut.write(plan), WriteOutcome::Changed);
    EXPECT_EQ(distanceRows(path()).size(), 1);

    // Coordinates saved over lists that are no longer as they were read.
    const PlaceLists stored = readPlaces(path()).lists;
    EXPECT_EQ(savePlaces(path(), {}, {{{"Dee Sample", "50", "1"}}, {}}).outcome,
              WriteOutcome::Changed);
    EXPECT_EQ(readPlaces(path()).lists, stored);
}

// Tables made by hand in another case (lofts, RACEPOINTS) are the tables
// Pellamy keeps: read, and added to, never emptied as if not there.
TEST_F(WorkOutTest, TablesNamedInAnotherCaseAreRead) {
    makeDistanceDatabase(path());
    execSql(path(), "CREATE TABLE lofts (Name TEXT, Latitude TEXT, Longitude TEXT)");
    execSql(path(), "CREATE TABLE RACEPOINTS (Racepoint TEXT, Latitude TEXT, Longitude TEXT)");
    execSql(path(), "INSERT INTO lofts VALUES ('Ann Sample', '51.5', '0')");
    execSql(path(), "INSERT INTO RACEPOINTS VALUES ('Berwick', '55.8', '-2')");
    PlaceLists lists = readPlaces(path()).lists;
    EXPECT_EQ(lists, (PlaceLists{{{"Ann Sample", "51.5", "0"}}, {{"Berwick", "55.8", "-2"}}}));
    const PlaceLists before = lists;
    lists.lofts.push_back({"Bob Example", "52", "0"});
    ASSERT_EQ(savePlaces(path(), before, lists).outcome, WriteOutcome::Done);
    EXPECT_EQ(readPlaces(path()).lists, lists);
    // A loft typed there whose longitude cannot be read is named, and given no distance.
    execSql(path(), "INSERT INTO lofts VALUES ('Cy Sample', '52', 'east')");
    DistanceWorkOut workOut(path());
    WorkOutPlan plan;
    ASSERT_TRUE(workOut.plan(&plan)) << workOut.error().toStdString();
    EXPECT_THAT(plan.unreadable.join('|').toStdString(),
                StartsWith("The loft of Cy Sample (The longitude \"east\" cannot be read."));
    EXPECT_EQ(plan.added, 2);
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
    const QByteArray before = fileBytes(path());

    QProcess child;
    child.start(PELLAMY_TEST_CHILD, {"workout", dir.path()});
    ASSERT_TRUE(child.waitForReadyRead(20000)) << child.readAllStandardError().toStdString();
    EXPECT_EQ(child.readLine().trimmed(), "half");
    child.kill();
    child.waitForFinished();

    // The half-written transaction is rolled back when the file is next read.
    EXPECT_EQ(distanceRows(path()),
              (QVector<QStringList>{{"Kept Member", "Berwick", "1", "2", "105720"}}));
    EXPECT_EQ(fileBytes(path()), before);
}

namespace {

class CoordinatesWindowTest : public DialogTest {
protected:
    // Types into the cells as a user does: the cell's editor, then Enter.
    static void type(QTableWidget* list, int row, const QStringList& texts) {
        for (int column = 0; column < texts.size(); ++column) {
            QLineEdit* editor = openCell(list, row, column);
            ASSERT_TRUE(editor) << "no editor on row " << row << " column " << column;
            editor->selectAll();
            QTest::keyClicks(editor, texts[column]);
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents(); // Enter commits the cell from the event queue
        }
    }

    // The cell's editor, opened as a double-click does (or the one open there).
    static QLineEdit* openCell(QTableWidget* list, int row, int column) {
        list->setCurrentCell(row, column);
        list->editItem(list->item(row, column));
        return qobject_cast<QLineEdit*>(list->indexWidget(list->currentIndex()));
    }

    // The texts of the list's cells, row by row.
    static QVector<QStringList> rows(const QTableWidget* list) {
        QVector<QStringList> rows(list->rowCount());
        for (int row = 0; row < list->rowCount(); ++row)
            for (int column = 0; column < list->columnCount(); ++column)
                rows[row] << list->item(row, column)->text();
        return rows;
    }
};

} // namespace

TEST_F(CoordinatesWindowTest, TypedAndImportedPlacesGiveDistancesTheEditorShows) {
    makeDistanceDatabase(path());
    frmdistances editor(dir.path(), &dialogs);
    editor.show();
    control<QPushButton>(editor, "cmdCoordinates")->click();
    auto* w = editor.findChild<frmcoordinates*>();
    ASSERT_TRUE(w && w->isVisible());
    auto* lofts = control<QTableWidget>(*w, "lstLofts");
    const auto button = [&](const char* name) { control<QPushButton>(*w, name)->click(); };

    button("cmdAddLoft");
    type(lofts, 0, {"Ann Sample", "51 28.668N", "0.0015W"});
    const QString lat = "51°28'40.08\"N", lon = "0°00'05.4\"W";
    EXPECT_EQ(rows(lofts), QVector<QStringList>({{"Ann Sample", lat, lon}}));

    writeFile(dir.filePath("points.csv"),
              "Race point;Latitude;Longitude\nBerwick;55,7710;-2,0054\nYpres;50,8503;2,8851\n");
    dialogs.answerFile(dir.filePath("points.csv"));
    button("cmdImportRacepoints");
    EXPECT_EQ(onlyMessage(dialogs.messages()),
              "From points.csv: 2 race points added, 0 given new coordinates. The first line, "
              "\"Race point;Latitude;Longitude\", was read as a heading. They are stored when "
              "you press Save.");

    // Work out saves the lists first, then asks; a row to go beside a
    // member or race point written almost alike is named, and Enter alone says No.
    execSql(path(), "INSERT INTO Distances VALUES ('Ann. Sample', 'Berwick', '1', '0', '105600'), "
                    "('Bo Invented', 'Y. pres', '1', '0', '105600')");
    dialogs.answerYesNo(true);
    button("cmdWorkOut");
    ASSERT_EQ(dialogs.shown().size(), 4); // the file chooser is one of them
    EXPECT_TRUE(dialogs.shown()[2].text.startsWith(
        "Worked out from the coordinates: 2 rows to add, 0 rows to change"));
    EXPECT_THAT(dialogs.shown()[2].text.toStdString(),
                AllOf(HasSubstr("New to the distances (2 names)"),
                      HasSubstr("almost alike (1 row; check that none is that member under "
                                "another name):\nAnn Sample at Berwick (beside Ann. Sample)\n"),
                      HasSubstr("race point under another name):\nYpres (beside Y. pres)\n")));
    EXPECT_EQ(dialogs.noByDefault(), QStringList{dialogs.shown()[2].text});
    EXPECT_EQ(dialogs.shown()[3].text,
              "The distances have been written: 2 rows added, 0 rows changed.");
    EXPECT_FALSE(w->hasUnsavedChanges());
    EXPECT_EQ(control<QLineEdit>(editor, "txtFields(1)")->text(), "Berwick"); // the rows written
    // A distance typed by hand since is changed only on a Yes: Enter says No.
    // A pair typed twice is named: race night would refuse its birds.
    execSql(path(), "UPDATE Distances SET Yards = '1'");
    // (A name with a blank after it is another the calculator finds alone.)
    execSql(path(), "INSERT INTO Distances SELECT * FROM Distances WHERE Racepoint = 'Ypres' "
                    "UNION ALL SELECT Name || ' ', Racepoint, Miles, Yards, Sixtieths FROM "
                    "Distances WHERE Racepoint = 'Berwick'");
    dialogs.answerYesNo(false);
    button("cmdWorkOut");
    ASSERT_EQ(dialogs.shown().size(), 5); // the question alone
    EXPECT_EQ(dialogs.noByDefault().last(), dialogs.shown().last().text);
    EXPECT_THAT(dialogs.shown().last().text.toStdString(),
                HasSubstr("deleted in the distances editor:\nAnn Sample at Ypres\n\nWrite"));
    EXPECT_EQ(distanceRows(path()).value(0).value(3), "1");
    // Coordinates saved by another copy since are not worked out unseen.
    execSql(path(), "UPDATE Racepoints SET Latitude = '10' WHERE Racepoint = 'Ypres'");
    button("cmdWorkOut");
    ASSERT_EQ(dialogs.shown().size(), 6);
    EXPECT_TRUE(dialogs.shown().last().text.startsWith(
        "The coordinates have been changed by another window or another copy"));

    // Closing with an unsaved change asks; Cancel (Escape) stays, No throws it away.
    lofts->setCurrentCell(0, 0);
    button("cmdRemoveLoft");
    for (const std::optional<bool> answer : {std::optional<bool>(), std::optional<bool>(false)}) {
        dialogs.answerYesNoCancel(answer);
        button("cmdClose");
        EXPECT_EQ(dialogs.shown().size(), answer ? 8 : 7);
        EXPECT_EQ(dialogs.shown().last().text,
                  "Save the changes you have made to the coordinates?");
        EXPECT_EQ(w->isVisible(), !answer);
    }
    EXPECT_EQ(readPlaces(path()).lists.lofts.size(), 1);
}

TEST_F(CoordinatesWindowTest, AnIncompleteRowIsNotSaved) {
    makeDistanceDatabase(path());
    frmcoordinates w(path(), &dialogs);
    ASSERT_TRUE(w.load());
    w.show();
    w.cmdAddLoft_Click(); // left empty: nothing to keep, nothing refused
    EXPECT_FALSE(w.hasUnsavedChanges());
    w.cmdAddRacepoint_Click();
    type(control<QTableWidget>(w, "lstRacepoints"), 0, {"Berwick", "55.771"});
    w.cmdSave_Click();
    EXPECT_EQ(dialogs.messages(),
              QStringList{"The race point \"Berwick\" has no longitude. Nothing has been saved."});
    EXPECT_TRUE(readPlaces(path()).lists.racepoints.isEmpty());
    dialogs.clear();

    // Typed without Enter, then saved while the cell is still open (as by the
    // access key, which leaves the focus there): what is typed counts.
    auto* points = control<QTableWidget>(w, "lstRacepoints");
    QTest::keyClicks(openCell(points, 0, 2), "-2.0054");
    w.cmdSave_Click();
    EXPECT_EQ(readPlaces(path()).lists.racepoints.value(0).longitude, "2°00'19.44\"W");
    // One refused there stops the save: the rest is not stored as if it had been put right.
    w.cmdAddRacepoint_Click();
    type(points, 1, {"Ypres", "50.85", "2.885"});
    QTest::keyClicks(openCell(points, 0, 1), "95");
    w.cmdSave_Click();
    EXPECT_TRUE(takeMessage().startsWith("The latitude \"95\" lies outside"));
    EXPECT_EQ(readPlaces(path()).lists.racepoints.size(), 1);

    // A file far too large is not read; one that fails part-way is not imported in part.
    QFile huge(dir.filePath("backup.zip"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kLargestPlaceFile + 1));
    dialogs.answerFile(huge.fileName());
    w.cmdImportRacepoints_Click();
    EXPECT_EQ(takeMessage(),
              "backup.zip is far larger than a list of places (16 MB). Nothing was imported.");
    if (!QFile("/proc/self/mem").open(QIODevice::ReadOnly))
        GTEST_SKIP() << "/proc/self/mem cannot be opened here: a file whose read fails is wanted";
    dialogs.answerFile("/proc/self/mem");
    w.cmdImportRacepoints_Click();
    EXPECT_EQ(onlyMessage(dialogs.messages()),
              "mem could not be read whole (Input/output error). Nothing was imported.");
    w.closeWithoutSaving();
}

// Typed on as in a datasheet, the Tab after a longitude opens no other loft's name to be typed
// over, and a letter typed on the list finds a loft instead of renaming one.
TEST_F(CoordinatesWindowTest, TypingOnAfterALongitudeChangesNoOtherLoft) {
    makeDistanceDatabase(path());
    frmcoordinates w(path(), &dialogs);
    ASSERT_TRUE(w.load());
    w.show();
    auto* lofts = control<QTableWidget>(w, "lstLofts");
    w.cmdAddLoft_Click();
    for (const char* text : {"Ann Sample", "51.5", "0.1W", "Bo Example"}) {
        QWidget* editor = lofts->indexWidget(lofts->currentIndex());
        QTest::keyClicks(editor ? editor : lofts, text);
        QTest::keyClick(editor ? editor : lofts, Qt::Key_Tab);
    }
    const QString lat = "51°30'00\"N", lon = "0°06'00\"W";
    EXPECT_EQ(rows(lofts), QVector<QStringList>({{"Ann Sample", lat, lon}}));
    // Shift+Tab from a new loft's name opens no longitude above it.
    w.cmdAddLoft_Click();
    QTest::keyClick(lofts->indexWidget(lofts->currentIndex()), Qt::Key_Backtab);
    EXPECT_EQ(lofts->indexWidget(lofts->model()->index(0, 2)), nullptr);
    // A name pasted too long for the distances is refused whole, not cut.
    QLineEdit* name = openCell(lofts, 1, 0);
    ASSERT_TRUE(name);
    QGuiApplication::clipboard()->setText("Bo Example of Northfield");
    name->paste();
    EXPECT_EQ(name->text(), "");
    // A row copied from a spreadsheet fills the row from the cell it is
    // pasted into, all of it or, when a cell is refused, none of it.
    const std::tuple<int, const char*, QStringList, const char*> pastes[] = {
        {0, "Cy Instance\t52.25\t1.5E\r\n", {"Cy Instance", "52°15'00\"N", "1°30'00\"E"}, ""},
        {0, "Cy Instance of Northfield\t52.25", {"Ann Sample", lat, lon}, ""}, // name too long
        {1, "52.25\t1.5E\t\t\r\n", {"Ann Sample", "52°15'00\"N", "1°30'00\"E"}, ""},
        {0, "Dee Model\r\n", {"Dee Model", lat, lon}, ""},
        {0, "Cy Instance\t95\t1.5E", {"Ann Sample", lat, lon}, "The latitude \"95\" lies"},
        {0, "Bo Example\t52\t1E", {"Ann Sample", lat, lon}, "There is already a loft"},
        {1, "52\t1E\t7", {"Ann Sample", lat, lon}, "The row pasted has 3 cells, more than this"},
        {0, "Cy Instance\t52.25\t1.5E\tnotes", {"Cy Instance", "52°15'00\"N", "1°30'00\"E"}, ""},
        {0, "Ann Sample\t", {"Ann Sample", lat, lon}, ""}, // a stray tab empties nothing
        {1, "52.25\t", {"Ann Sample", "52°15'00\"N", lon}, ""},
        {1, "\t1E", {"Ann Sample", lat, "1°00'00\"E"}, ""}};
    type(lofts, 1, {"Bo Example"});
    for (const auto& [column, pasted, row, said] : pastes) {
        QLineEdit* cell = openCell(lofts, 0, column);
        ASSERT_TRUE(cell);
        cell->selectAll();
        QGuiApplication::clipboard()->setText(QString::fromUtf8(pasted));
        cell->paste();
        QTest::keyClick(cell, Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(rows(lofts).value(0), row) << pasted;
        const QStringList messages = dialogs.messages();
        EXPECT_EQ(messages.size(), *said ? 1 : 0) << pasted;
        EXPECT_EQ(messages.value(0).left(int(strlen(said))), QString(said)) << pasted;
        dialogs.clear();
        // Back to the row typed, for the next paste.
        type(lofts, 0, {"Ann Sample", "51.5", "0.1W"});
    }
    // Several rows are imported: the first new one into the empty row they
    // were pasted into, the rest at the end; pasted on the list too.
    w.cmdAddLoft_Click();
    QGuiApplication::clipboard()->setText("Eve Pattern\t53\t2W\r\nFay Figure\t54\t2W\r\n");
    qobject_cast<QLineEdit*>(lofts->indexWidget(lofts->currentIndex()))->paste();
    QTest::keyClick(lofts->indexWidget(lofts->currentIndex()), Qt::Key_Return);
    QCoreApplication::processEvents();
    QGuiApplication::clipboard()->setText("Eve Pattern\t50\t2W\nGus Sample\t51\t1W");
    QTest::keyClick(lofts, Qt::Key_V, Qt::ControlModifier);
    // One row pasted on the list goes into the current cell as into an open
    // one; a whole place on a place's name is matched by its name.
    const std::tuple<int, int, const char*> onTheList[] = {{3, 1, "52.45\t0.6W\n"},
                                                           {1, 1, "95\t1W"},
                                                           {1, 0, "Cy Instance of Northfield"},
                                                           {1, 0,
                                                            "Bo\xC2\xA0"
                                                            "Example\t"},
                                                           {0, 0, "Gus Sample\t51\t1W"}};
    for (const auto& [row, column, pasted] : onTheList) {
        lofts->setCurrentCell(row, column);
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(lofts, Qt::Key_V, Qt::ControlModifier);
    }
    EXPECT_EQ(dialogs.messages(),
              QStringList({"From the rows pasted: 2 lofts added, 0 given new coordinates. They "
                           "are stored when you press Save.",
                           "From the rows pasted: 1 loft added, 1 given new coordinates. They "
                           "are stored when you press Save.",
                           "The latitude \"95\" lies outside 90°S to 90°N. Nothing of the row "
                           "pasted has been kept.",
                           "The name \"Cy Instance of Northfield\" is longer than 20 characters.",
                           "From the rows pasted: 0 lofts added, 0 given new coordinates. They "
                           "are stored when you press Save."})); // Gus's are as pasted before
    EXPECT_EQ(rows(lofts), QVector<QStringList>({{"Ann Sample", lat, lon},
                                                 {"Bo Example", "", ""},
                                                 {"Eve Pattern", "50°00'00\"N", "2°00'00\"W"},
                                                 {"Fay Figure", "52°27'00\"N", "0°36'00\"W"},
                                                 {"Gus Sample", "51°00'00\"N", "1°00'00\"W"}}));
    w.closeWithoutSaving();
}
