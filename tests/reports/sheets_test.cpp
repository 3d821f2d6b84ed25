#include "reports/copies.h"
#include "reports/fieldpatterns.h"
#include "reports/sheets.h"

#include "calc/raceentry.h"
#include "sample_race.h"
#include "support/testing.h"

#include <tuple>

namespace {

QVector<RaceEntryRow> threeEntries() {
    QVector<QStringList> entries = {
        {"1", "J. Smith", "19-30-02", "19-30-00", "02", "19-00-10", "19-00-00", "06", "11-45-30",
         "03-45-22", "1176.859", "12", "345", "BB", "C", "GB06N12345", "150-1234", "P-N"},
        {"2", "A. Brown & Son", "19-31-00", "19-30-00", "60", "19-00-00", "19-00-00", "-04",
         "11-50-01", "03-50-05", "1100.500", "7", "88", "Y", "H", "GB06N999", "148-0880", "P"},
        {"3", "Christopher Montgomery-Smythe", "19-29-55", "19-30-00", "-05", "19-00-05",
         "19-00-00", "00", "12-01-00", "04-01-05", "0987.600", "", "", "", "", "NEHU2006X1234567",
         "150-0000", ""}};
    for (QStringList& e : entries)
        e += QStringList(kColumnCount - e.size(), "detail");
    return toRows(entries);
}

} // namespace

// Padded fields show in the sheets' whole lines; a date not of eight digits
// fills its places from the right, and a line goes on at its next print zone.
TEST(FieldPatterns, OddDatesAndPrintZones) {
    EXPECT_EQ(slashDate("txtdaterace"), "txtdate/ra/ce");
    EXPECT_EQ(slashDate("1234"), "  /12/34");
    for (auto [length, padded] :
         {std::pair{0, 14}, {7, 14}, {13, 14}, {14, 28}, {38, 42}, {55, 56}}) {
        QString line(length, u'x');
        toNextPrintZone(line);
        EXPECT_EQ(line.size(), padded) << length;
    }
}

TEST(Copies, BelowOneIsOneAndHalvesGoToEven) {
    // The text, then whether it is read, the count and whether the box is reset to 1.
    // clang-format off
    const std::tuple<const char*, bool, int, bool> cases[] = {
        {"1", true, 1, false},        {"3", true, 3, false},         {"0", true, 1, true},
        {"-2", true, 1, true},        {"0.5", true, 1, true},        {"2.5", true, 2, false},
        {"3.5", true, 4, false},      {"32767", true, 32767, false}, {"32767.4", true, 32767, false},
        {"32767.5", false, 1, false}, {"40000", false, 1, false},    {"", false, 1, false},
        {"two", false, 1, false}};
    // clang-format on
    for (const auto& [text, ok, count, reset] : cases) {
        const Copies copies = copiesFrom(text);
        EXPECT_EQ(std::tuple(copies.ok, copies.count, copies.resetToOne),
                  std::tuple(ok, count, reset))
            << text;
    }
}

