#pragma once
// The previews: the simulated sign drawn horizontally (花式显示窗: channels left to right, lamp rows
// top to bottom) or as vertical columns (竖列显示窗: channels top to bottom, rows left to right), with
// the title picture and the step counter. The design window and the post-processing window show
// steps here; the window only draws what it is given.

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QPoint>
#include <QSizeF>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "core/design/SignPictures.h"
#include "core/preview/LampLayout.h"
#include "render/SignStyle.h"

namespace lumafex::controls {
class CheckBoxControl;
}

namespace lumafex::preview {

class SignCanvas;
class PictureBlock;
struct PictureFrame;
struct SignPictureSet;

class PreviewWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewWindow(Orientation orientation, QWidget* parent = nullptr);

  Orientation orientation() const { return orientation_; }

  // The tube and colour settings used by the next drawing.
  void setSignStyle(const SignStyle& style);
  const SignStyle& signStyle() const { return style_; }

  // 定位灯管: recompute the lamp layout from the canvas size, clear the canvas and draw every lamp
  // in its colour (the layout view).
  void layOutLamps();
  // The same, with the sign's pictures as `pictures` says (the logos and every image).
  void layOutLamps(const PictureFrame& pictures);

  // Draws one step: the canvas cleared, lamp (r, c) lit in its swatch colour when character c of
  // `tubes` is "X", dark RGB(48,48,48) otherwise (a short line leaves the missing lamps dark).
  // Cheap: it records the step and schedules a repaint, so steps may come faster than the screen
  // refreshes.
  void showStep(const QString& tubes, const QString& images = {});
  // The same, with the sign's pictures of the step.
  void showStep(const QString& tubes, const QString& images, const PictureFrame& pictures);

  // The project's pictures and their placement blocks (this preview uses its own blocks of both
  // kinds). One block per picture; blocks keep whether they are shown.
  void setPictures(std::shared_ptr<const SignPictureSet> pictures, const design::Placements& logos,
                   const design::Placements& images);
  // The placement blocks of a kind, index 0 first.
  std::vector<PictureBlock*> pictureBlocks(design::PictureKind kind) const;
  // What a mouse move over the canvas does unless 锁定各物件 is checked: shows the logo blocks (with
  // 启用标志), the image blocks (with 启用图案) and the title picture.
  void showPictureBlocks();
  // 消除标志块 / 消除图案块 on this preview.
  void hidePictureBlocks(design::PictureKind kind);
  void hideTitlePicture();

  // Draws the title for the current step. `state` holds one character per title character, "□"
  // for a dark character; an empty state means every character lit.
  void showTitle(const TitleStyle& style, const QString& state);

  // Where the title starts: read from this position file when it exists (two lines, x and y in
  // twips), otherwise centred on the canvas. Dragging the title picture writes the file.
  void setTitlePositionFile(const QString& path);
  // Puts the title's start there (twips) as a drag of the title picture does (undo and redo).
  void moveTitleTo(QPoint twips);

  // The step counter (步数), "0" before the first step.
  long step() const;
  void setStep(long step);

  // The canvas (Picture1) size in twips.
  QSizeF canvasTwips() const;
  // The lamp rectangle of lamp (r, c) in twips in the current layout.
  TwipsRect lampRect(int row, int column) const;

  // Renders the current canvas into an image (for tests and screenshots).
  QImage renderCanvas() const;

  // Clears the canvas (lamps and title) until the next step or layout.
  void clearCanvas();
  // The step last handed to showStep.
  const QString& shownTubes() const { return shownTubes_; }
  const QString& shownImages() const { return shownImages_; }
  // The title state last handed to showTitle.
  const QString& shownTitleState() const { return titleState_; }
  // Where the title starts now (twips, relative to the canvas): the position the user last dragged
  // it to when that could not be written, else the position file, else centred.
  QPoint titleStart() const;
  const QString& titlePositionFile() const { return titlePositionFile_; }

