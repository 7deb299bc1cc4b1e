#pragma once
// Shared by the whole-program benchmarks: a private copy of the run directory to start the real Game
// in, one loop iteration of that Game, waiting for the terrain to settle, the ring check, frame-time
// statistics and the resident memory. Main thread only, like the Game it drives.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/Game.hpp"
#include "app/Settings.hpp"
#include "terrain/field/AtomicPosition.hpp"
#include "terrain/field/RingGeometry.hpp"
#include "terrain/field/Terrain.hpp"
#include "terrain/mesh/Block.hpp"
#include "world/Camera.hpp"
#include "world/World.hpp"

namespace bench {

using Seconds = std::chrono::duration<double>;
using SteadyClock = std::chrono::steady_clock;

// Set in the environment of the copy of the benchmark that runs inside the private run directory.
constexpr const char* privateRunMarker = "QUILLMOOR_BENCH_PRIVATE_RUN";
// Overrides where the run directory is found; by default the run/ beside the benchmark's bench/.
constexpr const char* runDirectoryVariable = "QUILLMOOR_RUN_DIR";
constexpr double benchWindowWidth = 800.0;   // pixels
constexpr double benchWindowHeight = 600.0;  // pixels

inline bool insidePrivateRunDirectory() { return std::getenv(privateRunMarker) != nullptr; }

// A benchmark may ask for another antialiasing level through this variable.
constexpr const char* antialiasingVariable = "QUILLMOOR_BENCH_AA_LEVEL";

// The settings file of the private run directory: 800 by 600 in a window, no frame-rate limit, and
// the antialiasing level of the original file, read with the program's own reader, unless the
// environment asks for another.
inline std::string benchSettingsText(const std::filesystem::path& originalSettings, unsigned& antialiasing) {
    Settings settings;
    std::ifstream original(originalSettings);
    std::ostringstream quiet;
    std::streambuf* previous = std::cout.rdbuf(quiet.rdbuf());
    readSettings(original, settings);
    std::cout.rdbuf(previous);
    antialiasing = settings.antialiasingLevel;
    if (const char* level = std::getenv(antialiasingVariable)) antialiasing = static_cast<unsigned>(std::atoi(level));
    std::ostringstream text;
    text << "[settings]\n"
         << "fullscreen false\n"
         << "windowed_width " << static_cast<int>(benchWindowWidth) << "\n"
         << "windowed_height " << static_cast<int>(benchWindowHeight) << "\n"
         << "fullscreen_width " << static_cast<int>(benchWindowWidth) << "\n"
         << "fullscreen_height " << static_cast<int>(benchWindowHeight) << "\n"
         << "AA_level " << antialiasing << "\n"
         << "framerate_limit 0\n";
    return text.str();
}

// The fonts load from the working directory while the process starts, so the Game must run in a
// process started inside the private copy. Called first by main: copies the run directory (without
// the executable) to a fresh directory under /tmp, writes the bench settings there, runs this same
// program inside it with the given arguments, removes the copy and returns the child's exit code.
inline int rerunInPrivateRunDirectory(char** argv) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path runDirectory;
    if (const char* configured = std::getenv(runDirectoryVariable)) {
        runDirectory = configured;
    } else {
        runDirectory = fs::read_symlink("/proc/self/exe", error).parent_path().parent_path() / "run";
    }
    const fs::path originalSettings = runDirectory / settingsPath;
    if (!fs::exists(originalSettings)) {
        std::printf("no run directory at %s (set %s)\n", runDirectory.c_str(), runDirectoryVariable);
        return 2;
    }

    char pattern[] = "/tmp/quillmoor-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 2;
    }
    const fs::path copy = pattern;
    for (const fs::directory_entry& entry : fs::directory_iterator(runDirectory)) {
        if (!entry.is_directory()) continue;  // resources only; the executable stays behind
        fs::copy(entry.path(), copy / entry.path().filename(), fs::copy_options::recursive, error);
        if (error) {
            std::printf("cannot copy %s: %s\n", entry.path().c_str(), error.message().c_str());
            fs::remove_all(copy, error);
            return 2;
        }
    }
    unsigned antialiasing = 0;
    std::ofstream(copy / settingsPath) << benchSettingsText(originalSettings, antialiasing);
    std::printf("private run directory %s (800 by 600, no frame-rate limit, antialiasing level %u)\n",
                copy.c_str(), antialiasing);
    std::fflush(stdout);

    const pid_t child = fork();
    if (child == 0) {
        if (chdir(copy.c_str()) != 0) _exit(2);
        setenv(privateRunMarker, "1", 1);
        setenv("ALSOFT_DRIVERS", "null", 0);  // no sound card needed for the music stream
        execv("/proc/self/exe", argv);
        _exit(2);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) status = 2 << 8;
    fs::remove_all(copy, error);
    if (WIFSIGNALED(status)) {
        std::printf("benchmark ended by signal %d\n", WTERMSIG(status));
        return 3;
    }
    return WEXITSTATUS(status);
}

// Starts the real program in the current run directory; null, with a line saying so, when its
// start-up checks failed. The Game is left to process exit, like the program's own.
inline Game* startGame() {
    Game* game = new Game();
    if (game->initOk) return game;
    std::printf("the Game did not start\n");
    return nullptr;
}

