#include "datacontrol.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace pellamy {

namespace {

// The record arrows are drawn, not typed: no font has to hold the arrow
// characters. A bar marks the first and last record.
QIcon arrowIcon(DataControl::Move move, const QColor& colour) {
    QIcon icon;
    for (int side : {16, 32}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(side / 16.0, side / 16.0);
        const bool left = move == DataControl::Move::First || move == DataControl::Move::Previous;
        const bool bar = move == DataControl::Move::First || move == DataControl::Move::Last;
        QPainterPath path;
        const qreal tip = left ? 4.5 : 11.5, base = left ? 11.5 : 4.5;
        path.moveTo(tip, 8);
        path.lineTo(base, 3);
        path.lineTo(base, 13);
        path.closeSubpath();
        if (bar)
            path.addRect(left ? QRectF(2.5, 3, 1.5, 10) : QRectF(12, 3, 1.5, 10));
        painter.fillPath(path, colour);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

DataControl::DataControl(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const struct {
        Move move;
        const char* name;
        const char* tip;
    } buttons[] = {
        {Move::First, "First", "First record"},
        {Move::Previous, "Previous", "Previous record"},
        {Move::Next, "Next", "Next record"},
        {Move::Last, "Last", "Last record"},
    };
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("caption"));
    caption_->setFrameShape(QFrame::Panel);
    caption_->setFrameShadow(QFrame::Sunken);
    caption_->setFixedHeight(24);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(buttons[i].name));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(QString::fromLatin1(buttons[i].tip));
        button->setAccessibleName(QString::fromLatin1(buttons[i].tip));
        button->setFixedSize(28, 24);
        button->setFocusPolicy(Qt::NoFocus);
        const Move move = buttons[i].move;
        connect(button, &QToolButton::clicked, this, [this, move] { emit moveRequested(move); });
        buttons_[i] = button;
        if (i == 2)
            layout->addWidget(caption_, 1);
        layout->addWidget(button);
    }
    drawArrows();
}

void DataControl::drawArrows() {
    const Move moves[] = {Move::First, Move::Previous, Move::Next, Move::Last};
    for (int i = 0; i < 4; ++i)
        buttons_[i]->setIcon(arrowIcon(moves[i], palette().color(QPalette::ButtonText)));
}

void DataControl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        drawArrows();
    QWidget::changeEvent(event);
}

void DataControl::setCaption(const QString& caption) {
    caption_->setText(caption);
}

QString DataControl::caption() const {
    return caption_->text();
}

QToolButton* DataControl::button(Move move) const {
    return buttons_[int(move)];
}

} // namespace pellamy
