#pragma once
// The design window: the effect catalogue and the programming board, the title, tube and colour
// parameters of the sign. Its part of the open project (the board and the settings its controls
// hold) lives in the project document; the window maps it onto its controls and edits through it.

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "core/design/Playback.h"
#include "core/design/ProjectRecord.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/preview/PreviewWindow.h"
#include "render/PictureRenderer.h"

namespace lumafex::app {
class Application;
}
namespace lumafex::controls {
class AdjustableBar;
}

namespace lumafex::design {

class ColourSample;
class PalettePicture;
class CatalogueThumbnails;

// A sequence handed to the post-processing window.
struct SequenceOpening {
  QString text;                  // the sequence, lines ended by CR LF or LF
  std::optional<long> steps;     // the step slider's maximum, when known
  std::optional<double> points;  // the text size of the sequence box, when set
  bool startRun = false;         // start the one-shot start of the step run
};

// What the design window asks of the rest of the program. Every member may be left empty.
struct DesignContext {
  // The sign views the window draws on.
  std::function<preview::PreviewWindow*()> horizontal;
  std::function<preview::PreviewWindow*()> vertical;
  // Shows the post-processing window in the working place with a sequence.
  std::function<void(const SequenceOpening&)> openSequence;
  // Stops the post-processing window's step run.
  std::function<void()> stopPostRun;
  // Marks the line of the title effect now in force (character offset of its mask).
  std::function<void(int maskStart)> showTitleEffectLine;
  // Shows the design window in the working place (hiding the post-processing window).
  std::function<void()> showDesign;
  // 新建工程 of the main window.
  std::function<void()> newProject;
  // Places and shows the previews as the project stores them.
  std::function<void()> placePreviews;
  // Shows the previews whose switches are on.
  std::function<void()> showPreviews;
  // The main window's caption.
  std::function<QString()> caption;
  std::function<void(const QString&)> setCaption;
};

// The design window's commands as the main window uses them.
class DesignCommands {
 public:
  virtual ~DesignCommands() = default;
  // 显示总程序: the whole board on the previews, entry after entry.
  virtual void 显示总程序Click() = 0;
  // 生成TXT文件: assemble the total program and open the post-processing window on it.
  // False when nothing was assembled (the reason has been shown).
  virtual bool 生成TXT文件Click() = 0;
  // 提取当前花式: the current effect alone into the post-processing window.
  virtual void 提取当前花式Click() = 0;
  // 保存工程: the project record to the current project path.
  // False when the record could not be written (the user has been told).
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
  DesignWindow(app::Application& app, ProjectDocument& document, DesignContext context,
               QWidget* parent = nullptr);

  // Window load: restores the last project, else the sample project, else starts a new one.
  void load();
  // Window unload: asks to save a changed project. Returns false when the user cancels.
  bool unload() override;

  // The board into "临时花式.ini".
  void 保存当前内容();
  // The selected catalogue entry's generator, for colour counts 1 and 3 (single-colour table).
  void 单色花式选择();
  // The same for colour count 2.
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
  void stopRun() override;
  // The stop command: ends a total-program run (back to the first board entry) and the display.
  void stopCommand() override;
  void pauseRun() override;
  void 显示总程序Click() override;
  bool 生成TXT文件Click() override;
  void 提取当前花式Click() override;
  bool 保存工程Click() override;
  void 打开工程() override;
  void focusTitle() override;
  void 定位灯管Click() override;
  bool isLoadingProject() const override { return loadingProject; }

  // Logos and images on the sign.
  // False when the file could not be written (the user has been told).
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
  void tick();
  // Below this interval (about a display frame) a tick shows every step that came due.
  static constexpr qint64 kCatchUpBelowMs = 16;
  // Steps drawn on the previews so far (for the speed measurement).
  long stepsShown() const { return stepsShown_; }
  void resetStepsShown() { stepsShown_ = 0; }
  // Closes the step reader of the scratch step file (before the file is rewritten).
  void closeStepReader() override;
  // Lays the tubes out on both previews and draws them in their colours, then the title.
  void layOutTubes();
  // Draws the title for the current step on the previews that are switched on.
  void 显示标题();
  // Fills 字体 with the system's font names.
  void 装载字体();

  const QString& titleState() const { return titleState_; }
  bool isTotalRunActive() const { return totalRun_.active(); }
  // Stops the timer that advances the whole-board run (tests drive it tick by tick).
  void stopBoardTimer() { 定时显示总程序->stop(); }
  void showCatalogueThumbnails(bool on) override;
  CatalogueThumbnails& catalogueThumbnails() { return *thumbnails_; }

