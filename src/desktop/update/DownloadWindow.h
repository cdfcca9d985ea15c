#pragma once
// The download window 下载窗: fetches one address into one file with progress text. The update
// window uses it for the product list; it stays hidden unless someone shows it.
//
// Every network wait is bounded: opening the address (connect, request, response headers) and each
// read of a block may take `connectMs` and `readMs`, the whole download `totalMs`. A download that
// runs out of time, fails or is refused by the server is reported as "打开URL错误", like a server
// that cannot be reached. The file is written beside its target and renamed over it only when the
// whole body arrived, so a broken or stopped download never replaces a good file.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "core/platform/SettingsStore.h"

class QNetworkAccessManager;

namespace lumafex::update {

class DownloadWindow : public QWidget {
  Q_OBJECT

 public:
  struct Limits {
    int connectMs = 3000;
    int readMs = 3000;
    int totalMs = 10000;
  };

  // Loads the last texts of txtFile and txtURL from the settings (section "下载窗").
  explicit DownloadWindow(platform::SettingsStore& settings, QWidget* parent = nullptr);
  // Writes the texts of txtFile and txtURL back.
  ~DownloadWindow() override;

  // Downloads url into file; returns the number of bytes received (0 when the address could not
  // be opened or the download broke off).
  qint64 DownloadFile(const QString& url, const QString& file);

  Limits limits;
  // Reads of at most this many bytes; each one is appended, counted and shown.
  static constexpr qint64 kBlockSize = 2048;

  QLineEdit* txtURL;
  QLineEdit* txtFile;
  QPushButton* cmdStart;
  QPushButton* cmdStop;
  QLabel* lblURL;
  QLabel* Label1;
  QLabel* lblCount;

  // Whether the last download ended with the whole body written to its file.
  bool lastDownloadComplete() const { return complete_; }

 signals:
  // Every change of lblCount.
  void progressChanged(const QString& text);

 private:
  void setProgress(const QString& text);
  void start();

  platform::SettingsStore& settings_;
  QNetworkAccessManager* network_;
  bool stopRequested_ = false;  // set by cmdStop, for the life of the window
  bool complete_ = false;
};

// The texts of lblCount.
inline const QString kOpenUrlError = QStringLiteral("打开URL错误");

}  // namespace lumafex::update
