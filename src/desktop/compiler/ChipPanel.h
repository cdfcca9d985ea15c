#pragma once
// The output window's group "芯片": the chip type ("不限" keeps the images as they are), the
// padding, HEX and S-record copies, the list of checksums of the files written by the last compile
// (placed beside the report), and "校验芯片…", which compares chips read back by the programmer
// with the images of the project (the output window runs the comparison). The choices are kept per
// project in "芯片设置.ini" of the project directory.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "core/compiler/ChipSettings.h"
#include "core/compiler/EpromImages.h"
#include "core/platform/Dialogs.h"

namespace lumafex::compiler {

class ChipPanel : public QGroupBox {
  Q_OBJECT

 public:
  // `listParent`: the parent of the checksum list, which the window places beside its report.
  explicit ChipPanel(QWidget* parent = nullptr, QWidget* listParent = nullptr);

  std::function<QString()> projectDirectory;  // where "芯片设置.ini" lives
  platform::Dialogs* dialogs = nullptr;

  // The options of a compile with the current choices (with the checksums for the list), after
  // taking the project's file when the project changed.
  ChipOptions compileOptions();
  ChipChoice choice() const;
  // Shows the checksums of a compile (an empty list clears it).
  void showChecksums(const std::vector<FileChecksum>& checksums);
  // Reads the current project's "芯片设置.ini" into the controls.
  void loadProject();

  QComboBox* chipType;
  QComboBox* padding;
  QCheckBox* hexFormat;
  QCheckBox* srecFormat;
  QPushButton* verifyButton;
  QListWidget* checksumList;

 signals:
  // "校验芯片…" was clicked.
  void verifyRequested();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void setChoice(const ChipChoice& choice);
  void choiceChanged();
  void updateEnabled();
  QString currentProject() const;
  void tell(const std::string& message);

  QString loadedProject_;
  bool loading_ = false;
};

}  // namespace lumafex::compiler
