#pragma once
// An artwork with its channels: the document, the map file's entries and the channel each element
// lights with, and the colours the project gives each channel.

#include <QColor>
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/artwork/ArtworkChannels.h"
#include "core/artwork/ChannelMap.h"
#include "core/design/ProjectRecord.h"
#include "core/platform/Result.h"
#include "render/artwork/ArtworkDocument.h"

namespace lumafex::render {

// The channels of a project's frames and the colours the previews give them.
struct ChannelLayout {
  int tubeChannels = 0;   // N
  int lineChannels = 0;   // N and the image channels of a step line
  int titleChannels = 0;  // one per title character, after the line's channels
  int colourCount = 1;    // tube c takes tube colour ((c - 1) mod colourCount)
  std::array<QColor, 3> tubeColours{QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
  QColor titleColour{0, 255, 255};

  int channelCount() const { return lineChannels + titleChannels; }
  // The project's colour of a channel: the tube colours alternating as on the previews (image
  // channels go on alternating), the title colour for the title channels.
  QColor colourOf(int channel) const;
};

// The layout of a project: `imageChannels` the image channels in a step line (tubes and images
// both on), `titleCharacters` the title's characters.
ChannelLayout channelLayoutOf(const design::ProjectSettings& settings, int imageChannels,
                              int titleCharacters);

struct ArtworkScene {
  ArtworkDocument document;
  std::filesystem::path file;  // where the artwork was read from (empty when made in memory)
  artwork::ChannelMap map;
  std::vector<artwork::MapProblem> mapProblems;
  ChannelLayout layout;
  // Filled by resolve(): the channel of each element, the map's ids that name no element.
  std::vector<std::optional<int>> channels;
  std::vector<std::string> unknownIds;

  // Applies the channel rules to the document and the map.
  void resolve();
  // The colour a tube is drawn in: an element's own colour, else its channel's.
  QColor colourOf(std::size_t element) const;
  // Every channel some element or drawn shape shows, ascending, each once.
  std::vector<int> shownChannels() const;
  // The project's channels that nothing shows.
  std::vector<int> missingChannels() const;
  // Messages about the map: its unreadable lines and the ids it names that the artwork lacks.
  std::vector<std::string> warnings() const;
};

// The artwork of a project directory with its map file, resolved; the message when there is none
// or it cannot be read.
Result<ArtworkScene> loadArtworkScene(const std::filesystem::path& projectDirectory,
                                      const ChannelLayout& layout);

}  // namespace lumafex::render