  // The switches 锁定各物件 (lock the placed objects) and 启用标题花式 (the title follows the title
  // effect), as the project stores them: 0 or 1.
  int lockValue() const;
  void setLock(int value);
  int titleEffectValue() const;
  void setTitleEffect(int value);
  // The lamp canvas (for measurements).
  SignCanvas& canvas() const { return *Picture1; }

 signals:
  // The user switched 锁定各物件 / 启用标题花式 (0 or 1).
  void lockChanged(int value);
  void titleEffectChanged(int value);
  // The user dragged the window or the title picture, or resized the window: the project changed.
  void changedByUser();
  // The window was resized: the design window lays the tubes out again.
  void resized();
  // The step counter's text changed (the post-processing window follows it).
  void stepChanged(long step);
  // A right click on the title picture: back to the design window's title box.
  void titleRightClicked();
  // The mouse moved over the window background.
  void backgroundMouseMove();
  // The mouse moved over the canvas (the logo and image blocks may be shown).
  void canvasMouseMove();
  // The user dragged a placement block to (left, top) in twips; `together`: every other image
  // block moves by the same offset (图案同步移动). `kind` is a design::PictureKind.
  void pictureBlockMoved(int kind, int index, double left, double top, bool together);
  // The user dragged the title picture from one start to another (twips).
  void titleDragged(QPoint from, QPoint to);
  // The right button on placement block `index`: its designer opens with that picture selected.
  void pictureBlockRightClicked(int kind, int index);
  // A step was handed to showStep (its tube characters and image channels), a title state to
  // showTitle: what the sign shows now, for the artwork window.
  void stepShown(const QString& tubes, const QString& images);
  void titleShown(const QString& state);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Places the canvas, the background and the controls for the current size.
  void layOutWindow();
  void ensureLayout();
  void layOutStrip(const QRect& strip);
  // Moves the title picture to the title's start and redraws its picture when the title changed.
  void placeTitle(bool redrawPicture);
  std::optional<QPoint> positionFromFile() const;
  // The title's start into the position file (kept in the window when it cannot be written).
  void storeTitleStart(QPoint twips);
  // The widget that a drag on the background moves: the MDI frame around the window when there is
  // one, else the window itself.
  QWidget* dragTarget();
  bool backgroundEvent(QEvent* event);
  bool titlePictureEvent(QEvent* event);
  void syncBlocks(design::PictureKind kind, const design::Placeholders& blocks,
                  const SignPictureSet* pictures);

  // Controls. Null until made: the event filter sees events of the first ones while the others are
  // still being made.
  SignCanvas* Picture1 = nullptr;  // the lamp canvas
  QWidget* Picture2 = nullptr;     // the window background; dragging it moves the window
  QLabel* 标题图片 = nullptr;      // the title picture, movable
  QLabel* 步数 = nullptr;          // the step counter
  QLabel* 宽度与高度 = nullptr;    // horizontal only: "宽：" + width + "  高：" + height (pixels)
  controls::CheckBoxControl* 启用标题花式 = nullptr;
  controls::CheckBoxControl* 锁定各物件 = nullptr;
  controls::CheckBoxControl* 图案同步移动 = nullptr;

  Orientation orientation_;
  SignStyle style_;
  QSize laidOutSize_;
  QString titlePositionFile_;
  QPoint dragStart_;
  bool dragging_ = false;
  QPoint dragTargetStart_;
  bool titleDragging_ = false;
  QPoint titleDragStart_;
  QPoint titlePictureStart_;
  TitleStyle titleStyle_;
  QString titleState_;
  QString shownTubes_;
  QString shownImages_;
  std::vector<PictureBlock*> logoBlocks_;
  std::vector<PictureBlock*> imageBlocks_;
  // Where each image block was when a drag of one of them began (pixels).
  std::vector<QPoint> imageDragStarts_;
  // A dragged title position that could not be written to the position file.
  std::optional<QPoint> draggedTitleStart_;
  // The position file as last read, kept while the file is unchanged.
  struct PositionCache {
    QString path;
    qint64 modified = -1;
    qint64 size = -1;
    std::optional<QPoint> position;
  };
  mutable PositionCache positionCache_;
};

}  // namespace lumafex::preview
