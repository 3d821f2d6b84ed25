#pragma once
// Draws a printable document onto a printer, a PDF file or any other paged
// device: "Courier New" (on Linux its metric twin, Liberation Mono), one
// line after another from the top left of the printable area, a centred
// line at (full page width - text width) / 2 from that same left edge, a new
// page when the next line would pass the bottom.

#include "printdocument.h"

class QPagedPaintDevice;

namespace pellamy {

// Where each line was drawn, for checking the layout.
struct RenderedLine {
    int page;
    double x, y; // device pixels from the printable area's top left
};

// The device must already carry the document's orientation. Returns the
// place of every line drawn; empty when the device could not be painted on.
QVector<RenderedLine> renderDocument(const PrintDocument& document, QPagedPaintDevice& device);

} // namespace pellamy
