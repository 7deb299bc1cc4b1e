#include "world/World.hpp"

#include <GL/glew.h>

#include <iostream>

#include "common/GlCheck.hpp"
#include "interface/Button.hpp"
#include "interface/Interface.hpp"
#include "interface/TextField.hpp"
#include "terrain/field/AtomicPosition.hpp"
#include "terrain/field/Terrain.hpp"
#include "terrain/mesh/Block.hpp"
#include "world/Camera.hpp"
#include "world/Lighting.hpp"

namespace {
// Sky and fog share one colour, so distant terrain fades into the sky.
constexpr double skyRed = 0.5, skyGreen = 0.8, skyBlue = 0.92;
constexpr GLfloat fogStart = 500.0f;   // world units
constexpr GLfloat fogEnd = 1500.0f;    // world units
constexpr GLfloat skyHalfSize = 5.0f;  // world units; far inside the fog's start, so it stays untinted

// The sky cube's 24 corners, four per face, each face counter-clockwise seen from inside.
constexpr double skyCorners[24][3] = {
    {1, 1, -1},   {1, 1, 1},   {-1, 1, 1},   {-1, 1, -1},    // top
    {-1, -1, -1}, {-1, -1, 1}, {1, -1, 1},   {1, -1, -1},    // bottom
    {-1, 1, 1},   {-1, -1, 1}, {-1, -1, -1}, {-1, 1, -1},    // x = -1
    {1, -1, 1},   {1, 1, 1},   {1, 1, -1},   {1, -1, -1},    // x = +1
    {1, 1, 1},    {1, -1, 1},  {-1, -1, 1},  {-1, 1, 1},     // z = +1
    {1, -1, -1},  {1, 1, -1},  {-1, 1, -1},  {-1, -1, -1},   // z = -1
};

void setUpFog() {
    const GLfloat start = fogStart;
    const GLfloat end = fogEnd;
    const GLfloat colour[4] = {static_cast<GLfloat>(skyRed), static_cast<GLfloat>(skyGreen),
                               static_cast<GLfloat>(skyBlue), 1.0f};
    GL_CHECK(glFogi(GL_FOG_MODE, GL_LINEAR));
    GL_CHECK(glFogfv(GL_FOG_START, &start));
    GL_CHECK(glFogfv(GL_FOG_END, &end));
    GL_CHECK(glFogfv(GL_FOG_COLOR, colour));
}
}  // namespace

std::string authorText() {
    return "Orvenkast builds small worlds out of numbers. This viewer grew from a wish to fly over "
           "a landscape that nobody drew by hand: hills, a lone mountain and a quiet plateau, all "
           "raised from coherent noise and carved into triangles block by block while you watch.\n\n"
           "Take your time, follow the ridges, and see how far the land goes.";
}

std::string creditsText() {
    return std::string("Quillmoor.\n") + "Written by Orvenkast. \nStarted in Jan 2011. \n\n" +
           "This project uses the following libraries: \n" +
           "- IMath for 3d and 2d Vector management \n" +
           "- SFML (Simple and Fast Multimedia Library) for window management, and sound management \n" +
           "- FreeType and FTGL for displaying text via OpenGL \n" + "- GLEW for OpenGL extentions \n" +
           "The project also uses two Free Fonts: \n" + "Lacuna and Echolot \n" +
           "Both faces are drawn here with the DejaVu fonts, by Bitstream and the DejaVu contributors \n\n" +
           "And of course, the project uses OpenGL for all graphics \n";
}

World::World(Interface* interface)
    : camera(new Camera()), lighting(new Lighting()), interface(interface), mouseLook(false) {}

World::~World() {
    shutDown();
    // The Interface goes first: it points to the components released with ownComponents below.
    delete interface;
    delete camera;
    delete lighting;
    // The Terrain reads cameraPosition until its threads are joined, which its destructor ensures.
    delete terrain;
    delete cameraPosition;
}

template <typename Component>
Component* World::keep(Component* component) {
    ownComponents.emplace_back(component);
    return component;
}

void World::setUp() {
    lighting->setUp();

    camera->speed = 10.0;
    camera->position = Imath::V3d(0.0, 10.0, 10.0);
    camera->yaw = -90.0;
    camera->pitch = -45.0;

    interface->buildMainMenu();
    const int aboutPage = interface->addPage(0, "About");
    const int creatorPage = interface->addPage(aboutPage, "About the Creator");
    interface->addToPage(creatorPage, keep(new TextField("TXT_AUTHOR", authorText(), false)));
    TextField* credits = keep(new TextField("TXT_ABOUT", creditsText(), false));
    credits->editable = true;
    interface->addToPage(aboutPage, credits);
    interface->addToTopRow(keep(new Button("MUSIC_VOLUME_DN", "  Vol -  ")));
    interface->addToTopRow(keep(new Button("MUSIC_PLAY_PAUSE", "Play/Pause")));
    interface->addToTopRow(keep(new Button("MUSIC_VOLUME_UP", "  Vol +  ")));

    setUpMusic();

    cameraPosition = new AtomicPosition(camera->position);
    terrain = new Terrain(cameraPosition);
    setUpFog();
}

void World::setUpMusic() {
    musicVolume = initialMusicVolume;
    music = new sf::Music();  // SFML 2 chooses the stream's buffer size itself (about one second)
    if (!music->openFromFile(musicPath)) {
        std::cout << "Error opening background music!\n" << std::flush;
        return;
    }
    music->setVolume(musicVolume);
    music->setLoop(true);
}

void World::setMusicVolume(float volume) {
    musicVolume = volume;
    music->setVolume(musicVolume);
}

