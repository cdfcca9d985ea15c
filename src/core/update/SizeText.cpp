#include "core/update/SizeText.h"

namespace lumafex::update {

std::string shortSizeText(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " 字节";
  static const char* const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
  // The unit is the largest one in which the value is at least 1, except that from 1000 on the next
  // unit is taken (as "0.97 MB"), so the number never has more than three digits.
  int unit = 0;
  unsigned __int128 size = 1024;
  while (unit < 5 && bytes >= size * 1000) {
    size *= 1024;
    ++unit;
  }
  // Three significant digits: two decimals below 10, one below 100, none above.
  const unsigned __int128 whole = bytes / size;
  const int decimals = whole >= 100 ? 0 : whole >= 10 ? 1 : 2;
  unsigned __int128 scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const auto scaled = static_cast<std::uint64_t>(static_cast<unsigned __int128>(bytes) * scale / size);
  std::string text = std::to_string(scaled / static_cast<std::uint64_t>(scale));
  if (decimals > 0) {
    std::string fraction = std::to_string(scaled % static_cast<std::uint64_t>(scale));
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    text += '.' + fraction;
  }
  return text + ' ' + units[unit];
}

std::string 字节数文字(std::uint64_t bytes) {
  if (bytes > 1024) return std::to_string(bytes) + "字节(" + shortSizeText(bytes) + ")";
  return shortSizeText(bytes);
}

}  // namespace lumafex::update
