// Hostile project files through lumafex-cli compile: for each, the exit status, the message, and
// that nothing that was on disk before is lost or changed (the images of the previous good compile
// stay unless the compile succeeds, and then no image is empty).

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <map>

#include "core/design/ProjectRecord.h"
#include "core/platform/TextFile.h"
#include "support/ProjectFixture.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

namespace lumafex {
namespace {

namespace fs = std::filesystem;
using platform::pathFromUtf8;

using testing::gbk;
using testing::snapshot;
using Fixture = testing::ProjectFixture;

struct Case {
  const char* name;
  std::function<void(Fixture&)> setup;
  const char* layout;   // "--single" or "--multi"
  int exit;             // expected exit status
  std::string message;  // the start of what is printed on failure
};

std::string repeated(std::string_view unit, std::size_t times) {
  std::string s;
  s.reserve(unit.size() * times);
  for (std::size_t i = 0; i < times; ++i) s += unit;
  return s;
}

const std::vector<Case>& cases() {
  static const std::vector<Case> table{
      {"empty file", [](Fixture& f) { Fixture::put(f.file, ""); }, "--single", 1, "请先选择花式到编程板。"},
      {"binary bytes",
       [](Fixture& f) {
         std::string b;
         for (int i = 0; i < 4096; ++i) b += static_cast<char>((i * 73 + 11) % 256);
         Fixture::put(f.file, b);
       },
       "--single", 1, "请先选择花式到编程板。"},
      {"NUL bytes in the column line", [](Fixture& f) { f.set(2, std::string("8\0\0", 3)); }, "--single", 0,
       ""},
      {"invalid GBK in the title line", [](Fixture& f) { f.set(1, "\xFF\xFF"); }, "--single", 0, ""},
      {"byte order mark before the record",
       [](Fixture& f) {
         f.lines[0] = "\xEF\xBB\xBF" + f.lines[0];
         f.writeRecord();
       },
       "--single", 0, ""},
      {"LF-only line ends",
       [](Fixture& f) {
         std::string bytes;
         for (const auto& l : f.lines) bytes += l + "\n";
         Fixture::put(f.file, bytes);
       },
       "--single", 0, ""},
      {"columns 4294967360 (64 when cut to int)", [](Fixture& f) { f.set(2, "4294967360"); }, "--single", 1,
       "列数“4294967360”不正确，应在4到300之间。"},
      {"columns -4294967232", [](Fixture& f) { f.set(2, "-4294967232"); }, "--single", 1,
       "列数“-4294967232”不正确，应在4到300之间。"},
      {"columns 1e30", [](Fixture& f) { f.set(2, "1e30"); }, "--single", 1,
       "列数“1e30”不正确，应在4到300之间。"},
      {"columns 1e9", [](Fixture& f) { f.set(2, "1e9"); }, "--multi", 1, "列数“1e9”不正确，应在4到300之间。"},
      {"columns not a number", [](Fixture& f) { f.set(2, "abc"); }, "--single", 1,
       "列数“abc”不正确，应在4到300之间。"},
      {"columns 3", [](Fixture& f) { f.set(2, "3"); }, "--single", 1, "列数“3”不正确，应在4到300之间。"},
      {"colour count 0", [](Fixture& f) { f.set(9, "0"); }, "--single", 1, "色数“0”不正确，应为1、2或3。"},
      {"colour count -1", [](Fixture& f) { f.set(9, "-1"); }, "--single", 1, "色数“-1”不正确，应为1、2或3。"},
      {"colour count 1e300 reads as 3", [](Fixture& f) { f.set(9, "1e300"); }, "--single", 0, ""},
      {"switch 1e30", [](Fixture& f) { f.set(8, "1e30"); }, "--single", 0, ""},
      {"speed -1e300", [](Fixture& f) { f.set(7, "-1e300"); }, "--single", 0, ""},
      {"colour 1e30 and title effect switch 1e300",
       [](Fixture& f) {
         f.set(3, "1e30");
         f.set(22, "1e300");
       },
       "--single", 0, ""},
      {"entry numbered 10^20", [](Fixture& f) { f.setBoard({"100000000000000000000右扫"}); }, "--single", 1,
       "总程序中没有任何一步，EPROM文件没有改变。"},
      {"first entry numbered 0",
       [](Fixture& f) {
         f.setBoard({"0右扫", "1右扫"});
       },
       "--single", 1, "总程序中没有任何一步，EPROM文件没有改变。"},
      {"100 garbage entries",
       [](Fixture& f) {
         std::vector<std::string> board;
         board.reserve(100);
         for (int i = 0; i < 100; ++i) board.push_back("garbage" + std::to_string(i));
         f.setBoard(board);
       },
       "--multi", 1, "总程序中没有任何一步，EPROM文件没有改变。"},
      {"entry of a million digits", [](Fixture& f) { f.setBoard({std::string(1000000, '9')}); }, "--single",
       1, "总程序中没有任何一步，EPROM文件没有改变。"},
      {"10,000 entries at 300 channels",
       [](Fixture& f) {
         std::vector<std::string> board;
         board.reserve(10000);
         for (int i = 0; i < 10000; ++i) board.push_back(std::to_string(1 + i % 30));
         f.set(2, "300");
         f.setBoard(board);
       },
       "--single", 1, "总程序太大（超过64MB），请减少编程板上的花式。"},
      {"empty manual file", [](Fixture& f) { f.putInProject("人工修改的花式.txt", ""); }, "--multi", 1,
       "总程序中没有任何一步，EPROM文件没有改变。"},
      {"base channels 80000",
       [](Fixture& f) {
         f.set(35, "80000");
         f.putInProject("人工修改的花式.txt", "XXXXXXXX\r\n");
       },
       "--multi", 1, "基本路数“80000”不正确，应在0到300之间。"},
      {"base channels 2000000000",
       [](Fixture& f) {
         f.set(35, "2000000000");
         f.putInProject("人工修改的花式.txt", "XXXXXXXX\r\n");
       },
       "--multi", 1, "基本路数“2000000000”不正确，应在0到300之间。"},
      {"base channels 1e30",
       [](Fixture& f) {
         f.set(35, "1e30");
         f.putInProject("人工修改的花式.txt", "XXXXXXXX\r\n");
       },
       "--multi", 1, "基本路数“1e30”不正确，应在0到300之间。"},
      {"base channels 0 with a manual file and no title: the first line decides",
       [](Fixture& f) {
         f.set(1, "");
         f.set(35, "0");
         f.putInProject("人工修改的花式.txt", "XXXXXXXX\r\n");
       },
       "--multi", 0, ""},
      {"base channels negative",
       [](Fixture& f) {
         f.set(35, "-8");
         f.putInProject("人工修改的花式.txt", "XXXXXXXX\r\n");
       },
       "--multi", 1, "基本路数“-8”不正确，应在0到300之间。"},
      {"base channels not a number, manual lines empty",
       [](Fixture& f) {
         f.set(35, "基本路数");
         f.putInProject("人工修改的花式.txt", "\r\n\r\n");
       },
       "--multi", 1, "路数“0”超出范围，应在1到303之间。"},
      {"manual lines of 400 channels",
       [](Fixture& f) { f.putInProject("人工修改的花式.txt", std::string(400, 'X') + "\r\n"); }, "--multi", 1,
       "路数不正确,请完整运行一次确定路数。或查找最大的行删除该行末尾多余的内容。"},
      {"title of 100,000 characters with the title effect on",
       [](Fixture& f) {
         f.set(1, gbk(repeated("光", 100000)));
         f.set(22, "1");
         f.putInProject("标题花式.bt", gbk("□<2>\r\n"));
       },
       "--single", 1, "标题太长（100000个字），最多100个字。"},
      {"record of 2 MB on one line", [](Fixture& f) { Fixture::put(f.file, std::string(2 << 20, 'A')); },
       "--single", 1, "工程文件太大（超过1MB），不是霓虹灯花式工程："},
      {"record of 2 million short lines",
       [](Fixture& f) { Fixture::put(f.file, repeated("1\r\n", 2000000)); }, "--single", 1,
       "工程文件太大（超过1MB），不是霓虹灯花式工程："},
      {"title effect mask too short",
       [](Fixture& f) {
         f.set(22, "1");
         f.putInProject("标题花式.bt", gbk("X□<3>\r\n"));
       },
       "--single", 1, "“X□<3>”的长度有问题！"},
      {"title effect not valid GBK",
       [](Fixture& f) {
         f.set(22, "1");
         f.putInProject("标题花式.bt", "XXX<2>\r\n\xFF");
       },
       "--single", 1, "不是有效的GBK文字"},
      {"title effect of 2 MB",
       [](Fixture& f) {
         f.set(22, "1");
         f.putInProject("标题花式.bt", repeated("XXX<1>\r\n", 300000));
       },
       "--single", 1, "标题花式文件太大（超过1MB）："},
      {"title effect markers without line ends",
       [](Fixture& f) {
         f.set(22, "1");
         f.putInProject("标题花式.bt", gbk("<<2>X□X<2><3>X<4>>"));
       },
       "--single", 1, "“<<2>”的长度有问题！"},
      {"bin is a file",
       [](Fixture& f) {
         fs::remove_all(f.project / "bin");
         Fixture::put(f.project / "bin", "not a folder");
       },
       "--single", 1, "不能写入EPROM文件："},
      {"project directory missing", [](Fixture& f) { fs::remove_all(f.project); }, "--multi", 0, ""},
      {"too many image pictures",
       [](Fixture& f) {
         f.set(16, "1");
         for (int k = 1; k <= 301; ++k) f.putInProject(("图案" + std::to_string(k) + ".bmp").c_str(), "BM");
       },
       "--single", 1, "图案太多（301个），最多300个。"},
  };
  return table;
}

TEST(HostileInput, EachFileIsAnsweredAndNothingIsLost) {
  ASSERT_GE(cases().size(), 30u);
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    Fixture f;
    const auto good = testing::runCli("compile " + f.quoted() + " " + c.layout, true);
    ASSERT_EQ(good.status, 0) << good.out;
    c.setup(f);
    const auto before = snapshot(f.dir.path());
    const auto o = testing::runCli("compile " + f.quoted() + " " + c.layout, true);
    EXPECT_EQ(o.status, c.exit) << o.out;
    const auto after = snapshot(f.dir.path());
    if (c.exit != 0) {
      EXPECT_EQ(o.out.rfind(c.message, 0), 0u) << o.out;
      EXPECT_EQ(o.out.find("总步数"), std::string::npos);
      EXPECT_TRUE(before == after) << "files changed by a failed compile";
    } else {
      EXPECT_NE(o.out.find("总步数＝"), std::string::npos);
      EXPECT_EQ(o.out.find("总步数＝0"), std::string::npos);
      for (const auto& [name, bytes] : before) {
        if (name.rfind(platform::pathToUtf8(pathFromUtf8("红星/bin")), 0) == 0) continue;
        EXPECT_EQ(after.count(name) ? after.at(name) : "<gone>", bytes) << name;
      }
      for (const auto& [name, bytes] : after) {
        if (name.find(".bin") != std::string::npos && name.find("bin.~") == std::string::npos) {
          EXPECT_FALSE(bytes.empty()) << name;
        }
      }
    }
    for (const auto& [name, bytes] : after) EXPECT_EQ(name.find("bin.~"), std::string::npos) << name;
  }
}

TEST(HostileInput, AssemblingAProgramTooLargeFails) {
  Fixture f;
  std::vector<std::string> board;
  board.reserve(10000);
  for (int i = 0; i < 10000; ++i) board.push_back(std::to_string(1 + i % 30));
  f.set(2, "300");
  f.setBoard(board);
  const auto o = testing::runCli(
      "assemble " + f.quoted() + " -o '" + platform::pathToUtf8(f.dir.path() / "out.txt") + "'", true);
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "总程序太大（超过64MB），请减少编程板上的花式。\n");
  EXPECT_FALSE(fs::exists(f.dir.path() / "out.txt"));
}

