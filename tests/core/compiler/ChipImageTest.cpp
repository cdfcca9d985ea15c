// Images for EPROM programmers: chip sizes, the capacity check, padding, HEX and S-records (read
// back with srec_cat), checksums, the comparison of a chip read back, the per-project settings.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "core/compiler/ChipImage.h"
#include "core/compiler/ChipSettings.h"
#include "core/compiler/EpromImages.h"
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

std::string randomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng() & 0xFF);
  return s;
}

// `frames` buffer lines of `channels` characters, frame f lighting channel (f mod channels) + 1.
std::string buffer(int frames, int channels) {
  std::string b;
  for (int f = 0; f < frames; ++f) {
    std::string line(static_cast<std::size_t>(channels), ' ');
    line[static_cast<std::size_t>(f % channels)] = 'X';
    b += line + "\r\n";
  }
  return b;
}

TEST(Chips, EverySizeAndBothSpellings) {
  struct Case {
    const char* name;
    const char* other;
    std::size_t bytes;
  };
  const Case cases[] = {
      {"2716", "27C16", 2048},      {"2732", "27c32", 4096},     {"2764", "27C64", 8192},
      {"27128", "27C128", 16384},   {"27256", "27C256", 32768},  {"27512", "27C512", 65536},
      {"27C010", "27010", 131072},  {"27C020", "27020", 262144}, {"27C040", "27c040", 524288},
      {"27C080", "27080", 1048576},
  };
  ASSERT_EQ(chipTable().size(), std::size(cases));
  for (const Case& c : cases) {
    for (const char* spelling : {c.name, c.other}) {
      const auto chip = findChip(spelling);
      ASSERT_TRUE(chip) << spelling;
      EXPECT_EQ(chip->bytes, c.bytes) << spelling;
      EXPECT_STREQ(chip->name, c.name);
    }
    EXPECT_STREQ(smallestChipFor(c.bytes)->name, c.name);
    EXPECT_STREQ(smallestChipFor(c.bytes / 2 + 1)->name, c.name);
  }
  EXPECT_FALSE(findChip("2708"));
  EXPECT_FALSE(findChip("27C"));
  EXPECT_FALSE(findChip(""));
  EXPECT_FALSE(smallestChipFor(1048577));
}

TEST(Chips, CapacityAtTheSizeAndOneByteOver) {
  for (const Chip& chip : chipTable()) {
    ChipOptions o;
    o.chip = chip;
    o.padding = Padding::Dark;
    const auto fits = finishChipImages(o, {{"单IC正.bin", std::string(chip.bytes, 'a')}});
    ASSERT_TRUE(fits.ok) << chip.name;
    EXPECT_EQ(fits.files.at(0).bytes.size(), chip.bytes);
    const auto over = finishChipImages(o, {{"正1.bin", "x"}, {"正2.bin", std::string(chip.bytes + 1, 'a')}});
    EXPECT_FALSE(over.ok) << chip.name;
    EXPECT_TRUE(over.files.empty());
    EXPECT_NE(over.message.find("正2.bin"), std::string::npos) << over.message;
    EXPECT_NE(over.message.find(std::to_string(chip.bytes + 1) + " 字节"), std::string::npos) << over.message;
    const auto next = smallestChipFor(chip.bytes + 1);
    EXPECT_NE(over.message.find(next ? std::string("最小芯片是 ") + next->name : "没有能容纳它的芯片"),
              std::string::npos)
        << over.message;
  }
}

TEST(Chips, ARefusedCompileWritesNothing) {
  testing::TempDir project;
  const fs::path bin = project.path() / "bin";
  ASSERT_TRUE(writeEpromImages({buffer(3, 8), 8, project.path(), ChipLayout::Single, nullptr}).ok);
  const std::string before = fileBytes(bin / pathFromUtf8("单IC正.bin"));
  ChipOptions o;
  o.chip = findChip("2716");
  o.hex = true;
  const auto r = writeEpromImages({buffer(2049, 8), 8, project.path(), ChipLayout::Single, nullptr}, o);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.message.find("2732"), std::string::npos) << r.message;
  EXPECT_EQ(fileBytes(bin / pathFromUtf8("单IC正.bin")), before);
  EXPECT_FALSE(fs::exists(bin / pathFromUtf8("单IC正.hex")));
  // 2048 frames of one byte fill a 2716 exactly.
  EXPECT_TRUE(writeEpromImages({buffer(2048, 8), 8, project.path(), ChipLayout::Single, nullptr}, o).ok);
  EXPECT_EQ(fileBytes(bin / pathFromUtf8("单IC正.bin")).size(), 2048u);
}

