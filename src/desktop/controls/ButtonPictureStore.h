#pragma once
// 按钮控件图片窗: the pictures of the picture buttons, kept by button number. For every number a
// normal, a disabled and a pressed picture, each with a backup copy, and one line of the controls'
// characteristics (控件特征list: the picture's key). The window is never shown; the toolbar's
// buttons take their pictures from it by number (VelarnButton::setPictureNumber).

#include <QListWidget>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <vector>

namespace lumafex::controls {

class ButtonPictureStore : public QWidget {
  Q_OBJECT

 public:
  struct Pictures {
    QPixmap normal;
    QPixmap disabled;
    QPixmap pressed;
    QPixmap normalBackup;
    QPixmap disabledBackup;
    QPixmap pressedBackup;
  };

  // The program's one store, filled with the pictures drawn for the toolbar (24 pixels).
  static ButtonPictureStore& instance();

  int count() const { return static_cast<int>(pictures_.size()); }
  // The button number that the pictures below read and write (0 … count − 1).
  void 按钮控件编号_写(int number);
  int 按钮控件编号_读() const { return number_; }
  // The pictures of the current number (none for a number beyond the store).
  const Pictures& pictures() const;
  // New pictures for the current number; the backups keep the pictures they replace.
  void setPictures(const QPixmap& normal, const QPixmap& disabled, const QPixmap& pressed);
  // The number whose characteristics name `key`, or -1.
  int numberOf(const QString& key) const;

 private:
  ButtonPictureStore();

  QListWidget* 控件特征list;
  std::vector<Pictures> pictures_;
  int number_ = 0;
};

}  // namespace lumafex::controls
