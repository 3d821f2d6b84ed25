#include "season/season.h"
#include "season/seasonsheet.h"

#include "support/entries.h"

#include <gmock/gmock.h>

#include <QRegularExpression>

namespace {

class SeasonTest : public testing::Test {
protected:
    void SetUp() override {
        writeRace(dir.filePath("a.txt"), "Berwick", "02/05/2026 08:00:00",
                  {{"Ann Hale", "1200.000"},
                   {"Bo Finch", "1150.500"},
                   {"ann hale", "1100.000"},
                   {"Cy Dunn", "1000.000"}});
        writeRace(dir.filePath("b.txt"), "Thurso", "16/05/2026",
                  {{"Bo Finch", "1300.000"},
                   {"Cy Dunn", "1250.000"},
                   {"Ann  Hale", "1250.000"},
                   {"Dee Vast", "1E+300"},     // no velocity: not in the season
                   {"Eve Moss", "0000.000"}}); // not clocked: nor is this
        // Ann's first bird home is listed after her second (corrected by hand).
        writeRace(dir.filePath("c.txt"), "Lerwick", "09/05/2026",
                  {{"Cy Dunn", "0900.000"}, {"Ann Hale", "0800.000"}, {"Ann Hale", "0950.000"}});
        const auto bytes = [&](const char* name) { return fileBytes(dir.filePath(name)); };
        const auto put = [&](const char* f, const QByteArray& b) { writeFile(dir.filePath(f), b); };
        // Line ends changed on the way, comments typed on two lines: still a
        // race of three birds.
        put("c.txt", bytes("c.txt").replace("\r\n", "\n").replace("c36", "Fog\nlate"));
        put("d.txt", bytes("c.txt").replace("Cy", "Cy,"));
        // Cut short while it was copied: its last bird would go missing.
        put("e.txt", bytes("a.txt").chopped(60));
        const QByteArray lf = bytes("c.txt"); // and line ends changed
        put("f.txt", lf.left(lf.lastIndexOf("Ann Hale") + 3));
        QFile::copy(dir.filePath("a.txt"), dir.filePath("a copy.txt"));
        // Comments typed on two lines by a program that kept CR LF in them.
        put("h.txt", bytes("a.txt").replace("c36", "Fog\r\nlate"));
        QByteArray cut = bytes("a.txt"); // an edit gone wrong: Bo Finch's last field lost
        const qsizetype end = cut.indexOf("\r\n", cut.indexOf("Bo Finch"));
        const qsizetype last = cut.lastIndexOf(", ", end);
        put("g.txt", cut.remove(last, end - last));
        put("notes.txt", "Dear members, the dinner is on Friday\r\n");
        put("i.txt", bytes("b.txt").left(bytes("b.txt").indexOf('\r') - 60)); // its one bird cut
        put("photo.jpg", QByteArray("\xFF\xD8\xFF\x00JFIF", 8));
        put("j.txt", bytes("a.txt") + QByteArray(4096, '\0'));     // copied as the power went
        put("k.txt", QByteArray("\xFF\xFEn\0o\0", 6));             // Notepad's "Unicode"
        put("l.txt", "1, Bo Finch, 19-30-02, 19-30-00, 02, 19-0"); // cut in its first entry
        for (const char* name :
             {"a.txt", "b.txt", "notes.txt", "c.txt", "photo.jpg", "d.txt", "e.txt", "a copy.txt",
              "f.txt", "g.txt", "h.txt", "i.txt", "j.txt", "k.txt", "l.txt"})
            read << readSeasonRace(dir.filePath(name));
        leaveOutRepeatedRaces(read);
        races = seasonOrder(read);
    }

    QTemporaryDir dir;
    QVector<SeasonRace> read, races;
};

QStringList averages(const SeasonTable& table) {
    QStringList out;
    for (const AverageRow& row : table.averages)
        out << QStringLiteral("%1 %2 %3 %4")
                   .arg(row.place.text(), row.member, QString::number(row.racesClocked),
                        row.averageText());
    return out;
}

QStringList points(const SeasonTable& table) {
    QStringList out;
    for (const PointsRow& row : table.points) {
        QStringList each;
        for (int p : row.points)
            each << QString::number(p);
        out << QStringLiteral("%1 %2 %3 = %4")
                   .arg(row.place.text(), row.member, each.join(u'+'), QString::number(row.total));
    }
    return out;
}

} // namespace

