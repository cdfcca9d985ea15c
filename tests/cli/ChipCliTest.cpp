// lumafex-cli compile with chip options and lumafex-cli verify, on a copy of the sample project.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "core/compiler/ChipImage.h"
#include "core/platform/TextFile.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

namespace lumafex::compiler {
namespace {

namespace fs = std::filesystem;
using platform::pathFromUtf8;
using testing::runCli;

std::string fileBytes(const fs::path& p) {
  auto r = platform::readBytes(p);
  return r ? *r : std::string("<missing>");
}

// The sample project "Velarn工作室" (64 channels, two colours, a title of 4 characters: 72
// channels, 9 bytes a frame, 394 frames) in a directory of its own.
struct Sample {
  testing::TempDir dir;
  fs::path file;
  fs::path bin;
  Sample() {
    const fs::path data = fs::path(LUMAFEX_TEST_DATA) / ".." / ".." / "data";
    fs::copy(data / pathFromUtf8("Velarn工作室.hs"), dir.path());
    fs::copy(data / pathFromUtf8("Velarn工作室"), dir.path() / pathFromUtf8("Velarn工作室"),
             fs::copy_options::recursive);
    file = dir.path() / pathFromUtf8("Velarn工作室.hs");
    bin = dir.path() / pathFromUtf8("Velarn工作室") / "bin";
  }
  testing::CliOutcome cli(const std::string& command, const std::string& rest) const {
    return runCli(command + " '" + platform::pathToUtf8(file) + "' " + rest, true);
  }
  std::string image(const std::string& name) const { return fileBytes(bin / pathFromUtf8(name)); }
};

std::string srecCat(const fs::path& file, const char* format, const fs::path& out) {
  const std::string command =
      "srec_cat '" + file.string() + "' " + format + " -o '" + out.string() + "' -binary 2>&1";
  if (std::system(command.c_str()) != 0) return "<srec_cat failed>";
  return fileBytes(out);
}

TEST(ChipCli, DarkPaddingHexAndChecksums) {
  Sample s;
  const auto plain = s.cli("compile", "--single");
  ASSERT_EQ(plain.status, 0) << plain.out;
  const std::string positive = s.image("单IC正.bin");
  const std::string inverted = s.image("单IC反.bin");
  ASSERT_EQ(positive.size(), 394u * 9u);

  const auto o = s.cli("compile", "--single --chip 27C64 --pad dark --format bin,hex --checksums");
  ASSERT_EQ(o.status, 0) << o.out;
  EXPECT_EQ(o.out.substr(0, plain.out.size()), plain.out);  // the report as before, then the checksums
  for (const auto& [name, before, dark] :
       {std::tuple{"单IC正", positive, '\0'}, std::tuple{"单IC反", inverted, '\xFF'}}) {
    const std::string image = s.image(std::string(name) + ".bin");
    ASSERT_EQ(image.size(), 8192u);
    EXPECT_EQ(image.substr(0, before.size()), before);
    EXPECT_EQ(image.substr(before.size()), std::string(8192 - before.size(), dark));
    EXPECT_EQ(srecCat(s.bin / pathFromUtf8(std::string(name) + ".hex"), "-intel", s.dir.path() / "back.bin"),
              image);
  }
  std::istringstream lines(o.out.substr(plain.out.size()));
  std::string name, sum, crc;
  int count = 0;
  while (lines >> name >> sum >> crc) {
    const std::string bytes = s.image(name);
    EXPECT_EQ(checksumLine(checksumOf({name, bytes})), name + " " + sum + " " + crc);
    ++count;
  }
  EXPECT_EQ(count, 4);  // two images, two HEX files
  EXPECT_NE(o.out.find("\n单IC正.hex 0x"), std::string::npos);
}

TEST(ChipCli, TooSmallAChipWritesNothing) {
  Sample s;
  const auto o = s.cli("compile", "--single --chip 2716 --pad dark --format bin,hex,srec");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.out.find("3546 字节"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("最小芯片是 2732（4096 字节）"), std::string::npos) << o.out;
  EXPECT_FALSE(fs::exists(s.bin / pathFromUtf8("单IC正.bin")));
  EXPECT_FALSE(fs::exists(s.bin / pathFromUtf8("单IC正.hex")));
}

TEST(ChipCli, RepeatPerEightChannelsWithSRecords) {
  Sample s;
  ASSERT_EQ(s.cli("compile", "--multi").status, 0);
  std::vector<std::string> plain;
  for (int i = 1; i <= 9; ++i) plain.push_back(s.image("正" + std::to_string(i) + ".bin"));
  const auto o = s.cli("compile", "--multi --chip 2716 --pad repeat --format srec");
  ASSERT_EQ(o.status, 0) << o.out;
  for (int i = 1; i <= 9; ++i) {
    const std::string& seq = plain[static_cast<std::size_t>(i - 1)];
    ASSERT_EQ(seq.size(), 394u);
    const std::string image = s.image("正" + std::to_string(i) + ".bin");
    ASSERT_EQ(image.size(), 2048u);
    EXPECT_EQ(image.substr(0, 5 * 394), seq + seq + seq + seq + seq);
    EXPECT_EQ(image.substr(5 * 394), std::string(2048 - 5 * 394, '\0'));
    EXPECT_EQ(srecCat(s.bin / pathFromUtf8("正" + std::to_string(i) + ".s19"), "-motorola",
                      s.dir.path() / "back.bin"),
              image);
    EXPECT_EQ(s.image("反" + std::to_string(i) + ".bin").substr(5 * 394),
              std::string(2048 - 5 * 394, '\xFF'));
  }
}

TEST(ChipCli, VerifyAReadBackChip) {
  Sample s;
  ASSERT_EQ(s.cli("compile", "--single --chip 27C64 --pad dark").status, 0);
  const std::string image = s.image("单IC正.bin");
  const fs::path readBack = s.dir.path() / pathFromUtf8("单IC正.bin");
  ASSERT_TRUE(platform::writeBytesSafely(readBack, image));
  const std::string file = " '" + platform::pathToUtf8(readBack) + "'";

  auto o = s.cli("verify", "--single --chip 27C64 --pad dark" + file);
  EXPECT_EQ(o.status, 0) << o.out;
  EXPECT_EQ(o.out, "单IC正.bin：与编译结果相同\n");
  // Without the padding the compile is shorter than the chip read back.
  o = s.cli("verify", "--single" + file);
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.out.find("文件长 8192 字节，应为 3546 字节"), std::string::npos) << o.out;

