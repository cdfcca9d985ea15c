// lumafex-cli as a user runs it: exit codes, the exact bytes of an effect, the catalogue names.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/RunCli.h"

namespace {

using Outcome = lumafex::testing::CliOutcome;
using lumafex::testing::runCli;

TEST(Cli, EffectWritesScratchFileBytes) {
  const Outcome o = runCli("effect --channels 8 --colours 1 22收缩");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "XXXXXXXX\r\n XXXXXX \r\n  XXXX  \r\n   XX   \r\n        \r\n");
  EXPECT_EQ(runCli("effect --channels 8 --colours 1 22").out, o.out);
  EXPECT_EQ(runCli("effect --channels 8 --colours 1 S28").out, o.out);
}

TEST(Cli, ExitCodes) {
  struct Case {
    const char* args;
    int status;
  };
  for (const Case c : {
           Case{"effect --channels 8 --colours 1 1右扫", 0},
           Case{"effect --channels 16 --colours 3 1", 0},
           Case{"effect --channels 16 --colours 2 S1", 3},  // no rule for two colours from 16 channels
           Case{"effect --channels 4 --colours 1 S10", 0},  // a rule that writes an empty effect
           Case{"effect --channels 3 --colours 1 1", 2},
           Case{"effect --channels 301 --colours 1 1", 2},
           Case{"effect --channels abc --colours 1 1", 2},
           Case{"effect --channels 8 --colours 4 1", 2},
           Case{"effect --channels 8 --colours 1 31", 2},
           Case{"effect --channels 8 --colours 3 27全亮", 2},  // the three-colour list has 26 entries
           Case{"effect --channels 8 --colours 1 追逐", 2},
           Case{"effect --channels 8 --colours 1 S29", 2},
           Case{"effect --channels 8 --colours 1", 2},
           Case{"effect --channels 8 --colours 1 --bogus 1", 2},
           Case{"catalogue --colours 1", 0},
           Case{"catalogue --colours 0", 2},
           Case{"catalogue", 2},
           Case{"frobnicate", 2},
           Case{"--help", 0},
       }) {
    EXPECT_EQ(runCli(c.args).status, c.status) << c.args;
  }
}

TEST(Cli, NoRuleWritesNothing) {
  const Outcome o = runCli("effect --channels 20 --colours 2 S1");
  EXPECT_EQ(o.status, 3);
  EXPECT_TRUE(o.out.empty());
  EXPECT_EQ(runCli("effect --channels 20 --colours 1 D19").status, 3);  // the flows need two colours
}

TEST(Cli, TwoColourEntries) {
  EXPECT_EQ(runCli("effect --channels 8 --colours 2 1右扫_色彩1").out,
            "X       \r\nX X     \r\nX X X   \r\nX X X X \r\n");
  EXPECT_EQ(runCli("effect --channels 8 --colours 2 44").out, "\r\n\r\n\r\n\r\n");  // four empty lines
  EXPECT_EQ(runCli("effect --channels 8 --colours 2 67").status, 2);
}

TEST(Cli, CatalogueNamesOnePerLine) {
  const Outcome o = runCli("catalogue --colours 3");
  ASSERT_EQ(o.status, 0);
  EXPECT_EQ(o.out.rfind("1右扫\n2右收\n", 0), 0u);
  EXPECT_NE(o.out.find("\n24积木\n25拆分\n26交叉\n"), std::string::npos);
  EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 26);
}

}  // namespace
