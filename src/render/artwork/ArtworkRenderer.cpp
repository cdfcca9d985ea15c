#include "render/artwork/ArtworkRenderer.h"

#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumafex::render {

namespace {

// The glow: the radii of the three passes in units of the frame's size, and how much each adds.
constexpr std::array<double, 3> kGlowRadii = {2.0, 6.0, 16.0};
constexpr std::array<double, 3> kGlowGains = {1.0, 1.2, 1.4};
// Pixels of a sprite fainter than this (alpha) are cut away: they cannot be seen on a frame.
constexpr int kFaintest = 3;

// One pass of a box blur along the rows (horizontal) or the columns, reading `from`.
void boxPass(const QImage& from, QImage& to, int radius, bool horizontal) {
  const int w = from.width();
  const int h = from.height();
  const int d = 2 * radius + 1;
  const std::uint32_t mul = (65536u + static_cast<std::uint32_t>(d) / 2) / static_cast<std::uint32_t>(d);
  if (horizontal) {
    for (int y = 0; y < h; ++y) {
      const auto* in = from.constScanLine(y);
      auto* out = to.scanLine(y);
      std::uint32_t s[4] = {0, 0, 0, 0};
      for (int x = 0; x <= radius && x < w; ++x) {
        for (int k = 0; k < 4; ++k) s[k] += in[4 * x + k];
      }
      for (int x = 0; x < w; ++x) {
        for (int k = 0; k < 4; ++k)
          out[4 * x + k] = static_cast<uchar>(std::min<std::uint32_t>(255, (s[k] * mul) >> 16));
        const int add = x + radius + 1;
        const int sub = x - radius;
        if (add < w) {
          for (int k = 0; k < 4; ++k) s[k] += in[4 * add + k];
        }
        if (sub >= 0) {
          for (int k = 0; k < 4; ++k) s[k] -= in[4 * sub + k];
        }
      }
    }
    return;
  }
  std::vector<std::uint32_t> sums(static_cast<std::size_t>(w) * 4, 0);
  const auto addRow = [&](int y, bool plus) {
    const auto* in = from.constScanLine(y);
    if (plus) {
      for (std::size_t i = 0; i < sums.size(); ++i) sums[i] += in[i];
    } else {
      for (std::size_t i = 0; i < sums.size(); ++i) sums[i] -= in[i];
    }
  };
  for (int y = 0; y <= radius && y < h; ++y) addRow(y, true);
  for (int y = 0; y < h; ++y) {
    auto* out = to.scanLine(y);
    for (std::size_t i = 0; i < sums.size(); ++i) {
      out[i] = static_cast<uchar>(std::min<std::uint32_t>(255, (sums[i] * mul) >> 16));
    }
    if (y + radius + 1 < h) addRow(y + radius + 1, true);
    if (y - radius >= 0) addRow(y - radius, false);
  }
}

// The rectangle of the pixels at least `faintest` opaque; empty when there are none.
QRect opaqueArea(const QImage& image, int faintest) {
  int left = image.width();
  int right = -1;
  int top = -1;
  int bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    int first = -1;
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(line[x]) >= faintest) {
        first = x;
        break;
      }
    }
    if (first < 0) continue;
    int last = first;
    for (int x = image.width() - 1; x > first; --x) {
      if (qAlpha(line[x]) >= faintest) {
        last = x;
        break;
      }
    }
    if (top < 0) top = y;
    bottom = y;
    left = std::min(left, first);
    right = std::max(right, last);
  }
  if (top < 0) return {};
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

void renderSvg(const ArtworkDocument& document, const std::vector<bool>& shown, QImage& into) {
  QSvgRenderer svg;
  if (!ArtworkDocument::loadSvg(svg, document.svgShowing(shown))) return;
  QPainter p(&into);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  svg.render(&p, QRectF(QPointF(0, 0), QSizeF(into.size())));
}

}  // namespace

