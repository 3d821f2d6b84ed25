#include "connection.h"

#include "calc/textforms.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <QSqlError>
#include <QUrl>
#include <QVariant>

namespace pellamy {

DatabaseKind databaseKind(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return DatabaseKind::Missing;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return DatabaseKind::Unreadable;
    const QByteArray head = file.read(32);
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return DatabaseKind::Sqlite;
    if (head.size() >= 0x15 && head.mid(4, 15) == QByteArrayLiteral("Standard Jet DB"))
        return DatabaseKind::Jet;
    if (head.size() >= 0x15 && head.mid(4, 15) == QByteArrayLiteral("Standard ACE DB"))
        return DatabaseKind::Ace;
    return DatabaseKind::Other;
}

DistanceConnection::DistanceConnection(const QString& path, Mode mode) {
    static QAtomicInteger<quint64> counter;
    name_ = QStringLiteral("pellamy-distances-%1").arg(++counter);
    const QString shown = QDir::toNativeSeparators(path);

    switch (databaseKind(path)) {
    case DatabaseKind::Missing:
        error_ = QStringLiteral("Could not find file '%1'.").arg(shown);
        return;
    case DatabaseKind::Unreadable:
        error_ = QStringLiteral("The file '%1' cannot be read.").arg(shown);
        return;
    case DatabaseKind::Jet:
    case DatabaseKind::Ace:
        error_ = QStringLiteral("The file '%1' is an Access database, not a Pellamy distance "
                                "database.")
                     .arg(shown);
        return;
    case DatabaseKind::Other:
        error_ = QStringLiteral("The file '%1' is not a distance database.").arg(shown);
        return;
    case DatabaseKind::Sqlite:
        break;
    }

    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    if (!db_.isValid()) {
        error_ = QStringLiteral("The SQLite database driver is not installed.");
        return;
    }
    // A URI with mode "ro" or "rw" opens an existing file only: nothing is
    // ever created.
    const QString uri =
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
        (mode == Mode::Read ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw"));
    db_.setDatabaseName(uri);
    db_.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=3000") +
        (mode == Mode::Read ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    if (!db_.open()) {
        error_ = db_.lastError().text();
        fault_ = faultOf(db_.lastError());
    }
}

DistanceConnection::~DistanceConnection() {
    if (db_.isValid())
        db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}

DatabaseFault faultOf(const QSqlError& error) {
    if (error.type() == QSqlError::NoError)
        return DatabaseFault::None;
    // SQLite's primary result codes; an extended code (a read-only folder
    // gives SQLITE_READONLY_DIRECTORY, say) carries its primary code in its
    // low byte.
    switch (error.nativeErrorCode().toInt() & 0xFF) {
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        return DatabaseFault::Damaged;
    case 8:  // SQLITE_READONLY
    case 14: // SQLITE_CANTOPEN: the rollback journal cannot be made beside it
    case 3:  // SQLITE_PERM
        return DatabaseFault::ReadOnly;
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return DatabaseFault::Busy;
    default:
        return error.databaseText().contains(QLatin1String("malformed")) ? DatabaseFault::Damaged
                                                                         : DatabaseFault::Other;
    }
}

QString damagedDatabaseMessage() {
    return QStringLiteral("distances.mdb is damaged, so the distances cannot all be read. "
                          "Pellamy has not changed it and will not write to it. Please close "
                          "Pellamy and put back your latest copy of distances.mdb.");
}

bool firstReportOfDamage(const QString& path) {
    static QMutex mutex;
    static QSet<QString> reported;
    const QMutexLocker lock(&mutex);
    const QString key = QFileInfo(path).absoluteFilePath();
    if (reported.contains(key))
        return false;
    reported.insert(key);
    return true;
}

QString faultMessage(DatabaseFault fault, const QString& notDone) {
    switch (fault) {
    case DatabaseFault::Damaged:
        return damagedDatabaseMessage();
    case DatabaseFault::ReadOnly:
        return QStringLiteral("distances.mdb cannot be changed: the file, or the folder it is "
                              "in, is read-only. ") +
               notDone.front().toUpper() + notDone.mid(1);
    case DatabaseFault::Busy:
        return QStringLiteral("distances.mdb is in use by another program, so %1 Please try "
                              "again in a moment.")
            .arg(notDone);
    case DatabaseFault::None:
    case DatabaseFault::Other:
        break;
    }
    return QString();
}

QString valueText(const QVariant& value) {
    if (value.isNull())
        return QString();
    if (value.typeId() == QMetaType::Double)
        return generalNumberText(value.toDouble());
    return value.toString();
}

} // namespace pellamy
