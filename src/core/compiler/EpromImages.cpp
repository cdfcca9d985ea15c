#include "core/compiler/EpromImages.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"

namespace lumafex::compiler {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHeader = "           -------------生成EPROM文件:-------------           ";

// One image of the set being built.
struct PendingImage {
  std::string name;
  std::string bytes;
};

std::string fullPath(const fs::path& bin, const std::string& name) {
  return platform::pathToUtf8(bin / platform::pathFromUtf8(name));
}

}  // namespace

std::string channelRangeMessage(long channels, long most) {
  return "路数“" + std::to_string(channels) + "”超出范围，应在1到" + std::to_string(most) + "之间。";
}

std::string chipPositiveName(int chip) {
  return "正" + std::to_string(chip) + ".bin";
}
std::string chipInvertedName(int chip) {
  return "反" + std::to_string(chip) + ".bin";
}

int bytesPerFrame(long c) {
  const long b = c % 8 == 0 ? c / 8 : c / 8 + 1;
  return static_cast<int>(std::clamp(b, static_cast<long>(INT_MIN), static_cast<long>(INT_MAX)));
}

namespace {

// Byte k of the 8 characters at p gives bit k: set unless the character is a blank or "_".
unsigned litBits8(const char* p) {
  std::uint64_t x;
  std::memcpy(&x, p, 8);
  constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL;
  constexpr std::uint64_t high = 0x8080808080808080ULL;
  auto zeroBytes = [](std::uint64_t v) { return ~(((v & low7) + low7) | v) & high; };
  const std::uint64_t dark = zeroBytes(x ^ 0x2020202020202020ULL) | zeroBytes(x ^ 0x5F5F5F5F5F5F5F5FULL);
  const std::uint64_t lit = (~dark & high) >> 7;  // one bit at the bottom of every lit byte
  return static_cast<unsigned>((lit * 0x0102040810204080ULL) >> 56);
}

// frameBytes for a line of one-byte characters, into the B bytes at `out`.
bool asciiFrameBytesInto(std::string_view line, std::size_t bytes, char* out) {
  if (bytes > 0) std::memset(out, 0, bytes);
  if (line.size() > bytes * 8) return false;
  const char* p = line.data();
  std::size_t k = 0;
  for (; k + 8 <= line.size(); k += 8) out[k / 8] = static_cast<char>(litBits8(p + k));
  for (; k < line.size(); ++k) {
    if (line[k] != ' ' && line[k] != '_') out[k / 8] = static_cast<char>(out[k / 8] | (1 << (k % 8)));
  }
  return true;
}

bool asciiFrameBytes(std::string_view line, int bytes, std::string& positive) {
  const std::size_t b = bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
  positive.resize(b);
  return asciiFrameBytesInto(line, b, positive.data());
}

// The complement of every byte, eight at a time.
std::string inverted(std::string_view bytes) {
  std::string out(bytes.size(), '\0');
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, bytes.data() + i, 8);
    w = ~w;
    std::memcpy(out.data() + i, &w, 8);
  }
  for (; i < bytes.size(); ++i) out[i] = static_cast<char>(~bytes[i]);
  return out;
}
}  // namespace

bool frameBytes(std::string_view line, int bytes, std::string& positive) {
  if (platform::isAscii(line)) return asciiFrameBytes(line, bytes, positive);
  const std::size_t width = bytes > 0 ? static_cast<std::size_t>(bytes) * 8 : 0;
  positive.assign(bytes > 0 ? static_cast<std::size_t>(bytes) : 0, '\0');
  std::size_t k = 0;
  for (std::size_t offset = 0; offset < line.size(); ++k) {
    const std::string_view ch = platform::utf8Char(line, offset);
    if (k >= width) return false;
    const bool dark = ch == " " || ch == "_";
    if (!dark) positive[k / 8] = static_cast<char>(positive[k / 8] | (1 << (k % 8)));
  }
  return true;
}

