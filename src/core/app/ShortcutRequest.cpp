#include "core/app/ShortcutRequest.h"

#include <optional>
#include <string_view>
#include <utility>

#include "core/platform/TextFile.h"

namespace lumafex::app {

namespace {

constexpr std::string_view kTooltipBegin = "图标提示内容：";
constexpr std::string_view kTooltipEnd = "图标提示结束";
constexpr std::string_view kGroupNameKey = "程序组名称：";
constexpr std::string_view kProgramGroupKey = "程序组：";
constexpr std::string_view kDesktopKey = "桌面：";
constexpr std::string_view kOpenQuote = "“";
constexpr std::string_view kCloseQuote = "”";
constexpr std::string_view kOpenBrace = "｛";
constexpr std::string_view kCloseBrace = "｝";

std::string_view trimBlanks(std::string_view s) {
  constexpr std::string_view blanks = " \t\r\n";
  const auto first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(blanks);
  return s.substr(first, last - first + 1);
}

bool consume(std::string_view& s, std::string_view prefix) {
  if (!s.starts_with(prefix)) return false;
  s.remove_prefix(prefix.size());
  return true;
}

// "EXE" in any letter case, then an ASCII or a full-width colon.
bool consumeExe(std::string_view& s) {
  if (s.size() < 3) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    if ((s[i] | 0x20) != "exe"[i]) return false;
  }
  std::string_view rest = s.substr(3);
  if (!consume(rest, ":") && !consume(rest, "：")) return false;
  s = rest;
  return true;
}

// Text between an opening and a closing mark at the start of s; s moves past the closing mark.
std::optional<std::string> enclosed(std::string_view& s, std::string_view open, std::string_view close) {
  s = trimBlanks(s);
  if (!consume(s, open)) return std::nullopt;
  const auto end = s.find(close);
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view inside = trimBlanks(s.substr(0, end));
  s.remove_prefix(end + close.size());
  if (inside.empty()) return std::nullopt;
  return std::string(inside);
}

// The part after "程序组：" or "桌面：": “caption”EXE:｛target｝ and nothing else.
std::optional<ShortcutRequest::Item> parseItem(ShortcutRequest::Item::Where where, std::string_view rest) {
  auto caption = enclosed(rest, kOpenQuote, kCloseQuote);
  if (!caption) return std::nullopt;
  rest = trimBlanks(rest);
  if (!consumeExe(rest)) return std::nullopt;
  auto target = enclosed(rest, kOpenBrace, kCloseBrace);
  if (!target) return std::nullopt;
  if (!trimBlanks(rest).empty()) return std::nullopt;
  return ShortcutRequest::Item{where, std::move(*caption), std::move(*target)};
}

}  // namespace

std::vector<std::string> shortcutRequestLines(int major, int minor) {
  return {
      "图标提示内容：软件名称：Velarn霓虹灯\r出品：  Velarn工作室",
      "图标提示结束",
      "程序组名称：《Velarn霓虹灯》V" + std::to_string(major) + "." + std::to_string(minor),
      "程序组：“-=Velarn霓虹灯=-”EXE:｛Velarn霓虹灯｝",
      "程序组：“卸载Velarn霓虹灯”EXE:｛卸载Velarn霓虹灯｝",
      "桌面：“Velarn霓虹灯”EXE:｛Velarn霓虹灯｝",
  };
}

Status writeShortcutRequest(const std::filesystem::path& appDir, int major, int minor) {
  return platform::writeGbkLines(appDir / kShortcutRequestFile, shortcutRequestLines(major, minor));
}

Result<ShortcutRequest> parseShortcutRequest(const std::vector<std::string>& lines) {
  ShortcutRequest request;
  std::vector<std::string> tooltipLines;
  bool inTooltip = false;
  for (const std::string& raw : lines) {
    const std::string_view line = trimBlanks(raw);
    if (inTooltip) {
      if (line == kTooltipEnd) {
        inTooltip = false;
        request.tooltip.clear();
        for (std::size_t i = 0; i < tooltipLines.size(); ++i) {
          if (i > 0) request.tooltip += '\r';
          request.tooltip += tooltipLines[i];
        }
      } else {
        tooltipLines.push_back(raw);
      }
      continue;
    }
    std::string_view rest = line;
    if (consume(rest, kTooltipBegin)) {
      inTooltip = true;
      tooltipLines.clear();
      // The first tool-tip line follows the marker on the same line (blanks inside it are kept).
      std::string_view first = std::string_view(raw).substr(raw.find(kTooltipBegin) + kTooltipBegin.size());
      while (!first.empty() && (first.back() == '\r' || first.back() == '\n')) first.remove_suffix(1);
      if (!trimBlanks(first).empty()) tooltipLines.emplace_back(first);
    } else if (consume(rest, kGroupNameKey)) {
      request.groupName = std::string(trimBlanks(rest));
    } else if (consume(rest, kProgramGroupKey)) {
      if (auto item = parseItem(ShortcutRequest::Item::ProgramGroup, rest)) request.items.push_back(*item);
    } else if (consume(rest, kDesktopKey)) {
      if (auto item = parseItem(ShortcutRequest::Item::Desktop, rest)) request.items.push_back(*item);
    }
  }
  if (inTooltip) return Result<ShortcutRequest>::fail("“图标提示内容：”之后缺少“图标提示结束”");
  return Result<ShortcutRequest>::ok(std::move(request));
}

Result<ShortcutRequest> readShortcutRequest(const std::filesystem::path& file) {
  auto decoded = platform::readGbkLines(file);
  if (!decoded) return Result<ShortcutRequest>::fail(decoded.error());
  std::vector<std::string> lines;
  lines.reserve(decoded->size());
  for (auto& line : *decoded) {
    if (line) lines.push_back(std::move(*line));
  }
  return parseShortcutRequest(lines);
}

}  // namespace lumafex::app