TEST(HostileInput, ADotInAFolderNameIsNoExtension) {
  testing::TempDir dir;
  const fs::path folder = dir.path() / "v1.2";
  fs::create_directories(folder);
  design::ProjectSettings s;
  s.columns = "8";
  s.colourCount = "1";
  ASSERT_TRUE(design::writeProjectRecord(folder / "P", design::recordOf(s, {"1右扫"})));
  const auto o = testing::runCli("compile '" + platform::pathToUtf8(folder / "P") + "' --single", true);
  EXPECT_EQ(o.status, 1) << o.out;  // the project directory would be the file itself
  EXPECT_FALSE(fs::exists(dir.path() / "v1"));
  EXPECT_FALSE(fs::exists(dir.path() / "bin"));
}

TEST(HostileInput, AReadOnlyProjectDirectoryKeepsItsImages) {
  // Permissions do not stop the super-user: the compile runs as an ordinary user who owns the
  // project.
  const auto as = testing::ordinaryUserPrefix();
  if (!as) GTEST_SKIP() << "no way to run lumafex-cli as an ordinary user here (setpriv, runuser)";
  Fixture f;
  ASSERT_TRUE(testing::giveToOrdinaryUser(f.dir.path()));
  ASSERT_EQ(testing::runCliAs(*as, "compile " + f.quoted() + " --single").status, 0);
  fs::permissions(f.project, fs::perms::owner_write, fs::perm_options::remove);
  const auto before = snapshot(f.dir.path());
  const auto o = testing::runCliAs(*as, "compile " + f.quoted() + " --multi", true);
  fs::permissions(f.project, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out.rfind("不能写入EPROM文件：", 0), 0u) << o.out;
  EXPECT_TRUE(before == snapshot(f.dir.path()));
}

}  // namespace
}  // namespace lumafex
