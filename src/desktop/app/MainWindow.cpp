#include "desktop/app/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPointer>
#include <QUrl>

#include "core/app/ProjectPaths.h"
#include "core/app/RecentFiles.h"
#include "core/compiler/OutputBuffer.h"
#include "core/compiler/TotalProgram.h"
#include "core/design/ProjectRecord.h"
#include "core/platform/ScratchFile.h"
#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"
#include "desktop/app/AboutWindow.h"
#include "desktop/app/Application.h"
#include "desktop/app/ChipImportDialog.h"
#include "desktop/app/ProjectCommands.h"
#include "desktop/app/WorkArea.h"
#include "desktop/artwork/ArtworkWindow.h"
#include "desktop/compiler/ExportAnimationCommand.h"
#include "desktop/compiler/OutputWindow.h"
#include "desktop/controls/AdjustableBar.h"
#include "desktop/controls/ButtonPictureStore.h"
#include "desktop/controls/CheckBoxControl.h"
#include "desktop/controls/ToolbarIcons.h"
#include "desktop/controls/VelarnButton.h"
#include "desktop/design/CatalogueThumbnails.h"
#include "desktop/design/ColourPanel.h"
#include "desktop/design/DesignWindow.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/design/UndoCommands.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/postedit/PostEditWindow.h"
#include "desktop/preview/PreviewWindow.h"
#include "desktop/update/UpdateWindow.h"

namespace lumafex::app {

namespace {

using platform::qs;
using platform::us;

QAction* action(QMenu* menu, const char* name, const char* caption) {
  QAction* a = menu->addAction(QString::fromUtf8(caption));
  a->setObjectName(QString::fromUtf8(name));
  return a;
}

bool directoryHoldsFiles(const QString& dir) {
  return !QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty();
}

void removeFilesIn(const QString& dir) {
  QDir d(dir);
  for (const QString& f : d.entryList(QDir::Files | QDir::Hidden | QDir::System)) d.remove(f);
}

}  // namespace

MainWindow::MainWindow(Application& app, design::ProjectDocument& document)
    : app_(app),
      document_(document),
      projectCommands_(std::make_unique<ProjectCommands>(app, document, *this)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Lumafex"));
  setWindowIcon(QIcon(controls::toolbarIcon(QStringLiteral("应用"), 64)));
  mdi = new QMdiArea(this);
  mdi->setObjectName(QStringLiteral("mdi"));
  mdi->setBackground(QColor(96, 96, 112));
  // A mouse over the client area hides the placement blocks of the sign.
  mdi->viewport()->setMouseTracking(true);
  mdi->viewport()->installEventFilter(this);
  setCentralWidget(mdi);
  buildMenus();
  buildToolbar();
  sbStatusBar = statusBar();
  sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
  statusPanel = new QLabel(this);
  statusPanel->setObjectName(QStringLiteral("statusPanel"));
  sbStatusBar->addWidget(statusPanel, 1);
  // Never smaller than the toolbar strip, and with a client area that holds a preview and the
  // working window below it (at least 150 pixels high, see 调整尺寸).
  setMinimumSize(std::max(Picture1->minimumSizeHint().width(), 400),
                 menuWidget()->minimumSizeHint().height() + sbStatusBar->sizeHint().height() + 260);
  resize(1024, 768);
  connect(&document_, &design::ProjectDocument::reset, this, [this](bool created) { mapProject(created); });
  connect(&document_, &design::ProjectDocument::collecting, this, [this] { storeFrames(); });
  // The horizontal preview, when it becomes active, goes back to the top, beside the vertical
  // preview when that is shown (a preview dragged away comes back).
  connect(mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* frame) {
    if (frame != nullptr && frame == horizontalFrame) placePreviewFrames();
  });
}

MainWindow::~MainWindow() = default;

QMdiSubWindow* MainWindow::addFrame(Frame kind, QWidget* window, const QString& frameName,
                                    Qt::WindowFlags flags) {
  // A working window that needs more room than its frame has scrolls; the previews lay their
  // canvas out for any size themselves.
  const bool preview = kind == Frame::Horizontal || kind == Frame::Vertical;
  QMdiSubWindow* frame = mdi->addSubWindow(preview ? window : scrollableFrameContent(window), flags);
  frame->setObjectName(frameName);
  frame->setAttribute(Qt::WA_DeleteOnClose, false);
  switch (kind) {
    case Frame::Design:
      designFrame = frame;
      break;
    case Frame::PostEdit:
      postEditFrame = frame;
      break;
    case Frame::Horizontal:
      horizontalFrame = frame;
      break;
    case Frame::Vertical:
      verticalFrame = frame;
      break;
    case Frame::Output:
      outputFrame = frame;
      break;
    case Frame::Designer:
      break;
  }
  return frame;
}

