#include "terrain/field/RingGeometry.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <tuple>
#include <vector>

namespace {

struct CellIndexCase {
    double p;
    double s;
    int expected;
};

TEST(CellIndexTest, MatchesTheTable) {
    const CellIndexCase cases[] = {
        {250.0, 500.0, 0},  {-250.0, 500.0, -1}, {-500.0, 500.0, -2}, {0.0, 500.0, 0},
        {-0.0, 500.0, 0},   {499.999, 500.0, 0}, {1000.0, 250.0, 4},  {-100.0, 100.0, -2},
        {-99.0, 100.0, -1}, {101.0, 100.0, 1},   {-0.5, 100.0, -1},   {99.99999, 100.0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cellIndex(c.p, c.s), c.expected) << "p = " << c.p << ", s = " << c.s;
    }
}

TEST(CellIndexTest, OutOfRangeAndNotANumberStayDefined) {
    EXPECT_EQ(cellIndex(1e300, 100.0), std::numeric_limits<int>::max());
    EXPECT_EQ(cellIndex(-1e300, 100.0), std::numeric_limits<int>::min());
    EXPECT_EQ(cellIndex(std::nan(""), 100.0), 0);
}

TEST(CellIndexTest, CellOfTakesEachAxisIndependently) {
    EXPECT_EQ(cellOf(Imath::V3d(0.0, 10.0, 10.0), 500.0), (Cell{0, 0, 0}));
    EXPECT_EQ(cellOf(Imath::V3d(-1.0, 250.0, -500.0), 250.0), (Cell{-1, 1, -3}));
}

TEST(RingGeometryTest, RingsHold593BlocksAndTheCoarseRingSpansTheOriginCells) {
    EXPECT_EQ(ringBlockCount(coarseRing), 343);
    EXPECT_EQ(ringBlockCount(middleRing), 125);
    EXPECT_EQ(ringBlockCount(fineRing), 125);
    EXPECT_EQ(totalBlockCount, 593);
    // A camera at the origin: the coarse ring covers cells -3..3, that is -1500..2000 on each axis.
    const Cell centre = cellOf(Imath::V3d(0.0, 0.0, 0.0), ringParameters[coarseRing].blockSize);
    const int h = ringHalfWidth(coarseRing);
    const CellBox low = cellBox(Cell{centre.x - h, centre.y - h, centre.z - h}, 500.0);
    const CellBox high = cellBox(Cell{centre.x + h, centre.y + h, centre.z + h}, 500.0);
    EXPECT_EQ(low.minX, -1500.0);
    EXPECT_EQ(low.minY, -1500.0);
    EXPECT_EQ(high.maxX, 2000.0);
    EXPECT_EQ(high.maxZ, 2000.0);
}

TEST(RingGeometryTest, CellBoxIsTheCellTimesTheEdge) {
    const CellBox box = cellBox(Cell{-3, 2, 0}, 100.0);
    EXPECT_EQ(box.minX, -300.0);
    EXPECT_EQ(box.maxX, -200.0);
    EXPECT_EQ(box.minY, 200.0);
    EXPECT_EQ(box.maxY, 300.0);
    EXPECT_EQ(box.minZ, 0.0);
    EXPECT_EQ(box.maxZ, 100.0);
}

TEST(RingGeometryTest, CentreStepsOneCellOnTheFirstDifferingAxis) {
    struct Case {
        Cell centre;
        Cell target;
        bool moved;
        Cell after;
    };
    const Case cases[] = {
        {{0, 0, 0}, {0, 0, 0}, false, {0, 0, 0}},
        {{0, 0, 0}, {1, 0, 1}, true, {1, 0, 0}},     // diagonal: x first
        {{1, 0, 0}, {1, 0, 1}, true, {1, 0, 1}},     // then z
        {{0, 0, 0}, {0, -1, 0}, true, {0, -1, 0}},   // descending through y = 0
        {{0, 0, 0}, {5, 0, 0}, true, {1, 0, 0}},     // a jump moves one cell at a time
        {{0, 0, 0}, {-4, 2, 0}, true, {-1, 0, 0}},
        {{0, 3, 0}, {0, 1, -7}, true, {0, 2, 0}},
    };
    for (const auto& c : cases) {
        Cell centre = c.centre;
        EXPECT_EQ(stepCentreToward(centre, c.target), c.moved);
        EXPECT_EQ(centre, c.after);
    }
}

TEST(RingGeometryTest, ReflectionMapsTheLeavingFaceOntoTheArrivingFace) {
    const Cell c{4, -1, 7};
    // The documented example: (cx - 3, cy + 1, cz - 2) after a +1 step in x lands at (cx + 2, cy - 1, cz + 2).
    EXPECT_EQ(reflectIntoWindow(Cell{c.x - 3, c.y + 1, c.z - 2}, c, 2), (Cell{c.x + 2, c.y - 1, c.z + 2}));
    // A -1 step in y: the old top layer becomes the new bottom layer.
    EXPECT_EQ(reflectIntoWindow(Cell{c.x + 1, c.y + 3, c.z}, c, 2), (Cell{c.x - 1, c.y - 2, c.z}));
    EXPECT_FALSE(insideWindow(Cell{c.x - 3, c.y, c.z}, c, 2));
    EXPECT_TRUE(insideWindow(Cell{c.x - 2, c.y + 2, c.z + 2}, c, 2));
    EXPECT_FALSE(insideWindow(Cell{c.x, c.y, c.z + 3}, c, 2));
}

// The ring's cells, laid out as the initial build lays them out.
std::vector<Cell> windowCells(const Cell& c, int h) {
    std::vector<Cell> cells;
    for (int x = c.x - h; x <= c.x + h; ++x)
        for (int y = c.y - h; y <= c.y + h; ++y)
            for (int z = c.z - h; z <= c.z + h; ++z) cells.push_back(Cell{x, y, z});
    return cells;
}

// Follows a target cell as a streaming pass does, one centre step and one reassignment at a time.
// Returns how many blocks each step moved.
std::vector<int> follow(std::vector<Cell>& cells, Cell& centre, const Cell& target, int h) {
    std::vector<int> movedPerStep;
    while (stepCentreToward(centre, target)) {
        int moved = 0;
        for (Cell& b : cells) {
            if (insideWindow(b, centre, h)) continue;
            b = reflectIntoWindow(b, centre, h);
            ++moved;
        }
        movedPerStep.push_back(moved);
    }
    return movedPerStep;
}

void expectExactlyTheWindow(const std::vector<Cell>& cells, const Cell& centre, int h) {
    std::set<std::tuple<int, int, int>> seen;
    for (const Cell& b : cells) {
        EXPECT_TRUE(insideWindow(b, centre, h)) << b.x << "," << b.y << "," << b.z;
        EXPECT_TRUE(seen.insert({b.x, b.y, b.z}).second) << "two blocks in " << b.x << "," << b.y << "," << b.z;
    }
    EXPECT_EQ(static_cast<int>(seen.size()), (2 * h + 1) * (2 * h + 1) * (2 * h + 1));
}

TEST(RingGeometryTest, JumpsOfSeveralCellsKeepOneBlockPerCellInEveryRing) {
    const Cell targets[] = {{5, 0, 0}, {5, -3, 9}, {-7, 4, -2}, {-7, 4, -2}, {0, 0, 0}, {12, 12, -12}};
    for (int ring = 0; ring < ringCount; ++ring) {
        const int h = ringHalfWidth(ring);
        Cell centre{0, 0, 0};
        std::vector<Cell> cells = windowCells(centre, h);
        for (const Cell& target : targets) {
            for (int moved : follow(cells, centre, target, h)) {
                EXPECT_EQ(moved, (2 * h + 1) * (2 * h + 1)) << "each step rebuilds exactly one face";
            }
            EXPECT_EQ(centre, target);
            expectExactlyTheWindow(cells, centre, h);
        }
    }
}

TEST(RingGeometryTest, DiagonalStepIsTwoReassignmentsXFirst) {
    const int h = 2;
    Cell centre{2, 0, 0};
    std::vector<Cell> cells = windowCells(centre, h);
    std::map<std::tuple<int, int, int>, size_t> indexOf;
    for (size_t i = 0; i < cells.size(); ++i) indexOf[{cells[i].x, cells[i].y, cells[i].z}] = i;

    const std::vector<int> moved = follow(cells, centre, Cell{3, 0, 1}, h);
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(moved[0], 25);
    EXPECT_EQ(moved[1], 25);
    // Moving x first sends (0, 1, -2) to (5, -1, 2), inside the window after the z step;
    // z first would have sent it to (4, -1, 3).
    EXPECT_EQ(cells[indexOf[std::make_tuple(0, 1, -2)]], (Cell{5, -1, 2}));
    // (0, 1, 2) goes to (5, -1, -2) on the x step and on to (1, 1, 3) on the z step: the
    // reflection mirrors every axis, so y flips back.
    EXPECT_EQ(cells[indexOf[std::make_tuple(0, 1, 2)]], (Cell{1, 1, 3}));
    expectExactlyTheWindow(cells, centre, h);
}

}  // namespace
