#include "terrain/mesh/CaseTables.hpp"

#include <gtest/gtest.h>

#include <Imath/ImathVec.h>

#include <vector>

namespace {
// Corner positions of a unit cell in the tables' corner numbering.
const Imath::V3d cornerPosition[8] = {{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0},
                                      {0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}};
}  // namespace

TEST(CaseTables, EdgeTableIsWhatTheEdgeNumberingYields) {
    for (int m = 0; m < 256; ++m) {
        int expected = 0;
        for (int e = 0; e < 12; ++e) {
            const bool first = (m >> (e % 8)) & 1;
            const bool second = (m >> edgeEnd[e]) & 1;
            if (first != second) expected |= 1 << e;
        }
        EXPECT_EQ(edgeTable[m], expected) << "case " << m;
    }
    const int start[] = {0x000, 0x109, 0x203, 0x30a, 0x406, 0x50f};
    for (int m = 0; m < 6; ++m) EXPECT_EQ(edgeTable[m], start[m]);
}

TEST(CaseTables, TelltaleTriangleRows) {
    const struct {
        int row;
        std::vector<int> edges;
    } rows[] = {
        {0, {}},
        {1, {0, 8, 3}},
        {2, {0, 1, 9}},
        {3, {1, 8, 3, 9, 8, 1}},
        {15, {9, 8, 10, 10, 8, 11}},
        {254, {0, 3, 8}},
        {255, {}},
    };
    for (const auto& r : rows) {
        std::vector<int> edges;
        for (int i = 0; i < 16 && triTable[r.row][i] != -1; ++i) edges.push_back(triTable[r.row][i]);
        EXPECT_EQ(edges, r.edges) << "row " << r.row;
    }
}

TEST(CaseTables, EveryRowUsesItsCrossedEdgesAndFacesTheSolidCorners) {
    int triangles = 0;
    for (int m = 0; m < 256; ++m) {
        const int* row = triTable[m];
        int length = 0;
        while (length < 16 && row[length] != -1) ++length;
        ASSERT_EQ(length % 3, 0) << "case " << m;
        ASSERT_LE(length, 15) << "case " << m;
        for (int i = length; i < 16; ++i) EXPECT_EQ(row[i], -1) << "case " << m;
        triangles += length / 3;

        int used = 0;
        for (int i = 0; i < length; ++i) used |= 1 << row[i];
        EXPECT_EQ(used, edgeTable[m]) << "case " << m;

        // Read in table order, each triangle's normal must lean from its edges' air ends towards
        // their solid ends.
        for (int t = 0; t < length; t += 3) {
            Imath::V3d p[3];
            double lean = 0.0;
            Imath::V3d towardsSolid[3];
            for (int c = 0; c < 3; ++c) {
                const int e = row[t + c];
                const int a = e % 8, b = edgeEnd[e];
                p[c] = (cornerPosition[a] + cornerPosition[b]) * 0.5;
                const bool aSolid = (m >> a) & 1;
                towardsSolid[c] = aSolid ? cornerPosition[a] - cornerPosition[b]
                                         : cornerPosition[b] - cornerPosition[a];
            }
            const Imath::V3d normal = (p[1] - p[0]).cross(p[2] - p[0]);
            for (int c = 0; c < 3; ++c) lean += normal.dot(towardsSolid[c]);
            EXPECT_GT(lean, 0.0) << "case " << m << " triangle " << t / 3;
        }
    }
    EXPECT_EQ(triangles, 820);
}
