#include "design/DesignWindow.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/ProjectPaths.h"
#include "compiler/OutputBuffer.h"
#include "compiler/TotalProgram.h"
#include "controls/AdjustableBar.h"
#include "controls/CheckBoxControl.h"
#include "design/Board.h"
#include "design/ColourPanel.h"
#include "design/TitleEffect.h"
#include "patterns/Catalogue.h"
#include "patterns/ScratchOutput.h"
#include "platform/QtDialogs.h"
#include "platform/ScratchFile.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"
#include "platform/Twips.h"
#include "postedit/PostEditWindow.h"
#include "preview/PreviewWindow.h"

namespace lumafex::design {

namespace {

using platform::qs;
using platform::us;

const QColor kTeal(0, 128, 128);
const QColor kWhite(255, 255, 255);

std::filesystem::path toPath(const QString& s) {
  return platform::pathFromUtf8(us(s));
}

QColor toQColor(Colour c) {
  return QColor(red(c), green(c), blue(c));
}
Colour fromQColor(const QColor& c) {
  return rgb(c.red(), c.green(), c.blue());
}

QPushButton* button(const char* name, QWidget* parent, const QString& tip = {}) {
  auto* b = new QPushButton(QString::fromUtf8(name), parent);
  b->setObjectName(QString::fromUtf8(name));
  if (!tip.isEmpty()) b->setToolTip(tip);
  return b;
}

template <class W>
W* named(W* w, const char* name) {
  w->setObjectName(QString::fromUtf8(name));
  return w;
}

void setListBackground(QListWidget* list, const QColor& colour) {
  QPalette p = list->palette();
  p.setColor(QPalette::Base, colour);
  p.setColor(QPalette::Text, colour == kTeal ? kWhite : QColor(Qt::black));
  list->setPalette(p);
}

// The colour-count text as the combo shows it: not a number reads "1", above 3 reads "3".
int colourIndexFor(const std::string& text) {
  const auto v = parseNumber(text);
  if (!v) return 0;
  if (*v > 3) return 2;
  if (*v < 1) return 0;
  return static_cast<int>(patterns::whole(*v)) - 1;
}

}  // namespace

DesignWindow::DesignWindow(app::Application& app, QWidget* parent) : QWidget(parent), app_(app) {
  setObjectName(QStringLiteral("霓虹灯设计窗"));
  setWindowTitle(QStringLiteral("霓虹灯花式设计"));
  buildControls();
  connectControls();
}

void DesignWindow::buildControls() {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 6, 6, 6);
  grid->setHorizontalSpacing(8);

  // The catalogue.
  基本花式板 = named(new QGroupBox(QStringLiteral("基本花式"), this), "基本花式板");
  auto* catalogueBox = new QVBoxLayout(基本花式板);
  List2 = named(new QListWidget(基本花式板), "List2");
  List2->setToolTip(QStringLiteral("单击点击显示点击的花式，双击选择到编程板"));
  List2->setMinimumWidth(150);
  catalogueBox->addWidget(List2, 1);
  调入基本花式 = button("调入基本花式", 基本花式板, QStringLiteral("按色数重新调入基本花式"));
  双色花式选择 = button("双色花式选择", 基本花式板);
  双色花式选择->hide();
  选择 = button("选择", 基本花式板, QStringLiteral("把选中的基本花式加到编程板"));
  全选 = button("全选", 基本花式板, QStringLiteral("把全部基本花式加到编程板"));
  auto* catalogueButtons = new QHBoxLayout();
  catalogueButtons->addWidget(选择);
  catalogueButtons->addWidget(全选);
  catalogueBox->addLayout(catalogueButtons);
  catalogueBox->addWidget(调入基本花式);

  // The programming board.
  编程板 = named(new QGroupBox(QStringLiteral("编程板"), this), "编程板");
  auto* boardBox = new QVBoxLayout(编程板);
  List1 = named(new QListWidget(编程板), "List1");
  List1->setToolTip(QStringLiteral("编程板：花式按顺序运行；Delete 键删除选中的花式"));
  List1->setMinimumWidth(150);
  boardBox->addWidget(List1, 1);
  删除 = button("删除", 编程板);
  上移 = button("上移", 编程板);
  下移 = button("下移", 编程板);
  全部清除 = button("全部清除", 编程板);
  显示总程序 = button("显示总程序", 编程板, QStringLiteral("在预览窗中循环运行编程板上的全部花式"));
  生成TXT文件 = button("生成TXT文件", 编程板, QStringLiteral("生成总程序并进入后期处理"));
  提取当前花式 = button("提取当前花式", 编程板, QStringLiteral("把当前花式送到后期处理窗"));
  保存工程 = button("保存工程", 编程板);
  打开工程 = button("打开工程", 编程板);
  打开工程->hide();  // pressed by the main window after it has set the project path
  auto* boardButtons = new QGridLayout();
  boardButtons->addWidget(上移, 0, 0);
  boardButtons->addWidget(下移, 0, 1);
  boardButtons->addWidget(删除, 1, 0);
  boardButtons->addWidget(全部清除, 1, 1);
  boardButtons->addWidget(显示总程序, 2, 0, 1, 2);
  boardButtons->addWidget(生成TXT文件, 3, 0, 1, 2);
  boardButtons->addWidget(提取当前花式, 4, 0, 1, 2);
  boardButtons->addWidget(保存工程, 5, 0, 1, 2);
  boardBox->addLayout(boardButtons);

