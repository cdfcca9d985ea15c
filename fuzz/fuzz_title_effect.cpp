// The title effect parser: masks found for any step of any text, their channels, the accepted
// title; offsets stay inside the text.

#include <cstdlib>

#include "FuzzInput.h"
#include "core/design/TitleEffect.h"
#include "core/platform/TextCodec.h"

using namespace lumafex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::asText(data, size);
  const std::size_t characters = platform::utf8Length(text);
  for (long step : {1L, 2L, 3L, 12L, 100L, 65535L}) {
    if (const auto at = design::findMask(text, step)) {
      if (at->maskStart + at->maskLength > characters) std::abort();
      const std::string channels = design::maskChannels(at->mask);
      if (channels.size() != at->maskLength) std::abort();
      if (channels.find_first_not_of(" X") != std::string::npos) std::abort();
      for (std::size_t i = 0; i <= at->maskLength; ++i) (void)design::isLit(at->mask, i);
    }
  }
  (void)design::endsWithFirstStepMarker(text);
  const std::string title = design::acceptedTitle(text);
  if (design::acceptedTitle(title) != title) std::abort();
  return 0;
}
