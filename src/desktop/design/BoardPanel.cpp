#include "desktop/design/BoardPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "core/design/Board.h"
#include "core/design/Project.h"
#include "core/design/Rules.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/TextFile.h"
#include "desktop/app/Application.h"
#include "desktop/controls/Named.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/platform/QtDialogs.h"

namespace lumafex::design {

namespace {

using controls::named;
using controls::namedButton;
using platform::qs;
using platform::us;

const QColor kTeal(0, 128, 128);
const QColor kWhite(255, 255, 255);

void setListBackground(QListWidget* list, const QColor& colour) {
  QPalette p = list->palette();
  p.setColor(QPalette::Base, colour);
  p.setColor(QPalette::Text, colour == kTeal ? kWhite : QColor(Qt::black));
  list->setPalette(p);
}

}  // namespace

BoardPanel::BoardPanel(app::Application& app, ProjectDocument& document, QWidget* parent)
    : QWidget(parent), app_(app), document_(document) {
  setObjectName(QStringLiteral("boardPanel"));
  buildControls();
  showRunning(false);

  connect(&document_, &ProjectDocument::changed, this, [this](int parts) {
    if (parts & ProjectDocument::BoardPart) showBoard();
  });
  connect(调入基本花式, &QPushButton::clicked, this,
          [this] { fillCatalogue(colourCountOf(document_.settings())); });
  connect(List2, &QListWidget::currentRowChanged, this, [this](int) {
    if (!addingAll) emit catalogueEntryChosen();
  });
  connect(List2, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem*) { appendSelectedCatalogueEntry(); });
  connect(选择, &QPushButton::clicked, this, [this] {
    if (List2->currentItem() && !List2->currentItem()->text().isEmpty()) appendSelectedCatalogueEntry();
  });
  connect(全选, &QPushButton::clicked, this, [this] { selectAll(); });
  connect(删除, &QPushButton::clicked, this, [this] { deleteSelected(true); });
  connect(上移, &QPushButton::pressed, this, &BoardPanel::movePressed);
  connect(下移, &QPushButton::pressed, this, &BoardPanel::movePressed);
  connect(上移, &QPushButton::clicked, this, [this] { move(true); });
  connect(下移, &QPushButton::clicked, this, [this] { move(false); });
  connect(全部清除, &QPushButton::clicked, this, [this] { clearBoard(); });
  connect(List1, &QListWidget::currentRowChanged, this, [this](int) {
    if (!reordering) emit boardEntryChosen();
  });
  connect(显示总程序, &QPushButton::clicked, this, &BoardPanel::runBoardClicked);
  connect(生成TXT文件, &QPushButton::clicked, this, &BoardPanel::assembleClicked);
  connect(提取当前花式, &QPushButton::clicked, this, &BoardPanel::extractClicked);
  connect(保存工程, &QPushButton::clicked, this, &BoardPanel::saveClicked);

  List1->installEventFilter(this);
  List2->viewport()->installEventFilter(this);
  List1->viewport()->setMouseTracking(true);
  List1->viewport()->installEventFilter(this);
}

void BoardPanel::buildControls() {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(8);

  // The catalogue.
  基本花式板 = named(new QGroupBox(QStringLiteral("基本花式"), this), "基本花式板");
  auto* catalogueBox = new QVBoxLayout(基本花式板);
  List2 = named(new QListWidget(基本花式板), "List2");
  List2->setToolTip(QStringLiteral("单击点击显示点击的花式，双击选择到编程板"));
  List2->setMinimumWidth(150);
  catalogueBox->addWidget(List2, 1);
  调入基本花式 = namedButton("调入基本花式", 基本花式板, QStringLiteral("按色数重新调入基本花式"));
  选择 = namedButton("选择", 基本花式板, QStringLiteral("把选中的基本花式加到编程板"));
  全选 = namedButton("全选", 基本花式板, QStringLiteral("把全部基本花式加到编程板"));
  auto* catalogueButtons = new QHBoxLayout();
  catalogueButtons->addWidget(选择);
  catalogueButtons->addWidget(全选);
  catalogueBox->addLayout(catalogueButtons);
  catalogueBox->addWidget(调入基本花式);

  // The programming board.
  编程板 = named(new QGroupBox(QStringLiteral("编程板"), this), "编程板");
  auto* boardBox = new QVBoxLayout(编程板);
  List1 = named(new QListWidget(编程板), "List1");
  List1->setToolTip(QStringLiteral("编程板：花式按顺序运行；Delete 键删除选中的花式"));
  List1->setMinimumWidth(150);
  boardBox->addWidget(List1, 1);
  删除 = namedButton("删除", 编程板);
  上移 = namedButton("上移", 编程板);
  下移 = namedButton("下移", 编程板);
  全部清除 = namedButton("全部清除", 编程板);
  显示总程序 = namedButton("显示总程序", 编程板, QStringLiteral("在预览窗中循环运行编程板上的全部花式"));
  生成TXT文件 = namedButton("生成TXT文件", 编程板, QStringLiteral("生成总程序并进入后期处理"));
  提取当前花式 = namedButton("提取当前花式", 编程板, QStringLiteral("把当前花式送到后期处理窗"));
  保存工程 = namedButton("保存工程", 编程板);
  auto* boardButtons = new QGridLayout();
  boardButtons->addWidget(上移, 0, 0);
  boardButtons->addWidget(下移, 0, 1);
  boardButtons->addWidget(删除, 1, 0);
  boardButtons->addWidget(全部清除, 1, 1);
  boardButtons->addWidget(显示总程序, 2, 0, 1, 2);
  boardButtons->addWidget(生成TXT文件, 3, 0, 1, 2);
  boardButtons->addWidget(提取当前花式, 4, 0, 1, 2);
  boardButtons->addWidget(保存工程, 5, 0, 1, 2);
  boardBox->addLayout(boardButtons);

  row->addWidget(基本花式板, 1);
  row->addWidget(编程板, 1);
}

