// The output buffer with the title merge: a total program, a title and a title effect text, with
// any switches; the merged buffer keeps every program line and adds exactly the title channels.

#include <cstdlib>
#include <vector>

#include "FuzzInput.h"
#include "core/compiler/OutputBuffer.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"

using namespace lumafex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view in = fuzz::asText(data, size);
  const std::string_view flags = fuzz::field(in, 0);
  compiler::BufferInput b;
  b.totalProgram = fuzz::field(in, 1);
  b.title = fuzz::field(in, 2);
  b.titleEffect = fuzz::field(in, 3);
  b.baseChannels = fuzz::field(in, 4);
  const std::string_view label = fuzz::field(in, 5);
  if (!label.empty()) b.channelsLabel = label;
  const unsigned f = flags.empty() ? 0u : static_cast<unsigned char>(flags[0]);
  b.horizontalShown = f & 1;
  b.horizontalTitleEffect = f & 2;
  b.verticalShown = f & 4;
  b.verticalTitleEffect = f & 8;
  b.manualFileExists = f & 16;

  const compiler::BufferResult r = compiler::buildOutputBuffer(b);
  if (r.ok && !compiler::titleMerged(b) && r.bytes != b.totalProgram) std::abort();
  if (r.ok && compiler::titleMerged(b)) {
    // One buffer line per program line: the line itself, then exactly T title channels.
    const std::size_t t = platform::utf8Length(b.title);
    std::vector<std::string_view> program;
    platform::forEachLine(b.totalProgram, [&](std::string_view line) { program.push_back(line); });
    std::size_t k = 0;
    platform::forEachLine(r.bytes, [&](std::string_view line) {
      if (k >= program.size() || line.size() != program[k].size() + t) std::abort();
      if (line.substr(0, program[k].size()) != program[k]) std::abort();
      if (line.substr(program[k].size()).find_first_not_of(" X") != std::string_view::npos) std::abort();
      ++k;
    });
    if (k != program.size()) std::abort();
  }
  if (!r.ok && r.message.empty()) std::abort();
  (void)compiler::labelValue(r.channelsLabel);
  return 0;
}
