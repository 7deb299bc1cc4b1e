#include "terrain/field/RingGeometry.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

int cellIndex(double p, double s) {
    const double q = p / s;
    // Quotients beyond the int range saturate and a quotient that is not a number gives cell 0, so
    // the conversion below is always defined.
    if (std::isnan(q)) return 0;
    constexpr double lowest = std::numeric_limits<int>::min() + 1.0;
    constexpr double highest = std::numeric_limits<int>::max();
    const int t = static_cast<int>(std::clamp(q, lowest, highest));
    return p < 0 ? t - 1 : t;
}

Cell cellOf(const Imath::V3d& p, double s) { return Cell{cellIndex(p.x, s), cellIndex(p.y, s), cellIndex(p.z, s)}; }

CellBox cellBox(const Cell& c, double s) {
    return CellBox{c.x * s, (c.x + 1) * s, c.y * s, (c.y + 1) * s, c.z * s, (c.z + 1) * s};
}

namespace {
int towards(int from, int to) { return to > from ? from + 1 : from - 1; }
}  // namespace

bool stepCentreToward(Cell& centre, const Cell& target) {
    if (centre.x != target.x) {
        centre.x = towards(centre.x, target.x);
    } else if (centre.y != target.y) {
        centre.y = towards(centre.y, target.y);
    } else if (centre.z != target.z) {
        centre.z = towards(centre.z, target.z);
    } else {
        return false;
    }
    return true;
}

bool insideWindow(const Cell& b, const Cell& c, int h) {
    return b.x >= c.x - h && b.x <= c.x + h && b.y >= c.y - h && b.y <= c.y + h && b.z >= c.z - h &&
           b.z <= c.z + h;
}

Cell reflectIntoWindow(const Cell& b, const Cell& c, int h) {
    auto reflect = [h](int coordinate, int centre) {
        return 2 * centre - std::clamp(coordinate, centre - h, centre + h);
    };
    return Cell{reflect(b.x, c.x), reflect(b.y, c.y), reflect(b.z, c.z)};
}
