#pragma once
// Small solid-colour JPEG images written into a fresh temporary directory for the texture tests,
// removed with the fixture.
#include <SFML/Graphics/Image.hpp>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

class TextureImages {
public:
    TextureImages() {
        directory = std::filesystem::temp_directory_path() /
                    ("quillmoor-textures-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "-" +
                     std::to_string(counter()++));
        std::filesystem::create_directories(directory);
    }
    ~TextureImages() {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
    TextureImages(const TextureImages&) = delete;
    TextureImages& operator=(const TextureImages&) = delete;

    // Writes a width x height image of one colour and returns its path.
    std::string write(const std::string& name, unsigned width, unsigned height, sf::Color colour) const {
        sf::Image image;
        image.create(width, height, colour);
        const std::string path = (directory / name).string();
        image.saveToFile(path);
        return path;
    }

    std::string missing(const std::string& name) const { return (directory / name).string(); }

private:
    static int& counter() {
        static int value = 0;
        return value;
    }
    std::filesystem::path directory;
};
