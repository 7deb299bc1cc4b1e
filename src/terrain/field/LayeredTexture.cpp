#include "terrain/field/LayeredTexture.hpp"

#include <SFML/Graphics/Image.hpp>

#include <cstring>
#include <iostream>

#include "common/GlCheck.hpp"

ImagePixels loadImagePixels(const std::string& path) {
    ImagePixels result;
    sf::Image image;
    image.loadFromFile(path);
    const sf::Vector2u size = image.getSize();
    if (size.x != 0 && size.y != 0) {
        result.width = size.x;
        result.height = size.y;
        const std::uint8_t* source = image.getPixelsPtr();
        result.pixels.assign(source, source + static_cast<size_t>(size.x) * size.y * 4);
    } else {
        std::cout << "Error loading image data!\n";
    }
    return result;
}

GLuint createLayeredTexture(bool linear, bool repeat, const std::vector<std::string>& files) {
    if (files.empty()) return 0;

    // Every file is loaded before any size is compared, so each missing file reports itself.
    std::vector<ImagePixels> images;
    images.reserve(files.size());
    for (const std::string& file : files) images.push_back(loadImagePixels(file));

    const unsigned width = images.front().width;
    const unsigned height = images.front().height;
    const size_t layerBytes = static_cast<size_t>(width) * height * 4;
    std::vector<std::uint8_t> layers(layerBytes * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        if (images[i].width != width || images[i].height != height) {
            std::cout << "Error loading textures for 3d texture! Different sizes!\n";
            return 0;
        }
        if (layerBytes != 0) std::memcpy(layers.data() + i * layerBytes, images[i].pixels.data(), layerBytes);
    }

    GLuint texture = 0;
    GL_CHECK(glGenTextures(1, &texture));
    GL_CHECK(glBindTexture(GL_TEXTURE_3D, texture));
    GL_CHECK(glTexImage3D(GL_TEXTURE_3D, 0, GL_RGBA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height),
                          static_cast<GLsizei>(images.size()), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                          layers.empty() ? nullptr : layers.data()));
    const GLint wrap = repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    GL_CHECK(glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_S, wrap));
    GL_CHECK(glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_T, wrap));
    GL_CHECK(glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R, wrap));
    const GLint filter = linear ? GL_LINEAR : GL_NEAREST;
    GL_CHECK(glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, filter));
    GL_CHECK(glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, filter));
    GL_CHECK(glBindTexture(GL_TEXTURE_3D, 0));
    return texture;
}