TEST_F(SeasonTest, RacesAreReadInDateOrderAndFilesThatAreNotRacesSayWhy) {
    QStringList seen; // each race's point, date and birds counted
    for (const SeasonRace& race : races)
        seen << QStringLiteral("%1 %2 %3")
                    .arg(race.racepoint, race.date.toString(Qt::ISODate))
                    .arg(race.birds.size());
    ASSERT_EQ(seen,
              QStringList({"Berwick 2026-05-02 4", "Lerwick 2026-05-09 3", "Thurso 2026-05-16 3"}));
    EXPECT_EQ(races[2].note, "entry 4 (Dee Vast), entry 5 (Eve Moss) are not counted, having no "
                             "member or no velocity above nought");
    EXPECT_EQ(read[2].error, "is not a race file: its lines do not hold race entries");
    EXPECT_TRUE(read[4].error.startsWith("is not a race file: it ")) << read[4].error.toStdString();
    EXPECT_TRUE(read[5].error.startsWith("has more fields than a race entry holds in entry 1"));
    for (const int cut : {6, 8, 11, 14})
        EXPECT_TRUE(read[cut].error.startsWith("ends part-way through a line")) << cut;
    EXPECT_TRUE(read[12].error.startsWith("ends in bytes of nought"));
    EXPECT_EQ(read[13].error, "is not a race file: it is a Unicode (UTF-16) text file");
    EXPECT_EQ(read[7].error, "is the same race as " + QDir::toNativeSeparators(read[0].file));
    EXPECT_TRUE(read[9].error.startsWith("is cut short at its entry 2 (Bo Finch)"))
        << read[9].error.toStdString();
    EXPECT_EQ(read[10].error, read[7].error); // the same birds as a.txt
    // Lines of blanks (a tab left by a text editor), or of a position alone, hold no bird, first
    // or between birds; a file of them, as an empty list is saved, no race.
    const QString blanks = dir.filePath("m.txt");
    writeFile(blanks, " \t\r\n2\r\n" + fileBytes(read[0].file)
                                      .replace("\r\n\r\n", "\r\n\t\r\n")
                                      .replace("Cy Dunn", "Cy\nDunn")); // a name as kept by hand
    const SeasonRace withBlanks = readSeasonRace(blanks);
    EXPECT_EQ(withBlanks.error, "");
    EXPECT_EQ(QString::number(withBlanks.birds.size()) + withBlanks.racepoint, "4Berwick");
    writeFile(blanks, " \r\n\r\n");
    EXPECT_EQ(readSeasonRace(blanks).error, "holds no race entries");
    // No bird that counts (a file of other figures): left out. A race date that cannot be read:
    // counted, last, and said.
    writeRace(blanks, "Ayr", "02/05/2026", {{"Ann Hale", "0"}, {"", "900"}});
    EXPECT_TRUE(readSeasonRace(blanks).error.startsWith("holds no bird that can be counted"));
    writeRace(blanks, "Ayr", "Saturday", {{"Ann Hale", "900"}});
    EXPECT_EQ(readSeasonRace(blanks).note, "its race date \"Saturday\" cannot be read, so it "
                                           "stands after the races whose dates can");
    const QString backup = dir.filePath("backup.txt"); // not read into memory
    writeFile(backup, "");
    ASSERT_TRUE(QFile::resize(backup, kLargestRaceFile + 1));
    EXPECT_EQ(readSeasonRace(backup).error,
              "is not a race file: it is larger than any race file (512 MB)");

    // Entered again later that day, its birds in another order: the same race. Saved part-way
    // through the race, then again: counted, and noted. Its date put right in a copy, whole or
    // saved part-way: counted, and noted.
    QVector<SeasonRace> again = {read[0], read[0], read[0], read[0], read[0]};
    again[1].dateText = "02/05/2026 21:00:00", again[2].birds.removeLast();
    std::reverse(again[1].birds.begin(), again[1].birds.end()); // sorted otherwise
    again[3].date = again[3].date.addDays(7);
    again[4].date = again[3].date, again[4].birds.removeFirst();
    leaveOutRepeatedRaces(again);
    EXPECT_TRUE(again[1].error.startsWith("is the same race as"));
    EXPECT_EQ(again[2].error, "");
    EXPECT_EQ(again[2].note, "the same race point and day as a.txt: if it is the same race, "
                             "choose one");
    EXPECT_EQ(again[3].error, "");
    EXPECT_TRUE(again[3].note.startsWith("the same birds at the same velocities as a.txt, but"));
    EXPECT_TRUE(again[4].note.startsWith("3 of its birds at the same velocities as in a.txt, but"))
        << again[4].note.toStdString();
    // The same birds at other velocities (recalculated after a clock time
    // was put right): counted, and noted, never left out as a copy.
    QVector<SeasonRace> corrected = {read[0], read[0]};
    corrected[1].birds[0].thousandths += 1;
    leaveOutRepeatedRaces(corrected);
    EXPECT_EQ(corrected[1].error, "");
    EXPECT_TRUE(corrected[1].note.startsWith("the same race point and day as a.txt"));
}

