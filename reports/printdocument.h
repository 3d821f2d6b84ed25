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

    // Adds a centred text. One wider than the paper (a paragraph typed as
    // comments, a long club name) is broken at blanks into several centred
    // lines, so that neither end falls off the page; a text that fits is one
    // line. The orientation is to be set first.
    void addCentred(const QString& text, double points,
                    PrintLine::Role role = PrintLine::Role::Plain, bool keepWithNext = false) {
        // A character is 0.6 of the size wide, and the line is kept 170 mm
        // wide on a portrait page (257 mm on a landscape one), inside any
        // printer's margins on A4 and Letter.
        const double millimetres = orientation == QPageLayout::Portrait ? 170.0 : 257.0;
        const qsizetype most = qsizetype(millimetres / 25.4 * 72 / (0.6 * points));
        QString rest = text;
        while (rest.size() > most) {
            qsizetype cut = rest.lastIndexOf(u' ', most);
            const bool atBlank = cut > 0;
            if (!atBlank)
                cut = most; // a word longer than the line is split
            lines.push_back({rest.left(cut), points, true, role, keepWithNext});
            rest = rest.mid(cut + (atBlank ? 1 : 0));
        }
        lines.push_back({rest, points, true, role, keepWithNext});
    }

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
