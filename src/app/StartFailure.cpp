#include "app/StartFailure.hpp"

#include <unistd.h>

#include <iostream>
#include <limits>

void waitForEnter(std::istream& input) {
    input.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

void reportFailedStart() {
    std::cout << "Game could not start...\n" << std::flush;
    if (isatty(STDIN_FILENO) != 0) {
        std::cout << "Press Enter to close." << std::endl;
        waitForEnter(std::cin);
    }
}
