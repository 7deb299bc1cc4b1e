#include "app/WindowMode.hpp"

#include <sstream>

namespace {
bool offered(int width, int height, const std::vector<sf::VideoMode>& modes) {
    for (const sf::VideoMode& mode : modes) {
        if (static_cast<int>(mode.width) == width && static_cast<int>(mode.height) == height) return true;
    }
    return false;
}

bool openableWindowSize(int width, int height) {
    return width >= 1 && height >= 1 && width <= largestWindowSide && height <= largestWindowSide;
}

WindowMode windowed(int width, int height) {
    WindowMode mode;
    mode.videoMode = sf::VideoMode(static_cast<unsigned>(width), static_cast<unsigned>(height),
                                   windowBitsPerPixel);
    return mode;
}
}  // namespace

WindowMode chooseWindowMode(bool fullscreen, int windowedWidth, int windowedHeight, int fullscreenWidth,
                            int fullscreenHeight, const sf::VideoMode& desktop,
                            const std::vector<sf::VideoMode>& fullscreenModes) {
    std::ostringstream note;
    if (fullscreen) {
        if (fullscreenWidth > 0 && fullscreenHeight > 0 &&
            offered(fullscreenWidth, fullscreenHeight, fullscreenModes)) {
            WindowMode mode;
            mode.videoMode = sf::VideoMode(static_cast<unsigned>(fullscreenWidth),
                                           static_cast<unsigned>(fullscreenHeight), windowBitsPerPixel);
            mode.fullscreen = true;
            return mode;
        }
        note << "Full-screen size " << fullscreenWidth << " by " << fullscreenHeight
             << " is not available; ";
        if (desktop.width > 0 && desktop.height > 0) {
            WindowMode mode;
            mode.videoMode = sf::VideoMode(desktop.width, desktop.height, windowBitsPerPixel);
            mode.fullscreen = true;
            note << "using full screen at " << desktop.width << " by " << desktop.height << ".\n";
            mode.fallbackNote = note.str();
            return mode;
        }
        WindowMode mode = windowed(fallbackWindowWidth, fallbackWindowHeight);
        note << "using a window of " << fallbackWindowWidth << " by " << fallbackWindowHeight << ".\n";
        mode.fallbackNote = note.str();
        return mode;
    }

    if (openableWindowSize(windowedWidth, windowedHeight)) return windowed(windowedWidth, windowedHeight);
    WindowMode mode = windowed(fallbackWindowWidth, fallbackWindowHeight);
    note << "Window size " << windowedWidth << " by " << windowedHeight << " cannot be opened; using "
         << fallbackWindowWidth << " by " << fallbackWindowHeight << ".\n";
    mode.fallbackNote = note.str();
    return mode;
}
