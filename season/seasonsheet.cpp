#include "seasonsheet.h"

#include "calc/textforms.h"
#include "reports/publish.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace pellamy {

namespace {

QString velocityText(const std::optional<qint64>& thousandths) {
    return thousandths ? thousandthsText(*thousandths) : QString();
}

QString dateShown(const SeasonRace& race) {
    return race.date.isValid() ? race.date.toString(QStringLiteral("dd/MM/yyyy")) : race.dateText;
}

// The sheet's columns: place, member, then right-aligned figures. The
// member's column is as wide as the longest name within bounds: a name cut
// as the club sheet cuts it could print two partners' rows alike.
constexpr int kPlaceWidth = 5, kFigureWidth = 10; // "100=" and a blank
constexpr int kLeastMemberWidth = 20, kMostMemberWidth = 36;

QString sheetRow(const QStringList& cells, int memberWidth) {
    QString line = QStringLiteral("  ") + cells.value(0).leftJustified(kPlaceWidth, u' ', true) +
                   cells.value(1).leftJustified(memberWidth, u' ', true);
    for (int i = 2; i < cells.size(); ++i)
        line += cells[i].right(kFigureWidth - 1).rightJustified(kFigureWidth);
    return line;
}

// A4 in millimetres less the margins, and the width of a Courier New
// character: 0.6 of its size in points.
constexpr double kPortraitMm = 180, kLandscapeMm = 267, kMmPerPoint = 25.4 / 72;
// The smallest size a table is printed in: readable on a notice board.
constexpr double kSmallestPoints = 7;
double charactersAcross(double widthMm, double points) {
    return widthMm / (0.6 * points * kMmPerPoint);
}

} // namespace

QString competitionTitle(Competition competition) {
    return competition == Competition::Averages ? QStringLiteral("Season Averages")
                                                : QStringLiteral("Season Points");
}

QStringList seasonHeader(const QVector<SeasonRace>& races, Competition competition) {
    QStringList header{QStringLiteral("Pos"), QStringLiteral("Member")};
    if (competition == Competition::Averages)
        header << QStringLiteral("Races");
    for (const SeasonRace& race : races)
        header << QStringLiteral("%1 %2").arg(race.racepoint, dateShown(race));
    header << (competition == Competition::Averages ? QStringLiteral("Average")
                                                    : QStringLiteral("Total"));
    return header;
}

QVector<QStringList> seasonRows(const SeasonTable& table, Competition competition) {
    QVector<QStringList> rows;
    if (competition == Competition::Averages) {
        for (const AverageRow& row : table.averages) {
            QStringList cells{row.place.text(), row.member, QString::number(row.racesClocked)};
            for (const std::optional<qint64>& v : row.velocities)
                cells << velocityText(v);
            rows << (cells << row.averageText());
        }
    } else {
        for (const PointsRow& row : table.points) {
            QStringList cells{row.place.text(), row.member};
            for (int p : row.points)
                cells << QString::number(p);
            rows << (cells << QString::number(row.total));
        }
    }
    return rows;
}

QByteArray seasonCsv(const QVector<SeasonRace>& races, const SeasonTable& table,
                     Competition competition) {
    // Every column after the place and the member is a figure.
    const QStringList header = seasonHeader(races, competition);
    QList<int> figures;
    for (int column = 2; column < header.size(); ++column)
        figures << column;
    return csvFile(header, seasonRows(table, competition), figures);
}

