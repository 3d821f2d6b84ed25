#include "schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

// schema.sql, compiled in.
static void initDistanceResources() {
    Q_INIT_RESOURCE(distances);
}

namespace pellamy {

QString distanceSchema() {
    initDistanceResources();
    QFile file(QStringLiteral(":/distances/schema.sql"));
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

QString createDistanceDatabase(const QString& path) {
    const QString making =
        QStringLiteral("%1.%2.new").arg(path, QString::number(QCoreApplication::applicationPid()));
    const QString name = QStringLiteral("pellamy-create-") + making;
    QString error;
    QFile::remove(making); // left by a copy killed part-way under this number
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(making);
        if (!db.open())
            error = db.lastError().text();
        else
            runSqlScript(db, distanceSchema(), &error);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    // One made meanwhile by another copy of Pellamy is the one used.
    QFile made(making);
    if (error.isEmpty() && !made.rename(path) && !QFileInfo::exists(path))
        error = made.errorString();
    QFile::remove(making);
    return error;
}

bool runSqlScript(QSqlDatabase& db, const QString& script, QString* error) {
    QString statement;
    for (const QString& line : script.split(u'\n')) {
        if (line.trimmed().startsWith(QLatin1String("--")))
            continue;
        statement += line + u'\n';
        if (!line.trimmed().endsWith(u';'))
            continue;
        QSqlQuery query(db);
        if (!query.exec(statement)) {
            if (error)
                *error = query.lastError().text();
            return false;
        }
        statement.clear();
    }
    return true;
}

} // namespace pellamy
