#include "desktop/designers/PictureDesignWindow.h"

#include <QDir>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/design/PictureList.h"
#include "core/platform/Dialogs.h"
#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"
#include "desktop/app/WorkArea.h"
#include "desktop/controls/ToolbarIcons.h"
#include "desktop/designers/PictureFiles.h"

namespace lumafex::design {

namespace {

QString u8(const char* text) {
  return QString::fromUtf8(text);
}

std::filesystem::path toPath(const QString& s) {
  return platform::pathFromUtf8(s.toStdString());
}

// The gap between two pictures of the row, and the height of a number label.
constexpr int kGapTwips = 30;
constexpr int kLabelHeight = 16;
// The selected picture's number blinks at this pace.
constexpr int kBlinkMs = 400;

// The eyedropper: a pipette drawn from the bottom left (its tip, the hot spot) up to the right.
QPixmap eyedropperPixmap() {
  // Drawn at the screen's density (32 × 32 device-independent pixels).
  const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
  QPixmap pixmap(QSize(32, 32) * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0, 0, 0), 1.5));
  painter.setBrush(QColor(230, 230, 230));
  QPolygonF tube({{1, 31}, {4, 24}, {17, 11}, {21, 15}, {8, 28}});
  painter.drawPolygon(tube);
  painter.setBrush(QColor(40, 40, 40));
  painter.drawEllipse(QRectF(18, 4, 10, 10));
  painter.drawLine(QPointF(15, 9), QPointF(23, 17));
  return pixmap;
}

}  // namespace

// One picture of the list: the picture at its natural size, pressed with either button.
class PictureBox : public QWidget {
 public:
  PictureBox(PictureDesignWindow& window, int index, QWidget* parent)
      : QWidget(parent), window_(window), index_(index) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setProperty("index", index);
  }
  // A picture whose file could not be read (a null image) shows a placeholder of its slot.
  void setPicture(const QImage& picture, const QString& unreadableFile = {}) {
    picture_ = picture.isNull() ? unreadablePicturePlaceholder() : picture;
    setFixedSize(std::max(1, picture_.width()), std::max(1, picture_.height()));
    setToolTip(picture.isNull() ? QStringLiteral("不能读取的图片：") + unreadableFile : QString());
    update();
  }
  const QImage& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0));
    painter.drawImage(QPoint(0, 0), picture_);
  }
  void mousePressEvent(QMouseEvent* event) override {
    window_.pressPicture(index_, event->position().toPoint(), event->button());
  }

 private:
  PictureDesignWindow& window_;
  int index_;
  QImage picture_;
};

PictureDesignWindow::PictureDesignWindow(PictureKind kind, PictureDesignContext context, QWidget* parent)
    : QWidget(parent), kind_(kind), context_(std::move(context)) {
  const DesignerNames& names = designerNames(kind_);
  setObjectName(u8(names.window));
  setWindowTitle(u8(names.caption));
  build();
  reload();
}

