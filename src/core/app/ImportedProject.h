#pragma once
// A new project made from a chip read back: the frames become the project's manual sequence file
// ("人工修改的花式.txt"), so the desktop program opens the project in the post-processing window,
// playing, and a compile of the manual file gives the chip back byte for byte.
//
// The record: 列数 = the channel count (at most 300), 色数 1, no title (and so no title channel, the
// title effect switched off), 基本路数 = the channel count, no logos. A sign wider than 300
// channels keeps the channels beyond 300 as image channels: one picture "图案k.bmp" per channel,
// images switched on. The board holds one entry so that the compile commands, which refuse an empty
// board, run; the per-8-channel export and a compile of the manual file take the frames, not it.

#include <filesystem>
#include <optional>
#include <string>

#include "core/compiler/ChipImport.h"
#include "core/design/ProjectRecord.h"
#include "core/platform/Result.h"

namespace lumafex::app {

// The board entry of an imported project.
inline constexpr const char* kImportedBoardEntry = "1右扫";
// The title effect of an imported project: the empty title, marked as the effect of no step.
inline constexpr const char* kImportedTitleEffect = "<1>";

// The record settings for a sequence of `channels` channels.
design::ProjectSettings importedProjectSettings(int channels);

// Writes the project file and its directory (manual file, title effect, the chip and padding found
// as the project's chip choices, image pictures beyond 300 channels). Never replaces anything: a
// project file or a project directory that exists is refused, and on any failure what this call
// made is removed again.
Status createImportedProject(const std::filesystem::path& projectFile,
                             const compiler::ImportedSequence& sequence);

// The message for a project that exists (file or directory), or nothing when the name is free.
std::optional<std::string> existingProjectProblem(const std::filesystem::path& projectFile);

}  // namespace lumafex::app
