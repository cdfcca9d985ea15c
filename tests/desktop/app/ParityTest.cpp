// The same project compiled through the desktop program and through lumafex-cli gives the same
// images and the same messages: the window and the command-line tool share every rule.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include "core/design/ProjectRecord.h"
#include "core/platform/TextFile.h"
#include "desktop/platform/QtDialogs.h"
#include "support/AppSession.h"
#include "support/RunCli.h"
#include "support/Widgets.h"

using lumafex::platform::qs;
using lumafex::platform::us;
using lumafex::testing::Session;

namespace {

namespace fs = std::filesystem;

enum class Breakage {
  None,
  BinIsAFile,           // the project's "bin" is a file: no image can be written
  ProgramIsADirectory,  // the working total program cannot be written
};

struct Record {
  const char* name;
  const char* colourCount;
  const char* columns;
  bool perEight = false;
  bool manual = false;
  int tubesOn = 1;
  const char* base = "";  // 基本路数 as the record keeps it
  std::string title = "欢迎光临";
  bool titleEffect = false;  // 启用标题花式 of the horizontal preview, with a title effect file
  bool emptyBoard = false;
  Breakage breakage = Breakage::None;
};

std::string repeated(const char* text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

const Record kRecords[] = {
    {"plain", "2", "16"},
    {"padded numbers", " 2 ", " 16 "},
    {"one colour", "1", "12"},
    {"three colours", "3", "9"},
    {"colour count 0", "0", "16"},
    {"colour count 2.5", "2.5", "16"},
    {"colour count not a number", "abc", "16"},
    {"colour count above 3", "7", "16"},
    {"columns below the range", "2", "3"},
    {"columns above the range", "2", "301"},
    {"columns 0", "2", "0"},
    {"columns 400", "2", "400"},
    {"columns 2e9", "2", "2000000000"},
    {"columns 400, per eight channels with hand edits", "2", "400", true, true},
    {"columns not a number", "2", "x"},
    {"per eight channels", "2", "20", true},
    {"per eight channels, hand edits", "2", "20", true, true},
    {"tubes off", "1", "16", false, false, 0},
    {"base 0, hand edits, no title", "2", "20", true, true, 1, "0", ""},
    {"base 0, hand edits, single chip", "2", "20", false, true, 1, "0", ""},
    {"base 400, hand edits", "2", "20", true, true, 1, "400"},
    {"base 400 without hand edits", "2", "20", true, false, 1, "400"},
    {"base 2e9, hand edits", "2", "20", true, true, 1, "2000000000"},
    {"base 20 and a title, hand edits", "2", "20", true, true, 1, "20"},
    {"empty board", "2", "16", false, false, 1, "", "欢迎光临", false, true},
    {"empty board, hand edits", "2", "16", true, true, 1, "", "欢迎光临", false, true},
    {"title effect on", "2", "16", false, false, 1, "", "欢迎光临", true},
    {"title too long", "2", "16", false, false, 1, "", repeated("光", 101), true},
    {"bin is a file", "2", "16", false, false, 1, "", "欢迎光临", false, false, Breakage::BinIsAFile},
    {"total program cannot be written", "2", "16", false, false, 1, "", "欢迎光临", false, false,
     Breakage::ProgramIsADirectory},
    {"total program cannot be written, hand edits", "2", "16", true, true, 1, "", "欢迎光临", false, false,
     Breakage::ProgramIsADirectory},
};

// Writes the project P.hs with its directory into `dir`.
void writeProject(const QString& dir, const Record& r) {
  lumafex::design::ProjectSettings s;
  s.title = r.title;
  s.colourCount = r.colourCount;
  s.columns = r.columns;
  s.tubesOn = r.tubesOn;
  s.baseChannels = r.base;
  s.horizontalTitleEffect = r.titleEffect ? 1 : 0;
  const auto file = lumafex::platform::pathFromUtf8(us(dir + QStringLiteral("/P.hs")));
  const std::vector<std::string> board =
      r.emptyBoard ? std::vector<std::string>{}
                   : std::vector<std::string>{"1右扫_色彩1", "3左扫", "12左收_色彩混合", "5"};
  QVERIFY(lumafex::design::writeProjectRecord(file, lumafex::design::recordOf(s, board)));
  QDir().mkpath(dir + QStringLiteral("/P"));
  if (r.manual) {
    QFile manual(dir + QStringLiteral("/P/人工修改的花式.txt"));
    QVERIFY(manual.open(QIODevice::WriteOnly));
    manual.write("X X X X X X X X X X \r\n XXXXXXXXXXXXXXXXXXX\r\n");
  }
  if (r.titleEffect) {
    QVERIFY(lumafex::platform::writeGbkText(
        lumafex::platform::pathFromUtf8(us(dir + QStringLiteral("/P/标题花式.bt"))),
        "X□X□<2>\r\n□□□□<3>\r\n"));
  }
  if (r.breakage == Breakage::BinIsAFile) {
    QFile bin(dir + QStringLiteral("/P/bin"));
    QVERIFY(bin.open(QIODevice::WriteOnly));
    bin.write("not a folder");
  }
}

// The working directory of a compile with its total program made impossible to write.
void breakProgram(const QString& workDir, const Record& r) {
  if (r.breakage == Breakage::ProgramIsADirectory) QDir().mkpath(workDir + QStringLiteral("/霓虹灯花式.txt"));
}

// Every image of the project's bin, by name.
QMap<QString, QByteArray> images(const QString& dir) {
  QMap<QString, QByteArray> out;
  const QDir bin(dir + QStringLiteral("/P/bin"));
  for (const QString& name : bin.entryList(QDir::Files))
    out[name] = lumafex::testing::fileBytes(bin.filePath(name));
  return out;
}

}  // namespace

class ParityTest : public QObject {
  Q_OBJECT