void PictureDesignWindow::build() {
  const DesignerNames& names = designerNames(kind_);
  const bool logo = kind_ == PictureKind::Logo;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 0, 4, 4);
  layout->setSpacing(4);

  auto* menus = new QMenuBar(this);
  编辑 = menus->addMenu(QStringLiteral("编辑(&E)"));
  编辑->setObjectName(QStringLiteral("编辑"));
  auto item = [this](const char* name, const QString& text, auto handler) {
    QAction* a = 编辑->addAction(text);
    a->setObjectName(u8(name));
    // The keys act while the focus is in this designer (both designers have the same keys).
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(a);
    connect(a, &QAction::triggered, this, handler);
    return a;
  };
  // Ctrl+O and Ctrl+N belong to the main window's project commands.
  item("打开", QStringLiteral("从文件更换当前的图片(&O)…"), [this] { browseClick(); });
  item("新建", QStringLiteral("添加一个空白的图片(&N)"), [this] { newClick(); });
  item(names.copyFirstMenu, logo ? QStringLiteral("复制第一个标志(&A)") : QStringLiteral("复制第一个图(&A)"),
       [this] { addClick(); });
  编辑->addSeparator();
  item(names.copyCurrentMenu,
       logo ? QStringLiteral("复制当前的标志(&C)") : QStringLiteral("复制当前的图(&C)"),
       [this] { copyCurrentClick(); })
      ->setShortcut(QKeySequence::Copy);
  item(names.pasteMenu, logo ? QStringLiteral("粘贴到当前的标志(&P)") : QStringLiteral("粘贴到当前的图(&P)"),
       [this] { pasteClick(); })
      ->setShortcut(QKeySequence::Paste);
  item(names.pasteOtherMenu,
       logo ? QStringLiteral("从其他程序粘贴图片到当前标志") : QStringLiteral("从其他程序粘贴图片到当前图案"),
       [this] { pasteClick(); });
  item("指定_透明色", QStringLiteral("指定透明色(&T)"), [this] { eyedropperClick(); });
  编辑->addSeparator();
  item(names.deleteLastMenu1,
       logo ? QStringLiteral("删除最后一个标志(&D)") : QStringLiteral("删除最后一个图案(&D)"),
       [this] { deleteLastClick(); });
  item(names.deleteLastMenu2, logo ? QStringLiteral("删除最后一个标志") : QStringLiteral("删除最后一幅图"),
       [this] { deleteLastClick(); })
      ->setVisible(false);  // the same command under its second name
  item(names.clearMenu, logo ? QStringLiteral("清空所有标志(&L)") : QStringLiteral("清空所有的图案(&L)"),
       [this] { clearClick(); });
  layout->setMenuBar(menus);

  Toolbar1 = new QToolBar(this);
  Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
  Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  Toolbar1->setIconSize(QSize(24, 24));
  const QIcon eyedropperIcon(eyedropperPixmap());
  const struct {
    const char* key;
    QIcon icon;
    const char* tip;
  } keys[] = {
      {"打开", QIcon(controls::toolbarIcon(QStringLiteral("打开"), 24)), "从文件更换当前的图片"},
      {"新建", QIcon(controls::toolbarIcon(QStringLiteral("新建"), 24)), "添加一个空白的图片"},
      {"粘贴", style()->standardIcon(QStyle::SP_DialogApplyButton), "把剪贴板上的图片粘贴到当前的图片"},
      {"吸管", eyedropperIcon, "指定透明色：点击图片上要变成透明的颜色"},
      {"排列", style()->standardIcon(QStyle::SP_FileDialogListView), "在招牌上排列各个图片"},
      {"复制", style()->standardIcon(QStyle::SP_FileDialogNewFolder), "复制第一个图片，添加到最后"},
      {"删除最后一个", style()->standardIcon(QStyle::SP_DialogDiscardButton), "删除最后一个图片"},
      {names.clearKey, style()->standardIcon(QStyle::SP_TrashIcon), "删除全部图片"},
  };
  for (const auto& k : keys) {
    QAction* a = Toolbar1->addAction(k.icon, u8(k.key));
    a->setProperty("key", u8(k.key));
    a->setToolTip(u8(k.tip));
    const QString key = u8(k.key);
    connect(a, &QAction::triggered, this, [this, key] { toolbarClick(key); });
  }
  layout->addWidget(Toolbar1);

  auto* commands = new QHBoxLayout;
  auto button = [&](const char* name, const QString& text) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(u8(name));
    b->setAutoDefault(false);
    commands->addWidget(b);
    return b;
  };
  浏览 = button("浏览", QStringLiteral("浏览…"));
  粘贴 = button("粘贴", QStringLiteral("粘贴"));
  指定透明色 = button("指定透明色", QStringLiteral("指定透明色"));
  addButton_ = button(names.add, logo ? QStringLiteral("添加一个标志") : QStringLiteral("添加一个图案"));
  deleteLastButton_ = button(names.deleteLast,
                             logo ? QStringLiteral("删除最后一个标志") : QStringLiteral("删除最后一个图案"));
  clearButton_ = button(names.clear, logo ? QStringLiteral("清空标志") : QStringLiteral("清空图案"));
  本窗体排列图片Button = button("本窗体排列图片", QStringLiteral("排列图片"));
  commands->addStretch();
  layout->addLayout(commands);

  auto* state = new QHBoxLayout;
  排列一行 = new QRadioButton(QStringLiteral("排列一行"), this);
  排列一行->setObjectName(QStringLiteral("排列一行"));
  排列一行->setChecked(true);
  排成框架 = new QRadioButton(QStringLiteral("排成框架"), this);
  排成框架->setObjectName(QStringLiteral("排成框架"));
  state->addWidget(排列一行);
  state->addWidget(排成框架);
  state->addSpacing(16);
  auto* countCaption =
      new QLabel(logo ? QStringLiteral("标志的个数：") : QStringLiteral("图案的个数："), this);
  state->addWidget(countCaption);
  countBox_ = new QLineEdit(this);
  countBox_->setObjectName(u8(names.count));
  countBox_->setReadOnly(true);
  countBox_->setMaximumWidth(60);
  countCaption->setBuddy(countBox_);
  state->addWidget(countBox_);
  state->addSpacing(16);
  selectionLabel_ = new QLabel(u8(names.selection), this);
  selectionLabel_->setObjectName(u8(names.selection));
  state->addWidget(selectionLabel_);
  state->addStretch();
  layout->addLayout(state);

  scroller_ = new QScrollArea(this);
  scroller_->setObjectName(QStringLiteral("pictureArea"));
  holder_ = new QWidget;
  holder_->setObjectName(QStringLiteral("pictureHolder"));
  scroller_->setWidget(holder_);
  scroller_->setWidgetResizable(false);
  scroller_->viewport()->installEventFilter(this);
  layout->addWidget(scroller_, 1);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(kBlinkMs);

  connect(浏览, &QPushButton::clicked, this, [this] { browseClick(); });
  connect(粘贴, &QPushButton::clicked, this, [this] { pasteClick(); });
  connect(指定透明色, &QPushButton::clicked, this, [this] { eyedropperClick(); });
  connect(addButton_, &QPushButton::clicked, this, [this] { addClick(); });
  connect(deleteLastButton_, &QPushButton::clicked, this, [this] { deleteLastClick(); });
  connect(clearButton_, &QPushButton::clicked, this, [this] { clearClick(); });
  connect(本窗体排列图片Button, &QPushButton::clicked, this, [this] { 本窗体排列图片(); });
  connect(Timer1, &QTimer::timeout, this, [this] { blink(); });
  resize(640, 360);
}

