#include "racefile/racefile.h"

#include "calc/raceentry.h"
#include "calc/worked_example.h"
#include "support/entries.h"

#include <QBuffer>

#include <tuple>

// Reads bytes as from a file, a piece of the given size at a time.
static RaceFileRead readInPieces(QByteArray bytes, qsizetype piece) {
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    return readRaceFile(file, piece);
}

// Read a piece at a time too, every entry holds the one copy of the race
// details, which keeps a large race small.
TEST(RaceFile, WritesOneRecordLineAndOneEmptyLinePerEntryAndReadsThemBack) {
    EXPECT_EQ(raceFileBytes(toRows({{"1", "A"}, {"2", "B"}})).bytes, "1, A\r\n\r\n2, B\r\n\r\n");
    EXPECT_EQ(raceFileBytes({}).bytes, QByteArray());

    const QVector<QStringList> race = {entry("A", "3"), entry("B", "2"), entry("C", "1")};
    RaceFileWrite written = raceFileBytes(toRows(race));
    EXPECT_TRUE(written.commaEntries.isEmpty());
    EXPECT_EQ(columnsOf(readRaceFile(written.bytes).entries), race);
    const RaceFileRead pieces = readInPieces(written.bytes, 50);
    ASSERT_EQ(columnsOf(pieces.entries), race);
    for (const RaceEntryRow& e : pieces.entries)
        EXPECT_EQ(e.text(Col::Comments).constData(),
                  pieces.entries[0].text(Col::Comments).constData());
}

// Text pasted from another program may hold characters no race file holds;
// a race file's lines have a greatest length. Either would make a file that
// does not open again.
TEST(RaceFile, WhatWouldNotOpenAgainIsWrittenAsBlanksOrRefused) {
    const QStringList pasted = entry("Fog\x0Cgrey\rlate", "1.0");
    QStringList longComment = entry("B", "2.0");
    longComment[Col::Comments] = QString(kLongestRaceFileLine, u'x');
    const RaceFileWrite written = raceFileBytes(toRows({pasted, longComment}));
    EXPECT_EQ(written.controlEntries, QVector<int>{1});
    EXPECT_EQ(written.tooLongEntries, QVector<int>{2});
    EXPECT_EQ(readRaceFile(raceFileBytes(toRows({pasted})).bytes).entries.value(0).text(Col::Name),
              "Fog grey late");
}

// A comment typed on two lines puts an LF inside every entry of a race
// file whose lines end in CR LF: its line ends were not changed. Such a
// comment reads back whole.
TEST(RaceFile, AnLfTypedInTheCommentsNeitherChangesLineEndsNorCutsAFileShort) {
    EXPECT_TRUE(hasBareLineFeeds("1, a\n\n2, b\n\n"));
    EXPECT_FALSE(hasBareLineFeeds("1, Fog\nlate\r\n\r\n2, Fog\nlate\r\n\r\n"));
    QStringList fog = entry("A", "1.0");
    fog[Col::Comments] = "Fog\nlate";
    const RaceFileWrite written = raceFileBytes(toRows({fog}));
    EXPECT_TRUE(written.controlEntries.isEmpty());
    EXPECT_EQ(columnsOf(readRaceFile(written.bytes).entries), QVector<QStringList>{fog});
    // Its last line end lost, the file is whole all the same.
    EXPECT_FALSE(endsPartWayThroughAnEntry(written.bytes.chopped(4)));
    EXPECT_FALSE(endsPartWayThroughAnEntry(written.bytes + " \t "));
    EXPECT_TRUE(endsPartWayThroughAnEntry(written.bytes.chopped(30)));
}

// Lines of so many fields each, joined by LF, and the fields of each line
// once the race's line ends are put right.
TEST(RaceFile, LineFeedsEndLinesButWithinTheComments) {
    const auto fields = [](int n) { return QByteArray(n - 1, ','); };
    const std::pair<QVector<int>, QVector<int>> cases[] = {
        {{39, 1, 39, 1}, {39, 1, 39, 1}},
        {{37, 3, 1, 37, 1, 3}, {39, 1, 39}}, // comments on two and three lines
        {{38, 3}, {40}},                     // a comma in the name too
        {{30, 30}, {30, 30}},                // short entries are no pieces
        {{5, 1, 39}, {5, 1, 39}},            // nor is a whole entry
    };
    for (const auto& [in, out] : cases) {
        QByteArrayList lines;
        for (int n : in)
            lines << fields(n);
        QVector<int> counts;
        for (const QByteArray& line : withRaceLineEnds(lines.join('\n')).split('\r'))
            counts << int(line.count(',')) + 1;
        EXPECT_EQ(counts, out) << testing::PrintToString(in);
    }
}

