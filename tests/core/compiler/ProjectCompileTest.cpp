// A project compiled as the export commands do, and the same through lumafex-cli.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <tuple>

#include "core/app/ProjectPaths.h"
#include "core/compiler/OutputBuffer.h"
#include "core/compiler/ProjectCompile.h"
#include "core/design/ProjectRecord.h"
#include "core/design/Rules.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

namespace lumafex::compiler {
namespace {

namespace fs = std::filesystem;
using platform::pathFromUtf8;

std::string fileBytes(const fs::path& p) {
  auto r = platform::readBytes(p);
  return r ? *r : std::string("<missing>");
}

struct Project {
  testing::TempDir dir;
  fs::path file;
  fs::path directory;

  Project(const design::ProjectSettings& s, const std::vector<std::string>& board) {
    file = dir.path() / pathFromUtf8("红星.hs");
    directory = dir.path() / pathFromUtf8("红星");
    fs::create_directories(directory);
    EXPECT_TRUE(design::writeProjectRecord(file, design::recordOf(s, board)));
  }
  void put(const char* name, std::string_view utf8Text) const {
    ASSERT_TRUE(platform::writeGbkText(directory / pathFromUtf8(name), utf8Text));
  }
  std::string bin(const std::string& name) const { return fileBytes(directory / "bin" / pathFromUtf8(name)); }
  CompileResult compile(ChipLayout layout) const {
    auto p = loadProject(file);
    EXPECT_TRUE(p) << p.error();
    return compileProject(*p, layout, dir.path());
  }
};

design::ProjectSettings eightChannels() {
  design::ProjectSettings s;
  s.columns = "8";
  s.colourCount = "1";
  s.title = "欢迎光";
  return s;
}

std::string positiveImageOf(std::string_view lines, int bytes) {
  std::string out;
  for (const auto& line : platform::splitTextLines(lines)) {
    for (int g = 0; g < bytes; ++g) {
      int v = 0;
      for (int k = 0; k < 8; ++k) {
        const std::size_t i = static_cast<std::size_t>(g) * 8 + static_cast<std::size_t>(k);
        if (i < line.size() && line[i] != ' ' && line[i] != '_') v |= 1 << k;
      }
      out += static_cast<char>(v);
    }
  }
  return out;
}

std::string effect(const char* generator, int n, int colours) {
  patterns::StepWriter out;
  patterns::runGenerator(*patterns::findGenerator(generator), n, colours, out);
  return std::string(out.bytes());
}

TEST(ProjectCompile, SingleChipOfAPlainBoard) {
  Project p(eightChannels(), {"1右扫", "22收缩"});
  const auto r = p.compile(ChipLayout::Single);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.channelsLabel, "8");
  EXPECT_EQ(p.bin("单IC正.bin"), positiveImageOf(effect("S1", 8, 1) + effect("S28", 8, 1), 1));
  EXPECT_EQ(r.images.frames, 13);
  EXPECT_EQ(fileBytes(p.dir.path() / pathFromUtf8("霓虹灯花式.txt")), r.totalProgram);
}

TEST(ProjectCompile, TitleEffectAddsTitleChannels) {
  auto s = eightChannels();
  s.horizontalTitleEffect = 1;
  Project p(s, {"27全亮"});  // four lit steps
  p.put("标题花式.bt", "X□X<2>\r\n□□□<4>\r\n");
  const auto r = p.compile(ChipLayout::PerEightChannels);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.channelsLabel, "11");
  EXPECT_EQ(p.bin("正1.bin"), std::string(4, '\xFF'));
  EXPECT_EQ(p.bin("正2.bin"), std::string("\x07\x05\x05\x00", 4));
  EXPECT_EQ(p.bin("反2.bin"), std::string("\xF8\xFA\xFA\xFF", 4));
}

