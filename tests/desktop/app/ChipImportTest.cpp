// 文件 → 从芯片导入… as a user meets it: the chips chosen in the file dialog, the dialog's choices
// filled from them, the new project saved, opened and playing in the post-processing window, and
// its compile giving the chips back.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <map>

#include "core/compiler/ProjectCompile.h"
#include "core/platform/TextFile.h"
#include "desktop/compiler/OutputWindow.h"
#include "desktop/postedit/PostEditWindow.h"
#include "render/QtStrings.h"
#include "support/AppSession.h"
#include "support/Widgets.h"

using lumafex::platform::Answer;
using lumafex::platform::qs;
using lumafex::platform::us;
using lumafex::testing::child;
using lumafex::testing::fileBytes;
using lumafex::testing::Session;
namespace compiler = lumafex::compiler;

namespace {

// The sample project's chips as a programmer reads them back: compiled in memory and written into
// `dir`, name → path.
std::map<std::string, QString> sampleChips(const QString& appDir, const QString& dir,
                                           compiler::ChipLayout layout, const char* chip,
                                           compiler::Padding padding) {
  auto project =
      compiler::loadProject(lumafex::platform::pathFromUtf8(us(appDir + QStringLiteral("/Velarn工作室.hs"))));
  if (!project) qFatal("%s", project.error().c_str());
  compiler::CompileRequest request;
  request.layout = layout;
  request.workDirectory = lumafex::platform::pathFromUtf8(us(dir));
  request.chip.chip = compiler::findChip(chip);
  request.chip.padding = padding;
  request.chip.inMemoryOnly = true;
  const auto r = compiler::compileProject(*project, request);
  if (!r.ok) qFatal("%s", r.message.c_str());
  std::map<std::string, QString> files;
  for (const auto& f : r.images.files) {
    const QString path = dir + QLatin1Char('/') + qs(f.name);
    if (!lumafex::platform::writeBytesSafely(lumafex::platform::pathFromUtf8(us(path)), f.bytes))
      qFatal("write");
    files[f.name] = path;
  }
  return files;
}

// Runs `steps` on the import dialog once it is open (it is modal), then lets the caller go on.
void whenDialogOpens(lumafex::app::MainWindow& main, std::function<void(QDialog&)> steps) {
  QTimer::singleShot(0, &main, [&main, steps = std::move(steps)] {
    auto* dialog = main.findChild<QDialog*>(QStringLiteral("从芯片导入"));
    if (!dialog || !dialog->isVisible()) {
      QFAIL("the import dialog did not open");
      return;
    }
    steps(*dialog);
    // A check that failed part-way leaves the dialog open: close it so the test goes on.
    if (dialog->isVisible()) dialog->reject();
  });
}

}  // namespace

class ChipImportTest : public QObject {
  Q_OBJECT

 private slots:
  void aChipSetBecomesAPlayingProjectThatCompilesBack() {
    Session s;
    s.start();
    const QString chips = s.root.path() + QStringLiteral("/读出");
    QDir().mkpath(chips);
    const auto files = sampleChips(s.appDir(), chips, compiler::ChipLayout::PerEightChannels, "2716",
                                   compiler::Padding::Repeat);
    // The programmer's files, chosen in a shell's order (正1, 正2, … 正9: one digit only here).
    std::string chosen;
    for (int i = 1; i <= 9; ++i)
      chosen += (i > 1 ? "\n" : "") + us(files.at("正" + std::to_string(i) + ".bin"));
    s.dialogs.expectText("选择芯片文件", chosen);
    const QString target = s.appDir() + QStringLiteral("/找回的招牌.hs");
    s.dialogs.expectText("保存导入的工程", us(target));

    QString summary;
    int channels = 0;
    whenDialogOpens(s.main(), [&](QDialog& dialog) {
      child<QPushButton>(dialog, "选择文件")->click();
      QVERIFY(child<QRadioButton>(dialog, "多IC")->isChecked());  // several files: a chip set
      QVERIFY(child<QRadioButton>(dialog, "正相")->isChecked());  // "正…" files
      channels = child<QSpinBox>(dialog, "路数")->value();
      summary = child<QLabel>(dialog, "读入结果")->text();
      QVERIFY(child<QPushButton>(dialog, "导入")->isEnabled());
      child<QPushButton>(dialog, "导入")->click();
    });
    child<QAction>(s.main(), "从芯片导入")->trigger();

    QCOMPARE(channels, 72);
    QVERIFY2(summary.contains(QStringLiteral("步数（frames）：394")), qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("repeat")), qPrintable(summary));
    QCOMPARE(s.app->currentProjectPath(), target);
    QVERIFY(s.main().windowTitle().startsWith(QStringLiteral("Lumafex……")));
    // It opens where hand edits are made, and plays.
    QVERIFY(s.app->postEditShown());
    auto& post = s.app->postEditWindow();
    QCOMPARE(child<QLabel>(post, "基本路数")->text(), QStringLiteral("72"));
    QTRY_VERIFY(child<QTimer>(post, "Timer1")->isActive());
    child<QTimer>(post, "Timer1")->stop();
    const std::string manual =
        us(QString::fromLatin1(fileBytes(s.appDir() + QStringLiteral("/找回的招牌/人工修改的花式.txt"))));
    QCOMPARE(static_cast<long>(std::count(manual.begin(), manual.end(), '\n')), 394L);

