#include "core/design/SignPictures.h"

#include <algorithm>
#include <system_error>

#include "core/app/ProjectPaths.h"
#include "core/design/ProjectRecord.h"
#include "core/patterns/StepText.h"
#include "core/platform/TextFile.h"

namespace lumafex::design {

namespace fs = std::filesystem;
using preview::Orientation;

namespace {

// A coordinate file holds two short lines per block; anything much larger is not one.
constexpr std::uintmax_t kMaxCoordinateFileBytes = 1024 * 1024;
// The pictures of a kind are numbered consecutively; the designers hold at most 80.
constexpr int kMaxPictures = 100000;

bool isX(std::string_view s, std::size_t i) {
  return i < s.size() && s[i] == 'X';
}

// The same blocks with the axes exchanged: the vertical preview is laid out by the horizontal
// rules on the transposed canvas.
void transpose(Placeholders& blocks) {
  for (Placeholder& p : blocks) {
    std::swap(p.left, p.top);
    std::swap(p.width, p.height);
  }
}

double clampInside(double position, double size, double extent) {
  return std::clamp(position, 0.0, std::max(0.0, extent - size));
}

void arrangeRowHorizontally(Placeholders& blocks, double width, double height) {
  const auto k = static_cast<long>(blocks.size());
  if (k == 0) return;
  const double cell = width / static_cast<double>(k);
  const double y = static_cast<double>(patterns::idiv(height - blocks[0].height, 2) - 30);
  // A single block has no step (the division by k − 1 has no value): it counts as 0.
  const double step = k > 1 ? (width - 2 * cell) / static_cast<double>(k - 1) : 0.0;
  for (long i = 1; i <= k; ++i) {
    Placeholder& p = blocks[static_cast<std::size_t>(i - 1)];
    p.left = cell + step * static_cast<double>(i - 1) - p.width / 2;
    p.top = y;
  }
}

// The centres of the n blocks of the top edge along the width, left to right.
std::vector<double> topEdgeCentres(const Placeholders& blocks, long sh, double width) {
  double widest = 0;
  for (long i = 0; i < sh && i < static_cast<long>(blocks.size()); ++i) {
    widest = std::max(widest, blocks[static_cast<std::size_t>(i)].width);
  }
  std::vector<double> centres;
  const double cell = width / static_cast<double>(sh);
  const double step = sh > 1 ? (width - 2 * cell) / static_cast<double>(sh - 1) : 0.0;
  if (sh > 1 && step >= widest) {
    for (long i = 1; i <= sh; ++i) centres.push_back(cell + step * static_cast<double>(i - 1));
  } else {
    // One block would sit on the right edge (cell = W) and two would share the middle (step 0):
    // spread them evenly instead, as also when the step is narrower than the blocks.
    const double even = width / static_cast<double>(sh + 1);
    for (long i = 1; i <= sh; ++i) centres.push_back(even * static_cast<double>(i));
  }
  return centres;
}

// The distance from one side block to the next: the top edge's step when all `count` blocks fit
// between the corners with it, else the span between the corners shared evenly.
double sideStep(double step, long count, double span, double m) {
  if (count <= 0) return step;
  if (step >= m && step * static_cast<double>(count) + m <= span) return step;
  return span / static_cast<double>(count + 1);
}

void arrangeBorderHorizontally(Placeholders& blocks, double width, double height) {
  const auto n = static_cast<long>(blocks.size());
  if (n == 0) return;
  double m = 0;
  for (const Placeholder& p : blocks) m = std::max(m, p.height);
  const double a = width - m;
  const double b = height - m;
  const long d = patterns::idiv(2 * a + 2 * b, static_cast<double>(n));
  // A canvas smaller than its blocks has no spacing (d ≤ 0); no side blocks then.
  long sv = d > 0 ? patterns::idiv(b, static_cast<double>(d)) - 1 : 0;
  sv = std::max(0L, sv);
  long sh = patterns::idiv(static_cast<double>(n - 2 * sv), 2);
  if (sh < 1) {
    sh = 1;
    sv = std::min(sv, std::max(0L, (n - 2) / 2));
  }
  const long leftCount = std::max(0L, n - 2 * sh - sv);
  const long sideCount = std::max(sv, leftCount);

  // The top edge lies `offset` below the top, the bottom edge as far above the bottom; both keep
  // room for the side blocks between them.
  double offset = static_cast<double>(patterns::idiv(static_cast<double>(d) - m, 2));
  const double roomyOffset = (height - static_cast<double>(sideCount + 2) * m) / 2;
  offset = std::clamp(offset, 0.0, std::max(0.0, roomyOffset));
  const double bottomTop = std::max(offset, height - offset - m);

  const std::vector<double> centres = topEdgeCentres(blocks, sh, width);
  const double cell = width / static_cast<double>(sh);
  const double step = sh > 1 ? (width - 2 * cell) / static_cast<double>(sh - 1) : 0.0;

  std::size_t next = 0;
  auto place = [&](double centre, double top, bool centred) {
    if (next >= blocks.size()) return;
    Placeholder& p = blocks[next++];
    p.left = centred ? centre - p.width / 2 : centre;
    p.top = top;
  };
  // Top edge, left to right.
  for (long i = 0; i < sh; ++i) place(centres[static_cast<std::size_t>(i)], offset, true);
  const double rightColumn = blocks[static_cast<std::size_t>(std::min(sh, n) - 1)].left;
  const double leftColumn = blocks[0].left;
  const double span = bottomTop - offset;
  // Right edge, downwards from one step below the top edge.
  const double downStep = sideStep(step, sv, span, m);
  for (long j = 1; j <= sv; ++j) place(rightColumn, offset + downStep * static_cast<double>(j), false);
  // Bottom edge, right to left under the top edge.
  for (long i = sh - 1; i >= 0; --i) {
    if (next >= blocks.size()) break;
    place(centres[static_cast<std::size_t>(i)], height - offset - blocks[next].height, true);
  }
  // Left edge, upwards from one step above the bottom edge.
  const double upStep = sideStep(step, leftCount, span, m);
  for (long j = 1; j <= leftCount; ++j) place(leftColumn, bottomTop - upStep * static_cast<double>(j), false);

  for (Placeholder& p : blocks) {
    p.left = clampInside(p.left, p.width, width);
    p.top = clampInside(p.top, p.height, height);
  }
}

}  // namespace

// ---- Picture files -------------------------------------------------------------------------

std::string pictureFileName(PictureKind kind, int k) {
  return kind == PictureKind::Logo ? app::logoPictureName(k) : app::imagePictureName(k);
}

std::vector<fs::path> pictureFiles(const fs::path& projectDirectory, PictureKind kind) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (int k = 1; k <= kMaxPictures; ++k) {
    fs::path file = projectDirectory / platform::pathFromUtf8(pictureFileName(kind, k));
    if (!fs::is_regular_file(file, ec)) break;
    files.push_back(std::move(file));
  }
  return files;
}

