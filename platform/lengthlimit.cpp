#include "lengthlimit.h"

#include "windowhabits.h"

#include <QApplication>
#include <QLineEdit>
#include <QToolTip>
#include <QValidator>

#include <limits>

namespace pellamy {

namespace {

class LengthLimit : public QValidator {
public:
    LengthLimit(int characters, QObject* parent) : QValidator(parent), characters_(characters) {}
    // Measured as the box keeps it: a cell pasted from a spreadsheet counts
    // without its line break, cells side by side as the first alone.
    State validate(QString& input, int& cursor) const override {
        return oneLineText(input, cursor).size() <= characters_ ? Acceptable : Invalid;
    }
    int characters() const { return characters_; }

private:
    int characters_;
};

} // namespace

void limitTyping(QLineEdit* box, int characters) {
    box->setValidator(new LengthLimit(characters, box));
    box->setMaxLength(std::numeric_limits<int>::max()); // its own limit would cut at 32,767
    // A key or a paste the limit refuses changes nothing in the box: say so,
    // or a long name pasted seems to have been lost on the way. A longer
    // text the program shows is "refused" too, but stays whole in the box:
    // looked at once the change is over, that one is not said.
    QObject::connect(
        box, &QLineEdit::inputRejected, box,
        [box, characters] {
            if (box->text().size() > characters)
                return;
            QApplication::beep();
            QToolTip::showText(
                box->mapToGlobal(QPoint(0, box->height())),
                QStringLiteral("This box takes at most %1 characters.").arg(characters), box);
        },
        Qt::QueuedConnection);
}

int typingLimit(const QLineEdit* box) {
    const auto* limit = dynamic_cast<const LengthLimit*>(box->validator());
    return limit ? limit->characters() : 0;
}

} // namespace pellamy
