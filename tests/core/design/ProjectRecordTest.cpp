// The project record: files from the original platform, round trips, and damaged files.

#include <gtest/gtest.h>

#include <fstream>

#include "core/design/Board.h"
#include "core/design/ProjectRecord.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::design {
namespace {

namespace fs = std::filesystem;
const fs::path kOriginal = fs::path(LUMAFEX_TEST_DATA) / "records" / "original.hs";

TEST(ProjectRecord, OriginalPlatformFileReadsAndWritesBackByteIdentical) {
  const auto record = readProjectRecord(kOriginal);
  ASSERT_TRUE(record) << record.error();
  EXPECT_TRUE(record->hasBoardMarker);
  EXPECT_EQ(record->board,
            (std::vector<std::string>{"1右扫_色彩1", "12左收_色彩混合", "55积木_变色", "26队列", "66全灭"}));
  testing::TempDir dir;
  ASSERT_TRUE(writeProjectRecord(dir.path() / "copy.hs", *record));
  EXPECT_EQ(*platform::readBytes(dir.path() / "copy.hs"), *platform::readBytes(kOriginal));
}

TEST(ProjectRecord, NumbersAreReadByValue) {
  const auto record = readProjectRecord(kOriginal);
  ASSERT_TRUE(record);
  ProjectSettings s;
  applyRecord(*record, s);
  EXPECT_EQ(s.title, "红星饭店");
  EXPECT_EQ(s.columns, " 64 ");  // the box holds the text; its value is 64
  EXPECT_EQ(s.titleColour, rgb(255, 255, 0));
  EXPECT_EQ(s.tubeColours[1], rgb(0, 255, 0));
  EXPECT_EQ(s.tubeColours[2], rgb(0, 0, 255));
  EXPECT_EQ(s.speed, 950);
  EXPECT_EQ(s.bold, 1);
  EXPECT_EQ(s.tubesOn, 1);
  EXPECT_EQ(s.horizontalTitleEffect, 1);
  EXPECT_EQ(s.fontSize, "43");
  EXPECT_EQ(s.baseChannels, "64");
}

TEST(ProjectRecord, SettingsRoundTrip) {
  ProjectSettings s;
  s.title = "欢迎光临";
  s.columns = "120";
  s.speed = 812.5;
  s.colourCount = "3";
  s.verticalTitleEffect = 1;
  s.tubeColours[0] = rgb(1, 2, 3);
  const Board board{"3左扫", "12左收_色彩混合", "3左扫"};
  testing::TempDir dir;
  const auto path = dir.path() / "p.hs";
  ASSERT_TRUE(writeProjectRecord(path, recordOf(s, board)));
  const auto back = readProjectRecord(path);
  ASSERT_TRUE(back);
  ProjectSettings t;
  applyRecord(*back, t);
  EXPECT_EQ(recordOf(t, back->board).values, recordOf(s, board).values);
  EXPECT_EQ(back->board, board);
  const auto lines = platform::splitTextLines(*platform::readBytes(path));
  ASSERT_EQ(lines.size(), 35u + 30u + 1u + 3u);
  EXPECT_EQ(lines[65], "<\xBB\xA8\xCA\xBD>=");
  EXPECT_EQ(lines[6], "812.5");
  for (int i = 35; i < 65; ++i) EXPECT_EQ(lines[static_cast<std::size_t>(i)], "");
}

TEST(ProjectRecord, EmptyBoardEndsWithTheMarker) {
  testing::TempDir dir;
  const auto path = dir.path() / "empty.hs";
  ASSERT_TRUE(writeProjectRecord(path, recordOf(ProjectSettings{}, {})));
  const auto bytes = *platform::readBytes(path);
  EXPECT_EQ(bytes.substr(bytes.size() - 9), "<\xBB\xA8\xCA\xBD>=\r\n");
  EXPECT_TRUE(readProjectRecord(path)->board.empty());
}

struct Damaged {
  const char* name;
  std::string bytes;
  std::size_t boardEntries;
  bool marker;
};

TEST(ProjectRecord, DamagedFilesNeverFailToRead) {
  std::string binary(4096, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>((i * 37) % 256);
  std::string longLine(1'000'000, 'A');
  std::string values;
  for (int i = 0; i < 35; ++i) values += "1\r\n";
  const Damaged cases[] = {
      {"empty", "", 0, false},
      {"short", "abc\r\n64\r\n", 0, false},
      {"binary", binary, 0, false},
      {"huge line", longLine + "\r\n" + values + "<\xBB\xA8\xCA\xBD>=\r\n1\r\n", 1, true},
      {"invalid gbk", "\xFF\xFE\r\n" + values + "<\xBB\xA8\xCA\xBD>=\r\n3\xD7\xF3\xC9\xA8\r\n\xFF\r\n", 1,
       true},
      {"marker among the values", "x\r\n<\xBB\xA8\xCA\xBD>=\r\n3\r\n", 0, false},
  };
  testing::TempDir dir;
  for (const auto& c : cases) {
    const auto path = dir.path() / "d.hs";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
    const auto record = readProjectRecord(path);
    ASSERT_TRUE(record) << c.name;
    EXPECT_EQ(record->board.size(), c.boardEntries) << c.name;
    EXPECT_EQ(record->hasBoardMarker, c.marker) << c.name;
    ProjectSettings s;
    applyRecord(*record, s);  // must not throw
  }
}

TEST(ProjectRecord, InvalidValuesLeaveTheSettingUnchanged) {
  ProjectRecord r;
  r.values[2] = "blue";    // colour
  r.values[6] = "fast";    // speed
  r.values[7] = "2";       // a switch is 0 or 1
  r.values[10] = " 1 ";    // blanks around a number are fine
  r.values[19] = "12abc";  // a real must be a whole number text
  ProjectSettings s;
  const ProjectSettings before;
  applyRecord(r, s);
  EXPECT_EQ(s.titleColour, before.titleColour);
  EXPECT_EQ(s.speed, before.speed);
  EXPECT_EQ(s.hollow, before.hollow);
  EXPECT_EQ(s.bold, 1);
  EXPECT_EQ(s.horizontalHeight, before.horizontalHeight);
}

TEST(ProjectRecord, NumbersNoSettingCanHoldAreNotNumbers) {
  ProjectRecord r;
  r.values[2] = "1e30";    // colour
  r.values[6] = "-1e300";  // speed
  r.values[7] = "1e30";    // a switch
  r.values[18] = "1e300";  // a window width
  r.values[29] = "9000";   // within range
  ProjectSettings s;
  const ProjectSettings before;
  applyRecord(r, s);
  EXPECT_EQ(s.titleColour, before.titleColour);
  EXPECT_EQ(s.speed, before.speed);
  EXPECT_EQ(s.hollow, before.hollow);
  EXPECT_EQ(s.horizontalWidth, before.horizontalWidth);
  EXPECT_EQ(s.mainWidth, 9000);
}

TEST(ProjectRecord, AFileTooLargeToBeARecordIsRefused) {
  testing::TempDir dir;
  const auto path = dir.path() / "big.hs";
  std::ofstream(path, std::ios::binary) << std::string(kMaxRecordFileBytes + 1, 'A');
  const auto record = readProjectRecord(path);
  ASSERT_FALSE(record);
  EXPECT_EQ(record.error().rfind("文件太大：", 0), 0u) << record.error();
}

TEST(ProjectRecord, TitleThatGbkCannotHoldIsRefusedAndTheOldFileKept) {
  testing::TempDir dir;
  const auto path = dir.path() / "keep.hs";
  ASSERT_TRUE(writeProjectRecord(path, recordOf(ProjectSettings{}, {"1右扫"})));
  const auto before = *platform::readBytes(path);
  ProjectSettings s;
  s.title = "霓虹😀";
  EXPECT_FALSE(writeProjectRecord(path, recordOf(s, {})));
  EXPECT_EQ(*platform::readBytes(path), before);
}

TEST(Board, MovesAndWorkingStateFile) {
  Board b{"1右扫", "2右收", "3左扫"};
  EXPECT_EQ(moveEntry(b, 1, false), 2);
  EXPECT_EQ(b, (Board{"1右扫", "3左扫", "2右收"}));
  EXPECT_EQ(moveEntry(b, 0, true), -1);
  EXPECT_EQ(moveEntry(b, 2, false), -1);
  EXPECT_EQ(moveEntry(b, -1, true), -1);
  EXPECT_EQ(moveEntry(b, 2, true), 1);
  EXPECT_EQ(b, (Board{"1右扫", "2右收", "3左扫"}));
  testing::TempDir dir;
  ASSERT_TRUE(writeBoardFile(dir.path() / kWorkingStateFile, b));
  EXPECT_EQ(*readBoardFile(dir.path() / kWorkingStateFile), b);
  ASSERT_TRUE(writeBoardFile(dir.path() / kWorkingStateFile, {}));
  EXPECT_EQ(fs::file_size(dir.path() / kWorkingStateFile), 0u);
}

}  // namespace
}  // namespace lumafex::design
