#pragma once
// The lofts' and race points' coordinates, kept in distances.mdb beside the
// Distances table: Lofts (Name, Latitude, Longitude) and Racepoints
// (Racepoint, Latitude, Longitude), each coordinate as its text. A database
// made before coordinates were kept has neither table; they are made when
// coordinates are first saved.

#include "connection.h"
#include "recordset.h"

#include <QString>
#include <QVector>

namespace pellamy {

struct Place {
    QString name; // the member, or the race point
    QString latitude, longitude;
    bool operator==(const Place& o) const {
        return name == o.name && latitude == o.latitude && longitude == o.longitude;
    }
};

struct PlaceLists {
    QVector<Place> lofts, racepoints; // each in order of name
    bool operator==(const PlaceLists& o) const {
        return lofts == o.lofts && racepoints == o.racepoints;
    }
};

struct PlaceRead {
    PlaceLists lists;
    QString error; // empty when read
    DatabaseFault fault = DatabaseFault::None;
    bool ok() const { return error.isEmpty(); }
};

PlaceRead readPlaces(const DistanceSource& source);

struct PlaceSave {
    WriteOutcome outcome = WriteOutcome::Done;
    QString error; // for Failed
    DatabaseFault fault = DatabaseFault::None;
    PlaceLists stored; // for Done: the lists as now stored, in their order
};

// Stores the lists in place of those read before, all or nothing. When the
// stored lists are no longer those read before (another window or another
// copy of Pellamy saved meanwhile), nothing is written and the outcome is
// Changed.
PlaceSave savePlaces(const DistanceSource& source, const PlaceLists& before,
                     const PlaceLists& after);

// Makes the two tables in a database that has not got them.
bool createPlaceTables(const QSqlDatabase& db, QSqlError* error);

// Reads both lists on an open connection (inside its transaction, when one
// is open).
bool readPlaces(const QSqlDatabase& db, PlaceLists* lists, QSqlError* error);

} // namespace pellamy
