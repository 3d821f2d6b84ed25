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
    // Just below the largest number, the fifteen figures round past it.
    QString text = generalNumberText(sixtieths);
    if (!textToNumber(text))
        return std::nullopt;
    return text;
}

QString sixtiethsDisagreement(const QString& miles, const QString& yards,
                              const QString& sixtieths) {
    const std::optional<QString> made = sixtiethsText(miles, yards);
    if (!made)
        return QStringLiteral("Miles or Yards is not a number");
    const std::optional<double> stored = textToNumber(sixtieths);
    if (stored && *stored == *textToNumber(*made))
        return QString();
    return QStringLiteral("Sixtieths is %1, but %2 miles %3 yards make %4")
        .arg(sixtieths.trimmed().isEmpty() ? QStringLiteral("empty") : sixtieths, miles, yards,
             *made);
}

} // namespace pellamy
