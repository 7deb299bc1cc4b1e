#include "terrain/field/ViewFrustum.hpp"

#include <cmath>

namespace {
// Relative margin of the plane tests. OpenGL clips and rasterises in single precision (about 6e-8
// relative, a few roundings per coordinate); a corner counts as beyond a plane only when it is
// beyond it by a hundred times that.
constexpr double planeMargin = 1e-5;
}  // namespace

ViewFrustum::ViewFrustum(const double projection[16], const double modelView[16]) {
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += projection[k * 4 + row] * modelView[column * 4 + k];
            clip[column * 4 + row] = sum;
        }
    }
}

bool ViewFrustum::outside(const MeshBox& box) const {
    // Clip coordinates of the eight corners. The clip volume is -w <= x, y, z <= w, an intersection
    // of half-spaces that are linear in the corner's homogeneous coordinates, so a box whose eight
    // corners all lie beyond one plane lies wholly beyond it, behind the eye included.
    double corners[8][4];
    for (int corner = 0; corner < 8; ++corner) {
        const double x = (corner & 1) ? box.maxX : box.minX;
        const double y = (corner & 2) ? box.maxY : box.minY;
        const double z = (corner & 4) ? box.maxZ : box.minZ;
        for (int row = 0; row < 4; ++row) {
            corners[corner][row] = clip[row] * x + clip[4 + row] * y + clip[8 + row] * z + clip[12 + row];
        }
    }
    // Plane p: axis p / 2 against +w (p odd) or -w (p even).
    for (int plane = 0; plane < 6; ++plane) {
        const int axis = plane / 2;
        const double sign = (plane % 2 == 0) ? -1.0 : 1.0;
        bool allBeyond = true;
        for (int corner = 0; corner < 8 && allBeyond; ++corner) {
            const double c = sign * corners[corner][axis];
            const double w = corners[corner][3];
            // Beyond the plane c <= w by more than the margin.
            allBeyond = c - w > planeMargin * (std::fabs(c) + std::fabs(w));
        }
        if (allBeyond) return true;
    }
    return false;
}
