#include "desktop/artwork/ArtworkWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPushButton>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QTimer>
#include <QUndoCommand>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/artwork/ArtworkChannels.h"
#include "core/design/Project.h"
#include "core/design/TitleEffect.h"
#include "core/platform/Dialogs.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"
#include "render/QtStrings.h"
#include "render/artwork/ArtworkExport.h"

namespace lumafex::artwork {

using platform::qs;
using platform::us;
namespace fs = std::filesystem;

namespace {

constexpr int kResizeDelayMs = 120;
// A press that moves farther than this (pixels of the view) is a drag, not a click.
constexpr int kDragDistance = 6;
constexpr const char* kArtworkFilter = "实物图 (*.svg *.png *.jpg *.jpeg)|*.svg;*.png;*.jpg;*.jpeg";

// One edit of the map: the map before and after.
class MapEditCommand : public QUndoCommand {
 public:
  MapEditCommand(ArtworkWindow& window, ChannelMap before, ChannelMap after, const QString& text)
      : QUndoCommand(text), window_(window), before_(std::move(before)), after_(std::move(after)) {}
  void redo() override { window_.applyMap(after_); }
  void undo() override { window_.applyMap(before_); }

 private:
  ArtworkWindow& window_;
  ChannelMap before_;
  ChannelMap after_;
};

}  // namespace

// The artwork's canvas: the frame fitted into the widget, and in mapping mode the outlines of the
// unmapped elements, the channel of each mapped one and what is being drawn.
class ArtworkView : public QWidget {
 public:
  explicit ArtworkView(ArtworkWindow& window) : QWidget(&window), window_(window) {
    setObjectName(QStringLiteral("实物画面"));
    setMinimumSize(160, 90);
    setMouseTracking(false);
    setFocusPolicy(Qt::ClickFocus);
  }

  // The frame's rectangle in the widget and the factor from artwork pixels to widget pixels.
  QRectF frameRect() const {
    if (!window_.scene_) return {};
    const QSizeF doc = QSizeF(window_.scene_->document.size());
    const QSizeF fitted = doc.scaled(QSizeF(size()), Qt::KeepAspectRatio);
    return QRectF(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
  }
  double factor() const {
    if (!window_.scene_ || window_.scene_->document.size().width() <= 0) return 1;
    return frameRect().width() / window_.scene_->document.size().width();
  }
  QPointF toArtwork(QPointF p) const { return (p - frameRect().topLeft()) / factor(); }
  QPointF toView(QPointF p) const { return p * factor() + frameRect().topLeft(); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0));
    if (!window_.scene_) {
      p.setPen(QColor(200, 200, 200));
      p.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, window_.problem_);
      return;
    }
    // While a resize settles the last frame is stretched; the new size is drawn once it has.
    const QImage frame = window_.paintedFrame();
    const QRectF area = frameRect();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(area, frame);
    if (!window_.映射模式->isChecked()) return;
    p.setRenderHint(QPainter::Antialiasing);
    const auto& scene = *window_.scene_;
    const double f = factor();
    const auto rectInView = [&](const QRectF& r) { return QRectF(toView(r.topLeft()), r.size() * f); };
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.85));
    p.setFont(small);
    for (std::size_t i = 0; i < scene.document.elements().size(); ++i) {
      const QRectF b = window_.boundsOf(static_cast<int>(i));
      if (b.isEmpty() && b.width() <= 0 && b.height() <= 0) continue;
      const bool mapped = i < scene.channels.size() && scene.channels[i].has_value();
      if (!scene.document.drawable(i)) continue;
      if (!mapped) {
        p.setPen(QPen(QColor(255, 170, 0), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rectInView(b).adjusted(-2, -2, 2, 2));
      }
    }
    // The channel of each mapped element or group with an id of its own in the map or its name.
    for (std::size_t i = 0; i < scene.document.elements().size(); ++i) {
      const auto& e = scene.document.elements()[i];
      const bool own = !e.id.isEmpty() &&
                       (scene.map.entryFor(us(e.id)) || ownChannel({us(e.id), us(e.label), -1, e.group}));
      if (!own || i >= scene.channels.size() || !scene.channels[i]) continue;
      const QRectF b = rectInView(window_.boundsOf(static_cast<int>(i)));
      const QString text = qs(channelName(*scene.channels[i]));
      const QRectF label(b.topLeft() + QPointF(0, -14),
                         QSizeF(QFontMetricsF(small).horizontalAdvance(text) + 6, 14));
      p.fillRect(label, QColor(0, 0, 0, 170));
      p.setPen(QColor(255, 255, 255));
      p.drawText(label, Qt::AlignCenter, text);
    }
    for (const auto& s : scene.map.shapes) {
      if (s.points.empty()) continue;
      const QPointF at = toView(QPointF(s.points.front().x, s.points.front().y));
      const QString text = qs(channelName(s.channel));
      p.fillRect(QRectF(at + QPointF(4, -16), QSizeF(QFontMetricsF(small).horizontalAdvance(text) + 6, 14)),
                 QColor(0, 0, 0, 170));
      p.setPen(QColor(255, 255, 255));
      p.drawText(QRectF(at + QPointF(4, -16), QSizeF(QFontMetricsF(small).horizontalAdvance(text) + 6, 14)),
                 Qt::AlignCenter, text);
    }
    // The elements clicked for numbering, with their order.
    int n = 0;
    for (int index : window_.collected_) {
      const QRectF b = rectInView(window_.boundsOf(index)).adjusted(-3, -3, 3, 3);
      p.setPen(QPen(QColor(0, 220, 255), 2));
      p.setBrush(Qt::NoBrush);
      p.drawRect(b);
      p.drawText(b.topRight() + QPointF(3, 0), QString::number(++n));
    }
    const auto drawPolyline = [&](const std::vector<Point>& points, const QColor& colour) {
      if (points.empty()) return;
      QPolygonF line;
      for (const Point& pt : points) line << toView(QPointF(pt.x, pt.y));
      p.setPen(QPen(colour, 2));
      p.drawPolyline(line);
      for (const QPointF& pt : line) p.drawEllipse(pt, 3, 3);
    };
    drawPolyline(window_.numberingLine_, QColor(0, 220, 255));
    drawPolyline(window_.shapeInProgress_, QColor(255, 255, 255));
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) window_.pressAt(toArtwork(event->position()), false);
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) window_.pressAt(toArtwork(event->position()), true);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (event->buttons() & Qt::LeftButton) window_.dragTo(toArtwork(event->position()));
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) window_.releaseAt(toArtwork(event->position()));
  }

 private:
  ArtworkWindow& window_;
};

