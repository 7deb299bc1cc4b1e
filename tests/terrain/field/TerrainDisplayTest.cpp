#include "terrain/field/Terrain.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "common/GlCheck.hpp"
#include "support/TestSupport.hpp"
#include "terrain/field/TerrainDriver.hpp"
#include "terrain/mesh/Block.hpp"

namespace {

using namespace terraintest;

GLint boundTexture3d() {
    GLint name = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_3D, &name);
    return name;
}

class TerrainDisplayTest : public ::testing::Test {
protected:
    void SetUp() override { ensureGlContext(); }

    // Constructs a Terrain following `position`, keeping the texture messages off the test output.
    std::unique_ptr<Terrain> makeTerrain(const AtomicPosition& position) {
        CapturedStdout quiet;
        return std::make_unique<Terrain>(&position);
    }
};

TEST_F(TerrainDisplayTest, InitialBuildCreatesEveryBlockInOrderAndShowsNothingUntilItEnds) {
    const Imath::V3d start(99.0, 10.0, 50.0);
    AtomicPosition position(start);
    const unsigned errorsBefore = glcheck::errorCount();
    std::unique_ptr<Terrain> terrain = makeTerrain(position);
    ASSERT_TRUE(terrain->initialBuildPending.load());
    EXPECT_FALSE(terrain->updatePending.load());

    // While the build runs: update and draw do nothing, and moving changes nothing that is built.
    GLuint sentinel = 0;
    glGenTextures(1, &sentinel);
    glBindTexture(GL_TEXTURE_3D, sentinel);
    position.store(Imath::V3d(5000.0, -3000.0, 800.0));
    for (int i = 0; i < 20 && terrain->initialBuildPending.load(); ++i) {
        terrain->update(frameTime);
        terrain->draw();
        terrain->setWireframe(true);
        EXPECT_EQ(boundTexture3d(), static_cast<GLint>(sentinel));
    }
    glBindTexture(GL_TEXTURE_3D, 0);
    glDeleteTextures(1, &sentinel);
    waitForInitialBuild(*terrain);

    ASSERT_EQ(terrain->allBlocks.size(), 593u);
    ASSERT_EQ(terrain->coarseBlocks.size(), 343u);
    ASSERT_EQ(terrain->middleBlocks.size(), 125u);
    ASSERT_EQ(terrain->fineBlocks.size(), 125u);
    EXPECT_TRUE(terrain->vertexBufferPool.empty());
    EXPECT_TRUE(terrain->indexBufferPool.empty());

    // Creation order: coarse, middle, fine; x outermost, z innermost, all ascending around the
    // start cells.
    size_t n = 0;
    std::set<GLuint> names;
    GLuint previousName = 0;
    for (int ring : {coarseRing, middleRing, fineRing}) {
        const double s = ringParameters[ring].blockSize;
        const int h = ringHalfWidth(ring);
        const Cell c = cellOf(start, s);
        const std::vector<Block*>& ringList = blocksOfRing(*terrain, ring);
        size_t inRing = 0;
        for (int x = c.x - h; x <= c.x + h; ++x) {
            for (int y = c.y - h; y <= c.y + h; ++y) {
                for (int z = c.z - h; z <= c.z + h; ++z, ++n, ++inRing) {
                    const Block* block = terrain->allBlocks[n];
                    ASSERT_EQ(block, ringList[inRing]);
                    ASSERT_EQ((Cell{block->cellX, block->cellY, block->cellZ}), (Cell{x, y, z})) << "block " << n;
                    // Each block's cell is its box divided by its edge.
                    EXPECT_EQ(block->minX, x * s);
                    EXPECT_EQ(block->maxX, (x + 1) * s);
                    EXPECT_EQ(block->minY, y * s);
                    EXPECT_EQ(block->maxZ, (z + 1) * s);
                    EXPECT_EQ(block->resolution, ringParameters[ring].resolution);
                    EXPECT_EQ(block->densityOffset, ringParameters[ring].densityOffset);
                    // Block n holds the n-th name of each pool; the pools were filled vertex name,
                    // index name, vertex name, ..., and the driver hands out increasing names.
                    EXPECT_LT(previousName, block->vertexBuffer) << "block " << n;
                    EXPECT_LT(block->vertexBuffer, block->indexBuffer) << "block " << n;
                    previousName = block->indexBuffer;
                    names.insert(block->vertexBuffer);
                    names.insert(block->indexBuffer);
                    // Nothing was uploaded or faded in while the build ran.
                    EXPECT_FALSE(block->building.load());
                    EXPECT_TRUE(block->needsUpload.load()) << "block " << n;
                    EXPECT_EQ(block->uploadedTriangleCount, 0);
                    EXPECT_EQ(block->alpha, 0.0);
                    EXPECT_FALSE(block->wireframe) << "the toggle is ignored during the build";
                }
            }
        }
    }
    EXPECT_EQ(names.size(), 2u * 593u);
    EXPECT_EQ(terrain->coarseBlocks.front()->minX, -1500.0);
    EXPECT_EQ(terrain->coarseBlocks.front()->cellX, -3);

    // The first update uploads every waiting mesh at once.
    position.store(start);
    terrain->update(frameTime);
    EXPECT_FALSE(anyMeshWaiting(*terrain));
    int blocksWithTriangles = 0;
    for (const Block* block : terrain->allBlocks) {
        EXPECT_EQ(block->alpha, frameTime);
        EXPECT_EQ(block->uploadedTriangleCount, block->triangleCount);
        if (block->uploadedTriangleCount > 0) ++blocksWithTriangles;
    }
    EXPECT_GT(blocksWithTriangles, 50) << "the surface crosses every ring";
    EXPECT_EQ(glcheck::errorCount(), errorsBefore);
}

