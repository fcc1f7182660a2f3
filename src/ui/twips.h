#pragma once

#include <cmath>

namespace telvo::platform {

// Positions and mouse coordinates reach the window's handlers in twips.
inline constexpr int kTwipsPerPixel = 15;

inline int PixelsFromTwips(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

} // namespace telvo::platform
