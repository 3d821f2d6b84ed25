#pragma once
// The label over the race entry list whose caption groups the column
// headers: "Clock Setting" over the member's and master clock at setting and
// the set error, "Clock Reading" over the readings and the variation, then
// "Bird", "A.F.T", "Velocity" and "Rubbers". The caption keeps its own text;
// each group is drawn centred over its columns, wherever the list's columns
// stand and however far the list is scrolled.

#include <QLabel>

class QHeaderView;

namespace pellamy {

class GroupCaptions : public QLabel {
    Q_OBJECT
public:
    explicit GroupCaptions(QWidget* parent = nullptr);
    // The list header whose columns the captions follow.
    void setHeader(QHeaderView* header);

    // Where a group's caption is drawn, in this label's coordinates.
    QRect groupRect(int group) const;
    // The label's font, made smaller where a caption would not fit over its
    // columns at their own widths (a large desktop font over columns of
    // fixed widths).
    QFont captionFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    QHeaderView* header_ = nullptr;
};

} // namespace pellamy
