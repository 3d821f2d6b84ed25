#pragma once
// A printed sheet as a document: its lines, each in its own font size and
// centred or not, and the page settings. The font is always "Courier New",
// not bold, so character positions are column positions.

#include "calc/racedetails.h"

#include <QPageLayout>
#include <QString>
#include <QVector>

namespace pellamy {

struct PrintLine {
    // A table's heading is printed again at the top of each page the table
    // runs on to; a row is a table line.
    enum class Role { Plain, Heading, Row };

    QString text;
    double points = 10;
    bool centred = false;
    Role role = Role::Plain;
    // Printed on the same page as the line after it.
    bool keepWithNext = false;
};

struct PrintDocument {
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    int copies = 1;
    QVector<PrintLine> lines;

    // The text of every line, for comparison and for tests.
    QStringList texts() const {
        QStringList out;
        for (const PrintLine& line : lines)
            out << line.text;
        return out;
    }
};

// What a sheet prints besides the entries: the race details as the
// calculator window holds them, the set and race dates as the eight-digit
// texts last recorded, and the club and federation names.
struct SheetDetails : RaceDetails {
    QString club, fed;
    QString txtdaterace, txtdateset; // eight-digit dates
};

} // namespace pellamy
