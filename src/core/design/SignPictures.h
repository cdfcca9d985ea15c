#pragma once
// Logos and images on the sign: where their placement blocks lie on the two previews, the
// coordinate files that keep those positions per project, the row and border arrangements, which
// images a step lights, and the picture files of a project. Qt-free; the windows show the blocks
// and draw the pictures.
//
// Positions and sizes are in twips inside the preview's canvas (15 twips a pixel).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Result.h"
#include "core/preview/LampLayout.h"

namespace lumafex::design {

enum class PictureKind {
  Logo,   // 标志: still pictures, drawn in every step while 启用标志 is on
  Image,  // 图案: image k is lit or dark with channel k of the step
};

// One placement block: its top-left corner and its size (the picture's natural size).
struct Placeholder {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

using Placeholders = std::vector<Placeholder>;

// The blocks of one kind on both previews, index 0 first.
struct Placements {
  Placeholders horizontal;  // 花式显示窗
  Placeholders vertical;    // 竖列显示窗
  Placeholders& on(preview::Orientation view) {
    return view == preview::Orientation::Horizontal ? horizontal : vertical;
  }
  const Placeholders& on(preview::Orientation view) const {
    return view == preview::Orientation::Horizontal ? horizontal : vertical;
  }
};

// ---- Picture files -------------------------------------------------------------------------

// "标志" + k + ".bmp" / "图案" + k + ".bmp" (k from 1, decimal without leading zeros).
std::string pictureFileName(PictureKind kind, int k);

// The pictures of a kind in the project directory: picture 1, 2, 3, … while the file exists; the
// first missing number ends the list.
std::vector<std::filesystem::path> pictureFiles(const std::filesystem::path& projectDirectory,
                                                PictureKind kind);

// ---- Coordinate files ----------------------------------------------------------------------

// "标志_坐标.ini", "竖列_标志_坐标.ini", "图案_坐标.ini", "竖列_图案_坐标.ini".
std::string coordinateFileName(PictureKind kind, preview::Orientation view);

// The lines of a coordinate file: for every block in index order its left, then its top, one
// number per line.
std::vector<std::string> coordinateLines(const Placeholders& blocks);

// Sets the blocks from the lines of a coordinate file: line 2i + 1 is the left and line 2i + 2
// the top of block i. A missing or unreadable line leaves that coordinate as it was; lines beyond
// the blocks are ignored.
void applyCoordinateLines(const std::vector<std::string>& lines, Placeholders& blocks);

// Writes both coordinate files of a kind into the project directory (horizontal and vertical
// blocks). Both are written beside their targets and renamed together: on a failure neither file
// is touched.
Status saveCoordinates(const std::filesystem::path& projectDirectory, PictureKind kind,
                       const Placements& placements);

// Reads both coordinate files of a kind back into the blocks. A file that does not exist (or
// cannot be read) leaves its blocks where they are.
void readCoordinates(const std::filesystem::path& projectDirectory, PictureKind kind, Placements& placements);

// ---- Arrangements --------------------------------------------------------------------------

// The row arrangement on a canvas of width × height twips. Horizontal preview, k blocks:
// cell = W / k, y = (H − height of block 0) \ 2 − 30, step = (W − 2·cell) / (k − 1) (0 for a
// single block); block i − 1 gets left = cell + step·(i − 1) − its width / 2 and top = y.
// Vertical preview: the same with the axes exchanged.
void arrangeInRow(Placeholders& blocks, double width, double height, preview::Orientation view);

// The border arrangement on a canvas of width × height twips, clockwise from the top left: the
// top edge (sh blocks), the right edge (sv blocks), the bottom edge (sh blocks, right to left)
// and the left edge (the rest, bottom to top). With m the largest block height, a = W − m,
// b = H − m: d = (2a + 2b) \ n, sv = b \ d − 1, sh = (n − 2·sv) \ 2, offset = (d − m) \ 2; the
// top edge lies at offset with left = W / sh + step·(i − 1) − width / 2, step = (W − 2·W / sh) /
// (sh − 1); the side edges move by step from one block to the next.
//
// Where those numbers would put blocks outside the canvas or on top of each other, the blocks
// are kept inside and apart: a negative side count is 0; the top and bottom edges keep room for
// the side blocks between them; an edge whose step would stack its blocks (one or two blocks on
// the top edge, or a step narrower than the blocks) spreads them evenly; side blocks that would
// run into a corner are spread evenly between the top and the bottom edge. The vertical preview
// is laid out the same way with the axes exchanged.
void arrangeAsBorder(Placeholders& blocks, double width, double height, preview::Orientation view);

// Moves block `index` to (left, top). With `together` (图案同步移动) every other block moves by the
// same offset. An index outside the blocks changes nothing.
void moveBlock(Placeholders& blocks, std::size_t index, double left, double top, bool together);

// ---- Images of a step ----------------------------------------------------------------------

// Which images a step of the design window's run shows, from its step line (the tube channels):
// with 启用灯管 on, image i is shown when character i of the line is not "X" (the image channel is
// the inverse of channel i); with it off, when character i is "X". Element i − 1 is image i.
std::vector<bool> imagesOfRunLine(std::string_view line, int imageCount, bool tubesOn);

// Which images a step of the total program shows, from its tube string (the first N characters)
// and its image string (the characters after them): with 启用灯管 on, image k is shown when
// character k of the image string is "X"; with it off, when character k of the tube string is.
std::vector<bool> imagesOfStep(std::string_view tubes, std::string_view images, int imageCount, bool tubesOn);

}  // namespace lumafex::design
