#include <gtest/gtest.h>

#include "interface/Button.hpp"
#include "interface/InterfaceComponent.hpp"
#include "interface/TextHelpers.hpp"
#include "support/TestSupport.hpp"

namespace {
class InterfaceComponentTest : public ::testing::Test {
protected:
    void SetUp() override { useProgramFontSizes(); }
};

void expectEdgesConsistent(const InterfaceComponent& component) {
    EXPECT_EQ(component.right, component.x + component.width);
    EXPECT_EQ(component.top, component.y + component.height);
}
}  // namespace

TEST_F(InterfaceComponentTest, NewComponentIsItsTextExtentPlusMarginAtTheOrigin) {
    Button empty("EMPTY", "");
    EXPECT_EQ(empty.x, 0);
    EXPECT_EQ(empty.y, 0);
    EXPECT_EQ(empty.width, 3);
    EXPECT_EQ(empty.height, 3);
    EXPECT_EQ(empty.right, 3);
    EXPECT_EQ(empty.top, 3);
    EXPECT_EQ(empty.faceColour.red, 0.8);
    EXPECT_EQ(empty.glowColour.blue, 0.5);
    EXPECT_EQ(empty.glow, 0.0);

    Button labelled("EXIT", "Exit Program");
    const TextExtent extent = measureText("Exit Program");
    ASSERT_GT(extent.width, 50);
    EXPECT_EQ(labelled.textWidth, extent.width);
    EXPECT_EQ(labelled.textHeight, extent.height);
    EXPECT_EQ(labelled.getSize().width, extent.width + 3);
    EXPECT_EQ(labelled.getSize().height, extent.height + 3);
    expectEdgesConsistent(labelled);
}

TEST_F(InterfaceComponentTest, SetSizeNeverGoesBelowTheTextExtent) {
    const std::string wideLabel = "A label that is much wider than two hundred pixels on screen";
    ASSERT_GT(measureText(wideLabel).width + 3, 200);
    Button button("WIDE", wideLabel);

    button.setSize(200, 30);
    EXPECT_EQ(button.width, button.textWidth + 3);
    EXPECT_EQ(button.height, 30);
    expectEdgesConsistent(button);

    button.setSize(0, 0);
    EXPECT_EQ(button.width, button.textWidth + 3);
    EXPECT_EQ(button.height, button.textHeight + 3);

    button.setPosition(40, 70);
    EXPECT_EQ(button.getPosition().x, 40);
    EXPECT_EQ(button.getPosition().y, 70);
    expectEdgesConsistent(button);
}

TEST_F(InterfaceComponentTest, SetTextGrowsTheComponentButNeverShrinksIt) {
    Button button("GROW", "Short");
    button.setPosition(10, 20);
    const int shortWidth = button.width;

    button.setText("A considerably longer label");
    EXPECT_EQ(button.getText(), "A considerably longer label");
    EXPECT_EQ(button.width, measureText("A considerably longer label").width + 3);
    EXPECT_GT(button.width, shortWidth);
    expectEdgesConsistent(button);

    const int longWidth = button.width;
    button.setText("x");
    EXPECT_EQ(button.width, longWidth);
    EXPECT_EQ(button.textWidth, measureText("x").width);
    expectEdgesConsistent(button);
}

TEST_F(InterfaceComponentTest, HitTestIncludesAllFourEdges) {
    Button button("HIT", "");
    button.setPosition(100, 50);
    button.setSize(20, 10);  // covers x 100..120, y 50..60
    struct Case {
        int px, py;
        bool inside;
    };
    const Case cases[] = {
        {100, 50, true}, {120, 60, true}, {100, 60, true}, {120, 50, true}, {110, 55, true},
        {99, 55, false}, {121, 55, false}, {110, 49, false}, {110, 61, false}, {121, 61, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(button.contains(c.px, c.py), c.inside) << "(" << c.px << ", " << c.py << ")";
    }
}

TEST_F(InterfaceComponentTest, MatchNameNeedsTheExactName) {
    Button back("Back", "Back");
    EXPECT_EQ(back.matchName("Back"), &back);
    EXPECT_EQ(back.matchName("back"), nullptr);
    EXPECT_EQ(back.matchName("Back "), nullptr);
    EXPECT_EQ(back.matchName("Bac"), nullptr);
    EXPECT_EQ(back.matchName(""), nullptr);
    EXPECT_EQ(back.getName(), "Back");
}
