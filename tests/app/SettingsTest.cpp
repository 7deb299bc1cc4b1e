#include "app/Settings.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "support/TestSupport.hpp"

namespace {
const std::string invalidHeader = "Invalid header in \"settings.ini\"! Reverting to default settings.\n";
const std::string couldNotOpen = "Could not open \"settings.ini\"! Reverting to default settings.\n";

struct Read {
    Settings settings;
    std::string messages;
};

Read readText(const std::string& text) {
    std::istringstream stream(text);
    Read result;
    CapturedStdout captured;
    readSettings(stream, result.settings);
    result.messages = captured.text();
    return result;
}

struct SettingsCase {
    const char* name;
    std::string file;
    std::string messages;
    bool fullscreen;
    int width, height, fullscreenWidth, fullscreenHeight;
    unsigned antialiasing, framerateLimit;
};

class SettingsCases : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsCases, ReadsTheFileAsAUserWouldExpect) {
    const SettingsCase& expected = GetParam();
    const Read read = readText(expected.file);
    EXPECT_EQ(read.messages, expected.messages);
    EXPECT_EQ(read.settings.fullscreen, expected.fullscreen);
    EXPECT_EQ(read.settings.windowedWidth, expected.width);
    EXPECT_EQ(read.settings.windowedHeight, expected.height);
    EXPECT_EQ(read.settings.fullscreenWidth, expected.fullscreenWidth);
    EXPECT_EQ(read.settings.fullscreenHeight, expected.fullscreenHeight);
    EXPECT_EQ(read.settings.antialiasingLevel, expected.antialiasing);
    EXPECT_EQ(read.settings.framerateLimit, expected.framerateLimit);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsCases,
    ::testing::Values(
        SettingsCase{"CompleteExample",
                     "[settings]\nfullscreen false\nwindowed_width 1024\nwindowed_height 768\n"
                     "fullscreen_width 1280\nfullscreen_height 1024\nAA_level 4\nframerate_limit 60\n",
                     "", false, 1024, 768, 1280, 1024, 4, 60},
        SettingsCase{"HeaderOnly", "[settings]", "", false, 800, 600, 0, 0, 0, 0},
        SettingsCase{"EmptyFile", "", invalidHeader, false, 800, 600, 0, 0, 1, 0},
        SettingsCase{"CapitalHeaderStillAppliesKeys", "[Settings]\nwindowed_width 1024\n", invalidHeader, false,
                     1024, 600, 0, 0, 1, 0},
        SettingsCase{"MissingHeaderIsNotTakenAsKey", "windowed_width 1024 windowed_height 700", invalidHeader,
                     false, 800, 700, 0, 0, 1, 0},
        SettingsCase{"AllOnOneLine", "[settings] windowed_width 1024 windowed_height 768", "", false, 1024, 768,
                     0, 0, 0, 0},
        SettingsCase{"KeyAndValueOnTwoLinesWithTabsAndCarriageReturns",
                     "[settings]\r\nwindowed_width\r\n\t1280\r\n\v\fAA_level 2\r\n", "", false, 1280, 600, 0, 0, 2,
                     0},
        SettingsCase{"FullscreenTrue", "[settings] fullscreen true", "", true, 800, 600, 0, 0, 0, 0},
        SettingsCase{"FullscreenInCapitals", "[settings] fullscreen TRUE", "", false, 800, 600, 0, 0, 0, 0},
        SettingsCase{"FullscreenOne", "[settings] fullscreen 1 windowed_width 900", "", false, 900, 600, 0, 0,
                     0, 0},
        SettingsCase{"FullscreenValueMissingAtEnd", "[settings] fullscreen", "", false, 800, 600, 0, 0, 0, 0},
        SettingsCase{"LastOccurrenceWins", "[settings] windowed_width 640 windowed_width 1280", "", false, 1280,
                     600, 0, 0, 0, 0},
        SettingsCase{"UnknownKeyAndValueSkipped", "[settings] colour_depth 16 AA_level 2", "", false, 800, 600,
                     0, 0, 2, 0},
        SettingsCase{"KeysAreCaseSensitive", "[settings] Windowed_Width 1024 aa_level 8", "", false, 800, 600,
                     0, 0, 0, 0},
        SettingsCase{"TrailingLettersBecomeATokenOfTheirOwn",
                     "[settings] windowed_width 1024px windowed_height 700", "", false, 1024, 700, 0, 0, 0, 0},
        SettingsCase{"NonNumericValueStopsReadingAndKeepsPrevious",
                     "[settings] windowed_width 1000 windowed_width abc windowed_height 700", "", false, 1000,
                     600, 0, 0, 0, 0},
        SettingsCase{"NumberPast32BitsStopsReading",
                     "[settings] windowed_width 99999999999 windowed_height 700", "", false, 800, 600, 0, 0, 0,
                     0},
        SettingsCase{"NegativeNumberPast32BitsStopsReading", "[settings] windowed_height -2147483649 AA_level 2",
                     "", false, 800, 600, 0, 0, 0, 0},
        SettingsCase{"Extreme32BitValuesAreKept",
                     "[settings] windowed_width 2147483647 windowed_height -2147483648", "", false, 2147483647,
                     -2147483647 - 1, 0, 0, 0, 0},
        SettingsCase{"ZeroAndNegativeSizesArePassedOn",
                     "[settings] windowed_width 0 windowed_height -5 fullscreen_width -1", "", false, 0, -5, -1,
                     0, 0, 0},
        SettingsCase{"NumericValueMissingAtEnd", "[settings] windowed_width 1024 windowed_height", "", false,
                     1024, 600, 0, 0, 0, 0},
        SettingsCase{"NegativeAntialiasingAndLimitMeanNone", "[settings] AA_level -3 framerate_limit -1", "",
                     false, 800, 600, 0, 0, 0, 0},
        SettingsCase{"KeyGluedToHeaderIsNoHeader", "[settings]windowed_width 1024", invalidHeader, false, 800,
                     600, 0, 0, 1, 0}),
    [](const ::testing::TestParamInfo<SettingsCase>& info) { return std::string(info.param.name); });

