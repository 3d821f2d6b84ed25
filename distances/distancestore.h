#pragma once
// The calculator's three reads of the distances: the race points, the
// members for a race point and one member's distance. The member and race
// point are bound as parameters, never pasted into the query text.
//
// From the club's own file each read opens its own connection and closes it
// at once. From a federation's server the connection is kept open between
// reads (opening one costs the server a process). When the server cannot be
// reached, the reads come from the club's copy of its rows for as long as
// the store lives: a race is never worked out from two sources, and a
// server out of reach never holds up the clocking of a bird again.

#include "connection.h"
#include "source.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>

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
    explicit DistanceStore(DistanceSource source);
    ~DistanceStore();
    const QString& path() const { return source_.databasePath; }
    const DistanceSource& source() const { return source_; }

    // The distinct race points ("SELECT DISTINCT Racepoint FROM Distances")
    NameList racepoints() const;
    // "SELECT DISTINCT Name FROM Distances WHERE Racepoint = ?"
    NameList members(const QString& racepoint) const;
    // "SELECT Sixtieths FROM Distances WHERE Name = ? AND Racepoint = ?"
    DistanceLookup distance(const QString& member, const QString& racepoint) const;

    // Whether the last read came from the copy, the server being out of reach.
    bool offline() const { return offline_; }
    // What to tell the user once each time the server is found out of reach:
    // why, and the date of the copy read instead. Empty otherwise.
    QString takeNotice() const { return std::exchange(notice_, QString()); }

private:
    struct Rows {
        QVariantList values; // each row's first column
        QString error;
        DatabaseFault fault = DatabaseFault::None;
    };
    // The query for each engine, with the values to bind.
    Rows read(const QString& sqlite, const QString& postgres, const QStringList& values) const;
    Rows readServer(const QString& text, const QStringList& values) const;
    NameList names(const Rows& rows) const;

    DistanceSource source_;
    mutable std::unique_ptr<DistanceConnection> server_;
    mutable bool offline_ = false;
    mutable bool copyUsable_ = false; // found whole when the server was lost
    mutable QString notice_;
};

} // namespace pellamy
