#pragma once
// The panel 色彩选择板: what a colour is picked for (the title or one of the three tube colours),
// the samples of those colours and the palette from which a click picks a colour.

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <array>

#include "core/design/ProjectRecord.h"

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

class ColourChooser : public QGroupBox {
  Q_OBJECT

 public:
  explicit ColourChooser(QWidget* parent = nullptr);

  void map(const ProjectSettings& s);
  void store(ProjectSettings& s) const;

 signals:
  // A colour was picked from the palette for the title, or for a tube colour.
  void titleColourPicked();
  void tubeColourPicked();

 private:
  void pick(const QColor& colour);

  ColourSample* 标题颜色样品;
  std::array<ColourSample*, 3> 色彩样品;
  std::array<QRadioButton*, 4> 颜色选择内容;
  PalettePicture* 调色板;
};

// The palette image: hues from left to right, from light at the top through the pure colour to
// dark at the bottom, with a strip of greys from white to black on the right.
QImage paletteImage(const QSize& size);

}  // namespace lumafex::design
