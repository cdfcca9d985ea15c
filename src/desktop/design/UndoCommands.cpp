#include "desktop/design/UndoCommands.h"

#include <QApplication>
#include <QKeyEvent>

#include "desktop/design/DesignWindow.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/preview/PreviewWindow.h"

namespace lumafex::design {

namespace {

constexpr int kTypingId = 1;

// The settings of the text boxes and the speed slider: a run of edits of one of them is one step.
std::uint64_t typedFields() {
  using S = ProjectSettings;
  static const std::uint64_t fields = settingsBit(&S::title) | settingsBit(&S::columns) |
                                      settingsBit(&S::speed) | settingsBit(&S::font) | settingsBit(&S::rows) |
                                      settingsBit(&S::spacing) | settingsBit(&S::fontSize);
  return fields;
}

bool isSingleField(std::uint64_t mask) {
  return mask != 0 && (mask & (mask - 1)) == 0;
}

}  // namespace

ProjectEditCommand::ProjectEditCommand(ProjectDocument& document, int parts, EditSnapshot before,
                                       EditSnapshot after, bool dirtyBefore, bool dirtyAfter, bool typing)
    : EditStep(dirtyBefore, dirtyAfter),
      document_(document),
      parts_(parts),
      before_(std::move(before)),
      after_(std::move(after)) {
  if (typing && before_.board == after_.board) {
    const std::uint64_t changed = changedSettings(before_.settings, after_.settings);
    if (isSingleField(changed) && (changed & typedFields())) typedFields_ = changed;
  }
}

int ProjectEditCommand::id() const {
  return typedFields_ ? kTypingId : -1;
}

bool ProjectEditCommand::mergeWith(const QUndoCommand* other) {
  const auto* next = dynamic_cast<const ProjectEditCommand*>(other);
  // A saved state between the two edits stays a state one can go back to.
  if (!next || next->typedFields_ != typedFields_ || !dirtyAfter() || next->dirtyBefore() != dirtyAfter())
    return false;
  parts_ |= next->parts_;
  after_ = next->after_;
  setDirtyAfter(next->dirtyAfter());
  // Typed back to what it was: nothing left to undo.
  setObsolete(sameState(before_, after_) && dirtyBefore() == dirtyAfter());
  return true;
}

void ProjectEditCommand::extend(int parts, EditSnapshot after, bool dirtyAfter) {
  parts_ |= parts;
  after_ = std::move(after);
  setDirtyAfter(dirtyAfter);
  typedFields_ = 0;
}

void ProjectEditCommand::undo() {
  document_.restore(parts_, after_, before_, dirtyBefore());
}

void ProjectEditCommand::redo() {
  if (done_) {
    done_ = false;
    return;
  }
  document_.restore(parts_, before_, after_, dirtyAfter());
}

TitleMoveCommand::TitleMoveCommand(ProjectDocument& document, preview::PreviewWindow* window, QPoint from,
                                   QPoint to, bool dirty)
    : EditStep(dirty, true), document_(document), window_(window), from_(from), to_(to) {}

void TitleMoveCommand::undo() {
  if (window_) window_->moveTitleTo(from_);
  document_.restoreDirty(dirtyBefore());
}

void TitleMoveCommand::redo() {
  if (done_) {
    done_ = false;
    return;
  }
  if (window_) window_->moveTitleTo(to_);
  document_.restoreDirty(dirtyAfter());
}

bool reachesProjectUndo(QWidget* focus) {
  if (!focus) return false;
  // A box that undoes by itself asks for the key before any shortcut is looked up.
  QKeyEvent probe(QEvent::ShortcutOverride, Qt::Key_Z, Qt::ControlModifier, QStringLiteral("\x1a"));
  probe.ignore();
  QApplication::sendEvent(focus, &probe);
  if (probe.isAccepted()) return false;
  for (QWidget* w = focus; w; w = w->parentWidget()) {
    if (qobject_cast<DesignWindow*>(w) || qobject_cast<preview::PreviewWindow*>(w)) return true;
  }
  return false;
}

bool UndoKeyFilter::eventFilter(QObject*, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->modifiers() != Qt::ControlModifier || (key->key() != Qt::Key_Z && key->key() != Qt::Key_Y))
    return false;
  // The override travels from the focused control to its parents: the control decides.
  QWidget* focus = QApplication::focusWidget();
  if (!focus) return false;
  for (QWidget* w = focus; w; w = w->parentWidget()) {
    if (qobject_cast<DesignWindow*>(w) || qobject_cast<preview::PreviewWindow*>(w)) return false;
  }
  // Outside the project windows: the key goes to the control as it is.
  key->accept();
  return true;
}

}  // namespace lumafex::design
