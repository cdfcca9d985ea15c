#include "core/compiler/ChipImport.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "core/platform/TextFile.h"

namespace lumafex::compiler {

namespace {

std::string lowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// The file name without its directory and its last extension.
std::string_view stemOf(std::string_view name) {
  if (const auto slash = name.rfind('/'); slash != std::string_view::npos) name.remove_prefix(slash + 1);
  if (const auto dot = name.rfind('.'); dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return name;
}

// The number the stem ends with, or 0 when it ends with no digit (or a number too large for a chip).
int trailingNumber(std::string_view stem) {
  std::size_t start = stem.size();
  while (start > 0 && stem[start - 1] >= '0' && stem[start - 1] <= '9') --start;
  if (start == stem.size() || stem.size() - start > 6) return 0;
  int n = 0;
  for (std::size_t i = start; i < stem.size(); ++i) n = n * 10 + (stem[i] - '0');
  return n;
}

bool allZero(const char* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] != 0) return false;
  }
  return true;
}

std::optional<Chip> chipOfSize(std::size_t bytes) {
  for (const Chip& chip : chipTable()) {
    if (chip.bytes == bytes) return chip;
  }
  return std::nullopt;
}

void complement(std::string& bytes) {
  for (char& c : bytes) c = static_cast<char>(~static_cast<unsigned char>(c));
}

// z[i]: how many frames from frame i on equal the frames from frame 0 on (z[0] = all of them).
std::vector<std::uint32_t> frameMatches(const std::string& image, std::size_t b, std::size_t frames) {
  std::vector<std::uint32_t> z(frames, 0);
  if (frames == 0) return z;
  z[0] = static_cast<std::uint32_t>(frames);
  const char* p = image.data();
  auto same = [&](std::size_t x, std::size_t y) { return std::memcmp(p + x * b, p + y * b, b) == 0; };
  std::size_t left = 0;
  std::size_t right = 0;  // [left, right): the match reaching furthest so far
  for (std::size_t i = 1; i < frames; ++i) {
    std::size_t k = 0;
    if (i < right) k = std::min<std::size_t>(right - i, z[i - left]);
    while (i + k < frames && same(k, i + k)) ++k;
    z[i] = static_cast<std::uint32_t>(k);
    if (i + k > right) {
      left = i;
      right = i + k;
    }
  }
  return z;
}

// The frames to keep of `frames` whole frames of a chip-sized image, and the padding they leave.
long dropPadding(const std::string& image, std::size_t b, std::size_t frames, DroppedPadding& padding) {
  // The last frame that lights anything.
  std::size_t lit = frames;  // none
  for (std::size_t f = frames; f-- > 0;) {
    if (!allZero(image.data() + f * b, b)) {
      lit = f;
      break;
    }
  }
  if (lit == frames) {
    // Nothing lit at all: one dark frame is the whole sequence.
    padding.kind = Padding::Dark;
    padding.darkFrames = static_cast<long>(frames) - 1;
    return 1;
  }
  // Repeat: the shortest sequence of p frames that stands on the chip r = frames ÷ p ≥ 2 times,
  // with nothing lit after the repetitions.
  const auto z = frameMatches(image, b, frames);
  for (std::size_t p = 1; p <= frames / 2; ++p) {
    const std::size_t r = frames / p;
    if (lit >= r * p) continue;
    if (z[p] >= (r - 1) * p) {
      padding.kind = Padding::Repeat;
      padding.repetitions = static_cast<long>(r);
      padding.darkFrames = static_cast<long>(frames - r * p);
      return static_cast<long>(p);
    }
  }
  if (lit + 1 < frames) {
    padding.kind = Padding::Dark;
    padding.darkFrames = static_cast<long>(frames - lit - 1);
  }
  return static_cast<long>(lit + 1);
}

std::string chipSizeText(std::size_t bytes) {
  std::string text = std::to_string(bytes) + " 字节";
  if (const auto chip = chipOfSize(bytes)) text += "（" + std::string(chip->name) + "）";
  return text;
}

}  // namespace

