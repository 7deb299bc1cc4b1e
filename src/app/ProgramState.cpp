#include "app/ProgramState.hpp"

const char* const smallFontPath = "./resources/fonts/lacuna/LACURG__.TTF";
const char* const mediumFontPath = "./resources/fonts/echolot/ECHOLOT_.TTF";

Game* gameInstance = nullptr;
int windowWidth = 800;
int windowHeight = 600;
bool fullscreenMode = false;
bool programRunning = false;

// Defined in this order so that static initialisation loads them small, large, medium.
FTBitmapFont fontSmall(smallFontPath);
FTBitmapFont fontLarge(smallFontPath);
FTBitmapFont fontMedium(mediumFontPath);

void applyFontSizes() {
    fontSmall.FaceSize(15, 72);
    fontLarge.FaceSize(70, 72);
    fontMedium.FaceSize(30, 72);
}
