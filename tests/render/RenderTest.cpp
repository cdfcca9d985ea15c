// The sign as pictures: a frame is pixel for pixel what the preview draws; the GIF read back with
// giflib holds every step (or the merged steps of a fast sign) with its delay and loops for ever;
// the render command and the desktop's 导出动画… write what they promise.

#include <gif_lib.h>

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <numeric>
#include <set>

#include "core/app/ProjectPaths.h"
#include "core/design/TitleEffect.h"
#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/preview/PreviewWindow.h"
#include "desktop/preview/SignCanvas.h"
#include "render/AnimationExport.h"
#include "render/GifWriter.h"
#include "render/SignFrame.h"
#include "support/AppSession.h"
#include "support/Widgets.h"

using namespace lumafex;
using preview::Orientation;

namespace {

const QString kSample = QStringLiteral(LUMAFEX_SOURCE_DIR "/data/Velarn工作室.hs");

std::filesystem::path pathOf(const QString& path) {
  return platform::pathFromUtf8(path.toStdString());
}

// An animation read back: every frame composed as a viewer shows it.
struct Decoded {
  bool ok = false;
  QSize size;
  std::vector<QImage> frames;
  std::vector<int> delays;
  int loop = -1;  // the NETSCAPE2.0 loop count; -1 without the extension
};

struct Reader {
  const std::string* bytes;
  std::size_t at = 0;
};

int readGif(GifFileType* gif, GifByteType* out, int length) {
  auto* r = static_cast<Reader*>(gif->UserData);
  const std::size_t n = std::min(static_cast<std::size_t>(length), r->bytes->size() - r->at);
  std::copy_n(r->bytes->data() + r->at, n, reinterpret_cast<char*>(out));
  r->at += n;
  return static_cast<int>(n);
}

Decoded decode(const std::string& bytes) {
  Decoded d;
  Reader reader{&bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, readGif, &error);
  if (!gif) return d;
  if (DGifSlurp(gif) != GIF_OK) {
    DGifCloseFile(gif, &error);
    return d;
  }
  d.size = QSize(gif->SWidth, gif->SHeight);
  QImage shown(d.size, QImage::Format_RGB32);
  shown.fill(Qt::black);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, i, &control);
    d.delays.push_back(control.DelayTime);
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    for (int y = 0; y < image.ImageDesc.Height; ++y) {
      for (int x = 0; x < image.ImageDesc.Width; ++x) {
        const int index = image.RasterBits[y * image.ImageDesc.Width + x];
        if (index == control.TransparentColor) continue;
        const GifColorType c = map->Colors[index];
        shown.setPixel(image.ImageDesc.Left + x, image.ImageDesc.Top + y, qRgb(c.Red, c.Green, c.Blue));
      }
    }
    d.frames.push_back(shown.copy());
    for (int e = 0; e + 1 < image.ExtensionBlockCount; ++e) {
      const ExtensionBlock& block = image.ExtensionBlocks[e];
      const ExtensionBlock& next = image.ExtensionBlocks[e + 1];
      if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
          std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && next.ByteCount == 3 && next.Bytes[0] == 1) {
        d.loop = next.Bytes[1] | (next.Bytes[2] << 8);
      }
    }
  }
  DGifCloseFile(gif, &error);
  d.ok = true;
  return d;
}

std::string fileBytes(const QString& path) {
  const auto bytes = platform::readBytes(pathOf(path));
  return bytes ? *bytes : std::string();
}

design::Project sampleProject() {
  auto project = render::readProject(pathOf(kSample));
  if (!project) qFatal("the sample project does not open: %s", project.error().c_str());
  return *project;
}

render::Animation animationOf(const design::Project& project,
                              Orientation orientation = Orientation::Horizontal) {
  render::AnimationSource source;
  source.project = &project;
  source.projectFile = pathOf(kSample);
  source.projectDirectory = app::projectDirectory(source.projectFile);
  source.orientation = orientation;
  auto animation = render::animationOf(source);
  if (!animation) qFatal("no animation: %s", animation.error().c_str());
  return *animation;
}

