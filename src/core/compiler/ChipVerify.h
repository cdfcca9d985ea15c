#pragma once
// Chips read back by the programmer, compared with the images a compile of the project gives: one
// road for the output window's 校验芯片… and lumafex-cli verify.

#include <filesystem>
#include <string>
#include <vector>

#include "core/compiler/ChipImage.h"
#include "core/compiler/ProjectCompile.h"
#include "core/platform/Result.h"

namespace lumafex::compiler {

// The read-back files, HEX and S-records decoded; the message of the first that cannot be read or
// decoded.
Result<std::vector<ReadBack>> readBackFiles(const std::vector<std::filesystem::path>& files);

struct VerifyResult {
  enum class Failure {
    None,
    Compile,      // the project does not compile (the compile's message)
    NoSuchImage,  // a read-back names an image the compile does not make
  };
  Failure failure = Failure::None;
  std::string message;
  std::vector<ImageComparison> comparisons;  // one per read-back, in their order
  bool identical() const;
  // The comparisons as the user reads them, one block per file.
  std::string report() const;
};

// Compiles the project in memory as `request` says (nothing published; no HEX or S-record copies,
// no checksums) and compares every read-back with the image of its name.
VerifyResult verifyChips(const ProjectInputs& project, CompileRequest request,
                         const std::vector<ReadBack>& readBacks);

}  // namespace lumafex::compiler
