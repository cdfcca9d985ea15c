#pragma once
// How a preview window is divided: the sign's canvas, the strip of controls below it and, in the
// horizontal preview, a margin at its right. The desktop previews and the exported frames take the
// canvas from here, so a frame has the size the window shows.

#include "core/preview/LampLayout.h"

namespace lumafex::preview {

// The strip below the canvas and the margin right of the horizontal canvas, in twips.
inline constexpr double kHorizontalStripTwips = 300;
inline constexpr double kHorizontalRightTwips = 120;
inline constexpr double kVerticalStripTwips = 800;
// A preview window is never smaller than this (twips).
inline constexpr double kMinimumPreviewTwips = 1000;

struct PixelSize {
  int width = 0;
  int height = 0;
};

// The canvas (pixels, never negative) of a preview window of the given size in pixels.
PixelSize canvasOfWindow(Orientation orientation, int windowWidth, int windowHeight);

}  // namespace lumafex::preview
