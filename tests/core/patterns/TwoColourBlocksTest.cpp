// The two-colour flip, radiate, bar, push, close, shrink, building-block, split and cross
// generators (D30 … D60) against their worked examples, stated step counts and edge cases.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/patterns/EffectTesting.h"

namespace lumafex::testing {
namespace {

struct Example {
  const char* generator;
  int channels;
  const char* lines;    // dots for blanks; the first lines of the run, or all of them
  int totalSteps = -1;  // when the example lists only the first lines
};

void PrintTo(const Example& e, std::ostream* os) {
  *os << e.generator << " N=" << e.channels;
}

const Example kExamples[] = {
    {"D30", 8,
     "X..X.X.XX.X.X.X. X.X..X.XX.X.X.X. X.X.X..XX.X.X.X. X.X.X.X.X.X.X.X. .XX.X.X.X.X.X.X. "
     ".X.XX.X.X.X.X.X. .X.X.XX.X.X.X.X. .X.X.X.XX.X.X.X."},
    {"D31", 8, "....X.X..... ..X.X.X.X... X.X.X.X.X.X."},
    {"D32", 8, ".....X.X.... ...X.X.X.X.. .X.X.X.X.X.X"},
    {"D33", 8, "....X.X..... ..X.X.X.X... X.X.X.X.X.X. X.X.XXXXX.X. X.XXXXXXXXX. XXXXXXXXXXXX"},
    {"D34", 8, "X.X.X.X. X.....X. ........"},
    {"D35", 8, ".X.X.X.X .X.....X ........"},
    {"D36", 8, "XXXXX.X.XXXX XXX.X.X.X.XX X.X.X.X.X.X. X.X.....X.X.X X.........X.X ............X"},
    {"D40", 8, "..X.X.X. X...X.X. X.X...X. X.X.X..."},
    {"D41", 8, "...X.X.X .X...X.X .X.X...X .X.X.X.."},
    {"D42", 8, "X.XXXXXX XXX.XXXX XXXXX.XX XXXXXXX."},
    {"D43", 16,
     ".........XX.X.X X......X....X.X X.X..X........X X.X..X........X X......X....X.X .........XX.X.X"},
    {"D43", 12, ".......X.X. X........X. X.X.......X X.......X.X"},
    {"D44", 8, "........ X.....X. X.X.X.X."},
    {"D45", 8, "........ .X.....X .X.X.X.X"},
    {"D46", 8, "........ X.....X. X.X.X.X. XX.X.X.X XXXX.XXX"},
    {"D47", 8, "X.X.X.X. ..X.X... ........"},
    {"D48", 8, ".X.X.X.X ...X.X.. ........"},
    {"D49", 8, ".XXXXXXX .X.XXX.X .X.X.X.X ...X.X.. ........"},
    {"D50", 8, "X. ..X. ....X. ......X. X.....X. ..X...X. ....X.X. X...X.X. ..X.X.X. X.X.X.X."},
    {"D51", 8, ".X ...X .....X .......X .X.....X ...X...X .....X.X .X...X.X ...X.X.X .X.X.X.X"},
    {"D53", 8, ".X ...X .....X .......X .X....X. ...X..X. .....XX. .X..X.X. ...XX.X. .XX.X.X."},
    {"D54", 8,
     "X.X.X.X...X. X.X.X...X. X.X.X.....X. X.X...X. X.X.....X. X.X.......X. X...X. X.....X. "
     "X.......X. X.........X.",
     15},
    {"D57", 8, "X.X.X.X....X X.X.X....X X.X.X......X X.X....X X.X......X X.X........X", 15},
    {"D58", 8, "X.....X. ..X.X... ..X.X... ....X.X..... X.......X... .........."},
    {"D59", 8, ".X.....X ...X.X.. ........ .....X.X.... .X.......X.. .........."},
    {"D60", 8, "X......X ..X..X.. ........ ...X..X.... .X......X... .........."},
    {"D58", 16,
     "X.............X. ..X.........X... ....X.....X..... ......X.X....... ................ "
     "........X.X......... ....X.......X....... ..X...........X..... X...............X... "
     ".................."},
};

class TwoColourBlocksExample : public ::testing::TestWithParam<Example> {};

TEST_P(TwoColourBlocksExample, WritesTheExampleLines) {
  const Example& ex = GetParam();
  const auto expected = exampleLines(ex.lines);
  const EffectRun r = run(ex.generator, ex.channels, 2);
  ASSERT_TRUE(r.wrote);
  const std::size_t total = ex.totalSteps < 0 ? expected.size() : static_cast<std::size_t>(ex.totalSteps);
  ASSERT_EQ(r.lines.size(), total) << show(r.lines);
  const std::vector<std::string> head(r.lines.begin(), r.lines.begin() + static_cast<long>(expected.size()));
  EXPECT_EQ(head, expected) << "got:\n" << show(head) << "expected:\n" << show(expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, TwoColourBlocksExample, ::testing::ValuesIn(kExamples),
                         [](const auto& info) {
                           return std::string(info.param.generator) + "_N" +
                                  std::to_string(info.param.channels);
                         });

std::string blanks(std::size_t n) {
  return std::string(n, ' ');
}

// Step counts the rules state, over a range of channel counts.
long ceilHalf(long n) {
  return (n + 1) / 2;
}
// Number of values 1, 1 + g, 1 + 2g, … not above n.
long blockSlots(long n, long g) {
  return (n - 1) / g + 1;
}
// Block width in positions for the building blocks and splits.
long blockWidth(long n) {
  const long h = n / (n >= 16 ? 16 : n);
  return h % 2 == 1 ? h + 1 : h;
}

struct CountRule {
  const char* generator;
  long (*steps)(long n);
};

const CountRule kCountRules[] = {
    {"D30", [](long n) { return 2 * ceilHalf(n); }},
    {"D31", [](long n) { return n / 2 / 2 + 1; }},
    {"D32", [](long n) { return n / 2 / 2 + 1; }},
    {"D33", [](long n) { return 2 * (n / 2 / 2 + 1); }},
    {"D37", ceilHalf},
    {"D38", ceilHalf},
    {"D39", ceilHalf},
    {"D40", ceilHalf},
    {"D41", ceilHalf},
    {"D42", ceilHalf},
    {"D44", [](long n) { return n / 4 + 1; }},
    {"D45", [](long n) { return n / 4 + 1; }},
    {"D50",
     [](long n) {
       const long s = blockSlots(n, blockWidth(n));
       return s * (s + 1) / 2;
     }},
    {"D51",
     [](long n) {
       const long s = blockSlots(n, blockWidth(n));
       return s * (s + 1) / 2;
     }},
    {"D53",
     [](long n) {
       const long s = blockSlots(n, blockWidth(n));
       return s * (s + 1) / 2;
     }},
};

TEST(TwoColourBlocks, StatedStepCountsHoldForManySigns) {
  for (const auto& rule : kCountRules) {
    for (long n : {4L, 5L, 8L, 9L, 15L, 16L, 17L, 31L, 32L, 47L, 48L, 63L, 64L, 100L, 255L, 300L}) {
      const EffectRun r = run(rule.generator, static_cast<int>(n), 2);
      ASSERT_TRUE(r.wrote) << rule.generator << " N=" << n;
      EXPECT_EQ(static_cast<long>(r.lines.size()), rule.steps(n)) << rule.generator << " N=" << n;
    }
  }
}

TEST(TwoColourBlocks, SplitStepCountsForEvenSignsBelow48) {
  for (const char* g : {"D54", "D55", "D57"}) {
    for (long n = 4; n < 48; n += 2) {
      const long half = n / 2;
      EXPECT_EQ(static_cast<long>(run(g, static_cast<int>(n), 2).lines.size()), (half + 1) * (half + 2) / 2)
          << g << " N=" << n;
    }
  }
  EXPECT_EQ(run("D54", 16, 2).lines.size(), 45u);
}

TEST(TwoColourBlocks, NamedStepCounts) {
  struct Count {
    const char* generator;
    int channels;
    std::size_t steps;
  };
  for (const Count c : {Count{"D50", 16, 36}, Count{"D50", 32, 136}, Count{"D52", 8, 36},
                        Count{"D52", 16, 136}, Count{"D59", 16, 10}, Count{"D60", 16, 10},
                        Count{"D43", 10, 4}, Count{"D43", 14, 4}, Count{"D43", 16, 6}, Count{"D43", 12, 4}}) {
    EXPECT_EQ(run(c.generator, c.channels, 2).lines.size(), c.steps) << c.generator << " N=" << c.channels;
  }
}

TEST(TwoColourBlocks, FlipLinesCoverWholeGroupsOfEightLamps) {
  for (int n : {4, 8, 9, 16, 17, 300}) {
    const std::size_t length = 16 * static_cast<std::size_t>((n + 7) / 8);
    for (const auto& line : run("D30", n, 2).lines) ASSERT_EQ(line.size(), length) << "N=" << n;
  }
}

// D30, D32 and D33 draw only with two colours; the other generators ignore the colour count.
TEST(TwoColourBlocks, ColourCountRule) {
  for (const char* g : {"D30", "D32", "D33"}) {
    for (int colours : {1, 3}) {
      const EffectRun r = run(g, 16, colours);
      EXPECT_FALSE(r.wrote) << g << " C=" << colours;
      EXPECT_TRUE(r.lines.empty()) << g << " C=" << colours;
    }
    EXPECT_TRUE(run(g, 16, 2).wrote) << g;
  }
  for (const char* g : {"D31", "D34", "D36", "D39", "D43", "D49", "D50", "D52", "D53", "D56", "D57", "D60"}) {
    const auto two = run(g, 24, 2).lines;
    for (int colours : {1, 3}) {
      const EffectRun r = run(g, 24, colours);
      EXPECT_TRUE(r.wrote) << g << " C=" << colours;
      EXPECT_EQ(r.lines, two) << g << " C=" << colours;
    }
  }
}

TEST(TwoColourBlocks, MixedEntriesRunTheSingleColourRulesUnchanged) {
  for (int n : {4, 8, 15, 16, 33, 100}) {
    EXPECT_EQ(run("D52", n, 2).lines, run("S24", n, 1).lines) << "N=" << n;
    EXPECT_EQ(run("D56", n, 2).lines, run("S19", n, 1).lines) << "N=" << n;
  }
}

TEST(TwoColourBlocks, LightBarsAreDarkBelow24Channels) {
  for (const char* g : {"D37", "D38", "D39"}) {
    const EffectRun r = run(g, 16, 2);
    EXPECT_EQ(r.lines, std::vector<std::string>(8, blanks(15))) << g;
    for (const auto& line : run(g, 23, 2).lines) EXPECT_EQ(line, blanks(22)) << g;
  }
}

// The bar width is N / 16 rounded (halves to even) and then halved, so 56 channels (3.5 -> 4)
// already give two lamps and 88 channels (5.5 -> 6) three.
TEST(TwoColourBlocks, LightBarWidthFollowsTheRoundedSixteenths) {
  struct Width {
    int n;
    long colour1;
  };
  for (const Width w : {Width{24, 1}, Width{40, 1}, Width{55, 1}, Width{56, 2}, Width{64, 2}, Width{87, 2},
                        Width{88, 3}, Width{300, 9}}) {
    const auto lines = run("D37", w.n, 2).lines;
    ASSERT_EQ(lines.size(), static_cast<std::size_t>((w.n + 1) / 2));
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), 'X'), w.colour1) << "N=" << w.n;
    EXPECT_EQ(lines[0].substr(0, 2), "X ") << "N=" << w.n;
    const auto mixed = run("D39", w.n, 2).lines;
    EXPECT_EQ(std::count(mixed[1].begin(), mixed[1].end(), 'X'), 2 * w.colour1) << "N=" << w.n;
    EXPECT_EQ(mixed[1].substr(0, 3), "  X") << "N=" << w.n;
  }
}

