#pragma once
// The rule that ties a distance's three fields together.

#include <QString>

#include <optional>

namespace pellamy {

// Sixtieths of a yard from the Miles and Yards texts:
// Miles x 1760 x 60 + Yards x 60, as general number text (100 miles 880
// yards give 10612800). Empty when either text is not a number.
std::optional<QString> sixtiethsText(const QString& miles, const QString& yards);

// Why a row's three fields do not agree ("Sixtieths is 43398121, but 410
// miles 1702 yards make 43398120"); empty when they do.
QString sixtiethsDisagreement(const QString& miles, const QString& yards, const QString& sixtieths);

} // namespace pellamy
