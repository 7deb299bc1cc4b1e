// Checks the asset generator's pure parts: tileable noise, colour ramps and the synthesiser.
#include "ColourRamp.hpp"
#include "Instruments.hpp"
#include "LoopBuffer.hpp"
#include "MainMusic.hpp"
#include "TileableNoise.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

TEST(TileableNoise, OppositeEdgesMatchAndTheInteriorIsTheSourceItself) {
    noise::module::Perlin perlin;
    perlin.SetSeed(7);
    const double period = 5.0;
    for (double t : {0.0, 0.7, 2.5, 4.9}) {
        SCOPED_TRACE(t);
        EXPECT_NEAR(sampleTileable(perlin, period, t, period), sampleTileable(perlin, 0.0, t, period), 1e-9);
        EXPECT_NEAR(sampleTileable(perlin, t, period, period), sampleTileable(perlin, t, 0.0, period), 1e-9);
        // Just inside the far edge the value is already close to the one at the near edge.
        EXPECT_NEAR(sampleTileable(perlin, period - 1e-4, t, period), sampleTileable(perlin, 0.0, t, period), 1e-2);
    }
    double inside = period * (1.0 - tileBlendBand) - 0.01;
    EXPECT_DOUBLE_EQ(sampleTileable(perlin, inside, 1.3, period), perlin.GetValue(inside, 1.3, 0.0));
    EXPECT_DOUBLE_EQ(sampleTileable(perlin, 0.4, inside, period, 2.0), perlin.GetValue(0.4, inside, 2.0));
}

TEST(ColourRamp, InterpolatesBetweenStopsAndHoldsTheEnds) {
    ColourRamp ramp({{0.0, sf::Color(0, 100, 200)}, {1.0, sf::Color(100, 200, 0)}, {3.0, sf::Color(255, 255, 255)}});
    struct Case {
        double value;
        sf::Color expected;
    };
    for (const Case& c : {Case{-5.0, sf::Color(0, 100, 200)}, Case{0.0, sf::Color(0, 100, 200)},
                          Case{0.5, sf::Color(50, 150, 100)}, Case{1.0, sf::Color(100, 200, 0)},
                          Case{2.0, sf::Color(178, 228, 128)}, Case{9.0, sf::Color(255, 255, 255)}}) {
        sf::Color got = ramp.colourAt(c.value);
        EXPECT_EQ(got, c.expected) << "at " << c.value << " got " << int(got.r) << "," << int(got.g) << "," << int(got.b);
    }
    EXPECT_EQ(ColourRamp({}).colourAt(0.3), sf::Color::Black);
}

TEST(LoopBuffer, WritesPastTheEndWrapToTheBeginning) {
    LoopBuffer buffer(10);
    buffer.add(3, 0.5f, -0.25f);
    buffer.add(13, 0.25f, 0.0f);
    buffer.add(29, -1.0f, 0.75f);
    EXPECT_FLOAT_EQ(buffer.left[3], 0.75f);
    EXPECT_FLOAT_EQ(buffer.right[3], -0.25f);
    EXPECT_FLOAT_EQ(buffer.left[9], -1.0f);
    EXPECT_FLOAT_EQ(buffer.peak(), 1.0f);
}

TEST(Instruments, NotesStartAndEndInSilenceAndWrapAroundTheLoop) {
    struct Voice {
        const char* name;
        std::function<void(LoopBuffer&, const Note&)> add;
    };
    for (const Voice& voice : {Voice{"pad", addPad}, Voice{"bass", addBass},
                               Voice{"piano", addElectricPiano}, Voice{"pluck", addPluck}}) {
        SCOPED_TRACE(voice.name);
        Note note;
        note.frequency = 220.0;
        note.gain = 0.5;
        note.seconds = 1.0;

        // Alone in a long buffer: the note fades in from silence and dies away to silence.
        LoopBuffer open(10 * synthSampleRate);
        note.startFrame = 1000;
        voice.add(open, note);
        EXPECT_EQ(open.left[999], 0.0f);
        EXPECT_LT(std::fabs(open.left[1000]) + std::fabs(open.right[1000]), 0.01f);
        std::size_t last = open.frameCount() - 1;
        while (last > 0 && open.left[last] == 0.0f && open.right[last] == 0.0f) --last;
        EXPECT_GT(last, 1000u + synthSampleRate / 2);
        EXPECT_LT(std::fabs(open.left[last]) + std::fabs(open.right[last]), 0.01f);
        EXPECT_GT(open.peak(), 0.05f);

        // Started just before the end of a loop, it carries on from the loop's first frame.
        LoopBuffer loop(3 * synthSampleRate);
        note.startFrame = loop.frameCount() - synthSampleRate / 10;
        voice.add(loop, note);
        float early = 0.0f;
        for (std::size_t i = 0; i < synthSampleRate / 2; ++i) early = std::max(early, std::fabs(loop.left[i]));
        EXPECT_GT(early, 0.05f);
    }
}

TEST(Instruments, PingPongEchoCrossesChannelsAndWrapsAroundTheLoop) {
    LoopBuffer buffer(1000);
    buffer.add(900, 1.0f, 0.0f);
    addPingPongEcho(buffer, 200, 0.5f, 0.5f);
    // Each echo is half the one before and changes channel; they wrap round the loop end.
    EXPECT_NEAR(buffer.right[100], 0.5, 1e-3);
    EXPECT_NEAR(buffer.left[300], 0.25, 1e-3);
    EXPECT_NEAR(buffer.right[500], 0.125, 1e-3);
    EXPECT_NEAR(buffer.left[100], 0.5 * std::pow(0.5, 5), 1e-3);  // sixth echo, one lap later
    EXPECT_FLOAT_EQ(buffer.left[200], 0.0f);
    EXPECT_FLOAT_EQ(buffer.right[250], 0.0f);
}

TEST(MainMusic, PcmIsScaledToThePeakLevelAndSilenceStaysSilent) {
    LoopBuffer buffer(4);
    buffer.left = {0.0f, 0.5f, -2.0f, 1.0f};
    buffer.right = {0.25f, 0.0f, 0.0f, -1.0f};
    std::vector<sf::Int16> pcm = toPcm(buffer, 0.5);
    ASSERT_EQ(pcm.size(), 8u);
    EXPECT_EQ(pcm[4], -16384);  // the loudest sample, left channel of frame 2
    EXPECT_EQ(pcm[6], 8192);
    EXPECT_EQ(pcm[2], 4096);
    EXPECT_EQ(pcm[1], 2048);
    EXPECT_EQ(pcm[7], -8192);

    LoopBuffer silent(5);
    for (sf::Int16 s : toPcm(silent, 0.7)) EXPECT_EQ(s, 0);
}
