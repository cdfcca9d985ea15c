#include "desktop/preview/PreviewWindow.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/design/TitlePosition.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"
#include "core/preview/PreviewGeometry.h"
#include "desktop/controls/CheckBoxControl.h"
#include "desktop/preview/PictureBlock.h"
#include "desktop/preview/SignCanvas.h"
#include "render/PictureRenderer.h"

namespace lumafex::preview {

namespace {

// The caption sizes tried for the strip, largest first, until every control fits.
constexpr std::array<int, 2> kStripFontPixels{12, 11};
constexpr int kStripMargin = 4;
constexpr int kStripSpacing = 6;
// The step counter has room for this many digits before the strip is laid out again (more
// digits lay it out again with the room they need).
constexpr int kStepDigits = 3;
// A title picture dragged off the canvas keeps this much of itself in view, so it can be caught.
constexpr int kTitleKeepVisible = 8;

QString stepText(long step) {
  return QString::number(step);
}

}  // namespace

PreviewWindow::PreviewWindow(Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
  const bool horizontal = orientation == Orientation::Horizontal;
  setObjectName(horizontal ? QStringLiteral("花式显示窗") : QStringLiteral("竖列显示窗"));
  setWindowTitle(horizontal ? QStringLiteral("花式显示") : QStringLiteral("竖列显示"));
  setMouseTracking(true);
  const int minimum = platform::toPixels(kMinimumPreviewTwips);
  setMinimumSize(minimum, minimum);

  Picture2 = new QWidget(this);
  Picture2->setObjectName(QStringLiteral("Picture2"));
  Picture2->setAutoFillBackground(true);
  Picture2->setMouseTracking(true);
  Picture2->installEventFilter(this);

  Picture1 = new SignCanvas(orientation, this);
  Picture1->setObjectName(QStringLiteral("Picture1"));
  Picture1->installEventFilter(this);

  标题图片 = new QLabel(Picture1);
  标题图片->setObjectName(QStringLiteral("标题图片"));
  标题图片->setCursor(Qt::SizeAllCursor);
  标题图片->setAutoFillBackground(true);
  QPalette titlePalette = 标题图片->palette();
  titlePalette.setColor(QPalette::Window, QColor(0, 0, 0));
  标题图片->setPalette(titlePalette);
  标题图片->hide();
  标题图片->installEventFilter(this);
  Picture1->setTitlePicture(标题图片);

  步数 = new QLabel(stepText(0), this);
  步数->setObjectName(QStringLiteral("步数"));
  步数->setToolTip(QStringLiteral("步数"));
  步数->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  启用标题花式 = new controls::CheckBoxControl(QStringLiteral("启用标题花式"), this);
  启用标题花式->setObjectName(QStringLiteral("启用标题花式"));
  锁定各物件 = new controls::CheckBoxControl(QStringLiteral("锁定各物件"), this);
  锁定各物件->setObjectName(QStringLiteral("锁定各物件"));
  图案同步移动 = new controls::CheckBoxControl(QStringLiteral("图案同步移动"), this);
  图案同步移动->setObjectName(QStringLiteral("图案同步移动"));
  const QColor background = palette().color(QPalette::Window);
  for (controls::CheckBoxControl* box : {启用标题花式, 锁定各物件, 图案同步移动})
    box->setBackColor(background);
  connect(锁定各物件, &controls::CheckBoxControl::valueChanged, this, [this](int v) { emit lockChanged(v); });
  connect(启用标题花式, &controls::CheckBoxControl::valueChanged, this,
          [this](int v) { emit titleEffectChanged(v); });

  if (horizontal) {
    宽度与高度 = new QLabel(this);
    宽度与高度->setObjectName(QStringLiteral("宽度与高度"));
    宽度与高度->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }

  Picture1->setSignStyle(style_);
  resize(horizontal ? QSize(platform::toPixels(6000), platform::toPixels(2200))
                    : QSize(platform::toPixels(2000), platform::toPixels(7000)));
  layOutWindow();
}

void PreviewWindow::setSignStyle(const SignStyle& style) {
  style_ = style;
  Picture1->setSignStyle(style);
}

void PreviewWindow::layOutLamps() {
  ensureLayout();
  Picture1->showLayoutView();
}

void PreviewWindow::showStep(const QString& tubes, const QString& images) {
  showStep(tubes, images, PictureFrame{});
}

void PreviewWindow::showStep(const QString& tubes, const QString& images, const PictureFrame& pictures) {
  shownTubes_ = tubes;
  shownImages_ = images;
  Picture1->showStep(tubes, pictures);
  emit stepShown(tubes, images);
}

void PreviewWindow::layOutLamps(const PictureFrame& pictures) {
  ensureLayout();
  Picture1->showLayoutView(pictures);
}

void PreviewWindow::setPictures(std::shared_ptr<const SignPictureSet> pictures,
                                const design::Placements& logos, const design::Placements& images) {
  syncBlocks(design::PictureKind::Logo, logos.on(orientation_), pictures.get());
  syncBlocks(design::PictureKind::Image, images.on(orientation_), pictures.get());
  Picture1->setPictures(std::move(pictures), logos.on(orientation_), images.on(orientation_));
}

void PreviewWindow::syncBlocks(design::PictureKind kind, const design::Placeholders& places,
                               const SignPictureSet* pictures) {
  auto& blocks = kind == design::PictureKind::Logo ? logoBlocks_ : imageBlocks_;
  while (blocks.size() > places.size()) {
    delete blocks.back();
    blocks.pop_back();
  }
  while (blocks.size() < places.size()) {
    auto* block = new PictureBlock(kind, static_cast<int>(blocks.size()), Picture1);
    block->hide();
    block->dragging = [this](PictureBlock& dragged, QPoint offset) {
      if (dragged.kind() != design::PictureKind::Image || 图案同步移动->value() == 0) return;
      if (imageDragStarts_.size() != imageBlocks_.size()) return;
      for (std::size_t i = 0; i < imageBlocks_.size(); ++i) {
        if (imageBlocks_[i] != &dragged) imageBlocks_[i]->move(imageDragStarts_[i] + offset);
      }
    };
    block->dropped = [this](PictureBlock& dropped) {
      const bool together = dropped.kind() == design::PictureKind::Image && 图案同步移动->value() != 0;
      emit pictureBlockMoved(static_cast<int>(dropped.kind()), dropped.index(),
                             platform::toTwips(dropped.x()), platform::toTwips(dropped.y()), together);
    };
    block->leftPressed = [this](PictureBlock&) { emit changedByUser(); };
    block->rightPressed = [this](PictureBlock& pressed) {
      emit pictureBlockRightClicked(static_cast<int>(pressed.kind()), pressed.index());
    };
    block->installEventFilter(this);
    blocks.push_back(block);
  }
  const std::vector<QImage>* images = pictures ? &pictures->of(kind) : nullptr;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const design::Placeholder& p = places[i];
    blocks[i]->setGeometry(platform::toPixels(p.left), platform::toPixels(p.top),
                           std::max(1, platform::toPixels(p.width)),
                           std::max(1, platform::toPixels(p.height)));
    blocks[i]->setPicture(images && i < images->size() ? (*images)[i] : QImage());
  }
}

