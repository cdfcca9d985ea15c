#pragma once
// The frame that puts a generator's effect into the scratch step file: when no rule applies the
// file is not touched and keeps the previous effect; otherwise it is truncated and rewritten.

#include <filesystem>

#include "core/patterns/Catalogue.h"
#include "core/platform/Result.h"

namespace lumafex::patterns {

enum class ScratchOutcome { Written, NoRule, WriteFailed };

ScratchOutcome generateIntoFile(const GeneratorRef& generator, int channels, int colours,
                                const std::filesystem::path& scratchFile);

}  // namespace lumafex::patterns
