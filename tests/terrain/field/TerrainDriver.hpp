#pragma once
// Drives a real Terrain from a test's main thread as the World does: updates at a steady pace with
// short sleeps so the Terrain thread and the block threads make progress, and checks on the rings.
#include <SFML/System/Clock.hpp>
#include <SFML/System/Sleep.hpp>
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "terrain/field/Terrain.hpp"
#include "terrain/mesh/Block.hpp"

namespace terraintest {

constexpr double frameTime = 1.0 / 60.0;  // seconds handed to update
constexpr float patienceSeconds = 600.0f;  // generous: sanitizer builds run far slower

// Waits for the initial build to finish.
inline void waitForInitialBuild(Terrain& terrain) {
    sf::Clock clock;
    while (terrain.initialBuildPending.load(std::memory_order_acquire)) {
        ASSERT_LT(clock.getElapsedTime().asSeconds(), patienceSeconds) << "initial build did not finish";
        sf::sleep(sf::milliseconds(5));
    }
}

inline bool anyMeshWaiting(const Terrain& terrain) {
    for (const Block* block : terrain.allBlocks) {
        if (block->needsUpload.load(std::memory_order_acquire)) return true;
    }
    return false;
}

// Updates until no pass runs, the rings have caught up with the position and every mesh is uploaded.
inline void settle(Terrain& terrain) {
    sf::Clock clock;
    do {
        terrain.update(frameTime);
        ASSERT_LT(clock.getElapsedTime().asSeconds(), patienceSeconds) << "streaming did not settle";
        sf::sleep(sf::milliseconds(1));
    } while (terrain.updatePending.load(std::memory_order_acquire) || anyMeshWaiting(terrain));
}

inline std::vector<Cell> cellsOf(const std::vector<Block*>& blocks) {
    std::vector<Cell> cells;
    for (const Block* block : blocks) cells.push_back(Cell{block->cellX, block->cellY, block->cellZ});
    return cells;
}

inline const std::vector<Block*>& blocksOfRing(const Terrain& terrain, int ring) {
    return ring == coarseRing ? terrain.coarseBlocks : ring == middleRing ? terrain.middleBlocks : terrain.fineBlocks;
}

// Every ring is centred on the position's cell and its blocks fill the window exactly, one per
// cell, each with the box of its cell.
inline void expectRingsMatch(const Terrain& terrain, const Imath::V3d& position) {
    for (int ring = 0; ring < ringCount; ++ring) {
        const double s = ringParameters[ring].blockSize;
        const int h = ringHalfWidth(ring);
        const Cell centre = cellOf(position, s);
        EXPECT_EQ(terrain.ringCell[ring], centre) << "ring " << ring;
        std::set<std::tuple<int, int, int>> seen;
        for (const Block* block : blocksOfRing(terrain, ring)) {
            const Cell b{block->cellX, block->cellY, block->cellZ};
            EXPECT_TRUE(insideWindow(b, centre, h)) << "ring " << ring << " block at " << b.x << "," << b.y << "," << b.z;
            EXPECT_TRUE(seen.insert({b.x, b.y, b.z}).second) << "ring " << ring << ": two blocks in one cell";
            const CellBox box = cellBox(b, s);
            EXPECT_EQ(block->minX, box.minX);
            EXPECT_EQ(block->maxY, box.maxY);
            EXPECT_EQ(block->minZ, box.minZ);
        }
        EXPECT_EQ(static_cast<int>(seen.size()), ringBlockCount(ring)) << "ring " << ring;
    }
}

}  // namespace terraintest
