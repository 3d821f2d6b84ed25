#include "distancestore.h"

#include "connection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <functional>

namespace pellamy {

namespace {

struct ReadFailure {
    QString error; // empty when the read ran to its end
    DatabaseFault fault = DatabaseFault::None;
};

ReadFailure failure(const QSqlError& error) {
    return {error.text(), faultOf(error)};
}

// Runs one read on its own connection, closed again at once; each row's
// first column goes to the row handler. A read is checked through to its
// end: a damaged page met after the first rows fails the whole read.
ReadFailure read(const QString& path, const QString& text, const QStringList& values,
                 const std::function<void(const QVariant&)>& row) {
    const DistanceConnection connection(path, DistanceConnection::Mode::Read);
    if (!connection.isOpen())
        return {connection.error(), connection.fault()};
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.prepare(text))
        return failure(query.lastError());
    for (const QString& value : values)
        query.addBindValue(value);
    if (!query.exec())
        return failure(query.lastError());
    while (query.next())
        row(query.value(0));
    if (query.lastError().isValid())
        return failure(query.lastError());
    return {};
}

} // namespace

DistanceStore::DistanceStore(QString databasePath) : path_(std::move(databasePath)) {}

NameList DistanceStore::names(const QString& text, const QStringList& values) const {
    NameList result;
    const ReadFailure failed = read(path_, text, values, [&](const QVariant& value) {
        const QString name = valueText(value);
        if (name.isEmpty())
            result.hadEmpty = true;
        else
            result.values << name;
    });
    if (!failed.error.isEmpty())
        result = {{}, false, failed.error, failed.fault};
    return result;
}

NameList DistanceStore::racepoints() const {
    // The rows of "SELECT DISTINCT Racepoint FROM Distances", in the order
    // the race point index gives them, found by stepping from one race point
    // to the next in that index instead of reading every row: a federation's
    // 200,000 rows take no longer than a club's. A NULL race point comes
    // last, as one row.
    return names(QStringLiteral(
                     "WITH RECURSIVE Points(Racepoint) AS ("
                     " SELECT MIN(Racepoint) FROM Distances"
                     " UNION ALL"
                     " SELECT (SELECT MIN(Racepoint) FROM Distances"
                     "         WHERE Distances.Racepoint > Points.Racepoint)"
                     " FROM Points WHERE Points.Racepoint IS NOT NULL)"
                     " SELECT Racepoint FROM Points WHERE Racepoint IS NOT NULL"
                     " UNION ALL"
                     " SELECT NULL WHERE EXISTS (SELECT 1 FROM Distances WHERE Racepoint IS NULL)"),
                 {});
}

NameList DistanceStore::members(const QString& racepoint) const {
    return names(QStringLiteral("SELECT DISTINCT Name FROM Distances WHERE Racepoint = ?"),
                 {racepoint});
}

DistanceLookup DistanceStore::distance(const QString& member, const QString& racepoint) const {
    DistanceLookup result;
    const ReadFailure failed = read(
        path_, QStringLiteral("SELECT Sixtieths FROM Distances WHERE Name = ? AND Racepoint = ?"),
        {member, racepoint},
        [&](const QVariant& value) { result.text += valueText(value) + QStringLiteral("\r\n"); });
    if (!failed.error.isEmpty())
        result = {{}, failed.error, failed.fault};
    return result;
}

} // namespace pellamy
