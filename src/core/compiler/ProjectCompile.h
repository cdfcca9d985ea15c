#pragma once
// A whole compile of a project file without windows: what the main window's two export commands
// produce in a freshly opened output window. The single-chip export always compiles a newly
// assembled total program; the per-8-channel export compiles the manual file when the project has
// one.

#include <filesystem>
#include <functional>
#include <optional>
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
  // The title effect text as the open project holds it; without it the compile reads
  // "标题花式.bt" of the project directory.
  std::optional<std::string> titleEffect;
};

// Reads the project file and what its directory holds.
Result<ProjectInputs> loadProject(const std::filesystem::path& projectFile);

// The assembly input for a project (board, colour count, channel count, image options), or the
// message why it cannot be assembled.
Result<AssemblyInput> assemblyInputOf(const ProjectInputs& project);

// Which sequence a compile takes.
enum class Sequence {
  // What the main window's export commands compile: the single-chip layout assembles the board
  // anew; the per-8-channel layout takes the manual file when the project has one.
  Export,
  // The manual file "人工修改的花式.txt" in either layout (refused when the project has none).
  ManualFile,
  // The total program file already in the work directory: what the output window's own 编译
  // compiles after 生成TXT文件 or an export put it there (refused when there is none).
  WorkingProgram,
};

struct CompileRequest {
  ChipLayout layout = ChipLayout::Single;
  Sequence sequence = Sequence::Export;
  // The working files (total program, output buffer) are written here.
  std::filesystem::path workDirectory;
  // Chip size, padding, copies and checksums of the images (the defaults: as they are).
  ChipOptions chip;
  // 路数 as an open output window shows it before this compile ("路数": a window just opened).
  std::string channelsLabel = "路数";
  // Whether the total program and the output buffer are written into the work directory (a
  // comparison with chips read back leaves them as they are).
  bool writeWorkingFiles = true;
  // Whether the result holds the total program and the output buffer. A caller that needs only
  // the images and the report leaves them out: a manual file is then read piece by piece and never
  // held whole, and a refusal stops reading at the first fault.
  bool keepTexts = true;
  // Called once per frame written (index from 0) with the number of frames.
  std::function<void(long frame, long frames)> progress;
};

struct CompileResult {
  bool ok = false;
  std::string message;        // the failure message shown to the user
  std::string totalProgram;   // the total program compiled (when the request keeps the texts)
  std::string buffer;         // the output buffer (when the request keeps the texts)
  std::string channelsLabel;  // 路数 after stage one (empty when stage one did not finish)
  // 行 after stage one; empty also when a refused compile stopped reading the sequence early.
  std::string rowsLabel;
  // A title mask of the wrong length: where it stands in the title effect text (characters).
  bool faultyMask = false;
  std::size_t maskStart = 0;
  std::size_t maskLength = 0;
  ImageResult images;
};

// The largest project record read: a record is a few kilobytes.
inline constexpr std::uintmax_t kMaxRecordBytes = std::uintmax_t{1024} * 1024;
// The largest total program a compile assembles: its images would already be larger than any
// EPROM. A manual file may be as large as any text file the program reads.
inline constexpr std::size_t kMaxProgramBytes = std::size_t{64} * 1024 * 1024;
inline constexpr std::uintmax_t kMaxManualBytes = std::uintmax_t{256} * 1024 * 1024;
inline constexpr const char* kProgramTooLargeMessage = "总程序太大（超过64MB），请减少编程板上的花式。";

// The whole compile, for the desktop program and lumafex-cli alike: the sequence the request
// names, stage one with the title effect, stage two into the project's "bin" (or in memory only).
// Both stages go in one pass over the sequence, a manual file read piece by piece; the images are
// built from the frames and written one file at a time into the new image folder. Every limit is
// checked before anything is published; a refused compile changes nothing in "bin".
CompileResult compileProject(const ProjectInputs& project, const CompileRequest& request);
// The export of `layout` with the working files in `workDirectory`.
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
