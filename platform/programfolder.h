#pragma once
// The program folder: the folder that holds the running program, where
// distances.mdb, club.txt, fed.txt and result.txt live.

#include <QString>

namespace pellamy {

QString programFolder();

// A file in a folder: folder + "/" + name.
QString fileInFolder(const QString& folder, const QString& name);

} // namespace pellamy
