// The update check against our own HTTP server on 127.0.0.1: the product list download, the version
// comparison and its question, the hand-over to the browser, the download window's bounds and stop
// flag, and the check at start-up.

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "core/platform/SettingsStore.h"
#include "core/platform/TextCodec.h"
#include "desktop/app/Application.h"
#include "desktop/app/MainWindow.h"
#include "desktop/design/DesignWindow.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/update/DownloadWindow.h"
#include "desktop/update/LoopbackHttpServer.h"
#include "desktop/update/UpdateWindow.h"
#include "support/ScriptedDialogs.h"

using lumafex::platform::Answer;
using lumafex::platform::Buttons;
using lumafex::testing::LoopbackHttpServer;
using lumafex::update::DownloadWindow;
using lumafex::update::UpdateWindow;

namespace {

// Scripted dialogs that also record the buttons and the focused one of every message box.
struct RecordingDialogs : lumafex::testing::ScriptedDialogs {
  Answer message(const std::string& text, Buttons buttons, Answer focus) override {
    this->buttons.push_back(buttons);
    focused.push_back(focus);
    return ScriptedDialogs::message(text, buttons, focus);
  }
  std::vector<Buttons> buttons;
  std::vector<Answer> focused;
};

QByteArray gbk(const char* utf8) {
  return QByteArray::fromStdString(*lumafex::platform::utf8ToGbk(utf8));
}

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// One update window with its download window, in its own application directory.
struct Check {
  QTemporaryDir dir;
  lumafex::platform::MemorySettings settings;
  RecordingDialogs dialogs;
  QList<QUrl> opened;
  int ended = 0;
  bool busyDuringHandOver = false;
  std::unique_ptr<DownloadWindow> download;
  std::unique_ptr<UpdateWindow> window;

  explicit Check(const QString& server) {
    settings.set("更新服务器", server.toStdString());
    download = std::make_unique<DownloadWindow>(settings);
    lumafex::update::UpdateContext context;
    context.dialogs = &dialogs;
    context.settings = &settings;
    context.applicationDirectory = [this] { return dir.path(); };
    context.openUrl = [this](const QUrl& url) {
      opened << url;
      QTimer::singleShot(0, [this] { busyDuringHandOver = QGuiApplication::overrideCursor() != nullptr; });
      return true;
    };
    context.endProgram = [this] { ++ended; };
    context.handOverMs = 50;
    window = std::make_unique<UpdateWindow>(std::move(context), *download);
  }
  QString listFile() const { return dir.path() + QStringLiteral("/list.txt"); }
  QString progress() const { return download->lblCount->text(); }
};

const char* kList =
    "《霓虹控制器》 版本：3.0.0 下载：ctl-3.0.0.zip\r\n"
    "《Lumafex》 版本：%1 下载：lumafex-%1.tar.gz\r\n"
    "《烧录助手》 版本：9.9.9 下载：eprom.zip\r\n";

QByteArray listWithOwnVersion(const char* version) {
  return gbk(QString::fromUtf8(kList).arg(QString::fromUtf8(version)).toStdString().c_str());
}

}  // namespace

class UpdateWindowTest : public QObject {
  Q_OBJECT

 public slots:
  // Stands in for the user's browser.
  void takeUrl(const QUrl& url) { browserGot << url; }

 private:
  QList<QUrl> browserGot;

 private slots:
  void initTestCase() { qunsetenv("LUMAFEX_UPDATE_URL"); }

