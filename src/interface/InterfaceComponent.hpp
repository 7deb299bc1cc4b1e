#pragma once
// Abstract base of every element of the in-window menu: a named rectangle in window pixels with a
// text, two colours, a glow level and a type code. Main thread only; positions are pixels from the
// window's bottom-left corner, (x, y) being the component's bottom-left corner.
#include <string>

// Mouse action codes shared by the Game, the Interface and its components.
constexpr int mousePressAction = 6;
constexpr int mouseReleaseAction = 7;

// Mouse buttons as the window layer numbers them.
constexpr int leftMouseButton = 0;
constexpr int rightMouseButton = 1;
constexpr int middleMouseButton = 2;

// Type codes the Interface branches on.
constexpr int buttonType = 9;
constexpr int textFieldType = 19;

// Every component is at least its text extent plus this many pixels in each direction.
constexpr int componentTextMargin = 3;

struct Colour {
    double red = 0.0;  // 0..1
    double green = 0.0;
    double blue = 0.0;
};

struct PixelPosition {
    int x = 0;
    int y = 0;
};

struct PixelSize {
    int width = 0;
    int height = 0;
};

class InterfaceComponent {
public:
    InterfaceComponent(const std::string& name, const std::string& text, int type, int x, int y,
                       int width, int height);
    // Components are owned by their creators; a virtual destructor lets an owner release one
    // through a base pointer safely.
    virtual ~InterfaceComponent() = default;

    // Applies the minimum size and recomputes `right` and `top`.
    virtual void recalculate();
    virtual PixelPosition getPosition() const;
    virtual PixelSize getSize() const;
    virtual std::string getName() const;
    virtual std::string getText() const;
    // This component when its name equals `otherName` exactly (case and length), else nullptr.
    virtual InterfaceComponent* matchName(const std::string& otherName);
    virtual void setPosition(int newX, int newY);
    virtual void setSize(int newWidth, int newHeight);
    virtual void setFaceColour(double red, double green, double blue);
    virtual void setGlowColour(double red, double green, double blue);
    virtual void setText(const std::string& newText);
    // Returns the component that took the event, or nullptr. x, y in window pixels from bottom-left.
    virtual InterfaceComponent* onMouseButton(int button, int action, int mouseX, int mouseY) = 0;
    virtual void onMouseMove(int mouseX, int mouseY) = 0;
    virtual void onMouseDrag(int mouseX, int mouseY) = 0;
    // Kept for subclasses that want a three-argument notification; nothing calls it.
    virtual void reservedHook(int first, int second, int third);
    virtual void draw() = 0;
    virtual void update(double dt) = 0;  // dt in seconds since the last update

    // True when (px, py) lies inside the rectangle; all four edges count as inside.
    bool contains(int px, int py) const;

    int x;
    int y;
    int right;   // x + width
    int top;     // y + height
    int width;   // pixels
    int height;  // pixels
    std::string name;
    std::string text;
    int textWidth;   // pixels, as measured with the small font
    int textHeight;  // pixels
    Colour faceColour;
    Colour glowColour;
    double glow;  // glow level, animated by buttons
    int type;     // buttonType or textFieldType
};
