#include "app/Game.hpp"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <vector>

#include "app/ProgramState.hpp"
#include "common/GlCheck.hpp"
#include "interface/Interface.hpp"
#include "interface/InterfaceComponent.hpp"
#include "support/TestSupport.hpp"
#include "world/Camera.hpp"
#include "world/World.hpp"

namespace {
// One Game per test process (ctest runs each test in its own process), in the run directory with
// its committed settings file (1024 by 768).
class GameWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr);
        CapturedStdout captured;
        game = new Game();
        startOutput = captured.text();
        ASSERT_TRUE(game->initOk) << startOutput;
    }
    void TearDown() override {
        if (game != nullptr && game->world != nullptr) game->world->shutDown();
    }

    std::vector<unsigned char> readRow(int y) {
        std::vector<unsigned char> row(static_cast<std::size_t>(windowWidth) * 3);
        glReadPixels(0, y, windowWidth, 1, GL_RGB, GL_UNSIGNED_BYTE, row.data());
        return row;
    }

    Game* game = nullptr;
    std::string startOutput;
};

TEST_F(GameWindow, StartsWithTheSettingsSizeAndReportsTheOpenGlVersion) {
    EXPECT_NE(startOutput.find("OpenGL Ver.: "), std::string::npos);
    EXPECT_EQ(startOutput.find("Error"), std::string::npos) << startOutput;
    EXPECT_EQ(windowWidth, 1024);
    EXPECT_EQ(windowHeight, 768);
    EXPECT_EQ(game->window.getSize().x, 1024u);
    EXPECT_TRUE(game->showFps);
    EXPECT_EQ(game->frameCount, 1u);
    EXPECT_EQ(game->fps, 0.0);
}

TEST_F(GameWindow, EarlyFrameShowsTheSkyColourAndTheFrameRateText) {
    game->drawFrame();
    EXPECT_EQ(game->fpsText, "FPS: 0");
    EXPECT_EQ(game->frameCount, 2u);
    EXPECT_EQ(glcheck::errorCount(), 0u);

    // The frame: sky colour along the top, white text near the bottom-left corner.
    glReadBuffer(GL_BACK);
    const std::vector<unsigned char> top = readRow(windowHeight - 5);
    for (int x = 0; x < windowWidth; x += 50) {
        EXPECT_NEAR(top[x * 3 + 0], 0.5 * 255, 2) << "x " << x;
        EXPECT_NEAR(top[x * 3 + 1], 0.8 * 255, 2) << "x " << x;
        EXPECT_NEAR(top[x * 3 + 2], 0.92 * 255, 2) << "x " << x;
    }
    int whitePixels = 0;
    for (int y = 10; y < 25; ++y) {
        const std::vector<unsigned char> row = readRow(y);
        for (int x = 10; x < 80; ++x) {
            if (row[x * 3] > 200 && row[x * 3 + 1] > 200 && row[x * 3 + 2] > 200) ++whitePixels;
        }
    }
    EXPECT_GT(whitePixels, 20);
}

TEST_F(GameWindow, ResizeSetsAspectViewportAndKeepsProjectionForZeroHeight) {
    game->handleResize(1024, 768);
    EXPECT_EQ(game->world->camera->aspect, 1.3333333333333333);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);

    game->handleResize(1000, 500);
    EXPECT_EQ(game->world->camera->aspect, 2.0);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);

    game->handleResize(1000, 0);
    EXPECT_EQ(game->world->camera->aspect, 2.0);
    GLdouble kept[16];
    glGetDoublev(GL_PROJECTION_MATRIX, kept);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(kept[i], projection[i]);
    EXPECT_EQ(windowHeight, 0);
    EXPECT_EQ(glcheck::errorCount(), 0u);
}

// Right button over the scene: the look reference is the window centre, each move turns the
// camera by its offset from it (right raises yaw, up raises pitch), the warp's own move is dropped,
// and the release ends mouse-look. With the menu open the same press turns nothing.
TEST_F(GameWindow, RightDragTurnsFromTheCentreSkipsTheWarpAndStopsBehindTheMenu) {
    World& world = *game->world;
    Camera& camera = *world.camera;
    world.update(0.0);  // lays the menu out
    const sf::Vector2i centre(windowWidth / 2, windowHeight / 2);
    const double yaw = camera.yaw;
    const double pitch = camera.pitch;

    game->handleMouseButton(rightMouseButton, mousePressAction, 100, 200);
    EXPECT_TRUE(game->rightButtonHeld);
    EXPECT_TRUE(world.mouseLook);
    EXPECT_EQ(game->savedCursorPosition, sf::Vector2i(100, 200));
    EXPECT_EQ(game->lookReference, centre);

    game->handleMouseLook(centre.x + 10, centre.y - 4);
    EXPECT_DOUBLE_EQ(camera.yaw, yaw + 10 * camera.sensitivity);
    EXPECT_DOUBLE_EQ(camera.pitch, pitch + 4 * camera.sensitivity);
    EXPECT_EQ(game->lookReference, centre);
    EXPECT_TRUE(game->skipNextMouseMove);
    game->handleMouseLook(centre.x + 50, centre.y);  // the warp's own move reaches nobody
    EXPECT_FALSE(game->skipNextMouseMove);
    EXPECT_DOUBLE_EQ(camera.yaw, yaw + 10 * camera.sensitivity);

    game->handleMouseButton(rightMouseButton, mouseReleaseAction, centre.x, centre.y);
    EXPECT_FALSE(game->rightButtonHeld);
    EXPECT_FALSE(world.mouseLook);

    world.handleKeyPressed(sf::Keyboard::Escape, false, false, false);
    ASSERT_TRUE(world.interface->menuOpen);
    const double yawBehindMenu = camera.yaw;
    game->handleMouseButton(rightMouseButton, mousePressAction, 100, 200);
    EXPECT_TRUE(game->rightButtonHeld);
    EXPECT_FALSE(world.mouseLook);
    game->handleMouseLook(centre.x + 10, centre.y);
    EXPECT_EQ(camera.yaw, yawBehindMenu);
    game->handleMouseButton(rightMouseButton, mouseReleaseAction, centre.x, centre.y);
    EXPECT_FALSE(game->rightButtonHeld);
    EXPECT_FALSE(world.mouseLook);
}

TEST(GameFrameRate, TextIsWrittenAsAStreamWritesADouble) {
    EXPECT_EQ(Game::formatFps(0.0), "FPS: 0");
    EXPECT_EQ(Game::formatFps(60.0), "FPS: 60");
    EXPECT_EQ(Game::formatFps(61.0 / 1.2), "FPS: 50.8333");
    EXPECT_EQ(Game::formatFps(59.880239520958085), "FPS: 59.8802");
}
}  // namespace
