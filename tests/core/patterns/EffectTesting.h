#pragma once
// Helpers for effect tests: run a generator and compare its lines with an example written with a
// dot for every blank, lines separated by single spaces.

#include <string>
#include <string_view>
#include <vector>

#include "core/patterns/Catalogue.h"

namespace lumafex::testing {

// "X.X. .X.X" -> {"X X ", " X X"}. An empty example means no lines.
inline std::vector<std::string> exampleLines(std::string_view example) {
  std::vector<std::string> lines;
  std::string current;
  bool any = false;
  for (char c : example) {
    if (c == ' ') {
      lines.push_back(current);
      current.clear();
      continue;
    }
    any = true;
    current += c == '.' ? ' ' : c;
  }
  if (any || !current.empty() || !lines.empty()) lines.push_back(current);
  return lines;
}

struct EffectRun {
  bool wrote = false;
  std::vector<std::string> lines;
};

inline EffectRun run(std::string_view generator, int channels, int colours) {
  EffectRun r;
  const auto* g = patterns::findGenerator(generator);
  if (!g) return r;
  patterns::StepWriter out;
  r.wrote = patterns::runGenerator(*g, channels, colours, out);
  r.lines = out.lines();
  return r;
}

// Lines shown with dots, one per row, for readable failure messages.
inline std::string show(const std::vector<std::string>& lines) {
  std::string s;
  for (auto line : lines) {
    for (char& c : line) c = c == ' ' ? '.' : c;
    s += "  [" + line + "]\n";
  }
  return s;
}

}  // namespace lumafex::testing
