#pragma once
// Rules the windows and the command-line tool share, written once.

#include <optional>
#include <string_view>

namespace lumafex::design {

// The channel counts a sign can have (列数).
inline constexpr int kMinChannels = 4;
inline constexpr int kMaxChannels = 300;
constexpr bool channelsInRange(long n) {
  return n >= kMinChannels && n <= kMaxChannels;
}

// The rows of the preview layout (行数).
inline constexpr int kMinRows = 1;
inline constexpr int kMaxRows = 10;
constexpr bool rowsInRange(long n) {
  return n >= kMinRows && n <= kMaxRows;
}

// The colour count a 色数 text stands for: not a number reads as 1, above 3 as 3; a value that is
// none of 1, 2 and 3 gives 0, a colour count without a catalogue.
int colourCountOf(std::string_view text);

// Milliseconds per step for a speed slider value: 1000 − value, at least 1.
int stepInterval(double speed);

struct ProjectSettings;
// The numbers a project's boxes hold, read as the windows read them (leading number).
int columnsOf(const ProjectSettings& s);
int rowsOf(const ProjectSettings& s);
// The colour count the project stands for: 1, 2 or 3, or 0 (no catalogue).
int colourCountOf(const ProjectSettings& s);
// Milliseconds per step at the project's speed.
int stepIntervalOf(const ProjectSettings& s);

// The text size (points) at which a sequence of lines `width` characters wide fills its box:
// 560 ÷ width, at most 36. Nothing for a width that is not positive.
inline constexpr double kMaxLinePoints = 36;
std::optional<double> lineTextPoints(long width);

}  // namespace lumafex::design
