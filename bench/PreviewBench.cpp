// The previews under the fastest timed run: the design window's own timer at one step per
// millisecond (speed slider at its top), 300 channels in 10 rows with two colours, both previews on
// (horizontal 1200 x 300, vertical 300 x 900), playing a real two-colour effect for a few seconds.
// Reports how many steps the design window showed per second and how long the canvases took to
// paint a frame.
//
//   lumafex-bench-preview [seconds]

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/platform/Dialogs.h"
#include "core/platform/SettingsStore.h"
#include "desktop/app/Application.h"
#include "desktop/app/MainWindow.h"
#include "desktop/controls/AdjustableBar.h"
#include "desktop/design/DesignWindow.h"
#include "desktop/preview/PreviewWindow.h"
#include "desktop/preview/SignCanvas.h"
#include "support/Widgets.h"

using namespace lumafex;

namespace {

// Nobody is there to answer: every question takes its first answer.
class Unattended : public platform::Dialogs {
 public:
  platform::Answer message(const std::string&, platform::Buttons buttons, platform::Answer) override {
    return buttons == platform::Buttons::Ok || buttons == platform::Buttons::OkCancel ? platform::Answer::Ok
                                                                                      : platform::Answer::Yes;
  }
  std::optional<std::string> input(const std::string&, const std::string&, const std::string& d) override {
    return d;
  }
  std::optional<std::string> openFile(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> saveFile(const std::string&, const std::string&, const std::string&,
                                      const std::string&) override {
    return std::nullopt;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  const double seconds = argc > 1 ? std::max(0.5, std::atof(argv[1])) : 3.0;

  QTemporaryDir root;
  platform::MemorySettings settings;
  settings.set("最后处理的工程名称", "");  // a run that is not the first: no shortcut request
  settings.set("最后处理的工程名称", "/none");
  Unattended dialogs;
  app::StartOptions options;
  options.applicationDirectory = root.path() + QStringLiteral("/app");
  options.temporaryDirectory = root.path() + QStringLiteral("/tmp");
  options.showSplash = false;
  app::Application application(dialogs, settings, options);
  if (!application.start()) return 1;

  auto& main = application.mainWindow();
  auto& design = application.designWindow();
  design.stopCommand();
  lumafex::testing::child<QTimer>(design, "定时显示总程序")->stop();
  main.resize(1600, 1400);
  main.setPreviewSwitches(true, true);
  main.showPreviews();
  lumafex::testing::child<QMdiSubWindow>(main, "verticalFrame")->resize(300, 900);
  lumafex::testing::child<QMdiSubWindow>(main, "horizontalFrame")->resize(1200, 300);
  main.调整尺寸();
  lumafex::testing::child<QLineEdit>(design, "列数")->setText(QStringLiteral("300"));
  lumafex::testing::child<QLineEdit>(design, "行数")->setText(QStringLiteral("10"));
  lumafex::testing::child<QComboBox>(design, "色数")->setCurrentIndex(1);
  lumafex::testing::child<lumafex::controls::AdjustableBar>(design, "速度调节")
      ->setValue(999);  // 1 ms per step
  lumafex::testing::child<QListWidget>(design, "List2")
      ->setCurrentRow(2);  // "3右扫_色彩混合": a sweep that fills every lamp
  QApplication::processEvents();

  auto& horizontal = application.horizontalPreview().canvas();
  auto& vertical = application.verticalPreview().canvas();
  horizontal.resetPaintStatistics();
  vertical.resetPaintStatistics();
  design.resetStepsShown();

  QEventLoop loop;
  QElapsedTimer clock;
  clock.start();
  QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
  loop.exec();
  const double elapsed = static_cast<double>(clock.elapsed()) / 1000.0;

  const double stepsPerSecond = static_cast<double>(design.stepsShown()) / elapsed;
  const auto h = horizontal.paintStatistics();
  const auto v = vertical.paintStatistics();
  const qint64 paints = h.paints + v.paints;
  const double meanPaintMs =
      paints > 0 ? static_cast<double>(h.nanoseconds + v.nanoseconds) / paints / 1e6 : 0;
  std::printf("timer interval: %d ms; canvases: %dx%d and %dx%d px; paints: %lld + %lld in %.1f s\n",
              lumafex::testing::child<QTimer>(design, "Timer1")->interval(), horizontal.width(),
              horizontal.height(), vertical.width(), vertical.height(), static_cast<long long>(h.paints),
              static_cast<long long>(v.paints), elapsed);
  std::printf("steps shown: %ld\n", design.stepsShown());
  std::printf("steps per second: %.0f of 1000 asked; mean paint ms: %.3f\n", stepsPerSecond, meanPaintMs);
  return 0;
}
