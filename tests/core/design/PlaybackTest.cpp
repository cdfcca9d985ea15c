// Playing step files: the cursor, the whole-board run and the catch-up of fast runs.

#include <gtest/gtest.h>

#include <vector>

#include "core/design/Playback.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::design {
namespace {

TEST(StepCursor, ReadsLinesWithoutTheirEndsThenRewinds) {
  testing::TempDir dir;
  const auto file = dir.path() / "steps.txt";
  ASSERT_TRUE(platform::writeBytesSafely(file, "X  X\r\n XX \r\nXXXX\r\n"));
  StepCursor c;
  EXPECT_TRUE(c.atEnd());  // closed
  ASSERT_TRUE(c.open(file));
  EXPECT_EQ(c.next(), "X  X");
  EXPECT_EQ(c.next(), " XX ");
  EXPECT_EQ(c.position(), 2);
  EXPECT_EQ(c.next(), "XXXX");
  EXPECT_TRUE(c.atEnd());
  EXPECT_EQ(c.next(), std::nullopt);
  c.rewind();
  EXPECT_EQ(c.position(), 0);
  EXPECT_EQ(c.next(), "X  X");
  c.close();
  EXPECT_FALSE(c.isOpen());
  EXPECT_FALSE(c.open(dir.path() / "missing.txt"));
  EXPECT_TRUE(c.atEnd());
}

TEST(StepCursor, LastLineWithoutLineEndAndEmptyFile) {
  testing::TempDir dir;
  ASSERT_TRUE(platform::writeBytesSafely(dir.path() / "a", "X\nXX"));
  ASSERT_TRUE(platform::writeBytesSafely(dir.path() / "b", ""));
  StepCursor c;
  ASSERT_TRUE(c.open(dir.path() / "a"));
  EXPECT_EQ(c.next(), "X");
  EXPECT_EQ(c.next(), "XX");
  EXPECT_TRUE(c.atEnd());
  ASSERT_TRUE(c.open(dir.path() / "b"));
  EXPECT_TRUE(c.atEnd());
}

TEST(StepCursor, StepCountAndSplit) {
  EXPECT_EQ(stepCount(66 * 3, 64), 3);
  EXPECT_EQ(stepCount(66 * 3 + 10, 64), 3);
  EXPECT_EQ(stepCount(100, 0), 0);
  const auto both = splitStep("X X XX ", 4, true);
  EXPECT_EQ(both.tubes, "X X ");
  EXPECT_EQ(both.images, "XX ");
  EXPECT_EQ(splitStep("X X XX ", 4, false).images, "");
  EXPECT_EQ(splitStep("X", 4, true).tubes, "X");
}

TEST(BoardRun, AdvancesEntryAfterEntryAndLoops) {
  BoardRun run;
  EXPECT_EQ(run.advance(0, 3), BoardRun::Advance::StopTimer);
  run.start();
  EXPECT_EQ(run.advance(0, 3), BoardRun::Advance::None);  // the entry still plays
  run.entryEnded();
  EXPECT_EQ(run.advance(0, 3), BoardRun::Advance::Next);
  EXPECT_EQ(run.advance(1, 3), BoardRun::Advance::None);  // one end, one advance
  run.entryEnded();
  EXPECT_EQ(run.advance(2, 3), BoardRun::Advance::Restart);
  run.entryEnded();
  EXPECT_EQ(run.advance(-1, 3), BoardRun::Advance::Restart);
  run.stop();
  run.entryEnded();
  EXPECT_EQ(run.advance(0, 3), BoardRun::Advance::StopTimer);
}

TEST(CatchUpScheduler, StepsDueFollowTheClock) {
  struct Tick {
    long long now;
    int due;
  };
  CatchUpScheduler s;
  // 1 ms a step: the first tick after a long time starts afresh, then every millisecond counts.
  // A gap of more than ten steps is a pause: the run goes on from there instead of racing.
  for (const Tick& t : {Tick{1000, 1}, Tick{1000, 0}, Tick{1004, 4}, Tick{1005, 1}, Tick{1015, 10},
                        Tick{1040, 1}, Tick{1041, 1}}) {
    EXPECT_EQ(s.due(t.now, 1), t.due) << t.now;
  }
  CatchUpScheduler slow;
  EXPECT_EQ(slow.due(100, 8), 1);
  EXPECT_EQ(slow.due(107, 8), 0);
  EXPECT_EQ(slow.due(108, 8), 1);
  EXPECT_EQ(slow.due(124, 8), 2);
}

}  // namespace
}  // namespace lumafex::design
