#include "core/compiler/ChipImage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>
#include <set>

#include "core/platform/TextFile.h"

namespace lumafex::compiler {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSinglePositiveName = "单IC正.bin";
constexpr const char* kSingleInvertedName = "单IC反.bin";
constexpr std::string_view kPositivePrefix = "正";
constexpr std::string_view kInvertedPrefix = "反";
constexpr std::string_view kBinExtension = ".bin";

bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}
bool startsWith(std::string_view s, std::string_view head) {
  return s.substr(0, head.size()) == head;
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The chip number of "正i.bin" / "反i.bin", or 0 for another name.
int chipNumberOf(std::string_view name) {
  std::string_view rest;
  if (startsWith(name, kPositivePrefix)) {
    rest = name.substr(kPositivePrefix.size());
  } else if (startsWith(name, kInvertedPrefix)) {
    rest = name.substr(kInvertedPrefix.size());
  } else {
    return 0;
  }
  if (!endsWith(rest, kBinExtension)) return 0;
  rest.remove_suffix(kBinExtension.size());
  if (rest.empty() || rest.size() > 6 || rest[0] == '0') return 0;
  int n = 0;
  for (char c : rest) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

std::string hexDigits(std::uint32_t value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i) {
    out[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    value >>= 4;
  }
  return out;
}

// "00" … "FF": the two hex digits of every byte.
struct HexPairs {
  char text[512];
  constexpr HexPairs() : text() {
    constexpr char digits[] = "0123456789ABCDEF";
    for (std::size_t v = 0; v < 256; ++v) {
      text[2 * v] = digits[v >> 4];
      text[2 * v + 1] = digits[v & 0xF];
    }
  }
};
constexpr HexPairs kHexPairs;

// Record text is formatted into a buffer of this size and handed on when it is nearly full.
constexpr std::size_t kRecordBuffer = 1 << 16;
constexpr std::size_t kLongestRecord = 64;  // "S3" + 4 + 8 + 32 + 2 + CR LF, with room to spare

// Appends records to a fixed buffer and hands it to the sink when full.
class RecordWriter {
 public:
  explicit RecordWriter(platform::ByteSink& sink) : sink_(sink) {}
  // Room for one more record.
  char* record() {
    if (used_ + kLongestRecord > kRecordBuffer) flush();
    return buffer_ + used_;
  }
  void done(char* end) { used_ = static_cast<std::size_t>(end - buffer_); }
  bool flush() {
    if (used_ > 0 && ok_) ok_ = sink_.write(std::string_view(buffer_, used_));
    used_ = 0;
    return ok_;
  }

 private:
  platform::ByteSink& sink_;
  char buffer_[kRecordBuffer];
  std::size_t used_ = 0;
  bool ok_ = true;
};

inline char* pair(char* p, unsigned value, unsigned& sum) {
  value &= 0xFF;
  sum += value;
  const std::size_t at = std::size_t{2} * value;
  p[0] = kHexPairs.text[at];
  p[1] = kHexPairs.text[at + 1];
  return p + 2;
}

char* hexRecord(char* p, unsigned type, std::uint32_t address, std::string_view data) {
  unsigned sum = 0;
  *p++ = ':';
  p = pair(p, static_cast<unsigned>(data.size()), sum);
  p = pair(p, address >> 8, sum);
  p = pair(p, address, sum);
  p = pair(p, type, sum);
  for (char c : data) p = pair(p, static_cast<unsigned char>(c), sum);
  unsigned ignored = 0;
  p = pair(p, (0x100 - (sum & 0xFF)) & 0xFF, ignored);
  p[0] = '\r';
  p[1] = '\n';
  return p + 2;
}

char* sRecord(char* p, char type, int addressBytes, std::uint32_t address, std::string_view data) {
  unsigned sum = 0;
  *p++ = 'S';
  *p++ = type;
  p = pair(p, static_cast<unsigned>(static_cast<std::size_t>(addressBytes) + data.size() + 1), sum);
  for (int i = addressBytes - 1; i >= 0; --i) p = pair(p, address >> (8 * i), sum);
  for (char c : data) p = pair(p, static_cast<unsigned char>(c), sum);
  unsigned ignored = 0;
  p = pair(p, ~sum & 0xFF, ignored);
  p[0] = '\r';
  p[1] = '\n';
  return p + 2;
}

std::optional<unsigned> hexByte(std::string_view s, std::size_t at) {
  if (at + 2 > s.size()) return std::nullopt;
  unsigned v = 0;
  for (std::size_t i = at; i < at + 2; ++i) {
    const char c = s[i];
    v <<= 4;
    if (c >= '0' && c <= '9') {
      v |= static_cast<unsigned>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      v |= static_cast<unsigned>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'f') {
      v |= static_cast<unsigned>(c - 'a' + 10);
    } else {
      return std::nullopt;
    }
  }
  return v;
}

// The bytes of one record's hex text from `at` on; nullopt on a bad digit or an odd count.
std::optional<std::vector<unsigned>> recordBytes(std::string_view line, std::size_t at) {
  if ((line.size() - at) % 2 != 0) return std::nullopt;
  std::vector<unsigned> bytes;
  for (std::size_t i = at; i < line.size(); i += 2) {
    const auto b = hexByte(line, i);
    if (!b) return std::nullopt;
    bytes.push_back(*b);
  }
  return bytes;
}

// The largest image a read-back file may describe (a 27C080 and then some).
constexpr std::uint32_t kMaxReadBackBytes = std::uint32_t{16} * 1024 * 1024;

void place(std::string& image, std::uint32_t address, const std::vector<unsigned>& bytes, std::size_t from,
           std::size_t count) {
  if (image.size() < address + count) image.resize(address + count, static_cast<char>(0xFF));
  for (std::size_t i = 0; i < count; ++i) image[address + i] = static_cast<char>(bytes[from + i]);
}

}  // namespace

bool isImageName(std::string_view name) {
  return name == kSinglePositiveName || name == kSingleInvertedName || chipNumberOf(name) > 0;
}

const std::vector<Chip>& chipTable() {
  static const std::vector<Chip> table = {
      {"2716", 2u << 10},     {"2732", 4u << 10},      {"2764", 8u << 10},     {"27128", 16u << 10},
      {"27256", 32u << 10},   {"27512", 64u << 10},    {"27C010", 128u << 10}, {"27C020", 256u << 10},
      {"27C040", 512u << 10}, {"27C080", 1024u << 10},
  };
  return table;
}

std::optional<Chip> findChip(std::string_view name) {
  // Both spellings name the same chip: "27C" + number and "27" + number.
  auto plain = [](std::string s) {
    if (startsWith(s, "27C")) s.erase(2, 1);
    return s;
  };
  const std::string wanted = plain(upper(name));
  for (const Chip& chip : chipTable()) {
    if (plain(chip.name) == wanted) return chip;
  }
  return std::nullopt;
}

std::optional<Chip> smallestChipFor(std::size_t bytes) {
  for (const Chip& chip : chipTable()) {
    if (chip.bytes >= bytes) return chip;
  }
  return std::nullopt;
}

std::optional<Padding> paddingFromName(std::string_view name) {
  if (name == "off") return Padding::Off;
  if (name == "dark") return Padding::Dark;
  if (name == "repeat") return Padding::Repeat;
  return std::nullopt;
}

const char* paddingName(Padding padding) {
  switch (padding) {
    case Padding::Dark:
      return "dark";
    case Padding::Repeat:
      return "repeat";
    case Padding::Off:
      break;
  }
  return "off";
}

bool isInvertedImage(std::string_view name) {
  return name == kSingleInvertedName || startsWith(name, kInvertedPrefix);
}

std::string padImage(std::string image, std::size_t size, Padding padding, bool inverted) {
  if (padding == Padding::Off || image.size() >= size) return image;
  const std::size_t sequence = image.size();
  if (padding == Padding::Repeat && sequence > 0) {
    const std::size_t repetitions = size / sequence;
    image.reserve(size);
    for (std::size_t k = 1; k < repetitions; ++k) image.append(image.data(), sequence);
  }
  image.resize(size, inverted ? static_cast<char>(0xFF) : '\0');
  return image;
}

std::string capacityMessage(const std::string& file, std::size_t needed, const Chip& chip) {
  std::string m = "EPROM文件“" + file + "”需要 " + std::to_string(needed) + " 字节，超出芯片 " + chip.name +
                  " 的 " + std::to_string(chip.bytes) + " 字节。";
  if (const auto fit = smallestChipFor(needed)) {
    m += "能容纳它的最小芯片是 " + std::string(fit->name) + "（" + std::to_string(fit->bytes) + " 字节）。";
  } else {
    const Chip& largest = chipTable().back();
    m += "没有能容纳它的芯片（最大的 " + std::string(largest.name) + " 为 " + std::to_string(largest.bytes) +
         " 字节）。";
  }
  return m + "没有写入任何文件。";
}

ChipOutcome finishChipImages(const ChipOptions& options, std::vector<ImageFile> images) {
  ChipOutcome r;
  if (options.chip) {
    // Every image is checked before any is changed: a refusal writes nothing.
    for (const ImageFile& image : images) {
      if (image.bytes.size() > options.chip->bytes) {
        r.ok = false;
        r.message = capacityMessage(image.name, image.bytes.size(), *options.chip);
        return r;
      }
    }
  }
  for (ImageFile& image : images) {
    if (options.chip) {
      image.bytes =
          padImage(std::move(image.bytes), options.chip->bytes, options.padding, isInvertedImage(image.name));
    }
    std::string stem = image.name;
    if (endsWith(stem, kBinExtension)) stem.resize(stem.size() - kBinExtension.size());
    std::string hex = options.hex ? intelHex(image.bytes) : std::string();
    std::string srec = options.srec ? motorolaS(image.bytes) : std::string();
    r.files.push_back(std::move(image));
    if (options.hex) r.files.push_back({stem + kHexExtension, std::move(hex)});
    if (options.srec) r.files.push_back({stem + kSrecExtension, std::move(srec)});
  }
  if (options.checksums) {
    for (const ImageFile& file : r.files) r.checksums.push_back(checksumOf(file));
  }
  return r;
}

bool writeIntelHex(std::string_view bytes, platform::ByteSink& sink) {
  auto writer = std::make_unique<RecordWriter>(sink);
  std::uint32_t segment = 0;
  for (std::size_t at = 0; at < bytes.size(); at += 16) {
    const auto address = static_cast<std::uint32_t>(at);
    if ((address >> 16) != segment) {
      segment = address >> 16;
      const std::array<char, 2> upperAddress = {static_cast<char>(segment >> 8), static_cast<char>(segment)};
      writer->done(hexRecord(writer->record(), 0x04, 0, std::string_view(upperAddress.data(), 2)));
    }
    writer->done(hexRecord(writer->record(), 0x00, address & 0xFFFF, bytes.substr(at, 16)));
  }
  writer->done(hexRecord(writer->record(), 0x01, 0, {}));
  return writer->flush();
}

bool writeMotorolaS(std::string_view bytes, platform::ByteSink& sink) {
  auto writer = std::make_unique<RecordWriter>(sink);
  const int addressBytes = bytes.size() <= 0x10000 ? 2 : bytes.size() <= 0x1000000 ? 3 : 4;
  const char dataType = static_cast<char>('0' + addressBytes - 1);  // S1, S2, S3
  const char endType = static_cast<char>('0' + 11 - addressBytes);  // S9, S8, S7
  writer->done(sRecord(writer->record(), '0', 2, 0, {}));
  std::uint32_t records = 0;
  for (std::size_t at = 0; at < bytes.size(); at += 16) {
    writer->done(sRecord(writer->record(), dataType, addressBytes, static_cast<std::uint32_t>(at),
                         bytes.substr(at, 16)));
    ++records;
  }
  if (records <= 0xFFFF) {
    writer->done(sRecord(writer->record(), '5', 2, records, {}));
  } else {
    writer->done(sRecord(writer->record(), '6', 3, records, {}));
  }
  writer->done(sRecord(writer->record(), endType, addressBytes, 0, {}));
  return writer->flush();
}

std::string intelHex(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() / 16 * 45 + 32);
  platform::StringSink sink(out);
  writeIntelHex(bytes, sink);
  return out;
}

