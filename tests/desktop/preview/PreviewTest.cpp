// The preview windows as the design window and a user meet them: lamps drawn for a step, the
// layout view, the title lit and dark, its centring and its position file after a drag, the step
// counter, the window's controls and sizes, and the drags on its background.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"
#include "desktop/controls/CheckBoxControl.h"
#include "desktop/preview/PreviewWindow.h"
#include "desktop/preview/SignCanvas.h"
#include "render/TitleRenderer.h"
#include "support/Widgets.h"

using namespace lumafex::preview;
namespace platform = lumafex::platform;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kDark(48, 48, 48);
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);

SignStyle styleOf(int columns, int rows, int colours, bool hollow = false) {
  SignStyle style;
  style.columns = columns;
  style.rows = rows;
  style.colours = colours;
  style.hollow = hollow;
  style.tubeColours = {kRed, kGreen, kBlue};
  return style;
}

QColor pixel(const QImage& image, QPoint at) {
  return QColor(image.pixel(at));
}

int countPixels(const QImage& image, const QRect& area, const std::function<bool(QColor)>& wanted) {
  int count = 0;
  const QRect within = area.intersected(image.rect());
  for (int y = within.top(); y <= within.bottom(); ++y) {
    for (int x = within.left(); x <= within.right(); ++x) count += wanted(QColor(image.pixel(x, y))) ? 1 : 0;
  }
  return count;
}

int countColour(const QImage& image, const QRect& area, const QColor& colour) {
  return countPixels(image, area, [&](QColor c) { return c.rgb() == colour.rgb(); });
}

// A horizontal preview of a fixed size with the given lamps.
std::unique_ptr<PreviewWindow> horizontalPreview(const SignStyle& style, QSize size = QSize(600, 200)) {
  auto window = std::make_unique<PreviewWindow>(Orientation::Horizontal);
  window->resize(size);
  window->setSignStyle(style);
  return window;
}

TitleStyle titleOf(const QString& text, int size = 20, int spacing = 0) {
  TitleStyle title;
  title.text = text;
  title.size = size;
  title.spacing = spacing;
  title.colour = QColor(0, 255, 255);
  return title;
}

}  // namespace

class PreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void stepLightsLampsInTheirSwatch_data();
  void stepLightsLampsInTheirSwatch();
  void hollowLampsAreOutlines();
  void layoutViewLightsEveryLamp();
  void tubesSwitchedOffDrawNoLamps();
  void verticalStepRunsDownTheCanvas();
  void crowdedSignStillShowsEveryLamp();
  void hostileSizesAreBounded();

  void titleStateDarkensCharacters();
  void titleStateShorterThanTitleDrawsOnlyItsPositions();
  void titleCentring_data();
  void titleCentring();
  void titleWindowCentresOnItsCanvas();
  void titleDragWritesThePositionFile();
  void titleRightClickAndHover();

  void stepCounterSignals();
  void windowControlsAndSizes_data();
  void windowControlsAndSizes();
  void backgroundDragMovesTheWindow();
  void backgroundDragMovesTheMdiFrame();
};

void PreviewTest::stepLightsLampsInTheirSwatch_data() {
  QTest::addColumn<int>("columns");
  QTest::addColumn<int>("rows");
  QTest::addColumn<int>("colours");
  QTest::addColumn<QString>("step");
  QTest::addColumn<QList<QColor>>("expected");  // lamp colours along a row

  QTest::newRow("X  X, one row") << 4 << 1 << 1 << QStringLiteral("X  X")
                                 << QList<QColor>{kRed, kDark, kDark, kRed};
  QTest::newRow("X  X, three rows") << 4 << 3 << 1 << QStringLiteral("X  X")
                                    << QList<QColor>{kRed, kDark, kDark, kRed};
  QTest::newRow("short line") << 4 << 2 << 1 << QStringLiteral("X")
                              << QList<QColor>{kRed, kDark, kDark, kDark};
  QTest::newRow("empty line") << 3 << 1 << 2 << QString() << QList<QColor>{kDark, kDark, kDark};
  QTest::newRow("two colours alternate")
      << 6 << 1 << 2 << QStringLiteral("XXXXXX") << QList<QColor>{kRed, kGreen, kRed, kGreen, kRed, kGreen};
  QTest::newRow("two-colour pairs") << 4 << 2 << 2 << QStringLiteral("X  X")
                                    << QList<QColor>{kRed, kDark, kDark, kGreen};
  QTest::newRow("three colours cycle") << 7 << 1 << 3 << QStringLiteral("XXXXXXX")
                                       << QList<QColor>{kRed, kGreen, kBlue, kRed, kGreen, kBlue, kRed};
  QTest::newRow("only X lights") << 4 << 1 << 1 << QStringLiteral("x-X ")
                                 << QList<QColor>{kDark, kDark, kRed, kDark};
}

