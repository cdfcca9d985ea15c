#include "desktop/designers/PictureFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/design/PictureList.h"
#include "core/design/Project.h"
#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"

namespace lumafex::design {

namespace {

const QColor kBlack(0, 0, 0);

QImage blackCanvas(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kBlack);
  return image;
}

QImage arrowPicture() {
  QImage image = blackCanvas(64, 40);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPolygonF arrow({{4, 14}, {38, 14}, {38, 4}, {60, 20}, {38, 36}, {38, 26}, {4, 26}});
  painter.setPen(QPen(QColor(255, 255, 255), 2));
  painter.setBrush(QColor(0, 200, 255));
  painter.drawPolygon(arrow);
  return image;
}

QImage heartPicture() {
  QImage image = blackCanvas(56, 52);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath heart;
  heart.moveTo(28, 48);
  heart.cubicTo(4, 32, 2, 18, 8, 10);
  heart.cubicTo(14, 2, 26, 4, 28, 14);
  heart.cubicTo(30, 4, 42, 2, 48, 10);
  heart.cubicTo(54, 18, 52, 32, 28, 48);
  painter.setPen(QPen(QColor(255, 160, 200), 2));
  painter.setBrush(QColor(255, 30, 80));
  painter.drawPath(heart);
  return image;
}

QImage openSignPicture() {
  QImage image = blackCanvas(96, 40);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(255, 60, 60), 3));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(QRectF(3, 3, 90, 34), 8, 8);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(20);
  painter.setFont(font);
  painter.setPen(QColor(0, 255, 120));
  painter.drawText(QRectF(3, 3, 90, 34), Qt::AlignCenter, QStringLiteral("OPEN"));
  return image;
}

}  // namespace

QImage opaquePicture(const QImage& image) {
  if (image.isNull()) return {};
  if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
  QImage out = blackCanvas(image.width(), image.height());
  QPainter painter(&out);
  painter.drawImage(0, 0, image);
  return out;
}

QImage readPictureFile(const QString& file) {
  QImageReader reader(file);
  reader.setDecideFormatFromContent(true);
  QImage image;
  if (!reader.read(&image)) return {};
  return opaquePicture(image);
}

QByteArray bmpBytes(const QImage& picture) {
  // Qt writes images of 32 bits per pixel as 24-bit BMP; indexed or monochrome pictures would
  // keep their depth, so every picture goes through RGB32 first.
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  opaquePicture(picture).save(&buffer, "BMP");
  return bytes;
}

Status writePictureFile(const std::filesystem::path& file, const QImage& picture) {
  if (picture.isNull()) return Status::fail("图片是空的，不能写入“" + platform::pathToUtf8(file) + "”。");
  const QByteArray bytes = bmpBytes(picture);
  if (bytes.isEmpty()) return Status::fail("不能生成图片文件“" + platform::pathToUtf8(file) + "”。");
  return platform::writeBytesSafely(
      file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

long paintColourBlack(QImage& picture, QColor colour) {
  if (picture.format() != QImage::Format_RGB32) picture = opaquePicture(picture);
  const QRgb from = colour.rgb() | 0xff000000u;
  const QRgb black = kBlack.rgb();
  long changed = 0;
  for (int y = 0; y < picture.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < picture.width(); ++x) {
      if ((line[x] | 0xff000000u) == from && line[x] != black) {
        line[x] = black;
        ++changed;
      }
    }
  }
  return changed;
}

QStringList unreadablePictureFiles(const preview::SignPictureSet& pictures, const QString& projectDirectory) {
  QStringList files;
  const std::filesystem::path dir = platform::pathFromUtf8(projectDirectory.toStdString());
  for (const PictureKind kind : {PictureKind::Logo, PictureKind::Image}) {
    const std::vector<QImage>& list = pictures.of(kind);
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (list[i].isNull()) {
        files << QString::fromStdString(
            platform::pathToUtf8(pictureFilePath(dir, kind, static_cast<int>(i))));
      }
    }
  }
  return files;
}

std::string unreadablePicturesMessage(const QStringList& files) {
  return "以下图片文件不能读取，列表中以带红叉的方框代替，可选中后用“浏览…”更换：\n" +
         files.join(QLatin1Char('\n')).toStdString();
}

QImage unreadablePicturePlaceholder() {
  const int side = std::max(8, platform::toPixels(kDefaultBlockTwips));
  QImage image(side, side, QImage::Format_RGB32);
  image.fill(QColor(64, 64, 64));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(230, 40, 40), 2));
  painter.drawLine(QPointF(5, 5), QPointF(side - 5, side - 5));
  painter.drawLine(QPointF(side - 5, 5), QPointF(5, side - 5));
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QColor(192, 192, 192));
  painter.drawRect(0, 0, side - 1, side - 1);
  return image;
}

QImage emptyPicture() {
  return blackCanvas(32, 32);
}

QImage starPicture() {
  QImage image = blackCanvas(56, 56);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QPolygonF star;
  for (int i = 0; i < 10; ++i) {
    const double radius = i % 2 == 0 ? 26.0 : 11.0;
    const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
    star << QPointF(28 + radius * std::cos(angle), 29 + radius * std::sin(angle));
  }
  painter.setPen(QPen(QColor(255, 255, 255), 2));
  painter.setBrush(QColor(255, 220, 0));
  painter.drawPolygon(star);
  return image;
}

void seedSamplePictures(const QString& applicationDirectory) {
  const QString folder = applicationDirectory + QLatin1Char('/') + QString::fromUtf8(kSamplePicturesFolder);
  if (!QDir().mkpath(folder)) return;
  const struct {
    const char* name;
    QImage (*draw)();
  } samples[] = {
      {"星形.bmp", starPicture},
      {"箭头.bmp", arrowPicture},
      {"心形.bmp", heartPicture},
      {"营业中.bmp", openSignPicture},
  };
  for (const auto& sample : samples) {
    const QString file = folder + QLatin1Char('/') + QString::fromUtf8(sample.name);
    if (QFileInfo::exists(file)) continue;
    // A sample that cannot be written is only missing from the dialog; when one cannot be written
    // the folder takes none, so the others are not tried.
    if (!writePictureFile(platform::pathFromUtf8(file.toStdString()), sample.draw())) return;
  }
}

}  // namespace lumafex::design