std::string motorolaS(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() / 16 * 46 + 48);
  platform::StringSink sink(out);
  writeMotorolaS(bytes, sink);
  return out;
}

std::optional<std::string> readIntelHex(std::string_view text) {
  std::string image;
  std::uint32_t base = 0;
  bool ended = false;
  bool any = false;
  bool failed = false;
  platform::forEachLine(text, [&](std::string_view line) {
    if (failed || ended) return;
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    if (line.empty()) return;
    if (line[0] != ':') {
      failed = true;
      return;
    }
    const auto b = recordBytes(line, 1);
    if (!b || b->size() < 5 || b->size() != (*b)[0] + 5u) {
      failed = true;
      return;
    }
    unsigned sum = 0;
    for (unsigned v : *b) sum += v;
    if ((sum & 0xFF) != 0) {
      failed = true;
      return;
    }
    any = true;
    const unsigned count = (*b)[0];
    const std::uint32_t offset = ((*b)[1] << 8) | (*b)[2];
    switch ((*b)[3]) {
      case 0x00: {
        const std::uint32_t address = base + offset;
        if (address + count > kMaxReadBackBytes) {
          failed = true;
          return;
        }
        place(image, address, *b, 4, count);
        break;
      }
      case 0x01:
        ended = true;
        break;
      case 0x02:  // extended segment address
        if (count != 2) failed = true;
        base = (((*b)[4] << 8) | (*b)[5]) << 4;
        break;
      case 0x04:
        if (count != 2) failed = true;
        base = (((*b)[4] << 8) | (*b)[5]) << 16;
        break;
      default:  // start addresses: nothing for an image
        break;
    }
  });
  if (failed || !any) return std::nullopt;
  return image;
}

