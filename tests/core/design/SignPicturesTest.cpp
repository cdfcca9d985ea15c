// Logos and images on the sign: the row and border arrangements, the coordinate files, the images a
// step lights and the picture files of a project.

#include <gtest/gtest.h>

#include <fstream>

#include "core/design/Project.h"
#include "core/design/SignPictures.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::design {
namespace {

namespace fs = std::filesystem;
using preview::Orientation;

Placeholders blocksOf(std::size_t n, double width, double height) {
  return Placeholders(n, Placeholder{0, 0, width, height});
}

bool overlap(const Placeholder& p, const Placeholder& q) {
  return p.left < q.left + q.width && q.left < p.left + p.width && p.top < q.top + q.height &&
         q.top < p.top + p.height;
}

void expectInsideAndApart(const Placeholders& blocks, double width, double height) {
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const Placeholder& p = blocks[i];
    EXPECT_GE(p.left, 0) << "block " << i;
    EXPECT_GE(p.top, 0) << "block " << i;
    EXPECT_LE(p.left + p.width, width) << "block " << i;
    EXPECT_LE(p.top + p.height, height) << "block " << i;
    for (std::size_t j = i + 1; j < blocks.size(); ++j) {
      EXPECT_FALSE(overlap(p, blocks[j])) << "blocks " << i << " and " << j;
    }
  }
}

std::string fileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// ---- Row ----------------------------------------------------------------------------------

TEST(SignPictures, ThreeLogosInARowAreCentredAtTheQuarters) {
  Placeholders blocks = blocksOf(3, 600, 450);
  arrangeInRow(blocks, 6000, 2000, Orientation::Horizontal);
  // cell 2000, step (6000 − 4000) / 2 = 1000; y = (2000 − 450) \ 2 − 30 = 775 − 30.
  const double centres[] = {2000, 3000, 4000};
  for (int i = 0; i < 3; ++i) {
    EXPECT_DOUBLE_EQ(blocks[i].left + blocks[i].width / 2, centres[i]);
    EXPECT_DOUBLE_EQ(blocks[i].top, 745);
  }
}

TEST(SignPictures, RowCases) {
  struct Case {
    const char* name;
    Orientation view;
    double width, height;
    std::vector<std::pair<double, double>> sizes;
    std::vector<std::pair<double, double>> expected;  // left, top
  };
  const Case cases[] = {
      // A single picture: the step counts as 0, so its left is W − width / 2.
      {"one picture", Orientation::Horizontal, 9000, 1600, {{600, 300}}, {{8700, 620}}},
      // Each block is centred on its own width; y comes from block 0's height only.
      {"own widths",
       Orientation::Horizontal,
       6000,
       2000,
       {{600, 400}, {1000, 800}, {200, 100}},
       {{1700, 770}, {2500, 770}, {3900, 770}}},
      // 1603.5 − 400 = 1203.5 becomes the even 1204 before the integer division: 602 − 30.
      {"integer division", Orientation::Horizontal, 6000, 1603.5, {{600, 400}}, {{5700, 572}}},
      // Vertical: the axes exchanged, x from block 0's width.
      {"vertical",
       Orientation::Vertical,
       2000,
       6000,
       {{450, 600}, {450, 600}, {450, 600}},
       {{745, 1700}, {745, 2700}, {745, 3700}}},
      {"vertical one", Orientation::Vertical, 2000, 7000, {{400, 600}}, {{770, 6700}}},
  };
  for (const Case& c : cases) {
    Placeholders blocks;
    for (auto [w, h] : c.sizes) blocks.push_back({123, 456, w, h});
    arrangeInRow(blocks, c.width, c.height, c.view);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      EXPECT_DOUBLE_EQ(blocks[i].left, c.expected[i].first) << c.name << " block " << i;
      EXPECT_DOUBLE_EQ(blocks[i].top, c.expected[i].second) << c.name << " block " << i;
    }
  }
  Placeholders none;
  arrangeInRow(none, 6000, 2000, Orientation::Horizontal);  // nothing to divide by, nothing happens
  EXPECT_TRUE(none.empty());
}

// ---- Border -------------------------------------------------------------------------------

