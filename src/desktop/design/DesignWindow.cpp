#include "desktop/design/DesignWindow.h"

#include <QApplication>
#include <QFile>
#include <QDir>
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

#include "core/app/ProjectPaths.h"
#include "core/compiler/OutputBuffer.h"
#include "core/compiler/ProjectCompile.h"
#include "core/compiler/TotalProgram.h"
#include "core/design/Board.h"
#include "core/design/Rules.h"
#include "core/design/TitleEffect.h"
#include "core/patterns/Catalogue.h"
#include "core/patterns/ScratchOutput.h"
#include "core/platform/ScratchFile.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"
#include "desktop/app/Application.h"
#include "desktop/controls/AdjustableBar.h"
#include "desktop/controls/CheckBoxControl.h"
#include "desktop/design/CatalogueThumbnails.h"
#include "desktop/design/ColourPanel.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/preview/PictureBlock.h"
#include "desktop/preview/PreviewWindow.h"

namespace lumafex::design {

namespace {

using platform::qs;
using platform::us;

const QColor kTeal(0, 128, 128);
const QColor kWhite(255, 255, 255);

std::filesystem::path toPath(const QString& s) {
  return platform::pathFromUtf8(us(s));
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

}  // namespace

DesignWindow::DesignWindow(app::Application& app, ProjectDocument& document, DesignContext context,
                           QWidget* parent)
    : QWidget(parent), app_(app), document_(document), context_(std::move(context)) {
  setObjectName(QStringLiteral("霓虹灯设计窗"));
  setWindowTitle(QStringLiteral("霓虹灯花式设计"));
  buildControls();
  connectControls();
  thumbnails_ = new CatalogueThumbnails(List2, [this] {
    // The sign a click on an entry would generate for.
    const auto& s = document_.settings();
    ThumbnailKey key;
    key.channels = compiler::channelsForGeneration(columnsValue(), s.tubesOn == 1, s.imagesOn == 1,
                                                   document_.project().pictures.imageCount,
                                                   document_.project().channels);
    key.colours = colourCount();
    for (std::size_t i = 0; i < 3; ++i) key.swatches[i] = toQColor(s.tubeColours[i]).rgb();
    return key;
  });
  connect(&document_, &ProjectDocument::changed, thumbnails_, [this] { thumbnails_->refresh(); });
  thumbnails_->setShown(catalogueThumbnailsWanted(app_.settings()));
}

void DesignWindow::showCatalogueThumbnails(bool on) {
  thumbnails_->setShown(on);
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
    colours->addWidget(颜色选择内容[static_cast<std::size_t>(i) + 1], i + 1, 0);
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
  // The controls' values go into the project first, so every handler below sees them there.
  for (QLineEdit* box : {标题名称, 列数, 行数, 字间隔, 字体大小}) {
    connect(box, &QLineEdit::textChanged, this, [this] { storeSettings(); });
  }
  connect(字体, &QComboBox::editTextChanged, this, [this] { storeSettings(); });
  connect(字体, &QComboBox::currentTextChanged, this, [this] { storeSettings(); });
  connect(色数, &QComboBox::currentIndexChanged, this, [this] { storeSettings(); });
  for (QCheckBox* box : {空心, 启用灯管, 启用图案, 启用标志, 粗体, 斜体, 禁用文字标题}) {
    connect(box, &QCheckBox::toggled, this, [this] { storeSettings(); });
  }
  connect(速度调节, &controls::AdjustableBar::valueChanged, this, [this] { storeSettings(); });
  connect(&document_, &ProjectDocument::dirtyChanged, this, [this](bool on) { 需要存盘->setChecked(on); });
  connect(&document_, &ProjectDocument::reset, this, [this](bool created) { mapProject(created); });
  connect(&document_, &ProjectDocument::restored, this, [this](int parts) { showRestored(parts); });

  connect(调入基本花式, &QPushButton::clicked, this, [this] { fillCatalogue(); });
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
  connect(全部清除, &QPushButton::clicked, this, [this] { clearBoard(); });
  connect(保存工程, &QPushButton::clicked, this, [this] { 保存工程Click(); });
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
  // A mouse move over the lists, the panels or the window background hides the placement blocks.
  setMouseTracking(true);
  for (QWidget* w : std::initializer_list<QWidget*>{List1->viewport(), 标题参数板, 灯管排列板, 色彩选择板}) {
    w->setMouseTracking(true);
    w->installEventFilter(this);
  }
  标题名称->installEventFilter(this);
  字体->installEventFilter(this);
  if (字体->lineEdit()) 字体->lineEdit()->installEventFilter(this);
}

bool DesignWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove &&
      (watched == List1->viewport() || watched == List2->viewport() || watched == 标题参数板 ||
       watched == 灯管排列板 || watched == 色彩选择板)) {
    消除各种物件块();
  }
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
    totalRun_.stop();
    setBoardColours();
  }
  return QWidget::eventFilter(watched, event);
}

