#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/ProgramState.hpp"
#include "interface/Interface.hpp"
#include "interface/TextHelpers.hpp"
#include "interface/MenuFixture.hpp"
#include "support/TestSupport.hpp"

namespace {
struct CallbackRecord {
    std::string name;
    int pressState;
    int x;
    int y;
};
std::vector<CallbackRecord> callbackCalls;

void recordCommand(InterfaceComponent* component, int x, int y) {
    const int state = component->type == buttonType ? static_cast<Button*>(component)->pressState : -1;
    callbackCalls.push_back(CallbackRecord{component->getName(), state, x, y});
}

std::vector<std::string> namesOf(const std::vector<InterfaceComponent*>& components) {
    std::vector<std::string> names;
    for (InterfaceComponent* component : components) names.push_back(component->getName());
    return names;
}

std::vector<std::string> textsOf(const std::vector<InterfaceComponent*>& components) {
    std::vector<std::string> texts;
    for (InterfaceComponent* component : components) texts.push_back(component->getText());
    return texts;
}

using Names = std::vector<std::string>;

// The World's menu, laid out at 800 by 600 by its first update, with the callback installed.
class InterfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        useProgramFontSizes();
        windowWidth = 800;
        windowHeight = 600;
        programRunning = true;
        callbackCalls.clear();
        world.build();
        world.menu.setCommandCallback(recordCommand);
        world.menu.update(0.0);
    }

    // Centre of a component, where a user would click.
    static int centreX(const InterfaceComponent* c) { return c->x + c->width / 2; }
    static int centreY(const InterfaceComponent* c) { return c->y + c->height / 2; }

    void click(const InterfaceComponent* target) {
        menu().onMouseButton(leftMouseButton, mousePressAction, centreX(target), centreY(target));
        menu().onMouseButton(leftMouseButton, mouseReleaseAction, centreX(target), centreY(target));
    }

    InterfaceComponent* entry(int page, int index) { return menu().pages[page].components.at(index); }
    Interface& menu() { return world.menu; }

    WorldMenu world;
};
}  // namespace

TEST(InterfaceMainMenuTest, BuildMainMenuMakesPageZeroWithItsTwoButtons) {
    useProgramFontSizes();
    Interface menu;
    menu.buildMainMenu();
    EXPECT_EQ(menu.pageCount, 1);
    EXPECT_EQ(menu.currentPage, 0);
    EXPECT_FALSE(menu.menuOpen);
    EXPECT_FALSE(menu.commandCallbackEnabled);
    EXPECT_EQ(menu.focusedField, nullptr);
    EXPECT_EQ(menu.pages[0].title, "Main Menu");
    ASSERT_NE(menu.exitButton, nullptr);
    ASSERT_NE(menu.returnButton, nullptr);
    EXPECT_EQ(menu.exitButton->getName(), "SC_EXIT_BUTTON");
    EXPECT_EQ(menu.exitButton->getText(), "Exit Program");
    EXPECT_EQ(menu.returnButton->getName(), "SC_RETURN_BUTTON");
    EXPECT_EQ(menu.returnButton->getText(), "Return to Program");
    EXPECT_EQ(menu.pages[0].components,
              (std::vector<InterfaceComponent*>{menu.exitButton, menu.returnButton}));
    EXPECT_EQ(menu.allComponents,
              (std::vector<InterfaceComponent*>{menu.returnButton, menu.exitButton}));
    EXPECT_TRUE(menu.topRow.empty());
    for (double channel : {menu.backgroundColour.red, menu.backgroundColour.green, menu.backgroundColour.blue}) {
        EXPECT_GE(channel, 0.0);
        EXPECT_LE(channel, 99.0 / 255.0);
    }
    // The colour scheme: grey bodies, light-blue glow from single-precision constants.
    EXPECT_EQ(menu.exitButton->faceColour.green, 0.5);
    EXPECT_EQ(menu.exitButton->glowColour.red, 0.20000000298023224);
    EXPECT_EQ(menu.exitButton->glowColour.green, 0.699999988079071);
    EXPECT_EQ(menu.exitButton->glowColour.blue, 1.0);
}

