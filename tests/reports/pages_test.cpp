// The sheets on paper: long values kept in their columns, three-digit
// positions, comments of several lines, and tables over several pages.
#include "reports/renderer.h"
#include "reports/sheets.h"

#include "calc/raceentry.h"
#include "sample_race.h"
#include "support/testing.h"

TEST(SheetColumns, LongValuesAreCutAndTheLastColumnStaysInPlace) {
    const RaceEntryRow usual(sampleRace(1)[0]);
    const QString club = clubSheetLine(usual), fed = federationSheetLine(usual);
    for (int c = 0; c <= Col::PoolNom; ++c) {
        RaceEntryRow entry = usual;
        entry.setText(c, QString(30, u'W'));
        SCOPED_TRACE(c);
        const QString clubLine = clubSheetLine(entry), fedLine = federationSheetLine(entry);
        // The pool mark and the distance end where they always do, and what
        // follows a long value starts where it always does.
        EXPECT_EQ(clubLine.size(), club.size());
        EXPECT_EQ(fedLine.size(), fed.size() + (c == Col::Distance)); // room for 1000-1759
        if (c != Col::PoolNom) {
            EXPECT_EQ(clubLine.right(3), club.right(3));
        }
        if (c != Col::Distance) {
            EXPECT_EQ(fedLine.right(9), fed.right(9));
        }
    }
    // Position 100 takes one of the two blanks after the position.
    RaceEntryRow hundredth = usual;
    hundredth.setText(Col::Pos, "100");
    EXPECT_EQ(clubSheetLine(hundredth), "  100 " + club.mid(6));
    EXPECT_EQ(federationSheetLine(hundredth), "  100 " + fed.mid(6));
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
                if (pageStart) {
                    EXPECT_EQ(placed[i].y, 0);
                    rowsOnLastPage = 0;
                } else {
                    EXPECT_GT(placed[i].y, placed[i - 1].y);
                }
                if (pageStart && i > 0 && roleOf(placed[i]) != PrintLine::Role::Plain) {
                    EXPECT_EQ(roleOf(placed[i]), PrintLine::Role::Heading);
                }
                if (roleOf(placed[i]) == PrintLine::Role::Row)
                    ++rowsOnLastPage;
            }
            for (int i = 0; i < sheet.lines.size(); ++i)
                EXPECT_EQ(times[i],
                          sheet.lines[i].role == PrintLine::Role::Heading ? placed.last().page : 1);
            // The last page holds the foot and at least one entry's line.
            EXPECT_GE(rowsOnLastPage, 2);
            if (birds == 120) {
                EXPECT_GT(placed.last().page, 1);
            }
            if (!federation) { // "PELLAMY 2003": 12 characters of 14 point Courier, centred
                const double width = 12 * 14.0 / 72 * 300 * 0.6;
                const double full = pdf.pageLayout().fullRectPixels(300).width();
                EXPECT_NEAR(placed[2].x, (full - width) / 2, 3);
                EXPECT_EQ(placed[14].x, 0);
            }
        }
    }
}
