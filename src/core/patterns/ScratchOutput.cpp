#include "core/patterns/ScratchOutput.h"

#include "core/platform/ScratchFile.h"

namespace lumafex::patterns {

ScratchOutcome generateIntoFile(const GeneratorRef& generator, int channels, int colours,
                                const std::filesystem::path& scratchFile) {
  StepWriter out;
  if (!runGenerator(generator, channels, colours, out)) return ScratchOutcome::NoRule;
  return platform::overwriteFile(scratchFile, out.bytes()) ? ScratchOutcome::Written
                                                           : ScratchOutcome::WriteFailed;
}

}  // namespace lumafex::patterns
