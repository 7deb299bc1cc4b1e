#pragma once
// Samples a libnoise module so that a square tile of it repeats seamlessly in both directions.
// Used by the asset generator (single-threaded) to paint the terrain images.
#include <libnoise/noise.h>

// Width of the band along the right and bottom edges (fraction of the period) inside which
// a sample is blended with the one a whole period earlier; the rest of the tile is untouched.
constexpr double tileBlendBand = 0.25;

// Value of source at (x, y, z) made periodic in x and y with the given period (noise units).
// Near the far edges the sample is cross-faded with the sample one period back, and the mix is
// rescaled so that the contrast of zero-mean noise does not dip in the blend band. The result
// at x = period equals the one at x = 0 (likewise for y), so tiles join without a seam.
double sampleTileable(const noise::module::Module& source, double x, double y, double period,
                      double z = 0.0);
