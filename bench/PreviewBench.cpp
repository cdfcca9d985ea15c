// The previews under the fastest timed run: a horizontal (1200 x 300) and a vertical (300 x 900)
// preview, 300 channels in 10 rows with two colours, shown a step of a real two-colour effect every
// millisecond for a few seconds, as the design window's timer does at its top speed. Reports how
// many steps reached the previews per second and how long the canvases took to paint.
//
//   lumafex-bench-preview [seconds]

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "patterns/Catalogue.h"
#include "preview/PreviewWindow.h"
#include "preview/SignCanvas.h"

using namespace lumafex;

namespace {

constexpr int kChannels = 300;
constexpr int kRows = 10;
constexpr int kColours = 2;
constexpr long kMaxBurst = 20;

std::vector<QString> effectSteps() {
  patterns::StepWriter out;
  for (const char* name : {"D7", "D1", "S1"}) {
    const patterns::GeneratorRef* generator = patterns::findGenerator(name);
    if (generator && patterns::runGenerator(*generator, kChannels, kColours, out) && out.lineCount() > 0)
      break;
  }
  std::vector<QString> steps;
  for (const std::string& line : out.lines())
    steps.push_back(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
  if (steps.empty()) steps.push_back(QString(kChannels, QLatin1Char('X')));
  return steps;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const double seconds = argc > 1 ? std::max(0.5, std::atof(argv[1])) : 3.0;

  const std::vector<QString> steps = effectSteps();

  preview::SignStyle style;
  style.columns = kChannels;
  style.rows = kRows;
  style.colours = kColours;
  preview::TitleStyle title;
  title.text = QStringLiteral("Velarn工作室");
  title.size = 28;

  preview::PreviewWindow horizontal(preview::Orientation::Horizontal);
  preview::PreviewWindow vertical(preview::Orientation::Vertical);
  horizontal.resize(1200, 300);
  vertical.resize(300, 900);
  vertical.move(1210, 0);
  for (preview::PreviewWindow* window : {&horizontal, &vertical}) {
    window->setSignStyle(style);
    window->show();
    window->layOutLamps();
    window->showTitle(title, QString());
  }
  app.processEvents();
  horizontal.Picture1->resetPaintStatistics();
  vertical.Picture1->resetPaintStatistics();

  // One step on both previews, the counters and the title, as the design window's timer draws a
  // step.
  std::size_t next = 0;
  long shown = 0;
  auto showNextStep = [&] {
    const QString& step = steps[next];
    next = (next + 1) % steps.size();
    ++shown;
    horizontal.setStep(horizontal.step() + 1);
    vertical.setStep(horizontal.step());
    horizontal.showStep(step);
    vertical.showStep(step);
    horizontal.showTitle(title, QString());
    vertical.showTitle(title, QString());
  };

  // Runs a 1 ms timer for `seconds`; returns the steps shown per second. One step per tick falls
  // short of 1000 by what the timer itself loses: Qt rounds every wait up to a whole millisecond,
  // so the ticks drift late and every so often one is dropped, with an empty handler too. Paced by
  // the clock, a tick shows every step that has fallen due since the last one, so the steps keep
  // to one per millisecond as long as the previews keep up.
  auto run = [&](bool pacedByClock) {
    shown = 0;
    long skipped = 0;
    horizontal.Picture1->resetPaintStatistics();
    vertical.Picture1->resetPaintStatistics();
    QElapsedTimer clock;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      if (!pacedByClock) {
        showNextStep();
        return;
      }
      const long due = static_cast<long>(clock.nsecsElapsed() / 1000000);
      // After a stall the run goes on from now rather than rushing through all it missed; the
      // steps given up count as not shown.
      skipped = std::max(skipped, due - shown - kMaxBurst);
      while (shown + skipped < due) showNextStep();
    });
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, [&] {
      ticker.stop();
      loop.quit();
    });
    clock.start();
    ticker.start();
    loop.exec();
    return static_cast<double>(shown) / (static_cast<double>(clock.nsecsElapsed()) / 1e9);
  };

  const double perTick = run(false);
  std::printf("one step per timer tick: %.0f steps per second\n", perTick);
  const double paced = run(true);

  // The canvases rendered directly, without the event loop, for comparison.
  QElapsedTimer direct;
  direct.start();
  constexpr int kDirect = 200;
  for (int i = 0; i < kDirect; ++i) {
    horizontal.showStep(steps[static_cast<std::size_t>(i) % steps.size()]);
    (void)horizontal.renderCanvas();
  }
  const double directMs = static_cast<double>(direct.nsecsElapsed()) / 1e6 / kDirect;

  const auto h = horizontal.Picture1->paintStatistics();
  const auto v = vertical.Picture1->paintStatistics();
  const qint64 paints = h.paints + v.paints;
  const double meanPaintMs =
      paints > 0 ? static_cast<double>(h.nanoseconds + v.nanoseconds) / 1e6 / static_cast<double>(paints) : 0;
  std::printf("effect: %zu steps of %d channels, %d rows, %d colours; %.1f s per run\n", steps.size(),
              kChannels, kRows, kColours, seconds);
  std::printf("paints: horizontal %lld, vertical %lld; horizontal canvas rendered directly: %.3f ms\n",
              static_cast<long long>(h.paints), static_cast<long long>(v.paints), directMs);
  std::printf("steps per second: %.0f of 1000 asked; mean paint ms: %.3f\n", paced, meanPaintMs);
  return 0;
}