PrintDocument seasonSheet(const QString& club, const QVector<SeasonRace>& races,
                          const SeasonTable& table, Competition competition) {
    PrintDocument document;
    const auto add = [&](const QString& text, double points,
                         PrintLine::Role role = PrintLine::Role::Plain) {
        document.lines.push_back({text, points, false, role, role == PrintLine::Role::Heading});
    };
    // The tables' width first, which sets the page's orientation. Races are
    // headed by their numbers in the list of races. A season too long for
    // one table across the page, at the smallest size, is printed in several
    // tables one under the other, each with the places, the members and the
    // average or total.
    const bool averages = competition == Competition::Averages;
    const int leading = averages ? 3 : 2; // place, member (and races clocked)
    QStringList fixedHeading{QStringLiteral("Pos"), QStringLiteral("Member")};
    if (averages)
        fixedHeading << QStringLiteral("Races");
    fixedHeading << (averages ? QStringLiteral("Average") : QStringLiteral("Total"));
    const QVector<QStringList> rows = seasonRows(table, competition);
    int memberWidth = kLeastMemberWidth;
    for (const QStringList& row : rows)
        memberWidth = std::max(memberWidth, int(row[1].size()) + 1);
    memberWidth = std::min(memberWidth, kMostMemberWidth);
    // Wider still where names cut to the column would print alike (two
    // partnerships of one long name).
    const auto printedApart = [&] {
        QSet<QString> whole, cut;
        for (const QStringList& row : rows)
            whole << row[1], cut << row[1].left(memberWidth - 1);
        return whole.size() == cut.size();
    };
    while (!printedApart())
        ++memberWidth;
    const int fixedWidth = int(sheetRow(fixedHeading, memberWidth).size());
    const int perTable = std::max(
        1, int((charactersAcross(kLandscapeMm, kSmallestPoints) - fixedWidth) / kFigureWidth));
    const int tables = std::max(1, int((races.size() + perTable - 1) / perTable));
    const int racesPerTable = int((races.size() + tables - 1) / tables);
    const int width = fixedWidth + racesPerTable * kFigureWidth;
    // The size that fits the widest table across the page, 10 points at most.
    document.orientation =
        charactersAcross(kPortraitMm, 10) >= width ? QPageLayout::Portrait : QPageLayout::Landscape;
    const double across =
        document.orientation == QPageLayout::Portrait ? kPortraitMm : kLandscapeMm;
    const double points =
        std::clamp(10 * charactersAcross(across, 10) / width, kSmallestPoints, 10.0);
    add(QString(), 14);
    document.addCentred(club, 19);
    document.addCentred(competitionTitle(competition), 14);
    document.addCentred(averages ? table.averagesRule : table.pointsRule, 10);
    add(QString(), 10);
    // The key to the tables' race numbers: each race point whole.
    qsizetype pointWidth = 20;
    for (const SeasonRace& race : races)
        pointWidth = std::max(pointWidth, race.racepoint.size());
    for (int i = 0; i < races.size(); ++i)
        // One call: a race point holding "%4" is printed as it stands.
        add(QStringLiteral("  %1  %2 %3  %4")
                .arg(QString::number(i + 1).rightJustified(2),
                     races[i].racepoint.leftJustified(pointWidth), dateShown(races[i]),
                     countText(int(races[i].birds.size()), "bird", "birds")),
            10);
    add(QString(), 10);

    // The cells of a row (or the heading) with only the races from first to
    // last.
    const auto only = [&](const QStringList& cells, int first, int last) {
        return cells.mid(0, leading) + cells.mid(leading + first, last - first) +
               QStringList{cells.last()};
    };
    QStringList heading = fixedHeading.mid(0, leading);
    for (int i = 0; i < races.size(); ++i)
        heading << QStringLiteral("Race %1").arg(i + 1);
    heading << fixedHeading.last();
    for (int t = 0; t < tables; ++t) {
        const int first = t * racesPerTable;
        const int last = std::min(int(races.size()), first + racesPerTable);
        if (t > 0)
            add(QString(), 10);
        const QString headingLine = sheetRow(only(heading, first, last), memberWidth);
        const QString rule = QStringLiteral("  ") + QString(headingLine.size() - 2, u'.');
        add(rule, points, PrintLine::Role::Heading);
        add(headingLine, points, PrintLine::Role::Heading);
        add(rule, points, PrintLine::Role::Heading);
        for (const QStringList& row : rows)
            add(sheetRow(only(row, first, last), memberWidth), points, PrintLine::Role::Row);
    }
    if (!table.mergedNames.isEmpty()) {
        add(QString(), 10);
        add(QStringLiteral("  Counted as one member:"), 10);
        for (const QString& names : table.mergedNames)
            add(QStringLiteral("    ") + names, 10);
    }
    if (!table.alikeNames.isEmpty()) {
        add(QString(), 10);
        add(QStringLiteral("  Counted apart, though written almost alike:"), 10);
        for (const QString& names : table.alikeNames)
            add(QStringLiteral("    ") + names, 10);
        add(QStringLiteral("  If they are one member, put the race files right."), 10);
    }
    return document;
}

} // namespace pellamy
