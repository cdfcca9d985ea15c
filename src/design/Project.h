#pragma once
// The project as the program holds it while it is open: the record's settings, the programming
// board, the title effect, the hand-edited sequence, the channel count every generator reads and
// the pictures of the sign. The windows show their parts of it and change it only through the
// edit functions below, one function per user edit; the document in the shell runs them and tells
// the windows what changed.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "design/Board.h"
#include "design/ProjectRecord.h"
#include "platform/Result.h"

namespace lumafex::design {

// Where one picture (a logo or an image) stands on a preview, in twips.
struct PicturePlace {
  double left = 0;
  double top = 0;
};

// The logos and images of the sign. The image count is what the generators and the total program
// use today (the consecutive pictures "图案1.bmp", "图案2.bmp", … of the project directory); the
// places per preview and kind are filled by the logo and image designers.
struct Pictures {
  int imageCount = 0;
  int logoCount = 0;
  std::vector<PicturePlace> horizontalLogos;
  std::vector<PicturePlace> verticalLogos;
  std::vector<PicturePlace> horizontalImages;
  std::vector<PicturePlace> verticalImages;
};

struct Project {
  ProjectSettings settings;
  Board board;
  // The title effect text (the file "标题花式.bt"), one "\n" per line end as its text area holds it.
  std::string titleEffect;
  // Why the title effect file could not be read when the project was opened (empty: it could).
  // Such a file is left as it is: nothing replaces it until the user edits the title effect.
  std::string titleEffectProblem;
  // The hand-edited sequence ("人工修改的花式.txt") when the project has one.
  std::optional<std::string> manualText;
  // N: the channel count every generator reads.
  int channels = 80;
  // 需要存盘: the project has unsaved changes.
  bool dirty = false;
  Pictures pictures;
};

// The settings of a new project named `name`: the title is the name and the tube, title, colour,
// speed and preview values are the new-project defaults. The values a new project does not reset
// (font, bold, italic, hollow, the title-effect switches, the post-processing values, the main
// window size) are taken from `kept`.
ProjectSettings newProjectSettings(std::string name, const ProjectSettings& kept = {});

// A new project named `name` after `current`: its settings as above, an empty board, the title
// effect "新工程<1>", 64 channels, no hand edits, no pictures. It counts as changed (emptying the
// logo and image lists marks a project changed).
Project newProject(std::string name, const Project& current);

// Opens a project from its files: the record applied over `current` settings (a line that cannot
// be read keeps its setting), the board after the marker, the title effect and the manual file of
// the project directory. A project file that cannot be read at all gives an empty board and
// leaves the settings as they were.
Project openProjectFiles(const std::filesystem::path& projectFile, const std::filesystem::path& projectDir,
                                 const Project& current);

// The record a save writes.
ProjectRecord recordOf(const Project& project);

// ---- Edits: one function per user action; each returns what the window needs to know. ----

// Appends catalogue entries to the board (a double click, 选择, 全选); marks the project changed.
void addEntries(Project& project, const std::vector<std::string>& entries);
// Removes board entry k (nothing when k is not an entry); 删除 marks the change, the Delete key
// does not. Returns whether an entry was removed.
bool removeEntry(Project& project, int k, bool markChanged);
// 上移 / 下移: exchanges entry k with its neighbour; returns the index to select, or -1.
int moveBoardEntry(Project& project, int k, bool up);
// 全部清除 and a change of the colour count: the board emptied, the project changed.
void clearBoard(Project& project);
// A key typed into a box, a colour picked, the speed moved, …: the project has changed.
void markChanged(Project& project);
// After a save or an open.
void markSaved(Project& project);

// A control's value as the record stores it (no change mark: the actions that mark the project
// changed call markChanged themselves, as the keys typed into 列数 do).
void setSetting(Project& project, std::string ProjectSettings::*field, std::string value);
void setSetting(Project& project, int ProjectSettings::*field, int value);
void setSetting(Project& project, double ProjectSettings::*field, double value);
void setTitleColour(Project& project, Colour colour);
void setTubeColour(Project& project, int k, Colour colour);  // k = 1 … 3

// The user edited the title effect text: from now on it is the text that is saved.
void editTitleEffect(Project& project, std::string text);
// The user edited the sequence by hand.
void editManualText(Project& project, std::string text);
void dropManualText(Project& project);
// N for the generators.
void setChannels(Project& project, int channels);

}  // namespace lumafex::design