// ---- The list ---------------------------------------------------------------------------------

void PictureDesignWindow::reload() {
  loading_ = true;
  // The project directory is made when it is missing (a record that came alone); failing that,
  // the pictures simply stay none.
  if (context_.projectDirectory) {
    const QString directory = context_.projectDirectory();
    if (!directory.isEmpty()) QDir().mkpath(directory);
  }
  stopEyedropper();
  blankNew_ = false;
  pictures_ = context_.pictures ? context_.pictures() : std::vector<QImage>{};
  selection_ = -1;
  rebuildPictures();
  setSelection(-1);
  loading_ = false;
}

void PictureDesignWindow::rebuildPictures() {
  while (boxes_.size() > pictures_.size()) {
    delete boxes_.back();
    boxes_.pop_back();
    delete 序号.back();
    序号.pop_back();
  }
  const DesignerNames& names = designerNames(kind_);
  while (boxes_.size() < pictures_.size()) {
    const int k = static_cast<int>(boxes_.size());
    auto* box = new PictureBox(*this, k, holder_);
    box->setObjectName(u8(names.pictures));
    auto* label = new QLabel(QString::number(k), holder_);
    label->setObjectName(QStringLiteral("序号"));
    label->setProperty("index", k);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    boxes_.push_back(box);
    序号.push_back(label);
    box->show();
    label->show();
  }
  const QString dir = context_.projectDirectory ? context_.projectDirectory() : QString();
  for (std::size_t i = 0; i < pictures_.size(); ++i) {
    boxes_[i]->setPicture(pictures_[i], pictures_[i].isNull()
                                            ? QString::fromStdString(platform::pathToUtf8(
                                                  pictureFilePath(toPath(dir), kind_, static_cast<int>(i))))
                                            : QString());
    boxes_[i]->setCursor(eyedropper_ ? QCursor(eyedropperPixmap(), 1, 31) : QCursor());
  }
  showCount();
  本窗体排列图片();
}

void PictureDesignWindow::showCount() {
  countBox_->setText(QString::number(count()));
}

void PictureDesignWindow::本窗体排列图片() {
  // Left to right with the gap between pictures, each number label directly below its picture;
  // a picture that would pass the right edge starts the next row.
  const int gap = std::max(1, platform::toPixels(kGapTwips));
  const int room = std::max(1, scroller_->viewport()->width());
  int x = gap;
  int y = gap;
  int rowBottom = y;
  int widest = 0;
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    PictureBox* box = boxes_[i];
    const QSize size = box->size();
    if (x > gap && x + size.width() > room) {
      x = gap;
      y = rowBottom + gap;
    }
    box->move(x, y);
    序号[i]->setGeometry(x, y + size.height(), size.width(), kLabelHeight);
    rowBottom = std::max(rowBottom, y + size.height() + kLabelHeight);
    x += size.width() + gap;
    widest = std::max(widest, x);
  }
  holder_->resize(std::max(widest, room), rowBottom + gap);
}

