#include "terrain/mesh/MarchingCubes.hpp"

#include <gtest/gtest.h>

namespace {
struct CrossingCase {
    const char* name;
    double da, db;
    Imath::V3d expected;
};
}  // namespace

TEST(InterpolateCrossing, SnapsAndInterpolatesInOrder) {
    const Imath::V3d pa(1.0, 2.0, 3.0);
    const Imath::V3d pb(3.0, 6.0, -1.0);
    const double eps = 9.999999747378752e-05;  // single-precision 0.0001
    const CrossingCase cases[] = {
        {"halfway", 1.0, -1.0, Imath::V3d(2.0, 4.0, 1.0)},
        {"quarter", 1.0, -3.0, Imath::V3d(1.5, 3.0, 2.0)},
        {"reversed signs", -3.0, 1.0, Imath::V3d(2.5, 5.0, 0.0)},
        {"first end near zero", 0.5 * eps, -1.0, pa},
        {"both near zero takes the first", 0.5 * eps, -0.5 * eps, pa},
        {"second end near zero", 2.0, -0.5 * eps, pb},
        {"exact zero second", 2.0, 0.0, pb},
        {"just outside the tolerance interpolates", 2.0 * eps, -2.0 * eps, Imath::V3d(2.0, 4.0, 1.0)},
        {"equal densities", 0.3, 0.3 + 0.5 * eps, pa},
    };
    for (const CrossingCase& c : cases) {
        const Imath::V3d p = interpolateCrossing(pa, pb, c.da, c.db);
        EXPECT_NEAR(p.x, c.expected.x, 1e-12) << c.name;
        EXPECT_NEAR(p.y, c.expected.y, 1e-12) << c.name;
        EXPECT_NEAR(p.z, c.expected.z, 1e-12) << c.name;
    }
}

TEST(InterpolateCrossing, ToleranceIsTheWidenedSinglePrecisionValue) {
    const Imath::V3d pa(0.0, 0.0, 0.0);
    const Imath::V3d pb(1.0, 0.0, 0.0);
    // 0.0001 in double is above the widened float value, so it is not snapped.
    EXPECT_EQ(interpolateCrossing(pa, pb, 9.9999997e-05, -1.0), pa);
    const Imath::V3d p = interpolateCrossing(pa, pb, 0.0001, -1.0);
    EXPECT_NE(p, pa);
    EXPECT_NEAR(p.x, 0.0001 / 1.0001, 1e-15);
}
