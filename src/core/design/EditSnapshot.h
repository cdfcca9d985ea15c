#pragma once
// The parts of a project an undoable edit may change, as they were before or after it: the
// settings, the programming board, the placement blocks of the pictures and the channel count.
// Undo and redo restore only what differs between the two snapshots of an edit, so edits that are
// not undone (window sizes, the post-processing switches, …) keep their values.

#include <cstdint>

#include "core/design/Project.h"

namespace lumafex::design {

struct EditSnapshot {
  ProjectSettings settings;
  Board board;
  Placements logos;
  Placements images;
  int channels = 0;
};

EditSnapshot snapshotOf(const Project& project);

// One bit per settings field (in record order) whose value differs between a and b.
std::uint64_t changedSettings(const ProjectSettings& a, const ProjectSettings& b);

// The bit of one settings field in changedSettings.
std::uint64_t settingsBit(std::string ProjectSettings::*field);
std::uint64_t settingsBit(double ProjectSettings::*field);

// Whether two snapshots hold the same project state.
bool sameState(const EditSnapshot& a, const EditSnapshot& b);

// Brings `project` from the state `from` to the state `to`: every settings field, the board, the
// channel count and every block position that differs between the snapshots takes its value in
// `to`; the rest stays as the project has it now. Blocks keep their current sizes (those follow
// the picture files), and blocks the project no longer has are left out.
void restoreChanges(Project& project, const EditSnapshot& from, const EditSnapshot& to);

}  // namespace lumafex::design
