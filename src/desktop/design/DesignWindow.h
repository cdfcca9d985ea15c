#pragma once
// The design window (霓虹灯设计窗): the effect catalogue and the programming board (BoardPanel), the
// tube settings (SignSettingsPanel), the title (TitlePanel) and the colours (ColourChooser), with the
// run on the previews (RunPlayer). Its part of the open project (the board and the settings its
// controls hold) lives in the project document: the panels show it and edit through it; this
// window opens and saves the project and hands sequences to the post-processing window.

#include <QCheckBox>
#include <QLabel>
#include <QStringList>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

#include "core/design/Project.h"
#include "desktop/design/PicturePlacements.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/design/RunPlayer.h"
#include "desktop/design/SequenceHandOff.h"
#include "render/PictureRenderer.h"

namespace lumafex::app {
class Application;
}

namespace lumafex::design {

class BoardPanel;
class SignSettingsPanel;
class TitlePanel;
class ColourChooser;
class RunPlayer;
class CatalogueThumbnails;

// The design window's commands as the main window uses them.
class DesignCommands {
 public:
  virtual ~DesignCommands() = default;
  // 显示总程序: the whole board on the previews, entry after entry.
  virtual void 显示总程序Click() = 0;
  // 生成TXT文件: assemble the total program and open the post-processing window on it.
  // False when nothing was assembled or written (the reason has been shown).
  virtual bool 生成TXT文件Click() = 0;
  // 提取当前花式: the current effect alone into the post-processing window.
  virtual void 提取当前花式Click() = 0;
  // 保存工程: the project record to the current project path. False when the record could not be
  // written (the user has been told).
  virtual bool 保存工程Click() = 0;
  // Reads the project at the current project path and restores the windows.
  virtual void 打开工程() = 0;
  virtual void closeStepReader() = 0;
  // 暂停: stops or resumes the step display.
  virtual void pauseRun() = 0;
  virtual void stopCommand() = 0;
  virtual void stopRun() = 0;
  virtual bool unload() = 0;
  virtual void focusTitle() = 0;
  // 定位灯管 (pressed after a preview was resized).
  virtual void 定位灯管Click() = 0;
  virtual bool isLoadingProject() const = 0;
  // The arrangements of the logos and images on the sign (the main window asks first).
  virtual void 标志排列一行() = 0;
  virtual void 标志排列为边框() = 0;
  virtual void 图片排列一行() = 0;
  virtual void 图片排列为边框() = 0;
  // Hides the placement blocks of logos and images and the title pictures.
  virtual void 消除各种物件块() = 0;
  // Shows or hides the pictures of the effects beside the catalogue entries.
  virtual void showCatalogueThumbnails(bool on) = 0;
};

class DesignWindow : public QWidget, public DesignCommands {
  Q_OBJECT

 public:
  DesignWindow(app::Application& app, ProjectDocument& document, QWidget* parent = nullptr);

  // Window load: restores the last project, else the sample project, else starts a new one.
  void load();
  // Window unload: asks to save a changed project. Returns false when the user cancels.
  bool unload() override;

  // The board into "临时花式.ini".
  void 保存当前内容();
  // The selected catalogue entry's generator, for colour counts 1 and 3 (single-colour table) …
  void 单色花式选择();
  // … and for colour count 2.
  void 双色花式选择();

  // The dirty flag (需要存盘).
  bool dirty() const { return document_.dirty(); }
  void setDirty(bool on) { document_.setDirty(on); }

  // Values of the text boxes as numbers (their leading number).
  int columnsValue() const;
  int rowsValue() const;
  int colourCount() const;
  QStringList boardEntries() const;

  // Stops the step display and the total-program run.
  void stopRun() override { player_->stopRun(); }
  // The stop command: ends a total-program run (back to the first board entry) and the display.
  void stopCommand() override { player_->stopRun(true); }
  // Stops the step display only (the run of the board stays where it is).
  void stopDisplay() { player_->stopDisplay(); }
  void pauseRun() override { player_->pause(); }
  void 显示总程序Click() override { player_->runBoard(); }
  bool 生成TXT文件Click() override;
  void 提取当前花式Click() override;
  bool 保存工程Click() override;
  void 打开工程() override;
  void focusTitle() override;
  void 定位灯管Click() override;
  bool isLoadingProject() const override { return loadingProject; }

  // Logos and images on the sign. A save is false when the file could not be written (the user
  // has been told).
  bool 保存标志的坐标();
  void 读取标志的坐标();
  bool 保存图案的坐标();
  void 读取图案的坐标();
  // Draw every logo / every image on the previews that are switched on (with the layout).
  void 显示标志();
  void 显示图案();
  void 消除标志块();
  void 消除图案块();
  void 消除各种物件块() override;
  void 标志排列一行() override;
  void 标志排列为边框() override;
  void 图片排列一行() override;
  void 图片排列为边框() override;
  // 启用标志 / 启用图案 switched by the designers.
  void setPicturesShown(PictureKind kind, bool on);

  // A tick of Timer1: the next step of the current effect on the previews.
  void tick() { player_->tick(); }
  // Steps drawn on the previews so far (for the speed measurement).
  long stepsShown() const { return player_->stepsShown(); }
  void resetStepsShown() { player_->resetStepsShown(); }
  // Closes the step reader of the scratch step file (before the file is rewritten).
  void closeStepReader() override { player_->closeStepReader(); }
  // Lays the tubes out on both previews and draws them in their colours, then the title.
  void layOutTubes();
  // Draws the title for the current step on the previews that are switched on.
  void 显示标题() { player_->showTitle(); }
  // Fills 字体 with the system's font names.
  void 装载字体();

  const QString& titleState() const { return player_->titleState(); }
  bool isTotalRunActive() const { return player_->isTotalRunActive(); }
  // Stops the timer that advances the whole-board run (tests drive it tick by tick).
  void stopBoardTimer() { player_->stopBoardTimer(); }
  void showCatalogueThumbnails(bool on) override;
  CatalogueThumbnails& catalogueThumbnails() { return *thumbnails_; }

 signals:
  // The status text for the main window's status bar.
  void statusText(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void connectPanels();
  void onCatalogueSelection();
  void onColourCountChosen();
  void onColumnsChanged();
  void onRowsChanged();
  void onSpeedChanged();
  // The speed under the board: "速度：（" ms "毫秒/步）".
  void showSpeedHint();
  void runGenerator(int position);
  // The project's part this window shows: onto the controls (after an open or a new project) and
  // back into the project (after a control changed).
  void mapProject(bool created);
  void storeSettings();
  // The settings onto the controls, and the parts an undo or redo brought back.
  void mapSettings();
  void showRestored(int parts);
  // What the sign shows of its pictures in the layout view.
  preview::PictureFrame layoutPictures() const;

  app::Application& app_;
  ProjectDocument& document_;
  PicturePlacements placements_;
  bool mapping_ = false;
  bool restoring_ = false;

  // Window-level flags: the total program is being assembled, the working state written, a
  // project loaded.
  bool generatingTxt = false;
  bool savingState = false;
  bool loadingProject = false;

  BoardPanel* board_;
  SignSettingsPanel* tubes_;
  TitlePanel* title_;
  ColourChooser* colours_;
  RunPlayer* player_;
  std::unique_ptr<SequenceHandOff> handOff_;
  QCheckBox* 需要存盘;
  std::array<QLabel*, 6> 板提示;
  CatalogueThumbnails* thumbnails_ = nullptr;
};

}  // namespace lumafex::design
