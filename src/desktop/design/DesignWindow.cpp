#include "desktop/design/DesignWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "core/app/ProjectPaths.h"
#include "core/compiler/OutputBuffer.h"
#include "core/compiler/ProjectCompile.h"
#include "core/compiler/TotalProgram.h"
#include "core/design/Board.h"
#include "core/design/Rules.h"
#include "core/patterns/Catalogue.h"
#include "core/patterns/ScratchOutput.h"
#include "core/platform/ScratchFile.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"
#include "desktop/app/Application.h"
#include "desktop/app/MainWindow.h"
#include "desktop/controls/Named.h"
#include "desktop/design/BoardPanel.h"
#include "desktop/design/CatalogueThumbnails.h"
#include "desktop/design/ColourPanel.h"
#include "desktop/design/PicturePlacements.h"
#include "desktop/design/RunPlayer.h"
#include "desktop/design/SequenceHandOff.h"
#include "desktop/design/SignSettingsPanel.h"
#include "desktop/design/TitlePanel.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/postedit/PostEditWindow.h"
#include "desktop/preview/PreviewWindow.h"

namespace lumafex::design {

namespace {

using controls::named;
using platform::qs;
using platform::us;

std::filesystem::path toPath(const QString& s) {
  return platform::pathFromUtf8(us(s));
}

}  // namespace

DesignWindow::DesignWindow(app::Application& app, ProjectDocument& document, QWidget* parent)
    : QWidget(parent), app_(app), document_(document), placements_(app, document) {
  setObjectName(QStringLiteral("霓虹灯设计窗"));
  setWindowTitle(QStringLiteral("霓虹灯花式设计"));
  board_ = new BoardPanel(app_, document_, this);
  tubes_ = new SignSettingsPanel(this);
  title_ = new TitlePanel(app_, loadingProject, this);
  colours_ = new ColourChooser(this);
  player_ = new RunPlayer(app_, document_, *board_, this);
  handOff_ = std::make_unique<SequenceHandOff>(app_, document_, *board_, *player_);

  // The status row.
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

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 6, 6, 6);
  grid->setHorizontalSpacing(8);
  auto* right = new QVBoxLayout();
  right->addWidget(tubes_);
  right->addWidget(title_);
  right->addWidget(colours_, 1);
  grid->addWidget(board_, 0, 0);
  grid->addLayout(right, 0, 1);
  grid->addLayout(status, 1, 0, 1, 2);
  grid->setColumnStretch(0, 4);
  grid->setColumnStretch(1, 3);