  void theListIsFetchedAsTheOldClientDidAndKeptByteForByte() {
    LoopbackHttpServer server;
    QVERIFY(server.listening());
    const QByteArray list = listWithOwnVersion("1.2.0");
    server.routes["/list.txt"] = {200, list, -1};
    Check c(server.base() + QStringLiteral("/"));
    c.window->读产品列表->click();

    QCOMPARE(server.requests.size(), 1);
    QCOMPARE(server.path(0), QByteArray("/list.txt"));
    QCOMPARE(server.header(0, "User-Agent"), QByteArray("VB OpenUrl"));
    QCOMPARE(server.header(0, "Cache-Control"), QByteArray("no-cache"));
    QCOMPARE(readFile(c.listFile()), list);
    QCOMPARE(c.window->List1->count(), 3);
    QCOMPARE(c.window->List1->item(1)->text(),
             QStringLiteral("《Lumafex》 版本：1.2.0 下载：lumafex-1.2.0.tar.gz"));
    const QString done = QStringLiteral("共下载 %1 字节").arg(list.size());
    QCOMPARE(c.progress(), done);
    QCOMPARE(c.window->progressPanel->text(), done);
    QCOMPARE(c.download->txtURL->text(), server.base() + QStringLiteral("/list.txt"));
    QCOMPARE(c.download->txtFile->text(), c.listFile());
    QVERIFY(c.dialogs.asked.empty());
    c.window->List1->setCurrentRow(2);
    QCOMPARE(c.window->下载->text(), QStringLiteral("下载《烧录助手》"));
  }

  void theDownloadButtonKeepsItsPlace() {
    // Lines whose product names differ in length: the button row stays still as the selection
    // moves, and every caption fits the button.
    LoopbackHttpServer server;
    QVERIFY(server.listening());
    server.routes["/list.txt"] = {
        200,
        gbk("《霓虹》 版本：1.0.0 下载：a.zip\r\n《霓虹灯控制器编程与烧录助手专业版》 版本：2.0.0 "
            "下载：b.zip\r\n"
            "《Lumafex》 版本：0.0.1 下载：c.zip\r\n"),
        -1};
    Check c(server.base() + QStringLiteral("/"));
    c.window->show();
    c.window->读产品列表->click();
    QCOMPARE(c.window->List1->count(), 3);
    QRect place;
    for (int row = 0; row < 3; ++row) {
      c.window->List1->setCurrentRow(row);
      QCoreApplication::sendPostedEvents();
      QCoreApplication::processEvents();
      QPushButton* button = c.window->下载;
      QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
      if (row == 0) place = button->geometry();
      QCOMPARE(button->geometry(), place);
      QCOMPARE(c.window->版本分析->geometry().right() < place.left(), true);
    }
    QCOMPARE(c.window->下载->text(), QStringLiteral("下载《Lumafex》"));
  }

  void versionAnalysis_data() {
    QTest::addColumn<QString>("own");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("offered");  // the version asked about; empty: no question
    QTest::newRow("list newer") << QStringLiteral("版本：1.0.0") << listWithOwnVersion("1.2.0")
                                << QStringLiteral("1.2.0");
    QTest::newRow("same version") << QStringLiteral("版本：1.2.0") << listWithOwnVersion("1.2.0")
                                  << QString();
    QTest::newRow("own newer") << QStringLiteral("版本：1.3.0") << listWithOwnVersion("1.2.0") << QString();
    QTest::newRow("1.10.0 against 1.9.0")
        << QStringLiteral("版本：1.9.0") << listWithOwnVersion("1.10.0") << QString();
    // Without an own line the last line stays selected, but another product's version is no
    // reason to offer anything.
    QTest::newRow("own line missing")
        << QStringLiteral("版本：1.0.0")
        << gbk("《霓虹控制器》 版本：3.0.0 下载：a.zip\r\n《烧录助手》 版本：9.9.9 下载：b.zip\r\n")
        << QString();
    QTest::newRow("unusable version")
        << QStringLiteral("版本：1.0.0") << gbk("《Lumafex》 版本：2.0.0\r\n") << QString();
    QTest::newRow("empty list") << QStringLiteral("版本：1.0.0") << QByteArray() << QString();
  }

