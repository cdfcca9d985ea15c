#pragma once
// The design window: the effect catalogue and the programming board, the title, tube and colour
// parameters of the sign, and the project record they are saved in.

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
#include <memory>

#include "design/ProjectRecord.h"
#include "preview/PreviewWindow.h"

namespace lumafex::app {
class Application;
}
namespace lumafex::controls {
class AdjustableBar;
}

namespace lumafex::design {

class ColourSample;
class PalettePicture;

class DesignWindow : public QWidget {
  Q_OBJECT

 public:
  explicit DesignWindow(app::Application& app, QWidget* parent = nullptr);

  // Window load: restores the last project, else the sample project, else starts a new one.
  void load();
  // Window unload: asks to save a changed project. Returns false when the user cancels.
  bool unload();

  // The board into "临时花式.ini".
  void 保存当前内容();
  // The selected catalogue entry's generator, for colour counts 1 and 3 (single-colour table).
  void 单色花式选择();
  // The same for colour count 2 (the handler of the hidden button 双色花式选择).
  void 双色花式选择处理();

  // The dirty flag (需要存盘).
  bool dirty() const { return 需要存盘->isChecked(); }
  void setDirty(bool on) { 需要存盘->setChecked(on); }

  // Values of the text boxes as numbers (their leading number).
  int columnsValue() const;
  int rowsValue() const;
  int colourCount() const;

  // Everything the project record stores, from the controls (and the values carried for windows
  // that keep their own parts of the record).
  ProjectSettings settings() const;
  // Puts settings into the controls in record order.
  void applySettings(const ProjectSettings& s);
  QStringList boardEntries() const;

  // Stops the step display and the total-program run.
  void stopRun();
  // The stop command: ends a total-program run (back to the first board entry) and the display.
  void stopCommand();

  // A tick of Timer1: the next step of the current effect on the previews.
  void tick();
  // Below this interval (about a display frame) a tick shows every step that came due.
  static constexpr qint64 kCatchUpBelowMs = 16;
  // Steps drawn on the previews so far (for the speed measurement).
  long stepsShown = 0;
  // Runs the whole board on the previews, entry after entry, for ever.
  void 显示总程序Click();
  // Closes the step reader of the scratch step file (before the file is rewritten).
  void closeStepReader();
  // Lays the tubes out on both previews and draws them in their colours, then the title.
  void layOutTubes();
  // Draws the title for the current step on the previews that are switched on.
  void 显示标题();
  // Fills 字体 with the system's font names.
  void 装载字体();

  // The tube and title settings the previews draw with.
  preview::SignStyle signStyle() const;
  preview::TitleStyle titleStyle() const;
  const QString& titleState() const { return titleState_; }

  // Parts of the record that belong to other windows, kept so they round-trip.
  ProjectSettings carried;

  // Window-level flags.
  bool totalRunActive = false;
  bool entryFinished = false;
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
  QPushButton* 双色花式选择;
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
  QPushButton* 打开工程;
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

 signals:
  // The status text for the main window's status bar.
  void statusText(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void connectControls();
  void fillCatalogue();
  void onCatalogueSelection();
  void appendSelectedCatalogueEntry();
  void selectAll();
  void deleteSelected(bool markDirty);
  void move(bool up);
  void clearBoard();
  void onColourCountChosen();
  void onColumnsChanged();
  void onRowsChanged();
  void onSpeedChanged(double value);
  void onTitleChanged();
  void saveProject();
  void openProject();
  void setBoardColours();
  void onBoardSelection();
  // One step of a tick; false when the tick ends without a step drawn.
  bool stepOnce(bool drawTitle);
  void updateTitleState();
  void assembleTotalProgram();
  void extractCurrentEffect();
  void advanceRun();
  void selectBoardEntry(int row);
  void selectCatalogueEntry(int position);
  void setStepCounters(long step);
  void runGenerator(int position);
  void pickColour(const QColor& colour);

  app::Application& app_;
  bool fontsLoaded_ = false;
  bool loadingFonts_ = false;
  bool askingForFonts_ = false;
  bool blinkRed_ = false;
  QString titleState_;
  std::unique_ptr<QFile> stepReader_;
  QElapsedTimer runClock_;
  qint64 scheduled_ = 0;
};

}  // namespace lumafex::design
