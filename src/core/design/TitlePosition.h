#pragma once
// Where the title starts on a preview: the position files "标题_坐标.ini" and "竖列_标题_坐标.ini" of
// the project directory, two lines (x and y in twips) in GBK with CR LF. One reader with one set of
// checks for the previews and the exported frames.

#include <filesystem>
#include <optional>

#include "core/platform/Result.h"

namespace lumafex::design {

struct TitleStart {
  long x = 0;
  long y = 0;
};

// The position the file holds; nothing (the title is centred) when the file is missing, too large
// to be one, or lacks either number, or a number is no place on any screen.
std::optional<TitleStart> readTitlePosition(const std::filesystem::path& file);
Status writeTitlePosition(const std::filesystem::path& file, TitleStart start);

}  // namespace lumafex::design