  void versionAnalysis() {
    QFETCH(QString, own);
    QFETCH(QByteArray, list);
    QFETCH(QString, offered);
    LoopbackHttpServer server;
    server.routes["/list.txt"] = {200, list, -1};
    Check c(server.base());
    if (!offered.isEmpty()) {
      c.dialogs.expect("《Lumafex》已经有新的版本，版本号为：“" + offered.toStdString() + "”是否下载？",
                       Answer::No);
    }
    c.window->setVersionCaption(own);
    QCOMPARE(server.requests.size(), 1);
    QCOMPARE(c.dialogs.asked.size(), offered.isEmpty() ? std::size_t(0) : std::size_t(1));
    QVERIFY(c.dialogs.unexpected.empty());
    QVERIFY(c.dialogs.replies.empty());
    if (!offered.isEmpty()) {
      QCOMPARE(c.dialogs.buttons.front(), Buttons::YesNo);
      QCOMPARE(c.dialogs.focused.front(), Answer::No);
      QCOMPARE(c.window->下载->text(), QStringLiteral("下载《Lumafex》"));
    }
    QVERIFY(c.opened.isEmpty());
    QCOMPARE(c.ended, 0);
  }

  void yesHandsTheDownloadToTheBrowserAndEndsTheProgram() {
    LoopbackHttpServer server;
    server.routes["/list.txt"] = {200, listWithOwnVersion("1.2.0"), -1};
    Check c(server.base());
    c.dialogs.expect("已经有新的版本", Answer::Yes);
    c.window->setVersionCaption(QStringLiteral("版本：1.0.0"));
    QCOMPARE(c.opened.size(), 1);
    QCOMPARE(c.opened.front().toString(), server.base() + QStringLiteral("/lumafex-1.2.0.tar.gz"));
    QVERIFY(c.busyDuringHandOver);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QCOMPARE(c.ended, 1);
    QCOMPARE(server.requests.size(), 1);  // the browser fetches the file, not the program
  }

  void unreachableMissingOrUnsetListAsksNothing_data() {
    QTest::addColumn<QString>("server");
    QTest::newRow("no address") << QString();
    QTest::newRow("list missing") << QStringLiteral("serve");
    QTest::newRow("nobody listening") << QStringLiteral("closed");
  }

  void unreachableMissingOrUnsetListAsksNothing() {
    QFETCH(QString, server);
    LoopbackHttpServer http;  // serves nothing: every path is 404
    QString base = server == QStringLiteral("serve") ? http.base() : QString();
    if (server == QStringLiteral("closed")) {
      QTcpServer probe;
      QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
      base = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
    }  // the probe is closed again: nobody listens there
    Check c(base);
    writeFile(c.listFile(), "old list\r\n");
    c.window->setVersionCaption(QStringLiteral("版本：0.0.1"));
    QCOMPARE(c.progress(), QStringLiteral("打开URL错误"));
    QCOMPARE(c.window->progressPanel->text(), QStringLiteral("打开URL错误"));
    QCOMPARE(c.window->List1->count(), 0);
    QCOMPARE(readFile(c.listFile()), QByteArray("old list\r\n"));
    QVERIFY(c.dialogs.asked.empty());
    QCOMPARE(http.requests.size(), server == QStringLiteral("serve") ? 1 : 0);
  }

  void aDownloadOfWholeBlocksEndsWithTheServersLength() {
    LoopbackHttpServer server;
    QByteArray body(3 * DownloadWindow::kBlockSize, '\0');
    for (qsizetype i = 0; i < body.size(); ++i) body[i] = char(i * 7);
    server.routes["/f.bin"] = {200, body, -1};
    Check c(server.base());
    QStringList progress;
    QObject::connect(c.download.get(), &DownloadWindow::progressChanged,
                     [&](const QString& t) { progress << t; });
    const QString target = c.dir.path() + QStringLiteral("/f.bin");
    QCOMPARE(c.download->DownloadFile(server.base() + QStringLiteral("/f.bin"), target), qint64(body.size()));
    QCOMPARE(readFile(target), body);
    QCOMPARE(progress.front(), QStringLiteral("正在连接服务器..."));
    QVERIFY2(progress.value(1).startsWith(QStringLiteral("已下载 2048字节(2.00 KB)  [ ")),
             qPrintable(progress.value(1)));
    QVERIFY(progress.value(1).endsWith(QStringLiteral(" /秒 ]")));
    QCOMPARE(progress.size(), 5);  // connecting, three blocks, the total
    QCOMPARE(progress.back(), QStringLiteral("共下载 6144 字节"));
    QVERIFY(c.download->lastDownloadComplete());
  }

