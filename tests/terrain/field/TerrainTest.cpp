#include "terrain/field/Terrain.hpp"

#include <gtest/gtest.h>

#include "support/TestSupport.hpp"

namespace {

// No OpenGL context exists in this test program: an inert Terrain must make no OpenGL call.
TEST(TerrainTest, NullPositionGivesAnInertTerrainThatDoesNothingHarmful) {
    CapturedStdout out;
    Terrain terrain(nullptr);
    EXPECT_EQ(out.text(), "Error: Cannot initialize terrain with a NULL pointer.\n");
    EXPECT_FALSE(terrain.initialBuildPending.load());
    EXPECT_FALSE(terrain.updatePending.load());
    EXPECT_EQ(terrain.density, nullptr);
    EXPECT_EQ(terrain.texture, 0u);
    EXPECT_TRUE(terrain.vertexBufferPool.empty());

    terrain.update(1.0 / 60.0);
    terrain.draw();
    terrain.setWireframe(true);
    const Imath::V3d oldPosition(0.0, 10.0, 10.0);
    const Imath::V3d newPosition(0.0, -500.0, 10.0);
    EXPECT_EQ(terrain.clampToGround(oldPosition, newPosition), newPosition);
    EXPECT_TRUE(terrain.allBlocks.empty());
    EXPECT_FALSE(terrain.updatePending.load());
    terrain.shutdown();
    terrain.shutdown();
    EXPECT_EQ(out.text(), "Error: Cannot initialize terrain with a NULL pointer.\n") << "the message is printed once";
}

TEST(TerrainTest, CellIndexIsTheRingsCellArithmetic) {
    EXPECT_EQ(Terrain::cellIndex(-500.0, 500.0), -2);
    EXPECT_EQ(Terrain::cellIndex(-0.0, 500.0), 0);
    EXPECT_EQ(Terrain::cellIndex(1000.0, 250.0), 4);
}

}  // namespace
