// The animation export of the sample project: its 394 steps (64 channels, two colours, the title
// with its title effect) drawn by the frame renderer and written as an animated GIF in memory, best
// of a few runs. Prints the frames per second of the whole export and of its parts.
//
//   lumafex-bench-render [PROJECT.hs] [runs]

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "BenchTiming.h"
#include "core/app/ProjectPaths.h"
#include "core/platform/TextFile.h"
#include "render/AnimationExport.h"
#include "render/GifWriter.h"
#include "render/SignFrame.h"

using namespace lumafex;

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication qt(argc, argv);
  const std::string file = argc > 1 ? argv[1] : LUMAFEX_SOURCE_DIR "/data/Velarn工作室.hs";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

  const auto projectFile = platform::pathFromUtf8(file);
  auto project = render::readProject(projectFile);
  if (!project) {
    std::fprintf(stderr, "%s\n", project.error().c_str());
    return 1;
  }
  render::AnimationSource source;
  source.project = &*project;
  source.projectFile = projectFile;
  source.projectDirectory = app::projectDirectory(projectFile);
  auto animation = render::animationOf(source);
  if (!animation) {
    std::fprintf(stderr, "%s\n", animation.error().c_str());
    return 1;
  }
  const long steps = static_cast<long>(animation->steps.size());

  // Drawing alone.
  render::SignFrame frame(animation->scene);
  QImage image;
  const double drawing = bench::bestSeconds(runs, [&] {
    render::StepPlayer player(*animation);
    for (long k = 1; k <= steps; ++k) frame.render(image, player.at(k));
  });

  // The whole export.
  render::ExportResult result;
  const double whole = bench::bestSeconds(runs, [&] { result = render::renderGif(*animation, {}); });
  if (!result.ok) {
    std::fprintf(stderr, "%s\n", result.message.c_str());
    return 1;
  }
  std::printf("sign %dx%d, %ld steps, %d channels\n", animation->scene.canvas.width(),
              animation->scene.canvas.height(), steps, animation->channels);
  std::printf("drawing only:      %8.0f frames/s (%.3f ms a frame)\n", steps / drawing,
              1000.0 * drawing / steps);
  std::printf("export to GIF:     %8.0f frames/s (%.3f ms a frame), %ld frames, %zu bytes\n",
              result.frames / whole, 1000.0 * whole / result.frames, result.frames, result.bytes.size());
  return 0;
}
