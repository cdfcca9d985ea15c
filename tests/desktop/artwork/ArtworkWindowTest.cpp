// 实物效果 as a user meets it: the sample's artwork follows the run, an element is given a channel
// by a click, a row of tubes is numbered left to right, a photo is imported and a tube drawn on it,
// and every mapping edit can be undone, with the map file following.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "core/artwork/ChannelMap.h"
#include "core/platform/TextFile.h"
#include "desktop/app/Application.h"
#include "desktop/artwork/ArtworkWindow.h"
#include "desktop/preview/PreviewWindow.h"
#include "render/QtStrings.h"
#include "support/AppSession.h"
#include "support/Widgets.h"

using namespace lumafex;
using testing::child;

namespace {

// The map file of the open project, as text (empty when there is none).
QString mapText(testing::Session& s) {
  const auto text = platform::readGbkText(platform::pathFromUtf8(platform::us(
      s.app->projectDirectory() + QStringLiteral("/") + QString::fromUtf8(artwork::kChannelMapFile))));
  return text ? platform::qs(*text) : QString();
}

artwork::ArtworkWindow& openArtwork(testing::Session& s) {
  child<QAction>(s.main(), "实物效果菜单")->trigger();
  auto& window = s.app->artworkWindow();
  window.resize(900, 600);
  QCoreApplication::processEvents();
  return window;
}

std::optional<int> channelOf(const artwork::ArtworkWindow& window, const char* id) {
  const int i = window.scene()->document.indexOf(QString::fromUtf8(id));
  if (i < 0) qFatal("no element %s", id);
  return window.scene()->channels[static_cast<std::size_t>(i)];
}

void clickElement(artwork::ArtworkWindow& window, const char* id) {
  const auto at = window.viewPointOfElement(QString::fromUtf8(id));
  QVERIFY2(at, id);
  QTest::mouseClick(child<QWidget>(window, "实物画面"), Qt::LeftButton, {}, *at);
}

// The brightest of a pixel's colours: a lit tube of any colour has one near the top.
int peak(QRgb c) {
  return std::max({qRed(c), qGreen(c), qBlue(c)});
}

void noUnexpectedQuestions(testing::Session& s) {
  QVERIFY2(s.dialogs.unexpected.empty(),
           s.dialogs.unexpected.empty() ? "" : s.dialogs.unexpected.front().c_str());
}

}  // namespace

class ArtworkWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void sampleFollowsTheStepsAndTheTitle();
  void clickAnElementAndTypeItsChannel();
  void numberARowLeftToRight();
  void importAPhotoAndDrawATube();
};

void ArtworkWindowTest::sampleFollowsTheStepsAndTheTitle() {
  testing::Session s;
  s.start();
  auto& window = openArtwork(s);
  QVERIFY(window.scene());
  QVERIFY(window.isVisible());
  QCOMPARE(child<QLabel>(window, "未显示的路")->text(), QStringLiteral("工程的每一路都在实物图上。"));
  // 64 tubes and the 4 title characters.
  QCOMPARE(window.scene()->layout.channelCount(), 68);

  auto& preview = s.app->horizontalPreview();
  preview.showStep(QStringLiteral("X X") + QString(61, QLatin1Char(' ')), QString());
  preview.showTitle(design::titleStyleOf(s.app->document().settings()), QStringLiteral("欢□光□"));
  const auto& lit = window.litChannels();
  QCOMPARE(lit.size(), std::size_t{68});
  QVERIFY(lit[0] && !lit[1] && lit[2] && !lit[3]);
  QVERIFY(lit[64] && !lit[65] && lit[66] && !lit[67]);
  // The frame shows it: the first top tube bright, the second dim.
  const QImage frame = window.currentFrame();
  const QSizeF doc(window.scene()->document.size());
  const double f = frame.width() / doc.width();
  const QColor first = window.scene()->layout.colourOf(1);
  QVERIFY(first.red() > 200 || first.green() > 200 || first.blue() > 200);
  const QRgb on = frame.pixel(QPointF(90 * f, 60 * f).toPoint());
  const QRgb off = frame.pixel(QPointF(148 * f, 60 * f).toPoint());
  QVERIFY(peak(on) > peak(off) + 150);
  noUnexpectedQuestions(s);
}

