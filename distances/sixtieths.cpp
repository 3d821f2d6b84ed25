#include "sixtieths.h"

#include "calc/numbers.h"
#include "calc/textforms.h"

#include <cmath>

namespace pellamy {

std::optional<QString> sixtiethsText(const QString& miles, const QString& yards) {
    const std::optional<double> m = textToNumber(miles);
    const std::optional<double> y = textToNumber(yards);
    if (!m || !y)
        return std::nullopt;
    const double sixtieths = *m * 1760 * 60 + *y * 60;
    if (!std::isfinite(sixtieths))
        return std::nullopt;
    return generalNumberText(sixtieths);
}

} // namespace pellamy