TEST(RaceFile, ReadsLinesAsTheFormatSays) {
    const std::tuple<const char*, QByteArray, QVector<QStringList>> cases[] = {
        {"blanks around fields are dropped", "1,  two  , three\r\n\r\n", {{"1", "two", "three"}}},
        {"a bare LF does not end a line", "1, a\nb, c\n2, d\n", {{"1", "a\nb", "c\n2", "d\n"}}},
        {"a bare CR ends a line", "1, a\r2, b", {{"1", "a"}, {"2", "b"}}},
        {"a line of spaces gives an empty entry", "   \r\n", {{""}}},
        {"empty lines give nothing", "\r\n\r\n\r\n", {}},
        {"an empty file gives nothing", "", {}},
        {"field 0 is taken as it stands", "7, x\r\n\r\n3, y\r\n", {{"7", "x"}, {"3", "y"}}},
        {"tabs are not blanks", "\t1\t, b\r\n", {{"\t1\t", "b"}}},
        {"a line an editor saved as UTF-8",
         "\uFEFF1, M\xC3\xBCller\r\n2, M\xFCller",
         {{"1", "M\u00fcller"}, {"2", "M\u00fcller"}}},
        {"Windows-1252 that is UTF-8 too", "1, REN\xC9\x92S", {{"1", "REN\u00c9\u2019S"}}},
        {"UTF-8 beyond Windows-1252",
         "\uFEFF1, \xC9\x92\r\n2, \xC5\x81ukasz",
         {{"1", "\u0252"}, {"2", "\u0141ukasz"}}},
        // Files written by another program.
        {"no blank after a comma", "1,Ann,987.5\r\n", {{"1", "Ann", "987.5"}}},
        {"an empty field", "1,,987.5\r\n", {{"1", "", "987.5"}}},
        {"blanks either side of a field", "1, Ann ,  987.5\r\n", {{"1", "Ann", "987.5"}}},
        {"the empty line between entries as a spreadsheet saves it",
         "1,Ann,987.5\r\n,,,,\r\n , ,\t\r\n2,Bo,955\r\n",
         {{"1", "Ann", "987.5"}, {"2", "Bo", "955"}}},
    };
    for (const auto& [what, bytes, entries] : cases) {
        EXPECT_EQ(columnsOf(readRaceFile(bytes).entries), entries) << what;
        // Read from a file in pieces of every size, a CR LF split between
        // two pieces included, it reads the same.
        for (qsizetype piece = 1; piece <= 5; ++piece)
            EXPECT_EQ(columnsOf(readInPieces(bytes, piece).entries), entries)
                << what << " in " << piece;
    }
}

// The bytes are Windows-1252 on every machine; a race holding a letter it
// has not is written in UTF-8 after its mark instead, and reads back whole,
// every line of it. A comma in a text would start a new field, so it is
// written as a semicolon and its entry reported.
TEST(RaceFile, TextsAreWrittenAsWindows1252WithCommasAsSemicolons) {
    QVector<QStringList> race = {entry(QString::fromUtf8("Müller, A."), "1.000"),
                                 entry("Bo", "1.000")};
    race[0][Col::Comments] = QString::fromUtf8("Prize €5, café");
    race[1][Col::Comments] = "Wet, windy, late";
    const RaceFileWrite written = raceFileBytes(toRows(race));
    EXPECT_TRUE(written.bytes.startsWith("c0, M\xfcller; A.,"));
    EXPECT_TRUE(written.bytes.contains("Prize \x80"
                                       "5; caf\xe9"));
    EXPECT_EQ(written.commaEntries, QVector<int>({1, 2}));

    race[1][Col::Name] = QString::fromUtf8("Łukasz 🐦 Пётр");
    const QByteArray unicode = raceFileBytes(toRows(race)).bytes;
    EXPECT_TRUE(unicode.startsWith("\uFEFFc0, Müller; A.,")); // after the UTF-8 mark
    QVector<QStringList> back = race;
    back[0][Col::Name] = QString::fromUtf8("Müller; A.");
    back[0][Col::Comments] = QString::fromUtf8("Prize €5; café");
    back[1][Col::Comments] = "Wet; windy; late";
    for (const RaceFileRead& read : {readRaceFile(unicode), readInPieces(unicode, 7)})
        EXPECT_EQ(columnsOf(read.entries), back);
    // So is Windows-1252 that would read back as other text: a file that
    // would start with the mark, a name that is UTF-8 too.
    QStringList awkward = entry(QString::fromUtf8("Å‚ Sample"), "1.000");
    awkward[Col::Pos] = QString::fromUtf8("ï»¿1");
    EXPECT_EQ(columnsOf(readRaceFile(raceFileBytes(toRows({awkward})).bytes).entries),
              QVector<QStringList>{awkward});
    // Its lines are measured in bytes, as they are read.
    race[1][Col::Comments] = QString(kLongestRaceFileLine / 2, u'Ł');
    EXPECT_EQ(raceFileBytes(toRows(race)).tooLongEntries, QVector<int>({2}));
}