Result<ChipSource> chipSourceOf(const std::string& fileName, std::string fileBytes) {
  const std::string lower = lowerCase(fileName);
  const std::string shown = "“" + fileName + "”";
  if (fileBytes.size() > kMaxChipFileBytes) {
    return Result<ChipSource>::fail(shown + "太大（超过16MB），不是EPROM芯片文件。");
  }
  ChipSource source{fileName, {}};
  if (endsWith(lower, ".hex") || endsWith(lower, ".ihx")) {
    auto bytes = readIntelHex(fileBytes);
    if (!bytes) return Result<ChipSource>::fail(shown + "不是有效的 Intel HEX 文件。");
    source.bytes = std::move(*bytes);
  } else if (endsWith(lower, ".s19") || endsWith(lower, ".s28") || endsWith(lower, ".s37") ||
             endsWith(lower, ".srec") || endsWith(lower, ".mot")) {
    auto bytes = readMotorolaS(fileBytes);
    if (!bytes) return Result<ChipSource>::fail(shown + "不是有效的 Motorola S-record 文件。");
    source.bytes = std::move(*bytes);
  } else {
    source.bytes = std::move(fileBytes);
  }
  if (source.bytes.empty()) return Result<ChipSource>::fail(shown + "是空的，没有任何一步。");
  return Result<ChipSource>::ok(std::move(source));
}

Result<ChipSource> readChipFile(const std::filesystem::path& path) {
  const std::string shown = platform::pathToUtf8(path);
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    return Result<ChipSource>::fail("“" + shown + "”是目录，不是芯片文件。");
  }
  // A HEX text is about 2.8 times its bytes.
  auto bytes = platform::readBytes(path, kMaxChipFileBytes * 3);
  if (!bytes) return Result<ChipSource>::fail(bytes.error());
  auto source = chipSourceOf(platform::pathToUtf8(path.filename()), std::move(*bytes));
  if (!source) {
    // The message names the whole path.
    const std::string name = "“" + platform::pathToUtf8(path.filename()) + "”";
    std::string message = source.error();
    if (message.rfind(name, 0) == 0) message = "“" + shown + "”" + message.substr(name.size());
    return Result<ChipSource>::fail(message);
  }
  return source;
}

std::optional<bool> invertedByName(std::string_view fileName) {
  const std::string_view stem = stemOf(fileName);
  if (stem == "单IC正") return false;
  if (stem == "单IC反") return true;
  for (const auto& [prefix, inverted] : {std::pair{std::string_view("正"), false}, {"反", true}}) {
    if (stem.size() > prefix.size() && stem.substr(0, prefix.size()) == prefix && trailingNumber(stem) > 0 &&
        stem.size() - prefix.size() == std::to_string(trailingNumber(stem)).size()) {
      return inverted;
    }
  }
  return std::nullopt;
}

bool orderByChipNumber(std::vector<ChipSource>& chips) {
  const std::size_t n = chips.size();
  std::vector<int> numbers;
  std::vector<bool> seen(n + 1, false);
  for (const ChipSource& chip : chips) {
    const int k = trailingNumber(stemOf(chip.name));
    if (k < 1 || static_cast<std::size_t>(k) > n || seen[static_cast<std::size_t>(k)]) return false;
    seen[static_cast<std::size_t>(k)] = true;
    numbers.push_back(k);
  }
  if (std::is_sorted(numbers.begin(), numbers.end())) return false;
  std::vector<ChipSource> ordered(n);
  for (std::size_t i = 0; i < n; ++i) ordered[static_cast<std::size_t>(numbers[i] - 1)] = std::move(chips[i]);
  chips = std::move(ordered);
  return true;
}

