#pragma once
// The scene's two fixed-function lights: light 0, the warm main light that Page Down switches, and
// light 2, a faint blue light from the opposite side that Page Up switches. Main thread only.
#include <GL/glew.h>

class Lighting {
public:
    Lighting() = default;  // makes no OpenGL call

    // Enables lighting and light 0 and sets both lights' colours and positions.
    void setUp();
    // Sets the light positions under the current view, so they stay fixed in world space.
    void applyPositions();
    // Flip a light and make OpenGL's enable state follow the flag.
    void toggleLight0();
    void toggleLight2();

    // Colours are RGBA; positions homogeneous with w = 0 (directional lights).
    GLfloat ambientMain[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    GLfloat ambientDark[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    GLfloat diffuse0[4] = {0.9f, 0.9f, 0.8f, 1.0f};
    GLfloat diffuse2[4] = {0.1f, 0.1f, 0.3f, 1.0f};
    GLfloat specularMain[4] = {0.5f, 0.5f, 0.5f, 0.0f};
    GLfloat specular2[4] = {0.2f, 0.2f, 0.5f, 0.0f};
    GLfloat position0[4] = {0.0f, 50.0f, 50.0f, 0.0f};
    GLfloat position2[4] = {0.0f, 50.0f, -50.0f, 0.0f};
    bool light0On = true;
    bool light2On = false;
};
