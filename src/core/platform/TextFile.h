#pragma once
// Reading and writing the system's text files: GBK on disk, CR LF line ends, UTF-8 in the program.
// Writes that replace a file go to a temporary file beside it that is then renamed over it, so a
// crash or a full disk never leaves a half-written file.

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/ByteSink.h"
#include "core/platform/Result.h"

namespace lumafex::platform {

namespace fs = std::filesystem;

// Files larger than this are refused rather than read into memory.
inline constexpr std::uintmax_t kMaxTextFileBytes = std::uintmax_t{256} * 1024 * 1024;

// The whole file as bytes.
Result<std::string> readBytes(const fs::path& path, std::uintmax_t limit = kMaxTextFileBytes);

// What a write to a path reaches: the path itself or, when it is a symbolic link, the end of its
// chain of links (which may not exist yet), and what is there.
struct WriteTarget {
  enum Kind { Missing, Regular, Directory, Special };
  fs::path path;
  Kind kind = Missing;
  bool fifo = false;  // a Special that is a FIFO
  int error = 0;      // errno when the path cannot be examined (then kind means nothing)
};
WriteTarget writeTargetOf(const fs::path& path);

// Replaces the file with `bytes`: write beside it, flush to the disk, rename over it. Working files
// that are rebuilt on every run may skip the flush (`durable` false); they are still never left
// half-written. A symbolic link is followed and its target replaced (the link stays); a device, a
// FIFO or another special file is written through as it is (a FIFO nobody reads is refused), and
// a directory is refused: none of them is ever replaced by a file.
Status writeBytesSafely(const fs::path& path, std::string_view bytes, bool durable = true);

// The same for bytes that come piece by piece: they go to a temporary file beside the target,
// which takes the target's place only on commit(); dropped without commit, the temporary file is
// removed and the target stays as it was. A write that fails is reported by commit().
class FileReplacement final : public ByteSink {
 public:
  FileReplacement(const fs::path& path, bool durable);
  ~FileReplacement() override;
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  bool write(std::string_view bytes) override;
  Status commit();

 private:
  bool flush();

  std::string pending_;
  fs::path path_;
  fs::path target_;
  fs::path temp_;
  int fd_ = -1;
  int err_ = 0;
  bool durable_ = true;
  bool through_ = false;  // a special file, written as it is
  std::string refusal_;
};

// Reads a file piece by piece (at most `pieceBytes` at a time), handing each piece to `fn`, which
// returns false to stop early. Refused with readBytes' messages: a missing file, one over `limit`,
// one that cannot be read.
Status readInPieces(const fs::path& path, std::uintmax_t limit,
                    const std::function<bool(std::string_view)>& fn, std::size_t pieceBytes = 1 << 20);

// Replaces several files at once: all are written beside their targets, flushed to the disk
// together, then renamed. When any write fails, none of the targets is touched. Links are followed
// as above; a target that is a directory or a special file refuses the whole set.
Status writeFilesSafely(const std::vector<std::pair<fs::path, std::string_view>>& files);

// Splits text into lines at CR LF, a lone CR or a lone LF. A last line without a line end counts;
// an empty text has no lines.
std::vector<std::string> splitTextLines(std::string_view text);

// The offset of the first CR or LF at or after `from`, or text.size() when there is none. Looks at
// eight bytes at a time: step lines are hundreds of characters between line ends.
inline std::size_t findLineEnd(std::string_view text, std::size_t from) {
  const char* p = text.data();
  const std::size_t n = text.size();
  std::size_t i = from;
  constexpr std::uint64_t ones = 0x0101010101010101ULL;
  constexpr std::uint64_t high = 0x8080808080808080ULL;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    const std::uint64_t cr = w ^ (ones * '\r');
    const std::uint64_t lf = w ^ (ones * '\n');
    // Non-zero exactly when some byte of cr or lf is zero, that is when the word holds a CR or LF.
    if (((cr - ones) & ~cr & high) | ((lf - ones) & ~lf & high)) break;
  }
  for (; i < n; ++i) {
    if (p[i] == '\r' || p[i] == '\n') return i;
  }
  return n;
}

// Calls fn(line) for every line of the text, split as splitTextLines does, without copying.
template <class Fn>
void forEachLine(std::string_view text, Fn&& fn) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t i = findLineEnd(text, start);
    if (i == text.size()) {
      fn(text.substr(start));
      return;
    }
    fn(text.substr(start, i - start));
    start = (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? i + 2 : i + 1;
  }
}

// Splits text that comes in pieces (a file read piece by piece) into lines exactly as forEachLine
// splits the whole text. fn(piece, endsLine) gets every line as one or more pieces, the last with
// endsLine true; a line that comes whole is one piece.
class LineSplitter {
 public:
  template <class Fn>
  void feed(std::string_view chunk, Fn&& fn) {
    std::size_t i = 0;
    if (pendingCr_ && !chunk.empty()) {
      pendingCr_ = false;
      if (chunk[0] == '\n') i = 1;  // the LF of a CR LF split between two pieces
    }
    while (i < chunk.size()) {
      const std::size_t j = findLineEnd(chunk, i);
      if (j == chunk.size()) {
        fn(chunk.substr(i), false);
        inLine_ = true;
        return;
      }
      fn(chunk.substr(i, j - i), true);
      inLine_ = false;
      if (chunk[j] == '\r' && j + 1 == chunk.size()) pendingCr_ = true;
      i = (chunk[j] == '\r' && j + 1 < chunk.size() && chunk[j + 1] == '\n') ? j + 2 : j + 1;
    }
  }
  // The end of the text: a last line without a line end ends here.
  template <class Fn>
  void finish(Fn&& fn) {
    if (inLine_) fn(std::string_view(), true);
    inLine_ = false;
    pendingCr_ = false;
  }

 private:
  bool inLine_ = false;
  bool pendingCr_ = false;
};

// Lines of a GBK text file, decoded. A line that is not valid GBK is nullopt: callers treat it as
// unreadable, the others are unaffected.
Result<std::vector<std::optional<std::string>>> readGbkLines(const fs::path& path);
// The same for a file that must not be larger than `limit` bytes (refused with a message).
Result<std::vector<std::optional<std::string>>> readGbkLines(const fs::path& path, std::uintmax_t limit);

// Joins lines with CR LF after each, encodes them in GBK and writes them safely. Text that GBK
// cannot hold is refused and nothing is written.
Status writeGbkLines(const fs::path& path, const std::vector<std::string>& lines);

// Reads a whole GBK text into UTF-8 (invalid bytes are refused).
Result<std::string> readGbkText(const fs::path& path);
// Writes UTF-8 text as GBK, byte for byte otherwise (no line end added).
Status writeGbkText(const fs::path& path, std::string_view utf8);

// A path from UTF-8 text and back (file names in the program are UTF-8).
fs::path pathFromUtf8(std::string_view utf8);

// Writes every byte to the open descriptor, going on after interrupted and partial writes.
bool writeAll(int fd, std::string_view bytes);
std::string pathToUtf8(const fs::path& path);

}  // namespace lumafex::platform
