// The desktop program as a user meets it: first start, projects, the board, the save question and
// the end. Every question is answered by a script.

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "core/app/RecentFiles.h"
#include "core/design/ProjectRecord.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/TextFile.h"
#include "desktop/app/Application.h"
#include "desktop/app/MainWindow.h"
#include "desktop/controls/CheckBoxControl.h"
#include "desktop/controls/VelarnButton.h"
#include "desktop/design/DesignWindow.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/postedit/PostEditWindow.h"
#include "support/AppSession.h"
#include "support/ScriptedDialogs.h"
#include "support/Widgets.h"

using lumafex::testing::fileBytes;
using lumafex::testing::listTexts;
using lumafex::testing::Session;

using lumafex::app::Application;
using lumafex::platform::Answer;
using lumafex::platform::qs;
using lumafex::platform::us;

class DesktopProgramTest : public QObject {
  Q_OBJECT

 private slots:
  void firstStartRequestsShortcutsAndOpensTheSample() {
    Session s;
    Application& app = s.start();
    QVERIFY(QFileInfo::exists(s.appDir() + QStringLiteral("/Lnk.ini")));
    QCOMPARE(fileBytes(s.appDir() + QStringLiteral("/Lnk.ini")).count("\r\n"), 6);
    QTRY_VERIFY(QFileInfo::exists(s.helperMarker()));
    QCOMPARE(app.currentProjectPath(), s.appDir() + QStringLiteral("/Velarn工作室.hs"));
    QCOMPARE(lumafex::testing::child<QListWidget>(s.design(), "List1")->count(), 11);
    QVERIFY(s.main().windowTitle().startsWith(QStringLiteral("Lumafex……")));
    QVERIFY(QFileInfo(app.scratchFile()).fileName().startsWith(QStringLiteral("~00")));
    QVERIFY(QFileInfo::exists(app.scratchFile()));
    QVERIFY(QFileInfo::exists(s.appDir() + QStringLiteral("/Velarn霓虹灯说明书.htm")));
    QCOMPARE(s.settings.get("是否运行中"), std::string("True"));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void aHugeTitleEffectIsRefusedAsTheCompileRefusesIt() {
    Session s;
    QDir().mkpath(s.appDir() + QStringLiteral("/大标题"));
    const QString project = s.appDir() + QStringLiteral("/大标题.hs");
    lumafex::design::ProjectSettings settings;
    settings.title = "欢迎";
    QVERIFY(lumafex::design::writeProjectRecord(lumafex::platform::pathFromUtf8(us(project)),
                                                lumafex::design::recordOf(settings, {"1右扫_色彩1"})));
    const QString effectFile = s.appDir() + QStringLiteral("/大标题/标题花式.bt");
    {
      QFile f(effectFile);
      QVERIFY(f.open(QIODevice::WriteOnly));
      for (int i = 0; i < 400000; ++i) f.write("XX<1>\r\n");  // 2.8 MB
    }
    const qint64 size = QFileInfo(effectFile).size();
    s.settings.set("最后处理的工程名称", us(project));
    s.dialogs.expect("标题花式文件太大（超过1MB）", Answer::Ok);
    s.start();
    QVERIFY(s.app->document().project().titleEffect.empty());  // nothing of it is held
    QCOMPARE(QFileInfo(effectFile).size(), size);              // and the file is left as it is
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void openingLeavesAnUndecodableTitleEffectAsItIs() {
    Session s;
    QDir().mkpath(s.appDir() + QStringLiteral("/坏字"));
    const QString project = s.appDir() + QStringLiteral("/坏字.hs");
    lumafex::design::ProjectSettings settings;
    settings.title = "欢迎";
    QVERIFY(lumafex::design::writeProjectRecord(lumafex::platform::pathFromUtf8(us(project)),
                                                lumafex::design::recordOf(settings, {"1右扫_色彩1"})));
    const QString effectFile = s.appDir() + QStringLiteral("/坏字/标题花式.bt");
    const QByteArray effect("\xbb\xb6\xa1\xf5<1>\r\n\xff");  // one stray byte: not GBK
    {
      QFile f(effectFile);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(effect);
    }
    s.settings.set("最后处理的工程名称", us(project));
    s.dialogs.expect("标题花式“", Answer::Ok);
    s.start();
    QCOMPARE(fileBytes(effectFile), effect);
    // The run plays on and nothing is written behind the user's back.
    for (int i = 0; i < 6; ++i) s.design().tick();
    QCoreApplication::processEvents();
    QCOMPARE(fileBytes(effectFile), effect);
    QCOMPARE(std::count_if(s.dialogs.asked.begin(), s.dialogs.asked.end(),
                           [](const std::string& q) { return q.find("标题花式“") != std::string::npos; }),
             1L);
    QVERIFY(s.dialogs.unexpected.empty());
    // What the user writes is saved from then on.
    lumafex::testing::child<QPlainTextEdit>(s.app->postEditWindow(), "Text2")
        ->setPlainText(QStringLiteral("欢迎<1>"));
    QCOMPARE(fileBytes(effectFile), QByteArray("\xbb\xb6\xd3\xad<1>"));
  }

  void knownLastProjectMeansNoShortcutRequest() {
    Session s;
    s.settings.set("最后处理的工程名称", "/no/such/project.hs");
    s.start();
    // No request is written and so no helper started: nothing to wait for.
    QVERIFY(!QFileInfo::exists(s.appDir() + QStringLiteral("/Lnk.ini")));
    QVERIFY(!QFileInfo::exists(s.helperMarker()));
    QCOMPARE(s.app->currentProjectPath(), s.appDir() + QStringLiteral("/Velarn工作室.hs"));  // the fallback
  }

  void secondStartEndsQuietlyAndKeepsTheScratchFile() {
    Session s;
    s.start();
    const QString scratch = s.app->scratchFile();
    lumafex::platform::MemorySettings otherSettings;
    lumafex::testing::ScriptedDialogs otherDialogs;
    lumafex::app::StartOptions options;
    options.applicationDirectory = s.appDir();
    options.temporaryDirectory = s.tempDir();
    options.showSplash = false;
    Application second(otherDialogs, otherSettings, options);
    QVERIFY(!second.start());
    QVERIFY(QFileInfo::exists(scratch));
  }

  void theLockIsEachUsersOwnAndOutlivesACrash() {
    Session s;
    QDir().mkpath(s.tempDir());
    // Another account's copy has a lock of its own name.
    QFile other(s.tempDir() + QStringLiteral("/lumafex-%1.lock").arg(::getuid() + 1));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("1\nlumafex\nsomehost\n");
    other.close();
    // A copy of ours that crashed left its lock: a process that no longer runs.
    QFile crashed(s.tempDir() + QStringLiteral("/lumafex-%1.lock").arg(::getuid()));
    QVERIFY(crashed.open(QIODevice::WriteOnly));
    crashed.write(QByteArray::number(QCoreApplication::applicationPid() + 1000000) + "\n" +
                  QCoreApplication::applicationName().toUtf8() + "\n" + QSysInfo::machineHostName().toUtf8() +
                  "\n");
    crashed.close();
    QVERIFY(s.start().scratchFile().startsWith(s.tempDir()));
    QVERIFY(!s.app->startFailed());
  }

  void aTemporaryDirectoryThatCannotBeUsedFallsBack_data() {
    QTest::addColumn<QString>("temporary");
    QTest::newRow("blanks only") << QStringLiteral("   ");
    QTest::newRow("relative") << QStringLiteral("tmp");
    QTest::newRow("under a file") << QStringLiteral("<file>/tmp");
  }
  void aTemporaryDirectoryThatCannotBeUsedFallsBack() {
    QFETCH(QString, temporary);
    Session s;
    const QString file = s.root.path() + QStringLiteral("/a-file");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    temporary.replace(QStringLiteral("<file>"), file);
    lumafex::app::StartOptions options;
    options.applicationDirectory = s.appDir();
    options.temporaryDirectory = temporary;
    options.showSplash = false;
    options.shortcutHelper = s.root.path() + QStringLiteral("/no-helper");
    const QString before = QDir::currentPath();
    QDir::setCurrent(s.root.path());
    Application app(s.dialogs, s.settings, options);
    const bool started = app.start();
    QDir::setCurrent(before);
    QVERIFY(started);
    QVERIFY(QDir::isAbsolutePath(app.temporaryDirectory()));
    QVERIFY(app.temporaryDirectory() != QStringLiteral("/"));
    QVERIFY(QFileInfo(app.temporaryDirectory()).isDir());
    QVERIFY(QFileInfo(app.scratchFile()).absolutePath() == app.temporaryDirectory());
    QVERIFY(QDir(s.root.path())
                .entryList({QStringLiteral("~00*")})
                .isEmpty());  // nothing in the current directory
    app.mainWindow().hide();
  }

  void theSampleComesWithTheFirstStartOnly() {
    QTemporaryDir root;
    const QString appDir = root.path() + QStringLiteral("/app");
    bool started = false;
    const auto startIn = [&](lumafex::testing::ScriptedDialogs& dialogs,
                             lumafex::platform::MemorySettings& settings) {
      lumafex::app::StartOptions options;
      options.applicationDirectory = appDir;
      options.temporaryDirectory = root.path() + QStringLiteral("/tmp");
      options.showSplash = false;
      options.shortcutHelper = root.path() + QStringLiteral("/no-helper");
      auto app = std::make_unique<Application>(dialogs, settings, options);
      started = app->start();
      return app;
    };
    {
      lumafex::testing::ScriptedDialogs dialogs;
      lumafex::platform::MemorySettings settings;
      auto app = startIn(dialogs, settings);
      QVERIFY(started);
      QVERIFY(QFileInfo::exists(appDir + QStringLiteral("/Velarn工作室.hs")));
      app->mainWindow().hide();
    }
    // The user deletes the sample; the next start keeps it deleted and starts a new project.
    QDir(appDir + QStringLiteral("/Velarn工作室")).removeRecursively();
    QFile::remove(appDir + QStringLiteral("/Velarn工作室.hs"));
    QFile::remove(appDir + QStringLiteral("/Velarn霓虹灯说明书.htm"));
    lumafex::testing::ScriptedDialogs dialogs;
    lumafex::platform::MemorySettings settings;
    dialogs.expectText("输入新工程名称", std::nullopt);
    auto app = startIn(dialogs, settings);
    QVERIFY(started);
    QVERIFY(!QFileInfo::exists(appDir + QStringLiteral("/Velarn工作室.hs")));
    QVERIFY(!QFileInfo::exists(appDir + QStringLiteral("/Velarn霓虹灯说明书.htm")));
    app->mainWindow().hide();
  }

  void previewsKeepTheirWidthAndComeBackWhenActive() {
    Session s;
    s.start();
    auto& main = s.main();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    auto* frame = lumafex::testing::child<QMdiSubWindow>(main, "horizontalFrame");
    frame->resize(300, frame->height());
    main.调整尺寸();
    QCOMPARE(frame->width(), 300);  // the layout leaves the preview's width alone
    frame->move(250, 180);          // dragged away
    auto* area = frame->mdiArea();
    area->setActiveSubWindow(lumafex::testing::child<QMdiSubWindow>(main, "designFrame"));
    area->setActiveSubWindow(frame);
    const auto* vertical = lumafex::testing::child<QMdiSubWindow>(main, "verticalFrame");
    QCOMPARE(frame->pos(), QPoint(vertical->isVisible() ? vertical->width() : 0, 0));
    // The width is the project's: saved and read back.
    s.main().saveProjectCommand();
    const auto record =
        lumafex::design::readProjectRecord(lumafex::platform::pathFromUtf8(us(s.app->currentProjectPath())));
    QVERIFY(static_cast<bool>(record));
    QCOMPARE(qs(*record->values[18]).toDouble(), 300.0 * 15);
  }

  void startCleansOldScratchFiles() {
    Session s;
    QDir().mkpath(s.tempDir());
    QFile old(s.tempDir() + QStringLiteral("/~00ABC.TMP"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.close();
    s.start();
    QCOMPARE(s.scratchFiles(), QStringList{QFileInfo(s.app->scratchFile()).fileName()});
  }

  void newProjectOverAnExistingDirectoryAsksTwice() {
    Session s;
    s.start();
    const QString dir = s.appDir() + QStringLiteral("/红星");
    QDir().mkpath(dir + QStringLiteral("/bin"));
    QFile keep(dir + QStringLiteral("/a.txt"));
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.close();
    const QString before = s.app->currentProjectPath();

    auto& d = s.dialogs;
    d.expectText("输入新工程名称", "红星");
    d.expect("工程“红星”已经存在，是否覆盖它？", Answer::No);
    d.expectText("输入新工程名称", "红星");
    d.expect("已经存在", Answer::Yes);
    d.expect("请再确认删除原来已经存在的“红星”工程！", Answer::No);
    d.expectText("输入新工程名称", "红星");
    d.expect("已经存在", Answer::Cancel);
    s.main().新建工程();
    QVERIFY(d.unexpected.empty());
    QVERIFY(d.replies.empty());
    QCOMPARE(s.app->currentProjectPath(), before);
    QVERIFY(QFileInfo::exists(dir + QStringLiteral("/a.txt")));

    d.expectText("输入新工程名称", "红星");
    d.expect("已经存在", Answer::Yes);
    d.expect("请再确认", Answer::Yes);
    s.main().新建工程();
    QVERIFY(d.unexpected.empty());
    QVERIFY(!QFileInfo::exists(dir + QStringLiteral("/a.txt")));
    QVERIFY(QFileInfo(dir).isDir());
    QCOMPARE(s.app->currentProjectPath(), dir + QStringLiteral(".hs"));
    QCOMPARE(lumafex::testing::child<QListWidget>(s.design(), "List1")->count(), 0);
    QCOMPARE(lumafex::testing::child<QLineEdit>(s.design(), "列数")->text(), QStringLiteral("64"));
    QCOMPARE(lumafex::testing::child<QComboBox>(s.design(), "色数")->currentText(), QStringLiteral("2"));
    QCOMPARE(lumafex::testing::child<QLineEdit>(s.design(), "标题名称")->text(), QStringLiteral("红星"));
    QCOMPARE(lumafex::testing::child<QPlainTextEdit>(s.app->postEditWindow(), "Text2")->toPlainText(),
             QStringLiteral("新工程<1>"));
    QCOMPARE(fileBytes(s.app->scratchFile()), QByteArray(64, 'X') + "\r\n");
    const QString path = s.app->currentProjectPath();
    QCOMPARE(s.main().windowTitle(), QStringLiteral("Lumafex……") + path.right(20));
    QVERIFY(!QFileInfo::exists(path));  // written by the first save
  }

  void newProjectWithAnEmptyDirectoryAsksNothing() {
    Session s;
    s.start();
    QDir().mkpath(s.appDir() + QStringLiteral("/蓝天/bin"));
    s.dialogs.expectText("输入新工程名称", "蓝天");
    s.main().新建工程();
    QVERIFY(s.dialogs.unexpected.empty());
    QCOMPARE(s.app->currentProjectPath(), s.appDir() + QStringLiteral("/蓝天.hs"));
  }

  void saveReopenAndTheRecentFileMenu() {
    Session s;
    s.start();
    auto& design = s.design();
    s.dialogs.expectText("输入新工程名称", "甲");
    s.main().新建工程();
    lumafex::testing::child<QListWidget>(design, "List2")->setCurrentRow(2);
    lumafex::testing::child<QPushButton>(design, "选择")->click();
    lumafex::testing::child<QListWidget>(design, "List2")->setCurrentRow(11);
    lumafex::testing::child<QPushButton>(design, "选择")->click();
    s.main().saveProjectCommand();
    const QString first = s.app->currentProjectPath();
    QVERIFY(QFileInfo::exists(first));
    QVERIFY(!design.dirty());

    s.dialogs.expectText("输入新工程名称", "乙");
    s.main().新建工程();
    s.main().saveProjectCommand();
    const QString second = s.app->currentProjectPath();
    auto recent = lumafex::app::readRecentList(s.settings);
    QCOMPARE(qs(recent[0]), second);
    QCOMPARE(qs(recent[1]), first);
    QVERIFY(lumafex::testing::child<QAction>(s.main(), "mnuFileBar4")->isVisible());
    QCOMPARE(lumafex::testing::child<QAction>(s.main(), "mnuFileMRU", 0)->text(), QStringLiteral("乙.hs"));
    QCOMPARE(lumafex::testing::child<QAction>(s.main(), "mnuFileMRU", 1)->text(), QStringLiteral("甲.hs"));
    QVERIFY(!lumafex::testing::child<QAction>(s.main(), "mnuFileMRU", 2)->isVisible());

    lumafex::testing::child<QAction>(s.main(), "mnuFileMRU", 1)->trigger();
    QCOMPARE(s.app->currentProjectPath(), first);
    QCOMPARE(listTexts(lumafex::testing::child<QListWidget>(design, "List1")),
             (QStringList{QStringLiteral("3右扫_色彩混合"), QStringLiteral("12左收_色彩混合")}));
    recent = lumafex::app::readRecentList(s.settings);
    QCOMPARE(qs(recent[0]), first);
    QCOMPARE(qs(recent[1]), second);

    // A recent entry whose file is gone is reported and stays.
    QFile::remove(second);
    s.dialogs.expect("已经不存在！", Answer::Ok);
    lumafex::testing::child<QAction>(s.main(), "mnuFileMRU", 1)->trigger();
    QCOMPARE(s.app->currentProjectPath(), first);
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void saveAsCopiesTheProjectDirectory() {
    Session s;
    s.start();
    const QString oldDir = s.app->projectDirectory();
    QVERIFY(QFileInfo::exists(oldDir + QStringLiteral("/标题花式.bt")));
    const QString target = s.root.path() + QStringLiteral("/别处/副本.hs");
    QDir().mkpath(s.root.path() + QStringLiteral("/别处"));
    s.dialogs.expectText("另存为", us(target));
    s.main().saveAsCommand();
    QVERIFY(QFileInfo::exists(target));
    QVERIFY(QFileInfo::exists(s.root.path() + QStringLiteral("/别处/副本/标题花式.bt")));
    QCOMPARE(s.app->currentProjectPath(), target);
    // Saving onto an existing file asks first; No changes nothing.
    s.dialogs.expectText("另存为", us(target));
    s.dialogs.expect("已经存在是否覆盖它？", Answer::No);
    s.main().saveAsCommand();
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void saveAsAddsTheProjectSuffix() {
    Session s;
    s.start();
    const QString typed = s.root.path() + QStringLiteral("/副本");  // no ".hs"
    s.dialogs.expectText("另存为", us(typed));
    s.main().saveAsCommand();
    QVERIFY(QFileInfo(typed + QStringLiteral(".hs")).isFile());
    QVERIFY(QFileInfo(typed).isDir());  // the project's directory, beside its file
    QVERIFY(QFileInfo::exists(typed + QStringLiteral("/标题花式.bt")));
    QCOMPARE(s.app->currentProjectPath(), typed + QStringLiteral(".hs"));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void nothingStaleAfterStopAndNew() {
    Session s;
    s.start();
    auto* status = lumafex::testing::child<QLabel>(s.main(), "statusPanel");
    // The speed under the board is there as soon as the project is open.
    QVERIFY(
        lumafex::testing::child<QLabel>(s.design(), "板提示", 5)->text().contains(QStringLiteral("毫秒/步")));
    s.design().显示总程序Click();
    QVERIFY(status->text().startsWith(QStringLiteral("正在显示编程总程序的")));
    lumafex::testing::child<lumafex::controls::VelarnButton>(s.main(), "停止")->click();
    QVERIFY(status->text().isEmpty());
    s.design().显示总程序Click();
    auto* catalogue = lumafex::testing::child<QListWidget>(s.design(), "List2");
    catalogue->scrollToBottom();
    s.dialogs.expectText("输入新工程名称", std::string("全新"));
    s.main().新建工程();
    QVERIFY(status->text().isEmpty());
    QCOMPARE(catalogue->verticalScrollBar()->value(), catalogue->verticalScrollBar()->minimum());
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void showingAPreviewLeavesTheKeyboardOnTheSwitch() {
    Session s;
    s.start();
    auto& main = s.main();
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    auto* vertical = lumafex::testing::child<lumafex::controls::CheckBoxControl>(main, "启用竖列显示");
    vertical->setFocus();
    const int before = vertical->value();
    QTest::keyClick(vertical, Qt::Key_Space);
    QCOMPARE(vertical->value(), 1 - before);
    QCOMPARE(QApplication::focusWidget(), vertical);
    QTest::keyClick(vertical, Qt::Key_Space);
    QCOMPARE(vertical->value(), before);
  }

  void boardEditing() {
    Session s;
    s.start();
    auto& design = s.design();
    lumafex::testing::child<QPushButton>(design, "全部清除")->click();
    for (int row : {0, 1, 2}) {
      lumafex::testing::child<QListWidget>(design, "List2")->setCurrentRow(row);
      lumafex::testing::child<QPushButton>(design, "选择")->click();
    }
    const QStringList names = listTexts(lumafex::testing::child<QListWidget>(design, "List1"));
    // A click on an entry while nothing runs starts the whole board at its first entry; the second
    // click continues the run from the entry clicked, which is then selected.
    lumafex::testing::child<QListWidget>(design, "List1")->setCurrentRow(1);
    QVERIFY(design.isTotalRunActive());
    QCOMPARE(lumafex::testing::child<QListWidget>(design, "List1")->currentRow(), 0);
    lumafex::testing::child<QListWidget>(design, "List1")->setCurrentRow(1);
    QCOMPARE(lumafex::testing::child<QListWidget>(design, "List1")->currentRow(), 1);
    lumafex::testing::child<QPushButton>(design, "下移")->click();
    QVERIFY(!design.isTotalRunActive());
    QCOMPARE(listTexts(lumafex::testing::child<QListWidget>(design, "List1")),
             (QStringList{names[0], names[2], names[1]}));
    QCOMPARE(lumafex::testing::child<QListWidget>(design, "List1")->currentRow(), 2);
    lumafex::testing::child<QListWidget>(design, "List1")->setCurrentRow(0);
    lumafex::testing::child<QPushButton>(design, "上移")->click();
    QCOMPARE(listTexts(lumafex::testing::child<QListWidget>(design, "List1")),
             (QStringList{names[0], names[2], names[1]}));

    design.setDirty(false);
    design.stopCommand();
    lumafex::testing::child<QListWidget>(design, "List1")->setCurrentRow(1);
    lumafex::testing::child<QListWidget>(design, "List1")->setCurrentRow(1);
    lumafex::testing::child<QListWidget>(design, "List1")->item(1)->setSelected(true);
    QTest::keyClick(lumafex::testing::child<QListWidget>(design, "List1"), Qt::Key_Delete);
    QCOMPARE(listTexts(lumafex::testing::child<QListWidget>(design, "List1")),
             (QStringList{names[0], names[1]}));
    QVERIFY(!design.dirty());
    lumafex::testing::child<QListWidget>(design, "List1")->setCurrentRow(0);
    lumafex::testing::child<QListWidget>(design, "List1")->item(0)->setSelected(true);
    lumafex::testing::child<QPushButton>(design, "删除")->click();
    QCOMPARE(listTexts(lumafex::testing::child<QListWidget>(design, "List1")), QStringList{names[1]});
    QVERIFY(design.dirty());

    lumafex::testing::child<QPushButton>(design, "全选")->click();
    QCOMPARE(lumafex::testing::child<QListWidget>(design, "List1")->count(),
             1 + lumafex::testing::child<QListWidget>(design, "List2")->count());
    QCOMPARE(lumafex::testing::child<QListWidget>(design, "List1")->item(1)->text(),
             lumafex::testing::child<QListWidget>(design, "List2")->item(0)->text());
  }

  void colourCountChangeClearsTheBoardButNotWhileLoading() {
    Session s;
    s.start();
    auto& design = s.design();
    QCOMPARE(lumafex::testing::child<QListWidget>(design, "List1")->count(),
             11);  // the sample opened with colour count 2 and its board
    QCOMPARE(lumafex::testing::child<QListWidget>(design, "List2")->count(), 66);
    design.setDirty(false);
    lumafex::testing::child<QComboBox>(design, "色数")->setCurrentIndex(2);
    QCOMPARE(lumafex::testing::child<QListWidget>(design, "List1")->count(), 0);
    QCOMPARE(lumafex::testing::child<QListWidget>(design, "List2")->count(), 26);
    QVERIFY(design.dirty());
  }

  void catalogueClickWritesTheEffectIntoTheScratchFile() {
    Session s;
    s.start();
    auto& design = s.design();
    lumafex::testing::child<QListWidget>(design, "List2")->setCurrentRow(0);  // "1右扫_色彩1" at 64 channels
    lumafex::patterns::StepWriter expected;
    lumafex::patterns::runGenerator(*lumafex::patterns::findGenerator("D5"), 64, 2, expected);
    QCOMPARE(fileBytes(s.app->scratchFile()), QByteArray::fromStdString(std::string(expected.bytes())));
    QVERIFY(lumafex::testing::child<QLabel>(s.main(), "statusPanel")
                ->text()
                .contains(QStringLiteral("1右扫_色彩1")));
  }

  void projectFromTheOriginalPlatformOpensWithItsBoard() {
    Session s;
    s.start();
    const QString copy = s.appDir() + QStringLiteral("/红星饭店.hs");
    QVERIFY(QFile::copy(QString::fromUtf8(LUMAFEX_TEST_DATA) + QStringLiteral("/records/original.hs"), copy));
    s.dialogs.expectText("打开", us(copy));
    s.main().openProjectCommand();
    auto& design = s.design();
    QCOMPARE(
        listTexts(lumafex::testing::child<QListWidget>(design, "List1")),
        (QStringList{QStringLiteral("1右扫_色彩1"), QStringLiteral("12左收_色彩混合"),
                     QStringLiteral("55积木_变色"), QStringLiteral("26队列"), QStringLiteral("66全灭")}));
    QCOMPARE(lumafex::testing::child<QLineEdit>(design, "标题名称")->text(), QStringLiteral("红星饭店"));
    QCOMPARE(design.columnsValue(), 64);
    QVERIFY(lumafex::testing::child<QCheckBox>(design, "粗体")->isChecked());
    QVERIFY(!design.dirty());
    // Saving it back keeps every value line.
    s.main().saveProjectCommand();
    const auto back = lumafex::design::readProjectRecord(lumafex::platform::pathFromUtf8(us(copy)));
    QVERIFY(static_cast<bool>(back));
    QCOMPARE(back->board.size(), std::size_t{5});
    QCOMPARE(qs(*back->values[0]), QStringLiteral("红星饭店"));
    QCOMPARE(qs(*back->values[25]), QStringLiteral("43"));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void theSaveQuestionOnClose() {
    {
      Session s;
      s.start();
      s.design().setDirty(true);
      const std::string lastBefore = s.settings.get("最后处理的工程名称", "<none>");
      s.dialogs.expect("原来的工程已经改变，是否存盘？", Answer::Cancel);
      QVERIFY(!s.main().close());
      QVERIFY(s.main().isVisible());
      QCOMPARE(s.settings.get("最后处理的工程名称", "<none>"), lastBefore);
    }
    {
      Session s;
      s.start();
      auto& design = s.design();
      lumafex::testing::child<QPushButton>(design, "全部清除")->click();
      const QString path = s.app->currentProjectPath();
      s.dialogs.expect("原来的工程已经改变，是否存盘？", Answer::No);
      QVERIFY(s.main().close());
      QCOMPARE(lumafex::design::readProjectRecord(lumafex::platform::pathFromUtf8(us(path)))->board.size(),
               std::size_t{11});
      QVERIFY(s.scratchFiles().isEmpty());
      QCOMPARE(qs(s.settings.get("最后处理的工程名称")), path);
      QCOMPARE(s.settings.get("是否运行中"), std::string("False"));
    }
    {
      Session s;
      s.start();
      lumafex::testing::child<QPushButton>(s.design(), "全部清除")->click();
      const QString path = s.app->currentProjectPath();
      s.dialogs.expect("原来的工程已经改变，是否存盘？", Answer::Yes);
      QVERIFY(s.main().close());
      QCOMPARE(lumafex::design::readProjectRecord(lumafex::platform::pathFromUtf8(us(path)))->board.size(),
               std::size_t{0});
      QSignalSpy ended(s.app.get(), &Application::ended);
      QVERIFY(ended.wait(3000));
    }
  }

  void restartingReturnsToTheSameProject() {
    Session s;
    s.start();
    s.dialogs.expectText("输入新工程名称", "丙");
    s.main().新建工程();
    s.main().saveProjectCommand();
    const QString path = s.app->currentProjectPath();
    QVERIFY(s.main().close());
    s.app.reset();
    s.start();
    QCOMPARE(s.app->currentProjectPath(), path);
  }

  void previewSwitchesKeepOneOn() {
    Session s;
    s.start();
    auto& main = s.main();
    lumafex::testing::child<lumafex::controls::CheckBoxControl>(main, "启用横显示")->setValue(0);
    QCOMPARE(lumafex::testing::child<lumafex::controls::CheckBoxControl>(main, "启用竖列显示")->value(), 1);
    lumafex::testing::child<lumafex::controls::CheckBoxControl>(main, "启用竖列显示")->setValue(0);
    QCOMPARE(lumafex::testing::child<lumafex::controls::CheckBoxControl>(main, "启用横显示")->value(), 1);
  }

  void toolbarAndStatusBarToggle() {
    Session s;
    s.start();
    auto& main = s.main();
    QVERIFY(lumafex::testing::child<QWidget>(main, "Picture1")->isVisible());
    lumafex::testing::child<QAction>(main, "mnuViewToolbar")->trigger();
    QVERIFY(!lumafex::testing::child<QWidget>(main, "Picture1")->isVisible());
    lumafex::testing::child<QAction>(main, "mnuViewToolbar")->trigger();
    QVERIFY(lumafex::testing::child<QWidget>(main, "Picture1")->isVisible());
    QVERIFY(lumafex::testing::child<QAction>(main, "mnuViewToolbar")->isChecked());
    lumafex::testing::child<QAction>(main, "mnuViewStatusBar")->trigger();
    QVERIFY(!lumafex::testing::child<QStatusBar>(main, "sbStatusBar")->isVisible());
  }

  void titleAcceptsOnlyFullWidthCharacters() {
    Session s;
    s.start();
    s.dialogs.expect("请用中文或全角字符！", Answer::Ok);
    lumafex::testing::child<QLineEdit>(s.design(), "标题名称")->setText(QStringLiteral("欢A迎A"));
    QCOMPARE(lumafex::testing::child<QLineEdit>(s.design(), "标题名称")->text(), QStringLiteral("欢迎"));
    QCOMPARE(static_cast<int>(s.dialogs.asked.size()), 1);
  }
};

QTEST_MAIN(DesktopProgramTest)
#include "DesktopProgramTest.moc"
