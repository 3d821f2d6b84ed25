#include "distancestore.h"

#include "connection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace pellamy {

DistanceStore::DistanceStore(QString databasePath) : path_(std::move(databasePath)) {}

NameList DistanceStore::names(const QString& text, const QStringList& values) const {
    NameList result;
    const DistanceConnection connection(path_, DistanceConnection::Mode::Read);
    if (!connection.isOpen()) {
        result.error = connection.error();
        return result;
    }
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.prepare(text)) {
        result.error = query.lastError().text();
        return result;
    }
    for (const QString& value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        result.error = query.lastError().text();
        return result;
    }
    while (query.next()) {
        const QString value = valueText(query.value(0));
        if (value.isEmpty())
            result.hadEmpty = true;
        else
            result.values << value;
    }
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
    const DistanceConnection connection(path_, DistanceConnection::Mode::Read);
    if (!connection.isOpen()) {
        result.error = connection.error();
        return result;
    }
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT Sixtieths FROM Distances WHERE Name = ? AND Racepoint = ?"));
    query.addBindValue(member);
    query.addBindValue(racepoint);
    if (!query.exec()) {
        result.error = query.lastError().text();
        return result;
    }
    while (query.next())
        result.text += valueText(query.value(0)) + QStringLiteral("\r\n");
    return result;
}

} // namespace pellamy
