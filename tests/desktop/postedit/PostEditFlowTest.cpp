// Finishing and compiling in the windows: from the board to the post-processing window, the step
// run, the slider, go-to and marks, hand edits and the title effect, and both exports.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextBlock>
#include <QtTest>
#include <tuple>

#include "desktop/compiler/OutputWindow.h"
#include "desktop/controls/AdjustableBar.h"
#include "desktop/controls/CheckBoxControl.h"
#include "desktop/controls/VelarnButton.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/postedit/PostEditWindow.h"
#include "desktop/preview/PreviewWindow.h"
#include "support/AppSession.h"
#include "support/Widgets.h"

using lumafex::platform::Answer;
using lumafex::testing::fileBytes;
using lumafex::testing::Session;

namespace {

// The sample project, as the program opens it on its first start.
struct Sample : Session {
  Sample() { start(); }
  lumafex::postedit::PostEditWindow& post() { return app->postEditWindow(); }
  QString bin(const QString& name) const { return app->projectDirectory() + QStringLiteral("/bin/") + name; }
};

// A post-processing window holding `lines` (each `width` wide) whose run is driven by hand.
void loadSequence(lumafex::postedit::PostEditWindow& post, const QStringList& lines) {
  post.setSequenceText(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
  post.setBaseChannels(QString::number(lines.front().size()));
}

}  // namespace

class PostEditFlowTest : public QObject {
  Q_OBJECT

