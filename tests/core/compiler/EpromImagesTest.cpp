// Stage two: the EPROM images, checked against golden files and the relations between layouts.

#include <gtest/gtest.h>

#include <climits>
#include <fstream>

#include "core/compiler/EpromImages.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::compiler {
namespace {

namespace fs = std::filesystem;
using platform::pathFromUtf8;
using platform::readBytes;

std::vector<fs::path> goldenCases() {
  std::vector<fs::path> cases;
  for (const auto& e : fs::directory_iterator(fs::path(LUMAFEX_TEST_DATA) / "images"))
    cases.push_back(e.path());
  std::sort(cases.begin(), cases.end());
  return cases;
}

class GoldenImages : public ::testing::TestWithParam<fs::path> {};

TEST_P(GoldenImages, BytesMatch) {
  const fs::path dir = GetParam();
  const std::string buffer = *readBytes(dir / "buffer.txt");
  const long channels = std::stol(*readBytes(dir / "channels"));
  for (const auto& [name, layout] :
       {std::pair{"single", ChipLayout::Single}, std::pair{"multi", ChipLayout::PerEightChannels}}) {
    if (!fs::exists(dir / name)) continue;
    testing::TempDir project;
    const auto r = writeEpromImages({buffer, channels, project.path(), layout, nullptr});
    ASSERT_TRUE(r.ok) << r.message;
    std::size_t files = 0;
    for (const auto& expected : fs::directory_iterator(dir / name)) {
      ++files;
      const auto actual = readBytes(project.path() / "bin" / expected.path().filename());
      ASSERT_TRUE(actual) << expected.path();
      EXPECT_EQ(*actual, *readBytes(expected.path())) << expected.path();
    }
    EXPECT_EQ(static_cast<std::size_t>(
                  std::distance(fs::directory_iterator(project.path() / "bin"), fs::directory_iterator())),
              files);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenImages, ::testing::ValuesIn(goldenCases()), [](const auto& info) {
  std::string s = info.param.filename().string();
  for (char& c : s) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return s;
});

std::string frames(int count, int width) {
  std::string s;
  for (int f = 0; f < count; ++f) {
    for (int k = 0; k < width; ++k) s += ((f * 7 + k * 3) % 5 < 2) ? 'X' : ((k % 3) ? ' ' : '_');
    s += "\r\n";
  }
  return s;
}

TEST(EpromImages, EachChipIsEveryBthByteOfTheSingleImage) {
  const std::string buffer = frames(100, 40);
  testing::TempDir project;
  ASSERT_TRUE(writeEpromImages({buffer, 40, project.path(), ChipLayout::Single, nullptr}).ok);
  ASSERT_TRUE(writeEpromImages({buffer, 40, project.path(), ChipLayout::PerEightChannels, nullptr}).ok);
  const fs::path bin = project.path() / "bin";
  const std::string single = *readBytes(bin / pathFromUtf8(kSinglePositive));
  const std::string inverted = *readBytes(bin / pathFromUtf8(kSingleInverted));
  ASSERT_EQ(single.size(), 500u);
  for (int g = 0; g < 5; ++g) {
    const std::string chip = *readBytes(bin / pathFromUtf8(chipPositiveName(g + 1)));
    const std::string chipInv = *readBytes(bin / pathFromUtf8(chipInvertedName(g + 1)));
    ASSERT_EQ(chip.size(), 100u);
    for (std::size_t f = 0; f < 100; ++f) {
      EXPECT_EQ(chip[f], single[f * 5 + static_cast<std::size_t>(g)]);
      EXPECT_EQ(static_cast<unsigned char>(chip[f]) + static_cast<unsigned char>(chipInv[f]), 255);
      EXPECT_EQ(chipInv[f], inverted[f * 5 + static_cast<std::size_t>(g)]);
    }
  }
}

TEST(EpromImages, Reports) {
  testing::TempDir project;
  const std::string bin = platform::pathToUtf8(project.path() / "bin");
  const std::string header = "           -------------生成EPROM文件:-------------           \r\n";
  auto r = writeEpromImages({frames(100, 40), 40, project.path(), ChipLayout::Single, nullptr});
  EXPECT_EQ(r.report, header + "每帧字节数＝5 字节\r\n" + bin + "/单IC正.bin\r\n" + bin +
                          "/单IC反.bin\r\n\r\n" + "\r\n\r\n总步数＝100");
  EXPECT_EQ(r.bytes, 5);
  r = writeEpromImages({frames(3, 12), 12, project.path(), ChipLayout::PerEightChannels, nullptr});
  EXPECT_EQ(r.report, header + bin + "/正1.bin\r\n" + bin + "/反1.bin\r\n\r\n" + bin + "/正2.bin\r\n" + bin +
                          "/反2.bin\r\n\r\n\r\n\r\n总步数＝3");
}

TEST(EpromImages, StaleChipFilesAreRemoved) {
  testing::TempDir project;
  const fs::path bin = project.path() / "bin";
  ASSERT_TRUE(
      writeEpromImages({frames(4, 48), 48, project.path(), ChipLayout::PerEightChannels, nullptr}).ok);
  EXPECT_TRUE(fs::exists(bin / pathFromUtf8("正6.bin")));
  ASSERT_TRUE(
      writeEpromImages({frames(4, 40), 40, project.path(), ChipLayout::PerEightChannels, nullptr}).ok);
  EXPECT_FALSE(fs::exists(bin / pathFromUtf8("正6.bin")));
  EXPECT_FALSE(fs::exists(bin / pathFromUtf8("反6.bin")));
  EXPECT_TRUE(fs::exists(bin / pathFromUtf8("正5.bin")));
  ASSERT_TRUE(writeEpromImages({frames(4, 40), 40, project.path(), ChipLayout::Single, nullptr}).ok);
  EXPECT_FALSE(fs::exists(bin / pathFromUtf8("正1.bin")));
  EXPECT_FALSE(fs::exists(bin / pathFromUtf8("反1.bin")));
  ASSERT_TRUE(
      writeEpromImages({frames(4, 40), 40, project.path(), ChipLayout::PerEightChannels, nullptr}).ok);
  EXPECT_TRUE(fs::exists(bin / pathFromUtf8(kSinglePositive)));  // the other layout's single files stay
}

TEST(EpromImages, LineTooLongFailsAndKeepsTheEarlierImages) {
  testing::TempDir project;
  const fs::path bin = project.path() / "bin";
  ASSERT_TRUE(writeEpromImages({frames(10, 40), 40, project.path(), ChipLayout::Single, nullptr}).ok);
  const std::string before = *readBytes(bin / pathFromUtf8(kSinglePositive));
  const std::string buffer = frames(3, 40) + std::string(41, 'X') + "\r\n";
  const auto r = writeEpromImages({buffer, 40, project.path(), ChipLayout::Single, nullptr});
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "路数不正确,请完整运行一次确定路数。或查找最大的行删除该行末尾多余的内容。");
  EXPECT_EQ(*readBytes(bin / pathFromUtf8(kSinglePositive)), before);
}

TEST(EpromImages, BytesPerFrame) {
  struct Case {
    long channels;
    int bytes;
  };
  for (const Case c :
       {Case{8, 1}, Case{4, 1}, Case{16, 2}, Case{17, 3}, Case{40, 5}, Case{0, 0}, Case{300, 38}}) {
    EXPECT_EQ(bytesPerFrame(c.channels), c.bytes) << c.channels;
  }
}

// A 路数 far wider than any sign is refused with the channel-count message before any frame is
// built (each frame would take gigabytes), and the images already there stay.
TEST(EpromImages, ChannelCountBeyondTheLimitIsRefused) {
  testing::TempDir project;
  ASSERT_TRUE(writeEpromImages({frames(3, 8), 8, project.path(), ChipLayout::Single, nullptr}).ok);
  const auto before = *readBytes(project.path() / "bin" / platform::pathFromUtf8(kSinglePositive));
  for (const long channels : {kMaxCompileChannels + 1, 1'000'000'000'000L}) {
    const auto r = writeEpromImages({frames(3, 8), channels, project.path(), ChipLayout::Single, nullptr});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, channelRangeMessage(channels, kMaxCompileChannels));
  }
  EXPECT_EQ(*readBytes(project.path() / "bin" / platform::pathFromUtf8(kSinglePositive)), before);
  EXPECT_EQ(bytesPerFrame(1'000'000'000'000'000L), INT_MAX);
}

TEST(EpromImages, ProgressOncePerFrame) {
  testing::TempDir project;
  long calls = 0;
  ASSERT_TRUE(
      writeEpromImages({frames(7, 8), 8, project.path(), ChipLayout::Single, [&](long) { ++calls; }}).ok);
  EXPECT_EQ(calls, 7);
}

}  // namespace
}  // namespace lumafex::compiler
