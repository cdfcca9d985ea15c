#pragma once
// The project commands of the main window's file menu: open, save, save as and the recent files,
// with the question whether a changed project is to be saved first. Opening and saving go through
// the design window's 打开工程 and 保存工程, which read and write the project record.

namespace lumafex::design {
class ProjectDocument;
}

namespace lumafex::app {

class Application;
class MainWindow;

class ProjectCommands {
 public:
  ProjectCommands(Application& app, design::ProjectDocument& document, MainWindow& main);

  // "原来的工程已经改变，是否存盘？" when the project changed: false when the user cancels.
  bool askToSave();
  void open();
  void save();
  void saveAs();
  // The recent file of menu slot `slot`.
  void openRecent(int slot);

 private:
  Application& app_;
  design::ProjectDocument& document_;
  MainWindow& main_;
};

}  // namespace lumafex::app
