#pragma once
// Reading and writing the system's text files: GBK on disk, CR LF line ends, UTF-8 in the program.
// Writes that replace a file go to a temporary file beside it that is then renamed over it, so a
// crash or a full disk never leaves a half-written file.

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Result.h"

namespace lumafex::platform {

namespace fs = std::filesystem;

// Files larger than this are refused rather than read into memory.
inline constexpr std::uintmax_t kMaxTextFileBytes = std::uintmax_t{256} * 1024 * 1024;

// The whole file as bytes.
Result<std::string> readBytes(const fs::path& path, std::uintmax_t limit = kMaxTextFileBytes);

// Replaces the file with `bytes`: write beside it, flush to the disk, rename over it. Working files
// that are rebuilt on every run may skip the flush (`durable` false); they are still never left
// half-written.
Status writeBytesSafely(const fs::path& path, std::string_view bytes, bool durable = true);

// Replaces several files at once: all are written beside their targets, flushed to the disk
// together, then renamed. When any write fails, none of the targets is touched.
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