std::vector<PictureBlock*> PreviewWindow::pictureBlocks(design::PictureKind kind) const {
  return kind == design::PictureKind::Logo ? logoBlocks_ : imageBlocks_;
}

void PreviewWindow::showPictureBlocks() {
  if (锁定各物件->value() != 0) return;
  if (style_.logosOn) {
    for (PictureBlock* block : logoBlocks_) block->show();
  }
  if (style_.imagesOn) {
    for (PictureBlock* block : imageBlocks_) block->show();
  }
  if (Picture1->titleDrawn() && !titleStyle_.disabled) 标题图片->show();
}

void PreviewWindow::hidePictureBlocks(design::PictureKind kind) {
  for (PictureBlock* block : kind == design::PictureKind::Logo ? logoBlocks_ : imageBlocks_) block->hide();
}

void PreviewWindow::hideTitlePicture() {
  标题图片->hide();
}

void PreviewWindow::clearCanvas() {
  Picture1->clear();
}

void PreviewWindow::showTitle(const TitleStyle& style, const QString& state) {
  ensureLayout();
  titleStyle_ = style;
  titleState_ = state;
  if (style.disabled) 标题图片->hide();
  placeTitle(Picture1->setTitle(style, state));
  emit titleShown(state);
}

void PreviewWindow::placeTitle(bool redrawPicture) {
  const TitleRenderer& title = Picture1->title();
  if (redrawPicture) {
    const QSize size = title.pixelSize();
    if (size.isEmpty()) {
      标题图片->setPixmap(QPixmap());
      标题图片->resize(0, 0);
    } else {
      // Drawn at the screen's density, so the title stays sharp on a high-density screen.
      const qreal ratio = devicePixelRatioF();
      QPixmap picture(size * ratio);
      picture.setDevicePixelRatio(ratio);
      picture.fill(QColor(0, 0, 0));
      {
        QPainter painter(&picture);
        title.paint(painter, QPointF(0, 0), TitleInk::TitleColour);
      }
      标题图片->setPixmap(picture);
      标题图片->resize(size);
    }
  }
  // A centred title moves with the canvas size.
  const QPoint start = titleStart();
  const QPoint pixels(platform::toPixels(start.x()), platform::toPixels(start.y()));
  Picture1->setTitleStart(pixels);
  if (!titleDragging_) 标题图片->move(pixels);
}

