#pragma once
// The CALCULATE picture: a picture that works as a button. A click, or
// Space or Enter while it has the keyboard focus, starts the calculation.

#include <QAbstractButton>
#include <QPixmap>

namespace pellamy {

class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PictureButton(QWidget* parent = nullptr);
    // The picture: an SVG file or resource.
    void setPicture(const QString& resource);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString resource_;
};

} // namespace pellamy
