#pragma once
// The scalar field that defines the landscape: positive in the ground, negative in the air, zero on
// the surface. Immutable after construction and shared without locks by every block build thread
// and by the main thread's ground clamp.
#include <Imath/ImathVec.h>
#include <libnoise/noise.h>

class DensityFunction {
public:
    DensityFunction();

    // Density at the world point (x, y, z), plus offset; a negative offset lowers the surface.
    double getDensity(double x, double y, double z, double offset) const;
    // Unit normal from the solid into the air by central differences with spacing step (world
    // units); a difference vector shorter than normalEpsilon is returned as it is.
    Imath::V3d getNormal(double x, double y, double z, double step) const;

    noise::module::Perlin detailNoise;
    noise::module::Perlin baseNoise;
};

// Field constants, world units unless stated.
namespace density {
constexpr double pi = 3.141592653589;  // the value the terrain's shape was designed with
constexpr double detailFrequency = 0.03;
constexpr double baseFrequency = 0.005;
constexpr int noiseOctaves = 2;
constexpr double detailInputScale = 1.3;
constexpr double detailWeight = 7.0;
constexpr double baseWeight = 70.0;
constexpr double mountainX = 500.0;
constexpr double mountainZ = 500.0;
constexpr double mountainRadius = 500.0;
constexpr double mountainHeight = 1000.0;
constexpr double plateauX = -10.0;
constexpr double plateauZ = 70.0;
constexpr double plateauFlatRadius = 30.0;   // full flattening inside this distance
constexpr double plateauOuterRadius = 40.0;  // no flattening from this distance on
constexpr double plateauHeight = 5.0;
constexpr double normalEpsilon = 0.00001;
}  // namespace density
