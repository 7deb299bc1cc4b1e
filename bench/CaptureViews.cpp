// Renders the real program from a few camera poses and saves each frame as a PNG, for the
// documentation. Run it from a run directory under an X display:
//   cd build/run && ../../scripts/with-display.sh ../bench/CaptureViews OUTPUT_DIR
// Each pose is held until the terrain has caught up with it (every ring on the camera's cells, no
// pass running, every mesh uploaded and faded in).
#include <GL/glew.h>
#include <SFML/Graphics/Image.hpp>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.hpp"
#include "app/ProgramState.hpp"

namespace {
constexpr double settleTimeout = 300.0;  // seconds

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
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: CaptureViews OUTPUT_DIR (run from a run directory)\n");
        return 2;
    }
    const std::string out = argv[1];
    Game* game = bench::startGame();
    if (game == nullptr) return 1;
    Camera& camera = *game->world->camera;
    Terrain& terrain = *game->world->terrain;

    struct Shot {
        const char* file;
        bool move;  // false keeps the start pose
        Imath::V3d position, target;
        bool wireframe;
    };
    const Shot shots[] = {
        {"start.png", false, {}, {}, false},
        {"mountain.png", true, Imath::V3d(120.0, 760.0, 120.0), Imath::V3d(500.0, 775.0, 500.0), false},
        {"summit.png", true, Imath::V3d(330.0, 1180.0, 330.0), Imath::V3d(550.0, 990.0, 550.0), false},
        {"valley.png", true, Imath::V3d(-40.0, 60.0, 150.0), Imath::V3d(-15.0, 49.4, 107.0), false},
        {"wireframe.png", true, Imath::V3d(-40.0, 60.0, 150.0), Imath::V3d(-15.0, 49.4, 107.0), true},
    };
    bool ok = true;
    for (const Shot& shot : shots) {
        if (shot.move) bench::setPose(camera, shot.position, shot.target);
        // A few frames first, so the World has handed the new pose to the terrain.
        for (int frame = 0; frame < 3; ++frame) bench::runFrame(*game);
        if (!bench::runUntilSettled(*game, settleTimeout)) {
            std::printf("the terrain did not settle for %s\n", shot.file);
            ok = false;
            continue;
        }
        terrain.setWireframe(shot.wireframe);
        const std::string path = out + "/" + shot.file;
        if (!saveFrame(*game, path)) ok = false;
        std::printf("saved %s from (%g, %g, %g)\n", path.c_str(), camera.position.x, camera.position.y,
                    camera.position.z);
    }
    game->world->shutDown();
    return ok ? 0 : 1;
}