TEST(RaceFile, RecordsWithTooManyFieldsKeepTheirFirst39AndReadingGoesOn) {
    QByteArray bytes = raceFileBytes(toRows({entry("A", "1.000")})).bytes;
    QByteArray longLine = raceFileBytes(toRows({entry("B", "2.000")})).bytes;
    longLine.replace("c36", "Wet, windy"); // written by another program
    bytes += longLine + raceFileBytes(toRows({entry("C", "3.000")})).bytes;
    const RaceFileRead read = readRaceFile(bytes);
    EXPECT_EQ(read.overlongEntries, QVector<int>({2}));
    QVector<QStringList> kept = {entry("A", "1.000"), entry("B", "2.000"), entry("C", "3.000")};
    kept[1][36] = "Wet", kept[1][37] = "windy", kept[1][38] = "c37";
    EXPECT_EQ(columnsOf(read.entries), kept);
    EXPECT_EQ(readInPieces(bytes, 3).overlongEntries, read.overlongEntries); // across pieces
}

TEST(RaceFile, SaysWhyBytesAreNoRaceFile) {
    const std::pair<QByteArray, const char*> cases[] = {
        {"1, A\r\n\r\n2, B\tC\r\n", ""},
        {QByteArray("1, A\0", 5), "holds bytes that are not text"},
        {"1, S\x01W", "holds bytes that are not text"},
        {"1, S\x7FW", "holds bytes that are not text"},
        {QByteArray("\xFF\xFE") + QByteArray("1\0,\0 \0A\0", 8), "is a Unicode (UTF-16) text file"},
        {"\xFE\xFF", "is a Unicode (UTF-16) text file"},
        {QByteArray(kLongestRaceFileLine, ',') + "\r\n" + QByteArray(kLongestRaceFileLine, ','),
         ""},
        {"Northfield Homing Society\r\n", "holds no race entries"},
        {"1, A\r\n" + QByteArray(38, ';') + "987,5\r\n",
         "holds its fields divided by semicolons, as a spreadsheet set for decimal commas saves "
         "it: please save it again with commas between the fields, or open the race as Pellamy "
         "saved it"},
        {"1\tA" + QByteArray(37, '\t') + "x\r\n",
         "holds its fields divided by tabs, as a spreadsheet saves text: please save it again as "
         "CSV, with commas between the fields, or open the race as Pellamy saved it"},
        {"\"1\"" + QByteArray(",\"a\"").repeated(38) + "\r\n",
         "holds its fields in double quotes, as a spreadsheet set to quote them saves it: please "
         "save it again without quotes, or open the race as Pellamy saved it"},
        {" \r\n\r\n", ""}, // an empty race, as an empty list saves
        {"", ""},
        {QByteArray(kLongestRaceFileLine + 1, 'x'), "has a line longer than 65536 characters"},
    };
    for (const auto& [bytes, says] : cases)
        EXPECT_EQ(notARaceFile(bytes), QString::fromLatin1(says)) << bytes.left(20).toStdString();
    // Pellamy's own file, its comments on two lines, the second a list whose commas were saved as
    // semicolons; as saved, and with the line ends an editor may leave.
    QStringList entry = workedExampleEntry();
    entry[Col::Comments] = "Pools paid:\n" + QStringList(39, "a").join(", ");
    const QByteArray saved = raceFileBytes(toRows({entry, entry})).bytes;
    EXPECT_EQ(notARaceFile(saved), "");
    EXPECT_EQ(notARaceFile(QByteArray(saved).replace("\r\n", "\n")), "");
}

TEST(RaceFile, ResultHeadingFromTheFirstEntry) {
    const QStringList first = workedExampleEntry();
    EXPECT_EQ(resultHeading(first),
              "Result for ..... Berwick     24/05/2006 19:45:12     12 Members"
              "     Sent 240  Birds     Liberated at 0800     Into a SW Wind");
    EXPECT_EQ(resultHeading(first.mid(0, 25)), "");
}
