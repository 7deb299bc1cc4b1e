#include "world/Camera.hpp"

#include <gtest/gtest.h>

namespace {
constexpr double near = 1e-9;

void expectNear(const Imath::V3d& actual, const Imath::V3d& expected, double tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

Camera startPose() {
    Camera camera;
    camera.speed = 10.0;
    camera.position = Imath::V3d(0.0, 10.0, 10.0);
    camera.yaw = -90.0;
    camera.pitch = -45.0;
    return camera;
}

TEST(Camera, StartsLookingAlongPlusXWithItsPerspective) {
    const Camera camera;
    expectNear(camera.lookTarget, Imath::V3d(1.0, 0.0, 0.0), near);
    EXPECT_EQ(camera.sensitivity, 0.15000000596046448);
    EXPECT_EQ(camera.aspect, 1.3333333333333333);
    EXPECT_EQ(camera.fieldOfView, 45.0);
    EXPECT_EQ(camera.nearPlane, 0.5);
    EXPECT_EQ(camera.farPlane, 10000.0);
}

struct MoveCase {
    const char* name;
    double yaw, pitch;
    bool forward, backward, left, right;
    Imath::V3d displacement;  // after one second at speed 10
};

class CameraMoves : public ::testing::TestWithParam<MoveCase> {};

TEST_P(CameraMoves, FliesAlongTheViewAndStrafesLevel) {
    const MoveCase& c = GetParam();
    Camera camera = startPose();
    camera.yaw = c.yaw;
    camera.pitch = c.pitch;
    camera.moveForward = c.forward;
    camera.moveBackward = c.backward;
    camera.strafeLeft = c.left;
    camera.strafeRight = c.right;
    const Imath::V3d start = camera.position;
    camera.move(1.0);
    expectNear(camera.position - start, c.displacement, 1e-6);
    EXPECT_NEAR(camera.yaw, c.yaw, 1e-12);
    EXPECT_EQ(camera.pitch, c.pitch);
    expectNear(camera.lookTarget, camera.position + camera.viewDirection(), near);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CameraMoves,
    ::testing::Values(
        MoveCase{"ForwardDownTheStartView", -90.0, -45.0, true, false, false, false,
                 Imath::V3d(0.0, -7.0710678, -7.0710678)},
        MoveCase{"BackwardReversesIt", -90.0, -45.0, false, true, false, false,
                 Imath::V3d(0.0, 7.0710678, 7.0710678)},
        MoveCase{"ForwardWinsOverBackward", 0.0, 0.0, true, true, false, false, Imath::V3d(10.0, 0.0, 0.0)},
        MoveCase{"LeftAtYawZeroGoesTowardsMinusZ", 0.0, 30.0, false, false, true, false,
                 Imath::V3d(0.0, 0.0, -10.0)},
        MoveCase{"RightAtYawZeroGoesTowardsPlusZ", 0.0, -30.0, false, false, false, true,
                 Imath::V3d(0.0, 0.0, 10.0)},
        MoveCase{"LeftWinsOverRight", 0.0, 0.0, false, false, true, true, Imath::V3d(0.0, 0.0, -10.0)},
        MoveCase{"ForwardAndStrafeTogether", 90.0, 0.0, true, false, false, true, Imath::V3d(-10.0, 0.0, 10.0)}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return std::string(info.param.name); });

TEST(Camera, YawWrapsFromTheOppositeLimitPlusTheWholeStep) {
    Camera camera;
    camera.yaw = 179.0;
    camera.addYaw(20.0);
    EXPECT_EQ(camera.yaw, -180.0 + 20.0 * 0.15000000596046448);
    EXPECT_TRUE(camera.viewChanged);

    camera.yaw = -179.0;
    camera.addYaw(-20.0);
    EXPECT_EQ(camera.yaw, 180.0 - 20.0 * 0.15000000596046448);

    camera.yaw = 10.0;
    camera.addYaw(10.0);
    EXPECT_EQ(camera.yaw, 10.0 + 10.0 * 0.15000000596046448);
}

TEST(Camera, PitchStepPastTheLimitIsRefusedWholeAndTheLimitIsInclusive) {
    Camera camera;
    camera.pitch = 89.7;
    camera.addPitch(1.0);
    EXPECT_EQ(camera.pitch, 89.7);
    EXPECT_TRUE(camera.viewChanged);

    camera.pitch = 0.0;
    camera.sensitivity = 89.8;
    camera.addPitch(1.0);
    EXPECT_EQ(camera.pitch, 89.8);
    camera.addPitch(-2.0);
    EXPECT_EQ(camera.pitch, -89.8);
}

TEST(Camera, RefusedTurnStillRefreshesTheTargetOnTheNextMove) {
    Camera camera = startPose();
    camera.pitch = 89.7;
    camera.addPitch(1.0);
    camera.move(0.016);
    expectNear(camera.lookTarget, camera.position + camera.viewDirection(), near);
    EXPECT_FALSE(camera.viewChanged);
}

TEST(Camera, IdleMoveLeavesTheTargetAloneEvenAfterAnOutsideReposition) {
    Camera camera = startPose();  // set-up does not refresh the target: it still looks toward (1, 0, 0)
    camera.position = Imath::V3d(5.0, 50.0, 5.0);
    camera.move(0.5);
    expectNear(camera.lookTarget, Imath::V3d(1.0, 0.0, 0.0), near);
    EXPECT_EQ(camera.position, Imath::V3d(5.0, 50.0, 5.0));
}
}  // namespace
