#pragma once
// Window lengths are laid out in pixels at 96 dpi and drawn at the screen's resolution.
inline constexpr int kBaseDpi = 96;

// The length at `dpi`, rounded to the nearest pixel.
constexpr int ScaledPixels(int pixels, int dpi) {
    return (pixels * dpi + (pixels < 0 ? -kBaseDpi : kBaseDpi) / 2) / kBaseDpi;
}
