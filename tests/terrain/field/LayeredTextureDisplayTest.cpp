#include "terrain/field/LayeredTexture.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/GlCheck.hpp"
#include "support/TestSupport.hpp"
#include "terrain/field/TextureImages.hpp"

namespace {

GLint boundTexture3d() {
    GLint name = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_3D, &name);
    return name;
}

GLint levelParameter(GLuint texture, GLenum parameter) {
    GLint value = -1;
    glBindTexture(GL_TEXTURE_3D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_3D, 0, parameter, &value);
    glBindTexture(GL_TEXTURE_3D, 0);
    return value;
}

GLint textureParameter(GLuint texture, GLenum parameter) {
    GLint value = -1;
    glBindTexture(GL_TEXTURE_3D, texture);
    glGetTexParameteriv(GL_TEXTURE_3D, parameter, &value);
    glBindTexture(GL_TEXTURE_3D, 0);
    return value;
}

class LayeredTextureDisplayTest : public ::testing::Test {
protected:
    void SetUp() override { ensureGlContext(); }
    TextureImages images;
    const sf::Color snow{250, 250, 250};
    const sf::Color rock{120, 120, 120};
    const sf::Color grass{40, 160, 40};
    const sf::Color dirt{130, 80, 30};
};

TEST_F(LayeredTextureDisplayTest, FourImagesGiveADepthFourTextureInListOrder) {
    const std::vector<std::string> files = {images.write("snow.jpg", 16, 8, snow), images.write("rock.jpg", 16, 8, rock),
                                            images.write("grass.jpg", 16, 8, grass),
                                            images.write("dirt.jpg", 16, 8, dirt)};
    const unsigned errorsBefore = glcheck::errorCount();
    CapturedStdout out;
    const GLuint texture = createLayeredTexture(true, true, files);
    EXPECT_EQ(out.text(), "");
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(boundTexture3d(), 0) << "texture name 0 is bound afterwards";
    EXPECT_EQ(levelParameter(texture, GL_TEXTURE_WIDTH), 16);
    EXPECT_EQ(levelParameter(texture, GL_TEXTURE_HEIGHT), 8);
    EXPECT_EQ(levelParameter(texture, GL_TEXTURE_DEPTH), 4);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_R), GL_REPEAT);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);

    std::vector<unsigned char> texels(16 * 8 * 4 * 4);
    glBindTexture(GL_TEXTURE_3D, texture);
    glGetTexImage(GL_TEXTURE_3D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_3D, 0);
    const sf::Color expected[] = {snow, rock, grass, dirt};
    for (int layer = 0; layer < 4; ++layer) {
        const unsigned char* texel = &texels[layer * 16 * 8 * 4 + (3 * 16 + 5) * 4];
        EXPECT_NEAR(texel[0], expected[layer].r, 6) << "layer " << layer;  // JPEG is lossy
        EXPECT_NEAR(texel[1], expected[layer].g, 6) << "layer " << layer;
        EXPECT_NEAR(texel[2], expected[layer].b, 6) << "layer " << layer;
        EXPECT_EQ(texel[3], 255);
    }
    glDeleteTextures(1, &texture);
    EXPECT_EQ(glcheck::errorCount(), errorsBefore);
}

TEST_F(LayeredTextureDisplayTest, NearestAndClampSettingsAreApplied) {
    const std::vector<std::string> files = {images.write("a.jpg", 4, 4, snow), images.write("b.jpg", 4, 4, dirt)};
    const GLuint texture = createLayeredTexture(false, false, files);
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(levelParameter(texture, GL_TEXTURE_DEPTH), 2);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_R), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    glDeleteTextures(1, &texture);
}

TEST_F(LayeredTextureDisplayTest, FailuresGiveZeroAndTheirMessagesAndLeaveTheBindingAlone) {
    struct Case {
        const char* name;
        std::vector<std::string> files;
        std::string messages;
    };
    const Case cases[] = {
        {"missing first file",
         {images.missing("snow.jpg"), images.write("rock.jpg", 8, 8, rock), images.write("grass.jpg", 8, 8, grass),
          images.write("dirt.jpg", 8, 8, dirt)},
         "Error loading image data!\nError loading textures for 3d texture! Different sizes!\n"},
        {"different sizes",
         {images.write("s.jpg", 8, 8, snow), images.write("r.jpg", 8, 8, rock), images.write("g.jpg", 8, 4, grass),
          images.write("d.jpg", 16, 8, dirt)},
         "Error loading textures for 3d texture! Different sizes!\n"},
    };
    GLuint sentinel = 0;
    glGenTextures(1, &sentinel);
    for (const auto& c : cases) {
        glBindTexture(GL_TEXTURE_3D, sentinel);
        CapturedStdout out;
        EXPECT_EQ(createLayeredTexture(true, true, c.files), 0u) << c.name;
        EXPECT_EQ(out.text(), c.messages) << c.name;
        EXPECT_EQ(boundTexture3d(), static_cast<GLint>(sentinel)) << c.name << ": no binding is made on failure";
    }
    glBindTexture(GL_TEXTURE_3D, 0);
    glDeleteTextures(1, &sentinel);
}

TEST_F(LayeredTextureDisplayTest, EveryFileMissingGivesAnEmptyTextureAndOneMessagePerFile) {
    CapturedStdout out;
    const GLuint texture =
        createLayeredTexture(true, true, {images.missing("a.jpg"), images.missing("b.jpg"), images.missing("c.jpg")});
    EXPECT_EQ(out.text(), "Error loading image data!\nError loading image data!\nError loading image data!\n");
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(levelParameter(texture, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(boundTexture3d(), 0);
    glDeleteTextures(1, &texture);
}

}  // namespace
