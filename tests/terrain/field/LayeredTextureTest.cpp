#include "terrain/field/LayeredTexture.hpp"

#include <gtest/gtest.h>

#include "support/TestSupport.hpp"
#include "terrain/field/TextureImages.hpp"

namespace {

TEST(LoadImagePixelsTest, GivesTheSizeAndTheRgbaPixelsTopRowFirst) {
    TextureImages images;
    sf::Image image;
    image.create(3, 2, sf::Color(10, 20, 30));
    image.setPixel(0, 0, sf::Color(200, 100, 50, 255));  // top-left
    const std::string path = images.missing("marked.png");  // lossless, so exact bytes can be compared
    ASSERT_TRUE(image.saveToFile(path));

    CapturedStdout out;
    const ImagePixels loaded = loadImagePixels(path);
    EXPECT_EQ(out.text(), "");
    EXPECT_EQ(loaded.width, 3u);
    EXPECT_EQ(loaded.height, 2u);
    ASSERT_EQ(loaded.pixels.size(), 3u * 2u * 4u);
    EXPECT_EQ(loaded.pixels[0], 200);
    EXPECT_EQ(loaded.pixels[1], 100);
    EXPECT_EQ(loaded.pixels[2], 50);
    EXPECT_EQ(loaded.pixels[3], 255);
    EXPECT_EQ(loaded.pixels[4], 10);
    EXPECT_EQ(loaded.pixels[23], 255);
}

TEST(LoadImagePixelsTest, MissingOrUnreadableFileGivesItsMessageAndAnEmptyImage) {
    TextureImages images;
    const std::string garbage = images.missing("garbage.jpg");
    { std::ofstream(garbage) << "not an image"; }
    for (const std::string& path : {images.missing("absent.jpg"), garbage}) {
        CapturedStdout out;
        const ImagePixels loaded = loadImagePixels(path);
        EXPECT_EQ(out.text(), "Error loading image data!\n") << path;
        EXPECT_EQ(loaded.width, 0u);
        EXPECT_EQ(loaded.height, 0u);
        EXPECT_TRUE(loaded.pixels.empty());
    }
}

// No OpenGL context exists in this test program, so any OpenGL call here would fail loudly.
TEST(CreateLayeredTextureTest, EmptyListGivesZeroWithoutMessageOrOpenGl) {
    CapturedStdout out;
    EXPECT_EQ(createLayeredTexture(true, true, {}), 0u);
    EXPECT_EQ(out.text(), "");
}

}  // namespace
