#pragma once
// One frame as the chip drives its channels: the step line's tube and image characters, then the
// title channels, each lit unless it is a blank or "_" (the rule the EPROM images are cut by).

#include <string_view>
#include <vector>

namespace lumafex::artwork {

// lit[c - 1] for channel c: the first `lineChannels` characters of `line` (missing ones dark) and
// then every character of `title` (the title channels, "X" lit).
std::vector<bool> chipFrame(std::string_view line, std::size_t lineChannels, std::string_view title);

inline bool litCharacter(char c) {
  return c != ' ' && c != '_';
}

}  // namespace lumafex::artwork
