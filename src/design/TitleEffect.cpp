#include "design/TitleEffect.h"

#include "platform/TextCodec.h"

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

}  // namespace lumafex::design
