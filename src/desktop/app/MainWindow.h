#pragma once
// The main window: the frame around every working window, with the menus, the toolbar strip, the
// status bar, and the project commands (new, open, save, save as, recent files).

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <array>
#include <functional>
#include <memory>

#include "core/compiler/EpromImages.h"

namespace lumafex::controls {
class CheckBoxControl;
class VelarnButton;
}  // namespace lumafex::controls

namespace lumafex::design {
struct ProjectSettings;
class ProjectDocument;
class DesignCommands;
enum class PictureKind;
}  // namespace lumafex::design
namespace lumafex::postedit {
class PostEditCommands;
}
namespace lumafex::preview {
class PreviewWindow;
}

namespace lumafex::app {

class Application;

// What the main window's commands reach in the working windows, created on first use.

class ProjectCommands;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(Application& app, design::ProjectDocument& document);
  ~MainWindow() override;

  // The working windows' MDI frames, which this window places.
  enum class Frame { Design, PostEdit, Horizontal, Vertical, Output, Designer };
  QMdiSubWindow* addFrame(Frame kind, QWidget* window, const QString& frameName, Qt::WindowFlags flags);
  QSize clientSize() const;
  bool postEditShown() const;
  bool designShown() const;

  // Main window load: the design window (which restores the project), the recent-file menu.
  void load();

  void 新建工程();
  void openProjectCommand();
  void saveProjectCommand();
  void saveAsCommand();
  void openRecent(int slot);
  // The save-changes question; false when the user cancels.
  bool askToSave();
  void 调入最近打开的文件菜单();
  void 备份最近打开的菜单();
  void 调整尺寸();

  // Places and shows the previews as an opened project stores them (sizes, which preview is on),
  // and puts the working window beside them.
  void placePreviews();
  // Shows the previews whose switches are on.
  void showPreviews();
  // The previews at their places: the vertical one at the top left, the horizontal one at the
  // top, beside the vertical one when that is shown.
  void placePreviewFrames();

  // Run, pause and stop act on the working window that is shown.
  void runCommand();
  void pauseCommand();
  void stopCommand();
  // 属性: back to the design window (asking first when hand edits would be lost).
  void backToDesignCommand();
  // 单IC导出 and 多集成块_每8路一块: assemble (or take the hand edits), then compile in the output window.
  void exportCommand(bool perEightChannels);
  // 导出动画…: the sign of the shown preview as an animated GIF; with `artwork` (导出实物效果…) the
  // artwork lit as the chip drives it, as an MP4 video, a GIF or a picture.
  void exportAnimationCommand(bool artwork = false);
  // Shows the design window or the post-processing window in the working place, hiding the other.
  void showDesign();
  void showPostEdit();

  bool horizontalShown() const;
  bool verticalShown() const;
  // Sets both preview switches as a project stores them (at least one stays on).
  void setPreviewSwitches(bool horizontal, bool vertical);
  void setStatusText(const QString& text);
  // 退出: the usual way out, asking to save first (the user may stay).
  void exitCommand();
  // 标志设计 / 图案设计: both timers stopped, then the designer shown.
  void designerCommand(design::PictureKind kind);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenus();
  void buildToolbar();
  void openHelp();
  void undoInFocusedBox();
  void onHorizontalSwitch();
  void onVerticalSwitch();
  // The project's part this window shows (preview switches and sizes, its own size) and what it
  // stores back before a save.
  void mapProject(bool created);
  void storeSwitches();
  void storeFrames();

  Application& app_;
  design::ProjectDocument& document_;
  std::unique_ptr<ProjectCommands> projectCommands_;
  QMenuBar* menus_ = nullptr;
  bool loaded_ = false;  // 已装载: resize does nothing while the window loads
  bool closing_ = false;

  QMdiArea* mdi;
  QMdiSubWindow* designFrame = nullptr;
  QMdiSubWindow* postEditFrame = nullptr;
  QMdiSubWindow* horizontalFrame = nullptr;
  QMdiSubWindow* verticalFrame = nullptr;
  QMdiSubWindow* outputFrame = nullptr;
  QWidget* Picture1;
  QStatusBar* sbStatusBar;
  QLabel* statusPanel;
  controls::CheckBoxControl* 启用横显示;
  controls::CheckBoxControl* 启用竖列显示;

  QAction* mnuFileNew;
  QAction* mnuFileOpen;
  QAction* mnuFileSave;
  QAction* mnuFileSaveAs;
  std::array<QAction*, 8> mnuFileMRU{};
  QAction* mnuFileBar4;
  QAction* mnuFileExit;
  QAction* 标志设计;
  QAction* 图案设计;
  QAction* mnuViewToolbar;
  QAction* mnuViewStatusBar;
  QAction* 花式缩略图;
  QAction* 顺序排列一行;
  QAction* 图片排列为_边框;
  QAction* 标志排列为一行;
  QAction* 标志排列为边框;
  QAction* 分析当前花式;
  QAction* 后期处理_全过程;
  QAction* mnuEditUndo;
  QAction* mnuEditRedo;
  QAction* 多集成块_每8路一块;
  QAction* 单IC导出;
  QAction* 说明书;
  QAction* 检查更新;  // shows the update window and reads the product list again
  QAction* mnuHelpAbout;

  controls::VelarnButton* 新建;
  controls::VelarnButton* 打开;
  controls::VelarnButton* 保存;
  controls::VelarnButton* 标志设计按钮;
  controls::VelarnButton* 灯;
  controls::VelarnButton* 运行;
  controls::VelarnButton* 暂停;
  controls::VelarnButton* 停止;
  controls::VelarnButton* 属性;
  controls::VelarnButton* 后期处理;
  controls::VelarnButton* 撤销;
  controls::VelarnButton* 帮助;
};

}  // namespace lumafex::app
