// Chips read back into frames: the inverse of the image writers for both layouts and polarities,
// the padding of every mode recognised and dropped, the refusals, the widths suggested for a
// single image, and the project an import writes (compiled again to the same chips).

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "core/app/ImportedProject.h"
#include "core/app/ProjectPaths.h"
#include "core/compiler/ChipImport.h"
#include "core/compiler/ChipSettings.h"
#include "core/compiler/EpromImages.h"
#include "core/compiler/OutputBuffer.h"
#include "core/compiler/ProjectCompile.h"
#include "core/patterns/Catalogue.h"
#include "core/patterns/StepText.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::compiler {
namespace {

namespace fs = std::filesystem;
using platform::pathFromUtf8;

std::string fileBytes(const fs::path& p) {
  auto r = platform::readBytes(p);
  return r ? *r : std::string("<missing>");
}

// `frames` lines of `channels` characters: random lamps, the last frame lighting channel 1 and the
// last channel (so nothing at the end looks like padding, and the width is plain to see).
std::string randomSequence(int frames, int channels, unsigned seed) {
  std::mt19937 rng(seed);
  std::string text;
  for (int f = 0; f < frames; ++f) {
    std::string line(static_cast<std::size_t>(channels), ' ');
    for (char& c : line) c = rng() % 3 == 0 ? 'X' : ' ';
    if (f == frames - 1) line.front() = line.back() = 'X';
    text += line + "\r\n";
  }
  return text;
}

// The images the writers make of a sequence (in memory), by name.
std::map<std::string, std::string> imagesOf(const std::string& sequence, int channels, ChipLayout layout,
                                            std::optional<Chip> chip = {}, Padding padding = Padding::Off) {
  ImageInput in;
  in.buffer = sequence;
  in.channels = channels;
  in.projectDirectory = "/nonexistent";
  in.layout = layout;
  ChipOptions options;
  options.chip = chip;
  options.padding = padding;
  options.inMemoryOnly = true;
  ImageSet set;
  const ImageResult r = buildEpromImages(in, set, options);
  EXPECT_TRUE(r.ok) << r.message;
  std::map<std::string, std::string> files;
  for (const auto& f : r.files) files[f.name] = f.bytes;
  return files;
}

// The chips of one polarity, chip 1 first.
std::vector<ChipSource> chipsOf(const std::map<std::string, std::string>& images, ChipLayout layout,
                                bool inverted) {
  std::vector<ChipSource> chips;
  if (layout == ChipLayout::Single) {
    const std::string name = inverted ? kSingleInverted : kSinglePositive;
    chips.push_back({name, images.at(name)});
    return chips;
  }
  for (int i = 1;; ++i) {
    const std::string name = inverted ? chipInvertedName(i) : chipPositiveName(i);
    if (!images.count(name)) break;
    chips.push_back({name, images.at(name)});
  }
  return chips;
}

Result<ImportedSequence> importOf(std::vector<ChipSource> chips, ChipLayout layout, int channels,
                                  bool inverted, bool keepPadding = false) {
  ImportRequest request;
  request.layout = layout;
  request.chips = std::move(chips);
  request.channels = channels;
  request.inverted = inverted;
  request.keepPadding = keepPadding;
  return importChips(std::move(request));
}

TEST(ChipImport, EveryLayoutPolarityPaddingAndChipGivesTheSameChipsBack) {
  struct Case {
    int channels;
    int frames;
    ChipLayout layout;
    const char* chip;  // nullptr: no chip size
    Padding padding;
    Padding found;  // what the import recognises
  };
  const Case cases[] = {
      {8, 394, ChipLayout::Single, nullptr, Padding::Off, Padding::Off},
      {4, 50, ChipLayout::Single, "2716", Padding::Dark, Padding::Dark},
      {12, 300, ChipLayout::Single, "2716", Padding::Repeat, Padding::Repeat},
      // 3 bytes a frame: a part frame at the end
      {17, 200, ChipLayout::Single, "2732", Padding::Dark, Padding::Dark},
      // 5 bytes a frame, 4 repetitions and a part frame
      {40, 100, ChipLayout::Single, "2716", Padding::Repeat, Padding::Repeat},
      // the sample's size: 2 repetitions
      {64, 394, ChipLayout::Single, "2764", Padding::Repeat, Padding::Repeat},
      {72, 394, ChipLayout::PerEightChannels, "2716", Padding::Repeat, Padding::Repeat},
      {72, 394, ChipLayout::PerEightChannels, "2716", Padding::Dark, Padding::Dark},
      {300, 60, ChipLayout::PerEightChannels, nullptr, Padding::Off, Padding::Off},  // 38 chips
      {304, 60, ChipLayout::PerEightChannels, "2716", Padding::Repeat, Padding::Repeat},
      {304, 60, ChipLayout::Single, "27C256", Padding::Dark, Padding::Dark},
      {600, 20, ChipLayout::Single, nullptr, Padding::Off, Padding::Off},
      // one copy only fits: the rest is dark
      {9, 1100, ChipLayout::PerEightChannels, "2716", Padding::Repeat, Padding::Dark},
      {8, 2048, ChipLayout::Single, "2716", Padding::Dark, Padding::Off},  // fills the chip
  };
  for (const Case& c : cases) {
    for (const bool inverted : {false, true}) {
      SCOPED_TRACE(std::to_string(c.channels) + " channels, " + (c.chip ? c.chip : "no chip") + ", " +
                   paddingName(c.padding) + (inverted ? ", inverted" : ""));
      const std::string sequence = randomSequence(c.frames, c.channels, static_cast<unsigned>(c.channels));
      const std::optional<Chip> chip = c.chip ? findChip(c.chip) : std::nullopt;
      const auto images = imagesOf(sequence, c.channels, c.layout, chip, c.padding);
      const auto imported = importOf(chipsOf(images, c.layout, inverted), c.layout, c.channels, inverted);
      ASSERT_TRUE(imported) << imported.error();
      EXPECT_EQ(imported->frames, c.frames);
      EXPECT_EQ(sequenceText(*imported), sequence);
      EXPECT_EQ(imported->padding.kind, c.found);
      // The frames compiled again with the same chip choices: the same files.
      EXPECT_EQ(imagesOf(sequenceText(*imported), c.channels, c.layout, chip, c.padding), images);
    }
  }
}

TEST(ChipImport, PaddingFoundAndWhatItSays) {
  const Chip chip2716 = *findChip("2716");
  struct Case {
    const char* what;
    std::string image;  // positive, one byte a frame
    long frames;
    Padding kind;
    long repetitions;
    long darkFrames;
  };
  const std::string a = "\x01\x02\x04\x08";
  const Case cases[] = {
      {"dark tail", a + std::string(2044, '\0'), 4, Padding::Dark, 0, 2044},
      {"repeat then dark",
       [&] {
         std::string s;
         for (int i = 0; i < 512; ++i) s += a;
         return s;
       }(),
       4, Padding::Repeat, 512, 0},
      {"three copies, dark rest",
       [&] {
         std::string seq = a + std::string(596, '\0') + "\x10";  // 601 frames ending lit
         return seq + seq + seq + std::string(2048 - 3 * 601, '\0');
       }(),
       601, Padding::Repeat, 3, 2048 - 3 * 601},
      {"nothing lit at all", std::string(2048, '\0'), 1, Padding::Dark, 0, 2047},
      {"full chip, last frame lit", std::string(2047, '\x11') + "\x22", 2048, Padding::Off, 0, 0},
      {"not a chip size: dark frames stay", a + std::string(100, '\0'), 104, Padding::Off, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto s = importOf({{"chip.bin", c.image}}, ChipLayout::Single, 8, false);
    ASSERT_TRUE(s) << s.error();
    EXPECT_EQ(s->frames, c.frames);
    EXPECT_EQ(s->padding.kind, c.kind);
    EXPECT_EQ(s->padding.repetitions, c.repetitions);
    EXPECT_EQ(s->padding.darkFrames, c.darkFrames);
    EXPECT_EQ(s->padding.chip.has_value(), c.image.size() == 2048);
    // Whatever was dropped comes back with the padding found (dark when nothing was dropped).
    if (s->padding.chip) {
      const Padding again = c.kind == Padding::Off ? Padding::Dark : c.kind;
      EXPECT_EQ(imagesOf(sequenceText(*s), 8, ChipLayout::Single, chip2716, again).at(kSinglePositive),
                c.image);
    }
    // Kept padding: every whole frame of the file.
    const auto kept = importOf({{"chip.bin", c.image}}, ChipLayout::Single, 8, false, true);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->frames, static_cast<long>(c.image.size()));
    EXPECT_EQ(kept->padding.kind, Padding::Off);
  }
  const auto dark = importOf({{"chip.bin", a + std::string(2044, '\0')}}, ChipLayout::Single, 8, false);
  EXPECT_NE(describeImport(*dark).find("dark，最后点亮的一步之后 2044 步全灭"), std::string::npos)
      << describeImport(*dark);
}

TEST(ChipImport, ARepeatedSequenceThatEndsDarkIsFoundWhole) {
  // 700 frames whose last 300 are dark, twice on a 2716: the repetition is the sequence with its
  // dark end, not the lit part alone.
  std::string lines = randomSequence(400, 8, 7);
  for (int i = 0; i < 300; ++i) lines += "        \r\n";
  const auto images = imagesOf(lines, 8, ChipLayout::Single, findChip("2716"), Padding::Repeat);
  const auto s = importOf(chipsOf(images, ChipLayout::Single, false), ChipLayout::Single, 8, false);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->frames, 700);
  EXPECT_EQ(s->padding.kind, Padding::Repeat);
  EXPECT_EQ(sequenceText(*s), lines);
}

