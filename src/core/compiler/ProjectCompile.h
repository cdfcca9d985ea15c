#pragma once
// A whole compile of a project file without windows: what the main window's two export commands
// produce in a freshly opened output window. The single-chip export always compiles a newly
// assembled total program; the per-8-channel export compiles the manual file when the project has
// one.

#include <filesystem>
#include <string>

#include "core/compiler/EpromImages.h"
#include "core/compiler/TotalProgram.h"
#include "core/design/ProjectRecord.h"

namespace lumafex::compiler {

// The values of a project that decide what a compile produces.
struct ProjectInputs {
  design::ProjectSettings settings;
  std::vector<std::string> board;
  std::filesystem::path projectFile;
  std::filesystem::path projectDirectory;
  int imageCount = 0;  // consecutive image pictures in the project directory
};

// Reads the project file and what its directory holds.
Result<ProjectInputs> loadProject(const std::filesystem::path& projectFile);

// The assembly input for a project (board, colour count, channel count, image options), or the
// message why it cannot be assembled.
Result<AssemblyInput> assemblyInputOf(const ProjectInputs& project);

struct CompileResult {
  bool ok = false;
  std::string message;        // the failure message shown to the user
  std::string totalProgram;   // the total program compiled
  std::string buffer;         // the output buffer
  std::string channelsLabel;  // 路数 after stage one
  std::string rowsLabel;      // 行 after stage one
  ImageResult images;
};

// The largest project record read: a record is a few kilobytes.
inline constexpr std::uintmax_t kMaxRecordBytes = std::uintmax_t{1024} * 1024;
// The largest total program a compile assembles: its images would already be larger than any
// EPROM. A manual file may be as large as any text file the program reads.
inline constexpr std::size_t kMaxProgramBytes = std::size_t{64} * 1024 * 1024;
inline constexpr std::uintmax_t kMaxManualBytes = std::uintmax_t{256} * 1024 * 1024;
inline constexpr const char* kProgramTooLargeMessage = "总程序太大（超过64MB），请减少编程板上的花式。";

// Runs the export: the total program (assembled, or the manual file for the per-8-channel layout),
// stage one with the title effect from "标题花式.bt", stage two into the project's "bin". The
// working files (total program, output buffer) are written into `workDirectory`.
// `chip`: chip size, padding, copies and checksums of the images (the defaults: as they are).
CompileResult compileProject(const ProjectInputs& project, ChipLayout layout,
                             const std::filesystem::path& workDirectory, const ChipOptions& chip = {});

// What compiles killed part-way left behind for this project: a half-built image folder beside
// "bin", an old one not yet removed, stray temporary files in "bin". Safe to call at any time; the
// desktop program calls it when it starts.
int cleanCompileLeftovers(const std::filesystem::path& projectDirectory);

// A private working folder for one compile in the temporary directory ("lumafex-<pid>-XXXXXX"),
// empty path when it cannot be made. Folders of earlier processes that no longer run are removed
// first.
std::filesystem::path createWorkDirectory(const std::filesystem::path& temporaryDirectory);
// Removes the working folders of processes that no longer run; returns how many.
int removeStaleWorkDirectories(const std::filesystem::path& temporaryDirectory);

}  // namespace lumafex::compiler
