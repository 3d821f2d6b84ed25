#pragma once
// The distance between a loft and a race point: the geodesic on the WGS84
// ellipsoid, worked out with GeographicLib. A build without GeographicLib
// has no geodesic and says so.

#include <QtGlobal>

#include <optional>

namespace pellamy {

bool geodesicAvailable();

// Metres along the shortest path on the WGS84 ellipsoid between two points
// given in degrees; none in a build without GeographicLib.
std::optional<double> geodesicMetres(double latitude1, double longitude1, double latitude2,
                                     double longitude2);

// Metres to yards (a yard is exactly 0.9144 m), rounded to the nearest yard
// as federations publish their distances.
qint64 nearestYards(double metres);

} // namespace pellamy
