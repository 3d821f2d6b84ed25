#pragma once
// A season's results from its race files: each member's average velocity
// over the season, and points for the places of each race. The races are
// read as they are and never written to.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace pellamy {

struct SeasonBird {
    QString member;     // as the race file holds it, trimmed
    qint64 thousandths; // the velocity in thousandths of a yard per minute
};

struct SeasonRace {
    QString file;
    QString racepoint;         // of the first entry
    QString dateText;          // the race date of the first entry, as it stands
    QDate date;                // invalid when the text is not a date
    QVector<SeasonBird> birds; // the birds counted, in list order
    QString error;             // the file cannot be used: why, and it is left out
    QString note;              // counted, but to be looked at: why
};

// Alike as read: the same birds, race point, date and reasons.
bool operator==(const SeasonBird& a, const SeasonBird& b);
bool operator==(const SeasonRace& a, const SeasonRace& b);

// Reads one race file for the season.
SeasonRace readSeasonRace(const QString& path);

// A race chosen twice (a copy kept as a backup, say) would count twice: each
// race holding the same race point, race day and birds as one before it is
// left out, its reason naming the other file. One of the same race point and
// day with other birds (saved part-way through the race, then again) is
// counted, with a note naming the other file.
void leaveOutRepeatedRaces(QVector<SeasonRace>& races);

// Yards per minute from thousandths: 1150.500, -812.345.
QString thousandthsText(qint64 thousandths);

// The races that could be read, in race-date order (a race without a date
// last, then in the order given).
QVector<SeasonRace> seasonOrder(const QVector<SeasonRace>& races);

// A place in a table: "1", or "2=" for each of two who share it.
struct Placed {
    int position = 0;
    bool tied = false;
    QString text() const;
};

struct AverageRow {
    Placed place;
    QString member;
    int racesClocked = 0;
    QVector<std::optional<qint64>> velocities; // per race, the member's fastest bird
    qint64 sum = 0;                            // thousandths, over the races counted
    int racesCounted = 0;
    QString averageText() const; // yards per minute, three decimals
};

struct PointsRow {
    Placed place;
    QString member;
    QVector<int> points; // per race
    int total = 0;
};

struct SeasonTable {
    QVector<AverageRow> averages;
    QVector<PointsRow> points;
    // Members whose name is written in more than one way (letter case,
    // spacing), each as "“A”, “a”", shown as one under the first spelling.
    QStringList mergedNames;
    // Members counted apart whose names differ only in punctuation, each as
    // "“J. Smith”, “J Smith”", then pairs a slip of typing apart that never
    // clocked in one race: perhaps one member written otherwise.
    QStringList alikeNames;
    // The rules the table was worked out by, in words for the sheet.
    QString averagesRule, pointsRule;
    // Members left out of the averages, clocked in fewer races than asked.
    int belowMinimum = 0, minimumRaces = 1;
};

// "2 members clocked in fewer than 3 races are not listed", of the averages.
QString belowMinimumText(const SeasonTable& table);

struct AverageRule {
    // False: over every race of the season, a race without a bird counting
    // 0. True: over the races the member clocked in, for members with at
    // least minimumRaces of them.
    bool clockedOnly = false;
    int minimumRaces = 1;
};

struct PointsRule {
    QVector<int> forPlace = {10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    bool firstBirdOnly = false; // else every bird earns its place's points
};

// The most points one place may earn.
constexpr int kMostPointsForAPlace = 100000;

// Reads "10 9 8 …" (blanks or commas between); empty with the reason set
// when it is not a list of whole numbers from 0 to kMostPointsForAPlace.
QVector<int> readPointsList(const QString& text, QString* error);

SeasonTable seasonTable(const QVector<SeasonRace>& races, const AverageRule& averages,
                        const PointsRule& points);

} // namespace pellamy
