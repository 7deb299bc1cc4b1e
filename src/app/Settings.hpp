#pragma once
// Reads the settings file: window size, full-screen mode and size, antialiasing level and
// frame-rate limit. Pure: a stream in, values and console messages out. Main thread at start-up.
#include <istream>

constexpr const char* settingsPath = "resources/config/settings.ini";

struct Settings {
    bool fullscreen = false;
    int windowedWidth = 800;     // pixels
    int windowedHeight = 600;    // pixels
    int fullscreenWidth = 0;     // pixels
    int fullscreenHeight = 0;    // pixels
    unsigned antialiasingLevel = 0;
    unsigned framerateLimit = 0;  // frames per second; 0 means no limit
};

// Applies the file's keys over the values already in `settings`. A stream that failed to open
// reports so and leaves the defaults with antialiasing level 1; a bad header reports so, sets
// antialiasing level 1 and full-screen size 0 by 0, and still applies the keys that follow.
// Reading stops at the first value that is not a number; that key keeps its previous value.
void readSettings(std::istream& stream, Settings& settings);
