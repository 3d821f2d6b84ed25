#include "federation.h"

#include "support/distancedb.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace benchsupport {

QString member(int i) {
    return QStringLiteral("Member %1").arg(i, 4, 10, QChar(u'0'));
}
QString racepoint(int i) {
    return QStringLiteral("Racepoint %1").arg(i, 2, 10, QChar(u'0'));
}

const QTemporaryDir& federationFolder() {
    static QTemporaryDir dir;
    static bool made = false;
    if (made)
        return dir;
    const QString path = dir.filePath("distances.mdb");
    testsupport::makeDistanceDatabase(path);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec("BEGIN");
        q.prepare("INSERT INTO Distances VALUES (?, ?, ?, ?, ?)");
        for (int m = 0; m < 5000; ++m)
            for (int r = 0; r < 40; ++r) {
                const int miles = 80 + r * 12 + m % 50, yards = (m * 37 + r * 101) % 1760;
                q.addBindValue(member(m));
                q.addBindValue(racepoint(r));
                q.addBindValue(QString::number(miles));
                q.addBindValue(QString::number(yards));
                q.addBindValue(QString::number((miles * 1760 + yards) * 60));
                q.exec();
            }
        QSqlQuery(db).exec("COMMIT");
        db.close();
    }
    QSqlDatabase::removeDatabase("fill");
    made = true;
    return dir;
}

} // namespace benchsupport
