#pragma once
// The temporary directory and the scratch step file: one uniquely named file, made at start-up,
// that every effect generator rewrites and the previews replay.

#include <filesystem>
#include <string>
#include <string_view>

#include "core/platform/Result.h"

namespace lumafex::platform {

namespace fs = std::filesystem;

// Every file the program leaves in the temporary directory starts with this.
inline constexpr std::string_view kScratchPrefix = "~00";

// A directory path as the platform returned it, cleaned: NUL characters removed, surrounding
// blanks trimmed.
std::string cleanPlatformPath(std::string_view raw);

// Creates a new, empty file named "~00" + unique hexadecimal number + ".TMP" in `dir`.
Result<fs::path> createScratchFile(const fs::path& dir);

// Deletes every file in `dir` whose name starts with "~00" ("~00*.*"); files that cannot be
// deleted stay. Returns how many were deleted.
int removeScratchFiles(const fs::path& dir);

// Truncates the file and writes the bytes: how a generator replaces the scratch step file.
Status overwriteFile(const fs::path& path, std::string_view bytes);

}  // namespace lumafex::platform