std::optional<std::string> requestProblem(const ImportRequest& r) {
  if (r.chips.empty()) return std::string("没有芯片文件。");
  if (r.layout == ChipLayout::Single && r.chips.size() != 1) return std::string("单IC只读一个芯片文件。");
  const int chips = static_cast<int>(r.chips.size());
  if (r.layout == ChipLayout::Single && r.channels == 0) return std::string("请指定路数（--channels）。");
  if (r.layout == ChipLayout::PerEightChannels && r.channels == 0 && 8L * chips > kMaxImportChannels) {
    return std::to_string(chips) + " 个芯片有 " + std::to_string(8L * chips) + " 路，最多 " +
           std::to_string(kMaxImportChannels) + " 路（" + std::to_string(kMaxImportChannels / 8) +
           " 个芯片）。";
  }
  const int channels = r.channels != 0 ? r.channels : 8 * chips;
  if (channels < kMinImportChannels || channels > kMaxImportChannels) {
    return "路数 " + std::to_string(channels) + " 不正确，应在" + std::to_string(kMinImportChannels) + "到" +
           std::to_string(kMaxImportChannels) + "之间。";
  }
  if (r.layout == ChipLayout::PerEightChannels && bytesPerFrame(channels) != chips) {
    return std::to_string(channels) + " 路需要 " + std::to_string(bytesPerFrame(channels)) +
           " 个芯片（每8路一个），给出了 " + std::to_string(chips) + " 个。";
  }
  for (const ChipSource& chip : r.chips) {
    if (const auto inverted = invertedByName(chip.name); inverted && *inverted != r.inverted) {
      return "“" + chip.name + "”的文件名说它是" + (*inverted ? "反相" : "正相") + "芯片，请按" +
             (*inverted ? "反相读入（--inverted）。" : "正相读入（不加 --inverted）。");
    }
  }
  return std::nullopt;
}

Result<ImportedSequence> importChips(ImportRequest r) {
  if (const auto problem = requestProblem(r)) return Result<ImportedSequence>::fail(*problem);
  ImportedSequence s;
  s.layout = r.layout;
  s.chips = static_cast<int>(r.chips.size());
  s.channels = r.channels != 0 ? r.channels : 8 * s.chips;
  s.bytesPerFrame = bytesPerFrame(s.channels);
  s.inverted = r.inverted;
  s.keptPadding = r.keepPadding;
  s.fileBytes = r.chips.front().bytes.size();
  const std::size_t b = static_cast<std::size_t>(s.bytesPerFrame);

  for (const ChipSource& chip : r.chips) {
    if (chip.bytes.empty())
      return Result<ImportedSequence>::fail("“" + chip.name + "”是空的，没有任何一步。");
    if (chip.bytes.size() != s.fileBytes) {
      return Result<ImportedSequence>::fail("芯片文件长度不同：“" + r.chips.front().name + "”" +
                                            std::to_string(s.fileBytes) + " 字节，“" + chip.name + "”" +
                                            std::to_string(chip.bytes.size()) + " 字节。");
    }
  }

  // The frames, positive, B bytes each.
  std::string image;
  if (r.layout == ChipLayout::Single) {
    image = std::move(r.chips.front().bytes);
  } else {
    image.resize(s.fileBytes * b);
    for (std::size_t j = 0; j < b; ++j) {
      const char* chip = r.chips[j].bytes.data();
      char* out = image.data() + j;
      for (std::size_t f = 0; f < s.fileBytes; ++f, out += b) *out = chip[f];
    }
  }
  if (r.inverted) complement(image);

  const std::size_t frames = image.size() / b;
  const std::size_t part = image.size() % b;
  const std::optional<Chip> chip = chipOfSize(s.fileBytes);
  if (part != 0) {
    // Only a chip's padding may end in the middle of a frame, and padding is dark there.
    if (!chip || !allZero(image.data() + frames * b, part) || frames == 0) {
      return Result<ImportedSequence>::fail(
          "“" + r.chips.front().name + "”长 " + std::to_string(image.size()) + " 字节，不是每步 " +
          std::to_string(b) + " 字节（" + std::to_string(s.channels) + " 路）的整数步。");
    }
    s.padding.partBytes = part;
  }
  s.padding.chip = chip;
  s.frames = static_cast<long>(frames);
  if (chip && !r.keepPadding) s.frames = dropPadding(image, b, frames, s.padding);
  image.resize(static_cast<std::size_t>(s.frames) * b);

  // Every lit channel must lie within the channel count: what lies beyond it would be lost.
  const int spare = 8 * s.bytesPerFrame - s.channels;
  if (spare > 0) {
    const auto mask = static_cast<unsigned char>(0xFF << (8 - spare));
    const char* last = image.data() + b - 1;
    for (long f = 0; f < s.frames; ++f, last += b) {
      const auto beyond = static_cast<unsigned char>(static_cast<unsigned char>(*last) & mask);
      if (beyond == 0) continue;
      int bit = 8 - spare;
      while (!(beyond & (1u << bit))) ++bit;
      const int channel = 8 * (s.bytesPerFrame - 1) + bit + 1;
      return Result<ImportedSequence>::fail("第 " + std::to_string(f + 1) + " 步点亮了第 " +
                                            std::to_string(channel) + " 路，超出了路数 " +
                                            std::to_string(s.channels) + "。");
    }
  }
  s.frameBytes = std::move(image);
  return Result<ImportedSequence>::ok(std::move(s));
}

