#pragma once
// 导出动画…: the open project's sign as an animated GIF, as the shown preview draws it at its
// present size: the file asked for with the save dialog, the frames drawn under a progress dialog
// that can cancel.

#include <QString>
#include <memory>

class QWidget;

namespace lumafex::platform {
class Dialogs;
}
namespace lumafex::design {
struct Project;
}
namespace lumafex::preview {
class PreviewWindow;
}

namespace lumafex::render {

struct ExportAnimationRequest {
  const design::Project* project = nullptr;
  QString projectFile;
  QString projectDirectory;
  // The preview whose drawing is exported (its canvas size and title position).
  preview::PreviewWindow* preview = nullptr;
  // The artwork of the project directory lit as the chip drives it (an MP4 video, a GIF or the
  // preview's step as a PNG, by the file's extension) instead of the preview's drawing.
  bool artwork = false;
};

// Returns whether a GIF was written.
bool exportAnimationCommand(QWidget* parent, platform::Dialogs& dialogs,
                            const ExportAnimationRequest& request);

}  // namespace lumafex::render
