#include "app/Game.hpp"

#include <GL/glew.h>
#include <GL/glu.h>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Mouse.hpp>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/ProgramState.hpp"
#include "app/Settings.hpp"
#include "app/WindowMode.hpp"
#include "common/GlCheck.hpp"
#include "interface/Interface.hpp"
#include "interface/InterfaceComponent.hpp"
#include "interface/TextHelpers.hpp"
#include "terrain/field/Terrain.hpp"
#include "world/Camera.hpp"
#include "world/Lighting.hpp"
#include "world/World.hpp"

namespace {
double elapsedSeconds(const sf::Time& time) { return static_cast<double>(time.asMicroseconds()) / 1e6; }

}  // namespace

void forwardCommand(InterfaceComponent* component, int, int) {
    gameInstance->world->handleCommand(component);
}

Game::Game() : windowSettings(24, 8, 0) {
    fps = 0.0;
    initOk = true;
    gameInstance = this;
    windowWidth = 800;
    windowHeight = 600;
    fullscreenMode = false;
    frameCount = 1;
    fpsClock.restart();
    showFps = true;

    Interface* interface = new Interface();
    world = new World(interface);

    lookReference = sf::Vector2i(0, 0);
    savedCursorPosition = sf::Vector2i(0, 0);
    leftButtonHeld = false;
    rightButtonHeld = false;
    skipNextMouseMove = false;

    std::ifstream settingsFile(settingsPath);
    windowSettings.depthBits = 32;
    windowSettings.stencilBits = 8;
    Settings settings;
    readSettings(settingsFile, settings);
    applySettings(settings);
    settingsFile.close();

    createWindow();
    window.setFramerateLimit(settings.framerateLimit);

    checkOpenGl();

    if (initOk) {
        applyFontSizes();
        initGL();
        world->setUp();
        // After setUp: building the main menu clears the callback.
        world->interface->setCommandCallback(forwardCommand);
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        updateClock.restart();
    }

    // Without a window there is no context to ask, and a null string cannot be printed.
    const GLubyte* version = window.isOpen() ? glGetString(GL_VERSION) : nullptr;
    std::cout << "OpenGL Ver.: " << (version != nullptr ? reinterpret_cast<const char*>(version) : "unknown")
              << std::endl;
}

void Game::applySettings(const Settings& settings) {
    windowSettings.antialiasingLevel = settings.antialiasingLevel;
    fullscreenMode = settings.fullscreen;
    windowWidth = settings.windowedWidth;
    windowHeight = settings.windowedHeight;
    fullscreenWidth = settings.fullscreenWidth;
    fullscreenHeight = settings.fullscreenHeight;
}

void Game::checkOpenGl() {
    const GLenum glewResult = glewInit();
    if (glewResult != GLEW_OK) {
        std::cout << "Error Initializing GLEW!\n" << std::flush;
        std::cerr << "Error: " << glewGetErrorString(glewResult) << std::endl;
        initOk = false;
    }
    if (!GLEW_ARB_vertex_buffer_object) {
        std::cout << "Error: This program requires graphics card support for ARB_vertex_buffer_object\n";
        initOk = false;
    }
    if (!GLEW_EXT_texture3D) {
        std::cout << "Error: This program requires graphics card support for 3D textures!\n";
        initOk = false;
    }
    if (fontSmall.Error() != 0 || fontLarge.Error() != 0 || fontMedium.Error() != 0) {
        std::cout << "Error: Could not initialize fonts!\n";
        initOk = false;
    }
    std::cout << std::flush;
}

void Game::createWindow() {
    const WindowMode mode = chooseWindowMode(fullscreenMode, windowWidth, windowHeight, fullscreenWidth,
                                             fullscreenHeight, sf::VideoMode::getDesktopMode(),
                                             sf::VideoMode::getFullscreenModes());
    if (!mode.fallbackNote.empty()) std::cout << mode.fallbackNote << std::flush;
    const sf::Uint32 style = mode.fullscreen ? sf::Style::Fullscreen : sf::Style::Titlebar | sf::Style::Close;
    window.create(mode.videoMode, windowTitle, style, windowSettings);
    if (mode.fullscreen) window.setPosition(sf::Vector2i(0, 0));
    if (!window.isOpen()) return;
    windowHeight = static_cast<int>(window.getSize().y);
    windowWidth = static_cast<int>(window.getSize().x);
}

