#pragma once
// The post-processing window: the assembled sequence as text, one step per line, played step by step
// on the previews; go-to, line marks, hand edits saved as the project's manual file, and the title
// effect text whose masks light the title channels.

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "core/design/Playback.h"
#include "desktop/design/DesignWindow.h"
#include "desktop/design/ProjectDocument.h"

namespace lumafex::app {
class Application;
}
namespace lumafex::controls {
class AdjustableBar;
class CheckBoxControl;
}  // namespace lumafex::controls

namespace lumafex::postedit {

// The step run's commands as the main window and the output window use them.
class PostEditCommands {
 public:
  virtual ~PostEditCommands() = default;
  // 运行: the step run from the first line.
  virtual void runCommand() = 0;
  // 暂停: stops or resumes the run.
  virtual void pauseRun() = 0;
  // 停止, and what a compile does before and after it runs.
  virtual void stopRun() = 0;
};

class PostEditWindow : public QWidget, public PostEditCommands {
  Q_OBJECT

 public:
  PostEditWindow(app::Application& app, design::ProjectDocument& document, QWidget* parent = nullptr);

  // Draws the current step on the previews that are switched on, then the title.
  void 显示一步();
  void 显示标题();
  // The caret's row and column of Text1 into 行 and 列.
  void 求行数();

  // 运行: the step run from the first line of Text1.
  void runCommand() override;
  void pauseRun() override;
  void stopRun() override;
  bool isRunning() const { return Timer1->isActive(); }
  // Shows the window with a sequence from the design window.
  void openSequence(const design::SequenceOpening& opening);
  // Marks the line of the title effect whose mask starts at this character.
  void markTitleEffectLine(int maskStart, int maskLength);
  // The previews' step counter changed: 显示步数 follows it.
  void followStep(long step);
  // A tick of Timer1: the next step of the run.
  void tick();
  // The number of steps of the scratch file: its length ÷ (基本路数 + 2).
  long stepCount() const;
  // Puts the sequence text into Text1 (lines ended by CR LF or LF).
  void setSequenceText(const QString& text);
  // Text1's text with CR LF line ends, as the files hold it.
  QString sequenceText() const;
  // Goes to a step (what 去到 does for the number in 显示步数).
  void goToStep();
  // Selects a range of Text2 (characters), shows the window and focuses Text2: where a compile
  // found a mask of the wrong length.
  void selectInTitleEffect(int start, int length);

  long baseChannels() const;
  // Sets 基本路数; a width that is not 0 also sets the text size: 560 ÷ width, at most 36.
  void setBaseChannels(const QString& text);
  long stepLabel() const;
  const QString& currentTubes() const { return stepTubes; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Controls.
  QGroupBox* 背景花式板;
  QGroupBox* 标题花式板;
  QGroupBox* 参数板;
  QTextEdit* Text1;
  QPlainTextEdit* Text2;
  QLabel* 基本路数;
  QLabel* 步数;
  QLabel* 步数调节;
  QLabel* 行;
  QLabel* 列;
  controls::AdjustableBar* HScroll1;
  controls::AdjustableBar* 字体大小;
  QLineEdit* 显示步数;
  QPushButton* 去到;
  QPushButton* 清除标记;
  controls::CheckBoxControl* 人工修改;
  controls::CheckBoxControl* 锁定花式;
  QPushButton* 运行;
  QPushButton* 定位灯管;
  QTimer* Timer1;
  QTimer* 延时起点后期处理;

  // Window state.
  QString stepTubes;
  QString stepImages;
  bool sliderBusy = false;
  bool textEdited = false;

  void buildControls();
  void connectControls();
  void onSliderChanged(double value);
  void onTitleEffectChanged();
  void onText1KeyDown();
  void clickInTitleEffect();
  void clearMarks();
  void writeScratchFromText();
  bool openScratch();
  void closeScratch();
  bool readStep();
  void takeStep(const std::string& line);
  void setStepLabel(long step);
  void placeCaretOnLine(long line, bool atStart);
  void onRowsLabel();

  void mapProject(bool created);
  void writeTitleEffect();
  // A save that failed is reported once, until one succeeds again.
  void report(const Status& status, bool& failedBefore);
  preview::PreviewWindow* horizontal() const;
  preview::PreviewWindow* vertical() const;

  app::Application& app_;
  design::ProjectDocument& document_;
  design::StepCursor scratch_;
  // Home and End in the read-only sequence move the caret along its line (Ctrl: to the text's
  // start or end) and keep it in view; other keys go their usual way.
  bool readOnlyKey(QKeyEvent* key);
  void onColumnsLabel();
  bool settingText_ = false;
  // The question about 基本路数 is open: a tick that comes meanwhile does nothing.
  bool askingBaseChannels_ = false;
  bool mappingTitle_ = false;
  bool manualSaveFailed_ = false;
  bool titleSaveFailed_ = false;
};

}  // namespace lumafex::postedit