void PreviewWindow::storeTitleStart(QPoint twips) {
  draggedTitleStart_ = twips;
  if (titlePositionFile_.isEmpty()) return;
  const auto written = design::writeTitlePosition(platform::pathFromUtf8(titlePositionFile_.toStdString()),
                                                  {twips.x(), twips.y()});
  // Once the file holds the position it is the file that counts.
  if (written) {
    draggedTitleStart_.reset();
    const QFileInfo info(titlePositionFile_);
    positionCache_ = {titlePositionFile_, info.lastModified().toMSecsSinceEpoch(), info.size(), twips};
  }
}

void PreviewWindow::moveTitleTo(QPoint twips) {
  storeTitleStart(twips);
  placeTitle(false);
  Picture1->update();
}

void PreviewWindow::setTitlePositionFile(const QString& path) {
  if (path == titlePositionFile_) return;
  titlePositionFile_ = path;
  draggedTitleStart_.reset();
  positionCache_ = {};
}

std::optional<QPoint> PreviewWindow::positionFromFile() const {
  if (titlePositionFile_.isEmpty()) return std::nullopt;
  const QFileInfo info(titlePositionFile_);
  const qint64 modified = info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1;
  const qint64 size = info.exists() ? info.size() : -1;
  if (positionCache_.path == titlePositionFile_ && positionCache_.modified == modified &&
      positionCache_.size == size) {
    return positionCache_.position;
  }
  positionCache_ = {titlePositionFile_, modified, size, std::nullopt};
  if (const auto start =
          design::readTitlePosition(platform::pathFromUtf8(titlePositionFile_.toStdString()))) {
    positionCache_.position = QPoint(static_cast<int>(start->x), static_cast<int>(start->y));
  }
  return positionCache_.position;
}

QPoint PreviewWindow::titleStart() const {
  const_cast<PreviewWindow*>(this)->ensureLayout();
  if (draggedTitleStart_) return *draggedTitleStart_;
  if (const auto fromFile = positionFromFile()) return *fromFile;
  return TitleRenderer::centredStart(TitleRenderer::widthUnits(titleStyle_.text), titleStyle_.size,
                                     titleStyle_.spacing, canvasTwips(), orientation_);
}

long PreviewWindow::step() const {
  return patterns::leadingNumber(步数->text().toStdString());
}

void PreviewWindow::setStep(long step) {
  const QString text = stepText(step);
  if (text == 步数->text()) return;
  const bool wider = text.size() > std::max<qsizetype>(kStepDigits, 步数->text().size());
  步数->setText(text);
  if (wider) layOutWindow();
  emit stepChanged(step);
}

QSizeF PreviewWindow::canvasTwips() const {
  const_cast<PreviewWindow*>(this)->ensureLayout();
  return QSizeF(platform::toTwips(Picture1->width()), platform::toTwips(Picture1->height()));
}

TwipsRect PreviewWindow::lampRect(int row, int column) const {
  const QSizeF canvas = canvasTwips();
  return LampLayout(orientation_, canvas.width(), canvas.height(), style_.columns, style_.rows)
      .lamp(row, column);
}

QImage PreviewWindow::renderCanvas() const {
  const_cast<PreviewWindow*>(this)->ensureLayout();
  return Picture1->render();
}

void PreviewWindow::ensureLayout() {
  // A hidden window is resized at once but hears of it only when shown; whoever asks about the
  // canvas before then gets it laid out for the size it already has.
  if (size() != laidOutSize_) layOutWindow();
}

