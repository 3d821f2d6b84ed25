#include "recovery.h"

#include "calc/filewrite.h"

#include "calc/raceentry.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <QSysInfo>

#include <algorithm>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#endif

namespace pellamy {

namespace {

// A line: a kind letter, its fields (each after a tab, with backslash, tab,
// CR and LF escaped), a tab and the FNV-1a checksum of all before it in
// eight hex digits, then LF.
//
//   H <version>           the head of a record
//   A <columns...>        an entry appended at the end
//   M <from> <to>         one entry moved
//   Q                     the list stable-sorted into velocity order
//   S <row> <col> <text>  one column set
//   R <col> <text>        a race detail set in every entry that has it
//   D <row>               one entry removed
//   C                     every entry removed
//   N                     the entries renumbered 1 to n
//   G <n>                 the next n changes were made as one
//   V / O / X             saved to a file / opened from a file / ended, saved
//   U                     the race so far is not saved
//   E                     ended with the race not saved
const char kVersion[] = "Pellamy race recovery 1";

quint32 checksum(const QByteArray& bytes) {
    quint32 hash = 2166136261u;
    for (char c : bytes) {
        hash ^= quint8(c);
        hash *= 16777619u;
    }
    return hash;
}

QByteArray escaped(QStringView text) {
    QByteArray out = text.toUtf8();
    if (!out.contains('\\') && !out.contains('\t') && !out.contains('\n') && !out.contains('\r'))
        return out;
    out.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r");
    return out;
}

QString unescaped(QByteArrayView field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c == '\\' && i + 1 < field.size()) {
            const char next = field[++i];
            c = next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        }
        out += c;
    }
    return QString::fromUtf8(out);
}

QByteArray line(char kind, const QVector<QByteArray>& fields = {}) {
    QByteArray body(1, kind);
    for (const QByteArray& field : fields)
        body += '\t' + field;
    return body + '\t' + QByteArray::number(checksum(body), 16).rightJustified(8, '0') + '\n';
}

QByteArray entryLine(const RaceEntryRow& entry) {
    QVector<QByteArray> fields;
    fields.reserve(entry.size());
    for (int c = 0; c < entry.size(); ++c)
        fields << escaped(entry.view(c));
    return line('A', fields);
}

QByteArray number(int n) {
    return QByteArray::number(n);
}

// Makes a change again on rows; false when the change cannot be made (a
// record that does not fit the race it describes).
bool replay(char kind, const QList<QByteArrayView>& fields, QVector<RaceEntryRow>& rows) {
    const auto index = [&](int k, int limit) {
        bool ok = false;
        const int n = k < fields.size() ? fields[k].toInt(&ok) : -1;
        return ok && n >= 0 && n < limit ? n : -1;
    };
    switch (kind) {
    case 'A': {
        QStringList entry;
        for (const QByteArrayView& field : fields)
            entry << unescaped(field);
        rows << RaceEntryRow(entry, rows.isEmpty() ? nullptr : &rows.constLast());
        return true;
    }
    case 'M': {
        const int from = index(0, int(rows.size())), to = index(1, int(rows.size()));
        if (from < 0 || to < 0)
            return false;
        rows.move(from, to);
        return true;
    }
    case 'Q':
        std::stable_sort(rows.begin(), rows.end(), fasterEntry);
        return true;
    case 'S': {
        const int row = index(0, int(rows.size())), column = index(1, kColumnCount);
        if (row < 0 || column < 0 || fields.size() != 3)
            return false;
        rows[row].setText(column, unescaped(fields[2]));
        return true;
    }
    case 'R': {
        const int column = index(0, kColumnCount);
        if (column < Col::Members || fields.size() != 2)
            return false;
        setDetailOfEvery(rows, column, unescaped(fields[1]));
        return true;
    }
    case 'D': {
        const int row = index(0, int(rows.size()));
        if (row < 0)
            return false;
        rows.removeAt(row);
        return true;
    }
    case 'C':
        rows.clear();
        return true;
    case 'N':
        for (int i = 0; i < rows.size(); ++i)
            rows[i].setText(Col::Pos, QString::number(i + 1));
        return true;
    default:
        return false;
    }
}

