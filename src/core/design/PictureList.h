#pragma once
// The rules of the logo and image designers that need no window: the names and texts of each
// designer, the 80-picture limit, which picture a replace or paste acts on, and where the picture
// files lie. Picture i of a designer (i from 0) is the file "标志" (i + 1) ".bmp" / "图案" (i + 1)
// ".bmp" of the project directory, so the pictures are the consecutive files from 1.

#include <filesystem>
#include <optional>

#include "core/design/SignPictures.h"
#include "core/platform/Result.h"

namespace lumafex::design {

// A designer holds at most this many pictures; an add beyond it does nothing.
inline constexpr int kMaxDesignerPictures = 80;

// The sample pictures the replace dialog opens on, in the application directory.
inline constexpr const char* kSamplePicturesFolder = "图案例";

// The replace dialog's title and its filter (description and pattern pairs).
inline constexpr const char* kPictureDialogTitle = "打开";
inline constexpr const char* kPictureDialogFilter =
    "所有图片文件 |*.bmp;*.dib;*.gif;*.jpg;*.jpeg;*.ico;*.cur;*.wmf;*.emf|"
    "Windows位图文件 (*.bmp;*.dib)|*.bmp;*.dib|"
    "GIF文件 (*.gif)|*.gif|"
    "JPG文件 (*.jpg;*.jpeg)|*.jpg;*.jpeg|"
    "ICO图标文件 (*.ico;*.cur)|*.ico;*.cur|"
    "wmf文件 (*.wmf;*.emf)|*.wmf;*.emf|";

// The messages both designers show.
inline constexpr const char* kNoPictureSelected = "请先点击要更换的图片。";
inline constexpr const char* kNotAPicture = "图片文件不符合规格！";
inline constexpr const char* kNoClipboardPicture = "请在“画图”窗体选择一个图片块！";

// The names of one designer's window, controls and menu items, and its own texts.
struct DesignerNames {
  const char* window;      // 标志设计窗 / 动态图案设计窗
  const char* caption;     // the window caption
  const char* pictures;    // the picture array 标志图 / 图案图
  const char* count;       // 标志的个数 / 图案的个数
  const char* selection;   // 选中的标志号 / 选中的图案号 (also its caption: nothing selected)
  const char* add;         // 添加一个标志 / 添加一个图案
  const char* deleteLast;  // 删除最后一个标志 / 删除最后一个图案
  const char* deleteLastMenu1;  // 删除_最后一个标志 / 删除最后一个_图案
  const char* deleteLastMenu2;  // 删除最后一个_标志 / 删除最后一幅图
  const char* clear;            // 清空标志 / 清空图案
  const char* clearMenu;        // 清空所有标志 / 清空所有的图案
  const char* clearKey;         // toolbar key "删除全部标志" / "全部删除"
  const char* clearQuestion;    // "确定删除所有标志？" / "确定删除所有图片？"
  const char* copyCurrentMenu;  // 复制当前的标志 / 复制当前的图
  const char* copyFirstMenu;    // 复制第一个标志 / 复制第一个图
  const char* pasteMenu;        // 粘贴到当前的标志 / 粘贴到当前的图
  const char* pasteOtherMenu;  // 从其他程序粘贴图片到当前标志 / 从其他程序粘贴图片到当前图案
};

const DesignerNames& designerNames(PictureKind kind);

// Whether one more picture may be added to `count` pictures.
bool canAddPicture(int count);

// The picture a replace or paste acts on: with a single picture that one; with nothing selected
// (`selection` < 0) none; a selection beyond the last picture is the last picture. None while the
// designer holds no picture.
std::optional<int> pictureToReplace(int selection, int count);

// The file of picture `index` (from 0) in the project directory.
std::filesystem::path pictureFilePath(const std::filesystem::path& projectDirectory, PictureKind kind,
                                      int index);

// Removes the file of picture `index`. A file that is not there counts as removed.
Status removePictureFile(const std::filesystem::path& projectDirectory, PictureKind kind, int index);

}  // namespace lumafex::design
