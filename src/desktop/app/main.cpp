// Lumafex: the desktop program.

#include <QApplication>
#include <QCommandLineParser>

#include "desktop/app/Application.h"
#include "desktop/app/CommandLine.h"
#include "desktop/app/ProgramSetUp.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/platform/QtSettings.h"

int main(int argc, char** argv) {
  // --help and --version print and end before a window system is needed.
  if (const auto status = lumafex::app::answerInformationOptions(argc, argv)) return *status;

  QApplication qt(argc, argv);
  lumafex::app::setUpProgram(qt);
  // The windows belong to the menu entry lumafex.desktop (its icon in the task bar; Wayland's app id).
  QGuiApplication::setDesktopFileName(QStringLiteral("lumafex"));
  QCommandLineParser parser;
  lumafex::app::describeCommandLine(parser);
  parser.process(qt);

  lumafex::app::StartOptions options;
  if (!parser.positionalArguments().isEmpty()) options.projectToOpen = parser.positionalArguments().front();

  lumafex::platform::QtDialogs dialogs;
  lumafex::platform::QtSettings settings;
  lumafex::app::Application app(dialogs, settings, options);
  if (!app.start()) return app.startFailed() ? 1 : 0;  // else another Lumafex of this user is running
  return QApplication::exec();
}
