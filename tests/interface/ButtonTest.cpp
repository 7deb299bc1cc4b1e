#include <gtest/gtest.h>

#include <vector>

#include "interface/Button.hpp"
#include "support/TestSupport.hpp"

namespace {
class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        useProgramFontSizes();
        button.setPosition(100, 100);
        button.setSize(200, 30);  // x 100..300, y 100..130
    }
    Button button{"TEST_BUTTON", "Test"};
};

struct MouseEvent {
    int button;
    int action;
    int x;
    int y;
};

constexpr int inX = 150, inY = 110, outX = 10, outY = 10;
}  // namespace

TEST_F(ButtonTest, PressAndReleaseTable) {
    struct Case {
        const char* what;
        std::vector<MouseEvent> events;
        std::vector<bool> handedBack;
        std::vector<int> pressStates;
    };
    const std::vector<Case> cases = {
        {"click inside",
         {{leftMouseButton, mousePressAction, inX, inY}, {leftMouseButton, mouseReleaseAction, inX, inY}},
         {true, true},
         {6, 11}},
        {"press inside, release outside",
         {{leftMouseButton, mousePressAction, inX, inY}, {leftMouseButton, mouseReleaseAction, outX, outY}},
         {true, false},
         {6, 11}},
        {"press outside, release inside",
         {{leftMouseButton, mousePressAction, outX, outY}, {leftMouseButton, mouseReleaseAction, inX, inY}},
         {false, false},
         {11, 11}},
        {"release inside while idle", {{leftMouseButton, mouseReleaseAction, inX, inY}}, {false}, {11}},
        {"right button inside",
         {{rightMouseButton, mousePressAction, inX, inY}, {rightMouseButton, mouseReleaseAction, inX, inY}},
         {false, false},
         {11, 11}},
        {"middle button inside",
         {{middleMouseButton, mousePressAction, inX, inY}, {middleMouseButton, mouseReleaseAction, inX, inY}},
         {false, false},
         {11, 11}},
        {"right release does not end a left press",
         {{leftMouseButton, mousePressAction, inX, inY},
          {rightMouseButton, mouseReleaseAction, outX, outY},
          {leftMouseButton, mouseReleaseAction, inX, inY}},
         {true, false, true},
         {6, 6, 11}},
        {"press exactly on the top-right corner", {{leftMouseButton, mousePressAction, 300, 130}}, {true}, {6}},
    };
    for (const Case& c : cases) {
        Button subject("SUBJECT", "Test");
        subject.setPosition(100, 100);
        subject.setSize(200, 30);
        for (std::size_t i = 0; i < c.events.size(); ++i) {
            const MouseEvent& e = c.events[i];
            InterfaceComponent* result = subject.onMouseButton(e.button, e.action, e.x, e.y);
            EXPECT_EQ(result, c.handedBack[i] ? &subject : nullptr) << c.what << ", event " << i;
            EXPECT_EQ(subject.pressState, c.pressStates[i]) << c.what << ", event " << i;
        }
    }
}

TEST_F(ButtonTest, PressFlashesTheGlowAndOtherButtonsChangeNothing) {
    button.onMouseButton(rightMouseButton, mousePressAction, inX, inY);
    EXPECT_EQ(button.glow, 0.0);
    button.onMouseButton(leftMouseButton, mousePressAction, inX, inY);
    EXPECT_EQ(button.glow, 0.2);
}

TEST_F(ButtonTest, IdleButtonNeverGlows) {
    for (int i = 0; i < 120; ++i) button.update(1.0 / 60.0);
    EXPECT_EQ(button.glow, 0.0);
}

TEST_F(ButtonTest, HoverRaisesTheGlowToJustAboveATenth) {
    button.onMouseMove(outX, outY);
    EXPECT_FALSE(button.hovered);
    button.onMouseMove(inX, inY);
    EXPECT_TRUE(button.hovered);

    button.update(0.1);
    EXPECT_NEAR(button.glow, 0.055, 1e-12);
    button.update(0.1);  // rises to 0.11, then the idle fall above 0.101 takes 0.015
    EXPECT_NEAR(button.glow, 0.095, 1e-12);
    button.update(0.1);
    EXPECT_NEAR(button.glow, 0.135, 1e-12);
    button.update(0.1);  // above the hover limit: no rise, only the idle fall
    EXPECT_NEAR(button.glow, 0.12, 1e-12);

    // At the frame rate it settles around a tenth and stays there.
    for (int i = 0; i < 60; ++i) button.update(1.0 / 60.0);
    for (int i = 0; i < 300; ++i) {
        button.update(1.0 / 60.0);
        EXPECT_GT(button.glow, 0.09);
        EXPECT_LT(button.glow, 0.112);
    }
}

TEST_F(ButtonTest, FlashHoldsWhilePressedThenFadesToZero) {
    button.onMouseMove(inX, inY);
    button.onMouseButton(leftMouseButton, mousePressAction, inX, inY);
    for (int i = 0; i < 60; ++i) button.update(1.0 / 60.0);
    EXPECT_DOUBLE_EQ(button.glow, 0.2);  // held with the pointer on it

    button.onMouseButton(leftMouseButton, mouseReleaseAction, inX, inY);
    button.onMouseMove(outX, outY);
    button.update(0.1);  // off the button above 0.101: two falls
    EXPECT_NEAR(button.glow, 0.17, 1e-12);

    int updates = 0;
    while (button.glow > 0.0 && updates < 1000) {
        button.update(0.1);
        ++updates;
    }
    ASSERT_LT(updates, 1000);
    const double settled = button.glow;
    EXPECT_LE(settled, 0.0);
    EXPECT_GT(settled, -0.015 - 1e-12);
    button.update(0.1);
    EXPECT_EQ(button.glow, settled);
}
