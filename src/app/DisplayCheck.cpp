#include "app/DisplayCheck.hpp"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {
// A server that resets when its last client leaves refuses connections for a moment: try again
// for up to about a second before calling the display unreachable.
constexpr int displayAttempts = 20;
constexpr std::chrono::milliseconds displayRetryPause(50);

Display* heldDisplay = nullptr;
}  // namespace

bool holdDisplay() {
    const char* name = std::getenv("DISPLAY");
    const bool named = name != nullptr && name[0] != '\0';
    for (int attempt = 0; heldDisplay == nullptr && attempt < displayAttempts; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(displayRetryPause);
        heldDisplay = XOpenDisplay(nullptr);
        if (!named) break;  // nothing to wait for
    }
    return heldDisplay != nullptr;
}

void releaseDisplay() {
    if (heldDisplay == nullptr) return;
    XCloseDisplay(heldDisplay);
    heldDisplay = nullptr;
}
