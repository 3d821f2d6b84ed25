#include "connection.h"

#include "source.h"

#include "calc/textforms.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

namespace pellamy {

namespace {

// Why the server could not be signed in to, with what the club can put
// right: a server.txt libpq cannot read, or a password file it passes over
// (missing, or one that other users may read, which it ignores saying so
// only on the program's error output).
QString signInReason(const QString& reason) {
    if (reason.contains(QLatin1String("connection info string")) ||
        reason.contains(QLatin1String("invalid connection option")) ||
        reason.startsWith(QLatin1String("invalid port number")) ||
        (reason.startsWith(QLatin1String("invalid ")) && reason.contains(QLatin1String(" value"))))
        return QStringLiteral("server.txt: ") + reason;
    if (reason.contains(QLatin1String("password authentication failed")))
        return reason + QStringLiteral(". Please check the password kept for this computer, or "
                                       "ask the federation's distance officer for it.");
    if (!reason.contains(QLatin1String("no password supplied")))
        return reason;
    QString file = qEnvironmentVariable("PGPASSFILE");
#ifdef Q_OS_WIN
    if (file.isEmpty())
        file = qEnvironmentVariable("APPDATA") + QStringLiteral("/postgresql/pgpass.conf");
#else
    if (file.isEmpty())
        file = QDir::homePath() + QStringLiteral("/.pgpass");
#endif
    const QString shown = QDir::toNativeSeparators(file);
    const QFileInfo info(file);
    if (!info.exists())
        return reason +
               QStringLiteral(". The password is looked for in %1, which is not there.").arg(shown);
    if (!info.isReadable())
        return reason + QStringLiteral(". %1 cannot be read by your user (made by another, such "
                                       "as root): make it yours and readable by you only.")
                            .arg(shown);
#ifndef Q_OS_WIN
    if (info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                              QFile::ReadOther | QFile::WriteOther | QFile::ExeOther))
        return reason + QStringLiteral(". %1 is not read, because other users may read it: make "
                                       "it readable by its owner only (chmod 600 %1).")
                            .arg(shown);
#endif
    // The file is there but none of its lines is this server's.
    return reason + QStringLiteral(". No line of %1 (host:port:dbname:user:password) names the "
                                   "host, port, database and user that server.txt names: check "
                                   "that they are spelt alike in both.")
                        .arg(shown);
}

} // namespace

QString sqliteFileUri(const QString& absolutePath, DistanceConnection::Mode mode) {
    QString path = absolutePath;
    if (!path.startsWith(u'/'))
        path.prepend(u'/'); // C:/… as /C:/…
    return QStringLiteral("file://") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/:")) +
           (mode == DistanceConnection::Mode::Read ? QStringLiteral("?mode=ro")
                                                   : QStringLiteral("?mode=rw"));
}

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