TEST(ProjectCompile, PerEightChannelsCompilesTheManualFile) {
  auto s = eightChannels();
  s.baseChannels = "8";
  Project p(s, {"1右扫"});
  p.put("人工修改的花式.txt", "XXXXXXXX\r\n        \r\nX      X\r\n");
  const auto multi = p.compile(ChipLayout::PerEightChannels);
  ASSERT_TRUE(multi.ok) << multi.message;
  EXPECT_EQ(multi.channelsLabel, "11");  // base channels plus the three title characters
  EXPECT_EQ(p.bin("正1.bin"), std::string("\xFF\x00\x81", 3));
  EXPECT_EQ(p.bin("正2.bin"), std::string(3, '\0'));
  // The single-chip export assembles the board anew; the manual file still adds the title count.
  const auto single = p.compile(ChipLayout::Single);
  ASSERT_TRUE(single.ok) << single.message;
  EXPECT_EQ(single.totalProgram, effect("S1", 8, 1));
  EXPECT_EQ(single.channelsLabel, "11");
  EXPECT_FALSE(fs::exists(p.directory / "bin" / pathFromUtf8("正1.bin")));
}

// What each sequence of a request compiles, and what it refuses.
TEST(ProjectCompile, TheRequestNamesTheSequence) {
  auto s = eightChannels();
  s.title = "";
  s.baseChannels = "8";
  Project p(s, {"1右扫"});
  const std::string manual = "XXXXXXXX\r\n        \r\nX      X\r\n";
  struct Case {
    const char* name;
    Sequence sequence;
    ChipLayout layout;
    bool withManual;
    const char* workingProgram;  // the total program file in the work directory, or none
    bool ok;
    std::string program;  // the sequence compiled, or the start of the message
  };
  const std::vector<Case> cases = {
      {"export, single: assembled", Sequence::Export, ChipLayout::Single, true, nullptr, true,
       effect("S1", 8, 1)},
      {"export, multi: manual", Sequence::Export, ChipLayout::PerEightChannels, true, nullptr, true, manual},
      {"export, multi without manual: assembled", Sequence::Export, ChipLayout::PerEightChannels, false,
       nullptr, true, effect("S1", 8, 1)},
      {"manual, single", Sequence::ManualFile, ChipLayout::Single, true, nullptr, true, manual},
      {"manual without one", Sequence::ManualFile, ChipLayout::Single, false, nullptr, false,
       "工程中没有人工修改的花式"},
      {"working program", Sequence::WorkingProgram, ChipLayout::Single, false, "X       \r\n", true,
       "X       \r\n"},
      {"no working program", Sequence::WorkingProgram, ChipLayout::Single, false, nullptr, false,
       "没有总程序文件"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir work;
    fs::remove(p.directory / pathFromUtf8("人工修改的花式.txt"));
    if (c.withManual) p.put("人工修改的花式.txt", manual);
    if (c.workingProgram) {
      ASSERT_TRUE(
          platform::writeBytesSafely(work.path() / pathFromUtf8(kTotalProgramFile), c.workingProgram));
    }
    auto inputs = loadProject(p.file);
    ASSERT_TRUE(inputs);
    CompileRequest request;
    request.sequence = c.sequence;
    request.layout = c.layout;
    request.workDirectory = work.path();
    long progressed = 0;
    request.progress = [&](long frame, long frames) {
      EXPECT_EQ(frame, progressed++);
      EXPECT_EQ(frames, static_cast<long>(platform::splitTextLines(c.program).size()));
    };
    const auto r = compileProject(*inputs, request);
    ASSERT_EQ(r.ok, c.ok) << r.message;
    if (!c.ok) {
      EXPECT_EQ(r.message.rfind(c.program, 0), 0u) << r.message;
      continue;
    }
    EXPECT_EQ(r.totalProgram, c.program);
    EXPECT_EQ(fileBytes(work.path() / pathFromUtf8(kTotalProgramFile)), c.program);
    EXPECT_EQ(progressed, static_cast<long>(platform::splitTextLines(c.program).size()));
  }
}

// A manual file of several pieces (a CR LF and a GBK character cut where one piece ends and the next
// begins) compiles, whatever the request keeps or writes, to exactly what the whole text compiled
// in memory gives: images, copies, checksums, working files and labels.
std::string manualOfPieces(std::string_view lastLine, std::string_view middleLine) {
  std::string text = "XX XX\r\n";  // puts a CR at the last byte of the first piece
  const char* patterns[] = {"XXXXXXXX\r\n", "X X X X \r\n", "   XX   \r\n", "X______X\r\n"};
  auto fillTo = [&](std::size_t target) {
    for (std::size_t i = 0; target - text.size() > 12; ++i) text += patterns[i % 4];
    if (target - text.size() > 10) text += "\r\n";
    text += std::string(target - text.size() - 2, 'X') + "\r\n";
  };
  fillTo((std::size_t{1} << 20) + 1);  // its CR ends the first piece, its LF begins the second
  fillTo((std::size_t{2} << 20) - 1);
  text += "\xB5\xC6\xB5\xC6X X\r\n";  // "灯灯X X": its first lead byte ends the second piece
  text += middleLine;
  fillTo((std::size_t{5} << 19) + 7);
  text += lastLine;
  return text;
}

TEST(ProjectCompile, AManualFileReadInPiecesCompilesAsTheWholeTextDoes) {
  struct Case {
    const char* what;
    std::string baseChannels;
    std::string middleLine;
    std::string lastLine;
    const char* refusal;  // empty: compiled
  };
  const std::vector<Case> cases{
      {"plain", "8", "", "X      X\r\n", ""},
      {"no line end at the end, LF-only lines", "8", "X\nXX\n", "XXX", ""},
      {"the width from the last line", "基本路数", "", "XXXXXXXX", ""},
      {"a line too long after the first piece", "8", std::string(20, 'X') + "\r\n", "X\r\n", "路数不正确"},
  };
  ChipOptions chip;
  chip.chip = findChip("27C080");
  chip.padding = Padding::Repeat;
  chip.hex = chip.srec = chip.checksums = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = eightChannels();
    s.baseChannels = c.baseChannels;
    s.horizontalTitleEffect = 1;
    Project p(s, {"1右扫"});
    const std::string manual = manualOfPieces(c.lastLine, c.middleLine);
    ASSERT_TRUE(platform::writeBytesSafely(p.directory / pathFromUtf8(kManualFile), manual, false));
    const std::string effectText = "X□X<2>\r\n□□□<40000>\r\nXXX<150000>\r\n";
    p.put("标题花式.bt", effectText);
    auto inputs = loadProject(p.file);
    ASSERT_TRUE(inputs);

    for (const ChipLayout layout : {ChipLayout::Single, ChipLayout::PerEightChannels}) {
      // The reference: stage one over the whole text, stage two over the whole buffer.
      BufferInput in;
      in.totalProgram = manual;
      in.title = s.title;
      in.titleEffect = effectText;
      in.horizontalTitleEffect = true;
      in.manualFileExists = true;
      in.baseChannels = c.baseChannels;
      const BufferResult buffer = buildOutputBuffer(in);
      ASSERT_TRUE(buffer.ok);
      // Chip options in one of the requests only: the bytes they write are many.
      for (const auto& [keep, working, options] :
           {std::tuple{true, true, chip}, std::tuple{false, false, ChipOptions{}},
            std::tuple{true, false, ChipOptions{}}, std::tuple{false, true, ChipOptions{}}}) {
        {
          SCOPED_TRACE(std::string(layout == ChipLayout::Single ? "single" : "multi") +
                       (keep ? ", texts kept" : "") + (working ? ", working files" : "") +
                       (options.active() ? ", chip options" : ""));
          testing::TempDir reference;
          const ImageResult expected = writeEpromImages(
              {buffer.bytes, labelValue(buffer.channelsLabel), reference.path(), layout, nullptr}, options);
          EXPECT_EQ(expected.ok, !*c.refusal) << expected.message;
          testing::TempDir work;
          std::error_code ec;
          fs::remove_all(p.directory / "bin", ec);
          CompileRequest request;
          request.layout = layout;
          request.sequence = Sequence::ManualFile;
          request.workDirectory = work.path();
          request.chip = options;
          request.keepTexts = keep;
          request.writeWorkingFiles = working;
          const CompileResult r = compileProject(*inputs, request);
          ASSERT_EQ(r.ok, !*c.refusal) << r.message;
          if (*c.refusal) {
            EXPECT_EQ(r.message.rfind(c.refusal, 0), 0u) << r.message;
            EXPECT_EQ(r.message, expected.message);
            EXPECT_FALSE(fs::exists(p.directory / "bin"));
          } else {
            std::string report = expected.report;  // the same, in the project's directory
            const std::string from = platform::pathToUtf8(reference.path());
            for (auto at = report.find(from); at != std::string::npos; at = report.find(from, at)) {
              report.replace(at, from.size(), platform::pathToUtf8(p.directory));
            }
            EXPECT_EQ(r.images.report, report);
            ASSERT_EQ(r.images.checksums.size(), expected.checksums.size());
            for (std::size_t i = 0; i < expected.checksums.size(); ++i) {
              EXPECT_EQ(checksumLine(r.images.checksums[i]), checksumLine(expected.checksums[i]));
            }
            std::vector<std::string> names;
            for (const auto& e : fs::directory_iterator(reference.path() / "bin")) {
              const std::string name = platform::pathToUtf8(e.path().filename());
              names.push_back(name);
              EXPECT_EQ(p.bin(name), fileBytes(e.path())) << name;
            }
            EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(p.directory / "bin"),
                                                             fs::directory_iterator())),
                      names.size());
            EXPECT_EQ(r.channelsLabel, buffer.channelsLabel);
            EXPECT_EQ(r.rowsLabel, buffer.rowsLabel);
          }
          EXPECT_EQ(r.totalProgram, keep ? manual : "");
          EXPECT_EQ(r.buffer, keep ? buffer.bytes : "");
          EXPECT_EQ(fileBytes(work.path() / pathFromUtf8(kTotalProgramFile)), working ? manual : "<missing>");
          EXPECT_EQ(fileBytes(work.path() / pathFromUtf8(kOutputBufferFile)),
                    working ? buffer.bytes : "<missing>");
        }
      }
    }
  }
}

