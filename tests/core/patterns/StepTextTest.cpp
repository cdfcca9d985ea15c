// The arithmetic the effect rules are written in: rounding, integer division, substrings and
// setting a position of a working string.

#include <gtest/gtest.h>

#include <limits>

#include "core/patterns/StepText.h"

namespace lumafex::patterns {
namespace {

TEST(StepArithmetic, HalvesRoundToEven) {
  struct Case {
    double in;
    long out;
  };
  for (const Case c : {Case{2.5, 2}, Case{3.5, 4}, Case{0.5, 0}, Case{1.5, 2}, Case{-0.5, 0}, Case{2.4999, 2},
                       Case{7.0, 7}, Case{37.5, 38}}) {
    EXPECT_EQ(whole(c.in), c.out) << c.in;
  }
  // A number read from a file may be any size: held at the ends of the range, in order.
  EXPECT_GE(whole(2.2e74), 4'000'000'000'000'000'000L);
  EXPECT_LE(whole(-1e300), -4'000'000'000'000'000'000L);
  EXPECT_GE(whole(2.2e74), whole(1e18));
  EXPECT_EQ(whole(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(StepArithmetic, IntegerDivisionRoundsOperandsFirst) {
  EXPECT_EQ(idiv(17, 8), 2);
  EXPECT_EQ(idiv(2.5, 1), 2);  // 2.5 becomes 2
  EXPECT_EQ(idiv(7, 3.5), 1);  // 3.5 becomes 4
  EXPECT_EQ(Int(-0.5), -1);
  EXPECT_THROW(idiv(3, 0.4), RuleError);
}

TEST(StepArithmetic, MidLeftRight) {
  EXPECT_EQ(Mid("ABCDE", 2, 3), "BCD");
  EXPECT_EQ(Mid("ABCDE", 4, 9), "DE");
  EXPECT_EQ(Mid("ABCDE", 6, 1), "");
  EXPECT_EQ(Mid("ABCDE", 2.5, 1), "B");  // position 2.5 becomes 2
  EXPECT_EQ(Mid("ABCDE", 3), "CDE");
  EXPECT_THROW(Mid("ABCDE", 0, 1), RuleError);
  EXPECT_THROW(Mid("ABCDE", 1, -1), RuleError);
  EXPECT_EQ(Left("ABCDE", 2), "AB");
  EXPECT_EQ(Left("ABCDE", -3), "");
  EXPECT_EQ(Right("ABCDE", 2), "DE");
  EXPECT_EQ(Right("ABCDE", 0), "");
  EXPECT_EQ(Right("ABCDE", 9), "ABCDE");
}

TEST(StepArithmetic, SettingAPosition) {
  struct Case {
    const char* before;
    double pos;
    const char* unit;
    const char* after;
  };
  for (const Case c :
       {Case{"    ", 2, "X", " X  "}, Case{"    ", 4, "XX", "   XX"}, Case{"XXXX", 5, " ", "XXXX "},
        Case{"XXXX", 9, " ", "XXXX "}, Case{"ABCDEF", 1, "xy", "xyCDEF"}}) {
    std::string w = c.before;
    setPos(w, c.pos, c.unit);
    EXPECT_EQ(w, c.after) << c.before << " @" << c.pos;
  }
}

TEST(StepArithmetic, NegativeCountsAreRuleErrors) {
  std::string s;
  EXPECT_THROW(addBlanks(s, -1), RuleError);
  EXPECT_THROW(addXs(s, -0.6), RuleError);
  EXPECT_NO_THROW(addXs(s, -0.5));  // rounds to 0
}

TEST(StepWriter, LinesEndWithCrLfAndCutKeepsTheStart) {
  StepWriter out;
  out.put("XX").blanks(3).xs(1).cut(4).end();
  out.end();
  out.write("X");
  EXPECT_EQ(out.bytes(), "XX  \r\n\r\nX\r\n");
  EXPECT_EQ(out.lineCount(), 3u);
  EXPECT_EQ(out.lines(), (std::vector<std::string>{"XX  ", "", "X"}));
}

TEST(StepWriter, UnfinishedLineIsDropped) {
  StepWriter out;
  out.write("X ");
  out.put("XXX");
  out.dropUnfinishedLine();
  EXPECT_EQ(out.bytes(), "X \r\n");
}

}  // namespace
}  // namespace lumafex::patterns
