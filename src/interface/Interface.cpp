#include "interface/Interface.hpp"

#include <cstdlib>
#include <ctime>

#include "app/ProgramState.hpp"
#include "common/GlCheck.hpp"
#include "interface/TextHelpers.hpp"

const char* const systemCommandPrefix = "SC_";
const char* const gotoPageCommandPrefix = "SC_GOTO_PAGE_";
const char* const exitButtonName = "SC_EXIT_BUTTON";
const char* const returnButtonName = "SC_RETURN_BUTTON";

namespace {
bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The character a key types into a focused field, or '\0' for a key that types nothing.
char typedCharacter(sf::Keyboard::Key key, bool shift) {
    if (key >= sf::Keyboard::A && key <= sf::Keyboard::Z) {
        return static_cast<char>((shift ? 'A' : 'a') + (key - sf::Keyboard::A));
    }
    if (key >= sf::Keyboard::Num0 && key <= sf::Keyboard::Num9) {
        return static_cast<char>('0' + (key - sf::Keyboard::Num0));
    }
    if (key >= sf::Keyboard::Numpad0 && key <= sf::Keyboard::Numpad9) {
        return static_cast<char>('0' + (key - sf::Keyboard::Numpad0));
    }
    if (key == sf::Keyboard::Space) return ' ';
    return '\0';
}

// A random starting level for one background channel, up to 99/255.
double randomChannel() { return (std::rand() % 100) / 255.0; }
}  // namespace

Interface::Interface()
    : pageCount(0),
      currentPage(0),
      exitButton(nullptr),
      returnButton(nullptr),
      focusedField(nullptr),
      menuOpen(false),
      layoutDirty(false),
      backgroundColour{0.0, 0.0, 0.0},
      colourDirection{true, true, true},
      commandCallback(nullptr),
      commandCallbackEnabled(false) {}

Interface::~Interface() = default;

Button* Interface::createOwnButton(const std::string& name, const std::string& text) {
    ownButtons.push_back(std::make_unique<Button>(name, text));
    return ownButtons.back().get();
}

void Interface::buildMainMenu() {
    std::srand(static_cast<unsigned>(std::clock() / (CLOCKS_PER_SEC / 1000)));
    menuOpen = false;
    commandCallback = nullptr;
    commandCallbackEnabled = false;
    focusedField = nullptr;
    pageCount = 0;
    currentPage = addPage(0, "Main Menu");
    exitButton = createOwnButton(exitButtonName, "Exit Program");
    returnButton = createOwnButton(returnButtonName, "Return to Program");
    attachToPage(0, returnButton);
    attachToPage(0, exitButton);
    backgroundColour.red = randomChannel();
    backgroundColour.green = randomChannel();
    backgroundColour.blue = randomChannel();
    colourDirection = {true, true, true};
    applyColourScheme();
}

int Interface::addPage(int parentPage, const std::string& title) {
    if (pageCount == maxPages) return -1;
    if (pageCount == 0) {
        pages[0].title = title;
        pageCount = 1;
        return 0;
    }
    if (parentPage < 0 || parentPage >= pageCount) return -1;
    const int page = pageCount;
    pages[page].title = title;
    attachToPage(parentPage, createOwnButton(gotoPageCommandPrefix + std::to_string(page), title));
    pageCount = page + 1;
    attachToPage(page, createOwnButton(gotoPageCommandPrefix + std::to_string(parentPage), "Back"));
    layoutDirty = true;
    return page;
}

bool Interface::attachToPage(int page, InterfaceComponent* component) {
    if (component == nullptr) return false;
    component->setSize(0, 0);
    return insertIntoPage(page, component);
}

bool Interface::insertIntoPage(int page, InterfaceComponent* component) {
    if (page < 0 || page >= pageCount) return false;
    allComponents.push_back(component);
    std::vector<InterfaceComponent*>& entries = pages[page].components;
    // The main page keeps its last entry ("Return to Program") last: new entries go just below it.
    if (page == 0 && !entries.empty()) {
        entries.insert(entries.end() - 1, component);
    } else {
        entries.push_back(component);
    }
    layoutDirty = true;
    return true;
}

