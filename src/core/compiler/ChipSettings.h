#pragma once
// The chip choices of a project, kept in a small GBK text file of its own in the project directory
// ("芯片设置.ini"), so a project carries its chip and the project record stays as it is:
//
//   [芯片]
//   型号=27C256      (a chip name, or 不限 for any size)
//   填充=dark        (off, dark or repeat)
//   HEX=1
//   S记录=0
//
// A missing file, key or unreadable value means the default: any size, no padding, no copies.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/compiler/ChipImage.h"
#include "core/platform/Result.h"

namespace lumafex::compiler {

inline constexpr const char* kChipSettingsFile = "芯片设置.ini";
inline constexpr const char* kAnyChip = "不限";

struct ChipChoice {
  std::optional<Chip> chip;
  Padding padding = Padding::Off;
  bool hex = false;
  bool srec = false;

  bool isDefault() const { return !chip && padding == Padding::Off && !hex && !srec; }
  ChipOptions options() const;
};

ChipChoice parseChipSettings(const std::vector<std::optional<std::string>>& lines);
std::vector<std::string> chipSettingsLines(const ChipChoice& choice);

// The project's choices; the defaults when it has no such file.
ChipChoice readChipSettings(const std::filesystem::path& projectDirectory);
// Writes the file; a project with the default choices and no file yet gets none.
Status writeChipSettings(const std::filesystem::path& projectDirectory, const ChipChoice& choice);

}  // namespace lumafex::compiler
