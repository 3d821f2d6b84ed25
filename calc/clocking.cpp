#include "clocking.h"

#include "numbers.h"
#include "textforms.h"

#include <cmath>

namespace pellamy {

ClockingOutcome clockBird(const CalculatorFields& fields, const BirdChoices& choices) {
    ClockingOutcome out;
    out.fields = fields;
    out.choices = choices;

    // Over-limit fields are reported and reset; the bird is not entered with
    // a time nobody typed, but a second click takes the reset texts as they
    // stand. A field that is not a number stops everything.
    const TimeFieldCheck check = checkTimeFields(out.fields);
    out.resets = check.resets;
    out.notANumber = check.notANumber;
    if (!check.allNumbers || !check.resets.isEmpty())
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

QString clockDoubt(const ClockingOutcome& outcome) {
    if (!outcome.entryMade)
        return QString();
    // A bird clocked, by the dates and times given, before it was liberated
    // (the date it was clocked left at an earlier race's, say) would go onto
    // the sheets with its velocity below nought.
    if (textToNumber(outcome.result.velocity.value_or(QString())).value_or(0) < 0)
        return QStringLiteral("This bird's flying time comes out below nought: by the dates and "
                              "times given, it was clocked before it was liberated. Please check "
                              "the race dates and the date and time the bird was clocked. The "
                              "bird has been entered as they stand.");
    if (!outcome.result.setError || !outcome.result.variation)
        return QString();
    const double setError = *outcome.result.setError;
    const double variation = textToNumber(*outcome.result.variation).value_or(0);
    // A clock read an hour out (or a master time mistyped) gains that hour
    // over the whole run, though only a share of it by a bird clocked early.
    const double gain = outcome.result.gain.value_or(variation);
    if (std::abs(setError) < 1800 && std::abs(variation) < 1800 && std::abs(gain) < 1800)
        return QString();
    // In words, each figure without its sign (a figure past 64 bits as it
    // is); the variation is what the clock gained on the master clock.
    const auto seconds = [](double value) {
        value = std::abs(std::round(value));
        return generalNumberText(value) +
               (value == 1 ? QStringLiteral(" second") : QStringLiteral(" seconds"));
    };
    const QString set =
        std::round(setError) == 0
            ? QStringLiteral("was set to the master clock")
            : QStringLiteral("was %1 %2 the master clock when set")
                  .arg(seconds(setError),
                       setError < 0 ? QStringLiteral("behind") : QStringLiteral("ahead of"));
    const auto gainedOrLost = [&](double value) {
        return std::round(value) == 0
                   ? QStringLiteral("had neither gained nor lost")
                   : QStringLiteral("had %1 %2")
                         .arg(value < 0 ? QStringLiteral("lost") : QStringLiteral("gained"),
                              seconds(value));
    };
    QString varied = gainedOrLost(variation) + QStringLiteral(" by the time it was clocked");
    if (std::abs(variation) < 1800 && std::abs(setError) < 1800)
        varied += QStringLiteral(", and %1 by the time it was read").arg(gainedOrLost(gain));
    return QStringLiteral("This bird's clock %1, and %2. Half an hour is far more than a racing "
                          "clock is ever out, gains or loses: please check the clock times and "
                          "dates (a clock set or read either side of midnight, say). The bird "
                          "has been entered as they stand.")
        .arg(set, varied);
}

namespace {

// The boxes a calculation reads, by the captions the window shows them under.
QString boxLabel(const QString& field) {
    static const std::pair<const char*, const char*> labels[] = {
        {"MTSet", "Master Set"},   {"Cs", "Clock Set"},     {"MTRake", "Master Read"},
        {"Cr", "Clock Read"},      {"birdlib", "Lib"},      {"birdclock", "Bird Clocked"},
        {"HOD", "Set H.O.D From"}, {"HOL", "Set H.O.D To"}, {"midnight", "race date"},
        {"extraday", "race date"},
    };
    for (const auto& [prefix, label] : labels)
        if (field.startsWith(QLatin1String(prefix)))
            return QString::fromLatin1(label);
    return field;
}

} // namespace

QString noEntryReason(const ClockingOutcome& outcome, const QString& distances,
                      const QString& member, const QString& racepoint, bool onServer) {
    // On a federation's server a club changes no distance: its officer does.
    const auto please = [onServer](const char* club, const char* officer) {
        return onServer ? QStringLiteral("Please ask the federation's distance officer to %1.")
                              .arg(QLatin1String(officer))
                        : QString::fromLatin1(club);
    };
    if (!outcome.resets.isEmpty())
        return QStringLiteral("a time over its limit was put back as the box now shows. Please "
                              "check it and click CALCULATE again.");
    if (!outcome.notANumber.isEmpty())
        return QStringLiteral("a %1 box does not hold a number.").arg(boxLabel(outcome.notANumber));
    const VelocityResult& r = outcome.result;
    if (r.fault == VelocityFault::NotANumber && r.failedField == QLatin1String("sixtieths")) {
        const qsizetype rows = distances.count(u'\n');
        if (rows == 0 && member.trimmed().isEmpty())
            return QStringLiteral("no member is chosen. Please choose the member from the list.");
        if (rows == 0)
            return QStringLiteral("there is no distance for %1 from %2. Please choose the "
                                  "member from the list, or %3")
                .arg(member, racepoint,
                     onServer ? QStringLiteral("ask the federation's distance officer to add it.")
                              : QStringLiteral("add the distance under Enter Members Distances."));
        if (rows > 1)
            return QStringLiteral("there are %1 distances for %2 from %3, so Pellamy cannot tell "
                                  "which is right. ")
                       .arg(rows)
                       .arg(member, racepoint) +
                   please("Please keep the right one and delete the others under Enter Members "
                          "Distances.",
                          "keep one of them");
        if (distances.trimmed().isEmpty())
            return QStringLiteral("the distance for %1 from %2 is empty. ").arg(member, racepoint) +
                   please("Please fill it in under Enter Members Distances.", "fill it in");
        return QStringLiteral("the distance for %1 from %2 is not a number.")
            .arg(member, racepoint);
    }
    if (r.fault == VelocityFault::NotANumber)
        return QStringLiteral("a %1 box does not hold a number.").arg(boxLabel(r.failedField));
    if (r.fault == VelocityFault::DivisionByZero)
        return QStringLiteral("the clock times give no time at all between setting and reading, "
                              "or no flying time. Please check the times and dates.");
    return QStringLiteral("the figures are too large to work out. Please check the times and "
                          "dates.");
}

} // namespace pellamy
