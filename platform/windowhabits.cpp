#include "windowhabits.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimeEdit>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace pellamy {

namespace {

class WheelGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel)
            return QObject::eventFilter(watched, event);
        // A turn that reaches a form able to scroll (from wherever it began)
        // is scrolling it: for a moment the focused control that slides
        // under the pointer passes the turn on too, so it never changes the
        // focused time or list unseen.
        if (auto* area = qobject_cast<QScrollArea*>(watched->parent());
            area && area->viewport() == watched) {
            if (area->verticalScrollBar()->maximum() > 0 ||
                area->horizontalScrollBar()->maximum() > 0)
                scrolled_.start();
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        const bool scrolling = scrolled_.isValid() && scrolled_.elapsed() < 500;
        if (widget && (!widget->hasFocus() || scrolling)) {
            event->ignore(); // passed on to the form
            return true;
        }
        return false;
    }

private:
    QElapsedTimer scrolled_; // when a turn last reached a form able to scroll
};

} // namespace

void wheelOnlyWhenFocused(QWidget* window) {
    auto* guard = new WheelGuard(window);
    QList<QWidget*> guarded;
    for (QComboBox* box : window->findChildren<QComboBox*>())
        guarded << box;
    for (QAbstractSpinBox* box : window->findChildren<QAbstractSpinBox*>())
        guarded << box;
    for (QWidget* widget : guarded) {
        // The wheel no longer takes the focus on its way either.
        if (widget->focusPolicy() == Qt::WheelFocus)
            widget->setFocusPolicy(Qt::StrongFocus);
        widget->installEventFilter(guard);
    }
    for (QScrollArea* area : window->findChildren<QScrollArea*>())
        area->viewport()->installEventFilter(guard);
}