bool PictureDesignWindow::eventFilter(QObject* watched, QEvent* event) {
  // The rows follow the width of the picture area.
  if (watched == scroller_->viewport() && event->type() == QEvent::Resize) 本窗体排列图片();
  return QWidget::eventFilter(watched, event);
}

void PictureDesignWindow::setSelection(int index) {
  if (selection_ >= 0 && selection_ < static_cast<int>(序号.size()))
    序号[static_cast<std::size_t>(selection_)]->setVisible(true);
  selection_ = index >= 0 && index < count() ? index : -1;
  const DesignerNames& names = designerNames(kind_);
  selectionLabel_->setText(selection_ < 0 ? u8(names.selection) : QString::number(selection_));
  if (selection_ >= 0) {
    Timer1->start();
    scroller_->ensureWidgetVisible(boxes_[static_cast<std::size_t>(selection_)]);
  } else {
    Timer1->stop();
  }
}

void PictureDesignWindow::select(int index) {
  setSelection(index);
}

void PictureDesignWindow::blink() {
  if (selection_ < 0 || selection_ >= static_cast<int>(序号.size())) return;
  QLabel* label = 序号[static_cast<std::size_t>(selection_)];
  label->setVisible(!label->isVisible());
}

void PictureDesignWindow::mirror() {
  if (context_.picturesChanged) context_.picturesChanged(pictures_);
}

void PictureDesignWindow::showError(const std::string& text) {
  if (context_.dialogs) context_.dialogs->message(text);
}

Status PictureDesignWindow::writeFile(int index, const QImage& picture) {
  const QString dir = context_.projectDirectory ? context_.projectDirectory() : QString();
  if (dir.isEmpty()) return Status::fail("没有打开的工程，图片不能保存。");
  // The project directory of a project that was never saved may not exist yet.
  std::error_code ec;
  std::filesystem::create_directories(toPath(dir), ec);
  return writePictureFile(pictureFilePath(toPath(dir), kind_, index), picture);
}

bool PictureDesignWindow::storePicture(int index, const QImage& picture) {
  const QImage opaque = opaquePicture(picture);
  const Status written = writeFile(index, opaque);
  if (!written) {
    // The picture stays as its file holds it.
    showError(written.error());
    return false;
  }
  pictures_[static_cast<std::size_t>(index)] = opaque;
  boxes_[static_cast<std::size_t>(index)]->setPicture(opaque);
  本窗体排列图片();
  mirror();
  return true;
}

bool PictureDesignWindow::addPicture(const QImage& picture) {
  if (!canAddPicture(count())) return false;
  const int k = count();
  const QImage opaque = opaquePicture(picture);
  if (!loading_) {
    const Status written = writeFile(k, opaque);
    if (!written) {
      showError(written.error());
      return false;
    }
  }
  if (k == 0 && context_.showOnSign) context_.showOnSign(true);
  pictures_.push_back(opaque);
  rebuildPictures();
  setSelection(k);
  mirror();
  return true;
}

// ---- Commands ---------------------------------------------------------------------------------

void PictureDesignWindow::addClick() {
  const bool blank = blankNew_;
  blankNew_ = false;
  QImage picture;
  if (blank) {
    picture = emptyPicture();
  } else {
    picture = pictures_.empty() ? starPicture() : pictures_.front();
  }
  if (addPicture(picture) && context_.redrawSign) context_.redrawSign();
}

void PictureDesignWindow::newClick() {
  blankNew_ = true;
  addClick();
  if (context_.showOnSign) context_.showOnSign(true);
}

void PictureDesignWindow::browseClick() {
  if (count() == 1) setSelection(0);
  if (selection_ < 0) {
    showError(kNoPictureSelected);
    return;
  }
  if (!context_.dialogs) return;
  const QString folder = context_.applicationDirectory() + QLatin1Char('/') + u8(kSamplePicturesFolder);
  const auto chosen =
      context_.dialogs->openFile(kPictureDialogTitle, folder.toStdString(), kPictureDialogFilter);
  if (!chosen || chosen->empty()) return;
  const auto k = pictureToReplace(selection_, count());
  if (!k) {
    showError(kNoPictureSelected);
    return;
  }
  const QImage picture = readPictureFile(QString::fromStdString(*chosen));
  if (picture.isNull()) {
    showError(kNotAPicture);
    return;
  }
  if (storePicture(*k, picture) && context_.redrawSign) context_.redrawSign();
}

