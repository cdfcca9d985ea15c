// The snapshots undo and redo move the project between: only what an edit changed is restored.

#include "core/design/EditSnapshot.h"

#include <gtest/gtest.h>

namespace lumafex::design {
namespace {

Project sampleProject() {
  Project p;
  p.board = {"1右扫_色彩1", "2左扫_色彩1", "3对扫"};
  p.pictures.logos.horizontal = {{10, 20, 300, 200}, {40, 50, 300, 200}};
  p.pictures.logos.vertical = {{1, 2, 300, 200}, {4, 5, 300, 200}};
  return p;
}

TEST(EditSnapshotTest, RestoresWhatTheEditChangedAndKeepsLaterChangesElsewhere) {
  Project p = sampleProject();
  const EditSnapshot before = snapshotOf(p);
  p.settings.title = "霓虹";
  p.settings.tubeColours[2] = rgb(1, 2, 3);
  p.board.erase(p.board.begin());
  p.pictures.logos.horizontal[1].left = 999;
  const EditSnapshot after = snapshotOf(p);
  ASSERT_FALSE(sameState(before, after));

  // Changes made outside the edit after it: kept by its undo.
  p.settings.mainWidth = 12345;
  p.settings.manualEdit = 1;
  p.pictures.logos.horizontal[0].top = 77;

  restoreChanges(p, after, before);
  EXPECT_EQ(p.settings.title, before.settings.title);
  EXPECT_EQ(p.settings.tubeColours, before.settings.tubeColours);
  EXPECT_EQ(p.board, before.board);
  EXPECT_EQ(p.pictures.logos.horizontal[1].left, 40);
  EXPECT_EQ(p.settings.mainWidth, 12345);
  EXPECT_EQ(p.settings.manualEdit, 1);
  EXPECT_EQ(p.pictures.logos.horizontal[0].top, 77);

  restoreChanges(p, before, after);
  EXPECT_EQ(p.settings.title, "霓虹");
  EXPECT_EQ(p.board, after.board);
  EXPECT_EQ(p.pictures.logos.horizontal[1].left, 999);
}

TEST(EditSnapshotTest, BlocksKeepTheirSizesAndMissingBlocksAreLeftOut) {
  Project p = sampleProject();
  const EditSnapshot before = snapshotOf(p);
  p.pictures.logos.vertical[1].top = 500;
  const EditSnapshot after = snapshotOf(p);
  // The pictures were read again: the second logo is gone, the first has another size.
  p.pictures.logos.vertical.resize(1);
  p.pictures.logos.vertical[0].width = 90;
  restoreChanges(p, after, before);
  ASSERT_EQ(p.pictures.logos.vertical.size(), 1u);
  EXPECT_EQ(p.pictures.logos.vertical[0].width, 90);
  EXPECT_EQ(p.pictures.logos.vertical[0].top, 2);
}

TEST(EditSnapshotTest, EveryFieldHasItsOwnBit) {
  const ProjectSettings base;
  struct Case {
    const char* name;
    void (*change)(ProjectSettings&);
  };
  const Case cases[] = {
      {"title", [](ProjectSettings& s) { s.title = "x"; }},
      {"columns", [](ProjectSettings& s) { s.columns = "64"; }},
      {"titleColour", [](ProjectSettings& s) { s.titleColour = 1; }},
      {"tubeColours", [](ProjectSettings& s) { s.tubeColours[0] = 1; }},
      {"speed", [](ProjectSettings& s) { s.speed = 1; }},
      {"colourCount", [](ProjectSettings& s) { s.colourCount = "3"; }},
      {"font", [](ProjectSettings& s) { s.font = "黑体"; }},
      {"spacing", [](ProjectSettings& s) { s.spacing = "4"; }},
      {"fontSize", [](ProjectSettings& s) { s.fontSize = "12"; }},
      {"verticalLock", [](ProjectSettings& s) { s.verticalLock = 1; }},
      {"baseChannels", [](ProjectSettings& s) { s.baseChannels = "x"; }},
  };
  std::uint64_t seen = 0;
  for (const Case& c : cases) {
    ProjectSettings changed = base;
    c.change(changed);
    const std::uint64_t bits = changedSettings(base, changed);
    EXPECT_NE(bits, 0u) << c.name;
    EXPECT_EQ(bits & (bits - 1), 0u) << c.name;  // one field only
    EXPECT_EQ(bits & seen, 0u) << c.name;
    seen |= bits;
  }
  EXPECT_EQ(changedSettings(base, base), 0u);
  ProjectSettings typed = base;
  typed.spacing = "9";
  EXPECT_EQ(changedSettings(base, typed), settingsBit(&ProjectSettings::spacing));
  typed.speed = 3;
  EXPECT_EQ(changedSettings(base, typed),
            settingsBit(&ProjectSettings::spacing) | settingsBit(&ProjectSettings::speed));
}

}  // namespace
}  // namespace lumafex::design
