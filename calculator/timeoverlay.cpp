#include "timeoverlay.h"

#include "calc/numbers.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStackedLayout>
#include <QTime>
#include <QTimeEdit>

#include <cmath>

namespace pellamy {

TimeOverlay::TimeOverlay(QWidget* parent) : QWidget(parent) {}

void TimeOverlay::attach(QTimeEdit* picker, QLineEdit* hours, QLineEdit* minutes,
                         QLineEdit* seconds) {
    picker_ = picker;
    boxes_[0] = hours, boxes_[1] = minutes, boxes_[2] = seconds;
    boxPanel_ = new QWidget(this);
    boxPanel_->setAutoFillBackground(true); // hides the picker beneath it entirely
    auto* row = new QHBoxLayout(boxPanel_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    for (QLineEdit* box : boxes_) {
        box->setParent(boxPanel_);
        row->addWidget(box);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (!boxPanel_->isAncestorOf(QApplication::focusWidget()))
                arrange();
        });
    }
    picker_->setParent(this);
    picker_->installEventFilter(this);

    stack_ = new QStackedLayout(this);
    stack_->setStackingMode(QStackedLayout::StackAll);
    stack_->addWidget(boxPanel_);
    stack_->addWidget(picker_);
    stack_->setCurrentWidget(picker_);
}

bool TimeOverlay::boxesOnTop() const {
    return stack_ && stack_->currentWidget() == boxPanel_;
}

bool TimeOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        stack_->setCurrentWidget(watched == picker_ ? static_cast<QWidget*>(picker_) : boxPanel_);
    } else if (event->type() == QEvent::FocusOut && watched != picker_) {
        // Leaving the boxes for another control (not for the next box).
        QWidget* next = QApplication::focusWidget();
        if (!next || !boxPanel_->isAncestorOf(next))
            arrange();
    }
    return QWidget::eventFilter(watched, event);
}

void TimeOverlay::arrange() {
    // The picker shows only when the boxes hold the very time it shows;
    // otherwise (a time typed into the boxes) the boxes stay on top.
    int parts[3];
    bool same = true;
    for (int i = 0; i < 3 && same; ++i) {
        const std::optional<double> value = textToNumber(boxes_[i]->text());
        same = value && *value == std::floor(*value) && *value >= 0 && *value <= (i ? 59 : 23);
        if (same)
            parts[i] = int(*value);
    }
    same = same && picker_->time() == QTime(parts[0], parts[1], parts[2]);
    stack_->setCurrentWidget(same ? static_cast<QWidget*>(picker_) : boxPanel_);
}

} // namespace pellamy
