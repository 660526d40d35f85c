#pragma once

// The browser box's text size, 0 (smallest) to 4 (largest), with 2 as the
// page's own size. Readers expect the steps to be felt but not to break the
// layout of a page, so the scale runs from three quarters to one and a half.

namespace tarnelo {

inline constexpr int mediumTextSize = 2;

constexpr int clampTextSize(int level)
{
    return level < 0 ? 0 : (level > 4 ? 4 : level);
}

constexpr double zoomForTextSize(int level)
{
    constexpr double factors[] = {0.75, 0.875, 1.0, 1.25, 1.5};
    return factors[clampTextSize(level)];
}

} // namespace tarnelo