void PreviewTest::stepLightsLampsInTheirSwatch() {
  QFETCH(int, columns);
  QFETCH(int, rows);
  QFETCH(int, colours);
  QFETCH(QString, step);
  QFETCH(QList<QColor>, expected);
  auto window = horizontalPreview(styleOf(columns, rows, colours));
  window->showStep(step);
  const QImage image = window->renderCanvas();
  for (int r = 1; r <= rows; ++r) {
    for (int c = 1; c <= columns; ++c) {
      const QRect lamp =
          lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")->lampRect(r, c);
      QVERIFY2(!lamp.isEmpty(), qPrintable(QStringLiteral("lamp %1,%2").arg(r).arg(c)));
      const QColor want = expected.at(c - 1);
      // The whole lamp is its colour, corners included.
      for (const QPoint at : {lamp.center(), lamp.topLeft(), lamp.bottomRight()}) {
        QCOMPARE(pixel(image, at), want);
      }
      // Nothing of it spills past its rectangle.
      QCOMPARE(pixel(image, lamp.topLeft() - QPoint(1, 1)), kBlack);
      QCOMPARE(pixel(image, lamp.bottomRight() + QPoint(1, 1)), kBlack);
    }
  }
}

void PreviewTest::hollowLampsAreOutlines() {
  auto window = horizontalPreview(styleOf(4, 1, 1, true));
  window->showStep(QStringLiteral("X  X"));
  const QImage image = window->renderCanvas();
  const QList<QColor> expected{kRed, kDark, kDark, kRed};
  for (int c = 1; c <= 4; ++c) {
    const QRect lamp =
        lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")->lampRect(1, c);
    QVERIFY(lamp.width() > 4 && lamp.height() > 4);
    QCOMPARE(pixel(image, lamp.center()), kBlack);
    for (const QPoint at :
         {lamp.topLeft(), lamp.topRight(), lamp.bottomLeft(), lamp.bottomRight(),
          QPoint(lamp.left(), lamp.center().y()), QPoint(lamp.center().x(), lamp.bottom())}) {
      QCOMPARE(pixel(image, at), expected.at(c - 1));
    }
    QCOMPARE(pixel(image, lamp.bottomRight() + QPoint(1, 1)), kBlack);
  }
}

void PreviewTest::layoutViewLightsEveryLamp() {
  auto window = horizontalPreview(styleOf(6, 2, 3));
  window->showStep(QStringLiteral("      "));
  window->layOutLamps();
  const QImage image = window->renderCanvas();
  const QList<QColor> expected{kRed, kGreen, kBlue, kRed, kGreen, kBlue};
  for (int r = 1; r <= 2; ++r) {
    for (int c = 1; c <= 6; ++c)
      QCOMPARE(pixel(image, lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")
                                ->lampRect(r, c)
                                .center()),
               expected.at(c - 1));
  }
  // A cleared canvas shows no lamp.
  window->clearCanvas();
  QCOMPARE(
      pixel(window->renderCanvas(), lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")
                                        ->lampRect(1, 1)
                                        .center()),
      kBlack);
}

