// The artwork lit as the chip drives it: one frame of the sample's artwork composed at 1920 × 1080
// with glow (the dark layer and every channel's glow made once, a frame only adds the lit
// channels), what making those layers costs, and the sample's 394 steps written as an H.264 MP4
// at 1280 × 720.
//
//   lumafex-bench-artwork [--benchmark_filter=…]   (taskset -c 0 for one core)

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "core/app/ProjectPaths.h"
#include "core/platform/TextFile.h"
#include "render/QtStrings.h"
#include "render/artwork/ArtworkExport.h"
#include "render/artwork/ArtworkRenderer.h"

using namespace lumafex;

namespace {

const render::ArtworkAnimation& sample() {
  static const render::ArtworkAnimation animation = [] {
    const auto file = platform::pathFromUtf8(LUMAFEX_SOURCE_DIR "/data/Velarn工作室.hs");
    static auto project = render::readProject(file);
    if (!project) {
      std::fprintf(stderr, "%s\n", project.error().c_str());
      std::exit(1);
    }
    render::AnimationSource source;
    source.project = &*project;
    source.projectFile = file;
    source.projectDirectory = app::projectDirectory(file);
    auto a = render::artworkAnimationOf(source);
    if (!a) {
      std::fprintf(stderr, "%s\n", a.error().c_str());
      std::exit(1);
    }
    return std::move(*a);
  }();
  return animation;
}

// The lit channels of every step of the sample.
std::vector<std::vector<bool>> everyStep() {
  const auto& a = sample();
  render::StepPlayer player(a.animation);
  std::vector<std::vector<bool>> lit;
  for (long k = 1; k <= player.stepCount(); ++k)
    lit.push_back(render::chipChannelsOf(a.scene->layout, player.at(k)));
  return lit;
}

void frameWithGlow1080(benchmark::State& state) {
  const render::ArtworkRenderer renderer(*sample().scene, QSize(1920, 1080));
  const auto steps = everyStep();
  std::vector<bool> all(steps.front().size(), true);
  QImage frame;
  std::size_t k = 0;
  for (auto _ : state) {
    renderer.render(frame, state.range(0) ? all : steps[k++ % steps.size()]);
    benchmark::DoNotOptimize(frame.constBits());
  }
}
BENCHMARK(frameWithGlow1080)->Arg(0)->Arg(1)->ArgName("everyChannelLit")->Unit(benchmark::kMillisecond);

void layersAndGlow1080(benchmark::State& state) {
  for (auto _ : state) {
    const render::ArtworkRenderer renderer(*sample().scene, QSize(1920, 1080));
    benchmark::DoNotOptimize(renderer.darkLayer().constBits());
  }
}
BENCHMARK(layersAndGlow1080)->Unit(benchmark::kMillisecond)->Iterations(3);

void sampleToMp4At720(benchmark::State& state) {
  QTemporaryDir dir;
  const auto file = platform::pathFromUtf8(platform::us(dir.filePath(QStringLiteral("sample.mp4"))));
  render::ExportOptions options;
  options.scale = 1280.0 / sample().scene->document.size().width();
  for (auto _ : state) {
    const auto r = render::exportArtworkMp4(sample(), options, render::kDefaultVideoFps, file);
    if (!r.ok) state.SkipWithError(r.message.c_str());
    state.counters["frames"] = static_cast<double>(r.frames);
  }
  state.counters["steps"] = static_cast<double>(sample().animation.steps.size());
}
BENCHMARK(sampleToMp4At720)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication qt(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
