#include "terrain/mesh/Block.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/GlCheck.hpp"
#include "support/TestSupport.hpp"
#include "terrain/mesh/DensityFunction.hpp"

// Blocks uploaded and drawn in a real OpenGL context.

namespace {

class BlockDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlContext();
        GL_CHECK(glGenBuffers(2, buffers));
        errorsBefore = glcheck::errorCount();
    }
    void TearDown() override {
        EXPECT_EQ(glcheck::errorCount(), errorsBefore) << "no OpenGL error on the way";
        GL_CHECK(glDeleteBuffers(2, buffers));
    }

    static GLint bufferSize(GLenum target, GLuint buffer) {
        GLint size = -1;
        GL_CHECK(glBindBuffer(target, buffer));
        GL_CHECK(glGetBufferParameteriv(target, GL_BUFFER_SIZE, &size));
        GL_CHECK(glBindBuffer(target, 0));
        return size;
    }
    GLint vertexBytes() const { return bufferSize(GL_ARRAY_BUFFER, buffers[0]); }
    GLint indexBytes() const { return bufferSize(GL_ELEMENT_ARRAY_BUFFER, buffers[1]); }

    static GLint integer(GLenum name) {
        GLint value = -1;
        GL_CHECK(glGetIntegerv(name, &value));
        return value;
    }
    static bool anyClientArrayEnabled() {
        return glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_NORMAL_ARRAY) || glIsEnabled(GL_TEXTURE_COORD_ARRAY);
    }

    const DensityFunction density;
    GLuint buffers[2] = {0, 0};
    unsigned errorsBefore = 0;
};

// A box at the start position that crosses the surface, and one high in the air.
void moveToSurface(Block& b) { b.minX = 0; b.maxX = 100; b.minY = -50; b.maxY = 50; b.minZ = 0; b.maxZ = 100; }
void moveToAir(Block& b) { b.minX = 0; b.maxX = 100; b.minY = 4000; b.maxY = 4100; b.minZ = 0; b.maxZ = 100; }

// The owner's rebuild: only once any earlier mesh has been uploaded.
void rebuild(Block& block, void (*move)(Block&)) {
    block.wait();
    ASSERT_FALSE(block.needsUpload.load(std::memory_order_acquire));
    block.vertexCount = 0;
    block.triangleCount = 0;
    move(block);
    block.launch();
    block.wait();
}

}  // namespace

TEST_F(BlockDisplay, UploadFillsBothBuffersExactlyAndReleasesTheStagingArrays) {
    Block block(&density, buffers[0], buffers[1], 0, 100, -50, 50, 0, 100, 0.0, 14);
    block.wait();
    const int vertices = block.vertexCount, triangles = block.triangleCount;
    ASSERT_GT(triangles, 0);
    block.update(0.0);
    EXPECT_EQ(vertexBytes(), vertices * 72);
    EXPECT_EQ(indexBytes(), triangles * 6);
    EXPECT_EQ(block.uploadedTriangleCount, triangles);
    EXPECT_FALSE(block.needsUpload.load());
    EXPECT_EQ(block.vertexData, nullptr);
    EXPECT_EQ(block.indexData, nullptr);
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
    // A second update has nothing to upload and leaves the buffers alone.
    block.update(0.0);
    EXPECT_EQ(indexBytes(), triangles * 6);
}

TEST_F(BlockDisplay, EmptyRebuildClearsBothBuffers) {
    Block block(&density, buffers[0], buffers[1], 0, 100, -50, 50, 0, 100, 0.0, 12);
    block.wait();
    block.update(0.5);
    ASSERT_GT(indexBytes(), 0);
    rebuild(block, moveToAir);
    EXPECT_TRUE(block.needsUpload.load());
    EXPECT_EQ(block.triangleCount, 0);
    // The old mesh stays on show until the next update.
    EXPECT_GT(block.uploadedTriangleCount, 0);
    block.update(0.5);
    EXPECT_EQ(vertexBytes(), 0);
    EXPECT_EQ(indexBytes(), 0);
    EXPECT_EQ(block.uploadedTriangleCount, 0);
    EXPECT_NEAR(block.alpha, 1.0, 1e-12);  // not reset by the rebuild
    // And back to a surface box: the buffers fill again.
    rebuild(block, moveToSurface);
    block.update(0.5);
    EXPECT_EQ(indexBytes(), block.triangleCount * 6);
    EXPECT_NEAR(block.alpha, 1.0, 1e-12);
}

