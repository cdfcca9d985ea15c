#include <filesystem>
#include <ostream>
#include <sstream>

#include "cli/ChipArgs.h"
#include "cli/Commands.h"
#include "cli/PrivateDirectory.h"
#include "core/compiler/ChipVerify.h"
#include "core/compiler/ProjectCompile.h"
#include "core/platform/TextFile.h"

namespace lumafex::cli {

namespace fs = std::filesystem;

namespace {

std::string chipNames() {
  std::string names;
  for (const auto& chip : compiler::chipTable()) {
    if (!names.empty()) names += "、";
    names += chip.name;
  }
  return names;
}

}  // namespace

std::optional<compiler::ChipOptions> chipOptionsOf(const Args& args, bool withFormats, std::ostream& err) {
  compiler::ChipOptions o;
  if (const auto name = args.value("chip")) {
    o.chip = compiler::findChip(*name);
    if (!o.chip) {
      err << "lumafex-cli: 未知的芯片型号“" << *name << "”（可用：" << chipNames() << "）\n";
      return std::nullopt;
    }
  }
  if (const auto pad = args.value("pad")) {
    const auto padding = compiler::paddingFromName(*pad);
    if (!padding) {
      err << "lumafex-cli: --pad 应为 dark、repeat 或 off，不是“" << *pad << "”\n";
      return std::nullopt;
    }
    if (*padding != compiler::Padding::Off && !o.chip) {
      err << "lumafex-cli: --pad " << *pad << " 需要用 --chip 指定芯片型号\n";
      return std::nullopt;
    }
    o.padding = *padding;
  }
  if (!withFormats) {
    if (args.value("format") || args.flag("checksums")) {
      err << "lumafex-cli: 此命令不接受 --format 和 --checksums\n";
      return std::nullopt;
    }
    return o;
  }
  if (const auto formats = args.value("format")) {
    std::stringstream list(*formats);
    std::string format;
    bool any = false;
    while (std::getline(list, format, ',')) {
      if (format == "bin") {
        // always written
      } else if (format == "hex") {
        o.hex = true;
      } else if (format == "srec") {
        o.srec = true;
      } else {
        err << "lumafex-cli: --format 的格式应为 bin、hex、srec，不是“" << format << "”\n";
        return std::nullopt;
      }
      any = true;
    }
    if (!any) {
      err << "lumafex-cli: --format 需要 bin、hex、srec 中的一个或几个（用逗号分开）\n";
      return std::nullopt;
    }
  }
  o.checksums = args.flag("checksums");
  return o;
}

int verifyCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  std::set<std::string> valued = kChipValueOptions;
  valued.insert("workdir");
  // --format and --checksums are known so that chipOptionsOf can say why verify does not take them.
  std::set<std::string> flags = kChipFlags;
  flags.insert({"single", "multi", "manual"});
  const Args args(words, valued, flags);
  if (!args.ok()) return usageError(err, "verify", args.error());
  if (args.flag("single") == args.flag("multi")) {
    return usageError(err, "verify", "请选择 --single（单IC）或 --multi（每8路一IC）之一");
  }
  if (args.positional().size() < 2) {
    return usageError(err, "verify", "需要一个工程文件（*.hs）和至少一个读回的芯片文件");
  }
  auto options = chipOptionsOf(args, false, err);
  if (!options) return kExitUsage;

  // Every read-back file is read before the compile: a bad name is a bad argument.
  std::vector<fs::path> files;
  for (std::size_t i = 1; i < args.positional().size(); ++i)
    files.push_back(platform::pathFromUtf8(args.positional()[i]));
  const auto readBacks = compiler::readBackFiles(files);
  if (!readBacks) {
    err << "lumafex-cli: " << readBacks.error() << '\n';
    return kExitUsage;
  }

  auto project = compiler::loadProject(platform::pathFromUtf8(args.positional().front()));
  if (!project) {
    err << project.error() << '\n';
    return kExitFailed;
  }
  PrivateDirectory privateDir;
  compiler::CompileRequest request;
  request.workDirectory = compileWorkDirectory(args, privateDir, err);
  if (request.workDirectory.empty()) return kExitFailed;
  request.layout =
      args.flag("single") ? compiler::ChipLayout::Single : compiler::ChipLayout::PerEightChannels;
  request.chip = *options;
  if (args.flag("manual")) request.sequence = compiler::Sequence::ManualFile;
  const auto result = compiler::verifyChips(*project, request, *readBacks);
  switch (result.failure) {
    case compiler::VerifyResult::Failure::Compile:
      err << result.message << '\n';
      return kExitFailed;
    case compiler::VerifyResult::Failure::NoSuchImage:
      err << "lumafex-cli: " << result.message << '\n';
      return kExitUsage;
    case compiler::VerifyResult::Failure::None:
      break;
  }
  out << result.report();
  out.flush();
  return result.identical() ? kExitOk : kExitFailed;
}

}  // namespace lumafex::cli
