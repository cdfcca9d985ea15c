// The lamp layout of the previews: the worked example on a horizontal sign, the same sign turned
// into vertical columns, a single channel, and the colour of each lamp.

#include <gtest/gtest.h>

#include <cmath>

#include "core/preview/LampLayout.h"

using lumafex::preview::LampLayout;
using lumafex::preview::Orientation;
using lumafex::preview::TwipsRect;

namespace {

constexpr double kTolerance = 0.01;

void expectRect(const TwipsRect& actual, const TwipsRect& expected) {
  EXPECT_NEAR(actual.left, expected.left, kTolerance);
  EXPECT_NEAR(actual.top, expected.top, kTolerance);
  EXPECT_NEAR(actual.right, expected.right, kTolerance);
  EXPECT_NEAR(actual.bottom, expected.bottom, kTolerance);
}

// N = 8, R = 1 on a canvas of 8000 x 3000 twips.
TEST(LampLayoutHorizontal, WorkedExampleMeasures) {
  const LampLayout layout(Orientation::Horizontal, 8000, 3000, 8, 1);
  EXPECT_NEAR(layout.marginAlong(), 1000, kTolerance);
  EXPECT_NEAR(layout.marginAcross(), 300, kTolerance);
  EXPECT_NEAR(layout.channelPitch(), 857.142857, kTolerance);
  EXPECT_NEAR(layout.rowPitch(), 2400, kTolerance);
  EXPECT_NEAR(layout.lampLength(), 514.285714, kTolerance);
}

TEST(LampLayoutHorizontal, WorkedExampleLamps) {
  const LampLayout layout(Orientation::Horizontal, 8000, 3000, 8, 1);
  const double p = 6000.0 / 7;
  const double lw = 3 * p / 5;
  struct Case {
    int column;
    double right;
  };
  for (const Case& c : {Case{1, 1000}, Case{2, 1000 + p}, Case{5, 1000 + 4 * p}, Case{8, 7000}}) {
    SCOPED_TRACE(c.column);
    expectRect(layout.lamp(1, c.column), {c.right - lw, 240, c.right, 2670});
  }
  expectRect(layout.lamp(1, 1), {485.714286, 240, 1000, 2670});
}

TEST(LampLayoutHorizontal, RowsStackDownTheCanvas) {
  // H = 3000: MT = 300, Q = (3000 - 600) / 3 = 800.
  const LampLayout layout(Orientation::Horizontal, 8000, 3000, 8, 3);
  struct Case {
    int row;
    double top;
    double bottom;
  };
  for (const Case& c : {Case{1, 240, 1070}, Case{2, 1040, 1870}, Case{3, 1840, 2670}}) {
    SCOPED_TRACE(c.row);
    const TwipsRect lamp = layout.lamp(c.row, 4);
    EXPECT_NEAR(lamp.top, c.top, kTolerance);
    EXPECT_NEAR(lamp.bottom, c.bottom, kTolerance);
    // Every row has its lamps in the same columns.
    EXPECT_NEAR(lamp.left, layout.lamp(1, 4).left, kTolerance);
    EXPECT_NEAR(lamp.right, layout.lamp(1, 4).right, kTolerance);
  }
}

TEST(LampLayoutVertical, IsTheHorizontalLayoutTurned) {
  // The worked example turned: a canvas of 3000 x 8000 twips with the channels down its height.
  const LampLayout layout(Orientation::Vertical, 3000, 8000, 8, 1);
  EXPECT_NEAR(layout.marginAlong(), 1000, kTolerance);  // MT = H / N
  EXPECT_NEAR(layout.marginAcross(), 300, kTolerance);  // ML = W / 10
  EXPECT_NEAR(layout.channelPitch(), 857.142857, kTolerance);
  EXPECT_NEAR(layout.rowPitch(), 2400, kTolerance);
  const LampLayout horizontal(Orientation::Horizontal, 8000, 3000, 8, 1);
  for (int c = 1; c <= 8; ++c) {
    SCOPED_TRACE(c);
    const TwipsRect h = horizontal.lamp(1, c);
    expectRect(layout.lamp(1, c), {h.top, h.left, h.bottom, h.right});
  }
  expectRect(layout.lamp(1, 1), {240, 485.714286, 2670, 1000});
}

TEST(LampLayoutVertical, RowsStandSideBySide) {
  // W = 2000: ML = 200, Q = (2000 - 400) / 2 = 800; H = 6000, N = 4: MT = 1500, P = 1000, LW = 600.
  const LampLayout layout(Orientation::Vertical, 2000, 6000, 4, 2);
  expectRect(layout.lamp(1, 1), {140, 900, 970, 1500});
  expectRect(layout.lamp(2, 1), {940, 900, 1770, 1500});
  expectRect(layout.lamp(2, 4), {940, 3900, 1770, 4500});
}

TEST(LampLayoutEdges, SingleChannelIsOneCentredLamp) {
  for (const Orientation orientation : {Orientation::Horizontal, Orientation::Vertical}) {
    const LampLayout layout(orientation, 6000, 6000, 1, 1);
    const TwipsRect lamp = layout.lamp(1, 1);
    ASSERT_TRUE(std::isfinite(lamp.left) && std::isfinite(lamp.right));
    ASSERT_TRUE(std::isfinite(lamp.top) && std::isfinite(lamp.bottom));
    const bool horizontal = orientation == Orientation::Horizontal;
    const double start = horizontal ? lamp.left : lamp.top;
    const double end = horizontal ? lamp.right : lamp.bottom;
    EXPECT_GT(end - start, 0);
    EXPECT_NEAR((start + end) / 2, 3000, kTolerance);
  }
}

TEST(LampLayoutEdges, NoChannelsOrRowsDoNotDivideByZero) {
  const LampLayout none(Orientation::Horizontal, 6000, 3000, 0, 0);
  const TwipsRect lamp = none.lamp(1, 1);
  EXPECT_TRUE(std::isfinite(lamp.left) && std::isfinite(lamp.right) && std::isfinite(lamp.top) &&
              std::isfinite(lamp.bottom));
  EXPECT_TRUE(std::isfinite(none.rowPitch()));
}

TEST(LampColour, CyclesOverTheColourCount) {
  struct Case {
    int colours;
    std::vector<int> expected;  // columns 1 … 8
  };
  const Case cases[] = {
      {1, {1, 1, 1, 1, 1, 1, 1, 1}},  {2, {1, 2, 1, 2, 1, 2, 1, 2}},
      {3, {1, 2, 3, 1, 2, 3, 1, 2}},  {0, {1, 1, 1, 1, 1, 1, 1, 1}},  // no colour count: one colour
      {-2, {1, 1, 1, 1, 1, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.colours);
    for (int column = 1; column <= 8; ++column) {
      EXPECT_EQ(LampLayout::colourIndex(column, c.colours), c.expected[static_cast<std::size_t>(column - 1)])
          << "column " << column;
    }
  }
}

}  // namespace
