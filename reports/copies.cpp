#include "copies.h"

#include "calc/numbers.h"

namespace pellamy {

Copies copiesFrom(const QString& text) {
    Copies copies;
    const std::optional<double> number = textToNumber(text);
    if (!number)
        return copies;
    if (*number < 1) {
        copies.ok = true;
        copies.resetToOne = true;
        return copies;
    }
    if (const std::optional<std::int16_t> count = toInt16(*number)) {
        copies.ok = true;
        copies.count = *count;
    }
    return copies;
}

} // namespace pellamy
