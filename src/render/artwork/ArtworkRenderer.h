#pragma once
// The artwork lit as the chip drives it. Everything that does not change from frame to frame is
// drawn once for a size: the dark layer (background or dimmed photo, unmapped elements dimmed,
// every tube as unlit glass) and, per channel, the lit tubes with their glow (the tubes blurred in
// three Gaussian passes of growing radius, added on top), cut to where they shine. A frame is then
// only the dark layer with the lit channels' sprites added to it.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <vector>

#include "render/artwork/ArtworkScene.h"

class QPainter;

namespace lumafex::render {

struct ArtworkLook {
  QColor background{8, 8, 12};
  double glass = 0.22;     // the opacity of an unlit tube
  double unmapped = 0.45;  // the opacity of an element that lights with no channel
  double photo = 0.35;     // the brightness of a photo behind the tubes
  bool glow = true;
};

class ArtworkRenderer {
 public:
  ArtworkRenderer(const ArtworkScene& scene, QSize size, ArtworkLook look = {});

  QSize size() const { return size_; }
  // lit[c - 1]: channel c is lit. `frame` becomes an RGB32 image of size() when it is not one.
  void render(QImage& frame, const std::vector<bool>& lit) const;
  QImage render(const std::vector<bool>& lit) const;
  const QImage& darkLayer() const { return dark_; }
  // The rectangle (pixels) a channel's lit tubes and glow cover; empty when nothing shows it.
  QRect channelArea(int channel) const;

 private:
  struct Sprite {
    int channel = 0;
    QPoint at;
    QImage image;  // ARGB32 premultiplied
  };
  void build(const ArtworkScene& scene);

  QSize size_;
  ArtworkLook look_;
  QImage dark_;
  std::vector<Sprite> sprites_;  // ascending channels
};

// The glow of a layer: three box blurs of each radius approximate a Gaussian; the passes are
// added to the layer, each made brighter by its gain (premultiplied ARGB, saturating).
void blurPremultiplied(QImage& image, int radius);
void addSaturating(QImage& target, QPoint at, const QImage& source, double gain = 1.0);

}  // namespace lumafex::render
