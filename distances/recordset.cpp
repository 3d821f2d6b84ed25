#include "recordset.h"

#include "coordinates.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace pellamy {

namespace {

// A row by its address: SQLite's rowid, the server's key.
QString selectRow(Engine engine) {
    return engine == Engine::Postgres
               ? QStringLiteral("SELECT name, racepoint, miles, yards, sixtieths FROM distances "
                                "WHERE id = ?")
               : QStringLiteral("Select Name, Racepoint, Miles, Yards, Sixtieths From distances "
                                "Where rowid = ?");
}

DistanceRecord recordOf(const QSqlQuery& query) {
    return {valueText(query.value(0)), valueText(query.value(1)), valueText(query.value(2)),
            valueText(query.value(3)), valueText(query.value(4))};
}

} // namespace

DistanceRecordSet::DistanceRecordSet(DistanceSource source) : source_(std::move(source)) {}

DistanceRecordSet::~DistanceRecordSet() = default;

bool DistanceRecordSet::fail(const QString& message, DatabaseFault fault) {
    error_ = message;
    fault_ = fault;
    return false;
}

bool DistanceRecordSet::commit() {
    QSqlQuery commit(connection_->database());
    if (commit.exec(QStringLiteral("Commit")))
        return true;
    fail(commit.lastError());
    commitUnanswered_ = fault_ == DatabaseFault::Unreachable;
    return false;
}

bool DistanceRecordSet::fail(const QSqlError& error) {
    const QSqlError said = withLostLine(error);
    return fail(errorText(said, engine()), faultOf(said, engine()));
}

QSqlError DistanceRecordSet::withLostLine(const QSqlError& error) const {
    if (error.type() != QSqlError::NoError || engine() != Engine::Postgres ||
        connection_->database().isOpen())
        return error;
    return lostLineError();
}

Engine DistanceRecordSet::engine() const {
    return connection_ ? connection_->engine() : Engine::Sqlite;
}

bool DistanceRecordSet::reconnectedAfter(const QSqlError& error, bool pressed) {
    if (engine() != Engine::Postgres ||
        faultOf(withLostLine(error), Engine::Postgres) != DatabaseFault::Unreachable)
        return false;
    // A server that could not be reached a moment ago is not tried at every
    // move (each try may wait out the connection's timeout), and one just
    // reached again is not tried again at once.
    if ((!pressed && failedReconnect_.isValid() && failedReconnect_.elapsed() < 30000) ||
        (reconnected_.isValid() && reconnected_.elapsed() < 1000))
        return false;
    auto fresh = std::make_unique<DistanceConnection>(source_, mode_);
    if (!fresh->isOpen()) {
        failedReconnect_.start();
        return false;
    }
    failedReconnect_.invalidate();
    reconnected_.start();
    connection_ = std::move(fresh);
    return true;
}

bool DistanceRecordSet::beginWriting() {
    QSqlQuery begin(connection_->database());
    if (begin.exec(beginWrite()))
        return true;
    if (!reconnectedAfter(begin.lastError(), true))
        return fail(begin.lastError());
    QSqlQuery again(connection_->database());
    return again.exec(beginWrite()) || fail(again.lastError());
}

bool DistanceRecordSet::open(DistanceConnection::Mode mode) {
    mode_ = mode;
    connection_ = std::make_unique<DistanceConnection>(source_, mode);
    if (!connection_->isOpen())
        return fail(connection_->error(), connection_->fault());
    if (engine() == Engine::Postgres) {
        // A club's user on a federation's server may read only.
        QSqlQuery privilege(connection_->database());
        if (!privilege.exec(QStringLiteral("SELECT has_table_privilege('distances', 'INSERT') "
                                           "AND has_table_privilege('distances', 'UPDATE') AND "
                                           "has_table_privilege('distances', 'DELETE')")) ||
            !privilege.next())
            return fail(privilege.lastError());
        mayWrite_ = privilege.value(0).toBool();
        return readOrder() && (order_.isEmpty() || moveTo(0));
    }
    // The editor is the one writer: a damaged file is found before anything
    // is written to it, not part-way through the records.
    QSqlQuery check(connection_->database());
    check.setForwardOnly(true);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")))
        return fail(check.lastError());
    if (!check.next() || check.value(0).toString() != QLatin1String("ok"))
        return fail(check.lastError().isValid() ? check.lastError().text()
                                                : check.value(0).toString(),
                    DatabaseFault::Damaged);
    check.finish();
    if (!readOrder())
        return false;
    return order_.isEmpty() || moveTo(0);
}