void blurPremultiplied(QImage& image, int radius) {
  if (radius < 1 || image.isNull()) return;
  if (image.format() != QImage::Format_ARGB32_Premultiplied) {
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  }
  QImage other(image.size(), image.format());
  for (int pass = 0; pass < 3; ++pass) {
    boxPass(image, other, radius, true);
    std::swap(image, other);
  }
  for (int pass = 0; pass < 3; ++pass) {
    boxPass(image, other, radius, false);
    std::swap(image, other);
  }
}

void addSaturating(QImage& target, QPoint at, const QImage& source, double gain) {
  const QRect area = QRect(at, source.size()) & target.rect();
  if (area.isEmpty()) return;
  const int bytes = area.width() * 4;
  const bool plain = gain == 1.0;
  const auto g = static_cast<std::uint32_t>(std::lround(std::max(0.0, gain) * 256));
  for (int y = area.top(); y <= area.bottom(); ++y) {
    uchar* out = target.scanLine(y) + area.left() * 4;
    const uchar* in = source.constScanLine(y - at.y()) + (area.left() - at.x()) * 4;
    int i = 0;
    if (plain) {
#if defined(__SSE2__)
      for (; i + 16 <= bytes; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_adds_epu8(a, b));
      }
#endif
      for (; i < bytes; ++i) out[i] = static_cast<uchar>(std::min(255, out[i] + in[i]));
    } else {
      for (; i < bytes; ++i) {
        out[i] = static_cast<uchar>(std::min<std::uint32_t>(255, out[i] + ((in[i] * g) >> 8)));
      }
    }
  }
}

ArtworkRenderer::ArtworkRenderer(const ArtworkScene& scene, QSize size, ArtworkLook look)
    : size_(size.expandedTo(QSize(1, 1))), look_(look) {
  build(scene);
}