// One row of the streaming table: a move and, per ring, how many blocks it must move.
struct Move {
    const char* name;
    Imath::V3d to;
    int moved[ringCount];  // coarse, middle, fine
    int rebuilt;           // block rebuilds: a block moved by two one-cell steps is rebuilt twice
};

// Cells of every block, by ring.
using RingCells = std::vector<std::vector<Cell>>;

RingCells snapshot(const Terrain& terrain) {
    RingCells cells;
    for (int ring = 0; ring < ringCount; ++ring) cells.push_back(cellsOf(blocksOfRing(terrain, ring)));
    return cells;
}

TEST_F(TerrainDisplayTest, StreamingMovesExactlyTheBlocksThatLeaveEachRing) {
    AtomicPosition position(Imath::V3d(99.0, 10.0, 50.0));
    std::unique_ptr<Terrain> terrain = makeTerrain(position);
    waitForInitialBuild(*terrain);
    settle(*terrain);

    const Move moves[] = {
        {"x 99 to 101: fine column -2 to 3", Imath::V3d(101.0, 10.0, 50.0), {0, 0, 25}, 25},
        {"within one fine cell", Imath::V3d(150.0, 12.0, 60.0), {0, 0, 0}, 0},
        {"x to 249: fine column -1 to 4", Imath::V3d(249.0, 10.0, 50.0), {0, 0, 25}, 25},
        {"x 249 to 251: middle column -2 to 3", Imath::V3d(251.0, 10.0, 50.0), {0, 25, 0}, 25},
        {"diagonal: fine x and z, x first", Imath::V3d(351.0, 10.0, 150.0), {0, 0, 45}, 50},
        {"descending through y = 0", Imath::V3d(351.0, -1.0, 150.0), {49, 25, 25}, 99},
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(move.name);
        const RingCells before = snapshot(*terrain);
        const long passesBefore = terrain->streamingPassCount.load();
        const long rebuiltBefore = terrain->rebuiltBlockCount.load();
        position.store(move.to);
        settle(*terrain);
        const RingCells after = snapshot(*terrain);
        // One pass per move, rebuilding the blocks of every one-cell step it took and no other.
        EXPECT_EQ(terrain->streamingPassCount.load() - passesBefore, 1);
        EXPECT_EQ(terrain->rebuiltBlockCount.load() - rebuiltBefore, move.rebuilt);
        for (int ring = 0; ring < ringCount; ++ring) {
            int moved = 0;
            for (size_t i = 0; i < before[ring].size(); ++i) {
                if (before[ring][i] != after[ring][i]) {
                    ++moved;
                    const Block* block = blocksOfRing(*terrain, ring)[i];
                    EXPECT_EQ(block->vertexCount == 0, block->triangleCount == 0);
                }
            }
            EXPECT_EQ(moved, move.moved[ring]) << "ring " << ring;
        }
        expectRingsMatch(*terrain, move.to);

        if (std::string(move.name).rfind("x 99 to 101", 0) == 0) {
            // Exactly column -2 went to column 3, each block mirrored in y and z through the centre.
            for (size_t i = 0; i < before[fineRing].size(); ++i) {
                const Cell& b = before[fineRing][i];
                if (b.x != -2) continue;
                EXPECT_EQ(after[fineRing][i], (Cell{3, -b.y, -b.z}));
            }
        }
        if (std::string(move.name).rfind("descending", 0) == 0) {
            // The fine ring's top layer became its new bottom layer.
            for (size_t i = 0; i < before[fineRing].size(); ++i) {
                if (before[fineRing][i] != after[fineRing][i]) {
                    EXPECT_EQ(before[fineRing][i].y, 2);
                    EXPECT_EQ(after[fineRing][i].y, -3);
                }
            }
        }
    }
}