bool DistanceRecordSet::readOrder() {
    // The editor's query, "Select * From distances Order By name, racepoint",
    // with the rowid of each row taken for its address. On the server the
    // key orders as the file's NOCASE does, an empty name first, and the
    // rows of one name and race point in the order they were added.
    // A Distances another program made a view, or a table without row
    // numbers, has no address for a record (a view's rowid is NULL).
    const QString noAddresses =
        QStringLiteral("the Distances table of distances.mdb has been changed by another "
                       "program into one whose records cannot be told apart (a view, or a table "
                       "without row numbers), so they cannot be shown or changed here. Please ask "
                       "whoever changed it to put it back as it was.");
    QSqlQuery query(connection_->database());
    query.setForwardOnly(true);
    if (!query.exec(engine() == Engine::Postgres
                        ? QStringLiteral("SELECT id FROM distances ORDER BY name_key NULLS FIRST, "
                                         "racepoint_key NULLS FIRST, id")
                        : QStringLiteral("Select rowid From distances Order By name, racepoint")))
        return query.lastError().databaseText() == QLatin1String("no such column: rowid")
                   ? fail(noAddresses)
                   : fail(query.lastError());
    QVector<qint64> order;
    while (query.next()) {
        if (query.value(0).isNull())
            return fail(noAddresses);
        order.push_back(query.value(0).toLongLong());
    }
    if (query.lastError().isValid())
        return fail(query.lastError());
    order_ = std::move(order);
    return true;
}

bool DistanceRecordSet::moveTo(int position) {
    if (!connection_ || position < 0 || position >= count())
        return false;
    QSqlQuery query(connection_->database());
    query.prepare(selectRow(engine()));
    query.addBindValue(order_[position]);
    if (!query.exec())
        return reconnectedAfter(query.lastError()) ? moveTo(position) : fail(query.lastError());
    if (!query.next()) {
        if (query.lastError().isValid())
            return fail(query.lastError());
        // Deleted by another window or copy since the order was read: the
        // order is read again and the record now standing at that place is
        // shown, so that moving on is never stuck on a record that is gone.
        const qint64 missing = order_[position];
        if (!readOrder())
            return false;
        if (order_.isEmpty()) { // none left: nothing is shown
            position_ = -1;
            current_ = {};
            return true;
        }
        // Tried again only at another address, never round again at the one
        // that was not found.
        const int at = std::clamp(position, 0, count() - 1);
        if (order_[at] == missing)
            return fail(QStringLiteral("the record could not be read again"));
        return moveTo(at);
    }
    current_ = recordOf(query);
    position_ = position;
    isNew_ = false;
    return true;
}

void DistanceRecordSet::addNew() {
    if (!isNew_)
        positionBeforeNew_ = position_;
    isNew_ = true;
    current_ = {};
}

void DistanceRecordSet::cancelNew() {
    if (!isNew_)
        return;
    isNew_ = false;
    position_ = -1;
    current_ = {};
    if (positionBeforeNew_ >= 0 && positionBeforeNew_ < count())
        moveTo(positionBeforeNew_);
}

WriteOutcome DistanceRecordSet::checkCurrentUnchanged() {
    // On the server the row is locked until the write ends, so that no
    // other editor changes it between this check and the write.
    QSqlQuery query(connection_->database());
    query.prepare(selectRow(engine()) +
                  (engine() == Engine::Postgres ? QStringLiteral(" FOR UPDATE") : QString()));
    query.addBindValue(order_[position_]);
    if (!query.exec())
        return fail(query.lastError()), WriteOutcome::Failed;
    if (!query.next())
        return query.lastError().isValid() ? (fail(query.lastError()), WriteOutcome::Failed)
                                           : WriteOutcome::Deleted;
    return recordOf(query) == current_ ? WriteOutcome::Done : WriteOutcome::Changed;
}

