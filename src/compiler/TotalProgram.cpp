#include "compiler/TotalProgram.h"

#include <algorithm>

#include "patterns/Catalogue.h"
#include "platform/TextFile.h"

namespace lumafex::compiler {

int channelsForGeneration(int columns, bool tubesOn, bool imagesOn, int imageCount, int previous) {
  if (tubesOn) return columns;
  if (imagesOn) return imageCount >= 4 ? imageCount : 4;
  return previous;
}

AssemblyResult assembleRaw(const AssemblyInput& input) {
  AssemblyResult result;
  std::string scratch = input.scratchBefore;
  if (input.board.empty() || patterns::leadingNumber(input.board.front()) <= 0) {
    result.scratchAfter = scratch;
    return result;
  }
  const auto list = patterns::catalogue(input.colours);
  patterns::StepWriter out;
  // Normalised, every line is N characters, the image channels and CR LF wide.
  const std::size_t lineBytes = static_cast<std::size_t>(std::max(input.channels, 0)) + 2 +
                                static_cast<std::size_t>(std::max(input.imageCount, 0));
  std::size_t lines = 0;
  for (const std::string& entry : input.board) {
    const long position = patterns::leadingNumber(entry) - 1;
    if (position >= static_cast<long>(list.size())) {
      // Selecting a catalogue entry that does not exist fails, and a failure ends the assembly.
      result.boardEndedEarly = true;
      break;
    }
    if (position >= 0) {
      const auto* generator = list[static_cast<std::size_t>(position)].generator;
      if (patterns::runGenerator(*generator, input.channels, input.colours, out)) {
        scratch.assign(out.bytes());
      }
    }
    result.bytes += scratch;
    if (input.maxBytes > 0) {
      lines += static_cast<std::size_t>(std::count(scratch.begin(), scratch.end(), '\n'));
      if (result.bytes.size() > input.maxBytes || lines * lineBytes > input.maxBytes) {
        result.tooLarge = true;
        result.bytes.clear();
        break;
      }
    }
  }
  result.scratchAfter = std::move(scratch);
  return result;
}

std::string normaliseLines(std::string_view raw, int channels, bool appendImages, int imageCount) {
  const std::size_t n = channels > 0 ? static_cast<std::size_t>(channels) : 0;
  const std::size_t images = appendImages && imageCount > 0 ? static_cast<std::size_t>(imageCount) : 0;
  std::string out;
  out.reserve(raw.size() + raw.size() / 4);
  platform::forEachLine(raw, [&](std::string_view line) {
    const std::size_t start = out.size();
    out.append(line.substr(0, n));
    if (line.size() < n) out.append(n - line.size(), ' ');
    for (std::size_t i = 0; i < images; ++i) {
      const bool lit = i < n && out[start + i] == 'X';
      out += lit ? ' ' : 'X';
    }
    out += "\r\n";
  });
  return out;
}

AssemblyResult assembleTotalProgram(const AssemblyInput& input) {
  AssemblyResult result = assembleRaw(input);
  const bool images = input.imagesOn && input.tubesOn;
  result.bytes = normaliseLines(result.bytes, input.channels, images, input.imageCount);
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
