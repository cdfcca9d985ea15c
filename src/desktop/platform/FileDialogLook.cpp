#include "desktop/platform/FileDialogLook.h"

#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

namespace lumafex::platform {

namespace {

// A size that shows a folder's entries with their details.
constexpr QSize kComfortable(760, 480);

}  // namespace

void fitFileDialog(QFileDialog& dialog) {
  QSize size = dialog.size().expandedTo(kComfortable);
  if (QScreen* screen = dialog.screen()) size = size.boundedTo(screen->availableGeometry().size());
  dialog.resize(size.expandedTo(dialog.minimumSizeHint()));
  // The detail view: the name takes what the other columns leave.
  for (QTreeView* view : dialog.findChildren<QTreeView*>()) {
    QHeaderView* header = view->header();
    if (header->count() < 2) continue;
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column) {
      header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
  }
}

bool FileDialogFitter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show) {
    if (auto* dialog = qobject_cast<QFileDialog*>(watched)) fitFileDialog(*dialog);
  }
  return false;
}

}  // namespace lumafex::platform