preview::PreviewWindow* DesignWindow::horizontal() const {
  return context_.horizontal ? context_.horizontal() : nullptr;
}
preview::PreviewWindow* DesignWindow::vertical() const {
  return context_.vertical ? context_.vertical() : nullptr;
}
bool DesignWindow::horizontalShown() const {
  return document_.settings().showHorizontal == 1;
}
bool DesignWindow::verticalShown() const {
  return document_.settings().showVertical == 1;
}

int DesignWindow::columnsValue() const {
  return columnsOf(document_.settings());
}
int DesignWindow::rowsValue() const {
  return rowsOf(document_.settings());
}
int DesignWindow::colourCount() const {
  return colourCountOf(document_.settings());
}

void DesignWindow::storeSettings() {
  if (mapping_) return;
  // What a project load stores is no step of its own.
  if (loadingProject) document_.pauseRecording();
  const auto store = [this](Project& p) {
    ProjectSettings& s = p.settings;
    s.title = us(标题名称->text());
    s.columns = us(列数->text());
    s.titleColour = fromQColor(标题颜色样品->colour());
    for (std::size_t i = 0; i < 3; ++i) s.tubeColours[i] = fromQColor(色彩样品[i]->colour());
    s.speed = 速度调节->value();
    s.hollow = 空心->isChecked() ? 1 : 0;
    // A colour count that stands for no catalogue shows no item; its text stays as it was read.
    if (色数->currentIndex() >= 0) s.colourCount = us(色数->currentText());
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
  };
  document_.undoableEdit(ProjectDocument::Settings, store, ProjectDocument::Step::Typing);
  if (loadingProject) document_.resumeRecording();
}

void DesignWindow::showBoard() {
  const QSignalBlocker block(List1);
  List1->clear();
  for (const auto& entry : document_.project().board) List1->addItem(qs(entry));
  List1->setCurrentRow(-1);
}

void DesignWindow::mapProject(bool created) {
  if (created) stopRun();
  mapSettings();
  storeSettings();
  需要存盘->setChecked(document_.dirty());
  showBoard();
  if (created) 标题名称->setSelection(0, 3);
}

void DesignWindow::showRestored(int parts) {
  // The controls take the restored values; their handlers neither clear the board nor mark the
  // project changed meanwhile.
  restoring_ = true;
  if (parts & ProjectDocument::Settings) mapSettings();
  restoring_ = false;
  if (parts & ProjectDocument::BoardPart) {
    stopRun();
    showBoard();
  }
  layOutTubes();
}

void DesignWindow::mapSettings() {
  const ProjectSettings s = document_.settings();
  {
    // The handlers below run as the controls change, reading the project, which already holds
    // every new value; the controls' values are stored back once at the end.
    mapping_ = true;
    标题名称->setText(qs(s.title));
    列数->setText(qs(s.columns));
    标题颜色样品->setColour(toQColor(s.titleColour));
    for (std::size_t i = 0; i < 3; ++i) 色彩样品[i]->setColour(toQColor(s.tubeColours[i]));
    速度调节->setValue(s.speed);
    空心->setChecked(s.hollow == 1);
    const int index = colourCountOf(s) - 1;
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
    mapping_ = false;
  }
}

void DesignWindow::setBoardColours() {
  setListBackground(List1, totalRun_.active() ? kWhite : kTeal);
  setListBackground(List2, totalRun_.active() ? kTeal : kWhite);
}

