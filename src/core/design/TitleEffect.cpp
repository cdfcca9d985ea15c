#include "core/design/TitleEffect.h"

#include <algorithm>

#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"

namespace lumafex::design {

namespace {
std::size_t characters(std::string_view utf8) {
  return platform::utf8Length(utf8);
}
}  // namespace

std::optional<MaskAt> findMask(std::string_view text, long step) {
  // Appended piece by piece: GCC 12 at -O3 reports a false -Wrestrict on "<" + std::string.
  std::string marker(1, '<');
  marker += std::to_string(step);
  marker += '>';
  const std::size_t m = text.find(marker);
  if (m == std::string_view::npos) return std::nullopt;
  const std::size_t lf = text.rfind('\n', m == 0 ? 0 : m - 1);
  const std::size_t from = (lf == std::string_view::npos || lf >= m) ? 0 : lf + 1;
  MaskAt at;
  at.mask = std::string(text.substr(from, m - from));
  at.maskStart = characters(text.substr(0, from));
  at.maskLength = characters(at.mask);
  return at;
}

TitleMasks::TitleMasks(std::string_view text) : text_(text) {
  std::size_t lineStart = 0;
  std::size_t chars = 0;  // characters before i (UTF-8: every byte that does not continue one)
  std::size_t lineChars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
    if (c == '\n') {
      lineStart = i + 1;
      lineChars = chars;
      continue;
    }
    if (c != '<') continue;
    // "<" + a step without leading zeros + ">", as the marker of that step is written.
    std::size_t k = i + 1;
    if (k >= text.size() || text[k] < '1' || text[k] > '9') continue;
    long step = 0;
    for (; k < text.size() && text[k] >= '0' && text[k] <= '9' && k - i <= 18; ++k)
      step = step * 10 + (text[k] - '0');
    if (k < text.size() && text[k] == '>') markers_.push_back({step, i, lineStart, lineChars});
  }
  std::stable_sort(markers_.begin(), markers_.end(),
                   [](const Marker& a, const Marker& b) { return a.step < b.step; });
  markers_.erase(std::unique(markers_.begin(), markers_.end(),
                             [](const Marker& a, const Marker& b) { return a.step == b.step; }),
                 markers_.end());
}

std::optional<MaskAt> TitleMasks::find(long step) const {
  const auto it = std::lower_bound(markers_.begin(), markers_.end(), step,
                                   [](const Marker& m, long s) { return m.step < s; });
  if (it == markers_.end() || it->step != step) return std::nullopt;
  MaskAt at;
  at.mask = std::string(text_.substr(it->lineStart, it->at - it->lineStart));
  at.maskStart = it->lineChars;
  at.maskLength = characters(at.mask);
  return at;
}

Result<std::string> readTitleEffectFile(const std::filesystem::path& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size > kMaxTitleEffectBytes) {
    return Result<std::string>::fail("标题花式文件太大（超过1MB）：" + platform::pathToUtf8(path));
  }
  return platform::readGbkText(path);
}

std::string maskChannels(std::string_view mask) {
  std::string out;
  for (std::size_t i = 0; i < mask.size();) {
    const std::string_view ch = platform::utf8Char(mask, i);
    out += ch == kDarkMark ? ' ' : 'X';
  }
  return out;
}

bool endsWithFirstStepMarker(std::string_view text) {
  constexpr std::string_view tail = "<1>";
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::string acceptedTitle(std::string_view title) {
  return platform::doubleByteCharacters(title);
}

bool isLit(std::string_view state, std::size_t i) {
  std::size_t offset = 0;
  for (std::size_t k = 0; offset < state.size(); ++k) {
    const std::string_view ch = platform::utf8Char(state, offset);
    if (k == i) return ch != kDarkMark;
  }
  return true;
}

std::string titleStateOf(std::string_view mask, std::size_t titleLength) {
  if (!mask.empty()) return std::string(mask);
  std::string dark;
  dark.reserve(titleLength * kDarkMark.size());
  for (std::size_t i = 0; i < titleLength; ++i) dark += kDarkMark;
  return dark;
}

}  // namespace lumafex::design
