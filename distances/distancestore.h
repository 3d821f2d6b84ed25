#pragma once
// The calculator's three reads of the distance database: the race points,
// the members for a race point and one member's distance. Each read opens
// its own connection and closes it at once; the member and race point are
// bound as parameters, never pasted into the query text.

#include "connection.h"

#include <QString>
#include <QStringList>

namespace pellamy {

// A read that fails part-way gives no values at all: a list is never shown
// half-read.
struct NameList {
    QStringList values;    // in the order the engine returns them
    bool hadEmpty = false; // a row with an empty (or NULL) value was skipped
    QString error;         // why the read failed; empty when it ran
    DatabaseFault fault = DatabaseFault::None;
    bool ok() const { return error.isEmpty(); }
};

struct DistanceLookup {
    // Every matching row's Sixtieths followed by CR LF: empty for no row,
    // two lines for two rows.
    QString text;
    QString error;
    DatabaseFault fault = DatabaseFault::None;
    bool ok() const { return error.isEmpty(); }
};

class DistanceStore {
public:
    explicit DistanceStore(QString databasePath);
    const QString& path() const { return path_; }

    // The distinct race points ("SELECT DISTINCT Racepoint FROM Distances")
    NameList racepoints() const;
    // "SELECT DISTINCT Name FROM Distances WHERE Racepoint = ?"
    NameList members(const QString& racepoint) const;
    // "SELECT Sixtieths FROM Distances WHERE Name = ? AND Racepoint = ?"
    DistanceLookup distance(const QString& member, const QString& racepoint) const;

private:
    NameList names(const QString& query, const QStringList& values) const;

    QString path_;
};

} // namespace pellamy
