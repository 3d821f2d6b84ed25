#include "renderer.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

namespace pellamy {

namespace {

// "Courier New", or a font with the same widths where it is missing.
QFont sheetFont(double points) {
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(points);
    font.setBold(false);
    return font;
}

} // namespace

QVector<RenderedLine> renderDocument(const PrintDocument& document, QPagedPaintDevice& device) {
    QVector<RenderedLine> placed;
    QPainter painter;
    if (!painter.begin(&device))
        return placed;
    const int resolution = device.logicalDpiX();
    const QPageLayout layout = device.pageLayout();
    const QRectF full = layout.fullRectPixels(resolution);
    const QRectF printable = layout.paintRectPixels(resolution);

    int page = 1;
    double y = 0;
    for (const PrintLine& line : document.lines) {
        const QFont font = sheetFont(line.points);
        painter.setFont(font);
        const QFontMetricsF metrics(font, &device);
        if (y > 0 && y + metrics.height() > printable.height()) {
            device.newPage();
            ++page;
            y = 0;
        }
        // A centred line starts at (full page width - text width) / 2,
        // measured like every other line from the printable area's left edge.
        const double x =
            line.centred ? (full.width() - metrics.horizontalAdvance(line.text)) / 2 : 0;
        if (!line.text.isEmpty())
            painter.drawText(QPointF(x, y + metrics.ascent()), line.text);
        placed.push_back({page, x, y});
        y += metrics.lineSpacing();
    }
    painter.end();
    return placed;
}

} // namespace pellamy