void DistanceRecordSet::reread() {
    const qint64 shown = position_ >= 0 && position_ < count() ? order_[position_] : -1;
    const int place = position_;
    isNew_ = false;
    position_ = -1;
    current_ = {};
    if (!readOrder() || order_.isEmpty())
        return;
    const int at = int(order_.indexOf(shown));
    moveTo(at >= 0 ? at : std::clamp(place, 0, count() - 1));
}

void DistanceRecordSet::takeInAddedRows() {
    const qint64 shown = isNew_ ? -1 : addressAt(position_);
    const qint64 before = addressAt(positionBeforeNew_);
    const QVector<qint64> order = order_;
    const QString error = error_;
    const DatabaseFault fault = fault_;
    if (!readOrder() || (shown >= 0 && !order_.contains(shown))) {
        order_ = order; // the refusal is what is said, not this read
        fail(error, fault);
        return;
    }
    if (shown >= 0)
        position_ = positionOf(shown);
    // (The record before a new one gone meanwhile: the one now at its place.)
    if (before >= 0 && positionOf(before) >= 0)
        positionBeforeNew_ = positionOf(before);
    else if (before >= 0)
        positionBeforeNew_ = std::min(positionBeforeNew_, count() - 1);
}

WriteOutcome DistanceRecordSet::refuseReadOnly() {
    fail(QStringLiteral("The user on the distance server may only read the distances."),
         DatabaseFault::NotAllowed);
    return WriteOutcome::Failed;
}

QString DistanceRecordSet::beginWrite() const {
    // SQLite takes its write lock at once; the server locks the row itself.
    return engine() == Engine::Postgres ? QStringLiteral("BEGIN")
                                        : QStringLiteral("Begin Immediate");
}