QSize MainWindow::clientSize() const {
  return mdi->viewport()->size();
}

bool MainWindow::postEditShown() const {
  return postEditFrame && postEditFrame->isVisible();
}

bool MainWindow::designShown() const {
  return designFrame && designFrame->isVisible();
}

void MainWindow::mapProject(bool created) {
  const auto& s = document_.settings();
  setPreviewSwitches(s.showHorizontal == 1, s.showVertical == 1);
  auto& horizontal = app_.horizontalPreview();
  auto& vertical = app_.verticalPreview();
  horizontal.setLock(s.horizontalLock);
  horizontal.setTitleEffect(s.horizontalTitleEffect);
  vertical.setLock(s.verticalLock);
  vertical.setTitleEffect(s.verticalTitleEffect);
  if (!created) {
    resize(std::max(640, platform::toPixels(s.mainWidth)), std::max(480, platform::toPixels(s.mainHeight)));
  }
}

void MainWindow::storeSwitches() {
  const bool horizontal = horizontalShown();
  const bool vertical = verticalShown();
  document_.edit(design::ProjectDocument::Settings, [&](design::Project& p) {
    design::setSetting(p, &design::ProjectSettings::showHorizontal, horizontal ? 1 : 0);
    design::setSetting(p, &design::ProjectSettings::showVertical, vertical ? 1 : 0);
  });
}

void MainWindow::storeFrames() {
  document_.edit(design::ProjectDocument::Settings, [this](design::Project& p) {
    auto& s = p.settings;
    if (horizontalFrame && verticalFrame) {
      s.horizontalWidth = platform::toTwips(horizontalFrame->width());
      s.horizontalHeight = platform::toTwips(horizontalFrame->height());
      s.horizontalLeft = platform::toTwips(horizontalFrame->x());
      s.verticalWidth = platform::toTwips(verticalFrame->width());
      s.verticalHeight = platform::toTwips(verticalFrame->height());
    }
    s.mainWidth = platform::toTwips(width());
    s.mainHeight = platform::toTwips(height());
  });
}

