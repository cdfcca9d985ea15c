#include "desktop/controls/VelarnButton.h"

#include "desktop/controls/ButtonPictureStore.h"

#include <QCursor>
#include <QEnterEvent>
#include <QFontMetricsF>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>

#include "render/TransparentCopy.h"

namespace lumafex::controls {

// ---- property bag -----------------------------------------------------------------------------

namespace {

std::optional<QVariant> bagValue(const QVariantMap& bag, const QString& key) {
  const auto it = bag.constFind(key);
  if (it == bag.constEnd() || !it->isValid() || it->isNull()) return std::nullopt;
  return *it;
}

bool isText(const QVariant& value) {
  return value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray;
}

std::optional<double> numberOf(const QVariant& value) {
  bool ok = false;
  const double number = isText(value) ? value.toString().trimmed().toDouble(&ok) : value.toDouble(&ok);
  if (!ok || !std::isfinite(number)) return std::nullopt;
  return number;
}

std::optional<QColor> colourOfNumber(double number) {
  if (number < 0 || number > 0xFFFFFF || number != std::floor(number)) return std::nullopt;
  const auto packed = static_cast<unsigned>(number);
  return QColor(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
}

}  // namespace

QColor bagColour(const QVariantMap& bag, const QString& key, const QColor& fallback) {
  const auto value = bagValue(bag, key);
  if (!value || value->typeId() == QMetaType::Bool) return fallback;
  if (value->typeId() == QMetaType::QColor) {
    const QColor colour = value->value<QColor>();
    return colour.isValid() ? colour : fallback;
  }
  if (isText(*value)) {
    const QString text = value->toString().trimmed();
    if (!text.isEmpty() && !text.startsWith(QLatin1Char('#'))) {
      if (const auto number = numberOf(text)) return colourOfNumber(*number).value_or(fallback);
    }
    const QColor colour(text);
    return colour.isValid() ? colour : fallback;
  }
  if (const auto number = numberOf(*value)) return colourOfNumber(*number).value_or(fallback);
  return fallback;
}

bool bagBool(const QVariantMap& bag, const QString& key, bool fallback) {
  const auto value = bagValue(bag, key);
  if (!value) return fallback;
  if (value->typeId() == QMetaType::Bool) return value->toBool();
  if (isText(*value)) {
    const QString text = value->toString().trimmed().toLower();
    if (text == QStringLiteral("true")) return true;
    if (text == QStringLiteral("false")) return false;
  }
  if (const auto number = numberOf(*value)) return *number != 0;
  return fallback;
}

int bagInt(const QVariantMap& bag, const QString& key, int fallback) {
  const auto value = bagValue(bag, key);
  if (!value) return fallback;
  const auto number = numberOf(*value);
  if (!number || std::fabs(*number) > 2147483647.0) return fallback;
  return static_cast<int>(std::lround(*number));
}

double bagNumber(const QVariantMap& bag, const QString& key, double fallback) {
  const auto value = bagValue(bag, key);
  if (!value) return fallback;
  return numberOf(*value).value_or(fallback);
}

QString bagString(const QVariantMap& bag, const QString& key, const QString& fallback) {
  const auto value = bagValue(bag, key);
  if (!value || !value->canConvert<QString>()) return fallback;
  return value->toString();
}

// ---- drawing ----------------------------------------------------------------------------------

namespace {

constexpr qreal kPadding = 6;
constexpr qreal kGap = 4;

QColor shade(const QColor& colour, int step) {
  return QColor(std::clamp(colour.red() + step, 0, 255), std::clamp(colour.green() + step, 0, 255),
                std::clamp(colour.blue() + step, 0, 255));
}

QColor withAlpha(QColor colour, int alpha) {
  colour.setAlpha(alpha);
  return colour;
}

// The face of a disabled button: a light grey of about the face's lightness.
QColor greyed(const QColor& face) {
  const int grey = (qGray(face.rgb()) + 2 * 200) / 3;
  return QColor(grey, grey, grey);
}

QSizeF pictureSize(const QPixmap& picture) {
  return picture.isNull() ? QSizeF() : picture.deviceIndependentSize();
}

QSizeF captionSize(const QFont& font, const QString& caption) {
  if (caption.isEmpty()) return {};
  return QFontMetricsF(font).size(Qt::TextShowMnemonic, caption);
}

bool sideBySide(int position) {
  return position != VelarnButton::PictureAbove && position != VelarnButton::PictureBelow;
}

// The size of picture and caption together as `position` arranges them.
QSizeF combinedSize(QSizeF picture, QSizeF caption, int position) {
  if (picture.isEmpty()) return caption;
  if (caption.isEmpty()) return picture;
  if (sideBySide(position)) {
    return {picture.width() + kGap + caption.width(), std::max(picture.height(), caption.height())};
  }
  return {std::max(picture.width(), caption.width()), picture.height() + kGap + caption.height()};
}

// A picture larger than the room it has is scaled down, keeping its proportions.
QSizeF fitted(QSizeF picture, qreal width, qreal height) {
  width = std::max<qreal>(width, 1);
  height = std::max<qreal>(height, 1);
  if (picture.width() <= width && picture.height() <= height) return picture;
  return picture.scaled(width, height, Qt::KeepAspectRatio);
}

struct ContentPlace {
  QRectF picture;
  QRectF caption;
};

ContentPlace placeContent(const QRectF& area, QSizeF picture, QSizeF caption, int position) {
  ContentPlace place;
  const bool across = sideBySide(position);
  if (!picture.isEmpty()) {
    const qreal roomWidth =
        across && !caption.isEmpty() ? area.width() - kGap - caption.width() : area.width();
    const qreal roomHeight =
        !across && !caption.isEmpty() ? area.height() - kGap - caption.height() : area.height();
    picture = fitted(picture, roomWidth, roomHeight);
  }
  const QSizeF block = combinedSize(picture, caption, position);
  QRectF blockRect(QPointF(), block);
  blockRect.moveCenter(area.center());
  const bool pictureFirst = position != VelarnButton::PictureRight && position != VelarnButton::PictureBelow;
  if (picture.isEmpty()) {
    place.caption = QRectF(blockRect.left(), area.top(), blockRect.width(), area.height());
    return place;
  }
  QPointF pictureAt;
  if (caption.isEmpty()) {
    pictureAt = blockRect.topLeft();
  } else if (across) {
    const qreal pictureLeft = pictureFirst ? blockRect.left() : blockRect.right() - picture.width();
    const qreal captionLeft = pictureFirst ? pictureLeft + picture.width() + kGap : blockRect.left();
    pictureAt = {pictureLeft, blockRect.center().y() - picture.height() / 2};
    place.caption = QRectF(captionLeft, blockRect.top(), caption.width(), blockRect.height());
  } else {
    const qreal pictureTop = pictureFirst ? blockRect.top() : blockRect.bottom() - picture.height();
    const qreal captionTop = pictureFirst ? pictureTop + picture.height() + kGap : blockRect.top();
    pictureAt = {blockRect.center().x() - picture.width() / 2, pictureTop};
    place.caption = QRectF(blockRect.left(), captionTop, blockRect.width(), caption.height());
  }
  // Whole pixels keep an unscaled picture sharp.
  place.picture = QRectF(QPointF(std::round(pictureAt.x()), std::round(pictureAt.y())), picture);
  return place;
}

// Relative luminance (sRGB), 0 for black to 1 for white.
double luminance(const QColor& colour) {
  const auto linear = [](int channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) + 0.0722 * linear(colour.blue());
}

QImage greyPicture(QImage image) {
  for (int row = 0; row < image.height(); ++row) {
    auto* pixel = reinterpret_cast<QRgb*>(image.scanLine(row));
    for (int column = 0; column < image.width(); ++column) {
      const int grey = qGray(pixel[column]);
      pixel[column] = qRgba(grey, grey, grey, qAlpha(pixel[column]));
    }
  }
  return image;
}

}  // namespace

QColor captionInk(const QColor& captionColor, const QColor& faceColor) {
  if (captionColor.rgb() != QColor(0, 0, 0).rgb()) return captionColor;
  // Contrast ratios of black and of white against the face, as (lighter + 0.05) / (darker + 0.05).
  const double face = luminance(faceColor);
  const double black = (face + 0.05) / 0.05;
  const double white = 1.05 / (face + 0.05);
  return white > black ? QColor(255, 255, 255) : captionColor;
}

void paintVelarnButton(QPainter& painter, const ButtonLook& look) {
  if (look.rect.isEmpty()) return;
  using State = ButtonLook::State;
  painter.save();
  painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                         QPainter::TextAntialiasing);