TEST(SignPictures, BorderOfEightFollowsTheSpacing) {
  // A 600 × 240 pixel sign with 40-pixel logos: m = 600, d = 22800 \ 8 = 2850, sv = 3000 \ 2850 − 1
  // = 0, sh = 4, offset = 2250 \ 2 = 1125; cell 2250, step 1500.
  Placeholders blocks = blocksOf(8, 600, 600);
  arrangeAsBorder(blocks, 9000, 3600, Orientation::Horizontal);
  const double topLefts[] = {1950, 3450, 4950, 6450};
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(blocks[i].left, topLefts[i]) << i;
    EXPECT_DOUBLE_EQ(blocks[i].top, 1125) << i;
    // The bottom edge runs back from the right under the top edge.
    EXPECT_DOUBLE_EQ(blocks[4 + i].left, topLefts[3 - i]) << i;
    EXPECT_DOUBLE_EQ(blocks[4 + i].top, 3600 - 1125 - 600) << i;
  }
  expectInsideAndApart(blocks, 9000, 3600);
}

TEST(SignPictures, BorderOfThirteenPutsTheOddOneOnTheLeftEdge) {
  // d = 22800 \ 13 = 1753, sv = 0, sh = 6, offset = 1153 \ 2 = 576; step 1200. The thirteenth
  // block goes one step above the bottom edge, under the first block.
  Placeholders blocks = blocksOf(13, 600, 600);
  arrangeAsBorder(blocks, 9000, 3600, Orientation::Horizontal);
  EXPECT_DOUBLE_EQ(blocks[0].left, 1200);
  EXPECT_DOUBLE_EQ(blocks[5].left, 7200);
  EXPECT_DOUBLE_EQ(blocks[0].top, 576);
  EXPECT_DOUBLE_EQ(blocks[12].left, blocks[0].left);
  EXPECT_DOUBLE_EQ(blocks[12].top, 3600 - 576 - 600 - 1200);
  expectInsideAndApart(blocks, 9000, 3600);
}

TEST(SignPictures, BordersStayInsideAndApart) {
  struct Case {
    std::size_t n;
    double width, height, block;
    Orientation view;
  };
  const Case cases[] = {
      // The sample project's preview (about 580 × 107 pixels) with 32-pixel pictures: the spacing's
      // offset would overlap the two edges.
      {8, 8700, 1600, 480, Orientation::Horizontal},
      {13, 8700, 1600, 480, Orientation::Horizontal},
      // A squarer sign with blocks on the side edges too (sv = 2).
      {16, 6000, 4500, 450, Orientation::Horizontal},
      {13, 6000, 6000, 600, Orientation::Horizontal},
      // The vertical preview, tall and narrow.
      {8, 2000, 7000, 450, Orientation::Vertical},
      {13, 2600, 7000, 450, Orientation::Vertical},
      // Few blocks: one would sit on the right edge, two on each other in the middle.
      {1, 9000, 3600, 600, Orientation::Horizontal},
      {2, 9000, 3600, 600, Orientation::Horizontal},
      {3, 9000, 3600, 600, Orientation::Horizontal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.n << " blocks on " << c.width << " x " << c.height);
    Placeholders blocks = blocksOf(c.n, c.block, c.block);
    arrangeAsBorder(blocks, c.width, c.height, c.view);
    expectInsideAndApart(blocks, c.width, c.height);
  }
}

TEST(SignPictures, BorderOnACanvasSmallerThanItsBlocksKeepsThemInside) {
  Placeholders blocks = blocksOf(5, 900, 900);
  arrangeAsBorder(blocks, 600, 600, Orientation::Horizontal);  // d ≤ 0: no spacing at all
  for (const Placeholder& p : blocks) {
    EXPECT_DOUBLE_EQ(p.left, 0);
    EXPECT_DOUBLE_EQ(p.top, 0);
  }
  Placeholders tight = blocksOf(6, 600, 600);
  arrangeAsBorder(tight, 3000, 900, Orientation::Horizontal);  // two rows do not fit
  for (const Placeholder& p : tight) {
    EXPECT_GE(p.left, 0);
    EXPECT_GE(p.top, 0);
    EXPECT_LE(p.left + p.width, 3000);
    EXPECT_LE(p.top + p.height, 900);
  }
}

TEST(SignPictures, DraggingOneImageMovesTheOthersTogether) {
  Placeholders blocks = {{100, 200, 300, 300}, {1000, 500, 300, 300}, {2000, 900, 300, 300}};
  moveBlock(blocks, 1, 1100, 450, true);  // block 2 by (+100, −50)
  EXPECT_DOUBLE_EQ(blocks[0].left, 200);
  EXPECT_DOUBLE_EQ(blocks[0].top, 150);
  EXPECT_DOUBLE_EQ(blocks[1].left, 1100);
  EXPECT_DOUBLE_EQ(blocks[1].top, 450);
  EXPECT_DOUBLE_EQ(blocks[2].left, 2100);
  EXPECT_DOUBLE_EQ(blocks[2].top, 850);
  moveBlock(blocks, 0, 0, 0, false);
  EXPECT_DOUBLE_EQ(blocks[0].left, 0);
  EXPECT_DOUBLE_EQ(blocks[1].left, 1100);
  moveBlock(blocks, 3, 0, 0, true);  // no such block
  EXPECT_DOUBLE_EQ(blocks[2].left, 2100);
}

