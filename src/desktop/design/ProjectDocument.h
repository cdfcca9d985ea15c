#pragma once
// The open project in the shell: it owns the core Project, runs the edits on it and tells the
// windows what changed. A window maps its own part of the project onto its controls and edits
// through here; it never reads another window's controls.

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <type_traits>
#include <utility>

#include "core/compiler/ProjectCompile.h"
#include "core/design/EditSnapshot.h"
#include "core/design/Project.h"
#include "core/design/Rules.h"
#include "desktop/preview/PreviewWindow.h"
#include "render/SignStyle.h"

namespace lumafex::design {

class ProjectDocument : public QObject {
  Q_OBJECT

 public:
  // What an edit touched.
  enum Part {
    Settings = 1,
    BoardPart = 2,
    TitleEffectPart = 4,
    ManualPart = 8,
    ChannelsPart = 16,
    PicturesPart = 32,
  };

  explicit ProjectDocument(QObject* parent = nullptr);

  const Project& project() const { return project_; }
  const ProjectSettings& settings() const { return project_.settings; }
  bool dirty() const { return project_.dirty; }

  // Runs one edit (a function of the core taking the Project&) and signals the parts it touched.
  template <class Edit>
  decltype(auto) edit(int parts, Edit&& change) {
    const bool wasDirty = project_.dirty;
    if constexpr (std::is_void_v<std::invoke_result_t<Edit, Project&>>) {
      std::forward<Edit>(change)(project_);
      notify(parts, wasDirty);
    } else {
      auto result = std::forward<Edit>(change)(project_);
      notify(parts, wasDirty);
      return result;
    }
  }
  void setDirty(bool on);

  // How an undoable edit joins the steps before it.
  enum class Step {
    Own,     // a step of its own
    Typing,  // a key typed into a box or the slider moved: a run of them is one step
    Join,    // part of the edit just made in the same user action (a colour count clears the board)
  };
  // The same as edit(), as one step of the undo stack (none when nothing changed). While a step is
  // undone or redone, and while recording is paused, it is a plain edit.
  template <class Edit>
  decltype(auto) undoableEdit(int parts, Edit&& change, Step step = Step::Own) {
    if (!recording()) return edit(parts, std::forward<Edit>(change));
    EditSnapshot before = snapshotOf(project_);
    const bool wasDirty = project_.dirty;
    inUndoableEdit_ = true;
    if constexpr (std::is_void_v<std::invoke_result_t<Edit, Project&>>) {
      edit(parts, std::forward<Edit>(change));
      inUndoableEdit_ = false;
      record(parts, std::move(before), wasDirty, step);
    } else {
      auto result = edit(parts, std::forward<Edit>(change));
      inUndoableEdit_ = false;
      record(parts, std::move(before), wasDirty, step);
      return result;
    }
  }
  QUndoStack& undoStack() { return undo_; }
  // Edits made while the project is being loaded or mapped are no steps.
  void pauseRecording() { ++paused_; }
  void resumeRecording() { --paused_; }
  bool recording() const { return !applying_ && paused_ == 0; }
  // Forgets every step (a project opened or created).
  void clearUndo();
  // A step that changes what the project keeps outside the document (the title position).
  void pushStep(QUndoCommand* step);

  // For the steps: brings the project from `from` to `to` and sets the dirty flag; the windows map
  // the restored parts again.
  void restore(int parts, const EditSnapshot& from, const EditSnapshot& to, bool dirty);
  void restoreDirty(bool dirty);

  // A project opened or created: every window maps its part again. `created` is true for a new
  // project.
  void replace(Project project, bool created);

  // Before a save: the windows store what they keep only in their frames (sizes, positions).
  void collect() { emit collecting(); }

  // Where the open project lives: its record file and its directory (the file's path without its
  // last extension; Save As keeps the old directory until the copies are made).
  const QString& projectFile() const { return projectFile_; }
  const QString& projectDirectory() const { return projectDirectory_; }
  void setProjectFile(const QString& file, const QString& directory) {
    projectFile_ = file;
    projectDirectory_ = directory;
  }
  void setProjectDirectory(const QString& directory) { projectDirectory_ = directory; }

  // The project as a compile takes it: a snapshot of what the windows show (settings, board,
  // title effect, image count) and where it lives.
  compiler::ProjectInputs compileInputs() const;

 signals:
  void changed(int parts);
  void dirtyChanged(bool dirty);
  void reset(bool created);
  void collecting();
  // An undo or redo brought these parts back: the windows show them again.
  void restored(int parts);

 private:
  void notify(int parts, bool wasDirty);
  void record(int parts, EditSnapshot before, bool wasDirty, Step step);
  // The dirty flag changed outside the stack: the steps around the current state follow it.
  void noteDirty(bool dirty);
  void dirtyMarked(bool on, bool was);
  void flushMark();
  Project project_;
  QString projectFile_;
  QString projectDirectory_;
  QUndoStack undo_;
  int paused_ = 0;
  bool applying_ = false;
  bool inUndoableEdit_ = false;
  // The project was marked changed in the current user action, before any edit of it was recorded.
  bool pendingMark_ = false;
  // The step the last undoable edit pushed, while the same user action may still join it.
  const QUndoCommand* joinable_ = nullptr;
};

}  // namespace lumafex::design
