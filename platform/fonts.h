#pragma once
// The window fonts by their Windows names, with the metric-compatible
// Liberation fonts (and then common fonts) standing in where they are
// missing, as on Linux.

#include <QFont>

namespace pellamy {

// family: "MS Sans Serif", "Arial", "Times New Roman", "Courier New",
// "Georgia" or "System".
QFont windowFont(const QString& family, double points, bool bold);

} // namespace pellamy
