#include "interface/InterfaceComponent.hpp"

#include "interface/TextHelpers.hpp"

InterfaceComponent::InterfaceComponent(const std::string& name, const std::string& text, int type,
                                       int x, int y, int width, int height)
    : x(x),
      y(y),
      right(x + width),
      top(y + height),
      width(width),
      height(height),
      name(name),
      text(text),
      textWidth(0),
      textHeight(0),
      faceColour{0.8, 0.8, 0.8},
      glowColour{0.5, 0.5, 0.5},
      glow(0.0),
      type(type) {
    const TextExtent extent = measureText(text);
    textWidth = extent.width;
    textHeight = extent.height;
    // The minimum size rule of the base, applied directly: no subclass exists yet at this point.
    InterfaceComponent::recalculate();
}

void InterfaceComponent::recalculate() {
    if (width < textWidth + componentTextMargin) width = textWidth + componentTextMargin;
    if (height < textHeight + componentTextMargin) height = textHeight + componentTextMargin;
    right = x + width;
    top = y + height;
}

PixelPosition InterfaceComponent::getPosition() const { return PixelPosition{x, y}; }

PixelSize InterfaceComponent::getSize() const { return PixelSize{width, height}; }

std::string InterfaceComponent::getName() const { return name; }

std::string InterfaceComponent::getText() const { return text; }

InterfaceComponent* InterfaceComponent::matchName(const std::string& otherName) {
    return otherName == name ? this : nullptr;
}

void InterfaceComponent::setPosition(int newX, int newY) {
    x = newX;
    y = newY;
    right = x + width;
    top = y + height;
    recalculate();
}

void InterfaceComponent::setSize(int newWidth, int newHeight) {
    width = newWidth;
    height = newHeight;
    right = x + width;
    top = y + height;
    recalculate();
}

void InterfaceComponent::setFaceColour(double red, double green, double blue) {
    faceColour = Colour{red, green, blue};
}

void InterfaceComponent::setGlowColour(double red, double green, double blue) {
    glowColour = Colour{red, green, blue};
}

void InterfaceComponent::setText(const std::string& newText) {
    text = newText;
    const TextExtent extent = measureText(text);
    textWidth = extent.width;
    textHeight = extent.height;
    recalculate();
}

void InterfaceComponent::reservedHook(int, int, int) {}

bool InterfaceComponent::contains(int px, int py) const {
    return x <= px && px <= right && y <= py && py <= top;
}