TEST(SettingsFile, MissingFileRevertsToDefaultsWithAntialiasingOne) {
    std::ifstream missing("no/such/directory/settings.ini");
    Settings settings;
    settings.fullscreenWidth = 1280;
    CapturedStdout captured;
    readSettings(missing, settings);
    EXPECT_EQ(captured.text(), couldNotOpen);
    EXPECT_EQ(settings.windowedWidth, 800);
    EXPECT_EQ(settings.windowedHeight, 600);
    EXPECT_FALSE(settings.fullscreen);
    EXPECT_EQ(settings.antialiasingLevel, 1u);
    EXPECT_EQ(settings.fullscreenWidth, 0);
    EXPECT_EQ(settings.fullscreenHeight, 0);
}

TEST(SettingsFile, VeryLongFilesAreReadToTheEnd) {
    // A million junk tokens, then a key: the key still applies.
    std::string manyTokens = "[settings]\n";
    for (int i = 0; i < 1000000; ++i) manyTokens += "x ";
    manyTokens += "windowed_width 640";
    EXPECT_EQ(readText(manyTokens).settings.windowedWidth, 640);

    // One enormous token (16 MiB) neither matches a key nor swallows the next one.
    std::string hugeToken = "[settings] windowed_width";
    hugeToken.append(16u << 20, 'w');
    hugeToken += " AA_level 3";
    const Read read = readText(hugeToken);
    EXPECT_EQ(read.settings.windowedWidth, 800);
    EXPECT_EQ(read.settings.antialiasingLevel, 3u);
}

TEST(SettingsFile, RandomBytesNeverCrashAndOnlyTheHeaderDecidesTheMessage) {
    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 600);
    const char* fragments[] = {"[settings]", "windowed_width", "AA_level", "fullscreen", "true", "-",
                               "2147483648", "12", " ", "\n", "\0", "framerate_limit", "fullscreen_height"};
    for (int round = 0; round < 3000; ++round) {
        std::string file;
        const int pieces = length(random) / 20;
        for (int i = 0; i < pieces; ++i) {
            if (byte(random) < 128) {
                file += fragments[byte(random) % 13];
            } else {
                file.push_back(static_cast<char>(byte(random)));
            }
        }
        const Read read = readText(file);
        std::istringstream firstToken(file);
        std::string header;
        firstToken >> header;
        const bool headerOk = header == "[settings]";
        EXPECT_EQ(read.messages, headerOk ? "" : invalidHeader) << "file of " << file.size() << " bytes";
        // Keys that never appear in the bytes keep what the header decided.
        if (file.find("AA_level") == std::string::npos) {
            EXPECT_EQ(read.settings.antialiasingLevel, headerOk ? 0u : 1u);
        }
        if (file.find("windowed_width") == std::string::npos) EXPECT_EQ(read.settings.windowedWidth, 800);
        if (file.find("fullscreen_height") == std::string::npos) EXPECT_EQ(read.settings.fullscreenHeight, 0);
    }
}
}  // namespace