void PreviewWindow::layOutWindow() {
  laidOutSize_ = size();
  const int width = this->width();
  const int height = this->height();
  const PixelSize size = canvasOfWindow(orientation_, width, height);
  const QRect canvas(0, 0, size.width, size.height);
  if (orientation_ == Orientation::Horizontal) {
    宽度与高度->setText(QStringLiteral("宽：") + QString::number(canvas.width()) + QStringLiteral("  高：") +
                        QString::number(canvas.height()));
  }
  Picture2->setGeometry(rect());
  Picture2->lower();
  Picture1->setGeometry(canvas);
  layOutStrip(QRect(0, canvas.bottom() + 1, width, height - canvas.height()));
  placeTitle(false);
}

void PreviewWindow::layOutStrip(const QRect& strip) {
  // The check boxes follow one another left to right and wrap into as many rows as the strip
  // holds; the step counter (and, in the horizontal preview, the size at the right end) then takes
  // the first row with room for it. The captions shrink a little when a narrow window needs it,
  // and a control that still finds no room is hidden rather than cut.
  const std::vector<QWidget*> boxes{启用标题花式, 锁定各物件, 图案同步移动};
  std::vector<QWidget*> extras{步数};
  if (宽度与高度) extras.push_back(宽度与高度);
  struct Placed {
    QWidget* widget;
    int row;
    int x;
    int width;
  };
  std::vector<Placed> placed;
  int rowHeight = 0;
  int rowsUsed = 0;
  const int limit = strip.width() - kStripMargin;
  for (std::size_t attempt = 0; attempt < kStripFontPixels.size(); ++attempt) {
    QFont font = this->font();
    font.setPixelSize(kStripFontPixels[attempt]);
    const QFontMetrics metrics(font);
    // A row is as high as the tallest caption as it is drawn (Chinese characters come from a
    // fallback font whose line is taller than the font's own) and a check box with a pixel above
    // and below it, so no caption is cut and no check box reaches into the next row.
    rowHeight = std::max(
        metrics.height(),
        static_cast<int>(std::ceil(controls::checkBoxRect(QRectF(0, 0, 100, 100), font).height())) + 2);
    for (const QString& caption : {启用标题花式->caption(), 锁定各物件->caption(), 图案同步移动->caption(),
                                   宽度与高度 ? 宽度与高度->text() : QString()}) {
      if (!caption.isEmpty()) rowHeight = std::max(rowHeight, metrics.boundingRect(caption).height());
    }
    const int rows = std::max(1, strip.height() / std::max(1, rowHeight));
    placed.clear();
    std::vector<int> rowEnds;  // where the next control of each row would start
    for (QWidget* box : boxes) {
      box->setFont(font);
      const int width = box->sizeHint().width();
      if (rowEnds.empty() || (rowEnds.back() > kStripMargin && rowEnds.back() + width > limit)) {
        rowEnds.push_back(kStripMargin);
      }
      placed.push_back({box, static_cast<int>(rowEnds.size()) - 1, rowEnds.back(), width});
      rowEnds.back() += width + kStripSpacing;
    }
    for (QWidget* extra : extras) {
      extra->setFont(font);
      int width = 0;
      if (extra == 步数) {
        width = std::max(metrics.horizontalAdvance(QString(kStepDigits, QLatin1Char('0'))),
                         metrics.horizontalAdvance(步数->text())) +
                4;
      } else {
        width = metrics.horizontalAdvance(宽度与高度->text()) + 6;
      }
      const auto row =
          std::find_if(rowEnds.begin(), rowEnds.end(), [&](int end) { return end + width <= limit; });
      if (row == rowEnds.end()) {
        rowEnds.push_back(kStripMargin);
        placed.push_back({extra, static_cast<int>(rowEnds.size()) - 1, kStripMargin, width});
        rowEnds.back() += width + kStripSpacing;
      } else {
        int x = *row;
        // The size keeps to the right end of its row.
        if (extra == 宽度与高度) x = std::max(x, limit - width);
        placed.push_back({extra, static_cast<int>(row - rowEnds.begin()), x, width});
        *row = x + width + kStripSpacing;
      }
    }
    rowsUsed = static_cast<int>(rowEnds.size());
    if (rowsUsed <= rows) break;
    if (attempt + 1 == kStripFontPixels.size()) {
      // What has no row left is hidden.
      std::erase_if(placed, [&](const Placed& p) { return p.row >= rows; });
      rowsUsed = rows;
    }
  }
  const int top = strip.top() + std::max(0, (strip.height() - rowsUsed * rowHeight) / 2);
  for (QWidget* item : boxes) item->hide();
  for (QWidget* item : extras) item->hide();
  for (const Placed& p : placed) {
    p.widget->setGeometry(p.x, top + p.row * rowHeight, p.width, rowHeight);
    p.widget->show();
  }
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOutWindow();
  emit resized();
  // A resize made with the mouse on the window's frame is the user's change; one made by the
  // program (placing the windows of an opened project) is not.
  if (isVisible() && QGuiApplication::mouseButtons() != Qt::NoButton) emit changedByUser();
}

