#pragma once
// The worked example race: clocks set the evening before the race, opened on
// race day; liberation 08:00:00; bird clocked 11:45:30; 150 miles 1234 yards.

#include "calc/calculatorfields.h"

#include <QStringList>

inline pellamy::CalculatorFields workedExample() {
    pellamy::CalculatorFields f;
    f.MTSetHr = "19", f.MTSetMin = "30", f.MTSetSec = "0";
    f.CsHr = "19", f.CsMin = "30", f.CsSec = "2";
    f.MTRakeHr = "19", f.MTRakeMin = "0", f.MTRakeSec = "0";
    f.CrHr = "19", f.CrMin = "0", f.CrSec = "10";
    f.birdlibhrs = "08", f.birdlibmins = "00", f.birdlibsecs = "00";
    f.birdclockhrs = "11", f.birdclockmins = "45", f.birdclocksecs = "30";
    f.midnight = "1", f.midnight2 = "0", f.extraday = "0";
    f.sixtieths = "15914040\r\n";
    f.member = "J. Smith", f.racepoint = "Berwick";
    f.txtmember = "12", f.txtbirds = "240", f.txtwind = "SW";
    f.mtdetailset = "Master clock 7", f.mtreadset = "19:30:00";
    f.mtdetailrake = "Master clock 7", f.mtreadrake = "19:00:00";
    f.txtcomments = "Good race";
    f.DayClockSet = QDateTime(QDate(2006, 5, 23), QTime(19, 45, 12));
    f.RaceDay = f.DaybirdClocked = f.DayClockOpen =
        QDateTime(QDate(2006, 5, 24), QTime(19, 45, 12));
    f.Rubin = "12", f.Rubout = "345", f.ringno = "GB06N12345";
    f.txtcol = "BB", f.txtsex = "C", f.txtpool = "P-N";
    return f;
}

// The race entry the worked example gives, column for column.
inline QStringList workedExampleEntry() {
    // clang-format off
    return {
        "", "J. Smith", "19-30-02", "19-30-00", "02", "19-00-10", "19-00-00", "06", "11-45-30",
        "03-45-22", "1176.859", "12", "345", "BB", "C", "GB06N12345", "150-1234", "P-N",
        "12", "240", "SW", "23/05/2006 19:45:12", "24/05/2006 19:45:12", "08", "00", "Berwick",
        "1", "0", "22", "30", "4", "30", "Master clock 7", "19:30:00", "Master clock 7", "19:00:00",
        "Good race", "24/05/2006 19:45:12", "24/05/2006 19:45:12",
    };
    // clang-format on
}