TEST(TwoColourBlocks, DarkBarDarkensOneLampAfterAnotherInColour1) {
  const auto lines = run("D40", 8, 2).lines;
  ASSERT_EQ(lines.size(), 4u);
  for (std::size_t lamp = 0; lamp < 4; ++lamp) {
    std::string expected = "X X X X ";
    expected[2 * lamp] = ' ';
    EXPECT_EQ(lines[lamp], expected) << "lamp " << lamp + 1;
  }
}

TEST(TwoColourBlocks, DarkBarGapGrowsWithTheSign) {
  // One blank below 32 channels, N \ 16 blanks from 32 on. Near the far end nothing follows the
  // blanks any more, so the last lines of a wide gap run past position N.
  using patterns::Repeat;
  struct Bar {
    const char* generator;
    int n;
    std::string first;
    std::string last;
  };
  for (const Bar& b : {Bar{"D40", 16, "  " + Repeat("X ", 7), Repeat("X ", 7) + "  "},
                       Bar{"D40", 31, "  " + Repeat("X ", 14), Repeat("X ", 15) + " "},
                       Bar{"D40", 32, "  " + Repeat("X ", 15), Repeat("X ", 15) + "  "},
                       Bar{"D40", 48, "    " + Repeat("X ", 22), Repeat("X ", 23) + "   "},
                       Bar{"D41", 32, "  " + Repeat(" X", 15), Repeat(" X", 15) + "   "},
                       Bar{"D42", 48, "X   " + Repeat("XX", 22), std::string(47, 'X') + "   "}}) {
    const auto lines = run(b.generator, b.n, 2).lines;
    ASSERT_EQ(lines.size(), static_cast<std::size_t>((b.n + 1) / 2)) << b.generator << " N=" << b.n;
    EXPECT_EQ(lines.front(), b.first) << b.generator << " N=" << b.n;
    EXPECT_EQ(lines.back(), b.last) << b.generator << " N=" << b.n;
  }
}

