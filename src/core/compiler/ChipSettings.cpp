#include "core/compiler/ChipSettings.h"

#include "core/platform/TextFile.h"

namespace lumafex::compiler {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSection = "[芯片]";
constexpr const char* kChipKey = "型号";
constexpr const char* kPaddingKey = "填充";
constexpr const char* kHexKey = "HEX";
constexpr const char* kSrecKey = "S记录";

std::string trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return std::string(s.substr(first, last - first + 1));
}

std::optional<bool> flagOf(const std::string& value) {
  if (value == "1") return true;
  if (value == "0") return false;
  return std::nullopt;
}

}  // namespace

ChipOptions ChipChoice::options() const {
  ChipOptions o;
  o.chip = chip;
  o.padding = chip ? padding : Padding::Off;
  o.hex = hex;
  o.srec = srec;
  return o;
}

ChipChoice parseChipSettings(const std::vector<std::optional<std::string>>& lines) {
  ChipChoice c;
  for (const auto& line : lines) {
    if (!line) continue;
    const auto eq = line->find('=');
    if (eq == std::string::npos) continue;
    const std::string key = trimmed(std::string_view(*line).substr(0, eq));
    const std::string value = trimmed(std::string_view(*line).substr(eq + 1));
    if (key == kChipKey) {
      c.chip = findChip(value);
    } else if (key == kPaddingKey) {
      c.padding = paddingFromName(value).value_or(Padding::Off);
    } else if (key == kHexKey) {
      c.hex = flagOf(value).value_or(false);
    } else if (key == kSrecKey) {
      c.srec = flagOf(value).value_or(false);
    }
  }
  return c;
}

std::vector<std::string> chipSettingsLines(const ChipChoice& c) {
  return {
      kSection,
      std::string(kChipKey) + "=" + (c.chip ? c.chip->name : kAnyChip),
      std::string(kPaddingKey) + "=" + paddingName(c.padding),
      std::string(kHexKey) + "=" + (c.hex ? "1" : "0"),
      std::string(kSrecKey) + "=" + (c.srec ? "1" : "0"),
  };
}

ChipChoice readChipSettings(const fs::path& projectDirectory) {
  const fs::path file = projectDirectory / platform::pathFromUtf8(kChipSettingsFile);
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return {};
  auto lines = platform::readGbkLines(file);
  if (!lines) return {};
  return parseChipSettings(*lines);
}

Status writeChipSettings(const fs::path& projectDirectory, const ChipChoice& choice) {
  const fs::path file = projectDirectory / platform::pathFromUtf8(kChipSettingsFile);
  std::error_code ec;
  if (choice.isDefault() && !fs::exists(file, ec)) return success();
  return platform::writeGbkLines(file, chipSettingsLines(choice));
}

}  // namespace lumafex::compiler