// One iteration of the program's loop: events, the (at most 60 Hz) World update, the frame.
// Returns its wall time in seconds.
inline double runFrame(Game& game) {
    const auto start = SteadyClock::now();
    game.handleEvents();
    game.update();
    game.render();
    return Seconds(SteadyClock::now() - start).count();
}

// Puts the eye at position looking at target; the next World update passes it through the ground
// clamp and on to the terrain.
inline void setPose(Camera& camera, const Imath::V3d& position, const Imath::V3d& target) {
    const Imath::V3d d = target - position;
    const double radiansToDegrees = 180.0 / 3.141592653589;
    camera.position = position;
    camera.yaw = std::atan2(d.z, d.x) * radiansToDegrees;
    const double pitch = std::atan2(d.y, std::sqrt(d.x * d.x + d.z * d.z)) * radiansToDegrees;
    camera.pitch = std::clamp(pitch, -maximumPitch, maximumPitch);
    camera.lookTarget = camera.position + camera.viewDirection();
    camera.viewChanged = true;
}

// Every block of every ring in the cells of the window around the followed position's cell, one
// block per cell, each box matching its cell. Call only when no pass runs. Returns the faults found.
inline std::vector<std::string> ringFaults(const Terrain& terrain) {
    std::vector<std::string> faults;
    const Imath::V3d followed = terrain.position->load();
    const char* names[ringCount] = {"coarse", "middle", "fine"};
    const std::vector<Block*>* lists[ringCount] = {&terrain.coarseBlocks, &terrain.middleBlocks,
                                                   &terrain.fineBlocks};
    for (int ring = 0; ring < ringCount; ++ring) {
        const double s = ringParameters[ring].blockSize;
        const int h = ringHalfWidth(ring);
        const Cell centre = cellOf(followed, s);
        std::ostringstream fault;
        if (terrain.ringCell[ring] != centre) {
            fault << names[ring] << " ring centred on (" << terrain.ringCell[ring].x << ", " << terrain.ringCell[ring].y
                  << ", " << terrain.ringCell[ring].z << "), camera cell (" << centre.x << ", " << centre.y << ", "
                  << centre.z << ")";
            faults.push_back(fault.str());
        }
        std::set<std::tuple<int, int, int>> occupied;
        int outside = 0, duplicates = 0, wrongBoxes = 0;
        for (const Block* block : *lists[ring]) {
            const Cell cell{block->cellX, block->cellY, block->cellZ};
            if (!insideWindow(cell, centre, h)) ++outside;
            if (!occupied.insert({cell.x, cell.y, cell.z}).second) ++duplicates;
            const CellBox box = cellBox(cell, s);
            if (box.minX != block->minX || box.maxX != block->maxX || box.minY != block->minY ||
                box.maxY != block->maxY || box.minZ != block->minZ || box.maxZ != block->maxZ)
                ++wrongBoxes;
        }
        const int expected = ringBlockCount(ring);
        if (outside != 0 || duplicates != 0 || wrongBoxes != 0 || static_cast<int>(lists[ring]->size()) != expected) {
            std::ostringstream text;
            text << names[ring] << " ring: " << lists[ring]->size() << " blocks (want " << expected << "), "
                 << outside << " outside the window, " << duplicates << " sharing a cell, " << wrongBoxes
                 << " with a box not matching their cell";
            faults.push_back(text.str());
        }
    }
    return faults;
}

// No build or pass running, no mesh waiting for its upload, every block faded in and every ring on
// the followed position's cells.
inline bool terrainSettled(const Terrain& terrain) {
    // Acquire: pairs with the build's and the pass's final release stores.
    if (terrain.initialBuildPending.load(std::memory_order_acquire)) return false;
    if (terrain.updatePending.load(std::memory_order_acquire)) return false;
    for (const Block* block : terrain.allBlocks) {
        // Acquire: pairs with the block's release once its staging arrays are filled.
        if (block->needsUpload.load(std::memory_order_acquire) || block->alpha < 1.0) return false;
    }
    return ringFaults(terrain).empty();
}

// Runs frames until the terrain has settled or timeout seconds have passed; true when settled.
// A few frames more follow, so the last uploads are drawn before anything is measured.
inline bool runUntilSettled(Game& game, double timeout) {
    const auto start = SteadyClock::now();
    while (!terrainSettled(*game.world->terrain)) {
        if (Seconds(SteadyClock::now() - start).count() > timeout) return false;
        runFrame(game);
    }
    for (int frame = 0; frame < 10; ++frame) runFrame(game);
    return true;
}

// Value at fraction q (0 to 1) of the sorted values, the nearest rank.
inline double percentile(std::vector<double> values, double q) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t rank = static_cast<size_t>(std::ceil(q * static_cast<double>(values.size())));
    return values[std::min(values.size() - 1, rank == 0 ? 0 : rank - 1)];
}

inline double mean(const std::vector<double>& values) {
    double sum = 0.0;
    for (double v : values) sum += v;
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

// A field of /proc/self/status in kibibytes, such as "VmRSS" (resident now) or "VmHWM" (its peak).
inline long statusKibibytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
    }
    return -1;
}

}  // namespace bench
