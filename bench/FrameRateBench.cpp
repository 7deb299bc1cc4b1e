// Frames per second of the whole program: the real Game at 800 by 600 with no frame-rate limit, in a
// private copy of the run directory, after the initial build has finished and its meshes are drawn.
// The reference way of drawing (the sky cube first, every block) and the default way (blocks outside
// the view or hidden under the fine ring skipped, the sky behind the opaque terrain) are timed side
// by side, alternating in short rounds so that load from elsewhere hits both alike, at antialiasing
// levels 0 and 4, from the start pose and from a pose looking at the mountain. Then a breakdown of
// each way's frame: frames drawn with a growing subset of their parts, each part's cost the
// difference its addition makes.
// Markdown tables come out. Needs an X display:
//   scripts/with-display.sh build/bench/FrameRateBench [frames per way and pose]
// QUILLMOOR_BENCH_AA_LEVEL=4 in the environment measures that level only.
#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "BenchSupport.hpp"
#include "world/Lighting.hpp"

namespace {

constexpr int defaultMeasuredFrames = 300;
constexpr int framesPerRound = 10;  // frames of one way before the other way takes over
constexpr int warmUpFrames = 30;
constexpr double settleTimeout = 300.0;  // seconds allowed for a build or a streaming step to settle
constexpr unsigned antialiasingLevels[] = {0, 4};

struct Pose {
    const char* name;
    Imath::V3d position;  // world units
    Imath::V3d target;    // the point looked at
};

// The frame's parts in the order the breakdown adds them. The default way draws the sky after the
// rings, so its order differs from the reference way's.
enum Part { skyPart, finePart, middlePart, coarsePart, overlayPart, partCount };
const char* const partNames[partCount] = {"sky", "fine ring", "middle ring", "coarse ring", "overlay"};
const Part referenceOrder[partCount] = {skyPart, finePart, middlePart, coarsePart, overlayPart};
const Part defaultOrder[partCount] = {finePart, middlePart, coarsePart, skyPart, overlayPart};

// One frame with the clear, the parts present and the buffer swap, finished before the clock stops.
double partialFrame(Game& game, const bool present[partCount], bool reference) {
    World& world = *game.world;
    Terrain& terrain = *world.terrain;
    const auto start = bench::SteadyClock::now();
    glClearColor(0.1f, 0.8f, 0.1f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glPushMatrix();
    glEnable(GL_FOG);
    world.camera->applyView();
    world.lighting->applyPositions();
    if (reference && present[skyPart]) world.drawSky();
    const ViewFrustum view = Terrain::currentView();
    if (!reference) glDisable(GL_BLEND);  // the default way writes its opaque samples unblended
    glBindTexture(GL_TEXTURE_3D, terrain.texture);
    const Part rings[] = {finePart, middlePart, coarsePart};
    const int ringIndex[] = {fineRing, middleRing, coarseRing};
    for (int n = 0; n < 3; ++n) {
        if (present[rings[n]]) terrain.drawRing(ringIndex[n], reference ? nullptr : &view);
    }
    glBindTexture(GL_TEXTURE_3D, 0);
    if (!reference && present[skyPart]) world.drawSkyBehindScene();
    glEnable(GL_BLEND);
    glDisable(GL_FOG);
    glPopMatrix();
    if (present[overlayPart]) game.drawOverlay();
    game.window.display();
    glFinish();
    return bench::Seconds(bench::SteadyClock::now() - start).count();
}

// Median frame time in seconds of each growing subset of one way's parts: entry 0 is the clear and
// the swap alone, entry k adds the k-th part of the way's order. Subsets alternate frame by frame.
std::vector<double> breakdown(Game& game, bool reference, int frames) {
    const Part* order = reference ? referenceOrder : defaultOrder;
    std::vector<std::vector<double>> times(partCount + 1);
    for (int frame = 0; frame < frames; ++frame) {
        for (int subset = 0; subset <= partCount; ++subset) {
            bool present[partCount] = {false, false, false, false, false};
            for (int k = 0; k < subset; ++k) present[order[k]] = true;
            times[subset].push_back(partialFrame(game, present, reference));
        }
    }
    std::vector<double> medians;
    for (const std::vector<double>& t : times) medians.push_back(bench::percentile(t, 0.5));
    return medians;
}

struct Comparison {
    std::vector<double> reference;  // frame times, seconds
    std::vector<double> drawn;
};

// Whole loop iterations of the program, the two ways alternating in rounds.
Comparison compareWays(Game& game, int frames) {
    Comparison result;
    for (int frame = 0; frame < warmUpFrames; ++frame) bench::runFrame(game);
    for (int done = 0; done < frames; done += framesPerRound) {
        for (bool reference : {true, false}) {
            game.referenceDrawing = reference;
            std::vector<double>& times = reference ? result.reference : result.drawn;
            for (int frame = 0; frame < framesPerRound; ++frame) times.push_back(bench::runFrame(game));
        }
    }
    game.referenceDrawing = false;
    return result;
}

int measureInThisProcess(int frames) {
    Game* game = bench::startGame();
    if (game == nullptr) return 1;
    World& world = *game->world;
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    if (!bench::runUntilSettled(*game, settleTimeout)) {
        std::printf("the initial build did not settle within %.0f s\n", settleTimeout);
        world.shutDown();
        return 1;
    }
    // The start pose is the one the program begins with; the second looks at the mountain (centre
    // x = 500, z = 500, about 1000 high) from its south-west, so most of the landscape is in view.
    const Pose poses[] = {
        {"start pose", world.camera->position, world.camera->position + world.camera->viewDirection()},
        {"looking at the mountain", Imath::V3d(0.0, 600.0, -600.0), Imath::V3d(500.0, 500.0, 500.0)},
    };
    std::string table, parts;
    for (const Pose& pose : poses) {
        bench::setPose(*world.camera, pose.position, pose.target);
        if (!bench::runUntilSettled(*game, settleTimeout)) {
            std::printf("the terrain did not settle at the %s within %.0f s\n", pose.name, settleTimeout);
            world.shutDown();
            return 1;
        }
        const Comparison c = compareWays(*game, frames);
        const double referenceRate = 1.0 / bench::mean(c.reference);
        const double drawnRate = 1.0 / bench::mean(c.drawn);
        // What the last default frame left out as hidden, when it tested for that at all.
        const Terrain& terrain = *world.terrain;
        const int hidden = terrain.testHiddenBlocks ? terrain.occlusion[middleRing].hiddenBlocks +
                                                          terrain.occlusion[coarseRing].hiddenBlocks
                                                    : 0;
        char line[512];
        std::snprintf(line, sizeof line, "| %d | %s | %.1f | %.1f | %.2f | %.2f | %.2f | %s |\n", samples, pose.name,
                      referenceRate, drawnRate, drawnRate / referenceRate, bench::percentile(c.reference, 0.5) * 1e3,
                      bench::percentile(c.drawn, 0.5) * 1e3,
                      terrain.testHiddenBlocks ? std::to_string(hidden).c_str() : "not tested");
        table += line;

        for (bool reference : {true, false}) {
            const std::vector<double> medians = breakdown(*game, reference, frames / 5);
            const Part* order = reference ? referenceOrder : defaultOrder;
            double cost[partCount];
            for (int k = 0; k < partCount; ++k) cost[order[k]] = (medians[k + 1] - medians[k]) * 1e3;
            std::snprintf(line, sizeof line, "| %d | %s | %s | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f |\n",
                          samples, pose.name, reference ? "reference" : "default", medians[0] * 1e3, cost[skyPart],
                          cost[finePart], cost[middlePart], cost[coarsePart], cost[overlayPart],
                          medians[partCount] * 1e3);
            parts += line;
        }
    }
    std::printf("\n| Samples | Pose | Reference frames/s | Default frames/s | Ratio | Reference median (ms) | "
                "Default median (ms) | Hidden blocks left out |\n|---:|---|---:|---:|---:|---:|---:|---:|\n%s",
                table.c_str());
    std::printf("\n| Samples | Pose | Way | Clear and swap (ms) | %s (ms) | %s (ms) | %s (ms) | %s (ms) | %s (ms) | "
                "Whole frame (ms) |\n|---:|---|---|---:|---:|---:|---:|---:|---:|---:|\n%s",
                partNames[0], partNames[1], partNames[2], partNames[3], partNames[4], parts.c_str());
    std::fflush(stdout);
    world.shutDown();
    game->window.close();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(framesPerRound, std::atoi(argv[1])) : defaultMeasuredFrames;
    if (bench::insidePrivateRunDirectory()) return measureInThisProcess(frames);
    // The antialiasing level is fixed when the window opens: one process for each level, or only
    // the level the environment names.
    std::vector<unsigned> levels(std::begin(antialiasingLevels), std::end(antialiasingLevels));
    if (const char* only = std::getenv(bench::antialiasingVariable)) levels = {static_cast<unsigned>(std::atoi(only))};
    int status = 0;
    for (unsigned level : levels) {
        setenv(bench::antialiasingVariable, std::to_string(level).c_str(), 1);
        const int result = bench::rerunInPrivateRunDirectory(argv);
        if (result != 0) status = result;
    }
    return status;
}
