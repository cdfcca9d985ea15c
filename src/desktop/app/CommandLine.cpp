#include "desktop/app/CommandLine.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "Version.h"

namespace lumafex::app {

void nameApplication() {
  QCoreApplication::setApplicationName(QStringLiteral("Lumafex"));
  QCoreApplication::setOrganizationName(QStringLiteral("Lumafex"));
  QCoreApplication::setApplicationVersion(
      QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));
}

void describeCommandLine(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral(
      "霓虹灯花式设计与EPROM编译 / design neon sign effects and compile them into EPROM images"));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("project"),
                               QStringLiteral("要打开的工程文件（*.hs）/ the project file to open"),
                               QStringLiteral("[PROJECT.hs]"));
}

QString helpText(const QCommandLineParser& parser) {
  return parser.helpText() +
         QStringLiteral(
             "\n"
             "环境变量 / Environment:\n"
             "  LUMAFEX_HOME        应用程序目录（示例工程、说明书、工作文件），默认 ~/.local/share/Lumafex\n"
             "                      the application directory (sample project, manual, working files);\n"
             "                      default ~/.local/share/Lumafex\n"
             "  LUMAFEX_UPDATE_URL  更新服务器的基本地址（http 或 https），优先于设置“更新服务器”\n"
             "                      the update server's base address (http or https), before the\n"
             "                      setting \"更新服务器\"\n"
             "\n"
             "命令行工具 / headless commands: lumafex-cli --help\n");
}

std::optional<int> answerInformationOptions(int argc, char** argv) {
  // A QCoreApplication needs no display; it lives only for this look at the arguments.
  QCoreApplication probe(argc, argv);
  nameApplication();
  QCommandLineParser parser;
  describeCommandLine(parser);
  (void)parser.parse(QCoreApplication::arguments());  // errors are reported by the full parse
  QString text;
  if (parser.isSet(QStringLiteral("help-all"))) {
    // Qt's own options are those of the widgets application: the full parse lists them and ends the
    // process before any window, on the platform that needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::nullopt;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    text = helpText(parser);
  } else if (parser.isSet(QStringLiteral("version"))) {
    text = QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion() +
           QLatin1Char('\n');
  } else {
    return std::nullopt;
  }
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace lumafex::app
