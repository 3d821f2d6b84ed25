#pragma once
// Where the distances are kept. A club keeps its own distances.mdb in the
// program folder. A club of a federation that shares its distances on a
// PostgreSQL server puts server.txt beside it instead: one libpq connection
// string (host=… port=… dbname=… user=…). The server's rows are then copied
// after every start-up into distances-copy.mdb beside the program, which the
// club reads, and never writes, while the server cannot be reached.

#include <QString>

namespace pellamy {

struct DistanceSource {
    DistanceSource() = default;
    // The club's own file at a path, with no server.
    DistanceSource(const QString& path) : databasePath(path) {} // NOLINT: a path is a source

    QString databasePath; // the club's own distances.mdb
    QString server;       // server.txt's connection string; empty without server.txt
    QString serverError;  // server.txt cannot be used: why, in words for the user
    QString copyPath;     // the club's copy of the server's rows

    bool onServer() const { return !server.isEmpty() || !serverError.isEmpty(); }
    // The server named without its password, for messages.
    QString serverShown() const;
};

// Where a connection string points: its host (or address), port and
// database as written, quotes aside, a host name in small letters and the
// port 5432 left out. Strings that differ only in the user, the password,
// blanks or other options point at the same distances.
QString serverPlace(const QString& connection);

// The source for a program folder: its server.txt when there is one, else its
// distances.mdb.
DistanceSource distanceSourceInFolder(const QString& folder);

// The connection string of a server.txt's text: its one line that is not
// empty and not a comment ("#"). Empty, with the reason, when there is none,
// more than one, or it is in a form Pellamy cannot hand on.
QString serverConnectionString(const QString& text, QString* error);

} // namespace pellamy
