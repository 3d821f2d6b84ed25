#pragma once
// A command button whose caption wraps onto a second line when the button
// is narrow, as the calculator's command buttons do. A box placed inside the
// button at its right end (the copies box of a print button) keeps the
// caption clear of it.

#include <QPushButton>

namespace pellamy {

class WrapButton : public QPushButton {
    Q_OBJECT
public:
    explicit WrapButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int reservedRight() const;
};

} // namespace pellamy
