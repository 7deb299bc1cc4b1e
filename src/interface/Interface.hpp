#pragma once
// The in-window menu: numbered pages of components (one shown while the menu is open), a top row
// (shown while it is closed), layout from the window size, drawing, event routing, the "SC_"
// system commands and a callback for every other button activation. Main thread only.
#include <SFML/Window/Keyboard.hpp>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "interface/Button.hpp"
#include "interface/InterfaceComponent.hpp"
#include "interface/TextField.hpp"

// Receives button activations that are not system commands; x, y are the event's window pixels.
using CommandCallback = void (*)(InterfaceComponent* component, int x, int y);

constexpr int maxPages = 50;

// Names the Interface gives its own buttons; user components may not begin with the prefix.
extern const char* const systemCommandPrefix;      // "SC_"
extern const char* const gotoPageCommandPrefix;    // "SC_GOTO_PAGE_"
extern const char* const exitButtonName;           // "SC_EXIT_BUTTON"
extern const char* const returnButtonName;         // "SC_RETURN_BUTTON"

// Layout, in pixels.
constexpr int topRowGap = 5;             // from the window's top edge and between components
constexpr int topRowComponentWidth = 100;
constexpr int topRowComponentHeight = 25;
constexpr int pageButtonWidth = 200;
constexpr int pageButtonHeight = 30;
constexpr int pageEntryGap = 10;
// A title's baseline sits at this fraction of the height left below it.
constexpr int titleHeightNumerator = 5;
constexpr int titleHeightDenominator = 6;

// Colour scheme of every component and the drift of the menu background.
constexpr double componentFaceGrey = 0.5;
constexpr float componentGlowRed = 0.2f;    // single precision, widened to double when applied
constexpr float componentGlowGreen = 0.7f;
constexpr double componentGlowBlue = 1.0;
constexpr double backgroundDriftRate = 20.0;     // step = rate * dt
constexpr float backgroundUpperBound = 100.0f / 255.0f;  // a channel above this starts falling
constexpr float backgroundLowerBound = 1.0f / 255.0f;    // a channel below this starts rising

struct Page {
    std::vector<InterfaceComponent*> components;  // list order: bottom entry first
    std::string title;
    int titleX = 0;  // pixels from the left; text position of the title
    int titleY = 0;  // pixels from the bottom; the title's baseline
};

class Interface {
public:
    Interface();
    ~Interface();
    Interface(const Interface&) = delete;
    Interface& operator=(const Interface&) = delete;

    // Page 0 "Main Menu" with "Return to Program" above "Exit Program"; menu closed, no callback.
    void buildMainMenu();
    // A new page under `parentPage`, linked both ways by navigation buttons; -1 when refused.
    int addPage(int parentPage, const std::string& title);
    // Places a caller's component on a page; false when refused (bad page or name).
    bool addToPage(int page, InterfaceComponent* component);
    bool addToTopRow(InterfaceComponent* component);
    void setCommandCallback(CommandCallback callback);
    // Lays out after additions, drifts the background, animates components; returns menuOpen.
    bool update(double dt);

    void layout(int width, int height);  // window size in pixels
    void draw();

    // x, y in window pixels from the bottom-left corner. Each returns whether the event was consumed.
    bool onMouseButton(int button, int action, int mouseX, int mouseY);
    bool onMouseMove(int mouseX, int mouseY);
    bool onMouseDrag(int mouseX, int mouseY);
    bool onKeyPressed(sf::Keyboard::Key key, bool alt, bool control, bool shift);
    // Runs a system command or hands the activation to the callback; false for a null component.
    bool dispatchCommand(InterfaceComponent* component, int mouseX, int mouseY);
    // Escape in the open menu: to the parent page, or closes the menu from page 0.
    void goBack();

    bool attachToPage(int page, InterfaceComponent* component);
    bool isNameAvailable(const std::string& name) const;
    void applyColourScheme();
    void openMenu();

    std::vector<InterfaceComponent*> allComponents;  // in order of addition
    std::vector<InterfaceComponent*> topRow;
    std::array<Page, maxPages> pages;
    int pageCount;
    int currentPage;
    Button* exitButton;
    Button* returnButton;
    TextField* focusedField;  // receives typed characters
    bool menuOpen;
    bool layoutDirty;  // the next update lays everything out
    Colour backgroundColour;  // bottom edge of the menu background
    std::array<bool, 3> colourDirection;  // red, green, blue: true while rising
    CommandCallback commandCallback;
    bool commandCallbackEnabled;

private:
    // Checks the page number and places the component by the page's insertion rule.
    bool insertIntoPage(int page, InterfaceComponent* component);
    Button* createOwnButton(const std::string& name, const std::string& text);
    void runSystemCommand(const std::string& name);
    void randomiseBackground();

    // The buttons the Interface created itself (main page and navigation); released with it.
    std::vector<std::unique_ptr<Button>> ownButtons;
};
