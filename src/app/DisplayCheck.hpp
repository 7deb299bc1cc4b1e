#pragma once
// Asks the X server whether a display can be opened. SFML aborts the process when it cannot
// reach one, so the Game asks first. Kept apart because Xlib's macros clash with SFML's names.

bool displayAvailable();
