#include "terrain/mesh/MarchingCubes.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "support/TestSupport.hpp"
#include "terrain/mesh/DensityFunction.hpp"

namespace {
struct CrossingCase {
    const char* name;
    double da, db;
    Imath::V3d expected;
};
}  // namespace

TEST(InterpolateCrossing, SnapsAndInterpolatesInOrder) {
    const Imath::V3d pa(1.0, 2.0, 3.0);
    const Imath::V3d pb(3.0, 6.0, -1.0);
    const double eps = 9.999999747378752e-05;  // single-precision 0.0001
    const CrossingCase cases[] = {
        {"halfway", 1.0, -1.0, Imath::V3d(2.0, 4.0, 1.0)},
        {"quarter", 1.0, -3.0, Imath::V3d(1.5, 3.0, 2.0)},
        {"reversed signs", -3.0, 1.0, Imath::V3d(2.5, 5.0, 0.0)},
        {"first end near zero", 0.5 * eps, -1.0, pa},
        {"both near zero takes the first", 0.5 * eps, -0.5 * eps, pa},
        {"second end near zero", 2.0, -0.5 * eps, pb},
        {"exact zero second", 2.0, 0.0, pb},
        {"just outside the tolerance interpolates", 2.0 * eps, -2.0 * eps, Imath::V3d(2.0, 4.0, 1.0)},
        {"equal densities", 0.3, 0.3 + 0.5 * eps, pa},
    };
    for (const CrossingCase& c : cases) {
        const Imath::V3d p = interpolateCrossing(pa, pb, c.da, c.db);
        EXPECT_NEAR(p.x, c.expected.x, 1e-12) << c.name;
        EXPECT_NEAR(p.y, c.expected.y, 1e-12) << c.name;
        EXPECT_NEAR(p.z, c.expected.z, 1e-12) << c.name;
    }
}

TEST(InterpolateCrossing, ToleranceIsTheWidenedSinglePrecisionValue) {
    const Imath::V3d pa(0.0, 0.0, 0.0);
    const Imath::V3d pb(1.0, 0.0, 0.0);
    // 0.0001 in double is above the widened float value, so it is not snapped.
    EXPECT_EQ(interpolateCrossing(pa, pb, 9.9999997e-05, -1.0), pa);
    const Imath::V3d p = interpolateCrossing(pa, pb, 0.0001, -1.0);
    EXPECT_NE(p, pa);
    EXPECT_NEAR(p.x, 0.0001 / 1.0001, 1e-15);
}

namespace {

// A lattice of box sampled from an arbitrary field (x, y, z) -> density.
std::vector<double> latticeOf(const MeshBox& box, const std::function<double(double, double, double)>& field) {
    const int r = box.resolution;
    std::vector<double> samples(latticeIndex(box, r, r, r) + 1);
    const double dx = (box.maxX - box.minX) / r, dy = (box.maxY - box.minY) / r, dz = (box.maxZ - box.minZ) / r;
    for (int i = 0; i <= r; ++i)
        for (int j = 0; j <= r; ++j)
            for (int k = 0; k <= r; ++k)
                samples[latticeIndex(box, i, j, k)] = field(box.minX + i * dx, box.minY + j * dy, box.minZ + k * dz);
    return samples;
}

struct Queues {
    std::vector<MeshVertex> vertices;
    std::vector<MeshTriangle> triangles;
};

Queues polygonise(const MeshBox& box, const std::vector<double>& samples) {
    Queues q;
    VertexWelder welder(q.vertices, box);
    EXPECT_TRUE(polygoniseLattice(box, samples, welder, q.triangles));
    return q;
}

Imath::V3d positionOf(const MeshVertex& v) { return Imath::V3d(v.x, v.y, v.z); }

// Normal of a stored triangle by the right-hand rule (counter-clockwise seen from where it points).
Imath::V3d windingNormal(const Queues& q, const MeshTriangle& t) {
    const Imath::V3d a = positionOf(q.vertices[t.a]), b = positionOf(q.vertices[t.b]), c = positionOf(q.vertices[t.c]);
    return (b - a).cross(c - a);
}

const DensityFunction& sharedField() {
    static const DensityFunction field;
    return field;
}

noise::module::Perlin makeTextureNoise() {
    noise::module::Perlin noise;
    configureTextureNoise(noise);
    return noise;
}

}  // namespace