namespace {

class EnterPresses : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* press = static_cast<QKeyEvent*>(event);
            const int key = press->key();
            // Only the button's own focus: Enter in a box inside a button (a
            // print button's copies) is not a press.
            auto* button = static_cast<QPushButton*>(watched);
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
                button->window()->focusWidget() == button) {
                // One press for each press of the key, as Space gives: the
                // repeats of a key held down would press again (a second
                // record deleted, a question answered unread).
                if (!press->isAutoRepeat())
                    button->animateClick();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void enterPressesButtons(QWidget* window) {
    auto* filter = new EnterPresses(window);
    for (QPushButton* button : window->findChildren<QPushButton*>())
        button->installEventFilter(filter);
}

namespace {

class ClickSelectsDatePart : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* text = static_cast<QLineEdit*>(watched);
            auto* picker = static_cast<QDateTimeEdit*>(text->parentWidget());
            // After the click has put the cursor in its place; a part
            // dragged over is left as chosen.
            QTimer::singleShot(0, picker, [picker, text] {
                if (picker->hasFocus() && !text->hasSelectedText())
                    picker->setSelectedSection(picker->currentSection());
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void clickSelectsDatePart(QWidget* window) {
    auto* filter = new ClickSelectsDatePart(window);
    for (QDateTimeEdit* picker : window->findChildren<QDateTimeEdit*>())
        if (!qobject_cast<QTimeEdit*>(picker))
            if (auto* text = picker->findChild<QLineEdit*>())
                text->installEventFilter(filter);
}

namespace {

// One date picker's date typed figure by figure, as the secretary means it.
// Qt's picker cuts a day the month shown lacks to that month's last day as
// soon as it is typed, and the month typed next keeps the cut day (31/10
// typed over 01/11 became 30/10; 29/02/2028 over November became 28/02);
// here a day past the 28th is held and put in once the month typed has it.
// Over February, Qt takes a 3 as the whole day (31 became the 3rd); here the
// figure after it is waited for. And where Qt moves on to the next part by
// itself after a whole day or month, a separator or Tab typed after it is
// taken as that move, not as a second one (08/12/2027 became 08/11/2027).
class DayWaitsForItsMonth : public QObject {
public:
    explicit DayWaitsForItsMonth(QDateTimeEdit* picker) : QObject(picker), picker_(picker) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            return keyPressed(*static_cast<QKeyEvent*>(event));
        case QEvent::InputMethod: {
            // Figures an input method puts together and hands over at once
            // (a Japanese one's full-width figures): typed key by key.
            const auto* composed = static_cast<QInputMethodEvent*>(event);
            const QString figures = composed->commitString();
            if (figures.isEmpty() || !std::all_of(figures.begin(), figures.end(), [](QChar c) {
                    return c.isDigit() || c.isPunct() || c == u' ';
                }))
                break;
            QInputMethodEvent ended; // the figures shown while put together go
            QCoreApplication::sendEvent(picker_, &ended);
            for (const QChar c : figures) {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QCoreApplication::sendEvent(picker_, &key);
            }
            if (!composed->preeditString().isEmpty()) { // the next ones begun
                QInputMethodEvent next(composed->preeditString(), composed->attributes());
                QCoreApplication::sendEvent(picker_, &next);
            }
            return true;
        }
        case QEvent::Wheel:
            forget();
            break;
        case QEvent::MouseButtonPress:
            // A part clicked to type into: a day held still waits for its
            // month. A date chosen from the calendar is taken as it stands.
            takeThree();
            typedIn_ = Section::NoSection;
            if (watched == picker_) {
                settle(true);
                forget();
            }
            break;
        case QEvent::FocusOut: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                takeThree();
                settle(true);
                forget(); // typing ends; coming back, Tab steps as it does
            }
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    using Section = QDateTimeEdit::Section;

    // True when the key is taken here, not passed to the picker.
    bool keyPressed(const QKeyEvent& key) {
        if (isModifier(key.key()))
            return false; // Shift alone, as a figure or "/" on many keyboards needs
        const QString text = key.text();
        const bool figure = text.size() == 1 && text[0].isDigit();
        if (figure && text != ownFigure(text[0].digitValue())) {
            // A figure of another script (an input method's full-width one,
            // an Arabic-Indic one over Western figures), which the picker
            // would refuse without a sign: typed as the picker's own.
            const int value = text[0].digitValue();
            QKeyEvent own(QEvent::KeyPress, Qt::Key(Qt::Key_0 + value), Qt::NoModifier,
                          ownFigure(value));
            QCoreApplication::sendEvent(picker_, &own);
            return true;
        }
        const bool separator = text.size() == 1 && (text[0].isPunct() || text[0] == u' ');
        if (separator && text != u'/') {
            // 31.10.2026 or 31 10 2026: the picker knows only its own "/".
            QKeyEvent slash(QEvent::KeyPress, Qt::Key_Slash, Qt::NoModifier, QStringLiteral("/"));
            QCoreApplication::sendEvent(picker_, &slash);
            return true;
        }
        const bool tab = key.key() == Qt::Key_Tab && !key.modifiers().testFlag(Qt::ShiftModifier);
        const bool erase = key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete;
        const Section section = picker_->currentSection();
        const Section typedIn = typedIn_;
        typedIn_ = Section::NoSection;
        if (three_) {
            three_ = false;
            if (erase)
                return true; // the 3 taken back: it never reached the picker
            if (figure && text[0].digitValue() <= 1) {
                const QDate shown = picker_->date();
                held_ = 30 + text[0].digitValue();
                picker_->setDate(QDate(shown.year(), shown.month(), shown.daysInMonth()));
                picker_->setSelectedSection(Section::MonthSection);
                typedIn_ = Section::DaySection;
                return true;
            }
            putDay(3);
            if (figure)
                return false; // the month's first figure
            if (separator || tab)
                return true; // the move on to the month
        }
        if (figure && section == Section::DaySection) {
            // The day as it will stand: typed afresh over the part selected,
            // or after what the part holds.
            const QLineEdit* line = picker_->findChild<QLineEdit*>();
            const QString was = line && line->hasSelectedText()
                                    ? QString()
                                    : picker_->sectionText(Section::DaySection).trimmed();
            if (was.isEmpty())
                before_ = picker_->dateTime();
            const QString day = plainFigures(was + text);
            if (day == u'3' && picker_->date().daysInMonth() < 30) {
                three_ = true; // a 30th or 31st, or the 3rd: the next key says
                return true;
            }
            // Any day past the 28th: the month typed next may lack it.
            held_ = day.size() == 2 && day.toInt() > 28 && day.toInt() <= 31 ? day.toInt() : 0;
            typedIn_ = section;
            return false;
        }
        if ((separator || tab) && typedIn != Section::NoSection &&
            section != typedIn) // the picker has moved on by itself
            return true;
        if (figure || separator) {
            typedIn_ = figure ? section : Section::NoSection;
            // Once the key is taken, the month may be whole (its second
            // figure, or a separator after its first).
            if (held_ && section == Section::MonthSection)
                QTimer::singleShot(0, this, [this] { settle(false); });
        } else if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
            settle(true);
        } else if (erase) {
            // The month or year put right: the day typed still waits for
            // them. The day put right is typed again.
            if (section == Section::DaySection)
                held_ = 0;
        } else if (key.key() == Qt::Key_Escape) {
            // The typing given up: a day its month lacks is refused now, as
            // on leaving, not left cut to the month's last.
            settle(true);
            forget();
        } else if (!isMove(key.key())) {
            // The arrows up and down, Page Up and Down, a paste: the date is
            // changed otherwise than by typing it.
            forget();
        }
        return false;
    }

    // The figure for a value as the picker writes it (a desktop set to
    // Arabic shows Arabic-Indic figures).
    QString ownFigure(int value) const {
        const QString zero = picker_->locale().zeroDigit();
        return zero.size() == 1 ? QString(QChar(zero[0].unicode() + value))
                                : QString::number(value);
    }

    // Keys that move between the parts, changing nothing.
    static bool isMove(int key) {
        return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home ||
               key == Qt::Key_End || key == Qt::Key_Tab || key == Qt::Key_Backtab;
    }

    static bool isModifier(int key) {
        switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
            return true;
        default:
            return false;
        }
    }

    void forget() {
        held_ = 0;
        three_ = false;
        typedIn_ = Section::NoSection;
    }

    // A 3 waiting for the figure after it, taken as the 3rd.
    void takeThree() {
        if (three_) {
            three_ = false;
            putDay(3);
        }
    }

    void putDay(int day) {
        const QDate shown = picker_->date();
        picker_->setDate(QDate(shown.year(), shown.month(), day));
        picker_->setSelectedSection(Section::MonthSection);
    }

    // Puts the day held into the date once its month (and, leaving, its
    // year: 29 February) has it; leaving a date that never has it (31/11),
    // the picker beeps and shows the date it showed before the day was
    // typed, never one nobody typed.
    void settle(bool leaving) {
        if (!held_ || (!leaving && picker_->currentSection() == Section::MonthSection))
            return;
        if (leaving)
            picker_->interpretText(); // a month of one figure, not yet taken
        const QDate shown = picker_->date();
        const QDate typed(shown.year(), shown.month(), std::min(held_, shown.daysInMonth()));
        const bool inRange = typed >= picker_->minimumDate() && typed <= picker_->maximumDate();
        if (shown.day() == held_) {
            // 29 February waits for its year too: a year typed after it
            // may lack it.
            if (leaving || held_ != 29 || shown.month() != 2)
                held_ = 0;
        } else if (held_ <= shown.daysInMonth() && inRange) {
            const Section section = picker_->currentSection();
            picker_->setDate(QDate(shown.year(), shown.month(), held_));
            if (!leaving)
                picker_->setSelectedSection(section); // typing goes on over it
            held_ = 0;
        } else if (leaving) {
            QApplication::beep();
            picker_->setDateTime(before_);
            held_ = 0;
        }
    }

    QDateTimeEdit* picker_;
    QDateTime before_;                     // the date shown before the day was typed
    int held_ = 0;                         // a day past the 28th typed, until its month has it
    bool three_ = false;                   // a 3 typed over February, its next figure awaited
    Section typedIn_ = Section::NoSection; // where the last figure was typed
};

} // namespace

void dayWaitsForItsMonth(QWidget* window) {
    for (QDateTimeEdit* picker : window->findChildren<QDateTimeEdit*>())
        if (!qobject_cast<QTimeEdit*>(picker)) {
            auto* filter = new DayWaitsForItsMonth(picker);
            picker->installEventFilter(filter);
            if (auto* text = picker->findChild<QLineEdit*>())
                text->installEventFilter(filter);
        }
}

namespace {

// Where a one-line box's text ends: at the first line break, or at the
// first tab (cells copied side by side from a spreadsheet). A tab cannot be
// typed into such a box, so one there was pasted, and would go into a name.
qsizetype firstCellEnd(const QString& text) {
    qsizetype cut = 0;
    while (cut < text.size() && text[cut] != u'\r' && text[cut] != u'\n' && text[cut] != u'\t')
        ++cut;
    return cut;
}

} // namespace

QString plainFigures(const QString& text) {
    QString plain = text.normalized(QString::NormalizationForm_KC);
    for (QChar& c : plain)
        if (c.isDigit())
            c = QChar(u'0' + c.digitValue());
    return plain;
}

QString firstLine(const QString& text) {
    return text.left(firstCellEnd(text));
}

QString oneLineText(const QString& text, qsizetype cursor) {
    const qsizetype cut = firstCellEnd(text);
    if (cut == text.size())
        return text;
    return text.left(cut) + (cursor > cut ? text.mid(cursor) : QString());
}

void oneLineTyping(QWidget* window) {
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
        QObject::connect(box, &QLineEdit::textEdited, box, [box](const QString& text) {
            const qsizetype cut = firstCellEnd(text);
            if (cut == text.size())
                return;
            box->setText(oneLineText(text, box->cursorPosition()));
            box->setCursorPosition(int(cut));
        });
}

namespace {

// A zero-width space: a title with nothing to see, which the platform takes
// as given.
class EmptyCaption : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::Show || type == QEvent::WindowTitleChange ||
            type == QEvent::WinIdChange) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->windowTitle().isEmpty() && widget->windowHandle())
                widget->windowHandle()->setTitle(QStringLiteral("\u200B"));
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void nameAfterLabel(QWidget* control, QLabel* label, const QString& more) {
    static const QRegularExpression leaders(QStringLiteral("[.-]{2,}"));
    QString words = label->text();
    words.remove(leaders);
    control->setAccessibleName((words + u' ' + more).simplified());
    // On Linux a list box is read by the label it is the buddy of (its name
    // is its value); a label without an access key takes no key from it.
    if (more.isEmpty() && !label->text().contains(u'&') && label->parent() == control->parent())
        label->setBuddy(control);
}