TEST_F(BlockDisplay, DrawLeavesNoStateBehind) {
    Block block(&density, buffers[0], buffers[1], 0, 100, -50, 50, 0, 100, 0.0, 12);
    block.wait();
    // Before the first upload: a draw of nothing.
    block.draw();
    EXPECT_FALSE(anyClientArrayEnabled());
    block.update(0.3);
    for (bool wireframe : {false, true}) {
        block.wireframe = wireframe;
        block.draw();
        GLint mode[2] = {-1, -1};
        GL_CHECK(glGetIntegerv(GL_POLYGON_MODE, mode));
        EXPECT_EQ(mode[0], GL_FILL);
        EXPECT_EQ(mode[1], GL_FILL);
        EXPECT_FALSE(anyClientArrayEnabled());
        EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), 0);
        EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
        GLdouble colour[4] = {0, 0, 0, 0};
        GL_CHECK(glGetDoublev(GL_CURRENT_COLOR, colour));
        EXPECT_NEAR(colour[0], 0.99, 1e-6);
        EXPECT_NEAR(colour[3], 0.3, 1e-6);
    }
}

TEST_F(BlockDisplay, NullDensityPrintsOnceAndNeverUploads) {
    CapturedStdout out;
    Block block(nullptr, buffers[0], buffers[1], 0, 100, -50, 50, 0, 100, 0.0, 12);
    for (int frame = 0; frame < 3; ++frame) {
        block.update(0.1);
        block.draw();
    }
    EXPECT_EQ(out.text(), "ERROR: Coulnd't initialize block with NULL density function!\n");
    EXPECT_FALSE(block.needsUpload.load());
    EXPECT_TRUE(block.building.load());
    EXPECT_EQ(block.uploadedTriangleCount, 0);
    EXPECT_EQ(indexBytes(), 0);
}

// The build-and-upload hand-off between three threads, as in the running program: a "terrain"
// thread relaunches the Block over alternating boxes whenever its last mesh has been uploaded,
// the Block's own thread builds, and the main thread uploads. Meant to run under ThreadSanitizer.
using BlockHandOff = BlockDisplay;

TEST_F(BlockHandOff, BuildsOnWorkersUploadOnTheMainThread) {
    Block block(&density, buffers[0], buffers[1], 0, 100, -50, 50, 0, 100, 0.0, 12);
    constexpr int rebuilds = 8;
    std::atomic<bool> finished{false};
    std::thread terrain([&] {
        block.wait();
        for (int n = 0; n < rebuilds; ++n) {
            // Acquire: the main thread has released the previous staging arrays.
            while (block.needsUpload.load(std::memory_order_acquire)) std::this_thread::yield();
            block.vertexCount = 0;
            block.triangleCount = 0;
            if (n % 2 == 0) moveToAir(block); else moveToSurface(block);
            block.launch();
            block.wait();
        }
        // Release: every rebuild has been launched and joined.
        finished.store(true, std::memory_order_release);
    });
    int uploads = 0;
    // Acquire: pairs with the terrain thread's release of finished.
    while (!finished.load(std::memory_order_acquire) || block.needsUpload.load(std::memory_order_acquire)) {
        if (block.needsUpload.load(std::memory_order_acquire)) {
            const int triangles = block.triangleCount;
            block.update(0.01);
            EXPECT_EQ(block.uploadedTriangleCount, triangles);
            EXPECT_EQ(indexBytes(), triangles * 6);
            ++uploads;
        }
        std::this_thread::yield();
    }
    terrain.join();
    EXPECT_EQ(uploads, rebuilds + 1);
    EXPECT_GT(block.uploadedTriangleCount, 0);  // the last box crosses the surface
}