std::optional<std::string> readMotorolaS(std::string_view text) {
  std::string image;
  bool failed = false;
  bool any = false;
  platform::forEachLine(text, [&](std::string_view line) {
    if (failed) return;
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    if (line.empty()) return;
    if (line.size() < 4 || (line[0] != 'S' && line[0] != 's')) {
      failed = true;
      return;
    }
    const auto b = recordBytes(line, 2);
    if (!b || b->empty() || b->size() != (*b)[0] + 1u) {
      failed = true;
      return;
    }
    unsigned sum = 0;
    for (unsigned v : *b) sum += v;
    if ((sum & 0xFF) != 0xFF) {
      failed = true;
      return;
    }
    any = true;
    const char type = line[1];
    if (type < '1' || type > '3') return;  // header, count and end records
    const std::size_t addressBytes = static_cast<std::size_t>(type - '0') + 1;
    if (b->size() < addressBytes + 2) {
      failed = true;
      return;
    }
    std::uint32_t address = 0;
    for (std::size_t i = 1; i <= addressBytes; ++i) address = (address << 8) | (*b)[i];
    const std::size_t count = b->size() - addressBytes - 2;
    if (address + count > kMaxReadBackBytes) {
      failed = true;
      return;
    }
    place(image, address, *b, 1 + addressBytes, count);
  });
  if (failed || !any) return std::nullopt;
  return image;
}

