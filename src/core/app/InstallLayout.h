#pragma once
// How the program and its shortcut helper find each other. In a build tree they lie in one
// directory; an installation keeps the program in its program directory (bin) and the helper in
// its own helper directory (libexec/lumafex), and ships the program's menu entry itself.

#include <filesystem>
#include <optional>

namespace lumafex::app {

inline constexpr const char* kShortcutHelperFile = "shelllnk";
inline constexpr const char* kDesktopEntryFile = "lumafex.desktop";

// The shortcut helper for the program in programDir: beside the program, else in the helper
// directory of the installation. nullopt when neither is an executable file.
std::optional<std::filesystem::path> shortcutHelperFor(const std::filesystem::path& programDir);

// The directories where the helper in helperDir looks for the programs its shortcuts start: its own
// directory first, then the installation's program directory.
std::filesystem::path installedProgramDirectoryFor(const std::filesystem::path& helperDir);

// True when the helper in helperDir belongs to an installation that ships the program's menu entry
// (so a second menu entry of its own would only repeat it).
bool installationHasMenuEntry(const std::filesystem::path& helperDir);

}  // namespace lumafex::app
