#include "desktop/controls/ButtonPictureStore.h"

#include <QGuiApplication>
#include <QPainter>
#include <QVBoxLayout>

#include "desktop/controls/ToolbarIcons.h"

namespace lumafex::controls {

namespace {

constexpr int kPictureSize = 24;

// The disabled picture: the picture's shapes in greys, faded.
QPixmap disabledOf(const QPixmap& picture) {
  QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int grey = qGray(line[x]);
      line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 2);
    }
  }
  QPixmap out = QPixmap::fromImage(image);
  out.setDevicePixelRatio(picture.devicePixelRatio());
  return out;
}

// The pressed picture: the picture a little darker, as if pushed into the face.
QPixmap pressedOf(const QPixmap& picture) {
  QPixmap out = picture;
  QPainter painter(&out);
  painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
  painter.fillRect(out.rect(), QColor(0, 0, 0, 60));
  return out;
}

}  // namespace

ButtonPictureStore& ButtonPictureStore::instance() {
  // Made on first use, once the application exists, and kept to the end of the process.
  static ButtonPictureStore* store = new ButtonPictureStore();
  return *store;
}

ButtonPictureStore::ButtonPictureStore() {
  setObjectName(QStringLiteral("按钮控件图片窗"));
  setWindowTitle(QStringLiteral("按钮控件图片窗"));
  auto* layout = new QVBoxLayout(this);
  控件特征list = new QListWidget(this);
  控件特征list->setObjectName(QStringLiteral("控件特征list"));
  layout->addWidget(控件特征list);
  for (const QString& key : toolbarIconKeys()) {
    // Drawn at the screen's pixel ratio, so the pictures stay sharp on a dense screen.
    const QPixmap normal = toolbarIcon(key, kPictureSize, qApp->devicePixelRatio());
    Pictures p;
    p.normal = p.normalBackup = normal;
    p.disabled = p.disabledBackup = disabledOf(normal);
    p.pressed = p.pressedBackup = pressedOf(normal);
    pictures_.push_back(p);
    控件特征list->addItem(key);
  }
}

void ButtonPictureStore::按钮控件编号_写(int number) {
  number_ = number;
  if (number >= 0 && number < 控件特征list->count()) 控件特征list->setCurrentRow(number);
}

const ButtonPictureStore::Pictures& ButtonPictureStore::pictures() const {
  static const Pictures none;
  if (number_ < 0 || number_ >= count()) return none;
  return pictures_[static_cast<std::size_t>(number_)];
}

void ButtonPictureStore::setPictures(const QPixmap& normal, const QPixmap& disabled, const QPixmap& pressed) {
  if (number_ < 0 || number_ >= count()) return;
  Pictures& p = pictures_[static_cast<std::size_t>(number_)];
  p.normalBackup = p.normal;
  p.disabledBackup = p.disabled;
  p.pressedBackup = p.pressed;
  p.normal = normal;
  p.disabled = disabled;
  p.pressed = pressed;
}

int ButtonPictureStore::numberOf(const QString& key) const {
  for (int i = 0; i < 控件特征list->count(); ++i) {
    if (控件特征list->item(i)->text() == key) return i;
  }
  return -1;
}

}  // namespace lumafex::controls
