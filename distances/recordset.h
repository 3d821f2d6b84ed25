#pragma once
// The distances editor's record set: every row of the Distances table in
// order of name, then race point, one current record at a time. It holds
// its connection for as long as it lives. Rows are addressed by SQLite's
// rowid, since the table has no key and two rows may hold the same values.

#include "connection.h"

#include <QString>
#include <QVector>

#include <memory>

namespace pellamy {

struct DistanceRecord {
    QString name, racepoint, miles, yards, sixtieths;
    bool operator==(const DistanceRecord& o) const {
        return name == o.name && racepoint == o.racepoint && miles == o.miles && yards == o.yards &&
               sixtieths == o.sixtieths;
    }
};

class DistanceRecordSet {
public:
    explicit DistanceRecordSet(QString databasePath);
    ~DistanceRecordSet();

    // Opens the database and reads the order of the rows. False, with
    // error(), when the database cannot be opened or read.
    bool open();
    const QString& error() const { return error_; }

    int count() const { return int(order_.size()); }
    // The current record's position from 0; -1 when there is none (a new
    // record not yet saved, or no records at all).
    int position() const { return isNew_ ? -1 : position_; }
    bool isNew() const { return isNew_; }
    // The stored values of the current record; empty for a new record.
    const DistanceRecord& current() const { return current_; }

    // Makes the record at a position current. False, with error(), when it
    // cannot be read; positions outside the set are refused.
    bool moveTo(int position);
    // Starts a new, empty record; it is stored by save().
    void addNew();
    // Stores a new record or changes the current one, then makes the stored
    // row current at its place in the order.
    bool save(const DistanceRecord& record);
    // Deletes the current record and makes the one that followed current
    // (the new last one when the last was deleted). False with error() on
    // failure; nothing happens when there is no current record.
    bool removeCurrent();

private:
    bool readOrder();
    bool fail(const QString& message);

    QString path_;
    std::unique_ptr<DistanceConnection> connection_;
    QVector<qint64> order_; // rowids in order of name, race point
    int position_ = -1;
    bool isNew_ = false;
    DistanceRecord current_;
    QString error_;
};

} // namespace pellamy
