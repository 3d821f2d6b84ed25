#include "upload.h"

#include "coordinates.h"
#include "sixtieths.h"

#include "calc/numbers.h"
#include "calc/textforms.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace pellamy {

namespace {

struct Row {
    QString name, racepoint, miles, yards, sixtieths;
};

// Blanks before or after a name are not told apart: "J Smith " is the
// server's "J Smith", never a second member beside it.
QString pairKey(const QString& name, const QString& racepoint) {
    return nocaseKey(name.trimmed()) + QChar(0x1f) + nocaseKey(racepoint.trimmed());
}

bool sameDistance(const QString& a, const QString& b) {
    const std::optional<double> x = textToNumber(a), y = textToNumber(b);
    return x && y ? *x == *y : a == b;
}

// The named rows shown in the report; the others are counted.
constexpr int kNamedRows = 30;

} // namespace

Upload uploadDistances(const QString& databasePath, const DistanceSource& server) {
    Upload upload;
    QVector<Row> rows;
    {
        const DistanceConnection file(databasePath, DistanceConnection::Mode::Read);
        if (!file.isOpen())
            return upload.error = file.error(), upload.fault = file.fault(), upload;
        QSqlQuery query(file.database());
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("SELECT Name, Racepoint, Miles, Yards, Sixtieths FROM "
                                       "Distances ORDER BY rowid")))
            return upload.error = query.lastError().text(),
                   upload.fault = faultOf(query.lastError()), upload;
        while (query.next())
            rows.push_back({valueText(query.value(0)), valueText(query.value(1)),
                            valueText(query.value(2)), valueText(query.value(3)),
                            valueText(query.value(4))});
        if (query.lastError().isValid())
            return upload.error = query.lastError().text(),
                   upload.fault = faultOf(query.lastError()), upload;
    }

    const DistanceConnection connection(server, DistanceConnection::Mode::ReadWrite);
    if (!connection.isOpen())
        return upload.error = connection.error(), upload.fault = connection.fault(), upload;
    const QSqlDatabase db = connection.database();
    QSqlQuery query(db);
    const auto fail = [&](const QSqlError& error) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        upload = {};
        upload.error = serverReason(error);
        upload.fault = faultOf(error, Engine::Postgres);
        return upload;
    };
    // Nobody else writes while the server's distances are compared and added.
    if (!query.exec(QStringLiteral("BEGIN")) ||
        !query.exec(QStringLiteral("LOCK TABLE distances IN SHARE ROW EXCLUSIVE MODE")))
        return fail(query.lastError());
    QHash<QString, QStringList> held; // pair → the server's sixtieths
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT name, racepoint, sixtieths FROM distances")))
        return fail(query.lastError());
    while (query.next())
        held[pairKey(valueText(query.value(0)), valueText(query.value(1)))]
            << valueText(query.value(2));
    if (query.lastError().isValid())
        return fail(query.lastError());

    // A pair the file holds with different distances: which is right cannot
    // be told, so none of them goes to every club.
    QHash<QString, QStringList> inFile; // pair → the file's different sixtieths
    for (const Row& row : rows) {
        QStringList& values = inFile[pairKey(row.name, row.racepoint)];
        if (!row.sixtieths.isEmpty() &&
            std::none_of(values.cbegin(), values.cend(),
                         [&](const QString& s) { return sameDistance(s, row.sixtieths); }))
            values << row.sixtieths;
    }

    // Why a row is not brought up whatever the server holds; empty when it
    // may be.
    const auto isControl = [](QChar c) { return c.category() == QChar::Other_Control; };
    const auto where = [&](const Row& row) {
        // A control character (a nought byte from a damaged file) is shown
        // as "?"; a name or race point of blanks only is as empty.
        const auto shown = [&](QString text) {
            std::replace_if(text.begin(), text.end(), isControl, u'?');
            return text.trimmed().isEmpty() ? QStringLiteral("(none)") : text;
        };
        return QStringLiteral("%1 at %2").arg(shown(row.name), shown(row.racepoint));
    };
    const auto refusal = [&](const Row& row) -> QString {
        const bool noName = row.name.trimmed().isEmpty();
        const bool noRacepoint = row.racepoint.trimmed().isEmpty();
        if (noName || noRacepoint || row.sixtieths.isEmpty())
            return QStringLiteral("the %1 is empty")
                .arg(noName        ? QStringLiteral("name")
                     : noRacepoint ? QStringLiteral("race point")
                                   : QStringLiteral("Sixtieths"));
        // Not text: the server's driver would end the statement at a nought
        // and refuse every row.
        if (std::any_of(row.name.cbegin(), row.name.cend(), isControl) ||
            std::any_of(row.racepoint.cbegin(), row.racepoint.cend(), isControl))
            return QStringLiteral("a character in it is not text");
        QStringList others = inFile.value(pairKey(row.name, row.racepoint));
        others.removeIf([&](const QString& s) { return sameDistance(s, row.sixtieths); });
        if (!others.isEmpty())
            return QStringLiteral("distances.mdb holds %1 sixtieths here and %2 in another row")
                .arg(row.sixtieths, others.join(QStringLiteral(" and ")));
        // The rules the editor keeps: a Sixtieths that is not what its miles
        // and yards make (a digit damaged in an old file) is not sent out,
        // nor a distance below nought.
        if (const QString why = sixtiethsDisagreement(row.miles, row.yards, row.sixtieths);
            !why.isEmpty())
            return why;
        if (textToNumber(row.miles).value_or(0) < 0 || textToNumber(row.yards).value_or(0) < 0)
            return QStringLiteral("the distance is below nought");
        return QString();
    };

    // A name the server holds with another distance at one race point may
    // be another club's member: none of its rows is added, lest this loft's
    // distance from a new race point be read for that member.
    QStringList refusals;
    for (const Row& row : rows)
        refusals << refusal(row);
    QHash<QString, QString> clashAt; // name → the race point where it clashes
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const QStringList there = held.value(pairKey(row.name, row.racepoint));
        if (refusals[i].isEmpty() && !there.isEmpty() &&
            std::none_of(there.cbegin(), there.cend(),
                         [&](const QString& s) { return sameDistance(s, row.sixtieths); }) &&
            !clashAt.contains(nocaseKey(row.name.trimmed())))
            clashAt.insert(nocaseKey(row.name.trimmed()), row.racepoint.trimmed());
    }

    RowBatch insert = distanceInserts(db);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const QString at = where(row);
        if (const QString& why = refusals[i]; !why.isEmpty()) {
            upload.refused << at + QStringLiteral(": ") + why;
            continue;
        }
        QStringList& there = held[pairKey(row.name, row.racepoint)];
        if (there.isEmpty() && clashAt.contains(nocaseKey(row.name.trimmed()))) {
            upload.refused << at + QStringLiteral(": the server holds another distance for this "
                                                  "name at %1")
                                       .arg(clashAt.value(nocaseKey(row.name.trimmed())));
        } else if (there.isEmpty()) {
            // Stored without blanks at either end, as the editor stores a
            // name: the calculator's list would show "J Smith " beside
            // "J Smith" as two.
            if (!insert.add({row.name.trimmed(), row.racepoint.trimmed(), row.miles, row.yards,
                             row.sixtieths}))
                return fail(insert.error());
            there << row.sixtieths;
            ++upload.added;
        } else if (std::any_of(there.cbegin(), there.cend(),
                               [&](const QString& s) { return sameDistance(s, row.sixtieths); })) {
            ++upload.alreadyThere;
        } else {
            ++upload.heldOtherwise;
            upload.refused << QStringLiteral("%1: the server holds %2 sixtieths, distances.mdb "
                                             "holds %3")
                                  .arg(at, there.join(QStringLiteral(" and ")), row.sixtieths);
        }
    }
    if (!insert.finish())
        return fail(insert.error());
    if (!query.exec(QStringLiteral("COMMIT"))) {
        fail(query.lastError());
        upload.commitUnanswered = upload.fault == DatabaseFault::Unreachable;
    }
    return upload;
}

QString uploadReport(const Upload& upload) {
    QString report = QStringLiteral("%1 added to the server; %2 there already.")
                         .arg(countText(upload.added, "distance was", "distances were"),
                              countText(upload.alreadyThere, "was", "were"));
    if (upload.refused.isEmpty())
        return report;
    report += QStringLiteral("\n\n%1 not brought up, and the server's distances are as they "
                             "were:\n")
                  .arg(countText(upload.refused.size(), "was", "were"));
    report += upload.refused.mid(0, kNamedRows).join(u'\n');
    if (upload.refused.size() > kNamedRows)
        report += QStringLiteral("\nand %1 more.").arg(upload.refused.size() - kNamedRows);
    // One table serves every club of the federation.
    if (upload.heldOtherwise > 0)
        report += QStringLiteral("\n\nWhere the server's distance is another club's member of "
                                 "the same name, give yours a name of its own.");
    return report;
}

} // namespace pellamy
