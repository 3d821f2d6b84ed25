#pragma once
// One connection to the distance database, opened for one operation and
// closed when it goes out of scope. Opening never creates the file.

#include <QSqlDatabase>
#include <QString>

class QSqlError;

namespace pellamy {

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
    Damaged,  // the file's contents are corrupt: nothing may be written to it
    ReadOnly, // the file or its folder cannot be written
    Busy,     // another program holds it locked
    Other,
};

class DistanceConnection {
public:
    enum class Mode { Read, ReadWrite };

    DistanceConnection(const QString& path, Mode mode);
    ~DistanceConnection();
    DistanceConnection(const DistanceConnection&) = delete;
    DistanceConnection& operator=(const DistanceConnection&) = delete;

    bool isOpen() const { return error_.isEmpty(); }
    // Why the database could not be opened, in words for the user.
    const QString& error() const { return error_; }
    DatabaseFault fault() const { return fault_; }
    QSqlDatabase database() const { return db_; }

private:
    QString name_;
    QSqlDatabase db_;
    QString error_;
    DatabaseFault fault_ = DatabaseFault::None;
};

DatabaseFault faultOf(const QSqlError& error);

// The message for a damaged distances.mdb, and whether it is still to be
// shown: a damaged file is reported once while the program runs, by the
// first window that meets it.
QString damagedDatabaseMessage();
bool firstReportOfDamage(const QString& path);

// Why nothing was written, for the faults the user can do something about:
// a damaged file, a read-only file or folder, a file in use. notDone says
// what was not done, as "the record has not been saved.". Empty for any
// other fault.
QString faultMessage(DatabaseFault fault, const QString& notDone);

// The text of a value read from the database: an empty text for NULL,
// general number text for a number stored as such.
QString valueText(const QVariant& value);

} // namespace pellamy
