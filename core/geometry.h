#pragma once

// Window placement arithmetic. Both windows open centred on the whole primary
// screen by their outer (frame-inclusive) rectangle, never clamped onto it.

namespace tarnelo {

struct OuterRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const OuterRect &, const OuterRect &) = default;
};

// Truncates toward zero, so a window wider than the screen gets a negative edge.
constexpr int centredOrigin(int screenLength, int windowLength)
{
    return (screenLength - windowLength) / 2;
}

OuterRect centredOuterRect(int screenWidth, int screenHeight, int width, int height);

inline constexpr int maximumBrowserHeight = 32627;

constexpr int clampBrowserHeight(int height)
{
    return height < 0 ? 0 : (height > maximumBrowserHeight ? maximumBrowserHeight : height);
}

} // namespace tarnelo