// A record whose 基本路数 caption holds 0 (a caption without a number reads so) with a manual file
// and no title: the channel count comes from the first buffer line.
TEST(ProjectCompile, ZeroBaseChannelsTakeTheFirstLine) {
  auto s = eightChannels();
  s.title = "";
  s.baseChannels = "0";
  Project p(s, {"1右扫"});
  p.put("人工修改的花式.txt", "XXXXXXXXX\r\nX\r\n");
  const auto r = p.compile(ChipLayout::PerEightChannels);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.channelsLabel, "9");
  EXPECT_EQ(p.bin("正1.bin"), std::string("\xFF\x01", 2));
  EXPECT_EQ(p.bin("正2.bin"), std::string("\x01\x00", 2));
}

TEST(ProjectCompile, FailuresWriteNoImages) {
  {
    Project p(eightChannels(), {});
    const auto r = p.compile(ChipLayout::Single);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "请先选择花式到编程板。");
    EXPECT_FALSE(fs::exists(p.directory / "bin"));
  }
  {
    auto s = eightChannels();
    s.horizontalTitleEffect = 1;
    Project p(s, {"1右扫"});
    p.put("标题花式.bt", "X□<3>\r\n");
    const auto r = p.compile(ChipLayout::Single);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "“X□<3>”的长度有问题！");
    EXPECT_FALSE(fs::exists(p.directory / "bin"));
  }
  {
    auto s = eightChannels();
    s.columns = "500";
    Project p(s, {"1右扫"});
    EXPECT_FALSE(p.compile(ChipLayout::Single).ok);
  }
}

