#include "coordinatestore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace pellamy {

namespace {

const char* const kCreateTables =
    "CREATE TABLE IF NOT EXISTS Lofts (Name TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,"
    " Latitude TEXT NOT NULL, Longitude TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS Racepoints (Racepoint TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,"
    " Latitude TEXT NOT NULL, Longitude TEXT NOT NULL);";

bool readList(const QSqlDatabase& db, const QString& table, const QString& nameColumn,
              QVector<Place>* places, QSqlError* error) {
    places->clear();
    const bool server = engineOf(db) == Engine::Postgres;
    // On the server the tables are made with the rest of the schema; a file
    // made before coordinates were kept has neither. A table's name is found
    // in any case, as SQLite reads it (one made by hand as lofts is Lofts).
    if (!server) {
        QSqlQuery exists(db);
        exists.prepare(QStringLiteral(
            "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
        exists.addBindValue(table);
        if (!exists.exec())
            return *error = exists.lastError(), false;
        if (!exists.next())
            return !exists.lastError().isValid() || (*error = exists.lastError(), false);
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT %1, Latitude, Longitude FROM %2 ORDER BY %3")
                        .arg(nameColumn, table,
                             server ? nameColumn.toLower() + QStringLiteral("_key") : nameColumn)))
        return *error = query.lastError(), false;
    while (query.next())
        places->push_back(
            {valueText(query.value(0)), valueText(query.value(1)), valueText(query.value(2))});
    if (query.lastError().isValid())
        return *error = query.lastError(), false;
    return true;
}

bool writeList(const QSqlDatabase& db, const QString& table, const QString& nameColumn,
               const QVector<Place>& places, QSqlError* error) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("DELETE FROM %1").arg(table)))
        return *error = query.lastError(), false;
    RowBatch batch(db, rowsPerStatement(engineOf(db), 3), [&](int rows) {
        return QStringLiteral("INSERT INTO %1 (%2, Latitude, Longitude) VALUES %3")
            .arg(table, nameColumn, repeatedRows(QStringLiteral("(?, ?, ?)"), rows));
    });
    for (const Place& place : places)
        if (!batch.add({place.name, place.latitude, place.longitude}))
            return *error = batch.error(), false;
    if (!batch.finish())
        return *error = batch.error(), false;
    return true;
}

} // namespace

bool readPlaces(const QSqlDatabase& db, PlaceLists* lists, QSqlError* error) {
    return readList(db, QStringLiteral("Lofts"), QStringLiteral("Name"), &lists->lofts, error) &&
           readList(db, QStringLiteral("Racepoints"), QStringLiteral("Racepoint"),
                    &lists->racepoints, error);
}

bool createPlaceTables(const QSqlDatabase& db, QSqlError* error) {
    QSqlQuery query(db);
    for (const QString& statement :
         QString::fromLatin1(kCreateTables).split(u';', Qt::SkipEmptyParts))
        if (!query.exec(statement))
            return *error = query.lastError(), false;
    return true;
}

PlaceRead readPlaces(const DistanceSource& source) {
    PlaceRead read;
    const DistanceConnection connection(source, DistanceConnection::Mode::Read);
    if (!connection.isOpen())
        return {{}, connection.error(), connection.fault()};
    QSqlDatabase db = connection.database();
    // Both lists as one reading, never half of a save.
    QSqlError error;
    db.transaction();
    const bool ok = readPlaces(db, &read.lists, &error);
    db.rollback();
    if (!ok)
        return {{}, errorText(error, connection.engine()), faultOf(error, connection.engine())};
    return read;
}

PlaceSave savePlaces(const DistanceSource& source, const PlaceLists& before,
                     const PlaceLists& after) {
    const DistanceConnection connection(source, DistanceConnection::Mode::ReadWrite);
    if (!connection.isOpen())
        return {WriteOutcome::Failed, connection.error(), connection.fault(), {}};
    const QSqlDatabase db = connection.database();
    const bool server = connection.engine() == Engine::Postgres;
    QSqlQuery query(db);
    const auto failed = [&](const QSqlError& error) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return PlaceSave{WriteOutcome::Failed,
                         errorText(error, connection.engine()),
                         faultOf(error, connection.engine()),
                         {}};
    };
    // The write lock first, so nobody saves between the check and the write.
    if (!query.exec(server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")))
        return failed(query.lastError());
    if (server && !query.exec(QStringLiteral("LOCK TABLE lofts, racepoints IN EXCLUSIVE MODE")))
        return failed(query.lastError());
    PlaceLists stored;
    QSqlError error;
    if (!readPlaces(db, &stored, &error))
        return failed(error);
    if (!(stored == before)) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return {WriteOutcome::Changed, QString(), DatabaseFault::None, {}};
    }
    if (!server && !createPlaceTables(db, &error))
        return failed(error);
    if (!writeList(db, QStringLiteral("Lofts"), QStringLiteral("Name"), after.lofts, &error) ||
        !writeList(db, QStringLiteral("Racepoints"), QStringLiteral("Racepoint"), after.racepoints,
                   &error))
        return failed(error);
    PlaceSave saved;
    if (!readPlaces(db, &saved.stored, &error))
        return failed(error);
    if (!query.exec(QStringLiteral("COMMIT")))
        return failed(query.lastError());
    return saved;
}

} // namespace pellamy
