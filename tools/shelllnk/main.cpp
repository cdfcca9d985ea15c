// shelllnk: makes the program's shortcuts from the request file "Lnk.ini" that the program writes on
// its first run. Each request becomes an XDG desktop entry (the menu or the desktop); the project
// files "*.hs" are registered as a MIME type that the program opens. Everything written lies in the
// user's XDG data directory or on the user's desktop.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DesktopFiles.h"
#include "Version.h"
#include "core/app/InstallLayout.h"
#include "core/app/ShortcutRequest.h"
#include "core/platform/TextFile.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using lumafex::app::ShortcutRequest;
using lumafex::platform::pathFromUtf8;
using lumafex::platform::pathToUtf8;
using lumafex::shelllnk::kIconSvg;
using lumafex::shelllnk::kMimePackage;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kMimeType = "application/x-lumafex-project";
constexpr const char* kIconName = "lumafex.svg";

void printUsage(std::ostream& out) {
  out << "用法 / usage: shelllnk [目录 | Lnk.ini]\n"
         "  按“Lnk.ini”中的请求为霓虹灯花式设计程序建立快捷方式（XDG 桌面项）。\n"
         "  Creates the program's shortcuts (XDG desktop entries) from the requests in \"Lnk.ini\".\n"
         "\n"
         "  Lnk.ini 的查找顺序 / where Lnk.ini is looked for:\n"
         "    1. 第一个参数给出的目录（或文件） / the directory (or file) given as the first argument;\n"
         "    2. 当前工作目录 / the working directory;\n"
         "    3. 环境变量 $LUMAFEX_HOME 指定的目录 / the directory named by $LUMAFEX_HOME.\n"
         "\n"
         "  目标程序在 shelllnk 所在的目录中，或在安装的程序目录中 / targets lie beside shelllnk,\n"
         "  or in the program directory of the installation:\n"
         "    ｛Velarn霓虹灯｝ -> lumafex, ｛卸载Velarn霓虹灯｝ -> lumafex-uninstall;\n"
         "    找不到的目标被跳过 / a target that is not found is skipped.\n"
         "\n"
         "  写入 / writes:\n"
         "    程序组 / program group: $XDG_DATA_HOME/applications/lumafex-<n>.desktop\n"
         "    桌面 / desktop:         $XDG_DESKTOP_DIR (or the desktop of user-dirs.dirs, or ~/Desktop),\n"
         "                            only when that directory exists\n"
         "    图标 / icon:            $XDG_DATA_HOME/icons/hicolor/scalable/apps/lumafex.svg\n"
         "    文件关联 / file type:   $XDG_DATA_HOME/mime/packages/lumafex.xml (*.hs)\n"
         "  $XDG_DATA_HOME defaults to ~/.local/share. Afterwards update-mime-database and\n"
         "  update-desktop-database are run when they are installed.\n"
         "  安装的程序自带菜单项、图标和文件关联时，只建立桌面快捷方式 / when the installation ships\n"
         "  the menu entry, the icon and the file type itself, only the desktop shortcut is made.\n"
         "\n"
         "  退出码 / exit status: 0 成功 / success, 1 失败 / failure, 2 参数错误 / usage error.\n";
}

std::optional<std::string> environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

// ---- where things are -------------------------------------------------------------------------

std::optional<fs::path> homeDirectory() {
  if (auto home = environment("HOME")) {
    fs::path p = pathFromUtf8(*home);
    if (p.is_absolute()) return p;
  }
  return std::nullopt;
}

// An XDG base directory: the variable when it holds an absolute path, else the default under $HOME.
std::optional<fs::path> xdgDirectory(const char* variable, const char* underHome) {
  if (auto value = environment(variable)) {
    fs::path p = pathFromUtf8(*value);
    if (p.is_absolute()) return p;
  }
  if (auto home = homeDirectory()) return *home / underHome;
  return std::nullopt;
}

// The desktop named in user-dirs.dirs (lines such as XDG_DESKTOP_DIR="$HOME/桌面").
std::optional<fs::path> desktopFromUserDirs(const fs::path& home) {
  const auto config = xdgDirectory("XDG_CONFIG_HOME", ".config");
  if (!config) return std::nullopt;
  auto bytes = lumafex::platform::readBytes(*config / "user-dirs.dirs", std::uintmax_t{64} * 1024);
  if (!bytes) return std::nullopt;
  std::optional<fs::path> found;
  lumafex::platform::forEachLine(*bytes, [&](std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    constexpr std::string_view key = "XDG_DESKTOP_DIR=";
    if (!line.starts_with(key)) return;
    line.remove_prefix(key.size());
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    if (line.size() < 2 || line.front() != '"' || line.back() != '"') return;
    std::string_view value = line.substr(1, line.size() - 2);
    if (value.starts_with("$HOME")) {
      value.remove_prefix(5);
      while (value.starts_with("/")) value.remove_prefix(1);
      found = value.empty() ? home : home / pathFromUtf8(value);
    } else if (value.starts_with("/")) {
      found = pathFromUtf8(value);
    }
  });
  return found;
}