  // Tubes.
  灯管排列板 = named(new QGroupBox(QStringLiteral("灯管排列"), this), "灯管排列板");
  auto* tubes = new QGridLayout(灯管排列板);
  列数 = named(new QLineEdit(QStringLiteral("80"), 灯管排列板), "列数");
  列数->setToolTip(QStringLiteral("灯管的列数（路数），4 到 300"));
  行数 = named(new QLineEdit(QStringLiteral("1"), 灯管排列板), "行数");
  行数->setToolTip(QStringLiteral("预览中灯管的行数，1 到 10"));
  色数 = named(new QComboBox(灯管排列板), "色数");
  色数->setToolTip(QStringLiteral("每个灯的颜色数：1 单色、2 双色、3 三色"));
  空心 = named(new QCheckBox(QStringLiteral("空心"), 灯管排列板), "空心");
  启用灯管 = named(new QCheckBox(QStringLiteral("启用灯管"), 灯管排列板), "启用灯管");
  启用灯管->setChecked(true);
  启用图案 = named(new QCheckBox(QStringLiteral("启用图案"), 灯管排列板), "启用图案");
  启用标志 = named(new QCheckBox(QStringLiteral("启用标志"), 灯管排列板), "启用标志");
  定位灯管 = button("定位灯管", 灯管排列板, QStringLiteral("按列数、行数重新排列预览中的灯管"));
  速度调节 = named(new controls::AdjustableBar(灯管排列板), "速度调节");
  速度调节->setMinimum(0);
  速度调节->setMaximum(999);
  速度调节->setValue(950);
  速度调节->setToolTip(QStringLiteral("速度：越往右越快"));
  速度 = named(new QLabel(QStringLiteral("50"), 灯管排列板), "速度");
  tubes->addWidget(new QLabel(QStringLiteral("列数："), 灯管排列板), 0, 0);
  tubes->addWidget(列数, 0, 1);
  tubes->addWidget(new QLabel(QStringLiteral("行数："), 灯管排列板), 0, 2);
  tubes->addWidget(行数, 0, 3);
  tubes->addWidget(new QLabel(QStringLiteral("色数："), 灯管排列板), 0, 4);
  tubes->addWidget(色数, 0, 5);
  tubes->addWidget(启用灯管, 1, 0, 1, 2);
  tubes->addWidget(启用图案, 1, 2, 1, 2);
  tubes->addWidget(启用标志, 1, 4, 1, 2);
  tubes->addWidget(空心, 2, 0, 1, 2);
  tubes->addWidget(定位灯管, 2, 2, 1, 4);
  tubes->addWidget(new QLabel(QStringLiteral("速度："), 灯管排列板), 3, 0);
  tubes->addWidget(速度调节, 3, 1, 1, 4);
  auto* perStep = new QHBoxLayout();
  perStep->addWidget(速度);
  perStep->addWidget(new QLabel(QStringLiteral("毫秒/步"), 灯管排列板));
  tubes->addLayout(perStep, 3, 5);

  // Title.
  标题参数板 = named(new QGroupBox(QStringLiteral("标题参数"), this), "标题参数板");
  auto* title = new QGridLayout(标题参数板);
  标题名称 = named(new QLineEdit(QStringLiteral("Velarn工作室"), 标题参数板), "标题名称");
  标题名称->setToolTip(QStringLiteral("标题文字：请用中文或全角字符"));
  字体 = named(new QComboBox(标题参数板), "字体");
  字体->setEditable(true);
  字体->setEditText(QStringLiteral("宋体"));
  字体->setToolTip(QStringLiteral("标题的字体；按 Enter 装载系统字体"));
  字体大小 = named(new QLineEdit(QStringLiteral("48"), 标题参数板), "字体大小");
  字间隔 = named(new QLineEdit(QStringLiteral("0"), 标题参数板), "字间隔");
  粗体 = named(new QCheckBox(QStringLiteral("粗体"), 标题参数板), "粗体");
  斜体 = named(new QCheckBox(QStringLiteral("斜体"), 标题参数板), "斜体");
  禁用文字标题 = named(new QCheckBox(QStringLiteral("禁用文字标题"), 标题参数板), "禁用文字标题");
  title->addWidget(new QLabel(QStringLiteral("标题："), 标题参数板), 0, 0);
  title->addWidget(标题名称, 0, 1, 1, 5);
  title->addWidget(new QLabel(QStringLiteral("字体："), 标题参数板), 1, 0);
  title->addWidget(字体, 1, 1, 1, 5);
  title->addWidget(new QLabel(QStringLiteral("字号："), 标题参数板), 2, 0);
  title->addWidget(字体大小, 2, 1);
  title->addWidget(new QLabel(QStringLiteral("字间隔："), 标题参数板), 2, 2);
  title->addWidget(字间隔, 2, 3);
  title->addWidget(粗体, 3, 0, 1, 2);
  title->addWidget(斜体, 3, 2);
  title->addWidget(禁用文字标题, 3, 3, 1, 3);

