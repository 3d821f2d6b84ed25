#pragma once
// The distances editor's record set: every row of the Distances table in
// order of name, then race point, one current record at a time. It holds
// its connection for as long as it lives. Rows are addressed by SQLite's
// rowid, since the club's table has no key and two rows may hold the same
// values; on a federation's server by the row's key.

#include "connection.h"

#include <QElapsedTimer>
#include <QString>
#include <QVector>

class QSqlError;

#include <memory>

namespace pellamy {

struct DistanceRecord {
    QString name, racepoint, miles, yards, sixtieths;
    bool operator==(const DistanceRecord& o) const {
        return name == o.name && racepoint == o.racepoint && miles == o.miles && yards == o.yards &&
               sixtieths == o.sixtieths;
    }
};

// What a save or a delete did. Another program (a second Pellamy, say)
// may change the table while the record is on screen: a record that is no
// longer as it was shown is never written over or deleted.
enum class WriteOutcome {
    Done,
    Deleted,   // the record on screen has been deleted since it was read
    Changed,   // the record on screen has been changed since it was read
    Failed,    // the database refused: error() and fault() say why
    HeldTwice, // another row holds the same member and race point
};

class DistanceRecordSet {
public:
    explicit DistanceRecordSet(DistanceSource source);
    ~DistanceRecordSet();

    // Opens the database, checks that it is whole and reads the order of the
    // rows. False, with error() and fault(), when the database cannot be
    // opened or read, or is damaged.
    // For reading only, nothing can be saved or deleted.
    bool open(DistanceConnection::Mode mode = DistanceConnection::Mode::ReadWrite);
    const QString& error() const { return error_; }
    DatabaseFault fault() const { return fault_; }
    // Whether the last save or delete failed as its commit was sent, the
    // line to the server lost before the answer came: it may have been
    // written all the same.
    bool commitUnanswered() const { return commitUnanswered_; }

    // Whether the user may change the records: false for a club's user on
    // a federation's server, who reads only.
    bool mayWrite() const { return mayWrite_; }

    int count() const { return int(order_.size()); }
    // The current record's position from 0; -1 when there is none (a new
    // record not yet saved, or no records at all).
    int position() const { return isNew_ ? -1 : position_; }
    bool isNew() const { return isNew_; }
    // The stored values of the current record; empty for a new record.
    const DistanceRecord& current() const { return current_; }

    // The address of the row at a position (-1 for none), and the position
    // of the row at an address (-1 when it is not in the set).
    qint64 addressAt(int position) const { return order_.value(position, -1); }
    int positionOf(qint64 address) const { return int(order_.indexOf(address)); }

    // Makes the record at a position current. False, with error(), when it
    // cannot be read; positions outside the set are refused.
    bool moveTo(int position);
    // Starts a new, empty record; it is stored by save(). With no current
    // record (an empty table) save() always stores a new one.
    void addNew();
    // Gives up a new record not yet saved: the record current before it is
    // current again.
    void cancelNew();
    // Stores a new record, or changes the current one when it is still
    // stored as it was read, then makes the stored row current at its place
    // in the order. When it was deleted or changed meanwhile nothing is
    // written and the set is read afresh, showing the record as it now is
    // (or the one at its place).
    WriteOutcome save(const DistanceRecord& record);
    // Deletes the current record, when it is still stored as it was read,
    // and makes the one that followed current (the new last one when the
    // last was deleted). Nothing happens when there is no current record.
    WriteOutcome removeCurrent();
    // Reads the rows afresh after another writer changed the table, showing
    // the current record as it is now stored (or the one at its place).
    void refresh() { reread(); }

private:
    Engine engine() const;
    QString beginWrite() const;
    WriteOutcome refuseReadOnly();
    bool readOrder();
    bool fail(const QString& message, DatabaseFault fault = DatabaseFault::Other);
    bool fail(const QSqlError& error);
    // The error of a statement; once libpq has found the server's line gone,
    // Qt's driver fails every statement as "not open" without an error,
    // which is the line gone too.
    QSqlError withLostLine(const QSqlError& error) const;
    // After a statement failed because the server connection was dropped (a
    // restart, say), the connection is opened afresh once, and true is
    // returned so that the statement is tried again. A write the user asked
    // for (pressed) tries the server every time, so that Update pressed once
    // the server is back saves the record.
    bool reconnectedAfter(const QSqlError& error, bool pressed = false);
    // Begins a write (BEGIN, or SQLite's Begin Immediate), on a connection
    // opened afresh when the server had dropped it. False, with error().
    bool beginWriting();
    // Whether the current row is still stored as current_ holds it.
    WriteOutcome checkCurrentUnchanged();
    // After another program changed the table: reads the order again and
    // shows the current row as stored, or the row now at its place.
    void reread();
    // After a pair was refused as held by another row: takes into the order
    // the rows another writer added since, so that the row the refusal
    // names can be stepped to; the record on screen stays as it is (a new
    // one new). A row on screen gone meanwhile is left for the next save to
    // find.
    void takeInAddedRows();

    DistanceSource source_;
    std::unique_ptr<DistanceConnection> connection_;
    DistanceConnection::Mode mode_ = DistanceConnection::Mode::ReadWrite;
    QElapsedTimer failedReconnect_; // when the server was last tried in vain
    QElapsedTimer reconnected_;     // when the server was last reached again
    QVector<qint64> order_;         // rowids in order of name, race point
    int position_ = -1;
    bool isNew_ = false;
    int positionBeforeNew_ = -1;
    DistanceRecord current_;
    bool mayWrite_ = true;
    QString error_;
    DatabaseFault fault_ = DatabaseFault::None;
    bool commitUnanswered_ = false;
    // Commits the write begun: false, with error(), and commitUnanswered()
    // when the line was lost on the way.
    bool commit();
};

} // namespace pellamy
