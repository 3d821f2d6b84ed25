#pragma once
// The race details: what every entry of a race carries in columns 18 to 38
// besides the bird's own results, as the calculator window shows them, with
// the texts the window starts with. Columns 27 (the night count of the
// bird's day) and 38 (the day it was clocked) belong to the bird; the others
// stay the same from entry to entry unless a detail is changed.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace pellamy {

struct RaceDetails {
    QString txtmember, txtbirds, txtwind;                                // columns 18-20
    QDateTime DayClockSet, RaceDay;                                      // 21-22
    QString birdlibhrs = QStringLiteral("08"),                           // 23
        birdlibmins = QStringLiteral("00");                              // 24
    QString racepoint;                                                   // 25
    QString midnight = QStringLiteral("1"),                              // 26
        midnight2 = QStringLiteral("0");                                 // 27
    QString HODhr = QStringLiteral("22"), HODmin = QStringLiteral("30"), // 28-29
        HOLhr = QStringLiteral("4"), HOLmin = QStringLiteral("30");      // 30-31
    QString mtdetailset, mtreadset, mtdetailrake, mtreadrake;            // 32-35
    QString txtcomments;                                                 // 36
    QDateTime DayClockOpen, DaybirdClocked;                              // 37-38

    // Columns 18 to 38 as an entry holds them, the dates as date text.
    QStringList columns() const;
};

// Reads the race details from an entry's columns 18 to 38 in column order,
// as a race file's first entry restores them: reading stops at the first
// column the entry lacks, or at a date that cannot be read or that
// takes(column, date) refuses (a date picker's range). Gives how many
// columns were read (0 to 21); the rest of details is left as it was.
int readRaceDetails(const QStringList& entry, RaceDetails& details,
                    const std::function<bool(int column, const QDateTime& date)>& takes);

} // namespace pellamy
