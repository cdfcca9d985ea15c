#include "desktop/postedit/PostEditWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTextBlock>
#include <QVBoxLayout>

#include "core/app/ProjectPaths.h"
#include "core/compiler/OutputBuffer.h"
#include "core/design/Rules.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"
#include "desktop/app/Application.h"
#include "desktop/app/MainWindow.h"
#include "desktop/controls/AdjustableBar.h"
#include "desktop/controls/CheckBoxControl.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/preview/PreviewWindow.h"
#include "render/PictureRenderer.h"

namespace lumafex::postedit {

namespace {

using platform::qs;
using platform::us;

template <class W>
W* named(W* w, const char* name) {
  w->setObjectName(QString::fromUtf8(name));
  return w;
}

long valueOf(const QString& text) {
  return static_cast<long>(patterns::leadingValue(us(text)));
}

// The text in GBK, or why it cannot be written so (a character GBK cannot hold).
Result<std::string> gbk(const QString& text) {
  return platform::utf8ToGbk(us(text));
}

}  // namespace

PostEditWindow::PostEditWindow(app::Application& app, design::ProjectDocument& document, QWidget* parent)
    : QWidget(parent), app_(app), document_(document) {
  setObjectName(QStringLiteral("后期处理窗"));
  setWindowTitle(QStringLiteral("后期处理"));
  buildControls();
  connectControls();
  mapProject(false);
}

void PostEditWindow::buildControls() {
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);
  HScroll1 = named(new controls::AdjustableBar(this), "HScroll1");
  HScroll1->setMinimum(0);
  HScroll1->setMaximum(0);
  HScroll1->setToolTip(QStringLiteral("拖动显示指定的步"));
  root->addWidget(HScroll1);

  参数板 = named(new QGroupBox(QStringLiteral("参数板："), this), "参数板");
  auto* params = new QGridLayout(参数板);
  基本路数 = named(new QLabel(QStringLiteral("基本路数"), 参数板), "基本路数");
  步数 = named(new QLabel(QStringLiteral("0"), 参数板), "步数");
  步数调节 = named(new QLabel(QStringLiteral("0"), 参数板), "步数调节");
  行 = named(new QLabel(QStringLiteral("0"), 参数板), "行");
  列 = named(new QLabel(QStringLiteral("0"), 参数板), "列");
  字体大小 = named(new controls::AdjustableBar(参数板), "字体大小");
  字体大小->setMinimum(1);
  字体大小->setMaximum(72);
  字体大小->setValue(14);
  字体大小->setToolTip(QStringLiteral("文字大小"));
  显示步数 = named(new QLineEdit(QStringLiteral("0"), 参数板), "显示步数");
  显示步数->setToolTip(QStringLiteral("要去到的步号，按 Enter 去到"));
  去到 = named(new QPushButton(QStringLiteral("去到"), 参数板), "去到");
  去到->setToolTip(QStringLiteral("去到指定的行号"));
  清除标记 = named(new QPushButton(QStringLiteral("清除标记"), 参数板), "清除标记");
  人工修改 = named(new controls::CheckBoxControl(QStringLiteral("人工修改"), 参数板), "人工修改");
  锁定花式 = named(new controls::CheckBoxControl(QStringLiteral("锁定花式"), 参数板), "锁定花式");
  运行 = named(new QPushButton(QStringLiteral("运行"), 参数板), "运行");
  定位灯管 = named(new QPushButton(QStringLiteral("定位灯管"), 参数板), "定位灯管");
  int col = 0;
  auto pair = [&](const char* caption, QWidget* w) {
    params->addWidget(new QLabel(QString::fromUtf8(caption), 参数板), 0, col++);
    params->addWidget(w, 0, col++);
  };
  pair("基本路数：", 基本路数);
  pair("步数：", 步数);
  pair("行：", 行);
  pair("列：", 列);
  params->addWidget(new QLabel(QStringLiteral("字号："), 参数板), 0, col++);
  params->addWidget(字体大小, 0, col++);
  params->setColumnStretch(col - 1, 1);
  col = 0;
  params->addWidget(new QLabel(QStringLiteral("显示步数："), 参数板), 1, col++);
  params->addWidget(显示步数, 1, col++);
  params->addWidget(去到, 1, col++);
  params->addWidget(清除标记, 1, col++);
  params->addWidget(人工修改, 1, col++);
  params->addWidget(锁定花式, 1, col++);
  params->addWidget(运行, 1, col++);
  params->addWidget(定位灯管, 1, col++);
  params->addWidget(new QLabel(QStringLiteral("步数调节："), 参数板), 1, col++);
  params->addWidget(步数调节, 1, col++);
  root->addWidget(参数板);

