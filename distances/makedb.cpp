// Makes a distance database from SQL files: used by the build for the empty
// database an install ships and for the demo database.
//
//   pellamy-makedb [--keep-existing] OUTPUT FILE.sql...
//
// The database is written to a temporary file beside OUTPUT and moved into
// place only when every statement ran. With --keep-existing an OUTPUT that
// already exists is left as it is.

#include "distances/schema.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

namespace {

bool runSqlFile(QSqlDatabase& db, const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    if (!pellamy::runSqlScript(db, QString::fromUtf8(file.readAll()), &error)) {
        error = path + QStringLiteral(": ") + error;
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool keepExisting = args.removeAll(QStringLiteral("--keep-existing")) > 0;
    if (args.size() < 2) {
        std::fputs("usage: pellamy-makedb [--keep-existing] OUTPUT FILE.sql...\n", stderr);
        return 2;
    }
    const QString output = args.takeFirst();
    if (keepExisting && QFileInfo::exists(output))
        return 0;

    QDir().mkpath(QFileInfo(output).absolutePath());
    const QString temporary = output + QStringLiteral(".new");
    QFile::remove(temporary);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "makedb");
        db.setDatabaseName(temporary);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            // A statement or commit that fails (a full disk) fails the build,
            // never leaves an empty database in the file's place.
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("BEGIN")))
                error = query.lastError().text();
            for (const QString& sql : args)
                if (!error.isEmpty() || !runSqlFile(db, sql, error))
                    break;
            if (error.isEmpty() && !query.exec(QStringLiteral("COMMIT")))
                error = query.lastError().text();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase("makedb");
    if (!error.isEmpty()) {
        QFile::remove(temporary);
        std::fprintf(stderr, "pellamy-makedb: %s\n", qPrintable(error));
        return 1;
    }
    QFile::remove(output);
    if (!QFile::rename(temporary, output)) {
        std::fprintf(stderr, "pellamy-makedb: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