  connectPanels();
  showSpeedHint();
  thumbnails_ = new CatalogueThumbnails(board_->catalogueList(), [this] {
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

void DesignWindow::connectPanels() {
  connect(&document_, &ProjectDocument::dirtyChanged, this, [this](bool on) { 需要存盘->setChecked(on); });
  connect(&document_, &ProjectDocument::reset, this, [this](bool created) { mapProject(created); });
  connect(&document_, &ProjectDocument::restored, this, [this](int parts) { showRestored(parts); });
  connect(player_, &RunPlayer::statusText, this, &DesignWindow::statusText);

  // The catalogue and the board.
  connect(board_, &BoardPanel::catalogueEntryChosen, this, [this] { onCatalogueSelection(); });
  connect(board_, &BoardPanel::catalogueMousePressed, player_, &RunPlayer::stopAll);
  connect(board_, &BoardPanel::boardEntryChosen, this, [this] {
    if (!savingState && !generatingTxt) player_->boardEntryChosen();
  });
  connect(board_, &BoardPanel::allAdded, player_, &RunPlayer::stopDisplay);
  connect(board_, &BoardPanel::cleared, player_, &RunPlayer::boardCleared);
  connect(board_, &BoardPanel::movePressed, this, [this] { player_->stopRun(); });
  connect(board_, &BoardPanel::runBoardClicked, this, [this] { 显示总程序Click(); });
  connect(board_, &BoardPanel::assembleClicked, this, [this] { 生成TXT文件Click(); });
  connect(board_, &BoardPanel::extractClicked, this, [this] { 提取当前花式Click(); });
  connect(board_, &BoardPanel::saveClicked, this, [this] { 保存工程Click(); });
  connect(board_, &BoardPanel::pointerMoved, this, [this] { 消除各种物件块(); });

  // The settings of the sign: stored into the project first, then the reactions.
  connect(tubes_, &SignSettingsPanel::edited, this, [this] { storeSettings(); });
  connect(tubes_, &SignSettingsPanel::colourCountChosen, this, [this] { onColourCountChosen(); });
  connect(tubes_, &SignSettingsPanel::columnsChanged, this, [this] { onColumnsChanged(); });
  connect(tubes_, &SignSettingsPanel::rowsChanged, this, [this] { onRowsChanged(); });
  connect(tubes_, &SignSettingsPanel::speedChanged, this, [this] { onSpeedChanged(); });
  connect(tubes_, &SignSettingsPanel::layOutPressed, this, [this] { layOutTubes(); });
  connect(tubes_, &SignSettingsPanel::changedByUser, this, [this] { setDirty(true); });
  connect(title_, &TitlePanel::edited, this, [this] { storeSettings(); });
  connect(title_, &TitlePanel::layOutWanted, this, [this] { tubes_->pressLayOut(); });
  connect(title_, &TitlePanel::titleWanted, this, [this] { 显示标题(); });
  connect(title_, &TitlePanel::changedByUser, this, [this] { setDirty(true); });
  connect(colours_, &ColourChooser::titleColourPicked, this, [this] {
    setDirty(true);
    storeSettings();
    显示标题();
  });
  connect(colours_, &ColourChooser::tubeColourPicked, this, [this] {
    setDirty(true);
    storeSettings();
    const auto style = signStyleOf(document_.settings());
    app_.horizontalPreview().setSignStyle(style);
    app_.verticalPreview().setSignStyle(style);
  });

  // A mouse move over the panels or the window background hides the placement blocks.
  setMouseTracking(true);
  for (QWidget* w : std::initializer_list<QWidget*>{tubes_, title_, colours_}) {
    w->setMouseTracking(true);
    w->installEventFilter(this);
  }
}

bool DesignWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove && (watched == tubes_ || watched == title_ || watched == colours_)) {
    消除各种物件块();
  }
  return QWidget::eventFilter(watched, event);
}

void DesignWindow::mouseMoveEvent(QMouseEvent* event) {
  消除各种物件块();
  QWidget::mouseMoveEvent(event);
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

QStringList DesignWindow::boardEntries() const {
  QStringList entries;
  for (const auto& entry : document_.project().board) entries << qs(entry);
  return entries;
}

// ---- The project onto the controls and back ----

void DesignWindow::storeSettings() {
  if (mapping_) return;
  // What a project load stores is no step of its own.
  if (loadingProject) document_.pauseRecording();
  document_.undoableEdit(
      ProjectDocument::Settings,
      [this](Project& p) {
        title_->store(p.settings);
        tubes_->store(p.settings);
        colours_->store(p.settings);
      },
      ProjectDocument::Step::Typing);
  if (loadingProject) document_.resumeRecording();
}

void DesignWindow::mapSettings() {
  // The reactions below run as the controls change, reading the project, which already holds every
  // new value; the controls' values are stored back once at the end.
  const ProjectSettings s = document_.settings();
  mapping_ = true;
  title_->map(s);
  colours_->map(s);
  tubes_->map(s);
  mapping_ = false;
}

void DesignWindow::mapProject(bool created) {
  if (created) stopRun();
  mapSettings();
  storeSettings();
  需要存盘->setChecked(document_.dirty());
  board_->showBoard();
  board_->selectBoardEntry(-1);
  showSpeedHint();
  if (created) {
    title_->selectTitleStart();
    board_->catalogueList()->scrollToTop();
    emit statusText(QString());  // the new project shows nothing yet
  }
}

void DesignWindow::showSpeedHint() {
  板提示[5]->setText(QStringLiteral("速度：（") + tubes_->speedText() + QStringLiteral("毫秒/步）"));
}

void DesignWindow::showRestored(int parts) {
  // The controls take the restored values; their reactions neither clear the board nor mark the
  // project changed meanwhile.
  restoring_ = true;
  if (parts & ProjectDocument::Settings) mapSettings();
  restoring_ = false;
  if (parts & ProjectDocument::BoardPart) {
    stopRun();
    board_->showBoard();
  }
  layOutTubes();
}

// ---- Reactions of the controls ----

void DesignWindow::onCatalogueSelection() {
  if (savingState) return;
  player_->stopDisplay();
  player_->closeStepReader();
  const auto& s = document_.settings();
  const int channels =
      compiler::channelsForGeneration(columnsValue(), s.tubesOn == 1, s.imagesOn == 1,
                                      document_.project().pictures.imageCount, document_.project().channels);
  document_.edit(ProjectDocument::ChannelsPart, [&](Project& p) { setChannels(p, channels); });
  if (!player_->isTotalRunActive()) {
    emit statusText(QStringLiteral("正在基本花式的:“") + board_->catalogueText() + QStringLiteral("”"));
  }
  if (colourCount() == 2) {
    双色花式选择();
  } else {
    单色花式选择();
  }
  if (!generatingTxt) player_->startEffect();
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
  runGenerator(board_->catalogueRow());
}

void DesignWindow::双色花式选择() {
  runGenerator(board_->catalogueRow());
}

void DesignWindow::onColourCountChosen() {
  if (!loadingProject && !restoring_) board_->clearBoard(true);
  board_->fillCatalogue(colourCount());
  tubes_->pressLayOut();
}

void DesignWindow::onColumnsChanged() {
  const int value = columnsValue();
  if (channelsInRange(value)) {
    tubes_->pressLayOut();
    document_.edit(ProjectDocument::ChannelsPart, [&](Project& p) { setChannels(p, value); });
  }
  player_->stopRun(true);
}

void DesignWindow::onRowsChanged() {
  if (!rowsInRange(rowsValue())) {
    tubes_->resetRows();  // comes back here with a valid value
    return;
  }
  tubes_->pressLayOut();
  player_->stopRun(true);
}

void DesignWindow::onSpeedChanged() {
  player_->setInterval(stepIntervalOf(document_.settings()));
  showSpeedHint();
  if (!loadingProject && !restoring_) setDirty(true);
}

// ---- The run ----

void DesignWindow::showCatalogueThumbnails(bool on) {
  thumbnails_->setShown(on);
  board_->fitCatalogueWidth();
}

void DesignWindow::focusTitle() {
  show();
  title_->focusTitle();
}

void DesignWindow::装载字体() {
  title_->装载字体();
}

void DesignWindow::定位灯管Click() {
  tubes_->pressLayOut();
}

void DesignWindow::layOutTubes() {
  if (loadingProject) return;
  const auto style = signStyleOf(document_.settings());
  const preview::PictureFrame pictures = layoutPictures();
  for (preview::PreviewWindow* w : {&app_.verticalPreview(), &app_.horizontalPreview()}) {
    w->setSignStyle(style);
    w->layOutLamps(pictures);
  }
  显示标题();
}

// ---- Sequences for the post-processing window ----

bool DesignWindow::生成TXT文件Click() {
  generatingTxt = true;
  const bool assembled = handOff_->assemble();
  generatingTxt = false;
  return assembled;
}

void DesignWindow::提取当前花式Click() {
  handOff_->extract();
}

// ---- The project: working state, save, open, load and unload ----

void DesignWindow::保存当前内容() {
  savingState = true;
  const int selected = board_->boardRow();
  board_->hideBoardWhile(true);
  if (const auto written = writeBoardFile(toPath(app_.appFile(QString::fromUtf8(kWorkingStateFile))),
                                          document_.project().board);
      !written) {
    app_.dialogs().message(written.error());
  }
  savingState = false;
  board_->selectBoardEntry(selected);
  board_->hideBoardWhile(false);
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
    app_.dialogs().message("工程名称：“" + document_.settings().title + "”系统不能接受，请换一个名称。");
    return false;
  }
  // A coordinate file that could not be written has been reported; the project stays changed, so
  // the user is asked again before it is closed.
  if (logos && images) setDirty(false);
  return true;
}

void DesignWindow::打开工程() {
  loadingProject = true;
  app_.setCurrentProjectPath(app_.currentProjectPath());
  app_.mainWindow().setWindowTitle(qs(app::windowCaption(us(app_.currentProjectPath()))));

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
  app_.mainWindow().placePreviews();
  loadingProject = false;
  tubes_->pressLayOut();

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
    app_.postEditWindow().openSequence(opening);
    app_.hideSplash();
  } else {
    app_.stopPostEditRun();
    app_.mainWindow().showDesign();
    显示总程序Click();
  }
}

