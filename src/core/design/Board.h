#pragma once
// The programming board as data: entry texts in program order, their moves, and the working-state
// files that mirror it ("临时花式.ini", and "list.tmp" for a move).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/Result.h"

namespace lumafex::design {

inline constexpr const char* kWorkingStateFile = "临时花式.ini";
inline constexpr const char* kReorderFile = "list.tmp";

using Board = std::vector<std::string>;

// The working-state file mirrors the board of a project record, so it has the record's limit.
inline constexpr std::uintmax_t kMaxBoardFileBytes = std::uintmax_t{1024} * 1024;

// Writes the board, one entry per line (an empty board gives an empty file).
Status writeBoardFile(const std::filesystem::path& path, const Board& board);
// Reads it back; unreadable lines are skipped.
Result<Board> readBoardFile(const std::filesystem::path& path);

// Exchanges entry k with its neighbour above (up) or below (down) as the board's move buttons do.
// Returns the index to select afterwards, or -1 when the move does not apply (first entry up,
// last entry down, nothing selected).
int moveEntry(Board& board, int k, bool up);

}  // namespace lumafex::design
