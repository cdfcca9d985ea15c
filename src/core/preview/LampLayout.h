#pragma once
// The lamp layout of the previews, in twips. Horizontal: channels along the width, rows along the
// height; vertical: the same with the axes exchanged. Qt-free.

namespace lumafex::preview {

enum class Orientation { Horizontal, Vertical };

struct TwipsRect {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
};

class LampLayout {
 public:
  // Canvas width and height in twips, channels N (at least 2 for a meaningful layout) and rows R.
  LampLayout(Orientation orientation, double width, double height, int channels, int rows);

  // Lamp (r, c), r = 1 … R, c = 1 … N.
  TwipsRect lamp(int row, int column) const;

  // The swatch (1 … colours) of channel c: ((c - 1) mod colours) + 1.
  static int colourIndex(int column, int colours);

  double marginAlong() const { return marginAlong_; }    // ML (horizontal) / MT (vertical)
  double marginAcross() const { return marginAcross_; }  // MT (horizontal) / ML (vertical)
  double channelPitch() const { return channelPitch_; }  // P
  double rowPitch() const { return rowPitch_; }          // Q
  double lampLength() const { return lampLength_; }      // LW

 private:
  Orientation orientation_;
  double marginAlong_ = 0;
  double marginAcross_ = 0;
  double channelPitch_ = 0;
  double rowPitch_ = 0;
  double lampLength_ = 0;
};

}  // namespace lumafex::preview