void DesignWindow::load() {
  tubes_->fillColourCounts();
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
    app_.mainWindow().新建工程();
    app_.hideSplash();
  }
  show();
  loadingProject = true;
  onColourCountChosen();
  document_.edit(ProjectDocument::ChannelsPart, [this](Project& p) { setChannels(p, columnsValue()); });
  app_.settings().set("是否运行中", "True");
  app_.mainWindow().showPreviews();
  board_->fillCatalogue(colourCount());
  loadingProject = false;
  tubes_->pressLayOut();
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
  player_->stopAll();
  closeStepReader();
  QFile::remove(app_.scratchFile());
  app_.settings().set("最后处理的工程名称", us(app_.currentProjectPath()));
  保存当前内容();
  app_.settings().set("是否运行中", "False");
  return true;
}

// ---- Logos and images on the sign ----

preview::PictureFrame DesignWindow::layoutPictures() const {
  const auto& s = document_.settings();
  preview::PictureFrame frame;
  frame.logosOn = s.logosOn == 1;
  frame.imagesOn = s.imagesOn == 1;
  frame.allImages = true;
  return frame;
}

bool DesignWindow::保存标志的坐标() {
  return placements_.save(PictureKind::Logo);
}

bool DesignWindow::保存图案的坐标() {
  return placements_.save(PictureKind::Image);
}

