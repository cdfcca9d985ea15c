#pragma once
// The output window: compiles the sequence into EPROM images. Stage one merges the title channels
// into the output buffer and shows it; stage two cuts every buffer line into bytes and writes the
// positive and inverted images of the chosen chip layout. The window reads what it needs from the
// other windows through a CompileContext, so it can be built and tested on its own.

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
#include "core/design/Rules.h"
#include "core/platform/Dialogs.h"
#include "desktop/compiler/ChipPanel.h"

class QCloseEvent;

namespace lumafex::controls {
class AdjustableBar;
class VelarnButton;
}  // namespace lumafex::controls

namespace lumafex::compiler {

// What a compile reads from (and does to) the other windows. Every member may be left empty: an
// empty query reads as false or an empty text, an empty action does nothing.
struct CompileContext {
  std::function<bool()> boardEmpty;          // the design window's board has no entry
  std::function<void()> stopPostRun;         // stop the post-processing window's step run
  std::function<QString()> titleText;        // 标题名称
  std::function<QString()> titleEffectText;  // the post-processing window's Text2
  std::function<bool()> horizontalShown, horizontalTitleEffect, verticalShown, verticalTitleEffect;
  std::function<QString()> baseChannels;  // the post-processing window's 基本路数 caption
  // The mask of the wrong length: select it in the post-processing window's Text2 (start, length in
  // characters), show that window and put the focus into Text2.
  std::function<void(int start, int length)> showFaultyMask;
  std::function<QString()> applicationDirectory;  // working files: total program, output buffer
  std::function<QString()> projectDirectory;      // images go to its "bin"
  platform::Dialogs* dialogs = nullptr;
};

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
  explicit OutputWindow(CompileContext context = {}, QWidget* parent = nullptr);

  void setContext(CompileContext context) { context_ = std::move(context); }
  const CompileContext& context() const { return context_; }

  // The compile command (what a click on 编译 runs): the buffer, then the images of the selected
  // layout, then the success message. Does nothing while the board is empty or a compile runs.
  void 编译Command();
  // The main window's export: the layout selected, the window shown, then 编译. `letEventsRun`
  // lets pending window events run before the compile starts.
  void compileAs(ChipLayout layout, const std::function<void()>& letEventsRun = {});
  // Stage one: "霓虹灯花式.txt" of the application directory, with the title channels when the title
  // is merged, into "霓虹灯花式_输出缓冲.txt" beside it; the result box, 路数 and 行.
  void 生成混合的输出缓冲();
  // Stage two: the buffer into the project's "bin", all bytes of a frame in one chip …
  void 生成单集成块二进制结果();
  // … or one chip per 8 channels.
  void 生成多集成块二进制结果();
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

  // Whether the compile under way (or the last one) failed; the image writers do nothing then.
  bool compileFailed() const { return compileFailed_; }
  void setCompileFailed(bool failed) { compileFailed_ = failed; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildControls();
  void writeImages(ChipLayout layout);
  void applyResultFont();
  void showWindow();
  void tell(const std::string& message);

  CompileContext context_;
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