TEST(ClubSheet, LinesCharacterForCharacter) {
    const PrintDocument sheet = clubSheet(sampleDetails(), threeEntries(), 2);
    EXPECT_EQ(std::pair(sheet.orientation, sheet.copies), std::pair(QPageLayout::Portrait, 2));
    const QString rule = "  " + QString(126, u'.');
    // clang-format off
    const QStringList expected = {
        "", "", "PELLAMY 2003", "--------------------------", "", "Rose, Crown and Anchor", "",
        "               12 Members sent 150 birds liberated into a SW wind at 0730 from "
            "Northpoint",
        QString(43, u' ') + "24/05/06", "", "", rule,
        " Pos       Member           Velocity   Distance    Var     Bird      A.F.T     Colour  "
            "Sex     Ring No.      Pool/Nom",
        rule,
        "  1   J. Smith              1176.859   150-1234     06   11-45-30   03-45-22     BB     "
            "C     GB06N12345        P-N", "",
        "  2   A. Brown & Son        1100.500   148-0880    -04   11-50-01   03-50-05     Y      "
            "H     GB06N999            P", "",
        // A long name is cut, and marked so, one blank short of the next column.
        "  3   Christopher Montgome… 0987.600   150-0000     00   12-01-00   04-01-05    "
            "              NEHU2006X1234567     ", "",
        "", "", "A fine day"};
    // clang-format on
    EXPECT_EQ(sheet.texts(), expected);
    QStringList looks; // each line's size in points, "c" when it is centred
    for (const PrintLine& line : sheet.lines)
        looks << QString::number(line.points) + (line.centred ? "c" : "");
    EXPECT_EQ(looks.join(u' '), "14 14 14c 14c 14 19c 10 10 10 8 8 8 8 8 8 8 8 8 8 8 8 8 12c");
    // A ring number is printed whole: cut short, it would read as another.
    RaceEntryRow longRing = threeEntries()[0];
    longRing.setText(Col::RingNo, "GB06N1234567890ABCDE");
    EXPECT_TRUE(clubSheetLine(longRing).endsWith("  GB06N1234567890ABCDE P-N"));

    // Without entries the frame stands as it is; each line of the comments
    // is a line of its own, and one too wide for the paper is broken at blanks.
    SheetDetails d = sampleDetails();
    d.txtcomments = "Wet, windy\r\nand late\nLiberated into a light south-westerly breeze, the "
                    "birds met heavy showers over the hills and the first were home just before "
                    "dark";
    EXPECT_EQ(clubSheet(d, {}, 1).texts(),
              expected.mid(0, 14) + expected.mid(20, 2) +
                  QStringList({"Wet, windy", "and late",
                               "Liberated into a light south-westerly breeze, the birds met heavy",
                               "showers over the hills and the first were home just before dark"}));
}

TEST(FederationSheet, LinesCharacterForCharacter) {
    const PrintDocument sheet = federationSheet(sampleDetails(), threeEntries(), 1);
    EXPECT_EQ(sheet.orientation, QPageLayout::Landscape);
    const QStringList texts = sheet.texts();
    const QStringList head = {
        "",
        "North East Federation",
        "Result Sheet",
        "",
        "",
        "        Rose, Crown and Anchor                   Lib Time  ...  0730             No. of "
        "Birds ... 150",
        "        Race Stage .... Northpoint    " + QString(4, u' ') +
            "       Race Date ...  24/05/06       Setting Date ... 23/05/06",
        "",
        "",
        "      " + QString(175, u'.'),
        QString(31, u' ') + "Clock Setting            Clock Reading" + QString(40, u' ') +
            "Rubbers   Bird",
        "      Name                    Member   Master   F/S   Member    Master    Var   Bird     "
        "A.F.T    Velocity   In  Out   C - S    Ring     Distance",
        "      " + QString(176, u'.'),
        "  1   J. Smith               19-30-02 19-30-00  02   19-00-10  19-00-00   06  11-45-30  "
        "03-45-22  1176.859    12 345  BB  C GB06N12345  150-1234",
        "",
        "  2   A. Brown & Son         19-31-00 19-30-00  60   19-00-00  19-00-00  -04  11-50-01  "
        "03-50-05  1100.500     7  88   Y  H   GB06N999  148-0880",
        "",
        // The long name cut; the ring number whole, the distance after it.
        "  3   Christopher Montgomer… 19-29-55 19-30-00  -05  19-00-05  19-00-00   00  "
        "12-01-00  04-01-05  0987.600                  NEHU2006X1234567 150-0000",
        "",
    };
    EXPECT_EQ(texts.mid(0, head.size()), head);
    // Six empty lines stand before the master line, with or without entries.
    const QStringList foot =
        QStringList(6, "") +
        QStringList{"        Master Set ... Master clock 7          Master Read ... Master clock 8",
                    "        Reading    ... 19:30:00          Reading     ... 19:00:00"} +
        QStringList(4, "") + QStringList{"        Signed ....................................."};
    EXPECT_EQ(texts.mid(head.size()), foot);
    EXPECT_EQ(federationSheet(sampleDetails(), {}, 1).texts(), head.mid(0, 13) + foot);
    EXPECT_TRUE(sheet.lines[1].centred && sheet.lines[2].centred);
    EXPECT_EQ(QVector<double>({sheet.lines[1].points, sheet.lines[5].points, sheet.lines[9].points,
                               sheet.lines.last().points}),
              QVector<double>({20, 12, 9, 9}));

    // A long club name and race point push their lines on, a blank after each.
    SheetDetails d = sampleDetails();
    d.club = QString(45, u'C');
    d.racepoint = "A Very Long Race Point";
    EXPECT_EQ(
        federationSheet(d, {}, 1).texts().mid(5, 2),
        QStringList({"        " + d.club + " Lib Time  ...  0730             No. of Birds ... 150",
                     "        Race Stage .... A Very Long Race Point                 Race Date "
                     "...  24/05/06       Setting Date ... 23/05/06"}));
}

