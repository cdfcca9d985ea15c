#pragma once
// The open project in the shell: it owns the core Project, runs the edits on it and tells the
// windows what changed. A window maps its own part of the project onto its controls and edits
// through here; it never reads another window's controls.

#include <QObject>
#include <QString>
#include <type_traits>
#include <utility>

#include "design/Project.h"
#include "preview/PreviewWindow.h"

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

  explicit ProjectDocument(QObject* parent = nullptr) : QObject(parent) {}

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

  // A project opened or created: every window maps its part again. `created` is true for a new
  // project.
  void replace(Project project, bool created);

  // Before a save: the windows store what they keep only in their frames (sizes, positions).
  void collect() { emit collecting(); }

 signals:
  void changed(int parts);
  void dirtyChanged(bool dirty);
  void reset(bool created);
  void collecting();

 private:
  void notify(int parts, bool wasDirty);
  Project project_;
};

// The numbers the boxes hold, read as the windows read them (leading number).
int columnsOf(const ProjectSettings& s);
int rowsOf(const ProjectSettings& s);
// The colour count the project stands for: 1, 2 or 3, or 0 (no catalogue).
int colourCountOf(const ProjectSettings& s);
// Milliseconds per step for a speed slider value: 1000 − value, at least 1.
int stepIntervalOf(const ProjectSettings& s);

// How the previews draw the project's tubes and title.
preview::SignStyle signStyleOf(const ProjectSettings& s);
preview::TitleStyle titleStyleOf(const ProjectSettings& s);

QColor toQColor(Colour c);
Colour fromQColor(const QColor& c);

}  // namespace lumafex::design
