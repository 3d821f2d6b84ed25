#include "source.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace pellamy {

QString serverConnectionString(const QString& text, QString* error) {
    for (const QString& raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        // Qt's PostgreSQL driver hands the string on with ";" read as a
        // separator, and cannot take libpq's URI form after its own options.
        if (line.contains(u';')) {
            *error = QStringLiteral("server.txt holds a \";\", which Pellamy cannot pass on to the "
                                    "server. Please keep the password in the .pgpass file, not "
                                    "in server.txt.");
            return QString();
        }
        if (line.startsWith(QLatin1String("postgres://")) ||
            line.startsWith(QLatin1String("postgresql://"))) {
            *error = QStringLiteral("server.txt holds an address. Please write it as "
                                    "host=… port=… dbname=… user=…");
            return QString();
        }
        return line;
    }
    *error = QStringLiteral("server.txt is empty. It should hold one line such as "
                            "host=… port=… dbname=… user=…");
    return QString();
}

DistanceSource distanceSourceInFolder(const QString& folder) {
    const QDir dir(folder);
    DistanceSource source(dir.filePath(QStringLiteral("distances.mdb")));
    QFile file(dir.filePath(QStringLiteral("server.txt")));
    if (!file.exists())
        return source;
    source.copyPath = dir.filePath(QStringLiteral("distances-copy.mdb"));
    if (!file.open(QIODevice::ReadOnly)) {
        source.serverError =
            QStringLiteral("server.txt cannot be read: %1").arg(file.errorString());
        return source;
    }
    source.server =
        serverConnectionString(QString::fromUtf8(file.read(64 * 1024)), &source.serverError);
    return source;
}

QString DistanceSource::serverShown() const {
    QString shown = server;
    // password=secret, password='a b', password=a\ b (a blank kept by its
    // backslash) and password = secret alike, and the client key's
    // sslpassword
    static const QRegularExpression password(
        QStringLiteral(R"(\b(ssl)?password\s*=\s*('(?:[^'\\]|\\.)*'|(?:[^\s\\]|\\.)*))"));
    shown.replace(password, QStringLiteral("\\1password=…"));
    return shown;
}

} // namespace pellamy