TEST_F(InterfaceTest, WorldSetUpGivesPagesLinkedBothWays) {
    EXPECT_EQ(world.aboutPage, 1);
    EXPECT_EQ(world.creatorPage, 2);
    EXPECT_EQ(menu().pageCount, 3);
    EXPECT_EQ(textsOf(menu().pages[0].components), (Names{"Exit Program", "About", "Return to Program"}));
    EXPECT_EQ(namesOf(menu().pages[0].components), (Names{"SC_EXIT_BUTTON", "SC_GOTO_PAGE_1", "SC_RETURN_BUTTON"}));
    EXPECT_EQ(textsOf(menu().pages[1].components)[0], "Back");
    EXPECT_EQ(textsOf(menu().pages[1].components)[1], "About the Creator");
    EXPECT_EQ(namesOf(menu().pages[1].components), (Names{"SC_GOTO_PAGE_0", "SC_GOTO_PAGE_2", "TXT_ABOUT"}));
    EXPECT_EQ(namesOf(menu().pages[2].components), (Names{"SC_GOTO_PAGE_1", "TXT_AUTHOR"}));
    EXPECT_EQ(textsOf(menu().pages[2].components)[0], "Back");
    EXPECT_EQ(menu().pages[1].title, "About");
    EXPECT_EQ(menu().pages[2].title, "About the Creator");
    EXPECT_EQ(namesOf(menu().topRow), (Names{"MUSIC_VOLUME_DN", "MUSIC_PLAY_PAUSE", "MUSIC_VOLUME_UP"}));
    EXPECT_EQ(namesOf(menu().allComponents),
              (Names{"SC_RETURN_BUTTON", "SC_EXIT_BUTTON", "SC_GOTO_PAGE_1", "SC_GOTO_PAGE_0", "SC_GOTO_PAGE_2",
                     "SC_GOTO_PAGE_1", "TXT_AUTHOR", "TXT_ABOUT", "MUSIC_VOLUME_DN", "MUSIC_PLAY_PAUSE",
                     "MUSIC_VOLUME_UP"}));
    // The first update laid everything out and coloured the World's components too.
    EXPECT_FALSE(menu().layoutDirty);
    EXPECT_EQ(world.playPause->faceColour.red, 0.5);
    EXPECT_EQ(world.about->glowColour.blue, 1.0);
}

TEST_F(InterfaceTest, FiftyPagesAtMostAndBadParentsAreRefused) {
    EXPECT_EQ(menu().addPage(5, "Orphan"), -1);
    EXPECT_EQ(menu().addPage(-1, "Orphan"), -1);
    EXPECT_EQ(menu().pageCount, 3);

    int last = -1;
    for (int page = 3; page < 50; ++page) last = menu().addPage(page - 1, "Page " + std::to_string(page));
    EXPECT_EQ(last, 49);
    EXPECT_EQ(menu().pageCount, 50);
    EXPECT_EQ(menu().pages[48].components.back()->getName(), "SC_GOTO_PAGE_49");
    EXPECT_EQ(menu().pages[49].components.front()->getName(), "SC_GOTO_PAGE_48");

    const std::size_t componentsBefore = menu().allComponents.size();
    const std::size_t parentEntriesBefore = menu().pages[49].components.size();
    EXPECT_EQ(menu().addPage(49, "One too many"), -1);
    EXPECT_EQ(menu().pageCount, 50);
    EXPECT_EQ(menu().allComponents.size(), componentsBefore);
    EXPECT_EQ(menu().pages[49].components.size(), parentEntriesBefore);

    // Two-digit page numbers navigate: the Back button of page 49 leads to 48, then on to 47.
    menu().openMenu();
    menu().currentPage = 49;
    menu().goBack();
    EXPECT_EQ(menu().currentPage, 48);
    menu().goBack();
    EXPECT_EQ(menu().currentPage, 47);
}

