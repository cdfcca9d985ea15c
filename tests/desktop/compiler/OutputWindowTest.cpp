// The output window as the program drives it: a compile with and without the title, the two
// failures, the channel count kept while the window is open, the result box and the images.

#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/compiler/EpromImages.h"
#include "core/platform/TextFile.h"
#include "desktop/compiler/OutputWindow.h"
#include "desktop/controls/AdjustableBar.h"
#include "desktop/controls/VelarnButton.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/platform/QtDialogs.h"
#include "support/ScriptedDialogs.h"
#include "support/Widgets.h"

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

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

// `count` lines of `width` characters with CR LF, line i lit at channel i mod width.
QByteArray lines(int count, int width) {
  QByteArray out;
  for (int i = 0; i < count; ++i) {
    QByteArray line(width, ' ');
    line[i % width] = 'X';
    out += line + "\r\n";
  }
  return out;
}

// Name → bytes of every file in a directory.
std::map<QString, QByteArray> filesIn(const QString& directory) {
  std::map<QString, QByteArray> out;
  const QDir dir(directory);
  for (const QString& name : dir.entryList(QDir::Files)) out[name] = fileBytes(dir.filePath(name));
  return out;
}

// One output window on a project document; the fields are what the other windows would have put
// into the project, taken into the document before each compile.
struct Rig {
  QTemporaryDir root;
  lumafex::testing::ScriptedDialogs dialogs;
  lumafex::design::ProjectDocument document;
  bool boardEmpty = false;
  QString title;
  QString effect = QStringLiteral("新工程<1>");
  QString base;
  bool horizontalShown = true, horizontalTitle = false, verticalShown = false, verticalTitle = false;
  int stopCalls = 0;
  std::vector<std::pair<int, int>> faultyMasks;
  std::unique_ptr<OutputWindow> window;

  Rig() {
    QDir().mkpath(appDir());
    QDir().mkpath(projectDir());
    document.setProjectFile(projectDir() + QStringLiteral(".hs"), projectDir());
    window = std::make_unique<OutputWindow>(document, appDir(), dialogs);
    QObject::connect(window.get(), &OutputWindow::compileStopsRuns, [this] { ++stopCalls; });
    QObject::connect(window.get(), &OutputWindow::faultyMask,
                     [this](int start, int length) { faultyMasks.emplace_back(start, length); });
  }

  QString appDir() const { return root.path() + QStringLiteral("/app"); }
  QString projectDir() const { return root.path() + QStringLiteral("/Velarn工作室"); }
  QString binDir() const { return projectDir() + QStringLiteral("/bin"); }
  QString programPath() const { return appDir() + QStringLiteral("/霓虹灯花式.txt"); }
  QString bufferPath() const { return appDir() + QStringLiteral("/霓虹灯花式_输出缓冲.txt"); }

  // The fields into the project, as the windows keep it.
  void sync() {
    document.edit(lumafex::design::ProjectDocument::Settings | lumafex::design::ProjectDocument::BoardPart,
                  [this](lumafex::design::Project& p) {
                    auto& s = p.settings;
                    s.title = us(title);
                    s.baseChannels = us(base);
                    s.showHorizontal = horizontalShown ? 1 : 0;
                    s.horizontalTitleEffect = horizontalTitle ? 1 : 0;
                    s.showVertical = verticalShown ? 1 : 0;
                    s.verticalTitleEffect = verticalTitle ? 1 : 0;
                    p.titleEffect = us(effect);
                    p.board = boardEmpty ? std::vector<std::string>{} : std::vector<std::string>{"1右扫"};
                  });
  }

  void program(const QByteArray& bytes) const { writeFile(programPath(), bytes); }

