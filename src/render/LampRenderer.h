#pragma once
// Paints the lamp matrix of a sign on any painter: one step (lamps lit or dark by the step's
// characters) or the layout view (every lamp lit). The lamp rectangles are worked out once per
// layout, in twips and converted to pixels once; painting a step only sorts the lamps into one
// batch per colour and fills each batch with a single call, so a step of 300 channels by 10 rows
// costs well under a millisecond.

#include <QColor>
#include <QRect>
#include <QSize>
#include <QStringView>
#include <array>
#include <vector>

#include "core/design/Rules.h"
#include "core/preview/LampLayout.h"

class QPainter;

namespace lumafex::preview {

struct SignStyle;

// The colour of a dark lamp.
inline constexpr QRgb kDarkLamp = 0xff303030;  // RGB(48, 48, 48)

class LampRenderer {
 public:
  // The largest matrix laid out; larger counts are clamped to these.
  static constexpr int kMaxColumns = design::kMaxChannels;
  static constexpr int kMaxRows = 10;

  // Lays the lamps out for a canvas of `canvas` pixels. Cheap when nothing changed since the last
  // call, so it may be called before every paint.
  void prepare(Orientation orientation, int columns, int rows, QSize canvas);

  // Lamp (r, c) in pixels, 1-based; an empty rectangle outside the matrix.
  QRect lampRect(int row, int column) const;
  int columns() const { return columns_; }
  int rows() const { return rows_; }

  // Lamp (r, c) lit in the swatch colour of its column when character c of `tubes` is "X", dark
  // otherwise (characters beyond the end of `tubes` are dark). Filled or outlined by style.hollow.
  void paintStep(QPainter& painter, const SignStyle& style, QStringView tubes);
  // Every lamp lit in its colour.
  void paintLayoutView(QPainter& painter, const SignStyle& style);

 private:
  // Batch 0-2: swatches 1-3; batch 3: dark lamps.
  static constexpr int kBatches = 4;
  template <class IsLit>
  void paint(QPainter& painter, const SignStyle& style, IsLit isLit);

  Orientation orientation_ = Orientation::Horizontal;
  int columns_ = 0;
  int rows_ = 0;
  QSize canvas_;
  std::vector<QRect> rects_;                        // row-major: lamp (r, c) at (r - 1) * columns + (c - 1)
  std::vector<QRect> outline_;                      // the same, one pixel smaller, for a 1-pixel pen
  std::array<std::vector<QRect>, kBatches> fills_;  // reused between paints
  std::array<std::vector<QRect>, kBatches> outlines_;  // reused between paints
};

}  // namespace lumafex::preview
