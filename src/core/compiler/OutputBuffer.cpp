#include "core/compiler/OutputBuffer.h"

#include <cmath>
#include <cstdio>

#include "core/design/ProjectRecord.h"
#include "core/design/TitleEffect.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"

namespace lumafex::compiler {

namespace {
// A whole number from a real one, held at the ends of long's range (a label may show any number).
long saturated(double v) {
  constexpr double top = 9.2e18;  // below LONG_MAX, which a double does not hold exactly
  if (!(v == v)) return 0;
  if (v >= top) return static_cast<long>(top);
  if (v <= -top) return -static_cast<long>(top);
  return static_cast<long>(v);
}
}  // namespace

long labelValue(std::string_view label) {
  return saturated(patterns::leadingValue(label));
}

bool titleMerged(const BufferInput& in) {
  const bool wanted =
      (in.horizontalShown && in.horizontalTitleEffect) || (in.verticalShown && in.verticalTitleEffect);
  return wanted && !design::endsWithFirstStepMarker(in.titleEffect);
}

std::string rowsText(std::size_t bufferCharacters, long channels) {
  const double divisor = static_cast<double>(channels) + 2;
  if (divisor == 0) return "0";
  const double rows = static_cast<double>(bufferCharacters) / divisor;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", rows);
  return buf;
}

BufferResult buildOutputBuffer(const BufferInput& in) {
  BufferResult r;
  const std::size_t t = platform::utf8Length(in.title);
  std::string channels(in.channelsLabel);

  if (!titleMerged(in)) {
    r.bytes.assign(in.totalProgram);
  } else {
    std::string part(t, 'X');  // every title channel lit until the first marker
    long step = 0;
    std::size_t lastLength = t;
    const design::TitleMasks masks(in.titleEffect);  // one pass over the text for all steps
    r.bytes.reserve(in.totalProgram.size() + in.totalProgram.size() / 8 + 64);
    bool failed = false;
    platform::forEachLine(in.totalProgram, [&](std::string_view line) {
      if (failed) return;
      ++step;
      if (const auto at = masks.find(step)) {
        if (at->maskLength != t) {
          failed = true;
          r.ok = false;
          r.message = "“" + at->mask + "<" + std::to_string(step) + ">" + "”的长度有问题！";
          r.maskStart = at->maskStart;
          r.maskLength = at->maskLength;
          r.channelsLabel.assign(in.channelsLabel);
          return;
        }
        part = design::maskChannels(at->mask);
      }
      r.bytes += line;
      r.bytes += part;
      r.bytes += "\r\n";
      lastLength = line.size() + part.size();
    });
    if (failed) return r;
    channels = std::to_string(lastLength);
  }

  if (in.manualFileExists) {
    // The manual file's lines are as wide as the post-processing window's base channel count.
    // When it holds no number (a window that never assembled anything) the count stays as found.
    // A value no channel count can be (1e30) is not converted; it reads as no number.
    if (const auto base = design::parseNumber(in.baseChannels); base && std::fabs(*base) < 1e9) {
      channels = std::to_string(static_cast<long>(*base) + static_cast<long>(t));
    }
  }
  if (labelValue(channels) == 0) {
    // The length of the first line: the position of the first CR, less one (-1 without any).
    const std::size_t cr = r.bytes.find('\r');
    channels = std::to_string(cr == std::string::npos ? -1L : static_cast<long>(cr));
  }
  r.channelsLabel = channels;
  r.rowsLabel = rowsText(platform::utf8Length(r.bytes), labelValue(channels));
  return r;
}

}  // namespace lumafex::compiler
