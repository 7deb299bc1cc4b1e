// Soak flight: the real Game's loop (events, update, frame) flies a long scripted route across cells
// of every ring, up and down through y = 0, along diagonals and back to the start, for a set time.
// Reports frame-time percentiles, streaming passes, rebuilt blocks and resident memory, then checks
// that every ring sits on the camera's cells and that memory stayed flat; exits 1 if not.
// Needs an X display: scripts/with-display.sh build/bench/SoakBench [seconds, default 300]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.hpp"
#include "terrain/field/GroundClamp.hpp"
#include "terrain/mesh/DensityFunction.hpp"

namespace {

constexpr double defaultDurationSeconds = 300.0;
constexpr double settleTimeout = 300.0;        // seconds allowed for the terrain to catch up at either end
constexpr double progressPeriod = 30.0;        // seconds between progress lines
constexpr double cruiseHeight = 120.0;         // world units; the ground clamp lifts the eye over higher ground
constexpr double highPoint = 1300.0;           // world units: the eye crosses two coarse cells upwards
constexpr double valleyDepth = -30.0;          // world units: how far below y = 0 the eye dives
constexpr double valleySearchRadius = 1500.0;  // world units around the turning point
constexpr double valleySearchStep = 25.0;      // world units
constexpr double maximumLookPitch = 60.0;      // degrees; the eye looks along its path, no steeper
// Resident memory may end this much above where it started: allocator and driver caches settle
// at slightly different sizes after thousands of rebuilds (kibibytes, plus a share of the start).
constexpr long memoryMarginKibibytes = 16 * 1024;
constexpr double memoryMarginShare = 0.05;

// A point near `near` whose ground lies below valleyDepth with the clamp's margin to spare, so the
// eye can really dive through y = 0 there; `near` itself when the field has no such point close by.
Imath::V3d findValley(const Imath::V3d& near) {
    const DensityFunction density;
    const double needed = valleyDepth - 10.0;  // air from here up, with room below the dive
    Imath::V3d best = near;
    double bestDistance = -1.0;
    for (double x = near.x - valleySearchRadius; x <= near.x + valleySearchRadius; x += valleySearchStep) {
        for (double z = near.z - valleySearchRadius; z <= near.z + valleySearchRadius; z += valleySearchStep) {
            if (density.getDensity(x, needed, z, groundclamp::touchOffset) > 0.0) continue;
            const double distance = std::hypot(x - near.x, z - near.z);
            if (bestDistance < 0.0 || distance < bestDistance) {
                bestDistance = distance;
                best = Imath::V3d(x, 0.0, z);
            }
        }
    }
    if (bestDistance < 0.0) std::printf("no valley below y = %.0f near the route: the dive is clamped\n", needed);
    return best;
}

// The route as straight legs between waypoints, flown at constant speed over the whole duration.
class Route {
public:
    explicit Route(std::vector<Imath::V3d> points) : waypoints(std::move(points)) {
        reached.push_back(0.0);
        for (size_t i = 1; i < waypoints.size(); ++i) {
            length += (waypoints[i] - waypoints[i - 1]).length();
            reached.push_back(length);
        }
    }

    // Position at fraction f (0 to 1) of the route's length, and the direction of its leg.
    void at(double f, Imath::V3d& position, Imath::V3d& direction) const {
        double remaining = std::clamp(f, 0.0, 1.0) * length;
        for (size_t i = 1; i < waypoints.size(); ++i) {
            const Imath::V3d leg = waypoints[i] - waypoints[i - 1];
            const double legLength = leg.length();
            if (remaining <= legLength || i + 1 == waypoints.size()) {
                const double t = legLength > 0.0 ? std::min(1.0, remaining / legLength) : 1.0;
                position = waypoints[i - 1] + leg * t;
                direction = leg;
                return;
            }
            remaining -= legLength;
        }
        position = waypoints.back();
        direction = Imath::V3d(1.0, 0.0, 0.0);
    }

