#include "app/WindowMode.hpp"

#include <gtest/gtest.h>

namespace {
const sf::VideoMode desktop(1280, 1024, 24);
const std::vector<sf::VideoMode> offeredModes = {sf::VideoMode(1280, 1024, 24), sf::VideoMode(800, 600, 24)};

struct ModeCase {
    const char* name;
    bool fullscreen;
    int width, height, fullscreenWidth, fullscreenHeight;
    unsigned expectedWidth, expectedHeight;
    bool expectedFullscreen;
    bool expectNote;
};

class WindowModeCases : public ::testing::TestWithParam<ModeCase> {};

TEST_P(WindowModeCases, OpensWhatTheDisplayCanServe) {
    const ModeCase& c = GetParam();
    const WindowMode mode = chooseWindowMode(c.fullscreen, c.width, c.height, c.fullscreenWidth,
                                             c.fullscreenHeight, desktop, offeredModes);
    EXPECT_EQ(mode.videoMode.width, c.expectedWidth);
    EXPECT_EQ(mode.videoMode.height, c.expectedHeight);
    EXPECT_EQ(mode.videoMode.bitsPerPixel, 32u);
    EXPECT_EQ(mode.fullscreen, c.expectedFullscreen);
    EXPECT_EQ(!mode.fallbackNote.empty(), c.expectNote) << mode.fallbackNote;
    if (c.expectNote) {
        // One line that names the size that was used.
        EXPECT_EQ(mode.fallbackNote.back(), '\n');
        EXPECT_EQ(mode.fallbackNote.find('\n'), mode.fallbackNote.size() - 1);
        EXPECT_NE(mode.fallbackNote.find(std::to_string(c.expectedWidth) + " by " +
                                         std::to_string(c.expectedHeight)),
                  std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowModeCases,
    ::testing::Values(ModeCase{"DefaultWindow", false, 800, 600, 0, 0, 800, 600, false, false},
                      ModeCase{"LargeWindow", false, 1024, 768, 0, 0, 1024, 768, false, false},
                      ModeCase{"ZeroWidth", false, 0, 600, 0, 0, 800, 600, false, true},
                      ModeCase{"NegativeHeight", false, 800, -5, 0, 0, 800, 600, false, true},
                      ModeCase{"BeyondWhatXCanMap", false, 2147483647, 600, 0, 0, 800, 600, false, true},
                      ModeCase{"OfferedFullscreen", true, 800, 600, 1280, 1024, 1280, 1024, true, false},
                      ModeCase{"FullscreenWithoutSize", true, 800, 600, 0, 0, 1280, 1024, true, true},
                      ModeCase{"FullscreenSizeNotOffered", true, 800, 600, 1000, 700, 1280, 1024, true, true}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

TEST(WindowMode, FullscreenWithNoDesktopSizeFallsBackToAWindow) {
    const WindowMode mode = chooseWindowMode(true, 1024, 768, 0, 0, sf::VideoMode(0, 0, 0), {});
    EXPECT_FALSE(mode.fullscreen);
    EXPECT_EQ(mode.videoMode.width, 800u);
    EXPECT_EQ(mode.videoMode.height, 600u);
    EXPECT_NE(mode.fallbackNote.find("800 by 600"), std::string::npos);
}
}  // namespace
