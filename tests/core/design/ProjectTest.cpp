// The project model: a new project, opening a project's files, and the board edits.

#include <gtest/gtest.h>

#include "core/design/Project.h"
#include "core/design/Rules.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::design {
namespace {

namespace fs = std::filesystem;

TEST(Project, NewProjectResetsWhatTheNewCommandResetsAndKeepsTheRest) {
  Project current;
  current.settings.font = "黑体";
  current.settings.bold = 1;
  current.settings.columns = "120";
  current.settings.showVertical = 1;
  current.board = {"1右扫"};
  current.manualText = "X\r\n";
  const Project p = newProject("红星", current);
  EXPECT_EQ(p.settings.title, "红星");
  EXPECT_EQ(p.settings.columns, "64");
  EXPECT_EQ(p.settings.colourCount, "2");
  EXPECT_EQ(p.settings.fontSize, "43");
  EXPECT_EQ(p.settings.speed, 950);
  EXPECT_EQ(p.settings.showHorizontal, 1);
  EXPECT_EQ(p.settings.showVertical, 0);
  EXPECT_EQ(p.settings.titleColour, rgb(0, 255, 255));
  EXPECT_EQ(p.settings.tubeColours[0], rgb(255, 0, 0));
  EXPECT_EQ(p.settings.horizontalWidth, 6000);
  EXPECT_EQ(p.settings.verticalHeight, 7000);
  EXPECT_EQ(p.settings.font, "黑体");  // not reset by the command
  EXPECT_EQ(p.settings.bold, 1);
  EXPECT_TRUE(p.board.empty());
  EXPECT_EQ(p.titleEffect, "新工程<1>");
  EXPECT_FALSE(p.manualText);
  EXPECT_EQ(p.channels, 64);
  EXPECT_TRUE(p.dirty);
}

TEST(Project, BoardEditsMarkTheProjectChangedAsTheCommandsDo) {
  Project p;
  addEntries(p, {"1右扫", "3左扫", "5"});
  EXPECT_TRUE(p.dirty);
  markSaved(p);
  EXPECT_EQ(moveBoardEntry(p, 1, false), 2);
  EXPECT_EQ(p.board, (Board{"1右扫", "5", "3左扫"}));
  EXPECT_TRUE(p.dirty);
  markSaved(p);
  EXPECT_EQ(moveBoardEntry(p, 0, true), -1);
  EXPECT_FALSE(p.dirty);
  EXPECT_TRUE(removeEntry(p, 0, false));  // the Delete key
  EXPECT_FALSE(p.dirty);
  EXPECT_FALSE(removeEntry(p, 5, true));
  EXPECT_TRUE(removeEntry(p, 0, true));  // 删除
  EXPECT_TRUE(p.dirty);
  clearBoard(p);
  EXPECT_TRUE(p.board.empty());
}

TEST(Project, OpeningReadsRecordTitleEffectAndManualFile) {
  testing::TempDir dir;
  const fs::path file = dir.path() / "P.hs";
  const fs::path projectDir = dir.path() / "P";
  fs::create_directories(projectDir);
  ProjectSettings s;
  s.title = "欢迎";
  s.columns = "32";
  ASSERT_TRUE(writeProjectRecord(file, recordOf(s, {"1右扫", "66全灭"})));
  ASSERT_TRUE(
      platform::writeBytesSafely(projectDir / "标题花式.bt", "\xbb\xb6\xa1\xf5<1>\r\n\xa1\xf5\xd3\xad<5>"));
  ASSERT_TRUE(platform::writeBytesSafely(projectDir / "人工修改的花式.txt", "X X \r\n"));
  Project current;
  current.settings.font = "黑体";  // the record's line wins
  const Project p = openProjectFiles(file, projectDir, current);
  EXPECT_EQ(p.settings.title, "欢迎");
  EXPECT_EQ(p.settings.columns, "32");
  EXPECT_EQ(p.board, (Board{"1右扫", "66全灭"}));
  EXPECT_EQ(p.titleEffect, "欢□<1>\n□迎<5>");
  EXPECT_TRUE(p.titleEffectProblem.empty());
  ASSERT_TRUE(p.manualText);
  EXPECT_EQ(*p.manualText, "X X \r\n");
  EXPECT_FALSE(p.dirty);
}

TEST(Project, AnUndecodableTitleEffectIsReportedAndNotTaken) {
  testing::TempDir dir;
  const fs::path projectDir = dir.path() / "P";
  fs::create_directories(projectDir);
  ASSERT_TRUE(writeProjectRecord(dir.path() / "P.hs", recordOf(ProjectSettings{}, {})));
  ASSERT_TRUE(platform::writeBytesSafely(projectDir / "标题花式.bt", "\xbb\xb6<1>\xff"));
  const Project p = openProjectFiles(dir.path() / "P.hs", projectDir, Project{});
  EXPECT_FALSE(p.titleEffectProblem.empty());
  EXPECT_TRUE(p.titleEffect.empty());
  Project edited = p;
  editTitleEffect(edited, "欢<1>");
  EXPECT_TRUE(edited.titleEffectProblem.empty());
}

TEST(Project, AnUnreadableProjectFileKeepsTheSettings) {
  testing::TempDir dir;
  Project current;
  current.settings.columns = "99";
  current.board = {"1右扫"};
  const Project p = openProjectFiles(dir.path() / "missing.hs", dir.path() / "missing", current);
  EXPECT_EQ(p.settings.columns, "99");
  EXPECT_TRUE(p.board.empty());
}

TEST(Rules, LineTextPoints) {
  struct Case {
    long width;
    std::optional<double> points;
  };
  for (const Case& c : {Case{40, 14.0}, Case{10, 36.0}, Case{16, 35.0}, Case{560, 1.0}, Case{0, std::nullopt},
                        Case{-3, std::nullopt}}) {
    EXPECT_EQ(lineTextPoints(c.width), c.points) << c.width;
  }
}

}  // namespace
}  // namespace lumafex::design
