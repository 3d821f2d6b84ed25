#pragma once
// The recovery record of the race on screen. The race entry list is the only
// store of a race while the program runs; this record keeps a copy of it on
// disk, change by change, so that a crash, a power cut or a killed process
// loses at most the change being written, never the race.
//
// The record is a text file in the program folder, race-recovery.journal
// (race-recovery-2.journal and so on for a second copy of Pellamy running
// on the same folder, each held by a lock file). It begins with the race as
// it stood when recording started and then holds one line per change, each
// line ending in a checksum: reading stops at the first line that is torn
// or damaged. A change costs one appended line, however long the race.

#include "calc/raceentrylist.h"

#include <QFile>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QVector>

#include <memory>

namespace pellamy {

// What a record holds: the race it leads to, and whether that race has
// changes that were not saved to a race file.
struct RecoveredRace {
    QVector<RaceEntryRow> entries;
    bool unsaved = false;
    bool ended = false; // unsaved when the program was ended, not stopped
    // A damaged line ended the reading with whole lines after it (a failing
    // disk), not a line torn as the program stopped: the rest is lost to it.
    bool damaged = false;

    // Whether there is a race to offer back: one not saved, with entries (a
    // race cleared unsaved was kept aside as it was cleared).
    bool toOffer() const { return unsaved && !entries.isEmpty(); }
};

// Reads a record's bytes; a torn or damaged line ends the reading.
RecoveredRace readRecovery(const QByteArray& bytes);

// How many copies of Pellamy running on one folder keep a record each.
constexpr int kMostRecoveryRecords = 9;

// The file name of record n (1 to kMostRecoveryRecords) in a program folder.
QString recoveryRecordName(int n);

class RaceRecovery;

// Holds a recovery record's changes back for as long as it lives, and
// records them as one.
class RecoveryGroup {
public:
    explicit RecoveryGroup(RaceRecovery& recovery);
    ~RecoveryGroup();
    RecoveryGroup(const RecoveryGroup&) = delete;
    RecoveryGroup& operator=(const RecoveryGroup&) = delete;

private:
    RaceRecovery& recovery_;
};

class RaceRecovery : public QObject {
    Q_OBJECT
public:
    // Takes the first record of folder that no other running Pellamy holds
    // and reads what it holds. Nothing is recorded until start().
    RaceRecovery(const QString& folder, RaceEntryList& list, QObject* parent = nullptr);
    ~RaceRecovery() override;

    // What the record held when it was taken (a race to offer back when
    // toOffer()).
    const RecoveredRace& found() const { return found_; }
    // Whether the record taken was found damaged, and where it was kept
    // whole before anything could write over it: beside it when it offers
    // a race (as far as the damage), else moved there, so that it is said
    // once. Empty when it could not be kept.
    bool foundDamaged() const { return foundDamaged_; }
    const QString& damagedKeptAs() const { return damagedKeptAs_; }
    QString path() const { return path_.isEmpty() ? foundPath_ : path_; }
    // Which record was taken (1 to kMostRecoveryRecords); 0 when none was.
    int recordNumber() const { return number_; }
    // Whether none was, because other running copies held every record.
    bool everyRecordHeld() const { return everyRecordHeld_; }
    // Whether this is the first of the copies running on the folder: no
    // copy holds a record before this one's (those that held one may have
    // ended).
    bool firstRunning() const;

    // Starts a new record with the list as it stands, then records every
    // change of the list. unsaved: whether that race is already unsaved (a
    // race brought back).
    void start(bool unsaved);
    // Keeps the record left by an earlier run as <name>.old, so that a race
    // the user declined to bring back is not destroyed at once. Returns why
    // it could not be kept, or nothing when it was.
    QString keepFoundAside();

    // The race on screen was saved to a file, or replaced from one: it has
    // no unsaved changes.
    void markSaved();
    void markOpened();
    // The user ended the program: a race not saved is kept for the next
    // start to offer.
    void markEnded();

    // Changes made between hold() and release() are recorded as one: after
    // a failure the race comes back with all of them or none (a bird is
    // appended and then moved to its place).
    void hold();
    void release();

    // Whether the race on screen has changes not saved to a race file,
    // recorded on disk or not.
    bool unsaved() const { return unsaved_; }
    // Why the race is not being recorded (a read-only folder, a full disk);
    // empty while it is.
    const QString& error() const { return error_; }

signals:
    // Recording failed for the first time (error() says why).
    void failed();
    // A race cleared before it was saved could not be kept as
    // <record>.cleared; why, in words that follow "because".
    void clearedNotKept(const QString& why);

private:
    // Keeps the record as it stands, which holds the race about to be
    // cleared, as <record>.cleared: an earlier one is replaced only by a
    // whole copy.
    void keepCleared();
    // Copies the record whole to <name><suffix>; why it could not, or
    // nothing.
    QString copyAside(const QString& suffix) const;
    void record(const RaceChange& change);
    // Writes the list as it stands, followed by a marker line, as a new
    // record replacing the old one whole.
    void rewrite(char marker);
    void append(const QByteArray& lines);
    void writePending();
    void fail(const QString& why);

    RaceEntryList& list_;
    QString folder_;
    QString path_;
    QString foundPath_; // the record a race was read from in a folder that cannot be written
    int number_ = 0;
    bool everyRecordHeld_ = false;
    std::unique_ptr<QLockFile> lock_;
    QFile file_;
    RecoveredRace found_;
    bool foundDamaged_ = false;
    QString damagedKeptAs_;
    bool unsaved_ = false;
    bool recording_ = false;
    bool begun_ = false; // this run's record has been written
    int held_ = 0;
    bool rewriteOnRelease_ = false;
    QByteArray pending_; // lines of changes held back, and how many changes
    int pendingCount_ = 0;
    QString error_;
};

} // namespace pellamy
