#pragma once
// What the design window's tube, colour and title controls hold, as the renderers draw it.

#include <QColor>
#include <QString>
#include <array>

#include "core/design/ProjectRecord.h"

namespace lumafex::preview {

// How the tubes look: what the design window's tube and colour controls hold.
struct SignStyle {
  int columns = 80;     // N: channels per row (列数)
  int rows = 1;         // R: lamp rows (行数)
  int colours = 2;      // C: colour count (色数); lamp c takes swatch ((c - 1) mod C) + 1
  bool hollow = false;  // 空心: outlines instead of filled lamps
  std::array<QColor, 3> tubeColours{QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};  // 色彩样品 1-3
  bool tubesOn = true;                                                                         // 启用灯管
  bool imagesOn = false;                                                                       // 启用图案
  bool logosOn = false;                                                                        // 启用标志
};

// How the title is drawn: the design window's title controls.
struct TitleStyle {
  QString text;                // 标题名称
  QString font;                // 字体; empty means "宋体"
  int size = 48;               // 字体大小 in points; 0 is drawn as 1
  int spacing = 0;             // 字间隔 in points
  bool bold = false;           // 粗体
  bool italic = false;         // 斜体
  QColor colour{0, 255, 255};  // 标题颜色样品
  bool disabled = false;       // 禁用文字标题: no title at all
};

}  // namespace lumafex::preview

namespace lumafex::design {

// How the previews draw the project's tubes and title.
preview::SignStyle signStyleOf(const ProjectSettings& s);
preview::TitleStyle titleStyleOf(const ProjectSettings& s);

QColor toQColor(Colour c);
Colour fromQColor(const QColor& c);

}  // namespace lumafex::design
