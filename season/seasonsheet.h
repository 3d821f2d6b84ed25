#pragma once
// A season's table as the secretary takes it away: a printed sheet in the
// look of the club sheet (Courier New, the club's name at the head, the
// races with their dates, then the table), and a CSV file.

#include "season.h"

#include "reports/printdocument.h"

#include <QByteArray>

namespace pellamy {

enum class Competition { Averages, Points };

// The table's heading and rows as texts, one column per race (a race
// without a bird for the member is an empty text).
QStringList seasonHeader(const QVector<SeasonRace>& races, Competition competition);
QVector<QStringList> seasonRows(const SeasonTable& table, Competition competition);

QByteArray seasonCsv(const QVector<SeasonRace>& races, const SeasonTable& table,
                     Competition competition);

// The sheet: landscape when the table is too wide for a portrait page, in
// a size that fits it on the paper.
PrintDocument seasonSheet(const QString& club, const QVector<SeasonRace>& races,
                          const SeasonTable& table, Competition competition);

// "Season Averages" or "Season Points".
QString competitionTitle(Competition competition);

} // namespace pellamy