// Whether a change fits the race it describes, for a race of size rows, and
// the size after it: the checks replay() makes, on the size alone.
bool fits(char kind, const QList<QByteArrayView>& fields, qsizetype& size) {
    const auto index = [&](int k, qsizetype limit) {
        bool ok = false;
        const int n = k < fields.size() ? fields[k].toInt(&ok) : -1;
        return ok && n >= 0 && n < limit;
    };
    switch (kind) {
    case 'A':
        ++size;
        return true;
    case 'M':
        return index(0, size) && index(1, size);
    case 'S':
        return index(0, size) && index(1, kColumnCount) && fields.size() == 3;
    case 'R':
        return index(0, kColumnCount) && fields[0].toInt() >= Col::Members && fields.size() == 2;
    case 'D':
        if (!index(0, size))
            return false;
        --size;
        return true;
    case 'C':
        size = 0;
        return true;
    case 'Q':
    case 'N':
        return true;
    default:
        return false;
    }
}

} // namespace

namespace {

struct Line {
    char kind = 0;
    QList<QByteArrayView> fields;
};

// The next whole, undamaged line from pos on; false for a torn or damaged
// one, where reading ends.
bool nextLine(const QByteArray& bytes, qsizetype& pos, Line& out) {
    const qsizetype end = bytes.indexOf('\n', pos);
    if (end < 0)
        return false; // a torn last line
    const QByteArrayView whole(bytes.constData() + pos, end - pos);
    pos = end + 1;
    const qsizetype tab = whole.lastIndexOf('\t');
    if (tab < 1)
        return false;
    const QByteArrayView body = whole.first(tab);
    bool ok = false;
    const quint32 sum = whole.sliced(tab + 1).toUInt(&ok, 16);
    if (!ok || sum != checksum(body.toByteArray()))
        return false;
    out.kind = body[0];
    out.fields.clear();
    if (body.size() > 1) {
        const QByteArrayView rest = body.sliced(2);
        qsizetype start = 0;
        while (true) {
            const qsizetype next = rest.indexOf('\t', start);
            out.fields << rest.sliced(start, (next < 0 ? rest.size() : next) - start);
            if (next < 0)
                break;
            start = next + 1;
        }
    }
    return true;
}

} // namespace

namespace {

// Whether a whole line that fails its check stands from pos on with a good
// line after it: the record was damaged, not torn as the program stopped
// (that leaves only its last line short of its end).
bool goodLineAfterDamage(const QByteArray& bytes, qsizetype pos) {
    bool damage = false;
    Line line;
    for (qsizetype next = pos; bytes.indexOf('\n', next) >= 0;) {
        const bool good = nextLine(bytes, next, line);
        if (good && damage)
            return true;
        damage = damage || !good;
    }
    return false;
}

// Reads the record through; with build false only whether it holds an
// unsaved race is found out, and no entry is made.
RecoveredRace readRecord(const QByteArray& bytes, bool build) {
    RecoveredRace out;
    qsizetype rows = 0; // the race's size so far
    qsizetype pos = 0;
    Line line;
    if (!nextLine(bytes, pos, line) || line.kind != 'H' || line.fields.size() != 1 ||
        line.fields[0] != kVersion) {
        out.damaged = goodLineAfterDamage(bytes, 0);
        return out;
    }
    qsizetype taken = pos; // the end of what was read
    while (nextLine(bytes, pos, line)) {
        if (line.kind == 'V' || line.kind == 'O' || line.kind == 'X') {
            out.unsaved = out.ended = false;
            taken = pos;
            continue;
        }
        if (line.kind == 'E') {
            out.ended = out.unsaved;
            taken = pos;
            continue;
        }
        if (line.kind == 'U') {
            out.unsaved = true, out.ended = false;
            taken = pos;
            continue;
        }
        // A group of changes made as one (a bird appended and moved to its
        // place) counts whole or not at all: it is read and checked through
        // before any of it is made, so the race is never copied.
        int changes = 1;
        if (line.kind == 'G') {
            bool ok = false;
            changes = line.fields.value(0).toInt(&ok);
            if (!ok || changes < 1 || !nextLine(bytes, pos, line))
                break;
        }
        QVector<Line> group{line};
        for (int k = 1; k < changes && nextLine(bytes, pos, line); ++k)
            group << line;
        qsizetype size = rows;
        bool whole = group.size() == changes;
        for (const Line& change : group)
            whole = whole && fits(change.kind, change.fields, size);
        if (!whole)
            break;
        rows = size;
        if (build)
            for (const Line& change : group)
                replay(change.kind, change.fields, out.entries);
        out.unsaved = true, out.ended = false;
        taken = pos;
    }
    out.damaged = goodLineAfterDamage(bytes, taken);
    return out;
}

// Whether a record's lock is a running copy of Pellamy's: one on another
// computer (a shared folder), or whose process cannot be looked for, counts
// as running.
bool heldByRunningCopy(const QLockFile& lock) {
    qint64 pid = 0;
    QString host, application;
    if (!lock.getLockInfo(&pid, &host, &application) || host != QSysInfo::machineHostName())
        return true;
#ifdef Q_OS_UNIX
    return !(::kill(pid_t(pid), 0) != 0 && errno == ESRCH);
#else
    return true;
#endif
}

} // namespace

