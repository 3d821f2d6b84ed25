#include "distancedb.h"

#include "distances/schema.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <stdexcept>

namespace testsupport {

namespace {

struct Connection {
    explicit Connection(const QString& path) {
        db = QSqlDatabase::addDatabase("QSQLITE", "testsupport");
        db.setDatabaseName(path);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
    }
    ~Connection() {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("testsupport");
    }
    QSqlDatabase db;
};

} // namespace

void makeDistanceDatabase(const QString& path, const QVector<Row>& rows) {
    QFile::remove(path);
    Connection c(path);
    QString error;
    if (!pellamy::runSqlScript(c.db, pellamy::distanceSchema(), &error))
        throw std::runtime_error(error.toStdString());
    QSqlQuery insert(c.db);
    insert.prepare("INSERT INTO Distances (Name, Racepoint, Miles, Yards, Sixtieths) "
                   "VALUES (?, ?, ?, ?, ?)");
    for (const Row& row : rows) {
        for (const char* value : row)
            insert.addBindValue(value ? QVariant(QString::fromUtf8(value))
                                      : QVariant(QMetaType::fromType<QString>()));
        if (!insert.exec())
            throw std::runtime_error(insert.lastError().text().toStdString());
    }
}

QVector<QStringList> distanceRows(const QString& path) {
    QVector<QStringList> rows;
    Connection c(path);
    QSqlQuery q(c.db);
    q.exec("SELECT Name, Racepoint, Miles, Yards, Sixtieths FROM Distances ORDER BY rowid");
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < 5; ++i)
            row << (q.value(i).isNull() ? QStringLiteral("(null)") : q.value(i).toString());
        rows << row;
    }
    return rows;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace testsupport
