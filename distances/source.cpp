#include "source.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace pellamy {

QString serverConnectionString(const QString& text, QString* error) {
    const QStringList lines = text.split(u'\n');
    const auto isSetting = [](const QString& line) {
        return !line.trimmed().isEmpty() && !line.trimmed().startsWith(u'#');
    };
    // A note written after the settings without "#" (no "=" in it) is
    // passed over, as it always was.
    const auto moreSettings = [&](const QString& line) {
        return isSetting(line) && line.contains(u'=');
    };
    for (qsizetype at = 0; at < lines.size(); ++at) {
        const QString line = lines[at].trimmed();
        if (!isSetting(line))
            continue;
        // Settings on a line after it would go unused unsaid: the user name
        // on the second line, say, and the server asked for the computer's.
        // The line is not shown: it may hold a password.
        if (const auto more = std::find_if(lines.cbegin() + at + 1, lines.cend(), moreSettings);
            more != lines.cend()) {
            *error = QStringLiteral("server.txt holds settings on line %1 as well as on line %2. "
                                    "Please write them all on one line, such as host=… port=… "
                                    "dbname=… user=…, and put # before a line not to be used.")
                         .arg(QString::number(more - lines.cbegin() + 1), QString::number(at + 1));
            return QString();
        }
        // Qt's PostgreSQL driver hands the string on with ";" read as a
        // separator, and cannot take libpq's URI form after its own options.
        if (line.contains(u';')) {
            *error = QStringLiteral("server.txt holds a \";\", which Pellamy cannot pass on to the "
                                    "server. A password is kept in the .pgpass file, not in "
                                    "server.txt.");
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

namespace {
// A keyword's value in a connection string: quoted ('a b', a quote or a
// backslash inside escaped by a backslash), or up to a blank (a backslash
// keeping a blank in it).
constexpr char kValue[] = R"(\s*=\s*('(?:[^'\\]|\\.)*'|(?:[^\s\\]|\\.)*))";
} // namespace

QString DistanceSource::serverShown() const {
    QString shown = server;
    // password=secret, password='a b', password=a\ b and password = secret
    // alike, and the client key's sslpassword
    static const QRegularExpression password(QLatin1String(R"(\b(ssl)?password)") +
                                             QLatin1String(kValue));
    shown.replace(password, QStringLiteral("\\1password=…"));
    return shown;
}

QString serverPlace(const QString& connection) {
    static const QRegularExpression pair(QLatin1String(R"((\w+))") + QLatin1String(kValue));
    static const QRegularExpression escaped(QStringLiteral(R"(\\(.))"));
    QHash<QString, QString> values;
    for (auto found = pair.globalMatch(connection); found.hasNext();) {
        const QRegularExpressionMatch match = found.next();
        QString value = match.captured(2);
        if (value.startsWith(u'\''))
            value = value.mid(1, value.size() - 2);
        values.insert(match.captured(1).toLower(), value.replace(escaped, QStringLiteral("\\1")));
    }
    // The same server written otherwise: a host name in capitals (not a
    // socket's folder), the port PostgreSQL takes when none is written.
    QString& host = values[QStringLiteral("host")];
    if (!host.startsWith(u'/'))
        host = host.toLower();
    if (values.value(QStringLiteral("port")) == QLatin1String("5432"))
        values.remove(QStringLiteral("port"));
    QStringList place;
    for (const char* key : {"host", "hostaddr", "port", "dbname"})
        if (!values.value(QLatin1String(key)).isEmpty())
            place << QLatin1String(key) + u'=' + values.value(QLatin1String(key));
    return place.join(u' ');
}

} // namespace pellamy
