#include "TerrainImages.hpp"

#include "ColourRamp.hpp"
#include "TileableNoise.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <iostream>
#include <system_error>

const char* const terrainImageDirectory = "Resources/Textures/Terrain/";

namespace {

noise::module::Perlin makePerlin(int seed, int octaves, double persistence) {
    noise::module::Perlin perlin;
    perlin.SetSeed(seed);
    perlin.SetOctaveCount(octaves);
    perlin.SetPersistence(persistence);
    perlin.SetFrequency(1.0);
    return perlin;
}

double clamp01(double v) { return std::min(1.0, std::max(0.0, v)); }

double smoothStep(double edge0, double edge1, double v) {
    double t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

sf::Uint8 channel(double v) {
    return static_cast<sf::Uint8>(std::lround(std::min(255.0, std::max(0.0, v))));
}

sf::Color scale(sf::Color c, double factor) {
    return sf::Color(channel(c.r * factor), channel(c.g * factor), channel(c.b * factor));
}

sf::Color blend(sf::Color from, sf::Color to, double t) {
    return sf::Color(channel(from.r + (to.r - from.r) * t), channel(from.g + (to.g - from.g) * t),
                     channel(from.b + (to.b - from.b) * t));
}

// Tileable sample of a module at the tile position (u, v) in [0, 1), with `features` noise
// cells across the tile (the base octave's frequency per tile).
double tiled(const noise::module::Module& source, double u, double v, double features) {
    return sampleTileable(source, u * features, v * features, features);
}

// Soft, wind-packed snow: near-white with faint blue-grey drifts and a fine sparkle.
sf::Color snowPixel(double u, double v) {
    static const noise::module::Perlin drifts = makePerlin(11, 6, 0.5);
    static const noise::module::Perlin grain = makePerlin(12, 2, 0.5);
    static const ColourRamp ramp({{-0.8, sf::Color(206, 215, 230)},
                                  {0.0, sf::Color(235, 239, 246)},
                                  {0.8, sf::Color(253, 253, 254)}});
    double value = 0.75 * tiled(drifts, u, v, 4.0) + 0.12 * tiled(grain, u, v, 96.0);
    return ramp.colourAt(value);
}

// Grey stone with warped horizontal strata and dark cracks.
sf::Color rockPixel(double u, double v) {
    static const noise::module::Perlin body = makePerlin(21, 6, 0.55);
    static const noise::module::Perlin warp = makePerlin(22, 3, 0.5);
    static const noise::module::Perlin cracks = makePerlin(23, 4, 0.45);
    static const noise::module::Perlin fineCracks = makePerlin(24, 3, 0.45);
    static const noise::module::Perlin grain = makePerlin(25, 2, 0.5);
    static const ColourRamp ramp({{-0.9, sf::Color(58, 57, 57)},
                                  {0.0, sf::Color(120, 118, 115)},
                                  {0.9, sf::Color(182, 178, 171)}});
    const double strataPerTile = 11.0;  // whole number, so the layers meet across the tile edge
    // Position within the current layer, 0 at its top edge and 1 at its bottom edge.
    double layerPhase = strataPerTile * v + 0.9 * tiled(warp, u, v, 3.0);
    double withinLayer = layerPhase - std::floor(layerPhase);
    double value = 0.7 * tiled(body, u, v, 5.0) + 0.35 * (withinLayer - 0.5) +
                   0.1 * tiled(grain, u, v, 128.0);
    double seam = 1.0 - smoothStep(0.0, 0.08, withinLayer);
    double crack = 1.0 - smoothStep(0.0, 0.05, std::fabs(tiled(cracks, u, v, 6.0)));
    double fineCrack = 1.0 - smoothStep(0.0, 0.035, std::fabs(tiled(fineCracks, u, v, 16.0)));
    double shade = 1.0 - 0.5 * crack - 0.25 * fineCrack - 0.2 * seam;
    return scale(ramp.colourAt(value), std::max(0.3, shade));
}

// Meadow grass: patches of dark and light green, a blade-scale speckle and a few dry tufts.
sf::Color grassPixel(double u, double v) {
    static const noise::module::Perlin patches = makePerlin(31, 5, 0.5);
    static const noise::module::Perlin blades = makePerlin(32, 2, 0.6);
    static const noise::module::Perlin dry = makePerlin(33, 3, 0.5);
    static const ColourRamp ramp({{-0.8, sf::Color(34, 72, 22)},
                                  {-0.2, sf::Color(58, 106, 32)},
                                  {0.3, sf::Color(88, 136, 42)},
                                  {0.9, sf::Color(128, 156, 58)}});
    double value = tiled(patches, u, v, 4.0);
    double speckle = tiled(blades, u, v, 160.0);
    sf::Color colour = scale(ramp.colourAt(value + 0.25 * speckle), 0.85 + 0.3 * clamp01(0.5 + 0.5 * speckle));
    double dryness = smoothStep(0.3, 0.8, tiled(dry, u, v, 7.0));
    return blend(colour, sf::Color(118, 132, 56), 0.4 * dryness);
}

// Bare earth: mottled browns with small pale pebbles.
sf::Color dirtPixel(double u, double v) {
    static const noise::module::Perlin soil = makePerlin(41, 6, 0.55);
    static const noise::module::Perlin pebbles = makePerlin(42, 1, 0.5);
    static const noise::module::Perlin grain = makePerlin(43, 2, 0.5);
    static const ColourRamp ramp({{-0.9, sf::Color(58, 39, 26)},
                                  {-0.2, sf::Color(92, 64, 42)},
                                  {0.4, sf::Color(122, 88, 58)},
                                  {0.9, sf::Color(148, 110, 76)}});
    double value = tiled(soil, u, v, 4.0) + 0.15 * tiled(grain, u, v, 128.0);
    sf::Color colour = ramp.colourAt(value);
    double pebble = smoothStep(0.55, 0.65, tiled(pebbles, u, v, 40.0));
    return blend(colour, sf::Color(134, 116, 96), 0.6 * pebble);
}

}  // namespace

const char* terrainImageName(TerrainLayer layer) {
    switch (layer) {
    case TerrainLayer::Snow: return "snow.jpg";
    case TerrainLayer::Rock: return "rock.jpg";
    case TerrainLayer::Grass: return "grass.jpg";
    case TerrainLayer::Dirt: return "dirt.jpg";
    }
    return "";
}

sf::Image paintTerrainImage(TerrainLayer layer, unsigned size) {
    std::function<sf::Color(double, double)> pixel;
    switch (layer) {
    case TerrainLayer::Snow: pixel = snowPixel; break;
    case TerrainLayer::Rock: pixel = rockPixel; break;
    case TerrainLayer::Grass: pixel = grassPixel; break;
    case TerrainLayer::Dirt: pixel = dirtPixel; break;
    }
    sf::Image image;
    image.create(size, size, sf::Color::Black);
    for (unsigned y = 0; y < size; ++y) {
        for (unsigned x = 0; x < size; ++x) {
            // Column `size` would repeat column 0, so the last column leads into the first.
            image.setPixel(x, y, pixel(double(x) / size, double(y) / size));
        }
    }
    return image;
}

bool writeTerrainImages(const std::string& outputRoot) {
    std::filesystem::path directory = std::filesystem::path(outputRoot) / terrainImageDirectory;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        std::cout << "Cannot create directory " << directory.string() << ": " << error.message()
                  << "\n";
        return false;
    }
    for (TerrainLayer layer : {TerrainLayer::Snow, TerrainLayer::Rock, TerrainLayer::Grass,
                               TerrainLayer::Dirt}) {
        std::string path = (directory / terrainImageName(layer)).string();
        if (!paintTerrainImage(layer, terrainImageSize).saveToFile(path)) {
            std::cout << "Cannot write terrain image " << path << "\n";
            return false;
        }
    }
    return true;
}
