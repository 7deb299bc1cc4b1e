#pragma once
// The ground clamp that keeps the camera out of the ground: given the camera's position before and
// after a move, the position to use instead. Works on the density field itself, so it holds where
// no block has been built yet. Main thread; the field is only read.
#include <Imath/ImathVec.h>

#include "terrain/mesh/MarchingCubes.hpp"

namespace groundclamp {
constexpr double touchOffset = 1.0;     // density offset of the touch test: about one unit of margin
constexpr double surfaceOffset = 0.0;   // density offset of the walk out of the ground
constexpr double normalStep = 0.1;      // world units, spacing of the normal's central differences
constexpr int normalWalkLimit = 200;    // unit steps along the normal before walking straight up
constexpr int upwardWalkLimit = 100000; // unit steps straight up; the field falls by one per unit of
                                        // height, so only a broken field can reach this
}  // namespace groundclamp

// Field: anything with getDensity(x, y, z, offset) and getNormal(x, y, z, step) like the
// DensityFunction. Returns newPosition unchanged while it is in the air with a margin of one density
// unit; otherwise a point pushed out of the ground along the surface normal. Where unit steps along
// that normal do not reach the air within normalWalkLimit steps (a zero or misleading normal) the
// walk goes straight up instead; should even that not end, the camera stays at oldPosition.
template <typename Field>
Imath::V3d clampAboveGround(const Field& field, const Imath::V3d& oldPosition, const Imath::V3d& newPosition) {
    using groundclamp::surfaceOffset;
    const auto densityAt = [&field](const Imath::V3d& p, double offset) {
        return field.getDensity(p.x, p.y, p.z, offset);
    };

    const double dNew = densityAt(newPosition, groundclamp::touchOffset);
    // In the air with margin, or exactly on the margin surface: nothing to do.
    if (!(dNew > 0)) return newPosition;

    const double dOld = densityAt(oldPosition, groundclamp::touchOffset);
    const Imath::V3d p = interpolateCrossing(oldPosition, newPosition, dOld, dNew);
    const Imath::V3d n = field.getNormal(p.x, p.y, p.z, groundclamp::normalStep);

    Imath::V3d q = newPosition + n;
    double dq = densityAt(q, surfaceOffset);
    for (int step = 1; dq > 0 && step < groundclamp::normalWalkLimit; ++step) {
        q += n;
        dq = densityAt(q, surfaceOffset);
    }
    if (dq > 0) {
        const Imath::V3d up(0.0, 1.0, 0.0);
        q = newPosition + up;
        dq = densityAt(q, surfaceOffset);
        for (int step = 1; dq > 0 && step < groundclamp::upwardWalkLimit; ++step) {
            q += up;
            dq = densityAt(q, surfaceOffset);
        }
        if (dq > 0) return oldPosition;
    }
    return interpolateCrossing(newPosition, q, dNew, dq);
}
