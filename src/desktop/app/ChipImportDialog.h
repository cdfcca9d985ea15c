#pragma once
// 文件 → 从芯片导入…: chips read back by the programmer become a new project. The dialog asks for
// the chip file(s), the layout, the channel count (filled with the likeliest width) and the
// polarity, and shows what it reads as the choices change; the command then asks where to save
// the new project, writes it and opens it, so it plays in the post-processing window.

#include <QDialog>
#include <QString>
#include <optional>
#include <vector>

#include "core/compiler/ChipImport.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace lumafex::platform {
class Dialogs;
}

namespace lumafex::app {

class Application;
class MainWindow;

class ChipImportDialog : public QDialog {
  Q_OBJECT

 public:
  // `directory`: where the file dialog starts.
  ChipImportDialog(platform::Dialogs& dialogs, QString directory, QWidget* parent = nullptr);

  // The frames as the dialog reads them with its present choices; nothing while they cannot be read.
  const std::optional<compiler::ImportedSequence>& sequence() const { return sequence_; }
  // The first chip file's name without its extension (a name to suggest for the project).
  QString firstFileStem() const;

 private:
  void chooseFiles();
  // Reads the chosen files again (nothing on disk changes).
  void loadFiles(const std::vector<std::string>& paths);
  // The channel count the layout and the files suggest.
  void suggestChannels();
  // Reads the frames with the present choices and shows what came out.
  void reread();

  platform::Dialogs& dialogs_;
  QString directory_;
  std::vector<compiler::ChipSource> chips_;
  bool reordered_ = false;
  std::optional<compiler::ImportedSequence> sequence_;
  bool settingUp_ = false;

  QListWidget* 芯片文件;
  QPushButton* 选择文件;
  QRadioButton* 单IC;
  QRadioButton* 多IC;
  QSpinBox* 路数;
  QLabel* 建议路数;
  QRadioButton* 正相;
  QRadioButton* 反相;
  QCheckBox* 保留填充;
  QLabel* 读入结果;
  QPushButton* 导入;
};

// The menu command: the save question for the open project, the dialog, the place of the new
// project (through the dialogs' save question), the project written and opened.
void importFromChipCommand(Application& app, MainWindow& main);

}  // namespace lumafex::app