void ArtworkWindowTest::clickAnElementAndTypeItsChannel() {
  testing::Session s;
  s.start();
  auto& window = openArtwork(s);
  child<QCheckBox>(window, "映射模式")->click();
  QCOMPARE(channelOf(window, "路5"), std::optional<int>(5));

  // A click asks the channel; 70 is beyond the project's channels but still a channel.
  s.dialogs.expectText("路号", std::string("12"));
  clickElement(window, "路5");
  QCOMPARE(channelOf(window, "路5"), std::optional<int>(12));
  QVERIFY(mapText(s).contains(QStringLiteral("元素 路5 路12")));
  QVERIFY(child<QLabel>(window, "未显示的路")->text().contains(QStringLiteral("路5")));

  // Blank: the element lights with no channel, and shows dashed as unmapped.
  s.dialogs.expectText("路号", std::string(""));
  clickElement(window, "路5");
  QCOMPARE(channelOf(window, "路5"), std::nullopt);
  QVERIFY(mapText(s).contains(QStringLiteral("元素 路5 无")));

  // Something that is no channel is refused, nothing changes.
  s.dialogs.expectText("路号", std::string("abc"));
  s.dialogs.expect("不是路号", platform::Answer::Ok);
  clickElement(window, "路5");
  QCOMPARE(channelOf(window, "路5"), std::nullopt);

  // Undo and redo go back through both edits, the file with them.
  auto* undo = child<QPushButton>(window, "撤销映射");
  undo->click();
  QCOMPARE(channelOf(window, "路5"), std::optional<int>(12));
  undo->click();
  QCOMPARE(channelOf(window, "路5"), std::optional<int>(5));
  QVERIFY(!mapText(s).contains(QStringLiteral("路5")));
  QVERIFY(!undo->isEnabled());
  child<QPushButton>(window, "重做映射")->click();
  QCOMPARE(channelOf(window, "路5"), std::optional<int>(12));
  noUnexpectedQuestions(s);
}

void ArtworkWindowTest::numberARowLeftToRight() {
  testing::Session s;
  s.start();
  auto& window = openArtwork(s);
  child<QComboBox>(window, "编号方式")->setCurrentText(QStringLiteral("从左到右"));
  child<QSpinBox>(window, "起始路")->setValue(20);
  auto* number = child<QPushButton>(window, "依次编号");
  number->click();
  QVERIFY(child<QCheckBox>(window, "映射模式")->isChecked());
  // Clicked right to left; numbered by position.
  for (const char* id : {"路3", "路1", "路2"}) clickElement(window, id);
  number->click();
  QCOMPARE(channelOf(window, "路1"), std::optional<int>(20));
  QCOMPARE(channelOf(window, "路2"), std::optional<int>(21));
  QCOMPARE(channelOf(window, "路3"), std::optional<int>(22));
  QCOMPARE(child<QSpinBox>(window, "起始路")->value(), 23);
  QVERIFY(mapText(s).contains(QStringLiteral("元素 路3 路22")));
  // In click order instead, from 路1: one undo step undoes the whole numbering.
  child<QPushButton>(window, "撤销映射")->click();
  QCOMPARE(channelOf(window, "路1"), std::optional<int>(1));
  child<QComboBox>(window, "编号方式")->setCurrentText(QStringLiteral("点击顺序"));
  child<QSpinBox>(window, "起始路")->setValue(1);
  number->click();
  for (const char* id : {"路3", "路1", "路2"}) clickElement(window, id);
  number->click();
  QCOMPARE(channelOf(window, "路3"), std::optional<int>(1));
  QCOMPARE(channelOf(window, "路1"), std::optional<int>(2));
  QCOMPARE(channelOf(window, "路2"), std::optional<int>(3));
  noUnexpectedQuestions(s);
}

