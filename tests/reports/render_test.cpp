#include "reports/renderer.h"
#include "reports/sheetprinter.h"
#include "reports/sheets.h"

#include "sample_race.h"
#include "support/testing.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextLayout>

// With no printer the sheet is a PDF file, written whole or not at all; read
// back, its columns stand where the sheet's own lines put them.
TEST(Renderer, ASheetSavedAsPdfIsWholeAndReadsBackWithItsColumns) {
    QTemporaryDir dir;
    const QString path = dir.filePath("club.pdf");
    const QVector<QStringList> race = sampleRace(12);
    const PrintDocument sheet = clubSheet(sampleDetails(), toRows(race), 1);
    QtSheetPrinter printer;
    QString error;
    ASSERT_TRUE(printer.printToPdf(sheet, path, error)) << error.toStdString();
    const QByteArray pdf = fileBytes(path);
    EXPECT_TRUE(pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF"));
    ASSERT_TRUE(QFile::link("/dev/full", dir.filePath("full.pdf")));
    EXPECT_FALSE(printer.printToPdf(sheet, dir.filePath("full.pdf"), error));
    EXPECT_TRUE(error.endsWith("could not be written, because the disk is full."))
        << error.toStdString();

    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QProcess process;
    process.start(pdftotext, {"-layout", path, "-"});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
    const auto find = [&](const QString& text) { return lines.filter(text).value(0); };
    EXPECT_FALSE(find("PELLAMY 2003").isEmpty());
    const QString heading = find("Pool/Nom");
    for (int i = 1; i <= 12; ++i) {
        const QString line = find(QStringLiteral("Member %1 ").arg(i));
        ASSERT_FALSE(line.isEmpty()) << i;
        // The same distance between columns as on the sheet's own lines
        // (pdftotext places text to within one character).
        const qsizetype name = line.indexOf(QStringLiteral("Member %1").arg(i));
        EXPECT_NEAR(line.indexOf(race[i - 1][10]) - name, 22, 1);
        EXPECT_NEAR(line.indexOf("150-1234") - name, 33, 1);
        EXPECT_NEAR(line.indexOf("GB06N") - name, 88, 1);
    }
    EXPECT_NEAR(heading.indexOf("Velocity") - heading.indexOf("Member"), 17, 1);

    // Nothing runs into the paper's right edge, the rules of dots included:
    // the ink keeps a margin there as on the left (less a letter's bearing).
    process.start(QStandardPaths::findExecutable("pdftoppm"),
                  {"-r", "72", "-f", "1", "-l", "1", "-png", path, dir.filePath("page")});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QImage page(dir.filePath("page-1.png"));
    ASSERT_FALSE(page.isNull());
    int left = page.width(), right = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128)
                left = std::min(left, x), right = std::max(right, x);
    EXPECT_GE(page.width() - 1 - right, left / 2) << left << " " << right;
}

// A row reads left to right, column by column, whatever script a name is written in: each letter or
// figure not of a right-to-left script stands right of the ones before it, and a Hebrew or Arabic
// name reads right to left whole, its words joined by a blank, hyphen, full stop or non-joiner.
TEST(Renderer, ANameInARightToLeftScriptLeavesTheColumnsInPlace) {
    for (const char16_t* name : {u"דוד כהן", u"בן-דוד", u"ד. כהן", u"علی\u200Cرضا", u"علي",
                                 u"אֵלִיָּהוּ", u"عليّ", u"A\u202EB Evans", u"J. Smith"}) {
        const QString row = QStringLiteral("  1  %1  1300.111  150-1234  GB06N12345")
                                .arg(QString::fromUtf16(name).leftJustified(20));
        QTextLayout layout(sheetLineAsDrawn(row), QFont("Liberation Mono"));
        // A vowel point or shadda stays with its letter.
        EXPECT_FALSE(layout.text().contains(QRegularExpression(QStringLiteral("\\x{200E}\\p{Mn}"))))
            << row.toStdString();
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        double before = -1;
        QVector<qsizetype> rightToLeft;
        for (qsizetype i = 0; i < layout.text().size(); ++i) {
            const QChar c = layout.text()[i];
            if (c.direction() == QChar::DirNSM)
                continue;
            if (c.direction() == QChar::DirR || c.direction() == QChar::DirAL) {
                rightToLeft << i;
            } else if (!c.isSpace() && c.category() != QChar::Other_Format) {
                EXPECT_GT(line.cursorToX(i), before) << row.toStdString() << " at " << i;
                before = line.cursorToX(i);
            }
        }
        // Right to left: the place after its first letter right of the place
        // before its last (both within the name, where a place is one).
        if (!rightToLeft.isEmpty()) {
            EXPECT_GT(line.cursorToX(rightToLeft.first() + 1), line.cursorToX(rightToLeft.last()))
                << row.toStdString();
        }
    }
}

// A sheet saved as a PDF is on the paper the desktop is set to, or else the country's: a club in
// Canada prints on Letter, though its measures are metric.
TEST(Renderer, APdfIsOnThePaperOfTheDesktopOrElseOfTheCountry) {
    const std::tuple<const char*, int, QLocale::Territory, QPageSize::PageSizeId> cases[] = {
        {"en_US.UTF-8", 216, QLocale::UnitedStates, QPageSize::Letter},
        {"en_GB.UTF-8", 210, QLocale::UnitedKingdom, QPageSize::A4},
        {"en_US.UTF-8", 216, QLocale::UnitedKingdom, QPageSize::Letter}, // LC_PAPER set apart
        {"C.UTF-8", 210, QLocale::Canada, QPageSize::Letter},            // A4 only as C's
        {"C", 210, QLocale::Australia, QPageSize::A4},
        {"", 0, QLocale::UnitedStates, QPageSize::Letter}}; // a system without LC_PAPER
    for (const auto& [paperLocale, widthMm, territory, paper] : cases)
        EXPECT_EQ(pdfPaper(paperLocale, widthMm, territory), paper) << paperLocale << territory;
}
