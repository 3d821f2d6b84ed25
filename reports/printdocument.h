#pragma once
// A printed sheet as a document: its lines, each in its own font size and
// centred or not, and the page settings. The font is always "Courier New",
// not bold, so character positions are column positions.

#include <QPageLayout>
#include <QString>
#include <QVector>

namespace pellamy {

struct PrintLine {
    QString text;
    double points = 10;
    bool centred = false;
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

// The race details a sheet prints, as the calculator window holds them.
struct SheetDetails {
    QString club, fed;
    QString txtmember, txtbirds, txtwind;
    QString birdlibhrs, birdlibmins;
    QString racepoint;
    QString txtdaterace, txtdateset; // eight-digit dates
    QString mtdetailset, mtreadset, mtdetailrake, mtreadrake;
    QString txtcomments;
};

} // namespace pellamy
