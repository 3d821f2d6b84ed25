#include "renderer.h"

#include "calc/textforms.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

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

bool isRule(const QString& text) {
    const QString dots = text.trimmed();
    return !dots.isEmpty() &&
           std::all_of(dots.cbegin(), dots.cend(), [](QChar c) { return c == u'.'; });
}

} // namespace

QString sheetLineAsDrawn(const QString& line) {
    const QString text = withoutDirectionControls(line);
    constexpr QChar mark(0x200E); // left-to-right mark
    const auto rightToLeft = [](QChar c) {
        return c.direction() == QChar::DirR || c.direction() == QChar::DirAL;
    };
    // Within a name: a blank, a hyphen, a full stop, an apostrophe or a
    // non-joiner between two of its words; two blanks end the column.
    const auto joinsWords = [](QChar c) {
        switch (c.direction()) {
        case QChar::DirWS:
        case QChar::DirCS:
        case QChar::DirES:
        case QChar::DirET:
        case QChar::DirON:
        case QChar::DirBN:
        case QChar::DirNSM:
            return true;
        default:
            return false;
        }
    };
    const auto nameGoesOn = [&](qsizetype from) {
        for (qsizetype k = from; k < text.size(); ++k) {
            if (rightToLeft(text[k]))
                return true;
            // Two blanks end the column, as does "…" ending a text cut short.
            if (!joinsWords(text[k]) || text[k] == QChar(0x2026) ||
                (text[k] == u' ' && k + 1 < text.size() && text[k + 1] == u' '))
                return false;
        }
        return false;
    };
    QString drawn(1, mark);
    bool inName = false; // within a run of right-to-left letters
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (rightToLeft(c))
            inName = true;
        else if (inName && c.direction() != QChar::DirNSM && !nameGoesOn(i))
            drawn += mark, inName = false; // a mark over a letter stays with it
        drawn += c;
    }
    if (inName)
        drawn += mark;
    return drawn;
}

QVector<RenderedLine> renderDocument(const PrintDocument& document, QPagedPaintDevice& device) {
    QVector<RenderedLine> placed;
    QPainter painter;
    if (!painter.begin(&device))
        return placed;
    const int resolution = device.logicalDpiX();
    const QPageLayout layout = device.pageLayout();
    const QRectF full = layout.fullRectPixels(resolution);
    const double pageHeight = layout.paintRectPixels(resolution).height();
    const double lineRoom = layout.paintRectPixels(resolution).width();

    const QVector<PrintLine>& lines = document.lines;
    QVector<double> heights, widths, squeezes(lines.size(), 1.0);
    for (int i = 0; i < lines.size(); ++i) {
        const QFontMetricsF metrics(sheetFont(lines[i].points), &device);
        heights << metrics.lineSpacing();
        QString text = lines[i].text;
        while (text.endsWith(u' '))
            text.chop(1);
        widths << metrics.horizontalAdvance(text);
    }
    // How much narrower each line is drawn. A table (a run of heading lines
    // and the rows after it) by the measure its widest line needs; a line
    // outside a table on its own. Never a centred line, which is broken into
    // lines that fit, nor a rule of dots, which is cut at the edge instead.
    QVector<int> table;
    double tableWidth = 0;
    const auto endTable = [&] {
        for (int i : table)
            squeezes[i] = tableWidth > lineRoom ? lineRoom / tableWidth : 1;
        table.clear();
        tableWidth = 0;
    };
    for (int i = 0; i < lines.size(); ++i) {
        const PrintLine& line = lines[i];
        if (line.role == PrintLine::Role::Heading &&
            (i == 0 || lines[i - 1].role != PrintLine::Role::Heading))
            endTable();
        if (line.centred || isRule(line.text))
            continue;
        if (line.role != PrintLine::Role::Plain)
            table << i, tableWidth = std::max(tableWidth, widths[i]);
        else if (widths[i] > lineRoom)
            squeezes[i] = lineRoom / widths[i];
    }
    endTable();
    // The heading of the table being printed: the last run of heading lines
    // met (a sheet may hold more than one table).
    QVector<int> heading;
    double headingHeight = 0;

    int page = 1;
    double y = 0;
    const auto draw = [&](int i) {
        const PrintLine& line = lines[i];
        const QFont font = sheetFont(line.points);
        painter.setFont(font);
        const QFontMetricsF metrics(font, &device);
        // A centred line starts at (full page width - text width) / 2,
        // measured like every other line from the printable area's left edge;
        // moved left no further than to end at the printable area's edge,
        // which it passes where a printer's margins are wide.
        const double textWidth = metrics.horizontalAdvance(line.text);
        const double x =
            line.centred
                ? std::max(0.0, std::min((full.width() - textWidth) / 2, lineRoom - textWidth))
                : 0;
        const double squeeze = squeezes[i];
        if (!line.text.isEmpty()) {
            painter.save();
            // A rule of dots longer than the line ends at the printable
            // area's edge, as the table it frames does, not at the paper's.
            if (isRule(line.text))
                painter.setClipRect(QRectF(0, y, lineRoom, heights[i]));
            painter.translate(x, y + metrics.ascent());
            painter.scale(squeeze, 1);
            painter.drawText(QPointF(0, 0), sheetLineAsDrawn(line.text));
            painter.restore();
        }
        const double drawn =
            isRule(line.text) ? std::min(widths[i], lineRoom) : widths[i] * squeeze;
        placed.push_back({page, x, y, drawn, i, squeeze});
        y += heights[i];
    };
    // A new page; a table that goes on over it starts with its heading.
    const auto newPage = [&](bool tableGoesOn) {
        device.newPage();
        ++page;
        y = 0;
        if (tableGoesOn)
            for (int i : heading)
                draw(i);
    };

    // Lines kept together go to a new page together, unless they would not
    // fit on one even so: those are printed line by line.
    for (int first = 0; first < lines.size();) {
        int last = first;
        double height = heights[first];
        while (last + 1 < lines.size() && lines[last].keepWithNext)
            height += heights[++last];
        const bool row = lines[first].role == PrintLine::Role::Row;
        if (y > 0 && y + height > pageHeight && (row ? headingHeight : 0) + height <= pageHeight)
            newPage(row);
        for (int i = first; i <= last; ++i) {
            if (lines[i].role == PrintLine::Role::Heading &&
                (i == 0 || lines[i - 1].role != PrintLine::Role::Heading)) {
                heading.clear();
                headingHeight = 0;
                for (int h = i; h < lines.size() && lines[h].role == PrintLine::Role::Heading; ++h)
                    heading << h, headingHeight += heights[h];
            }
            if (y > 0 && y + heights[i] > pageHeight)
                newPage(lines[i].role == PrintLine::Role::Row);
            draw(i);
        }
        first = last + 1;
    }
    painter.end();
    return placed;
}

} // namespace pellamy
