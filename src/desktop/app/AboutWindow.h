#pragma once
// The about window: product, version, maker, system information and a contact link.

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace lumafex::platform {
class Dialogs;
}

namespace lumafex::app {

class AboutWindow : public QDialog {
  Q_OBJECT

 public:
  AboutWindow(platform::Dialogs& dialogs, QWidget* parent);

  QLabel* lblVersion;
  QLabel* 联系作者;
  QPushButton* cmdOK;
  QPushButton* cmdSysInfo;

 private:
  void startSystemInformation();
  platform::Dialogs& dialogs_;
};

}  // namespace lumafex::app
