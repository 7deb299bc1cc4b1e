// Checks the terrain images and the music that the build generates into the run directory.
#include "MainMusic.hpp"

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const terrainDirectory = "./Resources/Textures/Terrain/";
const char* const terrainNames[] = {"snow.jpg", "rock.jpg", "grass.jpg", "dirt.jpg"};

sf::Image loadTerrainImage(const std::string& name) {
    sf::Image image;
    EXPECT_TRUE(image.loadFromFile(terrainDirectory + name)) << name;
    return image;
}

// Mean absolute channel difference between two columns (or two rows when `rows` is set).
double lineDifference(const sf::Image& image, unsigned a, unsigned b, bool rows) {
    sf::Vector2u size = image.getSize();
    unsigned length = rows ? size.x : size.y;
    double sum = 0.0;
    for (unsigned i = 0; i < length; ++i) {
        sf::Color p = rows ? image.getPixel(i, a) : image.getPixel(a, i);
        sf::Color q = rows ? image.getPixel(i, b) : image.getPixel(b, i);
        sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
    }
    return sum / (3.0 * length);
}

struct EdgeReport {
    double seam;           // last line against the first
    double neighbours;     // mean over the neighbouring lines inside the image
    double maxNeighbours;  // largest difference between neighbouring lines inside the image
    double far;            // first line against the middle one
};

EdgeReport edges(const sf::Image& image, bool rows) {
    unsigned count = rows ? image.getSize().y : image.getSize().x;
    EdgeReport report{};
    report.seam = lineDifference(image, count - 1, 0, rows);
    for (unsigned i = 0; i + 1 < count; ++i) {
        double step = lineDifference(image, i, i + 1, rows);
        report.neighbours += step;
        report.maxNeighbours = std::max(report.maxNeighbours, step);
    }
    report.neighbours /= count - 1;
    report.far = lineDifference(image, 0, count / 2, rows);
    return report;
}

struct MeanColour {
    double r = 0, g = 0, b = 0;
    double luminance() const { return 0.299 * r + 0.587 * g + 0.114 * b; }
    double saturation() const {
        double high = std::max({r, g, b}), low = std::min({r, g, b});
        return high > 0 ? (high - low) / high : 0.0;
    }
};

MeanColour meanColour(const sf::Image& image) {
    MeanColour mean;
    sf::Vector2u size = image.getSize();
    for (unsigned y = 0; y < size.y; ++y) {
        for (unsigned x = 0; x < size.x; ++x) {
            sf::Color c = image.getPixel(x, y);
            mean.r += c.r;
            mean.g += c.g;
            mean.b += c.b;
        }
    }
    double n = double(size.x) * size.y;
    mean.r /= n;
    mean.g /= n;
    mean.b /= n;
    return mean;
}

}  // namespace

TEST(GeneratedTerrainImages, AllFourLoadWithOneEqualSquareSize) {
    sf::Vector2u first = loadTerrainImage(terrainNames[0]).getSize();
    EXPECT_GE(first.x, 256u);
    EXPECT_EQ(first.x, first.y);
    for (const char* name : terrainNames) {
        sf::Vector2u size = loadTerrainImage(name).getSize();
        EXPECT_EQ(size, first) << name;
    }
}

TEST(GeneratedTerrainImages, TileSeamlesslyInBothDirections) {
    for (const char* name : terrainNames) {
        sf::Image image = loadTerrainImage(name);
        for (bool rows : {false, true}) {
            EdgeReport report = edges(image, rows);
            SCOPED_TRACE(std::string(name) + (rows ? " rows" : " columns"));
            // The image has texture, so a seam would show: lines far apart differ clearly.
            EXPECT_GT(report.neighbours, 0.5);
            EXPECT_GT(report.far, 2.0 * report.neighbours);
            // The wrap from the last line to the first is an ordinary step. The edge lines lie on
            // JPEG block borders, which differ a little more than the average neighbours, so the
            // seam is held to the largest step inside the image (a cut through the texture
            // measures several times that).
            EXPECT_LE(report.seam, 1.1 * report.maxNeighbours);
        }
    }
}