  // Colours.
  色彩选择板 = named(new QGroupBox(QStringLiteral("色彩选择"), this), "色彩选择板");
  auto* colours = new QGridLayout(色彩选择板);
  const char* targetNames[] = {"标题", "色彩1", "色彩2", "色彩3"};
  for (int i = 0; i < 4; ++i) {
    颜色选择内容[static_cast<std::size_t>(i)] =
        named(new QRadioButton(QString::fromUtf8(targetNames[i]), 色彩选择板), "颜色选择内容");
    颜色选择内容[static_cast<std::size_t>(i)]->setProperty("index", i);
  }
  颜色选择内容[1]->setChecked(true);
  标题颜色样品 = named(new ColourSample(色彩选择板), "标题颜色样品");
  标题颜色样品->setColour(QColor(0, 255, 255));
  const QColor defaults[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
  for (int i = 0; i < 3; ++i) {
    auto* sample = named(new ColourSample(色彩选择板), "色彩样品");
    sample->setProperty("index", i + 1);
    sample->setColour(defaults[i]);
    色彩样品[static_cast<std::size_t>(i)] = sample;
  }
  调色板 = named(new PalettePicture(色彩选择板), "调色板");
  colours->addWidget(颜色选择内容[0], 0, 0);
  colours->addWidget(标题颜色样品, 0, 1);
  for (int i = 0; i < 3; ++i) {
    colours->addWidget(颜色选择内容[static_cast<std::size_t>(i + 1)], i + 1, 0);
    colours->addWidget(色彩样品[static_cast<std::size_t>(i)], i + 1, 1);
  }
  colours->addWidget(调色板, 0, 2, 4, 1);
  colours->setColumnStretch(2, 1);

  // Status row.
  需要存盘 = named(new QCheckBox(QStringLiteral("需要存盘"), this), "需要存盘");
  需要存盘->setAttribute(Qt::WA_TransparentForMouseEvents);
  需要存盘->setFocusPolicy(Qt::NoFocus);
  需要存盘->setToolTip(QStringLiteral("工程已改变，尚未保存"));
  auto* status = new QHBoxLayout();
  for (std::size_t i = 0; i < 板提示.size(); ++i) {
    板提示[i] = named(new QLabel(this), "板提示");
    板提示[i]->setProperty("index", static_cast<int>(i));
    status->addWidget(板提示[i]);
  }
  status->addStretch();
  status->addWidget(需要存盘);

  auto* right = new QVBoxLayout();
  right->addWidget(灯管排列板);
  right->addWidget(标题参数板);
  right->addWidget(色彩选择板, 1);
  grid->addWidget(基本花式板, 0, 0);
  grid->addWidget(编程板, 0, 1);
  grid->addLayout(right, 0, 2);
  grid->addLayout(status, 1, 0, 1, 3);
  grid->setColumnStretch(0, 2);
  grid->setColumnStretch(1, 2);
  grid->setColumnStretch(2, 3);

  Timer1 = named(new QTimer(this), "Timer1");
  Timer1->setInterval(50);
  定时显示总程序 = named(new QTimer(this), "定时显示总程序");
  定时显示总程序->setInterval(50);
  标题字串闪烁 = named(new QTimer(this), "标题字串闪烁");
  标题字串闪烁->setInterval(250);

  setListBackground(List1, kTeal);
  setListBackground(List2, kWhite);
  // Features of later windows: they stay off until those windows exist.
}

void DesignWindow::connectControls() {
  connect(调入基本花式, &QPushButton::clicked, this, [this] { fillCatalogue(); });
  connect(双色花式选择, &QPushButton::clicked, this, [this] { 双色花式选择处理(); });
  connect(List2, &QListWidget::currentRowChanged, this, [this](int) { onCatalogueSelection(); });
  connect(List2, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem*) { appendSelectedCatalogueEntry(); });
  connect(选择, &QPushButton::clicked, this, [this] {
    if (List2->currentItem() && !List2->currentItem()->text().isEmpty()) appendSelectedCatalogueEntry();
  });
  connect(全选, &QPushButton::clicked, this, [this] { selectAll(); });
  connect(删除, &QPushButton::clicked, this, [this] { deleteSelected(true); });
  connect(上移, &QPushButton::pressed, this, [this] { stopRun(); });
  connect(下移, &QPushButton::pressed, this, [this] { stopRun(); });
  connect(上移, &QPushButton::clicked, this, [this] { move(true); });
  connect(下移, &QPushButton::clicked, this, [this] { move(false); });
  connect(全部清除, &QPushButton::clicked, this, [this] {
    clearBoard();
    setDirty(true);
  });
  connect(保存工程, &QPushButton::clicked, this, [this] { saveProject(); });
  connect(打开工程, &QPushButton::clicked, this, [this] { openProject(); });
  connect(定位灯管, &QPushButton::clicked, this, [this] { layOutTubes(); });
  connect(色数, &QComboBox::currentIndexChanged, this, [this](int) { onColourCountChosen(); });
  connect(列数, &QLineEdit::textChanged, this, [this] { onColumnsChanged(); });
  connect(行数, &QLineEdit::textChanged, this, [this] { onRowsChanged(); });
  for (QLineEdit* box : {列数, 行数, 字间隔, 标题名称}) {
    connect(box, &QLineEdit::textEdited, this, [this] { setDirty(true); });
  }
  connect(标题名称, &QLineEdit::textChanged, this, [this] { onTitleChanged(); });
  connect(速度调节, &controls::AdjustableBar::valueChanged, this, [this](double v) { onSpeedChanged(v); });
  connect(标题颜色样品, &ColourSample::clicked, this, [this] { 颜色选择内容[0]->setChecked(true); });
  for (std::size_t i = 0; i < 色彩样品.size(); ++i) {
    connect(色彩样品[i], &ColourSample::clicked, this, [this, i] { 颜色选择内容[i + 1]->setChecked(true); });
  }
  connect(调色板, &PalettePicture::picked, this, [this](const QColor& c) { pickColour(c); });
  connect(List1, &QListWidget::currentRowChanged, this, [this](int) { onBoardSelection(); });
  connect(显示总程序, &QPushButton::clicked, this, [this] { 显示总程序Click(); });
  connect(生成TXT文件, &QPushButton::clicked, this, [this] { assembleTotalProgram(); });
  connect(提取当前花式, &QPushButton::clicked, this, [this] { extractCurrentEffect(); });
  connect(Timer1, &QTimer::timeout, this, [this] { tick(); });
  connect(定时显示总程序, &QTimer::timeout, this, [this] { advanceRun(); });
  connect(标题字串闪烁, &QTimer::timeout, this, [this] {
    blinkRed_ = !blinkRed_;
    标题名称->setStyleSheet(blinkRed_ ? QStringLiteral("background: rgb(255,0,0);")
                                      : QStringLiteral("background: rgb(255,255,255);"));
  });
  connect(字体, &QComboBox::activated, this, [this](int) {
    setDirty(true);
    定位灯管->click();
  });
  connect(字体大小, &QLineEdit::textChanged, this, [this] {
    if (字体大小->text().trimmed() == QStringLiteral("0")) 字体大小->setText(QStringLiteral("1"));
    定位灯管->click();
  });
  connect(字体大小, &QLineEdit::textEdited, this, [this] { setDirty(true); });
  connect(粗体, &QCheckBox::clicked, this, [this] {
    setDirty(true);
    定位灯管->click();
  });
  connect(斜体, &QCheckBox::clicked, this, [this] { setDirty(true); });
  connect(禁用文字标题, &QCheckBox::clicked, this, [this] {
    setDirty(true);
    显示标题();
  });
  for (QCheckBox* box : {空心, 启用灯管, 启用图案, 启用标志}) {
    connect(box, &QCheckBox::clicked, this, [this] {
      setDirty(true);
      定位灯管->click();
    });
  }
  List1->installEventFilter(this);
  List2->viewport()->installEventFilter(this);
  标题名称->installEventFilter(this);
  字体->installEventFilter(this);
  if (字体->lineEdit()) 字体->lineEdit()->installEventFilter(this);
}

