// Logos and images on the sign as a user meets them: a project whose directory holds the pictures
// opens with one placement block per picture, blocks are dragged (images together with
// 图案同步移动), the coordinate files are written by a save and read back by an open, the menu's
// arrangements ask first, and the run draws the logos and the images its channels light.

#include <QtTest>

#include "core/design/Project.h"
#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"
#include "desktop/preview/PictureBlock.h"
#include "desktop/preview/PreviewWindow.h"
#include "desktop/preview/SignCanvas.h"
#include "support/AppSession.h"
#include "support/Widgets.h"

using lumafex::design::PictureKind;
using lumafex::platform::Answer;
using lumafex::preview::PictureBlock;
using lumafex::testing::child;
using lumafex::testing::Session;
namespace platform = lumafex::platform;

namespace {

const QColor kBlack(0, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kCyan(0, 255, 255);

// A picture with a black border `border` pixels wide around one colour.
QImage framed(int w, int h, int border, const QColor& inside) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kBlack);
  QPainter painter(&image);
  painter.fillRect(QRect(border, border, w - 2 * border, h - 2 * border), inside);
  return image;
}

// A project "招牌.hs" made from the sample project with logos and images switched on, one logo
// and three images in its directory; the program opens it on start.
struct PictureProject : Session {
  QString projectFile;
  QString projectDir;

  PictureProject() {
    projectDir = root.path() + QStringLiteral("/招牌");
    projectFile = projectDir + QStringLiteral(".hs");
    QDir().mkpath(projectDir);
    auto lines = *platform::readGbkLines(platform::pathFromUtf8(LUMAFEX_SOURCE_DIR "/data/Velarn工作室.hs"));
    std::vector<std::string> record;
    for (auto& l : lines) record.push_back(l.value_or(""));
    record[14] = "1";  // 启用标志
    record[15] = "1";  // 启用图案
    if (!platform::writeGbkLines(path(projectFile), record)) qFatal("cannot write the project");
    framed(20, 16, 3, kYellow).save(projectDir + QStringLiteral("/标志1.bmp"), "BMP");
    for (int k = 1; k <= 3; ++k) {
      framed(12, 12, 2, kCyan).save(projectDir + QStringLiteral("/图案%1.bmp").arg(k), "BMP");
    }
    settings.set("最后处理的工程名称", projectFile.toStdString());
    start();
    design().stopCommand();
    child<QTimer>(design(), "定时显示总程序")->stop();
  }
  static std::filesystem::path path(const QString& s) { return platform::pathFromUtf8(s.toStdString()); }
  const lumafex::design::Pictures& pictures() { return app->document().project().pictures; }
  QStringList fileLines(const char* name) {
    QStringList out;
    const auto lines = platform::readGbkLines(path(projectDir + QLatin1Char('/') + QString::fromUtf8(name)));
    if (!lines) return out;
    for (const auto& l : *lines) out << QString::fromStdString(l.value_or("?"));
    return out;
  }
};

