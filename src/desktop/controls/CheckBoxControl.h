#pragma once
// CheckBoxControl: the owner-drawn check box ("复选框控件") of the main window's preview switches. Its
// value is 0 (unchecked) or 1 (checked); a click, Space (an ordinary or a full-width blank) or
// Click_操作() switches it and raises clicked().

#include <QColor>
#include <QFont>
#include <QString>
#include <QVariantMap>
#include <QWidget>

class QPainter;

namespace lumafex::controls {

// Everything that decides how the check box looks; paintCheckBox draws it on any painter.
struct CheckBoxLook {
  QRectF rect;
  bool checked = false;
  bool enabled = true;
  bool pressed = false;
  bool focused = false;
  QString caption;
  QColor backColor;
  QColor foreColor;
  QFont font;
};

void paintCheckBox(QPainter& painter, const CheckBoxLook& look);
// Where paintCheckBox puts the box inside `rect` for `font`.
QRectF checkBoxRect(const QRectF& rect, const QFont& font);

class CheckBoxControl : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged USER true)
  Q_PROPERTY(QString caption READ caption WRITE setCaption)
  Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)
  Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor)

 public:
  explicit CheckBoxControl(QWidget* parent = nullptr);
  explicit CheckBoxControl(const QString& caption, QWidget* parent = nullptr);

  int value() const { return value_; }
  // 0 unchecks; any other number checks (the value becomes 1). Emits valueChanged when it changes,
  // but not clicked().
  void setValue(int value);
  QString caption() const { return caption_; }
  void setCaption(const QString& caption);
  QColor backColor() const { return backColor_; }
  void setBackColor(const QColor& colour);
  QColor foreColor() const { return foreColor_; }
  void setForeColor(const QColor& colour);

  // The property bag: keys "Check_值" (0), "Enabled" (true), "Caption" ("Check"), "背景颜色" (the
  // palette's button colour), "文字颜色" (the palette's button-text colour).
  void readProperties(const QVariantMap& bag);
  QVariantMap writeProperties() const;

  CheckBoxLook look() const;

  // Switches the value as a click does (also while disabled: it is a call, not a user action) and
  // raises clicked().
  void Click_操作();
  // Redraws for the mouse over or leaving the box.
  void 鼠标位置检测与响应();
  // Redraws for a change of the keyboard focus.
  void 鼠标焦点回应();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void clicked();
  void valueChanged(int value);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  int value_ = 0;
  QString caption_;
  QColor backColor_;
  QColor foreColor_;
  bool mouseDown_ = false;  // the left button went down on the control and is still held
  bool pressedLook_ = false;
};

}  // namespace lumafex::controls