  auto* panels = new QHBoxLayout();
  背景花式板 = named(new QGroupBox(QStringLiteral("背景花式板："), this), "背景花式板");
  auto* sequence = new QVBoxLayout(背景花式板);
  Text1 = named(new QTextEdit(背景花式板), "Text1");
  Text1->setAcceptRichText(false);
  Text1->setLineWrapMode(QTextEdit::NoWrap);
  Text1->setReadOnly(true);
  QFont mono(QStringLiteral("Monospace"));
  mono.setStyleHint(QFont::Monospace);
  mono.setPointSize(14);
  Text1->setFont(mono);
  Text1->setToolTip(QStringLiteral("每行一步：X 为亮，空格为暗；选中“人工修改”后可以修改"));
  sequence->addWidget(Text1);
  标题花式板 = named(new QGroupBox(QStringLiteral("标题花式板："), this), "标题花式板");
  auto* title = new QVBoxLayout(标题花式板);
  Text2 = named(new QPlainTextEdit(标题花式板), "Text2");
  Text2->setToolTip(QStringLiteral("每行：标题各字（□为暗）+ <步号>，例如 欢□□□<1>；空格键输入□"));
  title->addWidget(Text2);
  panels->addWidget(背景花式板, 7);
  panels->addWidget(标题花式板, 3);
  root->addLayout(panels, 1);

  Timer1 = named(new QTimer(this), "Timer1");
  Timer1->setInterval(50);
  延时起点后期处理 = named(new QTimer(this), "延时起点后期处理");
  延时起点后期处理->setInterval(250);
  延时起点后期处理->setSingleShot(true);
}

void PostEditWindow::connectControls() {
  connect(运行, &QPushButton::clicked, this, [this] { runCommand(); });
  connect(延时起点后期处理, &QTimer::timeout, this, [this] {
    延时起点后期处理->stop();
    运行->click();
  });
  connect(Timer1, &QTimer::timeout, this, [this] { tick(); });
  connect(HScroll1, &controls::AdjustableBar::valueChanged, this, [this](double v) { onSliderChanged(v); });
  connect(去到, &QPushButton::clicked, this, [this] { goToStep(); });
  connect(清除标记, &QPushButton::clicked, this, [this] { clearMarks(); });
  connect(Text2, &QPlainTextEdit::textChanged, this, [this] { onTitleEffectChanged(); });
  connect(人工修改, &controls::CheckBoxControl::valueChanged, this, [this](int on) {
    document_.edit(design::ProjectDocument::Settings, [on](design::Project& p) {
      design::setSetting(p, &design::ProjectSettings::manualEdit, on);
    });
    if (on) Text1->setReadOnly(false);
  });
  connect(&document_, &design::ProjectDocument::reset, this, [this](bool created) { mapProject(created); });
  connect(&document_, &design::ProjectDocument::changed, this, [this](int parts) {
    if (!(parts & design::ProjectDocument::Settings)) return;
    const QString base = qs(document_.settings().baseChannels);
    if (基本路数->text() != base) setBaseChannels(base);
  });
  connect(锁定花式, &controls::CheckBoxControl::valueChanged, this,
          [this](int on) { Text1->setReadOnly(on == 1); });
  connect(字体大小, &controls::AdjustableBar::valueChanged, this, [this](double v) {
    QFont f = Text1->font();
    f.setPointSize(std::max(1, static_cast<int>(std::lround(v))));
    Text1->setFont(f);
  });
  connect(定位灯管, &QPushButton::clicked, this, [this] {
    auto* h = horizontal();
    if (!h) return;
    h->setSignStyle(design::signStyleOf(document_.settings()));
    h->layOutLamps();
    h->showStep(QString());  // the layout with every lamp dark
    显示标题();              // and the title in the state of the step, as before the layout
  });
  Text1->installEventFilter(this);
  Text1->viewport()->installEventFilter(this);
  Text2->installEventFilter(this);
  Text2->viewport()->installEventFilter(this);
  显示步数->installEventFilter(this);
  参数板->setMouseTracking(true);
  参数板->installEventFilter(this);
  Text1->viewport()->setMouseTracking(true);
  Text2->viewport()->setMouseTracking(true);
}

