#pragma once
// Stage two of a compile: the EPROM images. Every buffer line is a frame; 8 consecutive channels
// make a byte, the first channel being bit 0. The positive image ("正") has a bit set for every lit
// channel, the inverted image ("反") for every dark one. One chip holds all bytes of a frame in a
// row, or one chip per 8 channels holds one byte per frame.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/compiler/ChipImage.h"
#include "core/compiler/ImageSet.h"
#include "core/design/Rules.h"

namespace lumafex::compiler {

enum class ChipLayout { Single, PerEightChannels };

inline constexpr const char* kBinDirectory = "bin";
inline constexpr const char* kSinglePositive = "单IC正.bin";
inline constexpr const char* kSingleInverted = "单IC反.bin";
inline constexpr const char* kTooLongMessage =
    "路数不正确,请完整运行一次确定路数。或查找最大的行删除该行末尾多余的内容。";
inline constexpr const char* kNoStepsMessage = "总程序中没有任何一步，EPROM文件没有改变。";

// The most channels one compile can have: the widest sign (300 columns), one channel per image
// (at most 300) and one per title character (at most 100).
inline constexpr long kMaxSignColumns = design::kMaxChannels;
inline constexpr long kMaxImageChannels = 300;
inline constexpr long kMaxTitleCharacters = 100;
inline constexpr long kMaxCompileChannels = kMaxSignColumns + kMaxImageChannels + kMaxTitleCharacters;

// The message for a channel count outside 1 … most.
std::string channelRangeMessage(long channels, long most);

std::string chipPositiveName(int chip);  // "正" + chip + ".bin"
std::string chipInvertedName(int chip);  // "反" + chip + ".bin"

// Bytes per frame (one chip) or chips (one per 8 channels) for channel count c: c ÷ 8 rounded up.
int bytesPerFrame(long channels);

struct ImageInput {
  std::string_view buffer;  // the output buffer file's bytes
  long channels = 0;        // value of 路数
  std::filesystem::path projectDirectory;
  ChipLayout layout = ChipLayout::Single;
  // Called once per frame written, with the frame's index from 0 (for a progress bar).
  std::function<void(long frame)> progress;
};

struct ImageResult {
  bool ok = false;
  std::string message;  // on failure
  int bytes = 0;        // B, for 每帧字节数 or 集成块个数
  long frames = 0;
  std::string report;                   // the text of the report box
  std::vector<FileChecksum> checksums;  // of every file written, when asked (filled as it is written)
  std::vector<ImageFile> files;         // the files built, when kept in memory only
  // What the user should also hear of a compile that succeeded: leftovers beside "bin" that could
  // not be removed.
  std::vector<std::string> notes;
};

// The positive bytes of every frame, one frame after the other (B bytes a frame), taken from the
// buffer line by line. A line's channels are its characters: an ASCII line is taken as it is, any
// other line is GBK (read as its bytes when it is not valid GBK).
class FrameBuilder {
 public:
  explicit FrameBuilder(long channels);
  int bytesPerFrame() const { return static_cast<int>(b_); }
  // A whole line. False when the line has more characters than the channels: the builder then
  // takes no more lines.
  bool add(std::string_view line);
  // A line that comes in pieces: every piece, then the end of the line (false when too long).
  void addPiece(std::string_view piece);
  bool endLine();
  bool tooLong() const { return tooLong_; }
  long frames() const { return frames_; }
  // The frames built, taken out of the builder.
  std::shared_ptr<const std::string> take();
  // Called with the index (from 0) of every frame as it is built.
  void onFrame(std::function<void(long frame)> progress) { progress_ = std::move(progress); }

 private:
  std::function<void(long frame)> progress_;
  std::size_t b_ = 0;
  std::size_t longest_ = 0;  // bytes a line can have and still fit
  std::string bytes_;
  std::string line_;  // the pieces of the line being taken
  bool lineOverflow_ = false;
  std::string positive_;
  long frames_ = 0;
  bool tooLong_ = false;
};

// The start of a compile's stage two: B and the report's list of files for `channels`; fails on a
// channel count outside 1 … kMaxCompileChannels.
ImageResult beginEpromImages(long channels, ChipLayout layout, const std::filesystem::path& projectDirectory);

// The images of the frames built (a builder that saw every line and no line too long): the chip
// options applied, and the files of this compile and the chip files it retires (those of the other
// layout, or of an earlier, larger compile) put into `set` as writers that make each file's bytes
// only when it is written, or into r.files when the chip options keep them in memory only. Fails
// on a buffer without any frame and on images too large for the chip.
void finishEpromImages(FrameBuilder& frames, ChipLayout layout, const ChipOptions& chip,
                       const std::filesystem::path& projectDirectory, ImageSet& set, ImageResult& r);

// Builds the image set of a buffer in memory: beginEpromImages, every line of the buffer, then
// finishEpromImages. Fails, leaving `set` empty, on a line too long for the channel count, on a
// channel count outside 1 … kMaxCompileChannels and on a buffer without any frame. `chip`: chip
// size, padding, HEX/S-record copies, checksums (ChipImage.h), applied to the finished images; the
// defaults build the images as they are.
ImageResult buildEpromImages(const ImageInput& input, ImageSet& set, const ChipOptions& chip = {});

// Publishes a built set into the project directory's "bin" (created when missing) as one change,
// filling in the checksums and notes of `r`; on failure `r` says why.
void publishEpromImages(const std::filesystem::path& projectDirectory, const ImageSet& set, ImageResult& r);

// buildEpromImages, then the set published into the project directory's "bin" (created when
// missing) as one change: the old images stay as they were unless every file of the new set is
// in place.
ImageResult writeEpromImages(const ImageInput& input, const ChipOptions& chip = {});

// One frame's bytes: the line padded with "_" to 8·B characters; a blank or "_" is dark, anything
// else lit. Returns false when the line is longer than 8·B characters.
bool frameBytes(std::string_view line, int bytes, std::string& positive);

}  // namespace lumafex::compiler