TEST_F(TerrainDisplayTest, TinyMoveLaunchesNothing) {
    const Imath::V3d start(20.0, 10.0, 20.0);
    AtomicPosition position(start);
    std::unique_ptr<Terrain> terrain = makeTerrain(position);
    waitForInitialBuild(*terrain);
    terrain->update(frameTime);
    position.store(start + Imath::V3d(0.00005, 0.0, 0.0));
    terrain->update(frameTime);
    EXPECT_FALSE(terrain->updatePending.load());
    EXPECT_EQ(terrain->lastLaunchPosition, start);

    position.store(start + Imath::V3d(0.0, 0.0, 0.001));
    terrain->update(frameTime);
    EXPECT_EQ(terrain->lastLaunchPosition, start + Imath::V3d(0.0, 0.0, 0.001)) << "a real move launches a pass";
    settle(*terrain);
    expectRingsMatch(*terrain, start);
}

TEST_F(TerrainDisplayTest, CameraBackAtTheLastLaunchPointStillGetsRingsAroundIt) {
    // A pass that ended around somewhere else while the camera came back to where that pass was
    // launched: the camera has not moved since the launch, yet the rings must follow it.
    const Imath::V3d start(20.0, 10.0, 20.0);
    AtomicPosition position(start);
    std::unique_ptr<Terrain> terrain = makeTerrain(position);
    waitForInitialBuild(*terrain);
    const Imath::V3d away(420.0, 10.0, 20.0);
    position.store(away);
    settle(*terrain);
    expectRingsMatch(*terrain, away);
    terrain->lastLaunchPosition = start;  // what the main thread recorded at that launch
    position.store(start);
    terrain->update(frameTime);
    EXPECT_TRUE(terrain->updatePending.load()) << "a pass is launched although the camera did not move";
    settle(*terrain);
    expectRingsMatch(*terrain, start);
}

TEST_F(TerrainDisplayTest, JumpsOfManyCellsKeepOneBlockPerCellInEveryRing) {
    AtomicPosition position(Imath::V3d(0.0, 10.0, 0.0));
    std::unique_ptr<Terrain> terrain = makeTerrain(position);
    waitForInitialBuild(*terrain);
    const Imath::V3d jumps[] = {Imath::V3d(730.0, 10.0, -420.0), Imath::V3d(-260.0, 180.0, 90.0)};
    for (const Imath::V3d& to : jumps) {
        position.store(to);
        settle(*terrain);
        expectRingsMatch(*terrain, to);
    }
}

