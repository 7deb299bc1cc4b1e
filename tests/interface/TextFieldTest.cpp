#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interface/TextField.hpp"
#include "interface/TextHelpers.hpp"
#include "support/TestSupport.hpp"

namespace {
class TextFieldTest : public ::testing::Test {
protected:
    void SetUp() override { useProgramFontSizes(); }
};

using Lines = std::vector<std::string>;

std::string numberedLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + "\n";
    text += "last";
    return text;
}
}  // namespace

TEST_F(TextFieldTest, ThirdWordThatDoesNotFitStartsANewLine) {
    const int limit = measureText("alpha beta ").width + 1;
    ASSERT_GT(measureText("alpha beta gamma").width, limit);
    EXPECT_EQ(wrapText("alpha beta gamma", limit), (Lines{"alpha beta ", "gamma"}));
}

TEST_F(TextFieldTest, NewlinesEndLinesWithOrWithoutAFullStop) {
    EXPECT_EQ(wrapText("First.\nSecond", 380), (Lines{"First.", "Second"}));
    EXPECT_EQ(wrapText("First\nSecond", 380), (Lines{"First", "Second"}));
    EXPECT_EQ(wrapText("", 380), (Lines{""}));
    EXPECT_EQ(wrapText("Ends in a break\n", 380), (Lines{"Ends in a break", ""}));
}

TEST_F(TextFieldTest, EverySeparatorClosesALineAndOtherCharactersDoNot) {
    const std::string separators = " \t\\.,:;()[]{}+-*/=";
    for (char separator : separators) {
        const std::string head = std::string("aaaa") + separator;
        const int limit = measureText(head).width + 1;
        ASSERT_GT(measureText(head + "bbbbbb").width, limit);
        EXPECT_TRUE(isWrapSeparator(separator));
        EXPECT_EQ(wrapText(head + "bbbbbb", limit), (Lines{head, "bbbbbb"})) << "separator '" << separator << "'";
    }
    for (char other : std::string("!_?'\"#a9")) {
        EXPECT_FALSE(isWrapSeparator(other));
        const std::string word = std::string("aaaa") + other + "bbbbbb";
        const Lines lines = wrapText(word, measureText("aaaa").width + 1);
        EXPECT_EQ(lines.back(), word) << "character '" << other << "' must not split a word";
    }
}

TEST_F(TextFieldTest, WordWiderThanTheLimitGetsALineOfItsOwn) {
    const int limit = measureText("ab ").width + 2;
    EXPECT_EQ(wrapText("ab xxxxxxxxxxxxxxxx cd", limit), (Lines{"ab ", "xxxxxxxxxxxxxxxx ", "cd"}));
}

TEST_F(TextFieldTest, NewFieldIs400By200AndWrapsToItsWidth) {
    std::string paragraph;
    for (int i = 0; i < 40; ++i) paragraph += "word" + std::to_string(i) + " ";
    TextField field("FIELD", paragraph, false);
    EXPECT_EQ(field.type, textFieldType);
    EXPECT_EQ(field.width, 400);
    EXPECT_EQ(field.height, 200);
    EXPECT_EQ(field.right, 400);
    EXPECT_EQ(field.top, 200);
    ASSERT_GT(field.lines.size(), 2u);
    std::string joined;
    for (const std::string& line : field.lines) {
        EXPECT_LE(measureText(line).width, 380) << line;
        joined += line;
    }
    EXPECT_EQ(joined, paragraph);

    TextField empty("EMPTY", "", false);
    EXPECT_EQ(empty.lines, (Lines{""}));
    EXPECT_EQ(empty.width, 400);
}

TEST_F(TextFieldTest, VisibleLinesFollowTheHeight) {
    TextField field("FIELD", numberedLines(40), false);
    const int expectedLineHeight = measureText("A").height + 5;
    EXPECT_EQ(field.lineHeight, expectedLineHeight);
    // As many whole lines as fit in the height less 10 pixels.
    EXPECT_GE(field.visibleLines, 5);
    EXPECT_LE(field.visibleLines * field.lineHeight, 190);
    EXPECT_GT((field.visibleLines + 1) * field.lineHeight, 190);

    field.setSize(400, 30);
    EXPECT_EQ(field.visibleLines, 1);
    field.setSize(400, 5);
    EXPECT_EQ(field.visibleLines, 1);
    EXPECT_EQ(field.height, 5);  // a text field keeps the size it is given
}

TEST_F(TextFieldTest, HoldingTheDownBoxScrollsAtOnceThenEveryTenthOfASecond) {
    TextField field("FIELD", numberedLines(30), false);
    field.setPosition(100, 100);
    const int lastStart = static_cast<int>(field.lines.size()) - field.visibleLines;
    ASSERT_GT(lastStart, 3);

    EXPECT_EQ(field.onMouseButton(leftMouseButton, mousePressAction, field.right - 7, field.y + 7), nullptr);
    EXPECT_TRUE(field.scrollDownHeld);
    field.update(0.04);
    EXPECT_EQ(field.firstLine, 1);  // the first step comes at once
    for (int i = 0; i < 3; ++i) field.update(0.04);
    EXPECT_EQ(field.firstLine, 1);  // 0.12 s collected, the next update steps
    field.update(0.04);
    EXPECT_EQ(field.firstLine, 2);

    for (int i = 0; i < 400; ++i) field.update(0.04);
    EXPECT_EQ(field.firstLine, lastStart);  // stops with the last line at the bottom

    field.onMouseButton(leftMouseButton, mouseReleaseAction, 0, 0);
    EXPECT_FALSE(field.scrollDownHeld);

    field.onMouseButton(leftMouseButton, mousePressAction, field.right - 7, field.top - 7);
    EXPECT_TRUE(field.scrollUpHeld);
    field.update(0.04);
    EXPECT_EQ(field.firstLine, lastStart - 1);
    for (int i = 0; i < 400; ++i) field.update(0.04);
    EXPECT_EQ(field.firstLine, 0);  // stops at the first line

    field.onMouseButton(leftMouseButton, mouseReleaseAction, 0, 0);
    field.firstLine = 2;
    for (int i = 0; i < 20; ++i) field.update(0.04);
    EXPECT_EQ(field.firstLine, 2);  // nothing held, nothing scrolls
}

