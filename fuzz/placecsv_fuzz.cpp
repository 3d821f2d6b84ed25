// Fuzzes the import of lofts or race points from a CSV file.
//
//   scripts/fuzz [seconds]
//
// A file is imported whole or not at all; each place imported has a name
// the list can hold, once, with ordinary blanks only, and coordinates in
// their normal form.

#include "distances/coordinates.h"
#include "distances/placecsv.h"

#include <QSet>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kNameLimit = 20; // the lofts' list

void checkCoordinate(const QString& text, pellamy::Axis axis) {
    const pellamy::CoordinateReading read = pellamy::readCoordinate(text, axis);
    if (!read.nanoArcseconds || pellamy::coordinateText(*read.nanoArcseconds, axis) != text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const pellamy::PlaceImport import = pellamy::readPlaceCsv(bytes, kNameLimit);
    if (!import.error.isEmpty() && !import.places.isEmpty())
        std::abort();
    QSet<QString> names;
    for (const pellamy::Place& place : import.places) {
        if (place.name.isEmpty() || place.name != place.name.trimmed() ||
            place.name.size() > kNameLimit)
            std::abort();
        // No control character, and no blank but the ordinary one.
        for (QChar c : place.name)
            if (c.category() == QChar::Other_Control ||
                (c.category() == QChar::Separator_Space && c != u' '))
                std::abort();
        const QString key = pellamy::nocaseKey(place.name);
        if (names.contains(key))
            std::abort();
        names.insert(key);
        checkCoordinate(place.latitude, pellamy::Axis::Latitude);
        checkCoordinate(place.longitude, pellamy::Axis::Longitude);
    }
    return 0;
}