TEST(Chips, PaddingModesForBothLayouts) {
  // 3 frames of 12 channels: B = 2; a single-chip image of 6 bytes, chip files of 3 bytes.
  const std::string frames = buffer(3, 12);
  for (const auto layout : {ChipLayout::Single, ChipLayout::PerEightChannels}) {
    testing::TempDir project;
    const fs::path bin = project.path() / "bin";
    ASSERT_TRUE(writeEpromImages({frames, 12, project.path(), layout, nullptr}).ok);
    std::vector<std::string> names =
        layout == ChipLayout::Single ? std::vector<std::string>{"单IC正.bin", "单IC反.bin"}
                                     : std::vector<std::string>{"正1.bin", "反1.bin", "正2.bin", "反2.bin"};
    std::vector<std::string> plain;
    for (const auto& n : names) plain.push_back(fileBytes(bin / pathFromUtf8(n)));

    for (const Padding padding : {Padding::Off, Padding::Dark, Padding::Repeat}) {
      ChipOptions o;
      o.chip = findChip("2716");
      o.padding = padding;
      const auto r = writeEpromImages({frames, 12, project.path(), layout, nullptr}, o);
      ASSERT_TRUE(r.ok) << r.message;
      EXPECT_EQ(r.frames, 3);
      for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string image = fileBytes(bin / pathFromUtf8(names[i]));
        const std::string& seq = plain[i];
        const char dark = isInvertedImage(names[i]) ? '\xFF' : '\0';
        SCOPED_TRACE(names[i] + " " + paddingName(padding));
        if (padding == Padding::Off) {
          EXPECT_EQ(image, seq);
          continue;
        }
        ASSERT_EQ(image.size(), 2048u);
        const std::size_t repeated = padding == Padding::Repeat ? 2048 / seq.size() * seq.size() : seq.size();
        for (std::size_t at = 0; at < repeated; ++at) ASSERT_EQ(image[at], seq[at % seq.size()]) << at;
        EXPECT_EQ(image.substr(repeated), std::string(2048 - repeated, dark));
      }
    }
  }
}

TEST(Chips, RepeatOfAnEmptySequenceIsDark) {
  EXPECT_EQ(padImage("", 4, Padding::Repeat, false), std::string(4, '\0'));
  EXPECT_EQ(padImage("", 4, Padding::Repeat, true), std::string(4, '\xFF'));
  EXPECT_EQ(padImage("ab", 4, Padding::Off, false), "ab");
}

TEST(Formats, KnownRecords) {
  std::string sixteen;
  for (int i = 0; i < 16; ++i) sixteen += static_cast<char>(i);
  EXPECT_EQ(intelHex(sixteen + "\x10"),
            ":10000000000102030405060708090A0B0C0D0E0F78\r\n:0100100010DF\r\n:00000001FF\r\n");
  EXPECT_EQ(intelHex(""), ":00000001FF\r\n");
  EXPECT_EQ(motorolaS("\x01\x02"), "S0030000FC\r\nS10500000102F7\r\nS5030001FB\r\nS9030000FC\r\n");
  // Above 64 KB: an extended linear address record at every 64 KB boundary, S2 records.
  const std::string big(0x10010, '\x55');
  const std::string hex = intelHex(big);
  EXPECT_NE(hex.find("\r\n:020000040001F9\r\n:10000000"), std::string::npos);
  EXPECT_EQ(hex.find(":02000004"), hex.rfind(":02000004"));
  const std::string srec = motorolaS(big);
  EXPECT_EQ(srec.find("S1"), std::string::npos);
  EXPECT_NE(srec.find("\r\nS214010000"), std::string::npos);
  EXPECT_NE(srec.find("S804000000FB\r\n"), std::string::npos);
  EXPECT_EQ(motorolaS(std::string(0x10000, '\0')).find("S2"), std::string::npos);
}

TEST(Formats, SrecCatReadsTheSameBytes) {
  testing::TempDir dir;
  for (const std::size_t size : {std::size_t{1}, std::size_t{17}, std::size_t{2048}, std::size_t{0x10000},
                                 std::size_t{0x10001}, std::size_t{0x20000}, std::size_t{1048576}}) {
    const std::string bytes = randomBytes(size, static_cast<unsigned>(size));
    for (const auto& [text, format] :
         {std::pair{intelHex(bytes), "-intel"}, std::pair{motorolaS(bytes), "-motorola"}}) {
      SCOPED_TRACE(std::to_string(size) + format);
      const fs::path in = dir.path() / "image.txt";
      const fs::path out = dir.path() / "image.bin";
      ASSERT_TRUE(platform::writeBytesSafely(in, text, false));
      const std::string command =
          "srec_cat '" + in.string() + "' " + format + " -o '" + out.string() + "' -binary 2>&1";
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
      EXPECT_EQ(fileBytes(out), bytes);
      EXPECT_EQ(std::string(format) == "-intel" ? readIntelHex(text) : readMotorolaS(text), bytes);
    }
  }
  EXPECT_FALSE(readIntelHex(":10000000000102030405060708090A0B0C0D0E0F79\r\n"));  // bad checksum
  EXPECT_FALSE(readMotorolaS("not a record"));
}