 private slots:
  void assemblingOpensThePostProcessingWindow() {
    Sample s;
    auto& design = s.design();
    lumafex::testing::child<QPushButton>(design, "生成TXT文件")->click();
    auto& post = s.post();
    QVERIFY(s.app->postEditShown());
    QVERIFY(!lumafex::testing::child<QMdiSubWindow>(s.main(), "designFrame")->isVisible());
    QCOMPARE(lumafex::testing::child<QLabel>(post, "基本路数")->text(), QStringLiteral("64"));
    const QByteArray total = fileBytes(s.appDir() + QStringLiteral("/霓虹灯花式.txt"));
    QCOMPARE(static_cast<long>(
                 lumafex::testing::child<lumafex::controls::AdjustableBar>(post, "HScroll1")->maximum()),
             static_cast<long>(total.size() / 66));
    QCOMPARE(lumafex::testing::child<QTextEdit>(post, "Text1")->document()->blockCount(),
             static_cast<int>(total.count("\r\n")));
    QCOMPARE(lumafex::testing::child<QTextEdit>(post, "Text1")->font().pointSizeF(), 560.0 / 64);
    QVERIFY(lumafex::testing::child<QTimer>(post, "延时起点后期处理")->isActive());
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void emptyBoardIsRefused() {
    Sample s;
    lumafex::testing::child<QPushButton>(s.design(), "全部清除")->click();
    s.dialogs.expect("请先选择花式到编程板。", Answer::Ok);
    lumafex::testing::child<QPushButton>(s.design(), "生成TXT文件")->click();
    QVERIFY(!s.app->postEditShown());
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void theRunLoopsWithAZeroTick() {
    Sample s;
    auto& post = s.post();
    s.main().showPostEdit();
    loadSequence(post, {QStringLiteral("XXXX"), QStringLiteral(" XX "), QStringLiteral("X  X")});
    lumafex::testing::child<QTimer>(s.design(), "Timer1")
        ->setInterval(1000000);  // the run's ticks come from the test
    post.runCommand();
    QVERIFY(lumafex::testing::child<QTimer>(post, "Timer1")->isActive());
    QStringList counters;
    QStringList tubes;
    for (int i = 0; i < 8; ++i) {
      post.tick();
      counters << lumafex::testing::child<QLabel>(post, "步数")->text();
      tubes << post.currentTubes();
      if (i == 2) QCOMPARE(s.app->horizontalPreview().step(), 3L);  // the previews follow the slider
    }
    QCOMPARE(counters, (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                    QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                    QStringLiteral("3"), QStringLiteral("0")}));
    QCOMPARE(tubes.mid(0, 3),
             (QStringList{QStringLiteral("XXXX"), QStringLiteral(" XX "), QStringLiteral("X  X")}));
  }

  void sliderForwardAndBack() {
    Sample s;
    auto& post = s.post();
    s.main().showPostEdit();
    QStringList lines;
    for (int i = 0; i < 6; ++i) lines << QString(6, QLatin1Char(' ')).replace(i, 1, QStringLiteral("X"));
    loadSequence(post, lines);
    post.runCommand();
    lumafex::testing::child<QTimer>(post, "Timer1")->stop();
    lumafex::testing::child<lumafex::controls::AdjustableBar>(post, "HScroll1")->setMaximum(6);
    lumafex::testing::child<lumafex::controls::AdjustableBar>(post, "HScroll1")->setValue(4);
    QCOMPARE(lumafex::testing::child<QLabel>(post, "步数")->text(), QStringLiteral("4"));
    QCOMPARE(post.currentTubes().left(6), lines[3]);
    lumafex::testing::child<lumafex::controls::AdjustableBar>(post, "HScroll1")->setValue(2);
    QCOMPARE(lumafex::testing::child<QLabel>(post, "步数")->text(), QStringLiteral("2"));
    QCOMPARE(post.currentTubes().left(6), lines[1]);
    QCOMPARE(lumafex::testing::child<QTextEdit>(post, "Text1")->textCursor().blockNumber(),
             1);  // the caret follows to line 2
  }

  void goToAndMarks() {
    Sample s;
    auto& post = s.post();
    s.main().showPostEdit();
    loadSequence(post, {QStringLiteral("X   "), QStringLiteral(" X  "), QStringLiteral("  X "),
                        QStringLiteral("   X")});
    post.runCommand();
    lumafex::testing::child<QTimer>(post, "Timer1")->stop();
    lumafex::testing::child<lumafex::controls::AdjustableBar>(post, "HScroll1")->setMaximum(4);
    lumafex::testing::child<lumafex::controls::CheckBoxControl>(post, "锁定花式")->setValue(1);
    lumafex::testing::child<QLineEdit>(post, "显示步数")->setText(QStringLiteral("2"));
    lumafex::testing::child<QPushButton>(post, "去到")->click();
    QCOMPARE(lumafex::testing::child<lumafex::controls::AdjustableBar>(post, "HScroll1")->value(), 3.0);
    QCOMPARE(post.currentTubes(), QStringLiteral("  X "));
    const QTextBlock marked =
        lumafex::testing::child<QTextEdit>(post, "Text1")->document()->findBlockByNumber(2);
    QCOMPARE(marked.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
    lumafex::testing::child<QPushButton>(post, "清除标记")->click();
    QCOMPARE(lumafex::testing::child<QTextEdit>(post, "Text1")
                 ->document()
                 ->findBlockByNumber(2)
                 .begin()
                 .fragment()
                 .charFormat()
                 .foreground()
                 .color(),
             QColor(0, 0, 0));
    // Out of range: nothing happens.
    lumafex::testing::child<QLineEdit>(post, "显示步数")->setText(QStringLiteral("4"));
    lumafex::testing::child<QPushButton>(post, "去到")->click();
    QCOMPARE(lumafex::testing::child<lumafex::controls::AdjustableBar>(post, "HScroll1")->value(), 3.0);
  }

  void handEditsReachTheManualFileBeforeTheKeyTakesEffect() {
    Sample s;
    auto& post = s.post();
    s.main().showPostEdit();
    loadSequence(post, {QStringLiteral("    "), QStringLiteral("    ")});
    lumafex::testing::child<lumafex::controls::CheckBoxControl>(post, "人工修改")->setValue(1);
    QVERIFY(!lumafex::testing::child<QTextEdit>(post, "Text1")->isReadOnly());
    QTextCursor at(lumafex::testing::child<QTextEdit>(post, "Text1")->document());
    at.setPosition(1);
    at.setPosition(2, QTextCursor::KeepAnchor);
    lumafex::testing::child<QTextEdit>(post, "Text1")->setTextCursor(at);
    s.design().setDirty(false);
    QTest::keyClick(lumafex::testing::child<QTextEdit>(post, "Text1"), Qt::Key_A);
    QCOMPARE(lumafex::testing::child<QTextEdit>(post, "Text1")->document()->firstBlock().text(),
             QStringLiteral(" X  "));
    QVERIFY(s.design().dirty());
    const QString manual = s.app->projectDirectory() + QStringLiteral("/人工修改的花式.txt");
    QCOMPARE(fileBytes(manual), QByteArray("    \r\n    \r\n"));  // the text of the moment the key went down
    QTest::keyClick(lumafex::testing::child<QTextEdit>(post, "Text1"), Qt::Key_Space);
    QCOMPARE(fileBytes(manual), QByteArray(" X  \r\n    \r\n"));
    QCOMPARE(lumafex::testing::child<QTextEdit>(post, "Text1")->document()->firstBlock().text(),
             QStringLiteral(" X   "));  // a space stays a blank
  }

  void withoutManualEditTheFileIsNotTouched() {
    Sample s;
    auto& post = s.post();
    s.main().showPostEdit();
    loadSequence(post, {QStringLiteral("    "), QStringLiteral("    ")});
    QTextCursor at(lumafex::testing::child<QTextEdit>(post, "Text1")->document());
    at.setPosition(7);
    lumafex::testing::child<QTextEdit>(post, "Text1")->setTextCursor(at);
    QTest::keyClick(lumafex::testing::child<QTextEdit>(post, "Text1"), Qt::Key_Right);
    QVERIFY(!QFileInfo::exists(s.app->projectDirectory() + QStringLiteral("/人工修改的花式.txt")));
    QCOMPARE(lumafex::testing::child<QLabel>(post, "行")->text(), QStringLiteral("2"));
    QCOMPARE(lumafex::testing::child<QLabel>(post, "列")->text(), QStringLiteral("2"));
  }

  void titleEffectTyping() {
    Sample s;
    auto& post = s.post();
    s.main().showPostEdit();
    lumafex::testing::child<QPlainTextEdit>(post, "Text2")->setPlainText(QStringLiteral("欢迎光临<1>\n"));
    QTextCursor end(lumafex::testing::child<QPlainTextEdit>(post, "Text2")->document());
    end.movePosition(QTextCursor::End);
    lumafex::testing::child<QPlainTextEdit>(post, "Text2")->setTextCursor(end);
    QTest::keyClick(lumafex::testing::child<QPlainTextEdit>(post, "Text2"), Qt::Key_Space);
    QTest::keyClicks(lumafex::testing::child<QPlainTextEdit>(post, "Text2"), QStringLiteral("<5>"));
    QCOMPARE(lumafex::testing::child<QPlainTextEdit>(post, "Text2")->toPlainText(),
             QStringLiteral("欢迎光临<1>\n□<5>"));
    const QByteArray bt = fileBytes(s.app->projectDirectory() + QStringLiteral("/标题花式.bt"));
    QCOMPARE(bt, QByteArray("\xBB\xB6\xD3\xAD\xB9\xE2\xC1\xD9<1>\r\n\xA1\xF5<5>"));
  }

  void clickOnATitleLineGoesToItsStep() {
    Sample s;
    auto& post = s.post();
    s.main().showPostEdit();
    QStringList lines;
    for (int i = 0; i < 20; ++i) lines << QStringLiteral("X   ");
    loadSequence(post, lines);
    post.runCommand();
    lumafex::testing::child<QTimer>(post, "Timer1")->stop();
    lumafex::testing::child<lumafex::controls::AdjustableBar>(post, "HScroll1")->setMaximum(20);
    lumafex::testing::child<QPlainTextEdit>(post, "Text2")->setPlainText(QStringLiteral("欢迎□□<12>\n"));
    QTest::mouseClick(lumafex::testing::child<QPlainTextEdit>(post, "Text2")->viewport(), Qt::LeftButton, {},
                      QPoint(5, 5));
    QCOMPARE(lumafex::testing::child<QLineEdit>(post, "显示步数")->text(), QStringLiteral("12"));
    QCOMPARE(lumafex::testing::child<lumafex::controls::AdjustableBar>(post, "HScroll1")->value(), 13.0);
  }

  void aZeroBaseWidthIsAskedAboutOnceWhileTheRunGoesOn() {
    Sample s;
    auto& post = s.post();
    s.main().showPostEdit();
    loadSequence(post, {QStringLiteral("XX  "), QStringLiteral("  XX")});
    post.setBaseChannels(QStringLiteral("基本路数"));  // a caption without a number
    post.runCommand();
    lumafex::testing::child<QTimer>(post, "Timer1")->stop();
    int questions = 0;
    // The run's timer goes on firing while the question is open: those ticks ask nothing.
    s.dialogs.whileAsking = [&](const std::string& text) {
      if (text.find("基本路数") == std::string::npos) return;
      ++questions;
      for (int i = 0; i < 20; ++i) post.tick();
    };
    s.dialogs.expect("确认“基本路数＝4”", Answer::No);
    post.tick();
    QCOMPARE(questions, 1);
    // Answered No, the next tick asks again; Yes sets the width.
    s.dialogs.expect("确认“基本路数＝4”", Answer::Yes);
    post.tick();
    QCOMPARE(questions, 2);
    QCOMPARE(lumafex::testing::child<QLabel>(post, "基本路数")->text(), QStringLiteral("4"));
    post.tick();
    QCOMPARE(questions, 2);
    s.dialogs.whileAsking = nullptr;
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void aClickOnALineShowsThatStep() {
    Sample s;
    auto& post = s.post();
    s.main().showPostEdit();
    post.show();
    QStringList lines;
    for (int i = 0; i < 8; ++i) lines << QString(8, QLatin1Char(' ')).replace(i, 1, QStringLiteral("X"));
    loadSequence(post, lines);
    post.runCommand();
    lumafex::testing::child<QTimer>(post, "Timer1")->stop();
    auto* text1 = lumafex::testing::child<QTextEdit>(post, "Text1");
    QVERIFY(QTest::qWaitForWindowExposed(text1));
    const QTextBlock line5 = text1->document()->findBlockByNumber(4);
    QTextCursor at(line5);
    at.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 3);
    const QPoint click = text1->cursorRect(at).center();
    QTest::mouseClick(text1->viewport(), Qt::LeftButton, {}, click);
    QCOMPARE(lumafex::testing::child<QLabel>(post, "行")->text(), QStringLiteral("5"));
    QCOMPARE(lumafex::testing::child<lumafex::controls::AdjustableBar>(post, "HScroll1")->value(), 5.0);
    QCOMPARE(lumafex::testing::child<QLabel>(post, "步数")->text(), QStringLiteral("5"));
    QCOMPARE(post.currentTubes().left(8), lines[4]);
  }

  void theLockAloneMakesTheSequenceReadOnly() {
    Sample s;
    auto& post = s.post();
    auto* text1 = lumafex::testing::child<QTextEdit>(post, "Text1");
    auto* lock = lumafex::testing::child<lumafex::controls::CheckBoxControl>(post, "锁定花式");
    auto* manual = lumafex::testing::child<lumafex::controls::CheckBoxControl>(post, "人工修改");
    manual->setValue(0);
    lock->setValue(0);
    const std::vector<std::pair<lumafex::controls::CheckBoxControl*, bool>> clicks = {
        {lock, true},     // locked
        {lock, false},    // unlocked, with 人工修改 off as well
        {lock, true},     // locked again
        {manual, false},  // 人工修改 checked makes it editable
        {lock, false},    // the lock's second click: unlocked
        {lock, true},     // and locked again
    };
    for (const auto& [box, readOnly] : clicks) {
      box->Click_操作();
      QCOMPARE(text1->isReadOnly(), readOnly);
    }
  }

  void homeAndEndKeepTheReadOnlySequenceInView() {
    Sample s;
    auto& post = s.post();
    s.main().showPostEdit();
    post.show();
    QStringList lines;
    for (int i = 0; i < 200; ++i) lines << QString(300, QLatin1Char(' ')).replace(i, 1, QStringLiteral("X"));
    loadSequence(post, lines);
    auto* text1 = lumafex::testing::child<QTextEdit>(post, "Text1");
    lumafex::testing::child<lumafex::controls::CheckBoxControl>(post, "锁定花式")->setValue(1);
    QVERIFY(QTest::qWaitForWindowExposed(text1));
    text1->setFocus();
    QTextCursor line(text1->document()->findBlockByNumber(100));
    text1->setTextCursor(line);
    for (const auto& [key, modifiers, block, atEnd] :
         std::vector<std::tuple<Qt::Key, Qt::KeyboardModifiers, int, bool>>{
             {Qt::Key_End, Qt::NoModifier, 100, true},
             {Qt::Key_Home, Qt::NoModifier, 100, false},
             {Qt::Key_End, Qt::ControlModifier, 199, true},
             {Qt::Key_Home, Qt::ControlModifier, 0, false}}) {
      QTest::keyClick(text1, key, modifiers);
      const QTextCursor caret = text1->textCursor();
      QCOMPARE(caret.blockNumber(), block);
      QCOMPARE(caret.atBlockEnd(), atEnd);
      // The caret's line is in view: the box does not show an empty stretch.
      QVERIFY(text1->viewport()->rect().intersects(text1->cursorRect()));
    }
  }

  void everyTypedKeyIsAnX() {
    Sample s;
    auto& post = s.post();
    s.main().showPostEdit();
    loadSequence(post, {QStringLiteral("    ")});
    lumafex::testing::child<lumafex::controls::CheckBoxControl>(post, "人工修改")->setValue(1);
    auto* text1 = lumafex::testing::child<QTextEdit>(post, "Text1");
    struct Key {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      QString entered;  // what the line holds after it, typed at its start
    };
    const Key keys[] = {
        {Qt::Key_A, Qt::NoModifier, QStringLiteral("X    ")},
        {Qt::Key_Tab, Qt::NoModifier, QStringLiteral("X    ")},
        {Qt::Key_C, Qt::ControlModifier, QStringLiteral("X    ")},
        {Qt::Key_V, Qt::ControlModifier, QStringLiteral("X    ")},
        {Qt::Key_1, Qt::NoModifier, QStringLiteral("X    ")},
        {Qt::Key_Space, Qt::NoModifier, QStringLiteral("     ")},
    };
    for (const Key& k : keys) {
      loadSequence(post, {QStringLiteral("    ")});
      text1->setTextCursor(QTextCursor(text1->document()));
      QTest::keyClick(text1, k.key, k.modifiers);
      QCOMPARE(text1->document()->firstBlock().text(), k.entered);
    }
    const QByteArray manual = fileBytes(s.app->projectDirectory() + QStringLiteral("/人工修改的花式.txt"));
    QVERIFY(!manual.contains('\t'));
  }

  void theRunSelectsTheTitleStateAlone() {
    Sample s;
    auto& post = s.post();
    s.main().showPostEdit();
    lumafex::testing::child<QPlainTextEdit>(post, "Text2")
        ->setPlainText(QStringLiteral("欢迎光临<1>\n欢□光□<3>\n"));
    s.app->document().edit(lumafex::design::ProjectDocument::Settings, [](lumafex::design::Project& p) {
      p.settings.showHorizontal = 1;
      p.settings.horizontalTitleEffect = 1;
    });
    s.app->horizontalPreview().setStep(3);
    s.design().显示标题();
    const QTextCursor selected = lumafex::testing::child<QPlainTextEdit>(post, "Text2")->textCursor();
    QCOMPARE(selected.selectedText(), QStringLiteral("欢□光□"));
  }

  void bothExportsMatchTheCommandLineCompile() {
    Sample s;
    auto& main = s.main();
    const QString project = s.app->currentProjectPath();
    const QString cli = QString::fromUtf8(LUMAFEX_CLI_PATH);
    for (const bool multi : {false, true}) {
      s.dialogs.expect("编译成功！", Answer::Ok);
      (multi ? lumafex::testing::child<QAction>(main, "多集成块_每8路一块")
             : lumafex::testing::child<QAction>(main, "单IC导出"))
          ->trigger();
      QVERIFY2(s.dialogs.unexpected.empty(),
               s.dialogs.unexpected.empty() ? "" : s.dialogs.unexpected.front().c_str());
      const QStringList names = multi
                                    ? QStringList{QStringLiteral("正1.bin"), QStringLiteral("反1.bin"),
                                                  QStringLiteral("正9.bin"), QStringLiteral("反9.bin")}
                                    : QStringList{QStringLiteral("单IC正.bin"), QStringLiteral("单IC反.bin")};
      QList<QByteArray> fromWindows;
      for (const QString& n : names) fromWindows << fileBytes(s.bin(n));
      QVERIFY2(!fromWindows.front().isEmpty(),
               qPrintable(lumafex::testing::child<QTextEdit>(s.app->outputWindow(), "Text2")->toPlainText() +
                          QString::number(s.dialogs.asked.size())));
      QCOMPARE(lumafex::testing::child<QTextEdit>(s.app->outputWindow(), "Text2")
                   ->toPlainText()
                   .contains(QStringLiteral("总步数＝")),
               true);
      QProcess p;
      p.start(cli, {QStringLiteral("compile"), project,
                    multi ? QStringLiteral("--multi") : QStringLiteral("--single")});
      QVERIFY(p.waitForFinished(30000));
      QCOMPARE(p.exitCode(), 0);
      for (int i = 0; i < names.size(); ++i) QCOMPARE(fileBytes(s.bin(names[i])), fromWindows[i]);
    }
    QVERIFY(QFileInfo::exists(s.bin(QStringLiteral("单IC正.bin"))));  // the other layout's files stay
  }

  void aSmallerCompileRemovesStaleChipFiles() {
    Sample s;
    s.dialogs.expect("编译成功！", Answer::Ok);
    lumafex::testing::child<QAction>(s.main(), "多集成块_每8路一块")->trigger();
    QVERIFY(QFileInfo::exists(s.bin(QStringLiteral("正9.bin"))));
    s.app->outputWindow().close();  // a freshly opened window takes the channel count anew
    lumafex::testing::child<QLineEdit>(s.design(), "列数")->setText(QStringLiteral("40"));
    s.dialogs.expect("编译成功！", Answer::Ok);
    lumafex::testing::child<QAction>(s.main(), "多集成块_每8路一块")->trigger();
    QVERIFY(s.dialogs.unexpected.empty());
    QCOMPARE(lumafex::testing::child<QLabel>(s.app->outputWindow(), "集成块个数")->text(),
             QStringLiteral("6"));  // 40 tubes + 4 title characters
    QVERIFY(!QFileInfo::exists(s.bin(QStringLiteral("正7.bin"))));
    QVERIFY(!QFileInfo::exists(s.bin(QStringLiteral("反9.bin"))));
    QVERIFY(QFileInfo::exists(s.bin(QStringLiteral("正6.bin"))));
  }

  void backToDesignAsksBeforeDroppingHandEdits() {
    Sample s;
    lumafex::testing::child<QPushButton>(s.design(), "生成TXT文件")->click();
    const QString manual = s.app->projectDirectory() + QStringLiteral("/人工修改的花式.txt");
    QFile f(manual);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("XXXX\r\n");
    f.close();
    s.dialogs.expect("重新编辑属性将删除人工编辑的结果,确认删除？", Answer::No);
    lumafex::testing::child<lumafex::controls::VelarnButton>(s.main(), "属性")->click();
    QVERIFY(s.app->postEditShown());
    QVERIFY(QFileInfo::exists(manual));
    s.dialogs.expect("重新编辑属性将删除人工编辑的结果,确认删除？", Answer::Yes);
    lumafex::testing::child<lumafex::controls::VelarnButton>(s.main(), "属性")->click();
    QVERIFY(!s.app->postEditShown());
    QVERIFY(lumafex::testing::child<QMdiSubWindow>(s.main(), "designFrame")->isVisible());
    QVERIFY(!QFileInfo::exists(manual));
    QVERIFY(s.design().isTotalRunActive());
    // While the design window is shown the command does nothing.
    lumafex::testing::child<lumafex::controls::VelarnButton>(s.main(), "属性")->click();
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void aProjectWithHandEditsOpensInThePostProcessingWindow() {
    Sample s;
    const QString manual = s.app->projectDirectory() + QStringLiteral("/人工修改的花式.txt");
    QFile f(manual);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("XX  \r\n  XX\r\n");
    f.close();
    s.dialogs.expectText("打开", lumafex::platform::us(s.app->currentProjectPath()));
    s.main().openProjectCommand();
    QVERIFY(s.app->postEditShown());
    QCOMPARE(lumafex::testing::child<QTextEdit>(s.post(), "Text1")->toPlainText(),
             QStringLiteral("XX  \n  XX"));
    QCOMPARE(fileBytes(s.app->scratchFile()), QByteArray("XX  \r\n  XX\r\n"));
    QVERIFY(lumafex::testing::child<QTimer>(s.post(), "延时起点后期处理")->isActive());
  }

  void runPauseAndStopActOnTheShownWindow() {
    Sample s;
    auto& main = s.main();
    main.runCommand();
    QVERIFY(s.design().isTotalRunActive());
    main.pauseCommand();
    QVERIFY(!lumafex::testing::child<QTimer>(s.design(), "Timer1")->isActive());
    main.pauseCommand();
    QVERIFY(lumafex::testing::child<QTimer>(s.design(), "Timer1")->isActive());
    main.stopCommand();
    QVERIFY(!s.design().isTotalRunActive());
    QVERIFY(!lumafex::testing::child<QTimer>(s.design(), "Timer1")->isActive());
    lumafex::testing::child<QPushButton>(s.design(), "生成TXT文件")->click();
    main.runCommand();
    QVERIFY(lumafex::testing::child<QTimer>(s.post(), "Timer1")->isActive());
    QVERIFY(!s.design().isTotalRunActive());
    main.stopCommand();
    QVERIFY(!lumafex::testing::child<QTimer>(s.post(), "Timer1")->isActive());
  }
};

QTEST_MAIN(PostEditFlowTest)
#include "PostEditFlowTest.moc"