ArtworkWindow::ArtworkWindow(ArtworkWindowContext context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
  setObjectName(QStringLiteral("实物效果"));
  setWindowTitle(QStringLiteral("实物效果"));
  resizeTimer_ = new QTimer(this);
  resizeTimer_->setSingleShot(true);
  resizeTimer_->setInterval(kResizeDelayMs);
  connect(resizeTimer_, &QTimer::timeout, this, [this] { rebuildRenderer(); });
  layoutTimer_ = new QTimer(this);
  layoutTimer_->setSingleShot(true);
  layoutTimer_->setInterval(kResizeDelayMs);
  connect(layoutTimer_, &QTimer::timeout, this, [this] {
    const auto layout = layoutOfProject();
    if (!scene_ || !layout) {
      if (!scene_ && layout) reload();
      return;
    }
    const auto& old = scene_->layout;
    if (old.tubeChannels == layout->tubeChannels && old.lineChannels == layout->lineChannels &&
        old.titleChannels == layout->titleChannels && old.colourCount == layout->colourCount &&
        old.tubeColours == layout->tubeColours && old.titleColour == layout->titleColour) {
      return;
    }
    scene_->layout = *layout;
    lit_.clear();
    updateLit();
    rebuildRenderer();
    updateInfo();
  });
  undo_.setObjectName(QStringLiteral("实物映射撤销"));
  buildControls();
  resize(640, 420);
}

ArtworkWindow::~ArtworkWindow() = default;

