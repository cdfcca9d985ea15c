#include <filesystem>
#include <ostream>

#include "cli/Args.h"
#include "cli/ChipArgs.h"
#include "cli/Commands.h"
#include "cli/PrivateDirectory.h"
#include "core/compiler/ProjectCompile.h"
#include "core/platform/TextFile.h"

namespace lumafex::cli {

namespace fs = std::filesystem;

namespace {

bool checkArgs(const Args& args, const std::set<std::string>& flags, std::ostream& err) {
  if (!args.ok()) {
    err << "lumafex-cli: " << args.error() << '\n';
    return false;
  }
  if (auto unknown = args.unknownOption(flags)) {
    err << "lumafex-cli: 未知的选项 " << *unknown << '\n';
    return false;
  }
  if (args.positional().size() != 1) {
    err << "lumafex-cli: 需要一个工程文件（*.hs）\n";
    return false;
  }
  return true;
}

}  // namespace

int assembleCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  const Args args(words, {"o", "output"});
  if (!checkArgs(args, {}, err)) return kExitUsage;
  auto project = compiler::loadProject(platform::pathFromUtf8(args.positional().front()));
  if (!project) {
    err << project.error() << '\n';
    return kExitFailed;
  }
  if (project->board.empty()) {
    err << "请先选择花式到编程板。\n";
    return kExitFailed;
  }
  auto input = compiler::assemblyInputOf(*project);
  if (!input) {
    err << input.error() << '\n';
    return kExitFailed;
  }
  const auto assembled = compiler::assembleTotalProgram(*input);
  if (assembled.tooLarge) {
    err << compiler::kProgramTooLargeMessage << '\n';
    return kExitFailed;
  }
  const auto target = args.value("o") ? args.value("o") : args.value("output");
  if (target) {
    if (auto s = platform::writeBytesSafely(platform::pathFromUtf8(*target), assembled.bytes); !s) {
      err << s.error() << '\n';
      return kExitFailed;
    }
    return kExitOk;
  }
  out.write(assembled.bytes.data(), static_cast<std::streamsize>(assembled.bytes.size()));
  out.flush();
  return out ? kExitOk : kExitFailed;
}

int compileCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  std::set<std::string> valued = kChipValueOptions;
  valued.insert("workdir");
  const Args args(words, valued);
  std::set<std::string> flags = kChipFlags;
  flags.insert({"single", "multi", "manual"});
  if (!checkArgs(args, flags, err)) return kExitUsage;
  if (args.flag("single") == args.flag("multi")) {
    err << "lumafex-cli: 请选择 --single（单IC）或 --multi（每8路一IC）之一\n";
    return kExitUsage;
  }
  const auto chip = chipOptionsOf(args, true, err);
  if (!chip) return kExitUsage;
  auto project = compiler::loadProject(platform::pathFromUtf8(args.positional().front()));
  if (!project) {
    err << project.error() << '\n';
    return kExitFailed;
  }
  // What killed compiles of this project left is cleared before this one starts.
  compiler::cleanCompileLeftovers(project->projectDirectory);
  PrivateDirectory privateDir;
  const fs::path work = compileWorkDirectory(args, privateDir, err);
  if (work.empty()) return kExitFailed;
  compiler::CompileRequest request;
  request.layout =
      args.flag("single") ? compiler::ChipLayout::Single : compiler::ChipLayout::PerEightChannels;
  // --manual: the manual sequence file in either layout, as the output window's own 编译 compiles
  // it once the file was copied in; without it the export commands' own choice.
  request.sequence = args.flag("manual") ? compiler::Sequence::ManualFile : compiler::Sequence::Export;
  request.workDirectory = work;
  request.chip = *chip;
  const auto result = compiler::compileProject(*project, request);
  if (!result.ok) {
    err << result.message << '\n';
    return kExitFailed;
  }
  out << result.images.report << '\n';
  for (const auto& checksum : result.images.checksums) out << compiler::checksumLine(checksum) << '\n';
  return kExitOk;
}

}  // namespace lumafex::cli
