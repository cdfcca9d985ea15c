// The artwork lit as the chip drives it: the channels of an SVG saved by a drawing program, the
// pixels of a frame (lit, dark, glow, dimmed, colours), a photo's drawn tubes, and lumafex-cli's
// PNG and MP4 against the same drawing.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "core/artwork/ChannelMap.h"
#include "core/design/Rules.h"
#include "core/platform/TextFile.h"
#include "render/QtStrings.h"
#include "render/artwork/ArtworkExport.h"
#include "render/artwork/ArtworkRenderer.h"
#include "support/RunCli.h"

using namespace lumafex;

namespace {

const QString kData = QStringLiteral(LUMAFEX_TEST_DATA "/artwork");
const QString kSample = QStringLiteral(LUMAFEX_SOURCE_DIR "/data/Velarn工作室.hs");

render::ChannelLayout testLayout(int channels) {
  render::ChannelLayout l;
  l.tubeChannels = channels;
  l.lineChannels = channels;
  l.colourCount = 2;
  l.tubeColours = {QColor(255, 255, 0), QColor(255, 0, 255), QColor(0, 0, 255)};
  return l;
}

// The hand-written drawing: a red tube (路1), a green box given 路2 by the map, a black-stroked
// tube that takes its channel's colour (路3), a tube moved by its group's transform (路4) and a
// white circle that lights with no channel.
render::ArtworkScene handWritten() {
  QFile file(kData + QStringLiteral("/hand-written.svg"));
  if (!file.open(QIODevice::ReadOnly)) qFatal("hand-written.svg is missing");
  auto doc = render::ArtworkDocument::fromSvg(file.readAll());
  if (!doc) qFatal("%s", doc.error().c_str());
  render::ArtworkScene scene;
  scene.document = std::move(*doc);
  scene.map.assign("box", 2);
  scene.layout = testLayout(4);
  scene.resolve();
  return scene;
}

std::vector<bool> litOf(std::initializer_list<int> channels, int count) {
  std::vector<bool> lit(static_cast<std::size_t>(count));
  for (int c : channels) lit[static_cast<std::size_t>(c - 1)] = true;
  return lit;
}

int brightness(QRgb c) {
  return qRed(c) + qGreen(c) + qBlue(c);
}

void copyFile(const QString& from, const QString& to) {
  QFile::remove(to);
  QVERIFY2(QFile::copy(from, to), qPrintable(from));
}

// A copy of the sample project with a drawing of its own and the map file beside it.
QString projectWith(const QTemporaryDir& dir, const QString& svg, const QString& map) {
  const QString project = dir.filePath(QStringLiteral("招牌.hs"));
  QDir().mkpath(dir.filePath(QStringLiteral("招牌")));
  copyFile(kSample, project);
  copyFile(QStringLiteral(LUMAFEX_SOURCE_DIR "/data/Velarn工作室/标题花式.bt"),
           dir.filePath(QStringLiteral("招牌/标题花式.bt")));
  copyFile(svg, dir.filePath(QStringLiteral("招牌/实物图.svg")));
  if (!map.isEmpty()) copyFile(map, dir.filePath(QStringLiteral("招牌/实物通道.txt")));
  return project;
}

}  // namespace

class ArtworkTest : public QObject {
  Q_OBJECT

 private slots:
  void channelsOfADrawingProgramsFile();
  void framePixels();
  void aBrokenOrForeignFileIsRefused();
  void photoTubesDrawnFromTheMap();
  void cliPictureIsTheDrawingOfTheChipsStep();
  void cliVideoLastsAsLongAsTheSteps();
};

