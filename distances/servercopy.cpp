#include "servercopy.h"

#include "connection.h"
#include "coordinatestore.h"
#include "schema.h"

#include "calc/filewrite.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

namespace pellamy {

namespace {

// The tables copied, each with its columns on the server and in the copy,
// in the order that keeps the server's order of rows.
struct CopiedTable {
    const char* read;
    const char* write;
    int columns;
};
const CopiedTable kTables[] = {
    {"SELECT name, racepoint, miles, yards, sixtieths FROM distances ORDER BY id",
     "INSERT INTO Distances (Name, Racepoint, Miles, Yards, Sixtieths) VALUES (?, ?, ?, ?, ?)", 5},
    {"SELECT name, latitude, longitude FROM lofts ORDER BY name_key",
     "INSERT INTO Lofts (Name, Latitude, Longitude) VALUES (?, ?, ?)", 3},
    {"SELECT racepoint, latitude, longitude FROM racepoints ORDER BY racepoint_key",
     "INSERT INTO Racepoints (Racepoint, Latitude, Longitude) VALUES (?, ?, ?)", 3},
};

QString copyInto(const QSqlDatabase& server, QSqlDatabase& copy, const DistanceSource& source,
                 bool* onServer) {
    QString error;
    QSqlError sqlError;
    if (!runSqlScript(copy, distanceSchema(), &error))
        return error;
    if (!createPlaceTables(copy, &sqlError))
        return sqlError.text();
    QSqlQuery made(copy);
    if (!made.exec(QStringLiteral("CREATE TABLE CopyOfServer (Made TEXT, Server TEXT)")) ||
        !made.prepare(QStringLiteral("INSERT INTO CopyOfServer VALUES (?, ?)")))
        return made.lastError().text();
    made.addBindValue(QDateTime::currentDateTime().toString(Qt::ISODate));
    made.addBindValue(source.serverShown());
    if (!made.exec())
        return made.lastError().text();
    for (const CopiedTable& table : kTables) {
        QSqlQuery read(server);
        read.setForwardOnly(true);
        if (!read.exec(QString::fromLatin1(table.read))) {
            *onServer = true;
            return serverReason(statementError(read));
        }
        QSqlQuery write(copy);
        write.prepare(QString::fromLatin1(table.write));
        while (read.next()) {
            // The program closing: a copy cut short is thrown away, and the
            // last whole one stays. The line is dropped, where finishing
            // the read would fetch every row still to come.
            if (QThread::currentThread()->isInterruptionRequested()) {
                QSqlDatabase(server).close();
                return QStringLiteral("Pellamy was closed while it was made");
            }
            for (int i = 0; i < table.columns; ++i)
                write.addBindValue(read.value(i).isNull() ? QVariant()
                                                          : QVariant(read.value(i).toString()));
            if (!write.exec())
                return write.lastError().text();
        }
        if (read.lastError().isValid()) {
            *onServer = true;
            return serverReason(read.lastError());
        }
    }
    return QString();
}

} // namespace

QString copyServerRows(const DistanceSource& source, bool* onServer) {
    bool serverFailed = false;
    if (onServer)
        *onServer = false;
    const DistanceConnection server(source, DistanceConnection::Mode::Read);
    if (!server.isOpen()) {
        if (onServer)
            *onServer = true;
        return server.error();
    }
    QSqlDatabase db = server.database();
    // One snapshot of every table: the copy is as the server stood at one
    // moment, never half of an edit. A line lost here would leave every
    // read after it refused without a word, and an empty copy put in place
    // of the last whole one.
    QSqlQuery snapshot(db);
    if (!snapshot.exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"))) {
        if (onServer)
            *onServer = true;
        return serverReason(statementError(snapshot));
    }

    // Copies cut short by a process that was killed, and their journals.
    const QFileInfo copyInfo(source.copyPath);
    removeStaleFiles(copyInfo.absolutePath(),
                     {copyInfo.fileName() + QStringLiteral(".*.new"),
                      copyInfo.fileName() + QStringLiteral(".*.new-journal")});

    // A name of this copy's own: two copies of Pellamy beside one another
    // never write into one file.
    static QAtomicInteger<quint64> counter;
    const quint64 number = ++counter;
    const QString partial =
        QStringLiteral("%1.%2-%3.new")
            .arg(source.copyPath, QString::number(QCoreApplication::applicationPid()),
                 QString::number(number));
    QFile::remove(partial);
    const QString name = QStringLiteral("pellamy-copy-%1").arg(number);
    QString error;
    {
        QSqlDatabase copy = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        copy.setDatabaseName(partial);
        if (!copy.open()) {
            error = copy.lastError().text();
        } else {
            copy.transaction();
            error = copyInto(db, copy, source, &serverFailed);
            if (error.isEmpty() && !copy.commit())
                error = copy.lastError().text();
            copy.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    QSqlQuery(db).exec(QStringLiteral("COMMIT"));
    if (error.isEmpty()) {
        error = replaceFile(partial, source.copyPath);
    }
    if (!error.isEmpty())
        QFile::remove(partial);
    if (onServer)
        *onServer = serverFailed;
    return error;
}

namespace {

// When the copy at a path was made, and from which server as server.txt
// named it then (its password left out); an invalid time when there is no
// copy, or one that is damaged.
std::pair<QDateTime, QString> copyDetails(const QString& copyPath) {
    const DistanceConnection copy(copyPath, DistanceConnection::Mode::Read);
    if (!copy.isOpen())
        return {};
    // A copy damaged anywhere is no copy to read from, whatever its date.
    QSqlQuery query(copy.database());
    if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next() ||
        query.value(0).toString() != QLatin1String("ok"))
        return {};
    if (!query.exec(QStringLiteral("SELECT Made, Server FROM CopyOfServer")) || !query.next())
        return {};
    return {QDateTime::fromString(query.value(0).toString(), Qt::ISODate),
            query.value(1).toString()};
}

} // namespace

QDateTime copyMade(const QString& copyPath) {
    return copyDetails(copyPath).first;
}

QString copyMadeText(const QDateTime& made) {
    return made.toString(QStringLiteral("d MMMM yyyy 'at' hh:mm"));
}

OfflineCopy offlineCopy(const QString& reason, const DistanceSource& source,
                        const QString& usedUntil) {
    const QString& copyPath = source.copyPath;
    const auto [made, server] = copyDetails(copyPath);
    QString notice = QStringLiteral("The distance server cannot be reached, or would not let "
                                    "this computer sign in:\n%1\n\n")
                         .arg(reason);
    // A copy there but unreadable (damaged, or cut short) is not "no copy":
    // it is made afresh at the next start with the server in reach.
    if (!made.isValid() && QFileInfo::exists(copyPath))
        return {
            notice +
            QStringLiteral("This computer's copy of the distances (%1) cannot be "
                           "read, so no distances can be read until Pellamy can reach "
                           "the server and sign in. The copy is made afresh the next time Pellamy "
                           "starts with the server in reach.")
                .arg(QFileInfo(copyPath).fileName())};
    if (!made.isValid())
        return {notice + QStringLiteral("There is no copy of the distances on this computer yet, "
                                        "so no distances can be read until Pellamy can reach the "
                                        "server and sign in.")};
    notice += QStringLiteral("Pellamy is using this computer's copy of the distances, made on %1, "
                             "until %2. Nothing in them can be changed while the copy is used.")
                  .arg(copyMadeText(made), usedUntil);
    // server.txt changed since to another server or database (another
    // federation's, or a test database): the copy may hold another club's
    // distances, so it is said.
    const QString then = serverPlace(server), now = serverPlace(source.server);
    if (then != now)
        notice += QStringLiteral("\n\nThe copy was made from the server server.txt named then "
                                 "(%1), not from the one it names now (%2). If that is not the "
                                 "same server, its distances may not be this club's: please do "
                                 "not work out a race from them.")
                      .arg(then, now);
    return {notice, true};
}

} // namespace pellamy
