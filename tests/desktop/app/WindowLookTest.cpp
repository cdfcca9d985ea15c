// Every window of the program as a person sees it on the screen the test runs on (ctest runs this
// program on a 1600 × 1000 screen, on a 1024 × 768 one, and on the 1600 × 1000 one at scale 2, which
// leaves 800 × 500): each window lies inside its work area (a working window inside the main
// window's client area, a top-level window inside the screen), no control lies outside the widget
// holding it or over another, every caption fits, no laid-out window is squeezed below what its
// layout needs, and the pictures the program draws have as many pixels as the screen shows. The windows are
// looked at as the program opens, with the previews switched on and off, with a tall horizontal preview, with
// the post-processing window, and with the output window, the designers and the artwork window opened one
// after the other, at the main window's opened size and filling the screen. Each state is saved as a picture
// in the build directory ("look-shots").
//
// Exempt, on purpose: the children of a preview's sign canvas (the title picture and the placement
// blocks are placed over the canvas, and over one another, by the user), the preview's background
// (it lies under all of its controls), and the free working windows (output, designers, artwork),
// which lie over the others as windows do; they must still lie inside the client area.

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QtTest>

#include "core/design/PictureList.h"
#include "core/platform/Twips.h"
#include "desktop/app/AboutWindow.h"
#include "desktop/app/ChipImportDialog.h"
#include "desktop/app/MainWindow.h"
#include "desktop/app/ProgramSetUp.h"
#include "desktop/app/SplashWindow.h"
#include "desktop/app/WorkArea.h"
#include "desktop/artwork/ArtworkWindow.h"
#include "desktop/compiler/OutputWindow.h"
#include "desktop/design/DesignWindow.h"
#include "desktop/designers/PictureDesignWindow.h"
#include "desktop/postedit/PostEditWindow.h"
#include "desktop/preview/PreviewWindow.h"
#include "desktop/update/DownloadWindow.h"
#include "desktop/update/UpdateWindow.h"
#include "support/AppSession.h"
#include "support/LayoutCheck.h"
#include "support/Widgets.h"

using lumafex::design::PictureKind;
using lumafex::testing::child;
using lumafex::testing::layoutFaults;
using lumafex::testing::LayoutRules;
using lumafex::testing::Session;

namespace {

LayoutRules previewRules() {
  LayoutRules rules;
  rules.placesChildrenFreely = [](const QWidget* w) {
    return w->objectName() == QStringLiteral("Picture1") &&
           qobject_cast<const lumafex::preview::PreviewWindow*>(w->parentWidget());
  };
  rules.isBackground = [](const QWidget* w) {
    return w->objectName() == QStringLiteral("Picture2") &&
           qobject_cast<const lumafex::preview::PreviewWindow*>(w->parentWidget());
  };
  return rules;
}

// The working windows that share the client area without covering one another.
bool isTiled(const QMdiSubWindow* frame) {
  static const QStringList names{QStringLiteral("designFrame"), QStringLiteral("postEditFrame"),
                                 QStringLiteral("horizontalFrame"), QStringLiteral("verticalFrame")};
  return names.contains(frame->objectName());
}

QString rectText(const QRect& r) {
  return QStringLiteral("[%1,%2 %3x%4]").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

void settle() {
  // Layouts and geometry changes arrive as posted events.
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

}  // namespace

class WindowLookTest : public QObject {
  Q_OBJECT

 private:
  QString shotDirectory() const {
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const qreal ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    QString dir = qEnvironmentVariable("LUMAFEX_LOOK_SHOTS");
    if (dir.isEmpty()) dir = QDir::currentPath() + QStringLiteral("/look-shots");
    dir += QStringLiteral("/%1x%2-scale%3").arg(screen.width()).arg(screen.height()).arg(ratio);
    QDir().mkpath(dir);
    return dir;
  }

  // The faults of the main window, its working windows and every other top-level window shown,
  // and a picture of each top-level window.
  QStringList look(const QString& state) {
    settle();
    QStringList faults;
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const LayoutRules rules = previewRules();
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (!window->isVisible() ||
          !(window->windowType() == Qt::Window || window->windowType() == Qt::Dialog ||
            window->windowType() == Qt::SplashScreen)) {
        continue;
      }
      const QString name = window->objectName();
      if (!available.contains(window->frameGeometry()))
        faults << name + QStringLiteral(" lies outside the screen ") + rectText(available) +
                      QStringLiteral(": ") + rectText(window->frameGeometry());
      faults << layoutFaults(window, rules);
      window->grab().save(shotDirectory() + QStringLiteral("/%1-%2.png").arg(state, name));
      auto* area = window->findChild<QMdiArea*>();
      if (!area) continue;
      const QRect client = area->viewport()->rect();
      QList<QMdiSubWindow*> tiled;
      for (QMdiSubWindow* frame : area->subWindowList()) {
        if (!frame->isVisible()) continue;
        if (!client.contains(frame->geometry()))
          faults << frame->objectName() + QStringLiteral(" lies outside the client area ") +
                        rectText(client) + QStringLiteral(": ") + rectText(frame->geometry());
        if (frame->widget()) faults << layoutFaults(frame->widget(), rules);
        if (isTiled(frame)) tiled << frame;
      }
      for (qsizetype i = 0; i < tiled.size(); ++i) {
        for (qsizetype j = i + 1; j < tiled.size(); ++j) {
          if (tiled[i]->geometry().intersects(tiled[j]->geometry()))
            faults << tiled[i]->objectName() + QStringLiteral(" covers ") + tiled[j]->objectName() +
                          QLatin1Char(' ') + rectText(tiled[i]->geometry()) + QLatin1Char(' ') +
                          rectText(tiled[j]->geometry());
        }
      }
    }
    for (QString& fault : faults) fault.prepend(state + QStringLiteral(": "));
    return faults;
  }

  // The main window with its frame filling the screen's available area, as a maximised window.
  static void fillScreen(QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(),
                           frame.right() - inner.right(), frame.bottom() - inner.bottom());
    window.setGeometry(QGuiApplication::primaryScreen()->availableGeometry().marginsRemoved(margins));
  }

