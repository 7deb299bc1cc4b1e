#pragma once
// The scene controller: owns the camera, the lights, the menu, the music, the terrain and the
// position the terrain follows; builds the scene once, binds keys to actions, receives the menu's
// commands and advances camera and terrain once per simulation step. Main thread only.
#include <SFML/Audio/Music.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <memory>
#include <string>
#include <vector>

class AtomicPosition;
class Camera;
class Interface;
class InterfaceComponent;
class Lighting;
class Terrain;

constexpr const char* musicPath = "resources/music/mainmusic.ogg";
constexpr float initialMusicVolume = 80.0f;
constexpr float musicVolumeStep = 5.0f;

class World {
public:
    explicit World(Interface* interface);  // takes ownership of the Interface
    // Main thread, with the OpenGL context current (the Terrain frees its buffers and texture):
    // stops the threads if shutDown has not, then releases everything the World still owns, each
    // after the last object that uses it: the Interface before the components it points to, the
    // Terrain before the position it reads.
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    void setUp();
    void handleKeyPressed(sf::Keyboard::Key code, bool alt, bool control, bool shift);
    void handleKeyReleased(sf::Keyboard::Key code, bool alt, bool control, bool shift);
    void update(double dt);  // dt in seconds
    void drawSky();
    // The sky and the terrain under the current view. The sky cube writes no depth and the terrain
    // covers it wherever it has geometry, so once every block is opaque the terrain goes first and
    // the cube then fills only the samples it left untouched: the same pixels, with the work of the
    // sky confined to the sky. Blocks outside the view are skipped. The reference way (the cube,
    // then every block) is kept for comparison and for frames with blocks still fading in.
    void drawScene(bool reference);
    // The sky cube drawn after opaque geometry, into the samples that nothing covered yet; the
    // caller decides whether the cube's opaque colour is blended.
    void drawSkyBehindScene();
    void handleCommand(InterfaceComponent* component);

    // Stops and joins the terrain's threads and the music stream; the Game calls it at exit.
    void shutDown();

    Camera* camera;
    Lighting* lighting;
    Interface* interface;
    bool mouseLook = false;
    sf::Music* music = nullptr;
    float musicVolume = 0.0f;       // 0 to 100
    Terrain* terrain = nullptr;
    AtomicPosition* cameraPosition = nullptr;  // the clamped camera position the terrain follows

private:
    // Keeps a component the World created for the menu, to release it at the end; returns it.
    template <typename Component>
    Component* keep(Component* component);
    void setUpMusic();
    void drawSkyCube();
    void setMusicVolume(float volume);

    // The information pages' text fields and the music buttons; the Interface only points to them.
    std::vector<std::unique_ptr<InterfaceComponent>> ownComponents;
};

// The credits shown on the "About" page.
std::string creditsText();
// The paragraph shown on the "About the Creator" page.
std::string authorText();
