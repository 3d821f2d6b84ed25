#include "picturebutton.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QSvgRenderer>

#include <algorithm>

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
    // The picture across the control's width, keeping its shape: what does
    // not fit above and below is the edge of its sky and its field, so the
    // word is never cut. Room above and below is filled with the sky's and
    // the field's colours; in a control too wide for that, the room at the
    // sides with the sky and the field at the height of its horizon.
    const QSizeF picture = renderer.defaultSize();
    const double scale = std::min(width() / picture.width(), height() / (picture.height() * 0.6));
    const QSizeF size = picture * scale;
    const QRectF target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(),
                        size.height());
    const double horizon = target.top() + target.height() * 0.68;
    QLinearGradient sky(0, target.top(), 0, horizon);
    sky.setColorAt(0, QColor(0x5d, 0x8f, 0xc9));
    sky.setColorAt(1, QColor(0xcf, 0xe3, 0xf5));
    painter.fillRect(QRectF(0, 0, width(), horizon), sky);
    painter.fillRect(QRectF(0, horizon, width(), height() - horizon), QColor(0x5d, 0x8f, 0x45));
    painter.fillRect(QRectF(0, 0, width(), target.top()), QColor(0x5d, 0x8f, 0xc9));
    painter.fillRect(QRectF(0, target.bottom(), width(), height() - target.bottom()),
                     QColor(0x4f, 0x7a, 0x34));
    painter.setClipRect(rect());
    renderer.render(&painter, target);
    if (isDown())
        painter.fillRect(rect(), QColor(0, 0, 0, 50));
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        // A ring that shows over the picture's sky and field whatever the
        // theme's highlight colour: black within white.
        painter.setPen(QPen(Qt::white, 4));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
        painter.setPen(QPen(Qt::black, 2));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
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