namespace {

QString connectionName() {
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("pellamy-distances-%1").arg(++counter);
}

// A URI with mode "ro" or "rw" opens an existing file only: nothing is ever
// created.
QString fileUri(const QString& path, DistanceConnection::Mode mode) {
    return sqliteFileUri(QFileInfo(path).absoluteFilePath(), mode);
}

// A write cut short (a killed process, a power cut) leaves its rollback
// journal beside the file, and only a connection that may write can roll it
// back: until then every read-only read fails, and the calculator's lists
// would stand empty. The first read of a writing connection rolls it back; a
// journal of a write still going on is not touched by it.
void rollBackWriteCutShort(const QString& path) {
    if (QFileInfo(path + QLatin1String("-journal")).size() <= 0)
        return;
    const QString name = connectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(fileUri(path, DistanceConnection::Mode::ReadWrite));
        db.setConnectOptions(
            QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kFileBusyTimeoutMs));
        if (db.open())
            QSqlQuery(db).exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

DistanceConnection::DistanceConnection(const DistanceSource& source, Mode mode)
    : name_(connectionName()) {
    if (source.onServer())
        openServer(source, mode);
    else
        openFile(source.databasePath, mode);
}

void DistanceConnection::openServer(const DistanceSource& source, Mode mode) {
    engine_ = Engine::Postgres;
    fault_ = DatabaseFault::Unreachable;
    if (!source.serverError.isEmpty()) {
        error_ = source.serverError;
        return;
    }
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
    if (!db_.isValid()) {
        error_ = QStringLiteral("The PostgreSQL database driver is not installed (Debian "
                                "package libqt6sql6-psql).");
        return;
    }
    // A server that does not answer is given up after 10 seconds, not after
    // the minutes a lost network takes, unless server.txt says otherwise:
    // when connecting, and once connected by TCP's keepalives, where a
    // statement sent into a network gone away would otherwise hold the
    // window for a quarter of an hour.
    QStringList defaults{QStringLiteral("connect_timeout=10"), QStringLiteral("keepalives_idle=15"),
                         QStringLiteral("keepalives_interval=5"),
                         QStringLiteral("keepalives_count=3")};
#ifdef Q_OS_LINUX
    // About 20 s for data sent and not taken (libpq 12 and later).
    defaults << QStringLiteral("tcp_user_timeout=20000");
#endif
    QString options = source.server;
    for (const QString& option : defaults)
        if (!options.contains(option.section(u'=', 0, 0)))
            options += u' ' + option;
    db_.setConnectOptions(options);
    if (!db_.open()) {
        error_ = signInReason(serverReason(db_.lastError()));
        return;
    }
    QSqlQuery session(db_);
    if (mode == Mode::Read &&
        !session.exec(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"))) {
        error_ = serverReason(session.lastError());
        return;
    }
    // A row or table another session keeps locked (an officer's psql left in
    // a transaction, say) is waited for as long as the club's file is, then
    // the user is told, rather than the window hanging until it is let go.
    if (!options.contains(QLatin1String("lock_timeout")) &&
        !session.exec(QStringLiteral("SET lock_timeout = 3000"))) {
        error_ = serverReason(session.lastError());
        return;
    }
    fault_ = DatabaseFault::None;
}

void DistanceConnection::openFile(const QString& path, Mode mode) {
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
    if (mode == Mode::Read)
        rollBackWriteCutShort(path);
    db_.setDatabaseName(fileUri(path, mode));
    db_.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kFileBusyTimeoutMs) +
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

RowBatch::RowBatch(const QSqlDatabase& db, int rowsPerStatement,
                   std::function<QString(int)> statement)
    : db_(db), rowsPerStatement_(std::max(rowsPerStatement, 1)), statement_(std::move(statement)),
      full_(db) {}

bool RowBatch::add(const QVariantList& values) {
    pending_ += values;
    if (++pendingRows_ < rowsPerStatement_)
        return true;
    if (!fullPrepared_ && !full_.prepare(statement_(rowsPerStatement_))) {
        error_ = full_.lastError();
        return false;
    }
    fullPrepared_ = true;
    return send(full_);
}

bool RowBatch::finish() {
    if (pendingRows_ == 0)
        return true;
    QSqlQuery rest(db_);
    if (!rest.prepare(statement_(pendingRows_))) {
        error_ = rest.lastError();
        return false;
    }
    return send(rest);
}

bool RowBatch::send(QSqlQuery& query) {
    for (const QVariant& value : std::as_const(pending_))
        query.addBindValue(value);
    pending_.clear();
    pendingRows_ = 0;
    if (query.exec())
        return true;
    error_ = query.lastError();
    return false;
}

int rowsPerStatement(Engine engine, int columns) {
    return engine == Engine::Postgres ? 500 : std::max(1, 900 / columns);
}

QString repeatedRows(const QString& row, int rows) {
    QStringList all;
    all.fill(row, rows);
    return all.join(QStringLiteral(", "));
}

RowBatch distanceInserts(const QSqlDatabase& db) {
    return RowBatch(db, rowsPerStatement(engineOf(db), 5), [](int rows) {
        return QStringLiteral("INSERT INTO Distances (Name, Racepoint, Miles, Yards, Sixtieths) "
                              "VALUES %1")
            .arg(repeatedRows(QStringLiteral("(?, ?, ?, ?, ?)"), rows));
    });
}

Engine engineOf(const QSqlDatabase& db) {
    return db.driverName() == QLatin1String("QPSQL") ? Engine::Postgres : Engine::Sqlite;
}

QString serverReason(const QSqlError& error) {
    // libpq words a reason over indented lines, and the server's error ends
    // with the statement it came from ("LINE 1: ..." under a caret) and its
    // code in brackets (empty ones when libpq itself failed): the user reads
    // the reason alone, its lines joined as sentences.
    static const QRegularExpression statement(
        QStringLiteral("\\bLINE \\d+:[^\\n]*(\\n[ \\t]*\\^)?"));
    static const QRegularExpression jargon(
        QStringLiteral("\\b(ERROR|FATAL|DETAIL|HINT):\\s*|fe_sendauth: "));
    static const QRegularExpression code(QStringLiteral("\\s*\\(([0-9A-Z]{5})?\\)\\s*$"));
    QString text = error.databaseText();
    if (text.trimmed().isEmpty())
        text = error.text();
    text.remove(statement).remove(jargon).remove(code);
    QString reason;
    for (const QString& line : text.split(u'\n')) {
        const QString words = line.simplified();
        if (words.isEmpty())
            continue;
        // An indented line begun in small letters goes on with the sentence
        // before; any other begins a sentence (or another of libpq's reasons).
        const bool goesOn = line.front().isSpace() && words.front().isLower();
        if (!reason.isEmpty())
            reason += QString(".:;!?").contains(reason.back()) || goesOn ? QLatin1String(" ")
                                                                         : QLatin1String(". ");
        reason += words;
    }
    return reason;
}

QString errorText(const QSqlError& error, Engine engine) {
    return engine == Engine::Postgres ? serverReason(error) : error.text();
}

QSqlError lostLineError() {
    return QSqlError(QStringLiteral("the connection to the distance server was lost"), QString(),
                     QSqlError::ConnectionError);
}

QSqlError statementError(const QSqlQuery& query) {
    if (query.lastError().type() != QSqlError::NoError)
        return query.lastError();
    return query.driver() && query.driver()->dbmsType() == QSqlDriver::PostgreSQL
               ? lostLineError()
               : QSqlError(QStringLiteral("the statement could not be run"), QString(),
                           QSqlError::UnknownError);
}

DatabaseFault faultOf(const QSqlError& error, Engine engine) {
    if (error.type() == QSqlError::NoError)
        return DatabaseFault::None;
    if (engine == Engine::Postgres) {
        // SQLSTATE classes: 08 the connection, 57P shutdown, 28 the sign-in,
        // 42501 a privilege, 25006 a read-only transaction, 55P03 a lock. An
        // error without one came from libpq itself: the line is gone.
        const QString state = error.nativeErrorCode();
        if (error.type() == QSqlError::ConnectionError || state.isEmpty() ||
            state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P")) ||
            state.startsWith(QLatin1String("28")))
            return DatabaseFault::Unreachable;
        if (state == QLatin1String("42501") || state == QLatin1String("25006"))
            return DatabaseFault::NotAllowed;
        if (state == QLatin1String("55P03") || state == QLatin1String("40001") ||
            state == QLatin1String("40P01"))
            return DatabaseFault::ServerBusy;
        return DatabaseFault::Other;
    }
    // SQLite's primary result codes; an extended code (a read-only folder
    // gives SQLITE_READONLY_DIRECTORY, say) carries its primary code in its
    // low byte. SQLITE_READONLY_DBMOVED is no read-only file: another was put
    // in its place (a copy put back), or it was moved or deleted, while it
    // was open.
    const int code = error.nativeErrorCode().toInt();
    if (code == 1032)
        return DatabaseFault::Replaced;
    switch (code & 0xFF) {
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

QString serverNotReadMessage(const QString& what, const QString& reason) {
    // The server's reason as it gave it, ended as a sentence; none, none.
    const QString given = reason.trimmed();
    const QString why = given.isEmpty() ? QStringLiteral(".")
                        : QString(".?!").contains(given.back())
                            ? QStringLiteral(": ") + given
                            : QStringLiteral(": %1.").arg(given);
    return QStringLiteral("%1 could not be read from the distance server%2 The server.txt beside "
                          "Pellamy may name another database than the federation's distances, or "
                          "your user may not be allowed to read them: please show this to the "
                          "federation's distance officer.")
        .arg(what, why);
}

QString faultMessage(DatabaseFault fault, const QString& notDone, const QString& retry) {
    switch (fault) {
    case DatabaseFault::Damaged:
        return damagedDatabaseMessage();
    case DatabaseFault::ReadOnly:
        return QStringLiteral("distances.mdb cannot be changed: the file, or the folder it is "
                              "in, is read-only. ") +
               notDone.front().toUpper() + notDone.mid(1);
    case DatabaseFault::Replaced:
        return QStringLiteral("distances.mdb was replaced (by a copy put back, say), moved or "
                              "deleted while it was open, so %1 Please close the window and open "
                              "it again: distances.mdb is read afresh then.")
            .arg(notDone);
    case DatabaseFault::Busy:
        return QStringLiteral("distances.mdb is in use by another program, so %1 %2 If a "
                              "database program has it open with changes not yet written, write "
                              "or cancel them there first.")
            .arg(notDone, retry);
    case DatabaseFault::ServerBusy:
        return QStringLiteral("The distance server is busy with another change to these "
                              "distances, so %1 %2")
            .arg(notDone, retry);
    case DatabaseFault::Unreachable:
        return QStringLiteral("The distance server cannot be reached, so %1").arg(notDone);
    case DatabaseFault::NotAllowed:
        return QStringLiteral("Your user on the distance server may read the distances but not "
                              "change them, so %1 The federation's distance officer makes the "
                              "changes.")
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
