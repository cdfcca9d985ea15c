#pragma once
// Paints the title of a sign on any painter, character by character, each one lit or dark by the
// title state. Two inks: on the sign a lit character is white and a dark one dark grey; in the
// title-colour rendering (the movable title picture) a lit character takes the title colour and a
// dark one is black.
//
// On the horizontal preview the characters run left to right. On the vertical preview they are
// stacked top to bottom, each upright and centred in its column, as Chinese signs on a tall board
// are written; centring and spacing follow the same rules with the axes exchanged.

#include <QFont>
#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <vector>

#include "core/preview/LampLayout.h"
#include "render/SignStyle.h"

class QPainter;

namespace lumafex::preview {

enum class TitleInk {
  Sign,         // lit white RGB(255,255,255), dark RGB(48,48,48)
  TitleColour,  // lit in the title colour, dark black
};

inline constexpr QRgb kTitleLit = 0xffffffff;
inline constexpr QRgb kTitleDark = 0xff303030;

class TitleRenderer {
 public:
  // The title to draw. `state` holds one character per title character, "□" for a dark one; an
  // empty state lights every character, and only the positions the state holds are drawn.
  // Returns false when nothing changed since the last call (then nothing was recomputed).
  bool setTitle(const TitleStyle& style, const QString& state, Orientation orientation);

  bool isEmpty() const { return glyphs_.empty(); }
  const TitleStyle& style() const { return style_; }
  const QFont& font() const { return font_; }

  // The size in points the title is drawn at: 0 (or less) is drawn as 1; absurd sizes are capped.
  static int pointSize(int size);
  // The font of a title style: the family ("宋体" when empty), falling back to an installed CJK font
  // when the family is not installed; the size in pixels for the point size at 96 dpi.
  static QFont fontFor(const TitleStyle& style);
  // Width units of a text: 2 for each double-byte character, 1 for each ASCII character.
  static int widthUnits(const QString& text);
  // The centred start of a title (twips, top-left of the first character) on a canvas of the
  // given size in twips: with c = units ÷ 2 full-width characters, size s and spacing g,
  // along = Int((length − c·s·20 − (c − 1)·g·20) / 2) and across = Int((breadth − s·20) / 2).
  static QPoint centredStart(int widthUnits, int size, int spacing, QSizeF canvasTwips,
                             Orientation orientation);
  // The same for the current title.
  QPoint centredStart(QSizeF canvasTwips) const;

  // The extent of the drawn title in pixels from its start (the title picture's size).
  QSize pixelSize() const;
  // Draws the title with its first character's cell at `topLeft` (pixels).
  void paint(QPainter& painter, QPointF topLeft, TitleInk ink) const;

 private:
  struct Glyph {
    QString text;
    QPointF cell;  // top-left of the character cell, relative to the start
    bool lit = true;
  };

  TitleStyle style_;
  QString state_;
  Orientation orientation_ = Orientation::Horizontal;
  bool set_ = false;
  QFont font_;
  double baseline_ = 0;  // from the top of a cell to the baseline
  QSizeF extent_;
  std::vector<Glyph> glyphs_;
};

}  // namespace lumafex::preview