TEST(Polygoniser, AllAirAndAllSolidBoxesAreEmpty) {
    const MeshBox box{0.0, 8.0, 0.0, 8.0, 0.0, 8.0, 4};
    const noise::module::Perlin texture = makeTextureNoise();
    for (double value : {-1.0, 0.0, 2.5, std::nan("")}) {
        const StagedMesh mesh = meshFromLattice(sharedField(), texture, box, latticeOf(box, [&](double, double, double) { return value; }));
        EXPECT_EQ(mesh.vertexCount, 0) << value;
        EXPECT_EQ(mesh.triangleCount, 0) << value;
        EXPECT_EQ(mesh.vertexData, nullptr);
        EXPECT_EQ(mesh.indexData, nullptr);
    }
}

TEST(Polygoniser, HorizontalPlaneWeldsIntoOneSheetFacingUp) {
    // Density a - y with the plane strictly between two sample layers; odd box bounds so that the
    // crossings carry rounding.
    for (int r : {1, 3, 7, 12}) {
        const MeshBox box{-3.3, 17.9, 0.1, 9.7, 41.0, 44.4, r};
        const double dy = (box.maxY - box.minY) / r;
        const double a = box.minY + (r / 2) * dy + 0.37 * dy;
        const Queues q = polygonise(box, latticeOf(box, [a](double, double y, double) { return a - y; }));
        EXPECT_EQ(q.vertices.size(), static_cast<std::size_t>((r + 1) * (r + 1))) << "R = " << r;
        EXPECT_EQ(q.triangles.size(), static_cast<std::size_t>(2 * r * r)) << "R = " << r;
        for (const MeshVertex& v : q.vertices) EXPECT_NEAR(v.y, a, 1e-9);
        for (const MeshTriangle& t : q.triangles) {
            const Imath::V3d n = windingNormal(q, t);
            EXPECT_GT(n.y, 0.0);
            EXPECT_NEAR(n.x, 0.0, 1e-9);
            EXPECT_NEAR(n.z, 0.0, 1e-9);
        }
    }
}

TEST(Polygoniser, CrossingsFromOppositeDirectionsWeld) {
    // A plane z = c: the crossed lattice edges run along z, and neighbouring cells interpolate them
    // as edge 0 (towards +z) and edge 2 (towards -z), so the two results differ by rounding.
    const MeshBox box{0.1, 0.7, -0.3, 0.9, 0.13, 0.71, 5};
    const double c = 0.3137;
    const Queues q = polygonise(box, latticeOf(box, [c](double, double, double z) { return c - z; }));
    EXPECT_EQ(q.vertices.size(), 36u);
    EXPECT_EQ(q.triangles.size(), 50u);
    for (const MeshTriangle& t : q.triangles) EXPECT_GT(windingNormal(q, t).z, 0.0);  // towards the air
}

TEST(Polygoniser, SingleSolidCornerStoresCrossingsZeroThreeEight) {
    std::vector<MeshVertex> vertices;
    std::vector<MeshTriangle> triangles;
    const MeshBox box{0.0, 2.0, 0.0, 2.0, 0.0, 2.0, 1};
    VertexWelder welder(vertices, box);
    const double values[8] = {1.0, -1.0, -1.0, -3.0, -1.0, -1.0, -1.0, -1.0};
    ASSERT_TRUE(polygoniseCell(welder, triangles, values, 0.0, 2.0, 0.0, 2.0, 0.0, 2.0));
    ASSERT_EQ(vertices.size(), 3u);
    ASSERT_EQ(triangles.size(), 1u);
    // Vertices are added in table order: crossings of edges 0, 8, 3.
    EXPECT_EQ(positionOf(vertices[0]), Imath::V3d(0.0, 0.0, 1.0));  // edge 0, halfway along z
    EXPECT_EQ(positionOf(vertices[1]), Imath::V3d(0.0, 1.0, 0.0));  // edge 8, halfway up
    EXPECT_EQ(positionOf(vertices[2]), Imath::V3d(0.5, 0.0, 0.0));  // edge 3, a quarter along x
    // Stored as crossings 0, 3, 8.
    EXPECT_EQ(triangles[0].a, 0);
    EXPECT_EQ(triangles[0].b, 2);
    EXPECT_EQ(triangles[0].c, 1);
    for (const MeshVertex& v : vertices) {
        EXPECT_EQ(v.nx, 0.0);
        EXPECT_EQ(v.r, 0.0);
    }
}

