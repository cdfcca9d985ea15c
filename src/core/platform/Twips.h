#pragma once
// Sizes and positions of windows and pictures are kept in twips, as the project files store them:
// 15 twips are one pixel (96 dots per inch). This is the one conversion used everywhere.

#include <cmath>

namespace lumafex::platform {

inline constexpr double kTwipsPerPixel = 15.0;

inline int toPixels(double twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
inline double toTwips(double pixels) {
  return pixels * kTwipsPerPixel;
}

}  // namespace lumafex::platform
