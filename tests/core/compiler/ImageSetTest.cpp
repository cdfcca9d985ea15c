// Publishing one compile's images as a set, and clearing what interrupted publications left.

#include "core/compiler/ImageSet.h"

#include <gtest/gtest.h>

#include <random>

#include "core/compiler/OutputBuffer.h"
#include "core/design/TitleEffect.h"
#include "core/patterns/StepText.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::compiler {
namespace {

namespace fs = std::filesystem;
using platform::pathFromUtf8;

std::string read(const fs::path& p) {
  auto r = platform::readBytes(p);
  return r ? *r : "<missing>";
}
void put(const fs::path& p, std::string_view bytes) {
  fs::create_directories(p.parent_path());
  ASSERT_TRUE(platform::writeBytesSafely(p, bytes, false));
}
std::vector<std::string> names(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.push_back(platform::pathToUtf8(e.path().filename()));
  std::sort(out.begin(), out.end());
  return out;
}

TEST(ImageSet, ReplacesRetiresAndKeeps) {
  testing::TempDir dir;
  const fs::path bin = dir.path() / "bin";
  for (const char* name : {"正1.bin", "正2.bin", "正3.bin", "正5.bin", "反1.bin", "单IC正.bin", "说明.txt"}) {
    put(bin / pathFromUtf8(name), name);
  }
  put(bin / "sub" / "a", "kept");
  ImageSet set;
  set.add("正1.bin", "new");
  set.retired = {{"正", 2}, {"反", 2}};
  ASSERT_TRUE(publishImageSet(bin, set));
  // 正2 and 正3 go (正4 is missing, so 正5 stays), 反1 was not retired, the user's files stay.
  EXPECT_EQ(names(bin),
            (std::vector<std::string>{"sub", "单IC正.bin", "反1.bin", "正1.bin", "正5.bin", "说明.txt"}));
  EXPECT_EQ(read(bin / pathFromUtf8("正1.bin")), "new");
  EXPECT_EQ(read(bin / pathFromUtf8("说明.txt")), "说明.txt");
  EXPECT_EQ(read(bin / "sub" / "a"), "kept");
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"bin"});  // no folder left beside it
}

TEST(ImageSet, WithoutFolderExchangeTheSameSetIsPublished) {
  testing::TempDir dir;
  const fs::path bin = dir.path() / "bin";
  put(bin / pathFromUtf8("正1.bin"), "old");
  put(bin / pathFromUtf8("正2.bin"), "old");
  put(bin / "keep", "kept");
  ImageSet set;
  set.add("正1.bin", "new");
  set.retired = {{"正", 2}};
  ASSERT_TRUE(publishImageSetByRenames(bin, set));
  EXPECT_EQ(names(bin), (std::vector<std::string>{"keep", "正1.bin"}));
  EXPECT_EQ(read(bin / pathFromUtf8("正1.bin")), "new");
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"bin"});
}

TEST(ImageSet, CreatesAMissingBinAndRefusesAFile) {
  testing::TempDir dir;
  ImageSet set;
  set.add("单IC正.bin", std::string("\x81", 1));
  ASSERT_TRUE(publishImageSet(dir.path() / "p" / "bin", set));
  EXPECT_EQ(read(dir.path() / "p" / "bin" / pathFromUtf8("单IC正.bin")), "\x81");
  put(dir.path() / "q" / "bin", "a file");
  EXPECT_FALSE(publishImageSet(dir.path() / "q" / "bin", set));
  EXPECT_EQ(read(dir.path() / "q" / "bin"), "a file");
  EXPECT_EQ(names(dir.path() / "q"), std::vector<std::string>{"bin"});
}

TEST(ImageSet, ABinThatIsALinkIsFollowedAndStays) {
  testing::TempDir dir;
  put(dir.path() / "elsewhere" / pathFromUtf8("正1.bin"), "old");
  fs::create_directories(dir.path() / "p");
  fs::create_directory_symlink(dir.path() / "elsewhere", dir.path() / "p" / "bin");
  ImageSet set;
  set.add("正1.bin", "new");
  ASSERT_TRUE(publishImageSet(dir.path() / "p" / "bin", set));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "p" / "bin"));
  EXPECT_EQ(read(dir.path() / "elsewhere" / pathFromUtf8("正1.bin")), "new");
  EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"elsewhere", "p"}));
}

TEST(ImageSet, LeftoversOfKilledRunsAreCleared) {
  testing::TempDir dir;
  const fs::path bin = dir.path() / "bin";
  put(bin / pathFromUtf8("正1.bin"), "old");
  put(bin / pathFromUtf8("正1.bin.~0123abcd.tmp"), "half");
  put(bin / "notes.tmp", "the user's");
  put(dir.path() / "bin.~new-abc123" / "x", "half-built");
  EXPECT_EQ(cleanImageLeftovers(bin), 2);
  EXPECT_EQ(names(bin), (std::vector<std::string>{"notes.tmp", "正1.bin"}));
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"bin"});

  // Stopped between the two renames of a file system without exchange: the old set comes back.
  fs::rename(bin, dir.path() / "bin.~old-xyz789");
  put(dir.path() / "bin.~new-def456" / pathFromUtf8("正1.bin"), "new");
  cleanImageLeftovers(bin);
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"bin"});
  EXPECT_EQ(read(bin / pathFromUtf8("正1.bin")), "old");
}

TEST(TitleMasks, FindsWhatTheSearchFinds) {
  std::mt19937 rng(7);
  const std::vector<std::string> pieces{"<", ">",    "1",  "2",   "0",   "12",  "X",
                                        "□", "\r\n", "\n", "<1>", "<2>", "<12>"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int n = static_cast<int>(rng() % 40);
    for (int i = 0; i < n; ++i) text += pieces[rng() % pieces.size()];
    const design::TitleMasks masks(text);
    for (long step = 1; step <= 13; ++step) {
      const auto a = design::findMask(text, step);
      const auto b = masks.find(step);
      ASSERT_EQ(a.has_value(), b.has_value()) << text << " step " << step;
      if (!a) continue;
      EXPECT_EQ(a->mask, b->mask) << text;
      EXPECT_EQ(a->maskStart, b->maskStart) << text;
      EXPECT_EQ(a->maskLength, b->maskLength) << text;
    }
  }
}

TEST(StepText, WholeNumbersOfHugeValuesSaturate) {
  EXPECT_EQ(patterns::whole(2.5), 2);
  EXPECT_EQ(patterns::whole(-3.5), -4);
  EXPECT_GT(patterns::whole(1e30), 1L << 61);
  EXPECT_LT(patterns::whole(-1e300), -(1L << 61));
  EXPECT_EQ(patterns::whole(std::nan("")), 0);
  EXPECT_GT(patterns::Int(1e300), 1L << 61);
  EXPECT_GT(labelValue("1e30"), 1L << 61);
  EXPECT_EQ(labelValue("路数"), 0);
  EXPECT_EQ(labelValue("-12.7"), -12);
}

TEST(OutputBuffer, ABaseChannelCountNoChannelCountCanBeReadsAsNoNumber) {
  BufferInput in;
  in.totalProgram = "XXXX\r\n";
  in.manualFileExists = true;
  in.baseChannels = "1e30";
  EXPECT_EQ(buildOutputBuffer(in).channelsLabel, "4");  // the first line's length
  in.baseChannels = "32";
  EXPECT_EQ(buildOutputBuffer(in).channelsLabel, "32");
}

}  // namespace
}  // namespace lumafex::compiler
