// lumafex-cli render: the sign as an animated GIF or one step as a PNG picture, drawn offscreen.

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <memory>
#include <ostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "core/app/ProjectPaths.h"
#include "core/platform/TextFile.h"
#include "render/AnimationExport.h"

namespace lumafex::cli {

namespace {

// Drawing text needs a GUI application; the command makes one without any window system when it
// runs on its own.
std::unique_ptr<QGuiApplication> ensureGuiApplication() {
  if (QCoreApplication::instance()) return nullptr;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
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

}  // namespace

int renderCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  const Args args(words, {"gif", "png", "step", "from", "to", "scale"}, {"vertical"});
  if (!args.ok()) return usageError(err, "render", args.error());
  if (args.positional().size() != 1) return usageError(err, "render", "需要一个工程文件（*.hs）");
  const auto gif = args.value("gif");
  const auto png = args.value("png");
  if (gif.has_value() == png.has_value()) {
    return usageError(err, "render", "请选择 --gif FILE（动画）或 --png FILE（一步）之一");
  }
  if (gif && args.value("step")) {
    err << "lumafex-cli: --step 只用于 --png；动画的范围用 --from 和 --to\n";
    return kExitUsage;
  }
  if (png && (args.value("from") || args.value("to"))) {
    err << "lumafex-cli: --from 和 --to 只用于 --gif；图片的步用 --step\n";
    return kExitUsage;
  }
  const auto from = wholeOption(args, "from", 1, err);
  const auto to = wholeOption(args, "to", 1, err);
  const auto step = wholeOption(args, "step", 1, err);
  if (!from || !to || !step) return kExitUsage;
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
  // A long render reports how far it is, about once a second.
  using Clock = std::chrono::steady_clock;
  auto lastReport = Clock::now();
  bool reported = false;
  const auto progress = [&](long done, long total) {
    const auto now = Clock::now();
    if (now - lastReport >= std::chrono::seconds(1) || (reported && done == total)) {
      err << "\r已完成 " << done * 100 / std::max(1L, total) << "%" << std::flush;
      lastReport = now;
      reported = true;
    }
    return true;
  };
  const auto result = render::exportGif(*animation, options, platform::pathFromUtf8(*gif), progress);
  if (reported) err << '\n';
  if (!result.ok) {
    err << result.message << '\n';
    return kExitFailed;
  }
  out << result.frames << "帧，每帧" << result.delay << "/100秒 → " << *gif << "（" << result.bytes.size()
      << "字节）\n";
  return kExitOk;
}

}  // namespace lumafex::cli
