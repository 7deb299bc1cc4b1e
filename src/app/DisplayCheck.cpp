#include "app/DisplayCheck.hpp"

#include <X11/Xlib.h>

namespace {
Display* heldDisplay = nullptr;
}  // namespace

bool holdDisplay() {
    if (heldDisplay == nullptr) heldDisplay = XOpenDisplay(nullptr);
    return heldDisplay != nullptr;
}

void releaseDisplay() {
    if (heldDisplay == nullptr) return;
    XCloseDisplay(heldDisplay);
    heldDisplay = nullptr;
}
