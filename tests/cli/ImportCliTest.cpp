// lumafex-cli import: projects of several kinds compiled in both layouts, with and without chip
// sizes and padding, read back from their .bin files (and their .hex and .s19 copies made by
// srec_cat), imported as new projects and compiled again: every chip byte the same.

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "core/design/ProjectRecord.h"
#include "core/platform/TextFile.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

namespace lumafex::compiler {
namespace {

namespace fs = std::filesystem;
using platform::pathFromUtf8;
using platform::pathToUtf8;
using testing::runCli;

std::string fileBytes(const fs::path& p) {
  auto r = platform::readBytes(p);
  return r ? *r : std::string("<missing>");
}

std::string quoted(const fs::path& p) {
  return "'" + pathToUtf8(p) + "'";
}

bool haveSrecCat() {
  return std::system("srec_cat -VERSion >/dev/null 2>&1") == 0;
}

// A copy of `bin` in the form a programmer writes: the same bytes, as Intel HEX or S-records.
fs::path srecCopy(const fs::path& image, const char* format, const fs::path& out) {
  const std::string command =
      "srec_cat " + quoted(image) + " -binary -o " + quoted(out) + " " + format + " >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return out;
}

// The files of a compile's "bin", name → bytes (.bin only).
std::map<std::string, std::string> images(const fs::path& bin) {
  std::map<std::string, std::string> out;
  std::error_code ec;
  for (fs::directory_iterator it(bin, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = pathToUtf8(it->path().filename());
    if (name.size() > 4 && name.substr(name.size() - 4) == ".bin") out[name] = fileBytes(it->path());
  }
  return out;
}

// A project of someone else's: its record, board and files.
struct Original {
  const char* what;
  design::ProjectSettings settings;
  std::vector<std::string> board;
  std::string titleEffect;  // empty: none
  int pictures = 0;         // image pictures 图案1.bmp …
};

std::vector<Original> originals() {
  std::vector<Original> list;
  {
    Original o{"four channels", {}, {"1右扫", "5弹射"}, {}, 0};
    o.settings.columns = "4";
    o.settings.colourCount = "1";
    o.settings.title = "";
    list.push_back(o);
  }
  {
    Original o{"two colours, a title merged",
               {},
               {"1右扫_色彩1", "12左收_色彩混合", "63全亮_色彩1"},
               "X□X□<3>\r\n□□□X<9>\r\n",
               0};
    o.settings.columns = "20";
    o.settings.colourCount = "2";
    o.settings.title = "欢迎光临";
    o.settings.horizontalTitleEffect = 1;
    list.push_back(o);
  }
  {
    Original o{"300 columns and four images: 38 chips", {}, {"1右扫", "16伸缩"}, {}, 4};
    o.settings.columns = "300";
    o.settings.colourCount = "1";
    o.settings.title = "";
    o.settings.imagesOn = 1;
    list.push_back(o);
  }
  {
    Original o{"three colours", {}, {"1右扫", "3左扫", "13追逐"}, {}, 0};
    o.settings.columns = "12";
    o.settings.colourCount = "3";
    o.settings.title = "";
    list.push_back(o);
  }
  return list;
}

struct Workshop {
  testing::TempDir dir;
  fs::path file;
  fs::path folder;
  fs::path bin;
  explicit Workshop(const Original& o) {
    file = dir.path() / pathFromUtf8("原来的招牌.hs");
    folder = dir.path() / pathFromUtf8("原来的招牌");
    bin = folder / "bin";
    fs::create_directories(folder);
    EXPECT_TRUE(design::writeProjectRecord(file, design::recordOf(o.settings, o.board)));
    if (!o.titleEffect.empty()) {
      EXPECT_TRUE(platform::writeGbkText(folder / pathFromUtf8("标题花式.bt"), o.titleEffect));
    }
    for (int k = 1; k <= o.pictures; ++k) {
      EXPECT_TRUE(
          platform::writeBytesSafely(folder / pathFromUtf8("图案" + std::to_string(k) + ".bmp"), "BM"));
    }
  }
};

// The first width the import suggests for a single image.
int suggestedChannels(const std::string& errorText) {
  std::smatch m;
  if (!std::regex_search(errorText, m, std::regex("--channels ([0-9]+)（"))) return 0;
  return std::stoi(m[1]);
}

// Compiles the project in both layouts with each chip choice, reads the chips back, imports them
// and compiles the import with the same choices.
void roundTrip(const Original& o) {
  const bool srec = haveSrecCat();
  if (!srec)
    std::cerr << "srec_cat (package srecord) is not installed: HEX and S-record read-backs skipped\n";
  std::size_t turn = 0;
  {
    for (const bool multi : {false, true}) {
      Workshop w(o);
      // No chip; the largest chip, filled dark; a chip the sequence repeats on (once only for the
      // 38 chips of 304 channels).
      const std::vector<std::string> choices = {"", "--chip 27C080 --pad dark", "--chip 27C256 --pad repeat"};
      int channels = 0;  // what the import suggested for the single image
      for (const std::string& options : choices) {
        SCOPED_TRACE(std::string(o.what) + (multi ? ", per 8 channels " : ", single chip ") + options);
        const auto compiled =
            runCli("compile " + quoted(w.file) + (multi ? " --multi " : " --single ") + options, true);
        ASSERT_EQ(compiled.status, 0) << compiled.out;
        const auto original = images(w.bin);
        ASSERT_FALSE(original.empty());

        struct ReadBack {
          const char* what;
          bool inverted;
          const char* format;  // srec_cat format, or nullptr for the .bin itself
          const char* extension;
        };
        // The plain .bin always; the other read-backs take turns, so every kind meets every
        // project, layout and chip choice somewhere in the table.
        const ReadBack kinds[] = {{"inverted bin", true, nullptr, ".bin"},
                                  {"hex", false, "-intel", ".hex"},
                                  {"s19", false, "-motorola", ".s19"},
                                  {"inverted s19", true, "-motorola", ".s19"},
                                  {"inverted hex", true, "-intel", ".hex"}};
        const ReadBack readBacks[] = {{"bin", false, nullptr, ".bin"}, kinds[turn++ % std::size(kinds)]};
        for (const ReadBack& rb : readBacks) {
          if (rb.format && !srec) continue;
          // 38 chips of a megabyte as text would only make the test slow.
          if (rb.format && multi && options.find("27C080") != std::string::npos) continue;
          SCOPED_TRACE(rb.what);
          testing::TempDir readDir;
          // The chips as the programmer saved them, named as the compile named them.
          std::vector<fs::path> chips;
          const char* polarity = rb.inverted ? "反" : "正";
          const int count = multi ? static_cast<int>(original.size() / 2) : 1;
          for (int i = 1; i <= count; ++i) {
            const std::string stem = multi ? polarity + std::to_string(i) : std::string("单IC") + polarity;
            const fs::path image = w.bin / pathFromUtf8(stem + ".bin");
            const fs::path copy = readDir.path() / pathFromUtf8(stem + rb.extension);
            if (rb.format) {
              srecCopy(image, rb.format, copy);
            } else {
              fs::copy_file(image, copy);
            }
            chips.push_back(copy);
          }
          std::string files;
          if (multi) {
            // As a shell lists them: 正1, 正10, 正11, …, 正2, …
            files = "--multi " + quoted(readDir.path()) + "/" + polarity + "*" + rb.extension;
          } else {
            files = "--single " + quoted(chips.front());
          }
          files += rb.inverted ? " --inverted" : "";
          if (!multi && channels == 0) {
            // Without a channel count the import suggests one (and writes nothing).
            const auto asked = runCli("import " + files + " -o " + quoted(readDir.path() / "x.hs"), true);
            ASSERT_EQ(asked.status, 2) << asked.out;
            channels = suggestedChannels(asked.out);
            ASSERT_GT(channels, 0) << asked.out;
            EXPECT_FALSE(fs::exists(readDir.path() / "x.hs"));
          }
          if (!multi) files += " --channels " + std::to_string(channels);
          const fs::path copy = readDir.path() / pathFromUtf8("找回的招牌.hs");
          const auto imported = runCli("import " + files + " -o " + quoted(copy), true);
          ASSERT_EQ(imported.status, 0) << imported.out;
          EXPECT_NE(imported.out.find("步数（frames）："), std::string::npos) << imported.out;

          const auto again = runCli(
              "compile " + quoted(copy) + (multi ? " --multi " : " --single --manual ") + options, true);
          ASSERT_EQ(again.status, 0) << again.out;
          EXPECT_EQ(images(readDir.path() / pathFromUtf8("找回的招牌") / "bin"), original);
        }
      }
    }
  }
}

TEST(ImportCli, FourChannelsComeBack) {
  roundTrip(originals()[0]);
}
TEST(ImportCli, TwoColoursWithATitleMergedComeBack) {
  roundTrip(originals()[1]);
}
TEST(ImportCli, ThirtyEightChipsWithImageChannelsComeBack) {
  roundTrip(originals()[2]);
}
TEST(ImportCli, ThreeColoursComeBack) {
  roundTrip(originals()[3]);
}

// The sample project: a padded chip imported with its padding kept, or compiled without padding.
TEST(ImportCli, KeptPaddingAndUnpaddedCompiles) {
  const fs::path data = fs::path(LUMAFEX_TEST_DATA) / ".." / ".." / "data";
  testing::TempDir dir;
  fs::copy(data / pathFromUtf8("Velarn工作室.hs"), dir.path());
  fs::copy(data / pathFromUtf8("Velarn工作室"), dir.path() / pathFromUtf8("Velarn工作室"),
           fs::copy_options::recursive);
  const fs::path file = dir.path() / pathFromUtf8("Velarn工作室.hs");
  const fs::path bin = dir.path() / pathFromUtf8("Velarn工作室") / "bin";
  ASSERT_EQ(runCli("compile " + quoted(file) + " --single").status, 0);
  const std::string plain = fileBytes(bin / pathFromUtf8("单IC正.bin"));
  ASSERT_EQ(runCli("compile " + quoted(file) + " --single --chip 2764 --pad repeat").status, 0);
  const std::string padded = fileBytes(bin / pathFromUtf8("单IC正.bin"));
  const fs::path chip = dir.path() / "chip.bin";
  ASSERT_TRUE(platform::writeBytesSafely(chip, padded));

  const auto dropped =
      runCli("import --single " + quoted(chip) + " --channels 72 -o " + quoted(dir.path() / "a.hs"));
  ASSERT_EQ(dropped.status, 0);
  EXPECT_NE(dropped.out.find("步数（frames）：394\n"), std::string::npos) << dropped.out;
  EXPECT_NE(dropped.out.find("repeat，序列在芯片上重复 2 遍"), std::string::npos) << dropped.out;
  EXPECT_NE(dropped.out.find("8192 字节（2764）"), std::string::npos) << dropped.out;
  ASSERT_EQ(runCli("compile " + quoted(dir.path() / "a.hs") + " --single --manual").status, 0);
  EXPECT_EQ(fileBytes(dir.path() / "a" / "bin" / pathFromUtf8("单IC正.bin")), plain);

  const auto kept = runCli("import --single " + quoted(chip) + " --channels 72 --keep-padding -o " +
                           quoted(dir.path() / "b.hs"));
  ASSERT_EQ(kept.status, 0);
  EXPECT_NE(kept.out.find("步数（frames）：910\n"), std::string::npos) << kept.out;  // 8192 ÷ 9
  EXPECT_NE(kept.out.find("末尾不足一步的 2 字节全灭"), std::string::npos) << kept.out;
  for (const char* pad : {"repeat", "dark"}) {
    ASSERT_EQ(runCli("compile " + quoted(dir.path() / "b.hs") + " --single --manual --chip 2764 --pad " + pad)
                  .status,
              0);
    EXPECT_EQ(fileBytes(dir.path() / "b" / "bin" / pathFromUtf8("单IC正.bin")), padded) << pad;
  }
}

TEST(ImportCli, RefusalsAndBadArguments) {
  testing::TempDir dir;
  const fs::path chip = dir.path() / "chip.bin";
  ASSERT_TRUE(platform::writeBytesSafely(chip, std::string("\x01\x02\x04\x08\x10", 5)));
  const fs::path empty = dir.path() / "empty.bin";
  ASSERT_TRUE(platform::writeBytesSafely(empty, ""));
  const fs::path badHex = dir.path() / "bad.hex";
  ASSERT_TRUE(platform::writeBytesSafely(badHex, ":10000000FF\r\n"));
  const fs::path existing = dir.path() / "old.hs";
  ASSERT_TRUE(platform::writeBytesSafely(existing, "mine"));
  fs::create_directories(dir.path() / "folder");
  const std::string out = " -o " + quoted(dir.path() / "new.hs");
  struct Case {
    const char* what;
    std::string arguments;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"odd size", "--single " + quoted(chip) + " --channels 16" + out, 1, "不是每步 2 字节"},
      {"empty", "--single " + quoted(empty) + " --channels 8" + out, 1, "是空的"},
      {"bad hex", "--single " + quoted(badHex) + " --channels 8" + out, 1, "不是有效的 Intel HEX"},
      {"missing file", "--single " + quoted(dir.path() / "none.bin") + " --channels 8" + out, 1, "none.bin"},
      {"existing project", "--single " + quoted(chip) + " --channels 8 -o " + quoted(existing), 1,
       "已经存在"},
      {"existing folder", "--single " + quoted(chip) + " --channels 8 -o " + quoted(dir.path() / "folder.hs"),
       1, "工程目录"},
      {"no channel count", "--single " + quoted(chip) + out, 2, "可能的路数：--channels"},
      {"channels out of range", "--single " + quoted(chip) + " --channels 601" + out, 2,
       "--channels 应为4到600"},
      {"channels not a number", "--single " + quoted(chip) + " --channels 8x" + out, 2, "--channels"},
      {"too few chips", "--multi " + quoted(chip) + " --channels 16" + out, 2, "16 路需要 2 个芯片"},
      {"unknown option", "--single " + quoted(chip) + " --channels 8 --colour 2" + out, 2,
       "未知的选项 --colour"},
      {"a value for a flag", "--single " + quoted(chip) + " --channels 8 --inverted=yes" + out, 2,
       "选项 --inverted 不带值"},
      {"both layouts", "--single " + quoted(chip) + " --multi --channels 8" + out, 2, "之一"},
      {"no layout", quoted(chip) + out, 2, "之一"},
      {"no target", "--single " + quoted(chip) + " --channels 8", 2, "-o NEW.hs"},
      {"target without .hs", "--single " + quoted(chip) + " --channels 8 -o " + quoted(dir.path() / "new"), 2,
       ".hs 结尾"},
      {"a stray word", "--single " + quoted(chip) + " --channels 8 extra" + out, 2, "多余的参数"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto o = runCli("import " + c.arguments, true);
    EXPECT_EQ(o.status, c.status) << o.out;
    EXPECT_NE(o.out.find(c.message), std::string::npos) << o.out;
    if (c.status == 2) {
      EXPECT_NE(o.out.find("用法 / usage: lumafex-cli import"), std::string::npos) << o.out;
    }
    EXPECT_FALSE(fs::exists(dir.path() / "new.hs"));
    EXPECT_FALSE(fs::exists(dir.path() / "new"));
  }
  EXPECT_EQ(fileBytes(existing), "mine");
  EXPECT_TRUE(fs::is_empty(dir.path() / "folder"));

  // --manual compiles the manual file only: a project without one is refused.
  design::ProjectSettings s;
  s.columns = "8";
  ASSERT_TRUE(design::writeProjectRecord(dir.path() / "plain.hs", design::recordOf(s, {"1右扫_色彩1"})));
  const auto manual = runCli("compile " + quoted(dir.path() / "plain.hs") + " --single --manual", true);
  EXPECT_EQ(manual.status, 1);
  EXPECT_NE(manual.out.find("人工修改的花式.txt"), std::string::npos) << manual.out;
}

}  // namespace
}  // namespace lumafex::compiler
