#pragma once
// Holds a connection to the X server from before the Game opens its window until after. SFML
// aborts the process when it cannot reach a display, so main asks first; holding the connection
// keeps a server that resets when its last client leaves from resetting in between. Main thread.
// Kept apart because Xlib's macros clash with SFML's names.

// Opens the connection and keeps it, retrying briefly while a server resets; false when no
// display can be reached.
bool holdDisplay();

// Closes the connection that holdDisplay opened, once the window holds its own.
void releaseDisplay();
