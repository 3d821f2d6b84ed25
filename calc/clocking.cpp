#include "clocking.h"

namespace pellamy {

ClockingOutcome clockBird(const CalculatorFields& fields, const BirdChoices& choices) {
    ClockingOutcome out;
    out.fields = fields;
    out.choices = choices;

    // Over-limit fields are reported and reset, and the bird is calculated
    // with the reset texts; a field that is not a number stops everything.
    const TimeFieldCheck check = checkTimeFields(out.fields);
    out.resets = check.resets;
    if (!check.allNumbers)
        return out;

    out.result = calculateVelocity(out.fields);
    if (!out.result.ok())
        return out;
    out.calculated = true;

    CalculatorFields& f = out.fields;
    f.txtpool = poolMark(choices.pooled, choices.noms);
    f.txtsex = sexCode(choices.cock, choices.hen, f.txtsex);
    out.choices.cock = out.choices.hen = false;
    f.txtcol = colourCode(choices.colourIndex, f.txtcol);

    out.entry = buildRaceEntry(f, out.result);
    out.entryMade = true;

    // Ready for the next bird of the same member.
    f.ringno.clear();
    f.Rubin.clear();
    f.Rubout.clear();
    out.choices.pooled = out.choices.noms = false;
    return out;
}

} // namespace pellamy
