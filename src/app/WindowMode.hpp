#pragma once
// Chooses the video mode and style the window is created with, falling back to a mode the window
// system can open when the settings ask for one it cannot. Pure; main thread at start-up.
#include <SFML/Window/VideoMode.hpp>

#include <string>
#include <vector>

struct WindowMode {
    sf::VideoMode videoMode;
    bool fullscreen = false;
    std::string fallbackNote;  // one console line when the requested size was replaced, else empty
};

constexpr int fallbackWindowWidth = 800;    // pixels
constexpr int fallbackWindowHeight = 600;   // pixels
constexpr int largestWindowSide = 16384;    // pixels; beyond this neither X nor OpenGL can serve
constexpr unsigned windowBitsPerPixel = 32;

// `fullscreenModes` is what the display offers (sf::VideoMode::getFullscreenModes()).
WindowMode chooseWindowMode(bool fullscreen, int windowedWidth, int windowedHeight, int fullscreenWidth,
                            int fullscreenHeight, const sf::VideoMode& desktop,
                            const std::vector<sf::VideoMode>& fullscreenModes);