void ArtworkRenderer::build(const ArtworkScene& scene) {
  const ArtworkDocument& doc = scene.document;
  const bool photo = doc.kind() == ArtworkDocument::Kind::Photo;
  dark_ = QImage(size_, QImage::Format_RGB32);
  dark_.fill(look_.background);
  QPainter dark(&dark_);
  dark.setRenderHint(QPainter::Antialiasing);
  dark.setRenderHint(QPainter::SmoothPixmapTransform);
  if (photo) {
    dark.drawImage(QRect(QPoint(0, 0), size_), doc.photo());
    dark.fillRect(
        QRect(QPoint(0, 0), size_),
        QColor(0, 0, 0, std::clamp(static_cast<int>(std::lround((1 - look_.photo) * 255)), 0, 255)));
  }

  const std::size_t count = doc.elements().size();
  const auto channelOf = [&](std::size_t i) -> std::optional<int> {
    return i < scene.channels.size() ? scene.channels[i] : std::nullopt;
  };
  QImage layer(size_, QImage::Format_ARGB32_Premultiplied);
  QImage plain(size_, QImage::Format_ARGB32_Premultiplied);

  if (!photo) {
    std::vector<bool> unmapped(count);
    bool any = false;
    for (std::size_t i = 0; i < count; ++i) {
      unmapped[i] = doc.drawable(i) && !channelOf(i);
      any = any || unmapped[i];
    }
    if (any) {
      layer.fill(Qt::transparent);
      renderSvg(doc, unmapped, layer);
      dark.setOpacity(look_.unmapped);
      dark.drawImage(0, 0, layer);
      dark.setOpacity(1);
    }
  }

  std::set<int> channels;
  for (std::size_t i = 0; i < count; ++i) {
    if (doc.drawable(i) && channelOf(i)) channels.insert(*channelOf(i));
  }
  if (photo) {
    for (const auto& s : scene.map.shapes) channels.insert(s.channel);
  }
  const double unit = std::max(1.0, std::hypot(size_.width(), size_.height()) / 500);
  std::array<int, 3> radii{};
  for (std::size_t k = 0; k < radii.size(); ++k)
    radii[k] = std::max(1, static_cast<int>(std::lround(kGlowRadii[k] * unit)));
  const int margin = 3 * radii.back();  // the reach of three box passes
  const double photoScale =
      photo && doc.size().width() > 0 ? double(size_.width()) / doc.size().width() : 1.0;
  const double photoScaleY =
      photo && doc.size().height() > 0 ? double(size_.height()) / doc.size().height() : 1.0;

  for (const int c : channels) {
    layer.fill(Qt::transparent);
    const QColor colour = scene.layout.colourOf(c);
    if (photo) {
      QPainter p(&layer);
      p.setRenderHint(QPainter::Antialiasing);
      p.scale(photoScale, photoScaleY);
      for (const auto& s : scene.map.shapes) {
        if (s.channel != c) continue;
        QPolygonF polygon;
        for (const auto& pt : s.points) polygon << QPointF(pt.x, pt.y);
        if (s.kind == artwork::Shape::Kind::Line) {
          p.setPen(QPen(colour, s.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
          p.setBrush(Qt::NoBrush);
          p.drawPolyline(polygon);
        } else {
          p.setPen(Qt::NoPen);
          p.setBrush(colour);
          p.drawPolygon(polygon);
        }
      }
    } else {
      std::vector<bool> own(count);
      std::vector<bool> bare(count);
      bool anyOwn = false;
      bool anyBare = false;
      for (std::size_t i = 0; i < count; ++i) {
        if (!doc.drawable(i) || channelOf(i) != c) continue;
        if (doc.elements()[i].colour) {
          own[i] = anyOwn = true;
        } else {
          bare[i] = anyBare = true;
        }
      }
      if (anyOwn) renderSvg(doc, own, layer);
      if (anyBare) {
        // Tubes drawn without a colour of their own take their channel's.
        plain.fill(Qt::transparent);
        renderSvg(doc, bare, plain);
        QPainter tint(&plain);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(plain.rect(), colour);
        tint.end();
        QPainter p(&layer);
        p.drawImage(0, 0, plain);
      }
    }
    const QRect area = opaqueArea(layer, 1);
    if (area.isEmpty()) continue;
    dark.setOpacity(look_.glass);
    dark.drawImage(area.topLeft(), layer, area);
    dark.setOpacity(1);

    Sprite sprite;
    sprite.channel = c;
    if (!look_.glow) {
      sprite.at = area.topLeft();
      sprite.image = layer.copy(area);
    } else {
      const QRect glowArea = area.adjusted(-margin, -margin, margin, margin) & layer.rect();
      const QImage core = layer.copy(glowArea);
      QImage lit = core;
      for (std::size_t k = 0; k < radii.size(); ++k) {
        QImage pass = core;
        blurPremultiplied(pass, radii[k]);
        addSaturating(lit, QPoint(0, 0), pass, kGlowGains[k]);
      }
      const QRect shining = opaqueArea(lit, kFaintest);
      sprite.at = glowArea.topLeft() + shining.topLeft();
      sprite.image = lit.copy(shining);
    }
    sprites_.push_back(std::move(sprite));
  }
}

QRect ArtworkRenderer::channelArea(int channel) const {
  QRect area;
  for (const Sprite& s : sprites_) {
    if (s.channel == channel) area |= QRect(s.at, s.image.size());
  }
  return area;
}

void ArtworkRenderer::render(QImage& frame, const std::vector<bool>& lit) const {
  if (frame.size() != size_ || frame.format() != QImage::Format_RGB32) {
    frame = QImage(size_, QImage::Format_RGB32);
  }
  std::memcpy(frame.bits(), dark_.constBits(), static_cast<std::size_t>(dark_.sizeInBytes()));
  for (const Sprite& s : sprites_) {
    const auto index = static_cast<std::size_t>(s.channel - 1);
    if (index < lit.size() && lit[index]) addSaturating(frame, s.at, s.image);
  }
}

QImage ArtworkRenderer::render(const std::vector<bool>& lit) const {
  QImage frame;
  render(frame, lit);
  return frame;
}

}  // namespace lumafex::render
