#include "core/artwork/ChannelMap.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "core/platform/TextFile.h"

namespace lumafex::artwork {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRoad = "路";
constexpr std::string_view kWide = "宽";
constexpr std::string_view kFullWidthSpace = "\u3000";
constexpr std::string_view kElement = "元素";
constexpr std::string_view kLine = "线";
constexpr std::string_view kArea = "面";
constexpr std::string_view kNone = "无";
// A map file is a few lines a tube; anything near this is no map file.
constexpr std::uintmax_t kMaxMapBytes = 16u * 1024 * 1024;
// Coordinates and widths beyond these are no drawing on a photo.
constexpr double kMaxCoordinate = 1e6;
constexpr double kMaxWidth = 1e4;

std::optional<int> wholeNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 9) return std::nullopt;
  int value = 0;
  const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) return std::nullopt;
  return value;
}

std::optional<double> realNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The words of a line, split at blanks (ASCII and the full-width space).
std::vector<std::string_view> wordsOf(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  const auto blankAt = [&](std::size_t at) -> std::size_t {
    if (line[at] == ' ' || line[at] == '\t' || line[at] == '\r' || line[at] == '\n') return 1;
    if (line.substr(at, kFullWidthSpace.size()) == kFullWidthSpace) return kFullWidthSpace.size();
    return 0;
  };
  while (i < line.size()) {
    if (const std::size_t b = blankAt(i)) {
      i += b;
      continue;
    }
    const std::size_t start = i;
    while (i < line.size() && blankAt(i) == 0) ++i;
    words.push_back(line.substr(start, i - start));
  }
  return words;
}

std::string numberText(double v) {
  // Whole pixels as whole numbers, anything else with what a drawing needs.
  if (v == std::round(v) && std::fabs(v) < 1e9) return std::to_string(static_cast<long long>(v));
  char buffer[32];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, r.ptr);
}

std::optional<Point> pointOf(std::string_view word) {
  const auto comma = word.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto x = realNumber(word.substr(0, comma));
  const auto y = realNumber(word.substr(comma + 1));
  if (!x || !y || std::fabs(*x) > kMaxCoordinate || std::fabs(*y) > kMaxCoordinate) return std::nullopt;
  return Point{*x, *y};
}

// One line of the file: an entry added to `map`, or the message why it is none.
std::optional<std::string> parseLine(std::string_view line, ChannelMap& map) {
  const auto words = wordsOf(line);
  if (words.empty() || words.front().front() == '#' || words.front().front() == ';') return std::nullopt;
  const std::string_view kind = words.front();
  if (kind == kElement) {
    if (words.size() != 3) return "应为“元素 标识 路N”";
    if (words[2] == kNone) {
      map.elements.push_back({std::string(words[1]), std::nullopt});
      return std::nullopt;
    }
    const auto channel = channelOfName(words[2]);
    if (!channel)
      return "“" + std::string(words[2]) + "”不是路号（路1到路" + std::to_string(kMaxChannel) + "）";
    map.elements.push_back({std::string(words[1]), *channel});
    return std::nullopt;
  }
  if (kind != kLine && kind != kArea) return "不认识的项“" + std::string(kind) + "”";
  Shape shape;
  shape.kind = kind == kLine ? Shape::Kind::Line : Shape::Kind::Area;
  if (words.size() < 2) return "缺少路号";
  const auto channel = channelOfName(words[1]);
  if (!channel)
    return "“" + std::string(words[1]) + "”不是路号（路1到路" + std::to_string(kMaxChannel) + "）";
  shape.channel = *channel;
  std::size_t next = 2;
  if (shape.kind == Shape::Kind::Line) {
    if (words.size() < 3 || !startsWith(words[2], kWide)) return "线缺少宽度（宽W）";
    const auto width = realNumber(words[2].substr(kWide.size()));
    if (!width || *width <= 0 || *width > kMaxWidth) return "宽度“" + std::string(words[2]) + "”不对";
    shape.width = *width;
    next = 3;
  }
  for (std::size_t i = next; i < words.size(); ++i) {
    const auto point = pointOf(words[i]);
    if (!point) return "“" + std::string(words[i]) + "”不是坐标（x,y）";
    shape.points.push_back(*point);
  }
  const std::size_t least = shape.kind == Shape::Kind::Line ? 2 : 3;
  if (shape.points.size() < least)
    return (shape.kind == Shape::Kind::Line ? "线至少要2个点" : "面至少要3个点");
  map.shapes.push_back(std::move(shape));
  return std::nullopt;
}

}  // namespace

