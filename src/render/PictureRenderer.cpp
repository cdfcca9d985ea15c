#include "render/PictureRenderer.h"

#include <QImageReader>
#include <QPainter>
#include <QString>

#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"
#include "render/TransparentCopy.h"

namespace lumafex::preview {

namespace {

// The colour a picture shows the sign through.
const QColor kTransparent(0, 0, 0);

}  // namespace

QImage loadPicture(const std::filesystem::path& file) {
  QImageReader reader(QString::fromStdString(platform::pathToUtf8(file)));
  reader.setDecideFormatFromContent(true);
  QImage image;
  if (!reader.read(&image)) return {};
  return image;
}

SignPictureSet loadSignPictures(const std::filesystem::path& projectDirectory) {
  SignPictureSet set;
  for (const design::PictureKind kind : {design::PictureKind::Logo, design::PictureKind::Image}) {
    for (const std::filesystem::path& file : design::pictureFiles(projectDirectory, kind)) {
      set.of(kind).push_back(loadPicture(file));
    }
  }
  return set;
}

void paintPictures(QPainter& painter, const std::vector<QImage>& pictures, const design::Placeholders& blocks,
                   const std::vector<bool>& shown) {
  const std::size_t count = std::min(pictures.size(), blocks.size());
  for (std::size_t i = 0; i < count; ++i) {
    if (!shown.empty() && (i >= shown.size() || !shown[i])) continue;
    const QImage& picture = pictures[i];
    if (picture.isNull()) continue;
    controls::绘透明图(painter, platform::toPixels(blocks[i].left), platform::toPixels(blocks[i].top),
                       picture.width(), picture.height(), picture, 0, 0, kTransparent);
  }
}

void paintSignPictures(QPainter& painter, const SignPictureSet& pictures,
                       const design::Placements& logoBlocks, const design::Placements& imageBlocks,
                       Orientation view, const PictureFrame& frame) {
  if (frame.logosOn) paintPictures(painter, pictures.logos, logoBlocks.on(view));
  if (!frame.imagesOn) return;
  if (frame.allImages) {
    paintPictures(painter, pictures.images, imageBlocks.on(view));
  } else if (!frame.shownImages.empty()) {
    paintPictures(painter, pictures.images, imageBlocks.on(view), frame.shownImages);
  }
}

}  // namespace lumafex::preview
