// The geodesic of a build without GeographicLib (on Windows, say): there is
// none, and it says so, so the distances editor can tell the user.
#include "distances/geodesic.h"

int main() {
    return !pellamy::geodesicAvailable() && !pellamy::geodesicMetres(51, 0, 52, 1) ? 0 : 1;
}