bool DesignWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == List1 && event->type() == QEvent::KeyRelease &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    deleteSelected(false);
    return true;
  }
  if (watched == 标题名称 && event->type() == QEvent::FocusIn) 标题字串闪烁->start();
  if (watched == 标题名称 && event->type() == QEvent::FocusOut) {
    标题字串闪烁->stop();
    blinkRed_ = false;
    标题名称->setStyleSheet(QStringLiteral("background: rgb(255,255,255);"));
  }
  const bool fontBox = watched == 字体 || (字体->lineEdit() && watched == 字体->lineEdit());
  if (fontBox && event->type() == QEvent::FocusIn && !fontsLoaded_ && !loadingFonts_ && !askingForFonts_ &&
      !loadingProject) {
    askingForFonts_ = true;
    const bool yes = app_.dialogs().message("是否装载系统字体？", platform::Buttons::YesNo,
                                            platform::Answer::Yes) == platform::Answer::Yes;
    askingForFonts_ = false;
    if (yes)
      装载字体();
    else
      fontsLoaded_ = true;  // asked once; Enter in the box still loads them
  }
  if (fontBox && event->type() == QEvent::KeyRelease) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) 装载字体();
  }
  if (watched == List2->viewport() && event->type() == QEvent::MouseButtonPress) {
    Timer1->stop();
    定时显示总程序->stop();
    totalRunActive = false;
    setBoardColours();
  }
  return QWidget::eventFilter(watched, event);
}

int DesignWindow::columnsValue() const {
  return static_cast<int>(patterns::leadingValue(us(列数->text())));
}
int DesignWindow::rowsValue() const {
  return static_cast<int>(patterns::leadingValue(us(行数->text())));
}
int DesignWindow::colourCount() const {
  return 色数->currentIndex() + 1;
}

void DesignWindow::setBoardColours() {
  setListBackground(List1, totalRunActive ? kWhite : kTeal);
  setListBackground(List2, totalRunActive ? kTeal : kWhite);
}

void DesignWindow::stopRun() {
  totalRunActive = false;
  Timer1->stop();
  setBoardColours();
}

void DesignWindow::stopCommand() {
  if (totalRunActive) {
    totalRunActive = false;
    selectBoardEntry(0);
  }
  Timer1->stop();
  setBoardColours();
}

void DesignWindow::closeStepReader() {
  stepReader_.reset();
}

void DesignWindow::setStepCounters(long step) {
  app_.horizontalPreview().setStep(step);
  app_.verticalPreview().setStep(step);
}

void DesignWindow::selectBoardEntry(int row) {
  // Selecting an entry to stop a run must not start one again.
  const QSignalBlocker block(List1);
  List1->setCurrentRow(row);
}

void DesignWindow::selectCatalogueEntry(int position) {
  if (position < 0 || position >= List2->count()) return;
  if (List2->currentRow() == position) {
    onCatalogueSelection();  // the same entry again: its effect runs again from the start
  } else {
    List2->setCurrentRow(position);
  }
}

void DesignWindow::tick() {
  const qint64 interval = std::max(1, Timer1->interval());
  if (interval >= kCatchUpBelowMs) {
    stepOnce(true);
    return;
  }
  // Faster than the screen refreshes, a timer of a millisecond or two falls behind: the steps that
  // came due since the last tick are all read (only the last of them can be seen anyway), so the
  // run keeps its speed.
  if (!runClock_.isValid()) runClock_.start();
  const qint64 now = runClock_.elapsed();
  if (now - scheduled_ > 10 * interval) scheduled_ = now - interval;  // after a pause
  int due = 0;
  while (scheduled_ + interval <= now && due < 50) {
    scheduled_ += interval;
    ++due;
  }
  for (int i = 0; i < due; ++i) {
    if (!stepOnce(i + 1 == due)) break;
  }
}