void World::handleCommand(InterfaceComponent* component) {
    if (component == nullptr || music == nullptr) return;
    Button* button = component->type == buttonType ? static_cast<Button*>(component) : nullptr;
    if (button == nullptr || button->pressState != mousePressAction) return;

    const std::string name = component->getName();
    if (name == "MUSIC_VOLUME_UP") {
        const float raised = musicVolume + musicVolumeStep;
        setMusicVolume(raised < 100.0f ? raised : 100.0f);
    } else if (name == "MUSIC_VOLUME_DN") {
        const float lowered = musicVolume - musicVolumeStep;
        setMusicVolume(lowered > 0.0f ? lowered : 0.0f);
    } else if (name == "MUSIC_PLAY_PAUSE") {
        if (music->getStatus() == sf::SoundSource::Playing) {
            music->pause();
        } else {
            music->play();
        }
    }
}

void World::handleKeyPressed(sf::Keyboard::Key code, bool alt, bool control, bool shift) {
    if (interface->onKeyPressed(code, alt, control, shift)) return;
    switch (code) {
        case sf::Keyboard::W: camera->moveForward = true; break;
        case sf::Keyboard::S: camera->moveBackward = true; break;
        case sf::Keyboard::A: camera->strafeLeft = true; break;
        case sf::Keyboard::D: camera->strafeRight = true; break;
        case sf::Keyboard::PageUp: lighting->toggleLight2(); break;
        case sf::Keyboard::PageDown: lighting->toggleLight0(); break;
        case sf::Keyboard::F4:
            // The block list is still growing on the Terrain thread until the initial build ends.
            if (terrain == nullptr || terrain->initialBuildPending.load(std::memory_order_acquire)) break;
            terrain->setWireframe(terrain->allBlocks.empty() ? true : !terrain->allBlocks.front()->wireframe);
            break;
        default: break;
    }
}

void World::handleKeyReleased(sf::Keyboard::Key code, bool, bool, bool) {
    switch (code) {
        case sf::Keyboard::W: camera->moveForward = false; break;
        case sf::Keyboard::S: camera->moveBackward = false; break;
        case sf::Keyboard::A: camera->strafeLeft = false; break;
        case sf::Keyboard::D: camera->strafeRight = false; break;
        default: break;
    }
}

void World::update(double dt) {
    if (interface->update(dt)) return;  // the world pauses behind the open menu
    const Imath::V3d old = camera->position;
    camera->move(dt);
    const Imath::V3d clamped = terrain != nullptr ? terrain->clampToGround(old, camera->position)
                                                  : camera->position;
    camera->position = clamped;
    if (cameraPosition != nullptr) cameraPosition->store(clamped);
    if (terrain != nullptr) terrain->update(dt);
}

void World::drawSky() {
    GL_CHECK(glDisable(GL_DEPTH_TEST));
    drawSkyCube();
    GL_CHECK(glEnable(GL_DEPTH_TEST));
}

void World::drawSkyCube() {
    GL_CHECK(glPushMatrix());
    GL_CHECK(glDisable(GL_LIGHTING));
    GL_CHECK(glTranslated(camera->position.x, camera->position.y, camera->position.z));
    GL_CHECK(glScalef(skyHalfSize, skyHalfSize, skyHalfSize));
    glBegin(GL_QUADS);
    for (const auto& corner : skyCorners) {
        glColor3d(skyRed, skyGreen, skyBlue);
        glVertex3d(corner[0], corner[1], corner[2]);
    }
    GL_CHECK(glEnd());
    GL_CHECK(glEnable(GL_LIGHTING));
    GL_CHECK(glPopMatrix());
}

void World::drawScene(bool reference) {
    // Acquire: pairs with the initial build's release; the block lists are complete.
    bool opaque = !reference && !terrain->initialBuildPending.load(std::memory_order_acquire);
    for (size_t n = 0; opaque && n < terrain->allBlocks.size(); ++n) opaque = terrain->allBlocks[n]->alpha >= 1.0;
    if (reference || !opaque) {
        // A block fading in blends with the sky behind it, so the sky must be there first.
        drawSky();
        terrain->draw(!reference);
        return;
    }
    // Every fragment is opaque (the blocks' colour and the texture have full alpha, the sky's too),
    // so blending would give back the incoming colour: the samples are written without it.
    GL_CHECK(glDisable(GL_BLEND));
    terrain->draw(true);
    drawSkyBehindScene();
    GL_CHECK(glEnable(GL_BLEND));
    // The current colour stays the one the last block set, as when the sky goes first.
    terrain->applyLastBlockColour();
}

void World::drawSkyBehindScene() {
    // The cube's samples are pushed to the far end of the depth range, so they pass only where the
    // depth buffer still holds its cleared value: the samples no block covered. Colour and fog do
    // not depend on depth, so those samples get exactly the values the cube gives them drawn first,
    // and opaque blocks replace whatever lies under them.
    // Fogging the cube, far inside the fog's start, leaves its colour as it is.
    GL_CHECK(glDepthRange(1.0, 1.0));
    GL_CHECK(glDepthFunc(GL_LEQUAL));
    GL_CHECK(glDepthMask(GL_FALSE));
    GL_CHECK(glDisable(GL_FOG));
    drawSkyCube();
    GL_CHECK(glEnable(GL_FOG));
    GL_CHECK(glDepthMask(GL_TRUE));
    GL_CHECK(glDepthFunc(GL_LESS));
    GL_CHECK(glDepthRange(0.0, 1.0));
}

void World::shutDown() {
    if (terrain != nullptr) terrain->shutdown();
    if (music != nullptr) {
        // The stream's own thread must stop before the audio device goes away at process exit.
        music->stop();
        delete music;
        music = nullptr;
    }
}