  // Pictures that a dense screen would show enlarged from fewer pixels: the toolbar icons, the
  // title picture and the palette are drawn at the screen's pixel ratio.
  static QStringList blurredPictures(QWidget& main) {
    QStringList faults;
    const auto check = [&](const QWidget* w, const QPixmap& picture) {
      if (picture.isNull()) return;
      const qreal wanted = w->devicePixelRatioF();
      if (picture.devicePixelRatio() != wanted)
        faults << QStringLiteral("%1 drawn at pixel ratio %2 on a screen of %3")
                      .arg(w->objectName())
                      .arg(picture.devicePixelRatio())
                      .arg(wanted);
    };
    for (const auto* button : main.findChildren<lumafex::controls::VelarnButton*>())
      check(button, button->picture());
    for (const auto* label : main.findChildren<QLabel*>(QStringLiteral("标题图片")))
      check(label, label->pixmap());
    for (const auto* label : main.findChildren<QLabel*>(QStringLiteral("调色板")))
      check(label, label->pixmap());
    return faults;
  }

  static QMdiSubWindow* frame(Session& s, const char* name) { return child<QMdiSubWindow>(s.main(), name); }

  // The states of the main window and its working windows, with the main window as it is.
  QStringList lookAtWorkingWindows(Session& s, const QString& size) {
    QStringList faults;
    auto& main = s.main();
    auto* vertical = child<lumafex::controls::CheckBoxControl>(main, "启用竖列显示");
    auto* horizontal = child<lumafex::controls::CheckBoxControl>(main, "启用横显示");
    faults << look(size + QStringLiteral("-start"));
    vertical->Click_操作();
    faults << look(size + QStringLiteral("-both-previews"));
    horizontal->Click_操作();
    faults << look(size + QStringLiteral("-vertical-preview"));
    horizontal->Click_操作();
    vertical->Click_操作();
    // A project whose record keeps a horizontal preview 5000 twips high.
    QMdiSubWindow* horizontalFrame = frame(s, "horizontalFrame");
    const int height = horizontalFrame->height();
    horizontalFrame->resize(horizontalFrame->width(), lumafex::platform::toPixels(5000));
    main.调整尺寸();
    faults << look(size + QStringLiteral("-tall-preview"));
    vertical->Click_操作();
    faults << look(size + QStringLiteral("-tall-preview-both"));
    vertical->Click_操作();
    horizontalFrame->resize(horizontalFrame->width(), height);
    main.调整尺寸();
    return faults;
  }

 private slots:
  void initTestCase() {
    lumafex::app::setUpProgram(*qApp);
    qInfo("screen %dx%d (available %dx%d), device pixel ratio %g",
          QGuiApplication::primaryScreen()->geometry().width(),
          QGuiApplication::primaryScreen()->geometry().height(),
          QGuiApplication::primaryScreen()->availableGeometry().width(),
          QGuiApplication::primaryScreen()->availableGeometry().height(), qApp->devicePixelRatio());
  }

  void everyWindowIsReadable() {
    Session s;
    s.start();
    s.design().stopCommand();
    child<QTimer>(s.design(), "定时显示总程序")->stop();
    auto& main = s.main();
    QStringList faults;

    faults << lookAtWorkingWindows(s, QStringLiteral("opened"));
    faults << blurredPictures(main);
    fillScreen(main);
    faults << lookAtWorkingWindows(s, QStringLiteral("full"));

    // The post-processing window in the working place.
    QVERIFY(s.design().生成TXT文件Click());
    // The pictures show the windows as opened, not the run the post-processing window starts.
    child<QTimer>(s.app->postEditWindow(), "延时起点后期处理")->stop();
    s.app->postEditWindow().stopRun();
    QVERIFY(main.postEditShown());
    faults << look(QStringLiteral("post-edit"));

    // The free working windows, each opened after the others.
    auto& output = s.app->outputWindow();
    lumafex::app::workingFrameOf(&output)->show();
    output.show();
    faults << look(QStringLiteral("output"));
    s.app->showPictureDesigner(PictureKind::Logo);
    faults << look(QStringLiteral("logo-designer"));
    s.app->showPictureDesigner(PictureKind::Image);
    faults << look(QStringLiteral("image-designer"));
    s.app->showArtworkWindow();
    faults << look(QStringLiteral("artwork"));
    main.showDesign();

    // The main window at its smallest and back.
    main.resize(main.minimumSizeHint());
    faults << look(QStringLiteral("smallest"));
    fillScreen(main);

    // The top-level windows.
    auto& update = s.app->updateWindow();
    update.show();
    faults << look(QStringLiteral("update"));
    update.hide();
    auto& download = s.app->downloadWindow();
    download.show();
    faults << look(QStringLiteral("download"));
    download.hide();
    lumafex::app::AboutWindow about(s.dialogs, &main);
    about.show();
    faults << look(QStringLiteral("about"));
    about.hide();
    lumafex::app::ChipImportDialog import(s.dialogs, s.appDir(), &main);
    import.show();
    faults << look(QStringLiteral("chip-import"));
    import.hide();
    lumafex::app::SplashWindow splash;
    splash.show();
    faults << look(QStringLiteral("splash"));
    splash.hide();

    faults.removeDuplicates();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    QVERIFY(s.dialogs.unexpected.empty());
  }
};

QTEST_MAIN(WindowLookTest)
#include "WindowLookTest.moc"