bool DesignWindow::stepOnce(bool drawTitle) {
  if (app_.sinceSplash() > 2500) app_.hideSplash();
  const int n = columnsValue();
  if (n == 0 || n > 300) {
    Timer1->stop();
    app_.dialogs().message("请先确定列数！");
    return false;
  }
  setBoardColours();
  if (!stepReader_) {
    stepReader_ = std::make_unique<QFile>(app_.scratchFile());
    if (!stepReader_->open(QIODevice::ReadOnly)) {
      stepReader_.reset();
      return false;
    }
    if (!totalRunActive) setStepCounters(0);
    return false;
  }
  if (stepReader_->atEnd()) {
    if (totalRunActive) {
      entryFinished = true;
      advanceRun();
    } else {
      setStepCounters(0);
      stepReader_->seek(0);
    }
    return false;
  }
  QByteArray line = stepReader_->readLine();
  while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
  auto& horizontal = app_.horizontalPreview();
  const long step = horizontal.step() + 1;
  setStepCounters(step);
  const QString text = QString::fromLatin1(line);
  const QString tubes = text.left(n);
  const QString images = text.mid(n);
  auto& main = app_.mainWindow();
  if (main.horizontalShown()) horizontal.showStep(tubes, images);
  if (main.verticalShown()) app_.verticalPreview().showStep(tubes, images);
  ++stepsShown;
  if (drawTitle) {
    显示标题();
  } else {
    updateTitleState();
  }
  return true;
}

void DesignWindow::显示总程序Click() {
  app_.horizontalPreview().setStep(0);
  if (List1->count() == 0) {
    app_.dialogs().message("请先选择花式到编程板。");
    return;
  }
  totalRunActive = true;
  if (List1->currentRow() == 0) {
    onBoardSelection();
  } else {
    List1->setCurrentRow(0);
  }
  emit statusText(QStringLiteral("正在显示编程总程序的:“") + List1->item(0)->text() + QStringLiteral("”"));
  setBoardColours();
  entryFinished = false;
  Timer1->start();
  定时显示总程序->start();
}

void DesignWindow::assembleTotalProgram() {
  if (List1->count() == 0) {
    app_.dialogs().message("请先选择花式到编程板。");
    return;
  }
  const int channels = compiler::channelsForGeneration(
      columnsValue(), 启用灯管->isChecked(), 启用图案->isChecked(), app_.imageCount(), app_.channels);
  if (channels < 1 || channels > 300) {
    app_.dialogs().message("请先确定列数！");
    return;
  }
  generatingTxt = true;
  Timer1->stop();
  定时显示总程序->stop();
  closeStepReader();
  auto& post = app_.postEditWindow();
  post.Timer1->stop();
  app_.channels = channels;

  compiler::AssemblyInput input;
  for (const QString& entry : boardEntries()) input.board.push_back(us(entry));
  input.colours = colourCount();
  input.channels = channels;
  input.tubesOn = 启用灯管->isChecked();
  input.imagesOn = 启用图案->isChecked();
  input.imageCount = app_.imageCount();
  if (auto before = platform::readBytes(toPath(app_.scratchFile()))) input.scratchBefore = *before;
  const auto assembled = compiler::assembleTotalProgram(input);
  (void)platform::writeBytesSafely(toPath(app_.appFile(QString::fromUtf8(compiler::kTotalProgramFile))),
                                   assembled.bytes, false);
  // The scratch step file holds the last effect generated, as after a click on it.
  (void)platform::overwriteFile(toPath(app_.scratchFile()), assembled.scratchAfter);
  {
    const QSignalBlocker board(List1);
    const QSignalBlocker catalogue(List2);
    List1->setCurrentRow(List1->count() - 1);
    const long last = patterns::leadingNumber(us(List1->item(List1->count() - 1)->text())) - 1;
    if (last >= 0 && last < List2->count()) List2->setCurrentRow(static_cast<int>(last));
  }

  post.setBaseChannels(QString::number(assembled.width));
  post.HScroll1->setMaximum(static_cast<int>(assembled.steps));
  app_.mainWindow().showPostEdit();
  post.setSequenceText(
      QString::fromLatin1(assembled.bytes.data(), static_cast<qsizetype>(assembled.bytes.size())));
  const int width = columnsValue() + (启用图案->isChecked() && 启用灯管->isChecked() ? app_.imageCount() : 0);
  if (width > 0) {
    QFont font = post.Text1->font();
    font.setPointSizeF(560.0 / width);
    post.Text1->setFont(font);
  }
  post.延时起点后期处理->start();
  generatingTxt = false;
  totalRunActive = false;
}

void DesignWindow::extractCurrentEffect() {
  if (totalRunActive) {
    totalRunActive = false;
    selectBoardEntry(0);
  }
  Timer1->stop();
  closeStepReader();
  QString text;
  if (auto bytes = platform::readBytes(toPath(app_.scratchFile()))) {
    auto decoded = platform::gbkToUtf8(*bytes);
    text = decoded ? qs(*decoded) : QString::fromLatin1(bytes->data(), static_cast<qsizetype>(bytes->size()));
  }
  app_.mainWindow().showPostEdit();
  app_.postEditWindow().setSequenceText(text);
}

void DesignWindow::onBoardSelection() {
  if (reordering || savingState || generatingTxt) return;
  if (!List1->currentItem()) return;
  if (!totalRunActive) {
    显示总程序Click();
    return;
  }
  const QString text = List1->currentItem()->text();
  emit statusText(QStringLiteral("正在显示编程总程序的:“") + text + QStringLiteral("”"));
  entryFinished = false;
  selectCatalogueEntry(static_cast<int>(patterns::leadingNumber(us(text))) - 1);
  Timer1->start();
}

void DesignWindow::advanceRun() {
  if (!totalRunActive) {
    定时显示总程序->stop();
    return;
  }
  if (!entryFinished) return;
  entryFinished = false;
  const int k = List1->currentRow();
  if (k >= 0 && k < List1->count() - 1) {
    List1->setCurrentRow(k + 1);
    return;
  }
  selectBoardEntry(0);
  app_.horizontalPreview().setStep(0);
  if (List1->count() > 0) {
    emit statusText(QStringLiteral("正在显示编程总程序的:“") + List1->item(0)->text() + QStringLiteral("”"));
    selectCatalogueEntry(static_cast<int>(patterns::leadingNumber(us(List1->item(0)->text()))) - 1);
  }
}

