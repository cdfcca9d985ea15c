#include "render/TransparentCopy.h"

#include <QPainter>

namespace lumafex::controls {

namespace {

// Set while a copy draws; the copy routine is not re-entered.
bool copyInProgress = false;

class CopyGuard {
 public:
  CopyGuard() { copyInProgress = true; }
  ~CopyGuard() { copyInProgress = false; }
  CopyGuard(const CopyGuard&) = delete;
  CopyGuard& operator=(const CopyGuard&) = delete;
};

}  // namespace

QImage keyedImage(const QImage& source, const QRect& area, QColor key) {
  if (area.isEmpty()) return {};
  const QRect part = area & source.rect();
  if (part.isEmpty()) return {};
  QImage image = source.copy(part).convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) return {};
  const bool keepAlpha = source.hasAlphaChannel();
  const QRgb keyRgb = key.rgb() & RGB_MASK;
  for (int row = 0; row < image.height(); ++row) {
    auto* pixel = reinterpret_cast<QRgb*>(image.scanLine(row));
    for (int column = 0; column < image.width(); ++column) {
      const QRgb value = pixel[column];
      if ((value & RGB_MASK) == keyRgb) {
        pixel[column] = 0;
      } else if (!keepAlpha) {
        pixel[column] = value | ~RGB_MASK;
      }
    }
  }
  image.setDevicePixelRatio(1.0);
  return image;
}

bool 绘透明图(QPainter& target, int x, int y, int width, int height, const QImage& source, int sourceX,
              int sourceY, QColor transparent) {
  if (copyInProgress || !target.isActive()) return false;
  const CopyGuard guard;
  const QRect requested(sourceX, sourceY, width, height);
  const QImage keyed = keyedImage(source, requested, transparent);
  if (keyed.isNull()) return true;
  const QRect part = requested & source.rect();
  target.save();
  target.setCompositionMode(QPainter::CompositionMode_SourceOver);
  target.drawImage(QPoint(x + part.x() - sourceX, y + part.y() - sourceY), keyed);
  target.restore();
  return true;
}

}  // namespace lumafex::controls
