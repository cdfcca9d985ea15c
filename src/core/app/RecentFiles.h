#pragma once
// The recent-file list: eight slots in the settings ("最近打开0" … "最近打开7"), slot 0 the newest.

#include <array>
#include <string>
#include <string_view>

#include "core/platform/SettingsStore.h"

namespace lumafex::app {

inline constexpr int kRecentSlots = 8;
using RecentList = std::array<std::string, kRecentSlots>;

RecentList readRecentList(const platform::SettingsStore& settings);
void writeRecentList(platform::SettingsStore& settings, const RecentList& list);

// Puts the current project at the head: slot 0 := current; the other non-empty entries follow in
// their old order, without the slot that held the current project (the highest such slot when
// several do), into slots 1, 2, …; entries beyond slot 7 are dropped and slots not written keep
// their old values.
RecentList putFirst(const RecentList& old, const std::string& current);

// The menu caption of an entry: the file name when the file lies directly in the application
// directory (compared without regard to letter case); else the whole path when it is shorter than
// 20 characters; else "……" and its last 20 characters.
std::string recentCaption(std::string_view path, std::string_view applicationDirectory);

}  // namespace lumafex::app
