// The shortcut request file "Lnk.ini" (its exact GBK bytes, reading it back, bad lines) and the
// shelllnk helper run as the program runs it, in a private home.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "InstallDirs.h"
#include "core/app/InstallLayout.h"
#include "core/app/ShortcutRequest.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::app {
namespace {

namespace fs = std::filesystem;
using Where = ShortcutRequest::Item::Where;

// The six lines in GBK, spelt out byte by byte. Line 3 ends before the version number.
const std::string kGbkLine1 =
    "\xcd\xbc\xb1\xea\xcc\xe1\xca\xbe\xc4\xda\xc8\xdd\xa3\xba"  // 图标提示内容：
    "\xc8\xed\xbc\xfe\xc3\xfb\xb3\xc6\xa3\xba"                  // 软件名称：
    "Velarn\xc4\xde\xba\xe7\xb5\xc6"                            // Velarn霓虹灯
    "\r"                                                        // the lone CR inside the tool-tip
    "\xb3\xf6\xc6\xb7\xa3\xba"                                  // 出品：
    "  Velarn\xb9\xa4\xd7\xf7\xca\xd2";                         // "  Velarn工作室"
const std::string kGbkLine2 = "\xcd\xbc\xb1\xea\xcc\xe1\xca\xbe\xbd\xe1\xca\xf8";  // 图标提示结束
const std::string kGbkLine3Prefix =
    "\xb3\xcc\xd0\xf2\xd7\xe9\xc3\xfb\xb3\xc6\xa3\xba"  // 程序组名称：
    "\xa1\xb6Velarn\xc4\xde\xba\xe7\xb5\xc6\xa1\xb7"    // 《Velarn霓虹灯》
    "V";
const std::string kGbkLine4 =
    "\xb3\xcc\xd0\xf2\xd7\xe9\xa3\xba"                     // 程序组：
    "\xa1\xb0-=Velarn\xc4\xde\xba\xe7\xb5\xc6=-\xa1\xb1"   // “-=Velarn霓虹灯=-”
    "EXE:\xa3\xfbVelarn\xc4\xde\xba\xe7\xb5\xc6\xa3\xfd";  // EXE:｛Velarn霓虹灯｝
const std::string kGbkLine5 =
    "\xb3\xcc\xd0\xf2\xd7\xe9\xa3\xba"                                     // 程序组：
    "\xa1\xb0\xd0\xb6\xd4\xd8Velarn\xc4\xde\xba\xe7\xb5\xc6\xa1\xb1"       // “卸载Velarn霓虹灯”
    "EXE:\xa3\xfb\xd0\xb6\xd4\xd8Velarn\xc4\xde\xba\xe7\xb5\xc6\xa3\xfd";  // EXE:｛卸载Velarn霓虹灯｝
const std::string kGbkLine6 =
    "\xd7\xc0\xc3\xe6\xa3\xba"                             // 桌面：
    "\xa1\xb0Velarn\xc4\xde\xba\xe7\xb5\xc6\xa1\xb1"       // “Velarn霓虹灯”
    "EXE:\xa3\xfbVelarn\xc4\xde\xba\xe7\xb5\xc6\xa3\xfd";  // EXE:｛Velarn霓虹灯｝

std::string readFile(const fs::path& path) {
  auto bytes = platform::readBytes(path);
  return bytes ? *bytes : std::string("<missing>");
}

// Splits at CR LF only, so the lone CR of line 1 stays inside its line.
std::vector<std::string> crlfLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (auto end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

TEST(ShortcutRequestFile, SixLinesInGbkByteForByte) {
  testing::TempDir dir;
  ASSERT_TRUE(writeShortcutRequest(dir.path(), 1, 0));
  EXPECT_EQ(readFile(dir.path() / "Lnk.ini"), kGbkLine1 + "\r\n" + kGbkLine2 + "\r\n" + kGbkLine3Prefix +
                                                  "1.0\r\n" + kGbkLine4 + "\r\n" + kGbkLine5 + "\r\n" +
                                                  kGbkLine6 + "\r\n");
}

TEST(ShortcutRequestFile, VersionLineIsPlainDecimal) {
  struct Case {
    int major, minor;
    const char* text;
  };
  for (const Case c : {Case{1, 0, "1.0"}, Case{2, 15, "2.15"}, Case{10, 3, "10.3"}, Case{0, 7, "0.7"},
                       Case{3, 100, "3.100"}}) {
    testing::TempDir dir;
    ASSERT_TRUE(writeShortcutRequest(dir.path(), c.major, c.minor));
    const auto lines = crlfLines(readFile(dir.path() / "Lnk.ini"));
    ASSERT_EQ(lines.size(), 6u) << c.text;
    EXPECT_EQ(lines[2], kGbkLine3Prefix + c.text);
  }
}

TEST(ShortcutRequestFile, OnlyLoneCrIsInsideTheToolTipLine) {
  testing::TempDir dir;
  ASSERT_TRUE(writeShortcutRequest(dir.path(), 1, 0));
  const auto lines = crlfLines(readFile(dir.path() / "Lnk.ini"));
  ASSERT_EQ(lines.size(), 6u);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto crs = std::count(lines[i].begin(), lines[i].end(), '\r');
    EXPECT_EQ(crs, i == 0 ? 1 : 0) << "line " << i + 1;
    EXPECT_EQ(lines[i].find('\n'), std::string::npos) << "line " << i + 1;
  }
}

TEST(ShortcutRequestFile, ReplacesAnEarlierLongerFile) {
  testing::TempDir dir;
  {
    std::ofstream old(dir.path() / "Lnk.ini", std::ios::binary);
    for (int i = 0; i < 50; ++i) old << "old line " << i << "\r\n";
  }
  ASSERT_TRUE(writeShortcutRequest(dir.path(), 1, 0));
  EXPECT_EQ(crlfLines(readFile(dir.path() / "Lnk.ini")).size(), 6u);
}

void expectProgramRequest(const ShortcutRequest& r, const std::string& group) {
  EXPECT_EQ(r.tooltip, "软件名称：Velarn霓虹灯\r出品：  Velarn工作室");
  EXPECT_EQ(r.groupName, group);
  ASSERT_EQ(r.items.size(), 3u);
  EXPECT_EQ(r.items[0].where, Where::ProgramGroup);
  EXPECT_EQ(r.items[0].caption, "-=Velarn霓虹灯=-");
  EXPECT_EQ(r.items[0].target, kProgramTarget);
  EXPECT_EQ(r.items[1].where, Where::ProgramGroup);
  EXPECT_EQ(r.items[1].caption, "卸载Velarn霓虹灯");
  EXPECT_EQ(r.items[1].target, kUninstallerTarget);
  EXPECT_EQ(r.items[2].where, Where::Desktop);
  EXPECT_EQ(r.items[2].caption, "Velarn霓虹灯");
  EXPECT_EQ(r.items[2].target, kProgramTarget);
}

TEST(ShortcutRequestParse, FileReadsBackAsWritten) {
  testing::TempDir dir;
  ASSERT_TRUE(writeShortcutRequest(dir.path(), 2, 5));
  const auto r = readShortcutRequest(dir.path() / "Lnk.ini");
  ASSERT_TRUE(r) << r.error();
  expectProgramRequest(*r, "《Velarn霓虹灯》V2.5");
}

TEST(ShortcutRequestParse, LinesWithAndWithoutTheLoneCrSplitGiveTheSameRequest) {
  const auto whole = shortcutRequestLines(1, 0);
  const auto a = parseShortcutRequest(whole);
  ASSERT_TRUE(a) << a.error();
  expectProgramRequest(*a, "《Velarn霓虹灯》V1.0");

  std::vector<std::string> split;
  for (const auto& line : whole) {
    for (auto& piece : platform::splitTextLines(line)) split.push_back(piece);
  }
  ASSERT_EQ(split.size(), 7u);
  const auto b = parseShortcutRequest(split);
  ASSERT_TRUE(b) << b.error();
  expectProgramRequest(*b, "《Velarn霓虹灯》V1.0");
}

TEST(ShortcutRequestParse, RequestLineForms) {
  struct Case {
    const char* line;
    std::optional<Where> where;  // nullopt: the line yields no request
    const char* caption;
    const char* target;
  };
  const Case cases[] = {
      {"程序组：“甲”EXE:｛乙｝", Where::ProgramGroup, "甲", "乙"},
      {"桌面：“甲”EXE:｛乙｝", Where::Desktop, "甲", "乙"},
      {"  桌面：  “甲 乙” EXE：｛ 丙 ｝  ", Where::Desktop, "甲 乙", "丙"},  // blanks, full-width colon
      {"程序组：“甲”exe:｛乙｝", Where::ProgramGroup, "甲", "乙"},
      {"程序组：甲EXE:｛乙｝", std::nullopt, "", ""},      // no quotes
      {"程序组：“甲EXE:｛乙｝", std::nullopt, "", ""},     // quote never closed
      {"程序组：“”EXE:｛乙｝", std::nullopt, "", ""},      // empty caption
      {"程序组：“甲”｛乙｝", std::nullopt, "", ""},        // no EXE:
      {"程序组：“甲”EXE｛乙｝", std::nullopt, "", ""},     // EXE without colon
      {"程序组：“甲”EXE:乙", std::nullopt, "", ""},        // no braces
      {"程序组：“甲”EXE:｛乙", std::nullopt, "", ""},      // brace never closed
      {"程序组：“甲”EXE:｛｝", std::nullopt, "", ""},      // empty target
      {"程序组：“甲”EXE:｛乙｝丙", std::nullopt, "", ""},  // text after the target
      {"程序组：", std::nullopt, "", ""},
      {"桌面：\"甲\"EXE:{乙}", std::nullopt, "", ""},        // ASCII quotes and braces
      {"开始菜单：“甲”EXE:｛乙｝", std::nullopt, "", ""},    // unknown place
      {"程序组名称：“甲”EXE:｛乙｝", std::nullopt, "", ""},  // that is the group name
  };
  for (const Case& c : cases) {
    const auto r = parseShortcutRequest({c.line});
    ASSERT_TRUE(r) << c.line;
    if (!c.where) {
      EXPECT_TRUE(r->items.empty()) << c.line;
      continue;
    }
    ASSERT_EQ(r->items.size(), 1u) << c.line;
    EXPECT_EQ(r->items[0].where, *c.where) << c.line;
    EXPECT_EQ(r->items[0].caption, c.caption) << c.line;
    EXPECT_EQ(r->items[0].target, c.target) << c.line;
  }
}

TEST(ShortcutRequestParse, BadAndUnknownLinesAreSkippedTheRestKeepsItsOrder) {
  const auto r = parseShortcutRequest({
      "[快捷方式]",
      "程序组：“一”EXE:｛甲｝",
      "程序组：“坏”EXE:｛",
      "",
      "桌面：“二”EXE:｛乙｝",
      "版本=3",
      "程序组：“三”EXE:｛丙｝",
  });
  ASSERT_TRUE(r);
  ASSERT_EQ(r->items.size(), 3u);
  EXPECT_EQ(r->items[0].caption, "一");
  EXPECT_EQ(r->items[1].caption, "二");
  EXPECT_EQ(r->items[1].where, Where::Desktop);
  EXPECT_EQ(r->items[2].caption, "三");
  EXPECT_EQ(r->tooltip, "");
  EXPECT_EQ(r->groupName, "");
}

TEST(ShortcutRequestParse, ToolTipBlocks) {
  struct Case {
    std::vector<std::string> lines;
    std::string tooltip;
  };
  const Case cases[] = {
      {{"图标提示内容：甲", "图标提示结束"}, "甲"},
      {{"图标提示内容：甲", "乙", "  丙 ", "图标提示结束"}, "甲\r乙\r  丙 "},  // inner blanks kept
      {{"图标提示内容：", "乙", "丙", "图标提示结束"}, "乙\r丙"},              // nothing on the marker line
      {{"图标提示内容：甲", "", "乙", "图标提示结束"}, "甲\r\r乙"},
      // A request line inside the block is tool-tip text, not a request.
      {{"图标提示内容：甲", "桌面：“二”EXE:｛乙｝", "图标提示结束"}, "甲\r桌面：“二”EXE:｛乙｝"},
      {{"图标提示内容：甲", "图标提示结束", "图标提示内容：乙", "图标提示结束"}, "乙"},
  };
  for (const Case& c : cases) {
    const auto r = parseShortcutRequest(c.lines);
    ASSERT_TRUE(r) << c.lines[0];
    EXPECT_EQ(r->tooltip, c.tooltip);
  }
  EXPECT_FALSE(parseShortcutRequest({"图标提示内容：甲", "图标提示内容：甲"}));  // never closed
}

TEST(ShortcutRequestParse, UnclosedToolTipAndMissingFileFail) {
  EXPECT_FALSE(parseShortcutRequest({"图标提示内容：甲", "桌面：“二”EXE:｛乙｝"}));
  testing::TempDir dir;
  EXPECT_FALSE(readShortcutRequest(dir.path() / "Lnk.ini"));
}

TEST(ShortcutRequestParse, UnreadableGbkLineIsSkipped) {
  testing::TempDir dir;
  std::ofstream(dir.path() / "Lnk.ini", std::ios::binary) << kGbkLine6 << "\r\n\xff\xfe\xff\r\n"
                                                          << kGbkLine4 << "\r\n";
  const auto r = readShortcutRequest(dir.path() / "Lnk.ini");
  ASSERT_TRUE(r) << r.error();
  ASSERT_EQ(r->items.size(), 2u);
  EXPECT_EQ(r->items[0].where, Where::Desktop);
  EXPECT_EQ(r->items[1].caption, "-=Velarn霓虹灯=-");
}

// ---- shelllnk as the program starts it --------------------------------------------------------

struct Outcome {
  int status = -1;
  std::string err;
};

void writeExecutable(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

bool isExecutable(const fs::path& path) {
  return ::access(path.c_str(), X_OK) == 0;
}

// Every regular file below a directory, as paths relative to it.
std::set<std::string> filesBelow(const fs::path& dir) {
  std::set<std::string> out;
  std::error_code ec;
  if (!fs::exists(dir, ec)) return out;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (e.is_regular_file()) out.insert(fs::relative(e.path(), dir).string());
  }
  return out;
}

// The key=value lines of a desktop entry.
std::map<std::string, std::string> entryKeys(const std::string& text) {
  std::map<std::string, std::string> keys;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    if (eq != std::string::npos && line[0] != '#' && line[0] != '[')
      keys[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return keys;
}

class ShellLnk : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.path();
    helper_ = root_ / "bin" / "shelllnk";
    for (const char* d : {"bin", "app", "home", "data", "config", "Desktop", "fakebin", "cwd"}) {
      fs::create_directories(root_ / d);
    }
    fs::copy_file(LUMAFEX_SHELLLNK_PATH, root_ / "bin" / "shelllnk");
    fs::permissions(root_ / "bin" / "shelllnk", fs::perms::owner_all);
    writeExecutable(root_ / "bin" / "lumafex", "#!/bin/sh\nexit 0\n");
    ASSERT_TRUE(writeShortcutRequest(root_ / "app", 1, 0));
    // Stand-ins for the cache-update commands: they note their argument and fail, which shelllnk
    // must shrug off.
    for (const char* cmd : {"update-mime-database", "update-desktop-database"}) {
      writeExecutable(root_ / "fakebin" / cmd, std::string("#!/bin/sh\necho \"") + cmd + " $1\" >> \"" +
                                                   (root_ / "updates.log").string() + "\"\nexit 1\n");
    }
    env_ = {
        {"HOME", (root_ / "home").string()},
        {"XDG_DATA_HOME", (root_ / "data").string()},
        {"XDG_CONFIG_HOME", (root_ / "config").string()},
        {"XDG_DESKTOP_DIR", (root_ / "Desktop").string()},
        {"PATH", (root_ / "fakebin").string()},
    };
  }

