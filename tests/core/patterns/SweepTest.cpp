// Every catalogue entry for every channel count 4 to 300: no rule fails, lines hold only "X" and
// blanks, and the step counts the rules state hold.

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "core/patterns/Catalogue.h"

namespace lumafex::patterns {
namespace {

long ceilDiv(long a, long b) {
  return (a + b - 1) / b;
}

// Stated step counts, for the rule that runs at this channel and colour count.
using Count = std::function<long(long n, int colours)>;
const std::map<std::string_view, Count>& statedCounts() {
  static const std::map<std::string_view, Count> counts = {
      {"S1", [](long n, int c) { return n >= 16 && c == 3 ? 3 * ceilDiv(n, 3) : n; }},
      {"S2", [](long n, int c) { return n >= 16 && c == 3 ? 1 + 3 * ceilDiv(n, 3) : n + 1; }},
      {"S3", [](long n, int) { return n; }},
      {"S4", [](long n, int) { return n; }},
      {"S5", [](long n, int c) { return n >= 32 && c == 3 ? 3 * ceilDiv(n / 4, 3) : 4 * (n / 4); }},
      {"S6", [](long n, int c) { return n >= 32 && c == 3 ? -1 : 2 * (n / 4 + 1); }},
      {"S7", [](long n, int c) { return n >= 48 && c == 3 ? 45 : 30; }},
      {"S8", [](long n, int c) { return n >= 48 && c == 3 ? 3 * ceilDiv(n, 3) : n; }},
      {"S9", [](long n, int c) { return n >= 48 && c == 3 ? 3 * ceilDiv(n, 3) : n; }},
      {"S10", [](long n, int c) { return n >= 32 && c == 3 ? ceilDiv(n, 3) : 2 * n - 8; }},
      {"S11", [](long n, int c) { return c == 3 ? 6 * (n / 8) : 4 * (n / 8); }},
      {"S12", [](long n, int) { return 2 * n; }},
      {"S14", [](long n, int c) { return n >= 32 && c == 3 ? 4 * ceilDiv(n / 2, 3) : n / 2; }},
      {"S15", [](long n, int c) { return n >= 32 && c == 3 ? -1 : n / 2; }},
      {"S16", [](long n, int) { return n; }},
      {"S17", [](long n, int) { return n; }},
      {"S18", [](long n, int) { return 2 * (n / 4 + 1); }},
      {"S19", [](long n, int) { return n < 16 ? (n + 1) * (n + 2) / 2 : -1; }},
      {"S20", [](long n, int) { return 8 * (n / 8 + 1); }},
      {"S23", [](long n, int) { return n / 4 + 1; }},
      {"S26", [](long, int) { return 136; }},
      {"S27", [](long n, int) { return n / 2 + 1; }},
      {"S28", [](long n, int) { return n / 2 + 1; }},
      {"D61", [](long n, int) { return n / 2; }},
      {"D62", [](long n, int) { return n / 2; }},
      {"D63", [](long n, int) { return n; }},
      {"D64", [](long n, int) { return n; }},
      {"D65", [](long n, int) { return n; }},
  };
  return counts;
}

void sweep(int colours) {
  const auto list = catalogue(colours);
  StepWriter out;
  for (int n = 4; n <= 300; ++n) {
    for (const auto& entry : list) {
      const bool wrote = runGenerator(*entry.generator, n, colours, out);
      ASSERT_FALSE(out.abandoned()) << entry.name << " N=" << n << " C=" << colours;
      if (!wrote) {
        EXPECT_EQ(out.lineCount(), 0u);
        continue;
      }
      const std::string_view bytes = out.bytes();
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const bool lineEnd = c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
        if (lineEnd) {
          ++i;
          continue;
        }
        ASSERT_TRUE(c == 'X' || c == ' ') << entry.name << " N=" << n << " byte " << i;
      }
      const auto it = statedCounts().find(entry.generator->name);
      if (it != statedCounts().end()) {
        const long expected = it->second(n, colours);
        if (expected >= 0) {
          EXPECT_EQ(static_cast<long>(out.lineCount()), expected)
              << entry.name << " (" << entry.generator->name << ") N=" << n << " C=" << colours;
        }
      }
    }
  }
}

TEST(CatalogueSweep, SingleColourList) {
  sweep(1);
}
TEST(CatalogueSweep, TwoColourList) {
  sweep(2);
}
TEST(CatalogueSweep, ThreeColourList) {
  sweep(3);
}

}  // namespace
}  // namespace lumafex::patterns
