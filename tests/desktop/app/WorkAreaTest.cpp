// Where windows open and what Qt's own dialogs say: a window is brought inside its work area the
// shortest way, a working window scrolls in its frame and closes with it, and the standard buttons
// and file dialogs speak the user's language, Chinese when the locale names none Qt translates.

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTreeView>
#include <QVBoxLayout>
#include <QtTest>

#include "desktop/app/ProgramSetUp.h"
#include "desktop/app/WorkArea.h"
#include "desktop/platform/FileDialogLook.h"
#include "desktop/platform/QtTranslations.h"

using lumafex::app::keptInside;
using lumafex::app::scrollableFrameContent;
using lumafex::app::WorkAreaKeeper;
using lumafex::app::workingFrameOf;

namespace {

// A window that refuses to close and hides its frame instead, as the designers do.
class StayingWindow : public QWidget {
 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (QMdiSubWindow* frame = workingFrameOf(this)) frame->hide();
  }
};

// A window with controls that need 300 × 200 pixels.
QWidget* laidOutWindow(const QString& title) {
  auto* window = new QWidget;
  window->setWindowTitle(title);
  auto* layout = new QVBoxLayout(window);
  auto* a = new QPushButton(QStringLiteral("第一个按钮"));
  a->setMinimumSize(300, 100);
  auto* b = new QPushButton(QStringLiteral("第二个按钮"));
  b->setMinimumSize(300, 100);
  layout->addWidget(a);
  layout->addWidget(b);
  return window;
}

}  // namespace

class WorkAreaTest : public QObject {
  Q_OBJECT

 private slots:
  void keptInside_data() {
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QRect>("kept");
    // In an area of 800 × 600 at (0, 0).
    QTest::newRow("inside stays") << QRect(10, 20, 300, 200) << QSize() << QRect(10, 20, 300, 200);
    QTest::newRow("past the right edge moves left")
        << QRect(600, 20, 300, 200) << QSize() << QRect(500, 20, 300, 200);
    QTest::newRow("past the bottom moves up")
        << QRect(10, 500, 300, 200) << QSize() << QRect(10, 400, 300, 200);
    QTest::newRow("above and left moves in") << QRect(-50, -10, 300, 200) << QSize() << QRect(0, 0, 300, 200);
    QTest::newRow("wider than the area shrinks")
        << QRect(100, 0, 1000, 200) << QSize() << QRect(0, 0, 800, 200);
    QTest::newRow("larger both ways fills it") << QRect(30, 40, 900, 700) << QSize() << QRect(0, 0, 800, 600);
    QTest::newRow("a minimum beyond the area keeps the corner in")
        << QRect(300, 300, 900, 200) << QSize(900, 100) << QRect(0, 300, 900, 200);
  }

  void keptInside() {
    QFETCH(QRect, window);
    QFETCH(QSize, minimum);
    QFETCH(QRect, kept);
    QCOMPARE(::keptInside(window, QRect(0, 0, 800, 600), minimum), kept);
    // The same area elsewhere on a desktop of several screens.
    QCOMPARE(::keptInside(window.translated(1920, 100), QRect(1920, 100, 800, 600), minimum),
             kept.translated(1920, 100));
  }

  void aFrameOpensInsideTheClientArea() {
    // A window placed where the area had room, then made larger, opens inside: the designer opened
    // after the output window sat partly past the right edge, its close button out of view.
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    WorkAreaKeeper keeper;
    qApp->installEventFilter(&keeper);
    QMdiSubWindow* other = area.addSubWindow(new QLabel(QStringLiteral("输出")));
    other->setGeometry(0, 0, 700, 500);
    other->show();
    QMdiSubWindow* frame = area.addSubWindow(scrollableFrameContent(laidOutWindow(QStringLiteral("设计"))));
    frame->hide();
    frame->move(500, 300);
    frame->resize(660, 380);
    frame->show();
    QVERIFY(area.viewport()->rect().contains(frame->geometry()));
    QCOMPARE(frame->size(), QSize(660, 380));

    // A frame smaller than its content needs opens large enough for it, where the area has room.
    QMdiSubWindow* small =
        area.addSubWindow(scrollableFrameContent(laidOutWindow(QStringLiteral("实物效果"))));
    small->hide();
    small->setGeometry(700, 500, 120, 80);
    small->show();
    auto* smallContent = qobject_cast<QScrollArea*>(small->widget());
    QCoreApplication::processEvents();  // the scroll bars follow the new size
    QVERIFY(smallContent->viewport()->width() >= smallContent->widget()->minimumSizeHint().width());
    QVERIFY(smallContent->viewport()->height() >= smallContent->widget()->minimumSizeHint().height());
    QVERIFY(area.viewport()->rect().contains(small->geometry()));
    // Made smaller by the user, it scrolls.
    small->resize(150, 120);
    QCOMPARE(small->size(), QSize(150, 120));
    small->hide();

    // The client area shrinks: the frame follows, down to the area's size.
    area.resize(500, 300);
    QCoreApplication::processEvents();
    QVERIFY2(area.viewport()->rect().contains(frame->geometry()),
             qPrintable(QString::number(frame->width())));
    // Its content keeps what its layout needs and scrolls.
    auto* scroll = qobject_cast<QScrollArea*>(frame->widget());
    QVERIFY(scroll);
    QVERIFY(scroll->widget()->width() >= 300);
    QVERIFY(scroll->widget()->height() >= 200);
    qApp->removeEventFilter(&keeper);
  }

