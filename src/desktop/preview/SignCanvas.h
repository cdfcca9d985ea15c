#pragma once
// SignCanvas: the lamp canvas (Picture1) of a preview. It keeps what the sign shows — nothing, the
// layout view or a step, and the title — and paints it with the lamp and title renderers. Steps may
// arrive every millisecond; the canvas repaints at most once per display frame, so showing a step
// costs only the recording of it.

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>

#include "desktop/preview/PreviewWindow.h"
#include "render/LampRenderer.h"
#include "render/PictureRenderer.h"
#include "render/TitleRenderer.h"

namespace lumafex::preview {

class SignCanvas : public QWidget {
  Q_OBJECT

 public:
  enum class Content { Cleared, LayoutView, Step };

  explicit SignCanvas(Orientation orientation, QWidget* parent = nullptr);

  Orientation orientation() const { return orientation_; }
  void setSignStyle(const SignStyle& style);
  const SignStyle& signStyle() const { return style_; }

  // Each of these clears the sign first, the title with it: the title is drawn again by the next
  // setTitle, as the title follows every step.
  void clear();
  // The layout view and a step draw the sign's pictures as `pictures` says.
  void showLayoutView(const PictureFrame& pictures = {});
  void showStep(const QString& tubes, const PictureFrame& pictures = {});
  const PictureFrame& pictureFrame() const { return frame_; }

  // The pictures of the project and where this preview's blocks put them (twips).
  void setPictures(std::shared_ptr<const SignPictureSet> pictures, const design::Placeholders& logos,
                   const design::Placeholders& images);
  Content content() const { return content_; }
  const QString& tubes() const { return tubes_; }

  // Draws the title on the sign until the next clear. Returns whether the title's look changed
  // (its picture then needs drawing again).
  bool setTitle(const TitleStyle& style, const QString& state);
  // Where the title's first character starts, in pixels.
  void setTitleStart(QPoint pixels);
  const TitleRenderer& title() const { return title_; }
  bool titleDrawn() const { return titleDrawn_; }
  // The title picture lying over the canvas; while it is shown the sign leaves the title out.
  void setTitlePicture(QWidget* picture) { titlePicture_ = picture; }

  // Lamp (r, c) in pixels in the layout of the current size.
  QRect lampRect(int row, int column);

  // Paints the whole canvas at its current size.
  void paintCanvas(QPainter& painter);
  QImage render();

  // How often and how long paintEvent painted, for the benchmark.
  struct PaintStatistics {
    qint64 paints = 0;
    qint64 nanoseconds = 0;
  };
  PaintStatistics paintStatistics() const { return statistics_; }
  void resetPaintStatistics() { statistics_ = {}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Asks for a repaint now, or at the next display frame when the last one was too recent.
  void scheduleRepaint();

  Orientation orientation_;
  SignStyle style_;
  Content content_ = Content::Cleared;
  QString tubes_;
  LampRenderer lamps_;
  PictureFrame frame_;
  std::shared_ptr<const SignPictureSet> pictures_;
  design::Placeholders logoBlocks_;
  design::Placeholders imageBlocks_;
  TitleRenderer title_;
  QPoint titleStart_;
  bool titleDrawn_ = false;
  QWidget* titlePicture_ = nullptr;
  QTimer frameTimer_;
  QElapsedTimer sinceLastPaint_;
  PaintStatistics statistics_;
};

}  // namespace lumafex::preview
