#include "render/TitleRenderer.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/platform/Twips.h"

namespace lumafex::preview {

namespace {

// Larger titles would only make pictures too big to allocate.
constexpr int kMaxPointSize = 1000;
// The most title characters drawn (as many as a compile gives title channels).
constexpr qsizetype kMaxTitleCharacters = 100;

// One point is 20 twips; at 15 twips a pixel that is 4/3 pixel.
constexpr double kTwipsPerPoint = 20.0;

bool sameStyle(const TitleStyle& a, const TitleStyle& b) {
  return a.text == b.text && a.font == b.font && a.size == b.size && a.spacing == b.spacing &&
         a.bold == b.bold && a.italic == b.italic && a.colour == b.colour && a.disabled == b.disabled;
}

// The installed family to draw a title family with: the family itself when installed, else the
// first installed CJK family, a serif one first for the Song faces.
QString installedFamily(const QString& family) {
  static QHash<QString, QString> cache;
  const auto found = cache.constFind(family);
  if (found != cache.constEnd()) return *found;
  QString chosen = family;
  if (!QFontDatabase::hasFamily(family)) {
    const bool song =
        family.contains(QStringLiteral("宋")) || family.contains(QStringLiteral("Song"), Qt::CaseInsensitive);
    QStringList candidates{QStringLiteral("Noto Sans CJK SC"),  QStringLiteral("Source Han Sans SC"),
                           QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("WenQuanYi Micro Hei"),
                           QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")};
    if (song) {
      candidates.prepend(QStringLiteral("AR PL UMing CN"));
      candidates.prepend(QStringLiteral("Source Han Serif SC"));
      candidates.prepend(QStringLiteral("Noto Serif CJK SC"));
    }
    for (const QString& candidate : candidates) {
      if (QFontDatabase::hasFamily(candidate)) {
        chosen = candidate;
        break;
      }
    }
  }
  cache.insert(family, chosen);
  return chosen;
}

// The characters of a text (a character outside the basic plane is one character, not two).
QStringList charactersOf(const QString& text) {
  QStringList characters;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    characters << text.mid(i, length);
    i += length - 1;
  }
  return characters;
}

}  // namespace

int TitleRenderer::pointSize(int size) {
  return std::clamp(size, 1, kMaxPointSize);
}

QFont TitleRenderer::fontFor(const TitleStyle& style) {
  const QString family = style.font.trimmed().isEmpty() ? QStringLiteral("宋体") : style.font.trimmed();
  QFont font(installedFamily(family));
  const double pixels = pointSize(style.size) * kTwipsPerPoint / platform::kTwipsPerPixel;
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
  font.setBold(style.bold);
  font.setItalic(style.italic);
  return font;
}

int TitleRenderer::widthUnits(const QString& text) {
  int units = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    // A character outside the basic plane is two code units and counts once, as double-byte.
    if (text.at(i).isHighSurrogate() && i + 1 < text.size()) ++i;
    units += text.at(i).unicode() < 0x80 ? 1 : 2;
  }
  return units;
}

QPoint TitleRenderer::centredStart(int widthUnits, int size, int spacing, QSizeF canvasTwips,
                                   Orientation orientation) {
  const bool horizontal = orientation == Orientation::Horizontal;
  const double length = horizontal ? canvasTwips.width() : canvasTwips.height();
  const double breadth = horizontal ? canvasTwips.height() : canvasTwips.width();
  const double c = widthUnits / 2.0;
  const double s = pointSize(size);
  const double g = spacing;
  const int along = static_cast<int>(std::floor((length - c * s * 20 - (c - 1) * g * 20) / 2));
  const int across = static_cast<int>(std::floor((breadth - s * 20) / 2));
  return horizontal ? QPoint(along, across) : QPoint(across, along);
}

QPoint TitleRenderer::centredStart(QSizeF canvasTwips) const {
  return centredStart(widthUnits(style_.text), style_.size, style_.spacing, canvasTwips, orientation_);
}

bool TitleRenderer::setTitle(const TitleStyle& style, const QString& state, Orientation orientation) {
  if (set_ && orientation == orientation_ && state == state_ && sameStyle(style, style_)) return false;
  const bool fontChanged = !set_ || style.font != style_.font || style.size != style_.size ||
                           style.bold != style_.bold || style.italic != style_.italic;
  set_ = true;
  style_ = style;
  state_ = state;
  orientation_ = orientation;
  if (fontChanged) font_ = fontFor(style);

  const QFontMetricsF metrics(font_);
  const double em = font_.pixelSize();
  // The cell of a character is one em high (the height the centring reckons with), whatever line
  // spacing the font asks for; the baseline sits where the font's ascent puts it within that em.
  const double lineHeight = std::max(1.0, metrics.ascent() + metrics.descent());
  baseline_ = em * metrics.ascent() / lineHeight;
  const double gap = style.spacing * kTwipsPerPoint / platform::kTwipsPerPixel;

  glyphs_.clear();
  // A title is at most kMaxTitleCharacters long; the characters of a longer text (a hostile
  // project file) beyond that are not laid out, so a paint never costs more than that many.
  QStringList title = charactersOf(style.text.left(2 * kMaxTitleCharacters));
  const QString effective = state.isEmpty() ? style.text : state;
  const QStringList states = charactersOf(effective.left(2 * kMaxTitleCharacters));
  const qsizetype count = std::min({title.size(), states.size(), qsizetype{kMaxTitleCharacters}});
  double column = em;
  for (qsizetype i = 0; i < count; ++i) column = std::max(column, metrics.horizontalAdvance(title.at(i)));

  double position = 0;
  double length = 0;
  for (qsizetype i = 0; i < count; ++i) {
    Glyph glyph;
    glyph.text = title.at(i);
    glyph.lit = states.at(i) != QStringLiteral("□");
    const double advance = metrics.horizontalAdvance(glyph.text);
    if (orientation == Orientation::Horizontal) {
      glyph.cell = QPointF(position, 0);
      length = std::max(length, position + advance);
    } else {
      // Stacked upright: a character takes its own width down the column, centred across it.
      glyph.cell = QPointF((column - advance) / 2, position);
      length = std::max(length, position + std::max(advance, 1.0));
    }
    position += advance + gap;
    glyphs_.push_back(std::move(glyph));
  }
  // Slanted characters lean past their advance.
  const double slant = style.italic ? em / 4 : 0;
  extent_ =
      orientation == Orientation::Horizontal ? QSizeF(length + slant, em) : QSizeF(column + slant, length);
  return true;
}

QSize TitleRenderer::pixelSize() const {
  if (glyphs_.empty()) return {};
  return QSize(static_cast<int>(std::ceil(extent_.width())), static_cast<int>(std::ceil(extent_.height())));
}

void TitleRenderer::paint(QPainter& painter, QPointF topLeft, TitleInk ink) const {
  if (glyphs_.empty()) return;
  const QColor lit = ink == TitleInk::Sign ? QColor::fromRgb(kTitleLit) : style_.colour;
  const QColor dark = ink == TitleInk::Sign ? QColor::fromRgb(kTitleDark) : QColor(0, 0, 0);
  painter.save();
  painter.setFont(font_);
  for (const Glyph& glyph : glyphs_) {
    painter.setPen(glyph.lit ? lit : dark);
    painter.drawText(QPointF(topLeft.x() + glyph.cell.x(), topLeft.y() + glyph.cell.y() + baseline_),
                     glyph.text);
  }
  painter.restore();
}

}  // namespace lumafex::preview
