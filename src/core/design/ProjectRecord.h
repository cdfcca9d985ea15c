#pragma once
// The project record: the project file "*.hs". Thirty-five value lines in a fixed order, thirty
// reserved lines, the marker "<花式>=" and then the programming board, one entry per line. GBK text
// with CR LF line ends; numbers are decimal text read back by value.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/Result.h"

namespace lumafex::design {

inline constexpr int kRecordValueLines = 35;
inline constexpr int kReservedLines = 30;
inline constexpr const char* kBoardMarker = "<花式>=";
// A project record is a few kilobytes; a larger file is refused rather than read.
inline constexpr std::uintmax_t kMaxRecordFileBytes = std::uintmax_t{1024} * 1024;
// Numbers of the record beyond this magnitude leave their setting unchanged (colours, switches,
// sizes and positions all lie far within it).
inline constexpr double kMaxRecordNumber = 4294967295.0;

// The project file as lines. A value line that could not be read (missing, or not valid GBK) is
// nullopt; applying the record leaves the matching setting unchanged then.
struct ProjectRecord {
  std::array<std::optional<std::string>, kRecordValueLines> values;
  // The lines between the value lines and the marker, kept as read so nothing in them is lost;
  // a new record has thirty empty ones.
  std::vector<std::string> reserved = std::vector<std::string>(kReservedLines);
  bool hasBoardMarker = true;
  std::vector<std::string> board;
};

// Colours are whole numbers as the platform stores them: red + green·256 + blue·65536.
using Colour = std::int64_t;
constexpr Colour rgb(int r, int g, int b) {
  return r + g * 256 + b * 65536;
}
constexpr int red(Colour c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int green(Colour c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blue(Colour c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

// Everything the record stores, with the values the design window has before any project is
// read. Text fields hold the text of their box exactly (the boxes check it themselves); switches
// are 0 or 1.
struct ProjectSettings {
  std::string title = "Velarn工作室";                                                 // 1 标题名称
  std::string columns = "80";                                                         // 2 列数
  Colour titleColour = rgb(0, 255, 255);                                              // 3 标题颜色样品
  std::array<Colour, 3> tubeColours{rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255)};  // 4-6 色彩样品
  double speed = 950;                                                                 // 7 速度调节
  int hollow = 0;                                                                     // 8 空心
  std::string colourCount = "2";                                                      // 9 色数
  std::string font = "宋体";                                                          // 10 字体
  int bold = 0;                                                                       // 11 粗体
  std::string rows = "1";                                                             // 12 行数
  std::string spacing = "0";                                                          // 13 字间隔
  int italic = 0;                                                                     // 14 斜体
  int logosOn = 0;                                                                    // 15 启用标志
  int imagesOn = 0;                                                                   // 16 启用图案
  int tubesOn = 1;                                                                    // 17 启用灯管
  int titleOff = 0;                                                                   // 18 禁用文字标题
  double horizontalWidth = 6000;          // 19 horizontal preview width
  double horizontalHeight = 2200;         // 20 horizontal preview height
  int horizontalLock = 0;                 // 21 锁定各物件 (horizontal)
  int horizontalTitleEffect = 0;          // 22 启用标题花式 (horizontal)
  int showHorizontal = 1;                 // 23 启用横显示
  int showVertical = 0;                   // 24 启用竖列显示
  int verticalTitleEffect = 0;            // 25 and 33 启用标题花式 (vertical)
  std::string fontSize = "48";            // 26 字体大小
  double horizontalLeft = 0;              // 27 horizontal preview left
  double verticalHeight = 7000;           // 28 vertical preview height
  double verticalWidth = 2000;            // 29 vertical preview width
  double mainWidth = 15360;               // 30 main window width
  double mainHeight = 11520;              // 31 main window height
  int verticalLock = 0;                   // 32 锁定各物件 (vertical)
  int manualEdit = 0;                     // 34 人工修改
  std::string baseChannels = "基本路数";  // 35 基本路数 caption
};

// Opening a project keeps at least one preview on: with the horizontal one off the vertical one is
// switched on; then, with the vertical one off, the horizontal one.
void keepOnePreview(ProjectSettings& settings);

// Reads a project file. Fails only when the file cannot be read at all; short files, unreadable
// lines and a missing marker give a record with those parts absent.
Result<ProjectRecord> readProjectRecord(const std::filesystem::path& path);

// Writes the record safely (beside, then renamed). Text GBK cannot hold is refused and the old
// file stays as it was.
Status writeProjectRecord(const std::filesystem::path& path, const ProjectRecord& record);

// Sets every setting whose line is present and valid; the others keep their values.
void applyRecord(const ProjectRecord& record, ProjectSettings& settings);

// The record for these settings and this board (reserved lines empty).
ProjectRecord recordOf(const ProjectSettings& settings, const std::vector<std::string>& board);

// A number as the record writes it: whole numbers without a fraction, others shortest exact.
std::string formatNumber(double value);

// The value of a numeric line: surrounding blanks ignored, the rest must be a number.
std::optional<double> parseNumber(std::string_view text);

}  // namespace lumafex::design