TEST_F(InterfaceTest, ReservedAndTakenNamesAreRefused) {
    struct Case {
        std::string name;
        bool toTopRow;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"SC_MY_BUTTON", false, false}, {"SC_MY_BUTTON", true, false},   {"TXT_ABOUT", false, false},
        {"MUSIC_PLAY_PAUSE", true, false}, {"MUSIC_PLAY_PAUSE", false, false}, {"sc_lower_case", false, true},
        {"FRESH_TOP", true, true},       {"TXT_ABOUT ", false, true},
    };
    std::vector<std::unique_ptr<Button>> made;
    for (const Case& c : cases) {
        made.push_back(std::make_unique<Button>(c.name, "Label"));
        const std::size_t before = menu().allComponents.size();
        const bool accepted = c.toTopRow ? menu().addToTopRow(made.back().get()) : menu().addToPage(1, made.back().get());
        EXPECT_EQ(accepted, c.accepted) << c.name;
        EXPECT_EQ(menu().allComponents.size(), before + (c.accepted ? 1 : 0)) << c.name;
    }
    EXPECT_FALSE(menu().addToPage(1, nullptr));
    EXPECT_FALSE(menu().addToTopRow(nullptr));
    Button lost("LOST", "Lost");
    EXPECT_FALSE(menu().addToPage(3, &lost));
    EXPECT_FALSE(menu().addToPage(-1, &lost));
    EXPECT_TRUE(menu().addToPage(2, &lost));
}

TEST_F(InterfaceTest, MainPageEntriesGoJustBelowReturnToProgram) {
    Button extra("EXTRA", "Extra");
    ASSERT_TRUE(menu().addToPage(0, &extra));
    EXPECT_EQ(textsOf(menu().pages[0].components), (Names{"Exit Program", "About", "Extra", "Return to Program"}));
    EXPECT_TRUE(menu().layoutDirty);
}

TEST_F(InterfaceTest, LayoutAt800By600) {
    // Main page: three 200 by 30 entries centred, from the bottom up.
    const int mainY[] = {245, 285, 325};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(entry(0, i)->x, 300) << i;
        EXPECT_EQ(entry(0, i)->y, mainY[i]) << i;
        EXPECT_EQ(entry(0, i)->width, 200) << i;
        EXPECT_EQ(entry(0, i)->height, 30) << i;
    }
    // About page: Back, About the Creator, then the text field at its own 400 by 200.
    EXPECT_EQ(entry(1, 0)->x, 300);
    EXPECT_EQ(entry(1, 0)->y, 160);
    EXPECT_EQ(entry(1, 1)->x, 300);
    EXPECT_EQ(entry(1, 1)->y, 200);
    EXPECT_EQ(world.about->x, 200);
    EXPECT_EQ(world.about->y, 240);
    EXPECT_EQ(world.about->top, 440);
    EXPECT_EQ(world.about->width, 400);
    // Top row: 100 by 25, 5 pixels apart and below the top edge.
    const int topX[] = {245, 350, 455};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(menu().topRow[i]->x, topX[i]) << i;
        EXPECT_EQ(menu().topRow[i]->y, 570) << i;
        EXPECT_EQ(menu().topRow[i]->width, 100) << i;
        EXPECT_EQ(menu().topRow[i]->height, 25) << i;
    }
    for (int page = 0; page < 3; ++page) {
        const TextExtent title = measureTitleText(menu().pages[page].title);
        EXPECT_EQ(menu().pages[page].titleX, (800 - title.width) / 2) << page;
        EXPECT_EQ(menu().pages[page].titleY, (600 - title.height) * 5 / 6) << page;
    }
}

