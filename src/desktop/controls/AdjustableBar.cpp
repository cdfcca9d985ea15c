#include "desktop/controls/AdjustableBar.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "desktop/controls/VelarnButton.h"

namespace lumafex::controls {

namespace {

QString numberText(double number) {
  if (number == 0) return QStringLiteral("0");  // also for -0
  return QString::number(number, 'g', 15);
}

// Black or white, whichever reads better on `background`.
QColor textColourOn(const QColor& background) {
  return qGray(background.rgb()) >= 128 ? QColor(0, 0, 0) : QColor(255, 255, 255);
}

QColor greyed(const QColor& colour) {
  const int grey = (qGray(colour.rgb()) + 2 * 200) / 3;
  return QColor(grey, grey, grey);
}

}  // namespace

QRectF barInnerRect(const QRectF& rect) {
  return rect.adjusted(2, 2, -2, -2);
}

void paintAdjustableBar(QPainter& painter, const BarLook& look) {
  if (look.rect.isEmpty()) return;
  painter.save();
  painter.setRenderHint(QPainter::TextAntialiasing);
  const QRectF outer = look.rect;
  const QColor back = look.enabled ? look.backColor : greyed(look.backColor);
  const QColor bar = look.enabled ? look.barColor : greyed(look.barColor).darker(125);

  // A sunken frame: dark along the top and left, light along the bottom and right.
  painter.fillRect(outer, back);
  painter.setPen(QPen(QColor(128, 128, 128), 1));
  painter.drawLine(QPointF(outer.left() + 0.5, outer.bottom() - 0.5),
                   QPointF(outer.left() + 0.5, outer.top() + 0.5));
  painter.drawLine(QPointF(outer.left() + 0.5, outer.top() + 0.5),
                   QPointF(outer.right() - 0.5, outer.top() + 0.5));
  painter.setPen(QPen(QColor(255, 255, 255), 1));
  painter.drawLine(QPointF(outer.right() - 0.5, outer.top() + 1.5),
                   QPointF(outer.right() - 0.5, outer.bottom() - 0.5));
  painter.drawLine(QPointF(outer.left() + 1.5, outer.bottom() - 0.5),
                   QPointF(outer.right() - 0.5, outer.bottom() - 0.5));

  const QRectF inner = barInnerRect(outer);
  const double fraction = std::clamp(look.fraction, 0.0, 1.0);
  const QRectF filled(inner.left(), inner.top(), std::round(inner.width() * fraction), inner.height());
  if (!filled.isEmpty()) {
    QLinearGradient gradient(filled.topLeft(), filled.bottomLeft());
    gradient.setColorAt(0, bar.lighter(125));
    gradient.setColorAt(0.5, bar);
    gradient.setColorAt(1, bar.darker(115));
    painter.fillRect(filled, gradient);
  }

  if (!look.text.isEmpty()) {
    painter.setFont(look.font);
    const QRectF rest(filled.right(), inner.top(), inner.right() - filled.right(), inner.height());
    // The text changes colour where the bar ends, so every part of it stays readable.
    painter.setClipRect(filled);
    painter.setPen(textColourOn(bar));
    painter.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, look.text);
    painter.setClipRect(rest);
    painter.setPen(textColourOn(back));
    painter.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, look.text);
    painter.setClipping(false);
  }

  if (look.focused && inner.width() > 4 && inner.height() > 4) {
    QColor frame = textColourOn(back);
    frame.setAlpha(150);
    painter.setPen(QPen(frame, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(inner.adjusted(1.5, 1.5, -1.5, -1.5));
  }
  painter.restore();
}

AdjustableBar::AdjustableBar(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void AdjustableBar::setBarColor(const QColor& colour) {
  barColor_ = colour;
  绘控件();
}

void AdjustableBar::setBackColor(const QColor& colour) {
  backColor_ = colour;
  绘控件();
}

void AdjustableBar::setShowValue(bool on) {
  showValue_ = on;
  绘控件();
}

void AdjustableBar::setMaximum(int maximum) {
  setRange(minimum_, maximum);
}

void AdjustableBar::setMinimum(int minimum) {
  setRange(minimum, maximum_);
}

void AdjustableBar::setRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  keepValueInRange();
  绘控件();
}

void AdjustableBar::setValue(double value) {
  if (std::isnan(value) || value == value_) return;
  assignValue(value);
}

void AdjustableBar::assignValue(double value) {
  value_ = value;
  emit valueChanged(value_);
  if (minimum_ <= maximum_) {
    // Each correction is a change of its own and comes back through here.
    if (value_ > maximum_) {
      assignValue(maximum_);
    } else if (value_ < minimum_) {
      assignValue(minimum_);
    }
  } else if (dialogs_ != nullptr) {
    // A reversed range holds no value: the value stays as it was set and the user is told.
    const QString message = QStringLiteral("Velarn进度条的值“") + numberText(value_) +
                            QStringLiteral("”超出最小值“") + numberText(minimum_) +
                            QStringLiteral("”与最大值“") + numberText(maximum_) + QStringLiteral("”之外！");
    dialogs_->message(message.toStdString(), platform::Buttons::Ok);
  }
  绘控件();
}

void AdjustableBar::keepValueInRange() {
  if (minimum_ > maximum_) return;
  const double inRange = std::clamp(value_, static_cast<double>(minimum_), static_cast<double>(maximum_));
  if (inRange != value_) assignValue(inRange);
}

void AdjustableBar::readProperties(const QVariantMap& bag) {
  barColor_ = bagColour(bag, QStringLiteral("进度条色"), QColor(255, 0, 0));
  backColor_ = bagColour(bag, QStringLiteral("背景色"), QColor(192, 192, 192));
  showValue_ = bagBool(bag, QStringLiteral("显示数值"), true);
  maximum_ = bagInt(bag, QStringLiteral("最大值"), 100);
  minimum_ = bagInt(bag, QStringLiteral("最小值"), 0);
  // The stored value is assigned as a change, so it is checked against the stored range.
  assignValue(bagNumber(bag, QStringLiteral("值"), 0));
}

QVariantMap AdjustableBar::writeProperties() const {
  QVariantMap bag;
  bag.insert(QStringLiteral("进度条色"), barColor_);
  bag.insert(QStringLiteral("背景色"), backColor_);
  bag.insert(QStringLiteral("显示数值"), showValue_);
  bag.insert(QStringLiteral("最大值"), maximum_);
  bag.insert(QStringLiteral("值"), value_);
  bag.insert(QStringLiteral("最小值"), minimum_);
  return bag;
}

QString AdjustableBar::barText() const {
  if (!showValue_ || maximum_ == minimum_) return {};
  return numberText(value_);
}

BarLook AdjustableBar::look() const {
  BarLook look;
  look.rect = QRectF(rect());
  look.barColor = barColor_;
  look.backColor = backColor_;
  if (maximum_ > minimum_) {
    look.fraction = std::clamp((value_ - minimum_) / (static_cast<double>(maximum_) - minimum_), 0.0, 1.0);
  }
  look.text = barText();
  look.enabled = isEnabled();
  look.focused = hasFocus();
  look.font = font();
  return look;
}

double AdjustableBar::valueAt(qreal x) const {
  if (maximum_ <= minimum_) return minimum_;
  const QRectF inner = barInnerRect(QRectF(rect()));
  if (inner.width() <= 0) return minimum_;
  const double fraction = std::clamp((x - inner.left()) / inner.width(), 0.0, 1.0);
  return minimum_ + std::round(fraction * (static_cast<double>(maximum_) - minimum_));
}

void AdjustableBar::绘控件() {
  if (!drawnLook_ || *drawnLook_ != look()) update();
  // A longer number asks the layout for the room to show it.
  if (const QSize least = minimumSizeHint(); least != laidOutMinimum_) {
    laidOutMinimum_ = least;
    updateGeometry();
  }
}

void AdjustableBar::无条件绘控件() {
  update();
}

QSize AdjustableBar::sizeHint() const {
  return QSize(160, std::max(20, static_cast<int>(std::ceil(QFontMetricsF(font()).height())) + 8));
}

QSize AdjustableBar::minimumSizeHint() const {
  // Room for the number as the bar shows it (the ends of the range and the value now), so it is
  // never cut.
  const QFontMetrics metrics(font());
  int text = 0;
  if (showValue_ && maximum_ != minimum_) {
    for (const double number : {static_cast<double>(minimum_), static_cast<double>(maximum_), value_}) {
      text = std::max(text, metrics.horizontalAdvance(numberText(number)));
    }
  }
  const int height = std::max(metrics.height(), metrics.boundingRect(QStringLiteral("0")).height());
  return QSize(std::max(24, text + 10), std::max(12, height + 4));
}

void AdjustableBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  BarLook now = look();
  paintAdjustableBar(painter, now);
  drawnLook_ = std::move(now);
}

void AdjustableBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !adjustable()) {
    QWidget::mousePressEvent(event);
    return;
  }
  dragging_ = true;
  setValue(valueAt(event->position().x()));
  event->accept();
}

void AdjustableBar::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !adjustable()) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  setValue(valueAt(event->position().x()));
  event->accept();
}

void AdjustableBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  dragging_ = false;
  if (adjustable()) setValue(valueAt(event->position().x()));
  event->accept();
}

void AdjustableBar::keyPressEvent(QKeyEvent* event) {
  if (!adjustable()) {
    QWidget::keyPressEvent(event);
    return;
  }
  const double low = minimum_;
  const double high = maximum_;
  const double page = std::max(1.0, std::round((high - low) / 10));
  double target = value_;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
      target = std::ceil(value_) - 1;
      break;
    case Qt::Key_Right:
    case Qt::Key_Up:
      target = std::floor(value_) + 1;
      break;
    case Qt::Key_PageDown:
      target = value_ - page;
      break;
    case Qt::Key_PageUp:
      target = value_ + page;
      break;
    case Qt::Key_Home:
      target = low;
      break;
    case Qt::Key_End:
      target = high;
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  setValue(std::clamp(target, low, high));
  event->accept();
}

void AdjustableBar::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  绘控件();
}

void AdjustableBar::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  绘控件();
}

}  // namespace lumafex::controls
