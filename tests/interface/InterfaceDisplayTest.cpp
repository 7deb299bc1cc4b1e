#include <gtest/gtest.h>

#include <GL/glew.h>
#include <algorithm>
#include <SFML/Window/Window.hpp>
#include <memory>
#include <vector>

#include "app/ProgramState.hpp"
#include "common/GlCheck.hpp"
#include "interface/MenuFixture.hpp"
#include "support/TestSupport.hpp"

namespace {
struct Pixel {
    int red, green, blue;
};

// An 800 by 600 window with the frame's 2D overlay state: one unit per pixel from the
// bottom-left corner, no depth test or lighting, alpha blending on.
class InterfaceDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlContext();
        useProgramFontSizes();
        window = std::make_unique<sf::Window>(sf::VideoMode(800, 600), "menu drawing", sf::Style::None,
                                              sf::ContextSettings(24, 8));
        ASSERT_TRUE(window->setActive(true));
        windowWidth = 800;
        windowHeight = 600;
        programRunning = true;
        GL_CHECK(glViewport(0, 0, 800, 600));
        GL_CHECK(glMatrixMode(GL_PROJECTION));
        GL_CHECK(glLoadIdentity());
        GL_CHECK(glOrtho(0.0, 800.0, 0.0, 600.0, -1.0, 1.0));
        GL_CHECK(glMatrixMode(GL_MODELVIEW));
        GL_CHECK(glLoadIdentity());
        GL_CHECK(glDisable(GL_DEPTH_TEST));
        GL_CHECK(glDisable(GL_LIGHTING));
        GL_CHECK(glEnable(GL_BLEND));
        GL_CHECK(glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA));
        GL_CHECK(glShadeModel(GL_SMOOTH));
        world.build();
        world.menu.update(0.0);
    }

    void TearDown() override {
        if (window) window->setActive(false);
    }

    // Clears to the frame's green, draws the interface and reads the picture back.
    void drawFrame() {
        GL_CHECK(glClearColor(0.1f, 0.8f, 0.1f, 1.0f));
        GL_CHECK(glClear(GL_COLOR_BUFFER_BIT));
        world.menu.draw();
        GL_CHECK(glFinish());
        pixels.assign(800 * 600 * 4, 0);
        GL_CHECK(glReadBuffer(GL_BACK));
        GL_CHECK(glPixelStorei(GL_PACK_ALIGNMENT, 1));
        GL_CHECK(glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data()));
    }

    Pixel at(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * 800 + x) * 4;
        return Pixel{pixels[i], pixels[i + 1], pixels[i + 2]};
    }

    static bool isWhite(const Pixel& p) { return p.red >= 230 && p.green >= 230 && p.blue >= 230; }

    // Checks the body gradient of a button and that its label is white and centred on it.
    void expectButtonDrawn(const InterfaceComponent* button) {
        const int left = button->x + 3;  // left of any label
        const Pixel bottom = at(left, button->y + 1);
        const Pixel upper = at(left, button->top - 1);
        EXPECT_LT(bottom.red, 25) << button->getText();
        EXPECT_EQ(bottom.red, bottom.blue) << button->getText();
        EXPECT_GT(upper.red, 100) << button->getText();
        EXPECT_LT(upper.red, 135) << button->getText();
        EXPECT_EQ(upper.red, upper.green) << button->getText();

        int whiteCount = 0, minX = 800, maxX = -1;
        for (int y = button->y; y <= button->top; ++y) {
            for (int x = button->x; x <= button->right; ++x) {
                if (!isWhite(at(x, y))) continue;
                ++whiteCount;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
        }
        EXPECT_GT(whiteCount, 20) << button->getText();
        const int labelCentre = (minX + maxX) / 2;
        const int buttonCentre = (button->x + button->right) / 2;
        EXPECT_NEAR(labelCentre, buttonCentre, 3) << button->getText();
    }

    WorldMenu world;
    std::unique_ptr<sf::Window> window;
    std::vector<unsigned char> pixels;
};
}  // namespace

TEST_F(InterfaceDisplayTest, ClosedMenuDrawsOnlyTheTopRow) {
    drawFrame();
    for (InterfaceComponent* button : world.menu.topRow) expectButtonDrawn(button);
    // The scene shows everywhere else: no background, no page entries.
    for (const auto& point : {std::make_pair(20, 20), std::make_pair(400, 300), std::make_pair(400, 260),
                              std::make_pair(780, 590)}) {
        const Pixel p = at(point.first, point.second);
        EXPECT_NEAR(p.red, 26, 2);
        EXPECT_NEAR(p.green, 204, 2);
    }
}

