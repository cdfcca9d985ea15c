#pragma once
// The process: its shared values (application, temporary and project directories, the scratch step
// file), the open project's document and the one instance of every window, created on first use
// and living to the end. It gives every window the narrow context it needs of the others.

#include <QElapsedTimer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "core/platform/Dialogs.h"
#include "core/platform/SettingsStore.h"

namespace lumafex::app {

class MainWindow;
class SplashWindow;
}  // namespace lumafex::app
namespace lumafex::design {
class DesignWindow;
class ProjectDocument;
class PictureDesignWindow;
enum class PictureKind;
}  // namespace lumafex::design
namespace lumafex::preview {
class PreviewWindow;
struct SignPictureSet;
}  // namespace lumafex::preview
namespace lumafex::postedit {
class PostEditWindow;
}
namespace lumafex::compiler {
class OutputWindow;
}
namespace lumafex::artwork {
class ArtworkWindow;
}
namespace lumafex::update {
class UpdateWindow;
class DownloadWindow;
}  // namespace lumafex::update

namespace lumafex::app {

struct StartOptions {
  QString applicationDirectory;  // empty: $LUMAFEX_HOME, else the per-user data directory
  QString temporaryDirectory;    // empty: the platform's temporary directory
  QString projectToOpen;         // a project file given on the command line
  bool showSplash = true;
  QString shortcutHelper;  // empty: "shelllnk" beside the program or in the installation's libexec
};

class Application : public QObject {
  Q_OBJECT

 public:
  Application(platform::Dialogs& dialogs, platform::SettingsStore& settings, StartOptions options = {});
  ~Application() override;

  // Start-up: settings, the first-run shortcut request, the single-instance test, the temporary
  // clean-up, the scratch step file, the splash and the main window. Returns false when another
  // instance is running (the caller then ends quietly).
  bool start();
  // Why start() returned false: true when the program cannot run here (the user has been told),
  // false when another copy of the user's is running.
  bool startFailed() const { return startFailed_; }

  platform::Dialogs& dialogs() { return dialogs_; }
  platform::SettingsStore& settings() { return settings_; }

  const QString& applicationDirectory() const { return appDir_; }
  const QString& temporaryDirectory() const { return tempDir_; }
  const QString& scratchFile() const { return scratchFile_; }
  const QString& projectToOpen() const { return options_.projectToOpen; }

  // The open project's file and directory (kept by the document).
  const QString& currentProjectPath() const;
  const QString& projectDirectory() const;
  // Sets the current project path and recomputes the project directory from it.
  void setCurrentProjectPath(const QString& path);
  // Only the project directory (the save command recomputes it; save as keeps the old one a while).
  void setProjectDirectory(const QString& dir);

  // A file in the application directory / the project directory.
  QString appFile(const QString& name) const;
  QString projectFile(const QString& name) const;

  // The open project.
  design::ProjectDocument& document() { return *document_; }

  // The main window may close only while this is set.
  bool canQuit = true;

  MainWindow& mainWindow();
  design::DesignWindow& designWindow();
  bool hasDesignWindow() const { return design_ != nullptr; }
  preview::PreviewWindow& horizontalPreview();
  preview::PreviewWindow& verticalPreview();
  postedit::PostEditWindow& postEditWindow();
  compiler::OutputWindow& outputWindow();
  // The update check: the update window and the download window it fetches the product list with.
  update::UpdateWindow& updateWindow();
  update::DownloadWindow& downloadWindow();
  // Stops the post-processing window's step run (when that window exists).
  void stopPostEditRun();
  // Whether the post-processing window is shown.
  bool postEditShown() const;
  // The logo designer 标志设计窗 and the image designer 动态图案设计窗.
  design::PictureDesignWindow& pictureDesigner(design::PictureKind kind);
  // 清空图案 and 清空标志 of the hidden designers (a new project asks nothing).
  void clearPictureDesigners();
  // Shows a designer in the main window; with `index` ≥ 0 that picture is selected.
  void showPictureDesigner(design::PictureKind kind, int index = -1);
  // 实物效果: the artwork lit as the shown run drives it; shown in the main window.
  artwork::ArtworkWindow& artworkWindow();
  void showArtworkWindow();

  SplashWindow* splash() { return splash_; }
  // Milliseconds since the splash window appeared.
  qint64 sinceSplash() const { return splashClock_.isValid() ? splashClock_.elapsed() : 0; }
  void hideSplash();

  // The end: the main window has closed; one second later the process ends.
  void scheduleEnd();

 signals:
  void ended();

 private:
  void seedApplicationDirectory();
  // The temporary directory to use: `wanted` when it is (or can be made) a writable directory, else
  // the system's; empty when there is none.
  QString usableTemporaryDirectory(const QString& wanted) const;
  preview::PreviewWindow* makePreview(bool horizontal);
  void requestShortcuts();
  // The splash's version label starts the update check (bounded in time, see DownloadWindow).
  void checkForUpdates();
  // The pictures of the project directory, read again after a project was opened or created;
  // their blocks take the pictures' sizes.
  void loadPictures();
  // Hands the pictures and their blocks to the previews.
  void showPicturesOn(preview::PreviewWindow& window);

  platform::Dialogs& dialogs_;
  platform::SettingsStore& settings_;
  StartOptions options_;
  QString appDir_;
  QString tempDir_;
  QString scratchFile_;
  std::unique_ptr<QLockFile> instanceLock_;
  bool startFailed_ = false;
  std::unique_ptr<design::ProjectDocument> document_;
  MainWindow* main_ = nullptr;
  design::DesignWindow* design_ = nullptr;
  preview::PreviewWindow* horizontal_ = nullptr;
  preview::PreviewWindow* vertical_ = nullptr;
  postedit::PostEditWindow* postEdit_ = nullptr;
  compiler::OutputWindow* output_ = nullptr;
  update::UpdateWindow* update_ = nullptr;
  update::DownloadWindow* download_ = nullptr;
  design::PictureDesignWindow* logoDesigner_ = nullptr;
  design::PictureDesignWindow* imageDesigner_ = nullptr;
  artwork::ArtworkWindow* artwork_ = nullptr;

  std::shared_ptr<const preview::SignPictureSet> pictures_;

  SplashWindow* splash_ = nullptr;
  QElapsedTimer splashClock_;
};

}  // namespace lumafex::app
