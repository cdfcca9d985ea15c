// The product-list line rules, the version comparison, the size text and the byte counter.

#include <gtest/gtest.h>

#include "core/update/ProductList.h"
#include "core/update/SizeText.h"
#include "core/update/clsCount.h"

namespace lumafex::update {
namespace {

struct LineCase {
  const char* line;
  const char* name;
  const char* version;
  const char* file;
};

class ProductLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ProductLineTest, CutsNameVersionAndFile) {
  const LineCase& c = GetParam();
  EXPECT_EQ(产品名称(c.line), c.name);
  EXPECT_EQ(版本号(c.line), c.version);
  EXPECT_EQ(下载文件名(c.line), c.file);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProductLineTest,
    ::testing::Values(LineCase{"《Lumafex》 版本：1.2.0 下载：lumafex-1.2.0.tar.gz", "《Lumafex》", "1.2.0",
                               "lumafex-1.2.0.tar.gz"},
                      // The name ends at the first "》"; the file name starts after the last "：".
                      LineCase{"《灯》》版本：2.0 说明：新：a.zip", "《灯》", "2.0", "a.zip"},
                      // Any one character separates "版本" from the version, a blank as well.
                      LineCase{"《X》版本 3.1 b.zip", "《X》", "3.1", "《X》版本 3.1 b.zip"},
                      LineCase{"《X》版本:3.1.4 文件：x", "《X》", "3.1.4", "x"},
                      // No blank after the version, no "版本", or nothing after it: an unusable version.
                      LineCase{"《X》 版本：1.2.0", "《X》", "", "1.2.0"},
                      LineCase{"《X》 1.2.0 下载：x.zip", "《X》", "", "x.zip"},
                      LineCase{"《X》版本", "《X》", "", "《X》版本"},
                      LineCase{"无名称 版本：1.0 ：", "", "1.0", ""}, LineCase{"", "", "", ""}));

TEST(VersionTest, ComparesAsText) {
  struct {
    const char* own;
    const char* listed;
    bool newer;
  } cases[] = {
      {"1.0.0", "1.0.1", true},  {"1.0.0", "1.0.0", false},
      {"1.0.1", "1.0.0", false}, {"1.9.0", "1.10.0", false},  // text, not numbers
      {"1.0.0", "", false},                                   // an unusable version offers nothing
      {"1.0", "1.0.0", true},
  };
  for (const auto& c : cases) EXPECT_EQ(isNewerVersion(c.own, c.listed), c.newer) << c.own << " " << c.listed;
}

TEST(VersionTest, OwnVersionIsTheCaptionFromItsFourthCharacter) {
  EXPECT_EQ(ownVersionFromCaption("版本：1.0.0"), "1.0.0");
  EXPECT_EQ(ownVersionFromCaption("版本 12.3.4"), "12.3.4");
  EXPECT_EQ(ownVersionFromCaption("版本"), "");
}

TEST(VersionTest, BaseAddressLosesBlanksAndTrailingSlashes) {
  EXPECT_EQ(normalisedBaseAddress("  http://127.0.0.1:8080/soft//  "), "http://127.0.0.1:8080/soft");
  EXPECT_EQ(normalisedBaseAddress("http://127.0.0.1"), "http://127.0.0.1");
  EXPECT_EQ(normalisedBaseAddress("   "), "");
}

TEST(SizeTextTest, ShortTextHasThreeSignificantDigitsCut) {
  struct {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 字节"},        {532, "532 字节"},    {1023, "1023 字节"},        {1024, "1.00 KB"},
      {1340, "1.30 KB"},  // 1.308…: cut, not rounded
      {3605, "3.52 KB"},    {10239, "9.99 KB"},   {10240, "10.0 KB"},         {23506, "22.9 KB"},
      {102400, "100 KB"},   {1023999, "999 KB"},  {1024000, "0.97 MB"},  // from 1000 on, the next unit
      {1048576, "1.00 MB"}, {2400016, "2.28 MB"}, {4294967295ull, "3.99 GB"}, {1ull << 60, "1.00 EB"},
  };
  for (const auto& c : cases) EXPECT_EQ(shortSizeText(c.bytes), c.text) << c.bytes;
}

TEST(SizeTextTest, AboveOneKilobyteTheExactCountComesFirst) {
  EXPECT_EQ(字节数文字(1024), "1.00 KB");
  EXPECT_EQ(字节数文字(1025), "1025字节(1.00 KB)");
  EXPECT_EQ(字节数文字(3605), "3605字节(3.52 KB)");
  EXPECT_EQ(字节数文字(100), "100 字节");
}

struct FakeClock {
  std::int64_t now = 5000;
  clsCount::Clock clock() {
    return [this] { return now; };
  }
};

TEST(CounterTest, TotalSpeedRightAfterClearIsZero) {
  FakeClock t;
  clsCount c(t.clock());
  c.Count(4096);
  c.Clear();
  EXPECT_EQ(c.TotalSpeed(), 0);
  EXPECT_EQ(c.CountEnd(), 0);
  EXPECT_EQ(c.TotalTickCount(), 0);
  EXPECT_EQ(c.Speed(), 0);
}

TEST(CounterTest, CountsAndTotalSpeed) {
  FakeClock t;
  clsCount c(t.clock());
  c.CountStart(100);
  EXPECT_EQ(c.CountStart(), 100);
  EXPECT_EQ(c.CountEnd(), 100);
  t.now += 250;
  c.Count(2048);
  t.now += 250;
  c.Count(2048);
  EXPECT_EQ(c.CountEnd(), 4196);
  EXPECT_EQ(c.TotalTickCount(), 500);
  EXPECT_EQ(c.TotalSpeed(), 8192);  // 4096 bytes in half a second
  t.now += 500;                     // no bytes, but time goes on
  EXPECT_EQ(c.TotalSpeed(), 4096);
}

TEST(CounterTest, SpeedIsSinceTheLastCalculationAndKeptWithoutNewCounts) {
  FakeClock t;
  clsCount c(t.clock());
  t.now += 400;
  c.Count(1000);
  EXPECT_EQ(c.Speed(), 2500);
  t.now += 2000;
  EXPECT_EQ(c.Speed(), 2500);  // nothing counted since: the last speed
  c.Count(3000);
  EXPECT_EQ(c.Speed(), 1500);  // 3000 bytes over the 2000 ms since the last calculation
  t.now += 3;
  c.Count(1);
  EXPECT_EQ(c.Speed(), 333);  // rounded
  t.now += 2000;
  c.Count(249);
  EXPECT_EQ(c.Speed(), 124);  // 124.5: halves go to the even neighbour
  t.now += 2000;
  c.Count(251);
  EXPECT_EQ(c.Speed(), 126);  // 125.5
}

TEST(CounterTest, NewSpeedAfterMoreThanASecond) {
  FakeClock t;
  clsCount c(t.clock());
  t.now += 1000;
  c.Count(1);
  EXPECT_FALSE(c.NewSpeed());
  t.now += 1;
  c.Count(1);
  EXPECT_TRUE(c.NewSpeed());
  (void)c.Speed();
  EXPECT_FALSE(c.NewSpeed());
}

}  // namespace
}  // namespace lumafex::update