TEST(Polygoniser, NearZeroCornersSnapAndStillEmitTheTriangle) {
    std::vector<MeshVertex> vertices;
    std::vector<MeshTriangle> triangles;
    const MeshBox box{0.0, 1.0, 0.0, 1.0, 0.0, 1.0, 1};
    VertexWelder welder(vertices, box);
    // Corner 0 barely solid: all three crossings snap onto it and weld into one vertex.
    const double values[8] = {0.00005, -1.0, -1.0, -1.0, -1.0, -1.0, -1.0, -1.0};
    ASSERT_TRUE(polygoniseCell(welder, triangles, values, 0.0, 1.0, 0.0, 1.0, 0.0, 1.0));
    ASSERT_EQ(vertices.size(), 1u);
    EXPECT_EQ(positionOf(vertices[0]), Imath::V3d(0.0, 0.0, 0.0));
    ASSERT_EQ(triangles.size(), 1u);
    EXPECT_EQ(triangles[0].a, 0);
    EXPECT_EQ(triangles[0].b, 0);
    EXPECT_EQ(triangles[0].c, 0);
}

TEST(Polygoniser, BothEndsNearZeroSnapToEachCellsFirstCorner) {
    // The lattice edge x = 1, y = 0, from z = 0 (density -0.00005) to z = 1 (+0.00005). The cell on
    // its left runs it as edge 2 (from z = 1), the cell on its right as edge 0 (from z = 0).
    const double nearZeroLow = -0.00005, nearZeroHigh = 0.00005;
    std::vector<MeshTriangle> triangles;
    {
        std::vector<MeshVertex> vertices;
        const MeshBox box{0.0, 1.0, 0.0, 1.0, 0.0, 1.0, 1};
        VertexWelder welder(vertices, box);
        const double left[8] = {-1.0, -1.0, nearZeroHigh, nearZeroLow, -1.0, -1.0, -1.0, -1.0};
        ASSERT_TRUE(polygoniseCell(welder, triangles, left, 0.0, 1.0, 0.0, 1.0, 0.0, 1.0));
        EXPECT_EQ(positionOf(vertices[0]), Imath::V3d(1.0, 0.0, 1.0));
    }
    {
        std::vector<MeshVertex> vertices;
        const MeshBox box{1.0, 2.0, 0.0, 1.0, 0.0, 1.0, 1};
        VertexWelder welder(vertices, box);
        const double right[8] = {nearZeroLow, nearZeroHigh, -1.0, -1.0, -1.0, -1.0, -1.0, -1.0};
        ASSERT_TRUE(polygoniseCell(welder, triangles, right, 1.0, 2.0, 0.0, 1.0, 0.0, 1.0));
        EXPECT_EQ(positionOf(vertices[0]), Imath::V3d(1.0, 0.0, 0.0));
    }
}

TEST(Polygoniser, GridWeldingMatchesTheLinearScanOnRealBlocks) {
    // Boxes of every ring (edge, density offset, resolution) around the start position and on the
    // mountain flank, as built and with the densities squeezed towards zero so that many crossings
    // snap onto lattice points.
    struct Ring {
        double edge, offset;
        int resolution;
    } rings[] = {{500.0, -25.0, 12}, {250.0, -10.0, 14}, {100.0, 0.0, 20}};
    const double corners[][3] = {{0.0, -1.0, 0.0}, {-1.0, -1.0, 0.0}, {2.0, 1.0, 2.0}};
    const noise::module::Perlin texture = makeTextureNoise();
    int compared = 0;
    for (const Ring& ring : rings) {
        for (const auto& c : corners) {
            const MeshBox box{c[0] * ring.edge, (c[0] + 1) * ring.edge, c[1] * ring.edge, (c[1] + 1) * ring.edge,
                              c[2] * ring.edge, (c[2] + 1) * ring.edge, ring.resolution};
            std::vector<double> samples = sampleLattice(sharedField(), box, ring.offset);
            for (double squeeze : {1.0, 4e-6}) {
                std::vector<double> squeezed(samples);
                for (double& s : squeezed) s *= squeeze;
                const StagedMesh fast = meshFromLattice(sharedField(), texture, box, squeezed);
                const StagedMesh reference =
                    meshFromLattice(sharedField(), texture, box, squeezed, VertexWelder::Lookup::linearScan);
                ASSERT_EQ(fast.vertexCount, reference.vertexCount);
                ASSERT_EQ(fast.triangleCount, reference.triangleCount);
                if (fast.vertexCount == 0) continue;
                EXPECT_EQ(std::memcmp(fast.vertexData.get(), reference.vertexData.get(),
                                      sizeof(MeshVertex) * fast.vertexCount), 0);
                EXPECT_EQ(std::memcmp(fast.indexData.get(), reference.indexData.get(),
                                      sizeof(MeshTriangle) * fast.triangleCount), 0);
                ++compared;
            }
        }
    }
    EXPECT_GE(compared, 8);  // the boxes really cross the surface
}

