#pragma once
// A chip read back by the programmer turned back into frames: the inverse of the image writers.
// A single-chip image holds B bytes a frame (channel k of a frame is bit (k − 1) mod 8 of byte
// (k − 1) div 8); a chip set holds one chip per 8 channels (chip j holds byte j of every frame).
// Inverted images are complemented first. Padding to a chip size is recognised and dropped: when
// a file is exactly as long as a chip, whole repetitions of the sequence followed by dark bytes
// ("repeat"), else the dark frames after the last frame that lights anything ("dark").

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/compiler/ChipImage.h"
#include "core/compiler/EpromImages.h"
#include "core/platform/Result.h"

namespace lumafex::compiler {

// The widest sign a project can describe: 300 columns and one channel per image.
inline constexpr int kMinImportChannels = 4;
inline constexpr int kMaxImportChannels = static_cast<int>(kMaxSignColumns + kMaxImageChannels);
// Larger than any EPROM of the chip table: a file beyond this is no chip.
inline constexpr std::size_t kMaxChipFileBytes = std::size_t{16} * 1024 * 1024;

// One chip file, its bytes as the chip holds them (HEX and S-records already decoded).
struct ChipSource {
  std::string name;  // the file name, for messages and the polarity its name gives
  std::string bytes;
};

// Decodes a chip file's bytes by its name: ".hex"/".ihx" as Intel HEX, ".s19"/".s28"/".s37"/
// ".srec"/".mot" as S-records, anything else as the raw image. Refused with a message when empty
// or not valid.
Result<ChipSource> chipSourceOf(const std::string& fileName, std::string fileBytes);
// Reads and decodes a chip file.
Result<ChipSource> readChipFile(const std::filesystem::path& path);

// The polarity the compile's own file names give: "单IC正", "正<n>" positive (false), "单IC反",
// "反<n>" inverted (true); nothing for any other name.
std::optional<bool> invertedByName(std::string_view fileName);

// Puts a chip set in chip order when every file name carries a number (the last digits of its
// stem: "正12.bin", "chip3.hex") and the numbers are 1 … n: a shell lists "正10.bin" before
// "正2.bin". Returns whether the order changed.
bool orderByChipNumber(std::vector<ChipSource>& chips);

struct ImportRequest {
  ChipLayout layout = ChipLayout::Single;
  std::vector<ChipSource> chips;  // the single image, or chip 1 first
  int channels = 0;               // 0: 8 × chips for a chip set; a single image needs it
  bool inverted = false;
  bool keepPadding = false;  // keep every whole frame of the file, padding included
};

// What was dropped as padding.
struct DroppedPadding {
  Padding kind = Padding::Off;  // Off: nothing dropped (but maybe a dark part frame)
  std::optional<Chip> chip;     // the chip whose size the files are
  long repetitions = 0;         // repeat: how often the sequence stands on the chip
  long darkFrames = 0;          // whole dark frames dropped
  std::size_t partBytes = 0;    // dark bytes after the last whole frame (single chip)
};

struct ImportedSequence {
  ChipLayout layout = ChipLayout::Single;
  int channels = 0;
  int bytesPerFrame = 0;  // B: bytes a frame, and chips of a chip set
  int chips = 1;          // files read
  std::size_t fileBytes = 0;
  bool inverted = false;
  bool keptPadding = false;
  bool reordered = false;  // the chip set was put in the order of its file numbers
  long frames = 0;
  std::string frameBytes;  // positive, B bytes a frame, frame after frame
  DroppedPadding padding;
};

// Argument faults: a channel count outside 4 … 600, a chip set whose chip count does not fit the
// channel count, a single image without a channel count, a file whose name says the other
// polarity. Nothing when the request can be tried.
std::optional<std::string> requestProblem(const ImportRequest& request);

// The frames of the chips, or why they cannot be a chip image of this request: no file, an empty
// file, a length that is no whole number of frames, chips of different lengths, a lit channel
// beyond the channel count.
Result<ImportedSequence> importChips(ImportRequest request);

// A likely width for a single image: the channels a frame of B bytes would hold (the highest
// channel the image ever lights, at least 8 × B − 7) where the file is whole frames of B bytes
// (or a chip whose part frame at the end is dark). Most likely first: frames that look like the
// frame before them.
struct WidthSuggestion {
  int channels = 0;
  int bytesPerFrame = 0;
  long frames = 0;
};
std::vector<WidthSuggestion> likelyWidths(std::string_view image, bool inverted, std::size_t most = 5);
// "可能的路数：--channels 64（每步8字节，394步）、…" (`commandLine`), or "可能的路数：64路（…）、…";
// a sentence that none fits when there is none.
std::string describeWidths(const std::vector<WidthSuggestion>& widths, bool commandLine = true);

// What was read, one line each: files and layout, chips, channels, frames, padding dropped.
std::string describeImport(const ImportedSequence& sequence);

// The frames as a manual sequence file: one line of `channels` characters a frame, "X" lit and a
// blank dark, each ended by CR LF.
std::string sequenceText(const ImportedSequence& sequence);

}  // namespace lumafex::compiler