// Presses the left button on a widget, moves the mouse by `by` pixels and releases it.
void drag(QWidget* w, QPoint by) {
  const QPoint local(2, 2);
  const QPoint global = w->mapToGlobal(local);
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QMouseEvent moveEvent(QEvent::MouseMove, local + by, global + by, Qt::NoButton, Qt::LeftButton,
                        Qt::NoModifier);
  QApplication::sendEvent(w, &moveEvent);
  QMouseEvent release(QEvent::MouseButtonRelease, local + by, global + by, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

}  // namespace

class SignPicturesFlowTest : public QObject {
  Q_OBJECT

 private slots:
  void blocksFollowThePicturesOfTheProject() {
    PictureProject s;
    auto& preview = s.app->horizontalPreview();
    const auto logos = preview.pictureBlocks(PictureKind::Logo);
    const auto images = preview.pictureBlocks(PictureKind::Image);
    QCOMPARE(logos.size(), std::size_t{1});
    QCOMPARE(images.size(), std::size_t{3});
    QCOMPARE(logos[0]->size(), QSize(20, 16));  // the picture's natural size
    QCOMPARE(images[2]->toolTip(), QStringLiteral("图案(2)"));
    QCOMPARE(logos[0]->toolTip(), QStringLiteral("标志(0)"));
    QCOMPARE(s.pictures().imageCount, 3);

    // A mouse move over the canvas shows them unless 锁定各物件; a move over the background hides them.
    QMouseEvent over(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    child<lumafex::controls::CheckBoxControl>(preview, "锁定各物件")->setValue(1);
    QApplication::sendEvent(child<QWidget>(preview, "Picture1"), &over);
    QVERIFY(images[0]->isHidden());
    child<lumafex::controls::CheckBoxControl>(preview, "锁定各物件")->setValue(0);
    QApplication::sendEvent(child<QWidget>(preview, "Picture1"), &over);
    QVERIFY(!images[0]->isHidden());
    QVERIFY(!logos[0]->isHidden());
    // Over a block: its number instead of its picture.
    QApplication::sendEvent(images[1], &over);
    QVERIFY(images[1]->showsNumber());
    QApplication::sendEvent(child<QWidget>(preview, "Picture2"), &over);
    QVERIFY(images[0]->isHidden());
    QVERIFY(logos[0]->isHidden());
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void draggingImageTwoMovesEveryImageWithSynchronousMove() {
    PictureProject s;
    auto& preview = s.app->horizontalPreview();
    child<lumafex::controls::CheckBoxControl>(preview, "图案同步移动")->setValue(1);
    const auto blocks = preview.pictureBlocks(PictureKind::Image);
    for (PictureBlock* b : blocks) b->show();
    std::vector<QPoint> before;
    for (PictureBlock* b : blocks) before.push_back(b->pos());
    const auto modelBefore = s.pictures().images.horizontal;
    s.app->document().setDirty(false);

    drag(blocks[2], QPoint(100, -50));

    for (std::size_t i = 0; i < blocks.size(); ++i) {
      QCOMPARE(blocks[i]->pos(), before[i] + QPoint(100, -50));
      QCOMPARE(s.pictures().images.horizontal[i].left, modelBefore[i].left + 1500);
      QCOMPARE(s.pictures().images.horizontal[i].top, modelBefore[i].top - 750);
    }
    QVERIFY(s.app->document().dirty());
    QVERIFY(child<QCheckBox>(s.design(), "需要存盘")->isChecked());

    // Without 图案同步移动 only the dragged block moves.
    child<lumafex::controls::CheckBoxControl>(preview, "图案同步移动")->setValue(0);
    drag(blocks[0], QPoint(-10, 0));
    QCOMPARE(blocks[0]->pos(), before[0] + QPoint(90, -50));
    QCOMPARE(blocks[1]->pos(), before[1] + QPoint(100, -50));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void aPressOnABlockChangesTheProjectEvenWithoutAMove() {
    PictureProject s;
    for (const PictureKind kind : {PictureKind::Logo, PictureKind::Image}) {
      PictureBlock* block = s.app->horizontalPreview().pictureBlocks(kind).front();
      block->show();
      s.app->document().setDirty(false);
      drag(block, QPoint(0, 0));
      QVERIFY(s.app->document().dirty());
    }
  }

  void blocksWithoutACoordinateFileStayWhereTheyAre() {
    PictureProject s;
    // The blocks are placed in this project, then a project of the same pictures but without
    // coordinate files is opened: its blocks stay where they were.
    PictureBlock* image = s.app->horizontalPreview().pictureBlocks(PictureKind::Image).at(1);
    image->show();
    drag(image, QPoint(40, 10));
    const auto placed = s.pictures().images.horizontal;
    const QString other = s.root.path() + QStringLiteral("/招牌二");
    QDir().mkpath(other);
    QVERIFY(QFile::copy(s.projectFile, other + QStringLiteral(".hs")));
    for (int k = 1; k <= 3; ++k) {
      framed(12, 12, 2, kCyan).save(other + QStringLiteral("/图案%1.bmp").arg(k), "BMP");
    }
    s.app->setCurrentProjectPath(other + QStringLiteral(".hs"));
    s.design().打开工程();
    for (std::size_t i = 0; i < placed.size(); ++i) {
      QCOMPARE(s.pictures().images.horizontal[i].left, placed[i].left);
      QCOMPARE(s.pictures().images.horizontal[i].top, placed[i].top);
    }
  }

  void coordinateFilesRoundTripThroughSaveAndOpen() {
    PictureProject s;
    auto& horizontal = s.app->horizontalPreview();
    auto& vertical = s.app->verticalPreview();
    for (PictureBlock* b : horizontal.pictureBlocks(PictureKind::Image)) b->show();
    for (PictureBlock* b : vertical.pictureBlocks(PictureKind::Logo)) b->show();
    drag(horizontal.pictureBlocks(PictureKind::Image)[1], QPoint(30, 7));
    drag(vertical.pictureBlocks(PictureKind::Logo)[0], QPoint(4, 60));
    const auto saved = s.pictures();

    s.main().saveProjectCommand();
    QVERIFY(!s.app->document().dirty());
    const QStringList images = s.fileLines("图案_坐标.ini");
    QCOMPARE(images.size(), 6);
    QCOMPARE(images[2], QString::number(saved.images.horizontal[1].left));
    QCOMPARE(images[3], QString::number(saved.images.horizontal[1].top));
    const QStringList verticalLogos = s.fileLines("竖列_标志_坐标.ini");
    QCOMPARE(verticalLogos, (QStringList{QString::number(saved.logos.vertical[0].left),
                                         QString::number(saved.logos.vertical[0].top)}));
    QCOMPARE(s.fileLines("标志_坐标.ini").size(), 2);
    QCOMPARE(s.fileLines("竖列_图案_坐标.ini").size(), 6);

    // Moved again without saving, then opened: the files' places come back, on the blocks too.
    drag(horizontal.pictureBlocks(PictureKind::Image)[1], QPoint(-25, 0));
    s.app->document().setDirty(false);
    s.design().打开工程();
    s.design().stopCommand();
    const auto& opened = s.pictures();
    for (std::size_t i = 0; i < 3; ++i) {
      QCOMPARE(opened.images.horizontal[i].left, saved.images.horizontal[i].left);
      QCOMPARE(opened.images.horizontal[i].top, saved.images.horizontal[i].top);
      QCOMPARE(opened.images.vertical[i].top, saved.images.vertical[i].top);
    }
    QCOMPARE(opened.logos.vertical[0].top, saved.logos.vertical[0].top);
    QCOMPARE(horizontal.pictureBlocks(PictureKind::Image)[1]->pos(),
             QPoint(platform::toPixels(saved.images.horizontal[1].left),
                    platform::toPixels(saved.images.horizontal[1].top)));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void theMenuArrangesAfterItsQuestion() {
    PictureProject s;
    auto* row = child<QAction>(s.main(), "顺序排列一行");
    QVERIFY(row->isEnabled());
    const auto before = s.pictures().images;
    s.app->document().setDirty(false);

    s.dialogs.expect("请确认重新排列各个图案！", Answer::No);
    row->trigger();
    QCOMPARE(s.pictures().images.horizontal[1].left, before.horizontal[1].left);
    QVERIFY(!s.app->document().dirty());

    s.dialogs.expect("请确认重新排列各个图案！", Answer::Yes);
    row->trigger();
    // Three 12-pixel images in a row: centres at a quarter, half and three quarters of the width.
    const QSizeF canvas = s.app->horizontalPreview().canvasTwips();
    const auto& images = s.pictures().images.horizontal;
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(images[i].left + images[i].width / 2, canvas.width() / 3 + (canvas.width() / 3 / 2) * i);
    }
    QVERIFY(s.app->document().dirty());
    QVERIFY(!s.app->horizontalPreview().pictureBlocks(PictureKind::Image)[0]->isHidden());

    s.dialogs.expect("请确认重新排列各个标志！", Answer::Yes);
    child<QAction>(s.main(), "标志排列为边框")->trigger();
    const auto& logo = s.pictures().logos.horizontal[0];
    QVERIFY(logo.left >= 0 && logo.left + logo.width <= canvas.width());
    QVERIFY(logo.top >= 0 && logo.top + logo.height <= canvas.height());
    QCOMPARE(s.dialogs.asked.back(), std::string("请确认重新排列各个标志！"));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void theRunDrawsLogosAndTheImagesOfEachStep() {
    PictureProject s;
    auto& design = s.design();
    auto& preview = s.app->horizontalPreview();
    // Tubes off: image k follows channel k. Blocks at known places: logo at (10, 10), images in a
    // row from (40, 10), 20 pixels apart.
    child<QCheckBox>(design, "启用灯管")->click();
    for (int k = 0; k < 3; ++k) {
      auto* block = preview.pictureBlocks(PictureKind::Image)[static_cast<std::size_t>(k)];
      s.app->document().edit(
          lumafex::design::ProjectDocument::PicturesPart, [&](lumafex::design::Project& p) {
            lumafex::design::dragPictureBlock(
                p, PictureKind::Image, lumafex::preview::Orientation::Horizontal, static_cast<std::size_t>(k),
                platform::toTwips(40 + 20 * k), platform::toTwips(10), false);
          });
      QCOMPARE(block->pos(), QPoint(40 + 20 * k, 10));
    }
    s.app->document().edit(lumafex::design::ProjectDocument::PicturesPart, [](lumafex::design::Project& p) {
      lumafex::design::dragPictureBlock(p, PictureKind::Logo, lumafex::preview::Orientation::Horizontal, 0,
                                        platform::toTwips(10), platform::toTwips(10), false);
    });
    // One step "X X" from the scratch step file.
    QFile scratch(s.app->scratchFile());
    QVERIFY(scratch.open(QIODevice::WriteOnly | QIODevice::Truncate));
    scratch.write("X X     \r\n");
    scratch.close();
    design.closeStepReader();
    design.tick();  // opens the file
    design.tick();  // the step
    QCOMPARE(preview.shownTubes().left(3), QStringLiteral("X X"));
    const QImage canvas = preview.renderCanvas();
    QCOMPARE(QColor(canvas.pixel(10 + 10, 10 + 8)), kYellow);  // the logo, every step
    QCOMPARE(QColor(canvas.pixel(40 + 6, 10 + 6)), kCyan);     // image 1: channel 1 lit
    QVERIFY(QColor(canvas.pixel(60 + 6, 10 + 6)) != kCyan);    // image 2: channel 2 dark
    QCOMPARE(QColor(canvas.pixel(80 + 6, 10 + 6)), kCyan);     // image 3: channel 3 lit
    QVERIFY(s.dialogs.unexpected.empty());
  }
};

QTEST_MAIN(SignPicturesFlowTest)
#include "SignPicturesFlowTest.moc"
