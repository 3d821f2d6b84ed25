#include "migration.h"

#include "connection.h"
#include "coordinates.h"
#include "schema.h"
#include "sixtieths.h"

#include "calc/filewrite.h"
#include "calc/textforms.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace pellamy {

namespace {

#ifdef Q_OS_WIN
const char* const kReader = "pellamy-access-reader.exe";
#else
const char* const kReader = "pellamy-access-reader";
#endif

Migration failed(const QString& what) {
    Migration m;
    m.outcome = Migration::Outcome::Failed;
    m.message = QStringLiteral("distances.mdb %1. The file has not been changed.").arg(what);
    return m;
}

// The Jet version byte: 0 for Jet 3 (Access 97), 1 for Jet 4 (Access 2000);
// -1 for anything else.
int jetVersion(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray head = file.read(0x15);
    return head.size() == 0x15 && (head[0x14] == 0 || head[0x14] == 1) ? head[0x14] : -1;
}

// Writes the rows into a new database at path, with the shipped schema.
bool writeDatabase(const QString& path, const QJsonArray& rows, QString& error) {
    const QString name = QStringLiteral("pellamy-migration");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            error =
                QStringLiteral("the database could not be created (%1)").arg(db.lastError().text());
        } else if (!db.transaction()) {
            error = db.lastError().text();
        } else if (runSqlScript(db, distanceSchema(), &error)) {
            QSqlQuery insert(db);
            insert.prepare(QStringLiteral("INSERT INTO Distances (Name, Racepoint, Miles, Yards, "
                                          "Sixtieths) VALUES (?, ?, ?, ?, ?)"));
            ok = true;
            for (const QJsonValue& row : rows) {
                const QJsonArray values = row.toArray();
                for (int k = 0; k < 5; ++k)
                    insert.addBindValue(values.at(k).toString());
                if (!insert.exec()) {
                    ok = false;
                    error = insert.lastError().text();
                    break;
                }
            }
            insert.finish();
            if (ok && !db.commit()) {
                ok = false;
                error = db.lastError().text();
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

// A character that no name or number typed by a club holds: a control
// character, the replacement for bytes that could not be decoded, or a code
// point that is unassigned, private or not a character at all.
bool unreadable(QChar c) {
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return true;
    default:
        return c == QChar::ReplacementCharacter || c.isNonCharacter();
    }
}

// What looks wrong in one row brought over; empty when nothing does.
QStringList rowDoubts(const QJsonArray& values) {
    static const char* const columns[] = {"Name", "Racepoint", "Miles", "Yards", "Sixtieths"};
    QStringList doubts;
    QString texts[5];
    for (int k = 0; k < 5; ++k) {
        texts[k] = values.at(k).toString();
        const QString& t = texts[k];
        if (std::any_of(t.begin(), t.end(), unreadable))
            doubts << QStringLiteral("%1 holds a character that cannot be read")
                          .arg(QLatin1String(columns[k]));
    }
    if (const QString why = sixtiethsDisagreement(texts[2], texts[3], texts[4]); !why.isEmpty())
        doubts << why;
    return doubts;
}

// The rows whose values look damaged or disagree, or that hold the member
// and race point of a row before them, one line each, numbered as they
// were read; *incomplete counts those without a name or race point.
QStringList doubtfulRows(const QJsonArray& rows, int* incomplete) {
    QStringList lines;
    QHash<QString, int> firstOfPair;
    // Written again with a blank before or after: listed apart by the
    // calculator, a member's birds then found under one of them only.
    QHash<QString, int> firstOfTrimmedPair;
    QHash<QString, std::pair<int, QString>> firstRacepoint; // row and spelling, by its trimmed key
    for (int i = 0; i < rows.size(); ++i) {
        const QJsonArray values = rows.at(i).toArray();
        QStringList doubts = rowDoubts(values);
        // A row without a name or race point: the calculator says only that
        // a record misses a field. Two distances for one member and race
        // point: the calculator takes neither, and says so only on race day.
        const QString name = values.at(0).toString(), racepoint = values.at(1).toString();
        if (name.trimmed().isEmpty())
            doubts << QStringLiteral("Name is empty");
        if (racepoint.trimmed().isEmpty())
            doubts << QStringLiteral("Racepoint is empty");
        if (name.trimmed().isEmpty() || racepoint.trimmed().isEmpty())
            ++*incomplete;
        const QString pair = nocaseKey(name) + u'\n' + nocaseKey(racepoint);
        const QString trimmedPair =
            nocaseKey(name.trimmed()) + u'\n' + nocaseKey(racepoint.trimmed());
        const QString racepointKey = nocaseKey(racepoint.trimmed());
        if (!name.trimmed().isEmpty() && !racepoint.trimmed().isEmpty()) {
            const auto [pointRow, spelling] = firstRacepoint.value(racepointKey);
            if (const int first = firstOfPair.value(pair); first > 0)
                doubts << QStringLiteral("Name and Racepoint are those of row %1 too, so the "
                                         "calculator takes neither distance")
                              .arg(first);
            else if (const int alike = firstOfTrimmedPair.value(trimmedPair); alike > 0)
                doubts << QStringLiteral("Name and Racepoint are those of row %1 but for a blank "
                                         "before or after, so the calculator lists them apart")
                              .arg(alike);
            else if (pointRow > 0 && nocaseKey(spelling) != nocaseKey(racepoint))
                doubts << QStringLiteral("Racepoint is that of row %1 but for a blank before or "
                                         "after, so the calculator lists the race point twice")
                              .arg(pointRow);
            firstOfPair.insert(pair, firstOfPair.value(pair, i + 1));
            firstOfTrimmedPair.insert(trimmedPair, firstOfTrimmedPair.value(trimmedPair, i + 1));
            if (pointRow == 0)
                firstRacepoint.insert(racepointKey, {i + 1, racepoint});
        }
        if (doubts.isEmpty())
            continue;
        QStringList shown;
        for (int k = 0; k < 5; ++k)
            shown << values.at(k).toString();
        lines << QStringLiteral("Row %1 (%2): %3.")
                     .arg(i + 1)
                     .arg(shown.join(QStringLiteral(" | ")), doubts.join(QStringLiteral("; ")));
    }
    return lines;
}

} // namespace

QString accessReaderPath() {
    const QString beside =
        QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(kReader));
    if (QFileInfo(beside).isExecutable())
        return beside;
#ifdef PELLAMY_BUILD_PROGRAM_DIR
    return QDir(QStringLiteral(PELLAMY_BUILD_PROGRAM_DIR)).filePath(QString::fromLatin1(kReader));
#else
    return beside;
#endif
}

