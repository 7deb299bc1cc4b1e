#include "world/Lighting.hpp"

#include "common/GlCheck.hpp"

namespace {
void setLightEnabled(GLenum light, bool on) {
    if (on) {
        GL_CHECK(glEnable(light));
    } else {
        GL_CHECK(glDisable(light));
    }
}
}  // namespace

void Lighting::setUp() {
    GL_CHECK(glEnable(GL_LIGHTING));
    GL_CHECK(glEnable(GL_LIGHT0));

    GL_CHECK(glLightfv(GL_LIGHT0, GL_AMBIENT, ambientMain));
    GL_CHECK(glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse0));
    GL_CHECK(glLightfv(GL_LIGHT0, GL_SPECULAR, specularMain));
    GL_CHECK(glLightfv(GL_LIGHT0, GL_POSITION, position0));

    GL_CHECK(glLightfv(GL_LIGHT2, GL_AMBIENT, ambientDark));
    GL_CHECK(glLightfv(GL_LIGHT2, GL_DIFFUSE, diffuse2));
    GL_CHECK(glLightfv(GL_LIGHT2, GL_SPECULAR, specular2));
    GL_CHECK(glLightfv(GL_LIGHT2, GL_POSITION, position2));
}

void Lighting::applyPositions() {
    GL_CHECK(glPushMatrix());
    GL_CHECK(glLightfv(GL_LIGHT0, GL_POSITION, position0));
    GL_CHECK(glLightfv(GL_LIGHT2, GL_POSITION, position2));
    GL_CHECK(glPopMatrix());
}

void Lighting::toggleLight0() {
    light0On = !light0On;
    setLightEnabled(GL_LIGHT0, light0On);
}

void Lighting::toggleLight2() {
    light2On = !light2On;
    setLightEnabled(GL_LIGHT2, light2On);
}
