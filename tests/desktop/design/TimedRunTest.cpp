// The design window's timed run on the previews: an effect replayed step by step, the whole board
// entry after entry, the speed, the stop actions and the title state of each step.

#include <QtTest>
#include <algorithm>

#include "core/patterns/Catalogue.h"
#include "desktop/controls/AdjustableBar.h"
#include "desktop/controls/CheckBoxControl.h"
#include "desktop/design/ColourPanel.h"
#include "desktop/postedit/PostEditWindow.h"
#include "desktop/preview/PreviewWindow.h"
#include "support/AppSession.h"
#include "support/Widgets.h"

using lumafex::platform::Answer;
using lumafex::testing::Session;

namespace {

struct Sample : Session {
  Sample() {
    start();
    design().stopCommand();
    lumafex::testing::child<QTimer>(design(), "定时显示总程序")->stop();
  }
  long step() { return app->horizontalPreview().step(); }
  QString shown() { return app->horizontalPreview().shownTubes(); }
};

QStringList effectLines(const char* generator, int n, int colours) {
  lumafex::patterns::StepWriter out;
  lumafex::patterns::runGenerator(*lumafex::patterns::findGenerator(generator), n, colours, out);
  QStringList lines;
  for (const auto& l : out.lines()) lines << QString::fromStdString(l);
  return lines;
}

}  // namespace

class TimedRunTest : public QObject {
  Q_OBJECT