void ArtworkWindow::buildControls() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  实物画面 = new ArtworkView(*this);
  layout->addWidget(实物画面, 1);

  auto* row = new QHBoxLayout;
  映射模式 = new QCheckBox(QStringLiteral("映射"), this);
  映射模式->setObjectName(QStringLiteral("映射模式"));
  映射模式->setToolTip(QStringLiteral("点击元素（照片上：画出灯管）并输入它的路号"));
  选择组 = new QCheckBox(QStringLiteral("选组"), this);
  选择组->setObjectName(QStringLiteral("选择组"));
  选择组->setToolTip(QStringLiteral("点击选中元素所在的组"));
  编号方式 = new QComboBox(this);
  编号方式->setObjectName(QStringLiteral("编号方式"));
  编号方式->addItems({QStringLiteral("点击顺序"), QStringLiteral("从左到右"), QStringLiteral("从上到下"),
                      QStringLiteral("沿画线")});
  编号方式->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  起始路 = new QSpinBox(this);
  起始路->setObjectName(QStringLiteral("起始路"));
  起始路->setPrefix(QStringLiteral("从路"));
  起始路->setRange(1, kMaxChannel);
  依次编号 = new QPushButton(QStringLiteral("依次编号"), this);
  依次编号->setObjectName(QStringLiteral("依次编号"));
  依次编号->setCheckable(true);
  依次编号->setToolTip(QStringLiteral("按下后依次点击元素（沿画线：拖出一条线），再按一次编号"));
  画法 = new QComboBox(this);
  画法->setObjectName(QStringLiteral("画法"));
  画法->addItems({QStringLiteral("画线"), QStringLiteral("画面")});
  线宽 = new QSpinBox(this);
  线宽->setObjectName(QStringLiteral("线宽"));
  线宽->setPrefix(QStringLiteral("宽"));
  线宽->setRange(1, 500);
  线宽->setValue(12);
  撤销 = new QPushButton(QStringLiteral("撤销"), this);
  撤销->setObjectName(QStringLiteral("撤销映射"));
  撤销->setEnabled(false);
  重做 = new QPushButton(QStringLiteral("重做"), this);
  重做->setObjectName(QStringLiteral("重做映射"));
  重做->setEnabled(false);
  导出 = new QPushButton(QStringLiteral("导出…"), this);
  导出->setObjectName(QStringLiteral("导出实物效果"));
  for (QWidget* w : std::initializer_list<QWidget*>{映射模式, 选择组, 编号方式, 起始路, 依次编号, 画法, 线宽,
                                                    撤销, 重做}) {
    row->addWidget(w);
  }
  row->addStretch(1);
  row->addWidget(导出);
  layout->addLayout(row);
  未显示的路 = new QLabel(this);
  未显示的路->setObjectName(QStringLiteral("未显示的路"));
  未显示的路->setWordWrap(true);
  实物提示 = new QLabel(this);
  实物提示->setObjectName(QStringLiteral("实物提示"));
  实物提示->setWordWrap(true);
  layout->addWidget(未显示的路);
  layout->addWidget(实物提示);

  connect(撤销, &QPushButton::clicked, &undo_, &QUndoStack::undo);
  connect(重做, &QPushButton::clicked, &undo_, &QUndoStack::redo);
  connect(&undo_, &QUndoStack::canUndoChanged, 撤销, &QPushButton::setEnabled);
  connect(&undo_, &QUndoStack::canRedoChanged, 重做, &QPushButton::setEnabled);
  connect(导出, &QPushButton::clicked, this, [this] {
    if (context_.exportAnimation) context_.exportAnimation();
  });
  connect(映射模式, &QCheckBox::toggled, this, [this](bool on) {
    if (!on) {
      依次编号->setChecked(false);
      shapeInProgress_.clear();
    }
    updateInfo();
    实物画面->update();
  });
  connect(依次编号, &QPushButton::toggled, this, [this](bool on) {
    if (on) {
      映射模式->setChecked(true);
      collected_.clear();
      numberingLine_.clear();
    } else {
      numberCollected();
    }
    updateInfo();
    实物画面->update();
  });
}

void ArtworkWindow::reload() {
  scene_.reset();
  renderer_.reset();
  bounds_.clear();
  collected_.clear();
  numberingLine_.clear();
  shapeInProgress_.clear();
  undo_.clear();
  problem_.clear();
  const QString dir = context_.projectDirectory ? context_.projectDirectory() : QString();
  const auto layout = layoutOfProject();
  if (!layout || dir.isEmpty()) {
    problem_ = QStringLiteral("请先打开或保存工程，再用 文件 → 导入实物图… 导入招牌的实物图。");
  } else {
    auto scene = render::loadArtworkScene(platform::pathFromUtf8(us(dir)), *layout);
    if (!scene) {
      problem_ = qs(scene.error()) + QStringLiteral("\n文件 → 导入实物图… 可导入招牌的SVG图或照片。");
    } else {
      scene_ = std::make_unique<render::ArtworkScene>(std::move(*scene));
      computeBounds();
    }
  }
  updateLit();
  rebuildRenderer();
  updateInfo();
}

