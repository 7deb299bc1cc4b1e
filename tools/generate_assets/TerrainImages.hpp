#pragma once
// Paints the four terrain images (snow, rock, grass, dirt) from seeded, tileable noise and saves
// them as JPEG files where the program loads them. Used by the asset generator (single-threaded).
#include <SFML/Graphics/Image.hpp>

#include <string>

enum class TerrainLayer { Snow, Rock, Grass, Dirt };

constexpr unsigned terrainImageSize = 512;  // pixels, width and height of every terrain image

// Directory of the terrain images relative to the run directory, with a trailing slash.
extern const char* const terrainImageDirectory;

// File name of a layer's image, e.g. "snow.jpg".
const char* terrainImageName(TerrainLayer layer);

// Paints one layer as an opaque size x size image that repeats seamlessly in both directions.
// The same layer and size always give the same pixels.
sf::Image paintTerrainImage(TerrainLayer layer, unsigned size);

// Paints every layer and writes it below outputRoot, creating the directories. On failure prints
// one line saying which file could not be written and returns false.
bool writeTerrainImages(const std::string& outputRoot);
