#include "world/World.hpp"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "app/Game.hpp"
#include "app/ProgramState.hpp"
#include "interface/Button.hpp"
#include "interface/Interface.hpp"
#include "interface/TextField.hpp"
#include "support/TestSupport.hpp"
#include "terrain/field/AtomicPosition.hpp"
#include "terrain/field/Terrain.hpp"
#include "terrain/mesh/Block.hpp"
#include "terrain/mesh/DensityFunction.hpp"
#include "world/Camera.hpp"
#include "world/Lighting.hpp"

namespace {
// The real Game in the run directory (one per test process); the World under test is its World.
class WorldInGame : public ::testing::Test {
protected:
    void SetUp() override {
        CapturedStdout captured;
        game = new Game();
        startOutput = captured.text();
        ASSERT_TRUE(game->initOk) << startOutput;
        world = game->world;
        world->update(0.0);  // lays the menu out
    }
    void TearDown() override {
        if (world != nullptr) world->shutDown();
    }

    void press(sf::Keyboard::Key key) { world->handleKeyPressed(key, false, false, false); }
    void release(sf::Keyboard::Key key) { world->handleKeyReleased(key, false, false, false); }

    // A left click through the Game's mouse handling, at the centre of a component.
    void click(InterfaceComponent* component) {
        const int x = component->x + component->width / 2;
        const int yFromTop = windowHeight - (component->y + component->height / 2);
        game->handleMouseButton(leftMouseButton, mousePressAction, x, yFromTop);
        game->handleMouseButton(leftMouseButton, mouseReleaseAction, x, yFromTop);
    }

    InterfaceComponent* topRowButton(const std::string& name) {
        for (InterfaceComponent* component : world->interface->topRow) {
            if (component->getName() == name) return component;
        }
        ADD_FAILURE() << "no top-row button " << name;
        return nullptr;
    }

