#include "terrain/mesh/MarchingCubes.hpp"

#include <cmath>

Imath::V3d interpolateCrossing(const Imath::V3d& pa, const Imath::V3d& pb, double da, double db) {
    if (std::fabs(da) < crossingEpsilon) return pa;
    if (std::fabs(db) < crossingEpsilon) return pb;
    if (std::fabs(da - db) < crossingEpsilon) return pa;
    const double mu = da / (da - db);
    return Imath::V3d(pa.x + mu * (pb.x - pa.x), pa.y + mu * (pb.y - pa.y), pa.z + mu * (pb.z - pa.z));
}
