// The designers' rules without a window: the picture a replace acts on, the 80-picture limit and
// the files of the pictures.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/design/PictureList.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::design {
namespace {

namespace fs = std::filesystem;

TEST(PictureListTest, ReplaceActsOnTheSelectionWithinTheList) {
  struct Case {
    int selection;
    int count;
    std::optional<int> picture;
  } cases[] = {
      {-1, 0, std::nullopt},  // no picture at all
      {0, 0, std::nullopt},   // a selection left over from a deleted picture
      {-1, 1, 0},             // a single picture needs no selection
      {5, 1, 0},
      {-1, 3, std::nullopt},  // nothing selected
      {0, 3, 0},
      {2, 3, 2},
      {7, 3, 2},  // beyond the last: the last
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pictureToReplace(c.selection, c.count), c.picture) << c.selection << " of " << c.count;
  }
}

TEST(PictureListTest, AtMostEightyPictures) {
  EXPECT_TRUE(canAddPicture(0));
  EXPECT_TRUE(canAddPicture(79));
  EXPECT_FALSE(canAddPicture(80));
  EXPECT_FALSE(canAddPicture(81));
  EXPECT_FALSE(canAddPicture(-1));
}

TEST(PictureListTest, PictureIndexZeroIsFileOne) {
  const fs::path dir = "工程";
  EXPECT_EQ(platform::pathToUtf8(pictureFilePath(dir, PictureKind::Logo, 0).filename()), "标志1.bmp");
  EXPECT_EQ(platform::pathToUtf8(pictureFilePath(dir, PictureKind::Image, 9).filename()), "图案10.bmp");
}

TEST(PictureListTest, RemovingTheLastFileLeavesTheOthers) {
  const testing::TempDir temp;
  const fs::path& dir = temp.path();
  for (int i = 0; i < 3; ++i) std::ofstream(pictureFilePath(dir, PictureKind::Logo, i)) << "BM";
  std::ofstream(pictureFilePath(dir, PictureKind::Image, 2)) << "BM";

  EXPECT_TRUE(removePictureFile(dir, PictureKind::Logo, 2));
  EXPECT_FALSE(fs::exists(pictureFilePath(dir, PictureKind::Logo, 2)));
  EXPECT_TRUE(fs::exists(pictureFilePath(dir, PictureKind::Logo, 1)));
  EXPECT_TRUE(fs::exists(pictureFilePath(dir, PictureKind::Image, 2)));  // the other kind's file stays
  // A file that is already gone counts as removed.
  EXPECT_TRUE(removePictureFile(dir, PictureKind::Logo, 2));
  EXPECT_EQ(pictureFiles(dir, PictureKind::Logo).size(), 2u);
}

}  // namespace
}  // namespace lumafex::design
