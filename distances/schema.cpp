#include "schema.h"

#include <QFile>
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
