#pragma once
// VelarnButton: the owner-drawn push button of the toolbars and windows. A rounded face in the face
// colour, shaded by the brightness step for a raised look and lit while the mouse is over it, with a
// picture (one colour of it drawn transparent) and a caption. Other windows press it with
// setValue(true) or click(); both run the click handlers to completion.

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QVariantMap>

class QPainter;

namespace lumafex::controls {

// Reading the controls' property bags: a missing key, or a value that cannot be read as the wanted
// kind, gives the fallback. Colours are read from a QColor, from a colour name ("#008080") or from a
// number holding red in the low byte, green in the next and blue in the third (the stored form of the
// original settings); booleans from a bool, a number (non-zero is true) or "true"/"false".
QColor bagColour(const QVariantMap& bag, const QString& key, const QColor& fallback);
bool bagBool(const QVariantMap& bag, const QString& key, bool fallback);
int bagInt(const QVariantMap& bag, const QString& key, int fallback);
double bagNumber(const QVariantMap& bag, const QString& key, double fallback);
QString bagString(const QVariantMap& bag, const QString& key, const QString& fallback);

// Everything that decides how a VelarnButton looks at one moment; paintVelarnButton draws it on any
// painter, so the look can be checked on an image without a widget.
struct ButtonLook {
  enum class State { Normal, Hover, Pressed, Disabled };

  QRectF rect;
  State state = State::Normal;
  bool focused = false;
  QColor faceColor{0, 128, 128};
  int brightness = 18;
  int cornerRadius = 5;
  bool toolbarStyle = false;
  QString caption;
  QColor captionColor{0, 0, 0};
  QFont font;
  QPixmap picture;
  QColor iconMaskColor{0, 0, 254};
  int picturePosition = 0;
};

void paintVelarnButton(QPainter& painter, const ButtonLook& look);

// The colour a caption is drawn in on a face: the caption colour as set, except that the default
// black caption turns white on a face dark enough that white reads better (the teal default face
// among them), so a button keeps its colours and its caption stays readable.
QColor captionInk(const QColor& captionColor, const QColor& faceColor);

class VelarnButton : public QAbstractButton {
  Q_OBJECT
  Q_PROPERTY(QColor iconMaskColor READ iconMaskColor WRITE setIconMaskColor)
  Q_PROPERTY(int cornerRadius READ cornerRadius WRITE setCornerRadius)
  Q_PROPERTY(QString caption READ caption WRITE setCaption)
  Q_PROPERTY(QColor captionColor READ captionColor WRITE setCaptionColor)
  Q_PROPERTY(int picturePosition READ picturePosition WRITE setPicturePosition)
  Q_PROPERTY(bool value READ value WRITE setValue STORED false)
  Q_PROPERTY(QPixmap picture READ picture WRITE setPicture)
  Q_PROPERTY(QColor faceColor READ faceColor WRITE setFaceColor)
  Q_PROPERTY(int brightness READ brightness WRITE setBrightness)
  Q_PROPERTY(bool toolbarStyle READ toolbarStyle WRITE setToolbarStyle)

 public:
  // Where the picture sits relative to the caption (without a caption it is centred).
  enum PicturePosition { PictureLeft = 0, PictureAbove = 1, PictureRight = 2, PictureBelow = 3 };

  explicit VelarnButton(QWidget* parent = nullptr);
  explicit VelarnButton(const QString& caption, QWidget* parent = nullptr);

  QColor iconMaskColor() const { return iconMaskColor_; }
  void setIconMaskColor(const QColor& colour);
  int cornerRadius() const { return cornerRadius_; }
  void setCornerRadius(int radius);
  // The caption is the button's text; "&" marks a mnemonic as on any Qt button.
  QString caption() const { return text(); }
  void setCaption(const QString& caption);
  QColor captionColor() const { return captionColor_; }
  void setCaptionColor(const QColor& colour);
  int picturePosition() const { return picturePosition_; }
  void setPicturePosition(int position);
  // A momentary value: it reads false; setting it true clicks the button (nothing when disabled).
  bool value() const { return false; }
  void setValue(bool value);
  QPixmap picture() const { return picture_; }
  void setPicture(const QPixmap& picture);
  // The pictures of button number `number` of the picture store (按钮控件图片窗): its normal,
  // disabled and pressed pictures for the three looks. -1: the picture set above.
  void setPictureNumber(int number);
  int pictureNumber() const { return pictureNumber_; }
  QColor faceColor() const { return faceColor_; }
  void setFaceColor(const QColor& colour);
  int brightness() const { return brightness_; }
  void setBrightness(int brightness);
  // Toolbar buttons are flat until the mouse is over them, and take the keyboard focus only by Tab
  // (a click leaves the focus where it was, so a toolbar command can act on the focused control).
  bool toolbarStyle() const { return toolbarStyle_; }
  void setToolbarStyle(bool on);

  // The property bag: keys "图案.BackColor", "圆角宽度", "Caption", "标题色", "图片的位置", "有效",
  // "Picture", "按键颜色", "按键的亮度", "是工具棒"; a missing key reads as the default.
  void readProperties(const QVariantMap& bag);
  QVariantMap writeProperties() const;

  bool isHovered() const { return hovered_; }
  ButtonLook look() const;

  // Redraws the button.
  void 重绘();
  // Checks whether the mouse is still over the button; once it has left, the normal face returns.
  void 鼠标位置检测与响应();
  // Switches to the hover colours and (re)starts the position check.
  void 变色处理();
  // Redraws for a change of the keyboard focus.
  void 鼠标焦点回应();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  // Interval of the position check while the mouse is over the button, in milliseconds.
  static constexpr int kHoverCheckInterval = 100;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void leaveHover();

  QColor iconMaskColor_{0, 0, 254};
  int cornerRadius_ = 5;
  QColor captionColor_{0, 0, 0};
  int picturePosition_ = PictureLeft;
  QPixmap picture_;
  int pictureNumber_ = -1;
  QColor faceColor_{0, 128, 128};
  int brightness_ = 18;
  bool toolbarStyle_ = false;
  bool hovered_ = false;
  QTimer hoverCheck_;
};

}  // namespace lumafex::controls
