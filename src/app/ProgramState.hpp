#pragma once
// Program-wide state shared by every subsystem on the main thread: the one Game, the window's
// client size, the full-screen request, the loop condition and the three bitmap fonts.
#include <FTGL/ftgl.h>

class Game;

extern const char* const smallFontPath;   // also the title font's file
extern const char* const mediumFontPath;

extern Game* gameInstance;
extern int windowWidth;   // pixels; current client size, also the windowed size requested
extern int windowHeight;  // pixels
extern bool fullscreenMode;
extern bool programRunning;

// Loaded from their files during static initialisation; face sizes are set by the Game.
extern FTBitmapFont fontSmall;   // interface text and the frame-rate text
extern FTBitmapFont fontLarge;   // page titles
extern FTBitmapFont fontMedium;  // loaded and checked, never drawn

// Sets the face sizes of the three fonts (15, 70, 30 at 72 dpi).
void applyFontSizes();
