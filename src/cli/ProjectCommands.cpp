#include <stdlib.h>

#include <filesystem>
#include <ostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "compiler/ProjectCompile.h"
#include "platform/TextFile.h"

namespace lumafex::cli {

namespace fs = std::filesystem;

namespace {

// A private temporary directory for the working files, removed when the command ends.
class PrivateDirectory {
 public:
  PrivateDirectory() {
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec);
    if (!ec) path_ = compiler::createWorkDirectory(temp);
  }
  ~PrivateDirectory() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  PrivateDirectory(const PrivateDirectory&) = delete;
  PrivateDirectory& operator=(const PrivateDirectory&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

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
  const Args args(words, {"workdir"});
  if (!checkArgs(args, {"single", "multi"}, err)) return kExitUsage;
  if (args.flag("single") == args.flag("multi")) {
    err << "lumafex-cli: 请选择 --single（单IC）或 --multi（每8路一IC）之一\n";
    return kExitUsage;
  }
  auto project = compiler::loadProject(platform::pathFromUtf8(args.positional().front()));
  if (!project) {
    err << project.error() << '\n';
    return kExitFailed;
  }
  // What killed compiles of this project left is cleared before this one starts.
  compiler::cleanCompileLeftovers(project->projectDirectory);
  PrivateDirectory privateDir;
  fs::path work = privateDir.path();
  if (const auto dir = args.value("workdir")) {
    work = platform::pathFromUtf8(*dir);
    std::error_code ec;
    fs::create_directories(work, ec);
  }
  if (work.empty()) {
    err << "lumafex-cli: 不能建立临时目录\n";
    return kExitFailed;
  }
  const auto layout =
      args.flag("single") ? compiler::ChipLayout::Single : compiler::ChipLayout::PerEightChannels;
  const auto result = compiler::compileProject(*project, layout, work);
  if (!result.ok) {
    err << result.message << '\n';
    return kExitFailed;
  }
  out << result.images.report << '\n';
  return kExitOk;
}

}  // namespace lumafex::cli
