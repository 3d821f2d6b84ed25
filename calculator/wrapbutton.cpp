#include "wrapbutton.h"

#include <QLineEdit>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace pellamy {

WrapButton::WrapButton(QWidget* parent) : QPushButton(parent) {}

int WrapButton::reservedRight() const {
    const QLineEdit* box = findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    return box ? box->width() + 6 : 0;
}

QSize WrapButton::sizeHint() const {
    // Wide enough for the caption on two lines at the best place to break.
    const QFontMetrics metrics(font());
    const QStringList words = text().split(u' ', Qt::SkipEmptyParts);
    int width = metrics.horizontalAdvance(words.join(u' '));
    for (int split = 1; split < words.size(); ++split)
        width = std::min(width, std::max(metrics.horizontalAdvance(words.mid(0, split).join(u' ')),
                                         metrics.horizontalAdvance(words.mid(split).join(u' '))));
    const QLineEdit* box = findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    const int extra = box ? box->sizeHint().width() + 6 : 0;
    return {width + 16 + extra, 2 * metrics.lineSpacing() + 12};
}

QSize WrapButton::minimumSizeHint() const {
    return sizeHint();
}

void WrapButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text.trimmed();
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    area.adjust(2, 0, -2 - reservedRight(), 0);
    if (isDown())
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, caption);
}

} // namespace pellamy