TEST_F(InterfaceDisplayTest, OpenMenuCoversTheSceneWithAGradientPageAndTitle) {
    world.menu.openMenu();
    world.menu.backgroundColour = Colour{0.3, 0.2, 0.35};
    drawFrame();

    // Opaque gradient from the colour at the bottom to black at the top.
    const Pixel bottom = at(20, 0);
    EXPECT_NEAR(bottom.red, 77, 3);
    EXPECT_NEAR(bottom.green, 51, 3);
    EXPECT_NEAR(bottom.blue, 89, 3);
    EXPECT_GT(at(20, 150).red, at(20, 300).red);
    EXPECT_GT(at(20, 300).red, at(20, 450).red);
    EXPECT_LT(at(20, 599).red, 3);
    EXPECT_LT(at(780, 590).green, 3);  // the frame's green is covered

    for (InterfaceComponent* entry : world.menu.pages[0].components) expectButtonDrawn(entry);
    // The top row is hidden while the menu is open.
    EXPECT_FALSE(isWhite(at(world.playPause->x + world.playPause->width / 2, world.playPause->y + 8)));
    int topRowWhite = 0;
    for (InterfaceComponent* button : world.menu.topRow) {
        for (int y = button->y; y <= button->top; ++y)
            for (int x = button->x; x <= button->right; ++x) topRowWhite += isWhite(at(x, y)) ? 1 : 0;
    }
    EXPECT_EQ(topRowWhite, 0);

    // The title: white, centred, in the upper part of the window.
    int titleWhite = 0, minX = 800, maxX = -1;
    for (int y = 400; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            if (!isWhite(at(x, y))) continue;
            ++titleWhite;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
        }
    }
    EXPECT_GT(titleWhite, 300);
    // Centred on its measured extent, which starts at the first glyph's left bearing past the pen.
    EXPECT_NEAR((minX + maxX) / 2, 400, 8);
}

TEST_F(InterfaceDisplayTest, TextFieldShowsItsLinesAndScrollBoxes) {
    world.menu.openMenu();
    world.menu.currentPage = world.aboutPage;
    world.menu.backgroundColour = Colour{0.0, 0.0, 0.0};
    drawFrame();
    const TextField& field = *world.about;
    ASSERT_GT(field.lines.size(), 1u);

    int whiteInField = 0;
    for (int y = field.y; y <= field.top; ++y)
        for (int x = field.x; x < field.right - 15; ++x) whiteInField += isWhite(at(x, y)) ? 1 : 0;
    EXPECT_GT(whiteInField, 500);
    // The first line's baseline sits lineHeight + 2 below the top: nothing white above that line's glyphs.
    for (int x = field.x; x < field.right - 15; ++x) EXPECT_FALSE(isWhite(at(x, field.top - 1)));

    // The grey scroll box is brighter than the field's background beside it.
    const Pixel box = at(field.right - 13, field.top - 2);
    const Pixel beside = at(field.right - 40, field.top - 2);
    EXPECT_GT(box.red, beside.red + 20);
    const Pixel downBox = at(field.right - 13, field.y + 13);
    EXPECT_GT(downBox.red, at(field.right - 40, field.y + 13).red + 20);

    for (InterfaceComponent* entry : world.menu.pages[world.aboutPage].components) {
        if (entry->type == buttonType) expectButtonDrawn(entry);
    }
}

TEST_F(InterfaceDisplayTest, DrawingLeavesNoOpenGLError) {
    const unsigned before = glcheck::errorCount();
    // Glowing, hovered and focused states, every page and the top row.
    world.menu.onMouseMove(world.playPause->x + 5, world.playPause->y + 5);
    world.menu.onMouseButton(leftMouseButton, mousePressAction, world.volumeUp->x + 5, world.volumeUp->y + 5);
    for (int i = 0; i < 5; ++i) world.menu.update(1.0 / 60.0);
    drawFrame();
    world.menu.openMenu();
    for (int page = 0; page < world.menu.pageCount; ++page) {
        world.menu.currentPage = page;
        if (page == world.aboutPage) {
            world.menu.onMouseButton(leftMouseButton, mousePressAction, world.about->x + 40, world.about->y + 100);
            ASSERT_EQ(world.menu.focusedField, world.about.get());
        }
        drawFrame();
    }
    EXPECT_EQ(glcheck::errorCount(), before);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Drawing leaves the overlay state as it found it.
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}
