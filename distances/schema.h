#pragma once
// The distance database's schema, shipped with the program, and the running
// of SQL scripts such as it.

#include <QSqlDatabase>
#include <QString>

namespace pellamy {

// The text of schema.sql.
QString distanceSchema();

// Makes an empty distance database at path, where there is none: written
// whole beside it first, so that a copy of Pellamy reading meanwhile finds
// no half-made file, and never put over a file there (one another copy
// made meanwhile stands). Empty when a file stands there; else why not.
QString createDistanceDatabase(const QString& path);

// Runs the statements of a script (each ending with ";" at a line end;
// lines starting with "--" are comments). False, with the reason, at the
// first statement that fails.
bool runSqlScript(QSqlDatabase& db, const QString& script, QString* error);

} // namespace pellamy