TEST(TwoColourBlocks, PushWritesEmptyLinesBelowTenChannels) {
  const EffectRun eight = run("D43", 8, 2);
  EXPECT_TRUE(eight.wrote);
  EXPECT_EQ(eight.lines, std::vector<std::string>(4, ""));
  for (int n = 4; n <= 9; ++n) {
    patterns::StepWriter out;
    ASSERT_TRUE(patterns::runGenerator(*patterns::findGenerator("D43"), n, 2, out));
    EXPECT_FALSE(out.abandoned()) << "N=" << n;
    EXPECT_GT(out.lineCount(), 0u) << "N=" << n;
    EXPECT_EQ(out.bytes().find('X'), std::string_view::npos) << "N=" << n;
    EXPECT_EQ(out.bytes().find(' '), std::string_view::npos) << "N=" << n;
  }
  // From ten channels on (N / 4 - 3 = -0.5 rounds to 0) every line is built.
  for (const auto& line : run("D43", 10, 2).lines) EXPECT_NE(line.find('X'), std::string::npos);
}

TEST(TwoColourBlocks, PushReturnPassStartsAtTheRealQuarter) {
  // N = 14: outward through 0 and 2, back through 3.5 and 1.5; every real count rounds halves to
  // even (0.5 -> 0, 1.5 -> 2, 2.5 -> 2, 3.5 -> 4, 4.5 -> 4).
  const auto lines = run("D43", 14, 2).lines;
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], blanks(8) + "X X ");
  EXPECT_EQ(lines[1], "X" + blanks(9) + "X ");
  EXPECT_EQ(lines[2], "X X " + blanks(8) + "X");
  EXPECT_EQ(lines[3], "X" + blanks(9) + "X X");
}