  Outcome run(const std::vector<std::string>& args, const fs::path& cwd) {
    std::vector<std::string> argv{helper_.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> envText;
    for (const auto& [k, v] : env_) {
      std::string entry = k;
      entry += '=';
      entry += v;
      envText.push_back(std::move(entry));
    }
    std::vector<char*> argvp, envp;
    for (auto& s : argv) argvp.push_back(s.data());
    argvp.push_back(nullptr);
    for (auto& s : envText) envp.push_back(s.data());
    envp.push_back(nullptr);
    const fs::path errFile = root_ / "stderr.txt";
    Outcome r;
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int devnull = ::open("/dev/null", O_WRONLY);
      const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (devnull < 0 || err < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(120);
      ::dup2(devnull, STDOUT_FILENO);
      ::dup2(err, STDERR_FILENO);
      ::execve(argvp[0], argvp.data(), envp.data());
      ::_exit(121);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = readFile(errFile);
    return r;
  }

  fs::path applications() const { return root_ / "data" / "applications"; }
  fs::path icon() const { return root_ / "data" / "icons/hicolor/scalable/apps/lumafex.svg"; }

  // Lays the programs out as an installation does: the program in usr/bin, the helper in its
  // libexec directory, and (when asked) the installation's own menu entry.
  void installLayout(bool withMenuEntry) {
    const fs::path bin = root_ / "usr" / "bin";
    helper_ = (bin / kHelperDirFromProgramDir / "shelllnk").lexically_normal();
    fs::create_directories(bin);
    fs::create_directories(helper_.parent_path());
    fs::copy_file(LUMAFEX_SHELLLNK_PATH, helper_);
    fs::permissions(helper_, fs::perms::owner_all);
    writeExecutable(bin / "lumafex", "#!/bin/sh\nexit 0\n");
    if (withMenuEntry) {
      const fs::path entry = (helper_.parent_path() / kDesktopEntryFromHelperDir).lexically_normal();
      fs::create_directories(entry.parent_path());
      std::ofstream(entry) << "[Desktop Entry]\n";
    }
  }

  lumafex::testing::TempDir dir_;
  fs::path root_;
  fs::path helper_ = root_ / "bin" / "shelllnk";
  std::map<std::string, std::string> env_;
};

TEST_F(ShellLnk, WritesMenuAndDesktopEntriesAndTheFileType) {
  const Outcome r = run({(root_ / "app").string()}, root_ / "cwd");
  ASSERT_EQ(r.status, 0) << r.err;

  const std::string exec = "\"" + (root_ / "bin" / "lumafex").string() + "\" %f";
  const auto menu = entryKeys(readFile(applications() / "lumafex-1.desktop"));
  EXPECT_EQ(menu.at("Type"), "Application");
  EXPECT_EQ(menu.at("Name"), "-=Velarn霓虹灯=-");
  EXPECT_EQ(menu.at("Comment"), "软件名称：Velarn霓虹灯 出品：  Velarn工作室");
  EXPECT_EQ(menu.at("Exec"), exec);
  EXPECT_EQ(menu.at("Icon"), icon().string());
  EXPECT_EQ(menu.at("Categories"), "Graphics;Development;");
  EXPECT_EQ(menu.at("MimeType"), "application/x-lumafex-project;");
  EXPECT_EQ(menu.at("Terminal"), "false");

  // The uninstaller is not beside shelllnk, so its request (the second) is skipped.
  EXPECT_FALSE(fs::exists(applications() / "lumafex-2.desktop"));

  const fs::path onDesktop = root_ / "Desktop" / "lumafex-3.desktop";
  const auto desk = entryKeys(readFile(onDesktop));
  EXPECT_EQ(desk.at("Name"), "Velarn霓虹灯");
  EXPECT_EQ(desk.at("Exec"), exec);
  EXPECT_TRUE(isExecutable(onDesktop));

  // The icon and the file type are the installation's own files.
  const fs::path packaging = fs::path(LUMAFEX_TEST_DATA) / ".." / ".." / "packaging";
  EXPECT_NE(readFile(icon()).find("<svg"), std::string::npos);
  EXPECT_EQ(readFile(icon()), readFile(packaging / "icons" / "lumafex.svg"));
  const std::string mime = readFile(root_ / "data" / "mime" / "packages" / "lumafex.xml");
  EXPECT_EQ(mime, readFile(packaging / "lumafex-mime.xml"));
  EXPECT_NE(mime.find("<mime-type type=\"application/x-lumafex-project\">"), std::string::npos);
  EXPECT_NE(mime.find("<glob pattern=\"*.hs\""), std::string::npos);
  EXPECT_NE(mime.find("<comment xml:lang=\"zh_CN\">霓虹灯花式文件</comment>"), std::string::npos);

  // Nothing else in the data directory (no temporary files left), nothing at all in the home.
  EXPECT_EQ(filesBelow(root_ / "data"),
            (std::set<std::string>{"applications/lumafex-1.desktop",
                                   "icons/hicolor/scalable/apps/lumafex.svg", "mime/packages/lumafex.xml"}));
  EXPECT_TRUE(filesBelow(root_ / "home").empty());
  EXPECT_EQ(filesBelow(root_ / "Desktop"), (std::set<std::string>{"lumafex-3.desktop"}));

  EXPECT_EQ(readFile(root_ / "updates.log"), "update-mime-database " + (root_ / "data" / "mime").string() +
                                                 "\nupdate-desktop-database " + applications().string() +
                                                 "\n");
}

TEST(InstallLayout, ShortcutHelperBesideTheProgramElseInTheHelperDirectory) {
  testing::TempDir dir;
  const fs::path bin = dir.path() / "usr" / "bin";
  const fs::path installed = (bin / kHelperDirFromProgramDir / "shelllnk").lexically_normal();
  fs::create_directories(installed.parent_path());
  fs::create_directories(bin);
  EXPECT_FALSE(shortcutHelperFor(bin));  // none at all

  std::ofstream(installed) << "#!/bin/sh\n";
  EXPECT_FALSE(shortcutHelperFor(bin));  // not executable
  fs::permissions(installed, fs::perms::owner_all);
  EXPECT_EQ(shortcutHelperFor(bin), installed);

  writeExecutable(bin / "shelllnk", "#!/bin/sh\n");  // a build tree: the one beside wins
  EXPECT_EQ(shortcutHelperFor(bin), bin / "shelllnk");

  EXPECT_EQ(installedProgramDirectoryFor(installed.parent_path()), bin);
  EXPECT_FALSE(installationHasMenuEntry(installed.parent_path()));
}

TEST_F(ShellLnk, InstalledHelperFindsTheProgramInTheProgramDirectory) {
  struct Case {
    const char* name;
    bool menuEntryInstalled;
    std::set<std::string> data;  // what is written below $XDG_DATA_HOME
    std::string icon;            // the Icon= of the desktop shortcut
  };
  const Case cases[] = {
      // Installed without desktop files (a bare copy of the programs): everything as in a build tree.
      {"programs only",
       false,
       {"applications/lumafex-1.desktop", "icons/hicolor/scalable/apps/lumafex.svg",
        "mime/packages/lumafex.xml"},
       (root_ / "data" / "icons/hicolor/scalable/apps/lumafex.svg").string()},
      // A package brings the menu entry, the icon and the file type: only the desktop shortcut.
      {"with the installation's menu entry", true, {}, "lumafex"},
  };
  for (const Case& c : cases) {
    fs::remove_all(root_ / "usr");
    fs::remove_all(root_ / "data");
    fs::remove_all(root_ / "Desktop");
    fs::create_directories(root_ / "Desktop");
    installLayout(c.menuEntryInstalled);
    const Outcome r = run({(root_ / "app").string()}, root_ / "cwd");
    ASSERT_EQ(r.status, 0) << c.name << ": " << r.err;
    EXPECT_EQ(filesBelow(root_ / "data"), c.data) << c.name;
    const auto desk = entryKeys(readFile(root_ / "Desktop" / "lumafex-3.desktop"));
    EXPECT_EQ(desk.at("Exec"), "\"" + (root_ / "usr" / "bin" / "lumafex").string() + "\" %f") << c.name;
    EXPECT_EQ(desk.at("Icon"), c.icon) << c.name;
  }
}

TEST_F(ShellLnk, UninstallerEntryDoesNotClaimProjectFiles) {
  writeExecutable(root_ / "bin" / "lumafex-uninstall", "#!/bin/sh\nexit 0\n");
  const Outcome r = run({(root_ / "app").string()}, root_ / "cwd");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto keys = entryKeys(readFile(applications() / "lumafex-2.desktop"));
  EXPECT_EQ(keys.at("Name"), "卸载Velarn霓虹灯");
  EXPECT_EQ(keys.at("Exec"), "\"" + (root_ / "bin" / "lumafex-uninstall").string() + "\"");
  EXPECT_EQ(keys.count("MimeType"), 0u);
  EXPECT_TRUE(fs::exists(applications() / "lumafex-1.desktop"));
}

TEST_F(ShellLnk, FindsLnkIniInEachPlace) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    fs::path cwd;
    std::optional<fs::path> lumafexHome;
  };
  const Case cases[] = {
      {"argument directory", {(root_ / "app").string()}, root_ / "cwd", std::nullopt},
      {"argument file", {(root_ / "app" / "Lnk.ini").string()}, root_ / "cwd", std::nullopt},
      {"working directory", {}, root_ / "app", std::nullopt},
      {"LUMAFEX_HOME", {}, root_ / "cwd", root_ / "app"},
  };
  for (const Case& c : cases) {
    fs::remove_all(root_ / "data");
    env_.erase("LUMAFEX_HOME");
    if (c.lumafexHome) env_["LUMAFEX_HOME"] = c.lumafexHome->string();
    const Outcome r = run(c.args, c.cwd);
    EXPECT_EQ(r.status, 0) << c.name << ": " << r.err;
    EXPECT_TRUE(fs::exists(applications() / "lumafex-1.desktop")) << c.name;
  }
}