// ---- Coordinate files ---------------------------------------------------------------------

TEST(SignPictures, CoordinateFilesRoundTrip) {
  const testing::TempDir dir;
  for (const PictureKind kind : {PictureKind::Logo, PictureKind::Image}) {
    Placements saved;
    saved.horizontal = {{1500, 300, 600, 600}, {2250.5, -15, 600, 600}};
    saved.vertical = {{45, 7000, 600, 600}, {0, 0, 600, 600}};
    ASSERT_TRUE(saveCoordinates(dir.path(), kind, saved));
    Placements read;
    read.horizontal = blocksOf(2, 600, 600);
    read.vertical = blocksOf(2, 600, 600);
    readCoordinates(dir.path(), kind, read);
    for (std::size_t i = 0; i < 2; ++i) {
      EXPECT_DOUBLE_EQ(read.horizontal[i].left, saved.horizontal[i].left);
      EXPECT_DOUBLE_EQ(read.horizontal[i].top, saved.horizontal[i].top);
      EXPECT_DOUBLE_EQ(read.vertical[i].left, saved.vertical[i].left);
      EXPECT_DOUBLE_EQ(read.vertical[i].top, saved.vertical[i].top);
    }
  }
  EXPECT_EQ(fileText(dir.path() / platform::pathFromUtf8("标志_坐标.ini")),
            "1500\r\n300\r\n2250.5\r\n-15\r\n");
  EXPECT_EQ(fileText(dir.path() / platform::pathFromUtf8("竖列_图案_坐标.ini")), "45\r\n7000\r\n0\r\n0\r\n");
  EXPECT_TRUE(fs::exists(dir.path() / platform::pathFromUtf8("图案_坐标.ini")));
  EXPECT_TRUE(fs::exists(dir.path() / platform::pathFromUtf8("竖列_标志_坐标.ini")));
}

TEST(SignPictures, ReadingSkipsWhatIsNotThere) {
  const testing::TempDir dir;
  // Horizontal: one and a half blocks, a bad line and a blank-padded number; vertical: no file.
  writeFile(dir.path() / platform::pathFromUtf8("图案_坐标.ini"), " 1200 \r\nabc\r\n900");
  Placements blocks;
  blocks.horizontal = {{1, 2, 600, 600}, {3, 4, 600, 600}, {5, 6, 600, 600}};
  blocks.vertical = {{7, 8, 600, 600}};
  readCoordinates(dir.path(), PictureKind::Image, blocks);
  EXPECT_DOUBLE_EQ(blocks.horizontal[0].left, 1200);
  EXPECT_DOUBLE_EQ(blocks.horizontal[0].top, 2);  // unreadable line: unchanged
  EXPECT_DOUBLE_EQ(blocks.horizontal[1].left, 900);
  EXPECT_DOUBLE_EQ(blocks.horizontal[1].top, 4);  // missing line: unchanged
  EXPECT_DOUBLE_EQ(blocks.horizontal[2].left, 5);
  EXPECT_DOUBLE_EQ(blocks.vertical[0].left, 7);  // missing file: unchanged
  EXPECT_DOUBLE_EQ(blocks.vertical[0].top, 8);

  // More lines than blocks: the rest is ignored.
  Placeholders one = blocksOf(1, 600, 600);
  applyCoordinateLines({"10", "20", "30", "40"}, one);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_DOUBLE_EQ(one[0].left, 10);
  EXPECT_DOUBLE_EQ(one[0].top, 20);
}

