#include "datacontrol.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace pellamy {

DataControl::DataControl(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const struct {
        Move move;
        const char* name;
        const char* face;
        const char* tip;
    } buttons[] = {
        {Move::First, "First", "|\u25C0", "First record"},
        {Move::Previous, "Previous", "\u25C0", "Previous record"},
        {Move::Next, "Next", "\u25B6", "Next record"},
        {Move::Last, "Last", "\u25B6|", "Last record"},
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
        button->setText(QString::fromUtf8(buttons[i].face));
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