  const int step = look.brightness;
  const bool disabled = look.state == State::Disabled;
  const QColor face = disabled ? greyed(look.faceColor) : look.faceColor;
  QColor top = face;
  QColor bottom = face;
  QColor border = shade(face, -std::max(3 * step, 40));
  switch (look.state) {
    case State::Normal:
      if (look.toolbarStyle) {
        border = shade(face, -std::max(step, 16));
      } else {
        top = shade(face, step);
        bottom = shade(face, -step);
      }
      break;
    case State::Hover:
      top = shade(face, 2 * step);
      bottom = shade(face, step / 2);
      break;
    case State::Pressed:
      top = shade(face, -step);
      bottom = shade(face, step / 2);
      break;
    case State::Disabled:
      if (!look.toolbarStyle) {
        top = shade(face, step / 2);
        bottom = shade(face, -step / 2);
      }
      break;
  }

  const QRectF outer = look.rect.adjusted(0.5, 0.5, -0.5, -0.5);
  const qreal radius = std::clamp<qreal>(look.cornerRadius, 0, std::min(outer.width(), outer.height()) / 2);
  QLinearGradient faceGradient(outer.topLeft(), outer.bottomLeft());
  faceGradient.setColorAt(0, top);
  faceGradient.setColorAt(1, bottom);
  painter.setPen(QPen(border, 1));
  painter.setBrush(faceGradient);
  painter.drawRoundedRect(outer, radius, radius);

