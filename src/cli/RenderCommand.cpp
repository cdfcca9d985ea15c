// lumafex-cli render: the sign as an animated GIF or one step as a PNG picture, drawn offscreen; with
// --artwork the project's artwork lit as the chip drives it, also as an MP4 video.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "core/app/ProjectPaths.h"
#include "core/artwork/ArtworkChannels.h"
#include "core/platform/TextFile.h"
#include "render/AnimationExport.h"
#include "render/artwork/ArtworkExport.h"

namespace lumafex::cli {

namespace {

// Drawing text needs a GUI application; the command makes one without any window system when it
// runs on its own.
std::unique_ptr<QGuiApplication> ensureGuiApplication() {
  if (QCoreApplication::instance()) return nullptr;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // What QtSvg cannot draw of a drawing program's file (its own metadata) is no concern of a render.
  QLoggingCategory::setFilterRules(QStringLiteral("qt.svg.warning=false"));
  static int argc = 1;
  static char name[] = "lumafex-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

std::optional<long> wholeOption(const Args& args, const std::string& name, long lowest, std::ostream& err) {
  const auto text = args.value(name);
  if (!text) return lowest - 1;  // not given
  const auto value = parseWhole(*text);
  if (!value || *value < lowest) {
    err << "lumafex-cli: --" << name << " 应为不小于" << lowest << "的整数\n";
    return std::nullopt;
  }
  return value;
}

// Reports how far a long render is on standard error, about once a second.
class ProgressReport {
 public:
  explicit ProgressReport(std::ostream& err) : err_(err), last_(Clock::now()) {}
  ~ProgressReport() {
    if (reported_) err_ << '\n';
  }
  bool operator()(long done, long total) {
    const auto now = Clock::now();
    if (now - last_ >= std::chrono::seconds(1) || (reported_ && done == total)) {
      err_ << "\r已完成 " << done * 100 / std::max(1L, total) << "%" << std::flush;
      last_ = now;
      reported_ = true;
    }
    return true;
  }

 private:
  using Clock = std::chrono::steady_clock;
  std::ostream& err_;
  Clock::time_point last_;
  bool reported_ = false;
};

struct Outputs {
  std::optional<std::string> png;
  std::optional<std::string> gif;
  std::optional<std::string> mp4;
};

// The artwork lit as the chip drives it: one step as a PNG, or steps from … to as a GIF or a video.
int artworkRender(const render::AnimationSource& source, const Outputs& outputs, long step, long from,
                  long to, double scale, int fps, std::ostream& out, std::ostream& err) {
  auto animation = render::artworkAnimationOf(source);
  if (!animation) {
    err << animation.error() << '\n';
    return kExitFailed;
  }
  for (const std::string& warning : animation->scene->warnings()) err << warning << '\n';
  if (const auto missing = animation->scene->missingChannels(); !missing.empty()) {
    err << "实物图上没有的路：" << artwork::channelListText(missing) << '\n';
  }
  if (outputs.png) {
    const long k = step < 1 ? 1 : step;
    if (auto s = render::exportArtworkPng(*animation, k, scale, platform::pathFromUtf8(*outputs.png)); !s) {
      err << s.error() << '\n';
      return kExitFailed;
    }
    out << "第" << k << "步 → " << *outputs.png << '\n';
    return kExitOk;
  }
  render::ExportOptions options;
  options.from = from < 1 ? 1 : from;
  options.to = to < 1 ? 0 : to;
  options.scale = scale;
  const std::string& file = outputs.gif ? *outputs.gif : *outputs.mp4;
  const auto result = [&] {
    ProgressReport progress(err);
    return outputs.gif ? render::exportArtworkGif(*animation, options, platform::pathFromUtf8(file),
                                                  std::ref(progress))
                       : render::exportArtworkMp4(*animation, options, fps, platform::pathFromUtf8(file),
                                                  std::ref(progress));
  }();
  if (!result.ok) {
    err << result.message << '\n';
    return kExitFailed;
  }
  if (outputs.gif) {
    out << result.frames << "帧，每帧" << result.delay << "/100秒 → " << file << "（" << result.bytes.size()
        << "字节）\n";
  } else {
    out << result.frames << "帧，每秒" << fps << "帧 → " << file << '\n';
  }
  return kExitOk;
}

}  // namespace

int renderCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  const Args args(words, {"gif", "png", "mp4", "step", "from", "to", "scale", "fps"},
                  {"vertical", "artwork"});
  if (!args.ok()) return usageError(err, "render", args.error());
  if (args.positional().size() != 1) return usageError(err, "render", "需要一个工程文件（*.hs）");
  const bool artworkView = args.flag("artwork");
  const auto gif = args.value("gif");
  const auto png = args.value("png");
  const auto mp4 = args.value("mp4");
  if (mp4 && !artworkView) {
    return usageError(err, "render", "--mp4 只用于 --artwork（实物图）");
  }
  if (artworkView && args.flag("vertical"))
    return usageError(err, "render", "--vertical 不能与 --artwork 同用");
  if (args.value("fps") && !mp4) return usageError(err, "render", "--fps 只用于 --mp4");
  if (int(gif.has_value()) + int(png.has_value()) + int(mp4.has_value()) != 1) {
    return usageError(err, "render",
                      artworkView ? "请选择 --png FILE、--gif FILE 或 --mp4 FILE 之一"
                                  : "请选择 --gif FILE（动画）或 --png FILE（一步）之一");
  }
  if (!png && args.value("step")) {
    err << "lumafex-cli: --step 只用于 --png；动画的范围用 --from 和 --to\n";
    return kExitUsage;
  }
  if (png && (args.value("from") || args.value("to"))) {
    err << "lumafex-cli: --from 和 --to 只用于动画；图片的步用 --step\n";
    return kExitUsage;
  }
  const auto from = wholeOption(args, "from", 1, err);
  const auto to = wholeOption(args, "to", 1, err);
  const auto step = wholeOption(args, "step", 1, err);
  const auto fps = wholeOption(args, "fps", 1, err);
  if (!from || !to || !step || !fps) return kExitUsage;
  if (*fps > 120) {
    err << "lumafex-cli: --fps 应为1到120之间的整数\n";
    return kExitUsage;
  }
  double scale = 1.0;
  if (const auto text = args.value("scale")) {
    std::size_t used = 0;
    try {
      scale = std::stod(*text, &used);
    } catch (...) {
      used = 0;
    }
    if (used != text->size() || !(scale >= render::kMinScale && scale <= render::kMaxScale)) {
      err << "lumafex-cli: --scale 应为0.1到10之间的数\n";
      return kExitUsage;
    }
  }

