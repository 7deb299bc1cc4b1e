#pragma once
// The clickable menu component: a shaded rectangle with a centred label, a hover glow and a press
// flash. It never acts by itself: it hands itself back to the Interface on a press and on the
// release that completes a click. Main thread only.
#include "interface/InterfaceComponent.hpp"

// pressState while no click is in progress.
constexpr int buttonIdleState = 11;

// Glow animation, levels in 0..1 and rates per second.
constexpr double buttonPressGlow = 0.2;      // flash on a press
constexpr double buttonHoverGlowLimit = 0.1;  // hovering raises the glow up to just above this
constexpr double buttonGlowRiseRate = 0.55;
constexpr double buttonGlowFallRate = 0.15;
constexpr double buttonFlashFloor = 0.101;  // above this an idle button sinks at an extra fall rate

// Glow halo: three translucent rings this many pixels outside the body, drawn widest first.
constexpr int buttonGlowSpreads[3] = {6, 4, 2};

class Button : public InterfaceComponent {
public:
    Button(const std::string& name, const std::string& text);

    InterfaceComponent* onMouseButton(int button, int action, int mouseX, int mouseY) override;
    void onMouseMove(int mouseX, int mouseY) override;
    void onMouseDrag(int mouseX, int mouseY) override;
    void draw() override;
    void update(double dt) override;

    bool hovered;    // the pointer is inside the button
    int pressState;  // mousePressAction from a left press inside until the next left release, else idle
};