  // Clicks 编译 with the layout chosen; `succeeds` scripts the success message.
  void compile(compiler::ChipLayout layout, bool succeeds = true) {
    sync();
    (layout == compiler::ChipLayout::Single ? lumafex::testing::child<QRadioButton>(*window, "输出单集成块")
                                            : lumafex::testing::child<QRadioButton>(*window, "输出多集成块"))
        ->setChecked(true);
    if (succeeds) dialogs.expect(kSuccess, Answer::Ok);
    lumafex::testing::child<lumafex::controls::VelarnButton>(*window, "编译")->click();
  }

  // 编译 with neither layout chosen: only the buffer is built and shown.
  void bufferOnly() {
    sync();
    dialogs.expect(kSuccess, Answer::Ok);
    lumafex::testing::child<lumafex::controls::VelarnButton>(*window, "编译")->click();
  }

  bool askedSuccess() const {
    return std::find(dialogs.asked.begin(), dialogs.asked.end(), kSuccess) != dialogs.asked.end();
  }
};

#define CHECK_NO_STRAY_QUESTIONS(rig)                                                      \
  do {                                                                                     \
    QVERIFY2((rig).dialogs.unexpected.empty(),                                             \
             (rig).dialogs.unexpected.empty() ? "" : (rig).dialogs.unexpected[0].c_str()); \
    QVERIFY((rig).dialogs.replies.empty());                                                \
  } while (false)

// Five 8-channel steps L1 … L5.
const QByteArray kL[5] = {"X       ", " X      ", "  X     ", "   X    ", "    X   "};
QByteArray fiveSteps() {
  QByteArray out;
  for (const QByteArray& l : kL) out += l + "\r\n";
  return out;
}

}  // namespace

class OutputWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // --- Stage one: the buffer ---

  void titleMergedFromItsMasks() {
    Rig rig;
    rig.title = QStringLiteral("ABC");
    rig.effect = QStringLiteral("X□X<2>\r\n□□□<4>\r\n");
    rig.horizontalTitle = true;
    rig.program(fiveSteps());
    rig.compile(compiler::ChipLayout::Single);

    const QByteArray expected =
        kL[0] + "XXX\r\n" + kL[1] + "X X\r\n" + kL[2] + "X X\r\n" + kL[3] + "   \r\n" + kL[4] + "   \r\n";
    QCOMPARE(fileBytes(rig.bufferPath()), expected);
    QCOMPARE(lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(*rig.window, "路数")->text(),
             QStringLiteral("11"));
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "行")->text(), QStringLiteral("5"));
    QCOMPARE(lumafex::testing::child<QTextEdit>(*rig.window, "Text1")->toPlainText(),
             QStringLiteral("X_______XXX\n_X______X_X\n__X_____X_X\n___X_______\n____X______\n"));
    QVERIFY(!rig.window->compileFailed());
    QVERIFY(rig.askedSuccess());
    QCOMPARE(rig.stopCalls, 2);
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  void bufferIsTheProgramWithoutMerge_data() {
    QTest::addColumn<QString>("effect");
    QTest::addColumn<bool>("horizontalShown");
    QTest::addColumn<bool>("horizontalTitle");
    QTest::addColumn<bool>("verticalShown");
    QTest::addColumn<bool>("verticalTitle");
    QTest::addColumn<bool>("merged");
    QTest::newRow("effect ends with <1>")
        << QStringLiteral("X□X<1>") << true << true << false << false << false;
    QTest::newRow("new project's effect")
        << QStringLiteral("新工程<1>") << true << true << false << false << false;
    QTest::newRow("no preview shown")
        << QStringLiteral("X□X<2>\r\n") << false << true << false << true << false;
    QTest::newRow("shown without title effect")
        << QStringLiteral("X□X<2>\r\n") << true << false << true << false << false;
    QTest::newRow("vertical preview merges")
        << QStringLiteral("X□X<2>\r\n") << false << true << true << true << true;
  }
  void bufferIsTheProgramWithoutMerge() {
    QFETCH(QString, effect);
    Rig rig;
    rig.title = QStringLiteral("ABC");
    rig.effect = effect;
    QFETCH(bool, horizontalShown);
    QFETCH(bool, horizontalTitle);
    QFETCH(bool, verticalShown);
    QFETCH(bool, verticalTitle);
    QFETCH(bool, merged);
    rig.horizontalShown = horizontalShown;
    rig.horizontalTitle = horizontalTitle;
    rig.verticalShown = verticalShown;
    rig.verticalTitle = verticalTitle;
    rig.program(fiveSteps());
    rig.compile(compiler::ChipLayout::Single);

    if (merged) {
      QCOMPARE(lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(*rig.window, "路数")->text(),
               QStringLiteral("11"));
      QVERIFY(fileBytes(rig.bufferPath()).startsWith(kL[0] + "XXX\r\n" + kL[1] + "X X\r\n"));
    } else {
      QCOMPARE(fileBytes(rig.bufferPath()), fiveSteps());
      QCOMPARE(lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(*rig.window, "路数")->text(),
               QStringLiteral("8"));
    }
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  void manualFileAddsTitleToBaseChannels() {
    Rig rig;
    rig.title = QStringLiteral("ABCD");
    rig.base = QStringLiteral("32");
    rig.horizontalTitle = true;  // the effect text ends with <1>: no merge
    writeFile(rig.projectDir() + QStringLiteral("/人工修改的花式.txt"), lines(3, 32));
    rig.program(lines(3, 32));
    rig.compile(compiler::ChipLayout::PerEightChannels);
    QCOMPARE(lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(*rig.window, "路数")->text(),
             QStringLiteral("36"));
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "集成块个数")->text(),
             QStringLiteral("5"));  // the lines are padded to 40
    QCOMPARE(fileBytes(rig.binDir() + QStringLiteral("/正5.bin")), QByteArray(3, '\0'));
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  void missingProgramFailsTheCompile() {
    Rig rig;
    rig.dialogs.expect("没有总程序文件", Answer::Ok);
    rig.compile(compiler::ChipLayout::Single, false);
    QVERIFY(rig.window->compileFailed());
    QVERIFY(!rig.askedSuccess());
    QVERIFY(!QDir(rig.binDir()).exists());
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  // --- The faulty mask ---

  void maskOfWrongLengthStopsTheCompile_data() {
    QTest::addColumn<QString>("effect");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::newRow("short mask, first line")
        << QStringLiteral("X□<2>\r\n") << QStringLiteral("“X□<2>”的长度有问题！") << 0 << 2;
    QTest::newRow("long mask, second line")
        << QStringLiteral("XXX<1>\r\n□□□□<3>\r\n") << QStringLiteral("“□□□□<3>”的长度有问题！") << 8 << 4;
  }
  void maskOfWrongLengthStopsTheCompile() {
    QFETCH(QString, effect);
    QFETCH(QString, message);
    QFETCH(int, start);
    QFETCH(int, length);
    Rig rig;
    rig.title = QStringLiteral("ABC");
    rig.horizontalTitle = true;
    rig.program(fiveSteps());
    // A first compile without the title fills the window.
    rig.compile(compiler::ChipLayout::Single);
    QDir(rig.binDir()).removeRecursively();
    const QString shown = lumafex::testing::child<QTextEdit>(*rig.window, "Text1")->toPlainText();
    const QString report = lumafex::testing::child<QTextEdit>(*rig.window, "Text2")->toPlainText();

    rig.effect = effect;
    rig.dialogs.expect(us(message), Answer::Ok);
    rig.compile(compiler::ChipLayout::Single, false);
    QCOMPARE(rig.dialogs.asked.back(), us(message));
    QVERIFY(rig.window->compileFailed());
    QCOMPARE(rig.faultyMasks, (std::vector<std::pair<int, int>>{{start, length}}));
    QVERIFY(!QDir(rig.binDir()).exists());
    QCOMPARE(lumafex::testing::child<QTextEdit>(*rig.window, "Text1")->toPlainText(), shown);
    QCOMPARE(lumafex::testing::child<QTextEdit>(*rig.window, "Text2")->toPlainText(), report);
    QCOMPARE(lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(*rig.window, "路数")->text(),
             QStringLiteral("8"));
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "行")->text(), QStringLiteral("5"));
    QCOMPARE(static_cast<int>(std::count(rig.dialogs.asked.begin(), rig.dialogs.asked.end(), kSuccess)), 1);
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  // --- Stage two: the images ---

  void imagesAreWhatTheCoreWrites_data() {
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("countLabel");
    QTest::newRow("single chip") << static_cast<int>(compiler::ChipLayout::Single)
                                 << QStringLiteral("每帧字节数");
    QTest::newRow("chip per 8 channels")
        << static_cast<int>(compiler::ChipLayout::PerEightChannels) << QStringLiteral("集成块个数");
  }
  void imagesAreWhatTheCoreWrites() {
    QFETCH(int, layout);
    QFETCH(QString, countLabel);
    const auto chips = static_cast<compiler::ChipLayout>(layout);
    Rig rig;
    rig.title = QStringLiteral("霓虹灯");
    rig.effect = QStringLiteral("X□X<2>\r\n□□□<4>\r\n");
    rig.horizontalTitle = true;
    rig.program(lines(37, 12));  // 15 channels with the title: two bytes per frame
    rig.compile(chips);
    QCOMPARE(rig.window->findChild<QLabel*>(countLabel)->text(), QStringLiteral("2"));
    const auto written = filesIn(rig.binDir());
    QCOMPARE(written.size(), chips == compiler::ChipLayout::Single ? std::size_t{2} : std::size_t{4});

    // The core, given the same buffer and channel count, writes the same files and report.
    const std::string buffer = fileBytes(rig.bufferPath()).toStdString();
    compiler::ImageInput in;
    in.buffer = buffer;
    in.channels = 15;
    in.projectDirectory = lumafex::platform::pathFromUtf8(us(rig.projectDir()));
    in.layout = chips;
    const compiler::ImageResult core = compiler::writeEpromImages(in);
    QVERIFY(core.ok);
    QVERIFY(filesIn(rig.binDir()) == written);
    QCOMPARE(lumafex::testing::child<QTextEdit>(*rig.window, "Text2")->toPlainText(),
             qs(core.report).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QVERIFY(lumafex::testing::child<QTextEdit>(*rig.window, "Text2")
                ->toPlainText()
                .endsWith(QStringLiteral("总步数＝37")));
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  void imageBytesOfOneFrame() {
    Rig rig;
    rig.program("X      X\r\n");
    rig.compile(compiler::ChipLayout::Single);
    QCOMPARE(fileBytes(rig.binDir() + QStringLiteral("/单IC正.bin")), QByteArray("\x81"));
    QCOMPARE(fileBytes(rig.binDir() + QStringLiteral("/单IC反.bin")), QByteArray("\x7E"));
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "每帧字节数")->text(), QStringLiteral("1"));
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  void lineTooLongForKeptChannelCount() {
    Rig rig;
    rig.program(lines(10, 40));
    rig.compile(compiler::ChipLayout::Single);
    QCOMPARE(lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(*rig.window, "路数")->text(),
             QStringLiteral("40"));
    const auto images = filesIn(rig.binDir());
    const QString report = lumafex::testing::child<QTextEdit>(*rig.window, "Text2")->toPlainText();

    rig.program(lines(3, 40) + QByteArray(41, 'X') + "\r\n");
    rig.dialogs.expect(compiler::kTooLongMessage, Answer::Ok);
    rig.compile(compiler::ChipLayout::Single, false);
    QCOMPARE(rig.dialogs.asked.back(), std::string(compiler::kTooLongMessage));
    QVERIFY(rig.window->compileFailed());
    QCOMPARE(lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(*rig.window, "路数")->text(),
             QStringLiteral("40"));
    QCOMPARE(lumafex::testing::child<QTextEdit>(*rig.window, "Text2")->toPlainText(), report);
    QVERIFY(filesIn(rig.binDir()) == images);
    QCOMPARE(static_cast<int>(std::count(rig.dialogs.asked.begin(), rig.dialogs.asked.end(), kSuccess)), 1);
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  void withoutLayoutOnlyTheBufferIsBuilt() {
    Rig rig;
    rig.program(lines(4, 16));
    rig.bufferOnly();
    QCOMPARE(fileBytes(rig.bufferPath()), lines(4, 16));
    QVERIFY(!QDir(rig.binDir()).exists());
    QVERIFY(lumafex::testing::child<QTextEdit>(*rig.window, "Text2")->toPlainText().isEmpty());
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  // --- Labels kept while open ---

  void channelCountKeptWhileOpenAndResetByClose() {
    Rig rig;
    rig.program(lines(5, 40));
    rig.compile(compiler::ChipLayout::Single);
    QCOMPARE(lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(*rig.window, "路数")->text(),
             QStringLiteral("40"));

    rig.program(lines(5, 32));
    rig.compile(compiler::ChipLayout::Single);
    QCOMPARE(lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(*rig.window, "路数")->text(),
             QStringLiteral("40"));  // kept: shorter lines are padded
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "每帧字节数")->text(), QStringLiteral("5"));
    QCOMPARE(fileBytes(rig.binDir() + QStringLiteral("/单IC正.bin")).size(), 25);

    rig.window->close();
    QCOMPARE(lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(*rig.window, "路数")->text(),
             QStringLiteral("路数"));
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "每帧字节数")->text(),
             QStringLiteral("每帧字节数"));
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "集成块个数")->text(),
             QStringLiteral("集成块个数"));

    rig.compile(compiler::ChipLayout::Single);
    QCOMPARE(lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(*rig.window, "路数")->text(),
             QStringLiteral("32"));
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "每帧字节数")->text(), QStringLiteral("4"));
    QVERIFY(rig.window->isVisible());
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  void hundredLinesOfForty() {
    Rig rig;
    rig.program(lines(100, 40));
    rig.compile(compiler::ChipLayout::Single);
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "行")->text(), QStringLiteral("100"));
    QCOMPARE(lumafex::testing::child<QTextEdit>(*rig.window, "Text1")->font().pointSizeF(), 14.0);
    QCOMPARE(fileBytes(rig.binDir() + QStringLiteral("/单IC正.bin")).size(), 500);
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  // --- The result box ---

  void resultFontFollowsChannelCount_data() {
    QTest::addColumn<QString>("channels");
    QTest::addColumn<double>("points");  // 0: the font stays as it was
    QTest::newRow("40 channels") << QStringLiteral("40") << 14.0;
    QTest::newRow("28 channels") << QStringLiteral("28") << 20.0;
    QTest::newRow("leading number") << QStringLiteral("35路") << 16.0;
    QTest::newRow("few channels kept readable") << QStringLiteral("4") << OutputWindow::kMaxResultPoints;
    QTest::newRow("many channels kept readable") << QStringLiteral("300") << OutputWindow::kMinResultPoints;
    QTest::newRow("initial text") << QStringLiteral("路数") << 0.0;
    QTest::newRow("zero") << QStringLiteral("0") << 0.0;
    QTest::newRow("negative") << QStringLiteral("-16") << 0.0;
  }
  void resultFontFollowsChannelCount() {
    QFETCH(QString, channels);
    QFETCH(double, points);
    Rig rig;
    OutputWindow& window = *rig.window;
    lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(window, "路数")
        ->setText(QStringLiteral("56"));
    QCOMPARE(lumafex::testing::child<QTextEdit>(window, "Text1")->font().pointSizeF(), 10.0);
    lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(window, "路数")->setText(channels);
    QCOMPARE(lumafex::testing::child<QTextEdit>(window, "Text1")->font().pointSizeF(),
             points > 0 ? points : 10.0);
  }

  void blanksShownAsUnderscores() {
    Rig rig;
    rig.program("X X \r\n    \r\n");
    rig.bufferOnly();
    QCOMPARE(lumafex::testing::child<QTextEdit>(*rig.window, "Text1")->toPlainText(),
             QStringLiteral("X_X_\n____\n"));
    QCOMPARE(fileBytes(rig.bufferPath()), QByteArray("X X \r\n    \r\n"));
  }

  void caretRowAndColumn_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("column");
    QTest::newRow("start") << 0 << QStringLiteral("1") << QStringLiteral("0");
    QTest::newRow("inside the first line") << 3 << QStringLiteral("1") << QStringLiteral("3");
    QTest::newRow("end of the first line") << 4 << QStringLiteral("1") << QStringLiteral("4");
    QTest::newRow("start of the second line") << 5 << QStringLiteral("2") << QStringLiteral("0");
    QTest::newRow("inside the second line") << 8 << QStringLiteral("2") << QStringLiteral("3");
    QTest::newRow("after the last line end") << 11 << QStringLiteral("3") << QStringLiteral("0");
  }
  void caretRowAndColumn() {
    QFETCH(int, position);
    QFETCH(QString, row);
    QFETCH(QString, column);
    Rig rig;
    rig.program("XX X\r\nX XXX\r\n");
    rig.bufferOnly();
    QTextCursor caret = lumafex::testing::child<QTextEdit>(*rig.window, "Text1")->textCursor();
    caret.setPosition(position);
    lumafex::testing::child<QTextEdit>(*rig.window, "Text1")->setTextCursor(caret);
    rig.window->求行数();
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "行")->text(), row);
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "列")->text(), column);
  }

  void keysInResultBoxShowTheCaret() {
    Rig rig;
    rig.program("XX X\r\nX XXX\r\nXX\r\n");
    rig.bufferOnly();
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    lumafex::testing::child<QTextEdit>(*rig.window, "Text1")->setFocus();
    QTest::keyClick(lumafex::testing::child<QTextEdit>(*rig.window, "Text1"), Qt::Key_Down);
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "行")->text(), QStringLiteral("2"));
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "列")->text(), QStringLiteral("0"));
    QTest::keyClick(lumafex::testing::child<QTextEdit>(*rig.window, "Text1"), Qt::Key_End);
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "行")->text(), QStringLiteral("2"));
    QCOMPARE(lumafex::testing::child<QLabel>(*rig.window, "列")->text(), QStringLiteral("5"));
  }

  // --- Progress and responsiveness ---

  void progressBarReachesRowCount() {
    Rig rig;
    rig.program(lines(3000, 16));
    rig.compile(compiler::ChipLayout::PerEightChannels);
    QCOMPARE(lumafex::testing::child<lumafex::controls::AdjustableBar>(*rig.window, "进度条")->maximum(),
             3000);
    QCOMPARE(lumafex::testing::child<lumafex::controls::AdjustableBar>(*rig.window, "进度条")->value(),
             3000.0);
    CHECK_NO_STRAY_QUESTIONS(rig);
  }

  void windowEventsRunDuringALongWrite() {
    Rig rig;
    rig.program(lines(3000, 16));
    // A timer of the window's keeps looking at the bar while the images are written.
    std::vector<double> seen;
    QTimer look;
    look.setInterval(0);
    QObject::connect(&look, &QTimer::timeout, [&] {
      seen.push_back(
          lumafex::testing::child<lumafex::controls::AdjustableBar>(*rig.window, "进度条")->value());
    });
    look.start();
    rig.compile(compiler::ChipLayout::Single);
    look.stop();
    QVERIFY(std::any_of(seen.begin(), seen.end(), [](double v) { return v > 1 && v < 3000; }));
    QCOMPARE(lumafex::testing::child<lumafex::controls::AdjustableBar>(*rig.window, "进度条")->value(),
             3000.0);
  }

  // --- The command ---

  void emptyBoardDoesNothing() {
    Rig rig;
    rig.boardEmpty = true;
    rig.sync();
    rig.program(lines(5, 8));
    lumafex::testing::child<QRadioButton>(*rig.window, "输出单集成块")->setChecked(true);
    lumafex::testing::child<lumafex::controls::VelarnButton>(*rig.window, "编译")->click();
    QVERIFY(rig.dialogs.asked.empty());
    QCOMPARE(rig.stopCalls, 0);
    QVERIFY(!QFile::exists(rig.bufferPath()));
    QVERIFY(!QDir(rig.binDir()).exists());
    QVERIFY(!rig.window->isVisible());
    QCOMPARE(lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(*rig.window, "路数")->text(),
             QStringLiteral("路数"));
  }

  void controlsCarryTheirNamesAndFit() {
    Rig rig;
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    OutputWindow& w = *rig.window;
    QCOMPARE(w.objectName(), QStringLiteral("输出窗体"));
    for (const char* name : {"路数", "行", "列", "每帧字节数", "集成块个数", "Label2"}) {
      QVERIFY2(w.findChild<QLabel*>(QString::fromUtf8(name)) != nullptr, name);
    }
    QVERIFY(w.findChild<QTextEdit*>(QStringLiteral("Text1")) != nullptr);
    QVERIFY(w.findChild<QTextEdit*>(QStringLiteral("Text2")) != nullptr);
    QVERIFY(w.findChild<lumafex::controls::VelarnButton*>(QStringLiteral("编译")) != nullptr);
    QVERIFY(w.findChild<lumafex::controls::AdjustableBar*>(QStringLiteral("进度条")) != nullptr);
    QCOMPARE(lumafex::testing::child<QRadioButton>(w, "输出多集成块")->text(),
             QStringLiteral("输出多集成块（每8路一IC）"));
    // Every caption is shown whole at the window's own size, before and after a compile.
    const auto checkFit = [&] {
      for (QWidget* widget : std::initializer_list<QWidget*>{
               lumafex::testing::child<lumafex::compiler::ChannelCountLabel>(w, "路数"),
               lumafex::testing::child<QLabel>(w, "行"), lumafex::testing::child<QLabel>(w, "列"),
               lumafex::testing::child<QLabel>(w, "bytesCaption"),
               lumafex::testing::child<QLabel>(w, "每帧字节数"),
               lumafex::testing::child<QLabel>(w, "chipsCaption"),
               lumafex::testing::child<QLabel>(w, "集成块个数"), lumafex::testing::child<QLabel>(w, "Label2"),
               lumafex::testing::child<QRadioButton>(w, "输出单集成块"),
               lumafex::testing::child<QRadioButton>(w, "输出多集成块"),
               lumafex::testing::child<lumafex::controls::VelarnButton>(w, "编译")}) {
        QVERIFY2(widget->width() >= widget->sizeHint().width(), qPrintable(widget->objectName()));
        QVERIFY2(widget->height() >= widget->minimumSizeHint().height(), qPrintable(widget->objectName()));
      }
    };
    checkFit();
    rig.program(lines(60, 40));
    rig.compile(compiler::ChipLayout::PerEightChannels);
    QTest::qWait(0);
    checkFit();
    CHECK_NO_STRAY_QUESTIONS(rig);
    if (qEnvironmentVariableIsSet("LUMAFEX_SHOT")) w.grab().save(qEnvironmentVariable("LUMAFEX_SHOT"));
  }
};

QTEST_MAIN(OutputWindowTest)
#include "OutputWindowTest.moc"
