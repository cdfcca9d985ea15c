#pragma once
// The desktop program's command line: the project to open, --help and --version, and the
// environment variables the program honours, as `lumafex --help` lists them.

#include <QCommandLineParser>
#include <QString>
#include <optional>

namespace lumafex::app {

// Names the application (name, organisation, version) for QSettings and for --version.
void nameApplication();

// Describes the options and the project argument on a parser.
void describeCommandLine(QCommandLineParser& parser);

// The help text: the parser's usage and options, then the environment variables.
QString helpText(const QCommandLineParser& parser);

// Handles --help and --version before any window system is touched: prints to standard output and
// gives the exit status. nullopt when the program is to start (other arguments, including wrong
// ones, are left to the full parse once the application exists, so that Qt's own options such as
// -platform are known by then). For --help-all, which lists those options, the application is
// then made on Qt's offscreen platform.
std::optional<int> answerInformationOptions(int argc, char** argv);

}  // namespace lumafex::app
