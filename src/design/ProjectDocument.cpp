#include "design/ProjectDocument.h"

#include <algorithm>

#include "compiler/ProjectCompile.h"
#include "patterns/Catalogue.h"
#include "patterns/StepText.h"
#include "platform/QtDialogs.h"

namespace lumafex::design {

void ProjectDocument::notify(int parts, bool wasDirty) {
  emit changed(parts);
  if (project_.dirty != wasDirty) emit dirtyChanged(project_.dirty);
}

void ProjectDocument::setDirty(bool on) {
  if (project_.dirty == on) return;
  project_.dirty = on;
  emit dirtyChanged(on);
}

void ProjectDocument::replace(Project project, bool created) {
  const bool wasDirty = project_.dirty;
  project_ = std::move(project);
  emit reset(created);
  if (project_.dirty != wasDirty) emit dirtyChanged(project_.dirty);
}

int columnsOf(const ProjectSettings& s) {
  return static_cast<int>(patterns::leadingValue(s.columns));
}
int rowsOf(const ProjectSettings& s) {
  return static_cast<int>(patterns::leadingValue(s.rows));
}
int colourCountOf(const ProjectSettings& s) {
  return compiler::colourCountOf(s.colourCount);
}
int stepIntervalOf(const ProjectSettings& s) {
  return std::max(1, 1000 - static_cast<int>(patterns::whole(s.speed)));
}

QColor toQColor(Colour c) {
  return QColor(red(c), green(c), blue(c));
}
Colour fromQColor(const QColor& c) {
  return rgb(c.red(), c.green(), c.blue());
}

preview::SignStyle signStyleOf(const ProjectSettings& s) {
  preview::SignStyle style;
  style.columns = columnsOf(s);
  style.rows = std::clamp(rowsOf(s), 1, 10);
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
