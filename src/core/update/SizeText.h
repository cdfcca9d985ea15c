#pragma once
// Byte counts as the download progress shows them.

#include <cstdint>
#include <string>

namespace lumafex::update {

// The short size text: "532 字节" below 1 KB, else three significant digits cut (not rounded) with
// the unit, "1.00 KB", "3.52 KB", "22.9 KB", "352 KB", "0.97 MB", "2.28 MB".
std::string shortSizeText(std::uint64_t bytes);

// The size text of the progress: the short text, and above 1024 bytes the exact count before it,
// "3605字节(3.52 KB)".
std::string 字节数文字(std::uint64_t bytes);

}  // namespace lumafex::update
