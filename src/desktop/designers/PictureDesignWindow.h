#pragma once
// The logo designer 标志设计窗 and the image designer 动态图案设计窗: one window configured by kind.
// It holds the numbered pictures of one kind of the open project, shows them in a row with their
// numbers below, keeps each picture in its file of the project directory and hands every change to
// the previews. Its commands add, replace (from a file or the clipboard), copy, recolour (the
// eyedropper) and delete pictures and ask the design window to arrange them on the sign.

#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "core/design/Project.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTimer;
class QToolBar;

namespace lumafex::platform {
class Dialogs;
}

namespace lumafex::design {

class PictureBox;

// What a designer reaches outside itself.
struct PictureDesignContext {
  platform::Dialogs* dialogs = nullptr;
  std::function<QString()> applicationDirectory;
  // The project directory, from the current project path.
  std::function<QString()> projectDirectory;
  // The project's pictures of the designer's kind as the previews hold them.
  std::function<std::vector<QImage>()> pictures;
  // The pictures changed: the previews' copies and placement blocks follow.
  std::function<void(const std::vector<QImage>&)> picturesChanged;
  // 启用标志 / 启用图案 of the design window.
  std::function<void(bool)> showOnSign;
  // The design window's arrangements (row or border) and its redraw of the sign (显示标志 /
  // 显示图案, and 定位灯管).
  std::function<void(Arrangement)> arrange;
  std::function<void()> redrawSign;
  std::function<void()> layOutTubes;
  // 需要存盘 := 1.
  std::function<void()> markChanged;
};

class PictureDesignWindow : public QWidget {
  Q_OBJECT

 public:
  PictureDesignWindow(PictureKind kind, PictureDesignContext context, QWidget* parent = nullptr);

  PictureKind kind() const { return kind_; }
  int count() const { return static_cast<int>(pictures_.size()); }
  // The selected picture, -1 when none is selected.
  int selection() const { return selection_; }
  const std::vector<QImage>& pictures() const { return pictures_; }

  // Reads the pictures again (a project was opened or created).
  void reload();
  // Selects picture `index` (a right click on its placement block).
  void select(int index);

  // The commands, as their buttons, menu items and toolbar keys press them.
  void addClick();          // 添加一个标志 / 添加一个图案
  void newClick();          // 新建: an empty picture
  void browseClick();       // 浏览
  void pasteClick();        // 粘贴
  void copyCurrentClick();  // 复制当前的标志 / 复制当前的图
  void eyedropperClick();   // 指定透明色
  void deleteLastClick();   // 删除最后一个标志 / 删除最后一个图案
  void clearClick();        // 清空标志 / 清空图案
  void arrangeClick();      // toolbar "排列"
  void 本窗体排列图片();
  // Toolbar1's buttons by their key text.
  void toolbarClick(const QString& key);

  bool eyedropperOn() const { return eyedropper_; }
  // A mouse press on picture `index` at `position` (pixels inside the picture).
  void pressPicture(int index, QPoint position, Qt::MouseButton button);
  // A tick of Timer1: the selected picture's number blinks.
  void blink();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build();
  void rebuildPictures();
  void showCount();
  void setSelection(int index);
  // Writes picture `index` as `picture`; on success the picture takes it and the previews follow.
  bool storePicture(int index, const QImage& picture);
  Status writeFile(int index, const QImage& picture);
  void mirror();
  bool addPicture(const QImage& picture);
  void showError(const std::string& text);
  void stopEyedropper();

  PictureKind kind_;
  PictureDesignContext context_;
  std::vector<QImage> pictures_;
  int selection_ = -1;
  bool blankNew_ = false;  // the next add makes an empty picture
  bool eyedropper_ = false;
  bool loading_ = false;

  QToolBar* Toolbar1;
  QMenu* 编辑;
  QScrollArea* scroller_;
  QWidget* holder_;
  std::vector<PictureBox*> boxes_;
  std::vector<QLabel*> 序号;
  QLineEdit* countBox_;
  QLabel* selectionLabel_;
  QPushButton* 浏览;
  QPushButton* 粘贴;
  QPushButton* 指定透明色;
  QPushButton* addButton_;
  QPushButton* deleteLastButton_;
  QPushButton* clearButton_;
  QRadioButton* 排列一行;
  QRadioButton* 排成框架;
  QPushButton* 本窗体排列图片Button;
  QTimer* Timer1;
};

}  // namespace lumafex::design
