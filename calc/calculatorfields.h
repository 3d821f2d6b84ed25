#pragma once
// The texts of the calculator window's fields that clocking a bird reads,
// gathered into one plain record. The members carry the fields' own names.

#include <QDateTime>
#include <QString>

namespace pellamy {

struct CalculatorFields {
    // Master clock at setting and at opening.
    QString MTSetHr = QStringLiteral("19"), MTSetMin = QStringLiteral("30"),
            MTSetSec = QStringLiteral("0");
    QString MTRakeHr = QStringLiteral("19"), MTRakeMin = QStringLiteral("30"),
            MTRakeSec = QStringLiteral("0");
    // Member's clock at setting and at opening.
    QString CsHr = QStringLiteral("19"), CsMin = QStringLiteral("30"), CsSec = QStringLiteral("0");
    QString CrHr = QStringLiteral("19"), CrMin = QStringLiteral("30"), CrSec = QStringLiteral("0");
    // Liberation time and the member's clock when the bird was clocked.
    QString birdlibhrs = QStringLiteral("08"), birdlibmins = QStringLiteral("00"),
            birdlibsecs = QStringLiteral("00");
    QString birdclockhrs = QStringLiteral("10"), birdclockmins = QStringLiteral("0"),
            birdclocksecs = QStringLiteral("0");

    // Night counts (days as general number text).
    QString midnight = QStringLiteral("1"), midnight2 = QStringLiteral("0"),
            extraday = QStringLiteral("0");
    // Darkness: from HODhr:HODmin in the evening to HOLhr:HOLmin next morning.
    QString HODhr = QStringLiteral("22"), HODmin = QStringLiteral("30"),
            HOLhr = QStringLiteral("4"), HOLmin = QStringLiteral("30");

    // The member's distance in sixtieths of a yard, as the lookup wrote it.
    QString sixtieths;

    // Race details copied into every entry.
    QString member, racepoint;
    QString txtmember, txtbirds, txtwind;
    QString mtdetailset, mtreadset, mtdetailrake, mtreadrake;
    QString txtcomments;
    QDateTime DayClockSet, RaceDay, DayClockOpen, DaybirdClocked;

    // The bird's own details and the codes derived for it.
    QString Rubin, Rubout, ringno;
    QString txtcol, txtsex, txtpool;
};

} // namespace pellamy
