#include "terrain/field/ViewFrustum.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The camera's projection as gluPerspective builds it (45 degrees, 4:3, near 0.5, far 10000),
// column-major.
void perspective(double m[16]) {
    const double fovY = 45.0, aspect = 4.0 / 3.0, nearPlane = 0.5, farPlane = 10000.0;
    const double f = 1.0 / std::tan(fovY * 3.141592653589793 / 360.0);
    for (int i = 0; i < 16; ++i) m[i] = 0.0;
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (farPlane + nearPlane) / (nearPlane - farPlane);
    m[11] = -1.0;
    m[14] = 2.0 * farPlane * nearPlane / (nearPlane - farPlane);
}

void identity(double m[16]) {
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

MeshBox box(double minX, double maxX, double minY, double maxY, double minZ, double maxZ) {
    return MeshBox{minX, maxX, minY, maxY, minZ, maxZ, 1};
}

struct BoxCase {
    const char* name;
    MeshBox box;
    bool outside;
};

// The eye at the origin looking down -z; at distance 10 the view is 8.3 wide and 4.1 high each way.
TEST(ViewFrustumTest, BoxesAgainstTheSixPlanesFromTheEye) {
    double projection[16], modelView[16];
    perspective(projection);
    identity(modelView);
    const ViewFrustum view(projection, modelView);
    const BoxCase cases[] = {
        {"inside", box(-1, 1, -1, 1, -20, -10), false},
        {"beyond the left plane", box(-100, -90, -1, 1, -20, -10), true},
        {"beyond the right plane", box(90, 100, -1, 1, -20, -10), true},
        {"below the bottom plane", box(-1, 1, -100, -90, -20, -10), true},
        {"above the top plane", box(-1, 1, 90, 100, -20, -10), true},
        {"between the eye and the near plane", box(-0.1, 0.1, -0.1, 0.1, -0.4, -0.1), true},
        {"beyond the far plane", box(-1, 1, -1, 1, -20000, -15000), true},
        {"straddling the left plane", box(-100, 0, -1, 1, -20, -10), false},
        {"straddling the far plane", box(-1, 1, -1, 1, -12000, -9000), false},
        {"touching the near plane", box(-0.1, 0.1, -0.1, 0.1, -0.5, -0.4), false},
        {"behind the eye", box(-1, 1, -1, 1, 5, 50), true},
        {"behind the eye and wide", box(-500, 500, -500, 500, 1, 50), true},
        {"enclosing the eye", box(-5, 5, -5, 5, -5, 5), false},
        {"outside every side plane but around the view", box(-1000, 1000, -1000, 1000, -30, -20), false},
    };
    for (const BoxCase& c : cases) EXPECT_EQ(view.outside(c.box), c.outside) << c.name;
}

// The model-view goes first: a view from z = +50 looking down -z, then one turned to look along +x.
TEST(ViewFrustumTest, ModelViewMovesAndTurnsTheView) {
    double projection[16], modelView[16];
    perspective(projection);

    identity(modelView);
    modelView[14] = -50.0;  // world to eye: z - 50
    const ViewFrustum moved(projection, modelView);
    EXPECT_FALSE(moved.outside(box(-1, 1, -1, 1, -1, 1))) << "the origin, 50 ahead";
    EXPECT_TRUE(moved.outside(box(-1, 1, -1, 1, 60, 70))) << "behind the moved eye";

    // Eye coordinates (x, y, z) = (world z, world y, -world x): world +x is straight ahead.
    identity(modelView);
    modelView[0] = 0.0;
    modelView[2] = -1.0;  // world x feeds eye z
    modelView[8] = 1.0;   // world z feeds eye x
    modelView[10] = 0.0;
    const ViewFrustum turned(projection, modelView);
    EXPECT_FALSE(turned.outside(box(10, 20, -1, 1, -1, 1))) << "ahead along +x";
    EXPECT_TRUE(turned.outside(box(-20, -10, -1, 1, -1, 1))) << "behind, along -x";
    EXPECT_TRUE(turned.outside(box(-1, 1, -1, 1, -20, -10))) << "beside, where the unturned view looks";
}

}  // namespace