void MainWindow::buildMenus() {
  menus_ = new QMenuBar(this);
  menus_->setObjectName(QStringLiteral("menuBar"));
  QMenu* file = menus_->addMenu(QStringLiteral("文件(&F)"));
  file->setObjectName(QStringLiteral("mnuFile"));
  mnuFileNew = action(file, "mnuFileNew", "新建(&N)");
  mnuFileNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  mnuFileOpen = action(file, "mnuFileOpen", "打开(&O)...");
  mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  file->addSeparator();
  mnuFileSave = action(file, "mnuFileSave", "保存(&S)");
  mnuFileSaveAs = action(file, "mnuFileSaveAs", "另存为(&A)...");
  QAction* 从芯片导入 = action(file, "从芯片导入", "从芯片导入…");
  connect(从芯片导入, &QAction::triggered, this, [this] { importFromChipCommand(app_, *this); });
  file->addSeparator();
  for (int i = 0; i < 8; ++i) {
    mnuFileMRU[static_cast<std::size_t>(i)] = action(file, "mnuFileMRU", "");
    mnuFileMRU[static_cast<std::size_t>(i)]->setProperty("index", i);
    mnuFileMRU[static_cast<std::size_t>(i)]->setVisible(false);
    connect(mnuFileMRU[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { openRecent(i); });
  }
  QAction* 导入实物图 = action(file, "导入实物图", "导入实物图…");
  connect(导入实物图, &QAction::triggered, this, [this] {
    if (app_.artworkWindow().importArtwork()) app_.showArtworkWindow();
  });
  mnuFileBar4 = file->addSeparator();
  mnuFileBar4->setObjectName(QStringLiteral("mnuFileBar4"));
  mnuFileBar4->setVisible(false);
  mnuFileExit = action(file, "mnuFileExit", "退出(&X)");

  QMenu* pictures = menus_->addMenu(QStringLiteral("标志与图案(&B)"));
  pictures->setObjectName(QStringLiteral("标志与图案"));
  标志设计 = action(pictures, "标志设计", "静态标志设计(&C)");
  图案设计 = action(pictures, "图案设计", "动态图案设计");

  QMenu* view = menus_->addMenu(QStringLiteral("视图(&V)"));
  view->setObjectName(QStringLiteral("mnuView"));
  mnuViewToolbar = action(view, "mnuViewToolbar", "工具栏(&T)");
  mnuViewToolbar->setCheckable(true);
  mnuViewToolbar->setChecked(true);
  mnuViewStatusBar = action(view, "mnuViewStatusBar", "状态栏(&B)");
  mnuViewStatusBar->setCheckable(true);
  mnuViewStatusBar->setChecked(true);
  花式缩略图 = action(view, "花式缩略图", "花式缩略图(&P)");
  花式缩略图->setCheckable(true);
  花式缩略图->setChecked(design::catalogueThumbnailsWanted(app_.settings()));
  QAction* 实物效果 = action(view, "实物效果菜单", "实物效果");
  connect(实物效果, &QAction::triggered, this, [this] { app_.showArtworkWindow(); });
  view->addSeparator();
  QMenu* arrangeImages = view->addMenu(QStringLiteral("排列图案"));
  arrangeImages->setObjectName(QStringLiteral("排列图案"));
  顺序排列一行 = action(arrangeImages, "顺序排列一行", "顺序排列一行");
  图片排列为_边框 = action(arrangeImages, "图片排列为_边框", "图片排列为边框");
  QMenu* arrangeLogos = view->addMenu(QStringLiteral("标志排列"));
  arrangeLogos->setObjectName(QStringLiteral("标志排列"));
  标志排列为一行 = action(arrangeLogos, "标志排列为一行", "标志排列为一行");
  标志排列为边框 = action(arrangeLogos, "标志排列为边框", "标志排列为边框");

  QMenu* edit = menus_->addMenu(QStringLiteral("编辑(&E)"));
  edit->setObjectName(QStringLiteral("编辑"));
  // The project's undo: the board, the design window's settings and the placements on the sign.
  // A text box with the focus keeps the keys for its own undo.
  QUndoStack& steps = document_.undoStack();
  mnuEditUndo = action(edit, "mnuEditUndo", "撤销(&U)");
  mnuEditUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  mnuEditUndo->setEnabled(steps.canUndo());
  mnuEditRedo = action(edit, "mnuEditRedo", "重做(&R)");
  mnuEditRedo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
  mnuEditRedo->setEnabled(steps.canRedo());
  connect(mnuEditUndo, &QAction::triggered, &steps, &QUndoStack::undo);
  connect(mnuEditRedo, &QAction::triggered, &steps, &QUndoStack::redo);
  connect(&steps, &QUndoStack::canUndoChanged, mnuEditUndo, &QAction::setEnabled);
  connect(&steps, &QUndoStack::canRedoChanged, mnuEditRedo, &QAction::setEnabled);
  qApp->installEventFilter(new design::UndoKeyFilter(this));
  edit->addSeparator();
  分析当前花式 = action(edit, "分析当前花式", "分析当前花式(&F)");
  edit->addSeparator();
  后期处理_全过程 = action(edit, "后期处理_全过程", "后期处理_全过程(&H)");

  QMenu* compile = menus_->addMenu(QStringLiteral("编译(&B)"));
  compile->setObjectName(QStringLiteral("编译"));
  多集成块_每8路一块 = action(compile, "多集成块_每8路一块", "多IC导出（每8路一IC）");
  单IC导出 = action(compile, "单IC导出", "单IC导出");
  compile->addSeparator();
  QAction* 导出动画 = action(compile, "导出动画", "导出动画…");
  connect(导出动画, &QAction::triggered, this, [this] { exportAnimationCommand(); });
  QAction* 导出实物效果 = action(compile, "导出实物效果动画", "导出实物效果…");
  connect(导出实物效果, &QAction::triggered, this, [this] { exportAnimationCommand(true); });

  QMenu* help = menus_->addMenu(QStringLiteral("帮助(&H)"));
  help->setObjectName(QStringLiteral("mnuHelp"));
  说明书 = action(help, "说明书", "说明书(&R)");
  说明书->setShortcut(QKeySequence::HelpContents);
  检查更新 = action(help, "检查更新", "检查更新…");
  connect(检查更新, &QAction::triggered, this, [this] { app_.updateWindow().showAndRead(); });
  help->addSeparator();
  mnuHelpAbout = action(help, "mnuHelpAbout", "关于(&A) ");
  QMenu* contact = help->addMenu(QStringLiteral("联系作者"));
  contact->setObjectName(QStringLiteral("联系作者"));
  QAction* mailAll = contact->addAction(QStringLiteral("发送到作者所有的信箱"));
  connect(mailAll, &QAction::triggered, this, [] {
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:studio@velarn.example,support@velarn.example")));
  });
  help->addSeparator();
  QMenu* others = help->addMenu(QStringLiteral("其他作品"));
  others->setObjectName(QStringLiteral("其他作品"));
  const char* products[] = {"霓虹灯控制器编程器", "LED点阵屏设计", "跑马灯花式库",
                            "灯光秀时间线",       "EPROM烧录助手", "招牌字体工具"};
  for (const char* product : products) {
    QAction* a = others->addAction(QString::fromUtf8(product));
    connect(a, &QAction::triggered, this, [this] { openHelp(); });
  }

  connect(mnuFileNew, &QAction::triggered, this, [this] { 新建工程(); });
  connect(mnuFileOpen, &QAction::triggered, this, [this] { openProjectCommand(); });
  connect(mnuFileSave, &QAction::triggered, this, [this] { saveProjectCommand(); });
  connect(mnuFileSaveAs, &QAction::triggered, this, [this] { saveAsCommand(); });
  connect(mnuFileExit, &QAction::triggered, this, [this] { exitCommand(); });
  connect(mnuViewToolbar, &QAction::toggled, this, [this](bool on) { Picture1->setVisible(on); });
  connect(mnuViewStatusBar, &QAction::toggled, this, [this](bool on) { sbStatusBar->setVisible(on); });
  connect(花式缩略图, &QAction::toggled, this, [this](bool on) {
    design::setCatalogueThumbnailsWanted(app_.settings(), on);
    if (app_.hasDesignWindow()) app_.designWindow().showCatalogueThumbnails(on);
  });
  connect(说明书, &QAction::triggered, this, [this] { openHelp(); });
  connect(mnuHelpAbout, &QAction::triggered, this, [this] {
    AboutWindow about(app_.dialogs(), this);
    about.exec();
  });
  connect(分析当前花式, &QAction::triggered, this, [this] { app_.designWindow().提取当前花式Click(); });
  connect(后期处理_全过程, &QAction::triggered, this, [this] { app_.designWindow().生成TXT文件Click(); });
  connect(单IC导出, &QAction::triggered, this, [this] { exportCommand(false); });
  connect(多集成块_每8路一块, &QAction::triggered, this, [this] { exportCommand(true); });
  // The arrangements of the pictures on the sign, each confirmed first.
  const auto arrangement = [this](const char* question, void (design::DesignCommands::*command)()) {
    return [this, question, command] {
      if (app_.dialogs().message(question, platform::Buttons::YesNo, platform::Answer::Yes) !=
          platform::Answer::Yes)
        return;
      (app_.designWindow().*command)();
    };
  };
  connect(顺序排列一行, &QAction::triggered, this,
          arrangement("请确认重新排列各个图案！", &design::DesignCommands::图片排列一行));
  connect(图片排列为_边框, &QAction::triggered, this,
          arrangement("请确认重新排列各个图案！", &design::DesignCommands::图片排列为边框));
  connect(标志排列为一行, &QAction::triggered, this,
          arrangement("请确认重新排列各个标志！", &design::DesignCommands::标志排列一行));
  connect(标志排列为边框, &QAction::triggered, this,
          arrangement("请确认重新排列各个标志！", &design::DesignCommands::标志排列为边框));
  connect(标志设计, &QAction::triggered, this, [this] { designerCommand(design::PictureKind::Logo); });
  connect(图案设计, &QAction::triggered, this, [this] { designerCommand(design::PictureKind::Image); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove && (watched == mdi->viewport() || watched == Picture1) &&
      app_.hasDesignWindow()) {
    app_.designWindow().消除各种物件块();
    unsetCursor();
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::buildToolbar() {
  Picture1 = new QWidget(this);
  Picture1->setMouseTracking(true);
  Picture1->installEventFilter(this);
  Picture1->setObjectName(QStringLiteral("Picture1"));
  Picture1->setAutoFillBackground(true);
  auto* strip = new QHBoxLayout(Picture1);
  strip->setContentsMargins(6, 3, 6, 3);
  strip->setSpacing(4);
  启用竖列显示 = new controls::CheckBoxControl(QStringLiteral("启用竖列显示"), Picture1);
  启用竖列显示->setObjectName(QStringLiteral("启用竖列显示"));
  启用横显示 = new controls::CheckBoxControl(QStringLiteral("启用横显示"), Picture1);
  启用横显示->setObjectName(QStringLiteral("启用横显示"));
  启用横显示->setValue(1);
  strip->addWidget(启用竖列显示);
  strip->addWidget(启用横显示);
  strip->addSpacing(12);
  auto make = [&](const char* name, const char* icon, const char* tip) {
    auto* b = new controls::VelarnButton(Picture1);
    b->setObjectName(QString::fromUtf8(name));
    // The pictures come from the picture store, by the number of their key.
    b->setPictureNumber(controls::ButtonPictureStore::instance().numberOf(QString::fromUtf8(icon)));
    b->setToolTip(QString::fromUtf8(tip));
    b->setToolbarStyle(true);
    strip->addWidget(b);
    return b;
  };
  新建 = make("新建", "新建", "新建工程");
  打开 = make("打开", "打开", "打开工程");
  保存 = make("保存", "保存", "保存工程");
  strip->addSpacing(8);
  标志设计按钮 = make("标志设计按钮", "标志设计", "标志设计");
  灯 = make("灯", "图案设计", "图案设计");
  strip->addSpacing(8);
  运行 = make("运行", "运行", "运行");
  暂停 = make("暂停", "暂停", "暂停");
  停止 = make("停止", "停止", "停止");
  strip->addSpacing(8);
  属性 = make("属性", "属性", "重新设计基本花式");
  后期处理 = make("后期处理", "后期处理", "后期处理");
  撤销 = make("撤销", "撤销", "撤销");
  帮助 = make("帮助", "帮助", "帮助");
  strip->addStretch();
  auto* top = new QWidget(this);
  auto* topLayout = new QVBoxLayout(top);
  topLayout->setContentsMargins(0, 0, 0, 0);
  topLayout->setSpacing(0);
  topLayout->addWidget(menus_);
  topLayout->addWidget(Picture1);
  setMenuWidget(top);

  connect(新建, &controls::VelarnButton::clicked, this, [this] { 新建工程(); });
  connect(打开, &controls::VelarnButton::clicked, this, [this] { openProjectCommand(); });
  connect(保存, &controls::VelarnButton::clicked, this, [this] { saveProjectCommand(); });
  connect(撤销, &controls::VelarnButton::clicked, this, [this] { undoInFocusedBox(); });
  connect(帮助, &controls::VelarnButton::clicked, this, [this] { openHelp(); });
  connect(启用横显示, &controls::CheckBoxControl::valueChanged, this, [this](int) { onHorizontalSwitch(); });
  connect(启用竖列显示, &controls::CheckBoxControl::valueChanged, this, [this](int) { onVerticalSwitch(); });
  connect(运行, &controls::VelarnButton::clicked, this, [this] { runCommand(); });
  connect(暂停, &controls::VelarnButton::clicked, this, [this] { pauseCommand(); });
  connect(停止, &controls::VelarnButton::clicked, this, [this] { stopCommand(); });
  connect(属性, &controls::VelarnButton::clicked, this, [this] { backToDesignCommand(); });
  connect(后期处理, &controls::VelarnButton::clicked, this, [this] {
    if (!postEditShown()) app_.designWindow().生成TXT文件Click();
  });
  connect(标志设计按钮, &controls::VelarnButton::clicked, this,
          [this] { designerCommand(design::PictureKind::Logo); });
  connect(灯, &controls::VelarnButton::clicked, this,
          [this] { designerCommand(design::PictureKind::Image); });
}

void MainWindow::load() {
  app_.canQuit = true;
  app_.designWindow();  // the window and its frame
  show();
  app_.designWindow().load();
  调入最近打开的文件菜单();
  loaded_ = false;
  if (postEditShown()) {
    showPostEdit();
  } else {
    showDesign();
  }
  loaded_ = true;
  调整尺寸();
}

void MainWindow::setStatusText(const QString& text) {
  statusPanel->setText(text);
}

bool MainWindow::horizontalShown() const {
  return 启用横显示->value() == 1;
}
bool MainWindow::verticalShown() const {
  return 启用竖列显示->value() == 1;
}

void MainWindow::setPreviewSwitches(bool horizontal, bool vertical) {
  design::ProjectSettings s;
  s.showHorizontal = horizontal ? 1 : 0;
  s.showVertical = vertical ? 1 : 0;
  design::keepOnePreview(s);
  horizontal = s.showHorizontal == 1;
  vertical = s.showVertical == 1;
  const QSignalBlocker a(启用横显示);
  const QSignalBlocker b(启用竖列显示);
  启用横显示->setValue(horizontal ? 1 : 0);
  启用竖列显示->setValue(vertical ? 1 : 0);
  storeSwitches();
}

void MainWindow::onHorizontalSwitch() {
  // At least one preview stays on.
  if (!horizontalShown() && !verticalShown()) 启用竖列显示->setValue(1);
  storeSwitches();
  showPreviews();
  调整尺寸();
}

void MainWindow::onVerticalSwitch() {
  if (!verticalShown() && !horizontalShown()) 启用横显示->setValue(1);
  storeSwitches();
  showPreviews();
  调整尺寸();
}

void MainWindow::showPreviews() {
  auto& horizontal = app_.horizontalPreview();
  auto& vertical = app_.verticalPreview();
  // Showing a preview does not take the keyboard from the control the user works with (a switch
  // toggled with the space bar is toggled again with it).
  QPointer<QWidget> focus = QApplication::focusWidget();
  horizontalFrame->setVisible(horizontalShown());
  verticalFrame->setVisible(verticalShown());
  if (horizontalShown()) horizontal.show();
  if (verticalShown()) vertical.show();
  placePreviewFrames();
  if (focus && focus->isVisible() && QApplication::focusWidget() != focus)
    focus->setFocus(Qt::OtherFocusReason);
}

void MainWindow::placePreviewFrames() {
  if (!horizontalFrame || !verticalFrame) return;
  verticalFrame->move(0, 0);
  horizontalFrame->move(verticalFrame->isVisible() ? verticalFrame->width() : 0, 0);
}

void MainWindow::placePreviews() {
  app_.horizontalPreview();
  app_.verticalPreview();
  const auto& s = document_.settings();
  horizontalFrame->resize(std::max(67, platform::toPixels(s.horizontalWidth)),
                          std::max(67, platform::toPixels(s.horizontalHeight)));
  verticalFrame->resize(std::max(67, platform::toPixels(s.verticalWidth)),
                        std::max(67, platform::toPixels(s.verticalHeight)));
  setPreviewSwitches(s.showHorizontal == 1, s.showVertical == 1);
  showPreviews();
  调整尺寸();
}

void MainWindow::调整尺寸() {
  if (!designFrame) return;
  const QSize client = mdi->viewport()->size();
  const bool vertical = verticalFrame && verticalFrame->isVisible();
  const bool horizontal = horizontalFrame && horizontalFrame->isVisible();
  // The design and post-processing windows take the place the previews leave; the previews keep the
  // places and sizes they have (a saved width survives, a preview may be narrower) while they fit:
  // the working window keeps at least 200 × 150 pixels beside and below them, and the vertical
  // preview is never taller than the client area.
  const auto smallest = [](const QMdiSubWindow* frame) {
    return frame->minimumSizeHint().expandedTo(frame->minimumSize());
  };
  if (vertical) {
    const QSize least = smallest(verticalFrame);
    verticalFrame->resize(
        std::clamp(client.width() - 200, least.width(), std::max(verticalFrame->width(), least.width())),
        std::clamp(client.height(), least.height(), std::max(verticalFrame->height(), least.height())));
  }
  if (horizontal && horizontalFrame->height() > client.height() - 150) {
    horizontalFrame->resize(horizontalFrame->width(),
                            std::max(smallest(horizontalFrame).height(), client.height() - 150));
  }
  const int left = vertical ? verticalFrame->width() : 0;
  const int top = horizontal ? horizontalFrame->height() : 0;
  const QRect place(left, top, std::max(200, client.width() - left), std::max(150, client.height() - top));
  designFrame->setGeometry(place);
  if (postEditFrame) postEditFrame->setGeometry(place);
}

namespace {
bool frameShown(const QMdiSubWindow* frame) {
  return frame && frame->isVisible();
}
}  // namespace

void MainWindow::runCommand() {
  if (frameShown(designFrame)) {
    if (postEditFrame) postEditFrame->hide();
    auto& design = app_.designWindow();
    design.closeStepReader();
    design.显示总程序Click();
  }
  if (postEditShown()) {
    designFrame->hide();
    app_.postEditWindow().runCommand();
  }
}

void MainWindow::pauseCommand() {
  if (frameShown(designFrame)) app_.designWindow().pauseRun();
  if (postEditShown()) app_.postEditWindow().pauseRun();
}

void MainWindow::stopCommand() {
  if (frameShown(designFrame)) app_.designWindow().stopCommand();
  if (postEditShown()) app_.postEditWindow().stopRun();
  setStatusText(QString());  // nothing is being shown any more
}

void MainWindow::backToDesignCommand() {
  if (frameShown(designFrame)) return;
  const QString manual = app_.projectFile(QString::fromUtf8(compiler::kManualFile));
  if (QFileInfo::exists(manual)) {
    if (app_.dialogs().message("重新编辑属性将删除人工编辑的结果,确认删除？", platform::Buttons::YesNo,
                               platform::Answer::No) != platform::Answer::Yes) {
      return;
    }
    QFile::remove(manual);
    document_.edit(design::ProjectDocument::ManualPart,
                   [](design::Project& p) { design::dropManualText(p); });
  }
  app_.postEditWindow().stopRun();
  showDesign();
  app_.designWindow().显示总程序Click();
}

void MainWindow::exportCommand(bool perEightChannels) {
  // The per-8-channel export compiles the hand-edited sequence when there is one (the compile
  // itself copies it in as the total program); otherwise the board is assembled anew and the
  // post-processing window opens on it first.
  const bool manual =
      perEightChannels && QFileInfo::exists(app_.projectFile(QString::fromUtf8(compiler::kManualFile)));
  if (manual && document_.project().board.empty()) {
    // As when the board is assembled: an export of an empty board says why nothing is compiled.
    app_.dialogs().message("请先选择花式到编程板。");
    return;
  }
  if (!manual && !app_.designWindow().生成TXT文件Click()) {
    return;  // nothing assembled (the reason has been shown): nothing is compiled
  }
  const auto letEventsRun = [] {
    // Window events only: a click or a key now would act on a compile that has not started yet.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
  letEventsRun();
  app_.outputWindow().compileAs(
      perEightChannels ? compiler::ChipLayout::PerEightChannels : compiler::ChipLayout::Single, letEventsRun);
}

void MainWindow::showDesign() {
  app_.designWindow();
  if (postEditFrame) postEditFrame->hide();
  designFrame->show();
  designFrame->widget()->show();
  调整尺寸();
}

void MainWindow::showPostEdit() {
  app_.postEditWindow();
  designFrame->hide();
  postEditFrame->show();
  postEditFrame->widget()->show();
  调整尺寸();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (loaded_) 调整尺寸();
}

bool MainWindow::askToSave() {
  return projectCommands_->askToSave();
}

void MainWindow::新建工程() {
  if (!askToSave()) return;
  auto& design = app_.designWindow();
  QString name;
  QString dir;
  for (;;) {
    const auto answer = app_.dialogs().input("输入新工程名称，如果有英文字符建议采用全角英文字符。",
                                             "输入工程名称：", "新工程");
    if (!answer || answer->empty()) return;
    name = qs(*answer);
    dir = app_.applicationDirectory() + QLatin1Char('/') + name;
    QDir().rmdir(dir + QStringLiteral("/bin"));
    QDir().rmdir(dir);
    if (!directoryHoldsFiles(dir) && !directoryHoldsFiles(dir + QStringLiteral("/bin"))) break;
    const auto overwrite = app_.dialogs().message("工程“" + us(name) + "”已经存在，是否覆盖它？",
                                                  platform::Buttons::YesNoCancel, platform::Answer::Yes);
    if (overwrite == platform::Answer::Cancel) return;
    if (overwrite == platform::Answer::No) continue;
    if (app_.dialogs().message("请再确认删除原来已经存在的“" + us(name) + "”工程！", platform::Buttons::YesNo,
                               platform::Answer::Yes) != platform::Answer::Yes) {
      continue;
    }
    removeFilesIn(dir + QStringLiteral("/bin"));
    removeFilesIn(dir);
    QDir().rmdir(dir + QStringLiteral("/bin"));
    QDir().rmdir(dir);
    break;
  }

  app_.setCurrentProjectPath(dir + QString::fromUtf8(kProjectExtension));
  QDir().mkpath(dir);
  app_.setProjectDirectory(dir);
  // Every window takes its part of the new project: the design window its 23 controls, the
  // post-processing window the title effect "新工程<1>", this window the preview switches.
  app_.postEditWindow();  // it writes the new title effect file as it takes the project
  document_.replace(design::newProject(us(name), document_.project()), true);

  app_.horizontalPreview();
  app_.verticalPreview();
  const auto& s = document_.settings();
  horizontalFrame->resize(platform::toPixels(s.horizontalWidth), platform::toPixels(s.horizontalHeight));
  verticalFrame->resize(platform::toPixels(s.verticalWidth), platform::toPixels(s.verticalHeight));
  showPreviews();
  horizontalFrame->resize(std::max(200, mdi->viewport()->width()), horizontalFrame->height());

  app_.clearPictureDesigners();
  design.定位灯管Click();
  setWindowTitle(qs(windowCaption(us(app_.currentProjectPath()))));

  const int width = design::columnsOf(document_.settings());
  if (const auto scratch =
          platform::overwriteFile(platform::pathFromUtf8(us(app_.scratchFile())),
                                  std::string(static_cast<std::size_t>(std::max(0, width)), 'X') + "\r\n");
      !scratch) {
    app_.dialogs().message(scratch.error());
  }
  调整尺寸();
  design.定位灯管Click();
}

void MainWindow::openProjectCommand() {
  projectCommands_->open();
}

void MainWindow::saveProjectCommand() {
  projectCommands_->save();
}

void MainWindow::saveAsCommand() {
  projectCommands_->saveAs();
}

void MainWindow::openRecent(int slot) {
  projectCommands_->openRecent(slot);
}

void MainWindow::调入最近打开的文件菜单() {
  const RecentList list = readRecentList(app_.settings());
  for (std::size_t i = 0; i < list.size(); ++i) {
    QAction* item = mnuFileMRU[i];
    if (list[i].empty()) {
      item->setVisible(false);
      continue;
    }
    mnuFileBar4->setVisible(true);
    item->setVisible(true);
    QString caption = qs(recentCaption(list[i], us(app_.applicationDirectory())));
    item->setText(caption.replace(QLatin1Char('&'), QStringLiteral("&&")));
    item->setToolTip(qs(list[i]));
  }
}

void MainWindow::备份最近打开的菜单() {
  writeRecentList(app_.settings(), putFirst(readRecentList(app_.settings()), us(app_.currentProjectPath())));
}

void MainWindow::openHelp() {
  QDesktopServices::openUrl(QUrl::fromLocalFile(app_.appFile(QString::fromUtf8(kHelpPage))));
}

void MainWindow::undoInFocusedBox() {
  QWidget* target = QApplication::focusWidget();
  if (!target) return;
  // The board and the other controls of the design window and the previews undo the project's
  // last edit; a box keeps the key for its own undo.
  if (design::reachesProjectUndo(target)) {
    document_.undoStack().undo();
    return;
  }
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier, QStringLiteral("\x1a"));
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Z, Qt::ControlModifier, QStringLiteral("\x1a"));
  QApplication::sendEvent(target, &press);
  QApplication::sendEvent(target, &release);
}

void MainWindow::exitCommand() {
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  if (!app_.designWindow().unload() || !app_.canQuit) {
    event->ignore();
    return;
  }
  备份最近打开的菜单();
  closing_ = true;
  hide();
  platform::removeScratchFiles(platform::pathFromUtf8(us(app_.temporaryDirectory())));
  event->accept();
  app_.scheduleEnd();
}

void MainWindow::designerCommand(design::PictureKind kind) {
  app_.designWindow().stopDisplay();  // the two step timers only: a run of the board goes on
  app_.postEditWindow().stopRun();
  app_.showPictureDesigner(kind);
}

void MainWindow::exportAnimationCommand(bool artwork) {
  // The preview shown is the one exported (with both on, the horizontal one), or the sign's artwork.
  preview::PreviewWindow& preview =
      horizontalShown() || !verticalShown() ? app_.horizontalPreview() : app_.verticalPreview();
  render::ExportAnimationRequest request;
  request.project = &document_.project();
  request.projectFile = app_.currentProjectPath();
  request.projectDirectory = app_.projectDirectory();
  request.preview = &preview;
  request.artwork = artwork;
  render::exportAnimationCommand(this, app_.dialogs(), request);
}

}  // namespace lumafex::app
