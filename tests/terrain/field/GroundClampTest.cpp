#include "terrain/field/GroundClamp.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "terrain/mesh/DensityFunction.hpp"

namespace {

// Flat ground at height `ground`: density ground - y + offset, with a normal the test chooses
// (straight up unless told otherwise). Counts density samples so a test can see whether the clamp walked.
struct FlatField {
    double ground = 0.0;
    Imath::V3d normal{0.0, 1.0, 0.0};
    mutable int samples = 0;

    double getDensity(double, double y, double, double offset) const {
        ++samples;
        return ground - y + offset;
    }
    Imath::V3d getNormal(double, double, double, double) const { return normal; }
};

TEST(GroundClampTest, PositionInTheAirWithMarginIsReturnedBitForBit) {
    FlatField field;
    const Imath::V3d oldPosition(1.0, 5.0, 2.0);
    const Imath::V3d newPosition(1.1, 1.0000001, 2.3);
    const Imath::V3d result = clampAboveGround(field, oldPosition, newPosition);
    EXPECT_EQ(result, newPosition);
    EXPECT_EQ(field.samples, 1) << "open air costs one density sample";
}

TEST(GroundClampTest, PositionExactlyOnTheMarginSurfaceIsReturnedWithoutAWalk) {
    FlatField field;
    field.ground = 4.0;
    const Imath::V3d newPosition(3.0, 5.0, -2.0);  // density 4 - 5 + 1 = 0 exactly
    EXPECT_EQ(clampAboveGround(field, Imath::V3d(3.0, 9.0, -2.0), newPosition), newPosition);
    EXPECT_EQ(field.samples, 1);
}

TEST(GroundClampTest, PositionInsideTheGroundIsPushedOutAlongTheNormal) {
    FlatField field;
    // new at y = -3.5: dNew = 0 + 3.5 + 1 = 4.5; unit steps up reach y = 0.5 (density -0.5) after
    // four steps; the result lies 4.5 / 5 of the way from new to there.
    const Imath::V3d newPosition(7.0, -3.5, 1.0);
    const Imath::V3d result = clampAboveGround(field, Imath::V3d(7.0, 2.0, 1.0), newPosition);
    EXPECT_DOUBLE_EQ(result.x, 7.0);
    EXPECT_DOUBLE_EQ(result.y, -3.5 + 0.9 * 4.0);
    EXPECT_DOUBLE_EQ(result.z, 1.0);
}

TEST(GroundClampTest, FirstStepReachingTheAirEndsBetweenNewAndOneStepOut) {
    FlatField field;
    // new at y = -0.25: dNew = 1.25; new + n at y = 0.75 has density -0.75, so no further step.
    const Imath::V3d newPosition(0.0, -0.25, 0.0);
    const Imath::V3d result = clampAboveGround(field, newPosition, newPosition);
    EXPECT_DOUBLE_EQ(result.y, -0.25 + 1.25 / 2.0);
    EXPECT_EQ(field.samples, 3) << "dNew, dOld and one step";
}

TEST(GroundClampTest, TinyPositiveDensityReturnsNewAfterTheWalk) {
    FlatField field;
    field.ground = -1.0;
    const Imath::V3d newPosition(0.0, -0.00005, 0.0);  // dNew = 0.00005, below the snapping tolerance
    EXPECT_EQ(clampAboveGround(field, Imath::V3d(0.0, 3.0, 0.0), newPosition), newPosition);
    EXPECT_GT(field.samples, 2) << "the walk still runs";
}

TEST(GroundClampTest, RestingCameraIsPushedAlongTheNormalAtItsOwnPosition) {
    // A tilted normal shows which way the push goes: along it, not straight up.
    FlatField field;
    field.normal = Imath::V3d(0.6, 0.8, 0.0);
    const Imath::V3d position(2.0, -0.5, 0.0);  // dNew = 1.5
    const Imath::V3d result = clampAboveGround(field, position, position);
    EXPECT_GT(result.x, position.x);
    EXPECT_GT(result.y, position.y);
    EXPECT_NEAR((result.x - position.x) / (result.y - position.y), 0.75, 1e-12);
}

TEST(GroundClampTest, WalkIsBoundedAndFallsBackToWalkingStraightUp) {
    struct Case {
        const char* name;
        Imath::V3d normal;
    };
    const Case cases[] = {
        {"zero normal", Imath::V3d(0.0, 0.0, 0.0)},
        {"sideways normal", Imath::V3d(1.0, 0.0, 0.0)},
        {"downward normal", Imath::V3d(0.0, -1.0, 0.0)},
        {"tiny unnormalised normal", Imath::V3d(0.0, 1e-7, 0.0)},
    };
    for (const auto& c : cases) {
        FlatField field;
        field.ground = 20.0;
        field.normal = c.normal;
        const Imath::V3d newPosition(5.0, 10.0, 5.0);  // ten units deep
        const Imath::V3d result = clampAboveGround(field, Imath::V3d(5.0, 30.0, 5.0), newPosition);
        EXPECT_EQ(result.x, 5.0) << c.name;
        EXPECT_EQ(result.z, 5.0) << c.name;
        EXPECT_GE(result.y, 20.0) << c.name << ": out of the ground";
        EXPECT_LE(result.y, 21.0) << c.name << ": no further than the first step into the air";
        EXPECT_LT(field.samples, groundclamp::normalWalkLimit + 20) << c.name;
    }
}

TEST(GroundClampTest, FieldWithNoAirAboveLeavesTheCameraWhereItWas) {
    struct SolidField {
        double getDensity(double, double, double, double) const { return 1.0; }
        Imath::V3d getNormal(double, double, double, double) const { return Imath::V3d(0.0, 1.0, 0.0); }
    };
    const Imath::V3d oldPosition(1.0, 2.0, 3.0);
    EXPECT_EQ(clampAboveGround(SolidField{}, oldPosition, Imath::V3d(1.0, 1.0, 3.0)), oldPosition);
}

TEST(GroundClampTest, RealFieldPushesBuriedPointsOutOfTheGround) {
    const DensityFunction density;
    const Imath::V3d buried[] = {
        Imath::V3d(0.0, -30.0, 0.0), Imath::V3d(-10.0, 2.0, 70.0), Imath::V3d(500.0, 800.0, 500.0),
        Imath::V3d(300.0, -150.0, -420.0), Imath::V3d(-2500.0, -90.0, 1800.0)};
    for (const Imath::V3d& p : buried) {
        ASSERT_GT(density.getDensity(p.x, p.y, p.z, 1.0), 0.0) << "the fixture point must be in the ground";
        const Imath::V3d result = clampAboveGround(density, p + Imath::V3d(0.0, 0.5, 0.0), p);
        // The result lies between the buried point and the first point in the air, at the crossing
        // of the margin surface, so within about a unit of the true surface.
        EXPECT_LT(density.getDensity(result.x, result.y, result.z, 0.0), 1.5) << p.x << "," << p.y << "," << p.z;
        EXPECT_GT(result.y, p.y);
    }
}

}  // namespace
