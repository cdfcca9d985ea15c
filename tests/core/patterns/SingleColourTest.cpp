// The single-colour generators against their worked examples and stated step counts.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/patterns/EffectTesting.h"

namespace lumafex::testing {
namespace {

struct Example {
  const char* generator;
  int channels;
  int colours;
  const char* lines;    // dots for blanks; the first lines of the run, or all of them
  int totalSteps = -1;  // when the example lists only the first lines
};

void PrintTo(const Example& e, std::ostream* os) {
  *os << e.generator << " N=" << e.channels << " C=" << e.colours;
}

std::string repeated(const std::string& s, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += (i ? " " : "") + s;
  return out;
}

const std::string kS7 = repeated("X.X.X.X. .X.X.X. .X.X.X.", 10);

const Example kExamples[] = {
    {"S1", 16, 3,
     "X............... X..X............ X..X..X......... X..X..X..X...... X..X..X..X..X... "
     "X..X..X..X..X..X XX.X..X..X..X..X XX.XX.X..X..X..X XX.XX.XX.X..X..X XX.XX.XX.XX.X..X "
     "XX.XX.XX.XX.XX.X XX.XX.XX.XX.XX.X XXXXX.XX.XX.XX.X XXXXXXXX.XX.XX.X XXXXXXXXXXX.XX.X "
     "XXXXXXXXXXXXXX.X XXXXXXXXXXXXXXXX XXXXXXXXXXXXXXXX"},
    {"S5", 8, 1, "XXXXXXXX X.X.X.X. XXXXXXXX X.X.X.X. XXXXXXXX X.X.X.X. XXXXXXXX X.X.X.X."},
    {"S6", 8, 1, "XXXXX.X .XXX.XXX ..X.XXXXX ..X.XXXXX .XXX.XXX XXXXX.X"},
    {"S7", 8, 1, kS7.c_str()},
    {"S8", 8, 1, "X.X.X.X. .X.X.X.X X.X.X.X. .X.X.X.X X.X.X.X. .X.X.X.X X.X.X.X. .X.X.X.X"},
    {"S8", 12, 1, "X..X..X..X.. ..X..X..X..X .X..X..X..X.", 12},
    {"S9", 8, 1,
     "X.X.X.X.X.X.X.X. XX.X.X.X.X.X.X.X. .XX.X.X.X.X.X.X.X. X.XX.X.X.X.X.X.X.X. "
     ".X.XX.X.X.X.X.X.X.X. X.X.XX.X.X.X.X.X.X.X. .X.X.XX.X.X.X.X.X.X.X. X.X.X.XX.X.X.X.X.X.X.X."},
    {"S10", 8, 1, "XXX.... .XXX... ..XXX.. ..XXX.. ..XXX.. ...XXX. ....XXX ....XXX"},
    {"S11", 8, 1, "........ XXXXXXXX ........ XXXXXXXX"},
    {"S12", 8, 1,
     "X...XXXX XX..XXXX XXX.XXXX XXXXXXXX XXXX.XXX XXXX..XX XXXX...X XXXX.... .XXX.... ..XX.... "
     "...X.... ........ ....X... ....XX.. ....XXX. ....XXXX"},
    {"S13", 8, 1,
     "........ X......X .X....X. ..X..X.. ...XX... ........ ........ ...XX... ...XX... ..X..X.. "
     ".X....X. X......X X......X ........"},
    {"S14", 8, 1, "...XX... ..XXXX.. .XXXXXX. XXXXXXXX"},
    {"S15", 8, 1, "XXX..XXX XX....XX X......X ........"},
    {"S18", 8, 1, ".....X.XXX X...X...XX XX.X.....X XX.X.....X X...X...XX .....X.XXX"},
    {"S19", 8, 1,
     "XXXXXXXX.X XXXXXXX.X XXXXXXX..X XXXXXX.X XXXXXX..X XXXXXX...X XXXXX.X XXXXX..X XXXXX...X "
     "XXXXX....X",
     45},
    {"S20", 8, 1,
     "X....... .X...... ..X..... ...X.... ....X... .....X.. ......X. .......X .X...... ..X..... "
     "...X.... ....X... .....X.. ......X. .......X ........"},
    {"S21", 8, 1,
     "X. X.X. X.X.X. X.X.X.X. .X.X.X.X X.X.X.X. .X.X.X.X X.X.X.X. .X.X.X.X X.X.X.X. .X.X.X.X "
     "X.X.X.X. .X.X.X.X X.X.X.X. .X.X.X.X X.X.X.X. .X.X.X.X X.X.X.X. .X.X.X.X X.X.X.X. X.X.X.X. "
     "..X.X.X. ....X.X. ......X."},
    {"S22", 8, 1,
     "X. X. X.XX.. X.XX.. X.XX..XX X.XX..XX .X.XX..X ..X.XX.. ...X.XX. ....X.XX .....X.X "
     "......X. .......X ........"},
    {"S23", 8, 1, "XXXX .X.X.X.X ..X..X..X..X"},
    {"S23", 16, 1, "XXXXXXXX .XX.XX.XX.XX ..XX..XX..XX..XX ...XX...XX...XX...XX ....XX....XX....XX....XX"},
    {"S24", 8, 1,
     "X .X ..X ...X ....X .....X ......X .......X X......X .X.....X ..X....X ...X...X ....X..X "
     ".....X.X ......XX X.....XX",
     36},
    {"S25", 8, 1, "XXXXXXXX .XXXXXXX X.XXXXXX ..XXXXXX .X.XXXXX X..XXXXX ...XXXXX ..X.XXXX", 36},
    {"S26", 16, 1,
     "...............X ..............X .............X ............X ...........X ..........X "
     ".........X ........X .......X ......X .....X ....X ...X ..X .X X X..............X "
     "X.............X",
     136},
    {"S27", 8, 1, "........ X......X XX....XX XXX..XXX XXXXXXXX"},
    {"S28", 8, 1, "XXXXXXXX .XXXXXX. ..XXXX.. ...XX... ........"},
};

class SingleColourExample : public ::testing::TestWithParam<Example> {};

TEST_P(SingleColourExample, WritesTheExampleLines) {
  const Example& ex = GetParam();
  const auto expected = exampleLines(ex.lines);
  const EffectRun r = run(ex.generator, ex.channels, ex.colours);
  ASSERT_TRUE(r.wrote);
  const std::size_t total = ex.totalSteps < 0 ? expected.size() : static_cast<std::size_t>(ex.totalSteps);
  ASSERT_EQ(r.lines.size(), total) << show(r.lines);
  const std::vector<std::string> head(r.lines.begin(), r.lines.begin() + static_cast<long>(expected.size()));
  EXPECT_EQ(head, expected) << "got:\n" << show(head) << "expected:\n" << show(expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, SingleColourExample, ::testing::ValuesIn(kExamples), [](const auto& info) {
  return std::string(info.param.generator) + "_N" + std::to_string(info.param.channels) + "_C" +
         std::to_string(info.param.colours);
});

struct StepCount {
  const char* generator;
  int channels;
  int colours;
  std::size_t steps;
};

const StepCount kCounts[] = {
    {"S2", 8, 1, 9},     {"S2", 100, 1, 101}, {"S4", 8, 1, 8},     {"S4", 100, 1, 100}, {"S7", 4, 1, 30},
    {"S7", 300, 1, 30},  {"S7", 48, 3, 45},   {"S7", 299, 3, 45},  {"S26", 8, 1, 136},  {"S26", 300, 1, 136},
    {"S24", 16, 1, 136}, {"S24", 32, 1, 136}, {"S24", 33, 1, 153}, {"S10", 32, 3, 11},  {"S10", 4, 1, 0},
    {"S14", 32, 3, 24},  {"S11", 7, 1, 0},    {"S11", 16, 3, 12},  {"S1", 16, 3, 18},   {"S5", 16, 3, 16},
    {"S19", 8, 1, 45},   {"S19", 15, 1, 136}, {"S6", 13, 1, 8},    {"S18", 13, 1, 8},   {"S2", 16, 3, 19},
    {"S3", 16, 3, 16},   {"S4", 17, 3, 17},   {"S8", 48, 3, 48},
};

TEST(SingleColour, StepCounts) {
  for (const auto& c : kCounts) {
    const EffectRun r = run(c.generator, c.channels, c.colours);
    EXPECT_TRUE(r.wrote) << c.generator << " N=" << c.channels;
    EXPECT_EQ(r.lines.size(), c.steps) << c.generator << " N=" << c.channels << " C=" << c.colours;
  }
}

TEST(SingleColour, CollapsesEndDark) {
  for (const char* g : {"S2", "S4"}) {
    for (int n : {4, 9, 64, 300}) {
      const EffectRun r = run(g, n, 1);
      ASSERT_FALSE(r.lines.empty());
      EXPECT_EQ(r.lines.back(), std::string(static_cast<std::size_t>(n), ' ')) << g << " N=" << n;
    }
  }
}

TEST(SingleColour, LeftSplitIsRightBuildingBlocksReversedAndPadded) {
  for (int n : {4, 8, 15, 16, 33, 300}) {
    auto blocks = run("S24", n, 1).lines;
    std::reverse(blocks.begin(), blocks.end());
    for (auto& line : blocks) line.resize(static_cast<std::size_t>(n), ' ');
    EXPECT_EQ(run("S25", n, 1).lines, blocks) << "N=" << n;
  }
}

TEST(SingleColour, LeftBuildingBlocksStartDarkOnSmallSigns) {
  const auto lines = run("S26", 8, 1).lines;
  ASSERT_EQ(lines.size(), 136u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(lines[static_cast<std::size_t>(i)].find('X'), std::string::npos) << i;
  EXPECT_NE(lines[8].find('X'), std::string::npos);
}

// Which rule a generator writes depends on the threshold and the colour count.
struct RuleChoice {
  const char* generator;
  int channels;
  int colours;
  bool writes;
  const char* sameAs;  // when set: writes exactly what this generator/colour-1 run writes
};

const RuleChoice kChoices[] = {
    {"S1", 15, 2, true, "S1"},  // below the threshold the one-colour rule runs whatever the count
    {"S1", 16, 2, false, nullptr},
    {"S5", 16, 3, true, "S5"},  // 16 < 32: one-colour rule although three
                                // colours
    {"S7", 47, 3, true, "S7"},
    {"S11", 64, 2, false, nullptr},
    {"S12", 64, 2, false, nullptr},
    {"S12", 64, 3, true, "S12"},  // three-colour rule draws the same lines
    {"S13", 40, 3, true, "S13"},
    {"S16", 40, 3, true, "S16"},
    {"S17", 40, 3, true, "S17"},
    {"S18", 40, 3, true, "S18"},
    {"S27", 40, 3, true, "S27"},
    {"S28", 40, 2, false, nullptr},
    {"S19", 40, 2, true, "S19"},  // the colour count is ignored
    {"S20", 40, 2, true, "S20"},
    {"S21", 40, 3, true, "S21"},
    {"S22", 40, 2, true, "S22"},
    {"S23", 40, 2, true, "S23"},
    {"S24", 40, 2, true, "S24"},
    {"S25", 40, 3, true, "S25"},
    {"S26", 40, 2, true, "S26"},
};

TEST(SingleColour, RuleChoiceByThresholdAndColourCount) {
  for (const auto& c : kChoices) {
    const EffectRun r = run(c.generator, c.channels, c.colours);
    EXPECT_EQ(r.wrote, c.writes) << c.generator << " N=" << c.channels << " C=" << c.colours;
    if (!c.writes) {
      EXPECT_TRUE(r.lines.empty());
    } else if (c.sameAs) {
      EXPECT_EQ(r.lines, run(c.sameAs, c.channels, 1).lines) << c.generator;
    }
  }
}

TEST(SingleColour, LightBarWidthGrowsWithTheSign) {
  struct Width {
    int n;
    std::size_t lit;
  };
  for (const Width w :
       {Width{8, 1}, Width{31, 1}, Width{32, 2}, Width{47, 2}, Width{48, 3}, Width{300, 18}}) {
    const auto lines = run("S16", w.n, 1).lines;
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(w.n));
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), 'X'), static_cast<long>(w.lit)) << w.n;
    const auto dark = run("S17", w.n, 1).lines;
    EXPECT_EQ(std::count(dark[0].begin(), dark[0].end(), ' '), static_cast<long>(w.lit)) << w.n;
  }
}

TEST(SingleColour, ThreeColourPassesLightOneGroupAtATime) {
  // S3's first pass lights only the positions of the group that ends at the far end.
  const auto lines = run("S3", 18, 3).lines;
  ASSERT_EQ(lines.size(), 18u);
  EXPECT_EQ(lines[5], "  X  X  X  X  X  X");
  EXPECT_EQ(lines[11], " XX XX XX XX XX XX");
  EXPECT_EQ(lines[17], std::string(18, 'X'));
  const auto off = run("S4", 18, 3).lines;
  EXPECT_EQ(off[5], "XX XX XX XX XX XX ");
  EXPECT_EQ(off.back(), std::string(18, ' '));
}

TEST(SingleColour, ThreeColourCollapseGrowsPastTheSign) {
  // Setting a position past the end of the line appends a blank: the last steps are longer than N.
  const auto lines = run("S2", 16, 3).lines;
  ASSERT_EQ(lines.size(), 19u);
  EXPECT_EQ(lines.front(), std::string(16, 'X'));
  EXPECT_EQ(lines[12].size(), 17u);
  EXPECT_EQ(lines.back(), std::string(18, ' '));
}

}  // namespace
}  // namespace lumafex::testing
