#include <gtest/gtest.h>

#include <string>

#include "interface/TextHelpers.hpp"
#include "support/TestSupport.hpp"

TEST(TextHelpersTest, ParseNumberReadsALeadingNumberOrGivesTheLargestInt) {
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"7", 7.0}, {"12", 12.0}, {"3x", 3.0}, {" 4", 4.0}, {"", 2147483647.0}, {"x", 2147483647.0},
    };
    for (const Case& c : cases) EXPECT_EQ(parseNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(TextHelpersTest, MeasuresTheGlyphsOfTheStringItself) {
    useProgramFontSizes();
    const TextExtent empty = measureText("");
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, 0);
    // The height is that of the string's own glyphs, not a line height.
    EXPECT_GT(measureText("A").height, measureText("a").height);
    EXPECT_GT(measureText("   ").width, 0);
    // Titles use the large face.
    EXPECT_GT(measureTitleText("A").height, 2 * measureText("A").height);
}
