// The three catalogue lists, the leading-number rule and the dispatch to generators.

#include <gtest/gtest.h>

#include "core/patterns/Catalogue.h"
#include "core/patterns/EffectTesting.h"

namespace lumafex::patterns {
namespace {

TEST(Catalogue, ListSizesAndOtherColourCounts) {
  EXPECT_EQ(catalogue(1).size(), 30u);
  EXPECT_EQ(catalogue(2).size(), 66u);
  EXPECT_EQ(catalogue(3).size(), 26u);
  EXPECT_TRUE(catalogue(0).empty());
  EXPECT_TRUE(catalogue(4).empty());
}

TEST(Catalogue, EveryNameStartsWithItsPosition) {
  for (int colours = 1; colours <= 3; ++colours) {
    const auto list = catalogue(colours);
    for (std::size_t i = 0; i < list.size(); ++i) {
      EXPECT_EQ(leadingNumber(list[i].name), static_cast<long>(i + 1)) << list[i].name;
      EXPECT_NE(list[i].generator, nullptr);
    }
  }
}

TEST(Catalogue, SelectedEntries) {
  struct Case {
    int colours;
    long position;
    const char* name;
    const char* generator;
  };
  for (const Case c :
       {Case{1, 0, "1右扫", "S1"}, Case{1, 9, "10跳跃", "S20"}, Case{1, 12, "13追逐", "S10"},
        Case{1, 24, "25右拆分", "S19"}, Case{1, 26, "27全亮", "D61"}, Case{1, 27, "28全灭", "D62"},
        Case{1, 29, "30左拆分", "S25"}, Case{3, 23, "24积木", "S24"}, Case{3, 24, "25拆分", "S19"},
        Case{3, 25, "26交叉", "S13"}, Case{2, 0, "1右扫_色彩1", "D5"}, Case{2, 11, "12左收_色彩混合", "D12"},
        Case{2, 25, "26队列", "S22"}, Case{2, 50, "51弹簧", "S23"}, Case{2, 54, "55积木_变色", "D53"},
        Case{2, 62, "63全亮_色彩1", "D63"}, Case{2, 65, "66全灭", "D62"}}) {
    const auto list = catalogue(c.colours);
    ASSERT_LT(static_cast<std::size_t>(c.position), list.size());
    EXPECT_EQ(list[static_cast<std::size_t>(c.position)].name, c.name);
    ASSERT_NE(generatorAt(c.colours, c.position), nullptr);
    EXPECT_EQ(generatorAt(c.colours, c.position)->name, c.generator) << c.name;
  }
}

TEST(Catalogue, ThreeColourListRepeatsTheFirst23SingleColourNames) {
  for (std::size_t i = 0; i < 23; ++i) {
    EXPECT_EQ(catalogue(3)[i].name, catalogue(1)[i].name);
    EXPECT_EQ(catalogue(3)[i].generator, catalogue(1)[i].generator);
  }
  EXPECT_EQ(catalogue(3)[23].generator, catalogue(1)[23].generator);  // 24积木 runs 24右积木's generator
}

TEST(Catalogue, PositionsOutsideTheListRunNothing) {
  EXPECT_EQ(generatorAt(1, -1), nullptr);
  EXPECT_EQ(generatorAt(1, 30), nullptr);
  EXPECT_EQ(generatorAt(3, 26), nullptr);
  EXPECT_EQ(generatorAt(2, 66), nullptr);
  EXPECT_EQ(generatorAt(5, 0), nullptr);
}

TEST(Catalogue, GeneratorNames) {
  EXPECT_EQ(findGenerator("S1")->name, "S1");
  EXPECT_EQ(findGenerator("D65")->name, "D65");
  EXPECT_EQ(findGenerator("S29"), nullptr);
  EXPECT_EQ(findGenerator("D0"), nullptr);
  EXPECT_EQ(findGenerator("s1"), nullptr);
}

TEST(LeadingNumber, DigitsAtTheStart) {
  struct Case {
    const char* text;
    long value;
  };
  for (const Case c : {Case{"13追逐", 13}, Case{"  7乱流", 7}, Case{"追逐", 0}, Case{"", 0}, Case{"-3", 0},
                       Case{"12左收_色彩混合", 12}, Case{"007", 7}}) {
    EXPECT_EQ(leadingNumber(c.text), c.value) << c.text;
  }
}

TEST(LeadingValue, NumbersAsLabelsHoldThem) {
  struct Case {
    const char* text;
    double value;
  };
  for (const Case c :
       {Case{"40", 40}, Case{" 950 ", 950}, Case{"路数", 0}, Case{"12.5abc", 12.5}, Case{"-3", -3},
        Case{"1E3", 1000}, Case{"2e", 2}, Case{".5", 0.5}, Case{"", 0}, Case{"+7", 7}}) {
    EXPECT_DOUBLE_EQ(leadingValue(c.text), c.value) << c.text;
  }
}

TEST(Dispatch, SharedGeneratorsWriteTheSameLinesInEveryMode) {
  // 26队列 (two-colour list) runs the single-colour queue unchanged.
  const auto* queue2 = generatorAt(2, 25);
  const auto* queue1 = generatorAt(1, 11);
  ASSERT_EQ(queue1, queue2);
  StepWriter a;
  StepWriter b;
  ASSERT_TRUE(runGenerator(*queue2, 20, 2, a));
  ASSERT_TRUE(runGenerator(*queue1, 20, 1, b));
  EXPECT_EQ(a.bytes(), b.bytes());
  for (const char* g : {"S22", "S23", "D61", "D62"}) {
    EXPECT_EQ(testing::run(g, 33, 1).lines, testing::run(g, 33, 2).lines) << g;
    EXPECT_EQ(testing::run(g, 33, 1).lines, testing::run(g, 33, 3).lines) << g;
  }
}

TEST(Dispatch, RunningTwiceKeepsOnlyTheSecondRun) {
  StepWriter out;
  ASSERT_TRUE(runGenerator(*findGenerator("S1"), 8, 1, out));
  ASSERT_TRUE(runGenerator(*findGenerator("S27"), 8, 1, out));
  EXPECT_EQ(out.lines(), testing::run("S27", 8, 1).lines);
}

}  // namespace
}  // namespace lumafex::patterns