TEST(Checksums, KnownValues) {
  EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(crc32(""), 0u);
  EXPECT_EQ(byteSum16("123456789"), 0x01DD);
  EXPECT_EQ(byteSum16(std::string(300, '\xFF')), 0x2AD4);  // 76500 kept to 16 bits
  EXPECT_EQ(checksumLine(checksumOf({"单IC正.bin", "123456789"})), "单IC正.bin 0x01DD 0xCBF43926");
  ChipOptions o;
  o.hex = true;
  o.checksums = true;
  const auto r = finishChipImages(o, {{"正1.bin", "123456789"}});
  ASSERT_EQ(r.checksums.size(), 2u);
  EXPECT_EQ(r.checksums[1].name, "正1.hex");
  EXPECT_EQ(r.checksums[1].crc, crc32(r.files[1].bytes));
}

TEST(Verify, IdenticalFlippedShortLong) {
  // Single chip, B = 3: byte 7 is step 3, group 1; bit 2 of it is channel 11.
  const std::string image = randomBytes(30, 7);
  EXPECT_TRUE(compareImage("单IC正.bin", image, image, 3, 30).identical());
  EXPECT_EQ(describeComparison(compareImage("单IC正.bin", image, image, 3, 30)),
            "单IC正.bin：与编译结果相同\n");

  std::string flipped = image;
  flipped[7] = static_cast<char>(flipped[7] ^ 0x04);
  flipped[8] = static_cast<char>(flipped[8] ^ 0x81);
  auto c = compareImage("单IC正.bin", image, flipped, 3, 30);
  ASSERT_EQ(c.differences.size(), 1u);
  EXPECT_EQ(c.differences[0].step, 3);
  EXPECT_EQ(c.differences[0].channels, (std::vector<int>{11, 17, 24}));
  EXPECT_EQ(describeComparison(c), "单IC正.bin：与编译结果不同\n  第 3 步：路 11、17、24\n");

  // A chip per 8 channels: one byte a step, chip 2 holds channels 9 … 16; beyond 20 bytes padding.
  c = compareImage("反2.bin", image, flipped, 3, 8);
  ASSERT_EQ(c.differences.size(), 2u);
  EXPECT_EQ(c.differences[0].step, 8);
  EXPECT_EQ(c.differences[0].channels, (std::vector<int>{11}));
  EXPECT_FALSE(c.differences[0].padding);
  EXPECT_EQ(c.differences[1].channels, (std::vector<int>{9, 16}));
  EXPECT_TRUE(c.differences[1].padding);

  c = compareImage("正1.bin", image, image.substr(0, 20), 3, 30);
  EXPECT_FALSE(c.identical());
  EXPECT_TRUE(c.differences.empty());
  EXPECT_NE(describeComparison(c).find("文件长 20 字节，应为 30 字节"), std::string::npos);
  c = compareImage("正1.bin", image, image + "x", 3, 30);
  EXPECT_FALSE(c.identical());
  EXPECT_NE(describeComparison(c).find("文件长 31 字节，应为 30 字节"), std::string::npos);

  // At most ten steps are named, all are counted.
  std::string inverted = image;
  for (char& b : inverted) b = static_cast<char>(~b);
  c = compareImage("正1.bin", image, inverted, 1, 30);
  EXPECT_EQ(c.differences.size(), kMaxReportedFrames);
  EXPECT_EQ(c.differingSteps, 30);
  EXPECT_NE(describeComparison(c).find("共 30 步不同"), std::string::npos);
}

TEST(Verify, ReadBackFilesByName) {
  const std::string image = randomBytes(40, 3);
  auto r = readBackOf("正3.hex", intelHex(image));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->imageName, "正3.bin");
  EXPECT_EQ(r->bytes, image);
  r = readBackOf("单IC反.s19", motorolaS(image));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->imageName, "单IC反.bin");
  EXPECT_EQ(r->bytes, image);
  EXPECT_EQ(readBackOf("正1.bin", "raw")->bytes, "raw");
  EXPECT_FALSE(readBackOf("正1.hex", "raw"));
}

