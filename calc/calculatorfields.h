#pragma once
// The texts of the calculator window's fields that clocking a bird reads,
// gathered into one plain record, with the texts the window starts with.
// The members carry the fields' own names; the race details are the part
// every entry copies.

#include "racedetails.h"

#include <QDateTime>
#include <QString>

namespace pellamy {

struct CalculatorFields : RaceDetails {
    // Master clock at setting and at opening.
    QString MTSetHr = QStringLiteral("19"), MTSetMin = QStringLiteral("30"),
            MTSetSec = QStringLiteral("0");
    QString MTRakeHr = QStringLiteral("19"), MTRakeMin = QStringLiteral("30"),
            MTRakeSec = QStringLiteral("0");
    // Member's clock at setting and at opening.
    QString CsHr = QStringLiteral("19"), CsMin = QStringLiteral("30"), CsSec = QStringLiteral("0");
    QString CrHr = QStringLiteral("19"), CrMin = QStringLiteral("30"), CrSec = QStringLiteral("0");
    // The liberation's seconds (its hours and minutes are race details) and
    // the member's clock when the bird was clocked.
    QString birdlibsecs = QStringLiteral("00");
    QString birdclockhrs = QStringLiteral("10"), birdclockmins = QStringLiteral("0"),
            birdclocksecs = QStringLiteral("0");

    // The night count between the bird's day and the clocks' opening.
    QString extraday = QStringLiteral("0");

    // The member's distance in sixtieths of a yard, as the lookup wrote it.
    QString sixtieths;
    QString member;

    // The bird's own details and the codes derived for it.
    QString Rubin, Rubout, ringno;
    QString txtcol, txtsex, txtpool;
};

} // namespace pellamy
