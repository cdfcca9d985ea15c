#include "core/platform/TextCodec.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace lumafex::platform {

namespace {

constexpr const char* kCodePage = "CP936";

// iconv_open's failure value.
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != kNoConverter) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts everything or stops at the first byte it cannot convert; `failedAt` tells where.
  bool run(std::string_view in, std::string& out, std::size_t& failedAt) {
    if (cd_ == kNoConverter) {
      failedAt = 0;
      return false;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // a fresh start after an earlier failure
    out.clear();
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t produced = 0;
    while (srcLeft > 0) {
      char* dst = out.data() + produced;
      std::size_t dstLeft = out.size() - produced;
      const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      produced = out.size() - dstLeft;
      if (r != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      failedAt = in.size() - srcLeft;
      return false;
    }
    out.resize(produced);
    return true;
  }

  iconv_t handle() {
    if (cd_ != kNoConverter) iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return cd_;
  }

 private:
  iconv_t cd_;
};

// Opening a converter costs far more than converting a line, so each thread keeps one of each
// direction open for all its conversions.
Converter& decoder() {
  static thread_local Converter conv("UTF-8", kCodePage);
  return conv;
}
Converter& encoder() {
  static thread_local Converter conv(kCodePage, "UTF-8");
  return conv;
}

std::string hexByte(unsigned char c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", c);
  return buf;
}

}  // namespace

Result<std::string> gbkToUtf8(std::string_view gbk) {
  Converter& conv = decoder();
  std::string out;
  std::size_t at = 0;
  if (conv.run(gbk, out, at)) return Result<std::string>::ok(std::move(out));
  const std::string byte = at < gbk.size() ? hexByte(static_cast<unsigned char>(gbk[at])) : "end";
  return Result<std::string>::fail("不是有效的GBK文字：第" + std::to_string(at + 1) + "字节（" + byte + "）");
}

Result<std::string> utf8ToGbk(std::string_view utf8) {
  Converter& conv = encoder();
  std::string out;
  std::size_t at = 0;
  if (conv.run(utf8, out, at)) return Result<std::string>::ok(std::move(out));
  std::size_t offset = at;
  const std::string_view ch = offset < utf8.size() ? utf8Char(utf8, offset) : std::string_view();
  return Result<std::string>::fail("字符“" + std::string(ch) + "”不能用GBK保存");
}

std::string_view utf8Char(std::string_view utf8, std::size_t& offset) {
  const std::size_t start = offset;
  const auto lead = static_cast<unsigned char>(utf8[offset]);
  std::size_t len = 1;
  if (lead >= 0xF0) {
    len = 4;
  } else if (lead >= 0xE0) {
    len = 3;
  } else if (lead >= 0xC0) {
    len = 2;
  }
  std::size_t k = 1;
  while (k < len && start + k < utf8.size() && (static_cast<unsigned char>(utf8[start + k]) & 0xC0) == 0x80) {
    ++k;
  }
  offset = start + k;
  return utf8.substr(start, k);
}

namespace {
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// The length of the run of ASCII bytes at the start of the text, found eight bytes at a time.
std::size_t asciiPrefix(std::string_view text) {
  const char* p = text.data();
  const std::size_t n = text.size();
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    if (w & kHighBits) break;
  }
  while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
  return i;
}
}  // namespace

std::size_t utf8Length(std::string_view utf8) {
  std::size_t n = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const std::size_t ascii = asciiPrefix(utf8.substr(i));
    n += ascii;
    i += ascii;
    if (i < utf8.size()) {
      utf8Char(utf8, i);
      ++n;
    }
  }
  return n;
}

void Utf8Counter::add(std::string_view piece) {
  std::size_t i = 0;
  while (pending_ > 0 && i < piece.size() && (static_cast<unsigned char>(piece[i]) & 0xC0) == 0x80) {
    ++i;
    --pending_;
  }
  if (i == piece.size()) return;
  const std::string_view rest = piece.substr(i);
  count_ += utf8Length(rest);
  // How many continuation bytes the last character still takes from the next piece.
  std::size_t j = rest.size();
  int following = 0;
  while (j > 0 && following < 3 && (static_cast<unsigned char>(rest[j - 1]) & 0xC0) == 0x80) {
    --j;
    ++following;
  }
  pending_ = 0;
  if (j == 0) return;
  const auto lead = static_cast<unsigned char>(rest[j - 1]);
  if ((lead & 0xC0) == 0x80) return;  // continuation bytes of a character that is complete
  const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (following < length - 1) pending_ = length - 1 - following;
}

bool isAscii(std::string_view text) {
  const char* p = text.data();
  const std::size_t n = text.size();
  std::size_t i = 0;
  std::uint64_t any = 0;
  for (; i + 32 <= n; i += 32) {
    std::uint64_t w[4];
    std::memcpy(w, p + i, 32);
    any |= w[0] | w[1] | w[2] | w[3];
  }
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    any |= w;
  }
  if (any & kHighBits) return false;
  unsigned char rest = 0;
  for (; i < n; ++i) rest |= static_cast<unsigned char>(p[i]);
  return rest < 0x80;
}

bool isDoubleByte(std::string_view utf8Character) {
  if (utf8Character.empty()) return false;
  const auto encoded = utf8ToGbk(utf8Character);
  // A character GBK cannot hold would become a one-byte "?" on disk: it is not accepted either.
  return encoded && encoded->size() >= 2;
}

std::string doubleByteCharacters(std::string_view utf8) {
  // One conversion of the whole text through a small output buffer: every character converts to
  // one GBK character, one byte below 0x81 (ASCII, the euro sign 0x80) or a lead byte and a trail
  // byte. A character GBK cannot hold stops the converter; it is skipped and the conversion goes
  // on from the next one. Linear in the text, whatever it holds.
  std::string out;
  const iconv_t cd = encoder().handle();
  if (cd == kNoConverter) return out;
  char buffer[4096];
  char* src = const_cast<char*>(utf8.data());
  std::size_t srcLeft = utf8.size();
  std::size_t u = 0;  // the next character not yet matched with its GBK bytes
  while (srcLeft > 0) {
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    const int err = r == static_cast<std::size_t>(-1) ? errno : 0;
    const std::size_t consumed = utf8.size() - srcLeft;
    std::size_t g = 0;
    const std::size_t produced = static_cast<std::size_t>(dst - buffer);
    while (u < consumed) {
      const std::string_view ch = utf8Char(utf8, u);
      const bool two = g < produced && static_cast<unsigned char>(buffer[g]) >= 0x81;
      g += two ? 2 : 1;
      if (two) out.append(ch.data(), ch.size());
    }
    if (err == 0 || err == E2BIG) continue;
    // EILSEQ or EINVAL: the character at u cannot be held; skip it.
    std::size_t next = u;
    utf8Char(utf8, next);
    src = const_cast<char*>(utf8.data()) + next;
    srcLeft = utf8.size() - next;
    u = next;
  }
  return out;
}

}  // namespace lumafex::platform
