#include "core/design/ThumbnailStrip.h"

#include <algorithm>

#include "core/design/Rules.h"

namespace lumafex::design {

namespace {

// The first `count` lines of a CR LF text; a last line without CR LF counts.
std::vector<std::string_view> firstLines(std::string_view text, int count) {
  std::vector<std::string_view> lines;
  std::size_t from = 0;
  while (from < text.size() && static_cast<int>(lines.size()) < count) {
    const std::size_t crlf = text.find("\r\n", from);
    if (crlf == std::string_view::npos) {
      lines.push_back(text.substr(from));
      break;
    }
    lines.push_back(text.substr(from, crlf - from));
    from = crlf + 2;
  }
  return lines;
}

}  // namespace

ThumbnailStrip stripOfText(std::string_view effectText, int channels, int colours, int steps, int width) {
  ThumbnailStrip strip;
  if (channels < 1 || steps < 1 || width < 1) return strip;
  const std::vector<std::string_view> lines = firstLines(effectText, steps);
  if (lines.empty()) return strip;
  const long n = channels;
  const long w = width;
  const int c = std::clamp(colours, 1, 3);

  // The channels each cell covers, [first, end), and the cells that separate two lamps.
  std::vector<long> first(static_cast<std::size_t>(width));
  std::vector<long> end(static_cast<std::size_t>(width));
  for (long x = 0; x < w; ++x) {
    first[static_cast<std::size_t>(x)] = x * n / w;
    end[static_cast<std::size_t>(x)] = std::max(x * n / w + 1, (x + 1) * n / w);
  }
  std::vector<bool> gap(static_cast<std::size_t>(width), false);
  if (n <= w) {
    for (long x = 0; x < w;) {
      long run = 1;
      while (x + run < w && first[static_cast<std::size_t>(x + run)] == first[static_cast<std::size_t>(x)])
        ++run;
      if (run >= 3) gap[static_cast<std::size_t>(x + run - 1)] = true;
      x += run;
    }
  }

  strip.width = width;
  strip.steps = steps;
  strip.cells.assign(static_cast<std::size_t>(steps) * static_cast<std::size_t>(width), StripCell::Gap);
  for (int row = 0; row < steps; ++row) {
    const std::string_view line = lines[static_cast<std::size_t>(row) % lines.size()];
    StripCell* out = strip.cells.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
    for (long x = 0; x < w; ++x) {
      const auto xi = static_cast<std::size_t>(x);
      if (gap[xi]) continue;
      StripCell cell = StripCell::Dark;
      const long to = std::min(end[xi], n);
      for (long ch = first[xi]; ch < to; ++ch) {
        if (static_cast<std::size_t>(ch) < line.size() && line[static_cast<std::size_t>(ch)] == 'X') {
          cell = static_cast<StripCell>(ch % c + 1);
          break;
        }
      }
      out[xi] = cell;
    }
  }
  return strip;
}

ThumbnailStrip stripOfEffect(const patterns::GeneratorRef& generator, int channels, int colours, int steps,
                             int width) {
  if (!channelsInRange(channels)) return {};
  patterns::StepWriter out;
  if (!patterns::runGenerator(generator, channels, colours, out)) return {};
  return stripOfText(out.bytes(), channels, colours, steps, width);
}

}  // namespace lumafex::design