preview::PreviewWindow* PostEditWindow::horizontal() const {
  return &app_.horizontalPreview();
}
preview::PreviewWindow* PostEditWindow::vertical() const {
  return &app_.verticalPreview();
}

void PostEditWindow::mapProject(bool created) {
  const auto& s = document_.settings();
  人工修改->setValue(s.manualEdit);
  setBaseChannels(qs(s.baseChannels));
  // Showing the project's title effect is no edit: nothing is written.
  mappingTitle_ = true;
  Text2->setPlainText(qs(document_.project().titleEffect));
  mappingTitle_ = false;
  titleSaveFailed_ = false;
  manualSaveFailed_ = false;
  // A new project starts its title effect file with the new text.
  if (created) writeTitleEffect();
}

void PostEditWindow::setBaseChannels(const QString& text) {
  基本路数->setText(text);
  if (const auto points = design::lineTextPoints(valueOf(text))) 字体大小->setValue(*points);
  if (qs(document_.settings().baseChannels) != text) {
    document_.edit(design::ProjectDocument::Settings, [&](design::Project& p) {
      design::setSetting(p, &design::ProjectSettings::baseChannels, us(text));
    });
  }
}

void PostEditWindow::report(const Status& status, bool& failedBefore) {
  if (status) {
    failedBefore = false;
    return;
  }
  if (failedBefore) return;
  failedBefore = true;
  app_.dialogs().message(status.error());
}

void PostEditWindow::openSequence(const design::SequenceOpening& opening) {
  app_.mainWindow().showPostEdit();
  if (opening.steps) HScroll1->setMaximum(static_cast<int>(*opening.steps));
  setSequenceText(opening.text);
  if (opening.points) {
    QFont font = Text1->font();
    font.setPointSizeF(*opening.points);
    Text1->setFont(font);
  }
  if (opening.startRun) 延时起点后期处理->start();
}

void PostEditWindow::markTitleEffectLine(int maskStart, int maskLength) {
  // The state alone is selected: from the line's start up to its marker.
  const int last = Text2->document()->characterCount() - 1;
  QTextCursor cursor(Text2->document());
  cursor.setPosition(std::clamp(maskStart, 0, last));
  cursor.setPosition(std::clamp(maskStart + maskLength, 0, last), QTextCursor::KeepAnchor);
  const QSignalBlocker block(Text2);
  Text2->setTextCursor(cursor);
}

void PostEditWindow::followStep(long step) {
  显示步数->setText(QString::number(step - 1));
}

void PostEditWindow::pauseRun() {
  if (Timer1->isActive()) {
    Timer1->stop();
  } else {
    Timer1->start();
  }
}

void PostEditWindow::stopRun() {
  Timer1->stop();
}

long PostEditWindow::baseChannels() const {
  return valueOf(基本路数->text());
}
long PostEditWindow::stepLabel() const {
  return valueOf(步数->text());
}

void PostEditWindow::setStepLabel(long step) {
  步数->setText(QString::number(step));
}

long PostEditWindow::stepCount() const {
  const qint64 size = QFileInfo(app_.scratchFile()).size();
  return design::stepCount(static_cast<std::uintmax_t>(std::max<qint64>(0, size)), baseChannels());
}

void PostEditWindow::setSequenceText(const QString& text) {
  QString plain = text;
  plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (plain.endsWith(QLatin1Char('\n'))) plain.chop(1);
  settingText_ = true;
  Text1->setPlainText(plain);
  settingText_ = false;
}

QString PostEditWindow::sequenceText() const {
  QString text = Text1->toPlainText();
  if (text.isEmpty()) return text;
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return text + QStringLiteral("\r\n");
}

void PostEditWindow::closeScratch() {
  scratch_.close();
}

bool PostEditWindow::openScratch() {
  return scratch_.open(platform::pathFromUtf8(us(app_.scratchFile())));
}

void PostEditWindow::writeScratchFromText() {
  closeScratch();
  // The design window lets go of the scratch step file before it is rewritten.
  if (app_.hasDesignWindow()) app_.designWindow().closeStepReader();
  QFile::remove(app_.scratchFile());
  // The sequence is "X" and blanks; a character GBK cannot hold leaves the scratch file empty.
  const auto bytes = gbk(sequenceText());
  QFile out(app_.scratchFile());
  if (out.open(QIODevice::WriteOnly) && bytes) out.write(bytes->data(), static_cast<qint64>(bytes->size()));
}

