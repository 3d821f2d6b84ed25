// A race's result published: CSV read back by Python's csv module, the web
// page through tidy, and every text escaped.
#include "reports/publish.h"

#include "support/entries.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <tuple>

namespace {

QVector<RaceEntryRow> awkwardRace() {
    QVector<RaceEntryRow> rows;
    const std::tuple<const char*, const char*, const char*> birds[] = {
        {"O'Brien, Sons & Co", "1176.859", "GB26 N 12345"},
        {"<script>alert(\"x\")</script>", "0987.500", "26.1234"},
        {"Zoë Müller \"Zed\"", "0100.000", "GB26 N 12346"}};
    for (const auto& [name, velocity, ring] : birds) {
        QStringList e = entry(QString::fromUtf8(name), velocity);
        e[Col::Distance] = "150-1234";
        e[Col::RingNo] = ring;
        e[Col::BirdClocked] = "12-01-00", e[Col::FlyingTime] = "25-10-05";
        rows << RaceEntryRow(e);
    }
    return rows;
}

// Runs a program with input, giving its exit code and what it wrote.
std::pair<int, QByteArray> run(const QString& program, const QStringList& args,
                               const QByteArray& input) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        return {-1, "did not finish"};
    return {process.exitCode(), process.readAll()};
}

} // namespace

TEST(Publish, CsvReadsBackInPythonFieldForField) {
    const QVector<QStringList> rows = resultRows(awkwardRace());
    const QByteArray csv = resultCsv(awkwardRace());
    ASSERT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    const auto [code, out] =
        run("python3",
            {"-c", "import csv, io, json, sys; text = sys.stdin.buffer.read().decode('utf-8-sig'); "
                   "print(json.dumps(list(csv.reader(io.StringIO(text, newline='')))))"},
            csv);
    ASSERT_EQ(code, 0) << out.toStdString();
    QVector<QStringList> read;
    for (const QJsonValue& row : QJsonDocument::fromJson(out).array())
        read << row.toVariant().toStringList();
    EXPECT_EQ(read, QVector<QStringList>{resultHeader()} + rows);
    // Numbers a spreadsheet sorts: the velocity plain, the distance in yards;
    // times it reads as times, not as the date "12-01-00" looks like.
    EXPECT_EQ(rows[1].mid(0, 9), QStringList({"2", "<script>alert(\"x\")</script>", "987.5", "150",
                                              "1234", "265234", "c7", "12:01:00", "25:10:05"}));
    QStringList far = entry("Far", "0001.000"); // a distance past counting is left out
    far[Col::Distance] = "10000000000000000000-0";
    EXPECT_EQ(resultRows({RaceEntryRow(far)})[0].mid(3, 3), QStringList({"", "", ""}));
}

TEST(Publish, WebPagePassesTidyAndShowsEveryTextAsText) {
    // A club with no name yet: no empty heading, nor ": " before the race.
    SheetDetails newClub;
    newClub.racepoint = "Berwick", newClub.txtdaterace = "24052026";
    SheetDetails details = newClub;
    details.club = "Northfield & District <Homing> Society";
    details.fed = "North East Federation";
    details.txtcomments = "Well flown.\nNext race: Thurso";
    const QByteArray unnamed = resultWebPage(newClub, awkwardRace());
    EXPECT_TRUE(unnamed.contains("<title>Berwick 24/05/26</title>"));
    EXPECT_TRUE(unnamed.startsWith("\xEF\xBB\xBF<!DOCTYPE html>")); // UTF-8 whatever a host says
    const QByteArray page = resultWebPage(details, awkwardRace());
    for (const QByteArray& html : {unnamed, page}) {
        const auto [code, out] = run("tidy", {"-errors", "-quiet"}, html);
        EXPECT_EQ(out, QByteArray()) << out.toStdString();
        EXPECT_LT(code, 2);
    }
    // Each row under its place: the second bird's, its name as text.
    EXPECT_TRUE(page.contains(
        "<tr><td class=\"n\">2</td><td>&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;</td>"));
    EXPECT_EQ(page.count("<tr><td class=\"n\">"), 3);
    EXPECT_TRUE(page.contains("Northfield &amp; District &lt;Homing&gt; Society"));
    EXPECT_TRUE(page.contains("Zoë Müller"));
    EXPECT_TRUE(page.contains("24/05/26"));
    for (const char* outside : {"<script", "<link", "src=", "href=", "@import"})
        EXPECT_FALSE(page.contains(outside)) << outside;
}

// On a machine whose decimal mark is a comma a spreadsheet reads "1234.567"
// as 1234567: the velocity takes the mark, and the CSV file separates by
// ";". A ring number that looks like a figure stays as it is.
TEST(Publish, FiguresTakeTheMachinesDecimalMark) {
    const QLocale was;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(resultCsv(awkwardRace()).contains(";\"987,5\";150;"));
    EXPECT_TRUE(resultCsv(awkwardRace()).contains(";26.1234;"));
    EXPECT_TRUE(resultTabText(awkwardRace()).contains("\t987,5\t"));
    EXPECT_TRUE(resultTabText(awkwardRace()).contains("\t26.1234\t"));
    QLocale::setDefault(was);
    EXPECT_EQ(csvRecord({"1234.567", "a,b", "a;b"}, {0}), "1234.567,\"a,b\",\"a;b\"\r\n");
    // No text a spreadsheet would run as a formula; a figure stays a figure.
    EXPECT_EQ(csvRecord({"=HYPERLINK(1)", "- Bo Finch", "@Home", "+44", "-12.5", "-"}),
              "'=HYPERLINK(1),'- Bo Finch,'@Home,+44,-12.5,'-\r\n");
}

TEST(Publish, TabTextKeepsOneRowPerEntry) {
    QVector<RaceEntryRow> rows = awkwardRace();
    rows[0].setText(Col::Name, "Ann\tHale\nSr");
    rows[1].setText(Col::Name, "=SUM(A1)"); // pasted as text, not run
    const QStringList lines = resultTabText(rows).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("Pos\tMember\tVelocity"));
    EXPECT_TRUE(lines[1].startsWith("1\tAnn Hale Sr\t1176.859\t150\t1234\t265234\t"));
    EXPECT_TRUE(lines[2].startsWith("2\t'=SUM(A1)\t")) << lines[2].toStdString();
}