RecoveredRace readRecovery(const QByteArray& bytes) {
    // A record that ends saved (the usual case) is read through once, and
    // none of its race is built.
    const RecoveredRace looked = readRecord(bytes, false);
    return looked.unsaved ? readRecord(bytes, true) : looked;
}

QString recoveryRecordName(int n) {
    return n == 1 ? QStringLiteral("race-recovery.journal")
                  : QStringLiteral("race-recovery-%1.journal").arg(n);
}

RaceRecovery::RaceRecovery(const QString& folder, RaceEntryList& list, QObject* parent)
    : QObject(parent), list_(list), folder_(folder) {
    connect(&list_, &RaceEntryList::changed, this, &RaceRecovery::record);
    // The first record no other running Pellamy holds, unless a later free
    // one holds an unsaved race: a second copy's race, cut short by a power
    // cut, is offered on the next start too. A record left by a process that
    // has ended (even one killed) has a stale lock.
    int held = 0;            // records other running copies hold
    bool unwritable = false; // the folder cannot be written: nothing can be recorded
    const auto read = [](const QString& path) {
        QFile old(path);
        return old.open(QIODevice::ReadOnly) ? readRecovery(old.readAll()) : RecoveredRace{};
    };
    for (int n = 1; n <= kMostRecoveryRecords; ++n) {
        const QString path = QDir(folder).filePath(recoveryRecordName(n));
        if ((lock_ || unwritable) && !QFileInfo::exists(path))
            continue;
        auto lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
        if (!lock->tryLock(0)) {
            if (lock->error() == QLockFile::LockFailedError && heldByRunningCopy(*lock)) {
                ++held;
                continue;
            }
            // A race left unsaved is still offered, read as it stands (a
            // full disk or a folder made read-only since must not hide it,
            // nor the lock a copy that ended left there, which such a
            // folder keeps); its record stays, to be offered again once it
            // can be written.
            unwritable = true;
            if (RecoveredRace race = read(path); race.toOffer()) {
                found_ = std::move(race);
                foundPath_ = path;
                break;
            }
            continue;
        }
        RecoveredRace race = read(path);
        if (race.toOffer() || !lock_) {
            path_ = path;
            number_ = n;
            lock_ = std::move(lock);
            found_ = std::move(race);
        }
        if (found_.toOffer())
            break;
    }
    if (!lock_) {
        foundDamaged_ = found_.damaged; // said, though it cannot be kept whole beside it
        everyRecordHeld_ = held == kMostRecoveryRecords;
        const QString shown = QDir::toNativeSeparators(folder);
        fail(everyRecordHeld_ ? QStringLiteral("%1 other copies of Pellamy are running on its "
                                               "folder %2, each keeping the race on its screen")
                                    .arg(held)
                                    .arg(shown)
             : QStorageInfo(folder).bytesAvailable() == 0
                 ? QStringLiteral("the disk that holds its folder %1 is full").arg(shown)
                 : QStringLiteral("Pellamy may not write in its folder %1").arg(shown));
        return;
    }
    // A damaged record is kept whole before the next change writes it
    // anew, under a name no earlier one has; moved there when it offers no
    // race (a race cleared before the damage), so that it is said once.
    if (found_.damaged) {
        foundDamaged_ = true;
        QString kept = path_ + QStringLiteral(".damaged");
        for (int n = 2; QFileInfo::exists(kept); ++n)
            kept = path_ + QStringLiteral(".damaged-%1").arg(n);
        if (found_.toOffer() ? QFile::copy(path_, kept) : QFile::rename(path_, kept))
            damagedKeptAs_ = kept;
    }
    // A race that was saved or opened, or ended after it was saved, is not
    // offered: nothing of it is kept.
    if (!found_.unsaved)
        found_ = {};
}

