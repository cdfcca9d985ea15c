#include "core/app/InstallLayout.h"

#include <unistd.h>

#include "InstallDirs.h"

namespace lumafex::app {

namespace fs = std::filesystem;

namespace {

bool isExecutableFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<fs::path> shortcutHelperFor(const fs::path& programDir) {
  for (const fs::path& dir : {programDir, programDir / kHelperDirFromProgramDir}) {
    const fs::path helper = (dir / kShortcutHelperFile).lexically_normal();
    if (isExecutableFile(helper)) return helper;
  }
  return std::nullopt;
}

fs::path installedProgramDirectoryFor(const fs::path& helperDir) {
  return (helperDir / kProgramDirFromHelperDir).lexically_normal();
}

bool installationHasMenuEntry(const fs::path& helperDir) {
  std::error_code ec;
  return fs::is_regular_file((helperDir / kDesktopEntryFromHelperDir).lexically_normal(), ec);
}

}  // namespace lumafex::app
