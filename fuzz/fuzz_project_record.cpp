// The project record reader: any bytes as a "*.hs" file are read or refused, never crash; what is
// read applies to the settings and gives a record again.

#include <cstdlib>
#include <fstream>

#include "FuzzInput.h"
#include "core/design/ProjectRecord.h"

using namespace lumafex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = fuzz::scratchDirectory() / "fuzz.hs";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  auto record = design::readProjectRecord(file);
  if (!record) {
    if (record.error().empty()) std::abort();
    return 0;
  }
  design::ProjectSettings settings;
  design::applyRecord(*record, settings);
  design::keepOnePreview(settings);
  const design::ProjectRecord again = design::recordOf(settings, record->board);
  if (again.board != record->board) std::abort();
  return 0;
}
