#include "desktop/app/Application.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <cstdlib>

#include "Version.h"
#include "core/app/InstallLayout.h"
#include "core/app/ProjectPaths.h"
#include "core/app/ShortcutRequest.h"
#include "core/compiler/ProjectCompile.h"
#include "core/platform/ScratchFile.h"
#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"
#include "desktop/app/MainWindow.h"
#include "desktop/app/SplashWindow.h"
#include "desktop/app/WorkArea.h"
#include "desktop/artwork/ArtworkWindow.h"
#include "desktop/compiler/OutputWindow.h"
#include "desktop/controls/CheckBoxControl.h"
#include "desktop/design/DesignWindow.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/design/UndoCommands.h"
#include "desktop/designers/PictureDesignWindow.h"
#include "desktop/designers/PictureFiles.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/postedit/PostEditWindow.h"
#include "desktop/preview/PreviewWindow.h"
#include "desktop/update/DownloadWindow.h"
#include "desktop/update/UpdateWindow.h"
#include "render/PictureRenderer.h"

// Resources live in the static GUI library; they must be registered once by name.
static void initLumafexResources() {
  Q_INIT_RESOURCE(lumafex);
}

namespace lumafex::app {

namespace {

QString fromPath(const std::filesystem::path& p) {
  return platform::qs(platform::pathToUtf8(p));
}
std::filesystem::path toPath(const QString& s) {
  return platform::pathFromUtf8(platform::us(s));
}

// Copies a resource tree into a directory, file by file, leaving files that exist alone.
void copyMissing(const QString& resourceDir, const QString& target) {
  QDir source(resourceDir);
  QDir().mkpath(target);
  for (const QFileInfo& info : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
    const QString to = target + QLatin1Char('/') + info.fileName();
    if (info.isDir()) {
      copyMissing(info.filePath(), to);
    } else if (!QFileInfo::exists(to)) {
      if (QFile::copy(info.filePath(), to))
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
  }
}

}  // namespace

Application::Application(platform::Dialogs& dialogs, platform::SettingsStore& settings, StartOptions options)
    : dialogs_(dialogs),
      settings_(settings),
      options_(std::move(options)),
      document_(std::make_unique<design::ProjectDocument>()) {
  initLumafexResources();
  // Connected before any window, so the pictures are in place when the windows map a project.
  connect(document_.get(), &design::ProjectDocument::reset, this, [this](bool) {
    loadPictures();
    // The designers read the new project directory.
    for (auto* designer : {logoDesigner_, imageDesigner_}) {
      if (designer) designer->reload();
    }
  });
  connect(document_.get(), &design::ProjectDocument::changed, this, [this](int parts) {
    if (!(parts & (design::ProjectDocument::PicturesPart | design::ProjectDocument::Settings))) return;
    if (horizontal_) showPicturesOn(*horizontal_);
    if (vertical_) showPicturesOn(*vertical_);
  });
}

void Application::loadPictures() {
  auto set = std::make_shared<preview::SignPictureSet>();
  if (!projectDirectory().isEmpty()) *set = preview::loadSignPictures(toPath(projectDirectory()));
  pictures_ = set;
  // A damaged picture keeps its place (the designers show a placeholder); the user hears which.
  if (const QStringList unreadable = design::unreadablePictureFiles(*set, projectDirectory());
      !unreadable.isEmpty()) {
    dialogs_.message(design::unreadablePicturesMessage(unreadable));
  }
  for (const design::PictureKind kind : {design::PictureKind::Logo, design::PictureKind::Image}) {
    std::vector<std::pair<double, double>> sizes;
    for (const QImage& picture : set->of(kind)) {
      sizes.emplace_back(platform::toTwips(picture.width()), platform::toTwips(picture.height()));
    }
    document_->edit(design::ProjectDocument::PicturesPart,
                    [&](design::Project& p) { design::fitPictureBlocks(p, kind, sizes); });
  }
}

void Application::showPicturesOn(preview::PreviewWindow& window) {
  const auto& pictures = document_->project().pictures;
  window.setPictures(pictures_, pictures.logos, pictures.images);
}

Application::~Application() {
  delete update_;
  delete download_;  // records its last address and file
  delete main_;      // owns the working windows
  delete splash_;
}

QString Application::appFile(const QString& name) const {
  return appDir_ + QLatin1Char('/') + name;
}
QString Application::projectFile(const QString& name) const {
  return projectDirectory() + QLatin1Char('/') + name;
}

const QString& Application::currentProjectPath() const {
  return document_->projectFile();
}
const QString& Application::projectDirectory() const {
  return document_->projectDirectory();
}

void Application::setCurrentProjectPath(const QString& path) {
  document_->setProjectFile(path, document_->projectDirectory());
  setProjectDirectory(fromPath(app::projectDirectory(toPath(path))));
  compiler::cleanCompileLeftovers(app::projectDirectory(toPath(path)));  // what a killed compile left
}

void Application::setProjectDirectory(const QString& dir) {
  document_->setProjectDirectory(dir);
  // The title position files live in the project directory.
  if (horizontal_) horizontal_->setTitlePositionFile(projectFile(QString::fromUtf8(kTitlePositionFile)));
  if (vertical_) vertical_->setTitlePositionFile(projectFile(QString::fromUtf8(kVerticalTitlePositionFile)));
}

void Application::seedApplicationDirectory() {
  copyMissing(QStringLiteral(":/lumafex/seed"), appDir_);
}

QString Application::usableTemporaryDirectory(const QString& wanted) const {
  // Blanks around a setting are no part of the name; a relative or empty name would put the
  // scratch files into the current directory, so the system's own places are tried instead.
  QStringList candidates;
  const QString cleaned = platform::qs(platform::cleanPlatformPath(platform::us(wanted)));
  if (!cleaned.isEmpty() && QDir::isAbsolutePath(cleaned)) candidates << QDir::cleanPath(cleaned);
  candidates << QStringLiteral("/tmp") << QStringLiteral("/var/tmp") << appDir_ + QStringLiteral("/tmp");
  for (const QString& dir : candidates) {
    if (dir == QStringLiteral("/")) continue;
    QDir().mkpath(dir);
    const QFileInfo info(dir);
    if (info.isDir() && info.isWritable()) return dir;
  }
  return {};
}

void Application::requestShortcuts() {
  // Without its request the helper would have nothing to read; the menu entries are a convenience,
  // so start-up goes on without them.
  if (!writeShortcutRequest(toPath(appDir_), kVersionMajor, kVersionMinor)) return;
  QString helper = options_.shortcutHelper;
  if (helper.isEmpty()) {
    // Beside the program in a build tree, in the helper directory of an installation.
    const auto found = app::shortcutHelperFor(toPath(QCoreApplication::applicationDirPath()));
    if (!found) return;
    helper = fromPath(*found);
  }
  // The helper makes the menu and desktop entries on its own; its outcome does not matter here.
  if (QFileInfo(helper).isExecutable()) QProcess::startDetached(helper, {appDir_}, appDir_);
}

bool Application::start() {
  appDir_ = options_.applicationDirectory;
  if (appDir_.isEmpty()) appDir_ = qEnvironmentVariable("LUMAFEX_HOME");
  if (appDir_.isEmpty()) {
    appDir_ =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Lumafex");
  }
  appDir_ = QDir::cleanPath(QDir(appDir_).absolutePath());
  // The sample project and the manual come with the first start only: a user who deleted them
  // keeps them deleted.
  const bool firstStart = !QFileInfo::exists(appDir_) || QDir(appDir_).isEmpty();
  QDir().mkpath(appDir_);
  if (firstStart) seedApplicationDirectory();
  design::seedSamplePictures(appDir_);

  if (settings_.get("最后处理的工程名称", "").empty()) requestShortcuts();

  const QString temp = options_.temporaryDirectory.isEmpty() ? QDir::tempPath() : options_.temporaryDirectory;
  tempDir_ = usableTemporaryDirectory(temp);
  if (tempDir_.isEmpty()) {
    startFailed_ = true;
    dialogs_.message("没有可用的临时目录（“" + platform::us(temp) + "”不能使用），Lumafex不能启动。");
    return false;
  }

  // One program at a time for each user. The test comes before the clean-up, so a second start
  // cannot delete the running program's scratch step file; a lock left by a copy that crashed is
  // taken over (its process is gone), and another user's copy has a lock of its own.
  instanceLock_ = std::make_unique<QLockFile>(tempDir_ + QStringLiteral("/lumafex-%1.lock").arg(::getuid()));
  instanceLock_->setStaleLockTime(0);
  if (!instanceLock_->tryLock(0)) {
    if (instanceLock_->error() != QLockFile::LockFailedError) {
      startFailed_ = true;
      dialogs_.message("不能在临时目录“" + platform::us(tempDir_) + "”中建立文件，Lumafex不能启动。");
    }
    return false;
  }

  // Every window opens where it can be used: inside the screen, a working window inside the
  // main window.
  QCoreApplication::instance()->installEventFilter(new WorkAreaKeeper(this));

  platform::removeScratchFiles(toPath(tempDir_));
  if (auto scratch = platform::createScratchFile(toPath(tempDir_))) scratchFile_ = fromPath(*scratch);

  if (options_.showSplash) {
    splash_ = new SplashWindow();
    splash_->show();
    splash_->raise();
    splashClock_.start();
    checkForUpdates();
  }
  mainWindow().load();
  return true;
}

MainWindow& Application::mainWindow() {
  if (!main_) {
    main_ = new MainWindow(*this, *document_);
    if (auto* qt = dynamic_cast<platform::QtDialogs*>(&dialogs_)) qt->setParent(main_);
  }
  return *main_;
}

void Application::clearPictureDesigners() {
  for (const auto kind : {design::PictureKind::Image, design::PictureKind::Logo}) {
    auto& designer = pictureDesigner(kind);
    if (auto* frame = workingFrameOf(&designer)) frame->hide();
    designer.clearClick();
  }
}

design::DesignWindow& Application::designWindow() {
  if (!design_) {
    auto& main = mainWindow();
    design_ = new design::DesignWindow(*this, *document_);
    main.addFrame(MainWindow::Frame::Design, design_, QStringLiteral("designFrame"),
                  Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    connect(design_, &design::DesignWindow::statusText, main_,
            [this](const QString& t) { main_->setStatusText(t); });
  }
  return *design_;
}

preview::PreviewWindow* Application::makePreview(bool horizontal) {
  auto& main = mainWindow();
  auto* window = new preview::PreviewWindow(horizontal ? preview::Orientation::Horizontal
                                                       : preview::Orientation::Vertical);
  QMdiSubWindow* frame =
      main.addFrame(horizontal ? MainWindow::Frame::Horizontal : MainWindow::Frame::Vertical, window,
                    horizontal ? QStringLiteral("horizontalFrame") : QStringLiteral("verticalFrame"),
                    Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  frame->resize(horizontal ? QSize(400, 147) : QSize(133, 467));
  frame->hide();
  connect(window, &preview::PreviewWindow::changedByUser, this, [this] { document_->setDirty(true); });
  // Connected before changedByUser reaches the document: the step finds the flag as it was.
  connect(window, &preview::PreviewWindow::titleDragged, this, [this, window](QPoint from, QPoint to) {
    document_->pushStep(new design::TitleMoveCommand(*document_, window, from, to, document_->dirty()));
  });
  connect(window, &preview::PreviewWindow::resized, this, [this] {
    auto& design = designWindow();
    design.定位灯管Click();
    if (!design.isLoadingProject()) document_->setDirty(true);
    mainWindow().placePreviewFrames();
    mainWindow().调整尺寸();
  });
  connect(window, &preview::PreviewWindow::titleRightClicked, this, [this] { designWindow().focusTitle(); });
  connect(window, &preview::PreviewWindow::pictureBlockRightClicked, this, [this](int kind, int index) {
    showPictureDesigner(static_cast<design::PictureKind>(kind), index);
  });
  connect(window, &preview::PreviewWindow::backgroundMouseMove, this,
          [this] { designWindow().消除各种物件块(); });
  connect(window, &preview::PreviewWindow::pictureBlockMoved, this,
          [this, window](int kind, int index, double left, double top, bool together) {
            const auto pictureKind = static_cast<design::PictureKind>(kind);
            document_->undoableEdit(design::ProjectDocument::PicturesPart, [&](design::Project& p) {
              design::dragPictureBlock(p, pictureKind, window->orientation(), static_cast<std::size_t>(index),
                                       left, top, together);
            });
            // The layout is drawn again with the pictures at their new places.
            if (pictureKind == design::PictureKind::Image) designWindow().定位灯管Click();
          });
  // The preview's switches are part of the project.
  using S = design::ProjectSettings;
  const auto store = [this](int S::*field) {
    return [this, field](int value) {
      document_->edit(design::ProjectDocument::Settings,
                      [&](design::Project& p) { design::setSetting(p, field, value); });
    };
  };
  connect(window, &preview::PreviewWindow::lockChanged, this,
          store(horizontal ? &S::horizontalLock : &S::verticalLock));
  connect(window, &preview::PreviewWindow::titleEffectChanged, this,
          store(horizontal ? &S::horizontalTitleEffect : &S::verticalTitleEffect));
  const QString positionFile =
      QString::fromUtf8(horizontal ? kTitlePositionFile : kVerticalTitlePositionFile);
  window->setTitlePositionFile(projectFile(positionFile));
  window->setSignStyle(design::signStyleOf(document_->settings()));
  showPicturesOn(*window);
  return window;
}

preview::PreviewWindow& Application::horizontalPreview() {
  if (!horizontal_) horizontal_ = makePreview(true);
  return *horizontal_;
}

preview::PreviewWindow& Application::verticalPreview() {
  if (!vertical_) vertical_ = makePreview(false);
  return *vertical_;
}

postedit::PostEditWindow& Application::postEditWindow() {
  if (!postEdit_) {
    auto& main = mainWindow();
    postEdit_ = new postedit::PostEditWindow(*this, *document_);
    main.addFrame(MainWindow::Frame::PostEdit, postEdit_, QStringLiteral("postEditFrame"),
                  Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
        ->hide();
    auto follow = [this](long step) {
      if (postEdit_) postEdit_->followStep(step);
    };
    connect(&horizontalPreview(), &preview::PreviewWindow::stepChanged, postEdit_, follow);
    connect(&verticalPreview(), &preview::PreviewWindow::stepChanged, postEdit_, follow);
  }
  return *postEdit_;
}

compiler::OutputWindow& Application::outputWindow() {
  if (!output_) {
    auto& main = mainWindow();
    output_ = new compiler::OutputWindow(*document_, appDir_, dialogs_);
    connect(output_, &compiler::OutputWindow::compileStopsRuns, this, [this] { postEditWindow().stopRun(); });
    connect(output_, &compiler::OutputWindow::faultyMask, this, [this](int start, int length) {
      mainWindow().showPostEdit();
      postEditWindow().selectInTitleEffect(start, length);
    });
    QMdiSubWindow* frame =
        main.addFrame(MainWindow::Frame::Output, output_, QStringLiteral("outputFrame"), {});
    frame->resize(main.clientSize() * 0.9);
    frame->hide();
  }
  return *output_;
}

update::DownloadWindow& Application::downloadWindow() {
  if (!download_) download_ = new update::DownloadWindow(settings_);
  return *download_;
}

update::UpdateWindow& Application::updateWindow() {
  if (!update_) {
    update::UpdateContext context;
    context.dialogs = &dialogs_;
    context.settings = &settings_;
    context.applicationDirectory = [this] { return appDir_; };
    context.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    context.endProgram = [this] {
      // Once the user works in the main window (a check from the help menu), ending goes the usual
      // way, so unsaved work is offered for saving (and the user may stay).
      if (main_ && main_->isVisible()) {
        main_->exitCommand();
        return;
      }
      // During start-up a confirmed update ends the program at once, so the user can install the
      // new version: nothing is open yet, nothing is recorded.
      if (instanceLock_) instanceLock_->unlock();
      std::_Exit(0);
    };
    update_ = new update::UpdateWindow(std::move(context), downloadWindow());
  }
  return *update_;
}

void Application::checkForUpdates() {
  // The question, if any, belongs on top of the splash.
  if (auto* qt = dynamic_cast<platform::QtDialogs*>(&dialogs_)) qt->setParent(splash_);
  updateWindow().setVersionCaption(splash_->lblVersion->text());
}

design::PictureDesignWindow& Application::pictureDesigner(design::PictureKind kind) {
  const bool logo = kind == design::PictureKind::Logo;
  design::PictureDesignWindow*& designer = logo ? logoDesigner_ : imageDesigner_;
  if (!designer) {
    auto& main = mainWindow();
    design::PictureDesignContext context;
    context.dialogs = &dialogs_;
    context.applicationDirectory = [this] { return appDir_; };
    context.projectDirectory = [this] {
      return fromPath(app::projectDirectory(toPath(currentProjectPath())));
    };
    context.pictures = [this, kind] { return pictures_ ? pictures_->of(kind) : std::vector<QImage>{}; };
    context.picturesChanged = [this, kind](const std::vector<QImage>& pictures) {
      // The previews share one set of pictures: a changed kind replaces the set.
      auto set =
          std::make_shared<preview::SignPictureSet>(pictures_ ? *pictures_ : preview::SignPictureSet{});
      set->of(kind) = pictures;
      pictures_ = set;
      std::vector<std::pair<double, double>> sizes;
      sizes.reserve(static_cast<std::size_t>(pictures.size()));
      for (const QImage& picture : pictures) {
        sizes.emplace_back(platform::toTwips(picture.width()), platform::toTwips(picture.height()));
      }
      document_->edit(design::ProjectDocument::PicturesPart,
                      [&](design::Project& p) { design::fitPictureBlocks(p, kind, sizes); });
    };
    context.showOnSign = [this, kind](bool on) { designWindow().setPicturesShown(kind, on); };
    context.arrange = [this, logo](design::Arrangement arrangement) {
      auto& design = designWindow();
      if (arrangement == design::Arrangement::Row) {
        logo ? design.标志排列一行() : design.图片排列一行();
      } else {
        logo ? design.标志排列为边框() : design.图片排列为边框();
      }
    };
    context.redrawSign = [this, logo] {
      auto& design = designWindow();
      logo ? design.显示标志() : design.显示图案();
    };
    context.layOutTubes = [this] { designWindow().定位灯管Click(); };
    context.markChanged = [this] { document_->setDirty(true); };
    designer = new design::PictureDesignWindow(kind, std::move(context));
    designer->setWindowIcon(main.windowIcon());
    QMdiSubWindow* frame =
        main.addFrame(MainWindow::Frame::Designer, designer,
                      logo ? QStringLiteral("logoDesignerFrame") : QStringLiteral("imageDesignerFrame"), {});
    frame->resize(660, 380);
    frame->hide();
  }
  return *designer;
}

void Application::showPictureDesigner(design::PictureKind kind, int index) {
  auto& designer = pictureDesigner(kind);
  if (auto* frame = workingFrameOf(&designer)) {
    frame->show();
    frame->raise();
    if (auto* area = frame->mdiArea()) area->setActiveSubWindow(frame);
  }
  designer.show();
  if (index >= 0) designer.select(index);
}

void Application::stopPostEditRun() {
  if (postEdit_) postEdit_->stopRun();
}

artwork::ArtworkWindow& Application::artworkWindow() {
  if (!artwork_) {
    auto& main = mainWindow();
    artwork::ArtworkWindowContext context;
    context.dialogs = &dialogs_;
    context.project = [this] { return &document_->project(); };
    context.projectDirectory = [this] {
      return currentProjectPath().isEmpty() ? QString() : projectDirectory();
    };
    context.exportAnimation = [this] { mainWindow().exportAnimationCommand(true); };
    artwork_ = new artwork::ArtworkWindow(std::move(context));
    artwork_->setWindowIcon(main.windowIcon());
    QMdiSubWindow* frame =
        main.addFrame(MainWindow::Frame::Designer, artwork_, QStringLiteral("artworkFrame"), {});
    frame->resize(680, 480);
    frame->hide();
    // Every step and title state a preview shows is what the artwork shows.
    for (preview::PreviewWindow* window : {&horizontalPreview(), &verticalPreview()}) {
      connect(window, &preview::PreviewWindow::stepShown, artwork_, &artwork::ArtworkWindow::showStep);
      connect(window, &preview::PreviewWindow::titleShown, artwork_, &artwork::ArtworkWindow::showTitleState);
    }
    connect(document_.get(), &design::ProjectDocument::reset, artwork_, [this] { artwork_->reload(); });
    connect(document_.get(), &design::ProjectDocument::changed, artwork_,
            [this] { artwork_->projectChanged(); });
    artwork_->reload();
  }
  return *artwork_;
}

void Application::showArtworkWindow() {
  auto& window = artworkWindow();
  if (auto* frame = workingFrameOf(&window)) {
    frame->show();
    frame->raise();
    if (auto* area = frame->mdiArea()) area->setActiveSubWindow(frame);
  }
  window.show();
}

bool Application::postEditShown() const {
  return main_ && main_->postEditShown();
}

void Application::hideSplash() {
  if (splash_) splash_->hide();
}

void Application::scheduleEnd() {
  if (splash_) splash_->hide();
  QTimer::singleShot(1000, this, [this] {
    emit ended();
    QCoreApplication::quit();
  });
}

}  // namespace lumafex::app
