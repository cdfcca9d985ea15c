#include "desktop/app/AboutWindow.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "core/platform/Dialogs.h"
#include "desktop/app/SplashWindow.h"
#include "desktop/controls/ToolbarIcons.h"

namespace lumafex::app {

AboutWindow::AboutWindow(platform::Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("关于 Lumafex"));
  setWindowIcon(parent ? parent->windowIcon() : QIcon());
  auto* icon = new QLabel(this);
  icon->setPixmap(controls::toolbarIcon(QStringLiteral("应用"), 64));
  auto* title =
      new QLabel(QStringLiteral("<b style='font-size:16pt'>Lumafex</b><br>霓虹灯花式设计与EPROM编译"), this);
  lblVersion = new QLabel(versionText(QStringLiteral("版本 ")), this);
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  auto* description =
      new QLabel(QStringLiteral("为霓虹灯控制器制作者设计花式：选择花式、编排程序、预览、后期修改，\n"
                                "并编译为烧入EPROM的正、反码文件。\n出品：Velarn工作室"),
                 this);
  联系作者 =
      new QLabel(QStringLiteral("<a href='mailto:studio@velarn.example?subject=Lumafex'>联系作者</a>"), this);
  联系作者->setObjectName(QStringLiteral("联系作者"));
  联系作者->setTextInteractionFlags(Qt::TextBrowserInteraction);
  联系作者->setOpenExternalLinks(false);
  connect(联系作者, &QLabel::linkActivated, this,
          [](const QString& link) { QDesktopServices::openUrl(QUrl(link)); });
  cmdOK = new QPushButton(QStringLiteral("确定"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  cmdSysInfo = new QPushButton(QStringLiteral("系统信息(&S)..."), this);
  cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmdSysInfo, &QPushButton::clicked, this, [this] { startSystemInformation(); });

  auto* grid = new QGridLayout(this);
  grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
  grid->addWidget(title, 0, 1);
  grid->addWidget(lblVersion, 1, 1);
  grid->addWidget(description, 2, 1);
  grid->addWidget(联系作者, 3, 1);
  grid->addWidget(cmdOK, 0, 2);
  grid->addWidget(cmdSysInfo, 1, 2, Qt::AlignTop);
}

void AboutWindow::startSystemInformation() {
  // The desktop's own system information program, whichever of the usual ones is installed.
  for (const char* name : {"hardinfo", "gnome-system-monitor", "plasma-systemmonitor", "ksysguard",
                           "xfce4-taskmanager", "mate-system-monitor"}) {
    const QString program = QStandardPaths::findExecutable(QString::fromUtf8(name));
    if (!program.isEmpty() && QProcess::startDetached(program, {})) return;
  }
  dialogs_.message("此时系统信息不可用");
}

}  // namespace lumafex::app
