#include "render/LampRenderer.h"

#include <QPainter>
#include <algorithm>

#include "core/platform/Twips.h"
#include "render/SignStyle.h"

namespace lumafex::preview {

void LampRenderer::prepare(Orientation orientation, int columns, int rows, QSize canvas) {
  // Only a sign the design window can have is laid out: a column count read from a hostile file
  // (1e9) must not size the lamp tables.
  columns = std::clamp(columns, 0, kMaxColumns);
  rows = std::clamp(rows, 1, kMaxRows);
  if (orientation == orientation_ && columns == columns_ && rows == rows_ && canvas == canvas_ &&
      rects_.size() == static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows)) {
    return;
  }
  orientation_ = orientation;
  columns_ = columns;
  rows_ = rows;
  canvas_ = canvas;
  rects_.clear();
  outline_.clear();
  const LampLayout layout(orientation, platform::toTwips(canvas.width()), platform::toTwips(canvas.height()),
                          columns, rows);
  rects_.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
  for (int r = 1; r <= rows; ++r) {
    for (int c = 1; c <= columns; ++c) {
      // Pixel k covers twips [15k, 15k + 15): a lamp takes the pixels whose middle it covers, and
      // at least one pixel each way so that a crowded sign still shows every lamp.
      const TwipsRect t = layout.lamp(r, c);
      const int left = platform::toPixels(t.left);
      const int top = platform::toPixels(t.top);
      const int right = std::max(platform::toPixels(t.right), left + 1);
      const int bottom = std::max(platform::toPixels(t.bottom), top + 1);
      rects_.emplace_back(left, top, right - left, bottom - top);
    }
  }
  outline_.reserve(rects_.size());
  // A stroked rectangle covers its size plus the pen, so the outline is drawn one pixel smaller to
  // cover exactly the pixels a filled lamp covers.
  for (const QRect& rect : rects_) outline_.push_back(rect.adjusted(0, 0, -1, -1));
  for (auto& batch : fills_) batch.reserve(rects_.size());
  for (auto& batch : outlines_) batch.reserve(rects_.size());
}

QRect LampRenderer::lampRect(int row, int column) const {
  if (row < 1 || row > rows_ || column < 1 || column > columns_) return {};
  return rects_[static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(columns_) +
                static_cast<std::size_t>(column - 1)];
}

template <class IsLit>
void LampRenderer::paint(QPainter& painter, const SignStyle& style, IsLit isLit) {
  for (auto& batch : fills_) batch.clear();
  for (auto& batch : outlines_) batch.clear();
  const std::size_t columns = static_cast<std::size_t>(columns_);
  for (std::size_t c = 0; c < columns; ++c) {
    const int batch =
        isLit(static_cast<int>(c)) ? LampLayout::colourIndex(static_cast<int>(c) + 1, style.colours) - 1 : 3;
    for (std::size_t r = 0; r < static_cast<std::size_t>(rows_); ++r) {
      const std::size_t i = r * columns + c;
      // A lamp two pixels thin or less looks the same outlined as filled.
      if (style.hollow && rects_[i].width() > 2 && rects_[i].height() > 2) {
        outlines_[static_cast<std::size_t>(batch)].push_back(outline_[i]);
      } else {
        fills_[static_cast<std::size_t>(batch)].push_back(rects_[i]);
      }
    }
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (int b = 0; b < kBatches; ++b) {
    const QColor colour = b < 3 ? style.tubeColours[static_cast<std::size_t>(b)] : QColor::fromRgb(kDarkLamp);
    const auto& fill = fills_[static_cast<std::size_t>(b)];
    if (!fill.empty()) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(colour);
      painter.drawRects(fill.data(), static_cast<int>(fill.size()));
    }
    const auto& outline = outlines_[static_cast<std::size_t>(b)];
    if (!outline.empty()) {
      painter.setPen(QPen(colour, 0));
      painter.setBrush(Qt::NoBrush);
      painter.drawRects(outline.data(), static_cast<int>(outline.size()));
    }
  }
  painter.restore();
}

void LampRenderer::paintStep(QPainter& painter, const SignStyle& style, QStringView tubes) {
  const auto length = tubes.size();
  paint(painter, style, [&](int c) { return c < length && tubes[c] == u'X'; });
}

void LampRenderer::paintLayoutView(QPainter& painter, const SignStyle& style) {
  paint(painter, style, [](int) { return true; });
}

}  // namespace lumafex::preview
