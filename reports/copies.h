#pragma once
// The number of copies a print button's box asks for.

#include <QString>

namespace pellamy {

struct Copies {
    bool ok = false; // false: the box holds no usable number
    int count = 1;
    bool resetToOne = false; // the box held a number below 1 and now says "1"
};

// Below 1 gives one copy and the box is set to "1"; otherwise the number is
// rounded to a whole one, halves to even (2.5 gives 2, 3.5 gives 4). A text
// that is not a number, or beyond 32767, is not usable.
Copies copiesFrom(const QString& text);

} // namespace pellamy
