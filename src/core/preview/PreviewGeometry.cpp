#include "core/preview/PreviewGeometry.h"

#include <algorithm>

#include "core/platform/Twips.h"

namespace lumafex::preview {

PixelSize canvasOfWindow(Orientation orientation, int windowWidth, int windowHeight) {
  using platform::toPixels;
  using platform::toTwips;
  if (orientation == Orientation::Horizontal) {
    return {std::max(0, toPixels(toTwips(windowWidth) - kHorizontalRightTwips)),
            std::max(0, toPixels(toTwips(windowHeight) - kHorizontalStripTwips))};
  }
  return {std::max(0, windowWidth), std::max(0, toPixels(toTwips(windowHeight) - kVerticalStripTwips))};
}

}  // namespace lumafex::preview
