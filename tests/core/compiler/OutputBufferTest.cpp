// Stage one: title merge, the channel count and the row count.

#include <gtest/gtest.h>

#include "core/compiler/OutputBuffer.h"

namespace lumafex::compiler {
namespace {

const std::string kFive = "L1aaaaaa\r\nL2bbbbbb\r\nL3cccccc\r\nL4dddddd\r\nL5eeeeee\r\n";

BufferInput merged(std::string_view program, std::string_view effect) {
  BufferInput in;
  in.totalProgram = program;
  in.title = "欢迎光";
  in.titleEffect = effect;
  in.horizontalShown = true;
  in.horizontalTitleEffect = true;
  return in;
}

TEST(OutputBuffer, TitleChannelsFollowEachStep) {
  const auto r = buildOutputBuffer(merged(kFive, "X□X<2>\r\n□□□<4>\r\n"));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.bytes, "L1aaaaaaXXX\r\nL2bbbbbbX X\r\nL3ccccccX X\r\nL4dddddd   \r\nL5eeeeee   \r\n");
  EXPECT_EQ(r.channelsLabel, "11");
  EXPECT_EQ(r.rowsLabel, "5");
}

TEST(OutputBuffer, NoMergeGivesAByteCopy) {
  struct Case {
    const char* name;
    BufferInput in;
  };
  BufferInput endsWithOne = merged(kFive, "X□X<1>");
  BufferInput newProject = merged(kFive, "新工程<1>");
  BufferInput hidden = merged(kFive, "X□X<2>\r\n");
  hidden.horizontalShown = false;
  BufferInput effectOff = merged(kFive, "X□X<2>\r\n");
  effectOff.horizontalTitleEffect = false;
  for (const Case& c : {Case{"ends with <1>", endsWithOne}, Case{"new project", newProject},
                        Case{"preview hidden", hidden}, Case{"effect off", effectOff}}) {
    const auto r = buildOutputBuffer(c.in);
    ASSERT_TRUE(r.ok) << c.name;
    EXPECT_EQ(r.bytes, kFive) << c.name;
    EXPECT_EQ(r.channelsLabel, "8") << c.name;  // a fresh window takes the first line's length
  }
}

TEST(OutputBuffer, VerticalPreviewAlsoAsksForTheMerge) {
  BufferInput in = merged(kFive, "X□X<2>\r\n");
  in.horizontalTitleEffect = false;
  in.verticalShown = true;
  in.verticalTitleEffect = true;
  EXPECT_EQ(buildOutputBuffer(in).channelsLabel, "11");
}

TEST(OutputBuffer, MaskOfTheWrongLengthStopsTheCompile) {
  const std::string effect = "XXX<1>\r\nX□<2>\r\n";
  const auto r = buildOutputBuffer(merged(kFive, effect));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "“X□<2>”的长度有问题！");
  EXPECT_EQ(r.maskStart, 8u);
  EXPECT_EQ(r.maskLength, 2u);
  EXPECT_EQ(r.bytes, "L1aaaaaaXXX\r\n");  // what was written before the faulty step
  EXPECT_EQ(r.channelsLabel, "路数");     // unchanged
}

TEST(OutputBuffer, AnyMaskCharacterButTheDarkMarkLights) {
  const auto r = buildOutputBuffer(merged("ab\r\n", "A □<1>\r\n"));
  EXPECT_EQ(r.bytes, "abXX \r\n");
}

TEST(OutputBuffer, ManualFileAddsTheTitleToTheBaseChannels) {
  BufferInput in;
  in.totalProgram = kFive;
  in.title = "一二三四";
  in.manualFileExists = true;
  in.baseChannels = "32";
  auto r = buildOutputBuffer(in);
  EXPECT_EQ(r.channelsLabel, "36");
  in.baseChannels = "基本路数";  // no number: the first line decides
  EXPECT_EQ(buildOutputBuffer(in).channelsLabel, "8");
}

// Numbers beyond what a channel count can be are held at the end of the range, not converted
// into whatever the machine makes of them; a base channel count no sign can have reads as no
// number, so the count stays as found.
TEST(OutputBuffer, HugeNumbersInLabelsAreHeld) {
  EXPECT_GT(labelValue("1e300"), 1'000'000'000'000'000'000L);
  EXPECT_LT(labelValue("-1e300"), -1'000'000'000'000'000'000L);
  EXPECT_EQ(labelValue("40.9路"), 40);
  BufferInput in;
  in.totalProgram = kFive;
  in.manualFileExists = true;
  in.baseChannels = "+1999999999999999999999999999999999999999";
  EXPECT_EQ(buildOutputBuffer(in).channelsLabel, "8");
}

TEST(OutputBuffer, ChannelCountIsCarriedWhileTheWindowStaysOpen) {
  BufferInput in;
  in.totalProgram = kFive;
  in.channelsLabel = "48";
  const auto r = buildOutputBuffer(in);
  EXPECT_EQ(r.channelsLabel, "48");
  EXPECT_EQ(r.rowsLabel, "1");  // 50 characters ÷ (48 + 2)
  in.channelsLabel = "18";
  EXPECT_EQ(buildOutputBuffer(in).rowsLabel, "2.5");
}

TEST(OutputBuffer, RowsText) {
  EXPECT_EQ(rowsText(4200, 40), "100");
  EXPECT_EQ(rowsText(10, 1), "3.33333333333333");
  EXPECT_EQ(rowsText(0, 8), "0");
}

TEST(OutputBuffer, EmptyProgramWithMergeTakesTheTitleLength) {
  const auto r = buildOutputBuffer(merged("", "X□X<2>"));
  EXPECT_TRUE(r.bytes.empty());
  EXPECT_EQ(r.channelsLabel, "3");
}

}  // namespace
}  // namespace lumafex::compiler
