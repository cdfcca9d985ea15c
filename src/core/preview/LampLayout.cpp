#include "core/preview/LampLayout.h"

#include <algorithm>

namespace lumafex::preview {

LampLayout::LampLayout(Orientation orientation, double width, double height, int channels, int rows)
    : orientation_(orientation) {
  // "Along" is the axis the channels follow, "across" the axis of the lamp rows.
  const bool horizontal = orientation == Orientation::Horizontal;
  const double along = horizontal ? width : height;
  const double across = horizontal ? height : width;
  const int n = std::max(channels, 1);
  const int r = std::max(rows, 1);

  marginAcross_ = across / 10;
  rowPitch_ = (across - 2 * marginAcross_) / r;
  if (n >= 2) {
    marginAlong_ = along / n;
    channelPitch_ = (along - 2 * marginAlong_) / (n - 1);
    lampLength_ = 3 * channelPitch_ / 5;
  } else {
    // A single channel has no pitch of its own: it takes the pitch of half the canvas and its one
    // lamp is centred along the channel axis. A lamp ends at the margin, so the margin lies half a
    // lamp past the centre.
    channelPitch_ = along / 2;
    lampLength_ = 3 * channelPitch_ / 5;
    marginAlong_ = (along + lampLength_) / 2;
  }
}

TwipsRect LampLayout::lamp(int row, int column) const {
  const double alongEnd = marginAlong_ + channelPitch_ * (column - 1);
  const double alongStart = alongEnd - lampLength_;
  const double acrossStart = marginAcross_ + rowPitch_ * (row - 1) - 60;
  const double acrossEnd = marginAcross_ + rowPitch_ * row - 30;
  if (orientation_ == Orientation::Horizontal) return {alongStart, acrossStart, alongEnd, acrossEnd};
  return {acrossStart, alongStart, acrossEnd, alongEnd};
}

int LampLayout::colourIndex(int column, int colours) {
  const int c = std::max(colours, 1);
  const int k = (column - 1) % c;
  return (k < 0 ? k + c : k) + 1;
}

}  // namespace lumafex::preview
