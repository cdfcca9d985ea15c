#pragma once
// The panel 标题参数板: the title text and how it is drawn (font, size, spacing, bold, italic, no
// title at all). The title box keeps only the characters a title may hold and blinks while it has
// the focus; the font list is the system's, loaded when the user agrees.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTimer>

#include "core/design/ProjectRecord.h"

namespace lumafex::app {
class Application;
}

namespace lumafex::design {

class TitlePanel : public QGroupBox {
  Q_OBJECT

 public:
  // `loadingProject`: the design window's flag; no question is asked while a project loads.
  TitlePanel(app::Application& app, const bool& loadingProject, QWidget* parent = nullptr);

  void map(const ProjectSettings& s);
  void store(ProjectSettings& s) const;
  // 装载字体: fills 字体 with the system's font families.
  void 装载字体();
  // Puts the focus into the title box (a right click on the title picture).
  void focusTitle() { 标题名称->setFocus(); }
  // A new project's title is selected, ready to be typed over.
  void selectTitleStart() { 标题名称->setSelection(0, 3); }
  bool titleOff() const { return 禁用文字标题->isChecked(); }

 signals:
  void edited();
  // The title's look changed: the tubes and the title are laid out again.
  void layOutWanted();
  // Only the title is drawn again (禁用文字标题).
  void titleWanted();
  void changedByUser();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void onTitleChanged();
  void stopBlinking();

  app::Application& app_;
  const bool& loadingProject_;
  bool fontsLoaded_ = false;
  bool loadingFonts_ = false;
  bool askingForFonts_ = false;
  bool blinkRed_ = false;

  QLineEdit* 标题名称;
  QComboBox* 字体;
  QLineEdit* 字体大小;
  QLineEdit* 字间隔;
  QCheckBox* 粗体;
  QCheckBox* 斜体;
  QCheckBox* 禁用文字标题;
  QTimer* 标题字串闪烁;
};

}  // namespace lumafex::design
