#include "app/Game.hpp"
#include "app/StartFailure.hpp"

int main() {
    Game* game = new Game();  // left to process exit, like the window it owns
    if (game->run() != 0) reportFailedStart();
    return 0;
}
