// Fuzzes the reading of a typed latitude or longitude.
//
//   scripts/fuzz [seconds]
//
// Whatever is read lies within its range (latitude to 90°, longitude to
// 180°, either way), and its normal form reads back as the same value.

#include "distances/coordinates.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr qint64 kPerDegree = qint64(3600) * 1000000000;

void check(const QString& text, pellamy::Axis axis) {
    const pellamy::CoordinateReading read = pellamy::readCoordinate(text, axis);
    if (read.nanoArcseconds.has_value() == !read.error.isEmpty())
        std::abort(); // a value with a reason, or neither
    if (!read.nanoArcseconds)
        return;
    const qint64 value = *read.nanoArcseconds;
    const qint64 limit = (axis == pellamy::Axis::Latitude ? 90 : 180) * kPerDegree;
    if (value > limit || value < -limit)
        std::abort();
    const double degrees = pellamy::coordinateDegrees(value);
    if (!(std::fabs(degrees) <= (axis == pellamy::Axis::Latitude ? 90 : 180)))
        std::abort();
    const QString shown = pellamy::coordinateText(value, axis);
    const pellamy::CoordinateReading again = pellamy::readCoordinate(shown, axis);
    // Nought has no hemisphere to lose; any other value keeps its sign.
    if (!again.nanoArcseconds || *again.nanoArcseconds != value)
        std::abort();
    if (pellamy::coordinateText(*again.nanoArcseconds, axis) != shown)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    check(text, pellamy::Axis::Latitude);
    check(text, pellamy::Axis::Longitude);
    return 0;
}