ImageResult buildEpromImages(const ImageInput& in, ImageSet& set, const ChipOptions& chipOptions) {
  ImageResult r;
  set = {};
  if (in.channels < 1 || in.channels > kMaxCompileChannels) {
    r.message = channelRangeMessage(in.channels, kMaxCompileChannels);
    return r;
  }
  r.bytes = bytesPerFrame(in.channels);
  const int b = r.bytes;
  const fs::path bin = in.projectDirectory / kBinDirectory;

  r.report = std::string(kHeader) + "\r\n";
  std::vector<PendingImage> images;
  if (in.layout == ChipLayout::Single) {
    r.report += "每帧字节数＝" + std::to_string(b) + " 字节\r\n";
    images.push_back({kSinglePositive, {}});
    images.push_back({kSingleInverted, {}});
    r.report += fullPath(bin, kSinglePositive) + "\r\n" + fullPath(bin, kSingleInverted) + "\r\n\r\n";
  } else {
    for (int i = 1; i <= b; ++i) {
      images.push_back({chipPositiveName(i), {}});
      images.push_back({chipInvertedName(i), {}});
      r.report +=
          fullPath(bin, chipPositiveName(i)) + "\r\n" + fullPath(bin, chipInvertedName(i)) + "\r\n\r\n";
    }
  }

  // The buffer is GBK text; its channels are characters.
  std::string decodedText;
  std::string_view text = in.buffer;
  const bool ascii = platform::isAscii(text);
  if (!ascii) {
    auto decoded = platform::gbkToUtf8(in.buffer);
    if (decoded) decodedText = std::move(*decoded);
    if (decoded) text = decodedText;
  }
  const std::size_t bb = b > 0 ? static_cast<std::size_t>(b) : 0;
  std::string positive;
  std::string frames;  // the positive bytes of every frame, frame after frame
  frames.reserve(text.size() / 8 + 64);
  long frame = 0;
  bool tooLong = false;
  platform::forEachLine(text, [&](std::string_view line) {
    if (tooLong) return;
    if (ascii) {
      // Straight into the frame buffer: no copy per frame.
      const std::size_t at = frames.size();
      frames.resize(at + bb);
      if (!asciiFrameBytesInto(line, bb, frames.data() + at)) {
        frames.resize(at);
        tooLong = true;
        return;
      }
    } else {
      if (!frameBytes(line, b, positive)) {
        tooLong = true;
        return;
      }
      frames += positive;
    }
    if (in.progress) in.progress(frame);
    ++frame;
  });
  if (tooLong) {
    r.ok = false;
    r.message = kTooLongMessage;
    r.frames = frame;
    return r;
  }
  if (frame == 0) {
    r.ok = false;
    r.message = kNoStepsMessage;
    return r;
  }

  if (in.layout == ChipLayout::Single) {
    images[1].bytes = inverted(frames);
    images[0].bytes = std::move(frames);
  } else {
    // Chip g holds byte g of every frame: both polarities of every chip in one pass over the frames.
    const std::size_t count = static_cast<std::size_t>(frame);
    std::vector<char*> pos(bb), inv(bb);
    for (std::size_t g = 0; g < bb; ++g) {
      images[2 * g].bytes.resize(count);
      images[2 * g + 1].bytes.resize(count);
      pos[g] = images[2 * g].bytes.data();
      inv[g] = images[2 * g + 1].bytes.data();
    }
    const char* f = frames.data();
    for (std::size_t k = 0; k < count; ++k, f += bb) {
      for (std::size_t g = 0; g < bb; ++g) {
        pos[g][k] = f[g];
        inv[g][k] = static_cast<char>(~f[g]);
      }
    }
  }
  r.frames = in.layout == ChipLayout::Single ? (b > 0 ? static_cast<long>(images[0].bytes.size()) / b : 0)
                                             : (b > 0 ? static_cast<long>(images[0].bytes.size()) : 0);
  r.report += "\r\n\r\n总步数＝" + std::to_string(r.frames);

  const int firstRetired = in.layout == ChipLayout::PerEightChannels ? b + 1 : 1;
  std::vector<ImageFile> named;
  for (auto& image : images) named.push_back({std::move(image.name), std::move(image.bytes)});
  // The chip options apply to the finished images, before anything is written.
  if (chipOptions.active()) {
    ChipOutcome chip = finishChipImages(chipOptions, std::move(named));
    if (!chip.ok) {
      r.message = chip.message;
      return r;
    }
    r.checksums = std::move(chip.checksums);
    if (chipOptions.inMemoryOnly) {
      r.files = std::move(chip.files);
      r.ok = true;
      return r;
    }
    named = std::move(chip.files);
  }
  // HEX and S-record copies of an earlier compile would no longer match their images.
  set.retiredNames = staleCopyNames(in.projectDirectory / kBinDirectory, named, firstRetired);
  for (auto& file : named) set.add(std::move(file.name), std::move(file.bytes));
  set.retired = {{"正", firstRetired}, {"反", firstRetired}};
  r.ok = true;
  return r;
}

ImageResult writeEpromImages(const ImageInput& in, const ChipOptions& chip) {
  ImageSet set;
  ImageResult r = buildEpromImages(in, set, chip);
  if (!r.ok || chip.inMemoryOnly) return r;
  if (auto s = publishImageSet(in.projectDirectory / kBinDirectory, set); !s) {
    r.ok = false;
    r.message = s.error();
  }
  return r;
}

}  // namespace lumafex::compiler
