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

bool checkArgs(const Args& args, const std::string& command, std::ostream& err) {
  if (!args.ok()) {
    usageError(err, command, args.error());
    return false;
  }
  if (args.positional().size() != 1) {
    usageError(err, command, "需要一个工程文件（*.hs）");
    return false;
  }
  return true;
}

}  // namespace

int assembleCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  const Args args(words, {"o", "output"}, {});
  if (!checkArgs(args, "assemble", err)) return kExitUsage;
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
  std::set<std::string> flags = kChipFlags;
  flags.insert({"single", "multi", "manual"});
  const Args args(words, valued, flags);
  if (!checkArgs(args, "compile", err)) return kExitUsage;
  if (args.flag("single") == args.flag("multi")) {
    return usageError(err, "compile", "请选择 --single（单IC）或 --multi（每8路一IC）之一");
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
  compiler::CompileRequest request;
  request.workDirectory = compileWorkDirectory(args, privateDir, err);
  if (request.workDirectory.empty()) return kExitFailed;
  request.layout =
      args.flag("single") ? compiler::ChipLayout::Single : compiler::ChipLayout::PerEightChannels;
  // --manual: the manual sequence file in either layout, as the output window's own 编译 compiles
  // it once the file was copied in; without it the export commands' own choice.
  request.sequence = args.flag("manual") ? compiler::Sequence::ManualFile : compiler::Sequence::Export;
  request.chip = *chip;
  // Working files in the private directory would be removed unread at the end: they are written
  // only into a directory the user names.
  request.writeWorkingFiles = args.value("workdir").has_value();
  request.keepTexts = false;
  const auto result = compiler::compileProject(*project, request);
  if (!result.ok) {
    err << result.message << '\n';
    return kExitFailed;
  }
  for (const auto& note : result.images.notes) err << note << '\n';
  out << result.images.report << '\n';
  for (const auto& checksum : result.images.checksums) out << compiler::checksumLine(checksum) << '\n';
  return kExitOk;
}

}  // namespace lumafex::cli