  // A light rim along the upper edge for the raised faces, a dark one for the pressed face.
  const bool raised = (look.state == State::Normal && !look.toolbarStyle) || look.state == State::Hover;
  if ((raised || look.state == State::Pressed) && outer.width() > 4 && outer.height() > 4) {
    const QRectF inner = outer.adjusted(1, 1, -1, -1);
    QLinearGradient rim(inner.topLeft(), inner.bottomLeft());
    const QColor rimColour =
        raised ? withAlpha(shade(face, 4 * step + 30), 200) : withAlpha(shade(face, -3 * step - 30), 170);
    rim.setColorAt(0, rimColour);
    rim.setColorAt(0.55, withAlpha(rimColour, 0));
    painter.setPen(QPen(QBrush(rim), 1));
    painter.setBrush(Qt::NoBrush);
    const qreal innerRadius = std::max<qreal>(0, radius - 1);
    painter.drawRoundedRect(inner, innerRadius, innerRadius);
  }

  QRectF content = outer.adjusted(kPadding, kPadding, -kPadding, -kPadding);
  if (content.width() < 1 || content.height() < 1) content = outer.adjusted(1, 1, -1, -1);
  if (look.state == State::Pressed) content.translate(1, 1);
  const QSizeF caption = captionSize(look.font, look.caption);
  const ContentPlace place = placeContent(content, pictureSize(look.picture), caption, look.picturePosition);

  if (!look.picture.isNull() && !place.picture.isEmpty()) {
    QImage keyed = keyedImage(look.picture.toImage(), look.picture.rect(), look.iconMaskColor);
    if (!keyed.isNull()) {
      if (disabled) {
        keyed = greyPicture(std::move(keyed));
        painter.setOpacity(0.55);
      }
      painter.drawImage(place.picture, keyed);
      painter.setOpacity(1.0);
    }
  }

  if (!look.caption.isEmpty()) {
    constexpr int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
    painter.setFont(look.font);
    if (disabled) {
      painter.setPen(shade(face, 60));
      painter.drawText(place.caption.translated(1, 1), flags, look.caption);
      painter.setPen(shade(face, -80));
    } else {
      painter.setPen(captionInk(look.captionColor, face));
    }
    painter.drawText(place.caption, flags, look.caption);
  }

