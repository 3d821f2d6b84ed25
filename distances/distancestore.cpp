#include "distancestore.h"

#include "connection.h"
#include "coordinates.h"
#include "servercopy.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace pellamy {

namespace {

// Runs one read on an open connection. A read is checked through to its
// end: a damaged page met after the first rows fails the whole read.
template <typename Rows>
Rows runRead(const DistanceConnection& connection, const QString& text, const QStringList& values) {
    Rows rows;
    const auto fail = [&](const QSqlError& error) {
        rows = {};
        rows.error = errorText(error, connection.engine());
        rows.fault = faultOf(error, connection.engine());
        return rows;
    };
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.prepare(text))
        return fail(statementError(query));
    for (const QString& value : values)
        query.addBindValue(value);
    if (!query.exec())
        return fail(statementError(query));
    while (query.next())
        rows.values << query.value(0);
    if (query.lastError().isValid())
        return fail(query.lastError());
    return rows;
}

QStringList keys(const QStringList& values) {
    QStringList folded;
    for (const QString& value : values)
        folded << nocaseKey(value);
    return folded;
}

} // namespace

DistanceStore::DistanceStore(DistanceSource source) : source_(std::move(source)) {}

DistanceStore::~DistanceStore() = default;

DistanceStore::Rows DistanceStore::readServer(const QString& text,
                                              const QStringList& values) const {
    // A connection the server dropped (a restart, say) is opened afresh once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!server_)
            server_ = std::make_unique<DistanceConnection>(source_, DistanceConnection::Mode::Read);
        if (!server_->isOpen())
            return {{}, server_->error(), server_->fault()};
        Rows rows = runRead<Rows>(*server_, text, values);
        if (rows.fault != DatabaseFault::Unreachable)
            return rows;
        server_.reset();
        if (attempt == 1)
            return rows;
    }
    return {};
}

DistanceStore::Rows DistanceStore::read(const QString& sqlite, const QString& postgres,
                                        const QStringList& values) const {
    if (!source_.onServer()) {
        const DistanceConnection connection(source_, DistanceConnection::Mode::Read);
        if (!connection.isOpen())
            return {{}, connection.error(), connection.fault()};
        return runRead<Rows>(connection, sqlite, values);
    }
    if (!offline_) {
        Rows rows = readServer(postgres, keys(values));
        if (rows.fault != DatabaseFault::Unreachable)
            return rows;
        server_.reset();
        const OfflineCopy copy =
            offlineCopy(rows.error, source_, QStringLiteral("Pellamy is closed"));
        notice_ = copy.notice;
        copyUsable_ = copy.usable;
        offline_ = true;
    }
    // A copy found damaged is not read at all: part of it could leave a
    // member out of the lists without a word.
    if (!copyUsable_)
        return {{},
                QStringLiteral("This computer's copy of the distances cannot be read."),
                DatabaseFault::Unreachable};
    // The copy's own fault (removed or held since, say) is the server's
    // being out of reach with no copy to read: neither distances.mdb's nor
    // the server's.
    const DistanceConnection copy(source_.copyPath, DistanceConnection::Mode::Read);
    Rows rows =
        copy.isOpen() ? runRead<Rows>(copy, sqlite, values) : Rows{{}, copy.error(), copy.fault()};
    if (!rows.error.isEmpty())
        rows.fault = DatabaseFault::Unreachable;
    return rows;
}

NameList DistanceStore::names(const Rows& rows) const {
    NameList result;
    if (!rows.error.isEmpty())
        return {{}, false, rows.error, rows.fault};
    for (const QVariant& value : rows.values) {
        const QString name = valueText(value);
        if (name.isEmpty())
            result.hadEmpty = true;
        else
            result.values << name;
    }
    return result;
}

NameList DistanceStore::racepoints() const {
    // The rows of "SELECT DISTINCT Racepoint FROM Distances", in the order
    // the race point index gives them, found by stepping from one race point
    // to the next in that index instead of reading every row: a federation's
    // 200,000 rows take no longer than a club's. A NULL race point comes
    // last, as one row. Of race points that differ only in letter case the
    // first in the index stands for them all: on the server, the one of the
    // row first by name (an empty name before others), then by key.
    return names(read(
        QStringLiteral(
            "WITH RECURSIVE Points(Racepoint) AS ("
            " SELECT MIN(Racepoint) FROM Distances"
            " UNION ALL"
            " SELECT (SELECT MIN(Racepoint) FROM Distances"
            "         WHERE Distances.Racepoint > Points.Racepoint)"
            " FROM Points WHERE Points.Racepoint IS NOT NULL)"
            " SELECT Racepoint FROM Points WHERE Racepoint IS NOT NULL"
            " UNION ALL"
            " SELECT NULL WHERE EXISTS (SELECT 1 FROM Distances WHERE Racepoint IS NULL)"),
        QStringLiteral(
            "WITH RECURSIVE points(k) AS ("
            " SELECT min(racepoint_key) FROM distances"
            " UNION ALL"
            " SELECT (SELECT min(racepoint_key) FROM distances d WHERE d.racepoint_key > points.k)"
            " FROM points WHERE points.k IS NOT NULL)"
            " SELECT racepoint FROM ("
            "  SELECT k, (SELECT racepoint FROM distances d WHERE d.racepoint_key = points.k"
            "             ORDER BY d.name_key NULLS FIRST, d.id LIMIT 1) AS racepoint"
            "  FROM points WHERE k IS NOT NULL"
            "  UNION ALL"
            "  SELECT NULL, NULL WHERE EXISTS (SELECT 1 FROM distances WHERE racepoint_key IS "
            "NULL)) r"
            " ORDER BY k COLLATE \"C\" NULLS LAST"),
        {}));
}

NameList DistanceStore::members(const QString& racepoint) const {
    return names(read(QStringLiteral("SELECT DISTINCT Name FROM Distances WHERE Racepoint = ?"),
                      QStringLiteral("SELECT DISTINCT ON (name_key) name FROM distances"
                                     " WHERE racepoint_key = ? ORDER BY name_key NULLS FIRST, id"),
                      {racepoint}));
}

DistanceLookup DistanceStore::distance(const QString& member, const QString& racepoint) const {
    const Rows rows = read(
        QStringLiteral("SELECT Sixtieths FROM Distances WHERE Name = ? AND Racepoint = ?"),
        QStringLiteral("SELECT sixtieths FROM distances WHERE name_key = ? AND racepoint_key = ?"
                       " ORDER BY id"),
        {member, racepoint});
    if (!rows.error.isEmpty())
        return {{}, rows.error, rows.fault};
    DistanceLookup result;
    for (const QVariant& value : rows.values)
        result.text += valueText(value) + QStringLiteral("\r\n");
    return result;
}

} // namespace pellamy
