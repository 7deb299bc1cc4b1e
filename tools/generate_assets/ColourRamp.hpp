#pragma once
// A piecewise-linear colour gradient: maps a value onto colours placed at increasing positions.
// Used by the asset generator (single-threaded) to turn noise values into terrain colours.
#include <SFML/Graphics/Color.hpp>

#include <vector>

class ColourRamp {
public:
    struct Stop {
        double position;
        sf::Color colour;
    };

    // Stops must be given in increasing position order.
    explicit ColourRamp(std::vector<Stop> stops);

    // Colour at value, interpolated between the two neighbouring stops; values outside the
    // stops take the colour of the nearest end. Black for a ramp without stops.
    sf::Color colourAt(double value) const;

    std::vector<Stop> stops;
};
