#pragma once
// The shortcut request file "Lnk.ini": written by the program on its first run in the application
// directory and read by the small helper `shelllnk`, which turns each request into a desktop entry.
//
// Layout (GBK, CR LF after every line):
//   图标提示内容：<tool-tip line 1>      the tool-tip may span several lines; inside a line a lone CR
//   <tool-tip line 2> …                also separates tool-tip lines
//   图标提示结束
//   程序组名称：<program group name>
//   程序组：“<caption>”EXE:｛<target>｝   one shortcut in the program group (the menu)
//   桌面：“<caption>”EXE:｛<target>｝     one shortcut on the desktop

#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/Result.h"

namespace lumafex::app {

inline constexpr const char* kShortcutRequestFile = "Lnk.ini";

// Target names used in the request lines: the program itself and its uninstaller.
inline constexpr const char* kProgramTarget = "Velarn霓虹灯";
inline constexpr const char* kUninstallerTarget = "卸载Velarn霓虹灯";

// The six lines of "Lnk.ini" for the given program version. Line 1 holds a lone CR between the two
// parts of the tool-tip; it belongs to the line's text.
std::vector<std::string> shortcutRequestLines(int major, int minor);

// Writes "Lnk.ini" into appDir (replacing any earlier one): GBK, CR LF after each line.
Status writeShortcutRequest(const std::filesystem::path& appDir, int major, int minor);

struct ShortcutRequest {
  std::string tooltip;    // tool-tip lines joined by single CR characters
  std::string groupName;  // the program group's name, empty when the file names none
  struct Item {
    enum Where { ProgramGroup, Desktop } where;
    std::string caption;
    std::string target;
  };
  std::vector<Item> items;  // in file order
};

// Reads request lines (already decoded to UTF-8, split at CR LF or at every CR). Lines the helper
// does not know are ignored and request lines that do not have the form above are skipped. Fails
// only when the tool-tip block is opened and never closed: everything after it would be swallowed.
Result<ShortcutRequest> parseShortcutRequest(const std::vector<std::string>& lines);

// Reads and parses a "Lnk.ini" file. Lines that are not valid GBK are treated as unknown lines.
Result<ShortcutRequest> readShortcutRequest(const std::filesystem::path& file);

}  // namespace lumafex::app