// The user's desktop directory, when there is one. A desktop that is the home directory itself
// means "no desktop" (that is how user-dirs switches it off).
std::optional<fs::path> desktopDirectory() {
  const auto home = homeDirectory();
  std::optional<fs::path> dir;
  if (auto value = environment("XDG_DESKTOP_DIR")) {
    dir = pathFromUtf8(*value);
  } else if (home) {
    dir = desktopFromUserDirs(*home);
    if (!dir) dir = *home / "Desktop";
  }
  std::error_code ec;
  if (!dir || !dir->is_absolute() || !fs::is_directory(*dir, ec)) return std::nullopt;
  if (home && fs::equivalent(*dir, *home, ec)) return std::nullopt;
  return dir;
}

std::optional<fs::path> ownDirectory(const char* argv0) {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec || self.empty()) self = fs::canonical(fs::absolute(argv0, ec), ec);
  if (ec || self.empty()) return std::nullopt;
  return self.parent_path();
}

// Lnk.ini: the argument (a directory or the file itself), else the working directory, else
// $LUMAFEX_HOME.
std::optional<fs::path> requestFile(const std::optional<std::string>& argument) {
  std::error_code ec;
  if (argument) {
    const fs::path p = pathFromUtf8(*argument);
    if (fs::is_directory(p, ec)) return p / lumafex::app::kShortcutRequestFile;
    return p;
  }
  const fs::path here = fs::path(lumafex::app::kShortcutRequestFile);
  if (fs::is_regular_file(here, ec)) return fs::absolute(here, ec);
  if (auto home = environment("LUMAFEX_HOME")) {
    const fs::path p = pathFromUtf8(*home) / lumafex::app::kShortcutRequestFile;
    if (fs::is_regular_file(p, ec)) return p;
  }
  return std::nullopt;
}

// ---- targets ----------------------------------------------------------------------------------

struct Target {
  fs::path executable;
  bool opensProjects = false;  // the program itself takes a project file; the uninstaller does not
};

// Maps a requested target name to an executable beside shelllnk, else in the installation's program
// directory. The known names map to our executables; any other name is taken as a plain file name.
std::optional<Target> findTarget(const fs::path& ownDir, const std::string& name) {
  Target t;
  std::string file;
  if (name == lumafex::app::kProgramTarget) {
    file = "lumafex";
    t.opensProjects = true;
  } else if (name == lumafex::app::kUninstallerTarget) {
    file = "lumafex-uninstall";
  } else {
    if (name == "." || name == ".." || name.find('/') != std::string::npos) return std::nullopt;
    file = name;
  }
  for (const fs::path& dir : {ownDir, lumafex::app::installedProgramDirectoryFor(ownDir)}) {
    t.executable = dir / pathFromUtf8(file);
    std::error_code ec;
    if (fs::is_regular_file(t.executable, ec) && ::access(t.executable.c_str(), X_OK) == 0) return t;
  }
  return std::nullopt;
}

// ---- file contents ----------------------------------------------------------------------------

// A desktop-entry string value: backslash and control characters escaped.
std::string entryString(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  if (!out.empty() && out.front() == ' ') out.replace(0, 1, "\\s");
  return out;
}

// The program path as one quoted argument of Exec=: inside the quotes ", `, $ and \ are escaped,
// a literal % is doubled so that it is not read as a field code.
std::string execArgument(const std::string& path) {
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  return entryString(quoted);
}

bool hasControlCharacter(std::string_view text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7f) return true;
  }
  return false;
}

std::string desktopEntry(const ShortcutRequest& request, const ShortcutRequest::Item& item,
                         const Target& target, const std::string& icon) {
  std::string comment = request.tooltip;
  for (char& c : comment) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Version=1.0\n";
  text += "Name=" + entryString(item.caption) + "\n";
  if (!comment.empty()) text += "Comment=" + entryString(comment) + "\n";
  text += "Exec=" + execArgument(pathToUtf8(target.executable));
  text += target.opensProjects ? " %f\n" : "\n";
  text += "Icon=" + entryString(icon) + "\n";
  text += "Terminal=false\n";
  text += "Categories=Graphics;Development;\n";
  if (target.opensProjects) text += std::string("MimeType=") + kMimeType + ";\n";
  if (!request.groupName.empty()) text += "X-Lumafex-Group=" + entryString(request.groupName) + "\n";
  return text;
}

// ---- writing ----------------------------------------------------------------------------------

class Installer {
 public:
  bool ok() const { return ok_; }

  bool write(const fs::path& file, std::string_view bytes, bool executable = false) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (ec) return fail("不能建立目录 / cannot create directory " + pathToUtf8(file.parent_path()));
    auto done = lumafex::platform::writeBytesSafely(file, bytes);
    if (!done) return fail(done.error());
    if (executable) {
      using fs::perms;
      fs::permissions(
          file,
          perms::owner_all | perms::group_read | perms::group_exec | perms::others_read | perms::others_exec,
          ec);
      if (ec) return fail("不能设置执行权限 / cannot mark executable " + pathToUtf8(file));
    }
    std::cout << "已写入 / wrote " << pathToUtf8(file) << '\n';
    return true;
  }

  bool fail(const std::string& message) {
    std::cerr << "shelllnk: " << message << '\n';
    ok_ = false;
    return false;
  }

 private:
  bool ok_ = true;
};

