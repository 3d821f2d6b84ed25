#include "distancedb.h"

#include "distances/schema.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <stdexcept>

namespace testsupport {

SqlConnection::SqlConnection(const QString& path, const QString& name, const QString& driver,
                             const QString& options)
    : db(QSqlDatabase::addDatabase(driver, name)) {
    db.setDatabaseName(path);
    db.setConnectOptions(options);
    if (!db.open())
        throw std::runtime_error(db.lastError().text().toStdString());
}

SqlConnection::~SqlConnection() {
    const QString name = db.connectionName();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
}

void makeDistanceDatabase(const QString& path, const QVector<Row>& rows) {
    QFile::remove(path);
    SqlConnection c(path);
    QString error;
    if (!pellamy::runSqlScript(c.db, pellamy::distanceSchema(), &error))
        throw std::runtime_error(error.toStdString());
    c.db.transaction(); // one write for all the rows
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
    insert.finish();
    c.db.commit();
}

QVector<QStringList> distanceRows(const QString& path) {
    QVector<QStringList> rows;
    SqlConnection c(path);
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

void execSql(const QString& path, const QString& statement) {
    SqlConnection c(path);
    QSqlQuery q(c.db);
    if (!q.exec(statement))
        throw std::runtime_error(q.lastError().text().toStdString());
}

void makeDamagedDatabase(const QString& path) {
    makeDistanceDatabase(path);
    execSql(path, "INSERT INTO Distances WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 "
                  "FROM n WHERE i < 7999) SELECT 'Member ' || (i / 20), 'Point ' || (i % 20), "
                  "100 + i % 20, i / 20, ((100 + i % 20) * 1760 + i / 20) * 60 FROM n");
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        throw std::runtime_error("cannot damage the test database");
    const qint64 pages = file.size() / 4096;
    for (qint64 page : {pages / 3, pages / 2, 2 * pages / 3, pages - 2}) {
        file.seek(page * 4096);
        file.write(QByteArray(4096, '\xA5'));
    }
}

} // namespace testsupport
