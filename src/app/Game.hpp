#pragma once
// The application: owns the window and the World, runs the start-up checks, the main loop (events,
// the 60 Hz World update, the frame) and the teardown. Main thread only; it holds the OpenGL context.
#include <SFML/System/Clock.hpp>
#include <SFML/System/Vector2.hpp>
#include <SFML/Window/ContextSettings.hpp>
#include <SFML/Window/Window.hpp>

#include <string>

class InterfaceComponent;
class World;
struct Settings;

constexpr const char* windowTitle = "Quillmoor - Orvenkast";
constexpr double updatePeriod = 0.016666666666666666;  // seconds between World updates, at most
constexpr double frameRatePeriod = 1.0;                // seconds between frame-rate measurements
constexpr double fpsTextX = 10.0;                      // pixels from the left edge
constexpr double fpsTextY = 10.0;                      // pixels from the bottom edge

class Game {
public:
    Game();

    // 1 at once when a start-up check failed; otherwise runs the loop, tears down and returns 0.
    int run();
    void createWindow();
    void initGL();

    void handleEvents();
    void update();
    void render();     // draws one frame and presents it
    void drawFrame();  // draws one frame into the back buffer
    // The frame's 2D part: the frame-rate text and the menu over the scene, in window pixels; counts
    // the frame. Leaves the 3D state (depth test, lighting, model-view matrix mode) as it found it.
    void drawOverlay();
    void handleResize(int width, int height);
    void handleMouseButton(int button, int kind, int x, int y);  // window coordinates, y down
    void handleMouseMove(int x, int y);
    void handleMouseLook(int x, int y);

    // The frame-rate text for a measured rate: "FPS: " and the number as a stream writes a double.
    static std::string formatFps(double fps);

    World* world = nullptr;
    sf::Window window;
    sf::ContextSettings windowSettings;
    bool initOk = true;
    int fullscreenWidth = 0;
    int fullscreenHeight = 0;
    unsigned frameCount = 1;
    double fps = 0.0;
    sf::Clock fpsClock;
    bool showFps = true;
    std::string fpsText;
    sf::Vector2i lookReference;
    sf::Vector2i savedCursorPosition;
    bool leftButtonHeld = false;
    bool rightButtonHeld = false;
    bool skipNextMouseMove = false;
    sf::Clock updateClock;
    // Draws every frame the straightforward way: the sky cube, then every block. The default way
    // gives the same pixels for less work; tests and benchmarks compare the two.
    bool referenceDrawing = false;

private:
    void applySettings(const Settings& settings);
    void checkOpenGl();
    void tearDown();
    sf::Vector2i windowCentre() const;
    void warpCursor(const sf::Vector2i& position);
    int windowClientHeight() const;
};

// Installed as the Interface's command callback: hands a component activation to the World.
void forwardCommand(InterfaceComponent* component, int x, int y);
