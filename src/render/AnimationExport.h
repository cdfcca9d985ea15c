#pragma once
// The sign as a moving picture: the sequence the chip will show (the hand-edited sequence when the
// project has one, otherwise the total program as 生成TXT文件 assembles it), step by step with the
// title in the state the title effect gives it, drawn as one preview draws it. Written as an
// animated GIF playing at the project's speed, or one step as a PNG picture.

#include <QPoint>
#include <QSize>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/design/Project.h"
#include "core/design/TitleEffect.h"
#include "core/platform/Result.h"
#include "render/SignFrame.h"

namespace lumafex::render {

// Viewers play frames shorter than this (hundredths of a second) far slower than asked.
inline constexpr int kShortestFrameDelay = 2;
// The scale factors offered, and the largest frame drawn (pixels).
inline constexpr double kMinScale = 0.1;
inline constexpr double kMaxScale = 10.0;
inline constexpr int kMaxFrameSide = 8192;
inline constexpr long long kMaxFramePixels = 16LL * 1024 * 1024;

// One frame of the animation: the step it shows (1-based) and how long, in hundredths of a second.
struct FrameTiming {
  long step = 0;
  int delay = 0;
};

// The frames for steps first … last shown `msPerStep` milliseconds each. Step i starts at its own
// time, rounded down to hundredths; every step is a frame while that gives frames of at least
// kShortestFrameDelay, and faster steps are merged: a frame then shows the step due at its start
// and lasts until the next frame, so the animation keeps the sign's real speed.
std::vector<FrameTiming> frameTimings(long first, long last, int msPerStep);

// The canvas (pixels) of a preview whose window has the size the project record keeps.
QSize recordedCanvas(const design::ProjectSettings& settings, preview::Orientation orientation);

// What an export plays.
struct Animation {
  SignScene scene;
  std::shared_ptr<const std::string> text;  // the sequence's bytes, shared by copies
  std::vector<std::string_view> steps;      // its step lines, within `text`
  int channels = 0;                         // N: the tube characters at the start of a line
  bool imageChannels = false;               // tubes and images both on: the characters after N light images
  int imageCount = 0;
  bool tubesOn = true;
  bool logosOn = false;
  bool imagesOn = false;
  bool titleEffectOn = false;  // the preview's 启用标题花式
  std::string titleEffect;     // "mask<step>" lines (UTF-8)
  int msPerStep = 50;
};

// Where an animation comes from.
struct AnimationSource {
  const design::Project* project = nullptr;
  std::filesystem::path projectFile;
  std::filesystem::path projectDirectory;
  preview::Orientation orientation = preview::Orientation::Horizontal;
  // The open preview's canvas and title start (twips); without them the sizes the record keeps,
  // the title position file and the centred title.
  std::optional<QSize> canvas;
  std::optional<QPoint> titleStart;
  // The pictures already loaded; otherwise they are read from the project directory.
  std::shared_ptr<const preview::SignPictureSet> pictures;
  // The sequence when the caller already holds it apart from the project (a manual file moved
  // out of a project read only for this); otherwise it comes from the project.
  std::shared_ptr<const std::string> sequence;
};

// A project read from its files as the desktop program opens it, or the message why it cannot be.
Result<design::Project> readProject(const std::filesystem::path& projectFile);

// The animation of a project, or the message why it has none.
Result<Animation> animationOf(const AnimationSource& source);

// Walks the steps of an animation, keeping the title state: a mask of the title effect holds
// from its step until the next one; before the first the whole title is lit.
class StepPlayer {
 public:
  explicit StepPlayer(const Animation& animation);
  long stepCount() const { return static_cast<long>(animation_.steps.size()); }
  // Step k (1-based, within 1 … stepCount()). Cheapest when the steps are asked in order.
  SignStep at(long k);

 private:
  const Animation& animation_;
  design::TitleMasks masks_;
  long position_ = 0;
  QString titleState_;
  QString tubes_;
};

struct ExportOptions {
  long from = 1;  // first step, 1-based
  long to = 0;    // last step; 0 or beyond the end: the last step
  double scale = 1.0;
};

// Called as the work goes on with the part done of the whole (two passes over the frames, the
// colours and then the frames themselves); false cancels.
using Progress = std::function<bool(long done, long total)>;

struct ExportResult {
  bool ok = false;
  bool cancelled = false;
  std::string message;
  long frames = 0;
  int delay = 0;  // the delay of the first frame (hundredths)
  std::string bytes;
};

// The steps from … to checked against the animation: the range, or the message.
Result<std::pair<long, long>> stepRange(const Animation& animation, long from, long to);

// The GIF of steps from … to in memory.
ExportResult renderGif(const Animation& animation, const ExportOptions& options,
                       const Progress& progress = {});
// The same written to `file` (replaced only when the whole animation was made).
ExportResult exportGif(const Animation& animation, const ExportOptions& options,
                       const std::filesystem::path& file, const Progress& progress = {});
// Step `step` as a PNG picture.
Status exportPng(const Animation& animation, long step, double scale, const std::filesystem::path& file);

}  // namespace lumafex::render
