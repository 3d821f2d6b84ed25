#pragma once
// A time picker lying over the three boxes that hold its hours, minutes and
// seconds. The picker is on top; the boxes come to the top while one of them
// has the keyboard focus, so the user can type into them, and stay on top
// while they hold anything but the picker's own time, so that the screen
// always shows the figures the calculation will use. Typing never changes
// the picker; the picker comes back on top when it takes the focus.

#include <QWidget>

class QLineEdit;
class QStackedLayout;
class QTimeEdit;

namespace pellamy {

class TimeOverlay : public QWidget {
    Q_OBJECT
public:
    explicit TimeOverlay(QWidget* parent = nullptr);
    // Takes the picker and its three boxes into this place.
    void attach(QTimeEdit* picker, QLineEdit* hours, QLineEdit* minutes, QLineEdit* seconds);

    bool boxesOnTop() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void arrange();

    QTimeEdit* picker_ = nullptr;
    QLineEdit* boxes_[3] = {};
    QWidget* boxPanel_ = nullptr;
    QStackedLayout* stack_ = nullptr;
};

} // namespace pellamy