// ---- Coordinate files ----------------------------------------------------------------------

std::string coordinateFileName(PictureKind kind, Orientation view) {
  const bool horizontal = view == Orientation::Horizontal;
  if (kind == PictureKind::Logo) return horizontal ? app::kLogoPositionFile : app::kVerticalLogoPositionFile;
  return horizontal ? app::kImagePositionFile : app::kVerticalImagePositionFile;
}

std::vector<std::string> coordinateLines(const Placeholders& blocks) {
  std::vector<std::string> lines;
  lines.reserve(blocks.size() * 2);
  for (const Placeholder& p : blocks) {
    lines.push_back(formatNumber(p.left));
    lines.push_back(formatNumber(p.top));
  }
  return lines;
}

void applyCoordinateLines(const std::vector<std::string>& lines, Placeholders& blocks) {
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    if (2 * i < lines.size()) {
      if (const auto left = parseNumber(lines[2 * i])) blocks[i].left = *left;
    }
    if (2 * i + 1 < lines.size()) {
      if (const auto top = parseNumber(lines[2 * i + 1])) blocks[i].top = *top;
    }
  }
}

Status saveCoordinates(const fs::path& projectDirectory, PictureKind kind, const Placements& placements) {
  std::string texts[2];
  const Orientation views[2] = {Orientation::Horizontal, Orientation::Vertical};
  std::vector<std::pair<fs::path, std::string_view>> files;
  for (int v = 0; v < 2; ++v) {
    for (const std::string& line : coordinateLines(placements.on(views[v]))) {
      texts[v] += line;
      texts[v] += "\r\n";
    }
  }
  for (int v = 0; v < 2; ++v) {
    files.emplace_back(projectDirectory / platform::pathFromUtf8(coordinateFileName(kind, views[v])),
                       texts[v]);
  }
  return platform::writeFilesSafely(files);
}

void readCoordinates(const fs::path& projectDirectory, PictureKind kind, Placements& placements) {
  for (const Orientation view : {Orientation::Horizontal, Orientation::Vertical}) {
    const fs::path file = projectDirectory / platform::pathFromUtf8(coordinateFileName(kind, view));
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) continue;
    const auto bytes = platform::readBytes(file, kMaxCoordinateFileBytes);
    if (!bytes) continue;
    applyCoordinateLines(platform::splitTextLines(*bytes), placements.on(view));
  }
}

// ---- Arrangements --------------------------------------------------------------------------

void arrangeInRow(Placeholders& blocks, double width, double height, Orientation view) {
  if (view == Orientation::Horizontal) {
    arrangeRowHorizontally(blocks, width, height);
  } else {
    transpose(blocks);
    arrangeRowHorizontally(blocks, height, width);
    transpose(blocks);
  }
}

void arrangeAsBorder(Placeholders& blocks, double width, double height, Orientation view) {
  if (view == Orientation::Horizontal) {
    arrangeBorderHorizontally(blocks, width, height);
  } else {
    transpose(blocks);
    arrangeBorderHorizontally(blocks, height, width);
    transpose(blocks);
  }
}

void moveBlock(Placeholders& blocks, std::size_t index, double left, double top, bool together) {
  if (index >= blocks.size()) return;
  const double dx = left - blocks[index].left;
  const double dy = top - blocks[index].top;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    if (i != index && !together) continue;
    blocks[i].left += dx;
    blocks[i].top += dy;
  }
}

// ---- Images of a step ----------------------------------------------------------------------

std::vector<bool> imagesOfRunLine(std::string_view line, int imageCount, bool tubesOn) {
  std::vector<bool> shown(static_cast<std::size_t>(std::max(0, imageCount)));
  for (std::size_t i = 0; i < shown.size(); ++i) shown[i] = isX(line, i) != tubesOn;
  return shown;
}

std::vector<bool> imagesOfStep(std::string_view tubes, std::string_view images, int imageCount,
                               bool tubesOn) {
  std::vector<bool> shown(static_cast<std::size_t>(std::max(0, imageCount)));
  for (std::size_t i = 0; i < shown.size(); ++i) shown[i] = isX(tubesOn ? images : tubes, i);
  return shown;
}

}  // namespace lumafex::design
