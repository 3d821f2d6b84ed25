#include "lengthlimit.h"

#include <QLineEdit>
#include <QValidator>

namespace pellamy {

namespace {

class LengthLimit : public QValidator {
public:
    LengthLimit(int characters, QObject* parent) : QValidator(parent), characters_(characters) {}
    State validate(QString& input, int&) const override {
        return input.size() <= characters_ ? Acceptable : Invalid;
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