TEST(GeneratedTerrainImages, LookLikeWhatTheyName) {
    MeanColour snow = meanColour(loadTerrainImage("snow.jpg"));
    MeanColour rock = meanColour(loadTerrainImage("rock.jpg"));
    MeanColour grass = meanColour(loadTerrainImage("grass.jpg"));
    MeanColour dirt = meanColour(loadTerrainImage("dirt.jpg"));

    // Snow: near-white, the brightest layer, with only a faint blue tint.
    EXPECT_GT(snow.luminance(), 200.0);
    EXPECT_GE(snow.b, snow.r);
    for (const MeanColour& other : {rock, grass, dirt}) {
        EXPECT_GT(snow.luminance(), other.luminance());
    }
    // Rock: grey, nearly unsaturated, between dirt and snow in brightness.
    EXPECT_LT(rock.saturation(), 0.1);
    EXPECT_GT(rock.luminance(), dirt.luminance());
    EXPECT_LT(snow.saturation(), rock.saturation() + 0.05);
    // Grass: green dominates.
    EXPECT_GT(grass.g, grass.r * 1.2);
    EXPECT_GT(grass.g, grass.b * 1.5);
    // Dirt: brown, red over green over blue, and clearly coloured.
    EXPECT_GT(dirt.r, dirt.g);
    EXPECT_GT(dirt.g, dirt.b);
    EXPECT_GT(dirt.saturation(), 0.25);
}

class GeneratedMusic : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(file.openFromFile("resources/music/mainmusic.ogg"));
        samples.resize(file.getSampleCount());
        samples.resize(file.read(samples.data(), samples.size()));
        channels = file.getChannelCount();
    }
    sf::InputSoundFile file;
    std::vector<sf::Int16> samples;
    unsigned channels = 0;
};

TEST_F(GeneratedMusic, IsALoudEnoughStereoLoopOfWholeBarsAndAtLeastThirtySeconds) {
    EXPECT_EQ(channels, 2u);
    EXPECT_EQ(file.getSampleRate(), 44100u);
    EXPECT_GE(file.getDuration().asSeconds(), 30.0f);
    ASSERT_EQ(samples.size(), file.getSampleCount());
    EXPECT_EQ(samples.size() / channels, musicLoopFrames());
    EXPECT_EQ(musicLoopFrames() % (musicFramesPerBeat() * musicBeatsPerBar), 0u);

    double sumSquares = 0.0;
    for (sf::Int16 s : samples) sumSquares += double(s) * s;
    double rms = std::sqrt(sumSquares / samples.size());
    EXPECT_GT(rms, 0.05 * 32767);  // not silent
}

TEST_F(GeneratedMusic, NeverClips) {
    int peak = 0;
    for (sf::Int16 s : samples) peak = std::max(peak, std::abs(int(s)));
    EXPECT_LT(peak, 32000);
    EXPECT_GT(peak, 8000);
}

TEST_F(GeneratedMusic, LoopSeamIsNoBiggerThanOrdinarySteps) {
    ASSERT_EQ(channels, 2u);
    std::size_t frames = samples.size() / channels;
    ASSERT_GT(frames, 2u);
    for (unsigned c = 0; c < channels; ++c) {
        SCOPED_TRACE("channel " + std::to_string(c));
        std::vector<int> steps;
        for (std::size_t i = 0; i + 1 < frames; ++i) {
            steps.push_back(std::abs(samples[(i + 1) * channels + c] - samples[i * channels + c]));
        }
        std::sort(steps.begin(), steps.end());
        int typical = steps[steps.size() * 99 / 100];
        int seam = std::abs(samples[c] - samples[(frames - 1) * channels + c]);
        EXPECT_LE(seam, typical);
    }
}
