#pragma once
// Stage two of a compile: the EPROM images. Every buffer line is a frame; 8 consecutive channels
// make a byte, the first channel being bit 0. The positive image ("正") has a bit set for every lit
// channel, the inverted image ("反") for every dark one. One chip holds all bytes of a frame in a
// row, or one chip per 8 channels holds one byte per frame.

#include <filesystem>
#include <functional>
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
  std::vector<FileChecksum> checksums;  // of every file written, when asked
  std::vector<ImageFile> files;         // the files built, when kept in memory only
};

// Builds the images in memory: the files of this compile and the chip files it retires (those of
// the other layout, or of an earlier, larger compile). Fails, leaving `set` empty, on a line too
// long for the channel count, on a channel count outside 1 … kMaxCompileChannels and on a buffer
// without any frame. `chip`: chip size, padding, HEX/S-record copies, checksums (ChipImage.h),
// applied to the finished images; the defaults build the images as they are.
ImageResult buildEpromImages(const ImageInput& input, ImageSet& set, const ChipOptions& chip = {});

// buildEpromImages, then the set published into the project directory's "bin" (created when
// missing) as one change: the old images stay as they were unless every file of the new set is
// in place.
ImageResult writeEpromImages(const ImageInput& input, const ChipOptions& chip = {});

// One frame's bytes: the line padded with "_" to 8·B characters; a blank or "_" is dark, anything
// else lit. Returns false when the line is longer than 8·B characters.
bool frameBytes(std::string_view line, int bytes, std::string& positive);

}  // namespace lumafex::compiler
