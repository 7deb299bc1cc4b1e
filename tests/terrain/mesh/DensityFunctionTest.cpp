#include "terrain/mesh/DensityFunction.hpp"

#include <gtest/gtest.h>
#include <libnoise/noise.h>

#include <cmath>

namespace {

// The two noise layers, configured independently of the class so that the field's terms can be
// separated from its noise.
struct NoiseLayers {
    noise::module::Perlin detail;
    noise::module::Perlin base;
    NoiseLayers() {
        detail.SetFrequency(0.03);
        detail.SetOctaveCount(2);
        base.SetFrequency(0.005);
        base.SetOctaveCount(2);
    }
    double detailAt(double x, double y, double z) const { return detail.GetValue(1.3 * x, 1.3 * y, 1.3 * z); }
    double baseAt(double x, double y, double z) const { return base.GetValue(x, y, z); }
};

struct FieldCase {
    const char* name;
    double x, y, z, offset;
    // Expected density from the two noise values at the point.
    double (*expected)(double detail, double base, double y, double offset);
};

}  // namespace

TEST(DensityFunction, TermsAtTheFeaturePoints) {
    const double mountainRimX = 500.0 + 500.0 * std::cos(0.7);
    const double mountainRimZ = 500.0 + 500.0 * std::sin(0.7);
    const FieldCase cases[] = {
        {"mountain centre", 500.0, 20.0, 500.0, 0.0,
         [](double d, double b, double y, double o) { return 7 * d + 70 * b + 1000.0 - y + o; }},
        {"mountain half radius", 750.0, -3.0, 500.0, 2.0,
         [](double d, double b, double y, double o) { return 7 * d + 70 * b + 500.0 - y + o; }},
        {"mountain rim", mountainRimX, 4.0, mountainRimZ, 0.0,
         [](double d, double b, double y, double o) { return 7 * d + 70 * b - y + o; }},
        {"plain ground", -400.0, 12.0, -300.0, 0.0,
         [](double d, double b, double y, double o) { return 7 * d + 70 * b - y + o; }},
        {"plateau centre", -10.0, 6.0, 70.0, 0.5,
         [](double d, double, double y, double o) { return 3.5 * d + 5.0 - y + o; }},
        {"plateau flat edge", -10.0 + 30.0, 6.0, 70.0, 0.0,
         [](double d, double, double y, double o) { return 3.5 * d + 5.0 - y + o; }},
        {"plateau half way", -10.0, 2.0, 70.0 + 35.0, 0.0,
         [](double d, double b, double y, double o) { return 0.75 * 7 * d + 0.5 * 70 * b + 2.5 - y + o; }},
        {"plateau rim", -10.0 - 40.0, 1.0, 70.0, -1.0,
         [](double d, double b, double y, double o) { return 7 * d + 70 * b - y + o; }},
    };
    const DensityFunction field;
    const NoiseLayers layers;
    for (const FieldCase& c : cases) {
        const double d = layers.detailAt(c.x, c.y, c.z);
        const double b = layers.baseAt(c.x, c.y, c.z);
        EXPECT_NEAR(field.getDensity(c.x, c.y, c.z, c.offset), c.expected(d, b, c.y, c.offset), 1e-9)
            << c.name;
    }
}

TEST(DensityFunction, ContinuousAcrossTheMountainAndPlateauRims) {
    const DensityFunction field;
    // Just inside and just outside each rim, along a radius.
    const double tiny = 1e-7;
    const double inMountain = field.getDensity(500.0 - 500.0 + tiny, 30.0, 500.0, 0.0);
    const double outMountain = field.getDensity(500.0 - 500.0 - tiny, 30.0, 500.0, 0.0);
    EXPECT_NEAR(inMountain, outMountain, 1e-5);
    const double inPlateau = field.getDensity(-10.0, 3.0, 70.0 - 40.0 + tiny, 0.0);
    const double outPlateau = field.getDensity(-10.0, 3.0, 70.0 - 40.0 - tiny, 0.0);
    EXPECT_NEAR(inPlateau, outPlateau, 1e-5);
    // The mountain really is there: 1000 units of extra density at its centre.
    EXPECT_GT(field.getDensity(500.0, 500.0, 500.0, 0.0), 400.0);
}

TEST(DensityFunction, OffsetAndHeightShiftTheDensityOneForOne) {
    const DensityFunction field;
    const double points[][3] = {{0.0, 0.0, 0.0}, {123.4, -56.7, 89.1}, {480.0, 900.0, 510.0}, {-12.0, 5.0, 71.0}};
    for (const auto& p : points) {
        const double d = field.getDensity(p[0], p[1], p[2], 0.0);
        EXPECT_NEAR(field.getDensity(p[0], p[1], p[2], -25.0), d - 25.0, 1e-9);
        EXPECT_NEAR(field.getDensity(p[0], p[1], p[2], 1.0), d + 1.0, 1e-9);
    }
}

TEST(DensityFunction, NormalIsTheNormalisedNegatedGradient) {
    const DensityFunction field;
    const double x = 37.0, y = 3.0, z = -81.0, step = 0.5;
    const Imath::V3d n = field.getNormal(x, y, z, step);
    Imath::V3d g(field.getDensity(x - step, y, z, 0) - field.getDensity(x + step, y, z, 0),
                 field.getDensity(x, y - step, z, 0) - field.getDensity(x, y + step, z, 0),
                 field.getDensity(x, y, z - step, 0) - field.getDensity(x, y, z + step, 0));
    g.normalize();
    EXPECT_NEAR(n.x, g.x, 1e-12);
    EXPECT_NEAR(n.y, g.y, 1e-12);
    EXPECT_NEAR(n.z, g.z, 1e-12);
    EXPECT_NEAR(n.length(), 1.0, 1e-12);
    // The density falls by one per unit of height, so the normal leans upwards on gentle ground.
    EXPECT_GT(n.y, 0.5);
}

TEST(DensityFunction, NormalOnTheFlatPlateauPointsUp) {
    // Inside the plateau the large noise is gone and only half the detail remains: the ground is
    // nearly level.
    const DensityFunction field;
    const Imath::V3d n = field.getNormal(-10.0, 5.0, 70.0, 0.001);
    EXPECT_GT(n.y, 0.9);
    EXPECT_NEAR(n.length(), 1.0, 1e-12);
}

TEST(DensityFunction, DegenerateNormalIsReturnedUnnormalised) {
    const DensityFunction field;
    const Imath::V3d n = field.getNormal(12.0, 4.0, 9.0, 0.0);
    EXPECT_EQ(n, Imath::V3d(0.0, 0.0, 0.0));
    // A step so small that the difference vector stays below the threshold: left as it is.
    const Imath::V3d tiny = field.getNormal(12.0, 4.0, 9.0, 1e-9);
    EXPECT_LT(tiny.length(), 0.00001);
    EXPECT_GT(tiny.length(), 0.0);
}
