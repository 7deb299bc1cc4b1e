// Generates the program's terrain images and background music into a run directory.
// Usage: generate_assets <output root directory>
#include "MainMusic.hpp"
#include "TerrainImages.hpp"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cout << "Usage: generate_assets <output root directory>\n";
        return 2;
    }
    std::string root = argv[1];
    if (!writeTerrainImages(root)) {
        std::cout << "generate_assets: terrain images failed\n";
        return 1;
    }
    if (!writeMainMusic(root)) {
        std::cout << "generate_assets: music failed\n";
        return 1;
    }
    std::cout << "generate_assets: wrote terrain images and music below " << root << "\n";
    return 0;
}
