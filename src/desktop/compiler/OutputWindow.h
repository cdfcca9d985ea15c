#pragma once
// The output window: compiles the open project into EPROM images through the core's one compile
// (compiler::compileProject), the same road lumafex-cli takes, and shows what it made: the output
// buffer, the channel and row counts, the report, the checksums; and compares chips read back by
// the programmer with the project's images (compiler::verifyChips).

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QString>
#include <QTextEdit>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "core/compiler/EpromImages.h"
#include "core/compiler/ProjectCompile.h"
#include "core/design/Rules.h"
#include "core/platform/Dialogs.h"
#include "desktop/compiler/ChipPanel.h"

class QCloseEvent;

namespace lumafex::design {
class ProjectDocument;
}
namespace lumafex::controls {
class AdjustableBar;
class VelarnButton;
}  // namespace lumafex::controls

namespace lumafex::compiler {

// The label 路数. Setting its text through this class tells the window, whose result box takes a
// font size that follows the channel count (QLabel itself reports no text change).
class ChannelCountLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;
  void setText(const QString& text);
  std::function<void()> changed;
};

class OutputWindow : public QWidget {
  Q_OBJECT

 public:
  // `workDirectory`: where the working files live (the total program, the output buffer).
  OutputWindow(design::ProjectDocument& document, QString workDirectory, platform::Dialogs& dialogs,
               QWidget* parent = nullptr);

  // The compile command (what a click on 编译 runs): the total program that 生成TXT文件 or an
  // export left in the work directory, into the selected layout, then the success message. Does
  // nothing while the board is empty or a compile runs.
  void 编译Command();
  // The main window's export: the layout selected, the window shown, then the compile of what the
  // export compiles (the board assembled anew; per 8 channels, the manual file when there is one).
  // `letEventsRun` lets pending window events run before the compile starts.
  void compileAs(ChipLayout layout, const std::function<void()>& letEventsRun = {});
  // The caret's row (1-based) and column (0-based) in the result box into 行 and 列.
  void 求行数();
  // Puts back the labels' initial texts; closing the window does it.
  void resetLabels();

  // The point size of the result box for a 路数 text: the size of any sequence box (560 ÷ its
  // value, at most 36), and at least kMinResultPoints so a wide buffer stays readable; nullopt
  // when the value is not positive.
  static std::optional<double> resultPointSize(const QString& channels);
  static constexpr double kMinResultPoints = 8;
  static constexpr double kMaxResultPoints = design::kMaxLinePoints;
  // While the images are written, pending events are processed once per this many frames.
  static constexpr long kFramesPerEventPass = 256;

  // Whether the compile under way (or the last one) failed.
  bool compileFailed() const { return compileFailed_; }

 signals:
  // A compile starts, and again when it has ended: the post-processing window's step run stops.
  void compileStopsRuns();
  // A title mask of the wrong length (start and length in the title effect text): it is selected
  // in the post-processing window, which is shown with the focus in its title effect.
  void faultyMask(int start, int length);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildControls();
  void compile(Sequence sequence);
  void showResult(const CompileResult& result, std::optional<ChipLayout> layout);
  // "校验芯片…": chips read back, compared with the project's images of the last compile's layout.
  void verifyChips();
  void applyResultFont();
  void showWindow();
  void tell(const std::string& message);

  design::ProjectDocument& document_;
  QString workDirectory_;
  platform::Dialogs& dialogs_;
  // The request of the last compile (what 校验芯片… compares with).
  std::optional<CompileRequest> lastRequest_;
  // What the next click on 编译 compiles (an export sets it for its click).
  Sequence nextSequence_ = Sequence::WorkingProgram;
  bool compiling_ = false;
  bool compileFailed_ = false;

  QTextEdit* Text1;  // the result box: the buffer, blanks shown as "_"
  QLabel* Label2;
  QTextEdit* Text2;  // the report box
  QGroupBox* formatPanel;
  QRadioButton* 输出单集成块;
  QRadioButton* 输出多集成块;
  ChannelCountLabel* 路数;
  QLabel* 行;
  QLabel* 列;
  QLabel* bytesCaption;
  QLabel* 每帧字节数;
  QLabel* chipsCaption;
  QLabel* 集成块个数;
  controls::VelarnButton* 编译;
  controls::AdjustableBar* 进度条;
  ChipPanel* chipPanel;  // the group "芯片" and the checksum list
};

}  // namespace lumafex::compiler
