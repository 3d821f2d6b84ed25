#pragma once
// A race entry for tests: each column holds "c" and its number, but for the
// name and the velocity given. Rows are compared and printed as their
// columns.

#include "calc/raceentry.h"
#include "calc/raceentrylist.h"
#include "calc/raceentryrow.h"
#include "racefile/racefile.h"
#include "support/testing.h"

#include <QStringList>
#include <QVector>

#include <ostream>

namespace testsupport {

inline QStringList entry(const QString& name, const QString& velocity) {
    QStringList e;
    for (int c = 0; c < pellamy::kColumnCount; ++c)
        e << QStringLiteral("c%1").arg(c);
    e[pellamy::Col::Name] = name;
    e[pellamy::Col::Velocity] = velocity;
    return e;
}

inline QVector<QStringList> columnsOf(const QVector<pellamy::RaceEntryRow>& rows) {
    QVector<QStringList> out;
    for (const pellamy::RaceEntryRow& row : rows)
        out << row.columns();
    return out;
}

// The name of each entry, in list order.
inline QStringList names(const pellamy::RaceEntryList& list) {
    QStringList out;
    for (int row = 0; row < list.count(); ++row)
        out << list.text(row, pellamy::Col::Name);
    return out;
}

// A race file of birds (name, velocity) in list order, at a race point on a race date.
inline void writeRace(const QString& path, const char* racepoint, const char* date,
                      std::initializer_list<std::pair<const char*, const char*>> birds) {
    QVector<pellamy::RaceEntryRow> rows;
    for (const auto& [name, velocity] : birds) {
        QStringList e = entry(QString::fromUtf8(name), velocity);
        e[pellamy::Col::Racepoint] = racepoint;
        e[pellamy::Col::RaceDate] = date;
        rows << pellamy::RaceEntryRow(e);
    }
    writeFile(path, pellamy::raceFileBytes(rows).bytes);
}

} // namespace testsupport

namespace pellamy {

inline void PrintTo(const RaceEntryRow& row, std::ostream* os) {
    *os << '{';
    for (int c = 0; c < row.size(); ++c)
        *os << (c ? ", \"" : "\"") << row.view(c).toString().toStdString() << '"';
    *os << '}';
}

} // namespace pellamy