void PreviewTest::tubesSwitchedOffDrawNoLamps() {
  SignStyle style = styleOf(4, 1, 1);
  style.tubesOn = false;
  auto window = horizontalPreview(style);
  window->showStep(QStringLiteral("XXXX"));
  const QImage image = window->renderCanvas();
  for (int c = 1; c <= 4; ++c)
    QCOMPARE(pixel(image, lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")
                              ->lampRect(1, c)
                              .center()),
             kBlack);
}

void PreviewTest::verticalStepRunsDownTheCanvas() {
  PreviewWindow window(Orientation::Vertical);
  window.resize(200, 600);
  window.setSignStyle(styleOf(4, 2, 1));
  window.showStep(QStringLiteral("X  X"));
  const QImage image = window.renderCanvas();
  const QList<QColor> expected{kRed, kDark, kDark, kRed};
  int lastTop = -1;
  for (int c = 1; c <= 4; ++c) {
    const QRect lamp =
        lumafex::testing::child<lumafex::preview::SignCanvas>(window, "Picture1")->lampRect(1, c);
    QVERIFY(lamp.top() > lastTop);  // channels go down
    lastTop = lamp.top();
    QVERIFY(lumafex::testing::child<lumafex::preview::SignCanvas>(window, "Picture1")->lampRect(2, c).left() >
            lamp.left());  // rows stand to the right
    for (int r = 1; r <= 2; ++r)
      QCOMPARE(pixel(image, lumafex::testing::child<lumafex::preview::SignCanvas>(window, "Picture1")
                                ->lampRect(r, c)
                                .center()),
               expected.at(c - 1));
  }
  // The lamps match the twips layout, converted once.
  const TwipsRect twips = window.lampRect(1, 1);
  const QRect lamp =
      lumafex::testing::child<lumafex::preview::SignCanvas>(window, "Picture1")->lampRect(1, 1);
  QCOMPARE(lamp.left(), platform::toPixels(twips.left));
  QCOMPARE(lamp.top(), platform::toPixels(twips.top));
  QCOMPARE(lamp.right() + 1, platform::toPixels(twips.right));
  QCOMPARE(lamp.bottom() + 1, platform::toPixels(twips.bottom));
}

void PreviewTest::crowdedSignStillShowsEveryLamp() {
  // 300 channels on a canvas 400 pixels wide: every lamp is at least one pixel.
  auto window = horizontalPreview(styleOf(300, 10, 2), QSize(408, 220));
  QString step(300, QLatin1Char(' '));
  step[299] = QLatin1Char('X');
  window->showStep(step);
  const QImage image = window->renderCanvas();
  for (int c : {1, 150, 299})
    QCOMPARE(pixel(image, lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")
                              ->lampRect(10, c)
                              .center()),
             kDark);
  QCOMPARE(pixel(image, lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")
                            ->lampRect(10, 300)
                            .center()),
           kGreen);
}

