#include "terrain/mesh/Block.hpp"

#include <gtest/gtest.h>

#include "support/TestSupport.hpp"
#include "terrain/mesh/DensityFunction.hpp"
#include "terrain/mesh/MarchingCubes.hpp"

// These Blocks never upload, so no OpenGL call is made.

TEST(Block, NullDensityPrintsOnceAndNeverBuilds) {
    CapturedStdout out;
    Block block(nullptr, 1, 2, 0.0, 100.0, -50.0, 50.0, 0.0, 100.0, 0.0, 12);
    block.launch();  // a relaunch builds nothing either
    block.wait();
    EXPECT_EQ(out.text(), "ERROR: Coulnd't initialize block with NULL density function!\n");
    EXPECT_FALSE(block.needsUpload.load());
    EXPECT_TRUE(block.building.load());
    EXPECT_EQ(block.vertexData, nullptr);
    EXPECT_EQ(block.vertexCount, 0);
}

TEST(Block, ResolutionOfZeroOrLessGivesThirtyTwo) {
    CapturedStdout out;
    for (int given : {0, -5}) EXPECT_EQ(Block(nullptr, 0, 0, 0, 1, 0, 1, 0, 1, 0, given).resolution, 32);
    EXPECT_EQ(Block(nullptr, 0, 0, 0, 1, 0, 1, 0, 1, 0, 14).resolution, 14);
}

TEST(Block, AlphaRisesByTheTimeStepUntilItReachesOne) {
    CapturedStdout out;
    Block block(nullptr, 0, 0, 0, 1, 0, 1, 0, 1, 0, 12);
    const double expected[] = {0.4, 0.8, 1.2, 1.2, 1.2};
    EXPECT_EQ(block.alpha, 0.0);
    for (double a : expected) {
        block.update(0.4);
        EXPECT_NEAR(block.alpha, a, 1e-12);
    }
}

TEST(Block, BuildLeavesTheMeshStagedForUpload) {
    const DensityFunction density;
    Block block(&density, 0, 0, 0.0, 100.0, -50.0, 50.0, 0.0, 100.0, 0.0, 12);
    block.wait();
    EXPECT_FALSE(block.building.load(std::memory_order_acquire));
    ASSERT_TRUE(block.needsUpload.load(std::memory_order_acquire));
    EXPECT_GT(block.vertexCount, 0);
    EXPECT_GT(block.triangleCount, 0);
    EXPECT_NE(block.vertexData, nullptr);
    EXPECT_NE(block.indexData, nullptr);
    EXPECT_EQ(block.uploadedTriangleCount, 0);
    // The staged mesh is the pure build of the same box.
    noise::module::Perlin texture;
    configureTextureNoise(texture);
    const StagedMesh expected = buildMesh(density, texture, MeshBox{0.0, 100.0, -50.0, 50.0, 0.0, 100.0, 12}, 0.0);
    ASSERT_EQ(block.vertexCount, expected.vertexCount);
    EXPECT_EQ(block.vertexData[block.vertexCount - 1].r, expected.vertexData[expected.vertexCount - 1].r);
}
