// The pictures of a sign as a step draws them: logos and the images the step lights, at their
// blocks' positions and natural size, black left transparent, read from the project's bitmaps.

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "core/platform/TextFile.h"
#include "desktop/preview/PreviewWindow.h"
#include "render/LampRenderer.h"
#include "render/PictureRenderer.h"

using namespace lumafex::preview;
namespace design = lumafex::design;
namespace platform = lumafex::platform;

namespace {

const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kCyan(0, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kBackground(10, 20, 30);

// A w × h picture of one colour inside a black border `border` pixels wide.
QImage framedPicture(int w, int h, int border, const QColor& inside) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kBlack);
  QPainter painter(&image);
  painter.fillRect(QRect(border, border, w - 2 * border, h - 2 * border), inside);
  return image;
}

design::Placeholder blockAt(int xPixels, int yPixels, const QImage& picture) {
  return {xPixels * 15.0, yPixels * 15.0, picture.width() * 15.0, picture.height() * 15.0};
}

QImage canvas(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kBackground);
  return image;
}

std::filesystem::path pathOf(const QString& dir, const char* name) {
  return platform::pathFromUtf8(dir.toStdString()) / platform::pathFromUtf8(name);
}

}  // namespace

class PictureRendererTest : public QObject {
  Q_OBJECT

 private slots:
  void blackBorderLeavesTheLitStepVisible();
  void stepShowsOnlyTheImagesItsChannelsLight();
  void switchesDecideWhatIsDrawn();
  void picturesComeFromTheProjectDirectory();
};

void PictureRendererTest::blackBorderLeavesTheLitStepVisible() {
  // A 4-channel sign, every lamp lit red; one logo with a 3-pixel black frame sits over lamp 2.
  SignStyle style;
  style.columns = 4;
  style.rows = 1;
  style.colours = 1;
  style.tubeColours = {kRed, kRed, kRed};
  QImage image = canvas(200, 80);
  LampRenderer lamps;
  lamps.prepare(Orientation::Horizontal, 4, 1, image.size());
  const QRect lamp = lamps.lampRect(1, 2);
  const QImage logo = framedPicture(12, 12, 3, kYellow);
  const QPoint at = lamp.center() - QPoint(6, 6);
  SignPictureSet pictures;
  pictures.logos = {logo};
  design::Placements logoBlocks;
  logoBlocks.horizontal = {blockAt(at.x(), at.y(), logo)};
  PictureFrame frame;
  frame.logosOn = true;
  {
    QPainter painter(&image);
    lamps.paintStep(painter, style, u"XXXX");
    paintSignPictures(painter, pictures, logoBlocks, {}, Orientation::Horizontal, frame);
  }
  // The frame shows the lamp through it, the middle is the logo's, and its size is natural.
  QCOMPARE(QColor(image.pixel(at + QPoint(1, 1))), kRed);
  QCOMPARE(QColor(image.pixel(at + QPoint(11, 6))), kRed);
  QCOMPARE(QColor(image.pixel(at + QPoint(3, 3))), kYellow);
  QCOMPARE(QColor(image.pixel(at + QPoint(8, 8))), kYellow);
  QCOMPARE(QColor(image.pixel(at + QPoint(9, 6))), kRed);
  // Beside the sign's lamps the background stays.
  QCOMPARE(QColor(image.pixel(0, 0)), kBackground);
}

void PictureRendererTest::stepShowsOnlyTheImagesItsChannelsLight() {
  SignPictureSet pictures;
  design::Placements imageBlocks;
  for (int k = 0; k < 3; ++k) {
    pictures.images.push_back(framedPicture(10, 10, 2, kCyan));
    imageBlocks.horizontal.push_back(blockAt(20 + 30 * k, 10, pictures.images.back()));
    imageBlocks.vertical.push_back(blockAt(10, 20 + 30 * k, pictures.images.back()));
  }
  const auto centreOf = [](const design::Placeholder& p) {
    return QPoint(static_cast<int>(p.left / 15) + 5, static_cast<int>(p.top / 15) + 5);
  };
  // Tubes off: the step "X X" lights images 1 and 3, on either preview with its own blocks.
  for (const Orientation view : {Orientation::Horizontal, Orientation::Vertical}) {
    QImage image = canvas(120, 120);
    PictureFrame frame;
    frame.imagesOn = true;
    frame.shownImages = design::imagesOfStep("X X", "", 3, false);
    {
      QPainter painter(&image);
      paintSignPictures(painter, pictures, {}, imageBlocks, view, frame);
    }
    const auto& blocks = imageBlocks.on(view);
    QCOMPARE(QColor(image.pixel(centreOf(blocks[0]))), kCyan);
    QCOMPARE(QColor(image.pixel(centreOf(blocks[1]))), kBackground);
    QCOMPARE(QColor(image.pixel(centreOf(blocks[2]))), kCyan);
  }
}