bool Interface::addToPage(int page, InterfaceComponent* component) {
    if (component == nullptr) return false;
    if (!isNameAvailable(component->getName())) return false;
    return insertIntoPage(page, component);
}

bool Interface::addToTopRow(InterfaceComponent* component) {
    if (component == nullptr) return false;
    component->setSize(0, 0);
    if (!isNameAvailable(component->getName())) return false;
    allComponents.push_back(component);
    topRow.push_back(component);
    layoutDirty = true;
    return true;
}

bool Interface::isNameAvailable(const std::string& name) const {
    if (startsWith(name, systemCommandPrefix)) return false;
    for (InterfaceComponent* component : allComponents) {
        if (component->matchName(name) != nullptr) return false;
    }
    return true;
}

void Interface::setCommandCallback(CommandCallback callback) {
    commandCallback = callback;
    commandCallbackEnabled = callback != nullptr;
}

void Interface::applyColourScheme() {
    for (InterfaceComponent* component : allComponents) {
        component->setFaceColour(componentFaceGrey, componentFaceGrey, componentFaceGrey);
        component->setGlowColour(componentGlowRed, componentGlowGreen, componentGlowBlue);
    }
}

void Interface::randomiseBackground() {
    backgroundColour.red = randomChannel();
    backgroundColour.green = randomChannel();
    backgroundColour.blue = randomChannel();
}

void Interface::openMenu() {
    menuOpen = true;
    randomiseBackground();
}

bool Interface::update(double dt) {
    if (layoutDirty) {
        layout(windowWidth, windowHeight);
        applyColourScheme();
        layoutDirty = false;
    }
    if (menuOpen) {
        const double step = backgroundDriftRate * dt;
        double* channels[3] = {&backgroundColour.red, &backgroundColour.green, &backgroundColour.blue};
        for (int channel = 0; channel < 3; ++channel) {
            const double change = (std::rand() % 255) / 127500.0 * step;
            *channels[channel] += colourDirection[channel] ? change : -change;
        }
        for (int channel = 0; channel < 3; ++channel) {
            if (*channels[channel] > backgroundUpperBound) {
                colourDirection[channel] = false;
            } else if (*channels[channel] < backgroundLowerBound) {
                colourDirection[channel] = true;
            }
        }
    }
    for (InterfaceComponent* component : allComponents) component->update(dt);
    return menuOpen;
}

void Interface::layout(int width, int height) {
    if (!topRow.empty()) {
        int rowWidth = topRowGap * (static_cast<int>(topRow.size()) - 1);
        for (InterfaceComponent* component : topRow) {
            component->setSize(topRowComponentWidth, topRowComponentHeight);
            rowWidth += component->width;
        }
        int left = (width - rowWidth) / 2;
        for (InterfaceComponent* component : topRow) {
            component->setPosition(left, height - topRowGap - component->height);
            left += component->width + topRowGap;
        }
    }

    for (int index = 0; index < pageCount; ++index) {
        std::vector<InterfaceComponent*>& entries = pages[index].components;
        if (entries.empty()) continue;
        int columnHeight = pageEntryGap * (static_cast<int>(entries.size()) - 1);
        for (InterfaceComponent* component : entries) {
            if (component->type == buttonType) component->setSize(pageButtonWidth, pageButtonHeight);
            columnHeight += component->height;
        }
        int bottom = (height - columnHeight) / 2;
        for (InterfaceComponent* component : entries) {
            component->setPosition(width / 2 - component->width / 2, bottom);
            bottom += component->height + pageEntryGap;
        }
    }

    for (int index = 0; index < pageCount; ++index) {
        const TextExtent extent = measureTitleText(pages[index].title);
        pages[index].titleX = (width - extent.width) / 2;
        pages[index].titleY = (height - extent.height) * titleHeightNumerator / titleHeightDenominator;
    }
}