// The title state of a step as the post-processing run leaves it: the last mask at or before it.
QString titleStateAt(const design::Project& project, long step) {
  QString state = platform::qs(project.settings.title);
  for (long k = 1; k <= step; ++k) {
    if (const auto mask = design::findMask(project.titleEffect, k)) state = platform::qs(mask->mask);
  }
  return state;
}

QImage renderStep(const render::Animation& animation, long step) {
  render::SignFrame frame(animation.scene);
  render::StepPlayer player(animation);
  return frame.render(player.at(step));
}

// A frame read back from a GIF against the frame drawn: the lamps, the background and every
// colour a sign uses much are exact; only the smoothed edges of the title, whose shades are more
// than a GIF palette holds, may be a few levels off.
bool closeTo(const QImage& read, const QImage& drawn, int allowed = 16) {
  if (read.size() != drawn.size()) return false;
  long off = 0;
  int worst = 0;
  for (int y = 0; y < drawn.height(); ++y) {
    for (int x = 0; x < drawn.width(); ++x) {
      const QRgb a = read.pixel(x, y);
      const QRgb b = drawn.pixel(x, y);
      if (a == b) continue;
      ++off;
      worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                        std::abs(qBlue(a) - qBlue(b))});
    }
  }
  const long pixels = static_cast<long>(drawn.width()) * drawn.height();
  if (worst > allowed || off * 50 > pixels) {
    qWarning("%ld of %ld pixels off, by up to %d", off, pixels, worst);
    return false;
  }
  return true;
}

QImage solidPicture(int w, int h, QColor colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.fillRect(QRect(2, 2, w - 4, h - 4), colour);
  return image;
}

}  // namespace

class RenderTest : public QObject {
  Q_OBJECT

 private slots:
  void frameIsWhatThePreviewDraws_data();
  void frameIsWhatThePreviewDraws();
  void sampleStepsAreWhatThePreviewShows();
  void fastSignsMergeStepsAtTheirRealSpeed_data();
  void fastSignsMergeStepsAtTheirRealSpeed();
  void gifHoldsEveryStepWithItsDelayAndLoops();
  void gifOfOneMillisecondStepsKeepsTheRealSpeed();
  void manyColoursMapToTheNearest();
  void cancelledExportWritesNothing();
  void renderCommand_data();
  void renderCommand();
  void desktopExportWritesTheShownPreview();
};

void RenderTest::frameIsWhatThePreviewDraws_data() {
  QTest::addColumn<int>("orientation");
  QTest::addColumn<QSize>("window");
  QTest::addColumn<int>("columns");
  QTest::addColumn<int>("rows");
  QTest::addColumn<int>("colours");
  QTest::addColumn<bool>("hollow");
  QTest::addColumn<QString>("tubes");
  QTest::addColumn<QString>("titleState");
  QTest::addColumn<bool>("pictures");
  const int h = static_cast<int>(Orientation::Horizontal);
  const int v = static_cast<int>(Orientation::Vertical);
  QTest::newRow("two colours, title lit") << h << QSize(600, 147) << 64 << 1 << 2 << false
                                          << QStringLiteral("XX  X X XXXXXXXX") << QString() << false;
  QTest::newRow("three colours, three rows, hollow, title half dark")
      << h << QSize(500, 200) << 12 << 3 << 3 << true << QStringLiteral("X X X XXX   ")
      << QStringLiteral("欢□光□") << false;
  QTest::newRow("vertical, one colour")
      << v << QSize(133, 467) << 20 << 2 << 1 << false << QStringLiteral("X  X  X  X  XXXX")
      << QStringLiteral("□迎□临") << false;
  QTest::newRow("logos and images over the lamps")
      << h << QSize(600, 200) << 16 << 1 << 2 << false << QStringLiteral("XXXX  XX") << QString() << true;
}

