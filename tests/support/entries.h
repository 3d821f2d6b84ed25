#pragma once
// A race entry for tests: each column holds "c" and its number, but for the
// name and the velocity given. Rows are compared and printed as their
// columns.

#include "calc/raceentry.h"
#include "calc/raceentryrow.h"

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

} // namespace testsupport

namespace pellamy {

inline void PrintTo(const RaceEntryRow& row, std::ostream* os) {
    *os << '{';
    for (int c = 0; c < row.size(); ++c)
        *os << (c ? ", \"" : "\"") << row.view(c).toString().toStdString() << '"';
    *os << '}';
}

} // namespace pellamy
