#pragma once
// AdjustableBar: the adjustable horizontal progress bar ("可调水平进度条") that the windows use as a
// value slider (the speed, for one). It fills the part of its width that the value takes of the range
// Min..max, shows the value as text, and is adjusted with the mouse and the keyboard.

#include <QColor>
#include <QFont>
#include <QString>
#include <QVariantMap>
#include <QWidget>

#include <optional>

#include "core/platform/Dialogs.h"

class QPainter;

namespace lumafex::controls {

// Everything that decides how the bar looks; paintAdjustableBar draws it on any painter.
struct BarLook {
  QRectF rect;
  QColor barColor;
  QColor backColor;
  double fraction = 0;  // 0..1, the filled part of the width
  QString text;         // empty: no text
  bool enabled = true;
  bool focused = false;
  QFont font;

  bool operator==(const BarLook&) const = default;
};

void paintAdjustableBar(QPainter& painter, const BarLook& look);
// The inner rectangle of the bar (inside its sunken frame): the part that fills and that the mouse
// position is measured against.
QRectF barInnerRect(const QRectF& rect);

class AdjustableBar : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QColor barColor READ barColor WRITE setBarColor)
  Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)
  Q_PROPERTY(bool showValue READ showValue WRITE setShowValue)
  Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
  Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged USER true)
  Q_PROPERTY(int minimum READ minimum WRITE setMinimum)

 public:
  explicit AdjustableBar(QWidget* parent = nullptr);

  QColor barColor() const { return barColor_; }
  void setBarColor(const QColor& colour);
  QColor backColor() const { return backColor_; }
  void setBackColor(const QColor& colour);
  bool showValue() const { return showValue_; }
  void setShowValue(bool on);
  int maximum() const { return maximum_; }
  int minimum() const { return minimum_; }
  // Changing the range brings a value outside it back into it (one valueChanged), as long as the
  // range is not reversed; a reversed range is reported only when a value is set.
  void setMaximum(int maximum);
  void setMinimum(int minimum);
  void setRange(int minimum, int maximum);

  double value() const { return value_; }
  // A change of the value emits valueChanged, then brings the value into Min..max (which is another
  // change and emits again) and draws. A value that cannot be brought into the range (Min > max) is
  // kept and reported through the dialogs. Setting the current value again, or NaN, does nothing.
  void setValue(double value);

  // Where range messages go; none are shown while no dialogs are set.
  void setDialogs(platform::Dialogs* dialogs) { dialogs_ = dialogs; }

  // The property bag: keys "进度条色", "背景色", "显示数值", "最大值", "值", "最小值".
  void readProperties(const QVariantMap& bag);
  QVariantMap writeProperties() const;

  // The text drawn on the bar: the value, or nothing when 显示数值 is off or max equals Min.
  QString barText() const;
  BarLook look() const;
  // The value a mouse press at x (widget coordinates) selects: a whole number within Min..max.
  double valueAt(qreal x) const;

  // Draws the bar when its look changed since it was last drawn.
  void 绘控件();
  // Draws the bar.
  void 无条件绘控件();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void valueChanged(double value);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void assignValue(double value);
  void keepValueInRange();
  bool adjustable() const { return minimum_ < maximum_ && isEnabled(); }

  QColor barColor_{255, 0, 0};
  QColor backColor_{192, 192, 192};
  bool showValue_ = true;
  int maximum_ = 100;
  double value_ = 0;
  int minimum_ = 0;
  platform::Dialogs* dialogs_ = nullptr;
  bool dragging_ = false;
  std::optional<BarLook> drawnLook_;
  QSize laidOutMinimum_;  // the minimum size the layout last heard of
};

}  // namespace lumafex::controls
