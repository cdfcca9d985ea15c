#include "core/compiler/EpromImages.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"

namespace lumafex::compiler {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHeader = "           -------------生成EPROM文件:-------------           ";

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

FrameBuilder::FrameBuilder(long channels) {
  const int b = compiler::bytesPerFrame(channels);
  b_ = b > 0 ? static_cast<std::size_t>(b) : 0;
  // A character is at most four bytes: a line longer than this has more characters than fit.
  longest_ = std::size_t{32} * b_;
}

bool FrameBuilder::add(std::string_view line) {
  if (tooLong_) return false;
  if (platform::isAscii(line)) {
    // Straight into the frames: no copy per frame.
    const std::size_t at = bytes_.size();
    bytes_.resize(at + b_);
    if (!asciiFrameBytesInto(line, b_, bytes_.data() + at)) {
      bytes_.resize(at);
      tooLong_ = true;
      return false;
    }
  } else {
    const auto decoded = platform::gbkToUtf8(line);
    if (!frameBytes(decoded ? std::string_view(*decoded) : line, static_cast<int>(b_), positive_)) {
      tooLong_ = true;
      return false;
    }
    bytes_ += positive_;
  }
  ++frames_;
  if (progress_) progress_(frames_ - 1);
  return true;
}

void FrameBuilder::addPiece(std::string_view piece) {
  if (lineOverflow_ || tooLong_) return;
  if (line_.size() + piece.size() > longest_) {
    // Certainly too long: known before the rest of the line is read.
    lineOverflow_ = true;
    tooLong_ = true;
    line_.clear();
    return;
  }
  line_.append(piece);
}

bool FrameBuilder::endLine() {
  const bool ok = !lineOverflow_ && add(line_);
  line_.clear();
  lineOverflow_ = false;
  return ok;
}

std::shared_ptr<const std::string> FrameBuilder::take() {
  auto frames = std::make_shared<const std::string>(std::move(bytes_));
  bytes_.clear();
  return frames;
}

ImageResult beginEpromImages(long channels, ChipLayout layout, const fs::path& projectDirectory) {
  ImageResult r;
  if (channels < 1 || channels > kMaxCompileChannels) {
    r.message = channelRangeMessage(channels, kMaxCompileChannels);
    return r;
  }
  r.bytes = bytesPerFrame(channels);
  const int b = r.bytes;
  const fs::path bin = projectDirectory / kBinDirectory;
  r.report = std::string(kHeader) + "\r\n";
  if (layout == ChipLayout::Single) {
    r.report += "每帧字节数＝" + std::to_string(b) + " 字节\r\n";
    r.report += fullPath(bin, kSinglePositive) + "\r\n" + fullPath(bin, kSingleInverted) + "\r\n\r\n";
  } else {
    for (int i = 1; i <= b; ++i) {
      r.report +=
          fullPath(bin, chipPositiveName(i)) + "\r\n" + fullPath(bin, chipInvertedName(i)) + "\r\n\r\n";
    }
  }
  return r;
}

namespace {

// The images of a compile made from its frames one at a time, padded to the chip: image 2i is
// the positive image of chip i (or of the single chip), 2i + 1 the inverted one. The image last
// made is kept, so that its HEX and S-record copies, written right after it, need not make it
// again.
class ImageMaker {
 public:
  ImageMaker(std::shared_ptr<const std::string> frames, std::size_t count, std::size_t b, ChipLayout layout,
             const ChipOptions& chip)
      : frames_(std::move(frames)), count_(count), b_(b), layout_(layout), chip_(chip) {}

  std::size_t imageBytes() const { return layout_ == ChipLayout::Single ? count_ * b_ : count_; }

  std::string_view image(std::size_t k) {
    if (k == made_) return view_;
    const bool inverted = k % 2 == 1;
    const bool pad = chip_.chip && chip_.padding != Padding::Off && imageBytes() < chip_.chip->bytes;
    if (inverted && made_ == k - 1 && view_.data() == buffer_.data()) {
      // The inverted image is the complement of the positive one, padding included.
      invert(buffer_);
    } else if (layout_ == ChipLayout::Single) {
      if (!inverted && !pad) {
        made_ = k;
        view_ = *frames_;
        return view_;
      }
      buffer_.assign(*frames_);
      if (inverted) invert(buffer_);
    } else {
      // Chip g holds byte g of every frame.
      const std::size_t g = k / 2;
      const unsigned char flip = inverted ? 0xFF : 0x00;
      buffer_.resize(count_);
      const char* f = frames_->data() + g;
      for (std::size_t i = 0; i < count_; ++i, f += b_) {
        buffer_[i] = static_cast<char>(static_cast<unsigned char>(*f) ^ flip);
      }
    }
    if (pad && buffer_.size() < chip_.chip->bytes) {
      buffer_ = padImage(std::move(buffer_), chip_.chip->bytes, chip_.padding, inverted);
    }
    made_ = k;
    view_ = buffer_;
    return view_;
  }

 private:
  // The complement of every byte, eight at a time.
  static void invert(std::string& bytes) {
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
      std::uint64_t w;
      std::memcpy(&w, bytes.data() + i, 8);
      w = ~w;
      std::memcpy(bytes.data() + i, &w, 8);
    }
    for (; i < bytes.size(); ++i) bytes[i] = static_cast<char>(~bytes[i]);
  }