// Worked by hand. Averages over every race, a missing race counting 0:
// Ann (1200 + 950 + 1250) / 3 = 1133.333, Cy (1000 + 900 + 1250) / 3 =
// 1050, Bo (1150.5 + 0 + 1300) / 3 = 816.833. Over races clocked, at least
// 2: Bo 2450.5 / 2 = 1225.25 first; at least 3 leaves Bo out.
TEST_F(SeasonTest, AveragesOverTheSeasonOrOverRacesClocked) {
    const SeasonTable every = seasonTable(races, {}, {});
    EXPECT_EQ(averages(every), QStringList({"1 Ann Hale 3 1133.333", "2 Cy Dunn 3 1050.000",
                                            "3 Bo Finch 2 816.833"}));
    EXPECT_EQ(every.mergedNames, QStringList({"“Ann Hale”, “ann hale”, “Ann  Hale”"}));
    // Written otherwise than letter case and spacing: two members, named.
    QVector<SeasonRace> dotted = races;
    dotted[2].birds.push_back({"Cy. Dunn", 900000});
    EXPECT_EQ(seasonTable(dotted, {}, {}).alikeNames, QStringList({"“Cy Dunn”, “Cy. Dunn”"}));
    EXPECT_TRUE(every.alikeNames.isEmpty());
    // A name put right part-way through the season: a slip of typing apart
    // (two in a long name), and never in one race. Named, and printed.
    const std::tuple<const char*, const char*, bool, bool> spelt[] = {
        {"J. Smith", "J. Smyth", false, true},
        {"Jo Smith", "Jo Smyth", true, false},
        {"Jo Smith", "Jo Simth", false, true},
        {"Jo Smith", "Jo Smiths", false, true},
        {"Al Hale", "Al Cole", false, false},
        {"A Smith", "J Smith", false, false},
        {"Smithers A", "Smithers J", false, false},
        {"T Hall", "T Hill", false, false},
        {"Di Fenwright & Son", "Di Fenwricht & Sons", false, true},
        {"Di Fenwright & Son", "Di Fenwricke & Son", false, false},
    };
    for (const auto& [before, after, together, named] : spelt) {
        QVector<SeasonRace> season(2);
        season[0].birds = {{before, 1000000}};
        season[1].birds = {{after, 1000000}};
        if (together)
            season[1].birds.push_back({before, 900000});
        const SeasonTable table = seasonTable(season, {}, {});
        EXPECT_EQ(table.alikeNames.size(), named ? 1 : 0) << before << " " << after;
        QString printed;
        for (const PrintLine& line : seasonSheet("Club", season, table, Competition::Points).lines)
            printed += line.text + u'\n';
        EXPECT_EQ(printed.contains(QStringLiteral("“%1”, “%2”").arg(before, after)), named)
            << after;
        EXPECT_FALSE(printed.contains("Counted as one member")) << after; // none merged
    }

    EXPECT_EQ(
        averages(seasonTable(races, {true, 2}, {})),
        QStringList({"1 Bo Finch 2 1225.250", "2 Ann Hale 3 1133.333", "3 Cy Dunn 3 1050.000"}));
    EXPECT_EQ(seasonTable(races, {true, 2}, {}).averagesRule,
              "Over the races clocked in, for members clocked in 2 races or more");
    EXPECT_EQ(averages(seasonTable(races, {true, 3}, {})),
              QStringList({"1 Ann Hale 3 1133.333", "2 Cy Dunn 3 1050.000"}));
    EXPECT_EQ(seasonTable(races, {true, 3}, {}).averagesRule,
              "Over the races clocked in, for members clocked in 3 races or more (1 member "
              "clocked in fewer than 3 races is not listed)");
    // A bird clocked before liberation has a velocity below nought.
    for (const auto& [sum, counted, text] :
         {std::tuple{-812345, 1, "-812.345"}, {-1625, 2, "-0.813"}, {1625, 2, "0.813"}}) {
        AverageRow row;
        row.sum = sum, row.racesCounted = counted;
        EXPECT_EQ(row.averageText(), text);
    }
}

