#include "ColourRamp.hpp"

#include <cmath>
#include <utility>

ColourRamp::ColourRamp(std::vector<Stop> stops) : stops(std::move(stops)) {}

namespace {

sf::Uint8 lerpChannel(sf::Uint8 from, sf::Uint8 to, double t) {
    return static_cast<sf::Uint8>(std::lround(from + (to - from) * t));
}

}  // namespace

sf::Color ColourRamp::colourAt(double value) const {
    if (stops.empty()) return sf::Color::Black;
    if (value <= stops.front().position) return stops.front().colour;
    if (value >= stops.back().position) return stops.back().colour;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        const Stop& high = stops[i];
        if (value > high.position) continue;
        const Stop& low = stops[i - 1];
        double span = high.position - low.position;
        double t = span > 0.0 ? (value - low.position) / span : 1.0;
        return sf::Color(lerpChannel(low.colour.r, high.colour.r, t),
                         lerpChannel(low.colour.g, high.colour.g, t),
                         lerpChannel(low.colour.b, high.colour.b, t));
    }
    return stops.back().colour;
}
