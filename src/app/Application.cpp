#include "app/Application.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include "Version.h"
#include "app/MainWindow.h"
#include "app/ProjectPaths.h"
#include "app/ShortcutRequest.h"
#include "app/SplashWindow.h"
#include "design/DesignWindow.h"
#include "platform/QtDialogs.h"
#include "platform/ScratchFile.h"
#include "platform/TextFile.h"

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
    : dialogs_(dialogs), settings_(settings), options_(std::move(options)) {
  initLumafexResources();
}

Application::~Application() {
  delete main_;  // owns the working windows
  delete splash_;
}

QString Application::appFile(const QString& name) const {
  return appDir_ + QLatin1Char('/') + name;
}
QString Application::projectFile(const QString& name) const {
  return projectDir_ + QLatin1Char('/') + name;
}

void Application::setCurrentProjectPath(const QString& path) {
  projectPath_ = path;
  projectDir_ = fromPath(app::projectDirectory(toPath(path)));
}

int Application::imageCount() const {
  if (projectDir_.isEmpty()) return 0;
  return consecutivePictures(toPath(projectDir_), imagePictureName);
}

void Application::seedApplicationDirectory() {
  copyMissing(QStringLiteral(":/lumafex/seed"), appDir_);
}

void Application::requestShortcuts() {
  (void)writeShortcutRequest(toPath(appDir_), kVersionMajor, kVersionMinor);
  QString helper = options_.shortcutHelper;
  if (helper.isEmpty()) helper = QCoreApplication::applicationDirPath() + QStringLiteral("/shelllnk");
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
  QDir().mkpath(appDir_);
  seedApplicationDirectory();

  if (settings_.get("最后处理的工程名称", "").empty()) requestShortcuts();

  const QString temp = options_.temporaryDirectory.isEmpty() ? QDir::tempPath() : options_.temporaryDirectory;
  tempDir_ = QDir::cleanPath(platform::qs(platform::cleanPlatformPath(platform::us(temp))));
  QDir().mkpath(tempDir_);

  // One program at a time. The test comes before the clean-up, so a second start cannot delete the
  // running program's scratch step file.
  instanceLock_ = std::make_unique<QLockFile>(tempDir_ + QStringLiteral("/lumafex-instance.lock"));
  if (!instanceLock_->tryLock(0)) return false;

  platform::removeScratchFiles(toPath(tempDir_));
  if (auto scratch = platform::createScratchFile(toPath(tempDir_))) scratchFile_ = fromPath(*scratch);

  if (options_.showSplash) {
    splash_ = new SplashWindow();
    splash_->show();
    splash_->raise();
    splashClock_.start();
  }
  mainWindow().load();
  return true;
}

MainWindow& Application::mainWindow() {
  if (!main_) {
    main_ = new MainWindow(*this);
    if (auto* qt = dynamic_cast<platform::QtDialogs*>(&dialogs_)) qt->setParent(main_);
  }
  return *main_;
}

design::DesignWindow& Application::designWindow() {
  if (!design_) design_ = new design::DesignWindow(*this);
  return *design_;
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
