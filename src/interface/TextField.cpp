#include "interface/TextField.hpp"

#include <cstring>

#include "common/GlCheck.hpp"
#include "interface/TextHelpers.hpp"

bool isWrapSeparator(char c) {
    static const char separators[] = " \t\\.,:;()[]{}+-*/=";
    return c != '\0' && std::strchr(separators, c) != nullptr;
}

namespace {
bool widerThan(const std::string& candidate, int limit) { return measureText(candidate).width > limit; }

// Closes the current line at a newline or at the end of the text.
void finishLine(std::vector<std::string>& lines, std::string& line, std::string& word, int limit) {
    if (widerThan(line + word, limit)) {
        lines.push_back(line);
        lines.push_back(word);
    } else {
        lines.push_back(line + word);
    }
    line.clear();
    word.clear();
}
}  // namespace

std::vector<std::string> wrapText(const std::string& text, int limit) {
    std::vector<std::string> lines;
    std::string line;
    std::string word;
    for (char c : text) {
        if (c == '\n') {
            finishLine(lines, line, word, limit);
        } else if (isWrapSeparator(c)) {
            word += c;
            if (widerThan(line + word, limit)) {
                lines.push_back(line);
                line.clear();
            }
            line += word;
            word.clear();
        } else {
            word += c;
        }
    }
    finishLine(lines, line, word, limit);
    return lines;
}

TextField::TextField(const std::string& name, const std::string& text, bool editable)
    : InterfaceComponent(name, text, textFieldType, 0, 0, 0, 0),
      firstLine(0),
      lineHeight(0),
      visibleLines(1),
      scrollUpHeld(false),
      scrollDownHeld(false),
      scrollTimer(textFieldScrollReady),
      focused(false),
      editable(editable) {
    setPosition(0, 0);
    setSize(textFieldDefaultWidth, textFieldDefaultHeight);
}

void TextField::recalculate() {
    right = x + width;
    top = y + height;
    lines = wrapText(text, width - textFieldWrapMargin);
    lineHeight = measureText("A").height + textFieldLineGap;
    visibleLines = (height - textFieldVerticalPadding) / lineHeight;
    if (visibleLines < 1) visibleLines = 1;
}

void TextField::setText(const std::string& newText) {
    text = newText;
    recalculate();
}

bool TextField::insideUpBox(int mouseX, int mouseY) const {
    return right - textFieldScrollBoxSize < mouseX && mouseX < right && top - textFieldScrollBoxSize < mouseY &&
           mouseY < top;
}

bool TextField::insideDownBox(int mouseX, int mouseY) const {
    return right - textFieldScrollBoxSize < mouseX && mouseX < right && y < mouseY &&
           mouseY < y + textFieldScrollBoxSize;
}

InterfaceComponent* TextField::onMouseButton(int button, int action, int mouseX, int mouseY) {
    if (button != leftMouseButton) return nullptr;
    if (action == mousePressAction) {
        if (insideUpBox(mouseX, mouseY)) {
            scrollTimer = textFieldScrollReady;
            scrollUpHeld = true;
            return nullptr;
        }
        if (insideDownBox(mouseX, mouseY)) {
            scrollTimer = textFieldScrollReady;
            scrollDownHeld = true;
            return nullptr;
        }
        if (!contains(mouseX, mouseY)) {
            focused = false;
        } else if (editable) {
            focused = true;
            scrollToEnd();
            return this;
        }
        scrollTimer = textFieldScrollReady;
        return nullptr;
    }
    scrollUpHeld = false;
    scrollDownHeld = false;
    scrollTimer = textFieldScrollReady;
    return nullptr;
}

void TextField::onMouseMove(int, int) {}

void TextField::onMouseDrag(int, int) {}

void TextField::update(double dt) {
    if (scrollTimer < textFieldScrollInterval) {
        scrollTimer += dt;
        return;
    }
    if (scrollDownHeld) {
        scrollDownOne();
    } else if (scrollUpHeld && firstLine > 0) {
        --firstLine;
    }
    scrollTimer = 0.0;
}

void TextField::scrollDownOne() {
    if (firstLine + visibleLines < static_cast<int>(lines.size())) ++firstLine;
}

void TextField::scrollToEnd() {
    const int end = static_cast<int>(lines.size()) - visibleLines;
    firstLine = end > 0 ? end : 0;
}

void TextField::appendCharacter(char c) {
    if (lines.empty()) lines.emplace_back();
    lines.back() += c;
    text += c;
    if (measureText(lines.back()).width > width - textFieldTypingMargin) recalculate();
    scrollToEnd();
}

void TextField::deleteLastCharacter() {
    if (lines.empty() || text.empty()) return;
    const std::size_t length = lines.back().size();
    if (length == 0 && lines.size() == 1) return;
    text.pop_back();
    if (length <= 1 && lines.size() > 1) {
        // When the text now ends in a line break, the line after it exists and is empty: keep it
        // so that the lines still match the text and the next character lands on its own line.
        if (length == 1 && text.back() == '\n') {
            lines.back().clear();
        } else {
            lines.pop_back();
        }
    } else if (length > 0) {
        lines.back().pop_back();
    }
    scrollToEnd();
}

void TextField::draw() {
    // Background: darker and more transparent at the bottom, tinted by the glow colour when focused.
    glBegin(GL_QUADS);
    if (focused) {
        glColor4d(glowColour.red, glowColour.green, glowColour.blue, 0.5);
    } else {
        glColor4d(0.2, 0.2, 0.2, 0.2);
    }
    glVertex2i(x, y);
    glVertex2i(right, y);
    glColor4d(0.2, 0.2, 0.2, 0.7);
    glVertex2i(right, top);
    glVertex2i(x, top);
    GL_CHECK(glEnd());

    const int lineCount = static_cast<int>(lines.size());
    if (lineCount > 1) {
        const int box = textFieldScrollBoxSize;
        const Colour& up = scrollUpHeld ? glowColour : faceColour;
        const Colour& down = scrollDownHeld ? glowColour : faceColour;
        glBegin(GL_QUADS);
        glColor4d(up.red, up.green, up.blue, 0.5);
        glVertex2i(right - box, top - box);
        glVertex2i(right, top - box);
        glVertex2i(right, top);
        glVertex2i(right - box, top);
        glColor4d(down.red, down.green, down.blue, 0.5);
        glVertex2i(right - box, y);
        glVertex2i(right, y);
        glVertex2i(right, y + box);
        glVertex2i(right - box, y + box);
        GL_CHECK(glEnd());

        // Chevrons pointing up and down over the two boxes.
        GL_CHECK(glColor4d(glowColour.red, glowColour.green, glowColour.blue, 0.5));
        glBegin(GL_LINE_STRIP);
        glVertex2i(right - box, top - box);
        glVertex2i(right - textFieldChevronTipInset, top);
        glVertex2i(right, top - box);
        GL_CHECK(glEnd());
        glBegin(GL_LINE_STRIP);
        glVertex2i(right - box, y + box);
        glVertex2i(right - textFieldChevronTipInset, y);
        glVertex2i(right, y + box);
        GL_CHECK(glEnd());
    }

    GL_CHECK(glColor3d(1.0, 1.0, 1.0));
    int baseline = top - lineHeight - textFieldTopInset;
    for (int index = firstLine; index < firstLine + visibleLines && index < lineCount; ++index) {
        drawText(lines[index], x + textFieldTextInset, baseline);
        baseline -= lineHeight;
    }
}