namespace {

// CRC-32 tables for eight bytes at a time: table k gives the CRC of a byte followed by k zeros.
struct CrcTables {
  std::array<std::array<std::uint32_t, 256>, 8> t{};
  CrcTables() {
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[0][n] = c;
    }
    for (std::uint32_t n = 0; n < 256; ++n) {
      for (std::size_t k = 1; k < 8; ++k) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    }
  }
};

std::uint32_t crcUpdate(std::uint32_t crc, std::string_view bytes) {
  static const CrcTables tables;
  const auto& t = tables.t;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  for (; n >= 8; n -= 8, p += 8) {
    const std::uint32_t lo = crc ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                    std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
    crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][p[4]] ^
          t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
  }
  for (; n > 0; --n, ++p) crc = t[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
  return crc;
}

std::uint64_t byteSum(std::string_view bytes) {
  std::uint64_t sum = 0;
  for (char c : bytes) sum += static_cast<unsigned char>(c);
  return sum;
}

}  // namespace

std::uint16_t byteSum16(std::string_view bytes) {
  return static_cast<std::uint16_t>(byteSum(bytes) & 0xFFFF);
}

std::uint32_t crc32(std::string_view bytes) {
  return crcUpdate(0xFFFFFFFFu, bytes) ^ 0xFFFFFFFFu;
}

void ChecksumAccumulator::add(std::string_view bytes) {
  sum_ += byteSum(bytes);
  crc_ = crcUpdate(crc_, bytes);
}

FileChecksum checksumOf(const ImageFile& file) {
  return {file.name, byteSum16(file.bytes), crc32(file.bytes)};
}

std::string checksumLine(const FileChecksum& c) {
  return c.name + " 0x" + hexDigits(c.sum, 4) + " 0x" + hexDigits(c.crc, 8);
}

