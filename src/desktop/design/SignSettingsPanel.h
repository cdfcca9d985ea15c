#pragma once
// The panel 灯管排列板: how the tubes are laid out and coloured on the sign (列数, 行数, 色数, 空心,
// the switches of tubes, images and logos), the command 定位灯管 and the speed of the run.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/design/ProjectRecord.h"
#include "core/design/SignPictures.h"

namespace lumafex::controls {
class AdjustableBar;
}

namespace lumafex::design {

class SignSettingsPanel : public QGroupBox {
  Q_OBJECT

 public:
  explicit SignSettingsPanel(QWidget* parent = nullptr);

  // The settings onto the controls, and the controls' values into the settings.
  void map(const ProjectSettings& s);
  void store(ProjectSettings& s) const;
  // Fills 色数 with its three counts, the second chosen, without any reaction.
  void fillColourCounts();
  // Whether 色数 shows a count (a count without a catalogue shows none).
  bool colourCountShown() const { return 色数->currentIndex() >= 0; }
  // 定位灯管 pressed: the tubes are laid out again.
  void pressLayOut() { 定位灯管->click(); }
  // 行数 back to "1" (the value was out of range).
  void resetRows() { 行数->setText(QStringLiteral("1")); }
  // 启用标志 / 启用图案 as a click on the box sets it; false when it was already so.
  bool setPicturesShown(PictureKind kind, bool on);
  // The milliseconds per step shown beside the slider.
  QString speedText() const { return 速度->text(); }

 signals:
  // A value changed: the controls are stored into the project.
  void edited();
  // 色数 chose another count (also when the same count is mapped again).
  void colourCountChosen();
  void columnsChanged();
  void rowsChanged();
  void speedChanged();
  // 定位灯管 was pressed.
  void layOutPressed();
  // The user typed into a box or clicked a switch: the project has changed.
  void changedByUser();

 private:
  QLineEdit* 列数;
  QLineEdit* 行数;
  QComboBox* 色数;
  QCheckBox* 空心;
  QCheckBox* 启用灯管;
  QCheckBox* 启用图案;
  QCheckBox* 启用标志;
  QPushButton* 定位灯管;
  controls::AdjustableBar* 速度调节;
  QLabel* 速度;
};

}  // namespace lumafex::design
