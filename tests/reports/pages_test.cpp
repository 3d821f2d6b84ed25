// The sheets on paper: long values kept in their columns, three-digit
// positions, comments of several lines, and tables over several pages.
#include "reports/renderer.h"
#include "reports/sheets.h"

#include "calc/raceentry.h"
#include "sample_race.h"
#include "support/testing.h"

// A long value is cut, and the columns after it stay in place, but for a
// position, the ring number and pool mark and, on the federation sheet, the
// values printed whole: those move what follows to the right.
TEST(SheetColumns, LongValuesAreCutOrPrintedWholeAndTheColumnsStayInPlace) {
    const RaceEntryRow usual(sampleRace(1)[0]);
    const QString club = clubSheetLine(usual), fed = federationSheetLine(usual);
    const QString wide(30, u'W');
    for (int c = 0; c <= Col::PoolNom; ++c) {
        RaceEntryRow entry = usual;
        entry.setText(c, wide);
        SCOPED_TRACE(c);
        const QString clubLine = clubSheetLine(entry), fedLine = federationSheetLine(entry);
        if (c == Col::RingNo || c == Col::PoolNom)
            EXPECT_TRUE(clubLine.contains(wide));
        else
            EXPECT_EQ(clubLine.size(), club.size());
        if (c != Col::PoolNom) {
            EXPECT_EQ(clubLine.right(3), club.right(3));
        }
        if (c == Col::Name) {
            EXPECT_EQ(fedLine.size(), fed.size());
        } else if (c != Col::PoolNom) { // not on the federation sheet
            EXPECT_TRUE(fedLine.contains(wide));
            if (c != Col::Distance) {
                EXPECT_EQ(fedLine.right(9), fed.right(9));
            }
        }
    }
    // Position 100 takes one of the two blanks after the position; 1000 takes both and one
    // character of the name, still marked as cut, and what follows the name stays in place.
    RaceEntryRow hundredth = usual, longName = usual;
    hundredth.setText(Col::Pos, "100");
    longName.setText(Col::Name, "Christopher Montgomery-Smythe");
    RaceEntryRow thousandth = longName;
    thousandth.setText(Col::Pos, "1000");
    for (const auto line : {&clubSheetLine, &federationSheetLine}) {
        EXPECT_EQ(line(hundredth), "  100 " + line(usual).mid(6));
        const QString before = line(longName), after = line(thousandth);
        const qsizetype cut = before.indexOf(u'…');
        ASSERT_GT(cut, 20);
        EXPECT_EQ(after, "  1000 " + before.mid(6, cut - 7) + before.mid(cut));
    }
}

// Every line is drawn once but the table's heading, which heads each page the
// table runs on to; lines go down the page and each page starts at its top.
TEST(SheetPages, TablesRunOnWithTheirHeadingAndTheFootKeepsARow) {
    QTemporaryDir dir;
    for (const bool federation : {false, true}) {
        for (const int birds : {12, 31, 120}) {
            SCOPED_TRACE(QStringLiteral("%1 birds, %2").arg(birds).arg(federation).toStdString());
            const PrintDocument sheet =
                federation ? federationSheet(sampleDetails(), toRows(sampleRace(birds)), 1)
                           : clubSheet(sampleDetails(), toRows(sampleRace(birds)), 1);
            QPdfWriter pdf(dir.filePath("sheet.pdf"));
            setUpA4(pdf, federation ? QPageLayout::Landscape : QPageLayout::Portrait);
            const QVector<RenderedLine> placed = renderDocument(sheet, pdf);
            ASSERT_FALSE(placed.isEmpty());
            const auto roleOf = [&](const RenderedLine& p) { return sheet.lines[p.line].role; };
            const double bottom = pdf.pageLayout().paintRectPixels(300).height();
            QVector<int> times(sheet.lines.size());
            int rowsOnLastPage = 0;
            for (int i = 0; i < placed.size(); ++i) {
                ++times[placed[i].line];
                EXPECT_LE(placed[i].y, bottom);
                const bool pageStart = i == 0 || placed[i].page != placed[i - 1].page;
                if (pageStart) { // a table goes on under its heading, never from a row
                    EXPECT_EQ(placed[i].y, 0);
                    EXPECT_NE(roleOf(placed[i]), PrintLine::Role::Row);
                    rowsOnLastPage = 0;
                } else {
                    EXPECT_GT(placed[i].y, placed[i - 1].y);
                }
                if (roleOf(placed[i]) == PrintLine::Role::Row)
                    ++rowsOnLastPage;
            }
            for (int i = 0; i < sheet.lines.size(); ++i)
                EXPECT_EQ(times[i],
                          sheet.lines[i].role == PrintLine::Role::Heading ? placed.last().page : 1);
            // The last page holds the foot and at least one entry's line.
            EXPECT_GE(rowsOnLastPage, 2);
            if (!federation) { // "PELLAMY 2003": 12 characters of 14 point Courier, centred
                const double width = 12 * 14.0 / 72 * 300 * 0.6;
                const double full = pdf.pageLayout().fullRectPixels(300).width();
                EXPECT_NEAR(placed[2].x, (full - width) / 2, 3);
                EXPECT_EQ(placed[14].x, 0);
            }
        }
    }
}