std::optional<render::ChannelLayout> ArtworkWindow::layoutOfProject() const {
  const design::Project* project = context_.project ? context_.project() : nullptr;
  if (!project) return std::nullopt;
  const auto& s = project->settings;
  const int imageChannels = s.tubesOn == 1 && s.imagesOn == 1 ? project->pictures.imageCount : 0;
  const int titleCharacters = static_cast<int>(platform::utf8Length(design::acceptedTitle(s.title)));
  return render::channelLayoutOf(s, imageChannels, titleCharacters);
}

void ArtworkWindow::projectChanged() {
  layoutTimer_->start();
}

void ArtworkWindow::computeBounds() {
  bounds_.assign(scene_ ? scene_->document.elements().size() : 0, QRectF());
  if (!scene_ || scene_->document.kind() != render::ArtworkDocument::Kind::Svg) return;
  QSvgRenderer svg;
  if (!render::ArtworkDocument::loadSvg(svg, scene_->document.svg())) return;
  const QRectF box = svg.viewBoxF();
  const QSizeF size(scene_->document.size());
  const double sx = box.width() > 0 ? size.width() / box.width() : 1;
  const double sy = box.height() > 0 ? size.height() / box.height() : 1;
  const auto& elements = scene_->document.elements();
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const QString& id = elements[i].id;
    if (id.isEmpty() || !svg.elementExists(id)) continue;
    const QRectF b = svg.transformForElement(id).mapRect(svg.boundsOnElement(id));
    bounds_[i] = QRectF((b.x() - box.x()) * sx, (b.y() - box.y()) * sy, b.width() * sx, b.height() * sy);
  }
}

QRectF ArtworkWindow::boundsOf(int element) const {
  if (element < 0 || static_cast<std::size_t>(element) >= bounds_.size()) return {};
  return bounds_[static_cast<std::size_t>(element)];
}

void ArtworkWindow::rebuildRenderer() {
  renderer_.reset();
  frameStale_ = true;
  if (scene_) {
    renderer_ = std::make_unique<render::ArtworkRenderer>(*scene_, fittedSize());
  }
  实物画面->update();
}

void ArtworkWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  resizeTimer_->start();
}

void ArtworkWindow::showStep(const QString& tubes, const QString& images) {
  line_ = (tubes + images).toLatin1().toStdString();
  updateLit();
}

void ArtworkWindow::showTitleState(const QString& state) {
  titleState_ = state;
  updateLit();
}

void ArtworkWindow::updateLit() {
  if (!scene_) return;
  auto lit = render::chipChannelsOf(scene_->layout, line_, titleState_);
  if (lit == lit_ && !frameStale_) return;
  lit_ = std::move(lit);
  frameStale_ = true;
  if (isVisible()) 实物画面->update();
}

QImage ArtworkWindow::currentFrame() {
  if (scene_ && (!renderer_ || renderer_->size() != fittedSize())) {
    resizeTimer_->stop();
    rebuildRenderer();
  }
  return paintedFrame();
}

QSize ArtworkWindow::fittedSize() const {
  if (!scene_) return {};
  return QSizeF(scene_->document.size())
      .scaled(QSizeF(实物画面->size()), Qt::KeepAspectRatio)
      .toSize()
      .expandedTo(QSize(1, 1));
}

QImage ArtworkWindow::paintedFrame() {
  if (!renderer_) {
    if (scene_) rebuildRenderer();
    if (!renderer_) return {};
  }
  if (frameStale_ || frame_.size() != renderer_->size()) {
    renderer_->render(frame_, lit_);
    frameStale_ = false;
  }
  return frame_;
}

