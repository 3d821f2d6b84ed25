#pragma once
// A time picker lying over the three boxes that hold its hours, minutes and
// seconds. The two always agree: the picker's change handler copies its time
// into the boxes, and a time typed into the boxes is set on the picker. The
// picker is on top; the boxes come to the top while one of them has the
// keyboard focus, and stay on top while they hold what the picker cannot
// show (an hour of 25, an empty box), so that the screen always shows the
// figures the calculation will use.
//
// A clock reading is typed straight into the picker: click it anywhere (or
// Tab to it) and type 100530 or 10:05:30; Backspace takes back a figure.
// Figures that make no time are refused, and left so by a click they stand
// in the boxes as typed. A double-click brings the boxes up, with the cursor
// in the box clicked on. Where the boxes hold what the picker cannot show
// (hour 24) and the next time is asked for (after "Another Bird" is answered
// Yes, or a member chosen with Enter), the time is typed over them as a
// whole, in the same figures, an hour past 23 too.

#include <QString>
#include <QStringList>
#include <QTime>
#include <QWidget>

class QKeyEvent;
class QLineEdit;
class QPoint;
class QStackedLayout;
class QTimeEdit;

namespace pellamy {

class TimeOverlay : public QWidget {
    Q_OBJECT
public:
    explicit TimeOverlay(QWidget* parent = nullptr);
    // Takes the picker and its three boxes into this place.
    void attach(QTimeEdit* picker, QLineEdit* hours, QLineEdit* minutes, QLineEdit* seconds);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void arrange();
    // The boxes' time set on the picker, when they hold one it can show.
    void follow();
    // A figure or colon typed into the picker; false when it makes no time.
    bool typed(QChar c);
    // Beeps, and says beside the picker why the figures typed are refused.
    void refuseTyped() const;
    // Figures typed that make no time, put into the boxes as typed.
    void keepTyped();
    // The boxes on top, the focus in the hours, a whole time asked for.
    void askWholeTime(Qt::FocusReason reason);
    // A key pressed in the hours while a whole time is asked for; false when
    // it is left to the box (the time is then typed box by box).
    bool typedOverBoxes(const QKeyEvent& key);
    // The boxes on top, the focus in the one under a point on the screen.
    void openBoxAt(const QPoint& global);
    // The control the focus passes on to from the picker, forward or back:
    // not one of the picker's own parts.
    QWidget* neighbour(bool back) const;
    // Tab or Shift+Tab: the focus on to that neighbour.
    void passOn(const QKeyEvent& tab);

    QTimeEdit* picker_ = nullptr;
    QLineEdit* boxes_[3] = {};
    QWidget* boxPanel_ = nullptr;
    QStackedLayout* stack_ = nullptr;
    QString typing_;              // what has been typed into the picker since it was entered
    QTime beforeTyping_;          // the time the picker showed before the first figure
    bool wholeTimeAsked_ = false; // a whole time asked for in the boxes
    QString overBoxes_;           // its figures typed so far
    QStringList beforeOverBoxes_; // what the boxes held before them
};

} // namespace pellamy
