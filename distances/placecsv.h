#pragma once
// Lofts or race points imported from a CSV file: one place a line, as name,
// latitude, longitude (further columns ignored). The separator (comma,
// semicolon, tab) and a heading line are found from the file itself; the
// text is UTF-8 (with or without a byte-order mark) or, failing that,
// Windows-1252.

#include "coordinatestore.h"

#include <QByteArray>

namespace pellamy {

struct PlaceImport {
    QVector<Place> places; // in file order, coordinates in their normal form
    QString error;         // why nothing was imported; empty when read
    QString heading = {};  // the first line, when it was read as a heading
};

// The largest file taken as a list of places.
constexpr qint64 kLargestPlaceFile = qint64(16) << 20;

// nameLimit: the longest name the Distances table's entry limit allows;
// whole: what the lines are, as the messages name it ("the rows pasted").
PlaceImport readPlaceCsv(const QByteArray& bytes, int nameLimit,
                         const QString& whole = QStringLiteral("the file"));

} // namespace pellamy