void PictureDesignWindow::pasteClick() {
  const auto k = pictureToReplace(selection_, count());
  if (selection_ < 0 || !k) {
    showError(kNoPictureSelected);
    return;
  }
  const QMimeData* data = QApplication::clipboard()->mimeData();
  const QImage picture = data && data->hasImage() ? qvariant_cast<QImage>(data->imageData()) : QImage();
  if (picture.isNull()) {
    showError(kNoClipboardPicture);
    return;
  }
  if (storePicture(*k, picture) && context_.redrawSign) context_.redrawSign();
}

void PictureDesignWindow::copyCurrentClick() {
  if (pictures_.empty()) return;
  // With nothing selected the first picture is the current one.
  const std::size_t k = selection_ >= 0 ? static_cast<std::size_t>(selection_) : 0;
  QClipboard* clipboard = QApplication::clipboard();
  clipboard->clear();
  clipboard->setImage(pictures_[k]);
  if (context_.layOutTubes) context_.layOutTubes();
}

void PictureDesignWindow::eyedropperClick() {
  eyedropper_ = true;
  const QCursor cursor(eyedropperPixmap(), 1, 31);
  for (PictureBox* box : boxes_) box->setCursor(cursor);
}

void PictureDesignWindow::stopEyedropper() {
  eyedropper_ = false;
  for (PictureBox* box : boxes_) box->unsetCursor();
}

void PictureDesignWindow::pressPicture(int index, QPoint position, Qt::MouseButton button) {
  if (index < 0 || index >= count()) return;
  if (context_.showOnSign) context_.showOnSign(true);
  setSelection(index);
  if (button == Qt::RightButton) {
    编辑->popup(QCursor::pos());
    return;
  }
  if (!eyedropper_ || button != Qt::LeftButton) return;
  QImage picture = pictures_[static_cast<std::size_t>(index)];
  if (!picture.rect().contains(position)) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const QColor picked = picture.pixelColor(position);
  paintColourBlack(picture, picked);
  storePicture(index, picture);
  if (context_.redrawSign) context_.redrawSign();
  QApplication::restoreOverrideCursor();
  stopEyedropper();
}

void PictureDesignWindow::deleteLastClick() {
  if (pictures_.empty()) return;
  const int n = count() - 1;
  const QString dir = context_.projectDirectory ? context_.projectDirectory() : QString();
  const Status removed = dir.isEmpty() ? success() : removePictureFile(toPath(dir), kind_, n);
  if (!removed) {
    // The picture stays while its file does: a reload would bring it back.
    showError(removed.error());
    return;
  }
  pictures_.pop_back();
  if (pictures_.empty() && context_.showOnSign) context_.showOnSign(false);
  const int selected = selection_ < count() ? selection_ : -1;
  selection_ = -1;
  rebuildPictures();
  setSelection(selected);
  mirror();
}

void PictureDesignWindow::clearClick() {
  if (isVisible() && context_.dialogs &&
      context_.dialogs->message(designerNames(kind_).clearQuestion, platform::Buttons::YesNo,
                                platform::Answer::Yes) != platform::Answer::Yes) {
    return;
  }
  for (int times = count(); times > 0 && !pictures_.empty(); --times) {
    const int before = count();
    deleteLastClick();
    if (count() == before) break;  // a file that would not go: the rest stays with it
  }
  if (context_.markChanged) context_.markChanged();
  if (context_.redrawSign) context_.redrawSign();
}

void PictureDesignWindow::arrangeClick() {
  if (!context_.arrange) return;
  if (排列一行->isChecked()) {
    context_.arrange(Arrangement::Row);
  } else if (排成框架->isChecked()) {
    context_.arrange(Arrangement::Border);
  }
}

void PictureDesignWindow::toolbarClick(const QString& key) {
  if (key == QStringLiteral("打开")) {
    browseClick();
  } else if (key == QStringLiteral("新建")) {
    newClick();
  } else if (key == QStringLiteral("粘贴")) {
    pasteClick();
  } else if (key == QStringLiteral("吸管")) {
    eyedropperClick();
  } else if (key == QStringLiteral("排列")) {
    arrangeClick();
  } else if (key == QStringLiteral("复制")) {
    addClick();
  } else if (key == QStringLiteral("删除最后一个")) {
    deleteLastClick();
  } else if (key == u8(designerNames(kind_).clearKey)) {
    clearClick();
  }
}

void PictureDesignWindow::closeEvent(QCloseEvent* event) {
  // The window lives as long as the program: closing it only hides it (and its frame).
  event->ignore();
  if (auto* frame = app::workingFrameOf(this)) {
    frame->hide();
  } else {
    hide();
  }
}

}  // namespace lumafex::design
