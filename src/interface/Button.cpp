#include "interface/Button.hpp"

#include "common/GlCheck.hpp"
#include "interface/TextHelpers.hpp"

Button::Button(const std::string& name, const std::string& text)
    : InterfaceComponent(name, text, buttonType, 0, 0, 0, 0), hovered(false), pressState(buttonIdleState) {}

InterfaceComponent* Button::onMouseButton(int button, int action, int mouseX, int mouseY) {
    if (button != leftMouseButton) return nullptr;
    if (contains(mouseX, mouseY)) {
        if (action == mousePressAction) {
            glow = buttonPressGlow;
            pressState = mousePressAction;
            return this;
        }
        if (action == mouseReleaseAction && pressState == mousePressAction) {
            pressState = buttonIdleState;
            return this;
        }
        return nullptr;
    }
    // A release away from the button cancels a click in progress.
    if (action == mouseReleaseAction) pressState = buttonIdleState;
    return nullptr;
}

void Button::onMouseMove(int mouseX, int mouseY) { hovered = contains(mouseX, mouseY); }

void Button::onMouseDrag(int, int) {}

void Button::update(double dt) {
    if (hovered) {
        if (glow <= buttonHoverGlowLimit) glow += buttonGlowRiseRate * dt;
    } else if (glow > 0.0) {
        glow -= buttonGlowFallRate * dt;
    }
    if (glow > buttonFlashFloor && pressState == buttonIdleState) glow -= buttonGlowFallRate * dt;
}

void Button::draw() {
    if (glow > 0.0) {
        GL_CHECK(glColor4d(glowColour.red, glowColour.green, glowColour.blue, 2.0 * glow));
        glBegin(GL_QUADS);
        for (int spread : buttonGlowSpreads) {
            glVertex2i(x - spread, y - spread);
            glVertex2i(right + spread, y - spread);
            glVertex2i(right + spread, top + spread);
            glVertex2i(x - spread, top + spread);
        }
        GL_CHECK(glEnd());
    }

    // Body: a vertical gradient from black at the bottom edge to the face colour at the top.
    glBegin(GL_QUADS);
    glColor3d(0.0, 0.0, 0.0);
    glVertex2i(x, y);
    glVertex2i(right, y);
    glColor3d(faceColour.red, faceColour.green, faceColour.blue);
    glVertex2i(right, top);
    glVertex2i(x, top);
    GL_CHECK(glEnd());

    // Label, centred; the baseline sits at the vertical offset.
    GL_CHECK(glColor3d(1.0, 1.0, 1.0));
    drawText(text, x + (width - textWidth) * 0.5, y + (height - textHeight) * 0.5);
}