TEST(TwoColourBlocks, ColourChangingBlocksSurviveTheLastBlockOnOddSigns) {
  for (int n : {5, 9, 15, 17, 49, 51, 299}) {
    patterns::StepWriter out;
    ASSERT_TRUE(patterns::runGenerator(*patterns::findGenerator("D53"), n, 2, out));
    EXPECT_FALSE(out.abandoned()) << "N=" << n;
    EXPECT_EQ(out.lineCount(), run("D50", n, 2).lines.size()) << "N=" << n;
  }
}

TEST(TwoColourBlocks, BuildingBlocksAreTwoLampsFrom48Channels) {
  EXPECT_EQ(run("D50", 47, 2).lines.front(), "X ");
  EXPECT_EQ(run("D50", 48, 2).lines.front(), "X X ");
  EXPECT_EQ(run("D51", 48, 2).lines.front(), " X X");
  EXPECT_EQ(run("D53", 48, 2).lines.front(), " X X");
  EXPECT_EQ(run("D54", 48, 2).lines.front(), patterns::Repeat("X ", 24) + blanks(4) + "X X ");
}

TEST(TwoColourBlocks, SplitEndsWithTheTravellingLampAlone) {
  const auto lines = run("D54", 8, 2).lines;
  ASSERT_EQ(lines.size(), 15u);
  for (std::size_t c = 1; c <= 5; ++c) EXPECT_EQ(lines[9 + c], blanks(2 * c) + "X ") << c;
  const auto changing = run("D57", 8, 2).lines;
  ASSERT_EQ(changing.size(), 15u);
  EXPECT_EQ(changing.back(), blanks(10) + " X");
}

