#pragma once
// The catalogue of effects (基本花式板, List2) and the programming board (编程板, List1) side by
// side. The catalogue is filled for the colour count; the board is a view of the project's board:
// every edit goes to the project and the list shows what the project holds.

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace lumafex::app {
class Application;
}

namespace lumafex::design {

class ProjectDocument;

class BoardPanel : public QWidget {
  Q_OBJECT

 public:
  BoardPanel(app::Application& app, ProjectDocument& document, QWidget* parent = nullptr);

  // ---- The catalogue ----
  // Fills List2 with the effects of a colour count (none for a count without a catalogue).
  void fillCatalogue(int colours);
  // The catalogue as wide as its widest entry (after its entries or their pictures changed).
  void fitCatalogueWidth();
  QListWidget* catalogueList() const { return List2; }
  int catalogueRow() const { return List2->currentRow(); }
  int catalogueCount() const { return List2->count(); }
  QString catalogueText() const;
  // Selects entry `position` as a click does (its effect is generated); the same entry again runs
  // its effect again from the start. Nothing for a position outside the list.
  void selectCatalogueEntry(int position);
  // Selects it without any reaction (the assembly shows the last entry it generated).
  void showCatalogueEntry(int position);

  // ---- The board ----
  int boardRow() const { return List1->currentRow(); }
  int boardCount() const { return List1->count(); }
  QString boardText(int row) const;
  // Selects board entry `row` as a click does (the run starts or jumps there).
  void chooseBoardEntry(int row);
  // Selects it without any reaction (stopping a run must not start one again).
  void selectBoardEntry(int row);
  // The lists' colours tell the mode: a white board while the whole board runs, teal otherwise.
  void showRunning(bool running);
  // Hides the board while the working state is written, as the save has always done.
  void hideBoardWhile(bool hidden);
  // Shows the project's board again (after an open, a new project, an undo).
  void showBoard();
  // 全部清除; with `withColourCount` the board is cleared by a new colour count, in the same undo
  // step as the count.
  void clearBoard(bool withColourCount = false);

  // Window-level flags: 全选 is copying the catalogue; 上移/下移 is rebuilding the board.
  bool addingAll = false;
  bool reordering = false;

 signals:
  // The catalogue's selection changed (not while 全选 adds): generate the effect and show it.
  void catalogueEntryChosen();
  // The mouse went down on the catalogue: every run stops.
  void catalogueMousePressed();
  // The board's selection changed (not while it is rebuilt).
  void boardEntryChosen();
  // 全选 has added the whole catalogue.
  void allAdded();
  // 全部清除 has emptied the board.
  void cleared();
  // 上移 / 下移 went down: the run stops before the move.
  void movePressed();
  // The commands of the board's buttons.
  void runBoardClicked();  // 显示总程序
  void assembleClicked();  // 生成TXT文件
  void extractClicked();   // 提取当前花式
  void saveClicked();      // 保存工程
  // The pointer moved over the lists (the placement blocks are hidden).
  void pointerMoved();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void appendSelectedCatalogueEntry();
  void selectAll();
  void deleteSelected(bool markChanged);
  void move(bool up);

  app::Application& app_;
  ProjectDocument& document_;

  QGroupBox* 基本花式板;
  QGroupBox* 编程板;
  QListWidget* List2;
  QListWidget* List1;
  QPushButton* 调入基本花式;
  QPushButton* 选择;
  QPushButton* 全选;
  QPushButton* 删除;
  QPushButton* 上移;
  QPushButton* 下移;
  QPushButton* 全部清除;
  QPushButton* 显示总程序;
  QPushButton* 生成TXT文件;
  QPushButton* 提取当前花式;
  QPushButton* 保存工程;
};

}  // namespace lumafex::design
