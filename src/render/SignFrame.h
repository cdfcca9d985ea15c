#pragma once
// One frame of the sign on a QImage, drawn by the previews' own renderers in the order the lamp
// canvas paints: the black sign, the lamps of the step, the logos and the images the step shows,
// the small marker line and the title with its state. An exported animation and a saved picture
// are therefore exactly what the preview shows at the same size.

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringView>
#include <memory>
#include <string_view>

#include "core/design/SignPictures.h"
#include "render/LampRenderer.h"
#include "render/PictureRenderer.h"
#include "render/SignStyle.h"
#include "render/TitleRenderer.h"

class QPainter;

namespace lumafex::render {

// What stays the same from frame to frame: the preview, its canvas size, the look of the tubes
// and the title, where the title starts and the sign's pictures with this preview's blocks.
struct SignScene {
  preview::Orientation orientation = preview::Orientation::Horizontal;
  QSize canvas{1, 1};  // pixels
  preview::SignStyle style;
  preview::TitleStyle title;
  QPoint titleStart;  // pixels: the top-left of the first character's cell
  std::shared_ptr<const preview::SignPictureSet> pictures;
  design::Placeholders logoBlocks;
  design::Placeholders imageBlocks;
};

// What changes from step to step.
struct SignStep {
  QStringView tubes;               // the tube channels: lamp c lit when character c is "X"
  preview::PictureFrame pictures;  // the logos and the images shown
  QString titleState;              // one character per title character, "□" dark; empty: all lit
  std::string_view line;           // the whole step line (tubes and image channels) as the chip gets it
};

class SignFrame {
 public:
  explicit SignFrame(SignScene scene);

  const SignScene& scene() const { return scene_; }
  // The size of the frames drawn at `scale` (at least one pixel each way).
  QSize frameSize(double scale = 1.0) const;

  // Paints the step on a painter whose device is at least the canvas size.
  void paint(QPainter& painter, const SignStep& step);
  // Draws the step into `image`, which is made an RGB32 image of frameSize(scale) when it is not
  // one already; reusing the image between frames saves an allocation per frame.
  void render(QImage& image, const SignStep& step, double scale = 1.0);
  QImage render(const SignStep& step, double scale = 1.0);

 private:
  SignScene scene_;
  preview::LampRenderer lamps_;
  preview::TitleRenderer title_;
};

}  // namespace lumafex::render
