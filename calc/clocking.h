#pragma once
// Clocking one bird, the steps that need no window: the time field checks,
// the velocity arithmetic, the pool, sex and colour codes and the new race
// entry. The window gathers its fields, looks up the distance, runs this and
// writes back what it returns.

#include "calculatorfields.h"
#include "raceentry.h"
#include "velocity.h"

#include <QStringList>
#include <QVector>

namespace pellamy {

// The ticks and the colour list's choice that clocking reads.
struct BirdChoices {
    bool pooled = false; // Check1
    bool noms = false;   // Check2
    bool cock = false;   // Check3
    bool hen = false;    // Check4
    int colourIndex = 0; // the chosen entry of comcol; -1 when none is chosen
};

struct ClockingOutcome {
    // The fields after the step: time fields reset, codes derived, and on
    // success ringno, Rubin and Rubout emptied for the next bird.
    CalculatorFields fields;
    // The time fields over their limits, with message and reset, in order:
    // no entry is made while there are any.
    QVector<TimeFieldReset> resets;
    QString notANumber; // the time field that stopped the checks, if one did
    // The arithmetic's results; empty when the checks stopped first.
    VelocityResult result;
    bool calculated = false; // every step of the arithmetic ran
    // The ticks after the step: Cock and Hen are unticked once the sex code
    // is derived, Pooled and Noms once the entry is made.
    BirdChoices choices;
    // The new race entry, when one was made.
    bool entryMade = false;
    QStringList entry;
};

ClockingOutcome clockBird(const CalculatorFields& fields, const BirdChoices& choices);

// A doubt about an entry made: the member's clock half an hour or more out
// from the master clock when set, or a variation of half an hour or more,
// far beyond what a racing clock gains or loses (a clock set an hour out at
// a change of summer time gives an hour; one set or read either side of
// midnight, about a day). Empty when there is none.
QString clockDoubt(const ClockingOutcome& outcome);

// Why no entry was made, in words that follow "No entry was made for this
// bird: ", given the distance lookup's text; the boxes are named by label,
// and who puts a distance right (the club, or the federation's distance
// officer when the distances are on its server).
QString noEntryReason(const ClockingOutcome& outcome, const QString& distances,
                      const QString& member, const QString& racepoint, bool onServer = false);

} // namespace pellamy
