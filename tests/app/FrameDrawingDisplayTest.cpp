// The frame drawn the default way (the sky behind opaque terrain, blocks outside the view or hidden
// under the fine ring skipped) against the reference way (the sky cube first, every block drawn):
// the back buffer must be the same byte for byte, at antialiasing levels 0 and 4, from every kind of
// pose and in every state.
#include <GL/glew.h>
#include <SFML/System/Sleep.hpp>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/Game.hpp"
#include "common/GlCheck.hpp"
#include "interface/Interface.hpp"
#include "support/TestSupport.hpp"
#include "terrain/field/Terrain.hpp"
#include "terrain/field/TerrainDriver.hpp"
#include "terrain/mesh/Block.hpp"
#include "terrain/mesh/DensityFunction.hpp"
#include "world/Camera.hpp"
#include "world/Lighting.hpp"
#include "world/World.hpp"

namespace {

namespace fs = std::filesystem;
using terraintest::anyMeshWaiting;
using terraintest::frameTime;

constexpr int frameWidth = 800;   // pixels
constexpr int frameHeight = 600;  // pixels

// The surface height under (x, z): the highest point where the field turns from air to ground,
// found by stepping down from above the mountain and halving the last step.
double groundHeight(const DensityFunction& density, double x, double z) {
    double y = 1500.0;
    while (density.getDensity(x, y - 1.0, z, 0.0) < 0.0 && y > -1000.0) y -= 1.0;
    double air = y, ground = y - 1.0;
    for (int step = 0; step < 40; ++step) {
        const double middle = 0.5 * (air + ground);
        (density.getDensity(x, middle, z, 0.0) < 0.0 ? air : ground) = middle;
    }
    return air;
}

struct Pose {
    const char* name;
    Imath::V3d position;  // world units; y is added to the ground height where aboveGround is set
    bool aboveGround;
    double yaw, pitch;  // degrees
};

// Poses that put the view volume's planes across the rings in different ways.
const Pose poses[] = {
    {"start", Imath::V3d(0.0, 10.0, 10.0), false, -90.0, -45.0},
    {"the mountain", Imath::V3d(0.0, 600.0, -600.0), false, 45.0, -5.7},
    {"straight down", Imath::V3d(200.0, 300.0, 200.0), false, 30.0, -maximumPitch},
    {"straight up at the sky", Imath::V3d(-50.0, 40.0, 80.0), true, 10.0, maximumPitch},
    {"level at ground height", Imath::V3d(300.0, 1.0, -200.0), true, 160.0, 0.0},
    {"just inside a fine cell's edge, looking across it", Imath::V3d(99.5, 20.0, 50.0), true, 0.0, -10.0},
};

class FrameDrawing : public ::testing::TestWithParam<unsigned> {
protected:
    // A private run directory with the build's resources and a settings file asking for 800 by 600
    // at the test's antialiasing level; the Game starts there. The fonts were loaded at process
    // start from the build's run directory, the test's working directory.
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr);
        const fs::path runDirectory = fs::current_path();
        char pattern[] = "/tmp/quillmoor-frame-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        privateDirectory = pattern;
        fs::create_directories(privateDirectory / "resources/config");
        fs::create_directory_symlink(runDirectory / "resources/fonts", privateDirectory / "resources/fonts");
        fs::create_directory_symlink(runDirectory / "resources/music", privateDirectory / "resources/music");
        fs::create_directory_symlink(runDirectory / "Resources", privateDirectory / "Resources");
        std::ofstream(privateDirectory / "resources/config/settings.ini")
            << "[settings]\nfullscreen false\nwindowed_width " << frameWidth << "\nwindowed_height " << frameHeight
            << "\nAA_level " << GetParam() << "\nframerate_limit 0\n";
        ASSERT_EQ(chdir(privateDirectory.c_str()), 0);
        previousDirectory = runDirectory;

