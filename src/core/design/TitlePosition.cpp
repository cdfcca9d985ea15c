#include "core/design/TitlePosition.h"

#include <cmath>
#include <string>

#include "core/patterns/Catalogue.h"
#include "core/platform/TextFile.h"

namespace lumafex::design {

namespace {
// A position file is two short lines; anything larger is not one.
constexpr std::uintmax_t kMaxPositionFileBytes = std::uintmax_t{64} * 1024;
// Far beyond any screen (twips): such a number is no position.
constexpr double kFarthestTwips = 1e8;
}  // namespace

std::optional<TitleStart> readTitlePosition(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  const auto lines = platform::readGbkLines(file, kMaxPositionFileBytes);
  if (!lines || lines->size() < 2 || !(*lines)[0] || !(*lines)[1]) return std::nullopt;
  const double x = patterns::leadingValue(*(*lines)[0]);
  const double y = patterns::leadingValue(*(*lines)[1]);
  if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > kFarthestTwips ||
      std::fabs(y) > kFarthestTwips) {
    return std::nullopt;
  }
  return TitleStart{std::lround(x), std::lround(y)};
}

Status writeTitlePosition(const std::filesystem::path& file, TitleStart start) {
  return platform::writeGbkLines(file, {std::to_string(start.x), std::to_string(start.y)});
}

}  // namespace lumafex::design