TEST_F(InterfaceTest, ResizeRecentresEverythingAtOnce) {
    menu().layout(1024, 768);
    const int mainY[] = {329, 369, 409};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(entry(0, i)->x, 412) << i;
        EXPECT_EQ(entry(0, i)->y, mainY[i]) << i;
    }
    EXPECT_EQ(entry(1, 0)->y, 244);
    EXPECT_EQ(entry(1, 1)->y, 284);
    EXPECT_EQ(world.about->x, 312);
    EXPECT_EQ(world.about->y, 324);
    EXPECT_EQ(world.author->x, 312);
    const int topX[] = {357, 462, 567};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(menu().topRow[i]->x, topX[i]) << i;
        EXPECT_EQ(menu().topRow[i]->y, 738) << i;
    }
    const TextExtent title = measureTitleText("About the Creator");
    EXPECT_EQ(menu().pages[2].titleX, (1024 - title.width) / 2);
    EXPECT_EQ(menu().pages[2].titleY, (768 - title.height) * 5 / 6);

    // A second pass over unchanged components moves nothing.
    const int aboutY = world.about->y;
    const std::vector<std::string> lines = world.about->lines;
    menu().layout(1024, 768);
    EXPECT_EQ(world.about->y, aboutY);
    EXPECT_EQ(world.about->lines, lines);
}

TEST_F(InterfaceTest, WideEntriesStayCentredAndWideTitlesGoNegative) {
    Button wide("WIDE", "A very long label that cannot fit in two hundred pixels");
    ASSERT_TRUE(menu().addToPage(2, &wide));
    menu().update(0.0);
    EXPECT_GT(wide.width, 200);
    EXPECT_EQ(wide.x, 400 - wide.width / 2);

    const int page = menu().addPage(0, "A title far wider than the whole window");
    ASSERT_GT(page, 0);
    menu().layout(300, 600);
    EXPECT_LT(menu().pages[page].titleX, 0);
}

TEST_F(InterfaceTest, MouseRoutingTable) {
    Button* playPause = world.playPause.get();
    const int playX = centreX(playPause), playY = centreY(playPause);
    InterfaceComponent* about = entry(0, 1);
    const int emptyX = 20, emptyY = 20;

    // Menu closed: only a top-row component consumes; page entries are not offered.
    EXPECT_FALSE(menu().onMouseButton(leftMouseButton, mousePressAction, emptyX, emptyY));
    EXPECT_FALSE(menu().onMouseButton(leftMouseButton, mousePressAction, centreX(about), centreY(about)));
    EXPECT_FALSE(menu().onMouseButton(rightMouseButton, mousePressAction, playX, playY));
    EXPECT_TRUE(callbackCalls.empty());
    EXPECT_TRUE(menu().onMouseButton(leftMouseButton, mousePressAction, playX, playY));
    EXPECT_TRUE(menu().onMouseButton(leftMouseButton, mouseReleaseAction, playX, playY));
    ASSERT_EQ(callbackCalls.size(), 2u);
    EXPECT_EQ(callbackCalls[0].name, "MUSIC_PLAY_PAUSE");
    EXPECT_EQ(callbackCalls[0].pressState, 6);
    EXPECT_EQ(callbackCalls[0].x, playX);
    EXPECT_EQ(callbackCalls[0].y, playY);
    EXPECT_EQ(callbackCalls[1].pressState, 11);

    // Menu open: everything is consumed, the top row is hidden.
    callbackCalls.clear();
    menu().openMenu();
    EXPECT_TRUE(menu().onMouseButton(leftMouseButton, mousePressAction, emptyX, emptyY));
    EXPECT_TRUE(menu().onMouseButton(rightMouseButton, mouseReleaseAction, emptyX, emptyY));
    EXPECT_TRUE(menu().onMouseButton(leftMouseButton, mousePressAction, playX, playY));
    menu().onMouseButton(leftMouseButton, mouseReleaseAction, playX, playY);
    EXPECT_TRUE(callbackCalls.empty());
    EXPECT_EQ(playPause->pressState, 11);

    // Moves reach every component, shown or not; the results tell whether the menu is open.
    EXPECT_TRUE(menu().onMouseMove(playX, playY));
    EXPECT_TRUE(playPause->hovered);
    EXPECT_TRUE(menu().onMouseDrag(playX, playY));
    menu().goBack();
    EXPECT_FALSE(menu().onMouseMove(emptyX, emptyY));
    EXPECT_FALSE(playPause->hovered);
    EXPECT_FALSE(menu().onMouseDrag(emptyX, emptyY));
}