void showEmptyCaption(QWidget* window) {
    window->installEventFilter(new EmptyCaption(window));
}

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

namespace {

// Sizes the window to the screen's free area, less the frame given, and
// centres it there, its top left corner never off the area.
void placeOnScreen(QWidget* window, const QSize& frame, bool widenForScrollBar) {
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize room = area.size() - frame;
    QSize wanted = window->size();
    // A window that is its form's scroll area, cut in height, takes the
    // vertical scroll bar's width more where the screen has it, so that the
    // form need not scroll sideways too.
    if (widenForScrollBar && wanted.height() > room.height())
        for (const QScrollArea* scroll :
             window->findChildren<QScrollArea*>(Qt::FindDirectChildrenOnly))
            wanted.rwidth() += scroll->verticalScrollBar()->sizeHint().width();
    window->resize(wanted.boundedTo(room));
    const QSize outer = window->size() + frame;
    window->move(std::max(area.left(), area.left() + (area.width() - outer.width()) / 2),
                 std::max(area.top(), area.top() + (area.height() - outer.height()) / 2));
}

} // namespace

void centreOnScreen(QWidget* window) {
    QSize frame = window->frameGeometry().size() - window->size();
    // Not yet framed by the window system (not shown, or shown a moment
    // ago): room is kept for a title bar.
    if (frame.isNull())
        frame = QSize(0, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window));
    placeOnScreen(window, frame, true);
    // Once framed, a window whose real frame lies partly off the free area
    // (a taller title bar) is placed again, so no strip of it is out of reach.
    QTimer::singleShot(500, window, [window] {
        const QScreen* screen = window->screen();
        if (screen && window->isVisible() &&
            !screen->availableGeometry().contains(window->frameGeometry()))
            placeOnScreen(window, window->frameGeometry().size() - window->size(), false);
    });
}

} // namespace pellamy
