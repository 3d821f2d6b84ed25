#pragma once
// Makes distance databases for tests from the schema the project ships.

#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <array>

namespace testsupport {

using Row = std::array<const char*, 5>; // Name, Racepoint, Miles, Yards, Sixtieths; nullptr = NULL

// A connection of the test's own to the file, as another program holds one.
// One at a time by a name: the helpers below use the default one. Another
// driver's (a PostgreSQL server's) is named by its connect options alone.
// Throws when it cannot be opened.
struct SqlConnection {
    explicit SqlConnection(const QString& path, const QString& name = "testsupport",
                           const QString& driver = "QSQLITE", const QString& options = {});
    ~SqlConnection();
    QSqlDatabase db;
};

// Creates path from distances/schema.sql and inserts the rows in order.
void makeDistanceDatabase(const QString& path, const QVector<Row>& rows = {});

// Every row of the Distances table, in rowid order, each value as text
// ("(null)" for NULL).
QVector<QStringList> distanceRows(const QString& path);

// Runs one statement on the file, as another program writing to it would.
void execSql(const QString& path, const QString& statement);

// A club of 400 members and 20 race points whose file has a few damaged
// pages (garbage written over them, as a failing disk leaves them).
void makeDamagedDatabase(const QString& path);

} // namespace testsupport