TEST_F(TerrainDisplayTest, DrawLeavesTextureZeroBoundAndWireframeReachesEveryBlock) {
    AtomicPosition position(Imath::V3d(0.0, 10.0, 10.0));
    std::unique_ptr<Terrain> terrain = makeTerrain(position);
    waitForInitialBuild(*terrain);
    terrain->update(frameTime);
    const unsigned errorsBefore = glcheck::errorCount();

    GLuint sentinel = 0;
    glGenTextures(1, &sentinel);
    glBindTexture(GL_TEXTURE_3D, sentinel);
    terrain->draw();
    EXPECT_EQ(boundTexture3d(), 0);

    terrain->setWireframe(true);
    for (const Block* block : terrain->allBlocks) EXPECT_TRUE(block->wireframe);
    terrain->draw();
    GLint polygonMode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_FILL) << "filled drawing is restored after each block";
    terrain->setWireframe(false);
    for (const Block* block : terrain->allBlocks) EXPECT_FALSE(block->wireframe);

    // Without a texture the landscape still draws, untextured.
    const GLuint texture = terrain->texture;
    terrain->texture = 0;
    terrain->draw();
    terrain->texture = texture;
    EXPECT_EQ(boundTexture3d(), 0);
    glDeleteTextures(1, &sentinel);
    EXPECT_EQ(glcheck::errorCount(), errorsBefore);
}

TEST_F(TerrainDisplayTest, ConstructionReportsMissingTerrainImagesAndStillBuilds) {
    // The test's run directory may or may not hold the generated images: without them each missing
    // file reports itself and the terrain draws untextured.
    AtomicPosition position(Imath::V3d(0.0, 10.0, 10.0));
    std::string messages;
    std::unique_ptr<Terrain> terrain;
    {
        CapturedStdout out;
        terrain = std::make_unique<Terrain>(&position);
        messages = out.text();
    }
    const bool imagesPresent = messages.empty();
    if (!imagesPresent) {
        EXPECT_EQ(messages, "Error loading image data!\nError loading image data!\nError loading image data!\n"
                            "Error loading image data!\n");
    }
    EXPECT_NE(terrain->texture, 0u);
    terrain->shutdown();
}

TEST_F(TerrainDisplayTest, ShutdownStopsABuildOrAPassAndJoinsEveryThread) {
    AtomicPosition position(Imath::V3d(0.0, 10.0, 0.0));
    {
        // During the initial build: it stops between blocks and the Terrain stays unused.
        std::unique_ptr<Terrain> terrain = makeTerrain(position);
        terrain->shutdown();
        EXPECT_TRUE(terrain->initialBuildPending.load());
        EXPECT_LT(terrain->allBlocks.size(), 593u);
        terrain->update(frameTime);
        terrain->draw();
        terrain->shutdown();  // a second call is harmless
    }
    {
        // During a streaming pass: it stops between blocks; later updates launch nothing.
        std::unique_ptr<Terrain> terrain = makeTerrain(position);
        waitForInitialBuild(*terrain);
        terrain->update(frameTime);
        position.store(Imath::V3d(2000.0, 10.0, 0.0));
        terrain->update(frameTime);
        ASSERT_TRUE(terrain->updatePending.load());
        terrain->shutdown();
        for (const Block* block : terrain->allBlocks) EXPECT_FALSE(block->building.load());
        position.store(Imath::V3d(-2000.0, 10.0, 0.0));
        const Imath::V3d launchedFrom = terrain->lastLaunchPosition;
        for (int i = 0; i < 3; ++i) terrain->update(frameTime);
        EXPECT_EQ(terrain->lastLaunchPosition, launchedFrom);
        terrain->draw();
    }
}

}  // namespace
