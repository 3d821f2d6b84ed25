#pragma once
// One connection to the distance database, opened for one operation and
// closed when it goes out of scope: the club's own file (opening never
// creates it) or the federation's PostgreSQL server.

#include "source.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <functional>

namespace pellamy {

// The engine behind a connection: the query texts differ where the engines
// do (rowids, locking, the key that orders names without regard to case).
enum class Engine { Sqlite, Postgres };

// What a file named distances.mdb holds, told by its first bytes.
enum class DatabaseKind {
    Missing,    // no such file
    Unreadable, // exists but cannot be read
    Sqlite,     // "SQLite format 3" and a NUL
    Jet,        // an Access 97 or 2000 file ("Standard Jet DB")
    Ace,        // an Access 2007 or later file ("Standard ACE DB")
    Other,      // anything else, an empty file included
};
DatabaseKind databaseKind(const QString& path);

// What went wrong with the database, in the terms the user is told.
enum class DatabaseFault {
    None,
    Damaged,     // the file's contents are corrupt: nothing may be written to it
    ReadOnly,    // the file or its folder cannot be written
    Busy,        // another program holds it locked
    Replaced,    // another file was put in its place while it was open
    ServerBusy,  // another change on the distance server held the rows longer than a save waits
    Unreachable, // the distance server cannot be reached, or refused the sign-in
    NotAllowed,  // the user on the distance server may only read
    Other,
};

class DistanceConnection {
public:
    enum class Mode { Read, ReadWrite };

    // The source's server when it has one, else its file. A connection for
    // reading only is read-only on the server too.
    DistanceConnection(const DistanceSource& source, Mode mode);
    ~DistanceConnection();
    DistanceConnection(const DistanceConnection&) = delete;
    DistanceConnection& operator=(const DistanceConnection&) = delete;

    bool isOpen() const { return error_.isEmpty(); }
    // Why the database could not be opened, in words for the user.
    const QString& error() const { return error_; }
    DatabaseFault fault() const { return fault_; }
    QSqlDatabase database() const { return db_; }
    Engine engine() const { return engine_; }

private:
    void openFile(const QString& path, Mode mode);
    void openServer(const DistanceSource& source, Mode mode);

    QString name_;
    Engine engine_ = Engine::Sqlite;
    QSqlDatabase db_;
    QString error_;
    DatabaseFault fault_ = DatabaseFault::None;
};

// How long a write to the club's file waits for another program's lock
// before it is refused as busy, in milliseconds.
constexpr int kFileBusyTimeoutMs = 3000;

// The engine of an open database.
Engine engineOf(const QSqlDatabase& db);
DatabaseFault faultOf(const QSqlError& error, Engine engine = Engine::Sqlite);
// The reason the server gave, as libpq words it, without Qt's additions.
QString serverReason(const QSqlError& error);
// An error in words for the user: the server's reason, or the file's.
QString errorText(const QSqlError& error, Engine engine);
// The server's line lost, as a connection error. Once libpq has found the
// line gone, Qt's driver refuses every statement as "not open" without an
// error of its own.
QSqlError lostLineError();
// Why a statement failed: its error, or, when it has none, the line lost,
// so that a read refused is never taken for one that found nothing.
QSqlError statementError(const QSqlQuery& query);

// The message for a damaged distances.mdb, and whether it is still to be
// shown: a damaged file is reported once while the program runs, by the
// first window that meets it.
QString damagedDatabaseMessage();
bool firstReportOfDamage(const QString& path);

// A server that answers but cannot give what was asked for (its tables
// not made, a user not granted them), a federation's fault to mend: what
// was not read ("The race points"), the server's reason and who can help.
QString serverNotReadMessage(const QString& what, const QString& reason);

// Why nothing was written, for the faults the user can do something about:
// a damaged file, a read-only file or folder, a file in use, a server that
// cannot be reached, is busy or lets the user only read. notDone says
// what was not done, as "the record has not been saved."; retry, what to do
// about a file or server in use. Empty for any other fault.
QString faultMessage(DatabaseFault fault, const QString& notDone,
                     const QString& retry = QStringLiteral("Please try again in a moment."));

// The text of a value read from the database: an empty text for NULL,
// general number text for a number stored as such.
QString valueText(const QVariant& value);

// Rows written a group at a time, one statement for many rows: on a server
// across a network every statement waits for its answer, so 500,000 rows
// sent one by one would take hours. statement(n) gives the statement for n
// rows, whose values are bound row after row.
class RowBatch {
public:
    RowBatch(const QSqlDatabase& db, int rowsPerStatement, std::function<QString(int)> statement);
    // Adds a row; a full group is sent. False when a statement failed.
    bool add(const QVariantList& values);
    // Sends the rows not yet sent. False when a statement failed.
    bool finish();
    const QSqlError& error() const { return error_; }

private:
    bool send(QSqlQuery& query);

    QSqlDatabase db_;
    int rowsPerStatement_;
    std::function<QString(int)> statement_;
    QSqlQuery full_;
    bool fullPrepared_ = false;
    QVariantList pending_;
    int pendingRows_ = 0;
    QSqlError error_;
};

// How many rows a statement carries on the engine: a server's round trips
// are what count, SQLite's own limit on bound values (999 in older
// versions) must not be reached.
int rowsPerStatement(Engine engine, int columns);

// A statement's rows of values: row ("(?, ?, ?)") rows times, with commas.
QString repeatedRows(const QString& row, int rows);

// Rows added to the Distances table a group at a time, each given as name,
// race point, miles, yards and sixtieths.
RowBatch distanceInserts(const QSqlDatabase& db);

// The address SQLite opens an absolute file path by ("file:///home/…",
// "file:///C:/…", and "file:////server/share/…" for a Windows network share,
// whose server must not be read as the address's host), existing files
// only.
QString sqliteFileUri(const QString& absolutePath, DistanceConnection::Mode mode);

} // namespace pellamy