TEST(ResultText, BytesForBytes) {
    const QByteArray head =
        "\r\n"
        "                      Northpoint     24052006     12 Members sent 150 birds Lib 07 30\r\n"
        "\r\n"
        "     Pos        Bird      A.F.T    Col  Sex    Ring     Distance   Velocity  Nom       "
        "Member\r\n"
        "   " +
        QByteArray(99, '.') + "\r\n\r\n";
    const QByteArray lines =
        "      1       11-45-30   03-45-22   BB   C   GB06N12345 150-1234   1176.859   P-N   J. "
        "Smith\r\n"
        "      2       11-50-01   03-50-05   Y   H   GB06N999    148-0880   1100.500   P     A. "
        "Brown & Son\r\n"
        "      3       12-01-00   04-01-05         NEHU2006X1234567            150-0000   0987.600"
        "         Christopher Montgomery-Smythe\r\n";
    EXPECT_EQ(resultText(sampleDetails(), threeEntries()), head + lines);
    EXPECT_EQ(resultText(sampleDetails(), {}), head);
}

// A name pasted with marks that take no place on paper (as a phone wraps a
// name it copies), a letter with its accent apart, or a letter of two UTF-16
// units: the columns after it stand where they do for a name of as many
// printed letters, on both sheets and in result.txt.
TEST(Sheets, ALetterTakesOnePlaceAndAMarkOfNoWidthNone) {
    const std::tuple<const char16_t*, const char16_t*, const char16_t*> cases[] = {
        // The name kept, one of as many printed letters, and the name printed.
        {u"\u2068Ann Lee\u2069", u"Ann Lee", u"Ann Lee"},
        {u"Ann\u200B Lee\u00AD", u"Ann Lee", u"Ann Lee"},
        {u"Zoe\u0308 Hale", u"Zoë Hale", u"Zoe\u0308 Hale"},
        {u"\U0001D400nn Lee", u"Ann Lee", u"\U0001D400nn Lee"},
    };
    for (const auto& [kept, plain, printed] : cases) {
        QVector<QStringList> entries = {threeEntries()[0].columns(), threeEntries()[0].columns()};
        entries[0][Col::Name] = QString::fromUtf16(kept);
        entries[0][Col::RingNo].insert(2, QChar(0x200B)); // a field before the name in result.txt
        entries[1][Col::Name] = QString::fromUtf16(plain);
        const QVector<RaceEntryRow> rows = toRows(entries);
        for (QString (*line)(const RaceEntryRow&) :
             {clubSheetLine, federationSheetLine, resultTextLine})
            EXPECT_EQ(line(rows[0]), line(rows[1]).replace(QString::fromUtf16(plain),
                                                           QString::fromUtf16(printed)));
        // The federation sheet's club and race point, laid out by places too.
        SheetDetails odd = sampleDetails(), even = sampleDetails();
        odd.club = odd.racepoint = QString::fromUtf16(kept);
        even.club = even.racepoint = QString::fromUtf16(plain);
        QStringList heading = federationSheet(even, {}, 1).texts().mid(5, 2);
        heading.replaceInStrings(QString::fromUtf16(plain), QString::fromUtf16(printed));
        EXPECT_EQ(federationSheet(odd, {}, 1).texts().mid(5, 2), heading);
    }
}
