#pragma once
// The images as an EPROM programmer takes them: the 27-series chip sizes, the check that every
// image fits the chosen chip, padding to the chip size, Intel HEX and Motorola S-record copies
// beside every image, the checksums a burner shows, and the comparison of a chip read back by the
// programmer with the images of a compile. Everything works on image bytes in memory (file name →
// bytes); the image writer applies it just before the files go to disk. The default options change
// nothing: no chip, no padding, no copies, no checksums.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/ByteSink.h"

namespace lumafex::compiler {

struct Chip {
  const char* name;  // the usual spelling: "2716" … "27512", "27C010" … "27C080"
  std::size_t bytes;
};

// 2716 (2 KB) … 27C080 (1 MB), smallest first.
const std::vector<Chip>& chipTable();
// A chip by its name, in either spelling ("27C256" or "27256", "27C010" or "27010"), any case.
std::optional<Chip> findChip(std::string_view name);
// The smallest chip that holds `bytes`, or nullopt when none does.
std::optional<Chip> smallestChipFor(std::size_t bytes);

// What fills a chip beyond the image: nothing (the file ends after the last frame); dark frames
// (0x00 in a positive image, 0xFF in an inverted one: every lamp off); or the sequence again from
// its first frame, whole repetitions only, the rest dark.
enum class Padding { Off, Dark, Repeat };
std::optional<Padding> paddingFromName(std::string_view name);  // "off", "dark", "repeat"
const char* paddingName(Padding padding);

inline constexpr const char* kHexExtension = ".hex";
inline constexpr const char* kSrecExtension = ".s19";

struct ChipOptions {
  std::optional<Chip> chip;  // none: any size
  Padding padding = Padding::Off;
  bool hex = false;           // an Intel HEX copy beside every image
  bool srec = false;          // a Motorola S-record copy beside every image
  bool checksums = false;     // the sum and CRC-32 of every file written
  bool inMemoryOnly = false;  // build the files but write nothing (comparing a chip read back)

  // Anything asked beyond the plain images.
  bool active() const { return chip || padding != Padding::Off || hex || srec || checksums || inMemoryOnly; }
};

// One file of a compile: its name in the "bin" directory and its bytes.
struct ImageFile {
  std::string name;
  std::string bytes;
};

struct FileChecksum {
  std::string name;
  std::uint16_t sum = 0;  // the 16-bit sum of all bytes
  std::uint32_t crc = 0;  // CRC-32 (IEEE 802.3, as zip and most burners show it)
};

struct ChipOutcome {
  bool ok = true;
  std::string message;                  // why the images were refused
  std::vector<ImageFile> files;         // every file to write, each image followed by its copies
  std::vector<FileChecksum> checksums;  // of every file in `files`, when asked
};

// The images of one compile ("单IC正.bin", "正1.bin", …) with the options applied: refused when one
// is larger than the chip, padded, with their copies and checksums. An inverted image is one whose
// name begins with "反" or is "单IC反.bin".
ChipOutcome finishChipImages(const ChipOptions& options, std::vector<ImageFile> images);

// The refusal of an image of `needed` bytes for a chip that is too small.
std::string capacityMessage(const std::string& file, std::size_t needed, const Chip& chip);

// Dark fill for an image: 0xFF for an inverted image, 0x00 for a positive one.
bool isInvertedImage(std::string_view name);
std::string padImage(std::string image, std::size_t size, Padding padding, bool inverted);

// Intel HEX: type 00 records of 16 bytes, a type 04 record wherever the address passes a 64 KB
// boundary, type 01 at the end; lines end with CR LF.
std::string intelHex(std::string_view bytes);
// Motorola S-records: S0 header, S1 (16-bit addresses, up to 64 KB), S2 (24-bit) or S3 (32-bit)
// data records of 16 bytes, an S5/S6 record count, the matching S9/S8/S7 end; CR LF.
std::string motorolaS(std::string_view bytes);
// The same texts handed to a sink piece by piece, formatted into one small buffer (nothing is
// allocated per record); false when the sink fails.
bool writeIntelHex(std::string_view bytes, platform::ByteSink& sink);
bool writeMotorolaS(std::string_view bytes, platform::ByteSink& sink);

// Whether a name is one of a compile's images: "单IC正.bin", "单IC反.bin", "正i.bin", "反i.bin".
bool isImageName(std::string_view name);
// The bytes of a HEX or S-record text, gaps filled with 0xFF; nullopt when the text is not one.
std::optional<std::string> readIntelHex(std::string_view text);
std::optional<std::string> readMotorolaS(std::string_view text);

std::uint16_t byteSum16(std::string_view bytes);
std::uint32_t crc32(std::string_view bytes);
// Both, over bytes that come piece by piece.
class ChecksumAccumulator {
 public:
  void add(std::string_view bytes);
  std::uint16_t sum() const { return static_cast<std::uint16_t>(sum_ & 0xFFFF); }
  std::uint32_t crc() const { return crc_ ^ 0xFFFFFFFFu; }

 private:
  std::uint64_t sum_ = 0;
  std::uint32_t crc_ = 0xFFFFFFFFu;
};
FileChecksum checksumOf(const ImageFile& file);
// "NAME 0xHHHH 0xHHHHHHHH".
std::string checksumLine(const FileChecksum& checksum);

// The HEX and S-record copies in `bin` that would no longer match an image after a compile that
// writes `written` and retires the numbered chip images from `firstRetired` on: the copy of an
// image written now without that copy, and the copy of an image that is or will be gone.
std::vector<std::string> staleCopyNames(const std::filesystem::path& bin,
                                        const std::vector<ImageFile>& written, int firstRetired);

// A chip read back by the programmer against the image of the same name.
struct FrameDifference {
  long step = 0;              // 1-based step of the chip
  std::vector<int> channels;  // 1-based channels that differ
  bool padding = false;       // beyond the sequence: the chip's padding
};
struct ImageComparison {
  std::string name;
  std::size_t expectedBytes = 0;
  std::size_t actualBytes = 0;
  std::vector<FrameDifference> differences;  // the first kMaxReportedFrames differing steps
  long differingSteps = 0;                   // all of them
  bool identical() const { return expectedBytes == actualBytes && differingSteps == 0; }
};
inline constexpr std::size_t kMaxReportedFrames = 10;

// `bytesPerStep` is the compile's B; an image named "正i.bin"/"反i.bin" holds one byte per step,
// channels 8(i − 1) + 1 … 8i; "单IC正.bin"/"单IC反.bin" B bytes per step. `sequenceBytes` is the
// image's length before padding.
ImageComparison compareImage(const std::string& name, std::string_view expected, std::string_view actual,
                             int bytesPerStep, std::size_t sequenceBytes);
// The answer as the user reads it: one line for an identical image, else the differing steps and
// the lengths.
std::string describeComparison(const ImageComparison& comparison);

// The image a read-back file is compared with: its file name, with ".hex" or ".s19" read as the
// ".bin" of that name. The bytes of the file, decoded from HEX or S-records where it is one.
struct ReadBack {
  std::string imageName;
  std::string bytes;
};
std::optional<ReadBack> readBackOf(const std::string& fileName, std::string fileBytes);

}  // namespace lumafex::compiler
