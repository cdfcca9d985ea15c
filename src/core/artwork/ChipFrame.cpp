#include "core/artwork/ChipFrame.h"

namespace lumafex::artwork {

std::vector<bool> chipFrame(std::string_view line, std::size_t lineChannels, std::string_view title) {
  std::vector<bool> lit(lineChannels + title.size());
  for (std::size_t i = 0; i < lineChannels && i < line.size(); ++i) lit[i] = litCharacter(line[i]);
  for (std::size_t i = 0; i < title.size(); ++i) lit[lineChannels + i] = litCharacter(title[i]);
  return lit;
}

}  // namespace lumafex::artwork
