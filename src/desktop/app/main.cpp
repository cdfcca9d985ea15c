// Lumafex: the desktop program.

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "desktop/app/Application.h"
#include "desktop/app/ProgramSetUp.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/platform/QtSettings.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  lumafex::app::setUpProgram(qt);
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("霓虹灯花式设计与EPROM编译"));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("要打开的工程文件（*.hs）"),
                               QStringLiteral("[PROJECT.hs]"));
  parser.process(qt);

  lumafex::app::StartOptions options;
  if (!parser.positionalArguments().isEmpty()) options.projectToOpen = parser.positionalArguments().front();

  lumafex::platform::QtDialogs dialogs;
  lumafex::platform::QtSettings settings;
  lumafex::app::Application app(dialogs, settings, options);
  if (!app.start()) return 0;  // another Lumafex is running
  return QApplication::exec();
}