void PostEditWindow::runCommand() {
  textEdited = false;
  setStepLabel(0);
  if (app_.hasDesignWindow()) {
    auto& design = app_.designWindow();
    design.hide();
    design.stopRun();
  }
  writeScratchFromText();
  Timer1->start();
  Text2->setFocus();
}

void PostEditWindow::takeStep(const std::string& line) {
  const QString text = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
  if (baseChannels() == 0 && !askingBaseChannels_) {
    // One question at a time: the run's timer goes on firing while it is open.
    askingBaseChannels_ = true;
    const bool yes =
        app_.dialogs().message("确认“基本路数＝" + std::to_string(text.size()) + "”",
                               platform::Buttons::YesNo, platform::Answer::Yes) == platform::Answer::Yes;
    askingBaseChannels_ = false;
    if (yes) setBaseChannels(QString::number(text.size()));
  }
  const auto& s = document_.settings();
  const auto parts = design::splitStep(line, design::columnsOf(s), s.tubesOn == 1 && s.imagesOn == 1);
  stepTubes = QString::fromLatin1(parts.tubes.data(), static_cast<qsizetype>(parts.tubes.size()));
  stepImages = QString::fromLatin1(parts.images.data(), static_cast<qsizetype>(parts.images.size()));
}

void PostEditWindow::tick() {
  if (askingBaseChannels_) return;
  if (app_.sinceSplash() > 2500) app_.hideSplash();
  Timer1->setInterval(design::stepIntervalOf(document_.settings()));
  if (!scratch_.isOpen()) {
    if (!openScratch()) return;
    HScroll1->setValue(0);
    if (baseChannels() != 0) HScroll1->setMaximum(static_cast<int>(stepCount()));
    setStepLabel(0);
  } else if (scratch_.atEnd()) {
    closeScratch();
    openScratch();
    HScroll1->setValue(0);
    HScroll1->setMaximum(static_cast<int>(stepCount()));
    setStepLabel(0);
    return;
  }
  if (scratch_.atEnd()) return;
  takeStep(scratch_.next().value_or(std::string()));
  if (HScroll1->maximum() > HScroll1->value()) HScroll1->setValue(HScroll1->value() + 1);
  setStepLabel(stepLabel() + 1);
  显示一步();
}

bool PostEditWindow::readStep() {
  if (scratch_.atEnd()) return false;
  takeStep(scratch_.next().value_or(std::string()));
  return true;
}

void PostEditWindow::onSliderChanged(double value) {
  if (sliderBusy) return;
  sliderBusy = true;
  const long n = static_cast<long>(std::lround(value));
  步数调节->setText(QString::number(n));
  if (auto* h = horizontal()) h->setStep(n);
  if (auto* v = vertical()) v->setStep(n);
  if (Timer1->isActive()) {
    sliderBusy = false;
    return;
  }
  for (int attempt = 0; attempt < 3; ++attempt) {
    long s = stepLabel();
    bool ok = true;
    if (s != n) {
      if (!scratch_.isOpen() || s > n) {
        closeScratch();
        ok = openScratch();
        HScroll1->setMaximum(static_cast<int>(std::max<long>(stepCount(), n)));
        setStepLabel(0);
        s = 0;
      }
      for (long k = s + 1; ok && k <= n; ++k) {
        if (!readStep()) {
          // The end of the file while reading forward: start again from the first line.
          closeScratch();
          ok = openScratch();
          HScroll1->setValue(0);
          if (ok && !readStep()) ok = false;
        }
      }
      if (ok) {
        显示一步();
        setStepLabel(n);
      }
    }
    if (!ok) {
      closeScratch();
      openScratch();
      HScroll1->setValue(0);
      HScroll1->setMaximum(static_cast<int>(stepCount()));
      setStepLabel(0);
      continue;
    }
    if (!textEdited) placeCaretOnLine(n, false);
    break;
  }
  sliderBusy = false;
}

