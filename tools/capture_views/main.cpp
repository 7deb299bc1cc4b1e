// Renders the real program from a few camera poses and saves each frame as a PNG, for the
// documentation. Run it from a run directory under an X display:
//   cd build/run && ../../scripts/with-display.sh ../tools/capture_views/capture_views OUTPUT_DIR
// Each pose is held until the terrain has caught up with it: every ring centred on the camera's
// cell, no streaming pass running, every mesh uploaded and faded in.
#include <GL/glew.h>
#include <SFML/Graphics/Image.hpp>

#include <iostream>
#include <string>
#include <vector>

#include "app/Game.hpp"
#include "app/ProgramState.hpp"
#include "terrain/field/Terrain.hpp"
#include "terrain/mesh/Block.hpp"
#include "world/Camera.hpp"
#include "world/World.hpp"

namespace {
bool terrainSettled(const Terrain& terrain, const Camera& camera) {
    if (terrain.initialBuildPending.load(std::memory_order_acquire)) return false;
    if (terrain.updatePending.load(std::memory_order_acquire)) return false;
    for (int ring = 0; ring < ringCount; ++ring) {
        if (cellOf(camera.position, terrain.ringBlockSize[ring]) != terrain.ringCell[ring]) return false;
    }
    for (const Block* block : terrain.allBlocks) {
        if (block->needsUpload.load(std::memory_order_acquire) || block->alpha < 1.0) return false;
    }
    return true;
}

// Runs the program's loop until the terrain has settled (and at least a few frames more).
bool settle(Game& game) {
    int settledFrames = 0;
    for (int frame = 0; frame < 20000 && settledFrames < 5; ++frame) {
        game.handleEvents();
        game.update();
        game.render();
        settledFrames = terrainSettled(*game.world->terrain, *game.world->camera) ? settledFrames + 1 : 0;
    }
    return settledFrames >= 5;
}

bool saveFrame(Game& game, const std::string& path) {
    game.drawFrame();
    const unsigned width = static_cast<unsigned>(windowWidth);
    const unsigned height = static_cast<unsigned>(windowHeight);
    std::vector<sf::Uint8> pixels(static_cast<std::size_t>(width) * height * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    sf::Image image;
    image.create(width, height, pixels.data());
    image.flipVertically();  // OpenGL rows start at the bottom
    return image.saveToFile(path);
}

void setPose(Camera& camera, const Imath::V3d& position, double yaw, double pitch) {
    camera.position = position;
    camera.yaw = yaw;
    camera.pitch = pitch;
    camera.viewChanged = true;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cout << "usage: capture_views OUTPUT_DIR (run from a run directory)\n";
        return 2;
    }
    const std::string out = argv[1];
    Game* game = new Game();
    if (!game->initOk) return 1;
    Camera& camera = *game->world->camera;
    Terrain& terrain = *game->world->terrain;

    struct Shot {
        const char* file;
        Imath::V3d position;
        double yaw, pitch;
        bool wireframe;
    };
    const Shot shots[] = {
        {"start.png", camera.position, camera.yaw, camera.pitch, false},
        {"mountain.png", Imath::V3d(120.0, 760.0, 120.0), 45.0, 2.0, false},
        {"summit.png", Imath::V3d(330.0, 1180.0, 330.0), 45.0, -38.0, false},
        {"valley.png", Imath::V3d(-40.0, 60.0, 150.0), -60.0, -12.0, false},
        {"wireframe.png", Imath::V3d(-40.0, 60.0, 150.0), -60.0, -12.0, true},
    };
    bool ok = true;
    bool first = true;
    for (const Shot& shot : shots) {
        if (!first) setPose(camera, shot.position, shot.yaw, shot.pitch);
        first = false;
        if (!settle(*game)) {
            std::cout << "the terrain did not settle for " << shot.file << "\n";
            ok = false;
            continue;
        }
        terrain.setWireframe(shot.wireframe);
        const std::string path = out + "/" + shot.file;
        if (!saveFrame(*game, path)) ok = false;
        std::cout << "saved " << path << " from (" << camera.position.x << ", " << camera.position.y << ", "
                  << camera.position.z << ")\n";
    }
    game->world->shutDown();
    return ok ? 0 : 1;
}