    // The per-8-channel export compiles the hand edits, filling the chips as the import found them.
    s.dialogs.expect("编译成功", Answer::Ok);
    child<QAction>(s.main(), "多集成块_每8路一块")->trigger();
    for (int i = 1; i <= 9; ++i) {
      const QString name = QStringLiteral("正%1.bin").arg(i);
      QCOMPARE(fileBytes(s.appDir() + QStringLiteral("/找回的招牌/bin/") + name),
               fileBytes(files.at(us(name))));
    }
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void anInvertedImageAsksForAnotherNameRatherThanReplacing() {
    Session s;
    s.start();
    const QString chips = s.root.path() + QStringLiteral("/读出");
    QDir().mkpath(chips);
    const auto files =
        sampleChips(s.appDir(), chips, compiler::ChipLayout::Single, "2764", compiler::Padding::Dark);
    s.dialogs.expectText("选择芯片文件", us(files.at("单IC反.bin")));
    const QString taken = s.appDir() + QStringLiteral("/Velarn工作室.hs");  // the sample
    const QByteArray sample = fileBytes(taken);
    s.dialogs.expectText("保存导入的工程", us(taken));
    s.dialogs.expect("已经存在", Answer::Ok);
    s.dialogs.expectText("保存导入的工程", us(s.appDir() + QStringLiteral("/单芯片")));  // ".hs" is added

    int suggested = 0;
    whenDialogOpens(s.main(), [&](QDialog& dialog) {
      child<QPushButton>(dialog, "选择文件")->click();
      QVERIFY(child<QRadioButton>(dialog, "单IC")->isChecked());
      QVERIFY(child<QRadioButton>(dialog, "反相")->isChecked());  // "单IC反" says inverted
      suggested = child<QSpinBox>(dialog, "路数")->value();
      QVERIFY(child<QLabel>(dialog, "建议路数")
                  ->text()
                  .startsWith(QStringLiteral("可能的路数：%1 路").arg(suggested)));
      // Read as positive, the padding bytes would all be lit: nothing to drop.
      child<QRadioButton>(dialog, "正相")->click();
      QVERIFY(!child<QLabel>(dialog, "读入结果")->text().contains(QStringLiteral("dark")));
      child<QRadioButton>(dialog, "反相")->click();
      QVERIFY2(child<QLabel>(dialog, "读入结果")->text().contains(QStringLiteral("dark")),
               qPrintable(child<QLabel>(dialog, "读入结果")->text()));
      // The suggestion is the highest channel the chip lights: one less is refused in place.
      child<QSpinBox>(dialog, "路数")->setValue(suggested - 1);
      QVERIFY(!child<QPushButton>(dialog, "导入")->isEnabled());
      child<QSpinBox>(dialog, "路数")->setValue(suggested);
      child<QPushButton>(dialog, "导入")->click();
    });
    child<QAction>(s.main(), "从芯片导入")->trigger();

    QVERIFY(suggested >= 65 && suggested <= 72);  // 9 bytes a frame
    QCOMPARE(fileBytes(taken), sample);
    QCOMPARE(s.app->currentProjectPath(), s.appDir() + QStringLiteral("/单芯片.hs"));
    QVERIFY(s.app->postEditShown());
    // The one-chip image of the frames: the output window's own 编译 with 单IC chosen, once an export
    // has copied the frames in (the project carries the chip and padding the import found).
    s.dialogs.expect("编译成功", Answer::Ok);
    child<QAction>(s.main(), "多集成块_每8路一块")->trigger();
    auto& output = s.app->outputWindow();
    child<QRadioButton>(output, "输出单集成块")->click();
    s.dialogs.expect("编译成功", Answer::Ok);
    child<lumafex::controls::VelarnButton>(output, "编译")->click();
    QCOMPARE(fileBytes(s.appDir() + QStringLiteral("/单芯片/bin/单IC反.bin")),
             fileBytes(files.at("单IC反.bin")));
    QVERIFY(s.dialogs.unexpected.empty());
  }

  void cancellingChangesNothing() {
    Session s;
    s.start();
    const QString before = s.app->currentProjectPath();
    whenDialogOpens(s.main(), [](QDialog& dialog) {
      QVERIFY(!child<QPushButton>(dialog, "导入")->isEnabled());  // no chips chosen yet
      child<QPushButton>(dialog, "取消")->click();
    });
    child<QAction>(s.main(), "从芯片导入")->trigger();
    QCOMPARE(s.app->currentProjectPath(), before);
    QVERIFY(s.dialogs.asked.empty());
  }
};

QTEST_MAIN(ChipImportTest)
#include "ChipImportTest.moc"