void Game::initGL() {
    GL_CHECK(glEnable(GL_BLEND));
    GL_CHECK(glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA));
    GL_CHECK(glEnable(GL_DEPTH_TEST));
    GL_CHECK(glEnable(GL_NORMALIZE));
    GL_CHECK(glEnable(GL_LIGHTING));
    GL_CHECK(glEnable(GL_COLOR_MATERIAL));
    GL_CHECK(glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE));
    GL_CHECK(glEnable(GL_TEXTURE_3D));
    GL_CHECK(glShadeModel(GL_SMOOTH));

    const Camera& camera = *world->camera;
    GL_CHECK(glMatrixMode(GL_PROJECTION));
    GL_CHECK(glLoadIdentity());
    GL_CHECK(gluPerspective(camera.fieldOfView, camera.aspect, camera.nearPlane, camera.farPlane));
    GL_CHECK(glMatrixMode(GL_MODELVIEW));
    GL_CHECK(glLoadIdentity());

    GL_CHECK(glEnable(GL_CULL_FACE));
    GL_CHECK(glCullFace(GL_BACK));
    GL_CHECK(glPolygonMode(GL_FRONT, GL_FILL));
    GL_CHECK(glPolygonMode(GL_BACK, GL_FILL));
    GL_CHECK(glViewport(0, 0, windowWidth, windowHeight));
    GL_CHECK(glPixelStorei(GL_UNPACK_ALIGNMENT, 1));
    GL_CHECK(glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST));
    GL_CHECK(glClearColor(1.0f, 1.0f, 1.0f, 1.0f));
    GL_CHECK(glDrawBuffer(GL_BACK));
    GL_CHECK(glReadBuffer(GL_BACK));
}

int Game::run() {
    if (!initOk) return 1;
    programRunning = true;
    updateClock.restart();
    while (programRunning) {
        handleEvents();
        update();
        render();
    }
    tearDown();
    return 0;
}

void Game::tearDown() {
    // No terrain worker or music thread may outlive the objects it uses.
    world->shutDown();
    delete world->camera;
    world->camera = nullptr;
    delete world->lighting;
    world->lighting = nullptr;
    delete world->interface;
    world->interface = nullptr;
    // The World releases the terrain's buffers and texture, so the window's context must still be
    // current; it also releases the menu components, the position and the blocks.
    delete world;
    world = nullptr;
    window.close();
}

void Game::handleEvents() {
    sf::Event event;
    while (window.pollEvent(event)) {
        switch (event.type) {
            case sf::Event::Closed: programRunning = false; break;
            case sf::Event::Resized:
                handleResize(static_cast<int>(event.size.width), static_cast<int>(event.size.height));
                break;
            case sf::Event::KeyPressed:
                world->handleKeyPressed(event.key.code, event.key.alt, event.key.control, event.key.shift);
                if (event.key.code == sf::Keyboard::F12) showFps = !showFps;
                break;
            case sf::Event::KeyReleased:
                world->handleKeyReleased(event.key.code, event.key.alt, event.key.control, event.key.shift);
                break;
            case sf::Event::MouseButtonPressed:
                handleMouseButton(event.mouseButton.button, mousePressAction, event.mouseButton.x,
                                  event.mouseButton.y);
                break;
            case sf::Event::MouseButtonReleased:
                handleMouseButton(event.mouseButton.button, mouseReleaseAction, event.mouseButton.x,
                                  event.mouseButton.y);
                break;
            case sf::Event::MouseMoved:
                if (leftButtonHeld || rightButtonHeld) {
                    handleMouseLook(event.mouseMove.x, event.mouseMove.y);
                } else {
                    handleMouseMove(event.mouseMove.x, event.mouseMove.y);
                }
                break;
            default: break;
        }
    }
}

void Game::update() {
    if (elapsedSeconds(updateClock.getElapsedTime()) > updatePeriod) {
        const double dt = elapsedSeconds(updateClock.restart());
        world->update(dt);
    }
    const double sinceMeasurement = elapsedSeconds(fpsClock.getElapsedTime());
    if (sinceMeasurement > frameRatePeriod) {
        fps = static_cast<double>(frameCount) / sinceMeasurement;
        frameCount = 0;
        fpsClock.restart();
    }
}

std::string Game::formatFps(double fps) {
    std::ostringstream text;
    text << "FPS: " << fps;
    return text.str();
}

void Game::render() {
    drawFrame();
    window.display();
}