void ArtworkWindow::updateInfo() {
  if (!scene_) {
    未显示的路->setText(QString());
    实物提示->setText(problem_);
    return;
  }
  const auto missing = scene_->missingChannels();
  未显示的路->setText(missing.empty() ? QStringLiteral("工程的每一路都在实物图上。")
                                      : QStringLiteral("实物图上没有的路：") + qs(channelListText(missing)));
  QStringList hints;
  for (const auto& w : scene_->warnings()) hints << qs(w);
  if (映射模式->isChecked()) {
    if (依次编号->isChecked()) {
      hints << QStringLiteral("依次点击要编号的元素（沿画线：拖出一条线），再按“依次编号”。");
    } else if (scene_->document.kind() == render::ArtworkDocument::Kind::Photo) {
      hints << QStringLiteral("点击画出灯管，双击或回车结束并输入路号；点击已画的灯管可改路号。");
    } else {
      hints << QStringLiteral("点击元素输入路号；虚线框是没有接路的元素。");
    }
  }
  实物提示->setText(hints.join(QLatin1Char('\n')));
}

std::optional<QPoint> ArtworkWindow::viewPointOfElement(const QString& id) const {
  if (!scene_) return std::nullopt;
  const int index = scene_->document.indexOf(id);
  const QRectF b = boundsOf(index);
  if (index < 0 || (b.width() <= 0 && b.height() <= 0)) return std::nullopt;
  return viewPointOf(b.center());
}

QPoint ArtworkWindow::viewPointOf(QPointF artworkPixel) const {
  return 实物画面->toView(artworkPixel).toPoint();
}

int ArtworkWindow::elementAt(QPointF at) const {
  if (!scene_) return -1;
  const bool groups = 选择组->isChecked();
  int best = -1;
  double bestArea = 0;
  const auto& elements = scene_->document.elements();
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (elements[i].group != groups || elements[i].id.isEmpty()) continue;
    // A thin line's box is widened a little so that it can be hit.
    const QRectF b = boundsOf(static_cast<int>(i)).adjusted(-3, -3, 3, 3);
    if (!b.contains(at)) continue;
    const double area = b.width() * b.height();
    if (best < 0 || area < bestArea) {
      best = static_cast<int>(i);
      bestArea = area;
    }
  }
  return best;
}

int ArtworkWindow::shapeAt(QPointF at) const {
  if (!scene_) return -1;
  const auto& shapes = scene_->map.shapes;
  for (std::size_t i = shapes.size(); i-- > 0;) {
    QPainterPath path;
    const auto& s = shapes[i];
    path.moveTo(s.points.front().x, s.points.front().y);
    for (std::size_t k = 1; k < s.points.size(); ++k) path.lineTo(s.points[k].x, s.points[k].y);
    if (s.kind == Shape::Kind::Area) {
      path.closeSubpath();
      if (path.contains(at)) return static_cast<int>(i);
    } else {
      QPainterPathStroker stroker;
      stroker.setWidth(std::max(6.0, s.width));
      if (stroker.createStroke(path).contains(at)) return static_cast<int>(i);
    }
  }
  return -1;
}

std::optional<int> ArtworkWindow::askChannel(const std::string& what, std::optional<int> current) {
  const std::string prompt =
      what + "的路号（1到" + std::to_string(scene_->layout.channelCount()) + "；空白：不接任何一路）：";
  const auto answer =
      context_.dialogs->input(prompt, "实物效果", current ? std::to_string(*current) : std::string());
  if (!answer) return std::nullopt;  // cancelled
  std::string text = us(qs(*answer).trimmed());
  if (text.empty()) return 0;
  if (std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) text = "路" + text;
  const auto channel = channelOfName(text);
  if (!channel) {
    context_.dialogs->message("“" + *answer + "”不是路号。");
    return std::nullopt;
  }
  return channel;
}

