#pragma once
// The logos and images placed on the sign: their blocks on both previews, hidden, arranged in a row
// or as a border, and their places kept in the project directory's coordinate files.

#include "core/design/Project.h"

namespace lumafex::app {
class Application;
}

namespace lumafex::design {

class ProjectDocument;

class PicturePlacements {
 public:
  PicturePlacements(app::Application& app, ProjectDocument& document) : app_(app), document_(document) {}

  // The coordinate files of a kind: false when one could not be written (the user has been told).
  bool save(PictureKind kind);
  void read(PictureKind kind);
  // The blocks of a kind hidden on both previews.
  void hide(PictureKind kind);
  // Every block and the title pictures hidden.
  void hideAll();
  // The blocks of a kind arranged on both previews (one step of the undo stack); the sign is
  // cleared and the arranged blocks are shown.
  void arrange(PictureKind kind, Arrangement arrangement);

 private:
  app::Application& app_;
  ProjectDocument& document_;
};

}  // namespace lumafex::design
