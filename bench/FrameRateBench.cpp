// Frames per second of the whole program: the real Game at 800 by 600 with no frame-rate limit, in a
// private copy of the run directory, after the initial build has finished and its meshes are drawn.
// Frames are timed from the start pose and from a pose looking at the mountain; a Markdown table
// comes out. Needs an X display: scripts/with-display.sh build/bench/FrameRateBench [frames]
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "BenchSupport.hpp"

namespace {

constexpr int defaultMeasuredFrames = 300;
constexpr int warmUpFrames = 30;
constexpr double settleTimeout = 300.0;  // seconds allowed for a build or a streaming step to settle

struct Pose {
    const char* name;
    Imath::V3d position;  // world units
    Imath::V3d target;    // the point looked at
};

struct Result {
    std::string name;
    std::vector<double> frames;  // seconds
};

Result measure(Game& game, const char* name, int frames) {
    for (int frame = 0; frame < warmUpFrames; ++frame) bench::runFrame(game);
    Result result{name, {}};
    result.frames.reserve(static_cast<size_t>(frames));
    for (int frame = 0; frame < frames; ++frame) result.frames.push_back(bench::runFrame(game));
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (!bench::insidePrivateRunDirectory()) return bench::rerunInPrivateRunDirectory(argv);
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : defaultMeasuredFrames;

    Game* game = bench::startGame();
    if (game == nullptr) return 1;
    World& world = *game->world;
    const auto buildStart = bench::SteadyClock::now();
    if (!bench::runUntilSettled(*game, settleTimeout)) {
        std::printf("the initial build did not settle within %.0f s\n", settleTimeout);
        world.shutDown();
        return 1;
    }
    std::printf("initial build drawn after %.1f s\n", bench::Seconds(bench::SteadyClock::now() - buildStart).count());

    // The start pose is the one the program begins with; the second looks at the mountain (centre
    // x = 500, z = 500, about 1000 high) from its south-west, so most of the landscape is in view.
    const Pose mountain{"looking at the mountain", Imath::V3d(0.0, 600.0, -600.0), Imath::V3d(500.0, 500.0, 500.0)};
    std::vector<Result> results;
    results.push_back(measure(*game, "start pose", frames));

    bench::setPose(*world.camera, mountain.position, mountain.target);
    if (!bench::runUntilSettled(*game, settleTimeout)) {
        std::printf("the terrain did not settle around the mountain pose within %.0f s\n", settleTimeout);
        world.shutDown();
        return 1;
    }
    results.push_back(measure(*game, mountain.name, frames));

    std::printf("\n| Pose | Frames | Frames/s | Mean frame (ms) | Median (ms) | 95th percentile (ms) |\n");
    std::printf("|---|---:|---:|---:|---:|---:|\n");
    for (const Result& r : results) {
        const double mean = bench::mean(r.frames);
        std::printf("| %s | %zu | %.1f | %.2f | %.2f | %.2f |\n", r.name.c_str(), r.frames.size(), 1.0 / mean,
                    mean * 1e3, bench::percentile(r.frames, 0.5) * 1e3, bench::percentile(r.frames, 0.95) * 1e3);
    }
    std::fflush(stdout);

    world.shutDown();
    game->window.close();
    return 0;
}
