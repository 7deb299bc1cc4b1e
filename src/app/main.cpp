#include <iostream>

#include "app/DisplayCheck.hpp"
#include "app/Game.hpp"
#include "app/StartFailure.hpp"

int main() {
    // The window library aborts the process when it cannot reach a display: say so and stop first.
    // The connection stays open until the window has its own, so the server cannot reset between.
    if (!holdDisplay()) {
        std::cout << "Error: Could not open a window: no display is available!\n";
        reportFailedStart();
        return 0;
    }
    Game* game = new Game();  // left to process exit, like the window it owns
    releaseDisplay();
    if (game->run() != 0) reportFailedStart();
    return 0;
}