TEST(ProjectCompile, ImageChannelsCountTheImagePictures) {
  auto s = eightChannels();
  s.imagesOn = 1;
  Project p(s, {"1右扫"});
  for (const char* name : {"图案1.bmp", "图案2.bmp", "图案4.bmp"}) p.put(name, "BM");
  const auto r = p.compile(ChipLayout::Single);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.channelsLabel, "10");  // 8 tubes + 2 images (picture 3 is missing)
  EXPECT_EQ(platform::splitTextLines(r.totalProgram).front(), "X        X");
}

TEST(ProjectCompile, ColourCountText) {
  struct Case {
    const char* text;
    int colours;
  };
  for (const Case c :
       {Case{"2", 2}, Case{" 3 ", 3}, Case{"7", 3}, Case{"abc", 1}, Case{"0", 0}, Case{"2.5", 0}}) {
    EXPECT_EQ(design::colourCountOf(c.text), c.colours) << c.text;
  }
}

TEST(ProjectCompile, AColourCountWithoutCatalogueIsRefusedAndKeepsTheImages) {
  Project p(eightChannels(), {"1右扫"});
  ASSERT_TRUE(p.compile(ChipLayout::Single).ok);
  const std::string before = p.bin("单IC正.bin");
  for (const char* colours : {"0", "-1", "2.5"}) {
    auto s = eightChannels();
    s.colourCount = colours;
    ASSERT_TRUE(design::writeProjectRecord(p.file, design::recordOf(s, {"1右扫"})));
    const auto r = p.compile(ChipLayout::Single);
    EXPECT_FALSE(r.ok) << colours;
    EXPECT_EQ(r.message, std::string("色数“") + colours + "”不正确，应为1、2或3。");
    EXPECT_EQ(p.bin("单IC正.bin"), before);
  }
}

