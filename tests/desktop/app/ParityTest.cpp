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

struct Record {
  const char* name;
  const char* colourCount;
  const char* columns;
  bool perEight = false;
  bool manual = false;
  int tubesOn = 1;
};

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
    {"columns not a number", "2", "x"},
    {"per eight channels", "2", "20", true},
    {"per eight channels, hand edits", "2", "20", true, true},
    {"tubes off", "1", "16", false, false, 0},
};

// Writes the project P.hs with its directory into `dir`.
void writeProject(const QString& dir, const Record& r) {
  lumafex::design::ProjectSettings s;
  s.title = "欢迎光临";
  s.colourCount = r.colourCount;
  s.columns = r.columns;
  s.tubesOn = r.tubesOn;
  const auto file = lumafex::platform::pathFromUtf8(us(dir + QStringLiteral("/P.hs")));
  QVERIFY(lumafex::design::writeProjectRecord(
      file, lumafex::design::recordOf(s, {"1右扫_色彩1", "3左扫", "12左收_色彩混合", "5"})));
  QDir().mkpath(dir + QStringLiteral("/P"));
  if (r.manual) {
    QFile manual(dir + QStringLiteral("/P/人工修改的花式.txt"));
    QVERIFY(manual.open(QIODevice::WriteOnly));
    manual.write("X X X X X X X X X X \r\n XXXXXXXXXXXXXXXXXXX\r\n");
  }
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
    const auto cli = lumafex::testing::runCli(
        "compile '" + us(cliDir.path()) + "/P.hs' " + (r.perEight ? "--multi" : "--single"), true);

    Session s;
    QDir().mkpath(s.appDir());
    const QString project = s.root.path() + QStringLiteral("/project");
    QDir().mkpath(project);
    writeProject(project, r);
    s.settings.set("最后处理的工程名称", us(project + QStringLiteral("/P.hs")));
    s.start();
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
      QCOMPARE(qs(shown.back() + "\n"), qs(cli.out));
    }
    QCOMPARE(images(project), images(cliDir.path()));
    if (cli.status == 0) QVERIFY(!images(cliDir.path()).isEmpty());
  }
};

QTEST_MAIN(ParityTest)
#include "ParityTest.moc"
