#pragma once
// Distances worked out from coordinates: for every loft and race point that
// both have coordinates, the geodesic distance in whole yards, written to
// Distances as Miles, Yards and Sixtieths by the editor's rule, so that the
// calculator and the editor see ordinary rows. Rows for pairs without
// coordinates are left as they are.
//
// First the plan: what would be added and changed, for the user to see and
// agree to. Then the writing, all or nothing, and only when nobody has
// written to the database since the plan was made.

#include "connection.h"
#include "coordinatestore.h"
#include "recordset.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

namespace pellamy {

struct DistanceWrite {
    qint64 rowid = -1; // the row changed; -1 for a new row
    QString name, racepoint, miles, yards, sixtieths;
};

struct WorkOutPlan {
    QVector<DistanceWrite> writes;
    int added = 0, changed = 0, unchanged = 0;
    // The largest change, in yards, of a row that held a distance; none
    // when the rows changed held none (left empty).
    std::optional<double> largestChange;
    // Every row that would change, as "member at race point: was, becomes".
    QStringList changedRows;
    // The longest distance worked out, in yards, and its pair as "member at
    // race point": coordinates in the wrong columns or hemisphere give
    // distances no race has, and this shows them before anything is written.
    qint64 longestYards = 0;
    QString longestPair;
    // Lofts and race points whose stored coordinates cannot be read; their
    // pairs are left out.
    QStringList unreadable;
    // Lofts and race points that get rows while the table, not empty, has
    // none under their names: a name spelt otherwise than the member's rows
    // ("J Smith" for "J. Smith") would add a second member.
    QStringList newNames;
    // Rows added for a loft beside a member written almost alike at that
    // race point, "Cy Invented at Berwick (beside Cy. Invented)": perhaps
    // one member under two names.
    QStringList besideAlike;
    // Race points new to the distances beside one written almost alike,
    // "St Malo (beside St. Malo)": perhaps one race point under two names.
    QStringList pointsAlike;
    // Pairs held in more than one row, as "member at race point": both get
    // the distance, but the calculator takes no bird of such a pair until
    // one row is deleted.
    QStringList heldTwice;
    // The coordinates the plan was worked out from.
    PlaceLists places;
};

// "100 miles 880 yards"
QString milesAndYardsText(const QString& miles, const QString& yards);

class DistanceWorkOut {
public:
    explicit DistanceWorkOut(DistanceSource source);
    ~DistanceWorkOut();

    // Reads the coordinates and the Distances table and works out what would
    // change. False, with error() and fault(), when they cannot be read.
    bool plan(WorkOutPlan* plan);
    // Writes a plan made by plan(), in one transaction. Changed, with nothing
    // written, when another window or program has written to the database
    // since. progress(done, total) is called as rows are written.
    WriteOutcome write(const WorkOutPlan& plan, const std::function<void(int, int)>& progress = {});

    const QString& error() const { return error_; }
    DatabaseFault fault() const { return fault_; }
    // The file the club's distances were kept in before the last write
    // changed one (distances-before-workout.mdb); empty when none was kept.
    const QString& keptAs() const { return keptAs_; }

private:
    bool fail(const QSqlError& error);
    bool dataVersion(QString* version);

    DistanceSource source_;
    std::unique_ptr<DistanceConnection> connection_;
    QString plannedVersion_; // empty until planned
    QString error_;
    QString keptAs_;
    DatabaseFault fault_ = DatabaseFault::None;
};

} // namespace pellamy
