#include "picturebutton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QSvgRenderer>

namespace pellamy {

PictureButton::PictureButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PictureButton::setPicture(const QString& resource) {
    resource_ = resource;
    update();
}

QSize PictureButton::sizeHint() const {
    return {377, 105};
}

QSize PictureButton::minimumSizeHint() const {
    return {240, 70};
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QSvgRenderer renderer(resource_);
    // Fill the control, keeping the picture's shape: the overflow is cut
    // evenly from both sides.
    QSizeF size = renderer.defaultSize();
    size.scale(QSizeF(this->size()), Qt::KeepAspectRatioByExpanding);
    const QRectF target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(),
                        size.height());
    painter.setClipRect(rect());
    renderer.render(&painter, target);
    if (isDown())
        painter.fillRect(rect(), QColor(0, 0, 0, 50));
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

} // namespace pellamy