RaceRecovery::~RaceRecovery() = default;

bool RaceRecovery::firstRunning() const {
    for (int n = 1; n < number_; ++n) {
        QLockFile held(QDir(folder_).filePath(recoveryRecordName(n)) + QStringLiteral(".lock"));
        if (!held.tryLock(0) && held.error() == QLockFile::LockFailedError)
            return false;
    }
    return true;
}

QString RaceRecovery::keepFoundAside() {
    found_ = {};
    if (path_.isEmpty())
        return {};
    // Copied whole before the record goes, so that a record that cannot be
    // set aside is said rather than written over by the next change.
    const QString problem = copyAside(QStringLiteral(".old"));
    if (problem.isEmpty())
        QFile::remove(path_);
    return problem;
}

QString RaceRecovery::copyAside(const QString& suffix) const {
    QFile record(path_);
    const QByteArray bytes = record.open(QIODevice::ReadOnly) ? record.readAll() : QByteArray();
    if (record.error() != QFileDevice::NoError)
        return QStringLiteral("the recovery file could not be read (%1)").arg(record.errorString());
    // Written whole: an earlier copy is replaced only by a complete one.
    return writeWholeFile(path_ + suffix, bytes).problem;
}

void RaceRecovery::start(bool unsaved) {
    unsaved_ = unsaved;
    recording_ = !path_.isEmpty();
    // A race brought back is recorded at once. Otherwise the new record is
    // begun by the first change: until then the old one, which offers
    // nothing, will do, and start-up writes nothing.
    if (unsaved)
        rewrite('U');
    else
        begun_ = false;
}

void RaceRecovery::markSaved() {
    unsaved_ = false;
    rewrite('V');
}

void RaceRecovery::markOpened() {
    unsaved_ = false;
    rewrite('O');
}

void RaceRecovery::markEnded() {
    // A race the program knows to be unsaved stays offered for the next
    // start, whatever the user answered: a secretary who saved earlier says
    // so after a later change.
    const char marker = unsaved_ ? 'E' : 'X';
    unsaved_ = false;
    if (begun_)
        append(line(marker));
    else if (!error_.isEmpty())
        rewrite(marker); // a record ended by a failed write: written whole as it ends
}

