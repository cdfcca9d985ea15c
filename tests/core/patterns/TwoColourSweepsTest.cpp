// The two-colour sweeps, collapses, ejects, stretch, flows, jump, chase and twinkle (D1 … D29)
// against their worked examples, their stated step counts and the colour-count rule.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/patterns/EffectTesting.h"

namespace lumafex::testing {
namespace {

struct Example {
  const char* generator;
  int channels;
  const char* lines;  // dots for blanks; every line of the run
};

void PrintTo(const Example& e, std::ostream* os) {
  *os << e.generator << " N=" << e.channels;
}

std::string repeated(const std::string& s, int times, const char* separator = " ") {
  std::string out;
  for (int i = 0; i < times; ++i) out += (i ? separator : "") + s;
  return out;
}

const std::string kD17 = repeated("X...X... ..X...X. ..X...X.", 5);
const std::string kD18 = repeated("...X...X .X...X.. .X...X..", 5);
const std::string kD22 =
    repeated("..X...X..X...X...X...X...X...X...X...X.. X...X....X...X...X...X...X...X...X...X..", 2);
const std::string kD23 =
    repeated(".X...X..X...X...X...X...X...X...X...X... ...X...XX...X...X...X...X...X...X...X...", 2);

// The worked examples; all run with colour count 2.
const Example kExamples[] = {
    // sweeps
    {"D5", 8, "X....... X.X..... X.X.X... X.X.X.X."},
    {"D6", 8, ".X...... .X.X.... .X.X.X.. .X.X.X.X"},
    {"D7", 8, "X....... X.X..... X.X.X... X.X.X.X. XXX.X.X. XXXXX.X. XXXXXXX. XXXXXXXX"},
    {"D8", 8, ".......X .....X.X ...X.X.X .X.X.X.X"},
    {"D4", 8, "......X. ....X.X. ..X.X.X. X.X.X.X."},
    {"D9", 8, ".......X .....X.X ...X.X.X .X.X.X.X .X.X.XXX .X.XXXXX .XXXXXXX XXXXXXXX"},
    // collapses
    {"D1", 8, "X.X.X.X. ..X.X.X. ....X.X. ......X. ........"},
    {"D2", 8, ".X.X.X.X ...X.X.X .....X.X .......X ........"},
    {"D3", 8, "XXXXXXXX .XXXXXXX .X.XXXXX .X.X.XXX .X.X.X.X ...X.X.X .....X.X .......X ........"},
    {"D10", 8, "X.X.X... X.X..... X....... ........"},
    {"D11", 8, ".X.X.X.. .X.X.... .X...... ........"},
    {"D12", 8, "XXXXXXX. XXXXX.X. XXX.X.X. X.X.X.X. X.X.X... X.X..... X....... ........"},
    // ejects
    {"D13", 8, "X.X.X.X. X.X.X.X."},
    {"D13", 16, "X.X.X.X.X.X.X.X. X...X...X...X... X.X.X.X.X.X.X.X. X...X...X...X..."},
    {"D14", 8, ".X.X.X.X .X.X.X.X"},
    {"D15", 8, "X.X.X.X. .X.X.X.X X.X.X.X. .X.X.X.X"},
    // stretch
    {"D16", 8, "X.X.X..X ..X..X.X.X ..X..X.X.X X.X.X..X"},
    {"D16", 16,
     "X.X.X.X.X....X ..X.X.X....X.X.X ....X....X.X.X.X.X ....X....X.X.X.X.X ..X.X.X....X.X.X "
     "X.X.X.X.X....X"},
    // random flows
    {"D17", 8, kD17.c_str()},
    {"D18", 8, kD18.c_str()},
    // right and left flows
    {"D19", 8, "X...X... ..X...X. X...X... ..X...X."},
    {"D20", 8, ".X...X.. ...X...X .X...X.. ...X...X"},
    {"D22", 8, kD22.c_str()},
    {"D23", 8, kD23.c_str()},
    // jump, chase, twinkle
    {"D25", 8, "X....... ..X..... ....X... ......X."},
    {"D26", 8, ".X.X.X.. ...X.X.X ...X.X.X .....X.X"},
    {"D27", 8, "X.X.X.X. ........ X.X.X.X. ........"},
    {"D28", 8, ".X.X.X.X ........ .X.X.X.X ........"},
    {"D29", 8, "X.X.X.X. .X.X.X.X X.X.X.X. .X.X.X.X"},
};

class TwoColourSweepsExample : public ::testing::TestWithParam<Example> {};

TEST_P(TwoColourSweepsExample, WritesTheExampleLines) {
  const Example& ex = GetParam();
  const auto expected = exampleLines(ex.lines);
  const EffectRun r = run(ex.generator, ex.channels, 2);
  ASSERT_TRUE(r.wrote);
  EXPECT_EQ(r.lines, expected) << "got:\n" << show(r.lines) << "expected:\n" << show(expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, TwoColourSweepsExample, ::testing::ValuesIn(kExamples),
                         [](const auto& info) {
                           return std::string(info.param.generator) + "_N" +
                                  std::to_string(info.param.channels) + "_" + std::to_string(info.index);
                         });

// Odd channel counts and real-valued bounds: worked out by hand from the construction rules. They
// pin halves-to-even conversion (0.5 -> 0, 2.5 -> 2, 4.5 -> 4), real quotients used as counts
// (3.75 - 1 -> 3) and loop bounds compared as reals.
const std::string kD21Phase2 =
    "..X...X...X...X. X...X...X...X..X ..X...X...X..X.. X...X...X..X...X ..X...X..X...X.. "
    "X...X..X...X...X ..X..X...X...X.. X..X...X...X...X";
const std::string kD21N16 = repeated("X...X...X...X... ..X...X...X...X.", 4) + " " + kD21Phase2 + " " +
                            repeated(".X...X...X...X.. ...X...X...X...X", 4);
const std::string kW1 = repeated("X...", 8, "");
const std::string kW2 = repeated(".X..", 8, "");
const std::string kD24N16 =
    repeated(".X...X...X...X.." + kW1 + " ...X...X...X...X" + kW1, 4) + " " +
    ".X...X...X...X.. ...X...X...X...X X....X...X...X.. ..X....X...X...X X...X....X...X.. "
    "..X...X....X...X X...X...X....X.. ..X...X...X....X " +
    repeated("..X...X...X...X." + kW2 + " X...X...X...X..." + kW2, 4);

const Example kDerived[] = {
    {"D16", 10, "X.X.X...X ..X...X.X.X ..X..X.X.X. X.X.X..X."},
    {"D26", 9, ".X.X.X... ...X.X.X. ...X.X.X. .....X.X. .....X.X."},
    {"D26", 10, ".X.X.X.... ...X.X.X.. ...X.X.X.. .....X.X.X .....X.X.X X.X.X..X.X"},
    {"D13", 10, "X.X.X.X. X.X.X.X."},
    {"D13", 14, "X.XX.XX.XX.X X..X..X..X.. X.XX.XX.XX.X X..X..X..X.."},
    {"D13", 15, "X.XX.X.X.X.X.X X..X...X...X.. X.XX.X.X.X.X.X X..X...X...X.."},
    {"D25", 16,
     "X.......X....... ..X.......X..... ....X.......X... ......X.......X. ..X...........X. "
     "....X........... ......X......... ........X......."},
    {"D10", 9, "X.X.X.X. X.X.X.X. X.X.X.X. X.X.X.X."},
    {"D1", 9, "X.X.X.X. ..X.X.X. ....X.X. ......X. ........ ........."},
    {"D21", 16, kD21N16.c_str()},
    {"D24", 16, kD24N16.c_str()},
};

class TwoColourSweepsDerived : public ::testing::TestWithParam<Example> {};

TEST_P(TwoColourSweepsDerived, FollowsTheConstruction) {
  const Example& ex = GetParam();
  const auto expected = exampleLines(ex.lines);
  const EffectRun r = run(ex.generator, ex.channels, 2);
  ASSERT_TRUE(r.wrote);
  EXPECT_EQ(r.lines, expected) << "got:\n" << show(r.lines) << "expected:\n" << show(expected);
}

INSTANTIATE_TEST_SUITE_P(OddAndLargerSigns, TwoColourSweepsDerived, ::testing::ValuesIn(kDerived),
                         [](const auto& info) {
                           return std::string(info.param.generator) + "_N" +
                                  std::to_string(info.param.channels);
                         });

// Edge cases.

bool isDark(const std::string& line) {
  return line.find('X') == std::string::npos;
}

TEST(TwoColourSweeps, EightChannelSweepAndCollapsesStartAsStated) {
  const auto sweep = run("D5", 8, 2).lines;
  EXPECT_EQ(sweep.size(), 4u);
  const auto collapse = run("D1", 8, 2).lines;
  ASSERT_EQ(collapse.size(), 5u);
  EXPECT_EQ(collapse.front(), "X X X X ");  // starting full
  const auto farCollapse = run("D10", 8, 2).lines;
  ASSERT_EQ(farCollapse.size(), 4u);
  EXPECT_EQ(farCollapse.front(), "X X X   ");  // starting with one lamp dark
}

TEST(TwoColourSweeps, RandomFlowsWriteFifteenLinesForEveryChannelCount) {
  for (const char* g : {"D17", "D18"}) {
    for (int n : {4, 5, 8, 33, 100, 299, 300}) {
      EXPECT_EQ(run(g, n, 2).lines.size(), 15u) << g << " N=" << n;
    }
  }
}

TEST(TwoColourSweeps, RightFlowRaisesAnOddBandWidth) {
  // Int(8 / 8) = 1 is raised to 2: a band of one lamp and a gap of one lamp.
  EXPECT_EQ(run("D19", 8, 2).lines.front(), "X   X   ");
  // Int(24 / 8) = 3 is raised to 4: two lamps lit, two dark.
  EXPECT_EQ(run("D19", 24, 2).lines.front(), "X X     X X     X X     ");
  // Below eight channels the band is empty and every line is empty.
  for (const auto& line : run("D19", 7, 2).lines) EXPECT_TRUE(line.empty());
}

TEST(TwoColourSweeps, MixedFlowsAreDarkBelowSixteenChannels) {
  for (const char* g : {"D21", "D24"}) {
    for (int n : {4, 8, 15}) {
      const auto lines = run(g, n, 2).lines;
      EXPECT_EQ(lines.size(), static_cast<std::size_t>(3 * ((n + 1) / 2))) << g << " N=" << n;
      for (const auto& line : lines) EXPECT_TRUE(isDark(line)) << g << " N=" << n << show({line});
    }
    bool anyLit = false;
    for (const auto& line : run(g, 16, 2).lines) anyLit = anyLit || !isDark(line);
    EXPECT_TRUE(anyLit) << g;
  }
  EXPECT_EQ(run("D21", 8, 2).lines.size(), 12u);
}

TEST(TwoColourSweeps, CollapsesEndDarkAndMixedSweepsEndFullyLit) {
  for (int n : {4, 5, 8, 9, 64, 299, 300}) {
    const auto n2 = static_cast<std::size_t>(n);
    for (const char* g : {"D1", "D2", "D3", "D12"}) {
      const auto lines = run(g, n, 2).lines;
      ASSERT_FALSE(lines.empty()) << g << " N=" << n;
      EXPECT_TRUE(isDark(lines.back())) << g << " N=" << n;
    }
    EXPECT_EQ(run("D7", n, 2).lines.back(), std::string(n2, 'X')) << "N=" << n;
    EXPECT_EQ(run("D9", n, 2).lines.back(), std::string(n2, 'X')) << "N=" << n;
  }
  for (int n : {4, 8, 64, 300}) {
    for (const char* g : {"D10", "D11"}) EXPECT_TRUE(isDark(run(g, n, 2).lines.back())) << g << " N=" << n;
  }
}

TEST(TwoColourSweeps, FarCollapsesOfAnOddSignBlankOnlyPositionsAlreadyDark) {
  // For odd N the far-end collapses step on the other colour's positions, so every line equals the
  // first: D10 blanks colour-2 positions of a colour-1 line, D11 colour-1 positions of a colour-2
  // line (its first step appends one blank past the end).
  for (int n : {5, 9, 33, 299}) {
    for (const char* g : {"D10", "D11"}) {
      const auto lines = run(g, n, 2).lines;
      ASSERT_EQ(lines.size(), static_cast<std::size_t>(n / 2)) << g;
      EXPECT_FALSE(isDark(lines.front())) << g << " N=" << n;
      for (const auto& line : lines) EXPECT_EQ(line, lines.front()) << g << " N=" << n;
    }
  }
}

TEST(TwoColourSweeps, LeftFlowLinesCarryThePatternPastTheSign) {
  for (const char* g : {"D22", "D23"}) {
    for (int n : {16, 40, 300}) {
      for (const auto& line : run(g, n, 2).lines) EXPECT_GT(line.size(), static_cast<std::size_t>(n)) << g;
    }
  }
}

// Stated step counts over a range of channel counts.
struct StepRule {
  const char* generator;
  std::size_t (*steps)(std::size_t n);
};

std::size_t halfUp(std::size_t n) {
  return (n + 1) / 2;
}
std::size_t quarterPairs(std::size_t n) {
  return (n / 4 + 1) / 2;
}  // ⌈Int(N / 4) / 2⌉

const StepRule kStepRules[] = {
    {"D1", [](std::size_t n) { return 1 + halfUp(n); }},
    {"D2", [](std::size_t n) { return 1 + halfUp(n); }},
    {"D3", [](std::size_t n) { return 1 + 2 * halfUp(n); }},
    {"D4", [](std::size_t n) { return n / 2; }},
    {"D5", halfUp},
    {"D6", halfUp},
    {"D7", [](std::size_t n) { return 2 * halfUp(n); }},
    {"D8", halfUp},
    {"D9", [](std::size_t n) { return n; }},
    {"D10", [](std::size_t n) { return n / 2; }},
    {"D11", [](std::size_t n) { return n / 2; }},
    {"D12", [](std::size_t n) { return n; }},
    {"D13", [](std::size_t n) { return 2 * quarterPairs(n); }},
    {"D14", [](std::size_t n) { return 2 * quarterPairs(n); }},
    {"D15", [](std::size_t n) { return 4 * quarterPairs(n); }},
    {"D16", [](std::size_t n) { return 2 * (n / 8 + 1); }},
    {"D17", [](std::size_t) -> std::size_t { return 15; }},
    {"D18", [](std::size_t) -> std::size_t { return 15; }},
    {"D19", halfUp},
    {"D20", halfUp},
    {"D21", [](std::size_t n) { return 3 * halfUp(n); }},
    {"D22", halfUp},
    {"D23", halfUp},
    {"D24", [](std::size_t n) { return 3 * halfUp(n); }},
    {"D25", [](std::size_t n) { return 4 * (n / 8 / 2 + 1); }},
    {"D26", [](std::size_t n) { return n - 4; }},
    {"D27", [](std::size_t n) { return 4 * (n / 8); }},
    {"D28", [](std::size_t n) { return 4 * (n / 8); }},
    {"D29", [](std::size_t n) { return 4 * (n / 8); }},
};

TEST(TwoColourSweeps, StepCountsForARangeOfChannelCounts) {
  for (const auto& rule : kStepRules) {
    for (int n : {4, 5, 6, 7, 8, 9, 10, 13, 15, 16, 17, 23, 24, 31, 32, 33, 47, 64, 100, 255, 299, 300}) {
      const EffectRun r = run(rule.generator, n, 2);
      EXPECT_TRUE(r.wrote) << rule.generator;
      EXPECT_EQ(r.lines.size(), rule.steps(static_cast<std::size_t>(n))) << rule.generator << " N=" << n;
    }
  }
}

// The colour count: the flows D19, D20, D21 and D24 write only for colour count 2; the others draw
// the same lines whatever it is.
TEST(TwoColourSweeps, OnlyTheTwoColourFlowsReadTheColourCount) {
  for (int k = 1; k <= 29; ++k) {
    const std::string g = "D" + std::to_string(k);
    const bool twoOnly = k == 19 || k == 20 || k == 21 || k == 24;
    for (int n : {8, 16, 33}) {
      const EffectRun two = run(g, n, 2);
      EXPECT_TRUE(two.wrote) << g;
      for (int colours : {1, 3}) {
        const EffectRun other = run(g, n, colours);
        if (twoOnly) {
          EXPECT_FALSE(other.wrote) << g << " C=" << colours;
          EXPECT_TRUE(other.lines.empty()) << g << " C=" << colours;
        } else {
          EXPECT_TRUE(other.wrote) << g << " C=" << colours;
          EXPECT_EQ(other.lines, two.lines) << g << " N=" << n << " C=" << colours;
        }
      }
    }
  }
}

// Every channel count the design window allows runs to the end and draws only lamps and blanks.
TEST(TwoColourSweeps, EveryChannelCountRunsCleanly) {
  for (int k = 1; k <= 29; ++k) {
    const std::string g = "D" + std::to_string(k);
    const auto* generator = patterns::findGenerator(g);
    ASSERT_NE(generator, nullptr) << g;
    patterns::StepWriter out;
    for (int n = 4; n <= 300; ++n) {
      ASSERT_TRUE(patterns::runGenerator(*generator, n, 2, out)) << g << " N=" << n;
      ASSERT_FALSE(out.abandoned()) << g << " N=" << n;
      EXPECT_EQ(out.bytes().find_first_not_of("X \r\n"), std::string_view::npos) << g << " N=" << n;
      for (const auto& line : out.lines()) {
        ASSERT_EQ(line.find_first_not_of("X "), std::string::npos) << g << " N=" << n;
      }
    }
  }
}

}  // namespace
}  // namespace lumafex::testing
