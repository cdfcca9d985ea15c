#include "desktop/compiler/ExportAnimationCommand.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressDialog>
#include <algorithm>
#include <functional>
#include <optional>

#include "core/platform/Dialogs.h"
#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/preview/PreviewWindow.h"
#include "render/AnimationExport.h"
#include "render/artwork/ArtworkExport.h"

namespace lumafex::render {

namespace {

constexpr const char* kGifFilter = "GIF动画 (*.gif)|*.gif";
// The progress dialog is brought up to date this often (milliseconds): drawing is far faster.
constexpr qint64 kProgressEveryMs = 50;
constexpr const char* kArtworkFilter = "MP4视频 (*.mp4)|*.mp4|GIF动画 (*.gif)|*.gif|PNG图片 (*.png)|*.png";

// A progress dialog that can cancel, brought up to date as the export reports.
class ProgressRun {
 public:
  ProgressRun(QWidget* parent, long steps)
      : dialog_(QStringLiteral("正在生成动画…"), QStringLiteral("取消"), 0,
                static_cast<int>(std::min<long>(steps, 1 << 30)), parent) {
    dialog_.setObjectName(QStringLiteral("导出动画进度"));
    dialog_.setWindowTitle(QStringLiteral("导出动画"));
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(300);
    dialog_.setValue(0);
    sinceUpdate_.start();
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~ProgressRun() {
    QApplication::restoreOverrideCursor();
    dialog_.reset();
  }
  bool operator()(long done, long total) {
    if (done == total || sinceUpdate_.elapsed() >= kProgressEveryMs) {
      dialog_.setMaximum(static_cast<int>(std::min<long>(total, 1 << 30)));
      dialog_.setValue(static_cast<int>(std::min<long>(done, 1 << 30)));
      QApplication::processEvents();
      sinceUpdate_.restart();
    }
    return !dialog_.wasCanceled();
  }

 private:
  QProgressDialog dialog_;
  QElapsedTimer sinceUpdate_;
};

// The file to write: asked with the save dialog, given the suffix when it has none and confirmed
// when it exists.
std::optional<std::string> askFile(platform::Dialogs& dialogs, const std::string& title,
                                   const QString& projectFile, const char* suffix, const char* filter) {
  const QFileInfo project(projectFile);
  const QString suggested = project.absolutePath() + QLatin1Char('/') + project.completeBaseName() +
                            QLatin1Char('.') + QLatin1StringView(suffix);
  const auto path =
      dialogs.saveFile(title, platform::us(project.absolutePath()), platform::us(suggested), filter);
  if (!path) return std::nullopt;
  std::string file = *path;
  if (QFileInfo(platform::qs(file)).suffix().isEmpty()) file += std::string(".") + suffix;
  if (QFileInfo::exists(platform::qs(file)) &&
      dialogs.message("“" + file + "”已经存在是否覆盖它？", platform::Buttons::YesNo,
                      platform::Answer::Yes) != platform::Answer::Yes) {
    return std::nullopt;
  }
  return file;
}

bool exportArtwork(QWidget* parent, platform::Dialogs& dialogs, const ExportAnimationRequest& request,
                   const AnimationSource& source) {
  auto animation = artworkAnimationOf(source);
  if (!animation) {
    dialogs.message(animation.error());
    return false;
  }
  const auto file = askFile(dialogs, "导出实物效果", request.projectFile, "mp4", kArtworkFilter);
  if (!file) return false;
  const QString suffix = QFileInfo(platform::qs(*file)).suffix().toLower();
  const auto path = platform::pathFromUtf8(*file);
  if (suffix == QLatin1StringView("png")) {
    const long step =
        std::clamp(request.preview->step(), 1L, static_cast<long>(animation->animation.steps.size()));
    if (auto s = exportArtworkPng(*animation, step, 1.0, path); !s) {
      dialogs.message(s.error());
      return false;
    }
    return true;
  }
  ExportResult result;
  {
    ProgressRun progress(parent, static_cast<long>(animation->animation.steps.size()));
    result = suffix == QLatin1StringView("gif")
                 ? exportArtworkGif(*animation, ExportOptions{}, path, std::ref(progress))
                 : exportArtworkMp4(*animation, ExportOptions{}, kDefaultVideoFps, path, std::ref(progress));
  }
  if (result.cancelled) return false;
  if (!result.ok) {
    dialogs.message(result.message);
    return false;
  }
  return true;
}

}  // namespace

bool exportAnimationCommand(QWidget* parent, platform::Dialogs& dialogs,
                            const ExportAnimationRequest& request) {
  if (!request.project || !request.preview) return false;
  AnimationSource source;
  source.project = request.project;
  source.projectFile = platform::pathFromUtf8(platform::us(request.projectFile));
  source.projectDirectory = platform::pathFromUtf8(platform::us(request.projectDirectory));
  source.orientation = request.preview->orientation();
  const QSizeF canvas = request.preview->canvasTwips();
  source.canvas = QSize(platform::toPixels(canvas.width()), platform::toPixels(canvas.height()));
  source.titleStart = request.preview->titleStart();
  if (request.artwork) return exportArtwork(parent, dialogs, request, source);
  auto animation = animationOf(source);
  if (!animation) {
    dialogs.message(animation.error());
    return false;
  }

  const auto file = askFile(dialogs, "导出动画", request.projectFile, "gif", kGifFilter);
  if (!file) return false;
  ExportResult result;
  {
    ProgressRun progress(parent, static_cast<long>(animation->steps.size()));
    result = exportGif(*animation, ExportOptions{}, platform::pathFromUtf8(*file), std::ref(progress));
  }
  if (result.cancelled) return false;
  if (!result.ok) {
    dialogs.message(result.message);
    return false;
  }
  return true;
}

}  // namespace lumafex::render