// A sheet of two tables (a long season's): a page a table runs on to starts
// with that table's own heading. A foot kept together but longer than a page
// (a long comment) goes on over the pages line by line, none past the paper.
TEST(SheetPages, EachTableRunsOnWithItsOwnHeading) {
    PrintDocument sheet;
    for (const char* table : {"First", "Second"}) {
        sheet.lines.push_back({QString(), 10});
        sheet.lines.push_back({table, 8, false, PrintLine::Role::Heading, true});
        for (int row = 0; row < 150; ++row)
            sheet.lines.push_back({QString::number(row), 8, false, PrintLine::Role::Row});
    }
    for (int line = 0; line < 200; ++line)
        sheet.lines.push_back({"Comment", 8, false, PrintLine::Role::Plain, true});
    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath("sheet.pdf"));
    setUpA4(pdf, QPageLayout::Portrait);
    const QVector<RenderedLine> placed = renderDocument(sheet, pdf);
    ASSERT_GT(placed.last().page, 4);
    for (int i = 1; i < placed.size(); ++i) {
        EXPECT_LE(placed[i].y, pdf.pageLayout().paintRectPixels(300).height()) << i;
        if (placed[i].page != placed[i - 1].page && placed[i].line < 304) {
            const int ownHeading = placed[i].line < 152 ? 1 : 153;
            EXPECT_EQ(placed[i].line, ownHeading) << "page " << placed[i].page;
        }
    }
}

// Ring and rubber numbers printed whole, a long race point or Letter paper can take a line past the
// printable width: it is drawn narrower, and no character is lost; a table's heading and rows by
// one measure, so that the columns stay under their headings.
TEST(SheetPages, ALineWiderThanThePaperIsDrawnNarrowerToFit) {
    QVector<QStringList> longRing = sampleRace(2);
    longRing[0][Col::RingNo] = "DV-02202-2021-123456", longRing[0][Col::RubberIn] = "12345";
    SheetDetails longPoint = sampleDetails();
    longPoint.racepoint = "Berwick Upon Tweed";
    SheetDetails longFed = sampleDetails(); // a centred line of 59 characters
    longFed.fed = "Northfield and District Federation of Homing Pigeon Societ";
    const struct {
        bool federation, letter;
        QVector<QStringList> race;
        SheetDetails details;
        double margin = 6.35; // millimetres
    } cases[] = {{true, false, longRing, sampleDetails()},
                 {true, true, sampleRace(2), sampleDetails()},
                 {true, false, sampleRace(2), longPoint},
                 {false, false, sampleRace(2), longPoint},
                 {true, true, sampleRace(2), longFed, 10}};
    QTemporaryDir dir;
    for (const auto& c : cases) {
        const PrintDocument sheet = c.federation ? federationSheet(c.details, toRows(c.race), 1)
                                                 : clubSheet(c.details, toRows(c.race), 1);
        QPdfWriter pdf(dir.filePath("sheet.pdf"));
        setUpA4(pdf, c.federation ? QPageLayout::Landscape : QPageLayout::Portrait);
        if (c.letter)
            pdf.setPageSize(QPageSize(QPageSize::Letter));
        pdf.setPageMargins(QMarginsF(c.margin, c.margin, c.margin, c.margin),
                           QPageLayout::Millimeter);
        const double room = pdf.pageLayout().paintRectPixels(300).width();
        QSet<double> tableSqueezes; // of the rows and the heading over them
        for (const RenderedLine& p : renderDocument(sheet, pdf)) {
            const PrintLine& line = sheet.lines[p.line];
            EXPECT_LE(p.x + p.width, room + 0.5) << line.text.toStdString();
            if ((line.role == PrintLine::Role::Row && !line.text.isEmpty()) ||
                (line.role == PrintLine::Role::Heading && line.text.contains("Velocity")))
                tableSqueezes << p.squeeze;
        }
        ASSERT_EQ(tableSqueezes.size(), 1);
        EXPECT_EQ(*tableSqueezes.begin() < 1, c.federation && (c.letter || c.race == longRing));
    }
}
