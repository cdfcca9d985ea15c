// Undo and redo of the open project as a user meets them: board edits, the design window's
// settings and the placements on the sign are taken back and done again exactly, with the dirty
// flag as it was; a text box keeps its own undo; opening a project forgets every step.

#include <QtTest>

#include "desktop/design/ColourPanel.h"
#include "desktop/postedit/PostEditWindow.h"
#include "desktop/preview/PictureBlock.h"
#include "desktop/preview/PreviewWindow.h"
#include "support/AppSession.h"
#include "support/Widgets.h"

using lumafex::design::PictureKind;
using lumafex::testing::child;
using lumafex::testing::listTexts;
using lumafex::testing::Session;

namespace {

// The sample project, opened on start, with the runs stopped.
struct Sample : Session {
  Sample() {
    start();
    design().stopCommand();
    child<QTimer>(design(), "定时显示总程序")->stop();
  }
  QListWidget* board() { return child<QListWidget>(design(), "List1"); }
  QUndoStack& steps() { return app->document().undoStack(); }
  bool dirty() { return app->document().dirty(); }
  void undo() { child<QAction>(main(), "mnuEditUndo")->trigger(); }
  void redo() { child<QAction>(main(), "mnuEditRedo")->trigger(); }
  // Selects a board entry without starting the run a click starts.
  void select(int row) {
    const QSignalBlocker block(board());
    board()->setCurrentRow(row);
  }
  // The event loop runs between two user actions.
  static void settle() { QCoreApplication::processEvents(); }
  // What a board edit must give back: the project's board, the list on the screen, the flag.
  struct State {
    std::vector<std::string> board;
    QStringList shown;
    bool dirty;
    bool ticked;
  };
  State state() {
    return {app->document().project().board, listTexts(board()), dirty(),
            child<QCheckBox>(design(), "需要存盘")->isChecked()};
  }
};

void compareStates(const Sample::State& got, const Sample::State& want) {
  QCOMPARE(got.board, want.board);
  QCOMPARE(got.shown, want.shown);
  QCOMPARE(got.dirty, want.dirty);
  QCOMPARE(got.ticked, want.dirty);
}

void drag(QWidget* w, QPoint by) {
  const QPoint local(2, 2);
  const QPoint global = w->mapToGlobal(local);
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QMouseEvent move(QEvent::MouseMove, local + by, global + by, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &move);
  QMouseEvent release(QEvent::MouseButtonRelease, local + by, global + by, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

}  // namespace

class UndoTest : public QObject {
  Q_OBJECT

 private slots:
  void boardEditsAreTakenBackAndDoneAgain_data() {
    QTest::addColumn<QByteArray>("edit");
    QTest::newRow("add") << QByteArray("add");
    QTest::newRow("add all") << QByteArray("add all");
    QTest::newRow("delete") << QByteArray("delete");
    QTest::newRow("delete key") << QByteArray("delete key");
    QTest::newRow("up") << QByteArray("up");
    QTest::newRow("down") << QByteArray("down");
    QTest::newRow("clear") << QByteArray("clear");
  }
  void boardEditsAreTakenBackAndDoneAgain() {
    QFETCH(QByteArray, edit);
    Sample s;
    QVERIFY(!s.steps().canUndo());  // loading the project is no step
    QVERIFY(s.board()->count() > 3);
    const auto before = s.state();
    QVERIFY(!before.dirty);

    auto& design = s.design();
    if (edit == "add") {
      child<QListWidget>(design, "List2")->setCurrentRow(2);
      child<QPushButton>(design, "选择")->click();
    } else if (edit == "add all") {
      child<QPushButton>(design, "全选")->click();
    } else if (edit == "delete") {
      s.select(1);
      child<QPushButton>(design, "删除")->click();
    } else if (edit == "delete key") {
      s.select(2);
      QTest::keyClick(s.board(), Qt::Key_Delete);
    } else if (edit == "up") {
      // An entry that differs from the one above it.
      int k = 1;
      while (before.board[static_cast<std::size_t>(k)] == before.board[static_cast<std::size_t>(k - 1)]) ++k;
      s.select(k);
      child<QPushButton>(design, "上移")->click();
    } else if (edit == "down") {
      s.select(0);
      child<QPushButton>(design, "下移")->click();
    } else if (edit == "clear") {
      child<QPushButton>(design, "全部清除")->click();
    }
    s.settle();
    const auto after = s.state();
    QVERIFY(after.board != before.board);
    QCOMPARE(s.steps().count(), 1);
    // The Delete key takes an entry away without marking the project changed.
    QCOMPARE(after.dirty, edit != "delete key");

    s.undo();
    compareStates(s.state(), before);
    QVERIFY(!s.steps().canUndo());
    s.redo();
    compareStates(s.state(), after);
    s.undo();
    compareStates(s.state(), before);
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void aSequenceOfEditsUnwindsInOrder() {
    Sample s;
    auto& design = s.design();
    std::vector<Sample::State> states{s.state()};
    s.select(0);
    child<QPushButton>(design, "删除")->click();
    states.push_back(s.state());
    s.select(3);
    child<QPushButton>(design, "上移")->click();
    states.push_back(s.state());
    child<QPushButton>(design, "全部清除")->click();
    states.push_back(s.state());
    QCOMPARE(s.steps().count(), 3);
    for (int k = 2; k >= 0; --k) {
      s.undo();
      compareStates(s.state(), states[static_cast<std::size_t>(k)]);
    }
    for (std::size_t k = 1; k < states.size(); ++k) {
      s.redo();
      compareStates(s.state(), states[k]);
    }
    // An edit after an undo drops the steps that could be redone.
    s.undo();
    child<QListWidget>(design, "List2")->setCurrentRow(0);
    child<QPushButton>(design, "选择")->click();
    QVERIFY(!s.steps().canRedo());
    QCOMPARE(s.steps().count(), 3);
  }

  void ctrlZOnTheBoardTakesTheEditBack() {
    Sample s;
    s.main().show();
    s.main().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.main()));
    const auto before = s.state();
    child<QPushButton>(s.design(), "全部清除")->click();
    s.board()->setFocus();
    QTest::keyClick(s.board(), Qt::Key_Z, Qt::ControlModifier);
    compareStates(s.state(), before);
    QTest::keyClick(s.board(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(s.board()->count(), 0);

    // In the post-processing window the keys stay its controls' own.
    auto& post = s.app->postEditWindow();
    post.show();
    auto* text = child<QTextEdit>(post, "Text1");
    text->setFocus();
    QCOMPARE(QApplication::focusWidget(), text);
    s.undo();
    QVERIFY(s.steps().canRedo());
    QTest::keyClick(text, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(s.steps().index(), 0);
    // Nor do they reach the project from a button of that window.
    auto* button = child<QPushButton>(post, "去到");
    button->setFocus();
    QCOMPARE(QApplication::focusWidget(), button);
    QTest::keyClick(button, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(s.steps().index(), 0);
    QCOMPARE(s.state().shown, before.shown);
  }

  void theToolbarUndoReachesTheBoardWhileATextBoxKeepsItsOwn() {
    Sample s;
    s.main().show();
    s.main().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.main()));
    auto* undoButton = child<lumafex::controls::VelarnButton>(s.main(), "撤销");
    auto* spacing = child<QLineEdit>(s.design(), "字间隔");
    const QString original = spacing->text();
    spacing->setFocus();
    spacing->end(false);
    QTest::keyClicks(spacing, QStringLiteral("12"));
    QCOMPARE(spacing->text(), original + QStringLiteral("12"));
    const int steps = s.steps().count();
    // The box undoes its own typing.
    QMetaObject::invokeMethod(undoButton, "clicked");
    QCOMPARE(spacing->text(), original);
    QVERIFY(s.steps().count() <= steps);

    const auto before = s.state();
    child<QPushButton>(s.design(), "全部清除")->click();
    s.board()->setFocus();
    QMetaObject::invokeMethod(undoButton, "clicked");
    QCOMPARE(s.state().board, before.board);
    QCOMPARE(s.state().shown, before.shown);
  }

  void typingIntoABoxIsOneStep() {
    Sample s;
    auto* spacing = child<QLineEdit>(s.design(), "字间隔");
    const QString original = spacing->text();
    const auto settingsBefore = s.app->document().settings().spacing;
    spacing->end(false);
    QTest::keyClicks(spacing, QStringLiteral("345"));
    QCOMPARE(QString::fromStdString(s.app->document().settings().spacing), original + QStringLiteral("345"));
    QVERIFY(s.dirty());
    QCOMPARE(s.steps().count(), 1);
    s.undo();
    QCOMPARE(spacing->text(), original);
    QCOMPARE(s.app->document().settings().spacing, settingsBefore);
    QVERIFY(!s.dirty());
    s.redo();
    QCOMPARE(spacing->text(), original + QStringLiteral("345"));
    QVERIFY(s.dirty());
  }

  void settingsComeBackOnTheControls() {
    Sample s;
    auto& design = s.design();
    auto& doc = s.app->document();
    const auto before = doc.settings();

    child<QCheckBox>(design, "粗体")->click();
    s.settle();
    QCOMPARE(doc.settings().bold, 1 - before.bold);
    child<QRadioButton>(design, "颜色选择内容", 2)->setChecked(true);
    emit child<lumafex::design::PalettePicture>(design, "调色板")->picked(QColor(10, 20, 30));
    s.settle();
    QCOMPARE(doc.settings().tubeColours[1], lumafex::design::rgb(10, 20, 30));
    QCOMPARE(s.steps().count(), 2);

    s.undo();
    QCOMPARE(doc.settings().tubeColours, before.tubeColours);
    QCOMPARE(child<lumafex::design::ColourSample>(design, "色彩样品", 2)->colour(),
             lumafex::design::toQColor(before.tubeColours[1]));
    QCOMPARE(s.app->horizontalPreview().signStyle().tubeColours[1],
             lumafex::design::toQColor(before.tubeColours[1]));
    QVERIFY(s.dirty());  // the bold switch is still changed
    s.undo();
    QCOMPARE(doc.settings().bold, before.bold);
    QCOMPARE(child<QCheckBox>(design, "粗体")->isChecked(), before.bold == 1);
    QVERIFY(!s.dirty());
    QVERIFY(!child<QCheckBox>(design, "需要存盘")->isChecked());
  }

  void aNewColourCountAndTheBoardItClearsAreOneStep() {
    Sample s;
    auto& design = s.design();
    auto* colours = child<QComboBox>(design, "色数");
    auto* catalogue = child<QListWidget>(design, "List2");
    const int index = colours->currentIndex();
    const QStringList catalogueBefore = listTexts(catalogue);
    const auto before = s.state();
    QVERIFY(!before.board.empty());

    colours->setCurrentIndex(index == 0 ? 1 : 0);
    QCOMPARE(s.board()->count(), 0);
    QVERIFY(listTexts(catalogue) != catalogueBefore);

    s.undo();
    QVERIFY(!s.steps().canUndo());
    QCOMPARE(colours->currentIndex(), index);
    QCOMPARE(listTexts(catalogue), catalogueBefore);
    compareStates(s.state(), before);
    s.redo();
    QCOMPARE(s.board()->count(), 0);
    QCOMPARE(colours->currentIndex(), index == 0 ? 1 : 0);
  }

  void aSaveInBetweenCountsAsTheCleanState() {
    Sample s;
    child<QPushButton>(s.design(), "全部清除")->click();
    s.main().saveProjectCommand();
    QVERIFY(!s.dirty());
    // Back before the save: the project differs from its file again.
    s.undo();
    QVERIFY(s.dirty());
    s.redo();
    QVERIFY(!s.dirty());
  }

  void theTitlePictureDragIsTakenBack() {
    Sample s;
    auto& preview = s.app->horizontalPreview();
    s.app->document().setDirty(false);
    const QPoint start = preview.titleStart();
    drag(child<QLabel>(preview, "标题图片"), QPoint(-10, 4));
    s.settle();
    const QPoint moved = preview.titleStart();
    QVERIFY(moved != start);
    QVERIFY(s.dirty());
    s.undo();
    QCOMPARE(preview.titleStart(), start);
    QVERIFY(!s.dirty());
    s.redo();
    QCOMPARE(preview.titleStart(), moved);
    QVERIFY(s.dirty());
  }

  void aPlacementBlockDragIsTakenBack() {
    Session s;
    const QString dir = s.root.path() + QStringLiteral("/招牌");
    QDir().mkpath(dir);
    QVERIFY(
        QFile::copy(QStringLiteral(LUMAFEX_SOURCE_DIR "/data/Velarn工作室.hs"), dir + QStringLiteral(".hs")));
    QImage logo(20, 16, QImage::Format_RGB32);
    logo.fill(Qt::yellow);
    QVERIFY(logo.save(dir + QStringLiteral("/标志1.bmp"), "BMP"));
    s.settings.set("最后处理的工程名称", (dir + QStringLiteral(".hs")).toStdString());
    s.start();
    s.design().stopCommand();
    auto& preview = s.app->horizontalPreview();
    auto* block = preview.pictureBlocks(PictureKind::Logo).at(0);
    block->show();
    const auto before = s.app->document().project().pictures.logos;
    const QPoint at = block->pos();

    drag(block, QPoint(30, 12));
    QCOMPARE(block->pos(), at + QPoint(30, 12));
    QVERIFY(s.app->document().dirty());
    child<QAction>(s.main(), "mnuEditUndo")->trigger();
    QCOMPARE(block->pos(), at);
    QCOMPARE(s.app->document().project().pictures.logos.horizontal.at(0).left, before.horizontal.at(0).left);
    QCOMPARE(s.app->document().project().pictures.logos.horizontal.at(0).top, before.horizontal.at(0).top);
    QVERIFY(!s.app->document().dirty());
    child<QAction>(s.main(), "mnuEditRedo")->trigger();
    QCOMPARE(block->pos(), at + QPoint(30, 12));
  }

  void openingAProjectForgetsTheSteps() {
    Sample s;
    child<QPushButton>(s.design(), "全部清除")->click();
    QVERIFY(s.steps().canUndo());
    QVERIFY(child<QAction>(s.main(), "mnuEditUndo")->isEnabled());
    s.app->document().setDirty(false);
    s.design().打开工程();
    QVERIFY(!s.steps().canUndo());
    QVERIFY(!child<QAction>(s.main(), "mnuEditUndo")->isEnabled());
    child<QPushButton>(s.design(), "全部清除")->click();
    s.app->document().setDirty(false);
    s.dialogs.expectText("输入新工程名称", std::string("新招牌"));
    s.main().新建工程();
    QCOMPARE(QString::fromStdString(s.app->document().settings().title), QStringLiteral("新招牌"));
    QVERIFY(!s.steps().canUndo());
  }
};

QTEST_MAIN(UndoTest)
#include "UndoTest.moc"
