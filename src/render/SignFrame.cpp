#include "render/SignFrame.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/platform/Twips.h"

namespace lumafex::render {

namespace {

// The lamp canvas's background and its marker line, as the preview paints them.
constexpr QRgb kBackground = 0xff000000;
constexpr QRgb kMarker = 0xffc0c0c0;
constexpr double kMarkerTwips = 90;

}  // namespace

SignFrame::SignFrame(SignScene scene) : scene_(std::move(scene)) {
  scene_.canvas = scene_.canvas.expandedTo(QSize(1, 1));
}

QSize SignFrame::frameSize(double scale) const {
  return QSize(std::max(1, static_cast<int>(std::lround(scene_.canvas.width() * scale))),
               std::max(1, static_cast<int>(std::lround(scene_.canvas.height() * scale))));
}

void SignFrame::paint(QPainter& painter, const SignStep& step) {
  const QSize canvas = scene_.canvas;
  painter.fillRect(QRect(QPoint(0, 0), canvas), QColor::fromRgb(kBackground));
  lamps_.prepare(scene_.orientation, scene_.style.columns, scene_.style.rows, canvas);
  if (scene_.style.tubesOn) lamps_.paintStep(painter, scene_.style, step.tubes);
  if (scene_.pictures) {
    const preview::PictureFrame& f = step.pictures;
    const auto& images = scene_.pictures->images;
    if (f.logosOn) preview::paintPictures(painter, scene_.pictures->logos, scene_.logoBlocks);
    if (f.imagesOn && f.allImages) preview::paintPictures(painter, images, scene_.imageBlocks);
    if (f.imagesOn && !f.allImages && !f.shownImages.empty()) {
      preview::paintPictures(painter, images, scene_.imageBlocks, f.shownImages);
    }
  }
  const int marker = std::max(1, platform::toPixels(kMarkerTwips));
  if (scene_.orientation == preview::Orientation::Horizontal) {
    painter.fillRect(QRect(canvas.width() / 2, canvas.height() - marker, 1, marker),
                     QColor::fromRgb(kMarker));
  } else {
    painter.fillRect(QRect(canvas.width() - marker, canvas.height() / 2, marker, 1),
                     QColor::fromRgb(kMarker));
  }
  if (!scene_.title.disabled) {
    title_.setTitle(scene_.title, step.titleState, scene_.orientation);
    if (!title_.isEmpty()) title_.paint(painter, scene_.titleStart, preview::TitleInk::Sign);
  }
}

void SignFrame::render(QImage& image, const SignStep& step, double scale) {
  const QSize size = frameSize(scale);
  if (image.size() != size || image.format() != QImage::Format_RGB32) {
    image = QImage(size, QImage::Format_RGB32);
  }
  QPainter painter(&image);
  if (scale != 1.0) {
    // The sign outside the scaled canvas (rounding) is black as well.
    painter.fillRect(image.rect(), QColor::fromRgb(kBackground));
    painter.scale(static_cast<double>(size.width()) / scene_.canvas.width(),
                  static_cast<double>(size.height()) / scene_.canvas.height());
  }
  paint(painter, step);
}

QImage SignFrame::render(const SignStep& step, double scale) {
  QImage image;
  render(image, step, scale);
  return image;
}

}  // namespace lumafex::render
