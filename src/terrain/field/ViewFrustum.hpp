#pragma once
// The view volume of one frame, built from the projection and model-view matrices in force, and the
// conservative test the terrain uses to skip blocks that cannot put a single sample on screen.
// Pure arithmetic on doubles; the main thread builds one per frame from the OpenGL matrices.
#include "terrain/mesh/MarchingCubes.hpp"

class ViewFrustum {
public:
    // Column-major 4 by 4 matrices, as glGetDoublev returns them.
    ViewFrustum(const double projection[16], const double modelView[16]);

    // True only when the whole box lies beyond one of the six clip planes, by a margin wider than
    // the single-precision rounding of the OpenGL pipeline. A box with any part in view, or one the
    // eye is inside, is never outside.
    bool outside(const MeshBox& box) const;

    double clip[16];  // projection times model-view, column-major: world to clip coordinates
};