Migration migrateAccessDatabase(const QString& databasePath, const QString& readerPath) {
    switch (databaseKind(databasePath)) {
    case DatabaseKind::Missing:
    case DatabaseKind::Sqlite:
        return {};
    case DatabaseKind::Unreadable:
        return failed(QStringLiteral("cannot be read"));
    case DatabaseKind::Ace:
        return failed(QStringLiteral("is an Access 2007 or later database, which Pellamy "
                                     "cannot read; save it in Access 2000 format to bring it "
                                     "over"));
    case DatabaseKind::Other:
        // Nothing to lose, but nothing to read: where a new one comes from is said.
        if (QFileInfo(databasePath).size() == 0)
            return failed(QStringLiteral("is empty (0 bytes) and holds no distances, as a copy or "
                                         "a save that did not finish may leave it: put back a "
                                         "copy kept elsewhere, or delete it, and the distances "
                                         "editor, opened again, offers to make a new one"));
        return failed(QStringLiteral("is neither a Pellamy distance database nor an Access "
                                     "database"));
    case DatabaseKind::Jet:
        break;
    }
    const int version = jetVersion(databasePath);
    if (version < 0)
        return failed(QStringLiteral("is an Access database of a kind Pellamy cannot read"));
    // A Jet file is made of whole pages; anything else has been cut short.
    if (QFileInfo(databasePath).size() % (version == 0 ? 2048 : 4096) != 0)
        return failed(QStringLiteral("is an Access database that cannot be read; it may be "
                                     "damaged"));
    if (!QFileInfo(readerPath).isExecutable())
        return failed(QStringLiteral("is an Access database, and this build of Pellamy cannot "
                                     "read Access files"));

    // Read the rows in a process of its own: a damaged file cannot bring
    // the program down.
    // A reader that cannot run (a library missing on this computer) says
    // nothing of the file, which is not to be called damaged for it.
    QProcess reader;
    reader.start(readerPath, {databasePath});
    const auto couldNotRun = [&](const QString& why) {
        return failed(QStringLiteral("is an Access database, but Pellamy's Access reader could "
                                     "not be run (%1)")
                          .arg(why));
    };
    if (!reader.waitForFinished(60000)) {
        if (reader.error() == QProcess::FailedToStart)
            return couldNotRun(reader.errorString());
        reader.kill();
        reader.waitForFinished(5000);
        return failed(QStringLiteral("is an Access database that cannot be read; it may be "
                                     "damaged"));
    }
    // On Windows a library missing or unfit ends the reader with a status
    // of the system's own, which Qt counts as a crash.
    const auto status = quint32(reader.exitCode());
    const bool systemRefused = status == 0xC0000135 || status == 0xC0000139 ||
                               status == 0xC000007B || status == 0xC0000142;
    if (systemRefused || (reader.exitStatus() == QProcess::NormalExit &&
                          (reader.exitCode() == 1 || reader.exitCode() > 4))) {
        const QString said = QString::fromUtf8(reader.readAllStandardError()).trimmed();
        return couldNotRun(said.isEmpty()
                               ? QStringLiteral("it stopped with code %1")
                                     .arg(systemRefused
                                              ? QStringLiteral("0x") + QString::number(status, 16)
                                              : QString::number(reader.exitCode()))
                               : said);
    }
    if (reader.exitStatus() != QProcess::NormalExit || reader.exitCode() == 3)
        return failed(QStringLiteral("is an Access database that cannot be read; it may be "
                                     "damaged"));
    if (reader.exitCode() == 2)
        return failed(QStringLiteral("is an Access database without a Distances table"));
    if (reader.exitCode() == 4)
        return failed(QStringLiteral("is an Access database whose Distances table lacks a "
                                     "column (%1)")
                          .arg(QString::fromUtf8(reader.readAllStandardError()).trimmed()));
    const QJsonDocument json = QJsonDocument::fromJson(reader.readAllStandardOutput());
    if (!json.isObject() || !json.object().value(QStringLiteral("rows")).isArray())
        return failed(QStringLiteral("is an Access database that cannot be read; it may be "
                                     "damaged"));
    const QJsonArray rows = json.object().value(QStringLiteral("rows")).toArray();

    // The new database beside the old one; the Access file copied aside,
    // then the new one put in its place in one step, so that there is a
    // distances.mdb whenever the process is stopped. The new one's name is
    // this process's own: a second copy of Pellamy started at the same
    // moment never takes or removes it half-written.
    const QFileInfo original(databasePath);
    const QDir folder = original.absoluteDir();
    const QString temporary = folder.filePath(
        QStringLiteral("distances-migrating-%1.mdb").arg(QCoreApplication::applicationPid()));
    // One left by a copy killed part-way, and its journal.
    removeStaleFiles(folder.path(), {QStringLiteral("distances-migrating-*.mdb"),
                                     QStringLiteral("distances-migrating-*.mdb-journal")});
    QFile::remove(temporary);
    QString error;
    if (!writeDatabase(temporary, rows, error)) {
        QFile::remove(temporary);
        // Why, as a plain file there would be refused: a read-only folder or
        // a full disk rather than the database's own words.
        const FileWrite probe = writeWholeFile(temporary, "x");
        const QString why = probe.ok() ? error : probe.problem;
        QFile::remove(temporary);
        return failed(QStringLiteral("is an Access database, but the new database could not be "
                                     "written in %1, because %2")
                          .arg(QDir::toNativeSeparators(folder.path()), why));
    }
    if (databaseKind(databasePath) != DatabaseKind::Jet) {
        QFile::remove(temporary); // that second copy brought it over meanwhile
        return {};
    }
    QString keptAs = QStringLiteral("distances-access.mdb");
    for (int n = 2; QFileInfo::exists(folder.filePath(keptAs)); ++n)
        keptAs = QStringLiteral("distances-access-%1.mdb").arg(n);
    if (!QFile::copy(original.absoluteFilePath(), folder.filePath(keptAs))) {
        QFile::remove(temporary);
        if (databaseKind(databasePath) == DatabaseKind::Sqlite)
            return {}; // a second copy of Pellamy brought it over first
        return failed(
            QStringLiteral("is an Access database, but it could not be kept as %1").arg(keptAs));
    }
    // A read-only Access file (copied from a CD) is kept as it was all the
    // same; the new database in its place is one Pellamy may write.
    const QFileDevice::Permissions was = QFile::permissions(original.absoluteFilePath());
    QFile::setPermissions(original.absoluteFilePath(), was | QFile::WriteOwner);
    if (const QString why = replaceFile(temporary, original.absoluteFilePath()); !why.isEmpty()) {
        QFile::setPermissions(original.absoluteFilePath(), was);
        QFile::setPermissions(folder.filePath(keptAs), QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(folder.filePath(keptAs));
        QFile::remove(temporary);
        return failed(QStringLiteral("is an Access database, but the new database could not be "
                                     "put in its place (%1)")
                          .arg(why));
    }

    Migration m;
    m.outcome = Migration::Outcome::Migrated;
    m.rows = int(rows.size());
    m.keptAs = keptAs;
    m.message =
        QStringLiteral(
            "Your Access database distances.mdb has been brought over to "
            "Pellamy: %1. The Access file has been kept as %2, beside the new distances.mdb.")
            .arg(countText(m.rows, "row", "rows"))
            .arg(keptAs);

    // The rows come over as the club kept them; those that look wrong are
    // named, so that the secretary can check them in the editor.
    const QStringList doubts = doubtfulRows(rows, &m.incompleteRows);
    m.doubtfulRows = int(doubts.size());
    if (!doubts.isEmpty()) {
        const QString report = folder.filePath(QStringLiteral("distances-access-report.txt"));
        QFile file(report);
        const QByteArray text =
            (QStringLiteral("Rows of %1 to check (brought over as they stood):\r\n").arg(keptAs) +
             doubts.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))
                .toUtf8();
        const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                             file.write(text) == text.size() && file.flush();
        m.message += QStringLiteral(" %1 of the rows should be checked: their Sixtieths does not "
                                    "agree with their Miles and Yards, they hold characters "
                                    "that cannot be read, they lack a name or race point, or "
                                    "they repeat a member's race point.")
                         .arg(m.doubtfulRows);
        m.message +=
            written
                ? QStringLiteral(" They are listed in %1.").arg(QDir::toNativeSeparators(report))
                : QStringLiteral(" The list could not be written beside it:\n") +
                      doubts.join(u'\n');
    }
    return m;
}

} // namespace pellamy