void RenderTest::frameIsWhatThePreviewDraws() {
  QFETCH(int, orientation);
  QFETCH(QSize, window);
  QFETCH(int, columns);
  QFETCH(int, rows);
  QFETCH(int, colours);
  QFETCH(bool, hollow);
  QFETCH(QString, tubes);
  QFETCH(QString, titleState);
  QFETCH(bool, pictures);
  const auto view = static_cast<Orientation>(orientation);

  preview::SignStyle style;
  style.columns = columns;
  style.rows = rows;
  style.colours = colours;
  style.hollow = hollow;
  style.tubeColours = {QColor(255, 255, 0), QColor(0, 255, 0), QColor(255, 0, 255)};
  style.imagesOn = pictures;
  style.logosOn = pictures;
  preview::TitleStyle title;
  title.text = QStringLiteral("欢迎光临");
  title.size = 20;
  title.spacing = 4;

  auto set = std::make_shared<preview::SignPictureSet>();
  design::Placements logos;
  design::Placements images;
  preview::PictureFrame frame;
  if (pictures) {
    set->logos = {solidPicture(30, 20, QColor(200, 100, 0))};
    set->images = {solidPicture(24, 24, QColor(0, 120, 255)), solidPicture(24, 24, QColor(250, 250, 250))};
    logos.on(view) = {{15.0 * 10, 15.0 * 10, 15.0 * 30, 15.0 * 20}};
    images.on(view) = {{15.0 * 100, 15.0 * 40, 360, 360}, {15.0 * 300, 15.0 * 60, 360, 360}};
    frame.logosOn = true;
    frame.imagesOn = true;
    frame.shownImages = {false, true};
  }

  preview::PreviewWindow window_(view);
  window_.resize(window);
  window_.setSignStyle(style);
  window_.setPictures(set, logos, images);
  window_.showStep(tubes, QString(), frame);
  window_.showTitle(title, titleState);
  const QImage expected = window_.renderCanvas();

  render::SignScene scene;
  scene.orientation = view;
  scene.canvas = window_.canvas().size();
  scene.style = style;
  scene.title = title;
  const QPoint start = window_.titleStart();
  scene.titleStart = QPoint(platform::toPixels(start.x()), platform::toPixels(start.y()));
  scene.pictures = set;
  scene.logoBlocks = logos.on(view);
  scene.imageBlocks = images.on(view);
  render::SignFrame sign(scene);
  render::SignStep step;
  step.tubes = tubes;
  step.pictures = frame;
  step.titleState = titleState;
  const QImage drawn = sign.render(step);

  QCOMPARE(drawn.size(), expected.size());
  QVERIFY(drawn == expected.convertToFormat(drawn.format()));
  // Not an empty sign: lit lamps in their colour.
  long lit = 0;
  for (int y = 0; y < drawn.height(); ++y) {
    for (int x = 0; x < drawn.width(); ++x) lit += drawn.pixel(x, y) == style.tubeColours[0].rgb() ? 1 : 0;
  }
  QVERIFY(lit > 0);
}

void RenderTest::sampleStepsAreWhatThePreviewShows() {
  const design::Project project = sampleProject();
  const render::Animation animation = animationOf(project);
  const auto& s = project.settings;
  QCOMPARE(static_cast<long>(animation.steps.size()), 394L);

  // A preview window of the size the project keeps, shown the steps as the post-processing run
  // shows them.
  preview::PreviewWindow window(Orientation::Horizontal);
  window.resize(platform::toPixels(s.horizontalWidth), platform::toPixels(s.horizontalHeight));
  (void)window.canvasTwips();  // laid out for its size before it is shown
  QCOMPARE(window.canvas().size(), render::recordedCanvas(s, Orientation::Horizontal));
  window.setSignStyle(design::signStyleOf(s));
  render::SignFrame frame(animation.scene);
  render::StepPlayer player(animation);
  std::set<QByteArray> distinct;
  for (const long step : {1L, 2L, 17L, 60L, 65L, 200L, 394L}) {
    const QString line = QString::fromLatin1(animation.steps[static_cast<std::size_t>(step - 1)]);
    window.showStep(line.left(design::columnsOf(s)));
    window.showTitle(design::titleStyleOf(s), titleStateAt(project, step));
    const QImage expected = window.renderCanvas();
    const QImage drawn = frame.render(player.at(step));
    QVERIFY2(drawn == expected.convertToFormat(drawn.format()),
             qPrintable(QStringLiteral("step %1").arg(step)));
    distinct.insert(QByteArray(reinterpret_cast<const char*>(drawn.constBits()), drawn.sizeInBytes()));
  }
  QVERIFY(distinct.size() >= 6);
  // Lit lamps in the project's colours: swatch 1 on the first lamp of a step lighting channel 1.
  long lit = 1;
  while (animation.steps[static_cast<std::size_t>(lit - 1)].front() != 'X') ++lit;
  const QRect lamp = window.canvas().lampRect(1, 1);
  QCOMPARE(frame.render(player.at(lit)).pixelColor(lamp.center()), design::toQColor(s.tubeColours[0]));
}

