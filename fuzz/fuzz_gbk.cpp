// The GBK decoder and encoder: any bytes are decoded or refused; what decodes encodes again and
// decodes to the same text; the character helpers stay inside the text.

#include <cstdlib>

#include "FuzzInput.h"
#include "core/platform/TextCodec.h"

using namespace lumafex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzz::asText(data, size);
  if (auto text = platform::gbkToUtf8(bytes)) {
    auto again = platform::utf8ToGbk(*text);
    if (!again) std::abort();
    auto back = platform::gbkToUtf8(*again);
    if (!back || *back != *text) std::abort();
  }
  // The same bytes taken as UTF-8.
  (void)platform::utf8ToGbk(bytes);
  const std::size_t length = platform::utf8Length(bytes);
  std::size_t count = 0;
  for (std::size_t at = 0; at < bytes.size(); ++count) {
    const std::size_t before = at;
    platform::utf8Char(bytes, at);
    if (at <= before || at > bytes.size()) std::abort();
  }
  if (count != length) std::abort();
  bool high = false;
  for (char c : bytes) high |= static_cast<unsigned char>(c) >= 0x80;
  if (platform::isAscii(bytes) == high) std::abort();
  const std::string kept = platform::doubleByteCharacters(bytes);
  if (kept.size() > bytes.size()) std::abort();
  return 0;
}
