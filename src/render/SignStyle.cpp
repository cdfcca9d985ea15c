#include "render/SignStyle.h"

#include <algorithm>

#include "core/design/Rules.h"
#include "core/patterns/Catalogue.h"
#include "core/patterns/StepText.h"
#include "render/QtStrings.h"

namespace lumafex::design {

QColor toQColor(Colour c) {
  return QColor(red(c), green(c), blue(c));
}
Colour fromQColor(const QColor& c) {
  return rgb(c.red(), c.green(), c.blue());
}

preview::SignStyle signStyleOf(const ProjectSettings& s) {
  preview::SignStyle style;
  style.columns = columnsOf(s);
  style.rows = std::clamp(rowsOf(s), kMinRows, kMaxRows);
  style.colours = std::max(1, colourCountOf(s));
  style.hollow = s.hollow == 1;
  for (std::size_t i = 0; i < 3; ++i) style.tubeColours[i] = toQColor(s.tubeColours[i]);
  style.tubesOn = s.tubesOn == 1;
  style.imagesOn = s.imagesOn == 1;
  style.logosOn = s.logosOn == 1;
  return style;
}

preview::TitleStyle titleStyleOf(const ProjectSettings& s) {
  preview::TitleStyle style;
  style.text = platform::qs(s.title);
  style.font = platform::qs(s.font);
  style.size = static_cast<int>(patterns::leadingValue(s.fontSize));
  style.spacing = static_cast<int>(patterns::leadingValue(s.spacing));
  style.bold = s.bold == 1;
  style.italic = s.italic == 1;
  style.colour = toQColor(s.titleColour);
  style.disabled = s.titleOff == 1;
  return style;
}

}  // namespace lumafex::design