  if (look.focused && outer.width() > 8 && outer.height() > 8) {
    QPen focusPen(withAlpha(disabled ? shade(face, -80) : captionInk(look.captionColor, face), 170), 1,
                  Qt::DotLine);
    painter.setPen(focusPen);
    painter.setBrush(Qt::NoBrush);
    const qreal focusRadius = std::max<qreal>(0, radius - 2);
    painter.drawRoundedRect(outer.adjusted(3, 3, -3, -3), focusRadius, focusRadius);
  }
  painter.restore();
}

// ---- the widget -------------------------------------------------------------------------------

VelarnButton::VelarnButton(QWidget* parent) : QAbstractButton(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
  hoverCheck_.setInterval(kHoverCheckInterval);
  connect(&hoverCheck_, &QTimer::timeout, this, [this] { 鼠标位置检测与响应(); });
}

VelarnButton::VelarnButton(const QString& caption, QWidget* parent) : VelarnButton(parent) {
  setText(caption);
}

void VelarnButton::setIconMaskColor(const QColor& colour) {
  iconMaskColor_ = colour;
  update();
}

void VelarnButton::setCornerRadius(int radius) {
  cornerRadius_ = std::max(0, radius);
  update();
}

void VelarnButton::setCaption(const QString& caption) {
  setText(caption);
}

void VelarnButton::setCaptionColor(const QColor& colour) {
  captionColor_ = colour;
  update();
}

void VelarnButton::setPicturePosition(int position) {
  picturePosition_ = position;
  updateGeometry();
  update();
}

void VelarnButton::setValue(bool value) {
  if (value) click();
}

void VelarnButton::setPictureNumber(int number) {
  pictureNumber_ = number;
  if (number >= 0) {
    auto& store = ButtonPictureStore::instance();
    store.按钮控件编号_写(number);
    picture_ = store.pictures().normal;
  }
  updateGeometry();
  update();
}

void VelarnButton::setPicture(const QPixmap& picture) {
  picture_ = picture;
  pictureNumber_ = -1;
  updateGeometry();
  update();
}

void VelarnButton::setFaceColor(const QColor& colour) {
  faceColor_ = colour;
  update();
}

void VelarnButton::setBrightness(int brightness) {
  brightness_ = brightness;
  update();
}

void VelarnButton::setToolbarStyle(bool on) {
  toolbarStyle_ = on;
  setFocusPolicy(on ? Qt::TabFocus : Qt::StrongFocus);
  setSizePolicy(on ? QSizePolicy::Fixed : QSizePolicy::Minimum, QSizePolicy::Fixed);
  updateGeometry();
  update();
}

void VelarnButton::readProperties(const QVariantMap& bag) {
  setIconMaskColor(bagColour(bag, QStringLiteral("图案.BackColor"), QColor(0, 0, 254)));
  setCornerRadius(bagInt(bag, QStringLiteral("圆角宽度"), 5));
  setCaption(bagString(bag, QStringLiteral("Caption"), QString()));
  setCaptionColor(bagColour(bag, QStringLiteral("标题色"), QColor(0, 0, 0)));
  setPicturePosition(bagInt(bag, QStringLiteral("图片的位置"), PictureLeft));
  setEnabled(bagBool(bag, QStringLiteral("有效"), true));
  QPixmap picture;
  if (const auto it = bag.constFind(QStringLiteral("Picture")); it != bag.constEnd()) {
    switch (it->typeId()) {
      case QMetaType::QPixmap:
        picture = it->value<QPixmap>();
        break;
      case QMetaType::QImage:
        picture = QPixmap::fromImage(it->value<QImage>());
        break;
      case QMetaType::QIcon: {
        const QIcon icon = it->value<QIcon>();
        const QList<QSize> sizes = icon.availableSizes();
        if (!sizes.isEmpty()) picture = icon.pixmap(sizes.constLast());
        break;
      }
      case QMetaType::QByteArray:
        picture.loadFromData(it->toByteArray());
        break;
      default:
        break;
    }
  }
  setPicture(picture);
  setFaceColor(bagColour(bag, QStringLiteral("按键颜色"), QColor(0, 128, 128)));
  setBrightness(bagInt(bag, QStringLiteral("按键的亮度"), 18));
  setToolbarStyle(bagBool(bag, QStringLiteral("是工具棒"), false));
}

QVariantMap VelarnButton::writeProperties() const {
  QVariantMap bag;
  bag.insert(QStringLiteral("图案.BackColor"), iconMaskColor_);
  bag.insert(QStringLiteral("圆角宽度"), cornerRadius_);
  bag.insert(QStringLiteral("Caption"), caption());
  bag.insert(QStringLiteral("标题色"), captionColor_);
  bag.insert(QStringLiteral("图片的位置"), picturePosition_);
  bag.insert(QStringLiteral("有效"), isEnabled());
  bag.insert(QStringLiteral("Picture"), picture_);
  bag.insert(QStringLiteral("按键颜色"), faceColor_);
  bag.insert(QStringLiteral("按键的亮度"), brightness_);
  bag.insert(QStringLiteral("是工具棒"), toolbarStyle_);
  return bag;
}

ButtonLook VelarnButton::look() const {
  ButtonLook look;
  look.rect = QRectF(rect());
  if (!isEnabled()) {
    look.state = ButtonLook::State::Disabled;
  } else if (isDown()) {
    look.state = ButtonLook::State::Pressed;
  } else if (hovered_) {
    look.state = ButtonLook::State::Hover;
  }
  look.focused = hasFocus();
  look.faceColor = faceColor_;
  look.brightness = brightness_;
  look.cornerRadius = cornerRadius_;
  look.toolbarStyle = toolbarStyle_;
  look.caption = text();
  look.captionColor = captionColor_;
  look.font = font();
  look.picture = picture_;
  if (pictureNumber_ >= 0) {
    auto& store = ButtonPictureStore::instance();
    store.按钮控件编号_写(pictureNumber_);
    const auto& pictures = store.pictures();
    look.picture = look.state == ButtonLook::State::Disabled  ? pictures.disabled
                   : look.state == ButtonLook::State::Pressed ? pictures.pressed
                                                              : pictures.normal;
  }
  look.iconMaskColor = iconMaskColor_;
  look.picturePosition = picturePosition_;
  return look;
}

void VelarnButton::重绘() {
  update();
}

void VelarnButton::鼠标位置检测与响应() {
  if (!hovered_) {
    hoverCheck_.stop();
    return;
  }
  const bool inside = isVisible() && isEnabled() && rect().contains(mapFromGlobal(QCursor::pos()));
  if (!inside) leaveHover();
}

void VelarnButton::变色处理() {
  if (!isEnabled()) return;
  hoverCheck_.start();
  if (!hovered_) {
    hovered_ = true;
    update();
  }
}

void VelarnButton::鼠标焦点回应() {
  update();
}

void VelarnButton::leaveHover() {
  hoverCheck_.stop();
  if (hovered_) {
    hovered_ = false;
    update();
  }
}

QSize VelarnButton::sizeHint() const {
  const QSizeF content = combinedSize(pictureSize(picture_), captionSize(font(), text()), picturePosition_) +
                         QSizeF(2 * kPadding, 2 * kPadding);
  QSize hint(static_cast<int>(std::ceil(content.width())), static_cast<int>(std::ceil(content.height())));
  if (toolbarStyle_) return hint.expandedTo(QSize(24, 24));
  if (!text().isEmpty()) hint.rwidth() += 12;
  return hint.expandedTo(QSize(64, 28));
}

QSize VelarnButton::minimumSizeHint() const {
  return toolbarStyle_ ? QSize(16, 16) : QSize(24, 20);
}

void VelarnButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintVelarnButton(painter, look());
}

void VelarnButton::enterEvent(QEnterEvent* event) {
  变色处理();
  QAbstractButton::enterEvent(event);
}

void VelarnButton::leaveEvent(QEvent* event) {
  leaveHover();
  QAbstractButton::leaveEvent(event);
}

void VelarnButton::mouseMoveEvent(QMouseEvent* event) {
  if (rect().contains(event->position().toPoint())) 变色处理();
  QAbstractButton::mouseMoveEvent(event);
}

void VelarnButton::keyPressEvent(QKeyEvent* event) {
  const bool enterKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enterKey && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    if (!event->isAutoRepeat()) click();
    event->accept();
    return;
  }
  QAbstractButton::keyPressEvent(event);
}

void VelarnButton::focusInEvent(QFocusEvent* event) {
  QAbstractButton::focusInEvent(event);
  鼠标焦点回应();
}

void VelarnButton::focusOutEvent(QFocusEvent* event) {
  QAbstractButton::focusOutEvent(event);
  鼠标焦点回应();
}

void VelarnButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled()) leaveHover();
  QAbstractButton::changeEvent(event);
}

}  // namespace lumafex::controls
