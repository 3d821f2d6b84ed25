#pragma once
// Writing a whole file the program makes (a race file, result.txt) so that
// a failed write never leaves it half-written, and saying in plain words
// why a write failed.

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>

namespace pellamy {

struct FileWrite {
    bool opened = false; // false: the file could not even be started
    QString problem;     // empty when the whole file was written
    bool ok() const { return opened && problem.isEmpty(); }
};

// Writes bytes as the whole content of path. The old file is replaced only
// once everything is written. When the folder takes no new file but the
// file itself may be written (a read-only folder), or path is not a plain
// file, the file is written in place instead.
FileWrite writeWholeFile(const QString& path, const QByteArray& bytes);

// Puts the file from in the place of the file to in one step (to is replaced
// when it exists). Empty when done, else why not.
QString replaceFile(const QString& from, const QString& to);

// Removes the files in folder matching patterns that are more than a day
// old: ones left by a process killed part-way (a file being written now is
// seconds old).
void removeStaleFiles(const QString& folder, const QStringList& patterns);

// Writes what the file holds in its buffers and asks the system to put it
// on the disk. Empty when done, else why not: a network share or a failing
// disk may refuse data only now, after every write was taken. A file that
// cannot be synced at all (a device) counts as done.
QString syncToDisk(QFileDevice& file);

// Why a file could not be written, in words that follow "because".
QString writeProblem(QFileDevice::FileError error, const QString& errorString);
// The same from the file's own error; a write the system took only part of
// comes without a reason, and is a full disk when its disk has no room left.
QString writeProblem(const QFileDevice& file);

} // namespace pellamy
