#include "render/AnimationExport.h"

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>

#include "core/app/ProjectPaths.h"
#include "core/compiler/EpromImages.h"
#include "core/compiler/ProjectCompile.h"
#include "core/design/Playback.h"
#include "core/design/Rules.h"
#include "core/design/TitlePosition.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/TextFile.h"
#include "core/platform/Twips.h"
#include "core/preview/PreviewGeometry.h"
#include "render/GifWriter.h"
#include "render/QtStrings.h"

namespace lumafex::render {

namespace fs = std::filesystem;

namespace {

int windowPixels(double twips) {
  // A size no screen has (a hostile record) is held to what a frame may be.
  const double bounded = std::clamp(twips, preview::kMinimumPreviewTwips, platform::toTwips(kMaxFrameSide));
  return platform::toPixels(bounded);
}

std::optional<QPoint> titlePositionFromFile(const fs::path& file) {
  const auto start = design::readTitlePosition(file);
  if (!start) return std::nullopt;
  return QPoint(static_cast<int>(start->x), static_cast<int>(start->y));
}

using Text = std::shared_ptr<const std::string>;

Result<Text> sequenceOf(const AnimationSource& source) {
  const design::Project& project = *source.project;
  if (source.sequence) return Result<Text>::ok(source.sequence);
  if (project.manualText) return Result<Text>::ok(std::make_shared<const std::string>(*project.manualText));
  if (project.board.empty()) return Result<Text>::fail("请先选择花式到编程板。");
  compiler::ProjectInputs inputs;
  inputs.settings = project.settings;
  inputs.board = project.board;
  inputs.projectFile = source.projectFile;
  inputs.projectDirectory = source.projectDirectory;
  inputs.imageCount = project.pictures.imageCount;
  auto input = compiler::assemblyInputOf(inputs);
  if (!input) return Result<Text>::fail(input.error());
  auto assembled = compiler::assembleTotalProgram(*input);
  if (assembled.tooLarge) return Result<Text>::fail(compiler::kProgramTooLargeMessage);
  return Result<Text>::ok(std::make_shared<const std::string>(std::move(assembled.bytes)));
}

}  // namespace

std::vector<FrameTiming> frameTimings(long first, long last, int msPerStep) {
  std::vector<FrameTiming> frames;
  if (first < 1 || last < first) return frames;
  const long long ms = std::max(1, msPerStep);
  const long long count = last - first + 1;
  // The time each step comes due, in hundredths of a second, rounded down.
  const auto due = [ms](long long i) { return i * ms / 10; };
  long long start = 0;
  frames.push_back({first, 0});
  for (long long i = 1; i < count; ++i) {
    const long long at = due(i);
    if (at - start < kShortestFrameDelay) continue;
    frames.back().delay = static_cast<int>(at - start);
    frames.push_back({first + static_cast<long>(i), 0});
    start = at;
  }
  long long last_ = due(count) - start;
  if (last_ < kShortestFrameDelay && frames.size() > 1) {
    // Too short a last frame: the one before it lasts to the end instead.
    frames.pop_back();
    last_ += frames.back().delay;
  }
  frames.back().delay = static_cast<int>(std::max<long long>(last_, kShortestFrameDelay));
  return frames;
}

QSize recordedCanvas(const design::ProjectSettings& s, preview::Orientation orientation) {
  const bool horizontal = orientation == preview::Orientation::Horizontal;
  const preview::PixelSize canvas =
      preview::canvasOfWindow(orientation, windowPixels(horizontal ? s.horizontalWidth : s.verticalWidth),
                              windowPixels(horizontal ? s.horizontalHeight : s.verticalHeight));
  return QSize(canvas.width, canvas.height).expandedTo(QSize(1, 1));
}

Result<design::Project> readProject(const fs::path& projectFile) {
  // The checks of a compile: a file that is not a project record is refused.
  auto inputs = compiler::loadProject(projectFile);
  if (!inputs) return Result<design::Project>::fail(inputs.error());
  design::Project project =
      design::openProjectFiles(inputs->projectFile, inputs->projectDirectory, design::Project{});
  project.settings.title = design::acceptedTitle(project.settings.title);
  design::keepOnePreview(project.settings);
  project.dirty = false;
  return Result<design::Project>::ok(std::move(project));
}

Result<Animation> animationOf(const AnimationSource& source) {
  if (!source.project) return Result<Animation>::fail("没有打开的工程。");
  const design::Project& project = *source.project;
  const design::ProjectSettings& s = project.settings;
  auto sequence = sequenceOf(source);
  if (!sequence) return Result<Animation>::fail(sequence.error());

  Animation a;
  a.text = std::move(*sequence);
  platform::forEachLine(*a.text, [&](std::string_view line) { a.steps.push_back(line); });
  if (a.steps.empty()) return Result<Animation>::fail("总程序中没有任何一步。");

  const bool horizontal = source.orientation == preview::Orientation::Horizontal;
  a.channels = design::columnsOf(s);
  a.tubesOn = s.tubesOn == 1;
  a.imagesOn = s.imagesOn == 1;
  a.logosOn = s.logosOn == 1;
  a.imageChannels = a.tubesOn && a.imagesOn;
  a.imageCount = project.pictures.imageCount;
  a.titleEffectOn = (horizontal ? s.horizontalTitleEffect : s.verticalTitleEffect) == 1;
  if (a.titleEffectOn && !project.titleEffectProblem.empty()) {
    return Result<Animation>::fail("标题花式不能读取（" + project.titleEffectProblem + "）。");
  }
  a.titleEffect = project.titleEffect;
  a.msPerStep = design::stepIntervalOf(s);

  SignScene& scene = a.scene;
  scene.orientation = source.orientation;
  scene.canvas =
      source.canvas ? source.canvas->expandedTo(QSize(1, 1)) : recordedCanvas(s, source.orientation);
  if (scene.canvas.width() > kMaxFrameSide || scene.canvas.height() > kMaxFrameSide) {
    return Result<Animation>::fail("画面太大。");
  }
  scene.style = design::signStyleOf(s);
  scene.title = design::titleStyleOf(s);
  scene.title.text = platform::qs(design::acceptedTitle(s.title));
  const QSizeF canvasTwips(platform::toTwips(scene.canvas.width()), platform::toTwips(scene.canvas.height()));
  QPoint start;
  if (source.titleStart) {
    start = *source.titleStart;
  } else if (const auto fromFile = titlePositionFromFile(
                 source.projectDirectory / platform::pathFromUtf8(horizontal
                                                                      ? app::kTitlePositionFile
                                                                      : app::kVerticalTitlePositionFile))) {
    start = *fromFile;
  } else {
    start = preview::TitleRenderer::centredStart(preview::TitleRenderer::widthUnits(scene.title.text),
                                                 scene.title.size, scene.title.spacing, canvasTwips,
                                                 source.orientation);
  }
  scene.titleStart = QPoint(platform::toPixels(start.x()), platform::toPixels(start.y()));
  scene.pictures = source.pictures;
  if (!scene.pictures && (a.logosOn || a.imagesOn) && !source.projectDirectory.empty()) {
    scene.pictures =
        std::make_shared<const preview::SignPictureSet>(preview::loadSignPictures(source.projectDirectory));
  }
  scene.logoBlocks = project.pictures.logos.on(source.orientation);
  scene.imageBlocks = project.pictures.images.on(source.orientation);
  return Result<Animation>::ok(std::move(a));
}

StepPlayer::StepPlayer(const Animation& animation)
    : animation_(animation), masks_(animation.titleEffect), titleState_(animation.scene.title.text) {}

SignStep StepPlayer::at(long k) {
  k = std::clamp(k, 1L, std::max(1L, stepCount()));
  if (k < position_) {
    position_ = 0;
    titleState_ = animation_.scene.title.text;
  }
  if (animation_.titleEffectOn) {
    for (long step = position_ + 1; step <= k; ++step) {
      if (const auto mask = masks_.find(step)) {
        titleState_ = platform::qs(
            design::titleStateOf(mask->mask, static_cast<std::size_t>(animation_.scene.title.text.size())));
      }
    }
  }
  position_ = k;
  const std::string_view line = animation_.steps[static_cast<std::size_t>(k - 1)];
  const design::StepParts parts = design::splitStep(line, animation_.channels, animation_.imageChannels);
  tubes_ = QString::fromLatin1(parts.tubes.data(), static_cast<qsizetype>(parts.tubes.size()));
  SignStep step;
  step.tubes = tubes_;
  step.line = line;
  step.pictures.logosOn = animation_.logosOn;
  step.pictures.imagesOn = animation_.imagesOn;
  if (animation_.imagesOn) {
    step.pictures.shownImages =
        design::imagesOfStep(parts.tubes, parts.images, animation_.imageCount, animation_.tubesOn);
  }
  step.titleState = titleState_;
  return step;
}

Result<std::pair<long, long>> stepRange(const Animation& animation, long from, long to) {
  const long count = static_cast<long>(animation.steps.size());
  const long last = to <= 0 || to > count ? count : to;
  if (from < 1 || from > count) {
    return Result<std::pair<long, long>>::fail("起始步" + std::to_string(from) + "不在1到" +
                                               std::to_string(count) + "之间。");
  }
  if (last < from) {
    return Result<std::pair<long, long>>::fail("结束步" + std::to_string(to) + "在起始步" +
                                               std::to_string(from) + "之前。");
  }
  return Result<std::pair<long, long>>::ok({from, last});
}

namespace {

Status checkScale(const SignFrame& frame, double scale) {
  if (!(scale >= kMinScale && scale <= kMaxScale)) return Status::fail("缩放比例应在0.1到10之间。");
  const QSize size = frame.frameSize(scale);
  if (size.width() > kMaxFrameSide || size.height() > kMaxFrameSide ||
      static_cast<long long>(size.width()) * size.height() > kMaxFramePixels) {
    return Status::fail("画面太大（" + std::to_string(size.width()) + "×" + std::to_string(size.height()) +
                        "）。");
  }
  return success();
}

// A step's drawing is decided by its tubes, its pictures and its title state: steps alike in all
// three look alike.
std::string lookOf(const SignStep& step) {
  std::string key = step.tubes.toLatin1().toStdString();
  key += '\x01';
  key += step.titleState.toStdString();
  key += '\x01';
  for (const bool shown : step.pictures.shownImages) key += shown ? '1' : '0';
  return key;
}

// The colours of every frame, counted by a first drawing of each different frame: the palette is
// then exact whenever the animation has no more colours than a GIF holds (a sign's lamps, its
// pictures and the smoothed edges of its title rarely have more).
std::optional<GifPalette> paletteOf(SignFrame& frame, const Animation& animation,
                                    const std::vector<FrameTiming>& timings, double scale,
                                    const std::function<bool(long)>& progress) {
  GifPalette::Counter counter;
  StepPlayer player(animation);
  std::unordered_set<std::string> seen;
  QImage image;
  long done = 0;
  for (const FrameTiming& t : timings) {
    const SignStep step = player.at(t.step);
    if (seen.insert(lookOf(step)).second) {
      frame.render(image, step, scale);
      counter.add(image);
    }
    if (!progress(++done)) return std::nullopt;
  }
  return counter.palette();
}

}  // namespace

ExportResult renderGif(const Animation& animation, const ExportOptions& options, const Progress& progress) {
  ExportResult r;
  const auto range = stepRange(animation, options.from, options.to);
  if (!range) {
    r.message = range.error();
    return r;
  }
  SignFrame frame(animation.scene);
  if (auto s = checkScale(frame, options.scale); !s) {
    r.message = s.error();
    return r;
  }
  const auto timings = frameTimings(range->first, range->second, animation.msPerStep);
  const long total = static_cast<long>(timings.size());
  // Two passes, the colours first and then the frames: each counts half of the work.
  const auto cancelled = [&](long done) {
    if (!progress || progress(done, 2 * total)) return false;
    r.cancelled = true;
    r.message = "已取消。";
    return true;
  };
  auto palette =
      paletteOf(frame, animation, timings, options.scale, [&](long done) { return !cancelled(done); });
  if (!palette) return r;
  GifWriter writer(frame.frameSize(options.scale), std::move(*palette));
  StepPlayer player(animation);
  QImage image;
  for (long i = 0; i < total; ++i) {
    const FrameTiming& t = timings[static_cast<std::size_t>(i)];
    frame.render(image, player.at(t.step), options.scale);
    if (auto s = writer.addFrame(image, t.delay); !s) {
      r.message = s.error();
      return r;
    }
    if (cancelled(total + i + 1)) return r;
  }
  auto bytes = writer.finish();
  if (!bytes) {
    r.message = bytes.error();
    return r;
  }
  r.ok = true;
  r.frames = total;
  r.delay = timings.front().delay;
  r.bytes = std::move(*bytes);
  return r;
}

ExportResult exportGif(const Animation& animation, const ExportOptions& options, const fs::path& file,
                       const Progress& progress) {
  ExportResult r = renderGif(animation, options, progress);
  if (!r.ok) return r;
  if (auto s = platform::writeBytesSafely(file, r.bytes); !s) {
    r.ok = false;
    r.message = s.error();
  }
  return r;
}

Status exportPng(const Animation& animation, long step, double scale, const fs::path& file) {
  const auto range = stepRange(animation, step, step);
  if (!range) return Status::fail(range.error());
  SignFrame frame(animation.scene);
  if (auto s = checkScale(frame, scale); !s) return s;
  StepPlayer player(animation);
  const QImage image = frame.render(player.at(step), scale);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return Status::fail("PNG图片不能生成。");
  return platform::writeBytesSafely(
      file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace lumafex::render