std::vector<WidthSuggestion> likelyWidths(std::string_view bytes, bool inverted, std::size_t most) {
  std::string image(bytes);
  if (inverted) complement(image);
  const bool chipSized = chipOfSize(image.size()).has_value();
  struct Candidate {
    WidthSuggestion width;
    // The lamps that change from one frame to the next, against the lamps lit in both: a sign's
    // frames follow each other smoothly only when they are cut at their real width.
    double change = 1;
  };
  std::vector<Candidate> candidates;
  // litBefore[k]: the lamps lit in the first k bytes.
  std::vector<std::size_t> litBefore(image.size() + 1, 0);
  for (std::size_t k = 0; k < image.size(); ++k) {
    litBefore[k + 1] =
        litBefore[k] + static_cast<std::size_t>(std::popcount(static_cast<unsigned char>(image[k])));
  }
  const int widest = bytesPerFrame(kMaxImportChannels);
  for (int bb = 1; bb <= widest; ++bb) {
    const auto b = static_cast<std::size_t>(bb);
    const std::size_t frames = image.size() / b;
    const std::size_t part = image.size() % b;
    if (frames == 0) break;
    if (part != 0 && (!chipSized || !allZero(image.data() + frames * b, part))) continue;
    const std::size_t n = frames * b;
    const auto* p = reinterpret_cast<const unsigned char*>(image.data());
    // Lamps changed between the byte and the same byte a frame before, eight bytes at a time.
    std::size_t changed = 0;
    std::size_t i = b;
    for (; i + 8 <= n; i += 8) {
      std::uint64_t now;
      std::uint64_t before;
      std::memcpy(&now, p + i, 8);
      std::memcpy(&before, p + i - b, 8);
      changed += static_cast<std::size_t>(std::popcount(now ^ before));
    }
    for (; i < n; ++i)
      changed += static_cast<std::size_t>(std::popcount(static_cast<unsigned>(p[i] ^ p[i - b])));
    // Lamps lit in the later and in the earlier byte of every pair.
    const std::size_t lamps = (litBefore[n] - litBefore[b]) + litBefore[n - b];
    // The highest channel lit: the last byte of a frame that lights anything.
    int highest = 0;
    for (std::size_t j = b; j-- > 0 && highest == 0;) {
      unsigned column = 0;
      for (std::size_t at = j; at < n; at += b) column |= p[at];
      if (column != 0) highest = static_cast<int>(8 * j) + std::bit_width(column);
    }
    const int channels = std::max({highest, 8 * bb - 7, kMinImportChannels});
    if (channels > kMaxImportChannels) continue;
    const double change = lamps > 0 ? static_cast<double>(changed) / static_cast<double>(lamps) : 1;
    candidates.push_back({{channels, bb, static_cast<long>(frames)}, change});
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& x, const Candidate& y) { return x.change < y.change; });
  std::vector<WidthSuggestion> out;
  for (const Candidate& c : candidates) {
    if (out.size() >= most) break;
    out.push_back(c.width);
  }
  return out;
}