 private slots:
  void aCatalogueClickPlaysTheEffectAndRepeatsIt() {
    Sample s;
    auto& design = s.design();
    lumafex::testing::child<QLineEdit>(design, "列数")->setText(QStringLiteral("8"));
    lumafex::testing::child<QListWidget>(design, "List2")
        ->setCurrentRow(0);  // "1右扫_色彩1": four steps at 8 channels
    QVERIFY(lumafex::testing::child<QTimer>(design, "Timer1")->isActive());
    lumafex::testing::child<QTimer>(design, "Timer1")->stop();
    const QStringList lines = effectLines("D5", 8, 2);
    design.tick();  // opens the effect: counters at 0, nothing drawn yet
    QCOMPARE(s.step(), 0L);
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
      design.tick();
      seen << s.shown();
    }
    QCOMPARE(seen, lines);
    QCOMPARE(s.step(), 4L);
    design.tick();  // the end: the counter goes back to 0 and the effect starts again
    QCOMPARE(s.step(), 0L);
    design.tick();
    QCOMPARE(s.shown(), lines.front());
    QCOMPARE(s.app->verticalPreview().step(), 1L);
  }

  void theWholeBoardLoopsAndResetsTheCounter() {
    Sample s;
    auto& design = s.design();
    lumafex::testing::child<QPushButton>(design, "全部清除")->click();
    lumafex::testing::child<QLineEdit>(design, "列数")->setText(QStringLiteral("8"));
    lumafex::testing::child<QListWidget>(design, "List2")->setCurrentRow(0);  // 1右扫_色彩1: 4 steps
    lumafex::testing::child<QPushButton>(design, "选择")->click();
    lumafex::testing::child<QListWidget>(design, "List2")->setCurrentRow(65);  // 66全灭: 4 steps
    lumafex::testing::child<QPushButton>(design, "选择")->click();
    lumafex::testing::child<QPushButton>(design, "显示总程序")->click();
    QVERIFY(design.isTotalRunActive());
    QCOMPARE(lumafex::testing::child<QListWidget>(design, "List1")->currentRow(), 0);
    lumafex::testing::child<QTimer>(design, "Timer1")->stop();
    lumafex::testing::child<QTimer>(design, "定时显示总程序")->stop();
    QList<int> entries;
    QList<long> steps;
    for (int i = 0; i < 14; ++i) {
      design.tick();
      entries << lumafex::testing::child<QListWidget>(design, "List1")->currentRow();
      steps << s.step();
    }
    // Entry 0: open + 4 steps; its end hands over to entry 1, whose opening tick is not its end and
    // keeps counting; after its 4 steps the run returns to entry 0 with the counter at 0.
    QCOMPARE(steps.mid(0, 5), (QList<long>{0, 1, 2, 3, 4}));
    QCOMPARE(entries[5], 1);
    QCOMPARE(steps.mid(6, 5), (QList<long>{4, 5, 6, 7, 8}));
    QCOMPARE(entries[11], 0);
    QCOMPARE(steps[11], 0L);
    QCOMPARE(steps[13], 1L);
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void emptyBoardCannotRun() {
    Sample s;
    lumafex::testing::child<QPushButton>(s.design(), "全部清除")->click();
    s.dialogs.expect("请先选择花式到编程板。", Answer::Ok);
    lumafex::testing::child<QPushButton>(s.design(), "显示总程序")->click();
    QVERIFY(!s.design().isTotalRunActive());
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void speed() {
    Sample s;
    auto& design = s.design();
    design.setDirty(false);
    lumafex::testing::child<lumafex::controls::AdjustableBar>(design, "速度调节")->setValue(800);
    QCOMPARE(lumafex::testing::child<QLabel>(design, "速度")->text(), QStringLiteral("200"));
    QCOMPARE(lumafex::testing::child<QTimer>(design, "Timer1")->interval(), 200);
    QCOMPARE(lumafex::testing::child<QLabel>(design, "板提示", 5)->text(),
             QStringLiteral("速度：（200毫秒/步）"));
    QVERIFY(design.dirty());
    lumafex::testing::child<lumafex::controls::AdjustableBar>(design, "速度调节")->setValue(999);
    QCOMPARE(lumafex::testing::child<QTimer>(design, "Timer1")->interval(), 1);
    lumafex::testing::child<lumafex::controls::AdjustableBar>(design, "速度调节")->setValue(0);
    QCOMPARE(lumafex::testing::child<QTimer>(design, "Timer1")->interval(), 1000);
  }

  void stopActions() {
    struct Action {
      const char* name;
      std::function<void(lumafex::design::DesignWindow&)> act;
    };
    const Action actions[] = {
        {"mouse on the catalogue",
         [](auto& d) {
           QTest::mousePress(lumafex::testing::child<QListWidget>(d, "List2")->viewport(), Qt::LeftButton, {},
                             QPoint(5, 5));
         }},
        {"columns",
         [](auto& d) { lumafex::testing::child<QLineEdit>(d, "列数")->setText(QStringLiteral("32")); }},
        {"rows",
         [](auto& d) { lumafex::testing::child<QLineEdit>(d, "行数")->setText(QStringLiteral("2")); }},
        {"clear the board", [](auto& d) { lumafex::testing::child<QPushButton>(d, "全部清除")->click(); }},
        {"move up", [](auto& d) { emit lumafex::testing::child<QPushButton>(d, "上移")->pressed(); }},
        {"stop command", [](auto& d) { d.stopCommand(); }},
    };
    for (const auto& a : actions) {
      Sample s;
      auto& design = s.design();
      lumafex::testing::child<QPushButton>(design, "显示总程序")->click();
      QVERIFY2(design.isTotalRunActive(), a.name);
      a.act(design);
      QVERIFY2(!design.isTotalRunActive(), a.name);
      QVERIFY2(!lumafex::testing::child<QTimer>(design, "Timer1")->isActive(), a.name);
      QVERIFY2(s.dialogs.unexpected.empty(), a.name);
    }
  }

  void theTitleStateIsCarriedAcrossSteps() {
    Sample s;
    auto& design = s.design();
    lumafex::testing::child<QLineEdit>(design, "标题名称")->setText(QStringLiteral("欢迎光"));
    lumafex::testing::child<lumafex::controls::CheckBoxControl>(s.app->horizontalPreview(), "启用标题花式")
        ->setValue(1);
    lumafex::testing::child<QPlainTextEdit>(s.app->postEditWindow(), "Text2")
        ->setPlainText(QStringLiteral("欢迎光<1>\n欢□光<5>\n"));
    lumafex::testing::child<QLineEdit>(design, "列数")->setText(QStringLiteral("16"));
    lumafex::testing::child<QListWidget>(design, "List2")->setCurrentRow(65);  // eight dark steps
    lumafex::testing::child<QTimer>(design, "Timer1")->stop();
    design.tick();
    QStringList states;
    for (int i = 0; i < 4; ++i) {
      design.tick();
      states << design.titleState();
    }
    QCOMPARE(states, (QStringList{QStringLiteral("欢迎光"), QStringLiteral("欢迎光"),
                                  QStringLiteral("欢迎光"), QStringLiteral("欢迎光")}));
    s.app->horizontalPreview().setStep(4);
    design.tick();  // step 5 has its own line
    QCOMPARE(s.step(), 5L);
    QCOMPARE(design.titleState(), QStringLiteral("欢□光"));
    s.app->horizontalPreview().setStep(5);
    design.tick();  // step 6 has none: the state of step 5 stays
    QCOMPARE(design.titleState(), QStringLiteral("欢□光"));
    // Without the title effect the title is simply the text.
    lumafex::testing::child<lumafex::controls::CheckBoxControl>(s.app->horizontalPreview(), "启用标题花式")
        ->setValue(0);
    design.显示标题();
    QCOMPARE(design.titleState(), QStringLiteral("欢迎光"));
  }

  void eachPreviewDrawsItsOwnTitleState() {
    Sample s;
    auto& design = s.design();
    lumafex::testing::child<QLineEdit>(design, "标题名称")->setText(QStringLiteral("欢迎光"));
    lumafex::testing::child<QPlainTextEdit>(s.app->postEditWindow(), "Text2")
        ->setPlainText(QStringLiteral("欢迎光<1>\n欢□光<3>\n<4>\n"));
    s.main().setPreviewSwitches(true, true);
    s.main().showPreviews();
    auto& h = s.app->horizontalPreview();
    auto& v = s.app->verticalPreview();
    struct Case {
      int horizontalEffect, verticalEffect;
      long step;
      QString horizontal, vertical;
    };
    const Case cases[] = {
        {1, 0, 3, QStringLiteral("欢□光"), QStringLiteral("欢迎光")},
        {0, 1, 3, QStringLiteral("欢迎光"), QStringLiteral("欢□光")},
        {1, 1, 3, QStringLiteral("欢□光"), QStringLiteral("欢□光")},
        // An empty mask lights no character.
        {1, 0, 4, QStringLiteral("□□□"), QStringLiteral("欢迎光")},
    };
    for (const Case& c : cases) {
      lumafex::testing::child<lumafex::controls::CheckBoxControl>(h, "启用标题花式")
          ->setValue(c.horizontalEffect);
      lumafex::testing::child<lumafex::controls::CheckBoxControl>(v, "启用标题花式")
          ->setValue(c.verticalEffect);
      h.setStep(c.step);
      design.显示标题();
      QCOMPARE(h.shownTitleState(), c.horizontal);
      QCOMPARE(v.shownTitleState(), c.vertical);
    }
  }

  void theFontQuestionUntilTheFontsAreLoaded() {
    Sample s;
    auto* fonts = lumafex::testing::child<QComboBox>(s.design(), "字体");
    const auto focus = [&](Qt::FocusReason reason) {
      QFocusEvent in(QEvent::FocusIn, reason);
      QApplication::sendEvent(fonts, &in);
    };
    s.dialogs.expect("是否装载系统字体？", Answer::No);
    focus(Qt::MouseFocusReason);
    s.dialogs.expect("是否装载系统字体？", Answer::No);
    focus(Qt::TabFocusReason);
    // The focus coming back from the question's own window asks nothing.
    focus(Qt::ActiveWindowFocusReason);
    QCOMPARE(static_cast<int>(std::count(s.dialogs.asked.begin(), s.dialogs.asked.end(),
                                         std::string("是否装载系统字体？"))),
             2);
    s.dialogs.expect("是否装载系统字体？", Answer::Yes);
    focus(Qt::TabFocusReason);
    QVERIFY(fonts->count() > 0);
    focus(Qt::TabFocusReason);  // loaded: asked no more
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void anEmptyOrZeroSizeBecomesOne() {
    Sample s;
    auto* size = lumafex::testing::child<QLineEdit>(s.design(), "字体大小");
    for (const QString& typed :
         {QString(), QStringLiteral("0"), QStringLiteral(" 0 "), QStringLiteral("24")}) {
      size->setText(QStringLiteral("30"));
      size->setText(typed);
      QCOMPARE(size->text(), typed == QStringLiteral("24") ? typed : QStringLiteral("1"));
    }
  }

  void aClickThatStartsTheRunSelectsTheFirstEntry() {
    Sample s;
    auto& design = s.design();
    design.show();
    auto* board = lumafex::testing::child<QListWidget>(design, "List1");
    QVERIFY(QTest::qWaitForWindowExposed(board));
    QVERIFY(!design.isTotalRunActive());
    const QStringList before = lumafex::testing::listTexts(board);
    QVERIFY(before.size() > 3);
    QTest::mouseClick(board->viewport(), Qt::LeftButton, {}, board->visualItemRect(board->item(3)).center());
    QCoreApplication::processEvents();
    QVERIFY(design.isTotalRunActive());
    QCOMPARE(board->currentRow(), 0);
    QCOMPARE(board->selectedItems(), QList<QListWidgetItem*>{board->item(0)});
    // What the user sees selected is what 删除 removes.
    lumafex::testing::child<QPushButton>(design, "删除")->click();
    QCOMPARE(lumafex::testing::listTexts(board), before.mid(1));
  }

  void theDesignerCommandsStopTheStepTimersOnly() {
    Sample s;
    auto& design = s.design();
    design.显示总程序Click();
    QVERIFY(design.isTotalRunActive());
    lumafex::testing::child<QAction>(s.main(), "标志设计")->trigger();
    QVERIFY(!lumafex::testing::child<QTimer>(design, "Timer1")->isActive());
    QVERIFY(!lumafex::testing::child<QTimer>(s.app->postEditWindow(), "Timer1")->isActive());
    QVERIFY(design.isTotalRunActive());  // the run of the board is not ended
  }

  void columnsOutOfRangeStopTheDisplay() {
    Sample s;
    auto& design = s.design();
    lumafex::testing::child<QLineEdit>(design, "列数")->setText(QStringLiteral("0"));
    s.dialogs.expect("请先确定列数！", Answer::Ok);
    lumafex::testing::child<QTimer>(design, "Timer1")->start();
    design.tick();
    QVERIFY(!lumafex::testing::child<QTimer>(design, "Timer1")->isActive());
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void fontsLoadWhenAskedFor() {
    Sample s;
    auto& design = s.design();
    s.dialogs.expect("是否装载系统字体？", Answer::Yes);
    lumafex::testing::child<QComboBox>(design, "字体")->setFocus();
    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(lumafex::testing::child<QComboBox>(design, "字体"), &focusIn);
    QTRY_VERIFY(lumafex::testing::child<QComboBox>(design, "字体")->count() > 0);
    QCOMPARE(lumafex::testing::child<QComboBox>(design, "字体")->currentText(), QStringLiteral("宋体"));
    QVERIFY(s.main().windowTitle().startsWith(QStringLiteral("Lumafex……")));  // the caption is back
  }

  void aPickedColourChangesOnlyItsTarget() {
    Sample s;
    auto& design = s.design();
    design.setDirty(false);
    const QColor title =
        lumafex::testing::child<lumafex::design::ColourSample>(design, "标题颜色样品")->colour();
    const QColor first =
        lumafex::testing::child<lumafex::design::ColourSample>(design, "色彩样品", 1)->colour();
    lumafex::testing::child<QRadioButton>(design, "颜色选择内容", 2)->setChecked(true);
    const QPoint at(10, 10);
    const QColor picked =
        lumafex::testing::child<lumafex::design::PalettePicture>(design, "调色板")->colourAt(at);
    QTest::mouseClick(lumafex::testing::child<lumafex::design::PalettePicture>(design, "调色板"),
                      Qt::LeftButton, {}, at);
    QCOMPARE(lumafex::testing::child<lumafex::design::ColourSample>(design, "色彩样品", 2)->colour(), picked);
    QCOMPARE(lumafex::testing::child<lumafex::design::ColourSample>(design, "标题颜色样品")->colour(), title);
    QCOMPARE(lumafex::testing::child<lumafex::design::ColourSample>(design, "色彩样品", 1)->colour(), first);
    QVERIFY(design.dirty());
    design.setDirty(false);
    QTest::mouseClick(lumafex::testing::child<lumafex::design::PalettePicture>(design, "调色板"),
                      Qt::LeftButton, {}, at);  // the same colour again still counts
    QVERIFY(design.dirty());
    QTest::mouseClick(lumafex::testing::child<lumafex::design::ColourSample>(design, "标题颜色样品"),
                      Qt::LeftButton);
    QVERIFY(lumafex::testing::child<QRadioButton>(design, "颜色选择内容", 0)->isChecked());
  }
};

QTEST_MAIN(TimedRunTest)
#include "TimedRunTest.moc"
