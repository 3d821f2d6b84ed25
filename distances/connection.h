#pragma once
// One connection to the distance database, opened for one operation and
// closed when it goes out of scope. Opening never creates the file.

#include <QSqlDatabase>
#include <QString>

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
    QSqlDatabase database() const { return db_; }

private:
    QString name_;
    QSqlDatabase db_;
    QString error_;
};

// The text of a value read from the database: an empty text for NULL,
// general number text for a number stored as such.
QString valueText(const QVariant& value);

} // namespace pellamy
