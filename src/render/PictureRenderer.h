#pragma once
// Paints the logos and images of a sign on any painter: each picture at its natural size, its
// top-left corner at its placement block's position (twips converted to pixels), copied
// transparently so that its black pixels RGB(0,0,0) leave the sign unchanged. The previews, the
// post-processing run and any export draw pictures through here, so they look the same everywhere.

#include <QImage>
#include <filesystem>
#include <vector>

#include "core/design/SignPictures.h"
#include "core/preview/LampLayout.h"

class QPainter;

namespace lumafex::preview {

// The pictures of a project, index 0 first: logo k + 1 is "标志" (k + 1) ".bmp" of the project
// directory, image k + 1 is "图案" (k + 1) ".bmp". A picture that did not load is a null image and
// is never drawn.
struct SignPictureSet {
  std::vector<QImage> logos;
  std::vector<QImage> images;

  std::vector<QImage>& of(design::PictureKind kind) {
    return kind == design::PictureKind::Logo ? logos : images;
  }
  const std::vector<QImage>& of(design::PictureKind kind) const {
    return kind == design::PictureKind::Logo ? logos : images;
  }
};

// One picture file; a null image when it cannot be read as a picture.
QImage loadPicture(const std::filesystem::path& file);

// Every picture of both kinds in the project directory (numbered from 1, the first missing number
// ends each list).
SignPictureSet loadSignPictures(const std::filesystem::path& projectDirectory);

// What one frame of the sign shows of its pictures.
struct PictureFrame {
  bool logosOn = false;   // 启用标志: every logo is drawn
  bool imagesOn = false;  // 启用图案: images are drawn as `shownImages` says
  // Element k − 1 says whether image k is shown in this step (design::imagesOfRunLine,
  // design::imagesOfStep); images beyond its end are not shown.
  std::vector<bool> shownImages;
  bool allImages = false;  // every image regardless of a step (the layout view)
};

// Draws pictures[i] at blocks[i] for every i both hold, when `shown` is empty or shown[i] is true.
void paintPictures(QPainter& painter, const std::vector<QImage>& pictures, const design::Placeholders& blocks,
                   const std::vector<bool>& shown = {});

// Draws the logos and images of one frame on the preview `view`: the logos first, then the images.
void paintSignPictures(QPainter& painter, const SignPictureSet& pictures,
                       const design::Placements& logoBlocks, const design::Placements& imageBlocks,
                       Orientation view, const PictureFrame& frame);

}  // namespace lumafex::preview
