#include "terrain/mesh/VertexWelder.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "terrain/mesh/MarchingCubes.hpp"

namespace {
MeshVertex at(double x, double y, double z) { return MeshVertex{x, y, z, 0, 0, 0, 0, 0, 0}; }
}  // namespace

TEST(VertexWelder, LinearScanReturnsTheEarliestVertexWithinTheTolerance) {
    std::vector<MeshVertex> vertices;
    EXPECT_EQ(findOrAddVertex(vertices, at(1.0, 2.0, 3.0)), 0);
    EXPECT_EQ(findOrAddVertex(vertices, at(1.0 + 1.5e-6, 2.0, 3.0)), 1);  // too far: new
    // Within the tolerance of both: the earlier one wins.
    EXPECT_EQ(findOrAddVertex(vertices, at(1.0 + 0.75e-6, 2.0, 3.0)), 0);
    EXPECT_EQ(findOrAddVertex(vertices, at(1.0 + 1.4e-6, 2.0, 3.0)), 1);
    EXPECT_EQ(findOrAddVertex(vertices, at(1.0, 2.0 + 0.9e-6, 3.0 - 0.9e-6)), 0);
    EXPECT_EQ(findOrAddVertex(vertices, at(1.0, 2.0, 3.0 + 1.0e-6 + 1e-12)), 2);
    EXPECT_EQ(vertices.size(), 3u);
}

TEST(VertexWelder, GridAgreesWithTheLinearScanOnClusteredPoints) {
    // Points in tight clusters, a fraction of the tolerance apart, on lattice planes and on the
    // borders between buckets (half-way between lattice planes), so that most queries match
    // several earlier vertices, often in a neighbouring bucket.
    const MeshBox box{-10.0, 10.0, 0.0, 5.0, 100.0, 104.0, 4};
    const double xs[] = {-7.5, -5.0, 2.5};
    const double ys[] = {0.625, 1.25, 5.0};
    const double zs[] = {100.5, 101.0, 103.5};
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, 2);
    std::uniform_int_distribution<int> wobble(-3, 3);
    for (int round = 0; round < 20; ++round) {
        std::vector<MeshVertex> gridVertices, scanVertices;
        VertexWelder welder(gridVertices, box);
        for (int n = 0; n < 300; ++n) {
            const MeshVertex v = at(xs[pick(random)] + wobble(random) * 0.45e-6, ys[pick(random)] + wobble(random) * 0.45e-6,
                                    zs[pick(random)] + wobble(random) * 0.45e-6);
            ASSERT_EQ(welder.findOrAdd(v), findOrAddVertex(scanVertices, v)) << "round " << round << " point " << n;
        }
        ASSERT_EQ(gridVertices.size(), scanVertices.size());
    }
}

TEST(VertexWelder, PositionsOutsideTheBoxOrNotFiniteBehaveAsInTheScan) {
    const MeshBox box{0.0, 1.0, 0.0, 1.0, 0.0, 1.0, 2};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const MeshVertex sequence[] = {at(-5.0, 0.5, 0.5), at(-5.0 + 1e-7, 0.5, 0.5), at(nan, 0.0, 0.0),
                                   at(nan, 0.0, 0.0),  at(inf, 0.0, 0.0),         at(inf, 0.0, 0.0),
                                   at(3e9, 1.0, 1.0),  at(3e9, 1.0, 1.0),         at(7.0, -9.0, 12.0),
                                   at(7.0, -9.0, 12.0 - 5e-7)};
    std::vector<MeshVertex> gridVertices, scanVertices;
    VertexWelder welder(gridVertices, box);
    for (const MeshVertex& v : sequence) EXPECT_EQ(welder.findOrAdd(v), findOrAddVertex(scanVertices, v));
    EXPECT_EQ(gridVertices.size(), 7u);  // the two NaNs and the two infinities never weld
}

TEST(VertexWelder, RefusesTheVertexBeyondSixteenBitIndices) {
    // 65,536 distinct points, one per lattice point of a 64-cell box and a few more.
    const MeshBox box{0.0, 0.64, 0.0, 0.64, 0.0, 0.64, 64};
    auto point = [](int n) { return at((n % 64) * 0.01, (n / 64 % 64) * 0.01, (n / 4096) * 0.01); };
    for (VertexWelder::Lookup lookup : {VertexWelder::Lookup::grid, VertexWelder::Lookup::linearScan}) {
        std::vector<MeshVertex> vertices;
        VertexWelder welder(vertices, box, lookup);
        if (lookup == VertexWelder::Lookup::linearScan) {
            // The scan is quadratic; fill the queue directly and check only the boundary.
            for (int n = 0; n < maxMeshVertices; ++n) vertices.push_back(point(n));
        } else {
            for (int n = 0; n < maxMeshVertices; ++n) ASSERT_EQ(welder.findOrAdd(point(n)), n);
        }
        EXPECT_EQ(welder.findOrAdd(at(2.0, 2.0, 2.0)), -1);
        EXPECT_EQ(vertices.size(), static_cast<std::size_t>(maxMeshVertices));
        // An existing vertex is still found.
        EXPECT_EQ(welder.findOrAdd(point(65535)), 65535);
    }
}
