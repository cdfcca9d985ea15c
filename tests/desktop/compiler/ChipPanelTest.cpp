// The output window's group "芯片": the choices kept in the project's "芯片设置.ini", a compile
// with a chip, the checksum list beside the report, and "校验芯片…".

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "core/compiler/ChipImage.h"
#include "core/compiler/ChipSettings.h"
#include "desktop/compiler/OutputWindow.h"
#include "desktop/controls/VelarnButton.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/platform/QtDialogs.h"
#include "support/ScriptedDialogs.h"
#include "support/Widgets.h"

using lumafex::compiler::ChipPanel;
using lumafex::compiler::OutputWindow;
using lumafex::platform::Answer;
using lumafex::platform::qs;
using lumafex::platform::us;
namespace compiler = lumafex::compiler;

namespace {

const std::string kSuccess = "编译成功！请参阅 “编译结果：”";

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(bytes) == bytes.size();
}

// `count` 16-channel lines, line i lit at channel (i mod 16) + 1.
QByteArray lines(int count) {
  QByteArray out;
  for (int i = 0; i < count; ++i) {
    QByteArray line(16, ' ');
    line[i % 16] = 'X';
    out += line + "\r\n";
  }
  return out;
}

struct Rig {
  QTemporaryDir root;
  lumafex::testing::ScriptedDialogs dialogs;
  QString project = root.path() + QStringLiteral("/红星");
  lumafex::design::ProjectDocument document;
  std::unique_ptr<OutputWindow> window;

  Rig() {
    QDir().mkpath(appDir());
    QDir().mkpath(project);
    open(project);
    document.edit(lumafex::design::ProjectDocument::BoardPart, [](lumafex::design::Project& p) {
      p.board = {"1右扫"};
      p.titleEffect = "新工程<1>";
      p.settings.title.clear();
    });
    window = std::make_unique<OutputWindow>(document, appDir(), dialogs);
  }
  // Another project becomes the open one.
  void open(const QString& directory) {
    project = directory;
    document.setProjectFile(directory + QStringLiteral(".hs"), directory);
  }
  QString appDir() const { return root.path() + QStringLiteral("/app"); }
  QString bin(const QString& name) const { return project + QStringLiteral("/bin/") + name; }
  QString settingsFile() const { return project + QStringLiteral("/芯片设置.ini"); }
  ChipPanel& panel() const { return *window->findChild<ChipPanel*>(QStringLiteral("chipPanel")); }
  void compile(const QByteArray& program, bool succeeds = true) {
    QVERIFY(writeFile(appDir() + QStringLiteral("/霓虹灯花式.txt"), program));
    lumafex::testing::child<QRadioButton>(*window, "输出单集成块")->setChecked(true);
    if (succeeds) dialogs.expect(kSuccess, Answer::Ok);
    lumafex::testing::child<lumafex::controls::VelarnButton>(*window, "编译")->click();
  }
  void choose(const char* chip, const char* padding, bool hex) {
    ChipPanel& p = panel();
    p.chipType->setCurrentIndex(p.chipType->findData(QString::fromUtf8(chip)));
    p.padding->setCurrentIndex(p.padding->findData(QString::fromUtf8(padding)));
    p.hexFormat->setChecked(hex);
  }
};

#define CHECK_NO_STRAY_QUESTIONS(rig)                                                      \
  do {                                                                                     \
    QVERIFY2((rig).dialogs.unexpected.empty(),                                             \
             (rig).dialogs.unexpected.empty() ? "" : (rig).dialogs.unexpected[0].c_str()); \
    QVERIFY((rig).dialogs.replies.empty());                                                \
  } while (false)

}  // namespace

class ChipPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void defaultsCompileAsBeforeAndListChecksums() {
    Rig rig;
    ChipPanel& p = rig.panel();
    QCOMPARE(p.title(), QStringLiteral("芯片"));
    QCOMPARE(p.chipType->currentText(), QStringLiteral("不限"));
    QVERIFY(!p.padding->isEnabled());
    rig.compile(lines(5));
    QCOMPARE(fileBytes(rig.bin(QStringLiteral("单IC正.bin"))).size(), 10);
    QVERIFY(!QFile::exists(rig.bin(QStringLiteral("单IC正.hex"))));
    QVERIFY(!QFile::exists(rig.settingsFile()));
    QCOMPARE(p.checksumList->count(), 2);
    const std::string image = fileBytes(rig.bin(QStringLiteral("单IC正.bin"))).toStdString();
    QCOMPARE(us(p.checksumList->item(0)->text()),
             compiler::checksumLine(compiler::checksumOf({"单IC正.bin", image})));
    QVERIFY(!lumafex::testing::child<QTextEdit>(*rig.window, "Text2")
                 ->toPlainText()
                 .contains(QStringLiteral("0x")));  // the report stays as it was
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  void choicesGoToTheProjectFileAndIntoTheCompile() {
    Rig rig;
    rig.choose("2764", "dark", true);
    QVERIFY(rig.panel().padding->isEnabled());
    QCOMPARE(fileBytes(rig.settingsFile()),
             QByteArray("[\xD0\xBE\xC6\xAC]\r\n\xD0\xCD\xBA\xC5=2764\r\n\xCC\xEE\xB3\xE4=dark\r\nHEX="
                        "1\r\nS\xBC\xC7\xC2\xBC=0\r\n"));
    rig.compile(lines(5));
    const QByteArray image = fileBytes(rig.bin(QStringLiteral("单IC正.bin")));
    QCOMPARE(image.size(), 8192);
    QCOMPARE(image.mid(10), QByteArray(8192 - 10, '\0'));
    QCOMPARE(fileBytes(rig.bin(QStringLiteral("单IC反.bin"))).mid(10), QByteArray(8192 - 10, '\xFF'));
    QCOMPARE(fileBytes(rig.bin(QStringLiteral("单IC正.hex"))).toStdString(),
             compiler::intelHex(image.toStdString()));
    QCOMPARE(rig.panel().checksumList->count(), 4);

    // Another project has its own choices; coming back finds the first project's.
    const QString first = rig.project;
    rig.open(rig.root.path() + QStringLiteral("/蓝天"));
    QDir().mkpath(rig.project);
    QCOMPARE(rig.panel().compileOptions().chip.has_value(), false);
    QCOMPARE(rig.panel().chipType->currentIndex(), 0);
    rig.open(first);
    const auto options = rig.panel().compileOptions();
    QVERIFY(options.chip);
    QCOMPARE(QString::fromUtf8(options.chip->name), QStringLiteral("2764"));
    QCOMPARE(options.padding, compiler::Padding::Dark);
    QVERIFY(options.hex);
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  void tooSmallAChipIsRefused() {
    Rig rig;
    rig.choose("2716", "repeat", false);
    rig.compile(lines(1025), false);  // 2050 bytes
    QVERIFY(rig.window->compileFailed());
    QCOMPARE(rig.dialogs.asked.size(), std::size_t{1});
    QVERIFY(rig.dialogs.asked[0].find("2050 字节") != std::string::npos);
    QVERIFY(rig.dialogs.asked[0].find("2732") != std::string::npos);
    QVERIFY(!QFile::exists(rig.bin(QStringLiteral("单IC正.bin"))));
    QCOMPARE(rig.panel().checksumList->count(), 0);
  }

  void verifyComparesReadBackChips() {
    Rig rig;
    rig.dialogs.expect("请先编译", Answer::Ok);
    rig.panel().verifyButton->click();

    rig.choose("2716", "repeat", false);
    rig.compile(lines(7));
    const QByteArray image = fileBytes(rig.bin(QStringLiteral("单IC正.bin")));
    QCOMPARE(image.size(), 2048);
    const QString readBack = rig.root.path() + QStringLiteral("/单IC正.bin");
    QVERIFY(writeFile(readBack, image));
    rig.dialogs.expectText("读回", us(readBack));
    rig.dialogs.expect("单IC正.bin：与编译结果相同", Answer::Ok);
    rig.panel().verifyButton->click();

    // Byte 2·3 + 1 is step 4, channels 9 … 16; bit 3 is channel 12.
    QByteArray flipped = image;
    flipped[7] = static_cast<char>(flipped[7] ^ 0x08);
    QVERIFY(writeFile(readBack, flipped));
    rig.dialogs.expectText("读回", us(readBack));
    rig.dialogs.expect("第 4 步：路 12", Answer::Ok);
    rig.panel().verifyButton->click();
    CHECK_NO_STRAY_QUESTIONS(rig);
  }
};

QTEST_MAIN(ChipPanelTest)
#include "ChipPanelTest.moc"
