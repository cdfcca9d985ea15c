// The EPROM writers fed a random buffer: both layouts into a scratch project; every frame gives
// B bytes per chip and the inverted image is the complement of the positive one.

#include <cstdlib>

#include "FuzzInput.h"
#include "core/compiler/EpromImages.h"
#include "core/platform/TextFile.h"

using namespace lumafex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte is the channel count (0 … 255); the rest is the buffer.
  const long channels = data[0];
  const std::string_view buffer = fuzz::asText(data + 1, size - 1);
  const auto dir = fuzz::scratchDirectory();
  for (auto layout : {compiler::ChipLayout::Single, compiler::ChipLayout::PerEightChannels}) {
    compiler::ImageInput in;
    in.buffer = buffer;
    in.channels = channels;
    in.projectDirectory = dir;
    in.layout = layout;
    const compiler::ImageResult r = compiler::writeEpromImages(in);
    if (r.bytes != compiler::bytesPerFrame(channels)) std::abort();
    if (!r.ok) {
      if (r.message.empty()) std::abort();
      continue;
    }
    const auto bin = dir / compiler::kBinDirectory;
    const auto name = [&](bool positive, int chip) {
      if (layout == compiler::ChipLayout::Single)
        return platform::pathFromUtf8(positive ? compiler::kSinglePositive : compiler::kSingleInverted);
      return platform::pathFromUtf8(positive ? compiler::chipPositiveName(chip)
                                             : compiler::chipInvertedName(chip));
    };
    const int files = layout == compiler::ChipLayout::Single ? 1 : r.bytes;
    for (int chip = 1; chip <= files; ++chip) {
      const auto pos = platform::readBytes(bin / name(true, chip));
      const auto inv = platform::readBytes(bin / name(false, chip));
      if (!pos || !inv || pos->size() != inv->size()) std::abort();
      const std::size_t expected =
          static_cast<std::size_t>(r.frames) * (layout == compiler::ChipLayout::Single ? r.bytes : 1);
      if (pos->size() != expected) std::abort();
      for (std::size_t i = 0; i < pos->size(); ++i) {
        if (static_cast<unsigned char>((*pos)[i] ^ (*inv)[i]) != 0xFF) std::abort();
      }
    }
  }
  // One frame at a time, as the per-line check does it.
  std::string positive;
  platform::forEachLine(buffer, [&](std::string_view line) {
    (void)compiler::frameBytes(line, compiler::bytesPerFrame(channels), positive);
  });
  return 0;
}