void ArtworkWindow::pressAt(QPointF at, bool doubleClick) {
  if (!scene_ || !映射模式->isChecked()) return;
  const bool photo = scene_->document.kind() == render::ArtworkDocument::Kind::Photo;
  if (photo && !依次编号->isChecked()) {
    if (doubleClick) {
      // The press before a double click put its point already; a double click alone puts it now.
      if (!shapeInProgress_.empty() &&
          QLineF(QPointF(shapeInProgress_.back().x, shapeInProgress_.back().y), at).length() *
                  实物画面->factor() >=
              2) {
        shapeInProgress_.push_back({at.x(), at.y()});
      }
      finishShape();
      return;
    }
    if (shapeInProgress_.empty()) {
      if (const int s = shapeAt(at); s >= 0) {
        const Shape shape = scene_->map.shapes[static_cast<std::size_t>(s)];
        const auto channel = askChannel("这根灯管", shape.channel);
        if (!channel) return;
        ChannelMap after = scene_->map;
        if (*channel == 0) {
          after.shapes.erase(after.shapes.begin() + s);
          editMap(after, QStringLiteral("删除灯管"));
        } else if (*channel != shape.channel) {
          after.shapes[static_cast<std::size_t>(s)].channel = *channel;
          editMap(after, QStringLiteral("改路号"));
        }
        return;
      }
    }
    shapeInProgress_.push_back({at.x(), at.y()});
    实物画面->update();
    return;
  }
  if (doubleClick) return;
  pressPoint_ = at;
  dragging_ = false;
}

void ArtworkWindow::dragTo(QPointF at) {
  if (!pressPoint_ || !依次编号->isChecked()) return;
  const double f = 实物画面->factor();
  if (!dragging_ && QLineF(*pressPoint_, at).length() * f >= kDragDistance) {
    dragging_ = true;
    numberingLine_ = {{pressPoint_->x(), pressPoint_->y()}};
  }
  if (dragging_) {
    numberingLine_.push_back({at.x(), at.y()});
    实物画面->update();
  }
}

void ArtworkWindow::releaseAt(QPointF at) {
  if (!pressPoint_) return;
  const QPointF pressed = *pressPoint_;
  pressPoint_.reset();
  if (dragging_) {
    dragging_ = false;
    if (编号方式->currentIndex() != 3) 编号方式->setCurrentIndex(3);  // a drawn line numbers along it
    return;
  }
  Q_UNUSED(at);
  const int element = elementAt(pressed);
  if (element < 0) return;
  if (依次编号->isChecked()) {
    auto it = std::find(collected_.begin(), collected_.end(), element);
    if (it == collected_.end()) {
      collected_.push_back(element);
    } else {
      collected_.erase(it);
    }
    实物画面->update();
    return;
  }
  const auto& e = scene_->document.elements()[static_cast<std::size_t>(element)];
  const auto current = static_cast<std::size_t>(element) < scene_->channels.size()
                           ? scene_->channels[static_cast<std::size_t>(element)]
                           : std::nullopt;
  const auto channel = askChannel("元素“" + us(e.id) + "”", current);
  if (!channel) return;
  ChannelMap after = scene_->map;
  if (*channel == 0) {
    // Blank: the element lights with no channel, whatever its name says.
    after.assign(us(e.id), std::nullopt);
  } else {
    after.assign(us(e.id), *channel);
  }
  if (!(after == scene_->map)) editMap(after, QStringLiteral("接路"));
}

void ArtworkWindow::finishShape() {
  std::vector<Point> points = std::move(shapeInProgress_);
  shapeInProgress_.clear();
  // A double click repeats the last point.
  if (points.size() >= 2 && points[points.size() - 1] == points[points.size() - 2]) points.pop_back();
  const bool area = 画法->currentIndex() == 1;
  if (points.size() < (area ? 3u : 2u)) {
    实物画面->update();
    context_.dialogs->message(area ? "一块灯管至少要点3个点。" : "一根灯管至少要点2个点。");
    return;
  }
  const auto channel = askChannel("这根灯管", std::nullopt);
  实物画面->update();
  if (!channel || *channel == 0) return;
  ChannelMap after = scene_->map;
  Shape shape;
  shape.kind = area ? Shape::Kind::Area : Shape::Kind::Line;
  shape.channel = *channel;
  shape.width = 线宽->value();
  shape.points = std::move(points);
  after.shapes.push_back(std::move(shape));
  editMap(after, QStringLiteral("画灯管"));
}

void ArtworkWindow::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !shapeInProgress_.empty()) {
    finishShape();
    return;
  }
  if (event->key() == Qt::Key_Escape && (!shapeInProgress_.empty() || !collected_.empty())) {
    shapeInProgress_.clear();
    collected_.clear();
    numberingLine_.clear();
    实物画面->update();
    return;
  }
  QWidget::keyPressEvent(event);
}

