#include "desktop/design/ColourPanel.h"

#include <QGridLayout>
#include <QMouseEvent>
#include <algorithm>

#include "desktop/controls/Named.h"
#include "render/SignStyle.h"

namespace lumafex::design {

ColourSample::ColourSample(QWidget* parent) : QLabel(parent) {
  setMinimumSize(28, 20);
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Sunken);
  setAutoFillBackground(true);
  setCursor(Qt::PointingHandCursor);
  setColour(Qt::black);
}

void ColourSample::setColour(const QColor& colour) {
  colour_ = colour;
  QPalette p = palette();
  p.setColor(QPalette::Window, colour);
  setPalette(p);
  update();
}

void ColourSample::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit clicked();
  QLabel::mousePressEvent(event);
}

QImage paletteImage(const QSize& size) {
  QImage image(size, QImage::Format_RGB32);
  const int w = size.width();
  const int h = size.height();
  const int greyWidth = std::max(8, w / 12);
  const int hueWidth = std::max(1, w - greyWidth);
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const double t = h > 1 ? static_cast<double>(y) / (h - 1) : 0.0;  // 0 top … 1 bottom
    const int lightness = static_cast<int>(std::lround(240 - t * 225));
    for (int x = 0; x < w; ++x) {
      if (x >= hueWidth) {
        const int g = static_cast<int>(std::lround(255 * (1 - t)));
        line[x] = qRgb(g, g, g);
      } else {
        const int hue = static_cast<int>(359.0 * x / hueWidth);
        line[x] = QColor::fromHsl(hue, 255, std::clamp(lightness, 0, 255)).rgb();
      }
    }
  }
  return image;
}

PalettePicture::PalettePicture(QWidget* parent) : QLabel(parent) {
  setMinimumSize(120, 60);
  setCursor(Qt::CrossCursor);
  setToolTip(QStringLiteral("单击选取颜色"));
  setScaledContents(false);
}

void PalettePicture::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  // One palette pixel for every pixel of the screen, so the palette stays smooth when dense.
  const qreal ratio = devicePixelRatioF();
  image_ = paletteImage(size() * ratio);
  image_.setDevicePixelRatio(ratio);
  setPixmap(QPixmap::fromImage(image_));
}

QColor PalettePicture::colourAt(const QPoint& point) const {
  if (image_.isNull() || !rect().contains(point)) return {};
  const qreal ratio = image_.devicePixelRatio();
  const QPoint pixel(std::min(image_.width() - 1, static_cast<int>(point.x() * ratio)),
                     std::min(image_.height() - 1, static_cast<int>(point.y() * ratio)));
  return QColor(image_.pixel(pixel));
}

void PalettePicture::mousePressEvent(QMouseEvent* event) {
  const QColor c = colourAt(event->position().toPoint());
  if (c.isValid()) emit picked(c);
}

ColourChooser::ColourChooser(QWidget* parent) : QGroupBox(QStringLiteral("色彩选择"), parent) {
  using controls::named;
  setObjectName(QStringLiteral("色彩选择板"));
  auto* colours = new QGridLayout(this);
  const char* targetNames[] = {"标题", "色彩1", "色彩2", "色彩3"};
  for (std::size_t i = 0; i < 颜色选择内容.size(); ++i) {
    颜色选择内容[i] = named(new QRadioButton(QString::fromUtf8(targetNames[i]), this), "颜色选择内容");
    颜色选择内容[i]->setProperty("index", static_cast<int>(i));
  }
  颜色选择内容[1]->setChecked(true);
  标题颜色样品 = named(new ColourSample(this), "标题颜色样品");
  标题颜色样品->setColour(QColor(0, 255, 255));
  const QColor defaults[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
  for (std::size_t i = 0; i < 色彩样品.size(); ++i) {
    auto* sample = named(new ColourSample(this), "色彩样品");
    sample->setProperty("index", static_cast<int>(i) + 1);
    sample->setColour(defaults[i]);
    色彩样品[i] = sample;
  }
  调色板 = named(new PalettePicture(this), "调色板");
  colours->addWidget(颜色选择内容[0], 0, 0);
  colours->addWidget(标题颜色样品, 0, 1);
  for (std::size_t i = 0; i < 色彩样品.size(); ++i) {
    colours->addWidget(颜色选择内容[i + 1], static_cast<int>(i) + 1, 0);
    colours->addWidget(色彩样品[i], static_cast<int>(i) + 1, 1);
  }
  colours->addWidget(调色板, 0, 2, 4, 1);
  colours->setColumnStretch(2, 1);
  setMouseTracking(true);

  // A click on a sample chooses what the palette colours.
  connect(标题颜色样品, &ColourSample::clicked, this, [this] { 颜色选择内容[0]->setChecked(true); });
  for (std::size_t i = 0; i < 色彩样品.size(); ++i) {
    connect(色彩样品[i], &ColourSample::clicked, this, [this, i] { 颜色选择内容[i + 1]->setChecked(true); });
  }
  connect(调色板, &PalettePicture::picked, this, [this](const QColor& c) { pick(c); });
}

void ColourChooser::map(const ProjectSettings& s) {
  标题颜色样品->setColour(toQColor(s.titleColour));
  for (std::size_t i = 0; i < 色彩样品.size(); ++i) 色彩样品[i]->setColour(toQColor(s.tubeColours[i]));
}

void ColourChooser::store(ProjectSettings& s) const {
  s.titleColour = fromQColor(标题颜色样品->colour());
  for (std::size_t i = 0; i < 色彩样品.size(); ++i) s.tubeColours[i] = fromQColor(色彩样品[i]->colour());
}

void ColourChooser::pick(const QColor& colour) {
  if (颜色选择内容[0]->isChecked()) {
    标题颜色样品->setColour(colour);
    emit titleColourPicked();
    return;
  }
  for (std::size_t i = 0; i < 色彩样品.size(); ++i) {
    if (颜色选择内容[i + 1]->isChecked()) 色彩样品[i]->setColour(colour);
  }
  emit tubeColourPicked();
}

}  // namespace lumafex::design
