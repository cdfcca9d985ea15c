// The artwork's channel rules: names, the map file (read, written, bad lines), which element lights
// with which channel, the numbering orders and the chip's frame.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/artwork/ArtworkChannels.h"
#include "core/artwork/ChannelMap.h"
#include "core/artwork/ChipFrame.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::artwork {
namespace {

TEST(ArtworkChannelNames, OnlyRoadOrChWithAChannelNumber) {
  const struct {
    const char* name;
    std::optional<int> channel;
  } cases[] = {
      {"路1", 1},     {"路64", 64},     {"ch7", 7},   {"CH12", 12},
      {"Ch0012", 12}, {"路4096", 4096}, {"路0", {}},  {"路4097", {}},
      {"路", {}},     {"ch", {}},       {"路1a", {}}, {"路 1", {}},
      {"ch-1", {}},   {"path12", {}},   {"路+3", {}}, {"路99999999999", {}},
      {"", {}},       {"chx", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(channelOfName(c.name), c.channel) << c.name;
  EXPECT_EQ(channelName(17), "路17");
}

TEST(ArtworkChannelNames, ChannelIsABitOfAByteOfTheFrame) {
  EXPECT_EQ(chipBitOf(1).byte, 0);
  EXPECT_EQ(chipBitOf(1).bit, 0);
  EXPECT_EQ(chipBitOf(8).bit, 7);
  EXPECT_EQ(chipBitOf(9).byte, 1);
  EXPECT_EQ(chipBitOf(9).bit, 0);
  EXPECT_EQ(chipBitOf(68).byte, 8);
  EXPECT_EQ(chipBitOf(68).bit, 3);
}

TEST(ChannelMapFile, EntriesAndShapesAreRead) {
  const auto r = parseChannelMap(
      "# 注释\r\n"
      "元素 path12 路5\r\n"
      "元素　g7　无\r\n"
      "\r\n"
      "; 也是注释\r\n"
      "线 路7 宽12 100,200 300,200.5\r\n"
      "面 ch8 10,10 50,10 50,-50\r\n"
      "元素 path12 路6\r\n");
  EXPECT_TRUE(r.problems.empty());
  ASSERT_EQ(r.map.elements.size(), 3u);
  EXPECT_EQ(r.map.elements[0], (ElementEntry{"path12", 5}));
  EXPECT_EQ(r.map.elements[1], (ElementEntry{"g7", std::nullopt}));
  // The later entry for an id wins.
  ASSERT_NE(r.map.entryFor("path12"), nullptr);
  EXPECT_EQ(r.map.entryFor("path12")->channel, 6);
  ASSERT_EQ(r.map.shapes.size(), 2u);
  EXPECT_EQ(r.map.shapes[0].kind, Shape::Kind::Line);
  EXPECT_EQ(r.map.shapes[0].channel, 7);
  EXPECT_EQ(r.map.shapes[0].width, 12);
  EXPECT_EQ(r.map.shapes[0].points, (std::vector<Point>{{100, 200}, {300, 200.5}}));
  EXPECT_EQ(r.map.shapes[1].kind, Shape::Kind::Area);
  EXPECT_EQ(r.map.shapes[1].points.back(), (Point{50, -50}));
}

TEST(ChannelMapFile, BadLinesAreReportedByNumberAndSkipped) {
  const auto r = parseChannelMap(
      "元素 a 路1\n"
      "元素 b\n"                  // 2: no channel
      "元素 c 路0\n"              // 3: not a channel
      "线 路2 100,100 200,200\n"  // 4: no width
      "线 路2 宽0 1,1 2,2\n"      // 5: width 0
      "线 路2 宽3 1,1\n"          // 6: one point
      "面 路3 1,1 2,2\n"          // 7: two points
      "面 路3 1,1 2;2 3,3\n"      // 8: not a point
      "灯 路3\n"                  // 9: unknown
      "线 路9 宽2.5 0,0 1e3,5\n");
  ASSERT_EQ(r.problems.size(), 8u);
  for (std::size_t i = 0; i < r.problems.size(); ++i) EXPECT_EQ(r.problems[i].line, static_cast<int>(i) + 2);
  EXPECT_EQ(r.map.elements.size(), 1u);
  ASSERT_EQ(r.map.shapes.size(), 1u);
  EXPECT_EQ(r.map.shapes[0].width, 2.5);
  EXPECT_EQ(r.map.shapes[0].points[1], (Point{1000, 5}));
}

TEST(ChannelMapFile, WrittenAsGbkCrLfAndReadBackTheSame) {
  testing::TempDir dir;
  const auto file = dir.path() / platform::pathFromUtf8(kChannelMapFile);
  ChannelMap map;
  map.assign("路径1", 3);
  map.assign("g2", std::nullopt);
  map.shapes.push_back({Shape::Kind::Line, 4, 7.5, {{1, 2}, {3.25, 4}}});
  map.shapes.push_back({Shape::Kind::Area, 5, 8, {{0, 0}, {10, 0}, {10, 10}}});
  ASSERT_TRUE(writeChannelMap(file, map));
  const auto bytes = platform::readBytes(file);
  ASSERT_TRUE(bytes);
  EXPECT_NE(bytes->find("\xd4\xaa\xcb\xd8 "), std::string::npos);  // "元素 " in GBK
  EXPECT_NE(bytes->find("\r\n"), std::string::npos);
  EXPECT_EQ(bytes->find("\n", bytes->find("\r\n") + 2) - 1, bytes->find("\r\n", bytes->find("\r\n") + 2));
  const auto back = readChannelMap(file);
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->problems.empty());
  EXPECT_EQ(back->map, map);
  // Written again, the bytes are the same.
  ASSERT_TRUE(writeChannelMap(file, back->map));
  EXPECT_EQ(*platform::readBytes(file), *bytes);
}

TEST(ChannelMapFile, MissingIsEmptyAndUnreadableIsRefused) {
  testing::TempDir dir;
  const auto missing = readChannelMap(dir.path() / "none.txt");
  ASSERT_TRUE(missing);
  EXPECT_TRUE(missing->map.empty());
  EXPECT_FALSE(readChannelMap(dir.path()));  // a directory
  const auto file = dir.path() / "bad.txt";
  std::ofstream(file, std::ios::binary) << "\xd4\xaa\xcb\xd8 a \xc2\xb7\x31\r\n\xff\xff\r\n";
  const auto partly = readChannelMap(file);
  ASSERT_TRUE(partly);
  ASSERT_EQ(partly->problems.size(), 1u);
  EXPECT_EQ(partly->problems[0].line, 2);
  ASSERT_EQ(partly->map.elements.size(), 1u);
  EXPECT_EQ(partly->map.elements[0].channel, 1);
  // An id that cannot stand in the file is refused, nothing written.
  ChannelMap bad;
  bad.assign("two words", 1);
  EXPECT_FALSE(writeChannelMap(dir.path() / "x.txt", bad));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "x.txt"));
}