TEST_F(InterfaceTest, ClickOnAPageButtonCallsBackOnThePressAndNavigatesOnTheRelease) {
    menu().openMenu();
    InterfaceComponent* about = entry(0, 1);
    EXPECT_TRUE(menu().onMouseButton(leftMouseButton, mousePressAction, centreX(about), centreY(about)));
    ASSERT_EQ(callbackCalls.size(), 1u);
    EXPECT_EQ(callbackCalls[0].name, "SC_GOTO_PAGE_1");
    EXPECT_EQ(callbackCalls[0].pressState, 6);
    EXPECT_EQ(menu().currentPage, 0);
    EXPECT_TRUE(menu().onMouseButton(leftMouseButton, mouseReleaseAction, centreX(about), centreY(about)));
    EXPECT_EQ(callbackCalls.size(), 1u);
    EXPECT_EQ(menu().currentPage, 1);

    // Pressed, moved off and released elsewhere: no page change, the callback saw the press only.
    callbackCalls.clear();
    InterfaceComponent* creator = entry(1, 1);
    menu().onMouseButton(leftMouseButton, mousePressAction, centreX(creator), centreY(creator));
    menu().onMouseButton(leftMouseButton, mouseReleaseAction, 5, 5);
    EXPECT_EQ(menu().currentPage, 1);
    EXPECT_EQ(callbackCalls.size(), 1u);
}

TEST_F(InterfaceTest, ReturnClosesTheMenuAndExitEndsTheProgram) {
    menu().openMenu();
    click(menu().returnButton);
    EXPECT_FALSE(menu().menuOpen);
    EXPECT_EQ(menu().currentPage, 0);
    EXPECT_TRUE(programRunning);

    menu().openMenu();
    menu().onMouseButton(leftMouseButton, mousePressAction, centreX(menu().exitButton), centreY(menu().exitButton));
    EXPECT_TRUE(programRunning);  // not on the press
    menu().onMouseButton(leftMouseButton, mouseReleaseAction, centreX(menu().exitButton), centreY(menu().exitButton));
    EXPECT_FALSE(programRunning);
    EXPECT_TRUE(menu().menuOpen);
}

TEST_F(InterfaceTest, EscapeOpensGoesBackAndCloses) {
    menu().backgroundColour = Colour{1.0, 1.0, 1.0};
    EXPECT_TRUE(menu().onKeyPressed(sf::Keyboard::Escape, false, false, false));
    EXPECT_TRUE(menu().menuOpen);
    EXPECT_EQ(menu().currentPage, 0);
    EXPECT_LE(menu().backgroundColour.red, 99.0 / 255.0);  // a fresh starting colour
    EXPECT_LE(menu().backgroundColour.green, 99.0 / 255.0);
    EXPECT_LE(menu().backgroundColour.blue, 99.0 / 255.0);

    click(entry(0, 1));
    click(entry(1, 1));
    ASSERT_EQ(menu().currentPage, 2);
    EXPECT_TRUE(menu().onKeyPressed(sf::Keyboard::Escape, false, false, false));
    EXPECT_EQ(menu().currentPage, 1);
    EXPECT_TRUE(menu().onKeyPressed(sf::Keyboard::Escape, false, false, false));
    EXPECT_EQ(menu().currentPage, 0);
    EXPECT_FALSE(menu().onKeyPressed(sf::Keyboard::Escape, false, false, false));
    EXPECT_FALSE(menu().menuOpen);
    EXPECT_EQ(menu().currentPage, 0);

    // Other keys leave the menu as it is and report it.
    EXPECT_FALSE(menu().onKeyPressed(sf::Keyboard::W, false, false, false));
    menu().openMenu();
    EXPECT_TRUE(menu().onKeyPressed(sf::Keyboard::W, false, false, false));
}