  void aStoppedDownloadStopsTheNextAfterItsFirstBlock() {
    LoopbackHttpServer server;
    server.routes["/big.bin"] = {200, QByteArray(10 * DownloadWindow::kBlockSize, 'x'), -1};
    Check c(server.base());
    const QString target = c.dir.path() + QStringLiteral("/big.bin");
    writeFile(target, "good");
    c.download->txtURL->setText(server.base() + QStringLiteral("/big.bin"));
    c.download->txtFile->setText(target);
    bool pressed = false;
    QObject::connect(c.download.get(), &DownloadWindow::progressChanged, [&] {
      if (!pressed && c.download->cmdStop->isEnabled()) {
        pressed = true;
        c.download->cmdStop->click();
      }
    });
    c.download->cmdStart->click();
    QVERIFY(pressed);
    QCOMPARE(c.progress(), QStringLiteral("共下载 2048 字节"));
    QVERIFY(c.download->cmdStart->isEnabled());
    QVERIFY(!c.download->cmdStop->isEnabled());
    // The flag stays: the next download stops after its first block too.
    QCOMPARE(c.download->DownloadFile(server.base() + QStringLiteral("/big.bin"), target), qint64(2048));
    QCOMPARE(c.progress(), QStringLiteral("共下载 2048 字节"));
    QVERIFY(!c.download->lastDownloadComplete());
    QCOMPARE(readFile(target), QByteArray("good"));  // a part never replaces the file
  }

  void aServerThatNeverAnswersEndsWithinTheBound() {
    LoopbackHttpServer server;
    server.silent = true;
    Check c(server.base());
    writeFile(c.listFile(), "old list\r\n");
    QElapsedTimer clock;
    clock.start();
    c.window->setVersionCaption(QStringLiteral("版本：0.0.1"));
    const qint64 took = clock.elapsed();
    QCOMPARE(server.requests.size(), 1);
    QCOMPARE(c.progress(), QStringLiteral("打开URL错误"));
    QVERIFY2(took < 10000, qPrintable(QString::number(took)));
    QVERIFY2(took >= c.download->limits.connectMs / 2, qPrintable(QString::number(took)));
    QVERIFY(c.dialogs.asked.empty());
    QCOMPARE(readFile(c.listFile()), QByteArray("old list\r\n"));
  }

  void aDownloadThatStallsMidwayKeepsTheOldFile() {
    LoopbackHttpServer server;
    server.routes["/list.txt"] = {200, QByteArray(5000, 'a'), 3000};
    Check c(server.base());
    c.download->limits.readMs = 300;
    writeFile(c.listFile(), "old list\r\n");
    c.window->读产品列表->click();
    QCOMPARE(c.progress(), QStringLiteral("打开URL错误"));
    QCOMPARE(readFile(c.listFile()), QByteArray("old list\r\n"));
    QVERIFY(QDir(c.dir.path()).entryList(QDir::Files) == QStringList{QStringLiteral("list.txt")});
  }

  void theDownloadWindowKeepsItsTextsInTheSettings() {
    lumafex::platform::MemorySettings settings;
    settings.set("下载窗", "txtURL", "http://127.0.0.1:1/list.txt");
    settings.set("下载窗", "txtFile", "/tmp/x/list.txt");
    {
      DownloadWindow window(settings);
      QCOMPARE(window.txtURL->text(), QStringLiteral("http://127.0.0.1:1/list.txt"));
      QCOMPARE(window.txtFile->text(), QStringLiteral("/tmp/x/list.txt"));
      window.txtURL->setText(QStringLiteral("http://127.0.0.1:2/list.txt"));
      window.txtFile->setText(QStringLiteral("/tmp/y/新.txt"));
    }
    QCOMPARE(settings.get("下载窗", "txtURL", ""), std::string("http://127.0.0.1:2/list.txt"));
    QCOMPARE(settings.get("下载窗", "txtFile", ""), std::string("/tmp/y/新.txt"));
  }

