#pragma once
// The chip options of compile and verify: --chip NAME, --pad dark|repeat|off, and for compile
// --format bin,hex,srec and --checksums.

#include <iosfwd>
#include <optional>
#include <set>
#include <string>

#include "cli/Args.h"
#include "core/compiler/ChipImage.h"

namespace lumafex::cli {

// The options that take a value, and the flags, that chipOptionsOf reads.
inline const std::set<std::string> kChipValueOptions = {"chip", "pad", "format"};
inline const std::set<std::string> kChipFlags = {"checksums"};

// The options given, or nullopt after a message on `err` (a bad argument). `withFormats`: --format
// and --checksums are allowed.
std::optional<compiler::ChipOptions> chipOptionsOf(const Args& args, bool withFormats, std::ostream& err);

}  // namespace lumafex::cli