  void aWindowOpensInsideTheScreen() {
    WorkAreaKeeper keeper;
    qApp->installEventFilter(&keeper);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    window.setGeometry(available.right() - 100, available.top() + 50, available.width() + 300, 200);
    window.show();
    QVERIFY(available.contains(window.frameGeometry()));
    // Made larger than the screen while shown.
    window.resize(window.width(), available.height() + 500);
    QVERIFY(available.contains(window.frameGeometry()));
    qApp->removeEventFilter(&keeper);
  }

  void aScrolledWindowBelongsToItsFrame() {
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    auto* window = laidOutWindow(QStringLiteral("编译输出"));
    QMdiSubWindow* frame = area.addSubWindow(scrollableFrameContent(window));
    frame->show();
    QCOMPARE(workingFrameOf(window), frame);
    QCOMPARE(frame->windowTitle(), QStringLiteral("编译输出"));
    window->setWindowTitle(QStringLiteral("新的标题"));
    QCOMPARE(frame->windowTitle(), QStringLiteral("新的标题"));
    QLabel loose;
    QCOMPARE(workingFrameOf(&loose), nullptr);
    QCOMPARE(workingFrameOf(frame->widget()), frame);

    // Closing the frame closes the window; shown again, the frame shows it again.
    QVERIFY(!frame->close() || !frame->isVisible());
    QVERIFY(!frame->isVisible());
    QVERIFY(!window->isVisible());
    frame->show();
    window->show();
    QVERIFY(frame->widget()->isVisible());
    QVERIFY(window->isVisible());

    // A window that refuses and hides its frame itself stays shown inside it.
    auto* staying = new StayingWindow;
    QMdiSubWindow* designer = area.addSubWindow(scrollableFrameContent(staying));
    designer->show();
    designer->close();
    QVERIFY(!designer->isVisible());
    designer->show();
    QVERIFY(staying->isVisible());
  }

  void theCatalogueOfTheUsersLanguage_data() {
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<QString>("catalogue");
    QTest::newRow("C locale") << QStringList{QStringLiteral("C")} << QStringLiteral("zh_CN");
    QTest::newRow("nothing") << QStringList{} << QStringLiteral("zh_CN");
    QTest::newRow("untranslated") << QStringList{QStringLiteral("xx-YY")} << QStringLiteral("zh_CN");
    QTest::newRow("region falls back") << QStringList{QStringLiteral("de-CH")} << QStringLiteral("de");
    QTest::newRow("region kept") << QStringList{QStringLiteral("pt-BR")} << QStringLiteral("pt_BR");
    QTest::newRow("script dropped") << QStringList{QStringLiteral("zh-Hant-TW")} << QStringLiteral("zh_TW");
    QTest::newRow("first one found") << QStringList{QStringLiteral("xx"), QStringLiteral("de-DE")}
                                     << QStringLiteral("de");
    QTest::newRow("English") << QStringList{QStringLiteral("en-US")} << QStringLiteral("en");
  }

  void theCatalogueOfTheUsersLanguage() {
    QFETCH(QStringList, languages);
    QFETCH(QString, catalogue);
    QTemporaryDir dir;
    for (const char* name :
         {"qtbase_de", "qtbase_pt_BR", "qtbase_zh_CN", "qtbase_zh_TW", "qtbase_en", "qt_de"}) {
      QFile file(dir.path() + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".qm"));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(lumafex::platform::qtCatalogueLanguage(languages, dir.path()), catalogue);
  }

  void aFileDialogShowsItsColumnsWhole() {
    // The size, type and date of a file are not cut ("378…tes").
    QTemporaryDir dir;
    QFile file(dir.path() + QStringLiteral("/Velarn工作室.hs"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(378, 'x'));
    file.close();
    lumafex::platform::FileDialogFitter fitter;
    qApp->installEventFilter(&fitter);
    QFileDialog dialog(nullptr, QStringLiteral("打开工程"), dir.path(),
                       QStringLiteral("霓虹灯花式文件 (*.hs)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    QVERIFY(view);
    QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 1);
    QCoreApplication::processEvents();
    const QModelIndex entry = view->model()->index(0, 0, view->rootIndex());
    const QFontMetrics metrics(view->font());
    for (int column = 0; column < view->header()->count(); ++column) {
      if (view->header()->isSectionHidden(column)) continue;
      const QString text = entry.siblingAtColumn(column).data().toString();
      // The name column has its icon beside the text.
      const int room = view->header()->sectionSize(column) - (column == 0 ? view->iconSize().width() + 8 : 6);
      QVERIFY2(metrics.horizontalAdvance(text) <= room, qPrintable(text));
    }
    qApp->removeEventFilter(&fitter);
  }

  // Last: it changes the texts of every dialog of this process.
  void qtsOwnDialogsSpeakChinese() {
    // The locale here is "C": Qt's own texts come in Chinese, as the program's do.
    QVERIFY2(QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                           QStringLiteral("/qtbase_zh_CN.qm")),
             "qt6-translations-l10n is not installed");
    QCOMPARE(lumafex::platform::installQtTranslations(*qApp, {QStringLiteral("C")}), QStringLiteral("zh_CN"));
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    QCOMPARE(shownText(buttons.button(QDialogButtonBox::Open)->text()), QStringLiteral("打开"));

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList captions;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) captions << shownText(label->text());
    for (const QString& english : {QStringLiteral("Look in:"), QStringLiteral("File name:")}) {
      QVERIFY2(!captions.contains(english), qPrintable(captions.join(QLatin1Char('|'))));
    }
    QVERIFY2(captions.contains(QStringLiteral("查看：")) || captions.contains(QStringLiteral("查找范围：")),
             qPrintable(captions.join(QLatin1Char('|'))));
  }

 private:
  static QString shownText(QString text) { return text.remove(QLatin1Char('&')); }
};

QTEST_MAIN(WorkAreaTest)
#include "WorkAreaTest.moc"
