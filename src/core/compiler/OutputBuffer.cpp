#include "core/compiler/OutputBuffer.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "core/compiler/EpromImages.h"
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

SequenceExtent extentOf(std::string_view text) {
  SequenceExtent e;
  e.hasLines = !text.empty();
  if (!e.hasLines) return e;
  e.firstLineBytes = platform::findLineEnd(text, 0);
  e.firstCr = text.find('\r');
  // The last line as forEachLine gives it: before the final line end, after the one before it.
  std::size_t end = text.size();
  if (end >= 2 && text[end - 2] == '\r' && text[end - 1] == '\n') {
    end -= 2;
  } else if (text[end - 1] == '\r' || text[end - 1] == '\n') {
    end -= 1;
  }
  const std::size_t before = end == 0 ? std::string_view::npos : text.find_last_of("\r\n", end - 1);
  e.lastLineBytes = end - (before == std::string_view::npos ? 0 : before + 1);
  return e;
}

std::string channelsLabelOf(const BufferInput& in, const std::function<SequenceExtent()>& extent) {
  const std::size_t t = platform::utf8Length(in.title);
  const bool merged = titleMerged(in);
  std::optional<SequenceExtent> known;
  auto lines = [&]() -> const SequenceExtent& {
    if (!known) known = extent();
    return *known;
  };
  std::string channels(in.channelsLabel);
  // Merged, every buffer line is its program line and the title's channels: the last one counts.
  if (merged) channels = std::to_string(lines().hasLines ? lines().lastLineBytes + t : t);
  if (in.manualFileExists) {
    // The manual file's lines are as wide as the post-processing window's base channel count.
    // When it holds no number (a window that never assembled anything) the count stays as found.
    // A value no channel count can be (1e30) is not converted; it reads as no number.
    if (const auto base = design::parseNumber(in.baseChannels); base && std::fabs(*base) < 1e9) {
      channels = std::to_string(static_cast<long>(*base) + static_cast<long>(t));
    }
  }
  if (labelValue(channels) == 0) {
    // The length of the first line: the position of the first CR in the buffer (-1 without any).
    std::size_t cr = std::string_view::npos;
    if (merged) {
      if (lines().hasLines) cr = lines().firstLineBytes + t;
    } else {
      cr = lines().firstCr;
    }
    channels = std::to_string(cr == std::string_view::npos ? -1L : static_cast<long>(cr));
  }
  return channels;
}

BufferStream::BufferStream(const BufferInput& in, platform::ByteSink* buffer, FrameBuilder* frames)
    : buffer_(buffer),
      frames_(frames),
      merged_(titleMerged(in)),
      title_(platform::utf8Length(in.title)),
      part_(title_, 'X'),  // every title channel lit until the first marker
      masks_(merged_ ? in.titleEffect : std::string_view()) {}

void BufferStream::write(std::string_view bytes) {
  if (buffer_) buffer_->write(bytes);
  characters_.add(bytes);
}

void BufferStream::feed(std::string_view piece) {
  if (failed_) return;
  if (!merged_) {
    // The buffer is the program as it is.
    write(piece);
    if (frames_ && !frames_->tooLong())
      lines_.feed(piece, [&](std::string_view p, bool end) { frame(p, end); });
    return;
  }
  lines_.feed(piece, [&](std::string_view p, bool end) { mergedPiece(p, end); });
}

void BufferStream::finish() {
  if (failed_) return;
  if (!merged_) {
    if (frames_ && !frames_->tooLong()) lines_.finish([&](std::string_view p, bool end) { frame(p, end); });
    return;
  }
  lines_.finish([&](std::string_view p, bool end) { mergedPiece(p, end); });
}

void BufferStream::frame(std::string_view piece, bool endsLine) {
  if (frames_->tooLong()) return;
  if (endsLine && !lineOpen_) {
    frames_->add(piece);  // a whole line in one piece: no copy
    return;
  }
  frames_->addPiece(piece);
  lineOpen_ = !endsLine;
  if (endsLine) frames_->endLine();
}

void BufferStream::mergedPiece(std::string_view piece, bool endsLine) {
  if (failed_) return;
  if (!lineOpen_) {
    // A new line: the title state of its step.
    ++step_;
    if (const auto at = masks_.find(step_)) {
      if (at->maskLength != title_) {
        failed_ = true;
        message_ = "“" + at->mask + "<" + std::to_string(step_) + ">" + "”的长度有问题！";
        maskStart_ = at->maskStart;
        maskLength_ = at->maskLength;
        return;
      }
      part_ = design::maskChannels(at->mask);
    }
  }
  write(piece);
  const bool framing = frames_ && !frames_->tooLong();
  if (framing) frames_->addPiece(piece);
  lineOpen_ = !endsLine;
  if (!endsLine) return;
  write(part_);
  write("\r\n");
  if (framing) {
    frames_->addPiece(part_);
    frames_->endLine();
  }
}

BufferResult buildOutputBuffer(const BufferInput& in) {
  BufferResult r;
  platform::StringSink sink(r.bytes);
  BufferStream stream(in, &sink, nullptr);
  r.bytes.reserve(in.totalProgram.size() + (stream.merged() ? in.totalProgram.size() / 8 + 64 : 0));
  stream.feed(in.totalProgram);
  stream.finish();
  if (stream.failed()) {
    // The buffer keeps the lines before the faulty mask.
    r.ok = false;
    r.message = stream.message();
    r.maskStart = stream.maskStart();
    r.maskLength = stream.maskLength();
    r.channelsLabel.assign(in.channelsLabel);
    return r;
  }
  r.channelsLabel = channelsLabelOf(in, [&] { return extentOf(in.totalProgram); });
  r.rowsLabel = rowsText(stream.characters(), labelValue(r.channelsLabel));
  return r;
}

}  // namespace lumafex::compiler