// Every bird placed: Berwick Ann 10, Bo 9, ann 8, Cy 7; Lerwick Ann 10,
// Cy 9, Ann 8; Thurso Bo 10, Cy and Ann level at 9 each. First birds only
// (each member's fastest): at Berwick Cy is third (8), at Lerwick Ann wins.
// One point for second place only: Cy and Ann share it at Thurso, and the
// two level on the table are listed by name.
TEST_F(SeasonTest, PointsForPlacesWithTiesShownAsTies) {
    EXPECT_EQ(
        points(seasonTable(races, {}, {})),
        QStringList({"1 Ann Hale 18+18+9 = 45", "2 Cy Dunn 7+9+9 = 25", "3 Bo Finch 9+0+10 = 19"}));
    EXPECT_EQ(
        points(seasonTable(races, {}, {{10, 9, 8, 7, 6, 5, 4, 3, 2, 1}, true})),
        QStringList({"1 Ann Hale 10+10+9 = 29", "2 Cy Dunn 8+9+9 = 26", "3 Bo Finch 9+0+10 = 19"}));
    EXPECT_EQ(
        points(seasonTable(races, {}, {{0, 1}, true})),
        QStringList({"1 Cy Dunn 0+1+1 = 2", "2= Ann Hale 0+0+1 = 1", "2= Bo Finch 1+0+0 = 1"}));

    QString error;
    EXPECT_EQ(readPointsList(" 10, 9 8;7 0", &error), QVector<int>({10, 9, 8, 7, 0}));
    for (const char* slip : {"nine", "2000000000", "-1"}) {
        EXPECT_TRUE(readPointsList(QStringLiteral("10 %1").arg(slip), &error).isEmpty());
        EXPECT_THAT(error.toStdString(), testing::HasSubstr(slip + std::string("\" is not one")));
    }
}

// A season too long for one table across the paper is printed in several, each within the page,
// with every race and each member's average in each.
TEST(SeasonSheet, ALongSeasonIsPrintedInTablesThatFitThePaper) {
    for (const int count : {3, 10, 28, 30, 60}) {
        SCOPED_TRACE(count);
        QVector<SeasonRace> races(count);
        for (int i = 0; i < count; ++i)
            races[i].racepoint = "Point %4 by Long Sands Bay",
            races[i].birds = {{"Ann Hale", 1000000 + i},
                              {"Partnership Hale & Finch of Long Sands Senior", 1},
                              {"Partnership Hale & Finch of Long Sands Junior", 2}};
        const SeasonTable table = seasonTable(races, {}, {});
        const PrintDocument sheet = seasonSheet("Rose, Crown and Anchor Homing Society Flying Club",
                                                races, table, Competition::Averages);
        const double across = sheet.orientation == QPageLayout::Portrait ? 180 : 267;
        QString headings;
        int tables = 0, rows = 0, partners = 0; // printed apart, not cut alike
        for (const PrintLine& line : sheet.lines) {
            if (line.role == PrintLine::Role::Plain && !line.centred)
                continue;
            EXPECT_LE(line.text.size() * 0.6 * line.points * 25.4 / 72, across + 1e-9);
            // A heading goes over the page with its first row; the rows each alone.
            EXPECT_EQ(line.keepWithNext, line.role == PrintLine::Role::Heading);
            if (line.role == PrintLine::Role::Heading && line.text.contains("Member"))
                headings += line.text, ++tables;
            if (line.role == PrintLine::Role::Row)
                rows += line.text.endsWith(table.averages[0].averageText()),
                    partners += line.text.contains("Partnership Hale & Finch of Long Sands J");
        }
        for (int i = 1; i <= count; ++i)
            EXPECT_TRUE(headings.contains(QRegularExpression(QStringLiteral("Race %1\\b").arg(i))))
                << i;
        EXPECT_EQ(rows, tables);
        EXPECT_EQ(partners, tables);
        EXPECT_EQ(tables > 1, count > 13);
        EXPECT_TRUE(std::any_of(sheet.lines.begin(), sheet.lines.end(), [](const PrintLine& l) {
            return l.text.startsWith("   1  Point %4 by Long Sands Bay ") &&
                   l.text.endsWith("  3 birds");
        }));
    }
}