void PreviewTest::hostileSizesAreBounded() {
  // A column count read from a hostile file lays out no more lamps than a sign can have.
  auto window = horizontalPreview(styleOf(1000000000, 1000, 2), QSize(408, 220));
  window->showStep(QStringLiteral("X"));
  QVERIFY(!lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")
               ->lampRect(10, 300)
               .isEmpty());
  QVERIFY(
      lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")->lampRect(1, 301).isEmpty());
  QVERIFY(
      lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")->lampRect(11, 1).isEmpty());
  // A title of 100,000 characters lays out at most 100 of them.
  TitleRenderer renderer;
  renderer.setTitle(titleOf(QString(100000, QChar(0x5149)), 20), QString(), Orientation::Horizontal);
  const int em = TitleRenderer::fontFor(titleOf(QStringLiteral("光"), 20)).pixelSize();
  QVERIFY(renderer.pixelSize().width() <= 101 * 2 * em);
}

void PreviewTest::titleStateDarkensCharacters() {
  auto window = horizontalPreview(styleOf(4, 1, 1));
  const TitleStyle title = titleOf(QStringLiteral("工作室"), 20);
  window->clearCanvas();
  window->showTitle(title, QStringLiteral("工作室"));
  const QImage lit = window->renderCanvas();
  window->clearCanvas();
  window->showTitle(title, QStringLiteral("工□室"));
  const QImage dark = window->renderCanvas();

  // The middle character's cell: the title picture has the title's size at its start.
  const QPoint start(platform::toPixels(window->titleStart().x()),
                     platform::toPixels(window->titleStart().y()));
  const QSize size =
      lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")->title().pixelSize();
  QVERIFY(size.width() > 0);
  const int cell = size.width() / 3;
  const QRect first(start.x(), start.y(), cell, size.height());
  const QRect middle(start.x() + cell, start.y(), cell, size.height());
  QVERIFY(countColour(lit, middle, kWhite) > 10);
  QCOMPARE(countColour(dark, middle, kWhite), 0);
  QVERIFY(countColour(dark, middle, kDark) > 10);
  // The other characters stay lit.
  QCOMPARE(countColour(dark, first, kWhite), countColour(lit, first, kWhite));
  QVERIFY(countColour(dark, first, kWhite) > 10);

  // The title picture carries the title colour for lit characters and black for dark ones.
  const QImage picture = lumafex::testing::child<QLabel>(*window, "标题图片")->pixmap().toImage();
  const QRect pictureMiddle(cell, 0, cell, size.height());
  QVERIFY(countColour(picture, QRect(0, 0, cell, size.height()), title.colour) > 10);
  QCOMPARE(countPixels(picture, pictureMiddle, [](QColor c) { return c.rgb() != kBlack.rgb(); }), 0);

  // A disabled title draws nothing at all.
  window->clearCanvas();
  TitleStyle off = title;
  off.disabled = true;
  window->showTitle(off, QStringLiteral("工作室"));
  QCOMPARE(countColour(window->renderCanvas(), QRect(start, size), kWhite), 0);
  // Nor does the next step, until the title is drawn again.
  window->showTitle(title, QStringLiteral("工作室"));
  window->showStep(QStringLiteral("X"));
  QCOMPARE(countColour(window->renderCanvas(), QRect(start, size), kWhite), 0);
}

void PreviewTest::titleStateShorterThanTitleDrawsOnlyItsPositions() {
  auto window = horizontalPreview(styleOf(4, 1, 1));
  const TitleStyle title = titleOf(QStringLiteral("工作室"), 20);
  window->clearCanvas();
  window->showTitle(title, QString());  // empty: every character lit
  const int all =
      countColour(window->renderCanvas(),
                  lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")->rect(), kWhite);
  window->clearCanvas();
  window->showTitle(title, QStringLiteral("工"));
  const int one =
      countColour(window->renderCanvas(),
                  lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")->rect(), kWhite);
  QVERIFY(one > 0);
  QVERIFY(one < all / 2);
}

void PreviewTest::titleCentring_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("size");
  QTest::addColumn<int>("spacing");
  QTest::addColumn<QSizeF>("canvas");
  QTest::addColumn<int>("orientation");
  QTest::addColumn<QPoint>("expected");
  const int h = static_cast<int>(Orientation::Horizontal);
  const int v = static_cast<int>(Orientation::Vertical);
  // Int((4000 - 1200 - 80) / 2) = 1360; Int((3000 - 400) / 2) = 1300.
  QTest::newRow("three full-width, size 20, spacing 2")
      << QStringLiteral("工作室") << 20 << 2 << QSizeF(4000, 3000) << h << QPoint(1360, 1300);
  QTest::newRow("vertical exchanges the axes")
      << QStringLiteral("工作室") << 20 << 2 << QSizeF(3000, 4000) << v << QPoint(1300, 1360);
  // ASCII counts one unit: c = (6 + 6) / 2 = 6 → Int((4000 - 6·400) / 2) = 800.
  QTest::newRow("mixed width units") << QStringLiteral("Velarn工作室") << 20 << 0 << QSizeF(4000, 3000) << h
                                     << QPoint(800, 1300);
  // Size 0 is drawn as 1: Int((4000 - 60 - 0) / 2) = 1970; Int((3000 - 20) / 2) = 1490.
  QTest::newRow("size 0 counts as 1")
      << QStringLiteral("工作室") << 0 << 0 << QSizeF(4000, 3000) << h << QPoint(1970, 1490);
  // Int rounds down: (1001 - 400) / 2 = 300.5 → 300; a title wider than the canvas starts left of it.
  QTest::newRow("rounds down") << QStringLiteral("工") << 20 << 0 << QSizeF(1001, 1001) << h
                               << QPoint(300, 300);
  QTest::newRow("wider than the canvas")
      << QStringLiteral("工作室") << 20 << 0 << QSizeF(1001, 401) << h << QPoint(-100, 0);
}

void PreviewTest::titleCentring() {
  QFETCH(QString, text);
  QFETCH(int, size);
  QFETCH(int, spacing);
  QFETCH(QSizeF, canvas);
  QFETCH(int, orientation);
  QFETCH(QPoint, expected);
  QCOMPARE(TitleRenderer::centredStart(TitleRenderer::widthUnits(text), size, spacing, canvas,
                                       static_cast<Orientation>(orientation)),
           expected);
}

void PreviewTest::titleWindowCentresOnItsCanvas() {
  // A window whose canvas is 272 x 200 pixels: 4080 x 3000 twips.
  auto window = horizontalPreview(styleOf(4, 1, 1), QSize(280, 220));
  QCOMPARE(window->canvasTwips(), QSizeF(4080, 3000));
  window->showTitle(titleOf(QStringLiteral("工作室"), 20, 2), QString());
  QCOMPARE(window->titleStart(), QPoint(1400, 1300));
  // The title picture lies where the title starts.
  QCOMPARE(lumafex::testing::child<QLabel>(*window, "标题图片")->pos(),
           QPoint(platform::toPixels(1400), platform::toPixels(1300)));
  // And the sign shows white pixels there.
  const QRect area(
      lumafex::testing::child<QLabel>(*window, "标题图片")->pos(),
      lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")->title().pixelSize());
  QVERIFY(countColour(window->renderCanvas(), area, kWhite) > 10);
}

void PreviewTest::titleDragWritesThePositionFile() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString file = dir.filePath(QStringLiteral("标题_坐标.ini"));
  auto window = horizontalPreview(styleOf(4, 1, 1));
  window->setTitlePositionFile(file);
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  window->showTitle(titleOf(QStringLiteral("工作室"), 20), QString());
  QTest::mouseMove(lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1"), QPoint(5, 5));
  QVERIFY(lumafex::testing::child<QLabel>(*window, "标题图片")->isVisible());
  const QPoint before = lumafex::testing::child<QLabel>(*window, "标题图片")->pos();
  QSignalSpy changed(window.get(), &PreviewWindow::changedByUser);

  QTest::mousePress(lumafex::testing::child<QLabel>(*window, "标题图片"), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(lumafex::testing::child<QLabel>(*window, "标题图片"), QPoint(35, 25));
  QTest::mouseRelease(lumafex::testing::child<QLabel>(*window, "标题图片"), Qt::LeftButton, {},
                      QPoint(35, 25));

  const QPoint after = before + QPoint(30, 20);
  QCOMPARE(lumafex::testing::child<QLabel>(*window, "标题图片")->pos(), after);
  QCOMPARE(changed.count(), 1);
  const auto lines = platform::readGbkLines(platform::pathFromUtf8(file.toStdString()));
  QVERIFY(lines);
  QCOMPARE(lines->size(), std::size_t{2});
  QCOMPARE(QString::fromStdString(*(*lines)[0]), QString::number(after.x() * 15));
  QCOMPARE(QString::fromStdString(*(*lines)[1]), QString::number(after.y() * 15));
  const auto bytes = platform::readBytes(platform::pathFromUtf8(file.toStdString()));
  QVERIFY(bytes && bytes->find("\r\n") != std::string::npos);

  // A new window reads the position back and draws the title there.
  auto second = horizontalPreview(styleOf(4, 1, 1));
  second->setTitlePositionFile(file);
  second->showTitle(titleOf(QStringLiteral("工作室"), 20), QString());
  QCOMPARE(second->titleStart(), QPoint(after.x() * 15, after.y() * 15));
  QCOMPARE(lumafex::testing::child<QLabel>(*second, "标题图片")->pos(), after);
  const QRect area(
      after, lumafex::testing::child<lumafex::preview::SignCanvas>(*second, "Picture1")->title().pixelSize());
  QVERIFY(countColour(second->renderCanvas(), area, kWhite) > 10);

  // A file without both numbers leaves the title centred.
  QVERIFY(platform::writeGbkLines(platform::pathFromUtf8(file.toStdString()), {"120"}));
  auto third = horizontalPreview(styleOf(4, 1, 1));
  third->setTitlePositionFile(file);
  third->showTitle(titleOf(QStringLiteral("工作室"), 20), QString());
  QCOMPARE(third->titleStart(),
           TitleRenderer::centredStart(6, 20, 0, third->canvasTwips(), Orientation::Horizontal));
}

void PreviewTest::titleRightClickAndHover() {
  auto window = horizontalPreview(styleOf(4, 1, 1));
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  window->showTitle(titleOf(QStringLiteral("工作室"), 20), QString());

  // Locked: moving over the canvas leaves the title picture hidden.
  lumafex::testing::child<lumafex::controls::CheckBoxControl>(*window, "锁定各物件")->setValue(1);
  QTest::mouseMove(lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1"), QPoint(3, 3));
  QVERIFY(lumafex::testing::child<QLabel>(*window, "标题图片")->isHidden());
  lumafex::testing::child<lumafex::controls::CheckBoxControl>(*window, "锁定各物件")->setValue(0);
  QSignalSpy canvasMoves(window.get(), &PreviewWindow::canvasMouseMove);
  QTest::mouseMove(lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1"), QPoint(4, 4));
  QVERIFY(!lumafex::testing::child<QLabel>(*window, "标题图片")->isHidden());
  QVERIFY(canvasMoves.count() >= 1);
  QCOMPARE(lumafex::testing::child<QLabel>(*window, "标题图片")->cursor().shape(), Qt::SizeAllCursor);
  // While the picture is shown the sign leaves the white title out.
  const QRect area(
      lumafex::testing::child<QLabel>(*window, "标题图片")->pos(),
      lumafex::testing::child<lumafex::preview::SignCanvas>(*window, "Picture1")->title().pixelSize());
  QCOMPARE(countColour(window->renderCanvas(), area, kWhite), 0);

  QSignalSpy rightClicks(window.get(), &PreviewWindow::titleRightClicked);
  QSignalSpy changed(window.get(), &PreviewWindow::changedByUser);
  const QPoint before = lumafex::testing::child<QLabel>(*window, "标题图片")->pos();
  QTest::mouseClick(lumafex::testing::child<QLabel>(*window, "标题图片"), Qt::RightButton, {}, QPoint(4, 4));
  QCOMPARE(rightClicks.count(), 1);
  QCOMPARE(changed.count(), 0);
  QCOMPARE(lumafex::testing::child<QLabel>(*window, "标题图片")->pos(), before);

  // Moving over the background is reported.
  QSignalSpy backgroundMoves(window.get(), &PreviewWindow::backgroundMouseMove);
  QTest::mouseMove(lumafex::testing::child<QWidget>(*window, "Picture2"), QPoint(2, window->height() - 2));
  QVERIFY(backgroundMoves.count() >= 1);
}

void PreviewTest::stepCounterSignals() {
  PreviewWindow window(Orientation::Vertical);
  QCOMPARE(window.step(), 0L);
  QCOMPARE(lumafex::testing::child<QLabel>(window, "步数")->text(), QStringLiteral("0"));
  QSignalSpy spy(&window, &PreviewWindow::stepChanged);
  window.setStep(5);
  window.setStep(5);
  window.setStep(0);
  QCOMPARE(spy.count(), 2);
  QCOMPARE(spy.at(0).at(0).toLongLong(), 5LL);
  QCOMPARE(spy.at(1).at(0).toLongLong(), 0LL);
  window.setStep(123456);
  QCOMPARE(window.step(), 123456L);
  QCOMPARE(lumafex::testing::child<QLabel>(window, "步数")->text(), QStringLiteral("123456"));
}

void PreviewTest::windowControlsAndSizes_data() {
  QTest::addColumn<int>("orientation");
  QTest::addColumn<QSize>("size");
  QTest::addColumn<QRect>("canvas");
  QTest::addColumn<bool>("sizeLabelShown");
  const int h = static_cast<int>(Orientation::Horizontal);
  const int v = static_cast<int>(Orientation::Vertical);
  // Horizontal: 120 twips (8 px) right of the canvas, 300 twips (20 px) below it.
  QTest::newRow("horizontal wide") << h << QSize(1200, 300) << QRect(0, 0, 1192, 280) << true;
  QTest::newRow("horizontal 600") << h << QSize(600, 200) << QRect(0, 0, 592, 180) << true;
  // Too narrow for the size label: it is hidden rather than cut.
  QTest::newRow("horizontal 400") << h << QSize(400, 147) << QRect(0, 0, 392, 127) << false;
  // Vertical: the full width, 800 twips (53 px) below.
  QTest::newRow("vertical") << v << QSize(300, 900) << QRect(0, 0, 300, 847) << false;
  QTest::newRow("vertical narrow") << v << QSize(125, 450) << QRect(0, 0, 125, 397) << false;
}

void PreviewTest::windowControlsAndSizes() {
  QFETCH(int, orientation);
  QFETCH(QSize, size);
  QFETCH(QRect, canvas);
  QFETCH(bool, sizeLabelShown);
  const bool horizontal = orientation == static_cast<int>(Orientation::Horizontal);
  PreviewWindow window(static_cast<Orientation>(orientation));
  QCOMPARE(window.objectName(), horizontal ? QStringLiteral("花式显示窗") : QStringLiteral("竖列显示窗"));
  QCOMPARE(window.windowTitle(), horizontal ? QStringLiteral("花式显示") : QStringLiteral("竖列显示"));
  for (const char* name : {"Picture1", "Picture2", "标题图片", "步数"}) {
    QVERIFY2(window.findChild<QWidget*>(QString::fromUtf8(name)), name);
  }
  for (const char* name : {"启用标题花式", "锁定各物件", "图案同步移动"}) {
    QVERIFY2(window.findChild<lumafex::controls::CheckBoxControl*>(QString::fromUtf8(name)), name);
  }
  QCOMPARE(window.findChild<QLabel*>(QStringLiteral("宽度与高度")) != nullptr, horizontal);

  QSignalSpy resized(&window, &PreviewWindow::resized);
  QSignalSpy changed(&window, &PreviewWindow::changedByUser);
  window.resize(size);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QVERIFY(resized.count() >= 1);
  QCOMPARE(changed.count(), 0);  // the program's resize is not the user's change
  QCOMPARE(lumafex::testing::child<lumafex::preview::SignCanvas>(window, "Picture1")->geometry(), canvas);
  QCOMPARE(window.canvasTwips(), QSizeF(canvas.width() * 15.0, canvas.height() * 15.0));
  if (horizontal) {
    QCOMPARE(lumafex::testing::child<QLabel>(window, "宽度与高度")->text(),
             QStringLiteral("宽：%1  高：%2").arg(canvas.width()).arg(canvas.height()));
  }
  // Every control lies in the strip below the canvas, whole, without overlapping another.
  QList<QWidget*> controls{
      lumafex::testing::child<QLabel>(window, "步数"),
      lumafex::testing::child<lumafex::controls::CheckBoxControl>(window, "启用标题花式"),
      lumafex::testing::child<lumafex::controls::CheckBoxControl>(window, "锁定各物件"),
      lumafex::testing::child<lumafex::controls::CheckBoxControl>(window, "图案同步移动")};
  if (horizontal) {
    QCOMPARE(lumafex::testing::child<QLabel>(window, "宽度与高度")->isVisible(), sizeLabelShown);
    if (sizeLabelShown) controls << lumafex::testing::child<QLabel>(window, "宽度与高度");
  }
  for (QWidget* control : controls) {
    QVERIFY2(control->isVisible(), qPrintable(control->objectName()));
    QVERIFY2(window.rect().contains(control->geometry()), qPrintable(control->objectName()));
    QVERIFY2(control->geometry().top() > canvas.bottom(), qPrintable(control->objectName()));
    QVERIFY2(control->width() >= control->fontMetrics().horizontalAdvance(QStringLiteral("0")),
             qPrintable(control->objectName()));
    for (QWidget* other : controls) {
      if (other != control) QVERIFY(!control->geometry().intersects(other->geometry()));
    }
  }
  for (auto* box : {lumafex::testing::child<lumafex::controls::CheckBoxControl>(window, "启用标题花式"),
                    lumafex::testing::child<lumafex::controls::CheckBoxControl>(window, "锁定各物件"),
                    lumafex::testing::child<lumafex::controls::CheckBoxControl>(window, "图案同步移动")}) {
    const QFontMetrics metrics(box->font());
    QVERIFY2(box->width() >= metrics.horizontalAdvance(box->caption()) + 13, qPrintable(box->objectName()));
    QVERIFY2(box->height() >= metrics.height(), qPrintable(box->objectName()));
  }
  // The marker at the middle of the bottom (horizontal) or right (vertical) edge.
  const QImage image = window.renderCanvas();
  const QPoint marker = horizontal ? QPoint(canvas.width() / 2, canvas.height() - 1)
                                   : QPoint(canvas.width() - 1, canvas.height() / 2);
  QVERIFY(pixel(image, marker) != kBlack);
}

void PreviewTest::backgroundDragMovesTheWindow() {
  PreviewWindow window(Orientation::Horizontal);
  window.resize(400, 150);
  window.move(100, 100);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  const QPoint before = window.pos();
  QSignalSpy changed(&window, &PreviewWindow::changedByUser);
  const QPoint grip(3, window.height() - 3);  // the strip's left end is background
  QTest::mousePress(lumafex::testing::child<QWidget>(window, "Picture2"), Qt::LeftButton, {}, grip);
  QTest::mouseMove(lumafex::testing::child<QWidget>(window, "Picture2"), grip + QPoint(40, 25));
  QTest::mouseRelease(lumafex::testing::child<QWidget>(window, "Picture2"), Qt::LeftButton, {},
                      grip + QPoint(40, 25));
  QCOMPARE(window.pos(), before + QPoint(40, 25));
  QCOMPARE(changed.count(), 1);
}

void PreviewTest::backgroundDragMovesTheMdiFrame() {
  QMdiArea area;
  area.resize(1000, 700);
  auto* window = new PreviewWindow(Orientation::Vertical);
  QMdiSubWindow* frame = area.addSubWindow(window);
  frame->resize(200, 500);
  frame->move(10, 10);
  area.show();
  QVERIFY(QTest::qWaitForWindowExposed(&area));
  const QPoint before = frame->pos();
  QSignalSpy changed(window, &PreviewWindow::changedByUser);
  const QPoint grip(window->width() - 2, window->height() - 2);
  QTest::mousePress(lumafex::testing::child<QWidget>(*window, "Picture2"), Qt::RightButton, {}, grip);
  QTest::mouseMove(lumafex::testing::child<QWidget>(*window, "Picture2"), grip + QPoint(50, 30));
  QTest::mouseRelease(lumafex::testing::child<QWidget>(*window, "Picture2"), Qt::RightButton, {},
                      grip + QPoint(50, 30));
  QCOMPARE(frame->pos(), before + QPoint(50, 30));
  QCOMPARE(changed.count(), 1);
}

QTEST_MAIN(PreviewTest)
#include "PreviewTest.moc"