TEST_F(InterfaceTest, FocusedFieldTakesTypedKeys) {
    menu().openMenu();
    click(entry(0, 1));
    TextField* about = world.about.get();
    const std::string original = about->getText();
    EXPECT_TRUE(menu().onMouseButton(leftMouseButton, mousePressAction, about->x + 50, about->y + 100));
    ASSERT_EQ(menu().focusedField, about);
    EXPECT_TRUE(about->focused);

    struct Key {
        sf::Keyboard::Key key;
        bool shift;
    };
    const Key keys[] = {{sf::Keyboard::A, true},      {sf::Keyboard::A, false},   {sf::Keyboard::Z, false},
                        {sf::Keyboard::Numpad9, false}, {sf::Keyboard::Num3, true}, {sf::Keyboard::Space, false},
                        {sf::Keyboard::F1, false},     {sf::Keyboard::Comma, false}, {sf::Keyboard::Q, false},
                        {sf::Keyboard::BackSpace, false}};
    for (const Key& k : keys) EXPECT_TRUE(menu().onKeyPressed(k.key, false, false, k.shift));
    EXPECT_EQ(about->getText(), original + "Aaz93 ");

    // Escape leaves the focus alone; typing still reaches the field once the menu is closed.
    menu().onKeyPressed(sf::Keyboard::Escape, false, false, false);
    menu().onKeyPressed(sf::Keyboard::Escape, false, false, false);
    ASSERT_FALSE(menu().menuOpen);
    EXPECT_EQ(menu().focusedField, about);
    EXPECT_FALSE(menu().onKeyPressed(sf::Keyboard::B, false, true, false));
    EXPECT_EQ(about->getText(), original + "Aaz93 b");

    // A press that nothing takes clears the focus.
    menu().onMouseButton(leftMouseButton, mousePressAction, 5, 5);
    EXPECT_EQ(menu().focusedField, nullptr);
    menu().onKeyPressed(sf::Keyboard::C, false, false, false);
    EXPECT_EQ(about->getText(), original + "Aaz93 b");
}

TEST_F(InterfaceTest, ReadOnlyFieldNeverTakesTheFocusAndAButtonClearsIt) {
    menu().openMenu();
    menu().currentPage = 2;
    TextField* author = world.author.get();
    EXPECT_TRUE(menu().onMouseButton(leftMouseButton, mousePressAction, author->x + 50, author->y + 100));
    EXPECT_EQ(menu().focusedField, nullptr);
    menu().onKeyPressed(sf::Keyboard::X, false, false, false);
    EXPECT_EQ(author->getText().back(), '.');

    menu().currentPage = 1;
    TextField* about = world.about.get();
    menu().onMouseButton(leftMouseButton, mousePressAction, about->x + 50, about->y + 100);
    ASSERT_EQ(menu().focusedField, about);
    menu().onMouseButton(leftMouseButton, mouseReleaseAction, about->x + 50, about->y + 100);
    EXPECT_EQ(menu().focusedField, about);  // a release nothing took keeps it
    click(entry(1, 1));
    EXPECT_EQ(menu().focusedField, nullptr);
}

TEST_F(InterfaceTest, SystemCommandsThatNameNoPageChangeNothing) {
    menu().openMenu();
    menu().currentPage = 1;
    for (const char* name : {"SC_GOTO_PAGE_x", "SC_GOTO_PAGE_", "SC_GOTO_PAGE_7", "SC_GOTO_PAGE_-1", "SC_GOTO_PAGE_3",
                             "SC_SOMETHING_ELSE", "SC_GOTO_PAG"}) {
        Button rogue(name, "Rogue");
        EXPECT_TRUE(menu().dispatchCommand(&rogue, 0, 0)) << name;
        EXPECT_EQ(menu().currentPage, 1) << name;
        EXPECT_TRUE(menu().menuOpen) << name;
        EXPECT_TRUE(programRunning) << name;
    }
    EXPECT_TRUE(callbackCalls.empty());
    Button valid("SC_GOTO_PAGE_2", "Valid");
    menu().dispatchCommand(&valid, 0, 0);
    EXPECT_EQ(menu().currentPage, 2);
    EXPECT_FALSE(menu().dispatchCommand(nullptr, 0, 0));
}