void RenderTest::fastSignsMergeStepsAtTheirRealSpeed_data() {
  QTest::addColumn<long>("steps");
  QTest::addColumn<int>("ms");
  QTest::addColumn<long>("frames");
  QTest::newRow("50 ms: a frame a step") << 394L << 50 << 394L;
  QTest::newRow("1 ms: twenty steps a frame") << 394L << 1 << 19L;
  QTest::newRow("25 ms: delays of 2 and 3") << 100L << 25 << 100L;
  QTest::newRow("15 ms: every other step") << 100L << 15 << 50L;
  QTest::newRow("1000 ms") << 3L << 1000 << 3L;
  QTest::newRow("one step") << 1L << 1 << 1L;
}

void RenderTest::fastSignsMergeStepsAtTheirRealSpeed() {
  QFETCH(long, steps);
  QFETCH(int, ms);
  QFETCH(long, frames);
  const auto timings = render::frameTimings(5, 5 + steps - 1, ms);
  QCOMPARE(static_cast<long>(timings.size()), frames);
  long total = 0;
  long previous = 4;
  for (const auto& t : timings) {
    QVERIFY(t.delay >= render::kShortestFrameDelay);
    QVERIFY(t.step > previous);
    previous = t.step;
    total += t.delay;
  }
  QCOMPARE(timings.front().step, 5L);
  // The whole animation lasts as long as the steps do, to the hundredth.
  QCOMPARE(total, std::max<long>(steps * ms / 10, render::kShortestFrameDelay));
}

void RenderTest::gifHoldsEveryStepWithItsDelayAndLoops() {
  const render::Animation animation = animationOf(sampleProject());
  const auto result = render::renderGif(animation, {});
  QVERIFY2(result.ok, result.message.c_str());
  const Decoded gif = decode(result.bytes);
  QVERIFY(gif.ok);
  QCOMPARE(gif.size, animation.scene.canvas);
  QCOMPARE(static_cast<long>(gif.frames.size()), 394L);
  QCOMPARE(gif.loop, 0);
  QVERIFY(std::all_of(gif.delays.begin(), gif.delays.end(), [](int d) { return d == 5; }));
  render::SignFrame frame(animation.scene);
  render::StepPlayer player(animation);
  std::set<QByteArray> distinct;
  for (std::size_t i = 0; i < gif.frames.size(); ++i) {
    const QImage expected = frame.render(player.at(static_cast<long>(i) + 1));
    QVERIFY2(closeTo(gif.frames[i], expected), qPrintable(QStringLiteral("frame %1").arg(i)));
    distinct.insert(QByteArray(reinterpret_cast<const char*>(expected.constBits()), expected.sizeInBytes()));
  }
  QVERIFY(distinct.size() > 100);
  // Only what changes is stored: far below a byte a pixel a frame.
  const auto pixels =
      static_cast<std::size_t>(gif.size.width()) * static_cast<std::size_t>(gif.size.height());
  QVERIFY(result.bytes.size() < pixels * gif.frames.size() / 10);
}

