// The logo and image designers as a maker uses them: the pictures of the project directory load
// into the list, adds, replaces, pastes and the eyedropper write their files and reach the
// previews, deletes remove the last files, and new and opened projects bring their own lists.

#include <QtTest>

#include "core/design/Project.h"
#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/designers/PictureDesignWindow.h"
#include "desktop/preview/PictureBlock.h"
#include "desktop/preview/PreviewWindow.h"
#include "support/AppSession.h"
#include "support/Widgets.h"

using lumafex::design::PictureDesignWindow;
using lumafex::design::PictureKind;
using lumafex::platform::Answer;
using lumafex::testing::child;
using lumafex::testing::Session;
namespace platform = lumafex::platform;

namespace {

QImage filled(int w, int h, const QColor& colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

QImage fileImage(const QString& path) {
  return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// Writes the sample project as `name`.hs with the switches given, and returns its directory.
QString writeProject(const QString& root, const QString& name, bool logos, bool images, bool tubes) {
  QString dir = root + QLatin1Char('/') + name;
  QDir().mkpath(dir);
  auto lines = *platform::readGbkLines(platform::pathFromUtf8(LUMAFEX_SOURCE_DIR "/data/Velarn工作室.hs"));
  std::vector<std::string> record;
  record.reserve(lines.size());
  for (auto& l : lines) record.push_back(l.value_or(""));
  record[14] = logos ? "1" : "0";   // 启用标志
  record[15] = images ? "1" : "0";  // 启用图案
  record[16] = tubes ? "1" : "0";   // 启用灯管
  if (!platform::writeGbkLines(platform::pathFromUtf8((dir + QStringLiteral(".hs")).toStdString()), record))
    qFatal("cannot write the project");
  return dir;
}

// A project "招牌.hs" whose directory holds the logo files 1, 2 and 4 and two images; the program
// opens it on start.
struct DesignerProject : Session {
  QString projectDir;

  explicit DesignerProject(bool tubes = true) {
    projectDir = writeProject(root.path(), QStringLiteral("招牌"), true, true, tubes);
    filled(20, 16, QColor(255, 255, 0)).save(logoFile(1), "BMP");
    filled(10, 10, QColor(0, 255, 0)).save(logoFile(2), "BMP");
    filled(30, 30, QColor(255, 0, 255)).save(logoFile(4), "BMP");
    for (int k = 1; k <= 2; ++k) filled(12, 12, QColor(0, 255, 255)).save(imageFile(k), "BMP");
    settings.set("最后处理的工程名称", (projectDir + QStringLiteral(".hs")).toStdString());
    start();
    design().stopCommand();
    child<QTimer>(design(), "定时显示总程序")->stop();
  }
  QString logoFile(int k) const { return projectDir + QStringLiteral("/标志%1.bmp").arg(k); }
  QString imageFile(int k) const { return projectDir + QStringLiteral("/图案%1.bmp").arg(k); }
  PictureDesignWindow& logos() { return app->pictureDesigner(PictureKind::Logo); }
  PictureDesignWindow& images() { return app->pictureDesigner(PictureKind::Image); }
  const lumafex::design::Pictures& pictures() { return app->document().project().pictures; }
  QWidget* picture(PictureDesignWindow& w, int k) { return child<QWidget>(w, "标志图", k); }
};

QPushButton* button(PictureDesignWindow& w, const char* name) {
  return child<QPushButton>(w, name);
}

}  // namespace

class PictureDesignWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void theConsecutiveFilesLoad() {
    DesignerProject s;
    auto& logos = s.logos();
    QCOMPARE(logos.count(), 2);  // 标志4.bmp lies after the missing 3
    QCOMPARE(child<QLineEdit>(logos, "标志的个数")->text(), QStringLiteral("2"));
    QCOMPARE(child<QLabel>(logos, "选中的标志号")->text(), QStringLiteral("选中的标志号"));
    QCOMPARE(s.picture(logos, 1)->size(), QSize(10, 10));
    QCOMPARE(child<QLabel>(logos, "序号", 1)->text(), QStringLiteral("1"));
    // The number label lies directly below its picture, the second picture 30 twips after the first.
    const QWidget* first = s.picture(logos, 0);
    const QWidget* second = s.picture(logos, 1);
    QCOMPARE(child<QLabel>(logos, "序号", 1)->geometry().top(), second->geometry().bottom() + 1);
    QCOMPARE(second->x(), first->geometry().right() + 1 + platform::toPixels(30));
    QCOMPARE(s.images().count(), 2);
    QCOMPARE(child<QLineEdit>(s.images(), "图案的个数")->text(), QStringLiteral("2"));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void addCopiesTheFirstAndTheEightyFirstIsRefused() {
    DesignerProject s;
    auto& logos = s.logos();
    s.app->showPictureDesigner(PictureKind::Logo);
    QPushButton* add = button(logos, "添加一个标志");
    add->click();
    QCOMPARE(logos.count(), 3);
    QCOMPARE(logos.selection(), 2);
    QCOMPARE(child<QLabel>(logos, "选中的标志号")->text(), QStringLiteral("2"));
    // A copy of the first picture, in its file and on both previews.
    QCOMPARE(fileImage(s.logoFile(3)), fileImage(s.logoFile(1)));
    QCOMPARE(s.pictures().logoCount, 3);
    QCOMPARE(s.app->horizontalPreview().pictureBlocks(PictureKind::Logo).size(), std::size_t{3});
    QCOMPARE(s.pictures().logos.vertical[2].width, platform::toTwips(20));
    // The old 标志4.bmp was overwritten by the fourth picture as the list grew.
    add->click();
    QCOMPARE(fileImage(s.logoFile(4)).size(), QSize(20, 16));

    while (logos.count() < 80) add->click();
    QVERIFY(QFileInfo::exists(s.logoFile(80)));
    add->click();
    QCOMPARE(logos.count(), 80);
    QCOMPARE(child<QLineEdit>(logos, "标志的个数")->text(), QStringLiteral("80"));
    QVERIFY(!QFileInfo::exists(s.logoFile(81)));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void savedFilesAre24BitBitmaps() {
    DesignerProject s;
    // A picture with an alpha channel: its transparent part becomes black on disk.
    QImage clip(8, 4, QImage::Format_ARGB32);
    clip.fill(Qt::transparent);
    clip.setPixelColor(1, 1, QColor(200, 10, 30));
    QApplication::clipboard()->setImage(clip);
    s.logos().select(1);
    button(s.logos(), "粘贴")->click();
    QFile file(s.logoFile(2));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(static_cast<int>(static_cast<unsigned char>(bytes[28])), 24);  // bits per pixel
    const QImage written = fileImage(s.logoFile(2));
    QCOMPARE(written.size(), QSize(8, 4));
    QCOMPARE(written.pixelColor(1, 1), QColor(200, 10, 30));
    QCOMPARE(written.pixelColor(0, 0), QColor(0, 0, 0));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void aPictureThatCannotBeWrittenIsReportedAndKeptOut() {
    DesignerProject s;
    auto& logos = s.logos();
    // A directory where the third picture's file belongs: the write cannot replace it.
    QVERIFY(QDir().mkpath(s.logoFile(3)));
    s.dialogs.expect("不能写入文件", Answer::Ok);
    button(logos, "添加一个标志")->click();
    QCOMPARE(logos.count(), 2);
    QCOMPARE(s.pictures().logoCount, 2);
    // A replace that cannot be written leaves the picture as its file holds it.
    QApplication::clipboard()->setImage(filled(5, 5, QColor(1, 2, 3)));
    logos.select(0);
    QFile::remove(s.logoFile(1));
    QVERIFY(QDir().mkpath(s.logoFile(1)));
    s.dialogs.expect("不能写入文件", Answer::Ok);
    button(logos, "粘贴")->click();
    QCOMPARE(s.picture(logos, 0)->size(), QSize(20, 16));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void eyedropperTurnsThePickedColourBlack() {
    DesignerProject s;
    filled(300, 300, QColor(255, 255, 255)).save(s.logoFile(1), "BMP");
    s.design().打开工程();
    s.design().stopCommand();
    auto& logos = s.logos();
    s.app->showPictureDesigner(PictureKind::Logo);
    QCOMPARE(s.picture(logos, 0)->size(), QSize(300, 300));
    button(logos, "指定透明色")->click();
    QVERIFY(logos.eyedropperOn());
    QVERIFY(s.picture(logos, 0)->cursor().shape() == Qt::BitmapCursor);

    QElapsedTimer clock;
    clock.start();
    QTest::mousePress(s.picture(logos, 0), Qt::LeftButton, {}, QPoint(123, 45));
    QVERIFY2(clock.elapsed() < 1000, "the eyedropper took a second or more");
    QVERIFY(!logos.eyedropperOn());
    QCOMPARE(logos.selection(), 0);
    const QImage written = fileImage(s.logoFile(1));
    QCOMPARE(written.size(), QSize(300, 300));
    QCOMPARE(written, filled(300, 300, QColor(0, 0, 0)));
    // The next click only selects.
    QTest::mousePress(s.picture(logos, 1), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(fileImage(s.logoFile(2)).pixelColor(2, 2), QColor(0, 255, 0));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void replaceFromFile() {
    DesignerProject s;
    auto& logos = s.logos();
    const QByteArray before = lumafex::testing::fileBytes(s.logoFile(2));

    // Nothing selected among two pictures.
    s.dialogs.expect("请先点击要更换的图片。", Answer::Ok);
    button(logos, "浏览")->click();

    // A file that is no picture: the message, and the picture stays.
    const QString notPicture = s.root.path() + QStringLiteral("/说明.bmp");
    QFile text(notPicture);
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a picture\r\n");
    text.close();
    logos.select(1);
    s.dialogs.expectText("打开", notPicture.toStdString());
    s.dialogs.expect("图片文件不符合规格！", Answer::Ok);
    button(logos, "浏览")->click();
    QCOMPARE(lumafex::testing::fileBytes(s.logoFile(2)), before);
    QCOMPARE(s.picture(logos, 1)->size(), QSize(10, 10));

    // A PNG: the picture, its file and its placement blocks take it.
    const QString png = s.root.path() + QStringLiteral("/箭头.png");
    filled(40, 24, QColor(10, 20, 250)).save(png, "PNG");
    s.dialogs.expectText("打开", png.toStdString());
    child<QToolBar>(logos, "Toolbar1");
    logos.toolbarClick(QStringLiteral("打开"));
    QCOMPARE(fileImage(s.logoFile(2)), filled(40, 24, QColor(10, 20, 250)));
    QCOMPARE(s.picture(logos, 1)->size(), QSize(40, 24));
    QCOMPARE(s.pictures().logos.horizontal[1].width, platform::toTwips(40));
    QCOMPARE(s.app->horizontalPreview().pictureBlocks(PictureKind::Logo)[1]->size(), QSize(40, 24));

    // The dialog opens on the sample pictures, which start-up drew.
    QVERIFY(QFileInfo::exists(s.appDir() + QStringLiteral("/图案例/星形.bmp")));
    QCOMPARE(QDir(s.appDir() + QStringLiteral("/图案例")).entryList(QDir::Files).size(), 4);
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void replaceWithAnIcon() {
    if (!QImageWriter::supportedImageFormats().contains("ico")) QSKIP("no ICO plug-in");
    DesignerProject s;
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    icon.setPixelColor(8, 8, QColor(255, 0, 0));
    const QString file = s.root.path() + QStringLiteral("/灯.ico");
    QVERIFY(icon.save(file, "ICO"));
    s.logos().select(0);
    s.dialogs.expectText("打开", file.toStdString());
    button(s.logos(), "浏览")->click();
    const QImage written = fileImage(s.logoFile(1));
    QCOMPARE(written.size(), QSize(16, 16));
    QCOMPARE(written.pixelColor(8, 8), QColor(255, 0, 0));
    QCOMPARE(written.pixelColor(0, 0), QColor(0, 0, 0));  // transparent: black
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void pasteAndCopy() {
    DesignerProject s;
    auto& images = s.images();
    images.select(0);
    QApplication::clipboard()->setText(QStringLiteral("文字"));
    s.dialogs.expect("请在“画图”窗体选择一个图片块！", Answer::Ok);
    child<QAction>(images, "从其他程序粘贴图片到当前图案")->trigger();
    QCOMPARE(fileImage(s.imageFile(1)).pixelColor(0, 0), QColor(0, 255, 255));

    QApplication::clipboard()->setImage(filled(14, 6, QColor(255, 128, 0)));
    child<QAction>(images, "粘贴到当前的图")->trigger();
    QCOMPARE(fileImage(s.imageFile(1)), filled(14, 6, QColor(255, 128, 0)));
    QCOMPARE(s.pictures().images.horizontal[0].height, platform::toTwips(6));

    images.select(1);
    child<QAction>(images, "复制当前的图")->trigger();
    QCOMPARE(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
             filled(12, 12, QColor(0, 255, 255)));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void deleteLastAndDeleteAll() {
    DesignerProject s;
    auto& logos = s.logos();
    s.app->showPictureDesigner(PictureKind::Logo);
    logos.select(1);
    button(logos, "删除最后一个标志")->click();
    QCOMPARE(logos.count(), 1);
    QVERIFY(!QFileInfo::exists(s.logoFile(2)));
    QVERIFY(QFileInfo::exists(s.logoFile(1)));
    QCOMPARE(child<QLabel>(logos, "选中的标志号")->text(), QStringLiteral("选中的标志号"));
    QCOMPARE(s.app->horizontalPreview().pictureBlocks(PictureKind::Logo).size(), std::size_t{1});

    // Shown, the window asks first; No keeps everything.
    s.dialogs.expect("确定删除所有标志？", Answer::No);
    button(logos, "清空标志")->click();
    QCOMPARE(logos.count(), 1);
    s.dialogs.expect("确定删除所有标志？", Answer::Yes);
    logos.toolbarClick(QStringLiteral("删除全部标志"));
    QCOMPARE(logos.count(), 0);
    QVERIFY(!QFileInfo::exists(s.logoFile(1)));
    QVERIFY(!child<QCheckBox>(s.design(), "启用标志")->isChecked());
    // Deleting from an empty list changes nothing.
    button(logos, "删除最后一个标志")->click();
    QCOMPARE(child<QLineEdit>(logos, "标志的个数")->text(), QStringLiteral("0"));

    // Hidden, the image designer deletes without a question and marks the project changed.
    s.app->document().setDirty(false);
    QVERIFY(!s.images().isVisible());
    button(s.images(), "清空图案")->click();
    QCOMPARE(s.images().count(), 0);
    QCOMPARE(s.pictures().imageCount, 0);
    QVERIFY(!QFileInfo::exists(s.imageFile(1)));
    QVERIFY(s.app->document().dirty());
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void newPictureIsEmptyAndShowsTheLogos() {
    DesignerProject s;
    auto& logos = s.logos();
    child<QCheckBox>(s.design(), "启用标志")->setChecked(false);
    logos.toolbarClick(QStringLiteral("新建"));
    QCOMPARE(logos.count(), 3);
    QVERIFY(child<QCheckBox>(s.design(), "启用标志")->isChecked());
    const QImage written = fileImage(s.logoFile(3));
    QVERIFY(!written.isNull());
    QCOMPARE(written, filled(written.width(), written.height(), QColor(0, 0, 0)));
    // The next add copies the first picture again.
    child<QAction>(logos, "复制第一个标志")->trigger();
    QCOMPARE(fileImage(s.logoFile(4)), fileImage(s.logoFile(1)));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void theSelectedNumberBlinks() {
    DesignerProject s;
    auto& logos = s.logos();
    s.app->showPictureDesigner(PictureKind::Logo);
    QTest::mousePress(s.picture(logos, 0), Qt::LeftButton, {}, QPoint(1, 1));
    auto* timer = child<QTimer>(logos, "Timer1");
    QVERIFY(timer->isActive());
    auto* first = child<QLabel>(logos, "序号", 0);
    logos.blink();
    QVERIFY(!first->isVisible());
    // Selecting another picture shows the previous number again.
    QTest::mousePress(s.picture(logos, 1), Qt::LeftButton, {}, QPoint(1, 1));
    QVERIFY(first->isVisible());
    logos.blink();
    QVERIFY(!child<QLabel>(logos, "序号", 1)->isVisible());
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void theMainWindowAndTheBlocksOpenTheDesigners() {
    DesignerProject s;
    auto& design = s.design();
    design.显示总程序Click();
    QVERIFY(child<QTimer>(design, "Timer1")->isActive());
    child<QAction>(s.main(), "图案设计")->trigger();
    QVERIFY(!child<QTimer>(design, "Timer1")->isActive());
    QVERIFY(s.images().isVisible());
    // Closing the window only hides it.
    QVERIFY(!s.images().close());
    QVERIFY(!s.images().isVisible());
    QCOMPARE(s.images().count(), 2);

    // The right button on logo block 1 opens the logo designer with picture 1 selected.
    auto* block = s.app->horizontalPreview().pictureBlocks(PictureKind::Logo)[1];
    block->show();
    QTest::mousePress(block, Qt::RightButton, {}, QPoint(1, 1));
    QVERIFY(s.logos().isVisible());
    QCOMPARE(s.logos().selection(), 1);
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void aNewProjectEmptiesBothListsWithoutAQuestion() {
    DesignerProject s;
    s.app->showPictureDesigner(PictureKind::Logo);
    s.app->document().setDirty(false);
    s.dialogs.expectText("输入新工程名称", std::string("新店"));
    s.main().新建工程();
    QCOMPARE(s.logos().count(), 0);
    QCOMPARE(s.images().count(), 0);
    QCOMPARE(s.pictures().imageCount, 0);
    // The old project's pictures are left alone.
    QVERIFY(QFileInfo::exists(s.logoFile(1)));
    QVERIFY(QFileInfo::exists(s.imageFile(2)));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void openingAProjectReloadsBothLists() {
    DesignerProject s;
    const QString other = writeProject(s.root.path(), QStringLiteral("分店"), true, true, true);
    for (int k = 1; k <= 3; ++k)
      filled(9, 9, QColor(0, 0, 255)).save(other + QStringLiteral("/图案%1.bmp").arg(k));
    s.app->document().setDirty(false);
    s.dialogs.expectText("打开", (other + QStringLiteral(".hs")).toStdString());
    s.main().openProjectCommand();
    s.design().stopCommand();
    QCOMPARE(s.images().count(), 3);
    QCOMPARE(s.logos().count(), 0);
    // The designers now write into the opened project's directory.
    s.images().select(0);
    button(s.images(), "添加一个图案")->click();
    QVERIFY(QFileInfo::exists(other + QStringLiteral("/图案4.bmp")));
    QVERIFY(!QFileInfo::exists(s.imageFile(3)));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void aDesignersLoadMakesAMissingProjectDirectory() {
    DesignerProject s;
    // A record that came without its directory.
    const QString other = writeProject(s.root.path(), QStringLiteral("孤单"), true, true, true);
    QVERIFY(QDir(other).removeRecursively());
    QCOMPARE(s.images().count(), 2);  // the designers are loaded
    s.app->document().setDirty(false);
    s.dialogs.expectText("打开", (other + QStringLiteral(".hs")).toStdString());
    s.main().openProjectCommand();
    QVERIFY(QFileInfo(other).isDir());
    QCOMPARE(s.images().count(), 0);
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void anUnreadablePictureKeepsItsPlace() {
    // A damaged 图案1.bmp beside a good 图案2.bmp: the user hears which file could not be read, and
    // the list shows a placeholder in its place, so the count and the row agree.
    Session s;
    const QString dir = writeProject(s.root.path(), QStringLiteral("坏图"), false, true, true);
    static constexpr char kGarbage[] = "BM\x10\x00 not a picture";
    const QByteArray garbage(kGarbage, sizeof kGarbage - 1);
    QFile damaged(dir + QStringLiteral("/图案1.bmp"));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(garbage);
    damaged.close();
    filled(12, 12, QColor(0, 255, 255)).save(dir + QStringLiteral("/图案2.bmp"), "BMP");
    s.settings.set("最后处理的工程名称", (dir + QStringLiteral(".hs")).toStdString());
    s.dialogs.expect("以下图片文件不能读取", Answer::Ok);
    s.start();
    s.design().stopCommand();
    QCOMPARE(static_cast<int>(s.dialogs.asked.size()), 1);
    QVERIFY(QString::fromStdString(s.dialogs.asked.front()).contains(dir + QStringLiteral("/图案1.bmp")));
    QVERIFY(!QString::fromStdString(s.dialogs.asked.front()).contains(QStringLiteral("图案2.bmp")));

    auto& images = s.app->pictureDesigner(PictureKind::Image);
    QCOMPARE(images.count(), 2);
    QCOMPARE(child<QLineEdit>(images, "图案的个数")->text(), QStringLiteral("2"));
    QWidget* placeholder = child<QWidget>(images, "图案图", 0);
    // As large as a placement block without a picture, and visible: not black like the sign.
    QCOMPARE(placeholder->size(), QSize(platform::toPixels(lumafex::design::kDefaultBlockTwips),
                                        platform::toPixels(lumafex::design::kDefaultBlockTwips)));
    const QImage shown = placeholder->grab().toImage();
    QVERIFY(shown.pixelColor(shown.width() / 2, shown.height() / 2) != QColor(0, 0, 0));
    QVERIFY(placeholder->toolTip().contains(QStringLiteral("图案1.bmp")));
    QCOMPARE(child<QWidget>(images, "图案图", 1)->size(), QSize(12, 12));
    // The number labels follow the row.
    QCOMPARE(child<QLabel>(images, "序号", 1)->geometry().left(), child<QWidget>(images, "图案图", 1)->x());
    // The damaged file is left as it was.
    QCOMPARE(lumafex::testing::fileBytes(dir + QStringLiteral("/图案1.bmp")), garbage);
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void theImageCountDrivesTheTotalProgram() {
    DesignerProject s;
    const QString total = s.appDir() + QStringLiteral("/霓虹灯花式.txt");
    auto lineLength = [&] {
      const QList<QByteArray> lines = lumafex::testing::fileBytes(total).split('\n');
      if (lines.isEmpty()) return -1;
      QByteArray first = lines.front();
      if (first.endsWith('\r')) first.chop(1);
      return static_cast<int>(first.size());
    };
    const int columns = child<QLineEdit>(s.design(), "列数")->text().toInt();
    QVERIFY(s.design().生成TXT文件Click());
    QCOMPARE(lineLength(), columns + 2);
    button(s.images(), "添加一个图案")->click();
    button(s.images(), "添加一个图案")->click();
    s.design().显示总程序Click();
    QVERIFY(s.design().生成TXT文件Click());
    QCOMPARE(lineLength(), columns + 4);
    QVERIFY(s.dialogs.unexpected.empty());
  }
};

QTEST_MAIN(PictureDesignWindowTest)
#include "PictureDesignWindowTest.moc"