    bool waitForInitialBuild() {
        for (int i = 0; i < 1200 && world->terrain->initialBuildPending.load(std::memory_order_acquire); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return !world->terrain->initialBuildPending.load(std::memory_order_acquire);
    }

    Game* game = nullptr;
    World* world = nullptr;
    std::string startOutput;
};

TEST_F(WorldInGame, SetUpBuildsPosePagesTopRowMusicAndFog) {
    const Camera& camera = *world->camera;
    EXPECT_EQ(camera.speed, 10.0);
    EXPECT_EQ(camera.yaw, -90.0);
    EXPECT_EQ(camera.pitch, -45.0);
    // The pose does not refresh the target: the first frames look toward (1, 0, 0).
    EXPECT_EQ(camera.lookTarget, Imath::V3d(1.0, 0.0, 0.0));
    const Interface& menu = *world->interface;
    ASSERT_EQ(menu.pageCount, 3);
    EXPECT_EQ(menu.pages[1].title, "About");
    EXPECT_EQ(menu.pages[2].title, "About the Creator");
    ASSERT_EQ(menu.topRow.size(), 3u);
    EXPECT_EQ(menu.topRow[0]->getText(), "  Vol -  ");
    EXPECT_EQ(menu.topRow[1]->getText(), "Play/Pause");
    EXPECT_EQ(menu.topRow[2]->getText(), "  Vol +  ");
    // The credits field on "About" takes typed characters; the author's paragraph does not.
    const TextField* credits = static_cast<const TextField*>(menu.pages[1].components.back());
    EXPECT_EQ(credits->getName(), "TXT_ABOUT");
    EXPECT_EQ(credits->getText(), creditsText());
    EXPECT_TRUE(credits->editable);
    const TextField* author = static_cast<const TextField*>(menu.pages[2].components.back());
    EXPECT_EQ(author->getName(), "TXT_AUTHOR");
    EXPECT_FALSE(author->editable);
    EXPECT_TRUE(menu.commandCallbackEnabled);

    EXPECT_EQ(world->musicVolume, 80.0f);
    EXPECT_FLOAT_EQ(world->music->getVolume(), 80.0f);
    EXPECT_TRUE(world->music->getLoop());
    EXPECT_EQ(world->music->getStatus(), sf::SoundSource::Stopped);

    GLint fogMode = 0;
    GLfloat fogStart = 0, fogEnd = 0, fogColour[4] = {};
    glGetIntegerv(GL_FOG_MODE, &fogMode);
    glGetFloatv(GL_FOG_START, &fogStart);
    glGetFloatv(GL_FOG_END, &fogEnd);
    glGetFloatv(GL_FOG_COLOR, fogColour);
    EXPECT_EQ(fogMode, GL_LINEAR);
    EXPECT_EQ(fogStart, 500.0f);
    EXPECT_EQ(fogEnd, 1500.0f);
    EXPECT_FLOAT_EQ(fogColour[0], 0.5f);
    EXPECT_FLOAT_EQ(fogColour[1], 0.8f);
    EXPECT_FLOAT_EQ(fogColour[2], 0.92f);
}

TEST_F(WorldInGame, KeyTableMovesTheCameraAndSwitchesTheLights) {
    Camera& camera = *world->camera;
    struct KeyFlag {
        sf::Keyboard::Key key;
        bool Camera::*flag;
    };
    for (const KeyFlag& entry : {KeyFlag{sf::Keyboard::W, &Camera::moveForward},
                                 KeyFlag{sf::Keyboard::S, &Camera::moveBackward},
                                 KeyFlag{sf::Keyboard::A, &Camera::strafeLeft},
                                 KeyFlag{sf::Keyboard::D, &Camera::strafeRight}}) {
        world->handleKeyPressed(entry.key, false, false, true);  // shift makes no difference
        EXPECT_TRUE(camera.*entry.flag);
        release(entry.key);
        EXPECT_FALSE(camera.*entry.flag);
    }

    // Only light 0 at start; Page Up adds light 2, Page Down then leaves light 2 alone.
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    press(sf::Keyboard::PageUp);
    EXPECT_TRUE(world->lighting->light2On);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
    press(sf::Keyboard::PageDown);
    EXPECT_FALSE(world->lighting->light0On);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
}

TEST_F(WorldInGame, OpenMenuSwallowsKeysAndPausesTheWorldButReleasesStillClear) {
    Camera& camera = *world->camera;
    press(sf::Keyboard::W);
    press(sf::Keyboard::Escape);
    ASSERT_TRUE(world->interface->menuOpen);
    const Imath::V3d before = camera.position;
    world->update(0.5);
    EXPECT_EQ(camera.position, before);

    press(sf::Keyboard::PageDown);
    EXPECT_TRUE(world->lighting->light0On);
    press(sf::Keyboard::A);
    EXPECT_FALSE(camera.strafeLeft);
    release(sf::Keyboard::W);
    EXPECT_FALSE(camera.moveForward);
}

TEST_F(WorldInGame, UpdateStoresTheClampedPositionForTheTerrain) {
    Camera& camera = *world->camera;
    camera.moveForward = true;
    for (int i = 0; i < 30; ++i) {
        world->update(0.1);
        EXPECT_EQ(world->cameraPosition->load(), camera.position);
        const Imath::V3d p = camera.position;
        EXPECT_LT(world->terrain->density->getDensity(p.x, p.y, p.z, 0.0), 0.0) << "camera inside the ground";
    }
}

TEST_F(WorldInGame, WireframeKeyWaitsForTheInitialBuildThenSwitchesEveryBlock) {
    press(sf::Keyboard::F4);  // during the build: ignored, nothing raced
    ASSERT_TRUE(waitForInitialBuild());
    const std::vector<Block*>& blocks = world->terrain->allBlocks;
    ASSERT_EQ(blocks.size(), 593u);
    EXPECT_FALSE(blocks.front()->wireframe);
    press(sf::Keyboard::F4);
    for (const Block* block : blocks) EXPECT_TRUE(block->wireframe);
    press(sf::Keyboard::F4);
    for (const Block* block : blocks) EXPECT_FALSE(block->wireframe);
}

// Deleting the World, as the Game's teardown does with the window still open, releases the
// terrain's buffer objects and texture on the main thread while the threads may still be running.
TEST_F(WorldInGame, DeletingTheWorldReleasesTheTerrainsBuffersAndTexture) {
    ASSERT_TRUE(waitForInitialBuild());
    for (int i = 0; i < 5; ++i) world->update(0.0);  // uploads the waiting meshes
    world->camera->moveForward = true;
    world->update(0.5);  // may start a streaming pass that is still running at the delete
    std::vector<GLuint> buffers;
    for (const Block* block : world->terrain->allBlocks) {
        if (block->uploadedTriangleCount == 0) continue;
        buffers.push_back(block->vertexBuffer);
        buffers.push_back(block->indexBuffer);
    }
    const GLuint texture = world->terrain->texture;
    ASSERT_FALSE(buffers.empty());
    for (GLuint name : buffers) ASSERT_TRUE(glIsBuffer(name)) << name;
    ASSERT_TRUE(glIsTexture(texture));

    delete world;
    game->world = nullptr;
    world = nullptr;
    for (GLuint name : buffers) EXPECT_FALSE(glIsBuffer(name)) << name;
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(WorldInGame, MusicButtonsStepTheVolumeByFiveWithinTheLimits) {
    InterfaceComponent* up = topRowButton("MUSIC_VOLUME_UP");
    InterfaceComponent* down = topRowButton("MUSIC_VOLUME_DN");
    ASSERT_NE(up, nullptr);
    ASSERT_NE(down, nullptr);

    click(up);  // one click is a press and a release: only the press acts
    EXPECT_EQ(world->musicVolume, 85.0f);
    for (int i = 0; i < 4; ++i) click(up);
    EXPECT_EQ(world->musicVolume, 100.0f);
    EXPECT_FLOAT_EQ(world->music->getVolume(), 100.0f);

    for (int i = 0; i < 20; ++i) click(down);
    EXPECT_EQ(world->musicVolume, 0.0f);
    click(down);
    EXPECT_EQ(world->musicVolume, 0.0f);
    EXPECT_FLOAT_EQ(world->music->getVolume(), 0.0f);
}

TEST_F(WorldInGame, PlayPauseTogglesTheStream) {
    InterfaceComponent* playPause = topRowButton("MUSIC_PLAY_PAUSE");
    ASSERT_NE(playPause, nullptr);
    click(playPause);
    EXPECT_EQ(world->music->getStatus(), sf::SoundSource::Playing);
    click(playPause);
    EXPECT_EQ(world->music->getStatus(), sf::SoundSource::Paused);
    click(topRowButton("MUSIC_VOLUME_DN"));  // takes effect while paused
    EXPECT_FLOAT_EQ(world->music->getVolume(), 75.0f);
    click(playPause);
    EXPECT_EQ(world->music->getStatus(), sf::SoundSource::Playing);
}

// Starts in a copy of the run directory without the music track.
TEST(WorldWithoutMusic, MissingTrackIsReportedAndEverythingElseWorks) {
    namespace fs = std::filesystem;
    const fs::path copy = fs::temp_directory_path() / ("quillmoor-no-music-" + std::to_string(::getpid()));
    fs::remove_all(copy);
    fs::copy(fs::current_path(), copy, fs::copy_options::recursive);
    fs::remove(copy / "resources/music/mainmusic.ogg");
    // However the test ends, the process goes back to the run directory and the copy goes away, so
    // a later test in the same process does not start in a removed directory.
    struct Restore {
        fs::path runDirectory, copy;
        ~Restore() {
            std::error_code ignored;
            fs::current_path(runDirectory, ignored);
            fs::remove_all(copy, ignored);
        }
    } restore{fs::current_path(), copy};
    fs::current_path(copy);

    CapturedStdout captured;
    Game* game = new Game();
    const std::string output = captured.text();
    ASSERT_TRUE(game->initOk);
    EXPECT_NE(output.find("Error opening background music!\n"), std::string::npos);
    World* world = game->world;
    world->update(0.0);
    InterfaceComponent* playPause = world->interface->topRow[1];
    world->handleCommand(playPause);  // idle state: ignored
    static_cast<Button*>(playPause)->pressState = mousePressAction;
    world->handleCommand(playPause);  // plays nothing, breaks nothing
    EXPECT_NE(world->music->getStatus(), sf::SoundSource::Playing);
    world->camera->moveForward = true;
    world->update(0.1);
    world->shutDown();
}
}  // namespace
