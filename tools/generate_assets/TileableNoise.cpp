#include "TileableNoise.hpp"

#include <cmath>

namespace {

// Smooth 0-to-1 step with zero slope at both ends, so the blend does not crease the image.
double smoothStep(double t) {
    if (t <= 0.0) return 0.0;
    if (t >= 1.0) return 1.0;
    return t * t * (3.0 - 2.0 * t);
}

// Weight of the wrapped sample at coordinate c: 0 outside the far band, 1 at the far edge.
double wrapWeight(double c, double period) {
    double band = tileBlendBand * period;
    return smoothStep((c - (period - band)) / band);
}

// Cross-fades two uncorrelated zero-mean values and keeps their spread constant.
double mix(double near, double wrapped, double weight) {
    if (weight <= 0.0) return near;
    if (weight >= 1.0) return wrapped;
    double a = 1.0 - weight;
    double b = weight;
    return (a * near + b * wrapped) / std::sqrt(a * a + b * b);
}

}  // namespace

double sampleTileable(const noise::module::Module& source, double x, double y, double period,
                      double z) {
    double wx = wrapWeight(x, period);
    double wy = wrapWeight(y, period);
    auto row = [&](double sy) {
        double near = source.GetValue(x, sy, z);
        if (wx <= 0.0) return near;
        return mix(near, source.GetValue(x - period, sy, z), wx);
    };
    double top = row(y);
    if (wy <= 0.0) return top;
    return mix(top, row(y - period), wy);
}
