#include "core/app/RecentFiles.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "core/app/ProjectPaths.h"
#include "core/platform/TextCodec.h"

namespace lumafex::app {

namespace {

std::string slotKey(int slot) {
  return "最近打开" + std::to_string(slot);
}

// Lower-cases ASCII letters; other characters compare as they are.
std::string folded(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view withoutTrailingSeparator(std::string_view dir) {
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.remove_suffix(1);
  return dir;
}

}  // namespace

RecentList readRecentList(const platform::SettingsStore& settings) {
  RecentList list;
  for (int i = 0; i < kRecentSlots; ++i) list[static_cast<std::size_t>(i)] = settings.get(slotKey(i), "");
  return list;
}

void writeRecentList(platform::SettingsStore& settings, const RecentList& list) {
  for (int i = 0; i < kRecentSlots; ++i) settings.set(slotKey(i), list[static_cast<std::size_t>(i)]);
}

RecentList putFirst(const RecentList& old, const std::string& current) {
  int matched = -1;
  for (int i = 0; i < kRecentSlots; ++i) {
    if (old[static_cast<std::size_t>(i)] == current) matched = i;
  }
  RecentList list = old;
  list[0] = current;
  std::size_t next = 1;
  for (int i = 0; i < kRecentSlots && next < list.size(); ++i) {
    const std::string& entry = old[static_cast<std::size_t>(i)];
    if (i == matched || entry.empty()) continue;
    list[next++] = entry;
  }
  return list;
}

std::string recentCaption(std::string_view path, std::string_view applicationDirectory) {
  const std::size_t k = path.find_last_of("/\\");
  if (k != std::string_view::npos && folded(withoutTrailingSeparator(path.substr(0, k))) ==
                                         folded(withoutTrailingSeparator(applicationDirectory))) {
    return std::string(path.substr(k + 1));
  }
  if (platform::utf8Length(path) < 20) return std::string(path);
  return "……" + lastCharacters(path, 20);
}

}  // namespace lumafex::app