void PictureRendererTest::switchesDecideWhatIsDrawn() {
  const QImage logo = framedPicture(10, 10, 1, kYellow);
  const QImage picture = framedPicture(10, 10, 1, kCyan);
  SignPictureSet pictures;
  pictures.logos = {logo, QImage()};  // the second logo did not load
  pictures.images = {picture};
  design::Placements logoBlocks;
  logoBlocks.horizontal = {blockAt(5, 5, logo), blockAt(40, 5, logo)};
  design::Placements imageBlocks;
  imageBlocks.horizontal = {blockAt(20, 30, picture)};

  struct Case {
    const char* name;
    bool logosOn, imagesOn, allImages;
    std::vector<bool> shown;
    bool logoDrawn, imageDrawn;
  };
  const Case cases[] = {
      {"logos off draws no logo", false, true, false, {true}, false, true},
      {"images off draws no image", true, false, true, {true}, true, false},
      {"the layout view draws every image", false, true, true, {}, false, true},
      {"a dark channel hides its image", true, true, false, {false}, true, false},
  };
  for (const Case& c : cases) {
    QImage image = canvas(80, 50);
    PictureFrame frame;
    frame.logosOn = c.logosOn;
    frame.imagesOn = c.imagesOn;
    frame.allImages = c.allImages;
    frame.shownImages = c.shown;
    {
      QPainter painter(&image);
      paintSignPictures(painter, pictures, logoBlocks, imageBlocks, Orientation::Horizontal, frame);
    }
    QVERIFY2((QColor(image.pixel(10, 10)) == kYellow) == c.logoDrawn, c.name);
    QVERIFY2((QColor(image.pixel(25, 35)) == kCyan) == c.imageDrawn, c.name);
    QVERIFY2(QColor(image.pixel(45, 10)) == kBackground, c.name);  // nothing for the missing picture
  }
}

void PictureRendererTest::picturesComeFromTheProjectDirectory() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString d = dir.path();
  QVERIFY(framedPicture(8, 6, 1, kYellow)
              .save(QString::fromStdString(platform::pathToUtf8(pathOf(d, "标志1.bmp"))), "BMP"));
  QVERIFY(framedPicture(5, 5, 1, kCyan)
              .save(QString::fromStdString(platform::pathToUtf8(pathOf(d, "图案1.bmp"))), "BMP"));
  QVERIFY(platform::writeBytesSafely(pathOf(d, "图案2.bmp"), "not a picture"));
  QVERIFY(framedPicture(7, 3, 1, kCyan)
              .save(QString::fromStdString(platform::pathToUtf8(pathOf(d, "图案3.bmp"))), "BMP"));
  QVERIFY(framedPicture(7, 3, 1, kCyan)
              .save(QString::fromStdString(platform::pathToUtf8(pathOf(d, "图案5.bmp"))), "BMP"));

  const SignPictureSet set = loadSignPictures(platform::pathFromUtf8(d.toStdString()));
  QCOMPARE(set.logos.size(), std::size_t{1});
  QCOMPARE(set.logos[0].size(), QSize(8, 6));
  QCOMPARE(QColor(set.logos[0].pixel(0, 0)), kBlack);
  QCOMPARE(set.images.size(), std::size_t{3});  // 图案4.bmp is missing: 图案5.bmp is not read
  QVERIFY(set.images[1].isNull());
  QCOMPARE(set.images[2].size(), QSize(7, 3));
}

QTEST_MAIN(PictureRendererTest)
#include "PictureRendererTest.moc"