TEST(ProjectCompile, WithBothPreviewsOffTheVerticalOneIsOn) {
  auto s = eightChannels();
  s.showHorizontal = 0;
  s.showVertical = 0;
  s.horizontalTitleEffect = 1;  // belongs to the preview that stays off
  s.verticalTitleEffect = 0;
  Project off(s, {"27全亮"});
  off.put("标题花式.bt", "X□X<2>\r\n");
  EXPECT_EQ(off.compile(ChipLayout::Single).channelsLabel, "8");
  s.verticalTitleEffect = 1;
  Project on(s, {"27全亮"});
  on.put("标题花式.bt", "X□X<2>\r\n");
  EXPECT_EQ(on.compile(ChipLayout::Single).channelsLabel, "11");
}

TEST(ProjectCompile, TheTitleKeepsOnlyDoubleByteCharacters) {
  auto s = eightChannels();
  s.title = "AB红星";
  s.horizontalTitleEffect = 1;
  Project p(s, {"27全亮"});
  p.put("标题花式.bt", "□星<1>\r\n");
  const auto r = p.compile(ChipLayout::Single);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.channelsLabel, "10");
}

struct CliOutcome {
  int status = -1;
  std::string out;
};

CliOutcome cli(const std::string& args) {
  CliOutcome o;
  FILE* pipe = popen((std::string(LUMAFEX_CLI_PATH) + " " + args + " 2>&1").c_str(), "r");
  if (!pipe) return o;
  std::array<char, 4096> buf{};
  std::size_t n = 0;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) o.out.append(buf.data(), n);
  const int raw = pclose(pipe);
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return o;
}

TEST(CliCompile, SameImagesAsTheCoreAndTheReport) {
  auto s = eightChannels();
  s.columns = "24";
  s.colourCount = "2";
  Project p(s, {"3右扫_色彩混合", "44推挡", "55积木_变色"});
  const std::string quoted = "'" + platform::pathToUtf8(p.file) + "'";
  const auto single = cli("compile " + quoted + " --single");
  ASSERT_EQ(single.status, 0) << single.out;
  const std::string image = p.bin("单IC正.bin");
  const auto core = p.compile(ChipLayout::Single);
  EXPECT_EQ(single.out, core.images.report + "\n");
  EXPECT_EQ(p.bin("单IC正.bin"), image);
  const auto multi = cli("compile " + quoted + " --multi");
  ASSERT_EQ(multi.status, 0) << multi.out;
  for (int g = 0; g < 3; ++g) {
    const std::string chip = p.bin("正" + std::to_string(g + 1) + ".bin");
    ASSERT_EQ(chip.size() * 3, image.size());
    for (std::size_t f = 0; f < chip.size(); ++f)
      EXPECT_EQ(chip[f], image[f * 3 + static_cast<std::size_t>(g)]);
  }
  const auto assembled = cli("assemble " + quoted);
  EXPECT_EQ(assembled.status, 0);
  EXPECT_EQ(assembled.out, core.totalProgram);
}

TEST(CliCompile, FailuresAndUsage) {
  Project p(eightChannels(), {});
  const std::string quoted = "'" + platform::pathToUtf8(p.file) + "'";
  const auto empty = cli("compile " + quoted + " --single");
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.out, "请先选择花式到编程板。\n");
  EXPECT_EQ(cli("compile " + quoted).status, 2);
  EXPECT_EQ(cli("compile " + quoted + " --single --multi").status, 2);
  EXPECT_EQ(cli("compile /no/such/project.hs --single").status, 1);
}

}  // namespace
}  // namespace lumafex::compiler
