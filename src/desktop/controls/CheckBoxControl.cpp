#include "desktop/controls/CheckBoxControl.h"

#include <QCursor>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "desktop/controls/VelarnButton.h"

namespace lumafex::controls {

namespace {

constexpr qreal kMargin = 2;
constexpr qreal kCaptionGap = 5;

QColor mix(const QColor& a, const QColor& b) {
  return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

QColor defaultBackColor(const QWidget& widget) {
  return widget.palette().color(QPalette::Button);
}
QColor defaultForeColor(const QWidget& widget) {
  return widget.palette().color(QPalette::ButtonText);
}

}  // namespace

QRectF checkBoxRect(const QRectF& rect, const QFont& font) {
  const qreal side = std::clamp<qreal>(std::round(QFontMetricsF(font).height() * 0.8), 13, 40);
  return QRectF(rect.left() + kMargin, std::round(rect.center().y() - side / 2), side, side);
}

void paintCheckBox(QPainter& painter, const CheckBoxLook& look) {
  if (look.rect.isEmpty()) return;
  painter.save();
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  painter.fillRect(look.rect, look.backColor);

  const QRectF box = checkBoxRect(look.rect, look.font);
  QColor inside(255, 255, 255);
  if (!look.enabled) {
    inside = mix(look.backColor, QColor(236, 236, 236));
  } else if (look.pressed) {
    inside = QColor(214, 214, 214);
  }
  painter.setPen(QPen(look.enabled ? QColor(88, 88, 88) : QColor(150, 150, 150), 1));
  painter.setBrush(inside);
  painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);

  if (look.checked) {
    QPainterPath tick;
    tick.moveTo(box.left() + box.width() * 0.22, box.top() + box.height() * 0.52);
    tick.lineTo(box.left() + box.width() * 0.42, box.top() + box.height() * 0.74);
    tick.lineTo(box.left() + box.width() * 0.79, box.top() + box.height() * 0.28);
    const QColor ink = look.enabled ? QColor(24, 24, 24) : QColor(140, 140, 140);
    painter.setPen(
        QPen(ink, std::max<qreal>(1.6, box.width() / 7), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
  }

  const QRectF captionArea(box.right() + kCaptionGap, look.rect.top(),
                           std::max<qreal>(0, look.rect.right() - box.right() - kCaptionGap),
                           look.rect.height());
  painter.setFont(look.font);
  painter.setPen(look.enabled ? look.foreColor : mix(look.foreColor, look.backColor));
  QRectF drawn;
  painter.drawText(captionArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, look.caption, &drawn);

  if (look.focused) {
    const QRectF frame =
        look.caption.isEmpty() ? box.adjusted(-1.5, -1.5, 1.5, 1.5) : drawn.adjusted(-2, 0, 2, 0);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(look.foreColor, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.toAlignedRect().adjusted(0, 0, -1, -1).intersected(look.rect.toAlignedRect()));
  }
  painter.restore();
}

CheckBoxControl::CheckBoxControl(QWidget* parent)
    : QWidget(parent),
      caption_(QStringLiteral("Check")),
      backColor_(defaultBackColor(*this)),
      foreColor_(defaultForeColor(*this)) {
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
}

CheckBoxControl::CheckBoxControl(const QString& caption, QWidget* parent) : CheckBoxControl(parent) {
  caption_ = caption;
}

void CheckBoxControl::setValue(int value) {
  const int normalised = value != 0 ? 1 : 0;
  if (normalised == value_) return;
  value_ = normalised;
  update();
  emit valueChanged(value_);
}

void CheckBoxControl::setCaption(const QString& caption) {
  caption_ = caption;
  updateGeometry();
  update();
}

void CheckBoxControl::setBackColor(const QColor& colour) {
  backColor_ = colour;
  update();
}

void CheckBoxControl::setForeColor(const QColor& colour) {
  foreColor_ = colour;
  update();
}

void CheckBoxControl::readProperties(const QVariantMap& bag) {
  setValue(bagInt(bag, QStringLiteral("Check_值"), 0));
  setEnabled(bagBool(bag, QStringLiteral("Enabled"), true));
  setCaption(bagString(bag, QStringLiteral("Caption"), QStringLiteral("Check")));
  setBackColor(bagColour(bag, QStringLiteral("背景颜色"), defaultBackColor(*this)));
  setForeColor(bagColour(bag, QStringLiteral("文字颜色"), defaultForeColor(*this)));
}

QVariantMap CheckBoxControl::writeProperties() const {
  QVariantMap bag;
  bag.insert(QStringLiteral("Check_值"), value_);
  bag.insert(QStringLiteral("Enabled"), isEnabled());
  bag.insert(QStringLiteral("Caption"), caption_);
  bag.insert(QStringLiteral("背景颜色"), backColor_);
  bag.insert(QStringLiteral("文字颜色"), foreColor_);
  return bag;
}

CheckBoxLook CheckBoxControl::look() const {
  CheckBoxLook look;
  look.rect = QRectF(rect());
  look.checked = value_ != 0;
  look.enabled = isEnabled();
  look.pressed = pressedLook_;
  look.focused = hasFocus();
  look.caption = caption_;
  look.backColor = backColor_;
  look.foreColor = foreColor_;
  look.font = font();
  return look;
}

void CheckBoxControl::Click_操作() {
  setValue(value_ == 0 ? 1 : 0);
  emit clicked();
}

void CheckBoxControl::鼠标位置检测与响应() {
  const bool pressed = mouseDown_ && rect().contains(mapFromGlobal(QCursor::pos()));
  if (pressed != pressedLook_) {
    pressedLook_ = pressed;
    update();
  }
}

void CheckBoxControl::鼠标焦点回应() {
  update();
}

QSize CheckBoxControl::sizeHint() const {
  const QFontMetricsF metrics(font());
  const QRectF box = checkBoxRect(QRectF(0, 0, 100, 100), font());
  const qreal width = kMargin + box.width() + kCaptionGap + metrics.horizontalAdvance(caption_) + 4;
  const qreal height = std::max(box.height(), metrics.height()) + 6;
  return QSize(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)));
}

QSize CheckBoxControl::minimumSizeHint() const {
  const QRectF box = checkBoxRect(QRectF(0, 0, 100, 100), font());
  return QSize(static_cast<int>(box.width() + 2 * kMargin), static_cast<int>(box.height() + 2));
}

void CheckBoxControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintCheckBox(painter, look());
}

void CheckBoxControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  mouseDown_ = true;
  pressedLook_ = true;
  update();
  event->accept();
}

void CheckBoxControl::mouseMoveEvent(QMouseEvent* event) {
  if (!mouseDown_) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  const bool inside = rect().contains(event->position().toPoint());
  if (inside != pressedLook_) {
    pressedLook_ = inside;
    update();
  }
  event->accept();
}

void CheckBoxControl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !mouseDown_) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  mouseDown_ = false;
  pressedLook_ = false;
  update();
  event->accept();
  if (rect().contains(event->position().toPoint())) Click_操作();
}

void CheckBoxControl::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  const bool blank =
      event->key() == Qt::Key_Space || text == QStringLiteral(" ") || text == QStringLiteral("　");
  if (blank && (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::NoModifier) {
    if (!event->isAutoRepeat()) Click_操作();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void CheckBoxControl::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  鼠标焦点回应();
}

void CheckBoxControl::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  鼠标焦点回应();
}

void CheckBoxControl::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled()) {
    mouseDown_ = false;
    pressedLook_ = false;
  }
  if (event->type() == QEvent::FontChange) updateGeometry();
  QWidget::changeEvent(event);
}

}  // namespace lumafex::controls