void DesignWindow::stopRun() {
  totalRun_.stop();
  Timer1->stop();
  setBoardColours();
}

void DesignWindow::stopCommand() {
  if (totalRun_.active()) {
    totalRun_.stop();
    selectBoardEntry(0);
  }
  Timer1->stop();
  setBoardColours();
}

void DesignWindow::pauseRun() {
  if (Timer1->isActive()) {
    Timer1->stop();
  } else {
    Timer1->start();
  }
}

void DesignWindow::closeStepReader() {
  stepReader_.close();
}

void DesignWindow::focusTitle() {
  show();
  标题名称->setFocus();
}

void DesignWindow::定位灯管Click() {
  定位灯管->click();
}

void DesignWindow::setStepCounters(long step) {
  if (auto* h = horizontal()) h->setStep(step);
  if (auto* v = vertical()) v->setStep(step);
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
  const int due = catchUp_.due(runClock_.elapsed(), interval);
  for (int i = 0; i < due; ++i) {
    if (!stepOnce(i + 1 == due)) break;
  }
}

bool DesignWindow::stepOnce(bool drawTitle) {
  if (app_.sinceSplash() > 2500) app_.hideSplash();
  const int n = columnsValue();
  if (n == 0 || n > kMaxChannels) {
    Timer1->stop();
    app_.dialogs().message("请先确定列数！");
    return false;
  }
  setBoardColours();
  if (!stepReader_.isOpen()) {
    if (!stepReader_.open(toPath(app_.scratchFile()))) return false;
    if (!totalRun_.active()) setStepCounters(0);
    return false;
  }
  if (stepReader_.atEnd()) {
    if (totalRun_.active()) {
      totalRun_.entryEnded();
      advanceRun();
    } else {
      setStepCounters(0);
      stepReader_.rewind();
    }
    return false;
  }
  const auto parts = splitStep(stepReader_.next().value_or(std::string()), n, true);
  auto* h = horizontal();
  const long step = (h ? h->step() : 0) + 1;
  setStepCounters(step);
  const QString tubes = QString::fromLatin1(parts.tubes.data(), static_cast<qsizetype>(parts.tubes.size()));
  const QString images =
      QString::fromLatin1(parts.images.data(), static_cast<qsizetype>(parts.images.size()));
  const preview::PictureFrame pictures = stepPictures(tubes + images);
  if (h && horizontalShown()) h->showStep(tubes, images, pictures);
  if (auto* v = vertical(); v && verticalShown()) v->showStep(tubes, images, pictures);
  ++stepsShown_;
  if (drawTitle) {
    显示标题();
  } else {
    updateTitleState();
  }
  return true;
}

void DesignWindow::显示总程序Click() {
  消除各种物件块();
  if (auto* h = horizontal()) h->setStep(0);
  if (List1->count() == 0) {
    app_.dialogs().message("请先选择花式到编程板。");
    return;
  }
  totalRun_.start();
  if (List1->currentRow() == 0) {
    onBoardSelection();
  } else {
    List1->setCurrentRow(0);
  }
  emit statusText(QStringLiteral("正在显示编程总程序的:“") + List1->item(0)->text() + QStringLiteral("”"));
  setBoardColours();
  totalRun_.entryBegan();
  Timer1->start();
  定时显示总程序->start();
}

bool DesignWindow::生成TXT文件Click() {
  return assembleTotalProgram();
}

void DesignWindow::提取当前花式Click() {
  提取当前花式->click();
}

bool DesignWindow::保存工程Click() {
  // The project's files beside the record (coordinates, title effect, pictures) live in its
  // directory: a project opened from a record alone gets one.
  QDir().mkpath(app_.projectDirectory());
  const bool logos = 保存标志的坐标();
  const bool images = 保存图案的坐标();
  保存当前内容();
  // The record holds the board the window shows: the project itself, never a file read back.
  document_.collect();
  const auto status =
      writeProjectRecord(toPath(app_.currentProjectPath()), design::recordOf(document_.project()));
  if (!status) {
    app_.dialogs().message("工程名称：“" + us(标题名称->text()) + "”系统不能接受，请换一个名称。");
    return false;
  }
  // A coordinate file that could not be written has been reported; the project stays changed, so
  // the user is asked again before it is closed.
  if (logos && images) setDirty(false);
  return true;
}