std::string describeWidths(const std::vector<WidthSuggestion>& widths, bool commandLine) {
  if (widths.empty()) return "没有合适的路数：文件长度不是任何每步字节数的整数倍。";
  std::string text = "可能的路数：";
  for (std::size_t i = 0; i < widths.size(); ++i) {
    if (i > 0) text += "、";
    text += commandLine ? "--channels " + std::to_string(widths[i].channels)
                        : std::to_string(widths[i].channels) + " 路";
    text += "（每步" + std::to_string(widths[i].bytesPerFrame) + "字节，" + std::to_string(widths[i].frames) +
            "步）";
  }
  return text;
}

std::string describeImport(const ImportedSequence& s) {
  std::string text = "读入（read）：";
  if (s.layout == ChipLayout::Single) {
    text += "单IC，每步 " + std::to_string(s.bytesPerFrame) + " 字节";
  } else {
    text += "每8路一IC，" + std::to_string(s.chips) + " 个芯片";
    if (s.reordered) text += "（按文件名中的序号排列）";
  }
  text += s.inverted ? "，反相\n" : "，正相\n";
  text += "芯片（chips）：" + std::to_string(s.chips) + " 个，每个 " + chipSizeText(s.fileBytes) + "\n";
  text += "路数（channels）：" + std::to_string(s.channels) + "\n";
  text += "步数（frames）：" + std::to_string(s.frames) + "\n";
  text += "去掉的填充（padding dropped）：";
  const DroppedPadding& p = s.padding;
  const std::string part =
      p.partBytes > 0 ? "，末尾不足一步的 " + std::to_string(p.partBytes) + " 字节全灭" : "";
  switch (p.kind) {
    case Padding::Repeat:
      text += "repeat，序列在芯片上重复 " + std::to_string(p.repetitions) + " 遍，之后 " +
              std::to_string(p.darkFrames) + " 步全灭" + part;
      break;
    case Padding::Dark:
      text += "dark，最后点亮的一步之后 " + std::to_string(p.darkFrames) + " 步全灭" + part;
      break;
    case Padding::Off:
      if (p.partBytes > 0) {
        text += "末尾不足一步的 " + std::to_string(p.partBytes) + " 字节全灭";
      } else {
        text += s.keptPadding && p.chip ? "无（保留填充）" : "无";
      }
      break;
  }
  return text + "\n";
}

std::string sequenceText(const ImportedSequence& s) {
  static const auto table = [] {
    std::array<std::array<char, 8>, 256> t{};
    for (unsigned v = 0; v < 256; ++v) {
      for (unsigned k = 0; k < 8; ++k) t[v][k] = (v >> k) & 1 ? 'X' : ' ';
    }
    return t;
  }();
  const auto n = static_cast<std::size_t>(s.channels);
  const auto b = static_cast<std::size_t>(s.bytesPerFrame);
  const auto frames = static_cast<std::size_t>(s.frames);
  std::string text(frames * (n + 2), ' ');
  char* out = text.data();
  const auto* in = reinterpret_cast<const unsigned char*>(s.frameBytes.data());
  for (std::size_t f = 0; f < frames; ++f, in += b) {
    for (std::size_t j = 0; j < b; ++j) {
      const std::size_t count = std::min<std::size_t>(8, n - 8 * j);
      std::memcpy(out + 8 * j, table[in[j]].data(), count);
    }
    out += n;
    *out++ = '\r';
    *out++ = '\n';
  }
  return text;
}

}  // namespace lumafex::compiler
