#include "desktop/compiler/ExportAnimationCommand.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressDialog>

#include "core/platform/Dialogs.h"
#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/preview/PreviewWindow.h"
#include "render/AnimationExport.h"

namespace lumafex::render {

namespace {

constexpr const char* kGifFilter = "GIF动画 (*.gif)|*.gif";
// The progress dialog is brought up to date this often (milliseconds): drawing is far faster.
constexpr qint64 kProgressEveryMs = 50;

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
  auto animation = animationOf(source);
  if (!animation) {
    dialogs.message(animation.error());
    return false;
  }

  const QFileInfo project(request.projectFile);
  const QString suggested =
      project.absolutePath() + QLatin1Char('/') + project.completeBaseName() + QStringLiteral(".gif");
  const auto path =
      dialogs.saveFile("导出动画", platform::us(project.absolutePath()), platform::us(suggested), kGifFilter);
  if (!path) return false;
  std::string file = *path;
  if (QFileInfo(platform::qs(file)).suffix().isEmpty()) file += ".gif";
  if (QFileInfo::exists(platform::qs(file)) &&
      dialogs.message("“" + file + "”已经存在是否覆盖它？", platform::Buttons::YesNo,
                      platform::Answer::Yes) != platform::Answer::Yes) {
    return false;
  }

  const long steps = static_cast<long>(animation->steps.size());
  QProgressDialog progress(QStringLiteral("正在生成动画…"), QStringLiteral("取消"), 0,
                           static_cast<int>(std::min<long>(steps, 1 << 30)), parent);
  progress.setObjectName(QStringLiteral("导出动画进度"));
  progress.setWindowTitle(QStringLiteral("导出动画"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);
  progress.setValue(0);
  QElapsedTimer sinceUpdate;
  sinceUpdate.start();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const ExportResult result =
      exportGif(*animation, ExportOptions{}, platform::pathFromUtf8(file), [&](long done, long total) {
        if (done == total || sinceUpdate.elapsed() >= kProgressEveryMs) {
          progress.setMaximum(static_cast<int>(std::min<long>(total, 1 << 30)));
          progress.setValue(static_cast<int>(std::min<long>(done, 1 << 30)));
          QApplication::processEvents();
          sinceUpdate.restart();
        }
        return !progress.wasCanceled();
      });
  QApplication::restoreOverrideCursor();
  progress.reset();
  if (result.cancelled) return false;
  if (!result.ok) {
    dialogs.message(result.message);
    return false;
  }
  return true;
}

}  // namespace lumafex::render
