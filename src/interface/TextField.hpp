#pragma once
// A multi-line text in a translucent box: wrapped at word separators to the box's width, scrolled
// one line at a time by two small boxes at its right edge, and, when editable, typed into through
// the Interface's keyboard focus. Main thread only.
#include <string>
#include <vector>

#include "interface/InterfaceComponent.hpp"

constexpr int textFieldDefaultWidth = 400;   // pixels
constexpr int textFieldDefaultHeight = 200;  // pixels
constexpr int textFieldWrapMargin = 20;      // wrapping keeps lines this much narrower than the box
constexpr int textFieldTypingMargin = 15;    // a typed line re-wraps once it is this close to the edge
constexpr int textFieldLineGap = 5;          // pixels added to the height of "A" between baselines
constexpr int textFieldVerticalPadding = 10; // pixels of the height not used for lines
constexpr int textFieldTextInset = 5;        // left edge to the start of each line
constexpr int textFieldTopInset = 2;         // extra gap above the first line
constexpr int textFieldScrollBoxSize = 15;   // the scroll boxes are this many pixels square
constexpr int textFieldChevronTipInset = 7;  // a chevron tip lies this far in from the right edge
constexpr double textFieldScrollInterval = 0.1;  // seconds between scroll steps while a box is held
constexpr double textFieldScrollReady = 100.0;   // timer value that makes the next update scroll

// True for the characters after which a line may be broken (kept at the end of the line).
bool isWrapSeparator(char c);

// Breaks `text` into lines no wider than `limit` pixels (measured with the small font) at
// separators and newlines. A word wider than the limit gets a line of its own; the result always
// holds at least one line, which is empty for an empty text.
std::vector<std::string> wrapText(const std::string& text, int limit);

class TextField : public InterfaceComponent {
public:
    TextField(const std::string& name, const std::string& text, bool editable);

    // Wraps the text into `lines` for the current width and recomputes the line metrics.
    void recalculate() override;
    // Stores the text and wraps it again (the text's own extent is not measured).
    void setText(const std::string& newText) override;
    InterfaceComponent* onMouseButton(int button, int action, int mouseX, int mouseY) override;
    void onMouseMove(int mouseX, int mouseY) override;
    void onMouseDrag(int mouseX, int mouseY) override;
    void draw() override;
    void update(double dt) override;

    // Keyboard input from the Interface while this field has the focus.
    void appendCharacter(char c);
    void deleteLastCharacter();

    void scrollToEnd();
    void scrollDownOne();

    std::vector<std::string> lines;  // the text broken into display lines
    int firstLine;                   // index of the first line shown
    int lineHeight;                  // pixels between baselines
    int visibleLines;                // lines that fit the height, at least 1
    bool scrollUpHeld;
    bool scrollDownHeld;
    double scrollTimer;  // seconds since the last scroll step
    bool focused;        // draws the focus highlight
    bool editable;       // the field can take the keyboard focus

private:
    bool insideUpBox(int mouseX, int mouseY) const;
    bool insideDownBox(int mouseX, int mouseY) const;
};
