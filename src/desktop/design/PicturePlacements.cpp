#include "desktop/design/PicturePlacements.h"

#include "core/platform/TextFile.h"
#include "desktop/app/Application.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/preview/PictureBlock.h"
#include "desktop/preview/PreviewWindow.h"

namespace lumafex::design {

namespace {
std::filesystem::path directoryOf(const app::Application& app) {
  return platform::pathFromUtf8(platform::us(app.projectDirectory()));
}
}  // namespace

bool PicturePlacements::save(PictureKind kind) {
  const auto saved = savePictureCoordinates(document_.project(), directoryOf(app_), kind);
  if (!saved) app_.dialogs().message(saved.error());
  return static_cast<bool>(saved);
}

void PicturePlacements::read(PictureKind kind) {
  document_.edit(ProjectDocument::PicturesPart,
                 [&](Project& p) { readPictureCoordinates(p, directoryOf(app_), kind); });
}

void PicturePlacements::hide(PictureKind kind) {
  app_.horizontalPreview().hidePictureBlocks(kind);
  app_.verticalPreview().hidePictureBlocks(kind);
}

void PicturePlacements::hideAll() {
  hide(PictureKind::Logo);
  hide(PictureKind::Image);
  app_.horizontalPreview().hideTitlePicture();
  app_.verticalPreview().hideTitlePicture();
}

void PicturePlacements::arrange(PictureKind kind, Arrangement arrangement) {
  auto& h = app_.horizontalPreview();
  auto& v = app_.verticalPreview();
  const QSizeF hc = h.canvasTwips();
  const QSizeF vc = v.canvasTwips();
  document_.undoableEdit(ProjectDocument::PicturesPart, [&](Project& p) {
    arrangePictures(p, kind, arrangement, hc.width(), hc.height(), vc.width(), vc.height());
  });
  for (preview::PreviewWindow* w : {&h, &v}) {
    w->clearCanvas();
    for (preview::PictureBlock* block : w->pictureBlocks(kind)) block->show();
  }
}

}  // namespace lumafex::design