  const auto app = ensureGuiApplication();
  const std::filesystem::path projectFile = platform::pathFromUtf8(args.positional().front());
  auto project = render::readProject(projectFile);
  if (!project) {
    err << project.error() << '\n';
    return kExitFailed;
  }
  render::AnimationSource source;
  source.project = &*project;
  // The project is read for this render only: its manual file is handed over, not copied.
  if (project->manualText) {
    source.sequence = std::make_shared<const std::string>(std::move(*project->manualText));
  }
  source.projectFile = projectFile;
  source.projectDirectory = app::projectDirectory(projectFile);
  source.orientation =
      args.flag("vertical") ? preview::Orientation::Vertical : preview::Orientation::Horizontal;
  if (artworkView) {
    return artworkRender(source, {png, gif, mp4}, *step, *from, *to, scale,
                         *fps < 1 ? render::kDefaultVideoFps : static_cast<int>(*fps), out, err);
  }
  auto animation = render::animationOf(source);
  if (!animation) {
    err << animation.error() << '\n';
    return kExitFailed;
  }

  if (png) {
    const long k = *step < 1 ? 1 : *step;
    if (auto s = render::exportPng(*animation, k, scale, platform::pathFromUtf8(*png)); !s) {
      err << s.error() << '\n';
      return kExitFailed;
    }
    out << "第" << k << "步 → " << *png << '\n';
    return kExitOk;
  }

  render::ExportOptions options;
  options.from = *from < 1 ? 1 : *from;
  options.to = *to < 1 ? 0 : *to;
  options.scale = scale;
  const auto result = [&] {
    ProgressReport progress(err);
    return render::exportGif(*animation, options, platform::pathFromUtf8(*gif), std::ref(progress));
  }();
  if (!result.ok) {
    err << result.message << '\n';
    return kExitFailed;
  }
  out << result.frames << "帧，每帧" << result.delay << "/100秒 → " << *gif << "（" << result.bytes.size()
      << "字节）\n";
  return kExitOk;
}

}  // namespace lumafex::cli
