#include "core/design/Rules.h"

#include <algorithm>

#include "core/design/ProjectRecord.h"
#include "core/patterns/Catalogue.h"
#include "core/patterns/StepText.h"

namespace lumafex::design {

std::optional<double> lineTextPoints(long width) {
  if (width <= 0) return std::nullopt;
  return std::min(560.0 / static_cast<double>(width), kMaxLinePoints);
}

int colourCountOf(std::string_view text) {
  const auto value = parseNumber(text);
  if (!value) return 1;
  if (*value > 3) return 3;
  if (*value == 1 || *value == 2 || *value == 3) return static_cast<int>(*value);
  return 0;  // no catalogue at all
}

int stepInterval(double speed) {
  return std::max(1, 1000 - static_cast<int>(patterns::whole(speed)));
}

int columnsOf(const ProjectSettings& s) {
  return static_cast<int>(patterns::leadingValue(s.columns));
}
int rowsOf(const ProjectSettings& s) {
  return static_cast<int>(patterns::leadingValue(s.rows));
}
int colourCountOf(const ProjectSettings& s) {
  return colourCountOf(s.colourCount);
}
int stepIntervalOf(const ProjectSettings& s) {
  return stepInterval(s.speed);
}

}  // namespace lumafex::design
