#pragma once
// A placement block of a logo (标志) or image (图案) on a preview: it lies over the sign canvas at its
// picture's place and size, shows the picture, and while the mouse is over it its number in grey
// with the tool tip "标志(i)" / "图案(i)". The left button drags it; the preview hands the new place
// to the project.

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <functional>

#include "core/design/SignPictures.h"

namespace lumafex::preview {

class PictureBlock : public QWidget {
 public:
  PictureBlock(design::PictureKind kind, int index, QWidget* parent);

  design::PictureKind kind() const { return kind_; }
  int index() const { return index_; }
  void setPicture(const QImage& picture);
  // Whether the block shows its number (after the mouse moved over it) instead of its picture.
  bool showsNumber() const { return numbered_; }

  // Called while the block is dragged (with the offset from where the drag started, in pixels)
  // and when the left button is released after a drag.
  std::function<void(PictureBlock&, QPoint offset)> dragging;
  std::function<void(PictureBlock&)> dropped;
  // Called when the right button is pressed on the block (its designer opens).
  std::function<void(PictureBlock&)> rightPressed;
  // The left button went down on the block (a drag begins: the project changes, moved or not).
  std::function<void(PictureBlock&)> leftPressed;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  design::PictureKind kind_;
  int index_;
  QImage picture_;
  bool numbered_ = false;
  bool dragging_ = false;
  QPoint dragStart_;
  QPoint startPos_;
};

}  // namespace lumafex::preview