TEST(Polygoniser, MeshBeyondSixteenBitIndicesIsLeftEmptyWithOneLine) {
    // Alternating signs cross every lattice edge: 3·R·(R + 1)² vertices.
    auto checkerboard = [](const MeshBox& box) {
        std::vector<double> samples(latticeIndex(box, box.resolution, box.resolution, box.resolution) + 1);
        for (int i = 0; i <= box.resolution; ++i)
            for (int j = 0; j <= box.resolution; ++j)
                for (int k = 0; k <= box.resolution; ++k) samples[latticeIndex(box, i, j, k)] = (i + j + k) % 2 ? 1.0 : -1.0;
        return samples;
    };
    const noise::module::Perlin texture = makeTextureNoise();
    {
        const MeshBox box{0.0, 32.0, 0.0, 32.0, 0.0, 32.0, 32};  // 104,544 vertices needed
        CapturedStdout out;
        const StagedMesh mesh = meshFromLattice(sharedField(), texture, box, checkerboard(box));
        EXPECT_EQ(mesh.vertexCount, 0);
        EXPECT_EQ(mesh.triangleCount, 0);
        EXPECT_EQ(out.text(), "ERROR: Block mesh needs more than 65536 vertices at resolution 32; the block is left empty.\n");
    }
    {
        const MeshBox box{0.0, 20.0, 0.0, 20.0, 0.0, 20.0, 20};  // 26,460: fits
        CapturedStdout out;
        std::vector<MeshVertex> vertices;
        std::vector<MeshTriangle> triangles;
        VertexWelder welder(vertices, box);
        ASSERT_TRUE(polygoniseLattice(box, checkerboard(box), welder, triangles));
        EXPECT_EQ(vertices.size(), 26460u);
        for (const MeshTriangle& t : triangles) EXPECT_LT(std::max({t.a, t.b, t.c}), 26460);
        EXPECT_EQ(out.text(), "");
    }
}

TEST(Polygoniser, VertexAttributesFollowTheFieldAndTheSnowLine) {
    // Unequal steps: the normal uses the smallest (dz = 0.5).
    const MeshBox box{0.0, 12.0, -4.0, 8.0, 30.0, 33.0, 6};
    const noise::module::Perlin texture = makeTextureNoise();
    std::vector<MeshVertex> vertices = {
        {-10.0, 5.0, 70.0, 0, 0, 0, 0, 0, 0},   // the flat plateau, low: grass
        {500.0, 1000.0, 500.0, 0, 0, 0, 0, 0, 0},  // the mountain top, high: snow
        {123.0, -7.0, 45.0, 0, 0, 0, 0, 0, 0},
    };
    computeVertexAttributes(sharedField(), texture, box, vertices);
    for (const MeshVertex& v : vertices) {
        const Imath::V3d n = sharedField().getNormal(v.x, v.y, v.z, 0.5);
        EXPECT_EQ(v.nx, n.x);
        EXPECT_EQ(v.ny, n.y);
        EXPECT_EQ(v.nz, n.z);
        EXPECT_DOUBLE_EQ(v.s, v.x / 10.0);
        EXPECT_DOUBLE_EQ(v.t, v.z / 10.0);
        EXPECT_GE(v.r, 0.01);
        EXPECT_LE(v.r, 0.66);
    }
    // The level-ground layer the slope blends towards: grass low down, snow high up.
    auto levelLayer = [](const MeshVertex& v) { return (v.r - (1 - v.ny) * 0.33) / v.ny; };
    ASSERT_GT(vertices[0].ny, 0.1);
    ASSERT_GT(vertices[1].ny, 0.1);
    EXPECT_NEAR(levelLayer(vertices[0]), 0.66, 1e-9);
    EXPECT_NEAR(levelLayer(vertices[1]), 0.01, 1e-9);
}

