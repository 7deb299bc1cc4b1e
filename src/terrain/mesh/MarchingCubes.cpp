#include "terrain/mesh/MarchingCubes.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "terrain/mesh/CaseTables.hpp"
#include "terrain/mesh/DensityFunction.hpp"

namespace {
constexpr int textureNoiseOctaves = 2;
constexpr int textureNoiseSeed = 10;
}  // namespace

void configureTextureNoise(noise::module::Perlin& noise) {
    noise.SetOctaveCount(textureNoiseOctaves);
    noise.SetSeed(textureNoiseSeed);
}

Imath::V3d interpolateCrossing(const Imath::V3d& pa, const Imath::V3d& pb, double da, double db) {
    if (std::fabs(da) < crossingEpsilon) return pa;
    if (std::fabs(db) < crossingEpsilon) return pb;
    if (std::fabs(da - db) < crossingEpsilon) return pa;
    const double mu = da / (da - db);
    return Imath::V3d(pa.x + mu * (pb.x - pa.x), pa.y + mu * (pb.y - pa.y), pa.z + mu * (pb.z - pa.z));
}

std::vector<double> sampleLattice(const DensityFunction& density, const MeshBox& box, double offset) {
    const int r = box.resolution;
    const double dx = (box.maxX - box.minX) / r;
    const double dy = (box.maxY - box.minY) / r;
    const double dz = (box.maxZ - box.minZ) / r;
    std::vector<double> samples(latticeIndex(box, r, r, r) + 1);
    std::size_t n = 0;
    for (int i = 0; i <= r; ++i) {
        const double x = box.minX + i * dx;
        for (int j = 0; j <= r; ++j) {
            const double y = box.minY + j * dy;
            for (int k = 0; k <= r; ++k) {
                samples[n++] = density.getDensity(x, y, box.minZ + k * dz, offset);
            }
        }
    }
    return samples;
}

bool polygoniseCell(VertexWelder& welder, std::vector<MeshTriangle>& triangles, const double values[8],
                    double x0, double x1, double y0, double y1, double z0, double z1) {
    int caseIndex = 0;
    for (int n = 0; n < 8; ++n) {
        if (values[n] > 0.0) caseIndex |= 1 << n;  // solid; zero and NaN count as air
    }
    const int crossed = edgeTable[caseIndex];
    if (crossed == 0) return true;

    const Imath::V3d corners[8] = {{x0, y0, z0}, {x0, y0, z1}, {x1, y0, z1}, {x1, y0, z0},
                                   {x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}};
    Imath::V3d crossing[12];
    for (int e = 0; e < 12; ++e) {
        if (crossed & (1 << e)) {
            const int a = e % 8;
            const int b = edgeEnd[e];
            crossing[e] = interpolateCrossing(corners[a], corners[b], values[a], values[b]);
        }
    }

    const int* row = triTable[caseIndex];
    for (int t = 0; row[t] != -1; t += 3) {
        int index[3];
        for (int c = 0; c < 3; ++c) {
            const Imath::V3d& p = crossing[row[t + c]];
            index[c] = welder.findOrAdd(MeshVertex{p.x, p.y, p.z, 0, 0, 0, 0, 0, 0});
            if (index[c] < 0) return false;
        }
        // The table's triangles face the solid corners; swapping two corners turns them to the air.
        triangles.push_back(MeshTriangle{static_cast<std::uint16_t>(index[0]),
                                         static_cast<std::uint16_t>(index[2]),
                                         static_cast<std::uint16_t>(index[1])});
    }
    return true;
}