void PostEditWindow::placeCaretOnLine(long line, bool atStart) {
  QTextDocument* doc = Text1->document();
  if (line < 1 || doc->blockCount() == 0) return;
  const QTextBlock block =
      doc->findBlockByNumber(static_cast<int>(std::min<long>(line, doc->blockCount()) - 1));
  QTextCursor cursor(block);
  if (!atStart) cursor.movePosition(QTextCursor::EndOfBlock);
  if (锁定花式->value() == 1) {
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  }
  Text1->setFocus();
  Text1->setTextCursor(cursor);
  Text1->ensureCursorVisible();
}

void PostEditWindow::goToStep() {
  const long k = valueOf(显示步数->text());
  if (k < 0 || HScroll1->maximum() <= k) return;
  HScroll1->setValue(static_cast<double>(k + 1));
  const long n = valueOf(步数调节->text());
  placeCaretOnLine(n, true);
  if (锁定花式->value() == 1) {
    QTextCursor cursor = Text1->textCursor();
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat mark;
    mark.setForeground(QColor(255, 0, 0));
    cursor.mergeCharFormat(mark);
    Text1->setTextCursor(cursor);
  }
}

void PostEditWindow::clearMarks() {
  const QTextCursor caret = Text1->textCursor();
  QTextCursor all(Text1->document());
  all.select(QTextCursor::Document);
  QTextCharFormat black;
  black.setForeground(QColor(0, 0, 0));
  all.mergeCharFormat(black);
  QTextCursor restored(Text1->document());
  restored.setPosition(caret.position());
  Text1->setTextCursor(restored);
}

void PostEditWindow::求行数() {
  textEdited = true;
  const QTextCursor cursor = Text1->textCursor();
  行->setText(QString::number(cursor.blockNumber() + 1));
  onRowsLabel();
  列->setText(QString::number(cursor.positionInBlock()));
  onColumnsLabel();
  textEdited = false;
}

void PostEditWindow::onRowsLabel() {
  // The slider follows the caret's line.
  const long row = valueOf(行->text());
  const bool manual = 人工修改->value() == 1;
  HScroll1->setMaximum(static_cast<int>(std::max<long>(HScroll1->maximum(), row + 1)));
  HScroll1->setValue(static_cast<double>(manual ? row : row + 1));
}

void PostEditWindow::onColumnsLabel() {
  // Then the step shown is the caret's line itself.
  const long row = valueOf(行->text());
  HScroll1->setMaximum(static_cast<int>(std::max<long>(HScroll1->maximum(), row)));
  HScroll1->setValue(static_cast<double>(row));
}

void PostEditWindow::onText1KeyDown() {
  if (人工修改->value() == 1) {
    writeScratchFromText();
    textEdited = true;
    HScroll1->setMaximum(static_cast<int>(stepCount()));
    const QString manual = app_.projectFile(QString::fromUtf8(compiler::kManualFile));
    const auto bytes = gbk(sequenceText());
    const Status saved = bytes ? platform::writeBytesSafely(platform::pathFromUtf8(us(manual)), *bytes)
                               : Status::fail(bytes.error());
    if (saved)
      document_.edit(design::ProjectDocument::ManualPart,
                     [&](design::Project& p) { design::editManualText(p, *bytes); });
    report(saved, manualSaveFailed_);
  } else {
    求行数();
  }
}

void PostEditWindow::onTitleEffectChanged() {
  if (mappingTitle_) return;
  Timer1->stop();
  closeScratch();
  document_.edit(design::ProjectDocument::TitleEffectPart,
                 [this](design::Project& p) { design::editTitleEffect(p, us(Text2->toPlainText())); });
  writeTitleEffect();
}

