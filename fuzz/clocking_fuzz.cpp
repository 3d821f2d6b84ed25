// Fuzzes clocking a bird from the texts typed into the calculator's boxes.
//
//   scripts/fuzz [seconds]
//
// Each input line is one box, in the order below; boxes past the input
// keep the texts the window starts with. Whatever is typed, clocking ends
// in an entry or a reason, and every figure it stores reads back as a
// number.

#include "calc/clocking.h"
#include "calc/numbers.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what) {
    fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

using F = pellamy::CalculatorFields;
QString F::*const kBoxes[] = {
    &F::sixtieths,   &F::birdclockhrs, &F::birdclockmins, &F::birdclocksecs, &F::birdlibhrs,
    &F::birdlibmins, &F::birdlibsecs,  &F::CsHr,          &F::CsMin,         &F::CsSec,
    &F::MTSetHr,     &F::MTSetMin,     &F::MTSetSec,      &F::CrHr,          &F::CrMin,
    &F::CrSec,       &F::MTRakeHr,     &F::MTRakeMin,     &F::MTRakeSec,     &F::midnight,
    &F::midnight2,   &F::extraday,     &F::HODhr,         &F::HODmin,        &F::HOLhr,
    &F::HOLmin,      &F::member,       &F::ringno,        &F::Rubin,         &F::Rubout,
};

void readsBack(const std::optional<QString>& field, const char* what) {
    if (field && !pellamy::textToNumber(*field))
        fail(what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    pellamy::BirdChoices choices;
    choices.pooled = data[0] & 1;
    choices.noms = data[0] & 2;
    choices.cock = data[0] & 4;
    choices.hen = data[0] & 8;
    choices.colourIndex = int(data[0] >> 4) - 1;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    F fields;
    fields.sixtieths = QStringLiteral("10612800");
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size() && i < qsizetype(std::size(kBoxes)); ++i)
        fields.*kBoxes[i] = lines[i];

    const pellamy::ClockingOutcome out = pellamy::clockBird(fields, choices);
    if (out.entryMade != out.calculated)
        fail("an entry made without its calculation, or the other way");
    if (out.calculated) {
        const pellamy::VelocityResult& r = out.result;
        readsBack(r.variation, "the variation stored is not a number");
        readsBack(r.FTHrs, "the flying hours stored are not a number");
        readsBack(r.FTMins, "the flying minutes stored are not a number");
        readsBack(r.FTSecs, "the flying seconds stored are not a number");
        readsBack(r.velocity, "the velocity stored is not a number");
        readsBack(r.miles, "the miles stored are not a number");
        readsBack(r.yards, "the yards stored are not a number");
        readsBack(r.Text1, "the miles per hour stored are not a number");
        if (out.entry.size() != pellamy::kColumnCount)
            fail("an entry of the wrong number of columns");
    } else if (pellamy::noEntryReason(out, QStringLiteral("1\n"), QStringLiteral("A"),
                                      QStringLiteral("B"))
                   .isEmpty()) {
        fail("no entry, and no reason");
    }
    (void)pellamy::clockDoubt(out);
    return 0;
}