TEST_F(ShellLnk, FailuresReportAndWriteNothing) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    bool removeProgram;
    const char* lnkText;  // replaces Lnk.ini when not null
  };
  const Case cases[] = {
      {"no Lnk.ini anywhere", {}, false, nullptr},
      {"program not beside shelllnk", {(root_ / "app").string()}, true, nullptr},
      {"tool-tip never closed",
       {(root_ / "app").string()},
       false,
       "\xcd\xbc\xb1\xea\xcc\xe1\xca\xbe\xc4\xda"
       "\xc8\xdd\xa3\xba\r\n"},
      {"two arguments", {(root_ / "app").string(), "x"}, false, nullptr},
  };
  for (const Case& c : cases) {
    // Each case starts from a sound setup and breaks one thing.
    writeExecutable(root_ / "bin" / "lumafex", "#!/bin/sh\nexit 0\n");
    ASSERT_TRUE(writeShortcutRequest(root_ / "app", 1, 0));
    if (c.removeProgram) fs::remove(root_ / "bin" / "lumafex");
    if (c.lnkText) std::ofstream(root_ / "app" / "Lnk.ini", std::ios::binary) << c.lnkText;
    const Outcome r = run(c.args, root_ / "cwd");
    EXPECT_NE(r.status, 0) << c.name;
    EXPECT_FALSE(r.err.empty()) << c.name;
    EXPECT_TRUE(filesBelow(root_ / "data").empty()) << c.name;
    EXPECT_TRUE(filesBelow(root_ / "Desktop").empty()) << c.name;
  }
}

