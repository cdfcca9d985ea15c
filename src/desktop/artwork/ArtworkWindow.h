#pragma once
// 实物效果: the customer's artwork playing in step with the run that is shown (the design window's,
// the whole board's, the post-processing window's), every tube lit or dark as the chip drives its
// channel. A mapping mode ties tubes to channels: click an element (or draw a tube on a photo) and
// type its channel, or number many at once (依次编号) in click order or by position. Edits go into
// the project's map file "实物通道.txt" and can be undone.

#include <QImage>
#include <QString>
#include <QUndoStack>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/artwork/ChannelMap.h"
#include "render/artwork/ArtworkRenderer.h"
#include "render/artwork/ArtworkScene.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;

namespace lumafex::platform {
class Dialogs;
}
namespace lumafex::design {
struct Project;
}

namespace lumafex::artwork {

class ArtworkView;

struct ArtworkWindowContext {
  platform::Dialogs* dialogs = nullptr;
  std::function<const design::Project*()> project;
  // The project directory; empty while the project has none (a new project not yet saved).
  std::function<QString()> projectDirectory;
  // 导出…: the artwork as a video, a GIF or a picture.
  std::function<void()> exportAnimation;
};

class ArtworkWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ArtworkWindow(ArtworkWindowContext context, QWidget* parent = nullptr);
  ~ArtworkWindow() override;

  // Reads the project's artwork and map file again (a project opened or created, its settings
  // changed).
  void reload();
  // The project's settings changed: the channel layout and colours are taken again (a moment
  // later, so that a slider's drag redraws once).
  void projectChanged();
  // The step a preview shows: its tube characters and its image channels.
  void showStep(const QString& tubes, const QString& images);
  // The title state shown ("□" dark; empty: every character lit).
  void showTitleState(const QString& state);

  // 导入实物图…: an SVG or a photo copied into the project directory as 实物图.svg/.png/.jpg.
  bool importArtwork();

  // What the window holds now (for the export and for tests).
  const render::ArtworkScene* scene() const { return scene_.get(); }
  const std::vector<bool>& litChannels() const { return lit_; }
  // The frame as the window draws it at its present size.
  QImage currentFrame();
  QUndoStack& undoStack() { return undo_; }
  // Where an element or drawn shape lies in the view's widget coordinates (for clicking in tests).
  std::optional<QPoint> viewPointOfElement(const QString& id) const;
  QPoint viewPointOf(QPointF artworkPixel) const;

  // Replaces the map (through the undo stack when `text` is given) and writes it.
  void applyMap(const ChannelMap& map);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class ArtworkView;
  void buildControls();
  void rebuildRenderer();
  QSize fittedSize() const;
  QImage paintedFrame();
  std::optional<render::ChannelLayout> layoutOfProject() const;
  void updateLit();
  void updateInfo();
  void editMap(const ChannelMap& after, const QString& text);
  // Mapping: a press at an artwork pixel.
  void pressAt(QPointF at, bool doubleClick);
  void dragTo(QPointF at);
  void releaseAt(QPointF at);
  std::optional<int> askChannel(const std::string& what, std::optional<int> current);
  int elementAt(QPointF at) const;
  int shapeAt(QPointF at) const;
  void finishShape();
  void numberCollected();
  void computeBounds();
  QRectF boundsOf(int element) const;

  ArtworkWindowContext context_;
  std::unique_ptr<render::ArtworkScene> scene_;
  std::unique_ptr<render::ArtworkRenderer> renderer_;
  QString problem_;  // why no artwork is shown
  std::string line_;
  QString titleState_;
  std::vector<bool> lit_;
  QImage frame_;
  bool frameStale_ = true;
  std::vector<QRectF> bounds_;  // per element, artwork pixels (empty: unknown)
  QUndoStack undo_;
  QTimer* resizeTimer_;
  QTimer* layoutTimer_;

  // Mapping state.
  std::vector<int> collected_;          // elements clicked while numbering, in click order
  std::vector<Point> numberingLine_;    // the line drawn while numbering
  std::vector<Point> shapeInProgress_;  // a tube being drawn on a photo
  std::optional<QPointF> pressPoint_;
  bool dragging_ = false;

  // Controls.
  ArtworkView* 实物画面;
  QCheckBox* 映射模式;
  QCheckBox* 选择组;
  QComboBox* 编号方式;
  QSpinBox* 起始路;
  QPushButton* 依次编号;
  QComboBox* 画法;
  QSpinBox* 线宽;
  QPushButton* 撤销;
  QPushButton* 重做;
  QPushButton* 导出;
  QLabel* 未显示的路;
  QLabel* 实物提示;
};

}  // namespace lumafex::artwork
