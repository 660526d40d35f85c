#include "core/gradient.h"

namespace tarnelo {

Rgb gradientRow(std::span<const Rgb> stops, int height, int y)
{
    const int segments = int(stops.size()) - 1;
    if (segments < 1)
        return stops.front();
    const int segment = height / segments;
    // A label too low for one row per segment has no gradient to speak of; the
    // division below would be by zero.
    if (segment <= 0)
        return stops.back();
    const int i = y / segment;
    if (i > segments - 1)
        return stops.back();
    const double t = double(y % segment) / double(segment);
    const Rgb &from = stops[i];
    const Rgb &to = stops[i + 1];
    auto mix = [t](int a, int b) { return a + int(t * (b - a)); };
    return {mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue)};
}

} // namespace tarnelo
