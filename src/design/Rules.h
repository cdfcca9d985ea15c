#pragma once
// Rules the windows and the command-line tool share, written once.

#include <optional>

namespace lumafex::design {

// The channel counts a sign can have (列数).
inline constexpr int kMinChannels = 4;
inline constexpr int kMaxChannels = 300;
constexpr bool channelsInRange(long n) {
  return n >= kMinChannels && n <= kMaxChannels;
}

// The text size (points) at which a sequence of lines `width` characters wide fills its box:
// 560 ÷ width, at most 36. Nothing for a width that is not positive.
inline constexpr double kMaxLinePoints = 36;
std::optional<double> lineTextPoints(long width);

}  // namespace lumafex::design