void ArtworkWindowTest::importAPhotoAndDrawATube() {
  testing::Session s;
  s.start();
  QTemporaryDir dir;
  const QString photo = dir.filePath(QStringLiteral("招牌照片.png"));
  QImage picture(300, 150, QImage::Format_RGB32);
  picture.fill(QColor(90, 90, 90));
  QVERIFY(picture.save(photo));
  s.dialogs.expectText("导入实物图", platform::us(photo));
  s.dialogs.expect("是否替换", platform::Answer::Yes);
  child<QAction>(s.main(), "导入实物图")->trigger();
  noUnexpectedQuestions(s);
  const QString projectDir = s.app->projectDirectory();
  QVERIFY(QFile::exists(projectDir + QStringLiteral("/实物图.png")));
  QVERIFY(!QFile::exists(projectDir + QStringLiteral("/实物图.svg")));
  auto& window = s.app->artworkWindow();
  window.resize(900, 600);
  QCoreApplication::processEvents();
  QCOMPARE(window.scene()->document.kind(), render::ArtworkDocument::Kind::Photo);
  QCOMPARE(window.scene()->missingChannels().size(), std::size_t{68});

  // Mapping mode: two clicks and a double click draw a tube; its channel is asked.
  child<QCheckBox>(window, "映射模式")->click();
  child<QSpinBox>(window, "线宽")->setValue(10);
  auto* view = child<QWidget>(window, "实物画面");
  QTest::mouseClick(view, Qt::LeftButton, {}, window.viewPointOf(QPointF(30, 75)));
  QTest::mouseClick(view, Qt::LeftButton, {}, window.viewPointOf(QPointF(150, 75)));
  s.dialogs.expectText("路号", std::string("路7"));
  QTest::mouseDClick(view, Qt::LeftButton, {}, window.viewPointOf(QPointF(270, 75)));
  noUnexpectedQuestions(s);
  QCOMPARE(window.scene()->map.shapes.size(), std::size_t{1});
  const auto& shape = window.scene()->map.shapes.front();
  QCOMPARE(shape.channel, 7);
  QCOMPARE(shape.width, 10.0);
  QCOMPARE(shape.points.size(), std::size_t{3});
  QVERIFY(std::abs(shape.points.front().x - 30) < 1 && std::abs(shape.points.back().x - 270) < 1);
  QVERIFY(mapText(s).contains(QStringLiteral("线 路7 宽10 ")));
  QVERIFY(!child<QLabel>(window, "未显示的路")->text().contains(QStringLiteral("路7、")));

  // The drawn tube lights with its channel.
  s.app->horizontalPreview().showStep(QString(6, QLatin1Char(' ')) + QStringLiteral("X"), QString());
  const QImage lit = window.currentFrame();
  s.app->horizontalPreview().showStep(QString(), QString());
  const QImage dark = window.currentFrame();
  const QPoint mid = (QPointF(150, 75) * (lit.width() / 300.0)).toPoint();
  QVERIFY(peak(lit.pixel(mid)) > peak(dark.pixel(mid)) + 150);

  // A click on the tube changes its channel; blank removes it; undo brings it back.
  s.dialogs.expectText("路号", std::string(""));
  QTest::mouseClick(view, Qt::LeftButton, {}, window.viewPointOf(QPointF(100, 75)));
  QCOMPARE(window.scene()->map.shapes.size(), std::size_t{0});
  QVERIFY(!mapText(s).contains(QStringLiteral("线 路7")));
  child<QPushButton>(window, "撤销映射")->click();
  QCOMPARE(window.scene()->map.shapes.size(), std::size_t{1});
  noUnexpectedQuestions(s);
}

QTEST_MAIN(ArtworkWindowTest)
#include "ArtworkWindowTest.moc"
