#pragma once
// Marching-cubes polygoniser: the zero-crossing interpolation shared with the ground clamp, and the
// pure steps of a block's mesh build (lattice sampling, cell polygonising, vertex welding, vertex
// attributes, flattening into the GPU layout). Runs on block build threads and, for
// interpolateCrossing, on the main thread; nothing here touches OpenGL or shared state.
#include <Imath/ImathVec.h>

// Snapping tolerance of interpolateCrossing: the single-precision 0.0001 widened to double.
constexpr double crossingEpsilon = static_cast<double>(0.0001f);

// The point between pa and pb (densities da and db) where the density crosses zero, snapped to an
// end point whose density is within crossingEpsilon of zero.
Imath::V3d interpolateCrossing(const Imath::V3d& pa, const Imath::V3d& pb, double da, double db);
