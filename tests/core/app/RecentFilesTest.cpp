// The recent-file list: slot order after a project becomes current, and the menu captions.

#include <gtest/gtest.h>

#include "core/app/ProjectPaths.h"
#include "core/app/RecentFiles.h"
#include "core/platform/TextFile.h"

namespace lumafex::app {
namespace {

RecentList list(std::initializer_list<const char*> entries) {
  RecentList l;
  std::size_t i = 0;
  for (const char* e : entries) l[i++] = e;
  return l;
}

TEST(RecentFiles, PutFirst) {
  struct Case {
    const char* name;
    RecentList old;
    const char* current;
    RecentList expected;
  };
  const Case cases[] = {
      {"empty list", list({}), "/p/a.hs", list({"/p/a.hs"})},
      {"new project shifts the others down", list({"A", "B", "C"}), "N", list({"N", "A", "B", "C"})},
      {"slot 3 moves to slot 0, slots 4-7 stay", list({"A", "B", "C", "D", "E", "F", "G", "H"}), "D",
       list({"D", "A", "B", "C", "E", "F", "G", "H"})},
      {"full list drops the old slot 7", list({"A", "B", "C", "D", "E", "F", "G", "H"}), "N",
       list({"N", "A", "B", "C", "D", "E", "F", "G"})},
      {"already first", list({"A", "B"}), "A", list({"A", "B"})},
      {"empty slots are skipped, unwritten slots keep their values", list({"A", "", "B", "", "C"}), "B",
       list({"B", "A", "C", "", "C"})},
      {"the highest of several matches is left out", list({"A", "X", "X"}), "X", list({"X", "A", "X"})},
      {"compared with letter case", list({"/p/a.hs"}), "/p/A.hs", list({"/p/A.hs", "/p/a.hs"})},
  };
  for (const auto& c : cases) EXPECT_EQ(putFirst(c.old, c.current), c.expected) << c.name;
}

TEST(RecentFiles, Captions) {
  struct Case {
    const char* path;
    const char* caption;
  };
  const std::string app = "/home/u/.local/share/Lumafex";
  for (const Case c : {
           Case{"/home/u/.local/share/Lumafex/红星.hs", "红星.hs"},
           Case{"/HOME/U/.local/share/Lumafex/红星.hs", "红星.hs"},  // directory compared without letter case
           Case{"/d/a.hs", "/d/a.hs"},
           Case{"/home/u/projects/neon/very/deep/红星饭店.hs", "……on/very/deep/红星饭店.hs"},
           Case{"/home/u/.local/share/Lumafex/sub/x.hs", "……are/Lumafex/sub/x.hs"},
       }) {
    EXPECT_EQ(recentCaption(c.path, app), c.caption) << c.path;
  }
}

TEST(RecentFiles, SettingsKeys) {
  platform::MemorySettings settings;
  writeRecentList(settings, list({"A", "B"}));
  EXPECT_EQ(settings.get("最近打开0"), "A");
  EXPECT_EQ(settings.get("最近打开1"), "B");
  EXPECT_TRUE(settings.contains("参数", "最近打开7"));
  EXPECT_EQ(readRecentList(settings), list({"A", "B"}));
}

}  // namespace
}  // namespace lumafex::app

namespace lumafex::app {
namespace {

TEST(ProjectPaths, ProjectDirectoryIsThePathUpToTheLastDotOfItsName) {
  struct Case {
    const char* file;
    const char* dir;
  };
  for (const Case c :
       {Case{"/p/红星.hs", "/p/红星"}, Case{"/p/a.b/proj", "/p/a.b/proj"}, Case{"/p/v1.2/P.hs", "/p/v1.2/P"},
        Case{"/p/.hs", "/p/.hs"}, Case{"/p/x.tar.hs", "/p/x.tar"}, Case{"/p/none", "/p/none"}}) {
    EXPECT_EQ(platform::pathToUtf8(projectDirectory(platform::pathFromUtf8(c.file))), c.dir) << c.file;
  }
}

TEST(ProjectPaths, Captions) {
  EXPECT_EQ(windowCaption("/a.hs"), "Lumafex……/a.hs");
  EXPECT_EQ(windowCaption("/home/user/projects/红星饭店.hs"), "Lumafex……ser/projects/红星饭店.hs");
}

}  // namespace
}  // namespace lumafex::app
