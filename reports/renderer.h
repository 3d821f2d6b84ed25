#pragma once
// Draws a printable document onto a printer, a PDF file or any other paged
// device: "Courier New" (on Linux its metric twin, Liberation Mono), one
// line after another from the top left of the printable area, a centred
// line at (full page width - text width) / 2 from that same left edge, a new
// page when the next line would pass the bottom. Lines kept with the next go
// to a new page together; a table that runs on to a new page has its
// heading printed again at its top. A line that would run past the
// printable width (long ring numbers on the federation sheet, a long race
// point, Letter paper) is drawn narrower to fit, so that no character is
// lost: a table's heading and rows all by one measure, so that its columns
// stay under their headings. A rule of dots runs on to the paper's edge.

#include "printdocument.h"

class QPagedPaintDevice;

namespace pellamy {

// Where each line was drawn, for checking the layout.
struct RenderedLine {
    int page;
    double x, y;    // device pixels from the printable area's top left
    double width;   // of the text without its trailing blanks, as drawn
    int line;       // the document's line (a heading printed again names it again)
    double squeeze; // 1, or the measure it was drawn narrower by
};

// A sheet line as it is drawn: read left to right, column by column,
// whatever script a name is written in. A Hebrew or Arabic name keeps its
// own order, and a left-to-right mark at the line's start and after the
// name keeps the figures after it in their columns; the characters that
// would turn the rest of a line around (U+202A to U+202E, U+2066 to U+2069)
// are not drawn.
QString sheetLineAsDrawn(const QString& text);

// The device must already carry the document's orientation. Returns the
// place of every line drawn, in the order drawn; empty when the device could
// not be painted on.
QVector<RenderedLine> renderDocument(const PrintDocument& document, QPagedPaintDevice& device);

} // namespace pellamy
