#pragma once
// The picture of an effect's first steps as the catalogue shows it beside each entry: one row of
// cells per step, the steps one under the other, each row the sign's channels squeezed into a
// fixed number of pixel cells. Qt-free; the shell paints the cells in the project's colours.

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/patterns/Catalogue.h"

namespace lumafex::design {

// What a cell shows.
enum class StripCell : std::uint8_t {
  Gap = 0,  // between two lamps
  Swatch1 = 1,
  Swatch2 = 2,
  Swatch3 = 3,
  Dark = 4,  // a lamp that is off
};

struct ThumbnailStrip {
  int width = 0;                 // cells per step
  int steps = 0;                 // rows; 0 when the effect has no rule for this sign
  std::vector<StripCell> cells;  // row-major

  StripCell at(int step, int cell) const {
    return cells[static_cast<std::size_t>(step) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(cell)];
  }
};

// The strip of an effect text (step lines ended by CR LF, as a generator writes them) for a sign of
// `channels` channels and `colours` colours: `steps` rows of `width` cells. Channel c of a step is
// lit when character c of its line is "X" (a short line leaves the rest dark, characters past the
// channel count are not shown, as on the previews) and takes swatch ((c - 1) mod colours) + 1. An
// effect shorter than `steps` repeats, as the preview repeats it. When there are fewer channels
// than cells each lamp covers a run of cells, with a gap after it once the run is three cells or
// more; with more channels than cells a cell shows the first lit channel it covers, so a single
// lit lamp on a crowded sign still shows. No step lines give an empty strip.
ThumbnailStrip stripOfText(std::string_view effectText, int channels, int colours, int steps, int width);

// The same for a catalogue generator run for this sign; empty when the generator has no rule for
// these values or the channel count is not one a sign can have.
ThumbnailStrip stripOfEffect(const patterns::GeneratorRef& generator, int channels, int colours, int steps,
                             int width);

}  // namespace lumafex::design
