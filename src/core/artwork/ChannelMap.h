#pragma once
// The sign's artwork and the channel map that ties its tubes to the chip's output channels.
//
// Channel N (from 1) is bit (N - 1) mod 8 of byte (N - 1) div 8 of a frame as the chip drives it:
// the tube channels first, then the image channels, then one channel per title character.
//
// The map file "实物通道.txt" (GBK, CR LF, one entry a line) adds to or overrides what the artwork
// itself says (an SVG element whose id or inkscape:label is "路N" or "chN"):
//
//   # a comment
//   元素 path12 路5                 the SVG element with id path12 lights with channel 5
//   元素 g7 无                      element g7 lights with no channel (overrides its label)
//   线 路7 宽12 100,200 300,200     a tube drawn on a photo: a line 12 pixels wide through the points
//   面 路8 10,10 50,10 50,50        a tube drawn on a photo: the area inside the points
//
// Coordinates are pixels of the photo. A line that cannot be read is reported with its number and
// skipped; the others are kept.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Result.h"

namespace lumafex::artwork {

inline constexpr const char* kArtworkSvgFile = "实物图.svg";
inline constexpr const char* kArtworkPngFile = "实物图.png";
inline constexpr const char* kArtworkJpgFile = "实物图.jpg";
inline constexpr const char* kChannelMapFile = "实物通道.txt";
// The highest channel a name may give: far beyond any sign (300 tubes, images and a title).
inline constexpr int kMaxChannel = 4096;

// The channel a name gives: "路N" or "chN" (any case), N from 1 to kMaxChannel.
std::optional<int> channelOfName(std::string_view name);
// "路N".
std::string channelName(int channel);

// Where the chip drives channel N: byte (N - 1) div 8 of the frame, bit (N - 1) mod 8.
struct ChipBit {
  int byte = 0;
  int bit = 0;
};
ChipBit chipBitOf(int channel);

struct Point {
  double x = 0;
  double y = 0;
  bool operator==(const Point&) const = default;
};

// A tube drawn over a photo.
struct Shape {
  enum class Kind { Line, Area };
  Kind kind = Kind::Line;
  int channel = 1;
  double width = 8;  // a line's width (pixels)
  std::vector<Point> points;
  bool operator==(const Shape&) const = default;
};

// An SVG element given a channel by the map; no channel: the element lights with none.
struct ElementEntry {
  std::string id;
  std::optional<int> channel;
  bool operator==(const ElementEntry&) const = default;
};

struct ChannelMap {
  std::vector<ElementEntry> elements;  // a later entry for the same id wins
  std::vector<Shape> shapes;
  bool empty() const { return elements.empty() && shapes.empty(); }
  // The entry for an element id, the last one given.
  const ElementEntry* entryFor(std::string_view id) const;
  // Gives an element a channel (or none), replacing its entry.
  void assign(std::string id, std::optional<int> channel);
  // Takes the element's entry out (its own label counts again).
  void unassign(std::string_view id);
  bool operator==(const ChannelMap&) const = default;
};

struct MapProblem {
  int line = 0;  // 1-based
  std::string message;
};

struct MapReading {
  ChannelMap map;
  std::vector<MapProblem> problems;
};

// The map from its text (UTF-8, any line ends).
MapReading parseChannelMap(std::string_view text);
// The lines of the map file, with the header comment.
std::vector<std::string> channelMapLines(const ChannelMap& map);

// The map file of a project directory: an empty map when there is none; a file that cannot be read
// at all (too large, not a file) is refused with the message.
Result<MapReading> readChannelMap(const std::filesystem::path& file);
// Writes the map file (GBK, CR LF, beside and renamed); element ids GBK cannot hold are refused.
Status writeChannelMap(const std::filesystem::path& file, const ChannelMap& map);

}  // namespace lumafex::artwork