 signals:
  // The status text for the main window's status bar.
  void statusText(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void buildControls();
  void connectControls();
  void fillCatalogue();
  void onCatalogueSelection();
  void appendSelectedCatalogueEntry();
  void selectAll();
  void deleteSelected(bool markDirty);
  void move(bool up);
  // withColourCount: the board is cleared by a new colour count, in the same undo step.
  void clearBoard(bool withColourCount = false);
  void onColourCountChosen();
  void onColumnsChanged();
  void onRowsChanged();
  void onSpeedChanged(double value);
  void onTitleChanged();
  void setBoardColours();
  void onBoardSelection();
  // One step of a tick; false when the tick ends without a step drawn.
  bool stepOnce(bool drawTitle);
  void updateTitleState();
  bool assembleTotalProgram();
  void extractCurrentEffect();
  void advanceRun();
  void selectBoardEntry(int row);
  void selectCatalogueEntry(int position);
  void setStepCounters(long step);
  void runGenerator(int position);
  void pickColour(const QColor& colour);
  // The project's part this window shows: onto the controls (after an open or a new project) and
  // back into the project (after a control changed).
  void mapProject(bool created);
  void storeSettings();
  // The settings onto the controls, and the parts an undo or redo brought back.
  void mapSettings();
  void showRestored(int parts);
  void showBoard();
  // What the sign shows of its pictures in the layout view and in a step of the run.
  preview::PictureFrame layoutPictures() const;
  preview::PictureFrame stepPictures(const QString& line) const;
  void arrange(PictureKind kind, Arrangement arrangement);
  bool savePictureCoordinatesOf(PictureKind kind);
  void hideBlocks(PictureKind kind);
  preview::PreviewWindow* horizontal() const;
  preview::PreviewWindow* vertical() const;
  bool horizontalShown() const;
  bool verticalShown() const;

  app::Application& app_;
  ProjectDocument& document_;
  DesignContext context_;
  bool fontsLoaded_ = false;
  bool loadingFonts_ = false;
  bool askingForFonts_ = false;
  bool blinkRed_ = false;
  bool mapping_ = false;
  bool restoring_ = false;
  long stepsShown_ = 0;
  QString titleState_;
  // The step reader of the scratch step file, open between ticks.
  StepCursor stepReader_;
  CatchUpScheduler catchUp_;
  QElapsedTimer runClock_;
  // "显示总程序": totalRunActive and entryFinished.
  BoardRun totalRun_;

  // Window-level flags.
  bool generatingTxt = false;
  bool addingAll = false;
  bool reordering = false;
  bool savingState = false;
  bool loadingProject = false;

  // Panels.
  QGroupBox* 基本花式板;
  QGroupBox* 编程板;
  QGroupBox* 标题参数板;
  QGroupBox* 灯管排列板;
  QGroupBox* 色彩选择板;
  // Catalogue and board.
  QListWidget* List2;
  QListWidget* List1;
  QPushButton* 调入基本花式;
  QPushButton* 选择;
  QPushButton* 全选;
  QPushButton* 删除;
  QPushButton* 上移;
  QPushButton* 下移;
  QPushButton* 全部清除;
  QPushButton* 显示总程序;
  QPushButton* 生成TXT文件;
  QPushButton* 提取当前花式;
  QPushButton* 保存工程;
  // Tubes.
  QLineEdit* 列数;
  QLineEdit* 行数;
  QComboBox* 色数;
  QCheckBox* 空心;
  QCheckBox* 启用灯管;
  QCheckBox* 启用图案;
  QCheckBox* 启用标志;
  QPushButton* 定位灯管;
  controls::AdjustableBar* 速度调节;
  QLabel* 速度;
  // Title.
  QLineEdit* 标题名称;
  QComboBox* 字体;
  QLineEdit* 字体大小;
  QLineEdit* 字间隔;
  QCheckBox* 粗体;
  QCheckBox* 斜体;
  QCheckBox* 禁用文字标题;
  // Colours.
  ColourSample* 标题颜色样品;
  std::array<ColourSample*, 3> 色彩样品;
  std::array<QRadioButton*, 4> 颜色选择内容;
  PalettePicture* 调色板;
  // State.
  QCheckBox* 需要存盘;
  std::array<QLabel*, 6> 板提示;
  QTimer* Timer1;
  QTimer* 定时显示总程序;
  QTimer* 标题字串闪烁;
  CatalogueThumbnails* thumbnails_ = nullptr;
};

}  // namespace lumafex::design