TEST(Chips, StaleCopiesGoWithTheirOptions) {
  testing::TempDir project;
  const fs::path bin = project.path() / "bin";
  ChipOptions o;
  o.hex = true;
  o.srec = true;
  ASSERT_TRUE(
      writeEpromImages({buffer(4, 24), 24, project.path(), ChipLayout::PerEightChannels, nullptr}, o).ok);
  EXPECT_TRUE(fs::exists(bin / pathFromUtf8("正3.hex")));
  EXPECT_TRUE(fs::exists(bin / pathFromUtf8("反3.s19")));
  ASSERT_TRUE(platform::writeBytesSafely(bin / "notes.hex", "mine"));
  // Fewer chips: the copies of chip 3 go with its images; without HEX the others go too.
  o.hex = false;
  ASSERT_TRUE(
      writeEpromImages({buffer(4, 16), 16, project.path(), ChipLayout::PerEightChannels, nullptr}, o).ok);
  EXPECT_FALSE(fs::exists(bin / pathFromUtf8("正3.hex")));
  EXPECT_FALSE(fs::exists(bin / pathFromUtf8("反3.s19")));
  EXPECT_FALSE(fs::exists(bin / pathFromUtf8("正1.hex")));
  EXPECT_EQ(fileBytes(bin / pathFromUtf8("正1.s19")), motorolaS(fileBytes(bin / pathFromUtf8("正1.bin"))));
  // A plain compile leaves only the plain images.
  ASSERT_TRUE(
      writeEpromImages({buffer(4, 16), 16, project.path(), ChipLayout::PerEightChannels, nullptr}).ok);
  EXPECT_FALSE(fs::exists(bin / pathFromUtf8("正1.s19")));
  EXPECT_EQ(fileBytes(bin / "notes.hex"), "mine");
}

TEST(Chips, InMemoryOnlyTouchesNothing) {
  testing::TempDir project;
  ChipOptions o;
  o.inMemoryOnly = true;
  o.chip = findChip("2732");
  o.padding = Padding::Repeat;
  const auto r = writeEpromImages({buffer(5, 16), 16, project.path(), ChipLayout::Single, nullptr}, o);
  ASSERT_TRUE(r.ok);
  EXPECT_FALSE(fs::exists(project.path() / "bin"));
  ASSERT_EQ(r.files.size(), 2u);
  EXPECT_EQ(r.files[0].name, "单IC正.bin");
  EXPECT_EQ(r.files[0].bytes.size(), 4096u);
  EXPECT_EQ(r.frames, 5);
}

TEST(ChipSettingsFile, RoundTripAndDefaults) {
  testing::TempDir project;
  EXPECT_TRUE(readChipSettings(project.path()).isDefault());
  ASSERT_TRUE(writeChipSettings(project.path(), ChipChoice{}));
  EXPECT_FALSE(fs::exists(project.path() / pathFromUtf8(kChipSettingsFile)));  // no file for defaults

  ChipChoice c;
  c.chip = findChip("27C256");
  c.padding = Padding::Repeat;
  c.hex = true;
  ASSERT_TRUE(writeChipSettings(project.path(), c));
  const fs::path file = project.path() / pathFromUtf8(kChipSettingsFile);
  // GBK, CR LF: "[芯片]" is D0 BE C6 AC in GBK.
  EXPECT_EQ(fileBytes(file).substr(0, 8), "[\xD0\xBE\xC6\xAC]\r\n");
  const ChipChoice back = readChipSettings(project.path());
  ASSERT_TRUE(back.chip);
  EXPECT_STREQ(back.chip->name, "27256");
  EXPECT_EQ(back.padding, Padding::Repeat);
  EXPECT_TRUE(back.hex);
  EXPECT_FALSE(back.srec);
  // Back to the defaults: the file stays and says so.
  ASSERT_TRUE(writeChipSettings(project.path(), ChipChoice{}));
  EXPECT_TRUE(readChipSettings(project.path()).isDefault());

  const ChipChoice odd = parseChipSettings({std::string("型号 = 27c64 "), std::string("填充=sideways"),
                                            std::nullopt, std::string("HEX=yes"), std::string("S记录=1")});
  ASSERT_TRUE(odd.chip);
  EXPECT_STREQ(odd.chip->name, "2764");
  EXPECT_EQ(odd.padding, Padding::Off);
  EXPECT_FALSE(odd.hex);
  EXPECT_TRUE(odd.srec);
  // Padding without a chip means nothing.
  ChipChoice noChip;
  noChip.padding = Padding::Dark;
  EXPECT_FALSE(noChip.options().active());
}

}  // namespace
}  // namespace lumafex::compiler
