#pragma once
// Bringing a club's Access distances.mdb over to Pellamy's own database.
//
// When distances.mdb is an Access 97 or 2000 file, its Distances table is
// read (by a separate reader process), written in the order read into a new
// database beside it, the Access file is kept as distances-access.mdb (or
// distances-access-2.mdb and so on, never overwriting a file) and the new
// database moved into place. Anything that cannot be brought over leaves the
// file exactly as it was and creates nothing.

#include <QString>

namespace pellamy {

struct Migration {
    enum class Outcome {
        NotNeeded, // a Pellamy database, or no file at all
        Migrated,
        Failed,
    };
    Outcome outcome = Outcome::NotNeeded;
    int rows = 0;
    int doubtfulRows = 0;   // rows listed in distances-access-report.txt
    int incompleteRows = 0; // of those, rows without a name or race point
    QString keptAs;         // the Access file's new name
    QString message;        // for the user, when migrated or failed
};

// The reader beside the running program (or in the build's program folder).
QString accessReaderPath();

Migration migrateAccessDatabase(const QString& databasePath,
                                const QString& readerPath = accessReaderPath());

} // namespace pellamy
