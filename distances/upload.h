#pragma once
// Bringing a club's own distances.mdb up to the federation's server. Every
// row the server has not got for its member and race point is added; a row
// whose pair the server already holds with the same distance is left, and
// one the server holds with a different distance is refused and listed:
// the server's distance is never overwritten. A pair the file holds with
// two distances, or a Sixtieths that is not what its miles and yards make,
// is refused and listed too.

#include "connection.h"
#include "source.h"

#include <QString>
#include <QStringList>

namespace pellamy {

struct Upload {
    int added = 0;
    int alreadyThere = 0;
    // "member at race point: the server holds …, distances.mdb holds …",
    // and the other rows refused, in the file's order.
    QStringList refused;
    int heldOtherwise = 0; // refused rows the server holds with another distance
    QString error;         // nothing was added: why
    DatabaseFault fault = DatabaseFault::None;
    // The line to the server lost as the rows' commit was sent: they may
    // have been added all the same.
    bool commitUnanswered = false;
    bool ok() const { return error.isEmpty(); }
};

Upload uploadDistances(const QString& databasePath, const DistanceSource& server);

// The user's account of an upload.
QString uploadReport(const Upload& upload);

} // namespace pellamy
