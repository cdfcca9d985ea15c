#include "render/artwork/ArtworkScene.h"

#include <algorithm>

#include "core/design/Rules.h"
#include "core/platform/TextFile.h"
#include "render/QtStrings.h"
#include "render/SignStyle.h"

namespace lumafex::render {

namespace fs = std::filesystem;

QColor ChannelLayout::colourOf(int channel) const {
  if (channel > lineChannels && channel <= lineChannels + titleChannels) return titleColour;
  const int colours = std::clamp(colourCount, 1, 3);
  return tubeColours[static_cast<std::size_t>((std::max(1, channel) - 1) % colours)];
}

ChannelLayout channelLayoutOf(const design::ProjectSettings& s, int imageChannels, int titleCharacters) {
  const preview::SignStyle style = design::signStyleOf(s);
  ChannelLayout layout;
  layout.tubeChannels = design::columnsOf(s);
  layout.lineChannels = layout.tubeChannels + std::max(0, imageChannels);
  layout.titleChannels = std::max(0, titleCharacters);
  layout.colourCount = style.colours;
  layout.tubeColours = style.tubeColours;
  layout.titleColour = design::titleStyleOf(s).colour;
  return layout;
}

void ArtworkScene::resolve() {
  const auto resolution = artwork::resolveChannels(document.channelElements(), map);
  channels = resolution.channels;
  unknownIds = resolution.unknownIds;
  if (document.kind() == ArtworkDocument::Kind::Photo) {
    // A photo has no elements: every element entry of the map names nothing.
    unknownIds.clear();
    for (const auto& e : map.elements) {
      if (std::find(unknownIds.begin(), unknownIds.end(), e.id) == unknownIds.end())
        unknownIds.push_back(e.id);
    }
  }
}

QColor ArtworkScene::colourOf(std::size_t element) const {
  const auto& e = document.elements()[element];
  if (e.colour) return *e.colour;
  return layout.colourOf(element < channels.size() && channels[element] ? *channels[element] : 1);
}

std::vector<int> ArtworkScene::shownChannels() const {
  std::vector<int> shown;
  for (std::size_t i = 0; i < channels.size(); ++i) {
    if (channels[i] && document.drawable(i)) shown.push_back(*channels[i]);
  }
  for (const auto& s : map.shapes) shown.push_back(s.channel);
  std::sort(shown.begin(), shown.end());
  shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
  return shown;
}

std::vector<int> ArtworkScene::missingChannels() const {
  return artwork::missingChannels(shownChannels(), layout.channelCount());
}

std::vector<std::string> ArtworkScene::warnings() const {
  std::vector<std::string> out;
  for (const auto& p : mapProblems) {
    out.push_back(std::string(artwork::kChannelMapFile) + "第" + std::to_string(p.line) + "行：" + p.message);
  }
  for (const auto& id : unknownIds) {
    out.push_back(std::string(artwork::kChannelMapFile) + "：实物图中没有元素“" + id + "”");
  }
  return out;
}

Result<ArtworkScene> loadArtworkScene(const fs::path& projectDirectory, const ChannelLayout& layout) {
  const auto file = ArtworkDocument::find(projectDirectory);
  if (!file) {
    return Result<ArtworkScene>::fail("工程目录中没有实物图（" + std::string(artwork::kArtworkSvgFile) +
                                      "、" + artwork::kArtworkPngFile + "或" + artwork::kArtworkJpgFile +
                                      "）。");
  }
  auto document = ArtworkDocument::load(*file);
  if (!document) return Result<ArtworkScene>::fail(document.error());
  auto reading = artwork::readChannelMap(projectDirectory / platform::pathFromUtf8(artwork::kChannelMapFile));
  if (!reading) return Result<ArtworkScene>::fail(reading.error());
  ArtworkScene scene;
  scene.document = std::move(*document);
  scene.file = *file;
  scene.map = std::move(reading->map);
  scene.mapProblems = std::move(reading->problems);
  scene.layout = layout;
  scene.resolve();
  return Result<ArtworkScene>::ok(std::move(scene));
}

}  // namespace lumafex::render