void RenderTest::gifOfOneMillisecondStepsKeepsTheRealSpeed() {
  design::Project project = sampleProject();
  project.settings.speed = 999;  // 1 ms a step
  const render::Animation animation = animationOf(project);
  QCOMPARE(animation.msPerStep, 1);
  render::ExportOptions options;
  options.from = 11;
  const auto result = render::renderGif(animation, options);
  QVERIFY2(result.ok, result.message.c_str());
  const Decoded gif = decode(result.bytes);
  QVERIFY(gif.ok);
  const auto timings = render::frameTimings(11, 394, 1);
  QCOMPARE(gif.frames.size(), timings.size());
  QCOMPARE(std::accumulate(gif.delays.begin(), gif.delays.end(), 0), 38);
  for (std::size_t i = 0; i < timings.size(); ++i) {
    QVERIFY(gif.delays[i] >= 2);
    QVERIFY(closeTo(gif.frames[i], renderStep(animation, timings[i].step)));
  }
}

void RenderTest::manyColoursMapToTheNearest() {
  // A picture of more colours than a GIF palette holds comes out close to itself.
  QImage image(64, 16, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 4, y * 16, (x + y) * 3));
  }
  render::GifWriter writer(image.size(), render::GifPalette::fromImages({image}));
  QVERIFY(writer.palette().colours().size() <= render::GifPalette::kMaxColours);
  QVERIFY(writer.addFrame(image, 10));
  QVERIFY(writer.addFrame(image, 10));  // unchanged: still a frame
  const auto bytes = writer.finish();
  QVERIFY(bytes);
  const Decoded gif = decode(*bytes);
  QCOMPARE(gif.frames.size(), std::size_t{2});
  int worst = 0;
  long total = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor a = image.pixelColor(x, y);
      const QColor b = gif.frames[1].pixelColor(x, y);
      const int error = std::max(
          {std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
      worst = std::max(worst, error);
      total += error;
    }
  }
  QVERIFY2(worst <= 32, qPrintable(QString::number(worst)));
  QVERIFY2(total < 10L * image.width() * image.height(), qPrintable(QString::number(total)));
  QVERIFY(gif.frames[0] == gif.frames[1]);
}

void RenderTest::cancelledExportWritesNothing() {
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("sign.gif"));
  const render::Animation animation = animationOf(sampleProject());
  long seen = 0;
  // Cancelled in the second pass, when the frames are being written.
  const auto result = render::exportGif(animation, {}, pathOf(out), [&](long done, long total) {
    seen = done;
    return done < total / 2 + 10;
  });
  QVERIFY(!result.ok);
  QVERIFY(result.cancelled);
  QCOMPARE(seen, 394L + 10);
  QVERIFY(!QFileInfo::exists(out));
}

void RenderTest::renderCommand_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<int>("exitCode");
  QTest::addColumn<int>("frames");  // -1: a PNG; 0: nothing written
  QTest::addColumn<double>("scale");
  QTest::newRow("gif") << QStringList{QStringLiteral("--gif"), QStringLiteral("OUT")} << 0 << 394 << 1.0;
  QTest::newRow("gif, steps 10 to 19")
      << QStringList{QStringLiteral("--gif"), QStringLiteral("OUT"),  QStringLiteral("--from"),
                     QStringLiteral("10"),    QStringLiteral("--to"), QStringLiteral("19")}
      << 0 << 10 << 1.0;
  QTest::newRow("png of step 1") << QStringList{QStringLiteral("--png"), QStringLiteral("OUT"),
                                                QStringLiteral("--step"), QStringLiteral("1")}
                                 << 0 << -1 << 1.0;
  QTest::newRow("png, vertical, twice the size")
      << QStringList{QStringLiteral("--png"), QStringLiteral("OUT"),        QStringLiteral("--step"),
                     QStringLiteral("65"),    QStringLiteral("--vertical"), QStringLiteral("--scale"),
                     QStringLiteral("2")}
      << 0 << -1 << 2.0;
  QTest::newRow("both outputs") << QStringList{QStringLiteral("--png"), QStringLiteral("OUT"),
                                               QStringLiteral("--gif"), QStringLiteral("x.gif")}
                                << 2 << 0 << 1.0;
  QTest::newRow("scale out of range") << QStringList{QStringLiteral("--gif"), QStringLiteral("OUT"),
                                                     QStringLiteral("--scale"), QStringLiteral("0")}
                                      << 2 << 0 << 1.0;
  QTest::newRow("step beyond the end") << QStringList{QStringLiteral("--png"), QStringLiteral("OUT"),
                                                      QStringLiteral("--step"), QStringLiteral("395")}
                                       << 1 << 0 << 1.0;
  QTest::newRow("range backwards") << QStringList{QStringLiteral("--gif"),  QStringLiteral("OUT"),
                                                  QStringLiteral("--from"), QStringLiteral("20"),
                                                  QStringLiteral("--to"),   QStringLiteral("10")}
                                   << 1 << 0 << 1.0;
}

