#include <gtest/gtest.h>

#include <GL/glew.h>
#include <SFML/Window/Window.hpp>
#include <algorithm>
#include <vector>

#include "common/GlCheck.hpp"
#include "interface/TextHelpers.hpp"
#include "support/TestSupport.hpp"

namespace {
constexpr int side = 200;

// White ink drawn into a fresh 200 by 200 window: its bounding box, or count 0 when none.
struct Ink {
    int count = 0;
    int left = side, bottom = side, right = -1, top = -1;
};

Ink readWhiteInk() {
    std::vector<unsigned char> pixels(side * side * 4, 0);
    GL_CHECK(glFinish());
    GL_CHECK(glReadBuffer(GL_BACK));
    GL_CHECK(glPixelStorei(GL_PACK_ALIGNMENT, 1));
    GL_CHECK(glReadPixels(0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data()));
    Ink ink;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const unsigned char* p = &pixels[(y * side + x) * 4];
            if (p[0] < 200 || p[1] < 200 || p[2] < 200) continue;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.bottom = std::min(ink.bottom, y);
            ink.top = std::max(ink.top, y);
        }
    }
    return ink;
}
}  // namespace

// Text lands at window pixels from the bottom-left corner in white, whatever the matrices and
// the current colour hold, because bitmap glyphs follow the untouched raster position.
TEST(TextHelpersDisplayTest, TextIsPlacedInWindowPixelsIndependentOfTheMatrices) {
    ensureGlContext();
    useProgramFontSizes();
    sf::Window window(sf::VideoMode(side, side), "text drawing", sf::Style::None, sf::ContextSettings(24, 8));
    ASSERT_TRUE(window.setActive(true));
    GL_CHECK(glViewport(0, 0, side, side));
    GL_CHECK(glMatrixMode(GL_PROJECTION));
    GL_CHECK(glLoadIdentity());
    GL_CHECK(glOrtho(-3.0, 7.0, 50.0, 90.0, -1.0, 1.0));
    GL_CHECK(glMatrixMode(GL_MODELVIEW));
    GL_CHECK(glLoadIdentity());
    GL_CHECK(glTranslated(40.0, -25.0, 0.0));
    GL_CHECK(glScaled(3.0, 0.5, 1.0));
    GL_CHECK(glClearColor(0.0f, 0.0f, 0.0f, 1.0f));

    GL_CHECK(glClear(GL_COLOR_BUFFER_BIT));
    GL_CHECK(glColor3d(1.0, 0.0, 0.0));
    drawText("", 10.0, 10.0);
    EXPECT_EQ(readWhiteInk().count, 0);

    GL_CHECK(glClear(GL_COLOR_BUFFER_BIT));
    drawText("H", 10.0, 10.0);
    const Ink ink = readWhiteInk();
    ASSERT_GT(ink.count, 10);
    EXPECT_EQ(ink.bottom, 10);  // "H" stands on its baseline
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.left, 13);  // the first glyph's left bearing
    EXPECT_NEAR(ink.top - ink.bottom + 1, measureText("H").height, 1);
    window.setActive(false);
}
