#include "desktop/design/ProjectDocument.h"

#include <QTimer>
#include <algorithm>

#include "core/compiler/ProjectCompile.h"
#include "core/patterns/Catalogue.h"
#include "core/patterns/StepText.h"
#include "core/platform/TextFile.h"
#include "desktop/design/UndoCommands.h"
#include "desktop/platform/QtDialogs.h"

namespace lumafex::design {

ProjectDocument::ProjectDocument(QObject* parent) : QObject(parent) {
  undo_.setUndoLimit(500);
  connect(&undo_, &QUndoStack::indexChanged, this, [this] { joinable_ = nullptr; });
}

void ProjectDocument::notify(int parts, bool wasDirty) {
  emit changed(parts);
  if (project_.dirty != wasDirty) {
    if (!inUndoableEdit_) dirtyMarked(project_.dirty, wasDirty);
    emit dirtyChanged(project_.dirty);
  }
}

void ProjectDocument::setDirty(bool on) {
  dirtyMarked(on, project_.dirty);
  if (project_.dirty == on) return;
  project_.dirty = on;
  emit dirtyChanged(on);
}

void ProjectDocument::dirtyMarked(bool on, bool was) {
  if (applying_) return;
  if (!on) {
    pendingMark_ = false;
    noteDirty(false);
    return;
  }
  if (was) return;
  // A control often marks the project changed just before its value reaches the project: the
  // mark belongs to the edit that follows in the same user action. Without one it is the
  // current state's.
  pendingMark_ = true;
  QTimer::singleShot(0, this, [this] { flushMark(); });
}

void ProjectDocument::flushMark() {
  if (!pendingMark_) return;
  pendingMark_ = false;
  noteDirty(true);
}

void ProjectDocument::noteDirty(bool dirty) {
  if (applying_) return;
  const int current = undo_.index();
  const auto stepAt = [this](int k) { return dynamic_cast<const EditStep*>(undo_.command(k)); };
  if (dirty) {
    if (const auto* before = stepAt(current - 1)) before->setDirtyAfter(true);
    if (const auto* after = stepAt(current)) after->setDirtyBefore(true);
    return;
  }
  // Saved (or opened): the current state is the one on disk, every other state differs from it.
  for (int k = 0; k < undo_.count(); ++k) {
    if (const auto* step = stepAt(k)) {
      step->setDirtyBefore(k != current);
      step->setDirtyAfter(k + 1 != current);
    }
  }
}

void ProjectDocument::replace(Project project, bool created) {
  const bool wasDirty = project_.dirty;
  clearUndo();
  project_ = std::move(project);
  pauseRecording();
  emit reset(created);
  resumeRecording();
  clearUndo();
  if (project_.dirty != wasDirty) emit dirtyChanged(project_.dirty);
}

void ProjectDocument::clearUndo() {
  pendingMark_ = false;
  undo_.clear();
  joinable_ = nullptr;
}

void ProjectDocument::record(int parts, EditSnapshot before, bool wasDirty, Step step) {
  EditSnapshot after = snapshotOf(project_);
  if (sameState(before, after)) {
    if (wasDirty != project_.dirty) dirtyMarked(project_.dirty, wasDirty);
    return;
  }
  if (pendingMark_) {
    pendingMark_ = false;
    wasDirty = false;
  }
  const int count = undo_.count();
  if (step == Step::Join && joinable_ && undo_.index() == count && undo_.command(count - 1) == joinable_) {
    if (const auto* top = dynamic_cast<const ProjectEditCommand*>(joinable_)) {
      // The stack hands out its steps as const; this one is ours and still being made.
      const_cast<ProjectEditCommand*>(top)->extend(parts, std::move(after), project_.dirty);
      return;
    }
  }
  undo_.push(new ProjectEditCommand(*this, parts, std::move(before), std::move(after), wasDirty,
                                    project_.dirty, step == Step::Typing));
  joinable_ = undo_.count() > 0 ? undo_.command(undo_.count() - 1) : nullptr;
  // Another user action starts once the event loop runs again.
  QTimer::singleShot(0, this, [this, step = joinable_] {
    if (joinable_ == step) joinable_ = nullptr;
  });
}

void ProjectDocument::pushStep(QUndoCommand* step) {
  if (!recording()) {
    delete step;
    return;
  }
  flushMark();
  undo_.push(step);
}

void ProjectDocument::restore(int parts, const EditSnapshot& from, const EditSnapshot& to, bool dirty) {
  flushMark();
  applying_ = true;
  restoreChanges(project_, from, to);
  emit changed(parts);
  emit restored(parts);
  applying_ = false;
  restoreDirty(dirty);
}

compiler::ProjectInputs ProjectDocument::compileInputs() const {
  compiler::ProjectInputs in;
  in.settings = project_.settings;
  in.board = project_.board;
  in.projectFile = platform::pathFromUtf8(platform::us(projectFile_));
  in.projectDirectory = platform::pathFromUtf8(platform::us(projectDirectory_));
  in.imageCount = project_.pictures.imageCount;
  // A title effect file that could not be read stays the file's: the compile reads it again and
  // says why it cannot.
  if (project_.titleEffectProblem.empty()) in.titleEffect = project_.titleEffect;
  return in;
}

void ProjectDocument::restoreDirty(bool dirty) {
  flushMark();
  if (project_.dirty == dirty) return;
  project_.dirty = dirty;
  emit dirtyChanged(dirty);
}

}  // namespace lumafex::design