void ArtworkTest::channelsOfADrawingProgramsFile() {
  auto doc = render::ArtworkDocument::load(
      platform::pathFromUtf8(platform::us(kData + QStringLiteral("/inkscape.svg"))));
  QVERIFY2(doc, doc ? "" : doc.error().c_str());
  // 120 mm × 60 mm at 96 dpi.
  QCOMPARE(doc->size(), QSize(454, 227));
  auto reading =
      artwork::readChannelMap(platform::pathFromUtf8(platform::us(kData + QStringLiteral("/实物通道.txt"))));
  QVERIFY(reading && reading->problems.empty());
  render::ArtworkScene scene;
  scene.document = std::move(*doc);
  scene.map = reading->map;
  scene.layout = testLayout(4);
  scene.resolve();
  const struct {
    const char* id;
    std::optional<int> channel;
    std::optional<QColor> colour;
  } expected[] = {
      {"layer1", std::nullopt, std::nullopt},
      {"tube-a", 1, QColor(0xff, 0x20, 0x20)},    // inkscape:label 路1, stroke
      {"letters", 3, QColor(0x20, 0xa0, 0xff)},   // inkscape:label ch3
      {"letter-1", 3, QColor(0x20, 0xa0, 0xff)},  // the group's channel and stroke
      {"letter-2", 3, QColor(0x20, 0xa0, 0xff)},
      {"lamp-box", 4, QColor(0x30, 0xff, 0x30)},  // the map file; fill
      {"dot", 2, std::nullopt},                   // black stroke: the channel's colour
      {"deco", std::nullopt, QColor(0x80, 0x80, 0x80)},
  };
  for (const auto& e : expected) {
    const int i = scene.document.indexOf(QString::fromUtf8(e.id));
    QVERIFY2(i >= 0, e.id);
    QCOMPARE(scene.channels[static_cast<std::size_t>(i)], e.channel);
    QCOMPARE(scene.document.elements()[static_cast<std::size_t>(i)].colour, e.colour);
  }
  QCOMPARE(scene.unknownIds, std::vector<std::string>{"ghost"});
  QCOMPARE(scene.warnings().size(), std::size_t{1});
  QCOMPARE(scene.missingChannels(), std::vector<int>{});
  // The namedview and the definitions are no elements.
  QCOMPARE(scene.document.indexOf(QStringLiteral("namedview12")), -1);
  QCOMPARE(scene.document.elements().size(), std::size_t{8});

  // Drawn, the layer's transform is kept: tube-a lies at (10…55, 10) in drawing units.
  const render::ArtworkRenderer renderer(scene, scene.document.size());
  const QImage lit = renderer.render(litOf({1}, 4));
  const QImage dark = renderer.render(litOf({}, 4));
  const double px = 454.0 / 120;
  const QPoint onTube(static_cast<int>(30 * px), static_cast<int>(10 * px));
  QVERIFY(qRed(lit.pixel(onTube)) > 240);
  QVERIFY(qRed(dark.pixel(onTube)) < 120);
}

void ArtworkTest::framePixels() {
  const render::ArtworkScene scene = handWritten();
  QCOMPARE(scene.document.size(), QSize(200, 100));
  QCOMPARE(scene.missingChannels(), std::vector<int>{});
  const render::ArtworkRenderer renderer(scene, QSize(400, 200));  // drawn twice as large
  const QImage dark = renderer.render(litOf({}, 4));
  const QImage all = renderer.render(litOf({1, 2, 3, 4}, 4));
  const QImage one = renderer.render(litOf({1}, 4));
  QCOMPARE(dark.size(), QSize(400, 200));

  // A lit tube is far brighter than its dark self, in its stroke colour.
  const QPoint tube1(200, 40);
  QVERIFY(qRed(one.pixel(tube1)) >= 250);
  QVERIFY(qGreen(one.pixel(tube1)) < 80 && qBlue(one.pixel(tube1)) < 80);
  QVERIFY(qRed(dark.pixel(tube1)) > 30 && qRed(dark.pixel(tube1)) < 110);  // unlit glass: dim, but there
  // The glow reaches outside the stroke (6 units wide, so 6 pixels either side of the centre here).
  for (int away : {10, 16, 24}) {
    QVERIFY2(qRed(one.pixel(200, 40 - away)) > qRed(dark.pixel(200, 40 - away)) + 8,
             qPrintable(QString::number(away)));
  }
  // A tube away from the lit one is not lit by it.
  QCOMPARE(one.pixel(300, 100), dark.pixel(300, 100));
  // Colour from the fill (the box, mapped by the map), from the channel (black stroke: 路3 is the
  // first tube colour) and through a group's transform (路4, stroke given as rgb()).
  QVERIFY(qGreen(all.pixel(70, 100)) >= 250 && qRed(all.pixel(70, 100)) < 80);
  QVERIFY(qGreen(dark.pixel(70, 100)) < 110);
  const QRgb yellow = all.pixel(260, 100);
  QVERIFY(qRed(yellow) >= 250 && qGreen(yellow) >= 250 && qBlue(yellow) < 120);
  QVERIFY(qBlue(all.pixel(260, 160)) >= 250);
  QVERIFY(qBlue(dark.pixel(260, 160)) < 110);
  QVERIFY(brightness(all.pixel(260, 100)) > brightness(dark.pixel(260, 100)) + 300);
  // The unmapped white circle is drawn dimmed, the same lit or dark.
  const QRgb deco = dark.pixel(80, 170);
  QVERIFY(qRed(deco) > 80 && qRed(deco) < 160);
  QCOMPARE(all.pixel(80, 170), deco);
  // Without glow the lit tube ends at its stroke.
  render::ArtworkLook flat;
  flat.glow = false;
  const render::ArtworkRenderer plain(scene, QSize(400, 200), flat);
  QCOMPARE(plain.render(litOf({1}, 4)).pixel(200, 16), plain.render(litOf({}, 4)).pixel(200, 16));
  QVERIFY(plain.channelArea(1).height() < renderer.channelArea(1).height());
}

