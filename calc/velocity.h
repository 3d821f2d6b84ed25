#pragma once
// The velocity arithmetic: clock variation, actual flying time and velocity
// in yards per minute from one bird's clock readings.

#include "calculatorfields.h"

#include <QString>

#include <optional>

namespace pellamy {

enum class VelocityFault {
    None,
    NotANumber,     // a field (or the distance) does not read as one number
    DivisionByZero, // the clock ran no time at all, or a flying time of zero
    Overflow,       // a result that is not finite or too large for whole division
};

// The result fields, each holding general number text once its step has
// written it; fields after a failed step stay empty.
struct VelocityResult {
    std::optional<QString> variation;
    std::optional<QString> FTHrs, FTMins, FTSecs;
    std::optional<QString> velocity;
    std::optional<QString> Textcon2, miles, textcon4, textcon5, yards;
    std::optional<QString> Text1;

    // The set error E1 in seconds (member's clock ahead of the master clock
    // when set), handed to the caller for the race entry.
    std::optional<double> setError;
    // What the member's clock gained on the master clock between being set
    // and being read (G), in seconds; the variation is the share of it by the
    // time the bird was clocked.
    std::optional<double> gain;

    VelocityFault fault = VelocityFault::None;
    int failedStep = 0;  // 1 to 25; 0 when every step ran
    QString failedField; // the field that was not a number, if that was the fault

    bool ok() const { return fault == VelocityFault::None; }
};

// Runs the 25 steps on the fields' texts. Every result that a later step
// reads is first written as general number text and read back from it, so
// the figures are exactly those the fields show.
VelocityResult calculateVelocity(const CalculatorFields& fields);

} // namespace pellamy