TEST(SignPictures, SavingIntoAMissingDirectoryFails) {
  const testing::TempDir dir;
  Placements blocks;
  blocks.horizontal = {{1, 2, 600, 600}};
  EXPECT_FALSE(saveCoordinates(dir.path() / "missing", PictureKind::Logo, blocks));
  EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

// ---- Images of a step and picture files ---------------------------------------------------

TEST(SignPictures, ImagesOfAStep) {
  using Shown = std::vector<bool>;
  // The post-processing run: with tubes off the tube string says, with tubes on the image string.
  EXPECT_EQ(imagesOfStep("X X", "", 3, false), (Shown{true, false, true}));
  EXPECT_EQ(imagesOfStep("X X ", " X ", 3, true), (Shown{false, true, false}));
  EXPECT_EQ(imagesOfStep("XXXX", "X", 3, true), (Shown{true, false, false}));  // short: dark
  EXPECT_EQ(imagesOfStep("X", "", 0, false), Shown{});
  // The design window's run: with tubes on an image is lit where its channel is dark.
  EXPECT_EQ(imagesOfRunLine("X X", 3, false), (Shown{true, false, true}));
  EXPECT_EQ(imagesOfRunLine(" X  ", 2, false), (Shown{false, true}));
  EXPECT_EQ(imagesOfRunLine(" X  ", 2, true), (Shown{true, false}));
  EXPECT_EQ(imagesOfRunLine("X", 3, true), (Shown{false, true, true}));  // beyond the line: not "X"
}

TEST(SignPictures, PictureFilesEndAtTheFirstMissingNumber) {
  const testing::TempDir dir;
  for (const char* name : {"图案1.bmp", "图案2.bmp", "图案4.bmp", "标志2.bmp"}) {
    writeFile(dir.path() / platform::pathFromUtf8(name), "BM");
  }
  const auto images = pictureFiles(dir.path(), PictureKind::Image);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(platform::pathToUtf8(images[1].filename()), "图案2.bmp");
  EXPECT_TRUE(pictureFiles(dir.path(), PictureKind::Logo).empty());  // no 标志1.bmp
  EXPECT_EQ(pictureFileName(PictureKind::Logo, 12), "标志12.bmp");
  EXPECT_EQ(coordinateFileName(PictureKind::Logo, Orientation::Vertical), "竖列_标志_坐标.ini");
}

// ---- The pictures of an open project ------------------------------------------------------

TEST(SignPictures, AnOpenedProjectHasOneBlockPerPictureAtItsSavedPlace) {
  const testing::TempDir dir;
  const fs::path projectDir = dir.path() / "P";
  fs::create_directories(projectDir);
  for (const char* name : {"标志1.bmp", "图案1.bmp", "图案2.bmp"})
    writeFile(projectDir / platform::pathFromUtf8(name), "BM");
  writeFile(projectDir / platform::pathFromUtf8("图案_坐标.ini"), "150\r\n30\r\n");  // image 2 has no line
  const Project opened = openProjectFiles(dir.path() / "P.hs", projectDir, Project{});
  EXPECT_EQ(opened.pictures.logoCount, 1);
  ASSERT_EQ(opened.pictures.images.horizontal.size(), 2u);
  ASSERT_EQ(opened.pictures.images.vertical.size(), 2u);
  EXPECT_DOUBLE_EQ(opened.pictures.images.horizontal[0].left, 150);
  EXPECT_DOUBLE_EQ(opened.pictures.images.horizontal[0].top, 30);
  EXPECT_DOUBLE_EQ(opened.pictures.images.horizontal[1].left, 0);
  EXPECT_DOUBLE_EQ(opened.pictures.images.horizontal[1].width, kDefaultBlockTwips);

  // The pictures' sizes come in without marking a change; an arrangement and a drag mark one.
  Project p = opened;
  fitPictureBlocks(p, PictureKind::Image, {{300, 180}, {0, 0}});
  EXPECT_FALSE(p.dirty);
  EXPECT_DOUBLE_EQ(p.pictures.images.vertical[0].width, 300);
  EXPECT_DOUBLE_EQ(p.pictures.images.vertical[1].height, kDefaultBlockTwips);  // did not load
  EXPECT_DOUBLE_EQ(p.pictures.images.horizontal[0].left, 150);                 // places kept
  arrangePictures(p, PictureKind::Image, Arrangement::Row, 6000, 2000, 2000, 6000);
  EXPECT_TRUE(p.dirty);
  EXPECT_DOUBLE_EQ(p.pictures.images.horizontal[0].left, 3000 - 150);
  EXPECT_DOUBLE_EQ(p.pictures.images.vertical[0].top, 3000 - 90);
  markSaved(p);
  dragPictureBlock(p, PictureKind::Logo, Orientation::Vertical, 5, 0, 0, true);  // no such block
  EXPECT_FALSE(p.dirty);
  dragPictureBlock(p, PictureKind::Logo, Orientation::Vertical, 0, 45, 60, true);
  EXPECT_TRUE(p.dirty);
  EXPECT_DOUBLE_EQ(p.pictures.logos.vertical[0].top, 60);
}

}  // namespace
}  // namespace lumafex::design
