#pragma once
// Splitting one fuzz input into several fields, and a private scratch directory for the targets
// that have to go through files.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace lumafex::fuzz {

// Fields separated by the byte 0x01 (which no text of the system holds): field k of the input,
// empty when there are fewer.
inline std::string_view field(std::string_view data, int k) {
  std::size_t start = 0;
  for (int i = 0; i < k; ++i) {
    const std::size_t at = data.find('\x01', start);
    if (at == std::string_view::npos) return {};
    start = at + 1;
  }
  const std::size_t end = data.find('\x01', start);
  return data.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

// A directory of this process, on a memory file system where there is one.
inline const std::filesystem::path& scratchDirectory() {
  static const std::filesystem::path dir = [] {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::exists("/dev/shm", ec)
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    std::filesystem::path d = base / ("lumafex-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d, ec);
    std::atexit([] {
      std::error_code e;
      std::filesystem::remove_all(scratchDirectory(), e);
    });
    return d;
  }();
  return dir;
}

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

}  // namespace lumafex::fuzz
