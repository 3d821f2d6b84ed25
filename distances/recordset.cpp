#include "recordset.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace pellamy {

DistanceRecordSet::DistanceRecordSet(QString databasePath) : path_(std::move(databasePath)) {}

DistanceRecordSet::~DistanceRecordSet() = default;

bool DistanceRecordSet::fail(const QString& message) {
    error_ = message;
    return false;
}

bool DistanceRecordSet::open() {
    connection_ = std::make_unique<DistanceConnection>(path_, DistanceConnection::Mode::ReadWrite);
    if (!connection_->isOpen())
        return fail(connection_->error());
    if (!readOrder())
        return false;
    return order_.isEmpty() || moveTo(0);
}

bool DistanceRecordSet::readOrder() {
    // The editor's query, "Select * From distances Order By name, racepoint",
    // with the rowid of each row taken for its address.
    QSqlQuery query(connection_->database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("Select rowid From distances Order By name, racepoint")))
        return fail(query.lastError().text());
    order_.clear();
    while (query.next())
        order_.push_back(query.value(0).toLongLong());
    return true;
}

bool DistanceRecordSet::moveTo(int position) {
    if (!connection_ || position < 0 || position >= count())
        return false;
    QSqlQuery query(connection_->database());
    query.prepare(QStringLiteral(
        "Select Name, Racepoint, Miles, Yards, Sixtieths From distances Where rowid = ?"));
    query.addBindValue(order_[position]);
    if (!query.exec())
        return fail(query.lastError().text());
    if (!query.next())
        return fail(QStringLiteral("The record has been deleted from the database."));
    current_ = {valueText(query.value(0)), valueText(query.value(1)), valueText(query.value(2)),
                valueText(query.value(3)), valueText(query.value(4))};
    position_ = position;
    isNew_ = false;
    return true;
}

void DistanceRecordSet::addNew() {
    isNew_ = true;
    current_ = {};
}

bool DistanceRecordSet::save(const DistanceRecord& record) {
    if (!connection_ || !connection_->isOpen())
        return fail(connection_ ? connection_->error()
                                : QStringLiteral("The database is not open."));
    if (!isNew_ && (position_ < 0 || position_ >= count()))
        return fail(QStringLiteral("There is no current record."));
    QSqlQuery query(connection_->database());
    if (isNew_)
        query.prepare(QStringLiteral("Insert Into Distances (Name, Racepoint, Miles, Yards, "
                                     "Sixtieths) Values (?, ?, ?, ?, ?)"));
    else
        query.prepare(QStringLiteral("Update Distances Set Name = ?, Racepoint = ?, Miles = ?, "
                                     "Yards = ?, Sixtieths = ? Where rowid = ?"));
    for (const QString* value :
         {&record.name, &record.racepoint, &record.miles, &record.yards, &record.sixtieths})
        query.addBindValue(*value);
    if (!isNew_)
        query.addBindValue(order_[position_]);
    if (!query.exec())
        return fail(query.lastError().text());
    const qint64 saved = isNew_ ? query.lastInsertId().toLongLong() : order_[position_];
    query.finish();

    if (!readOrder())
        return false;
    const int at = int(order_.indexOf(saved));
    return at >= 0 ? moveTo(at) : fail(QStringLiteral("The saved record could not be found."));
}

bool DistanceRecordSet::removeCurrent() {
    if (!connection_ || isNew_ || position_ < 0 || position_ >= count())
        return true;
    QSqlQuery query(connection_->database());
    query.prepare(QStringLiteral("Delete From Distances Where rowid = ?"));
    query.addBindValue(order_[position_]);
    if (!query.exec())
        return fail(query.lastError().text());
    order_.removeAt(position_);
    if (order_.isEmpty()) {
        position_ = -1;
        current_ = {};
        return true;
    }
    return moveTo(std::min(position_, count() - 1));
}

} // namespace pellamy