void DesignWindow::读取标志的坐标() {
  placements_.read(PictureKind::Logo);
}

void DesignWindow::读取图案的坐标() {
  placements_.read(PictureKind::Image);
}

void DesignWindow::显示标志() {
  // The sign keeps what it shows: the layout is drawn again with the pictures the switches allow.
  layOutTubes();
}

void DesignWindow::显示图案() {
  layOutTubes();
}

void DesignWindow::setPicturesShown(PictureKind kind, bool on) {
  // As a click on the box: the project changed and the sign is laid out with or without them.
  if (!tubes_->setPicturesShown(kind, on)) return;
  setDirty(true);
  tubes_->pressLayOut();
}

void DesignWindow::消除标志块() {
  placements_.hide(PictureKind::Logo);
}

void DesignWindow::消除图案块() {
  placements_.hide(PictureKind::Image);
}

void DesignWindow::消除各种物件块() {
  placements_.hideAll();
  unsetCursor();
}

void DesignWindow::标志排列一行() {
  placements_.arrange(PictureKind::Logo, Arrangement::Row);
}

void DesignWindow::标志排列为边框() {
  placements_.arrange(PictureKind::Logo, Arrangement::Border);
}

void DesignWindow::图片排列一行() {
  placements_.arrange(PictureKind::Image, Arrangement::Row);
}

void DesignWindow::图片排列为边框() {
  placements_.arrange(PictureKind::Image, Arrangement::Border);
}

}  // namespace lumafex::design