TEST(Polygoniser, SnowLineFollowsTheTextureNoiseAtTheVertex) {
    // Level ground counts as snow where y > 400 - 100·h, h the texture noise at the vertex itself:
    // high noise brings snow below height 400, low noise keeps grass above it.
    const MeshBox box{0.0, 10.0, 0.0, 10.0, 0.0, 10.0, 10};
    const noise::module::Perlin texture = makeTextureNoise();
    const struct {
        const char* name;
        double x, y, z;
        double layer;
    } cases[] = {
        {"snow below 400", 0.0, 380.0, 15.3, 0.01},
        {"snow below 400, elsewhere", 0.0, 380.0, 40.8, 0.01},
        {"grass above 400", 0.0, 420.0, 20.4, 0.66},
    };
    for (const auto& c : cases) {
        const double h = texture.GetValue(c.x, c.y, c.z);
        ASSERT_EQ(h * 100.0 + c.y > 400.0, c.layer == 0.01) << c.name << ": the fixture point's noise";
        ASSERT_EQ(c.y > 400.0, c.layer == 0.66) << c.name << ": height alone must point the other way";
        std::vector<MeshVertex> vertices = {{c.x, c.y, c.z, 0, 0, 0, 0, 0, 0}};
        computeVertexAttributes(sharedField(), texture, box, vertices);
        const MeshVertex& v = vertices[0];
        ASSERT_GT(v.ny, 0.5) << c.name << ": open plain, the normal leans up";
        EXPECT_NEAR((v.r - (1 - v.ny) * 0.33) / v.ny, c.layer, 1e-9) << c.name;
    }
}

TEST(Polygoniser, ResolutionOneIsTheBoxCorners) {
    const MeshBox box{10.0, 20.0, -5.0, 5.0, 0.0, 10.0, 1};
    const std::vector<double> samples = sampleLattice(sharedField(), box, 0.0);
    ASSERT_EQ(samples.size(), 8u);
    EXPECT_EQ(samples[latticeIndex(box, 1, 0, 1)], sharedField().getDensity(20.0, -5.0, 10.0, 0.0));
    EXPECT_EQ(samples[latticeIndex(box, 0, 1, 0)], sharedField().getDensity(10.0, 5.0, 0.0, 0.0));
    // A plane through the single cell: four vertices, two triangles.
    const Queues q = polygonise(box, latticeOf(box, [](double, double y, double) { return 1.0 - y; }));
    EXPECT_EQ(q.vertices.size(), 4u);
    EXPECT_EQ(q.triangles.size(), 2u);
}

TEST(Polygoniser, BuildOfABoxAtTheStartIsAClosedSheetOfUnitNormals) {
    const MeshBox box{0.0, 100.0, -50.0, 50.0, 0.0, 100.0, 20};
    const StagedMesh mesh = buildMesh(sharedField(), makeTextureNoise(), box, 0.0);
    ASSERT_GT(mesh.triangleCount, 100);
    for (int n = 0; n < mesh.vertexCount; ++n) {
        const MeshVertex& v = mesh.vertexData[n];
        EXPECT_NEAR(std::sqrt(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz), 1.0, 1e-9);
        EXPECT_NEAR(sharedField().getDensity(v.x, v.y, v.z, 0.0), 0.0, 2.0);  // on the surface, within the
        // error of linear interpolation over 5-unit cells
    }
    for (int n = 0; n < mesh.triangleCount; ++n) {
        const MeshTriangle& t = mesh.indexData[n];
        ASSERT_LT(std::max({t.a, t.b, t.c}), mesh.vertexCount);
        // Counter-clockwise from the air: the winding normal agrees with the field's normal.
        const MeshVertex& a = mesh.vertexData[t.a];
        const Imath::V3d winding = (Imath::V3d(mesh.vertexData[t.b].x, mesh.vertexData[t.b].y, mesh.vertexData[t.b].z) - Imath::V3d(a.x, a.y, a.z))
                                       .cross(Imath::V3d(mesh.vertexData[t.c].x, mesh.vertexData[t.c].y, mesh.vertexData[t.c].z) - Imath::V3d(a.x, a.y, a.z));
        if (winding.length() > 1e-6) EXPECT_GT(winding.dot(Imath::V3d(a.nx, a.ny, a.nz)), 0.0);
    }
}