void DesignWindow::fillCatalogue() {
  List2->hide();
  const QSignalBlocker block(List2);
  List2->clear();
  for (const auto& entry : patterns::catalogue(colourCount())) List2->addItem(qs(std::string(entry.name)));
  List2->show();
}

void DesignWindow::runGenerator(int position) {
  const int colours = colourCount();
  const patterns::GeneratorRef* generator =
      colours == 2 ? patterns::generatorAt(2, position) : patterns::generatorAt(1, position);
  // The channel count must be one a sign can have; anything else would write nothing useful.
  if (!generator || app_.channels < 1 || app_.channels > 300) return;
  patterns::generateIntoFile(*generator, app_.channels, colours, toPath(app_.scratchFile()));
}

void DesignWindow::单色花式选择() {
  runGenerator(List2->currentRow());
}

void DesignWindow::双色花式选择处理() {
  runGenerator(List2->currentRow());
}

void DesignWindow::onCatalogueSelection() {
  if (addingAll || savingState) return;
  Timer1->stop();
  closeStepReader();
  if (启用灯管->isChecked()) {
    app_.channels = columnsValue();
  } else if (启用图案->isChecked()) {
    const int images = app_.imageCount();
    app_.channels = images >= 4 ? images : 4;
  }
  const QString selected = List2->currentItem() ? List2->currentItem()->text() : QString();
  if (!totalRunActive) emit statusText(QStringLiteral("正在基本花式的:“") + selected + QStringLiteral("”"));
  if (colourCount() == 2) {
    双色花式选择->click();
  } else {
    单色花式选择();
  }
  if (!generatingTxt) Timer1->start();
}

void DesignWindow::appendSelectedCatalogueEntry() {
  if (!List2->currentItem()) return;
  List1->addItem(List2->currentItem()->text());
  setDirty(true);
}

void DesignWindow::selectAll() {
  addingAll = true;
  for (int k = 0; k < List2->count(); ++k) {
    List2->setCurrentRow(k);
    List1->addItem(List2->item(k)->text());
  }
  addingAll = false;
  setDirty(true);
  Timer1->stop();
}

void DesignWindow::deleteSelected(bool markDirty) {
  const int k = List1->currentRow();
  if (k < 0 || !List1->currentItem() || !List1->currentItem()->isSelected()) return;
  delete List1->takeItem(k);
  if (markDirty) setDirty(true);
}

void DesignWindow::move(bool up) {
  const int k = List1->currentRow();
  if (k < 0) return;
  if (up ? k == 0 : k + 1 == List1->count()) return;
  reordering = true;
  List1->hide();
  const auto reorderFile = toPath(app_.appFile(QString::fromUtf8(kReorderFile)));
  Board board;
  for (int i = 0; i < List1->count(); ++i) board.push_back(us(List1->item(i)->text()));
  (void)writeBoardFile(reorderFile, board);
  List1->clear();
  auto back = readBoardFile(reorderFile);
  if (back) board = *back;
  const int selected = moveEntry(board, k, up);
  for (const auto& entry : board) List1->addItem(qs(entry));
  List1->setCurrentRow(selected);
  List1->show();
  reordering = false;
  setDirty(true);
}

void DesignWindow::clearBoard() {
  List1->clear();
  if (totalRunActive) {
    totalRunActive = false;
    Timer1->stop();
  }
  setBoardColours();
}

void DesignWindow::onColourCountChosen() {
  if (!loadingProject) clearBoard();
  fillCatalogue();
  定位灯管->click();
  if (!loadingProject) setDirty(true);
}

void DesignWindow::onColumnsChanged() {
  const int value = columnsValue();
  if (value >= 4 && value <= 300) {
    定位灯管->click();
    app_.channels = value;
  }
  if (totalRunActive) {
    totalRunActive = false;
    selectBoardEntry(0);
  }
  Timer1->stop();
  setBoardColours();
}

void DesignWindow::onRowsChanged() {
  const int value = rowsValue();
  if (value < 1 || value > 10) {
    行数->setText(QStringLiteral("1"));  // comes back here with a valid value
    return;
  }
  定位灯管->click();
  if (totalRunActive) {
    totalRunActive = false;
    selectBoardEntry(0);
  }
  Timer1->stop();
  setBoardColours();
}

void DesignWindow::onSpeedChanged(double value) {
  const int ms = 1000 - static_cast<int>(patterns::whole(value));
  速度->setText(QString::number(ms));
  Timer1->setInterval(std::max(1, ms));
  板提示[5]->setText(QStringLiteral("速度：（") + 速度->text() + QStringLiteral("毫秒/步）"));
  if (!loadingProject) setDirty(true);
}

void DesignWindow::onTitleChanged() {
  const std::string text = us(标题名称->text());
  for (std::size_t i = 0; i < text.size();) {
    const std::string ch(platform::utf8Char(text, i));
    if (!platform::isDoubleByte(ch)) {
      app_.dialogs().message("请用中文或全角字符！");
      标题名称->setText(标题名称->text().remove(qs(ch)));  // validates the rest again
      return;
    }
  }
  定位灯管->click();
}

void DesignWindow::pickColour(const QColor& colour) {
  setDirty(true);
  if (颜色选择内容[0]->isChecked()) {
    标题颜色样品->setColour(colour);
    显示标题();
    return;
  }
  for (std::size_t i = 0; i < 色彩样品.size(); ++i) {
    if (颜色选择内容[i + 1]->isChecked()) 色彩样品[i]->setColour(colour);
  }
  const auto style = signStyle();
  app_.horizontalPreview().setSignStyle(style);
  app_.verticalPreview().setSignStyle(style);
}

