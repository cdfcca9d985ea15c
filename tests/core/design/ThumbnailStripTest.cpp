// The strips of effect steps shown beside the catalogue entries.

#include <gtest/gtest.h>

#include <string>

#include "core/design/ThumbnailStrip.h"
#include "core/patterns/Catalogue.h"

namespace lumafex::design {
namespace {

// A strip written as text, one string per step: "." gap, "1"-"3" swatch, "o" dark.
std::vector<std::string> rowsOf(const ThumbnailStrip& strip) {
  std::vector<std::string> rows;
  for (int s = 0; s < strip.steps; ++s) {
    std::string row;
    for (int x = 0; x < strip.width; ++x) row += ".123o"[static_cast<int>(strip.at(s, x))];
    rows.push_back(row);
  }
  return rows;
}

struct TextCase {
  const char* what;
  std::string text;
  int channels, colours, steps, width;
  std::vector<std::string> rows;
};

class StripOfText : public ::testing::TestWithParam<TextCase> {};

TEST_P(StripOfText, ShowsTheLampsOfEachStep) {
  const TextCase& c = GetParam();
  EXPECT_EQ(rowsOf(stripOfText(c.text, c.channels, c.colours, c.steps, c.width)), c.rows) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StripOfText,
    ::testing::Values(
        TextCase{"wide lamps are kept apart by a gap", "X  X\r\n", 4, 1, 1, 12, {"11.oo.oo.11."}},
        TextCase{"narrow lamps touch", "XXXX\r\n", 4, 2, 1, 8, {"11221122"}},
        TextCase{"three colours cycle along the row", "XXXXXX\r\n", 6, 3, 1, 6, {"123123"}},
        TextCase{"a short line leaves the rest dark", "X\r\n", 4, 1, 1, 4, {"1ooo"}},
        TextCase{"characters past the channel count are not shown", "    XX\r\n", 4, 1, 1, 4, {"oooo"}},
        TextCase{"a crowded sign still shows one lit lamp",
                 std::string(299, ' ') + "X\r\n",
                 300,
                 2,
                 1,
                 100,
                 {std::string(99, 'o') + "2"}},
        TextCase{"a cell shows the first lit channel it covers", " X X    \r\n", 8, 2, 1, 4, {"22oo"}},
        TextCase{"a short effect repeats", "X \r\n X\r\n", 2, 1, 5, 2, {"1o", "o1", "1o", "o1", "1o"}},
        TextCase{"a last line without CR LF counts", "X \r\n X", 2, 1, 2, 2, {"1o", "o1"}},
        TextCase{"only the first steps are taken", "X \r\n X\r\nXX\r\n", 2, 1, 2, 2, {"1o", "o1"}},
        TextCase{"no step lines, no strip", "", 4, 1, 3, 8, {}}));

TEST(StripOfEffect, EveryCatalogueEntryGivesAFullStrip) {
  for (int colours = 1; colours <= 3; ++colours) {
    const auto list = patterns::catalogue(colours);
    for (std::size_t i = 0; i < list.size(); ++i) {
      for (int channels : {4, 5, 64, 299, 300}) {
        const ThumbnailStrip strip = stripOfEffect(*list[i].generator, channels, colours, 10, 96);
        patterns::StepWriter out;
        const bool rule = patterns::runGenerator(*list[i].generator, channels, colours, out);
        const bool steps = rule && out.lineCount() > 0;
        EXPECT_EQ(strip.steps, steps ? 10 : 0) << list[i].name << " at " << channels;
        EXPECT_EQ(strip.cells.size(), steps ? 960u : 0u) << list[i].name << " at " << channels;
      }
    }
  }
}

TEST(StripOfEffect, AllLitLightsEveryCellAndAllDarkNone) {
  const auto* on = patterns::findGenerator("D61");
  const auto* off = patterns::findGenerator("D62");
  for (const ThumbnailStrip& strip : {stripOfEffect(*on, 64, 1, 3, 96), stripOfEffect(*off, 64, 1, 3, 96)}) {
    ASSERT_EQ(strip.steps, 3);
  }
  for (StripCell cell : stripOfEffect(*on, 64, 1, 3, 96).cells) EXPECT_EQ(cell, StripCell::Swatch1);
  for (StripCell cell : stripOfEffect(*off, 64, 1, 3, 96).cells) EXPECT_EQ(cell, StripCell::Dark);
}

TEST(StripOfEffect, NoStripForAChannelCountNoSignHas) {
  const auto* sweep = patterns::findGenerator("S1");
  EXPECT_EQ(stripOfEffect(*sweep, 3, 1, 10, 96).steps, 0);
  EXPECT_EQ(stripOfEffect(*sweep, 301, 1, 10, 96).steps, 0);
  EXPECT_EQ(stripOfEffect(*sweep, 300, 1, 10, 96).steps, 10);
}

}  // namespace
}  // namespace lumafex::design
