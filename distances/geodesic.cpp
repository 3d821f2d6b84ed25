#include "geodesic.h"

#include <cmath>

#ifdef PELLAMY_HAVE_GEOGRAPHICLIB
#include <GeographicLib/Geodesic.hpp>
#endif

namespace pellamy {

bool geodesicAvailable() {
#ifdef PELLAMY_HAVE_GEOGRAPHICLIB
    return true;
#else
    return false;
#endif
}

std::optional<double> geodesicMetres(double latitude1, double longitude1, double latitude2,
                                     double longitude2) {
#ifdef PELLAMY_HAVE_GEOGRAPHICLIB
    double metres = 0;
    GeographicLib::Geodesic::WGS84().Inverse(latitude1, longitude1, latitude2, longitude2, metres);
    return metres;
#else
    Q_UNUSED(latitude1);
    Q_UNUSED(longitude1);
    Q_UNUSED(latitude2);
    Q_UNUSED(longitude2);
    return std::nullopt;
#endif
}

qint64 nearestYards(double metres) {
    return qint64(std::llround(metres / 0.9144));
}

} // namespace pellamy
