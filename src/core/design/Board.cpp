#include "core/design/Board.h"

#include <utility>

#include "core/platform/TextFile.h"

namespace lumafex::design {

Status writeBoardFile(const std::filesystem::path& path, const Board& board) {
  return platform::writeGbkLines(path, board);
}

Result<Board> readBoardFile(const std::filesystem::path& path) {
  auto lines = platform::readGbkLines(path, kMaxBoardFileBytes);
  if (!lines) return Result<Board>::fail(lines.error());
  Board board;
  for (auto& line : *lines) {
    if (line) board.push_back(std::move(*line));
  }
  return Result<Board>::ok(std::move(board));
}

int moveEntry(Board& board, int k, bool up) {
  const int count = static_cast<int>(board.size());
  if (k < 0 || k >= count) return -1;
  if (up ? k == 0 : k + 1 == count) return -1;
  const int other = up ? k - 1 : k + 1;
  std::swap(board[static_cast<std::size_t>(k)], board[static_cast<std::size_t>(other)]);
  return other;
}

}  // namespace lumafex::design