preview::SignStyle DesignWindow::signStyle() const {
  preview::SignStyle style;
  style.columns = columnsValue();
  style.rows = std::clamp(rowsValue(), 1, 10);
  style.colours = colourCount();
  style.hollow = 空心->isChecked();
  for (std::size_t i = 0; i < 3; ++i) style.tubeColours[i] = 色彩样品[i]->colour();
  style.tubesOn = 启用灯管->isChecked();
  style.imagesOn = 启用图案->isChecked();
  return style;
}

preview::TitleStyle DesignWindow::titleStyle() const {
  preview::TitleStyle style;
  style.text = 标题名称->text();
  style.font = 字体->currentText();
  style.size = static_cast<int>(patterns::leadingValue(us(字体大小->text())));
  style.spacing = static_cast<int>(patterns::leadingValue(us(字间隔->text())));
  style.bold = 粗体->isChecked();
  style.italic = 斜体->isChecked();
  style.colour = 标题颜色样品->colour();
  style.disabled = 禁用文字标题->isChecked();
  return style;
}

void DesignWindow::layOutTubes() {
  if (loadingProject) return;
  const auto style = signStyle();
  auto& vertical = app_.verticalPreview();
  vertical.setSignStyle(style);
  vertical.layOutLamps();
  auto& horizontal = app_.horizontalPreview();
  horizontal.setSignStyle(style);
  horizontal.layOutLamps();
  显示标题();
}

void DesignWindow::updateTitleState() {
  auto& main = app_.mainWindow();
  for (preview::PreviewWindow* p : {&app_.horizontalPreview(), &app_.verticalPreview()}) {
    const bool shown = p == &app_.horizontalPreview() ? main.horizontalShown() : main.verticalShown();
    if (!shown) continue;
    if (p->启用标题花式->value() == 1) {
      auto& post = app_.postEditWindow();
      const std::string effect = us(post.Text2->toPlainText());
      if (const auto mask = findMask(effect, app_.horizontalPreview().step())) {
        titleState_ = qs(mask->mask);
        // Show which line of the title effect is in force.
        QTextCursor cursor(post.Text2->document());
        cursor.setPosition(
            std::min(static_cast<int>(mask->maskStart), post.Text2->document()->characterCount() - 1));
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        const QSignalBlocker block(post.Text2);
        post.Text2->setTextCursor(cursor);
      }
    } else {
      titleState_ = 标题名称->text();
    }
  }
}

void DesignWindow::显示标题() {
  auto& main = app_.mainWindow();
  const auto style = titleStyle();
  if (禁用文字标题->isChecked()) {
    // No title at all: take away what is drawn at once.
    app_.horizontalPreview().showTitle(style, QString());
    app_.verticalPreview().showTitle(style, QString());
    return;
  }
  updateTitleState();
  if (main.horizontalShown()) app_.horizontalPreview().showTitle(style, titleState_);
  if (main.verticalShown()) app_.verticalPreview().showTitle(style, titleState_);
}

void DesignWindow::装载字体() {
  if (loadingFonts_) return;
  loadingFonts_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  auto& main = app_.mainWindow();
  const QString caption = main.windowTitle();
  {
    const QSignalBlocker block(字体);
    字体->clear();
    字体->hide();
    for (const QString& family : QFontDatabase::families()) {
      字体->addItem(family);
      main.setWindowTitle(QStringLiteral("正在装载字体“") + family + QStringLiteral("”"));
    }
    字体->setEditText(QStringLiteral("宋体"));
  }
  字体->show();
  main.setWindowTitle(caption);
  QApplication::restoreOverrideCursor();
  fontsLoaded_ = true;
  loadingFonts_ = false;
}

QStringList DesignWindow::boardEntries() const {
  QStringList entries;
  for (int i = 0; i < List1->count(); ++i) entries << List1->item(i)->text();
  return entries;
}

ProjectSettings DesignWindow::settings() const {
  ProjectSettings s = carried;
  s.title = us(标题名称->text());
  s.columns = us(列数->text());
  s.titleColour = fromQColor(标题颜色样品->colour());
  for (std::size_t i = 0; i < 3; ++i) s.tubeColours[i] = fromQColor(色彩样品[i]->colour());
  s.speed = 速度调节->value();
  s.hollow = 空心->isChecked() ? 1 : 0;
  s.colourCount = us(色数->currentText());
  s.font = us(字体->currentText());
  s.bold = 粗体->isChecked() ? 1 : 0;
  s.rows = us(行数->text());
  s.spacing = us(字间隔->text());
  s.italic = 斜体->isChecked() ? 1 : 0;
  s.logosOn = 启用标志->isChecked() ? 1 : 0;
  s.imagesOn = 启用图案->isChecked() ? 1 : 0;
  s.tubesOn = 启用灯管->isChecked() ? 1 : 0;
  s.titleOff = 禁用文字标题->isChecked() ? 1 : 0;
  s.fontSize = us(字体大小->text());
  const auto& main = app_.mainWindow();
  s.showHorizontal = main.horizontalShown() ? 1 : 0;
  s.showVertical = main.verticalShown() ? 1 : 0;
  main.storePreviews(s);
  auto& post = app_.postEditWindow();
  s.manualEdit = post.人工修改->value();
  s.baseChannels = us(post.基本路数->text());
  s.mainWidth = platform::toTwips(main.width());
  s.mainHeight = platform::toTwips(main.height());
  return s;
}

