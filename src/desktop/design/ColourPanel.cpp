#include "desktop/design/ColourPanel.h"

#include <QMouseEvent>
#include <algorithm>

namespace lumafex::design {

ColourSample::ColourSample(QWidget* parent) : QLabel(parent) {
  setMinimumSize(28, 20);
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Sunken);
  setAutoFillBackground(true);
  setCursor(Qt::PointingHandCursor);
  setColour(Qt::black);
}

void ColourSample::setColour(const QColor& colour) {
  colour_ = colour;
  QPalette p = palette();
  p.setColor(QPalette::Window, colour);
  setPalette(p);
  update();
}

void ColourSample::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit clicked();
  QLabel::mousePressEvent(event);
}

QImage paletteImage(const QSize& size) {
  QImage image(size, QImage::Format_RGB32);
  const int w = size.width();
  const int h = size.height();
  const int greyWidth = std::max(8, w / 12);
  const int hueWidth = std::max(1, w - greyWidth);
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const double t = h > 1 ? static_cast<double>(y) / (h - 1) : 0.0;  // 0 top … 1 bottom
    const int lightness = static_cast<int>(std::lround(240 - t * 225));
    for (int x = 0; x < w; ++x) {
      if (x >= hueWidth) {
        const int g = static_cast<int>(std::lround(255 * (1 - t)));
        line[x] = qRgb(g, g, g);
      } else {
        const int hue = static_cast<int>(359.0 * x / hueWidth);
        line[x] = QColor::fromHsl(hue, 255, std::clamp(lightness, 0, 255)).rgb();
      }
    }
  }
  return image;
}

PalettePicture::PalettePicture(QWidget* parent) : QLabel(parent) {
  setMinimumSize(120, 60);
  setCursor(Qt::CrossCursor);
  setToolTip(QStringLiteral("单击选取颜色"));
  setScaledContents(false);
}

void PalettePicture::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  image_ = paletteImage(size());
  setPixmap(QPixmap::fromImage(image_));
}

QColor PalettePicture::colourAt(const QPoint& point) const {
  if (image_.isNull() || !image_.rect().contains(point)) return {};
  return QColor(image_.pixel(point));
}

void PalettePicture::mousePressEvent(QMouseEvent* event) {
  const QColor c = colourAt(event->position().toPoint());
  if (c.isValid()) emit picked(c);
}

}  // namespace lumafex::design
