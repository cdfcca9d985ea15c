#include "core/compiler/TotalProgram.h"

#include <algorithm>

#include "core/design/Rules.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/TextFile.h"

namespace lumafex::compiler {

int channelsForGeneration(int columns, bool tubesOn, bool imagesOn, int imageCount, int previous) {
  if (tubesOn) return columns;
  if (imagesOn) return std::max(imageCount, design::kMinChannels);
  return previous;
}

namespace {

// Runs the board's generators in order and hands every entry's contribution to `take`: what the
// generator wrote, or what the scratch step file still held when it wrote nothing. Two writers take
// turns so the scratch contents need not be copied per entry. Returns the scratch file afterwards.
template <class Take>
std::string forEachContribution(const AssemblyInput& input, AssemblyResult& result, Take&& take) {
  if (input.board.empty() || patterns::leadingNumber(input.board.front()) <= 0) return input.scratchBefore;
  const auto list = patterns::catalogue(input.colours);
  patterns::StepWriter writers[2];
  int current = -1;  // the writer that holds the scratch contents; -1: scratchBefore
  auto scratch = [&]() -> std::string_view {
    return current < 0 ? std::string_view(input.scratchBefore) : writers[current].bytes();
  };
  // Normalised, every line is N characters, the image channels and CR LF wide.
  const std::size_t lineBytes = static_cast<std::size_t>(std::max(input.channels, 0)) + 2 +
                                static_cast<std::size_t>(std::max(input.imageCount, 0));
  std::size_t rawBytes = 0;
  std::size_t lines = 0;
  for (const std::string& entry : input.board) {
    const long position = patterns::leadingNumber(entry) - 1;
    if (position >= static_cast<long>(list.size())) {
      // Selecting a catalogue entry that does not exist fails, and a failure ends the assembly.
      result.boardEndedEarly = true;
      break;
    }
    if (position >= 0) {
      const int spare = current == 0 ? 1 : 0;
      const auto* generator = list[static_cast<std::size_t>(position)].generator;
      if (patterns::runGenerator(*generator, input.channels, input.colours, writers[spare])) current = spare;
    }
    const std::string_view chunk = scratch();
    take(chunk);
    if (input.maxBytes > 0) {
      rawBytes += chunk.size();
      lines += static_cast<std::size_t>(std::count(chunk.begin(), chunk.end(), '\n'));
      if (rawBytes > input.maxBytes || lines * lineBytes > input.maxBytes) {
        result.tooLarge = true;
        break;
      }
    }
  }
  return std::string(scratch());
}

// Appends the lines of raw text, each made n characters wide plus the image channels, CR LF after each.
void appendNormalised(std::string& out, std::string_view raw, std::size_t n, std::size_t images) {
  platform::forEachLine(raw, [&](std::string_view line) {
    const std::size_t start = out.size();
    if (line.size() >= n) {
      out.append(line.data(), n);
    } else {
      out.append(line);
      out.append(n - line.size(), ' ');
    }
    for (std::size_t i = 0; i < images; ++i) {
      const bool lit = i < n && out[start + i] == 'X';
      out += lit ? ' ' : 'X';
    }
    out.append("\r\n", 2);
  });
}

std::size_t widthOf(int channels) {
  return channels > 0 ? static_cast<std::size_t>(channels) : 0;
}

}  // namespace

AssemblyResult assembleRaw(const AssemblyInput& input) {
  AssemblyResult result;
  result.scratchAfter =
      forEachContribution(input, result, [&](std::string_view chunk) { result.bytes.append(chunk); });
  if (result.tooLarge) result.bytes.clear();
  return result;
}

std::string normaliseLines(std::string_view raw, int channels, bool appendImages, int imageCount) {
  const std::size_t images = appendImages && imageCount > 0 ? static_cast<std::size_t>(imageCount) : 0;
  std::string out;
  out.reserve(raw.size() + raw.size() / 4);
  appendNormalised(out, raw, widthOf(channels), images);
  return out;
}

AssemblyResult assembleTotalProgram(const AssemblyInput& input) {
  AssemblyResult result;
  const bool imagesOn = input.imagesOn && input.tubesOn;
  const std::size_t images =
      imagesOn && input.imageCount > 0 ? static_cast<std::size_t>(input.imageCount) : 0;
  const std::size_t n = widthOf(input.channels);
  // Each contribution is normalised as it comes, without assembling the raw text first. Lines are
  // split as in the whole raw text: a contribution that does not end with a line feed waits for
  // the next one, since its last line may continue there.
  std::string pending;
  result.scratchAfter = forEachContribution(input, result, [&](std::string_view chunk) {
    if (pending.empty() && !chunk.empty() && chunk.back() == '\n') {
      appendNormalised(result.bytes, chunk, n, images);
      return;
    }
    pending.append(chunk);
    if (!pending.empty() && pending.back() == '\n') {
      appendNormalised(result.bytes, pending, n, images);
      pending.clear();
    }
  });
  if (result.tooLarge) {
    result.bytes.clear();
    return result;
  }
  appendNormalised(result.bytes, pending, n, images);
  const std::size_t lastEnd = result.bytes.size() >= 2 ? result.bytes.size() - 2 : 0;
  const std::size_t lastStart = result.bytes.rfind("\r\n", lastEnd == 0 ? 0 : lastEnd - 1);
  if (!result.bytes.empty()) {
    const std::size_t begin = (lastStart == std::string::npos || lastStart >= lastEnd) ? 0 : lastStart + 2;
    result.width = static_cast<int>(lastEnd - begin);
  }
  result.steps = static_cast<long>(result.bytes.size()) / (result.width + 2);
  return result;
}

}  // namespace lumafex::compiler
