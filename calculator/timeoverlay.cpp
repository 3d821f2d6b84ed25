#include "timeoverlay.h"

#include "calc/numbers.h"
#include "platform/windowhabits.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QTime>
#include <QTimeEdit>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <optional>

namespace pellamy {

namespace {

// The time the three boxes hold, when it is one a picker can show.
std::optional<QTime> boxTime(QLineEdit* const (&boxes)[3]) {
    int parts[3];
    for (int i = 0; i < 3; ++i) {
        const std::optional<double> value = textToNumber(boxes[i]->text());
        if (!value || *value != std::floor(*value) || *value < 0 || *value > (i ? 59 : 23))
            return std::nullopt;
        parts[i] = int(*value);
    }
    return QTime(parts[0], parts[1], parts[2]);
}

// A figure or colon as typed in any script (an input method's full-width
// ones, Arabic-Indic figures) as the plain one it stands for; none for any
// other character.
std::optional<QChar> clockCharacter(QChar typed) {
    const QString plain = plainFigures(QString(typed));
    if (plain.size() != 1 || (!plain[0].isDigit() && plain[0] != u':'))
        return std::nullopt;
    return plain[0];
}

// A clock reading as typed, in its hours, minutes and seconds: "10:05:30",
// or figures in pairs, "100530"; a first figure no hour begins with (3 to 9)
// is an hour of its own, "93015".
QStringList typedParts(const QString& text) {
    if (text.contains(u':'))
        return text.split(u':');
    QStringList parts;
    const QString figures = !text.isEmpty() && text[0] >= u'3' ? u'0' + text : text;
    for (qsizetype i = 0; i < figures.size(); i += 2)
        parts << figures.mid(i, 2);
    return parts;
}

std::optional<QTime> typedTime(const QString& text) {
    const QStringList parts = typedParts(text);
    if (parts.size() > 3)
        return std::nullopt;
    int values[3] = {0, 0, 0};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts[i].size() > 2)
            return std::nullopt;
        values[i] = parts[i].isEmpty() ? 0 : parts[i].toInt();
    }
    if (values[0] > 23 || values[1] > 59 || values[2] > 59)
        return std::nullopt;
    return QTime(values[0], values[1], values[2]);
}

} // namespace

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
            follow();
            if (!boxPanel_->isAncestorOf(QApplication::focusWidget()))
                arrange();
        });
    }
    picker_->setParent(this);
    picker_->installEventFilter(this);
    // Clicks and keys reach the picker's own text box first.
    for (QLineEdit* inner : picker_->findChildren<QLineEdit*>())
        inner->installEventFilter(this);

    stack_ = new QStackedLayout(this);
    stack_->setStackingMode(QStackedLayout::StackAll);
    stack_->addWidget(boxPanel_);
    stack_->addWidget(picker_);
    stack_->setCurrentWidget(picker_);
    // Room for a whole time at the desktop's text size: a form squeezed to
    // its least width cut the last figure of the seconds.
    setMinimumWidth(std::max(minimumWidth(), picker_->minimumSizeHint().width()));
}

void TimeOverlay::follow() {
    if (const std::optional<QTime> time = boxTime(boxes_); time && *time != picker_->time()) {
        const QSignalBlocker quiet(picker_);
        picker_->setTime(*time);
    }
}

bool TimeOverlay::typed(QChar c) {
    // A figure that makes no time is kept, with a beep, so that the figures
    // after it do not slide into its place: nothing more is taken until it
    // is taken back with Backspace.
    if (typing_.isEmpty())
        beforeTyping_ = picker_->time();
    typing_ += c;
    const std::optional<QTime> time = typedTime(typing_);
    if (!time) {
        refuseTyped();
        return false;
    }
    picker_->setTime(*time); // its change handler fills the boxes
    QToolTip::hideText();    // figures refused before are put right
    return true;
}

void TimeOverlay::refuseTyped() const {
    // The picker still shows the time last taken: the figures refused are
    // named, so that a Tab that only beeps is understood.
    QApplication::beep();
    const QStringList parts = typedParts(typing_);
    QString why = QStringLiteral("hours go up to 23, minutes and seconds up to 59");
    if (!typing_.contains(u':') && parts.size() > 3)
        why = QStringLiteral("there are more figures than hours, minutes and seconds take\n"
                             "(hhmmss, or hmmss from 3 to 9 o'clock)");
    else if (parts.size() > 3)
        why = QStringLiteral("a time has three parts at most (hh:mm:ss)");
    else if (std::any_of(parts.cbegin(), parts.cend(),
                         [](const QString& part) { return part.size() > 2; }))
        why = QStringLiteral("hours, minutes and seconds have two figures at most");
    // In short lines: a long one would be moved clear of the picker to fit
    // the screen (to its left edge on a small screen).
    QToolTip::showText(picker_->mapToGlobal(QPoint(0, picker_->height())),
                       QStringLiteral("\"%1\" is not a time: %2.\nBackspace takes the last "
                                      "figure back.")
                           .arg(typing_, why),
                       picker_);
}

