#pragma once
// Marching-cubes polygoniser: the zero-crossing interpolation shared with the ground clamp, and the
// pure steps of a block's mesh build (lattice sampling, cell polygonising, vertex welding, vertex
// attributes, flattening into the GPU layout). Runs on block build threads and, for
// interpolateCrossing, on the main thread; nothing here touches OpenGL or shared state.
#include <Imath/ImathVec.h>
#include <libnoise/noise.h>

#include <memory>
#include <vector>

#include "terrain/mesh/MeshTypes.hpp"
#include "terrain/mesh/VertexWelder.hpp"

class DensityFunction;

// Snapping tolerance of interpolateCrossing: the single-precision 0.0001 widened to double.
constexpr double crossingEpsilon = static_cast<double>(0.0001f);

// The box a mesh is built in (world units) and its cells per edge (at least 1).
struct MeshBox {
    double minX, maxX, minY, maxY, minZ, maxZ;
    int resolution;
};

// A finished mesh in the GPU layout, exactly sized; both arrays are null when it is empty.
struct StagedMesh {
    std::unique_ptr<MeshVertex[]> vertexData;
    std::unique_ptr<MeshTriangle[]> indexData;
    int vertexCount = 0;
    int triangleCount = 0;
};

// Gives a block's texture-noise module its settings: octave count 2, seed 10, other parameters at
// the module's defaults. The noise picks where level ground counts as above the snow line.
void configureTextureNoise(noise::module::Perlin& noise);

// The point between pa and pb (densities da and db) where the density crosses zero, snapped to an
// end point whose density is within crossingEpsilon of zero.
Imath::V3d interpolateCrossing(const Imath::V3d& pa, const Imath::V3d& pb, double da, double db);

// Index of lattice point (i, j, k) in a sample array of box.resolution + 1 points per edge.
inline std::size_t latticeIndex(const MeshBox& box, int i, int j, int k) {
    const std::size_t points = static_cast<std::size_t>(box.resolution) + 1;
    return (static_cast<std::size_t>(i) * points + j) * points + k;
}

// The density (with offset) at every lattice point of box, i along x outermost, k along z inner.
std::vector<double> sampleLattice(const DensityFunction& density, const MeshBox& box, double offset);

// Polygonises one cell from its eight corner densities (corner order of the case tables) and its
// bounds; appends welded vertices and triangles counter-clockwise seen from the air. Returns false,
// adding no triangle, when a new vertex would not fit in 16-bit indices.
bool polygoniseCell(VertexWelder& welder, std::vector<MeshTriangle>& triangles, const double values[8],
                    double x0, double x1, double y0, double y1, double z0, double z1);

// Polygonises every cell of the sampled box in lattice order; false when the mesh needs more than
// maxMeshVertices vertices (the queues then hold a partial mesh).
bool polygoniseLattice(const MeshBox& box, const std::vector<double>& samples, VertexWelder& welder,
                       std::vector<MeshTriangle>& triangles);

// Fills each vertex's normal (from the density, with the box's smallest grid step) and its 3D
// texture coordinate (s, t repeat every 10 world units; r picks the texture layer).
void computeVertexAttributes(const DensityFunction& density, const noise::module::Perlin& textureNoise,
                             const MeshBox& box, std::vector<MeshVertex>& vertices);

// Copies the queues into exactly sized arrays in the GPU layout.
StagedMesh flattenMesh(const std::vector<MeshVertex>& vertices, const std::vector<MeshTriangle>& triangles);

// The mesh of an already sampled box. A mesh too large for 16-bit indices is replaced by an empty
// one, and one line says so.
StagedMesh meshFromLattice(const DensityFunction& density, const noise::module::Perlin& textureNoise,
                           const MeshBox& box, const std::vector<double>& samples,
                           VertexWelder::Lookup lookup = VertexWelder::Lookup::grid);

// The whole build of one block: sample, polygonise, weld, attributes, flatten.
StagedMesh buildMesh(const DensityFunction& density, const noise::module::Perlin& textureNoise,
                     const MeshBox& box, double offset);

// Texture layer coordinates (r) of the terrain's four-layer 3D texture.
namespace terrainLayer {
constexpr double steep = 0.33;      // vertical faces: next to the rock layer
constexpr double grass = 0.66;      // level ground below the snow line
constexpr double snow = 0.01;       // level ground above the snow line
constexpr double snowLine = 400.0;  // world units, lowered by 100 per unit of texture noise
constexpr double snowLineNoiseScale = 100.0;
constexpr double textureRepeat = 10.0;  // world units per texture repeat in x and z
}  // namespace terrainLayer