  void theEnvironmentNamesTheServerBeforeTheSetting() {
    lumafex::platform::MemorySettings settings;
    settings.set("更新服务器", " http://127.0.0.1:9/a/ ");
    QCOMPARE(lumafex::update::updateServerAddress(settings), QStringLiteral("http://127.0.0.1:9/a"));
    qputenv("LUMAFEX_UPDATE_URL", "http://127.0.0.1:8/");
    QCOMPARE(lumafex::update::updateServerAddress(settings), QStringLiteral("http://127.0.0.1:8"));
    qunsetenv("LUMAFEX_UPDATE_URL");
  }

  void startUpAsksWhileTheSplashIsUpAndTheHelpMenuLooksAgain() {
    LoopbackHttpServer server;
    server.routes["/list.txt"] = {200, listWithOwnVersion("99.0.0"), -1};
    QTemporaryDir root;
    lumafex::platform::MemorySettings settings;
    settings.set("最后处理的工程名称", "/no/such.hs");
    settings.set("更新服务器", server.base().toStdString());
    RecordingDialogs dialogs;
    dialogs.expect("《Lumafex》已经有新的版本，版本号为：“99.0.0”是否下载？", Answer::No);
    lumafex::app::StartOptions options;
    options.applicationDirectory = root.path() + QStringLiteral("/app");
    options.temporaryDirectory = root.path() + QStringLiteral("/tmp");
    options.shortcutHelper = root.path() + QStringLiteral("/none");
    lumafex::app::Application app(dialogs, settings, options);
    QVERIFY(app.start());
    QCOMPARE(dialogs.asked.size(), std::size_t(1));
    QVERIFY(dialogs.unexpected.empty());
    QCOMPARE(readFile(options.applicationDirectory + QStringLiteral("/list.txt")),
             listWithOwnVersion("99.0.0"));
    QVERIFY(app.updateWindow().isHidden());
    QVERIFY(app.mainWindow().isVisible());

    auto* again = app.mainWindow().findChild<QAction*>(QStringLiteral("检查更新"));
    QVERIFY(again);
    QCOMPARE(again->text(), QStringLiteral("检查更新…"));
    app.updateWindow().List1->clear();
    again->trigger();
    QVERIFY(app.updateWindow().isVisible());
    QCOMPARE(app.updateWindow().List1->count(), 3);
    QCOMPARE(server.requests.size(), 2);
    QCOMPARE(dialogs.asked.size(), std::size_t(1));  // looking again asks nothing by itself

    // Yes from the shown window ends the usual way: unsaved work is offered for saving first, and
    // the user may stay.
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "takeUrl");
    app.designWindow().setDirty(true);
    dialogs.expect("已经有新的版本", Answer::Yes);
    dialogs.expect("原来的工程已经改变，是否存盘？", Answer::Cancel);
    app.updateWindow().版本分析->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QCOMPARE(browserGot, QList<QUrl>{QUrl(server.base() + QStringLiteral("/lumafex-99.0.0.tar.gz"))});
    QVERIFY(dialogs.replies.empty());
    QVERIFY(dialogs.unexpected.empty());
    QVERIFY(app.mainWindow().isVisible());
  }

  void startUpAgainstASilentServerStillOpensTheMainWindow() {
    LoopbackHttpServer server;
    server.silent = true;
    QTemporaryDir root;
    lumafex::platform::MemorySettings settings;
    settings.set("最后处理的工程名称", "/no/such.hs");
    qputenv("LUMAFEX_UPDATE_URL", server.base().toUtf8());
    RecordingDialogs dialogs;
    lumafex::app::StartOptions options;
    options.applicationDirectory = root.path() + QStringLiteral("/app");
    options.temporaryDirectory = root.path() + QStringLiteral("/tmp");
    options.shortcutHelper = root.path() + QStringLiteral("/none");
    lumafex::app::Application app(dialogs, settings, options);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(app.start());
    qunsetenv("LUMAFEX_UPDATE_URL");
    QVERIFY2(clock.elapsed() < 10000 + 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(server.requests.size(), 1);
    QVERIFY(app.mainWindow().isVisible());
    QVERIFY(dialogs.asked.empty());
  }
};

QTEST_MAIN(UpdateWindowTest)
#include "UpdateWindowTest.moc"