void RaceRecovery::record(const RaceChange& change) {
    const bool wasUnsaved = std::exchange(unsaved_, true);
    if (!recording_)
        return;
    if (!begun_) {
        // After a failed write the record holds the race as far as it was
        // written: what there is of a race cleared unsaved is kept.
        if (change.kind == RaceChange::Clear && wasUnsaved && held_ == 0 &&
            QFileInfo::exists(path_))
            keepCleared();
        // The list as it stands holds this change already.
        if (held_ == 0)
            rewrite('U');
        else
            rewriteOnRelease_ = true;
        return;
    }
    QByteArray lines;
    int count = 1;
    switch (change.kind) {
    case RaceChange::Append:
        for (const RaceEntryRow& entry : change.rows)
            lines += entryLine(entry);
        count = int(change.rows.size());
        break;
    case RaceChange::Move:
        lines = line('M', {number(change.row), number(change.column)});
        break;
    case RaceChange::Sort:
        lines = line('Q');
        break;
    case RaceChange::SetText:
        lines = line('S', {number(change.row), number(change.column), escaped(change.text)});
        break;
    case RaceChange::SetDetail:
        lines = line('R', {number(change.column), escaped(change.text)});
        break;
    case RaceChange::Remove:
        lines = line('D', {number(change.row)});
        break;
    case RaceChange::Clear:
        // Clear List asks nothing: a race cleared before it was saved is
        // kept as the record stood (beside a race declined, which is kept as
        // .old), so that a slip of the mouse costs no night's work.
        if (wasUnsaved && held_ == 0)
            keepCleared();
        lines = line('C');
        break;
    case RaceChange::Renumber:
        lines = line('N');
        break;
    }
    pending_ += lines;
    pendingCount_ += count;
    if (held_ == 0)
        writePending();
}

void RaceRecovery::keepCleared() {
    if (const QString problem = copyAside(QStringLiteral(".cleared")); !problem.isEmpty())
        emit clearedNotKept(problem);
}

RecoveryGroup::RecoveryGroup(RaceRecovery& recovery) : recovery_(recovery) {
    recovery_.hold();
}

RecoveryGroup::~RecoveryGroup() {
    recovery_.release();
}

void RaceRecovery::hold() {
    ++held_;
}

void RaceRecovery::release() {
    if (held_ == 0 || --held_ > 0)
        return;
    if (std::exchange(rewriteOnRelease_, false))
        rewrite('U');
    else
        writePending();
}

void RaceRecovery::writePending() {
    if (pendingCount_ > 1)
        pending_.prepend(line('G', {number(pendingCount_)}));
    const QByteArray lines = std::exchange(pending_, {});
    pendingCount_ = 0;
    append(lines);
}

void RaceRecovery::rewrite(char marker) {
    if (!recording_ || path_.isEmpty())
        return;
    file_.close();
    begun_ = false;
    pending_.clear(); // the list as it stands is written whole
    pendingCount_ = 0;
    // The new record replaces the old one whole, or not at all.
    QSaveFile save(path_);
    save.setDirectWriteFallback(false);
    bool ok = save.open(QIODevice::WriteOnly);
    if (ok) {
        QByteArray head = line('H', {QByteArray(kVersion)});
        ok = save.write(head) == head.size();
        for (int i = 0; ok && i < list_.count(); ++i) {
            const QByteArray entry = entryLine(list_.rows()[i]);
            ok = save.write(entry) == entry.size();
        }
        const QByteArray mark = line(marker);
        ok = ok && save.write(mark) == mark.size();
    }
    QString why = ok ? syncToDisk(save) : writeProblem(save);
    if (why.isEmpty() && !save.commit())
        why = writeProblem(save);
    if (!why.isEmpty()) {
        fail(why);
        return;
    }
    file_.setFileName(path_);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append)) {
        fail(writeProblem(file_));
        return;
    }
    begun_ = true;
    error_.clear(); // recording again: a later failure is told again
}

void RaceRecovery::append(const QByteArray& lines) {
    if (!recording_ || !file_.isOpen() || lines.isEmpty())
        return;
    // A write that fails part-way or is refused at the sync (a full disk or
    // share) ends this record: lines left
    // in the file's buffer, or refused by it, would put the record out of
    // step with the list once the disk has room again. The torn tail is cut
    // off, and the next change writes the record whole.
    const qint64 good = file_.size();
    const QString why =
        file_.write(lines) == lines.size() ? syncToDisk(file_) : writeProblem(file_);
    if (!why.isEmpty()) {
        file_.close();
        QFile::resize(path_, good);
        begun_ = false;
        fail(why);
    }
}

void RaceRecovery::fail(const QString& why) {
    const bool first = error_.isEmpty();
    error_ = why.isEmpty() ? QStringLiteral("it could not be written") : why;
    if (first)
        emit failed();
}

} // namespace pellamy