  // Byte 9·41 + 2 is step 42, channels 17 … 24; bit 5 is channel 22.
  std::string flipped = image;
  flipped[9 * 41 + 2] = static_cast<char>(flipped[9 * 41 + 2] ^ 0x20);
  ASSERT_TRUE(platform::writeBytesSafely(readBack, flipped));
  o = s.cli("verify", "--single --chip 27C64 --pad dark" + file);
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "单IC正.bin：与编译结果不同\n  第 42 步：路 22\n");

  ASSERT_TRUE(platform::writeBytesSafely(readBack, image.substr(0, 100)));
  o = s.cli("verify", "--single --chip 27C64 --pad dark" + file);
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.out.find("文件长 100 字节，应为 8192 字节"), std::string::npos) << o.out;

  // The bin directory was not touched by verify.
  EXPECT_EQ(s.image("单IC正.bin"), image);
  EXPECT_FALSE(fs::exists(s.bin / pathFromUtf8("正1.bin")));
}

TEST(ChipCli, BadArguments) {
  Sample s;
  const fs::path some = s.dir.path() / pathFromUtf8("正1.bin");
  ASSERT_TRUE(platform::writeBytesSafely(some, "x"));
  const std::string file = " '" + platform::pathToUtf8(some) + "'";
  for (const auto& [command, rest] : {
           std::pair{"compile", "--single --chip 2708"},
           std::pair{"compile", "--single --pad dark"},  // padding needs a chip
           std::pair{"compile", "--single --chip 2764 --pad grey"},
           std::pair{"compile", "--single --format bin,zip"},
           std::pair{"compile", "--single --format ,"},
           std::pair{"verify", "--single"},
           std::pair{"verify", "--single --format hex '/no/such/file.bin'"},
           std::pair{"verify", "'/no/such/正1.bin'"},
           std::pair{"verify", "--multi '/no/such/正1.bin'"},
           std::pair{"verify", "--single x.bin"},
       }) {
    EXPECT_EQ(s.cli(command, rest).status, 2) << command << " " << rest;
  }
  // A name the compile does not write.
  EXPECT_EQ(s.cli("verify", "--single" + file).status, 2);
  EXPECT_EQ(s.cli("verify", "--multi" + file).status, 1);  // 正1.bin exists but differs
  EXPECT_FALSE(fs::exists(s.bin));
}

}  // namespace
}  // namespace lumafex::compiler
