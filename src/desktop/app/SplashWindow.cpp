#include "desktop/app/SplashWindow.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

#include "Version.h"
#include "desktop/controls/ToolbarIcons.h"

namespace lumafex::app {

QString versionText(const QString& prefix) {
  return prefix + QString::number(kVersionMajor) + QLatin1Char('.') + QString::number(kVersionMinor) +
         QLatin1Char('.') + QString::number(kVersionRevision);
}

SplashWindow::SplashWindow(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("frmSplash"));
  setFixedSize(460, 260);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(28, 24, 28, 20);
  auto* product = new QLabel(QStringLiteral("Lumafex"), this);
  QFont big = product->font();
  big.setPointSize(30);
  big.setBold(true);
  product->setFont(big);
  product->setStyleSheet(QStringLiteral("color: #7ff6ff;"));
  auto* subtitle = new QLabel(QStringLiteral("霓虹灯花式设计与EPROM编译"), this);
  QFont mid = subtitle->font();
  mid.setPointSize(14);
  subtitle->setFont(mid);
  subtitle->setStyleSheet(QStringLiteral("color: #ffd0f0;"));
  lblVersion = new QLabel(versionText(QStringLiteral("版本：")), this);
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  lblVersion->setStyleSheet(QStringLiteral("color: #e0e0e0;"));
  auto* maker = new QLabel(QStringLiteral("出品：Velarn工作室"), this);
  maker->setStyleSheet(QStringLiteral("color: #c0c0c0;"));
  layout->addWidget(product);
  layout->addWidget(subtitle);
  layout->addStretch();
  layout->addWidget(lblVersion);
  layout->addWidget(maker);
  setWindowIcon(QIcon(controls::toolbarIcon(QStringLiteral("应用"), 64)));
}

void SplashWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QLinearGradient g(0, 0, 0, height());
  g.setColorAt(0, QColor(20, 10, 40));
  g.setColorAt(1, QColor(5, 40, 60));
  p.fillRect(rect(), g);
  p.drawPixmap(width() - 150, 30, controls::toolbarIcon(QStringLiteral("应用"), 120));
  p.setPen(QPen(QColor(127, 246, 255), 2));
  p.drawRect(rect().adjusted(1, 1, -2, -2));
}

}  // namespace lumafex::app