        CapturedStdout quiet;
        game = new Game();
        ASSERT_TRUE(game->initOk) << quiet.text();
        ASSERT_EQ(game->window.getSize().x, static_cast<unsigned>(frameWidth));
        world = game->world;
    }

    void TearDown() override {
        if (world != nullptr) world->shutDown();
        if (!previousDirectory.empty()) EXPECT_EQ(chdir(previousDirectory.c_str()), 0);
        std::error_code ignored;
        fs::remove_all(privateDirectory, ignored);
    }

    std::vector<unsigned char> drawAndRead(bool reference) {
        // Whatever the frame leaves undrawn must not pass for drawn: start from a colour no frame has.
        glClearColor(1.0f, 0.0f, 1.0f, 0.5f);
        glClear(GL_COLOR_BUFFER_BIT);
        game->referenceDrawing = reference;
        game->drawFrame();
        game->referenceDrawing = false;
        std::vector<unsigned char> pixels(static_cast<size_t>(frameWidth) * frameHeight * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, frameWidth, frameHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // Both ways from the same state; the frame shows them one after the other.
    ::testing::AssertionResult sameFrame() {
        const std::vector<unsigned char> reference = drawAndRead(true);
        const std::vector<unsigned char> drawn = drawAndRead(false);
        game->window.display();
        size_t differing = 0, first = 0;
        for (size_t pixel = 0; pixel < reference.size() / 4; ++pixel) {
            if (std::equal(&reference[pixel * 4], &reference[pixel * 4 + 4], &drawn[pixel * 4])) continue;
            if (differing++ == 0) first = pixel;
        }
        if (glcheck::errorCount() != 0) return ::testing::AssertionFailure() << "OpenGL errors while drawing";
        if (differing == 0) return ::testing::AssertionSuccess();
        const size_t at = first * 4;
        return ::testing::AssertionFailure()
               << differing << " pixels differ; the first at (" << first % frameWidth << ", " << first / frameWidth
               << "): reference " << int(reference[at]) << "," << int(reference[at + 1]) << "," << int(reference[at + 2])
               << "," << int(reference[at + 3]) << ", drawn " << int(drawn[at]) << "," << int(drawn[at + 1]) << ","
               << int(drawn[at + 2]) << "," << int(drawn[at + 3]);
    }

    // World updates at 60 Hz until no pass runs, every ring surrounds the camera, every mesh is
    // uploaded and, with fadedIn, every block is opaque.
    void settle(bool fadedIn) {
        Terrain& terrain = *world->terrain;
        for (int update = 0; update < 100000; ++update) {
            world->update(frameTime);
            const Imath::V3d at = world->camera->position;
            bool surrounded = true;
            for (int ring = 0; ring < ringCount; ++ring) {
                surrounded = surrounded && cellOf(at, ringParameters[ring].blockSize) == terrain.ringCell[ring];
            }
            bool opaque = true;
            for (const Block* block : terrain.allBlocks) opaque = opaque && block->alpha >= 1.0;
            // Acquire: pairs with the build's and the pass's final release.
            if (!terrain.initialBuildPending.load(std::memory_order_acquire) &&
                !terrain.updatePending.load(std::memory_order_acquire) && surrounded && !anyMeshWaiting(terrain) &&
                (opaque || !fadedIn))
                return;
            sf::sleep(sf::milliseconds(1));
        }
        FAIL() << "the terrain did not settle";
    }

    void takePose(const Pose& pose) {
        Camera& camera = *world->camera;
        camera.position = pose.position;
        if (pose.aboveGround) {
            camera.position.y += groundHeight(*world->terrain->density, pose.position.x, pose.position.z);
        }
        camera.yaw = pose.yaw;
        camera.pitch = pose.pitch;
        camera.lookTarget = camera.position + camera.viewDirection();
        camera.viewChanged = true;
        settle(true);
    }

    fs::path privateDirectory;
    fs::path previousDirectory;
    Game* game = nullptr;
    World* world = nullptr;
};

TEST_P(FrameDrawing, SkyBehindTheTerrainAndSkippedBlocksChangeNoPixel) {
    EXPECT_TRUE(sameFrame()) << "a frame of the initial build";
    settle(false);
    for (int frame = 0; frame < 3; ++frame) world->update(frameTime);
    ASSERT_LT(world->terrain->allBlocks.front()->alpha, 1.0);
    EXPECT_TRUE(sameFrame()) << "the landscape fading in over the sky";

    struct State {
        const char* name;
        std::function<void()> enter, leave;
    };
    Lighting& lighting = *world->lighting;
    Terrain& terrain = *world->terrain;
    const std::vector<State> states = {
        {"filled, main light", [] {}, [] {}},
        {"wire-frame", [&] { terrain.setWireframe(true); }, [&] { terrain.setWireframe(false); }},
        {"both lights off", [&] { lighting.toggleLight0(); }, [&] { lighting.toggleLight0(); }},
        {"blue light only",
         [&] {
             lighting.toggleLight0();
             lighting.toggleLight2();
         },
         [&] {
             lighting.toggleLight2();
             lighting.toggleLight0();
         }},
        {"menu open",
         [&] {
             world->handleKeyPressed(sf::Keyboard::Escape, false, false, false);
             world->update(frameTime);  // lays the page out
         },
         [&] { world->handleKeyPressed(sf::Keyboard::Escape, false, false, false); }},
        {"rebuilt blocks fading in",
         [&] {
             for (size_t n = 0; n < terrain.fineBlocks.size(); n += 3) terrain.fineBlocks[n]->alpha = 0.4;
         },
         [&] {
             for (Block* block : terrain.fineBlocks) block->alpha = 1.0;
         }},
        {"a viewport smaller than the window",
         [&] { glViewport(0, 0, frameWidth / 2, frameHeight / 3); },
         [&] { glViewport(0, 0, frameWidth, frameHeight); }},
    };
    for (const Pose& pose : poses) {
        takePose(pose);
        for (const State& state : states) {
            state.enter();
            EXPECT_TRUE(sameFrame()) << "pose: " << pose.name << "; state: " << state.name;
            state.leave();
        }
    }
    EXPECT_FALSE(world->interface->menuOpen) << "every state was left";
}

TEST_P(FrameDrawing, CoarserBlocksHiddenUnderTheFineRingAreLeftOutWhereThatCanPay) {
    Terrain& terrain = *world->terrain;
    // Looking down at the ground close by: the fine ring fills the view, and the middle and coarse
    // rings' surfaces lie under it. Only with multisampling do hidden fragments cost enough to test.
    const bool multisampled = GetParam() > 1;
    takePose(poses[0]);
    for (int frame = 0; frame < 3; ++frame) drawAndRead(false);
    EXPECT_EQ(terrain.testHiddenBlocks, multisampled);
    if (multisampled) {
        for (int ring : {middleRing, coarseRing}) {
            EXPECT_GT(terrain.occlusion[ring].hiddenBlocks, 0) << "ring " << ring;
            EXPECT_EQ(terrain.occlusion[ring].drawnBlocks, 0) << "ring " << ring;
        }
    }
    EXPECT_TRUE(sameFrame()) << "hidden blocks left out";

    // Over the valley towards the mountain, the fine ring holds no ground in view: nothing is tested.
    takePose(poses[1]);
    for (int frame = 0; frame < 3; ++frame) drawAndRead(false);
    EXPECT_FALSE(terrain.testHiddenBlocks);
    EXPECT_TRUE(sameFrame()) << "no block tested";
}

INSTANTIATE_TEST_SUITE_P(Antialiasing, FrameDrawing, ::testing::Values(0u, 4u));

}  // namespace