WriteOutcome DistanceRecordSet::save(const DistanceRecord& record) {
    commitUnanswered_ = false;
    if (!connection_ || !connection_->isOpen())
        return fail(connection_ ? connection_->error()
                                : QStringLiteral("The database is not open."),
                    connection_ ? connection_->fault() : DatabaseFault::Other),
               WriteOutcome::Failed;
    if (!mayWrite_)
        return refuseReadOnly();
    fail(QString(), DatabaseFault::None); // what error() says after this save is its own
    // With no current record (an empty table, or the last one deleted) the
    // typed record is a new one.
    const bool insert = isNew_ || position_ < 0 || position_ >= count();
    // The write lock is taken first, so nobody changes the row between the
    // check and the write.
    if (!beginWriting())
        return WriteOutcome::Failed;
    const QSqlDatabase db = connection_->database();
    QSqlQuery query(db);
    const auto rollBack = [&](WriteOutcome outcome) {
        QSqlQuery(db).exec(QStringLiteral("Rollback"));
        if (outcome == WriteOutcome::Deleted || outcome == WriteOutcome::Changed)
            reread();
        else if (outcome == WriteOutcome::HeldTwice)
            takeInAddedRows();
        return outcome;
    };
    if (!insert) {
        const WriteOutcome unchanged = checkCurrentUnchanged();
        if (unchanged != WriteOutcome::Done)
            return rollBack(unchanged);
    }
    const bool server = engine() == Engine::Postgres;
    // One member's distance from one race point is held in one row: with a
    // second, matched as the calculator matches them, that member's birds
    // would be refused on race night. Asked of a new pair only: a distance
    // put right in one of two rows already held is saved.
    const bool newPair = insert || nocaseKey(record.name) != nocaseKey(current_.name) ||
                         nocaseKey(record.racepoint) != nocaseKey(current_.racepoint);
    // On the server two clubs' editors may add one pair at the same moment:
    // the table is held against other writers from the check to the commit,
    // as the club's own file is by its write lock.
    if (server && newPair &&
        !query.exec(QStringLiteral("LOCK TABLE distances IN SHARE ROW EXCLUSIVE MODE"))) {
        fail(query.lastError());
        return rollBack(WriteOutcome::Failed);
    }
    QSqlQuery twice(db);
    twice.prepare(server ? QStringLiteral("SELECT count(*) FROM distances WHERE name_key = ? AND "
                                          "racepoint_key = ? AND id <> ?")
                         : QStringLiteral("Select Count(*) From Distances Where Name = ? And "
                                          "Racepoint = ? And rowid <> ?"));
    twice.addBindValue(server ? nocaseKey(record.name) : record.name);
    twice.addBindValue(server ? nocaseKey(record.racepoint) : record.racepoint);
    twice.addBindValue(insert ? qint64(-1) : order_[position_]);
    if (newPair && (!twice.exec() || !twice.next())) {
        fail(twice.lastError());
        return rollBack(WriteOutcome::Failed);
    }
    if (newPair && twice.value(0).toLongLong() > 0)
        return rollBack(WriteOutcome::HeldTwice);
    twice.finish();
    if (insert)
        query.prepare(QStringLiteral("Insert Into Distances (Name, Racepoint, Miles, Yards, "
                                     "Sixtieths) Values (?, ?, ?, ?, ?)") +
                      (server ? QStringLiteral(" RETURNING id") : QString()));
    else
        query.prepare(QStringLiteral("Update Distances Set Name = ?, Racepoint = ?, Miles = ?, "
                                     "Yards = ?, Sixtieths = ? Where %1 = ?")
                          .arg(server ? QStringLiteral("id") : QStringLiteral("rowid")));
    for (const QString* value :
         {&record.name, &record.racepoint, &record.miles, &record.yards, &record.sixtieths})
        query.addBindValue(*value);
    if (!insert)
        query.addBindValue(order_[position_]);
    if (!query.exec() || query.numRowsAffected() != 1) {
        if (query.lastError().isValid())
            fail(query.lastError());
        else
            fail(QStringLiteral("The record could not be saved."));
        return rollBack(WriteOutcome::Failed);
    }
    const qint64 saved = !insert  ? order_[position_]
                         : server ? (query.next() ? query.value(0).toLongLong() : -1)
                                  : query.lastInsertId().toLongLong();
    query.finish();
    if (!commit())
        return rollBack(WriteOutcome::Failed);

    isNew_ = false;
    // A record whose name and race point keep their order keeps its place:
    // the order is read again only when the record may have moved, which on
    // a federation's server spares every save a read of all the keys.
    const bool samePlace = !insert && nocaseKey(record.name) == nocaseKey(current_.name) &&
                           nocaseKey(record.racepoint) == nocaseKey(current_.racepoint);
    // The record is saved: a read afterwards that fails (the file busy a
    // moment, the server gone) shows the records as they can be read, but
    // never says the save failed, which would invite saving it twice.
    if (samePlace && moveTo(position_))
        return WriteOutcome::Done;
    const int at = readOrder() ? int(order_.indexOf(saved)) : -1;
    if (at < 0 || !moveTo(at))
        reread();
    return WriteOutcome::Done;
}

WriteOutcome DistanceRecordSet::removeCurrent() {
    commitUnanswered_ = false;
    if (!connection_ || isNew_ || position_ < 0 || position_ >= count())
        return WriteOutcome::Done;
    if (!mayWrite_)
        return refuseReadOnly();
    if (!beginWriting())
        return WriteOutcome::Failed;
    const QSqlDatabase db = connection_->database();
    QSqlQuery query(db);
    const WriteOutcome unchanged = checkCurrentUnchanged();
    if (unchanged == WriteOutcome::Done) {
        query.prepare(QStringLiteral("Delete From Distances Where %1 = ?")
                          .arg(engine() == Engine::Postgres ? QStringLiteral("id")
                                                            : QStringLiteral("rowid")));
        query.addBindValue(order_[position_]);
        if (!query.exec())
            fail(query.lastError());
        else if (commit()) {
            order_.removeAt(position_);
            if (order_.isEmpty()) {
                position_ = -1;
                current_ = {};
                return WriteOutcome::Done;
            }
            // As after a save: a read that fails now shows the records as
            // they can be read, never the record deleted.
            if (!moveTo(std::min(position_, count() - 1)))
                reread();
            return WriteOutcome::Done;
        }
    }
    QSqlQuery(db).exec(QStringLiteral("Rollback"));
    if (unchanged == WriteOutcome::Deleted || unchanged == WriteOutcome::Changed) {
        reread();
        return unchanged;
    }
    return WriteOutcome::Failed;
}

} // namespace pellamy
