#pragma once
// The race entry: one clocked bird as a row of 39 text columns, the column
// table, the colour, sex and pool codes, and the checks of the time fields.

#include "calculatorfields.h"
#include "velocity.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

namespace pellamy {

// Column numbers of a race entry; columns are always addressed by number,
// since some headers repeat.
namespace Col {
enum : int {
    Pos = 0,
    Name = 1,
    MemberSet = 2,
    MasterSet = 3,
    SetError = 4,
    MemberRead = 5,
    MasterRead = 6,
    Var = 7,
    BirdClocked = 8,
    FlyingTime = 9,
    Velocity = 10,
    RubberIn = 11,
    RubberOut = 12,
    Colour = 13,
    Sex = 14,
    RingNo = 15,
    Distance = 16,
    PoolNom = 17,
    Members = 18,
    Birds = 19,
    Wind = 20,
    SetDate = 21,
    RaceDate = 22,
    LibHour = 23,
    LibMinute = 24,
    Racepoint = 25,
    Midnight = 26,
    Midnight2 = 27,
    HodHr = 28,
    HodMin = 29,
    HolHr = 30,
    HolMin = 31,
    MtdSet = 32,
    MtrSet = 33,
    MtdRake = 34,
    MtrRake = 35,
    Comments = 36,
    ClockOpen = 37,
    DayBird = 38,
};
}
constexpr int kColumnCount = 39;

struct ColumnInfo {
    const char* header;
    int width;    // hundredths of a millimetre
    bool centred; // else left-aligned
};
const std::array<ColumnInfo, kColumnCount>& raceEntryColumns();
QStringList raceEntryHeaders();

// The group captions that stand over the list's columns: "Clock Setting"
// over columns 2-4, "Clock Reading" over 5-7, "Bird" over 8, "A.F.T" over 9,
// "Velocity" over 10 and "Rubbers" over 11-12.
struct ColumnGroup {
    const char* caption;
    int first, last;  // columns of the race entry list
    int blanksBefore; // in the one-line caption
};
const std::array<ColumnGroup, 6>& columnGroups();
// The captions as one line, spaced as the window's caption is.
QString groupCaptionLine();

// The colour list in order, with the code each position gives.
struct Colour {
    const char* name;
    const char* code;
};
const std::array<Colour, 18>& colourTable();

// The colour code of the chosen list position; the previous code when no
// entry of the list is chosen (index outside the list).
QString colourCode(int index, const QString& previous);

// "P", "N", "P-N" or "" for the ticks of "Pooled" and "Noms".
QString poolMark(bool pooled, bool noms);

// The sex code from the "Cock" and "Hen" ticks, tested in the calculator's
// order: "C" when Cock is ticked (also when both are), else "H" when Hen is,
// else the previous code. Both boxes end unticked.
QString sexCode(bool cock, bool hen, const QString& previous);

// One time field that went over its limit: the message to show and the
// text the field is reset to.
struct TimeFieldReset {
    QString field;
    QString message;
    QString resetText;
};
struct TimeFieldCheck {
    QVector<TimeFieldReset> resets; // in the order the fields are checked
    bool allNumbers = true;         // false: the checks stopped at notANumber
    QString notANumber;
};

// Checks the eighteen time fields in the calculator's order against their
// limits (hours over 24, minutes and seconds over 59), and writes the reset
// texts into the fields. Stops at the first field that is not a number.
TimeFieldCheck checkTimeFields(CalculatorFields& fields);

// The distance text of column 16 from the miles and yards results: 150-1234.
QString distanceText(const QString& miles, const QString& yards);

// The variation text of column 7: the general number text cut to its first
// five characters (padded with blanks when shorter), as pattern "00".
QString variationText(const QString& variation);

// Builds the 39 columns of a new entry from the fields and a completed
// calculation; column 0 is empty.
QStringList buildRaceEntry(const CalculatorFields& fields, const VelocityResult& result);

} // namespace pellamy