void PostEditWindow::writeTitleEffect() {
  if (app_.projectDirectory().isEmpty()) return;
  const auto file = platform::pathFromUtf8(us(app_.projectFile(QString::fromUtf8(app::kTitleEffectFile))));
  report(platform::writeGbkText(file,
                                us(Text2->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")))),
         titleSaveFailed_);
}

void PostEditWindow::clickInTitleEffect() {
  Timer1->stop();
  const QString line = Text2->textCursor().block().text();
  const int open = line.indexOf(QLatin1Char('<'));
  const int close = line.indexOf(QLatin1Char('>'));
  if (open < 0 || close < 0 || close < open) return;
  显示步数->setText(line.mid(open + 1, close - open - 1));
  const QTextCursor caret = Text2->textCursor();
  goToStep();
  Text2->setFocus();
  Text2->setTextCursor(caret);
}

void PostEditWindow::selectInTitleEffect(int start, int length) {
  QTextCursor cursor(Text2->document());
  cursor.setPosition(start);
  cursor.setPosition(start + length, QTextCursor::KeepAnchor);
  Text2->setTextCursor(cursor);
  app_.mainWindow().showPostEdit();
  show();
  Text2->setFocus();
}

void PostEditWindow::显示一步() {
  const auto& s = document_.settings();
  preview::PictureFrame pictures;
  pictures.logosOn = s.logosOn == 1;
  pictures.imagesOn = s.imagesOn == 1;
  if (pictures.imagesOn) {
    pictures.shownImages =
        design::imagesOfStep(stepTubes.toLatin1().toStdString(), stepImages.toLatin1().toStdString(),
                             document_.project().pictures.imageCount, s.tubesOn == 1);
  }
  if (auto* h = horizontal(); h && s.showHorizontal == 1) h->showStep(stepTubes, stepImages, pictures);
  if (auto* v = vertical(); v && s.showVertical == 1) v->showStep(stepTubes, stepImages, pictures);
  显示标题();
}

void PostEditWindow::显示标题() {
  app_.designWindow().显示标题();
}

namespace {

// The code of a key typed (what the box receives as a character): the character's own code, the
// control code of Ctrl and a letter (Ctrl+A is 1 … Ctrl+Z is 26), Tab 9, Enter 13, Escape 27.
// Nothing for keys that type nothing (arrows, Home, function keys, a modifier alone).
std::optional<int> typedCode(const QKeyEvent& key) {
  const int k = key.key();
  if ((key.modifiers() & Qt::ControlModifier) && k >= Qt::Key_A && k <= Qt::Key_Z) return k - Qt::Key_A + 1;
  switch (k) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Escape:
      return 27;
    default:
      break;
  }
  const QString text = key.text();
  if (text.isEmpty() || !text.front().isPrint()) return std::nullopt;
  return static_cast<int>(text.front().unicode());
}

}  // namespace

bool PostEditWindow::readOnlyKey(QKeyEvent* key) {
  const int k = key->key();
  if (k != Qt::Key_Home && k != Qt::Key_End) return false;
  const bool wholeText = key->modifiers() & Qt::ControlModifier;
  QTextCursor cursor = Text1->textCursor();
  if (k == Qt::Key_Home) {
    cursor.movePosition(wholeText ? QTextCursor::Start : QTextCursor::StartOfBlock);
  } else {
    cursor.movePosition(wholeText ? QTextCursor::End : QTextCursor::EndOfBlock);
  }
  Text1->setTextCursor(cursor);
  Text1->ensureCursorVisible();
  return true;
}

bool PostEditWindow::eventFilter(QObject* watched, QEvent* event) {
  const bool text1 = watched == Text1 || watched == Text1->viewport();
  const bool text2 = watched == Text2 || watched == Text2->viewport();
  // A mouse over the texts or the parameters hides the placement blocks of the sign.
  if ((text1 || text2 || watched == 参数板) &&
      (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress) &&
      app_.hasDesignWindow()) {
    app_.designWindow().消除各种物件块();
  }
  if (text1 && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    onText1KeyDown();  // before the key's own effect
    if (Text1->isReadOnly()) return readOnlyKey(key);
    if (const auto code = typedCode(*key)) {
      document_.setDirty(true);
      // Every key typed is a lit channel, but Ctrl+Z, Enter, the space and Backspace.
      if (*code != 26 && *code != 13 && *code != 32 && *code != 8) {
        Text1->insertPlainText(QStringLiteral("X"));
        return true;
      }
    }
  }
  if (text1 && event->type() == QEvent::MouseButtonRelease && watched == Text1->viewport()) {
    Timer1->stop();
    onText1KeyDown();
  }
  if (text2 && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Space && !(key->modifiers() & Qt::ControlModifier)) {
      Text2->insertPlainText(QStringLiteral("□"));
      return true;
    }
  }
  if (text2 && event->type() == QEvent::MouseButtonRelease && watched == Text2->viewport())
    clickInTitleEffect();
  if (watched == 显示步数 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      const long k = valueOf(显示步数->text());
      if (k >= 0 && k < HScroll1->maximum()) goToStep();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void PostEditWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (isVisible()) 定位灯管->click();
}

}  // namespace lumafex::postedit
