#pragma once
// The update window 获取新版本: the maker's product list, the comparison of the listed version with
// the own one, and the hand-over of a download to the user's browser. Start-up runs the comparison
// while the splash is up (without showing the window); the help menu shows it to look again.

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>
#include <QWidget>
#include <functional>

#include "core/platform/Dialogs.h"
#include "core/platform/SettingsStore.h"

namespace lumafex::update {

class DownloadWindow;

struct UpdateContext {
  platform::Dialogs* dialogs = nullptr;
  platform::SettingsStore* settings = nullptr;  // "更新服务器" in "参数"
  std::function<QString()> applicationDirectory;
  // Hands an address to the user's browser.
  std::function<bool(const QUrl&)> openUrl;
  // Ends the program at once, without the usual shut-down steps (after a confirmed download).
  std::function<void()> endProgram;
  // How long the busy pointer shows after the hand-over, in milliseconds.
  int handOverMs = 3000;
};

// The update server's base address: $LUMAFEX_UPDATE_URL when set, else the setting "更新服务器",
// without a trailing "/"; empty when neither names one.
QString updateServerAddress(const platform::SettingsStore& settings);

class UpdateWindow : public QWidget {
  Q_OBJECT

 public:
  UpdateWindow(UpdateContext context, DownloadWindow& download, QWidget* parent = nullptr);

  // What the splash's version label does: the caption goes into 版本, then 版本分析 is pressed.
  void setVersionCaption(const QString& caption);
  // The help menu's look again: shows the window and presses 读产品列表.
  void showAndRead();

  QListWidget* List1;
  QLabel* 版本;
  QPushButton* 读产品列表;
  QPushButton* 版本分析;
  QPushButton* 下载;
  QStatusBar* 底棒;
  // The three panels of 底棒: the server, the number of products, the download progress.
  QLabel* serverPanel;
  QLabel* countPanel;
  QLabel* progressPanel;

  // Set while the product list is being fetched; a second press meanwhile does nothing.
  bool readingList = false;

 private:
  void readProductList();
  void analyseVersion();
  void downloadSelected();
  void selectLine(int row);
  // Gives 下载 one width that holds its caption for every line of the list, so the row of buttons
  // stays still while the selection moves.
  void fitDownloadButton();
  void waitBusy(int milliseconds);

  UpdateContext context_;
  DownloadWindow& download_;
};

}  // namespace lumafex::update