void DesignWindow::applySettings(const ProjectSettings& s) {
  carried = s;
  标题名称->setText(qs(s.title));
  列数->setText(qs(s.columns));
  标题颜色样品->setColour(toQColor(s.titleColour));
  for (std::size_t i = 0; i < 3; ++i) 色彩样品[i]->setColour(toQColor(s.tubeColours[i]));
  速度调节->setValue(s.speed);
  空心->setChecked(s.hollow == 1);
  const int index = colourIndexFor(s.colourCount);
  if (色数->currentIndex() == index) {
    onColourCountChosen();  // the catalogue follows the colour count even when it stays the same
  } else {
    色数->setCurrentIndex(index);
  }
  字体->setEditText(qs(s.font));
  粗体->setChecked(s.bold == 1);
  行数->setText(qs(s.rows));
  字间隔->setText(qs(s.spacing));
  斜体->setChecked(s.italic == 1);
  启用标志->setChecked(s.logosOn == 1);
  启用图案->setChecked(s.imagesOn == 1);
  启用灯管->setChecked(s.tubesOn == 1);
  禁用文字标题->setChecked(s.titleOff == 1);
  字体大小->setText(qs(s.fontSize));
  auto& post = app_.postEditWindow();
  post.人工修改->setValue(s.manualEdit);
  post.setBaseChannels(qs(s.baseChannels));
  auto& main = app_.mainWindow();
  main.setPreviewSwitches(s.showHorizontal == 1, s.showVertical == 1);
  main.resize(std::max(640, platform::toPixels(s.mainWidth)),
              std::max(480, platform::toPixels(s.mainHeight)));
}

void DesignWindow::保存当前内容() {
  savingState = true;
  const int selected = List1->currentRow();
  List1->hide();
  Board board;
  for (const QString& entry : boardEntries()) board.push_back(us(entry));
  (void)writeBoardFile(toPath(app_.appFile(QString::fromUtf8(kWorkingStateFile))), board);
  savingState = false;
  List1->setCurrentRow(selected);
  List1->show();
}

void DesignWindow::saveProject() {
  保存当前内容();
  Board board;
  if (auto saved = readBoardFile(toPath(app_.appFile(QString::fromUtf8(kWorkingStateFile))))) board = *saved;
  const auto status = writeProjectRecord(toPath(app_.currentProjectPath()), recordOf(settings(), board));
  if (!status) {
    app_.dialogs().message("工程名称：“" + us(标题名称->text()) + "”系统不能接受，请换一个名称。");
    return;
  }
  setDirty(false);
}

void DesignWindow::openProject() {
  loadingProject = true;
  app_.setCurrentProjectPath(app_.currentProjectPath());
  auto& main = app_.mainWindow();
  main.setWindowTitle(qs(app::windowCaption(us(app_.currentProjectPath()))));

  ProjectSettings s = settings();
  auto record = readProjectRecord(toPath(app_.currentProjectPath()));
  if (record) applyRecord(*record, s);
  applySettings(s);
  List1->clear();
  if (record) {
    for (const auto& entry : record->board) List1->addItem(qs(entry));
  }
  {
    const QSignalBlocker block(List1);
    List1->setCurrentRow(-1);
  }

  auto& post = app_.postEditWindow();
  QString effect;
  const auto effectFile = toPath(app_.projectFile(QString::fromUtf8(app::kTitleEffectFile)));
  if (auto text = platform::readGbkText(effectFile)) effect = qs(*text);
  post.Text2->setPlainText(effect);

  setDirty(false);
  main.placePreviews(s);
  loadingProject = false;
  定位灯管->click();

  const QString manualFile = app_.projectFile(QString::fromUtf8(compiler::kManualFile));
  if (QFileInfo::exists(manualFile)) {
    // A project with hand edits opens where they were made.
    main.showPostEdit();
    QFile::remove(app_.scratchFile());
    QFile::copy(manualFile, app_.scratchFile());
    QFile in(manualFile);
    if (in.open(QIODevice::ReadOnly)) {
      const auto text = platform::gbkToUtf8(in.readAll().toStdString());
      post.setSequenceText(text ? qs(*text) : QString());
    }
    post.延时起点后期处理->start();
    app_.hideSplash();
  } else {
    post.Timer1->stop();
    main.showDesign();
    显示总程序->click();
  }
}

void DesignWindow::load() {
  {
    const QSignalBlocker block(色数);
    色数->clear();
    色数->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    色数->setCurrentIndex(1);
  }
  auto& main = app_.mainWindow();
  QString last = qs(app_.settings().get("最后处理的工程名称", "新工程"));
  if (!app_.projectToOpen().isEmpty()) last = QFileInfo(app_.projectToOpen()).absoluteFilePath();
  const QString sample = app_.appFile(QString::fromUtf8(app::kSampleProject));
  if (QFileInfo(last).isFile()) {
    setDirty(false);
    app_.setCurrentProjectPath(last);
    openProject();
  } else if (QFileInfo(sample).isFile()) {
    setDirty(false);
    app_.setCurrentProjectPath(sample);
    openProject();
  } else {
    main.新建工程();
    app_.hideSplash();
  }
  show();
  loadingProject = true;
  onColourCountChosen();
  app_.channels = columnsValue();
  app_.settings().set("是否运行中", "True");
  main.showPreviews();
  fillCatalogue();
  loadingProject = false;
  定位灯管->click();
  setDirty(false);
}

bool DesignWindow::unload() {
  app_.canQuit = true;
  if (dirty()) {
    switch (app_.dialogs().message("原来的工程已经改变，是否存盘？", platform::Buttons::YesNoCancel,
                                   platform::Answer::Yes)) {
      case platform::Answer::Yes:
        保存工程->click();
        break;
      case platform::Answer::Cancel:
        app_.canQuit = false;
        return false;
      default:
        break;
    }
  }
  stopRun();
  定时显示总程序->stop();
  closeStepReader();
  QFile::remove(app_.scratchFile());
  app_.settings().set("最后处理的工程名称", us(app_.currentProjectPath()));
  保存当前内容();
  app_.settings().set("是否运行中", "False");
  return true;
}

}  // namespace lumafex::design