TEST(ChipImport, Refusals) {
  struct Case {
    const char* what;
    ChipLayout layout;
    std::vector<ChipSource> chips;
    int channels;
    bool inverted;
    const char* message;  // a part of it
  };
  const Case cases[] = {
      {"no file", ChipLayout::Single, {}, 8, false, "没有芯片文件"},
      {"empty", ChipLayout::Single, {{"a.bin", ""}}, 8, false, "是空的"},
      {"odd size", ChipLayout::Single, {{"a.bin", std::string(101, '\1')}}, 16, false, "不是每步 2 字节"},
      {"chip size, lit part frame",
       ChipLayout::Single,
       {{"a.bin", std::string(2048, '\1')}},
       24,
       false,
       "不是每步 3 字节"},
      {"lit beyond the channels",
       ChipLayout::Single,
       {{"a.bin", std::string("\x01\x01\x01\x20")}},
       12,
       false,
       "第 2 步点亮了第 14 路，超出了路数 12"},
      {"chips of different lengths",
       ChipLayout::PerEightChannels,
       {{"1.bin", "ab"}, {"2.bin", "abc"}},
       0,
       false,
       "长度不同"},
      {"too few chips for the channels",
       ChipLayout::PerEightChannels,
       {{"1.bin", "a"}},
       16,
       false,
       "16 路需要 2 个芯片"},
      {"channels out of range", ChipLayout::Single, {{"a.bin", "a"}}, 3, false, "路数 3 不正确"},
      {"too many chips", ChipLayout::PerEightChannels, std::vector<ChipSource>(76, {"x.bin", "a"}), 0, false,
       "最多 600 路"},
      {"single without channels", ChipLayout::Single, {{"a.bin", "a"}}, 0, false, "--channels"},
      {"an inverted file read as positive",
       ChipLayout::PerEightChannels,
       {{"反1.bin", "a"}},
       0,
       false,
       "请按反相读入（--inverted）"},
      {"a positive file read as inverted",
       ChipLayout::Single,
       {{"单IC正.hex", "a"}},
       8,
       true,
       "请按正相读入"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto s = importOf(c.chips, c.layout, c.channels, c.inverted);
    ASSERT_FALSE(s);
    EXPECT_NE(s.error().find(c.message), std::string::npos) << s.error();
  }
}

TEST(ChipImport, FilesDecodedByTheirNames) {
  const std::string bytes = "\x81\x42\x00\xFF";
  struct Case {
    const char* name;
    std::string text;
    bool ok;
  };
  const Case cases[] = {
      {"a.bin", bytes, true},
      {"a.HEX", intelHex(bytes), true},
      {"a.s19", motorolaS(bytes), true},
      {"a.srec", motorolaS(bytes), true},
      {"a.hex", "not hex", false},
      {"a.s19", ":00000001FF\r\n", false},
      {"a.hex", ":00000001FF\r\n", false},  // a valid file without data: empty
      {"a.bin", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + (" " + c.text.substr(0, 12)));
    const auto s = chipSourceOf(c.name, c.text);
    ASSERT_EQ(static_cast<bool>(s), c.ok) << (s ? "" : s.error());
    if (c.ok) {
      EXPECT_EQ(s->bytes, bytes);
    }
  }
}

TEST(ChipImport, NamesGivePolarityAndChipOrder) {
  const std::pair<const char*, std::optional<bool>> names[] = {
      {"单IC正.bin", false},       {"单IC反.hex", true},     {"正12.s19", false},
      {"反3.bin", true},           {"正.bin", std::nullopt}, {"反03.bin", std::nullopt},
      {"chip1.bin", std::nullopt}, {"dir/反2.bin", true},
  };
  for (const auto& [name, inverted] : names) EXPECT_EQ(invertedByName(name), inverted) << name;

  // A shell's order: 正1, 正10, 正11, 正2, …
  std::vector<ChipSource> chips;
  for (const char* n : {"正1.bin", "正10.bin", "正11.bin", "正2.bin", "正3.bin", "正4.bin", "正5.bin",
                        "正6.bin", "正7.bin", "正8.bin", "正9.bin"})
    chips.push_back({n, n});
  EXPECT_TRUE(orderByChipNumber(chips));
  for (std::size_t i = 0; i < chips.size(); ++i)
    EXPECT_EQ(chips[i].name, "正" + std::to_string(i + 1) + ".bin");
  EXPECT_FALSE(orderByChipNumber(chips));  // already in order
  std::vector<ChipSource> gap = {{"c2.bin", ""}, {"c3.bin", ""}};
  EXPECT_FALSE(orderByChipNumber(gap));  // not 1 … n: the given order stays
  EXPECT_EQ(gap.front().name, "c2.bin");
  std::vector<ChipSource> twice = {{"b2.bin", ""}, {"a2.bin", ""}};
  EXPECT_FALSE(orderByChipNumber(twice));
}

TEST(ChipImport, LikelyWidthsPutTheRealOneFirst) {
  struct Case {
    int channels;
    const char* chip;
  };
  const Case cases[] = {{64, nullptr}, {12, nullptr},  {40, "2716"},
                        {24, nullptr}, {72, "27C256"}, {300, nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.channels);
    // A board as signs have them: a sweep, a chase, a burst and building blocks.
    std::string lines;
    for (const char* generator : {"S1", "S10", "S14", "S24"}) {
      patterns::StepWriter out;
      ASSERT_TRUE(patterns::runGenerator(*patterns::findGenerator(generator), c.channels, 1, out));
      lines += out.bytes();
    }
    const auto chip = c.chip ? findChip(c.chip) : std::nullopt;
    for (const bool inverted : {false, true}) {
      const auto images = imagesOf(lines, c.channels, ChipLayout::Single, chip, Padding::Dark);
      const auto widths = likelyWidths(images.at(inverted ? kSingleInverted : kSinglePositive), inverted);
      ASSERT_FALSE(widths.empty());
      EXPECT_EQ(widths.front().channels, c.channels) << describeWidths(widths);
      EXPECT_EQ(widths.front().bytesPerFrame, bytesPerFrame(c.channels));
      EXPECT_LE(widths.size(), 5u);
    }
  }
  EXPECT_TRUE(likelyWidths("", false).empty());
  EXPECT_NE(describeWidths({}).find("没有合适的路数"), std::string::npos);
}

// ---- The project an import writes ----

struct Imported {
  testing::TempDir dir;
  fs::path file;
  fs::path folder;
  explicit Imported(const char* name = "旧招牌.hs") {
    file = dir.path() / pathFromUtf8(name);
    folder = app::projectDirectory(file);
  }
};

TEST(ImportedProject, CompilesBackToTheChipsInBothLayouts) {
  struct Case {
    int channels;
    ChipLayout layout;
    const char* chip;
    Padding padding;
  };
  const Case cases[] = {
      {64, ChipLayout::Single, "2764", Padding::Repeat},
      {20, ChipLayout::PerEightChannels, "2716", Padding::Dark},
      {304, ChipLayout::PerEightChannels, nullptr, Padding::Off},  // 300 columns and 4 image channels
      {310, ChipLayout::Single, "27C256", Padding::Repeat},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.channels);
    const std::string sequence = randomSequence(150, c.channels, 3);
    const auto chip = c.chip ? findChip(c.chip) : std::nullopt;
    const auto images = imagesOf(sequence, c.channels, c.layout, chip, c.padding);
    auto imported = importOf(chipsOf(images, c.layout, false), c.layout, c.channels, false);
    ASSERT_TRUE(imported) << imported.error();
    Imported p;
    ASSERT_TRUE(app::createImportedProject(p.file, *imported));

    auto project = loadProject(p.file);
    ASSERT_TRUE(project) << project.error();
    EXPECT_EQ(project->board, std::vector<std::string>{app::kImportedBoardEntry});
    EXPECT_EQ(project->settings.columns, std::to_string(std::min(c.channels, 300)));
    EXPECT_EQ(project->settings.baseChannels, std::to_string(c.channels));
    EXPECT_EQ(project->imageCount, std::max(0, c.channels - 300));
    EXPECT_EQ(fileBytes(p.folder / pathFromUtf8(kManualFile)), sequence);
    // The chip and the padding found are the project's chip choices.
    const ChipChoice choice = readChipSettings(p.folder);
    EXPECT_EQ(choice.chip.has_value(), chip.has_value());
    if (chip) {
      EXPECT_EQ(choice.padding, c.padding);
    }

    CompileRequest request;
    request.layout = c.layout;
    request.sequence = Sequence::ManualFile;
    request.workDirectory = p.dir.path();
    request.chip = choice.options();
    request.chip.inMemoryOnly = true;
    const CompileResult r = compileProject(*project, request);
    ASSERT_TRUE(r.ok) << r.message;
    std::map<std::string, std::string> again;
    for (const auto& f : r.images.files) again[f.name] = f.bytes;
    EXPECT_EQ(again, images);
  }
}

