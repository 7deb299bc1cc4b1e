#pragma once
// The terrain's layered 3D texture: one depth layer per image file (snow, rock, grass, dirt for the
// terrain), built once by the Terrain constructor. createLayeredTexture makes OpenGL calls and runs
// on the main thread; loadImagePixels only reads a file.
#include <GL/glew.h>

#include <cstdint>
#include <string>
#include <vector>

// One image in memory: 8-bit red, green, blue, alpha per pixel, top row first.
struct ImagePixels {
    unsigned width = 0;   // pixels
    unsigned height = 0;  // pixels
    std::vector<std::uint8_t> pixels;  // width * height * 4 bytes
};

// Loads an image file. A missing, unreadable or empty image prints "Error loading image data!" and
// gives a 0 x 0 image with no pixels.
ImagePixels loadImagePixels(const std::string& path);

// Builds a 3D texture whose layer i is files[i]; width and height are the first file's. Linear
// filtering or nearest, repeat wrapping or clamp to edge. Returns the texture name, with name 0 bound
// to GL_TEXTURE_3D afterwards; or 0 when no texture was made: an empty list (no OpenGL call, no
// message) or files of different sizes ("Error loading textures for 3d texture! Different sizes!").
GLuint createLayeredTexture(bool linear, bool repeat, const std::vector<std::string>& files);
