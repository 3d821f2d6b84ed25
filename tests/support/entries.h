#pragma once
// A race entry for tests: each column holds "c" and its number, but for the
// name and the velocity given.

#include "calc/raceentry.h"

#include <QStringList>

namespace testsupport {

inline QStringList entry(const QString& name, const QString& velocity) {
    QStringList e;
    for (int c = 0; c < pellamy::kColumnCount; ++c)
        e << QStringLiteral("c%1").arg(c);
    e[pellamy::Col::Name] = name;
    e[pellamy::Col::Velocity] = velocity;
    return e;
}

} // namespace testsupport