std::vector<std::string> staleCopyNames(const fs::path& bin, const std::vector<ImageFile>& written,
                                        int firstRetired) {
  std::set<std::string> names;
  for (const ImageFile& f : written) names.insert(f.name);
  auto exists = [&](const std::string& name) {
    std::error_code ec;
    return fs::exists(bin / platform::pathFromUtf8(name), ec);
  };
  // The numbered chip images this compile retires: from firstRetired on, while they exist.
  std::set<std::string> retired;
  for (std::string_view prefix : {kPositivePrefix, kInvertedPrefix}) {
    for (int k = firstRetired;; ++k) {
      const std::string name = std::string(prefix) + std::to_string(k) + std::string(kBinExtension);
      if (!exists(name)) break;
      retired.insert(name);
    }
  }
  std::vector<std::string> stale;
  std::error_code ec;
  for (fs::directory_iterator it(bin, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = platform::pathToUtf8(it->path().filename());
    std::string stem;
    if (endsWith(name, kHexExtension)) {
      stem = name.substr(0, name.size() - std::string_view(kHexExtension).size());
    } else if (endsWith(name, kSrecExtension)) {
      stem = name.substr(0, name.size() - std::string_view(kSrecExtension).size());
    } else {
      continue;
    }
    const std::string image = stem + std::string(kBinExtension);
    if (!isImageName(image) || names.count(name)) continue;
    // Stale: its image is written now without it, or its image will be gone after this compile.
    if (names.count(image) || retired.count(image) || !exists(image)) stale.push_back(name);
  }
  return stale;
}

ImageComparison compareImage(const std::string& name, std::string_view expected, std::string_view actual,
                             int bytesPerStep, std::size_t sequenceBytes) {
  ImageComparison c;
  c.name = name;
  c.expectedBytes = expected.size();
  c.actualBytes = actual.size();
  const int chip = chipNumberOf(name);
  // A chip per 8 channels holds one byte a step; the single chip B bytes, channels in order.
  const std::size_t stepBytes = chip > 0 || bytesPerStep < 1 ? 1 : static_cast<std::size_t>(bytesPerStep);
  const int firstChannel = chip > 0 ? (chip - 1) * 8 + 1 : 1;
  const std::size_t common = std::min(expected.size(), actual.size());
  long lastStep = -1;
  for (std::size_t at = 0; at < common; ++at) {
    const unsigned diff = static_cast<unsigned char>(expected[at] ^ actual[at]);
    if (diff == 0) continue;
    const long step = static_cast<long>(at / stepBytes) + 1;
    if (step != lastStep) {
      ++c.differingSteps;
      lastStep = step;
      if (c.differences.size() < kMaxReportedFrames) {
        c.differences.push_back({step, {}, at >= sequenceBytes});
      }
    }
    if (c.differences.size() == static_cast<std::size_t>(c.differingSteps)) {
      const int group = static_cast<int>(at % stepBytes);
      for (int bit = 0; bit < 8; ++bit) {
        if (diff & (1u << bit)) c.differences.back().channels.push_back(firstChannel + group * 8 + bit);
      }
    }
  }
  return c;
}

std::string describeComparison(const ImageComparison& c) {
  if (c.identical()) return c.name + "：与编译结果相同\n";
  std::string out = c.name + "：与编译结果不同\n";
  if (c.actualBytes != c.expectedBytes) {
    out += "  文件长 " + std::to_string(c.actualBytes) + " 字节，应为 " + std::to_string(c.expectedBytes) +
           " 字节\n";
  }
  for (const FrameDifference& d : c.differences) {
    out += "  第 " + std::to_string(d.step) + " 步" + (d.padding ? "（填充部分）" : "") + "：路 ";
    for (std::size_t i = 0; i < d.channels.size(); ++i) {
      if (i > 0) out += "、";
      out += std::to_string(d.channels[i]);
    }
    out += "\n";
  }
  if (c.differingSteps > static_cast<long>(c.differences.size())) {
    out += "  共 " + std::to_string(c.differingSteps) + " 步不同\n";
  }
  return out;
}

std::optional<ReadBack> readBackOf(const std::string& fileName, std::string fileBytes) {
  const std::string lower = [&] {
    std::string s = fileName;
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
  }();
  auto stemOf = [&](std::string_view extension) {
    return fileName.substr(0, fileName.size() - extension.size());
  };
  if (endsWith(lower, kHexExtension)) {
    auto bytes = readIntelHex(fileBytes);
    if (!bytes) return std::nullopt;
    return ReadBack{stemOf(kHexExtension) + std::string(kBinExtension), std::move(*bytes)};
  }
  if (endsWith(lower, kSrecExtension) || endsWith(lower, ".srec") || endsWith(lower, ".mot")) {
    auto bytes = readMotorolaS(fileBytes);
    if (!bytes) return std::nullopt;
    const std::size_t dot = fileName.rfind('.');
    return ReadBack{fileName.substr(0, dot) + std::string(kBinExtension), std::move(*bytes)};
  }
  return ReadBack{fileName, std::move(fileBytes)};
}

}  // namespace lumafex::compiler