    std::vector<Imath::V3d> waypoints;
    std::vector<double> reached;  // distance along the route at each waypoint, world units
    double length = 0.0;          // world units
};

// Eye at position looking along direction; a vertical leg keeps the last heading.
void fly(Camera& camera, const Imath::V3d& position, const Imath::V3d& direction) {
    const double radiansToDegrees = 180.0 / 3.141592653589;
    const double horizontal = std::hypot(direction.x, direction.z);
    if (horizontal > 1e-9) camera.yaw = std::atan2(direction.z, direction.x) * radiansToDegrees;
    const double pitch = std::atan2(direction.y, horizontal) * radiansToDegrees;
    camera.pitch = std::clamp(pitch, -maximumLookPitch, maximumLookPitch);
    camera.position = position;
    camera.lookTarget = camera.position + camera.viewDirection();
    camera.viewChanged = true;
}

double mebibytes(long kibibytes) { return static_cast<double>(kibibytes) / 1024.0; }

}  // namespace

int main(int argc, char** argv) {
    if (!bench::insidePrivateRunDirectory()) return bench::rerunInPrivateRunDirectory(argv);
    const double duration = argc > 1 ? std::max(1.0, std::atof(argv[1])) : defaultDurationSeconds;

    Game* game = bench::startGame();
    if (game == nullptr) return 1;
    World& world = *game->world;
    Terrain& terrain = *world.terrain;
    if (!bench::runUntilSettled(*game, settleTimeout)) {
        std::printf("the initial build did not settle within %.0f s\n", settleTimeout);
        world.shutDown();
        return 1;
    }

    const Imath::V3d start = world.camera->position;
    const double startYaw = world.camera->yaw;
    const double startPitch = world.camera->pitch;
    const Imath::V3d turn(3000.0, cruiseHeight, start.z);
    const Imath::V3d valley = findValley(turn);
    const Route route({
        start,
        Imath::V3d(start.x, cruiseHeight, start.z),
        turn,                                          // out along +x across every ring's cells
        Imath::V3d(turn.x, highPoint, turn.z),         // straight up
        Imath::V3d(valley.x, highPoint, valley.z),
        Imath::V3d(valley.x, valleyDepth, valley.z),   // down through y = 0
        Imath::V3d(valley.x, cruiseHeight, valley.z),  // and up through it again
        Imath::V3d(-2500.0, 600.0, -2500.0),           // diagonals across the whole field
        Imath::V3d(-500.0, cruiseHeight, 2500.0),
        Imath::V3d(-2500.0, cruiseHeight, 500.0),
        start,                                         // back home
    });
    std::printf("route: %.0f world units in %.0f s (%.0f units/s), dive at (%.0f, %.0f)\n", route.length, duration,
                route.length / duration, valley.x, valley.z);

    const long startRss = bench::statusKibibytes("VmRSS");
    const long passesBefore = terrain.streamingPassCount.load(std::memory_order_relaxed);
    const long rebuiltBefore = terrain.rebuiltBlockCount.load(std::memory_order_relaxed);
    std::printf("resident after the initial build: %.1f MiB\n", mebibytes(startRss));
    std::fflush(stdout);

    std::vector<double> frames;
    double lowestY = start.y;
    double highestY = start.y;
    double nextProgress = progressPeriod;
    size_t nextWaypoint = 1;
    const auto flightStart = bench::SteadyClock::now();
    for (;;) {
        const double elapsed = bench::Seconds(bench::SteadyClock::now() - flightStart).count();
        if (elapsed >= duration) break;
        // A slow frame may carry the eye past a waypoint (the bottom of the dive, the high point):
        // every waypoint passed since the last frame gets a frame of its own first.
        const double f = elapsed / duration;
        std::vector<double> stops;
        for (size_t i = nextWaypoint; i < route.reached.size() && route.reached[i] <= f * route.length; ++i) {
            stops.push_back(route.reached[i] / route.length);
            nextWaypoint = i + 1;
        }
        stops.push_back(f);
        for (double stop : stops) {
            Imath::V3d position, direction;
            route.at(stop, position, direction);
            fly(*world.camera, position, direction);
            frames.push_back(bench::runFrame(*game));
            lowestY = std::min(lowestY, world.camera->position.y);
            highestY = std::max(highestY, world.camera->position.y);
        }
        if (elapsed >= nextProgress) {
            nextProgress += progressPeriod;
            const Imath::V3d& at = world.camera->position;
            std::printf("  %4.0f s: eye (%.0f, %.0f, %.0f), %zu frames, %ld passes, %ld blocks rebuilt, %.1f MiB\n",
                        elapsed, at.x, at.y, at.z, frames.size(),
                        terrain.streamingPassCount.load(std::memory_order_relaxed) - passesBefore,
                        terrain.rebuiltBlockCount.load(std::memory_order_relaxed) - rebuiltBefore,
                        mebibytes(bench::statusKibibytes("VmRSS")));
            std::fflush(stdout);
        }
    }
    const double flown = bench::Seconds(bench::SteadyClock::now() - flightStart).count();

    // Home again with the start's view; the terrain catches up, then the rings and memory are judged.
    world.camera->position = start;
    world.camera->yaw = startYaw;
    world.camera->pitch = startPitch;
    world.camera->lookTarget = start + world.camera->viewDirection();
    const bool settled = bench::runUntilSettled(*game, settleTimeout);
    const long passes = terrain.streamingPassCount.load(std::memory_order_relaxed) - passesBefore;
    const long rebuilt = terrain.rebuiltBlockCount.load(std::memory_order_relaxed) - rebuiltBefore;
    const long endRss = bench::statusKibibytes("VmRSS");
    const long peakRss = bench::statusKibibytes("VmHWM");
    const std::vector<std::string> faults = bench::ringFaults(terrain);

    std::printf("\n| Flight | Frames | Frames/s | 50th pct (ms) | 95th pct (ms) | 99th pct (ms) | Max (ms) |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|\n");
    std::printf("| %.0f s, %.0f world units, y from %.0f to %.0f | %zu | %.1f | %.2f | %.2f | %.2f | %.2f |\n", flown,
                route.length, lowestY, highestY, frames.size(), static_cast<double>(frames.size()) / flown,
                bench::percentile(frames, 0.50) * 1e3, bench::percentile(frames, 0.95) * 1e3,
                bench::percentile(frames, 0.99) * 1e3, bench::percentile(frames, 1.0) * 1e3);
    std::printf("\n| Streaming passes | Blocks rebuilt | Resident at start (MiB) | Resident at end (MiB) | Peak (MiB) |\n");
    std::printf("|---:|---:|---:|---:|---:|\n");
    std::printf("| %ld | %ld | %.1f | %.1f | %.1f |\n\n", passes, rebuilt, mebibytes(startRss), mebibytes(endRss),
                mebibytes(peakRss));

    bool ok = true;
    if (!settled) {
        std::printf("FAIL: the terrain did not settle back home within %.0f s\n", settleTimeout);
        ok = false;
    }
    for (const std::string& fault : faults) {
        std::printf("FAIL: %s\n", fault.c_str());
        ok = false;
    }
    const long allowed = memoryMarginKibibytes + static_cast<long>(memoryMarginShare * static_cast<double>(startRss));
    if (endRss - startRss > allowed) {
        std::printf("FAIL: resident memory grew by %.1f MiB (allowed %.1f MiB)\n", mebibytes(endRss - startRss),
                    mebibytes(allowed));
        ok = false;
    }
    if (ok) {
        std::printf("every ring on the camera's cells, one block per cell; memory grew by %.1f MiB (allowed %.1f)\n",
                    mebibytes(endRss - startRss), mebibytes(allowed));
    }
    std::fflush(stdout);

    world.shutDown();
    game->window.close();
    return ok ? 0 : 1;
}
