#pragma once
// The colour panel's pictures: a colour sample (its background is the colour) and the palette from
// which a click picks a colour.

#include <QImage>
#include <QLabel>

namespace lumafex::design {

class ColourSample : public QLabel {
  Q_OBJECT

 public:
  explicit ColourSample(QWidget* parent = nullptr);
  QColor colour() const { return colour_; }
  void setColour(const QColor& colour);

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QColor colour_;
};

class PalettePicture : public QLabel {
  Q_OBJECT

 public:
  explicit PalettePicture(QWidget* parent = nullptr);
  // The colour of the palette pixel at a point of the widget.
  QColor colourAt(const QPoint& point) const;

 signals:
  void picked(const QColor& colour);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage image_;
};

// The palette image: hues from left to right, from light at the top through the pure colour to
// dark at the bottom, with a strip of greys from white to black on the right.
QImage paletteImage(const QSize& size);

}  // namespace lumafex::design