TEST_F(InterfaceTest, UserButtonsReachTheCallbackOnlyWhenOneIsInstalled) {
    Interface bare;
    bare.buildMainMenu();
    Button user("USER", "User");
    EXPECT_TRUE(bare.dispatchCommand(&user, 1, 2));  // no callback: nothing happens, no crash
    bare.setCommandCallback(recordCommand);
    bare.dispatchCommand(&user, 1, 2);
    ASSERT_EQ(callbackCalls.size(), 1u);
    EXPECT_EQ(callbackCalls[0].name, "USER");
    EXPECT_EQ(callbackCalls[0].pressState, 11);
    bare.setCommandCallback(nullptr);
    EXPECT_FALSE(bare.commandCallbackEnabled);
    bare.dispatchCommand(&user, 1, 2);
    EXPECT_EQ(callbackCalls.size(), 1u);
}

TEST_F(InterfaceTest, BackgroundDriftsOnlyWhileOpenAndTurnsAtItsBounds) {
    menu().backgroundColour = Colour{0.2, 0.2, 0.2};
    for (int i = 0; i < 10; ++i) menu().update(0.1);
    EXPECT_EQ(menu().backgroundColour.red, 0.2);  // closed: no drift

    menu().openMenu();
    menu().backgroundColour = Colour{0.2, 0.2, 0.2};
    menu().update(0.0);
    EXPECT_EQ(menu().backgroundColour.green, 0.2);

    menu().backgroundColour = Colour{0.5, 0.0, 0.2};
    menu().colourDirection = {true, false, true};
    menu().update(0.0);
    EXPECT_FALSE(menu().colourDirection[0]);  // above 100/255: falls
    EXPECT_TRUE(menu().colourDirection[1]);   // below 1/255: rises
    EXPECT_TRUE(menu().colourDirection[2]);   // between: unchanged

    // The bounds are single-precision 100/255 and 1/255: values between those and their
    // double-precision counterparts do not turn.
    menu().backgroundColour = Colour{0.3921568670, 0.0039215687, 0.2};
    menu().colourDirection = {true, false, true};
    menu().update(0.0);
    EXPECT_TRUE(menu().colourDirection[0]);  // not above 0.3921568691730499
    EXPECT_TRUE(menu().colourDirection[1]);  // below 0.003921568859368563

    double lowest = 1.0, highest = 0.0;
    bool moved = false;
    for (int i = 0; i < 6000; ++i) {
        const double before = menu().backgroundColour.blue;
        EXPECT_TRUE(menu().update(1.0 / 60.0));
        const double after = menu().backgroundColour.blue;
        EXPECT_LE(std::abs(after - before), 20.0 / 60.0 * 254.0 / 127500.0 + 1e-15);
        moved = moved || after != before;
        lowest = std::min(lowest, after);
        highest = std::max(highest, after);
    }
    EXPECT_TRUE(moved);
    EXPECT_GT(lowest, 1.0 / 255.0 - 0.001);
    EXPECT_LT(highest, 100.0 / 255.0 + 0.001);
}

TEST_F(InterfaceTest, UpdateAnimatesHiddenComponentsToo) {
    menu().openMenu();
    menu().onMouseMove(centreX(world.playPause.get()), centreY(world.playPause.get()));
    for (int i = 0; i < 6; ++i) menu().update(1.0 / 60.0);
    EXPECT_GT(world.playPause->glow, 0.0);
}
