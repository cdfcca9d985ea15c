#include "desktop/compiler/OutputWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <filesystem>

#include "core/compiler/ChipVerify.h"
#include "core/compiler/OutputBuffer.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"
#include "desktop/app/WorkArea.h"
#include "desktop/controls/AdjustableBar.h"
#include "desktop/controls/VelarnButton.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/platform/QtDialogs.h"

namespace lumafex::compiler {

namespace fs = std::filesystem;
using platform::qs;
using platform::us;

namespace {

const QString kSuccessMessage = QStringLiteral("编译成功！请参阅 “编译结果：”");
constexpr const char* kNoCompile = "请先编译，再校验芯片。";
constexpr const char* kChooseTitle = "选择编程器读回的芯片文件";
constexpr const char* kReadBackFilter = "芯片文件 (*.bin *.hex *.s19)|*.bin;*.hex;*.s19|所有文件 (*)|*";

// The result box: after a key has moved the caret, the window shows the caret's row and column.
class ResultBox : public QTextEdit {
 public:
  using QTextEdit::QTextEdit;
  std::function<void()> afterKey;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    QTextEdit::keyPressEvent(event);
    if (afterKey) afterKey();
  }
};

// The hourglass for as long as a step runs; nested steps stack their cursors.
class WaitCursor {
 public:
  WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { release(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  void release() {
    if (active_) QGuiApplication::restoreOverrideCursor();
    active_ = false;
  }

 private:
  bool active_ = true;
};

template <class W>
W* named(W* w, const char* name) {
  w->setObjectName(QString::fromUtf8(name));
  return w;
}

// Text for a text box: the system's files end their lines with CR LF, the box with one paragraph
// break per line.
QString boxText(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

// The buffer file's bytes as text: GBK, or byte for byte when it is not valid GBK.
QString bufferText(const std::string& bytes) {
  if (platform::isAscii(bytes))
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (auto decoded = platform::gbkToUtf8(bytes)) return qs(*decoded);
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

void ChannelCountLabel::setText(const QString& text) {
  if (text == QLabel::text()) return;
  QLabel::setText(text);
  if (changed) changed();
}

OutputWindow::OutputWindow(design::ProjectDocument& document, QString workDirectory,
                           platform::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), document_(document), workDirectory_(std::move(workDirectory)), dialogs_(dialogs) {
  setObjectName(QStringLiteral("输出窗体"));
  setWindowTitle(QStringLiteral("编译输出"));
  buildControls();
  resize(860, 580);
}

void OutputWindow::buildControls() {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 8, 8, 8);
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(6);

  // The result box: one buffer line per row, never wrapped, so a row is a frame.
  auto* result = new ResultBox(this);
  Text1 = named(static_cast<QTextEdit*>(result), "Text1");
  Text1->setReadOnly(true);
  Text1->setAcceptRichText(false);
  Text1->setLineWrapMode(QTextEdit::NoWrap);
  Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  Text1->setToolTip(QStringLiteral("输出缓冲：每行一帧，“_”为不亮的路"));
  Text1->setMinimumSize(360, 240);
  result->afterKey = [this] { 求行数(); };
  grid->addWidget(Text1, 0, 0, 3, 1);

  // The side column: format, counts, the command.
  auto* side = new QVBoxLayout();
  side->setSpacing(8);
  formatPanel = named(new QGroupBox(QStringLiteral("编译格式："), this), "formatPanel");
  auto* formatBox = new QVBoxLayout(formatPanel);
  输出单集成块 = named(new QRadioButton(QStringLiteral("输出单集成块"), formatPanel), "输出单集成块");
  输出多集成块 =
      named(new QRadioButton(QStringLiteral("输出多集成块（每8路一IC）"), formatPanel), "输出多集成块");
  formatBox->addWidget(输出单集成块);
  formatBox->addWidget(输出多集成块);
  side->addWidget(formatPanel);
  chipPanel = new ChipPanel(this, this);
  chipPanel->projectDirectory = [this] { return document_.projectDirectory(); };
  chipPanel->dialogs = &dialogs_;
  connect(chipPanel, &ChipPanel::verifyRequested, this, [this] { verifyChips(); });
  side->addWidget(chipPanel);

  auto valueLabel = [this](const char* name, const char* initial, const char* tip) {
    auto* label = named(new QLabel(QString::fromUtf8(initial), this), name);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setMinimumWidth(64);
    label->setToolTip(QString::fromUtf8(tip));
    return label;
  };
  路数 = named(new ChannelCountLabel(QStringLiteral("路数"), this), "路数");
  路数->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  路数->setMinimumWidth(64);
  路数->setToolTip(QStringLiteral("本次编译的路数"));
  路数->changed = [this] { applyResultFont(); };
  行 = valueLabel("行", "行", "输出缓冲的行数；在结果框中按键时为光标所在行");
  列 = valueLabel("列", "列", "光标所在列");
  auto* counts = new QHBoxLayout();
  counts->addWidget(路数);
  counts->addWidget(行);
  counts->addWidget(列);
  side->addLayout(counts);

  auto* sizes = new QGridLayout();
  bytesCaption = named(new QLabel(QStringLiteral("每帧字节数："), this), "bytesCaption");
  每帧字节数 = valueLabel("每帧字节数", "每帧字节数", "单集成块：每帧的字节数");
  chipsCaption = named(new QLabel(QStringLiteral("集成块数："), this), "chipsCaption");
  集成块个数 = valueLabel("集成块个数", "集成块个数", "多集成块：集成块（每8路一块）的个数");
  sizes->addWidget(bytesCaption, 0, 0);
  sizes->addWidget(每帧字节数, 0, 1);
  sizes->addWidget(chipsCaption, 1, 0);
  sizes->addWidget(集成块个数, 1, 1);
  sizes->setColumnStretch(1, 1);
  side->addLayout(sizes);

  编译 = named(new controls::VelarnButton(QStringLiteral("编译"), this), "编译");
  编译->setToolTip(QStringLiteral("生成输出缓冲和EPROM文件"));
  编译->setMinimumHeight(32);
  connect(编译, &QAbstractButton::clicked, this, [this] { 编译Command(); });
  side->addWidget(编译);
  side->addStretch(1);
  grid->addLayout(side, 0, 1, 3, 1);

  // The report and the progress below.
  Label2 = named(new QLabel(QStringLiteral("编译结果："), this), "Label2");
  Text2 = named(new QTextEdit(this), "Text2");
  Text2->setAcceptRichText(false);
  Text2->setReadOnly(true);
  Text2->setLineWrapMode(QTextEdit::NoWrap);
  Text2->setMinimumHeight(110);
  Label2->setBuddy(Text2);
  grid->addWidget(Label2, 3, 0, 1, 2);
  grid->addWidget(Text2, 4, 0);
  grid->addWidget(chipPanel->checksumList, 4, 1);

  进度条 = named(new controls::AdjustableBar(this), "进度条");
  进度条->setFocusPolicy(Qt::NoFocus);
  进度条->setToolTip(QStringLiteral("写EPROM文件的进度"));
  grid->addWidget(进度条, 5, 0, 1, 2);

  grid->setColumnStretch(0, 1);
  grid->setRowStretch(0, 3);
  grid->setRowStretch(4, 1);
}

std::optional<double> OutputWindow::resultPointSize(const QString& channels) {
  const auto points = design::lineTextPoints(labelValue(us(channels)));
  if (!points) return std::nullopt;
  return std::max(*points, kMinResultPoints);
}

void OutputWindow::applyResultFont() {
  const auto points = resultPointSize(路数->text());
  if (!points) return;
  QFont font = Text1->font();
  font.setPointSizeF(*points);
  Text1->setFont(font);
}

void OutputWindow::resetLabels() {
  路数->setText(QStringLiteral("路数"));
  行->setText(QStringLiteral("行"));
  列->setText(QStringLiteral("列"));
  每帧字节数->setText(QStringLiteral("每帧字节数"));
  集成块个数->setText(QStringLiteral("集成块个数"));
}

void OutputWindow::closeEvent(QCloseEvent* event) {
  resetLabels();
  QWidget::closeEvent(event);
}

void OutputWindow::showWindow() {
  // In the program the window is an MDI child: its frame is what is shown and brought forward.
  if (auto* frame = app::workingFrameOf(this)) {
    frame->show();
    frame->raise();
  }
  show();
}

void OutputWindow::tell(const std::string& message) {
  dialogs_.message(message, platform::Buttons::Ok, platform::Answer::Ok);
}

void OutputWindow::compileAs(ChipLayout layout, const std::function<void()>& letEventsRun) {
  (layout == ChipLayout::PerEightChannels ? 输出多集成块 : 输出单集成块)->setChecked(true);
  showWindow();
  if (letEventsRun) letEventsRun();
  nextSequence_ = Sequence::Export;
  编译->click();
  nextSequence_ = Sequence::WorkingProgram;
}

void OutputWindow::编译Command() {
  compile(nextSequence_);
}

void OutputWindow::compile(Sequence sequence) {
  if (compiling_ || document_.project().board.empty()) return;
  compiling_ = true;
  WaitCursor wait;
  // Only window events run while the compile is under way: a second click on 编译, or an edit of
  // the sequence, must wait until it has finished.
  const auto letEventsRun = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
  进度条->setValue(0);
  emit compileStopsRuns();
  showWindow();
  letEventsRun();

  const std::optional<ChipLayout> layout = 输出单集成块->isChecked() ? std::optional(ChipLayout::Single)
                                           : 输出多集成块->isChecked()
                                               ? std::optional(ChipLayout::PerEightChannels)
                                               : std::nullopt;
  CompileRequest request;
  request.layout = layout.value_or(ChipLayout::Single);
  request.sequence = sequence;
  request.workDirectory = platform::pathFromUtf8(us(workDirectory_));
  request.channelsLabel = us(路数->text());
  request.chip = chipPanel->compileOptions();
  // With neither layout chosen only the buffer is built.
  if (!layout) request.chip.inMemoryOnly = true;
  request.progress = [this](long frame, long frames) {
    if (frame == 0) {
      进度条->setMaximum(static_cast<int>(std::clamp(frames, 0L, static_cast<long>(INT_MAX))));
      进度条->setValue(1);
    }
    if (进度条->maximum() > 进度条->value()) 进度条->setValue(进度条->value() + 1);
    // Paint the bar and keep the window alive on a long buffer; user input waits for the end.
    if ((frame + 1) % kFramesPerEventPass == 0) {
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
  };
  const CompileResult result = compileProject(document_.compileInputs(), request);
  compileFailed_ = !result.ok;
  if (result.ok && layout) lastRequest_ = request;
  showResult(result, layout);
  emit compileStopsRuns();
  wait.release();
  compiling_ = false;

  if (!result.ok) {
    tell(result.message);
    if (result.faultyMask) {
      emit faultyMask(static_cast<int>(result.maskStart), static_cast<int>(result.maskLength));
    }
    return;
  }
  tell(us(kSuccessMessage));
  showWindow();
}

void OutputWindow::showResult(const CompileResult& r, std::optional<ChipLayout> layout) {
  // What stage one settled stays on show even when the images could not be made; a compile that
  // stopped before (a faulty mask, a refused input) leaves the window as it was.
  if (r.channelsLabel.empty()) return;
  QString shown = boxText(bufferText(r.buffer));
  shown.replace(QLatin1Char(' '), QLatin1Char('_'));
  Text1->setPlainText(shown);
  路数->setText(qs(r.channelsLabel));
  行->setText(qs(r.rowsLabel));
  if (!layout) return;
  (*layout == ChipLayout::Single ? 每帧字节数 : 集成块个数)->setText(QString::number(r.images.bytes));
  chipPanel->showChecksums(r.images.checksums);
  if (!r.ok) return;
  // What the compile could not tidy up (a folder it could not remove) is said below the report.
  std::string report = r.images.report;
  for (const std::string& note : r.images.notes) report += "\r\n" + note;
  Text2->setPlainText(boxText(qs(report)));
}

void OutputWindow::verifyChips() {
  if (!lastRequest_) {
    tell(kNoCompile);
    return;
  }
  const QString project = document_.projectDirectory();
  const std::string start = project.isEmpty() ? std::string() : us(project) + "/" + kBinDirectory;
  const auto chosen = dialogs_.openFiles(kChooseTitle, start, kReadBackFilter);
  if (!chosen || chosen->empty()) return;
  std::vector<fs::path> files;
  for (const std::string& file : *chosen) files.push_back(platform::pathFromUtf8(file));
  const auto readBacks = readBackFiles(files);
  if (!readBacks) {
    tell(readBacks.error() + "。");
    return;
  }
  CompileRequest request = *lastRequest_;
  request.workDirectory = platform::pathFromUtf8(us(workDirectory_));
  request.chip = chipPanel->compileOptions();
  const VerifyResult result = compiler::verifyChips(document_.compileInputs(), request, *readBacks);
  if (result.failure != VerifyResult::Failure::None) {
    tell(result.message);
    return;
  }
  std::string answer = result.report();
  if (!answer.empty() && answer.back() == '\n') answer.pop_back();
  tell(answer);
}

void OutputWindow::求行数() {
  // Every paragraph of the box is one buffer line that ended with CR LF: the rows before the
  // caret are its paragraph number, the column its place in the paragraph.
  const QTextCursor caret = Text1->textCursor();
  行->setText(QString::number(caret.blockNumber() + 1));
  列->setText(QString::number(caret.positionInBlock()));
}

}  // namespace lumafex::compiler