void ArtworkWindow::numberCollected() {
  if (!scene_) return;
  const auto order = static_cast<NumberingOrder>(编号方式->currentIndex());
  std::vector<int> elements = collected_;
  if (elements.empty() && order != NumberingOrder::Clicks) {
    // Nothing clicked: every unmapped element that can be mapped.
    const auto& all = scene_->document.elements();
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (!all[i].group && !all[i].id.isEmpty() && !scene_->channels[i] &&
          !boundsOf(static_cast<int>(i)).isNull()) {
        elements.push_back(static_cast<int>(i));
      }
    }
  }
  collected_.clear();
  const std::vector<Point> line = std::move(numberingLine_);
  numberingLine_.clear();
  if (elements.empty()) return;
  std::vector<Box> boxes;
  for (int e : elements) {
    const QRectF b = boundsOf(e);
    boxes.push_back({b.x(), b.y(), b.width(), b.height()});
  }
  if (order == NumberingOrder::AlongLine && line.size() < 2) {
    context_.dialogs->message("请先在实物图上拖出一条线。");
    return;
  }
  ChannelMap after = scene_->map;
  int channel = 起始路->value();
  for (std::size_t k : numberingOrder(boxes, order, line)) {
    if (channel > kMaxChannel) break;
    after.assign(us(scene_->document.elements()[static_cast<std::size_t>(elements[k])].id), channel++);
  }
  editMap(after, QStringLiteral("依次编号"));
  起始路->setValue(std::min(channel, kMaxChannel));
}

void ArtworkWindow::editMap(const ChannelMap& after, const QString& text) {
  if (!scene_) return;
  undo_.push(new MapEditCommand(*this, scene_->map, after, text));
}

void ArtworkWindow::applyMap(const ChannelMap& map) {
  if (!scene_) return;
  const QString dir = context_.projectDirectory ? context_.projectDirectory() : QString();
  if (!dir.isEmpty()) {
    const auto file = platform::pathFromUtf8(us(dir)) / platform::pathFromUtf8(kChannelMapFile);
    if (auto s = writeChannelMap(file, map); !s) context_.dialogs->message(s.error());
  }
  scene_->map = map;
  scene_->mapProblems.clear();
  scene_->resolve();
  rebuildRenderer();
  updateLit();
  updateInfo();
}

bool ArtworkWindow::importArtwork() {
  const QString dir = context_.projectDirectory ? context_.projectDirectory() : QString();
  if (dir.isEmpty()) {
    context_.dialogs->message("请先保存工程。");
    return false;
  }
  const auto chosen = context_.dialogs->openFile("导入实物图", us(dir), kArtworkFilter);
  if (!chosen) return false;
  const auto source = platform::pathFromUtf8(*chosen);
  auto document = render::ArtworkDocument::load(source);
  if (!document) {
    context_.dialogs->message(document.error());
    return false;
  }
  const std::string name = document->kind() == render::ArtworkDocument::Kind::Svg ? kArtworkSvgFile
                           : QFileInfo(qs(*chosen)).suffix().toLower() == QLatin1StringView("png")
                               ? kArtworkPngFile
                               : kArtworkJpgFile;
  const auto directory = platform::pathFromUtf8(us(dir));
  const auto target = directory / platform::pathFromUtf8(name);
  std::error_code ec;
  if (fs::equivalent(source, target, ec)) {
    reload();
    return true;
  }
  if (const auto existing = render::ArtworkDocument::find(directory)) {
    if (context_.dialogs->message(
            "工程中已有实物图“" + platform::pathToUtf8(existing->filename()) + "”，是否替换它？",
            platform::Buttons::YesNo, platform::Answer::Yes) != platform::Answer::Yes) {
      return false;
    }
  }
  auto bytes = platform::readBytes(source, std::uintmax_t{256} * 1024 * 1024);
  if (!bytes) {
    context_.dialogs->message(bytes.error());
    return false;
  }
  fs::create_directories(directory, ec);
  if (auto s = platform::writeBytesSafely(target, *bytes); !s) {
    context_.dialogs->message(s.error());
    return false;
  }
  // Only one artwork in a project: the others of other kinds go.
  for (const char* other : {kArtworkSvgFile, kArtworkPngFile, kArtworkJpgFile}) {
    if (other != name) fs::remove(directory / platform::pathFromUtf8(other), ec);
  }
  reload();
  return true;
}

}  // namespace lumafex::artwork