std::optional<int> channelOfName(std::string_view name) {
  std::string_view digits;
  if (startsWith(name, kRoad)) {
    digits = name.substr(kRoad.size());
  } else if (name.size() > 2 && (name[0] == 'c' || name[0] == 'C') && (name[1] == 'h' || name[1] == 'H')) {
    digits = name.substr(2);
  } else {
    return std::nullopt;
  }
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  const auto n = wholeNumber(digits);
  if (!n || *n < 1 || *n > kMaxChannel) return std::nullopt;
  return n;
}

std::string channelName(int channel) {
  return std::string(kRoad) + std::to_string(channel);
}

ChipBit chipBitOf(int channel) {
  return {(channel - 1) / 8, (channel - 1) % 8};
}

const ElementEntry* ChannelMap::entryFor(std::string_view id) const {
  for (auto it = elements.rbegin(); it != elements.rend(); ++it) {
    if (it->id == id) return &*it;
  }
  return nullptr;
}

void ChannelMap::assign(std::string id, std::optional<int> channel) {
  // `id` is a copy: it may have come from an entry that unassign removes.
  unassign(id);
  elements.push_back({std::move(id), channel});
}

void ChannelMap::unassign(std::string_view id) {
  std::erase_if(elements, [&](const ElementEntry& e) { return e.id == id; });
}

MapReading parseChannelMap(std::string_view text) {
  MapReading reading;
  int number = 0;
  platform::forEachLine(text, [&](std::string_view line) {
    ++number;
    if (auto problem = parseLine(line, reading.map))
      reading.problems.push_back({number, std::move(*problem)});
  });
  return reading;
}

std::vector<std::string> channelMapLines(const ChannelMap& map) {
  std::vector<std::string> lines = {
      "# 实物通道：实物图上的灯管接在哪一路（第N路是一帧第(N-1)/8字节的第(N-1)%8位）。",
      "# 元素 标识 路N：SVG元素（或组）接第N路；“元素 标识 无”：不接任何一路。",
      "# 线 路N 宽W x,y x,y …：照片上宽W像素的灯管；面 路N x,y x,y x,y …：照片上的一块灯管。",
  };
  for (const ElementEntry& e : map.elements) {
    lines.push_back(std::string(kElement) + " " + e.id + " " +
                    (e.channel ? channelName(*e.channel) : std::string(kNone)));
  }
  for (const Shape& s : map.shapes) {
    std::string line =
        std::string(s.kind == Shape::Kind::Line ? kLine : kArea) + " " + channelName(s.channel);
    if (s.kind == Shape::Kind::Line) line += " " + std::string(kWide) + numberText(s.width);
    for (const Point& p : s.points) line += " " + numberText(p.x) + "," + numberText(p.y);
    lines.push_back(std::move(line));
  }
  return lines;
}

Result<MapReading> readChannelMap(const fs::path& file) {
  std::error_code ec;
  if (!fs::exists(file, ec)) return Result<MapReading>::ok(MapReading{});
  if (!fs::is_regular_file(file, ec)) {
    return Result<MapReading>::fail("“" + platform::pathToUtf8(file) + "”不是文件。");
  }
  auto lines = platform::readGbkLines(file, kMaxMapBytes);
  if (!lines) return Result<MapReading>::fail(lines.error());
  MapReading reading;
  int number = 0;
  for (const auto& line : *lines) {
    ++number;
    if (!line) {
      reading.problems.push_back({number, "不是GBK文字"});
      continue;
    }
    if (auto problem = parseLine(*line, reading.map))
      reading.problems.push_back({number, std::move(*problem)});
  }
  return Result<MapReading>::ok(std::move(reading));
}

Status writeChannelMap(const fs::path& file, const ChannelMap& map) {
  for (const ElementEntry& e : map.elements) {
    if (e.id.empty() || !wordsOf(e.id).size() || wordsOf(e.id).size() != 1 || e.id.front() == '#' ||
        e.id.front() == ';') {
      return Status::fail("元素标识“" + e.id + "”不能写进通道文件。");
    }
  }
  return platform::writeGbkLines(file, channelMapLines(map));
}

}  // namespace lumafex::artwork
