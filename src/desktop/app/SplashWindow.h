#pragma once
// The splash window shown while the program starts: the product, the version, the maker.

#include <QLabel>
#include <QWidget>

namespace lumafex::app {

class SplashWindow : public QWidget {
  Q_OBJECT

 public:
  explicit SplashWindow(QWidget* parent = nullptr);

  QLabel* lblVersion;

 protected:
  void paintEvent(QPaintEvent*) override;
};

// "版本：" or "版本 " followed by major.minor.revision.
QString versionText(const QString& prefix);

}  // namespace lumafex::app
