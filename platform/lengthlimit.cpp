#include "lengthlimit.h"

#include "windowhabits.h"

#include <QLineEdit>
#include <QValidator>

namespace pellamy {

namespace {

class LengthLimit : public QValidator {
public:
    LengthLimit(int characters, QObject* parent) : QValidator(parent), characters_(characters) {}
    // Measured as the box keeps it: a cell pasted from a spreadsheet counts
    // without its line break.
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
}

int typingLimit(const QLineEdit* box) {
    const auto* limit = dynamic_cast<const LengthLimit*>(box->validator());
    return limit ? limit->characters() : 0;
}

} // namespace pellamy
