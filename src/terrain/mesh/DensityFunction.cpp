#include "terrain/mesh/DensityFunction.hpp"

#include <cmath>

DensityFunction::DensityFunction() {
    detailNoise.SetFrequency(density::detailFrequency);
    detailNoise.SetOctaveCount(density::noiseOctaves);
    baseNoise.SetFrequency(density::baseFrequency);
    baseNoise.SetOctaveCount(density::noiseOctaves);
}

double DensityFunction::getDensity(double x, double y, double z, double offset) const {
    using namespace density;
    const double detail =
        detailNoise.GetValue(detailInputScale * x, detailInputScale * y, detailInputScale * z);
    const double base = baseNoise.GetValue(x, y, z);

    // One large smooth mountain: 1000 high at its centre, falling to 0 at its rim.
    double mountain = 0.0;
    const double r1 = std::sqrt((mountainZ - z) * (mountainZ - z) + (mountainX - x) * (mountainX - x));
    if (r1 < mountainRadius) {
        mountain = (std::cos(r1 / mountainRadius * 180.0 * pi / 180.0) + 1.0) * mountainHeight * 0.5;
    }

    // A small flattened area: the blend weight is 1 inside the flat radius and falls linearly to 0
    // at the outer radius; it fades the large noise out and halves the detail.
    double blend = 0.0;
    const double r2 = std::sqrt((plateauZ - z) * (plateauZ - z) + (plateauX - x) * (plateauX - x));
    if (r2 < plateauOuterRadius) {
        blend = 1.0 - (r2 - plateauFlatRadius) / (plateauOuterRadius - plateauFlatRadius);
        if (blend > 1.0) blend = 1.0;
    }

    return (1.0 - 0.5 * blend) * detailWeight * detail + (1.0 - blend) * baseWeight * base +
           plateauHeight * blend + mountain - y + offset;
}

Imath::V3d DensityFunction::getNormal(double x, double y, double z, double step) const {
    const double xMinus = getDensity(x - step, y, z, 0.0);
    const double xPlus = getDensity(x + step, y, z, 0.0);
    const double yMinus = getDensity(x, y - step, z, 0.0);
    const double yPlus = getDensity(x, y + step, z, 0.0);
    const double zMinus = getDensity(x, y, z - step, 0.0);
    const double zPlus = getDensity(x, y, z + step, 0.0);
    // Minus the gradient (times 2·step): from the solid towards the air.
    Imath::V3d normal(xMinus - xPlus, yMinus - yPlus, zMinus - zPlus);
    const double length = std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
    if (length < density::normalEpsilon) return normal;
    return Imath::V3d(normal.x / length, normal.y / length, normal.z / length);
}