TEST_F(ShellLnk, WithoutADesktopDirectoryOnlyTheMenuIsWritten) {
  env_["XDG_DESKTOP_DIR"] = (root_ / "no-such-desktop").string();
  const Outcome r = run({(root_ / "app").string()}, root_ / "cwd");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(applications() / "lumafex-1.desktop"));
  EXPECT_FALSE(fs::exists(root_ / "no-such-desktop"));
  EXPECT_FALSE(fs::exists(applications() / "lumafex-3.desktop"));
}

TEST_F(ShellLnk, DesktopFromUserDirs) {
  env_.erase("XDG_DESKTOP_DIR");
  fs::create_directories(root_ / "home" / "桌面");
  std::ofstream(root_ / "config" / "user-dirs.dirs") << "# written by xdg-user-dirs-update\n"
                                                        "XDG_DOWNLOAD_DIR=\"$HOME/下载\"\n"
                                                        "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n";
  const Outcome r = run({(root_ / "app").string()}, root_ / "cwd");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(isExecutable(root_ / "home" / "桌面" / "lumafex-3.desktop"));
  EXPECT_FALSE(fs::exists(root_ / "home" / "Desktop"));
}

TEST_F(ShellLnk, DesktopThatIsTheHomeDirectoryIsNotUsed) {
  env_.erase("XDG_DESKTOP_DIR");
  std::ofstream(root_ / "config" / "user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/\"\n";
  const Outcome r = run({(root_ / "app").string()}, root_ / "cwd");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(filesBelow(root_ / "home").empty());
}

}  // namespace
}  // namespace lumafex::app