bool BoardPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove && (watched == List1->viewport() || watched == List2->viewport())) {
    emit pointerMoved();
  }
  if (watched == List1 && event->type() == QEvent::KeyRelease &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    deleteSelected(false);
    return true;
  }
  if (watched == List2->viewport() && event->type() == QEvent::MouseButtonPress) emit catalogueMousePressed();
  return QWidget::eventFilter(watched, event);
}

void BoardPanel::fillCatalogue(int colours) {
  List2->hide();
  const QSignalBlocker block(List2);
  List2->clear();
  for (const auto& entry : patterns::catalogue(colours)) List2->addItem(qs(std::string(entry.name)));
  List2->show();
  fitCatalogueWidth();
}

void BoardPanel::fitCatalogueWidth() {
  // Wide enough for its widest entry (with its picture when the thumbnails are on), so no name is
  // cut; a window too narrow for that scrolls.
  const int entries = List2->sizeHintForColumn(0) + List2->verticalScrollBar()->sizeHint().width() +
                      2 * List2->frameWidth() + 2;
  List2->setMinimumWidth(std::max(150, entries));
}

QString BoardPanel::catalogueText() const {
  return List2->currentItem() ? List2->currentItem()->text() : QString();
}

void BoardPanel::selectCatalogueEntry(int position) {
  if (position < 0 || position >= List2->count()) return;
  if (List2->currentRow() == position) {
    emit catalogueEntryChosen();  // the same entry again: its effect runs again from the start
  } else {
    List2->setCurrentRow(position);
  }
}

void BoardPanel::showCatalogueEntry(int position) {
  if (position < 0 || position >= List2->count()) return;
  const QSignalBlocker block(List2);
  List2->setCurrentRow(position);
}

QString BoardPanel::boardText(int row) const {
  const QListWidgetItem* item = List1->item(row);
  return item ? item->text() : QString();
}

void BoardPanel::chooseBoardEntry(int row) {
  if (List1->currentRow() == row) {
    emit boardEntryChosen();
  } else {
    List1->setCurrentRow(row);
  }
  // Chosen while a click on another entry is handled (a click that starts the run), the click's
  // own selection would come after this one: the entry is selected again once the click is done,
  // so the entry shown and the entry the buttons act on agree.
  QTimer::singleShot(0, this, [this, row] {
    if (List1->currentRow() == row) selectBoardEntry(row);
  });
}

void BoardPanel::selectBoardEntry(int row) {
  const QSignalBlocker block(List1);
  List1->setCurrentRow(row);
}

void BoardPanel::showRunning(bool running) {
  setListBackground(List1, running ? kWhite : kTeal);
  setListBackground(List2, running ? kTeal : kWhite);
}

void BoardPanel::hideBoardWhile(bool hidden) {
  List1->setVisible(!hidden);
}

void BoardPanel::showBoard() {
  const QSignalBlocker block(List1);
  const int row = List1->currentRow();
  List1->clear();
  for (const auto& entry : document_.project().board) List1->addItem(qs(entry));
  List1->setCurrentRow(row < List1->count() ? row : -1);
}

void BoardPanel::appendSelectedCatalogueEntry() {
  if (!List2->currentItem()) return;
  const std::string entry = us(List2->currentItem()->text());
  document_.undoableEdit(ProjectDocument::BoardPart, [&](Project& p) { addEntries(p, {entry}); });
}

void BoardPanel::selectAll() {
  addingAll = true;
  std::vector<std::string> entries;
  for (int k = 0; k < List2->count(); ++k) {
    List2->setCurrentRow(k);
    entries.push_back(us(List2->item(k)->text()));
  }
  document_.undoableEdit(ProjectDocument::BoardPart, [&](Project& p) { addEntries(p, entries); });
  addingAll = false;
  emit allAdded();
}

void BoardPanel::deleteSelected(bool markChanged) {
  const int k = List1->currentRow();
  if (k < 0 || !List1->currentItem() || !List1->currentItem()->isSelected()) return;
  document_.undoableEdit(ProjectDocument::BoardPart, [&](Project& p) { removeEntry(p, k, markChanged); });
}

void BoardPanel::move(bool up) {
  const int k = List1->currentRow();
  if (k < 0) return;
  if (up ? k == 0 : k + 1 == List1->count()) return;
  reordering = true;
  List1->hide();
  // The board goes through the reorder file as the move has always done.
  const auto reorderFile = platform::pathFromUtf8(us(app_.appFile(QString::fromUtf8(kReorderFile))));
  if (const auto written = writeBoardFile(reorderFile, document_.project().board); !written) {
    app_.dialogs().message(written.error());
  }
  const int selected = document_.undoableEdit(ProjectDocument::BoardPart,
                                              [&](Project& p) { return moveBoardEntry(p, k, up); });
  List1->setCurrentRow(selected);
  List1->show();
  reordering = false;
}

void BoardPanel::clearBoard(bool withColourCount) {
  document_.undoableEdit(
      ProjectDocument::BoardPart, [](Project& p) { design::clearBoard(p); },
      withColourCount ? ProjectDocument::Step::Join : ProjectDocument::Step::Own);
  emit cleared();
}

}  // namespace lumafex::design