bool DesignWindow::assembleTotalProgram() {
  if (List1->count() == 0) {
    app_.dialogs().message("请先选择花式到编程板。");
    return false;
  }
  const auto assembly = compiler::assemblyInputOf(document_.compileInputs());
  if (!assembly) {
    app_.dialogs().message(assembly.error());
    return false;
  }
  generatingTxt = true;
  Timer1->stop();
  定时显示总程序->stop();
  closeStepReader();
  if (context_.stopPostRun) context_.stopPostRun();
  document_.edit(ProjectDocument::ChannelsPart, [&](Project& p) { setChannels(p, assembly->channels); });

  compiler::AssemblyInput input = *assembly;
  if (auto before = platform::readBytes(toPath(app_.scratchFile()))) input.scratchBefore = *before;
  const auto assembled = compiler::assembleTotalProgram(input);
  if (assembled.tooLarge) {
    generatingTxt = false;
    app_.dialogs().message(compiler::kProgramTooLargeMessage);
    return false;
  }
  // The post-processing window, the compile and the export work on this file: when it cannot be
  // written, nothing goes on (an older file would be taken for this board).
  if (const auto written = platform::writeBytesSafely(
          toPath(app_.appFile(QString::fromUtf8(compiler::kTotalProgramFile))), assembled.bytes, false);
      !written) {
    generatingTxt = false;
    app_.dialogs().message(written.error());
    return false;
  }
  // The scratch step file holds the last effect generated, as after a click on it.
  if (const auto scratch = platform::overwriteFile(toPath(app_.scratchFile()), assembled.scratchAfter);
      !scratch) {
    app_.dialogs().message(scratch.error());
  }
  {
    const QSignalBlocker board(List1);
    const QSignalBlocker catalogue(List2);
    List1->setCurrentRow(List1->count() - 1);
    const long last = patterns::leadingNumber(us(List1->item(List1->count() - 1)->text())) - 1;
    if (last >= 0 && last < List2->count()) List2->setCurrentRow(static_cast<int>(last));
  }

  document_.edit(ProjectDocument::Settings, [&](Project& p) {
    setSetting(p, &ProjectSettings::baseChannels, std::to_string(assembled.width));
  });
  SequenceOpening opening;
  opening.text = QString::fromLatin1(assembled.bytes.data(), static_cast<qsizetype>(assembled.bytes.size()));
  opening.steps = assembled.steps;
  const int width =
      columnsValue() +
      (启用图案->isChecked() && 启用灯管->isChecked() ? document_.project().pictures.imageCount : 0);
  opening.points = lineTextPoints(width);
  opening.startRun = true;
  if (context_.openSequence) context_.openSequence(opening);
  generatingTxt = false;
  totalRun_.stop();
  return true;
}

void DesignWindow::extractCurrentEffect() {
  if (totalRun_.active()) {
    totalRun_.stop();
    selectBoardEntry(0);
  }
  Timer1->stop();
  closeStepReader();
  QString text;
  if (auto bytes = platform::readBytes(toPath(app_.scratchFile()))) {
    auto decoded = platform::gbkToUtf8(*bytes);
    text = decoded ? qs(*decoded) : QString::fromLatin1(bytes->data(), static_cast<qsizetype>(bytes->size()));
  }
  SequenceOpening opening;
  opening.text = text;
  if (context_.openSequence) context_.openSequence(opening);
}

void DesignWindow::onBoardSelection() {
  if (reordering || savingState || generatingTxt) return;
  if (!List1->currentItem()) return;
  if (!totalRun_.active()) {
    显示总程序Click();
    return;
  }
  const QString text = List1->currentItem()->text();
  emit statusText(QStringLiteral("正在显示编程总程序的:“") + text + QStringLiteral("”"));
  totalRun_.entryBegan();
  selectCatalogueEntry(static_cast<int>(patterns::leadingNumber(us(text))) - 1);
  Timer1->start();
}