void ArtworkTest::aBrokenOrForeignFileIsRefused() {
  QVERIFY(!render::ArtworkDocument::fromSvg(QByteArray("<svg><path></svg>")));
  QVERIFY(!render::ArtworkDocument::fromSvg(QByteArray("<html><body/></html>")));
  QVERIFY(!render::ArtworkDocument::fromSvg(QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"></svg>")));
  // The viewBox gives the size when width and height are missing.
  auto doc =
      render::ArtworkDocument::fromSvg(QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 "
                                                  "320 90\"><path id=\"p\" d=\"M0 0 L10 10\"/></svg>"));
  QVERIFY(doc);
  QCOMPARE(doc->size(), QSize(320, 90));
}

void ArtworkTest::photoTubesDrawnFromTheMap() {
  QImage photo(100, 50, QImage::Format_RGB32);
  photo.fill(QColor(200, 200, 200));
  auto doc = render::ArtworkDocument::fromPhoto(photo);
  QVERIFY(doc);
  render::ArtworkScene scene;
  scene.document = std::move(*doc);
  scene.map.shapes.push_back({artwork::Shape::Kind::Line, 2, 6, {{10, 25}, {90, 25}}});
  scene.map.shapes.push_back({artwork::Shape::Kind::Area, 3, 0, {{5, 5}, {20, 5}, {20, 15}}});
  scene.layout = testLayout(3);
  scene.resolve();
  QCOMPARE(scene.missingChannels(), std::vector<int>{1});
  const render::ArtworkRenderer renderer(scene, QSize(200, 100));
  const QImage lit = renderer.render(litOf({2, 3}, 3));
  const QImage dark = renderer.render(litOf({}, 3));
  // The photo is dimmed behind the tubes; 路2 takes the second tube colour (magenta), 路3 the first.
  QVERIFY(qGreen(dark.pixel(100, 90)) < 100 && qGreen(dark.pixel(100, 90)) > 40);
  QVERIFY(qRed(lit.pixel(100, 50)) >= 250 && qBlue(lit.pixel(100, 50)) >= 250);
  QVERIFY(qGreen(lit.pixel(100, 50)) < qRed(lit.pixel(100, 50)) - 100);
  QVERIFY(qRed(lit.pixel(30, 16)) >= 250 && qGreen(lit.pixel(30, 16)) >= 250);
  QVERIFY(brightness(dark.pixel(100, 50)) < brightness(lit.pixel(100, 50)) - 200);
}

void ArtworkTest::cliPictureIsTheDrawingOfTheChipsStep() {
  QTemporaryDir dir;
  const QString project =
      projectWith(dir, kData + QStringLiteral("/inkscape.svg"), kData + QStringLiteral("/实物通道.txt"));
  const QString out = dir.filePath(QStringLiteral("step.png"));
  for (const long step : {1L, 7L, 40L}) {
    const auto r =
        testing::runCli("render '" + platform::us(project) + "' --artwork --png '" + platform::us(out) +
                            "' --step " + std::to_string(step) + " --scale 1.5",
                        true);
    QCOMPARE(r.status, 0);
    // The map's unknown id is reported; the sample's channels the drawing lacks are listed.
    QVERIFY(r.out.find("ghost") != std::string::npos);
    QVERIFY(r.out.find("实物图上没有的路：路5-路68") != std::string::npos);
    const QImage png(out);
    QCOMPARE(png.size(), QSize(681, 341));

    // The same step drawn here, from the chip's channels of that step.
    render::AnimationSource source;
    auto read = render::readProject(platform::pathFromUtf8(platform::us(project)));
    QVERIFY(read);
    source.project = &*read;
    source.projectFile = platform::pathFromUtf8(platform::us(project));
    source.projectDirectory = platform::pathFromUtf8(platform::us(dir.filePath(QStringLiteral("招牌"))));
    auto animation = render::artworkAnimationOf(source);
    QVERIFY(animation);
    render::StepPlayer player(animation->animation);
    const auto stepShown = player.at(step);
    const auto lit = render::chipChannelsOf(animation->scene->layout, stepShown);
    QCOMPARE(lit.size(), std::size_t{68});
    // The chip's channel c is character c of the step line.
    for (std::size_t c = 0; c < 4; ++c)
      QCOMPARE(lit[c], stepShown.line.size() > c && stepShown.line[c] == 'X');
    const render::ArtworkRenderer renderer(*animation->scene, QSize(681, 341));
    QVERIFY(png.convertToFormat(QImage::Format_RGB32) == renderer.render(lit));
  }
}