void RenderTest::renderCommand() {
  QFETCH(QStringList, arguments);
  QFETCH(int, exitCode);
  QFETCH(int, frames);
  QFETCH(double, scale);
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("sign"));
  arguments.replaceInStrings(QStringLiteral("OUT"), out);
  QProcess cli;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the command finds its way without a display
  env.remove(QStringLiteral("DISPLAY"));
  cli.setProcessEnvironment(env);
  cli.start(QStringLiteral(LUMAFEX_CLI_PATH), QStringList{QStringLiteral("render"), kSample} + arguments);
  QVERIFY(cli.waitForFinished(60000));
  QVERIFY2(cli.exitCode() == exitCode, cli.readAllStandardError().constData());
  if (frames == 0) {
    QVERIFY(!QFileInfo::exists(out));
    return;
  }
  const design::Project project = sampleProject();
  if (frames < 0) {
    const bool vertical = arguments.contains(QStringLiteral("--vertical"));
    const render::Animation animation =
        animationOf(project, vertical ? Orientation::Vertical : Orientation::Horizontal);
    const QImage png(out, "PNG");
    const long step = arguments.at(arguments.indexOf(QStringLiteral("--step")) + 1).toLong();
    render::SignFrame frame(animation.scene);
    render::StepPlayer player(animation);
    const QImage expected = frame.render(player.at(step), scale);
    QCOMPARE(png.size(), expected.size());
    QCOMPARE(png.size(), render::recordedCanvas(project.settings, animation.scene.orientation) * scale);
    // Text drawn through a scaled painter is smoothed a little differently by each process.
    if (scale == 1.0) {
      QVERIFY(png.convertToFormat(QImage::Format_RGB32) == expected);
    } else {
      QVERIFY(closeTo(png.convertToFormat(QImage::Format_RGB32), expected, 64));
    }
    return;
  }
  const Decoded gif = decode(fileBytes(out));
  QVERIFY(gif.ok);
  QCOMPARE(static_cast<int>(gif.frames.size()), frames);
  QCOMPARE(gif.size, render::recordedCanvas(project.settings, Orientation::Horizontal));
  const render::Animation animation = animationOf(project);
  const long from = arguments.contains(QStringLiteral("--from"))
                        ? arguments.at(arguments.indexOf(QStringLiteral("--from")) + 1).toLong()
                        : 1;
  QVERIFY(closeTo(gif.frames.back(), renderStep(animation, from + frames - 1)));
}

void RenderTest::desktopExportWritesTheShownPreview() {
  testing::Session s;
  s.start();
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("招牌"));
  s.dialogs.expectText("导出动画", out.toStdString());
  testing::child<QAction>(s.main(), "导出动画")->trigger();
  QVERIFY2(s.dialogs.unexpected.empty(),
           s.dialogs.unexpected.empty() ? "" : s.dialogs.unexpected.front().c_str());
  const Decoded gif = decode(fileBytes(out + QStringLiteral(".gif")));
  QVERIFY(gif.ok);
  QCOMPARE(gif.loop, 0);
  const auto& preview = s.app->horizontalPreview();
  QCOMPARE(gif.size, preview.canvas().size());
  const auto& project = s.app->document().project();
  QVERIFY(!gif.frames.empty());
  QCOMPARE(gif.delays.front(), std::max(2, design::stepIntervalOf(project.settings) / 10));
}

QTEST_MAIN(RenderTest)
#include "RenderTest.moc"