TEST(ImportedProject, NeverReplacesAnythingAndLeavesNothingOnRefusal) {
  const auto imported = importOf({{"a.bin", "\x01\x02\x03"}}, ChipLayout::Single, 8, false);
  ASSERT_TRUE(imported);
  {
    Imported p;
    ASSERT_TRUE(platform::writeBytesSafely(p.file, "old"));
    const Status s = app::createImportedProject(p.file, *imported);
    ASSERT_FALSE(s);
    EXPECT_NE(s.error().find("已经存在"), std::string::npos);
    EXPECT_EQ(fileBytes(p.file), "old");
    EXPECT_FALSE(fs::exists(p.folder));
  }
  {
    Imported p;
    fs::create_directories(p.folder);
    ASSERT_TRUE(platform::writeBytesSafely(p.folder / "keep.txt", "mine"));
    const Status s = app::createImportedProject(p.file, *imported);
    ASSERT_FALSE(s);
    EXPECT_NE(s.error().find("工程目录"), std::string::npos);
    EXPECT_FALSE(fs::exists(p.file));
    EXPECT_EQ(fileBytes(p.folder / "keep.txt"), "mine");
  }
  {
    Imported p("无扩展名");
    EXPECT_FALSE(app::createImportedProject(p.file, *imported));
    EXPECT_TRUE(fs::is_empty(p.dir.path()));
  }
  {
    // A directory that cannot be written: the refusal leaves nothing behind.
    Imported p;
    fs::permissions(p.dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const bool root = ::geteuid() == 0;
    const Status s = app::createImportedProject(p.file, *imported);
    fs::permissions(p.dir.path(), fs::perms::owner_all);
    if (!root) {
      EXPECT_FALSE(s);
      EXPECT_TRUE(fs::is_empty(p.dir.path()));
    }
  }
  {
    Imported p;
    ASSERT_TRUE(app::createImportedProject(p.file, *imported));
    // Only the project's own files: no temporary record left beside it.
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(p.dir.path()))
      names.push_back(platform::pathToUtf8(e.path().filename()));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"旧招牌", "旧招牌.hs"}));
    EXPECT_EQ(fileBytes(p.folder / pathFromUtf8(kManualFile)), "X       \r\n X      \r\nXX      \r\n");
    EXPECT_FALSE(fs::exists(p.folder / pathFromUtf8(kChipSettingsFile)));  // no chip size: no choices
  }
}

}  // namespace
}  // namespace lumafex::compiler
