// The canvas a preview window leaves for the sign.

#include "core/preview/PreviewGeometry.h"

#include <gtest/gtest.h>

namespace lumafex::preview {
namespace {

TEST(PreviewGeometry, CanvasOfAWindow) {
  struct Case {
    Orientation orientation;
    int width, height;
    int canvasWidth, canvasHeight;
  };
  // 15 twips are a pixel: the horizontal strip is 20 pixels, its right margin 8; the vertical
  // strip 53 pixels (800 twips, rounded).
  const Case cases[] = {
      {Orientation::Horizontal, 400, 147, 392, 127}, {Orientation::Horizontal, 8, 20, 0, 0},
      {Orientation::Horizontal, 3, 5, 0, 0},         {Orientation::Vertical, 133, 467, 133, 414},
      {Orientation::Vertical, 50, 40, 50, 0},
  };
  for (const Case& c : cases) {
    const PixelSize canvas = canvasOfWindow(c.orientation, c.width, c.height);
    EXPECT_EQ(canvas.width, c.canvasWidth) << c.width << "x" << c.height;
    EXPECT_EQ(canvas.height, c.canvasHeight) << c.width << "x" << c.height;
  }
}

}  // namespace
}  // namespace lumafex::preview