bool polygoniseLattice(const MeshBox& box, const std::vector<double>& samples, VertexWelder& welder,
                       std::vector<MeshTriangle>& triangles) {
    const int r = box.resolution;
    const double dx = (box.maxX - box.minX) / r;
    const double dy = (box.maxY - box.minY) / r;
    const double dz = (box.maxZ - box.minZ) / r;
    // Offsets from sample (i, j, k) to the eight corners, in corner order.
    const std::size_t sk = 1;
    const std::size_t sj = static_cast<std::size_t>(r) + 1;
    const std::size_t si = sj * sj;
    const std::size_t cornerOffset[8] = {0, sk, si + sk, si, sj, sj + sk, si + sj + sk, si + sj};
    // Most cells lie wholly in the air or the ground: find those from one solid flag per sample
    // (the same test as the case index) without touching the cell any further.
    std::vector<std::uint8_t> solid(samples.size());
    for (std::size_t n = 0; n < samples.size(); ++n) solid[n] = samples[n] > 0.0;
    std::vector<int> faceSolid(static_cast<std::size_t>(r) + 1);
    for (int i = 0; i < r; ++i) {
        const double x0 = box.minX + i * dx;
        const double x1 = box.minX + (i + 1) * dx;
        for (int j = 0; j < r; ++j) {
            const double y0 = box.minY + j * dy;
            const double y1 = box.minY + (j + 1) * dy;
            // Per lattice plane k: how many of the four samples the column's cells share there are solid.
            const std::uint8_t* column = &solid[latticeIndex(box, i, j, 0)];
            for (int k = 0; k <= r; ++k) {
                faceSolid[k] = column[k] + column[k + si] + column[k + sj] + column[k + si + sj];
            }
            for (int k = 0; k < r; ++k) {
                // Solid corners of the cell: its lower-z face and its upper-z face.
                const int solidCorners = faceSolid[k] + faceSolid[k + 1];
                if (solidCorners == 0 || solidCorners == 8) continue;
                const std::size_t base = latticeIndex(box, i, j, k);
                double values[8];
                for (int n = 0; n < 8; ++n) values[n] = samples[base + cornerOffset[n]];
                const double z0 = box.minZ + k * dz;
                const double z1 = box.minZ + (k + 1) * dz;
                if (!polygoniseCell(welder, triangles, values, x0, x1, y0, y1, z0, z1)) return false;
            }
        }
    }
    return true;
}

void computeVertexAttributes(const DensityFunction& density, const noise::module::Perlin& textureNoise,
                             const MeshBox& box, std::vector<MeshVertex>& vertices) {
    using namespace terrainLayer;
    const double dx = (box.maxX - box.minX) / box.resolution;
    const double dy = (box.maxY - box.minY) / box.resolution;
    const double dz = (box.maxZ - box.minZ) / box.resolution;
    double step = dx;
    if (dy < step) step = dy;
    if (dz < step) step = dz;
    for (MeshVertex& v : vertices) {
        const Imath::V3d normal = density.getNormal(v.x, v.y, v.z, step);
        v.nx = normal.x;
        v.ny = normal.y;
        v.nz = normal.z;
        v.s = v.x / textureRepeat;
        v.t = v.z / textureRepeat;
        double up = normal.y;
        if (up < 0.0) up = 0.0;
        const double h = textureNoise.GetValue(v.x, v.y, v.z);
        const double level = h * snowLineNoiseScale + v.y > snowLine ? snow : grass;
        v.r = (1.0 - up) * steep + up * level;
    }
}

StagedMesh flattenMesh(const std::vector<MeshVertex>& vertices, const std::vector<MeshTriangle>& triangles) {
    StagedMesh mesh;
    mesh.vertexCount = static_cast<int>(vertices.size());
    mesh.triangleCount = static_cast<int>(triangles.size());
    if (!vertices.empty()) {
        mesh.vertexData.reset(new MeshVertex[vertices.size()]);
        std::copy(vertices.begin(), vertices.end(), mesh.vertexData.get());
    }
    if (!triangles.empty()) {
        mesh.indexData.reset(new MeshTriangle[triangles.size()]);
        std::copy(triangles.begin(), triangles.end(), mesh.indexData.get());
    }
    return mesh;
}

StagedMesh meshFromLattice(const DensityFunction& density, const noise::module::Perlin& textureNoise,
                           const MeshBox& box, const std::vector<double>& samples,
                           VertexWelder::Lookup lookup) {
    if (box.resolution < 1 || samples.size() != latticeIndex(box, box.resolution, box.resolution, box.resolution) + 1) {
        return StagedMesh();
    }
    std::vector<MeshVertex> vertices;
    std::vector<MeshTriangle> triangles;
    VertexWelder welder(vertices, box, lookup);
    if (!polygoniseLattice(box, samples, welder, triangles)) {
        // Wrapped 16-bit indices would draw a corrupt mesh: show nothing here instead.
        std::cout << "ERROR: Block mesh needs more than " << maxMeshVertices
                  << " vertices at resolution " << box.resolution << "; the block is left empty.\n"
                  << std::flush;
        return StagedMesh();
    }
    computeVertexAttributes(density, textureNoise, box, vertices);
    return flattenMesh(vertices, triangles);
}

StagedMesh buildMesh(const DensityFunction& density, const noise::module::Perlin& textureNoise,
                     const MeshBox& box, double offset) {
    if (box.resolution < 1) return StagedMesh();
    return meshFromLattice(density, textureNoise, box, sampleLattice(density, box, offset));
}
