#include "terrain/field/Terrain.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "common/GlCheck.hpp"
#include "support/TestSupport.hpp"
#include "terrain/field/TerrainDriver.hpp"

namespace {

using namespace terraintest;

// A long scripted flight, run as the World runs the terrain: every update clamps a move against the
// ground, stores the followed position, uploads and launches passes, and draws now and then, while
// the Terrain thread and the block threads stream the rings behind it. Built for the thread
// sanitizer: it must run clean there and end with every ring around the camera.
TEST(TerrainFlightDisplayTest, LongFlightAcrossEveryRingEndsWithTheRingsAroundTheCamera) {
    ensureGlContext();
    const Imath::V3d waypoints[] = {
        Imath::V3d(0.0, 10.0, 0.0),      Imath::V3d(1100.0, 10.0, 0.0),  Imath::V3d(1100.0, -320.0, 300.0),
        Imath::V3d(-420.0, -320.0, 300.0), Imath::V3d(-420.0, 60.0, -280.0), Imath::V3d(30.0, 10.0, 20.0),
    };
    constexpr double stepLength = 1.5;  // world units per update

    AtomicPosition position(waypoints[0]);
    std::unique_ptr<Terrain> terrain;
    {
        CapturedStdout quiet;
        terrain = std::make_unique<Terrain>(&position);
    }
    waitForInitialBuild(*terrain);
    const unsigned errorsBefore = glcheck::errorCount();

    Imath::V3d camera = waypoints[0];
    int updates = 0;
    int launches = 0;
    for (size_t leg = 1; leg < sizeof(waypoints) / sizeof(waypoints[0]); ++leg) {
        const Imath::V3d from = waypoints[leg - 1];
        const Imath::V3d to = waypoints[leg];
        const int steps = static_cast<int>((to - from).length() / stepLength) + 1;
        for (int i = 1; i <= steps; ++i) {
            const Imath::V3d next = from + (to - from) * (static_cast<double>(i) / steps);
            // The clamp samples the field on this thread while block threads sample it too; the
            // script keeps its own path so that it crosses the cells it was written to cross.
            const Imath::V3d clamped = terrain->clampToGround(camera, next);
            EXPECT_TRUE(std::isfinite(clamped.x) && std::isfinite(clamped.y) && std::isfinite(clamped.z));
            camera = next;
            position.store(camera);
            const Imath::V3d launchedBefore = terrain->lastLaunchPosition;
            terrain->update(frameTime);
            if (terrain->lastLaunchPosition != launchedBefore) ++launches;
            if (updates % 4 == 0) terrain->draw();
            ++updates;
            sf::sleep(sf::milliseconds(1));
        }
    }
    settle(*terrain);
    terrain->draw();

    EXPECT_GT(updates, 2000);
    EXPECT_GT(launches, 10) << "passes ran during the flight";
    EXPECT_FALSE(terrain->initialBuildPending.load());
    expectRingsMatch(*terrain, camera);
    EXPECT_EQ(glcheck::errorCount(), errorsBefore);
    terrain->shutdown();
}

}  // namespace
