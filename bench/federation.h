#pragma once
// A federation-size distance database for the benchmarks: 5,000 members x
// 40 race points, made once per run in a temporary folder.

#include <QString>
#include <QTemporaryDir>

namespace benchsupport {

QString member(int i);
QString racepoint(int i);
const QTemporaryDir& federationFolder();

} // namespace benchsupport
