#include "workout.h"

#include "coordinates.h"
#include "coordinatestore.h"
#include "geodesic.h"
#include "sixtieths.h"

#include "calc/numbers.h"
#include "calc/textforms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cmath>

namespace pellamy {

namespace {

struct StoredRow {
    qint64 rowid;
    QString name, racepoint, miles, yards, sixtieths;
};

struct Located {
    QString name;
    double latitude, longitude;
};

// The places whose coordinates can be read, in degrees; the others are
// named in unreadable.
QVector<Located> located(const QVector<Place>& places, const QString& kind,
                         QStringList* unreadable) {
    QVector<Located> result;
    result.reserve(places.size());
    for (const Place& place : places) {
        const CoordinateReading latitude = readCoordinate(place.latitude, Axis::Latitude);
        const CoordinateReading longitude = readCoordinate(place.longitude, Axis::Longitude);
        if (latitude.nanoArcseconds && longitude.nanoArcseconds)
            result.push_back({place.name, coordinateDegrees(*latitude.nanoArcseconds),
                              coordinateDegrees(*longitude.nanoArcseconds)});
        else
            *unreadable << QStringLiteral("%1 %2 (%3)")
                               .arg(kind, place.name,
                                    latitude.error.isEmpty() ? longitude.error : latitude.error);
    }
    return result;
}

// A name by its letters and figures only, without regard to case or
// accents: "J. Smith" and "J Smith", "Zoë" and "ZOE" alike to a reader,
// though the calculator tells them apart.
QString lookAlikeKey(const QString& name) {
    QString key;
    for (QChar c : name.normalized(QString::NormalizationForm_KD))
        if (c.isLetterOrNumber())
            key += c;
    return key.toCaseFolded();
}

} // namespace

QString milesAndYardsText(const QString& miles, const QString& yards) {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(miles, miles == QLatin1String("1") ? QStringLiteral("mile") : QStringLiteral("miles"),
             yards, yards == QLatin1String("1") ? QStringLiteral("yard") : QStringLiteral("yards"));
}

DistanceWorkOut::DistanceWorkOut(DistanceSource source) : source_(std::move(source)) {}

DistanceWorkOut::~DistanceWorkOut() = default;

bool DistanceWorkOut::fail(const QSqlError& error) {
    const Engine engine = connection_ ? connection_->engine() : Engine::Sqlite;
    error_ = errorText(error, engine);
    fault_ = faultOf(error, engine);
    if (connection_)
        QSqlQuery(connection_->database()).exec(QStringLiteral("ROLLBACK"));
    return false;
}

bool DistanceWorkOut::dataVersion(QString* version) {
    // SQLite counts the writes of other connections. The server has no such
    // count: there the version is a digest of the three tables' rows. concat
    // is named with its schema: a function of that name that a user made in
    // schema public, taking the arguments exactly, would be run before it.
    QSqlQuery query(connection_->database());
    const QString text =
        connection_->engine() == Engine::Postgres
            ? QStringLiteral("SELECT md5(pg_catalog.concat("
                             " (SELECT string_agg(d::text, chr(30) ORDER BY id) FROM distances d),"
                             " chr(29), (SELECT string_agg(l::text, chr(30) ORDER BY name_key)"
                             "  FROM lofts l),"
                             " chr(29), (SELECT string_agg(r::text, chr(30) ORDER BY"
                             "  racepoint_key) FROM racepoints r)))")
            : QStringLiteral("PRAGMA data_version");
    if (!query.exec(text) || !query.next())
        return fail(query.lastError());
    *version = query.value(0).toString();
    return true;
}

bool DistanceWorkOut::plan(WorkOutPlan* plan) {
    *plan = {};
    error_.clear();
    fault_ = DatabaseFault::None;
    connection_ =
        std::make_unique<DistanceConnection>(source_, DistanceConnection::Mode::ReadWrite);
    if (!connection_->isOpen()) {
        error_ = connection_->error();
        fault_ = connection_->fault();
        return false;
    }
    const QSqlDatabase db = connection_->database();
    const bool server = connection_->engine() == Engine::Postgres;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // The coordinates and the distances as one reading. The connection stays
    // open until the plan is written: its data version tells whether anybody
    // wrote in between.
    if (!query.exec(server ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ")
                           : QStringLiteral("BEGIN")))
        return fail(query.lastError());
    PlaceLists& places = plan->places;
    QSqlError error;
    if (!readPlaces(db, &places, &error))
        return fail(error);
    const QVector<Located> lofts =
        located(places.lofts, QStringLiteral("The loft of"), &plan->unreadable);
    const QVector<Located> points =
        located(places.racepoints, QStringLiteral("The race point"), &plan->unreadable);
    QHash<QString, int> loftAt, pointAt;
    for (int i = 0; i < lofts.size(); ++i)
        loftAt.insert(nocaseKey(lofts[i].name.trimmed()), i);
    for (int i = 0; i < points.size(); ++i)
        pointAt.insert(nocaseKey(points[i].name.trimmed()), i);

    // The stored rows of each loft and race point pair; rows of other pairs
    // are left alone and need not be kept.
    QVector<QVector<StoredRow>> rows(lofts.size() * points.size());
    if (!query.exec(QStringLiteral("SELECT %1, Name, Racepoint, Miles, Yards, Sixtieths FROM "
                                   "Distances")
                        .arg(server ? QStringLiteral("id") : QStringLiteral("rowid"))))
        return fail(query.lastError());
    // The names and race points as the table spells them (a new row takes
    // the spelling of the member's other rows), and each race point's names
    // by their look-alike key.
    QHash<QString, QString> namesHeld, pointsHeld, pointsAlike;
    QHash<QString, QHash<QString, QString>> namesAtPoint;
    while (query.next()) {
        const QString name = valueText(query.value(1));
        const QString racepoint = valueText(query.value(2));
        if (!namesHeld.contains(nocaseKey(name.trimmed())))
            namesHeld.insert(nocaseKey(name.trimmed()), name);
        if (!pointsHeld.contains(nocaseKey(racepoint.trimmed())))
            pointsHeld.insert(nocaseKey(racepoint.trimmed()), racepoint);
        pointsAlike.insert(lookAlikeKey(racepoint), racepoint);
        if (!lookAlikeKey(name).isEmpty())
            namesAtPoint[nocaseKey(racepoint.trimmed())].insert(lookAlikeKey(name), name);
        // A name typed with a blank before or after it is the loft's name:
        // its row is given the distance, not a look-alike row beside it.
        const auto loft = loftAt.constFind(nocaseKey(name.trimmed()));
        const auto point = pointAt.constFind(nocaseKey(racepoint.trimmed()));
        if (loft == loftAt.cend() || point == pointAt.cend())
            continue;
        rows[*point * lofts.size() + *loft].push_back(
            {query.value(0).toLongLong(), name, racepoint, valueText(query.value(3)),
             valueText(query.value(4)), valueText(query.value(5))});
    }
    if (query.lastError().isValid())
        return fail(query.lastError());
    if (!dataVersion(&plannedVersion_))
        return false;
    query.finish();
    QSqlQuery(db).exec(QStringLiteral("COMMIT"));

    if (!namesHeld.isEmpty()) {
        for (const Located& loft : lofts)
            if (!namesHeld.contains(nocaseKey(loft.name.trimmed())))
                plan->newNames << loft.name;
        for (const Located& point : points)
            if (!pointsHeld.contains(nocaseKey(point.name.trimmed()))) {
                plan->newNames << point.name;
                if (const QString alike = pointsAlike.value(lookAlikeKey(point.name));
                    !alike.isEmpty() && !lookAlikeKey(point.name).isEmpty())
                    plan->pointsAlike << QStringLiteral("%1 (beside %2)").arg(point.name, alike);
            }
    }
    plan->writes.reserve(lofts.size() * points.size());
    for (int p = 0; p < points.size(); ++p) {
        const Located& point = points[p];
        for (int l = 0; l < lofts.size(); ++l) {
            const Located& loft = lofts[l];
            const qint64 yards = nearestYards(
                *geodesicMetres(loft.latitude, loft.longitude, point.latitude, point.longitude));
            const QString miles = QString::number(yards / 1760);
            const QString rest = QString::number(yards % 1760);
            const QString sixtieths = *sixtiethsText(miles, rest);
            const QVector<StoredRow>& found = rows[p * lofts.size() + l];
            if (yards > plan->longestYards) {
                plan->longestYards = yards;
                plan->longestPair = QStringLiteral("%1 at %2").arg(loft.name, point.name);
            }
            if (found.isEmpty()) {
                const QString nameKey = nocaseKey(loft.name.trimmed());
                const QString pointKey = nocaseKey(point.name.trimmed());
                const QString beside = namesAtPoint.value(pointKey).value(lookAlikeKey(loft.name));
                if (!beside.isEmpty())
                    plan->besideAlike << QStringLiteral("%1 at %2 (beside %3)")
                                             .arg(loft.name, point.name, beside);
                plan->writes.push_back({-1, namesHeld.value(nameKey, loft.name),
                                        pointsHeld.value(pointKey, point.name), miles, rest,
                                        sixtieths});
                ++plan->added;
                continue;
            }
            // The calculator finds a bird's distance by name and race point as
            // stored (letter case aside, blanks not): two rows alike stop its
            // birds, "Ann Sample" beside "Ann Sample " does not.
            QSet<QString> matched;
            for (const StoredRow& row : found) {
                const QString key = nocaseKey(row.name) + u'\n' + nocaseKey(row.racepoint);
                if (matched.contains(key)) {
                    plan->heldTwice << QStringLiteral("%1 at %2").arg(row.name, row.racepoint);
                    break;
                }
                matched.insert(key);
            }
            // Every row of the pair (the table may hold two) gets the distance.
            for (const StoredRow& row : found) {
                const std::optional<double> was = textToNumber(row.sixtieths);
                // Right only when all three fields agree: the editor would
                // work the Sixtieths out again from Miles and Yards that
                // do not.
                const QString disagreement =
                    sixtiethsDisagreement(row.miles, row.yards, row.sixtieths);
                if (was && *was == double(yards) * 60 && disagreement.isEmpty()) {
                    ++plan->unchanged;
                    continue;
                }
                plan->writes.push_back(
                    {row.rowid, row.name, row.racepoint, miles, rest, sixtieths});
                ++plan->changed;
                // The change as the calculator sees it (Sixtieths) and as the
                // editor shows it (Miles and Yards).
                const auto change = [&](double from) {
                    plan->largestChange =
                        std::max(plan->largestChange.value_or(0), std::abs(from - double(yards)));
                };
                if (was)
                    change(*was / 60);
                const std::optional<double> shownMiles = textToNumber(row.miles),
                                            shownYards = textToNumber(row.yards);
                if (shownMiles && shownYards)
                    change(*shownMiles * 1760 + *shownYards);
                plan->changedRows << QStringLiteral("%1 at %2: %3, becomes %4")
                                         .arg(row.name, row.racepoint,
                                              row.miles.isEmpty() && row.yards.isEmpty()
                                                  ? QStringLiteral("no distance")
                                              : disagreement.isEmpty()
                                                  ? milesAndYardsText(row.miles, row.yards)
                                                  : disagreement,
                                              milesAndYardsText(miles, rest));
            }
        }
    }
    return true;
}

WriteOutcome DistanceWorkOut::write(const WorkOutPlan& plan,
                                    const std::function<void(int, int)>& progress) {
    if (!connection_ || !connection_->isOpen() || plannedVersion_.isEmpty()) {
        error_ = QStringLiteral("The distances have not been worked out.");
        return WriteOutcome::Failed;
    }
    const QSqlDatabase db = connection_->database();
    const bool server = connection_->engine() == Engine::Postgres;
    QSqlQuery query(db);
    // The write lock first: nobody writes between the check and the writes.
    if (!query.exec(server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")))
        return fail(query.lastError()), WriteOutcome::Failed;
    if (server && !query.exec(QStringLiteral("LOCK TABLE distances, lofts, racepoints IN SHARE "
                                             "ROW EXCLUSIVE MODE")))
        return fail(query.lastError()), WriteOutcome::Failed;
    QString version;
    if (!dataVersion(&version))
        return WriteOutcome::Failed;
    if (version != plannedVersion_) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        plannedVersion_.clear();
        return WriteOutcome::Changed;
    }
    // The club's file as it was is kept before a distance in it is changed:
    // one typed by hand is then not lost, should the coordinates be wrong.
    keptAs_.clear();
    if (!server && plan.changed > 0) {
        const QFileInfo file(source_.databasePath);
        QString kept = QStringLiteral("distances-before-workout.mdb");
        for (int n = 2; file.dir().exists(kept); ++n)
            kept = QStringLiteral("distances-before-workout-%1.mdb").arg(n);
        // Copied by SQLite, not as a file: distances saved lately may stand
        // in the file's write-ahead log (a file another program set so), which
        // a copy of distances.mdb alone would leave out.
        const QString keptPath = file.dir().filePath(kept);
        const DistanceConnection reader(source_, DistanceConnection::Mode::Read);
        QSqlQuery copy(reader.database());
        copy.prepare(QStringLiteral("VACUUM INTO ?"));
        copy.addBindValue(keptPath);
        if (!reader.isOpen() || !copy.exec()) {
            QFile::remove(keptPath); // a copy cut short is no copy
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            error_ = QStringLiteral("the distances as they are could not be kept as %1 in %2")
                         .arg(kept, QDir::toNativeSeparators(file.absolutePath()));
            if (!QFileInfo(file.absolutePath()).isWritable())
                fault_ = DatabaseFault::ReadOnly;
            return WriteOutcome::Failed;
        }
        keptAs_ = kept;
    }
    RowBatch inserts = distanceInserts(db);
    // The server's rows are changed a group at a time; SQLite's one by one.
    RowBatch updates(db, server ? rowsPerStatement(Engine::Postgres, 4) : 1, [&](int rows) {
        return server ? QStringLiteral("UPDATE distances AS d SET miles = v.m, yards = v.y, "
                                       "sixtieths = v.s FROM (VALUES %1) AS v (id, m, y, s) "
                                       "WHERE d.id = v.id")
                            .arg(repeatedRows(QStringLiteral("(?::bigint, ?, ?, ?)"), rows))
                      : QStringLiteral("UPDATE Distances SET Miles = ?, Yards = ?, Sixtieths = ? "
                                       "WHERE rowid = ?");
    });
    const int total = int(plan.writes.size());
    for (int i = 0; i < total; ++i) {
        const DistanceWrite& w = plan.writes[i];
        const bool sent = w.rowid < 0
                              ? inserts.add({w.name, w.racepoint, w.miles, w.yards, w.sixtieths})
                          : server ? updates.add({w.rowid, w.miles, w.yards, w.sixtieths})
                                   : updates.add({w.miles, w.yards, w.sixtieths, w.rowid});
        if (!sent)
            return fail(w.rowid < 0 ? inserts.error() : updates.error()), WriteOutcome::Failed;
        if (progress && (i % 1000 == 999 || i + 1 == total))
            progress(i + 1, total);
    }
    if (!inserts.finish())
        return fail(inserts.error()), WriteOutcome::Failed;
    if (!updates.finish())
        return fail(updates.error()), WriteOutcome::Failed;
    if (!query.exec(QStringLiteral("COMMIT")))
        return fail(query.lastError()), WriteOutcome::Failed;
    // A file in write-ahead mode gets the new distances into distances.mdb
    // itself, so that the kept copy put in its place is not overlaid by them
    // from the log beside it; not waiting for a program reading it meanwhile.
    if (!server)
        for (const QString& statement :
             {QStringLiteral("PRAGMA busy_timeout = 0"),
              QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"),
              QStringLiteral("PRAGMA busy_timeout = %1").arg(kFileBusyTimeoutMs)})
            query.exec(statement);
    plannedVersion_.clear();
    return WriteOutcome::Done;
}

} // namespace pellamy
