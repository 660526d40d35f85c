#pragma once

// Row colours of the launcher's gradient labels, in the integer arithmetic the
// labels have always used: each row is a stop plus a truncated fraction of the
// step to the next stop, so the last stop itself is never reached.

#include <span>

namespace tarnelo {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// Colour of pixel row y (0 at the top) of a label `height` rows high.
// Precondition: at least one stop.
Rgb gradientRow(std::span<const Rgb> stops, int height, int y);

} // namespace tarnelo