void TimeOverlay::keepTyped() {
    // Figures in their places show in their boxes (one over its limit among
    // them); figures that are no clock reading at all (too many, or three in
    // one place) stand whole in the first: never a time nobody typed.
    const QStringList parts = typedParts(typing_);
    const bool inPlaces =
        parts.size() <= 3 && std::all_of(parts.cbegin(), parts.cend(),
                                         [](const QString& part) { return part.size() <= 2; });
    QString texts[3];
    for (int i = 0; i < 3; ++i)
        texts[i] = !inPlaces                  ? (i == 0 ? typing_ : QString())
                   : parts.value(i).isEmpty() ? QStringLiteral("0")
                                              : parts.value(i);
    typing_.clear();
    for (int i = 0; i < 3; ++i)
        boxes_[i]->setText(texts[i]);
    arrange();
}

void TimeOverlay::openBoxAt(const QPoint& global) {
    const QPoint at = boxPanel_->mapFromGlobal(global);
    stack_->setCurrentWidget(boxPanel_);
    QLineEdit* target = boxes_[0];
    for (QLineEdit* box : boxes_)
        if (at.x() >= box->x())
            target = box;
    target->setFocus(Qt::MouseFocusReason);
    target->selectAll();
}

bool TimeOverlay::eventFilter(QObject* watched, QEvent* event) {
    const bool onPicker =
        watched == picker_ || picker_->isAncestorOf(qobject_cast<QWidget*>(watched));
    switch (event->type()) {
    case QEvent::FocusIn:
        if (!onPicker) {
            stack_->setCurrentWidget(boxPanel_);
        } else if (watched == picker_) {
            // Back from another window, typing goes on where it was.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                typing_.clear();
            if (!boxTime(boxes_)) {
                // The boxes hold what the picker cannot show: they stay in
                // view. Tab passes the focus on; the time asked for otherwise
                // (the next bird's, after a Yes or a member chosen with
                // Enter), it is typed over them as a whole.
                if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
                    neighbour(reason == Qt::BacktabFocusReason)->setFocus(reason);
                else
                    askWholeTime(reason);
                return false;
            }
            stack_->setCurrentWidget(picker_);
        }
        break;
    case QEvent::FocusOut:
        if (watched == picker_) {
            // Left for another control, the typing ends; with figures that
            // make no time (left by a click: Tab is held above) they stand in
            // the boxes as typed, for CALCULATE to refuse, never the time
            // last taken unseen. Left for another window, it goes on there.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                break;
            if (typedTime(typing_))
                typing_.clear();
            else
                keepTyped();
        } else if (!onPicker) {
            if (watched == boxes_[0]) {
                wholeTimeAsked_ = false;
                overBoxes_.clear();
            }
            // Leaving the boxes for another control (not for the next box).
            QWidget* next = QApplication::focusWidget();
            if (!next || !boxPanel_->isAncestorOf(next))
                arrange();
        }
        break;
    case QEvent::MouseButtonPress:
        // A click starts the typing afresh; over figures refused it opens
        // the boxes holding them, as a double-click does.
        if (onPicker && typedTime(typing_)) {
            typing_.clear();
        } else if (onPicker) {
            keepTyped();
            openBoxAt(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (onPicker) {
            // The box under the pointer, in the boxes' own places.
            openBoxAt(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        }
        break;
    case QEvent::InputMethod:
        // Figures an input method puts together and hands over at once.
        if (onPicker) {
            QString figures;
            for (const QChar c : static_cast<QInputMethodEvent*>(event)->commitString())
                if (const auto figure = clockCharacter(c))
                    figures += *figure;
                else
                    return false;
            for (const QChar figure : figures)
                typed(figure);
            if (!figures.isEmpty())
                return true;
        }
        break;
    case QEvent::KeyPress:
        if (watched == boxes_[0] && wholeTimeAsked_ &&
            typedOverBoxes(*static_cast<QKeyEvent*>(event)))
            return true;
        if (onPicker) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QString text = key->text();
            if (const auto figure = text.size() == 1 ? clockCharacter(text[0]) : std::nullopt) {
                typed(*figure);
                return true;
            }
            // Tab leaves the picker for the next control at once, instead of
            // stepping through the hours, minutes and seconds; but not with
            // a figure typed that was not taken, whose time was never typed.
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
                if (!typing_.isEmpty() && !typedTime(typing_)) {
                    refuseTyped();
                    return true;
                }
                passOn(*key);
                return true;
            }
            if (key->key() == Qt::Key_Backspace && !typing_.isEmpty()) {
                // Every figure taken back: the time shown before, not one
                // nobody typed (midnight).
                typing_.chop(1);
                if (const std::optional<QTime> time =
                        typing_.isEmpty() ? beforeTyping_ : typedTime(typing_)) {
                    picker_->setTime(*time);
                    QToolTip::hideText();
                }
                return true;
            }
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TimeOverlay::askWholeTime(Qt::FocusReason reason) {
    stack_->setCurrentWidget(boxPanel_);
    boxes_[0]->setFocus(reason);
    boxes_[0]->selectAll();
    wholeTimeAsked_ = true;
    overBoxes_.clear();
}

bool TimeOverlay::typedOverBoxes(const QKeyEvent& key) {
    // Shift alone, on a keyboard that needs it for figures, waits for them.
    if (key.key() == Qt::Key_Shift || key.key() == Qt::Key_AltGr)
        return false;
    // The figures stand in the boxes as the picker would read them
    // (100530, 93015, 10:05:30), a part not typed yet as nought; hours are
    // not held to 23, which is why the boxes are typed in.
    const auto show = [this] {
        const QStringList parts = typedParts(overBoxes_);
        for (int i = 0; i < 3; ++i)
            boxes_[i]->setText(parts.value(i).isEmpty() ? QStringLiteral("0")
                                                        : QString::number(parts[i].toInt()));
    };
    const QString text = key.text();
    if (const auto figure = text.size() == 1 ? clockCharacter(text[0]) : std::nullopt) {
        // Over the hours as asked for (all of them chosen), not where a
        // click has put the cursor.
        if (overBoxes_.isEmpty()) {
            if (boxes_[0]->selectedText() != boxes_[0]->text()) {
                wholeTimeAsked_ = false;
                return false;
            }
            beforeOverBoxes_ = QStringList{boxes_[0]->text(), boxes_[1]->text(), boxes_[2]->text()};
        }
        const QStringList parts = typedParts(overBoxes_ + *figure);
        if (parts.size() > 3 || std::any_of(parts.cbegin(), parts.cend(),
                                            [](const QString& part) { return part.size() > 2; })) {
            QApplication::beep();
            return true;
        }
        overBoxes_ += *figure;
        show();
        return true;
    }
    if (key.key() == Qt::Key_Backspace && !overBoxes_.isEmpty()) {
        // Every figure taken back: what the boxes held, asked for again.
        overBoxes_.chop(1);
        if (!overBoxes_.isEmpty()) {
            show();
        } else {
            for (int i = 0; i < 3; ++i)
                boxes_[i]->setText(beforeOverBoxes_.value(i));
            boxes_[0]->selectAll();
        }
        return true;
    }
    // Tab after the time goes on to the next control, as from the picker.
    if ((key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) && !overBoxes_.isEmpty()) {
        passOn(key);
        return true;
    }
    // Any other key: the boxes are typed in one by one.
    wholeTimeAsked_ = false;
    overBoxes_.clear();
    return false;
}

void TimeOverlay::passOn(const QKeyEvent& tab) {
    const bool back = tab.key() == Qt::Key_Backtab || tab.modifiers().testFlag(Qt::ShiftModifier);
    neighbour(back)->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
}

QWidget* TimeOverlay::neighbour(bool back) const {
    QWidget* next = picker_;
    do
        next = back ? next->previousInFocusChain() : next->nextInFocusChain();
    while (next != picker_ &&
           (picker_->isAncestorOf(next) || !(next->focusPolicy() & Qt::TabFocus) ||
            !next->isVisible() || !next->isEnabled()));
    return next;
}

void TimeOverlay::arrange() {
    // The picker shows only when the boxes hold the very time it shows;
    // otherwise (a time the picker cannot show) the boxes stay on top.
    const std::optional<QTime> time = boxTime(boxes_);
    stack_->setCurrentWidget(time && *time == picker_->time() ? static_cast<QWidget*>(picker_)
                                                              : boxPanel_);
}

} // namespace pellamy