// The elements of a drawing: ids, labels and groups in document order.
std::vector<Element> drawing() {
  return {
      {"layer1", "灯管", -1, true},  // 0
      {"路1", "", 0, false},         // 1: its id
      {"path2", "ch2", 0, false},    // 2: its label
      {"g3", "路3", 0, true},        // 3: a group
      {"p4", "", 3, false},          // 4: takes the group's
      {"p5", "路9", 3, false},       // 5: its own label beats the group
      {"p6", "", 0, false},          // 6: mapped by the file
      {"路7", "", 0, false},         // 7: its id, overridden by the file to none
      {"", "", 0, false},            // 8: no id at all
      {"g9", "", 0, true},           // 9: a group given a channel by the file
      {"p10", "", 9, false},         // 10: takes it
  };
}

TEST(ChannelRules, IdsLabelsGroupsAndTheMapFile) {
  ChannelMap map;
  map.assign("p6", 6);
  map.assign("路7", std::nullopt);
  map.assign("g9", 10);
  map.assign("ghost", 11);
  map.assign("ghost", 12);
  map.assign("also-missing", 13);
  const auto r = resolveChannels(drawing(), map);
  const std::vector<std::optional<int>> expected = {std::nullopt, 1,  2, 3, 3, 9, 6, std::nullopt,
                                                    std::nullopt, 10, 10};
  EXPECT_EQ(r.channels, expected);
  EXPECT_EQ(r.unknownIds, (std::vector<std::string>{"ghost", "also-missing"}));
  // Without the map only the drawing's own names count.
  const auto plain = resolveChannels(drawing(), {});
  EXPECT_EQ(plain.channels[6], std::nullopt);
  EXPECT_EQ(plain.channels[7], 7);
  EXPECT_EQ(plain.channels[10], std::nullopt);
  EXPECT_TRUE(plain.unknownIds.empty());
}

TEST(ChannelRules, ChannelsNothingShowsAreListedInRuns) {
  EXPECT_EQ(missingChannels({1, 2, 5, 9, 70}, 8), (std::vector<int>{3, 4, 6, 7, 8}));
  EXPECT_TRUE(missingChannels({1, 2}, 2).empty());
  EXPECT_EQ(channelListText({3, 4, 5, 8, 10, 11, 8}), "路3-路5、路8、路10-路11");
  EXPECT_EQ(channelListText({}), "");
}

TEST(Numbering, ClicksPositionsAndAlongALine) {
  // Four tubes: a square's corners, given in a jumbled order.
  const std::vector<Box> boxes = {{100, 100, 10, 10}, {0, 0, 10, 10}, {100, 0, 10, 10}, {0, 100, 10, 10}};
  EXPECT_EQ(numberingOrder(boxes, NumberingOrder::Clicks), (std::vector<std::size_t>{0, 1, 2, 3}));
  EXPECT_EQ(numberingOrder(boxes, NumberingOrder::LeftToRight), (std::vector<std::size_t>{1, 3, 2, 0}));
  EXPECT_EQ(numberingOrder(boxes, NumberingOrder::TopToBottom), (std::vector<std::size_t>{1, 2, 3, 0}));
  // Clockwise round the square from the top left.
  const std::vector<Point> clockwise = {{5, 5}, {105, 5}, {105, 105}, {5, 105}};
  EXPECT_EQ(numberingOrder(boxes, NumberingOrder::AlongLine, clockwise),
            (std::vector<std::size_t>{1, 2, 0, 3}));
  // Too short a line numbers in click order.
  EXPECT_EQ(numberingOrder(boxes, NumberingOrder::AlongLine, {{0, 0}}),
            (std::vector<std::size_t>{0, 1, 2, 3}));
  EXPECT_DOUBLE_EQ(distanceAlong(clockwise, {105, 55}), 150);
  EXPECT_DOUBLE_EQ(distanceAlong(clockwise, {-50, -50}), 0);
}

TEST(ChipFrame, LineCharactersThenTitleChannels) {
  // Lit unless blank or "_"; a short line leaves its missing channels dark; extra characters beyond
  // the line's channels are not channels.
  const auto lit = chipFrame("X_ ab", 6, "X X");
  EXPECT_EQ(lit, (std::vector<bool>{true, false, false, true, true, false, true, false, true}));
  EXPECT_EQ(chipFrame("XXXX", 2, ""), (std::vector<bool>{true, true}));
}

}  // namespace
}  // namespace lumafex::artwork