TEST_F(TextFieldTest, ScrollBoxEdgesAreOutsideAndOtherButtonsAreIgnored) {
    TextField field("FIELD", numberedLines(30), false);
    field.setPosition(100, 100);
    field.onMouseButton(leftMouseButton, mousePressAction, field.right, field.y + 7);  // on the edge
    EXPECT_FALSE(field.scrollDownHeld);
    field.onMouseButton(leftMouseButton, mousePressAction, field.right - 7, field.y);
    EXPECT_FALSE(field.scrollDownHeld);
    field.onMouseButton(rightMouseButton, mousePressAction, field.right - 7, field.y + 7);
    EXPECT_FALSE(field.scrollDownHeld);
}

TEST_F(TextFieldTest, OnlyAnEditableFieldTakesTheFocus) {
    TextField field("FIELD", "Some text", false);
    field.setPosition(100, 100);
    EXPECT_EQ(field.onMouseButton(leftMouseButton, mousePressAction, 200, 150), nullptr);
    EXPECT_FALSE(field.focused);

    field.editable = true;
    EXPECT_EQ(field.onMouseButton(leftMouseButton, mousePressAction, 100, 300), &field);  // edge is inside
    EXPECT_TRUE(field.focused);
    EXPECT_EQ(field.onMouseButton(leftMouseButton, mouseReleaseAction, 200, 150), nullptr);
    EXPECT_TRUE(field.focused);
    EXPECT_EQ(field.onMouseButton(leftMouseButton, mousePressAction, 99, 150), nullptr);
    EXPECT_FALSE(field.focused);
}

TEST_F(TextFieldTest, TypingAppendsAndWrapsAnOverlongLine) {
    TextField field("FIELD", "", true);
    field.setSize(400, 40);  // room for two lines
    const std::string typed = "the quick brown fox jumps over the lazy dog and keeps on running ";
    for (char c : typed) field.appendCharacter(c);
    EXPECT_EQ(field.getText(), typed);
    ASSERT_GE(field.lines.size(), 2u);
    for (const std::string& line : field.lines) EXPECT_LE(measureText(line).width, 385) << line;
    // The field follows the typing: the last line is in view.
    EXPECT_EQ(field.firstLine + field.visibleLines, static_cast<int>(field.lines.size()));
}

TEST_F(TextFieldTest, TypedLineWrapsOnlyOnceWiderThanTheFieldLessFifteen) {
    // Narrow characters, so that the typed line passes through widths between the wrapping
    // limit (width - 20) and the typing limit (width - 15).
    ASSERT_LE(measureText("iiiiiiiiii").width - measureText("iiiiiiiii").width, 4);
    TextField field("FIELD", "", true);
    bool passedTheWrapLimit = false;
    while (field.lines.size() == 1u && field.getText().size() < 400) {
        const bool overflows = measureText(field.lines.back() + "i").width > 400 - 15;
        field.appendCharacter('i');
        EXPECT_EQ(field.lines.size() > 1u, overflows) << field.getText().size() << " characters";
        if (field.lines.size() == 1u && measureText(field.lines.back()).width > 400 - 20) passedTheWrapLimit = true;
    }
    EXPECT_TRUE(passedTheWrapLimit);
    EXPECT_GT(field.lines.size(), 1u);
}

TEST_F(TextFieldTest, DeletingRemovesCharactersAndEmptiedLines) {
    TextField empty("EMPTY", "", true);
    empty.deleteLastCharacter();
    EXPECT_EQ(empty.getText(), "");
    EXPECT_EQ(empty.lines, (Lines{""}));

    TextField field("FIELD", "ab", true);
    field.deleteLastCharacter();
    EXPECT_EQ(field.getText(), "a");
    EXPECT_EQ(field.lines, (Lines{"a"}));

    TextField broken("BROKEN", "ab\n", true);
    broken.deleteLastCharacter();
    EXPECT_EQ(broken.getText(), "ab");
    EXPECT_EQ(broken.lines, (Lines{"ab"}));

    // Removing the only character after a line break leaves that (now empty) line in place, so
    // the lines still show the text and the next character goes after the break.
    TextField afterBreak("AFTER", "ab\nc", true);
    afterBreak.deleteLastCharacter();
    EXPECT_EQ(afterBreak.getText(), "ab\n");
    EXPECT_EQ(afterBreak.lines, (Lines{"ab", ""}));
    afterBreak.appendCharacter('d');
    EXPECT_EQ(afterBreak.lines, wrapText(afterBreak.getText(), afterBreak.width - 20));
}
