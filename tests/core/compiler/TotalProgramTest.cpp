// Assembling the total program from a board.

#include <gtest/gtest.h>

#include "core/compiler/TotalProgram.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/TextFile.h"

namespace lumafex::compiler {
namespace {

std::string effect(const char* generator, int n, int colours) {
  patterns::StepWriter out;
  patterns::runGenerator(*patterns::findGenerator(generator), n, colours, out);
  return std::string(out.bytes());
}

AssemblyInput board(std::vector<std::string> entries, int colours, int n) {
  AssemblyInput in;
  in.board = std::move(entries);
  in.colours = colours;
  in.channels = n;
  return in;
}

TEST(TotalProgram, EntriesInBoardOrderWithoutSeparators) {
  const auto r = assembleTotalProgram(board({"1右扫", "3左扫", "1右扫"}, 1, 8));
  EXPECT_EQ(r.bytes, effect("S1", 8, 1) + effect("S3", 8, 1) + effect("S1", 8, 1));
  EXPECT_EQ(r.width, 8);
  EXPECT_EQ(r.steps, 24);
}

TEST(TotalProgram, LinesArePaddedOrCutToN) {
  // S18 writes lines of N + 2, S28 lines of N; "13追逐" at N = 8 writes lines of 7.
  const auto r = assembleTotalProgram(board({"20推挡", "13追逐"}, 1, 8));
  for (const auto& line : platform::splitTextLines(r.bytes)) EXPECT_EQ(line.size(), 8u) << line;
  EXPECT_EQ(platform::splitTextLines(r.bytes).front(), "     X X");  // ".....X.XXX" cut to 8
  EXPECT_EQ(platform::splitTextLines(r.bytes)[6], "XXX     ");       // "XXX...." padded
}

TEST(TotalProgram, ImageChannelsAreTheInverseOfTheFirstTubes) {
  AssemblyInput in = board({"1右扫"}, 1, 4);
  in.imagesOn = true;
  in.imageCount = 3;
  const auto lines = platform::splitTextLines(normaliseLines("X X \r\n", 4, true, 3));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "X X  X ");
  const auto r = assembleTotalProgram(in);
  EXPECT_EQ(r.width, 7);
  EXPECT_EQ(r.steps, 4);
  EXPECT_EQ(platform::splitTextLines(r.bytes).front(), "X    XX");
  in.tubesOn = false;  // images without tubes: no extra channels
  EXPECT_EQ(assembleTotalProgram(in).width, 4);
}

TEST(TotalProgram, MoreImagesThanTubesAreLitBeyondTheTubes) {
  EXPECT_EQ(normaliseLines("XXXX\r\n", 4, true, 6), "XXXX    XX\r\n");
}

TEST(TotalProgram, EntryBeyondTheCatalogueEndsTheAssembly) {
  const auto r = assembleTotalProgram(board({"1右扫", "40乱码", "3左扫"}, 1, 8));
  EXPECT_TRUE(r.boardEndedEarly);
  EXPECT_EQ(r.bytes, effect("S1", 8, 1));
}

TEST(TotalProgram, FirstEntryWithoutNumberGeneratesNothing) {
  const auto r = assembleTotalProgram(board({"右扫", "3左扫"}, 1, 8));
  EXPECT_TRUE(r.bytes.empty());
  EXPECT_EQ(r.width, 0);
  EXPECT_EQ(r.steps, 0);
}

TEST(TotalProgram, EntryWithoutNumberRepeatsWhatTheScratchFileHolds) {
  const auto r = assembleTotalProgram(board({"22收缩", "收缩"}, 1, 8));
  EXPECT_EQ(r.bytes, effect("S28", 8, 1) + effect("S28", 8, 1));
}

TEST(TotalProgram, ChannelCountForGeneration) {
  EXPECT_EQ(channelsForGeneration(64, true, true, 9, 10), 64);
  EXPECT_EQ(channelsForGeneration(64, false, true, 9, 10), 9);
  EXPECT_EQ(channelsForGeneration(64, false, true, 2, 10), 4);
  EXPECT_EQ(channelsForGeneration(64, false, false, 9, 10), 10);
}

TEST(TotalProgram, EmptyEffectsContributeNothing) {
  // "13追逐" writes no steps at N = 4, "28全灭" writes two dark lines.
  const auto r = assembleTotalProgram(board({"13追逐", "28全灭"}, 1, 4));
  EXPECT_EQ(r.bytes, "    \r\n    \r\n");
}

}  // namespace
}  // namespace lumafex::compiler