void DesignWindow::advanceRun() {
  const int k = List1->currentRow();
  switch (totalRun_.advance(k, List1->count())) {
    case BoardRun::Advance::StopTimer:
      定时显示总程序->stop();
      return;
    case BoardRun::Advance::None:
      return;
    case BoardRun::Advance::Next:
      List1->setCurrentRow(k + 1);
      return;
    case BoardRun::Advance::Restart:
      break;
  }
  selectBoardEntry(0);
  if (auto* h = horizontal()) h->setStep(0);
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
  const int channels = document_.project().channels;
  if (!generator || !channelsInRange(channels)) return;
  patterns::generateIntoFile(*generator, channels, colours, toPath(app_.scratchFile()));
}

void DesignWindow::单色花式选择() {
  runGenerator(List2->currentRow());
}

void DesignWindow::双色花式选择() {
  runGenerator(List2->currentRow());
}

void DesignWindow::onCatalogueSelection() {
  if (addingAll || savingState) return;
  Timer1->stop();
  closeStepReader();
  const auto& s = document_.settings();
  const int channels =
      compiler::channelsForGeneration(columnsValue(), s.tubesOn == 1, s.imagesOn == 1,
                                      document_.project().pictures.imageCount, document_.project().channels);
  document_.edit(ProjectDocument::ChannelsPart, [&](Project& p) { setChannels(p, channels); });
  const QString selected = List2->currentItem() ? List2->currentItem()->text() : QString();
  if (!totalRun_.active())
    emit statusText(QStringLiteral("正在基本花式的:“") + selected + QStringLiteral("”"));
  if (colourCount() == 2) {
    双色花式选择();
  } else {
    单色花式选择();
  }
  if (!generatingTxt) Timer1->start();
}

void DesignWindow::appendSelectedCatalogueEntry() {
  if (!List2->currentItem()) return;
  const QString entry = List2->currentItem()->text();
  document_.undoableEdit(ProjectDocument::BoardPart, [&](Project& p) { addEntries(p, {us(entry)}); });
  List1->addItem(entry);
}

void DesignWindow::selectAll() {
  addingAll = true;
  std::vector<std::string> entries;
  for (int k = 0; k < List2->count(); ++k) {
    List2->setCurrentRow(k);
    List1->addItem(List2->item(k)->text());
    entries.push_back(us(List2->item(k)->text()));
  }
  document_.undoableEdit(ProjectDocument::BoardPart, [&](Project& p) { addEntries(p, entries); });
  addingAll = false;
  Timer1->stop();
}

void DesignWindow::deleteSelected(bool markDirty) {
  const int k = List1->currentRow();
  if (k < 0 || !List1->currentItem() || !List1->currentItem()->isSelected()) return;
  document_.undoableEdit(ProjectDocument::BoardPart, [&](Project& p) { removeEntry(p, k, markDirty); });
  delete List1->takeItem(k);
}

void DesignWindow::move(bool up) {
  const int k = List1->currentRow();
  if (k < 0) return;
  if (up ? k == 0 : k + 1 == List1->count()) return;
  reordering = true;
  List1->hide();
  // The board goes through the reorder file as the move has always done.
  const auto reorderFile = toPath(app_.appFile(QString::fromUtf8(kReorderFile)));
  if (const auto written = writeBoardFile(reorderFile, document_.project().board); !written) {
    app_.dialogs().message(written.error());
  }
  const int selected = document_.undoableEdit(ProjectDocument::BoardPart,
                                              [&](Project& p) { return moveBoardEntry(p, k, up); });
  List1->clear();
  for (const auto& entry : document_.project().board) List1->addItem(qs(entry));
  List1->setCurrentRow(selected);
  List1->show();
  reordering = false;
}

void DesignWindow::clearBoard(bool withColourCount) {
  document_.undoableEdit(
      ProjectDocument::BoardPart, [](Project& p) { design::clearBoard(p); },
      withColourCount ? ProjectDocument::Step::Join : ProjectDocument::Step::Own);
  List1->clear();
  if (totalRun_.active()) {
    totalRun_.stop();
    Timer1->stop();
  }
  setBoardColours();
}

void DesignWindow::onColourCountChosen() {
  if (!loadingProject && !restoring_) clearBoard(true);
  fillCatalogue();
  定位灯管->click();
}

