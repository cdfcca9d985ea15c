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

#include "core/design/Board.h"
#include "core/design/ProjectRecord.h"
#include "core/design/SignPictures.h"
#include "core/platform/Result.h"

namespace lumafex::design {

// The logos and images of the sign. The counts are the consecutive pictures "标志1.bmp", … and
// "图案1.bmp", … of the project directory (the image count is what the generators and the total
// program use); every picture has a placement block on each preview.
struct Pictures {
  int imageCount = 0;
  int logoCount = 0;
  Placements logos;
  Placements images;
  Placements& of(PictureKind kind) { return kind == PictureKind::Logo ? logos : images; }
  const Placements& of(PictureKind kind) const { return kind == PictureKind::Logo ? logos : images; }
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

// ---- Pictures on the sign ----

// The size a placement block has while its picture has no size (it did not load): 32 pixels.
inline constexpr double kDefaultBlockTwips = 480;

// Gives the blocks of a kind the natural sizes of their pictures (twips, width and height per
// picture, index 0 first), one block per picture on each preview; blocks that are added start at
// the top-left corner. Not a change of the project.
void fitPictureBlocks(Project& project, PictureKind kind,
                      const std::vector<std::pair<double, double>>& sizes);
// The user dragged block `index` of a kind on one preview to (left, top); with `together`
// (图案同步移动) every other block of the kind on that preview moves by the same offset. Marks the
// project changed.
void dragPictureBlock(Project& project, PictureKind kind, preview::Orientation view, std::size_t index,
                      double left, double top, bool together);
// 标志排列一行 / 标志排列为边框 / 图片排列一行 / 图片排列为边框: the blocks of a kind arranged on both
// previews, whose canvases are the given sizes in twips. Marks the project changed.
enum class Arrangement { Row, Border };
void arrangePictures(Project& project, PictureKind kind, Arrangement arrangement, double horizontalWidth,
                     double horizontalHeight, double verticalWidth, double verticalHeight);
// 保存标志的坐标 / 保存图案的坐标 and 读取…的坐标: the coordinate files of a kind in the project directory.
Status savePictureCoordinates(const Project& project, const std::filesystem::path& projectDir,
                              PictureKind kind);
void readPictureCoordinates(Project& project, const std::filesystem::path& projectDir, PictureKind kind);

}  // namespace lumafex::design