QWidget* PreviewWindow::dragTarget() {
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) return frame;
  return this;
}

bool PreviewWindow::backgroundEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      dragging_ = true;
      dragStart_ = mouse->globalPosition().toPoint();
      dragTargetStart_ = dragTarget()->pos();
      return true;
    }
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (dragging_) {
        dragTarget()->move(dragTargetStart_ + mouse->globalPosition().toPoint() - dragStart_);
      } else {
        emit backgroundMouseMove();
      }
      return true;
    }
    case QEvent::MouseButtonRelease:
      if (dragging_) {
        dragging_ = false;
        emit changedByUser();
      }
      return true;
    default:
      return false;
  }
}

bool PreviewWindow::titlePictureEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::RightButton) {
        emit titleRightClicked();
      } else if (mouse->button() == Qt::LeftButton) {
        titleDragging_ = true;
        titleDragStart_ = mouse->globalPosition().toPoint();
        titlePictureStart_ = 标题图片->pos();
      }
      return true;
    }
    case QEvent::MouseMove: {
      if (!titleDragging_) return false;
      auto* mouse = static_cast<QMouseEvent*>(event);
      QPoint to = titlePictureStart_ + mouse->globalPosition().toPoint() - titleDragStart_;
      const int keep = kTitleKeepVisible;
      to.setX(
          std::clamp(to.x(), std::min(0, keep - 标题图片->width()), std::max(0, Picture1->width() - keep)));
      to.setY(
          std::clamp(to.y(), std::min(0, keep - 标题图片->height()), std::max(0, Picture1->height() - keep)));
      标题图片->move(to);
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (!titleDragging_ || mouse->button() != Qt::LeftButton) return true;
      titleDragging_ = false;
      const QPoint from = titleStart();
      const QPoint twips(static_cast<int>(platform::toTwips(标题图片->x())),
                         static_cast<int>(platform::toTwips(标题图片->y())));
      storeTitleStart(twips);
      Picture1->clear();
      if (twips != from) emit titleDragged(from, twips);
      emit changedByUser();
      return true;
    }
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
      Picture1->update();
      return false;
    default:
      return false;
  }
}

bool PreviewWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == 标题图片) return titlePictureEvent(event);
  if (watched == Picture2) return backgroundEvent(event);
  if (watched == Picture1 && event->type() == QEvent::MouseMove) {
    showPictureBlocks();
    Picture1->unsetCursor();
    emit canvasMouseMove();
    // The move is the canvas's own: passed on to the window it would count as one over the
    // background, which hides the blocks again.
    return true;
  }
  // A drag of an image block starts from where every image block is.
  if (event->type() == QEvent::MouseButtonPress) {
    if (auto* block = dynamic_cast<PictureBlock*>(watched);
        block && block->kind() == design::PictureKind::Image) {
      imageDragStarts_.clear();
      for (PictureBlock* b : imageBlocks_) imageDragStarts_.push_back(b->pos());
    }
  }
  return QWidget::eventFilter(watched, event);
}

void PreviewWindow::mousePressEvent(QMouseEvent* event) {
  backgroundEvent(event);
}

void PreviewWindow::mouseMoveEvent(QMouseEvent* event) {
  backgroundEvent(event);
}

void PreviewWindow::mouseReleaseEvent(QMouseEvent* event) {
  backgroundEvent(event);
}

}  // namespace lumafex::preview

namespace lumafex::preview {

int PreviewWindow::lockValue() const {
  return 锁定各物件->value();
}
void PreviewWindow::setLock(int value) {
  锁定各物件->setValue(value);
}
int PreviewWindow::titleEffectValue() const {
  return 启用标题花式->value();
}
void PreviewWindow::setTitleEffect(int value) {
  启用标题花式->setValue(value);
}

}  // namespace lumafex::preview
