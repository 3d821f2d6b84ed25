#pragma once
// The navigation bar of the distances editor: first, previous, next and
// last record buttons with the record caption between them.

#include <QWidget>

class QLabel;
class QToolButton;

namespace pellamy {

class DataControl : public QWidget {
    Q_OBJECT
public:
    enum class Move { First, Previous, Next, Last };

    explicit DataControl(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const;

    QToolButton* button(Move move) const;

signals:
    void moveRequested(pellamy::DataControl::Move move);

protected:
    // The arrows drawn again in the button text's colour when the colours
    // change (a style sheet applied, the desktop turned dark).
    void changeEvent(QEvent* event) override;

private:
    void drawArrows();

    QLabel* caption_;
    QToolButton* buttons_[4];
};

} // namespace pellamy
