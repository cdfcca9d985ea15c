#include "desktop/preview/SignCanvas.h"

#include <QPaintEvent>
#include <QPainter>

#include "core/platform/Twips.h"

namespace lumafex::preview {

namespace {

// About one display frame.
constexpr int kFrameMs = 16;
// The sign's background and the small marker line on it.
constexpr QRgb kBackground = 0xff000000;
constexpr QRgb kMarker = 0xffc0c0c0;
// The marker is 90 twips long.
constexpr double kMarkerTwips = 90;

}  // namespace

SignCanvas::SignCanvas(Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  frameTimer_.setSingleShot(true);
  frameTimer_.setTimerType(Qt::PreciseTimer);
  connect(&frameTimer_, &QTimer::timeout, this, [this] { update(); });
}

void SignCanvas::setSignStyle(const SignStyle& style) {
  style_ = style;
  scheduleRepaint();
}

void SignCanvas::setPictures(std::shared_ptr<const SignPictureSet> pictures,
                             const design::Placeholders& logos, const design::Placeholders& images) {
  pictures_ = std::move(pictures);
  logoBlocks_ = logos;
  imageBlocks_ = images;
  if (content_ != Content::Cleared) scheduleRepaint();
}

void SignCanvas::clear() {
  content_ = Content::Cleared;
  frame_ = {};
  titleDrawn_ = false;
  update();
}

void SignCanvas::showLayoutView(const PictureFrame& pictures) {
  content_ = Content::LayoutView;
  frame_ = pictures;
  titleDrawn_ = false;
  update();
}

void SignCanvas::showStep(const QString& tubes, const PictureFrame& pictures) {
  content_ = Content::Step;
  frame_ = pictures;
  tubes_ = tubes;
  titleDrawn_ = false;
  scheduleRepaint();
}

bool SignCanvas::setTitle(const TitleStyle& style, const QString& state) {
  const bool changed = title_.setTitle(style, state, orientation_);
  titleDrawn_ = !style.disabled && !title_.isEmpty();
  scheduleRepaint();
  return changed;
}

void SignCanvas::setTitleStart(QPoint pixels) {
  if (pixels == titleStart_) return;
  titleStart_ = pixels;
  if (titleDrawn_) scheduleRepaint();
}

QRect SignCanvas::lampRect(int row, int column) {
  lamps_.prepare(orientation_, style_.columns, style_.rows, size());
  return lamps_.lampRect(row, column);
}

void SignCanvas::paintCanvas(QPainter& painter) {
  const QSize canvas = size();
  painter.fillRect(QRect(QPoint(0, 0), canvas), QColor::fromRgb(kBackground));
  if (content_ != Content::Cleared) {
    lamps_.prepare(orientation_, style_.columns, style_.rows, canvas);
    if (content_ == Content::LayoutView) {
      lamps_.paintLayoutView(painter, style_);
    } else if (style_.tubesOn) {
      lamps_.paintStep(painter, style_, tubes_);
    }
    if (pictures_) {
      if (frame_.logosOn) paintPictures(painter, pictures_->logos, logoBlocks_);
      if (frame_.imagesOn && frame_.allImages) paintPictures(painter, pictures_->images, imageBlocks_);
      if (frame_.imagesOn && !frame_.allImages && !frame_.shownImages.empty()) {
        paintPictures(painter, pictures_->images, imageBlocks_, frame_.shownImages);
      }
    }
  }
  // The marker shows the middle of the sign's bottom edge (horizontal) or right edge (vertical).
  const int marker = std::max(1, platform::toPixels(kMarkerTwips));
  if (orientation_ == Orientation::Horizontal) {
    painter.fillRect(QRect(canvas.width() / 2, canvas.height() - marker, 1, marker),
                     QColor::fromRgb(kMarker));
  } else {
    painter.fillRect(QRect(canvas.width() - marker, canvas.height() / 2, marker, 1),
                     QColor::fromRgb(kMarker));
  }
  if (titleDrawn_ && !(titlePicture_ && !titlePicture_->isHidden())) {
    title_.paint(painter, titleStart_, TitleInk::Sign);
  }
}

QImage SignCanvas::render() {
  QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  QPainter painter(&image);
  paintCanvas(painter);
  return image;
}

void SignCanvas::paintEvent(QPaintEvent*) {
  QElapsedTimer timer;
  timer.start();
  {
    QPainter painter(this);
    paintCanvas(painter);
  }
  statistics_.paints += 1;
  statistics_.nanoseconds += timer.nsecsElapsed();
  sinceLastPaint_.start();
}

void SignCanvas::scheduleRepaint() {
  if (frameTimer_.isActive()) return;
  const qint64 since = sinceLastPaint_.isValid() ? sinceLastPaint_.elapsed() : kFrameMs;
  if (since >= kFrameMs) {
    update();
  } else {
    frameTimer_.start(static_cast<int>(kFrameMs - since));
  }
}

}  // namespace lumafex::preview