void ArtworkTest::cliVideoLastsAsLongAsTheSteps() {
  const QString ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
  if (ffprobe.isEmpty()) QSKIP("ffprobe is not installed: the MP4 cannot be read back");
  QTemporaryDir dir;
  const QString project =
      projectWith(dir, QStringLiteral(LUMAFEX_SOURCE_DIR "/data/Velarn工作室/实物图.svg"), {});
  auto read = render::readProject(platform::pathFromUtf8(platform::us(project)));
  QVERIFY(read);
  const int ms = design::stepIntervalOf(read->settings);
  const struct {
    QString scale;
    int from;
    int to;
    QSize size;
    QString pixels;
  } cases[] = {
      {QStringLiteral("0.5"), 1, 30, QSize(640, 360), QStringLiteral("yuv420p")},
      {QStringLiteral("0.2"), 11, 17, QSize(256, 144), QStringLiteral("yuv420p")},
      {QStringLiteral("0.3"), 1, 5, QSize(384, 216), QStringLiteral("yuv420p")},
      {QStringLiteral("0.25"), 1, 3, QSize(320, 180), QStringLiteral("yuv420p")},
      {QStringLiteral("0.1"), 1, 3, QSize(128, 72), QStringLiteral("yuv420p")},
      {QStringLiteral("0.15"), 2, 9, QSize(192, 108), QStringLiteral("yuv420p")},
      {QStringLiteral("0.45"), 1, 4, QSize(576, 324), QStringLiteral("yuv420p")},
      {QStringLiteral("0.35"), 1, 4, QSize(448, 252), QStringLiteral("yuv420p")},
      {QStringLiteral("0.123"), 1, 4, QSize(157, 89), QStringLiteral("yuv444p")},  // odd: kept exact
  };
  for (const auto& c : cases) {
    const QString out = dir.filePath(QStringLiteral("招牌.mp4"));
    const auto r = testing::runCli("render '" + platform::us(project) + "' --artwork --mp4 '" +
                                   platform::us(out) + "' --scale " + platform::us(c.scale) + " --from " +
                                   std::to_string(c.from) + " --to " + std::to_string(c.to));
    QCOMPARE(r.status, 0);
    QProcess probe;
    probe.start(ffprobe, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
                          QStringLiteral("-show_entries"),
                          QStringLiteral("stream=codec_name,width,height,pix_fmt,nb_read_frames,avg_frame_"
                                         "rate:format=duration,format_name"),
                          QStringLiteral("-of"), QStringLiteral("default=nw=1"), out});
    QVERIFY(probe.waitForFinished(30000));
    const QString text = QString::fromUtf8(probe.readAllStandardOutput());
    const auto field = [&](const QString& name) {
      for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(name + QLatin1Char('='))) return line.mid(name.size() + 1).trimmed();
      }
      return QString();
    };
    QCOMPARE(field(QStringLiteral("codec_name")), QStringLiteral("h264"));
    QVERIFY(field(QStringLiteral("format_name")).contains(QStringLiteral("mp4")));
    QCOMPARE(QSize(field(QStringLiteral("width")).toInt(), field(QStringLiteral("height")).toInt()), c.size);
    QCOMPARE(field(QStringLiteral("pix_fmt")), c.pixels);
    QCOMPARE(field(QStringLiteral("avg_frame_rate")), QStringLiteral("25/1"));
    const long steps = c.to - c.from + 1;
    const long frames = render::videoFrameCount(steps, ms, 25);
    QCOMPARE(field(QStringLiteral("nb_read_frames")).toLong(), frames);
    // As long as the steps at the project's speed, to the nearest frame.
    const double duration = field(QStringLiteral("duration")).toDouble();
    QVERIFY2(std::abs(duration - steps * ms / 1000.0) <= 0.5 / 25 + 1e-6, qPrintable(text));
  }
  // Without an H.264-capable request nothing is left behind: a bad range writes no file.
  const QString none = dir.filePath(QStringLiteral("none.mp4"));
  QCOMPARE(testing::runCli("render '" + platform::us(project) + "' --artwork --mp4 '" + platform::us(none) +
                           "' --from 99999")
               .status,
           1);
  QVERIFY(!QFile::exists(none));
  QVERIFY(QDir(dir.path()).entryList({QStringLiteral(".lumafex-*")}, QDir::Hidden | QDir::Files).isEmpty());
}

QTEST_MAIN(ArtworkTest)
#include "ArtworkTest.moc"
