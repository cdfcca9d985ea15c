#include "core/design/Project.h"

#include <system_error>

#include "core/app/ProjectPaths.h"
#include "core/compiler/OutputBuffer.h"
#include "core/design/TitleEffect.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"

namespace lumafex::design {

namespace fs = std::filesystem;

ProjectSettings newProjectSettings(std::string name, const ProjectSettings& kept) {
  ProjectSettings s = kept;
  s.title = std::move(name);
  s.logosOn = 0;
  s.tubesOn = 1;
  s.imagesOn = 0;
  s.titleOff = 0;
  s.columns = "64";
  s.rows = "1";
  s.spacing = "0";
  s.colourCount = "2";
  s.speed = 950;
  s.fontSize = "43";
  s.titleColour = rgb(0, 255, 255);
  s.tubeColours = {rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255)};
  s.horizontalWidth = 6000;
  s.horizontalHeight = 2200;
  s.verticalWidth = 2000;
  s.verticalHeight = 7000;
  s.showHorizontal = 1;
  s.showVertical = 0;
  s.horizontalLock = 0;
  s.verticalLock = 0;
  return s;
}

Project newProject(std::string name, const Project& current) {
  Project p;
  p.settings = newProjectSettings(std::move(name), current.settings);
  p.titleEffect = "新工程<1>";
  p.channels = 64;
  p.dirty = true;
  return p;
}

Project openProjectFiles(const fs::path& projectFile, const fs::path& projectDir, const Project& current) {
  Project p;
  p.settings = current.settings;
  p.channels = current.channels;
  auto record = readProjectRecord(projectFile);
  if (record) {
    applyRecord(*record, p.settings);
    p.board = record->board;
  }
  std::error_code ec;
  const fs::path effectFile = projectDir / platform::pathFromUtf8(app::kTitleEffectFile);
  if (fs::exists(effectFile, ec)) {
    // The compile's reader with the compile's bound: a file too large to be a title effect is
    // refused at once, with the compile's message, and left as it is.
    auto text = readTitleEffectFile(effectFile);
    if (text) {
      // The text area holds one "\n" per line end.
      std::string lf;
      lf.reserve(text->size());
      for (std::size_t i = 0; i < text->size(); ++i) {
        const char c = (*text)[i];
        if (c == '\r') {
          lf += '\n';
          if (i + 1 < text->size() && (*text)[i + 1] == '\n') ++i;
        } else {
          lf += c;
        }
      }
      p.titleEffect = std::move(lf);
    } else {
      p.titleEffectProblem = text.error();
    }
  }
  const fs::path manualFile = projectDir / platform::pathFromUtf8(compiler::kManualFile);
  if (fs::is_regular_file(manualFile, ec)) {
    if (auto bytes = platform::readBytes(manualFile)) p.manualText = std::move(*bytes);
    if (!p.manualText) p.manualText = std::string();
  }
  p.pictures.imageCount = app::consecutivePictures(projectDir, app::imagePictureName);
  p.pictures.logoCount = app::consecutivePictures(projectDir, app::logoPictureName);
  // One block per picture, read back from the coordinate files; sizes come with the pictures. A
  // block that no file places stays where it was on the sign (a new one starts at the top left).
  const Placeholder unsized{0, 0, kDefaultBlockTwips, kDefaultBlockTwips};
  for (const PictureKind kind : {PictureKind::Logo, PictureKind::Image}) {
    const auto count =
        static_cast<std::size_t>(kind == PictureKind::Logo ? p.pictures.logoCount : p.pictures.imageCount);
    for (const preview::Orientation view :
         {preview::Orientation::Horizontal, preview::Orientation::Vertical}) {
      const Placeholders& before = current.pictures.of(kind).on(view);
      Placeholders blocks(count, unsized);
      for (std::size_t i = 0; i < count && i < before.size(); ++i) {
        blocks[i].left = before[i].left;
        blocks[i].top = before[i].top;
      }
      p.pictures.of(kind).on(view) = std::move(blocks);
    }
    readCoordinates(projectDir, kind, p.pictures.of(kind));
  }
  return p;
}

