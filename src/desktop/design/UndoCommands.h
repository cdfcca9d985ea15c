#pragma once
// The undo steps of the open project. Every step knows whether the project had unsaved changes
// before and after it, so undo and redo give the dirty flag back as it was in that state.

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QUndoCommand>
#include <cstdint>

class QWidget;

#include "core/design/EditSnapshot.h"

namespace lumafex::preview {
class PreviewWindow;
}

namespace lumafex::design {

class ProjectDocument;

class EditStep : public QUndoCommand {
 public:
  EditStep(bool dirtyBefore, bool dirtyAfter) : dirtyBefore_(dirtyBefore), dirtyAfter_(dirtyAfter) {}

  bool dirtyBefore() const { return dirtyBefore_; }
  bool dirtyAfter() const { return dirtyAfter_; }
  // The document keeps the flags up to date as the project is changed or saved outside the stack
  // (the stack hands its steps out only as const).
  void setDirtyBefore(bool on) const { dirtyBefore_ = on; }
  void setDirtyAfter(bool on) const { dirtyAfter_ = on; }

 private:
  mutable bool dirtyBefore_;
  mutable bool dirtyAfter_;
};

// An edit of the project the document owns: the board, the design window's settings, the
// placement blocks. Undo and redo bring the project between the two snapshots.
class ProjectEditCommand : public EditStep {
 public:
  // `typing`: the edit changed one text box or the speed slider; such edits follow each other into
  // one step while they change the same settings.
  ProjectEditCommand(ProjectDocument& document, int parts, EditSnapshot before, EditSnapshot after,
                     bool dirtyBefore, bool dirtyAfter, bool typing);

  int id() const override;
  bool mergeWith(const QUndoCommand* other) override;
  void undo() override;
  void redo() override;

  // Takes a following edit of the same user action into this step.
  void extend(int parts, EditSnapshot after, bool dirtyAfter);

  const EditSnapshot& before() const { return before_; }
  const EditSnapshot& after() const { return after_; }

 private:
  ProjectDocument& document_;
  int parts_;
  EditSnapshot before_;
  EditSnapshot after_;
  // The settings fields a typing step changes (0: the step never merges).
  std::uint64_t typedFields_ = 0;
  // The edit has already been done when the step is pushed.
  bool done_ = true;
};

// The title picture dragged on a preview (its position lives in the preview's position file).
class TitleMoveCommand : public EditStep {
 public:
  TitleMoveCommand(ProjectDocument& document, preview::PreviewWindow* window, QPoint from, QPoint to,
                   bool dirty);

  void undo() override;
  void redo() override;

 private:
  ProjectDocument& document_;
  QPointer<preview::PreviewWindow> window_;
  QPoint from_;
  QPoint to_;
  bool done_ = true;
};

// Whether Ctrl+Z on this control means the project's undo: it lies in the design window or a
// preview and has no undo of its own.
bool reachesProjectUndo(QWidget* focus);

// Installed on the application: outside the design window and the previews, Ctrl+Z and Ctrl+Y stay
// the focused control's keys (the post-processing text area has its own meaning for them), so the
// 编辑 menu's shortcuts do not take them.
class UndoKeyFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace lumafex::design