void Interface::draw() {
    if (!menuOpen) {
        for (InterfaceComponent* component : topRow) component->draw();
        return;
    }
    // Opaque background: the drifting colour at the bottom fading to black at the top.
    glBegin(GL_QUADS);
    glColor3d(backgroundColour.red, backgroundColour.green, backgroundColour.blue);
    glVertex2i(0, 0);
    glVertex2i(windowWidth, 0);
    glColor3d(0.0, 0.0, 0.0);
    glVertex2i(windowWidth, windowHeight);
    glVertex2i(0, windowHeight);
    GL_CHECK(glEnd());
    if (pageCount > 0) {
        const Page& page = pages[currentPage];
        for (InterfaceComponent* component : page.components) component->draw();
        GL_CHECK(glColor3d(1.0, 1.0, 1.0));
        drawTitleText(page.title, page.titleX, page.titleY);
    }
}

bool Interface::onMouseButton(int button, int action, int mouseX, int mouseY) {
    InterfaceComponent* hit = nullptr;
    bool consumed = false;
    const std::vector<InterfaceComponent*>* offered = &topRow;
    if (menuOpen) {
        consumed = true;
        offered = pageCount > 0 ? &pages[currentPage].components : nullptr;
    }
    if (offered != nullptr) {
        for (InterfaceComponent* component : *offered) {
            hit = component->onMouseButton(button, action, mouseX, mouseY);
            if (hit != nullptr) break;
        }
    }
    if (hit != nullptr) {
        if (hit->type == buttonType) {
            dispatchCommand(hit, mouseX, mouseY);
            focusedField = nullptr;
            return true;
        }
        if (hit->type == textFieldType) {
            focusedField = static_cast<TextField*>(hit);
            return true;
        }
    }
    if (action == mousePressAction) focusedField = nullptr;
    return consumed;
}

bool Interface::onMouseMove(int mouseX, int mouseY) {
    for (InterfaceComponent* component : allComponents) component->onMouseMove(mouseX, mouseY);
    return menuOpen;
}

bool Interface::onMouseDrag(int, int) { return menuOpen; }

bool Interface::onKeyPressed(sf::Keyboard::Key key, bool, bool, bool shift) {
    if (key == sf::Keyboard::Escape) {
        if (menuOpen) {
            goBack();
        } else {
            openMenu();
        }
        return menuOpen;
    }
    if (focusedField != nullptr) {
        if (key == sf::Keyboard::BackSpace) {
            focusedField->deleteLastCharacter();
        } else {
            const char c = typedCharacter(key, shift);
            if (c != '\0') focusedField->appendCharacter(c);
        }
    }
    return menuOpen;
}

bool Interface::dispatchCommand(InterfaceComponent* component, int mouseX, int mouseY) {
    if (component == nullptr) return false;
    const std::string name = component->getName();
    // A system command runs on the release that completes a click (or when goBack activates an
    // idle button); the press of the same button still goes to the callback.
    const bool idleButton =
        component->type == buttonType && static_cast<Button*>(component)->pressState == buttonIdleState;
    if (startsWith(name, systemCommandPrefix) && idleButton) {
        runSystemCommand(name);
    } else if (commandCallbackEnabled && commandCallback != nullptr) {
        commandCallback(component, mouseX, mouseY);
    }
    return true;
}

void Interface::runSystemCommand(const std::string& name) {
    if (exitButton != nullptr && name == exitButton->getName()) {
        programRunning = false;
        return;
    }
    if (returnButton != nullptr && name == returnButton->getName()) {
        menuOpen = false;
        return;
    }
    if (startsWith(name, gotoPageCommandPrefix)) {
        const std::size_t numberStart = std::string(gotoPageCommandPrefix).size();
        const double number = parseNumber(name.substr(numberStart, 2));
        // A number that did not parse or names no page leaves the menu where it is.
        if (number >= 0.0 && number < static_cast<double>(pageCount)) currentPage = static_cast<int>(number);
    }
}

void Interface::goBack() {
    if (currentPage == 0) {
        menuOpen = false;
        currentPage = 0;
        return;
    }
    for (InterfaceComponent* component : pages[currentPage].components) {
        if (startsWith(component->getName(), gotoPageCommandPrefix)) {
            dispatchCommand(component, 0, 0);
            return;
        }
    }
}
