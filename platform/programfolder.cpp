#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace pellamy {

QString programFolder() {
    return QCoreApplication::applicationDirPath();
}

QString fileInFolder(const QString& folder, const QString& name) {
    return QDir(folder).filePath(name);
}

} // namespace pellamy