 private slots:
  void windowAndCliCompileAlike_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < static_cast<int>(std::size(kRecords)); ++i) QTest::newRow(kRecords[i].name) << i;
  }

  void windowAndCliCompileAlike() {
    QFETCH(int, index);
    const Record& r = kRecords[index];
    QTemporaryDir cliDir;
    writeProject(cliDir.path(), r);
    const QString cliWork = cliDir.path() + QStringLiteral("/work");
    QDir().mkpath(cliWork);
    breakProgram(cliWork, r);
    const auto cli = lumafex::testing::runCli("compile '" + us(cliDir.path()) + "/P.hs' " +
                                                  (r.perEight ? "--multi" : "--single") + " --workdir '" +
                                                  us(cliWork) + "'",
                                              true);

    Session s;
    QDir().mkpath(s.appDir());
    const QString project = s.root.path() + QStringLiteral("/project");
    QDir().mkpath(project);
    writeProject(project, r);
    s.settings.set("最后处理的工程名称", us(project + QStringLiteral("/P.hs")));
    s.start();
    breakProgram(s.appDir(), r);
    const std::size_t before = s.dialogs.asked.size();
    s.dialogs.unexpected.clear();
    lumafex::testing::child<QAction>(s.main(), r.perEight ? "多集成块_每8路一块" : "单IC导出")->trigger();
    std::vector<std::string> shown(s.dialogs.asked.begin() + static_cast<std::ptrdiff_t>(before),
                                   s.dialogs.asked.end());

    const std::string success = "编译成功！请参阅 “编译结果：”";
    const bool windowOk = !shown.empty() && shown.back() == success;
    QCOMPARE(windowOk, cli.status == 0);
    if (cli.status != 0) {
      QVERIFY2(!shown.empty(), "the window showed no message");
      // The working directories differ: the application directory and the CLI's.
      QString windowMessage = qs(shown.back() + "\n");
      QString cliMessage = qs(cli.out);
      windowMessage.replace(s.appDir(), QStringLiteral("<work>"))
          .replace(project, QStringLiteral("<project>"));
      cliMessage.replace(cliWork, QStringLiteral("<work>"))
          .replace(cliDir.path(), QStringLiteral("<project>"));
      QCOMPARE(windowMessage, cliMessage);
      QVERIFY(!cliMessage.contains(QStringLiteral("总步数")));
    }
    QCOMPARE(images(project), images(cliDir.path()));
    if (cli.status == 0) QVERIFY(!images(cliDir.path()).isEmpty());
  }
};

QTEST_MAIN(ParityTest)
#include "ParityTest.moc"
