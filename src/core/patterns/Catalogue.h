#pragma once
// The effect catalogue: the three name lists shown for colour counts 1, 2 and 3, and the mapping
// from a list position to the generator that produces the effect.

#include <span>
#include <string_view>

#include "core/patterns/Generators.h"

namespace lumafex::patterns {

struct GeneratorRef {
  std::string_view name;  // "S1" … "S28", "D1" … "D65"
  Generator run;
};

struct CatalogueEntry {
  std::string_view name;  // display text, for example "3左扫"; its leading number is its position + 1
  const GeneratorRef* generator;
};

// The list shown for a colour count; empty for any other count.
std::span<const CatalogueEntry> catalogue(int colours);

// The generator that a click on list position `position` (0-based) runs for this colour count, or
// nullptr when the position lies outside the list.
const GeneratorRef* generatorAt(int colours, long position);

// A generator by its name ("S12", "D61"), or nullptr.
const GeneratorRef* findGenerator(std::string_view name);

// The numeric value of the digits at the start of a text, leading blanks skipped; 0 when there
// are none. A board entry's leading number is its 1-based catalogue position.
long leadingNumber(std::string_view text);

// The number a label or text box holds: an optional sign, digits and a decimal fraction at the
// start of the text (leading blanks skipped); 0 when the text does not start with a number.
double leadingValue(std::string_view text);

// Runs a generator into `out` (which it first empties). Returns false when no rule applies: then
// nothing was written. An error inside a rule keeps the lines finished before it.
bool runGenerator(const GeneratorRef& generator, int channels, int colours, StepWriter& out);

}  // namespace lumafex::patterns