ProjectRecord recordOf(const Project& project) {
  return recordOf(project.settings, project.board);
}

void addEntries(Project& project, const std::vector<std::string>& entries) {
  project.board.insert(project.board.end(), entries.begin(), entries.end());
  project.dirty = true;
}

bool removeEntry(Project& project, int k, bool markChanged) {
  if (k < 0 || k >= static_cast<int>(project.board.size())) return false;
  project.board.erase(project.board.begin() + k);
  if (markChanged) project.dirty = true;
  return true;
}

int moveBoardEntry(Project& project, int k, bool up) {
  const int selected = moveEntry(project.board, k, up);
  if (selected >= 0) project.dirty = true;
  return selected;
}

void clearBoard(Project& project) {
  project.board.clear();
  project.dirty = true;
}

void markChanged(Project& project) {
  project.dirty = true;
}

void markSaved(Project& project) {
  project.dirty = false;
}

void setSetting(Project& project, std::string ProjectSettings::*field, std::string value) {
  project.settings.*field = std::move(value);
}
void setSetting(Project& project, int ProjectSettings::*field, int value) {
  project.settings.*field = value;
}
void setSetting(Project& project, double ProjectSettings::*field, double value) {
  project.settings.*field = value;
}

void setTitleColour(Project& project, Colour colour) {
  project.settings.titleColour = colour;
}

void setTubeColour(Project& project, int k, Colour colour) {
  if (k < 1 || k > 3) return;
  project.settings.tubeColours[static_cast<std::size_t>(k - 1)] = colour;
}

void editTitleEffect(Project& project, std::string text) {
  project.titleEffect = std::move(text);
  project.titleEffectProblem.clear();
}

void editManualText(Project& project, std::string text) {
  project.manualText = std::move(text);
}

void dropManualText(Project& project) {
  project.manualText.reset();
}

void setChannels(Project& project, int channels) {
  project.channels = channels;
}

void fitPictureBlocks(Project& project, PictureKind kind,
                      const std::vector<std::pair<double, double>>& sizes) {
  Placements& placements = project.pictures.of(kind);
  for (Placeholders* blocks : {&placements.horizontal, &placements.vertical}) {
    blocks->resize(sizes.size(), Placeholder{0, 0, kDefaultBlockTwips, kDefaultBlockTwips});
    for (std::size_t i = 0; i < sizes.size(); ++i) {
      (*blocks)[i].width = sizes[i].first > 0 ? sizes[i].first : kDefaultBlockTwips;
      (*blocks)[i].height = sizes[i].second > 0 ? sizes[i].second : kDefaultBlockTwips;
    }
  }
  (kind == PictureKind::Logo ? project.pictures.logoCount : project.pictures.imageCount) =
      static_cast<int>(sizes.size());
}

void dragPictureBlock(Project& project, PictureKind kind, preview::Orientation view, std::size_t index,
                      double left, double top, bool together) {
  Placeholders& blocks = project.pictures.of(kind).on(view);
  if (index >= blocks.size()) return;
  moveBlock(blocks, index, left, top, together);
  project.dirty = true;
}

void arrangePictures(Project& project, PictureKind kind, Arrangement arrangement, double horizontalWidth,
                     double horizontalHeight, double verticalWidth, double verticalHeight) {
  Placements& placements = project.pictures.of(kind);
  const auto arrange = arrangement == Arrangement::Row ? arrangeInRow : arrangeAsBorder;
  arrange(placements.horizontal, horizontalWidth, horizontalHeight, preview::Orientation::Horizontal);
  arrange(placements.vertical, verticalWidth, verticalHeight, preview::Orientation::Vertical);
  project.dirty = true;
}

Status savePictureCoordinates(const Project& project, const fs::path& projectDir, PictureKind kind) {
  return saveCoordinates(projectDir, kind, project.pictures.of(kind));
}

void readPictureCoordinates(Project& project, const fs::path& projectDir, PictureKind kind) {
  readCoordinates(projectDir, kind, project.pictures.of(kind));
}

}  // namespace lumafex::design
