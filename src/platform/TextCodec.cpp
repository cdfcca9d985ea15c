#include "platform/TextCodec.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

namespace lumafex::platform {

namespace {

constexpr const char* kCodePage = "CP936";

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts everything or stops at the first byte it cannot convert; `failedAt` tells where.
  bool run(std::string_view in, std::string& out, std::size_t& failedAt) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      failedAt = 0;
      return false;
    }
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

 private:
  iconv_t cd_;
};

std::string hexByte(unsigned char c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", c);
  return buf;
}

}  // namespace

Result<std::string> gbkToUtf8(std::string_view gbk) {
  Converter conv("UTF-8", kCodePage);
  std::string out;
  std::size_t at = 0;
  if (conv.run(gbk, out, at)) return Result<std::string>::ok(std::move(out));
  const std::string byte = at < gbk.size() ? hexByte(static_cast<unsigned char>(gbk[at])) : "end";
  return Result<std::string>::fail("不是有效的GBK文字：第" + std::to_string(at + 1) + "字节（" + byte + "）");
}

Result<std::string> utf8ToGbk(std::string_view utf8) {
  Converter conv(kCodePage, "UTF-8");
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

std::size_t utf8Length(std::string_view utf8) {
  std::size_t n = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      ++i;
    } else {
      utf8Char(utf8, i);
    }
    ++n;
  }
  return n;
}

bool isAscii(std::string_view text) {
  unsigned char any = 0;
  for (char c : text) any |= static_cast<unsigned char>(c);
  return any < 0x80;
}

bool isDoubleByte(std::string_view utf8Character) {
  if (utf8Character.empty()) return false;
  const auto encoded = utf8ToGbk(utf8Character);
  // A character GBK cannot hold would become a one-byte "?" on disk: it is not accepted either.
  return encoded && encoded->size() >= 2;
}

}  // namespace lumafex::platform