void Game::drawFrame() {
    GL_CHECK(glClearColor(0.1f, 0.8f, 0.1f, 1.0f));
    GL_CHECK(glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT));
    GL_CHECK(glPushMatrix());
    GL_CHECK(glEnable(GL_FOG));
    world->camera->applyView();
    world->lighting->applyPositions();
    world->drawScene(referenceDrawing);
    GL_CHECK(glDisable(GL_FOG));
    GL_CHECK(glPopMatrix());
    drawOverlay();
}

void Game::drawOverlay() {
    GL_CHECK(glDisable(GL_DEPTH_TEST));

    // 2D overlay in window pixels, origin at the bottom-left corner.
    GL_CHECK(glMatrixMode(GL_PROJECTION));
    GL_CHECK(glPushMatrix());
    GL_CHECK(glLoadIdentity());
    GL_CHECK(gluOrtho2D(0.0, static_cast<double>(window.getSize().x), 0.0,
                        static_cast<double>(window.getSize().y)));
    GL_CHECK(glDisable(GL_LIGHTING));
    ++frameCount;
    if (showFps) {
        GL_CHECK(glColor3d(1.0, 1.0, 1.0));
        fpsText = formatFps(fps);
        drawText(fpsText, fpsTextX, fpsTextY);
    }
    world->interface->draw();
    GL_CHECK(glPopMatrix());
    GL_CHECK(glEnable(GL_LIGHTING));
    GL_CHECK(glMatrixMode(GL_MODELVIEW));
    GL_CHECK(glEnable(GL_DEPTH_TEST));
}

void Game::handleResize(int width, int height) {
    windowWidth = width;
    windowHeight = height;
    // A zero or negative size has no usable aspect: keep the last valid projection.
    if (width > 0 && height > 0) {
        Camera& camera = *world->camera;
        GL_CHECK(glMatrixMode(GL_PROJECTION));
        GL_CHECK(glLoadIdentity());
        camera.aspect = static_cast<double>(width) / static_cast<double>(height);
        GL_CHECK(gluPerspective(camera.fieldOfView, camera.aspect, camera.nearPlane, camera.farPlane));
        GL_CHECK(glMatrixMode(GL_MODELVIEW));
        GL_CHECK(glLoadIdentity());
    }
    GL_CHECK(glViewport(0, 0, width > 0 ? width : 0, height > 0 ? height : 0));
    world->interface->layout(width, height);
}

int Game::windowClientHeight() const { return static_cast<int>(window.getSize().y); }

sf::Vector2i Game::windowCentre() const {
    return sf::Vector2i(static_cast<int>(window.getSize().x / 2), static_cast<int>(window.getSize().y / 2));
}

void Game::warpCursor(const sf::Vector2i& position) { sf::Mouse::setPosition(position, window); }

void Game::handleMouseButton(int button, int kind, int x, int y) {
    if (button == rightMouseButton) {
        rightButtonHeld = !rightButtonHeld;
    } else if (button == leftMouseButton) {
        leftButtonHeld = !leftButtonHeld;
    }

    if (kind == mousePressAction) {
        lookReference = sf::Vector2i(x, y);
        if (button == rightMouseButton) {
            savedCursorPosition = sf::Vector2i(x, y);
            lookReference = windowCentre();
            warpCursor(lookReference);
            window.setMouseCursorVisible(false);
        }
    }
    if (kind == mouseReleaseAction && button == rightMouseButton) {
        window.setMouseCursorVisible(true);
        warpCursor(savedCursorPosition);
    }

    const bool consumed = world->interface->onMouseButton(button, kind, x, windowClientHeight() - y);
    if (!consumed && button == rightMouseButton) world->mouseLook = !world->mouseLook;
}

void Game::handleMouseMove(int x, int y) { world->interface->onMouseMove(x, windowClientHeight() - y); }

void Game::handleMouseLook(int x, int y) {
    if (skipNextMouseMove) {
        skipNextMouseMove = false;
        return;
    }
    const int dx = x - lookReference.x;
    const int dy = lookReference.y - y;
    const bool consumed = world->interface->onMouseDrag(x, windowClientHeight() - y);
    if (!consumed && world->mouseLook) {
        world->camera->addYaw(static_cast<double>(dx));
        world->camera->addPitch(static_cast<double>(dy));
    }
    if (rightButtonHeld) {
        lookReference = windowCentre();
        warpCursor(lookReference);
        skipNextMouseMove = true;
    } else {
        lookReference = sf::Vector2i(x, y);
    }
}
