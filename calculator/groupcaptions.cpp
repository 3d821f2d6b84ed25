#include "groupcaptions.h"

#include "calc/raceentry.h"

#include <QAbstractScrollArea>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace pellamy {

GroupCaptions::GroupCaptions(QWidget* parent) : QLabel(parent) {}

void GroupCaptions::setHeader(QHeaderView* header) {
    header_ = header;
    const auto repaint = [this] { update(); };
    connect(header_, &QHeaderView::sectionResized, this, repaint);
    connect(header_, &QHeaderView::geometriesChanged, this, repaint);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(header_->parentWidget()))
        connect(area->horizontalScrollBar(), &QScrollBar::valueChanged, this, repaint);
}

QRect GroupCaptions::groupRect(int group) const {
    const ColumnGroup& g = columnGroups()[std::size_t(group)];
    const int left = header_->sectionViewportPosition(g.first);
    const int right = header_->sectionViewportPosition(g.last) + header_->sectionSize(g.last);
    const QPoint origin =
        header_->viewport()->mapTo(window(), QPoint(0, 0)) - mapTo(window(), QPoint(0, 0));
    return QRect(origin.x() + left, 0, right - left, height());
}

QFont GroupCaptions::captionFont() const {
    // Measured against the columns' own widths, not as they stand: a column
    // dragged narrow cuts its own caption, as it always did, and does not
    // make every caption small.
    QFont shown = font();
    const QFontMetricsF metrics(shown, this);
    const double dotsPerMm = logicalDpiX() / 25.4;
    double room = 1;
    for (const ColumnGroup& group : columnGroups()) {
        double width = 0;
        for (int c = group.first; c <= group.last; ++c)
            width += raceEntryColumns()[std::size_t(c)].width / 100.0 * dotsPerMm;
        room =
            std::min(room, width / metrics.horizontalAdvance(QString::fromLatin1(group.caption)));
    }
    if (room < 1 && shown.pointSizeF() > 0)
        shown.setPointSizeF(std::max(1.0, shown.pointSizeF() * room * 0.98));
    else if (room < 1)
        shown.setPixelSize(std::max(1, int(shown.pixelSize() * room * 0.98)));
    return shown;
}

void GroupCaptions::paintEvent(QPaintEvent*) {
    if (!header_)
        return;
    QPainter painter(this);
    painter.setFont(captionFont());
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect clip = header_->viewport()->geometry().translated(
        header_->mapTo(window(), QPoint(0, 0)) - mapTo(window(), QPoint(0, 0)));
    painter.setClipRect(QRect(clip.left(), 0, clip.width(), height()));
    for (std::size_t i = 0; i < columnGroups().size(); ++i)
        painter.drawText(groupRect(int(i)), Qt::AlignCenter,
                         QString::fromLatin1(columnGroups()[i].caption));
}

QSize GroupCaptions::sizeHint() const {
    return {100, fontMetrics().height() + 2};
}

QSize GroupCaptions::minimumSizeHint() const {
    return sizeHint();
}

} // namespace pellamy
