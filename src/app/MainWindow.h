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

namespace lumafex::controls {
class CheckBoxControl;
class VelarnButton;
}  // namespace lumafex::controls

namespace lumafex::design {
struct ProjectSettings;
}

namespace lumafex::app {

class Application;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(Application& app);

  // Main window load: the design window (which restores the project), the recent-file menu.
  void load();

  void 新建工程();
  void openProjectCommand();
  void saveProjectCommand();
  void saveAsCommand();
  void openRecent(int slot);
  void 调入最近打开的文件菜单();
  void 备份最近打开的菜单();
  void 调整尺寸();

  // Places and shows the previews as an opened project stores them (sizes, locks, title-effect
  // switches, which preview is on), and puts the working window beside them.
  void placePreviews(const design::ProjectSettings& s);
  // Shows the previews whose switches are on.
  void showPreviews();
  // The previews' parts of the project record.
  void storePreviews(design::ProjectSettings& s) const;
  QMdiSubWindow* postEditFrame = nullptr;
  QMdiSubWindow* horizontalFrame = nullptr;
  QMdiSubWindow* verticalFrame = nullptr;

  // Run, pause and stop act on the working window that is shown.
  void runCommand();
  void pauseCommand();
  void stopCommand();
  // 属性: back to the design window (asking first when hand edits would be lost).
  void backToDesignCommand();
  // 单IC导出 and 多集成块_每8路一块: assemble (or take the hand edits), then compile in the output window.
  void exportCommand(bool perEightChannels);
  // Shows the design window or the post-processing window in the working place, hiding the other.
  void showDesign();
  void showPostEdit();

  bool horizontalShown() const;
  bool verticalShown() const;
  // Sets both preview switches as a project stores them (at least one stays on).
  void setPreviewSwitches(bool horizontal, bool vertical);
  void setStatusText(const QString& text);

  QMdiArea* mdi;
  QMdiSubWindow* designFrame = nullptr;
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
  QAction* 顺序排列一行;
  QAction* 图片排列为_边框;
  QAction* 标志排列为一行;
  QAction* 标志排列为边框;
  QAction* 分析当前花式;
  QAction* 后期处理_全过程;
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

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void buildMenus();
  void buildToolbar();
  // The save-changes question; false when the user cancels.
  bool askToSave();
  void openHelp();
  void undoInFocusedBox();
  void onHorizontalSwitch();
  void onVerticalSwitch();
  void exitCommand();

  Application& app_;
  QMenuBar* menus_ = nullptr;
  bool loaded_ = false;  // 已装载: resize does nothing while the window loads
  bool closing_ = false;
};

}  // namespace lumafex::app
