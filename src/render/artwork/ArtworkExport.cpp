#include "render/artwork/ArtworkExport.h"

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <map>

#include "core/artwork/ChipFrame.h"
#include "core/compiler/OutputBuffer.h"
#include "core/design/TitleEffect.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"
#include "render/GifWriter.h"
#include "render/Mp4Writer.h"
#include "render/QtStrings.h"
#include "render/artwork/ArtworkRenderer.h"

namespace lumafex::render {

namespace fs = std::filesystem;

Result<ArtworkAnimation> artworkAnimationOf(const AnimationSource& source) {
  auto animation = animationOf(source);
  if (!animation) return Result<ArtworkAnimation>::fail(animation.error());
  const design::ProjectSettings& s = source.project->settings;
  // The title channels change as the chip's do: with the title effect when a compile merges it.
  compiler::BufferInput merge;
  merge.title = s.title;
  merge.titleEffect = source.project->titleEffect;
  merge.horizontalShown = s.showHorizontal == 1;
  merge.horizontalTitleEffect = s.horizontalTitleEffect == 1;
  merge.verticalShown = s.showVertical == 1;
  merge.verticalTitleEffect = s.verticalTitleEffect == 1;
  animation->titleEffectOn = compiler::titleMerged(merge) && source.project->titleEffectProblem.empty();
  const int imageChannels = animation->imageChannels ? animation->imageCount : 0;
  const int titleCharacters =
      static_cast<int>(platform::utf8Length(platform::us(animation->scene.title.text)));
  auto scene = loadArtworkScene(source.projectDirectory, channelLayoutOf(s, imageChannels, titleCharacters));
  if (!scene) return Result<ArtworkAnimation>::fail(scene.error());
  ArtworkAnimation a;
  a.animation = std::move(*animation);
  a.scene = std::make_shared<const ArtworkScene>(std::move(*scene));
  return Result<ArtworkAnimation>::ok(std::move(a));
}

std::vector<bool> chipChannelsOf(const ChannelLayout& layout, std::string_view line,
                                 const QString& titleState) {
  std::string title;
  if (titleState.isEmpty()) {
    title.assign(static_cast<std::size_t>(layout.titleChannels), 'X');
  } else {
    title = design::maskChannels(platform::us(titleState));
    title.resize(static_cast<std::size_t>(layout.titleChannels), ' ');
  }
  return artwork::chipFrame(line, static_cast<std::size_t>(std::max(0, layout.lineChannels)), title);
}

std::vector<bool> chipChannelsOf(const ChannelLayout& layout, const SignStep& step) {
  return chipChannelsOf(layout, step.line, step.titleState);
}

QSize artworkFrameSize(const ArtworkScene& scene, double scale) {
  const QSize size = scene.document.size();
  return QSize(std::max(1, static_cast<int>(std::lround(size.width() * scale))),
               std::max(1, static_cast<int>(std::lround(size.height() * scale))));
}

Status checkArtworkScale(const ArtworkScene& scene, double scale) {
  if (!(scale >= kMinScale && scale <= kMaxScale)) return Status::fail("缩放比例应在0.1到10之间。");
  const QSize size = artworkFrameSize(scene, scale);
  if (size.width() > kMaxFrameSide || size.height() > kMaxFrameSide ||
      static_cast<long long>(size.width()) * size.height() > kMaxFramePixels) {
    return Status::fail("画面太大（" + std::to_string(size.width()) + "×" + std::to_string(size.height()) +
                        "）。");
  }
  return success();
}

Status exportArtworkPng(const ArtworkAnimation& a, long step, double scale, const fs::path& file) {
  const auto range = stepRange(a.animation, step, step);
  if (!range) return Status::fail(range.error());
  if (auto s = checkArtworkScale(*a.scene, scale); !s) return s;
  const ArtworkRenderer renderer(*a.scene, artworkFrameSize(*a.scene, scale));
  StepPlayer player(a.animation);
  const QImage image = renderer.render(chipChannelsOf(a.scene->layout, player.at(step)));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return Status::fail("PNG图片不能生成。");
  return platform::writeBytesSafely(
      file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

namespace {

ExportResult failed(std::string message) {
  ExportResult r;
  r.message = std::move(message);
  return r;
}

}  // namespace

ExportResult exportArtworkGif(const ArtworkAnimation& a, const ExportOptions& options, const fs::path& file,
                              const Progress& progress) {
  const auto range = stepRange(a.animation, options.from, options.to);
  if (!range) return failed(range.error());
  if (auto s = checkArtworkScale(*a.scene, options.scale); !s) return failed(s.error());
  const ArtworkRenderer renderer(*a.scene, artworkFrameSize(*a.scene, options.scale));
  const auto timings = frameTimings(range->first, range->second, a.animation.msPerStep);
  const long total = static_cast<long>(timings.size());
  ExportResult r;
  const auto cancelled = [&](long done) {
    if (!progress || progress(done, 2 * total)) return false;
    r.cancelled = true;
    r.message = "已取消。";
    return true;
  };
  // The colours of every different frame first, for one palette (glow has many shades: the most
  // used stay exact, median cut shares out the rest).
  std::vector<std::vector<bool>> lit;
  lit.reserve(timings.size());
  {
    StepPlayer player(a.animation);
    for (const FrameTiming& t : timings) lit.push_back(chipChannelsOf(a.scene->layout, player.at(t.step)));
  }
  GifPalette::Counter counter;
  std::map<std::vector<bool>, bool> seen;
  QImage image;
  for (long i = 0; i < total; ++i) {
    if (seen.emplace(lit[static_cast<std::size_t>(i)], true).second) {
      renderer.render(image, lit[static_cast<std::size_t>(i)]);
      counter.add(image);
    }
    if (cancelled(i + 1)) return r;
  }
  GifWriter writer(renderer.size(), counter.palette());
  for (long i = 0; i < total; ++i) {
    renderer.render(image, lit[static_cast<std::size_t>(i)]);
    if (auto s = writer.addFrame(image, timings[static_cast<std::size_t>(i)].delay); !s)
      return failed(s.error());
    if (cancelled(total + i + 1)) return r;
  }
  auto bytes = writer.finish();
  if (!bytes) return failed(bytes.error());
  if (auto s = platform::writeBytesSafely(file, *bytes); !s) return failed(s.error());
  r.ok = true;
  r.frames = total;
  r.delay = timings.front().delay;
  r.bytes = std::move(*bytes);
  return r;
}

long videoFrameCount(long steps, int msPerStep, int fps) {
  const long long ms = static_cast<long long>(std::max(0L, steps)) * std::max(1, msPerStep);
  return static_cast<long>(std::max<long long>(1, (ms * fps + 500) / 1000));
}

ExportResult exportArtworkMp4(const ArtworkAnimation& a, const ExportOptions& options, int fps,
                              const fs::path& file, const Progress& progress) {
  const auto range = stepRange(a.animation, options.from, options.to);
  if (!range) return failed(range.error());
  if (auto s = checkArtworkScale(*a.scene, options.scale); !s) return failed(s.error());
  const QSize size = artworkFrameSize(*a.scene, options.scale);
  auto writer = Mp4Writer::open(file, size, fps);
  if (!writer) return failed(writer.error());
  const ArtworkRenderer renderer(*a.scene, size);
  const long steps = range->second - range->first + 1;
  const long long ms = std::max(1, a.animation.msPerStep);
  const long total = videoFrameCount(steps, a.animation.msPerStep, fps);
  StepPlayer player(a.animation);
  QImage image;
  std::vector<bool> shown;
  ExportResult r;
  for (long f = 0; f < total; ++f) {
    // The step due at f / fps seconds.
    const long due =
        static_cast<long>(std::min<long long>(steps - 1, static_cast<long long>(f) * 1000 / (fps * ms)));
    std::vector<bool> lit = chipChannelsOf(a.scene->layout, player.at(range->first + due));
    const bool changed = f == 0 || lit != shown;
    if (changed) {
      renderer.render(image, lit);
      shown = std::move(lit);
    }
    if (auto s = (*writer)->addFrame(image, changed); !s) return failed(s.error());
    if (progress && !progress(f + 1, total)) {
      r.cancelled = true;
      r.message = "已取消。";
      return r;
    }
  }
  if (auto s = (*writer)->finish(); !s) return failed(s.error());
  r.ok = true;
  r.frames = total;
  r.delay = static_cast<int>(100 / fps);
  return r;
}

}  // namespace lumafex::render