void DesignWindow::onColumnsChanged() {
  const int value = columnsValue();
  if (channelsInRange(value)) {
    定位灯管->click();
    document_.edit(ProjectDocument::ChannelsPart, [&](Project& p) { setChannels(p, value); });
  }
  if (totalRun_.active()) {
    totalRun_.stop();
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
  if (totalRun_.active()) {
    totalRun_.stop();
    selectBoardEntry(0);
  }
  Timer1->stop();
  setBoardColours();
}

void DesignWindow::onSpeedChanged(double) {
  const int ms = stepIntervalOf(document_.settings());
  速度->setText(QString::number(1000 - static_cast<int>(patterns::whole(速度调节->value()))));
  Timer1->setInterval(ms);
  板提示[5]->setText(QStringLiteral("速度：（") + 速度->text() + QStringLiteral("毫秒/步）"));
  if (!loadingProject && !restoring_) setDirty(true);
}

void DesignWindow::onTitleChanged() {
  const QString accepted = qs(acceptedTitle(us(标题名称->text())));
  if (accepted != 标题名称->text()) {
    app_.dialogs().message("请用中文或全角字符！");
    标题名称->setText(accepted);
    return;
  }
  定位灯管->click();
}

void DesignWindow::pickColour(const QColor& colour) {
  setDirty(true);
  if (颜色选择内容[0]->isChecked()) {
    标题颜色样品->setColour(colour);
    storeSettings();
    显示标题();
    return;
  }
  for (std::size_t i = 0; i < 色彩样品.size(); ++i) {
    if (颜色选择内容[i + 1]->isChecked()) 色彩样品[i]->setColour(colour);
  }
  storeSettings();
  const auto style = signStyleOf(document_.settings());
  if (auto* h = horizontal()) h->setSignStyle(style);
  if (auto* v = vertical()) v->setSignStyle(style);
}

void DesignWindow::layOutTubes() {
  if (loadingProject) return;
  const auto style = signStyleOf(document_.settings());
  const preview::PictureFrame pictures = layoutPictures();
  if (auto* v = vertical()) {
    v->setSignStyle(style);
    v->layOutLamps(pictures);
  }
  if (auto* h = horizontal()) {
    h->setSignStyle(style);
    h->layOutLamps(pictures);
  }
  显示标题();
}

void DesignWindow::updateTitleState() {
  const auto& s = document_.settings();
  const long step = horizontal() ? horizontal()->step() : 0;
  for (const bool isHorizontal : {true, false}) {
    if (!(isHorizontal ? horizontalShown() : verticalShown())) continue;
    const bool titleEffect = (isHorizontal ? s.horizontalTitleEffect : s.verticalTitleEffect) == 1;
    if (titleEffect) {
      if (const auto mask = findMask(document_.project().titleEffect, step)) {
        titleState_ = qs(mask->mask);
        // Show which line of the title effect is in force.
        if (context_.showTitleEffectLine) context_.showTitleEffectLine(static_cast<int>(mask->maskStart));
      }
    } else {
      titleState_ = 标题名称->text();
    }
  }
}

void DesignWindow::显示标题() {
  const auto style = titleStyleOf(document_.settings());
  if (禁用文字标题->isChecked()) {
    // No title at all: take away what is drawn at once.
    if (auto* h = horizontal()) h->showTitle(style, QString());
    if (auto* v = vertical()) v->showTitle(style, QString());
    return;
  }
  updateTitleState();
  if (auto* h = horizontal(); h && horizontalShown()) h->showTitle(style, titleState_);
  if (auto* v = vertical(); v && verticalShown()) v->showTitle(style, titleState_);
}

void DesignWindow::装载字体() {
  if (loadingFonts_) return;
  loadingFonts_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const QString caption = context_.caption ? context_.caption() : QString();
  const auto setCaption = [this](const QString& text) {
    if (context_.setCaption) context_.setCaption(text);
  };
  {
    const QSignalBlocker block(字体);
    字体->clear();
    字体->hide();
    for (const QString& family : QFontDatabase::families()) {
      字体->addItem(family);
      setCaption(QStringLiteral("正在装载字体“") + family + QStringLiteral("”"));
    }
    字体->setEditText(QStringLiteral("宋体"));
  }
  storeSettings();
  字体->show();
  setCaption(caption);
  QApplication::restoreOverrideCursor();
  fontsLoaded_ = true;
  loadingFonts_ = false;
}

QStringList DesignWindow::boardEntries() const {
  QStringList entries;
  for (const auto& entry : document_.project().board) entries << qs(entry);
  return entries;
}

void DesignWindow::保存当前内容() {
  savingState = true;
  const int selected = List1->currentRow();
  List1->hide();
  if (const auto written = writeBoardFile(toPath(app_.appFile(QString::fromUtf8(kWorkingStateFile))),
                                          document_.project().board);
      !written) {
    app_.dialogs().message(written.error());
  }
  savingState = false;
  List1->setCurrentRow(selected);
  List1->show();
}

void DesignWindow::打开工程() {
  loadingProject = true;
  app_.setCurrentProjectPath(app_.currentProjectPath());
  if (context_.setCaption) context_.setCaption(qs(app::windowCaption(us(app_.currentProjectPath()))));

  document_.collect();  // what the windows keep only in their frames, for lines the record lacks
  Project opened = openProjectFiles(toPath(app_.currentProjectPath()), toPath(app_.projectDirectory()),
                                    document_.project());
  const std::string problem = opened.titleEffectProblem;
  opened.dirty = false;
  document_.replace(std::move(opened), false);
  if (!problem.empty()) {
    // The file stays as it is; the title effect is saved again only when the user edits it.
    app_.dialogs().message("标题花式“" + us(app_.projectFile(QString::fromUtf8(app::kTitleEffectFile))) +
                           "”不能读取（" + problem + "），该文件保持原样。");
  }

  setDirty(false);
  if (context_.placePreviews) context_.placePreviews();
  loadingProject = false;
  定位灯管->click();

  const QString manualFile = app_.projectFile(QString::fromUtf8(compiler::kManualFile));
  if (QFileInfo::exists(manualFile)) {
    // A project with hand edits opens where they were made.
    QFile::remove(app_.scratchFile());
    QFile::copy(manualFile, app_.scratchFile());
    SequenceOpening opening;
    if (const auto& manual = document_.project().manualText) {
      const auto text = platform::gbkToUtf8(*manual);
      opening.text = text ? qs(*text) : QString();
    }
    opening.startRun = true;
    if (context_.openSequence) context_.openSequence(opening);
    app_.hideSplash();
  } else {
    if (context_.stopPostRun) context_.stopPostRun();
    if (context_.showDesign) context_.showDesign();
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
  storeSettings();
  QString last = qs(app_.settings().get("最后处理的工程名称", "新工程"));
  if (!app_.projectToOpen().isEmpty()) last = QFileInfo(app_.projectToOpen()).absoluteFilePath();
  const QString sample = app_.appFile(QString::fromUtf8(app::kSampleProject));
  if (QFileInfo(last).isFile()) {
    setDirty(false);
    app_.setCurrentProjectPath(last);
    打开工程();
  } else if (QFileInfo(sample).isFile()) {
    setDirty(false);
    app_.setCurrentProjectPath(sample);
    打开工程();
  } else {
    if (context_.newProject) context_.newProject();
    app_.hideSplash();
  }
  show();
  loadingProject = true;
  onColourCountChosen();
  document_.edit(ProjectDocument::ChannelsPart, [this](Project& p) { setChannels(p, columnsValue()); });
  app_.settings().set("是否运行中", "True");
  if (context_.showPreviews) context_.showPreviews();
  fillCatalogue();
  loadingProject = false;
  定位灯管->click();
  setDirty(false);
  document_.clearUndo();
}

bool DesignWindow::unload() {
  app_.canQuit = true;
  if (dirty()) {
    switch (app_.dialogs().message("原来的工程已经改变，是否存盘？", platform::Buttons::YesNoCancel,
                                   platform::Answer::Yes)) {
      case platform::Answer::Yes:
        保存工程Click();
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

// ---- Logos and images on the sign ----

void DesignWindow::mouseMoveEvent(QMouseEvent* event) {
  消除各种物件块();
  QWidget::mouseMoveEvent(event);
}

preview::PictureFrame DesignWindow::layoutPictures() const {
  const auto& s = document_.settings();
  preview::PictureFrame frame;
  frame.logosOn = s.logosOn == 1;
  frame.imagesOn = s.imagesOn == 1;
  frame.allImages = true;
  return frame;
}

preview::PictureFrame DesignWindow::stepPictures(const QString& line) const {
  const auto& s = document_.settings();
  preview::PictureFrame frame;
  frame.logosOn = s.logosOn == 1;
  frame.imagesOn = s.imagesOn == 1;
  if (frame.imagesOn) {
    frame.shownImages = imagesOfRunLine(line.toLatin1().toStdString(),
                                        document_.project().pictures.imageCount, s.tubesOn == 1);
  }
  return frame;
}

bool DesignWindow::保存标志的坐标() {
  return savePictureCoordinatesOf(PictureKind::Logo);
}

bool DesignWindow::savePictureCoordinatesOf(PictureKind kind) {
  const auto saved = savePictureCoordinates(document_.project(), toPath(app_.projectDirectory()), kind);
  if (!saved) app_.dialogs().message(saved.error());
  return static_cast<bool>(saved);
}

void DesignWindow::读取标志的坐标() {
  document_.edit(ProjectDocument::PicturesPart, [this](Project& p) {
    readPictureCoordinates(p, toPath(app_.projectDirectory()), PictureKind::Logo);
  });
}

bool DesignWindow::保存图案的坐标() {
  return savePictureCoordinatesOf(PictureKind::Image);
}

void DesignWindow::读取图案的坐标() {
  document_.edit(ProjectDocument::PicturesPart, [this](Project& p) {
    readPictureCoordinates(p, toPath(app_.projectDirectory()), PictureKind::Image);
  });
}

void DesignWindow::显示标志() {
  // The sign keeps what it shows: the layout is drawn again with the pictures the switches allow.
  layOutTubes();
}

void DesignWindow::显示图案() {
  layOutTubes();
}

void DesignWindow::setPicturesShown(PictureKind kind, bool on) {
  QCheckBox* box = kind == PictureKind::Logo ? 启用标志 : 启用图案;
  if (box->isChecked() == on) return;
  // As a click on the box: the project changed and the sign is laid out with or without them.
  box->setChecked(on);
  setDirty(true);
  定位灯管->click();
}

void DesignWindow::hideBlocks(PictureKind kind) {
  if (auto* h = horizontal()) h->hidePictureBlocks(kind);
  if (auto* v = vertical()) v->hidePictureBlocks(kind);
}

void DesignWindow::消除标志块() {
  hideBlocks(PictureKind::Logo);
}

void DesignWindow::消除图案块() {
  hideBlocks(PictureKind::Image);
}

void DesignWindow::消除各种物件块() {
  消除标志块();
  消除图案块();
  for (preview::PreviewWindow* w : {horizontal(), vertical()}) {
    if (w) w->hideTitlePicture();
  }
  unsetCursor();
}

void DesignWindow::arrange(PictureKind kind, Arrangement arrangement) {
  auto* h = horizontal();
  auto* v = vertical();
  const QSizeF hc = h ? h->canvasTwips() : QSizeF();
  const QSizeF vc = v ? v->canvasTwips() : QSizeF();
  document_.undoableEdit(ProjectDocument::PicturesPart, [&](Project& p) {
    arrangePictures(p, kind, arrangement, hc.width(), hc.height(), vc.width(), vc.height());
  });
  // The sign is cleared and the arranged blocks are shown.
  for (preview::PreviewWindow* w : {h, v}) {
    if (!w) continue;
    w->clearCanvas();
    for (preview::PictureBlock* block : w->pictureBlocks(kind)) block->show();
  }
}

void DesignWindow::标志排列一行() {
  arrange(PictureKind::Logo, Arrangement::Row);
}

void DesignWindow::标志排列为边框() {
  arrange(PictureKind::Logo, Arrangement::Border);
}

void DesignWindow::图片排列一行() {
  arrange(PictureKind::Image, Arrangement::Row);
}

void DesignWindow::图片排列为边框() {
  arrange(PictureKind::Image, Arrangement::Border);
}

}  // namespace lumafex::design
