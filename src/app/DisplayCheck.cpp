#include "app/DisplayCheck.hpp"

#include <X11/Xlib.h>

bool displayAvailable() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    XCloseDisplay(display);
    return true;
}