std::optional<fs::path> findInPath(const char* command) {
  const auto path = environment("PATH");
  if (!path) return std::nullopt;
  std::string_view rest = *path;
  while (true) {
    const auto colon = rest.find(':');
    const std::string_view dir = rest.substr(0, colon);
    if (!dir.empty()) {
      const fs::path candidate = fs::path(std::string(dir)) / command;
      std::error_code ec;
      if (fs::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return std::nullopt;
}

// Runs a cache-update command when it is installed; its output and its outcome are ignored, since
// the files are in place either way and the desktop will pick them up on its next scan.
void runIfInstalled(const char* command, const fs::path& argument) {
  const auto program = findInPath(command);
  if (!program) return;
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return;
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::string programText = program->string();
  std::string argumentText = argument.string();
  char* args[] = {programText.data(), argumentText.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, programText.c_str(), &actions, nullptr, args, environ) == 0) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  posix_spawn_file_actions_destroy(&actions);
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::string> argument;
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word == "--help" || word == "-h") {
      printUsage(std::cout);
      return kExitOk;
    }
    if (word == "--version") {
      std::cout << "shelllnk " << lumafex::kVersionMajor << '.' << lumafex::kVersionMinor << '.'
                << lumafex::kVersionRevision << '\n';
      return kExitOk;
    }
    if (word.starts_with("-") || argument) {
      printUsage(std::cerr);
      return kExitUsage;
    }
    argument = std::string(word);
  }

  Installer installer;
  const auto file = requestFile(argument);
  if (!file) {
    installer.fail("找不到 Lnk.ini / Lnk.ini not found (shelllnk --help)");
    return kExitFailure;
  }
  auto request = lumafex::app::readShortcutRequest(*file);
  if (!request) {
    installer.fail(request.error());
    return kExitFailure;
  }
  const auto ownDir = ownDirectory(argv[0]);
  const auto dataHome = xdgDirectory("XDG_DATA_HOME", ".local/share");
  if (!ownDir || !dataHome) {
    installer.fail("找不到程序目录或 $HOME / cannot find the program directory or $HOME");
    return kExitFailure;
  }

  struct Planned {
    std::size_t number;  // 1-based position of the request in the file, names the entry file
    const ShortcutRequest::Item* item;
    Target target;
  };
  // An installation that ships the program's menu entry also registers its icon and file type;
  // a menu entry of our own would only show the program twice.
  const bool installed = lumafex::app::installationHasMenuEntry(*ownDir);
  std::vector<Planned> planned;
  for (std::size_t i = 0; i < request->items.size(); ++i) {
    const auto& item = request->items[i];
    auto target = findTarget(*ownDir, item.target);
    if (!target || hasControlCharacter(pathToUtf8(target->executable))) {
      std::cout << "跳过 / skipped “" << item.caption << "”: ｛" << item.target << "｝ "
                << "不在 / not in " << pathToUtf8(*ownDir) << '\n';
      continue;
    }
    planned.push_back({i + 1, &item, *target});
  }
  if (planned.empty()) {
    installer.fail("Lnk.ini 中没有找得到的目标程序 / no requested target was found beside shelllnk");
    return kExitFailure;
  }

  std::string icon = "lumafex";  // the installation's icon, by its theme name
  if (!installed) {
    const fs::path file = *dataHome / "icons" / "hicolor" / "scalable" / "apps" / kIconName;
    installer.write(file, kIconSvg);
    icon = pathToUtf8(file);
  }

  const fs::path applications = *dataHome / "applications";
  const auto desktop = desktopDirectory();
  bool wroteApplications = false;
  for (const Planned& p : planned) {
    const std::string name = "lumafex-" + std::to_string(p.number) + ".desktop";
    const std::string entry = desktopEntry(*request, *p.item, p.target, icon);
    if (p.item->where == ShortcutRequest::Item::ProgramGroup && installed && p.target.opensProjects) {
      std::cout << "跳过 / skipped “" << p.item->caption
                << "”: 安装已带菜单项 / the installation has its own "
                << "menu entry\n";
    } else if (p.item->where == ShortcutRequest::Item::ProgramGroup) {
      wroteApplications = installer.write(applications / name, entry) || wroteApplications;
    } else if (desktop) {
      installer.write(*desktop / name, entry, /*executable=*/true);
    } else {
      std::cout << "跳过 / skipped “" << p.item->caption << "”: 没有桌面目录 / no desktop directory\n";
    }
  }

  const fs::path mime = *dataHome / "mime";
  if (!installed && installer.write(mime / "packages" / "lumafex.xml", kMimePackage)) {
    runIfInstalled("update-mime-database", mime);
  }
  if (wroteApplications) runIfInstalled("update-desktop-database", applications);
  return installer.ok() ? kExitOk : kExitFailure;
}