TEST(TwoColourBlocks, CrossEndsWithADarkLineTwoLongerThanTheSign) {
  for (const char* g : {"D58", "D59", "D60"}) {
    for (int n : {8, 16, 24, 25, 100, 300}) {
      const EffectRun r = run(g, n, 2);
      ASSERT_TRUE(r.wrote);
      ASSERT_FALSE(r.lines.empty());
      EXPECT_EQ(r.lines.back(), blanks(static_cast<std::size_t>(n) + 2)) << g << " N=" << n;
    }
  }
}

TEST(TwoColourBlocks, CrossRepeatsTheLineOnceTheBlocksHaveGone) {
  // N = 24: blocks of two lamps; D58 starts vanishing from N \ 8 = 3 characters, the others from 4.
  const auto d58 = run("D58", 24, 2).lines;
  ASSERT_GE(d58.size(), 8u);
  EXPECT_EQ(d58[6], blanks(10) + "X" + " " + blanks(10));
  EXPECT_EQ(d58[7], d58[6]);
  const auto d60 = run("D60", 24, 2).lines;
  ASSERT_GE(d60.size(), 8u);
  EXPECT_EQ(d60[6], blanks(10) + "X " + " X" + blanks(10));
  EXPECT_EQ(d60[7], blanks(24));
}

TEST(TwoColourBlocks, EveryChannelCountRunsCleanly) {
  patterns::StepWriter out;
  for (int k = 30; k <= 60; ++k) {
    const std::string name = "D" + std::to_string(k);
    const auto* generator = patterns::findGenerator(name);
    ASSERT_NE(generator, nullptr) << name;
    for (int n = 4; n <= 300; ++n) {
      ASSERT_TRUE(patterns::runGenerator(*generator, n, 2, out)) << name << " N=" << n;
      ASSERT_FALSE(out.abandoned()) << name << " N=" << n;
      for (const auto& line : out.lines()) {
        ASSERT_EQ(line.find_first_not_of("X "), std::string::npos) << name << " N=" << n;
      }
    }
  }
}

}  // namespace
}  // namespace lumafex::testing