  std::shared_ptr<const std::string> frames_;
  std::size_t count_;
  std::size_t b_;
  ChipLayout layout_;
  ChipOptions chip_;
  std::size_t made_ = static_cast<std::size_t>(-1);
  std::string buffer_;
  std::string_view view_;
};

}  // namespace

void finishEpromImages(FrameBuilder& builder, ChipLayout layout, const ChipOptions& chip,
                       const fs::path& projectDirectory, ImageSet& set, ImageResult& r) {
  set = {};
  r.ok = false;
  const long count = builder.frames();
  if (count == 0) {
    r.message = kNoStepsMessage;
    return;
  }
  const std::size_t b = static_cast<std::size_t>(builder.bytesPerFrame());
  r.frames = count;
  r.report += "\r\n\r\n总步数＝" + std::to_string(r.frames);

  std::vector<std::string> names;
  if (layout == ChipLayout::Single) {
    names = {kSinglePositive, kSingleInverted};
  } else {
    for (std::size_t i = 1; i <= b; ++i) {
      names.push_back(chipPositiveName(static_cast<int>(i)));
      names.push_back(chipInvertedName(static_cast<int>(i)));
    }
  }
  auto maker = std::make_shared<ImageMaker>(builder.take(), static_cast<std::size_t>(count), b, layout, chip);
  // Every image has the same size: the first one decides whether they fit the chip, before
  // anything is made.
  if (chip.chip && maker->imageBytes() > chip.chip->bytes) {
    r.message = capacityMessage(names.front(), maker->imageBytes(), *chip.chip);
    return;
  }
  auto stemOf = [](const std::string& name) { return name.substr(0, name.size() - 4); };  // without ".bin"

  if (chip.inMemoryOnly) {
    for (std::size_t k = 0; k < names.size(); ++k) {
      const std::string_view image = maker->image(k);
      r.files.push_back({names[k], std::string(image)});
      if (chip.hex) r.files.push_back({stemOf(names[k]) + kHexExtension, intelHex(image)});
      if (chip.srec) r.files.push_back({stemOf(names[k]) + kSrecExtension, motorolaS(image)});
    }
    if (chip.checksums) {
      for (const ImageFile& file : r.files) r.checksums.push_back(checksumOf(file));
    }
    r.ok = true;
    return;
  }

  std::vector<ImageFile> written;  // names only: what the stale copies are decided by
  for (std::size_t k = 0; k < names.size(); ++k) {
    set.add(names[k], [maker, k](platform::ByteSink& sink) { return sink.write(maker->image(k)); });
    written.push_back({names[k], {}});
    if (chip.hex) {
      set.add(stemOf(names[k]) + kHexExtension,
              [maker, k](platform::ByteSink& sink) { return writeIntelHex(maker->image(k), sink); });
      written.push_back({stemOf(names[k]) + kHexExtension, {}});
    }
    if (chip.srec) {
      set.add(stemOf(names[k]) + kSrecExtension,
              [maker, k](platform::ByteSink& sink) { return writeMotorolaS(maker->image(k), sink); });
      written.push_back({stemOf(names[k]) + kSrecExtension, {}});
    }
  }
  set.checksums = chip.checksums;
  const int firstRetired = layout == ChipLayout::PerEightChannels ? static_cast<int>(b) + 1 : 1;
  // HEX and S-record copies of an earlier compile would no longer match their images.
  set.retiredNames = staleCopyNames(projectDirectory / kBinDirectory, written, firstRetired);
  set.retired = {{"正", firstRetired}, {"反", firstRetired}};
  r.ok = true;
}

ImageResult buildEpromImages(const ImageInput& in, ImageSet& set, const ChipOptions& chipOptions) {
  set = {};
  ImageResult r = beginEpromImages(in.channels, in.layout, in.projectDirectory);
  if (!r.message.empty()) return r;
  FrameBuilder frames(in.channels);
  if (in.progress) frames.onFrame(in.progress);
  platform::forEachLine(in.buffer, [&](std::string_view line) { frames.add(line); });
  if (frames.tooLong()) {
    r.message = kTooLongMessage;
    r.frames = frames.frames();
    return r;
  }
  finishEpromImages(frames, in.layout, chipOptions, in.projectDirectory, set, r);
  return r;
}

void publishEpromImages(const fs::path& projectDirectory, const ImageSet& set, ImageResult& r) {
  PublishReport report;
  const Status published = publishImageSet(projectDirectory / kBinDirectory, set, &report);
  if (set.checksums) r.checksums = std::move(report.checksums);
  r.notes = std::move(report.notes);
  if (!published) {
    r.ok = false;
    r.message = published.error();
  }
}

ImageResult writeEpromImages(const ImageInput& in, const ChipOptions& chip) {
  ImageSet set;
  ImageResult r = buildEpromImages(in, set, chip);
  if (!r.ok || chip.inMemoryOnly) return r;
  publishEpromImages(in.projectDirectory, set, r);
  return r;
}

}  // namespace lumafex::compiler
