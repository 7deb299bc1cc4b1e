#include "support/TestSupport.hpp"

#include <GL/glew.h>
#include <SFML/Window/Context.hpp>
#include <gtest/gtest.h>

#include "app/ProgramState.hpp"

void ensureGlContext() {
    static sf::Context* context = nullptr;
    static bool glewReady = false;
    if (context == nullptr) {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "display tests need an X display (run under Xvfb)";
        context = new sf::Context(sf::ContextSettings(24, 8), 64, 64);
        glewExperimental = GL_TRUE;
        glewReady = glewInit() == GLEW_OK;
    }
    ASSERT_TRUE(context->setActive(true));
    ASSERT_TRUE(glewReady);
}

void useProgramFontSizes() {
    ASSERT_EQ(fontSmall.Error(), 0) << "tests run in the build's run directory, where the fonts are";
    applyFontSizes();
}
