#include "design/Rules.h"

#include <algorithm>

namespace lumafex::design {

std::optional<double> lineTextPoints(long width) {
  if (width <= 0) return std::nullopt;
  return std::min(560.0 / static_cast<double>(width), kMaxLinePoints);
}

}  // namespace lumafex::design
