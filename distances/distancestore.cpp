#include "distancestore.h"

#include "connection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <functional>

namespace pellamy {

namespace {

// Runs one read on its own connection, closed again at once; each row's
// first column goes to the row handler. The reason when it fails.
QString read(const QString& path, const QString& text, const QStringList& values,
             const std::function<void(const QVariant&)>& row) {
    const DistanceConnection connection(path, DistanceConnection::Mode::Read);
    if (!connection.isOpen())
        return connection.error();
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.prepare(text))
        return query.lastError().text();
    for (const QString& value : values)
        query.addBindValue(value);
    if (!query.exec())
        return query.lastError().text();
    while (query.next())
        row(query.value(0));
    return QString();
}

} // namespace

DistanceStore::DistanceStore(QString databasePath) : path_(std::move(databasePath)) {}

NameList DistanceStore::names(const QString& text, const QStringList& values) const {
    NameList result;
    result.error = read(path_, text, values, [&](const QVariant& value) {
        const QString name = valueText(value);
        if (name.isEmpty())
            result.hadEmpty = true;
        else
            result.values << name;
    });
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
    result.error = read(
        path_, QStringLiteral("SELECT Sixtieths FROM Distances WHERE Name = ? AND Racepoint = ?"),
        {member, racepoint},
        [&](const QVariant& value) { result.text += valueText(value) + QStringLiteral("\r\n"); });
    return result;
}

} // namespace pellamy
