#pragma once
// The club's copy of a federation server's distances, kept beside the
// program so that the club can race when the server cannot be reached. It
// is made afresh after every start-up from the server, written whole to a
// file of its own and then put in place of the last copy, so that a copy
// cut short never replaces a whole one. Pellamy reads it and never writes
// to it otherwise.

#include "source.h"

#include <QDateTime>
#include <QString>

namespace pellamy {

// Copies every row of the server's distances and coordinates to the source's
// copyPath. Empty when done, else why not, and whether the server (not the
// copy's folder) was the cause. Runs on any thread.
QString copyServerRows(const DistanceSource& source, bool* onServer = nullptr);

// When the copy at a path was made; invalid when there is no copy, or one
// that is damaged.
QDateTime copyMade(const QString& copyPath);
// That time as the user is told it: "9 December 2026 at 02:47".
QString copyMadeText(const QDateTime& made);

// What this computer's copy offers while the source's server cannot be
// reached: the notice the user is told (the reason, and the copy read
// instead until usedUntil, "Pellamy is closed", or that there is none, or
// that it cannot be read, and that it was made from another server or
// database than server.txt names now), and whether the copy can be read.
struct OfflineCopy {
    QString notice;
    bool usable = false;
};
OfflineCopy offlineCopy(const QString& reason, const DistanceSource& source,
                        const QString& usedUntil);

} // namespace pellamy
