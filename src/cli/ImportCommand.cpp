// lumafex-cli import: chips read back by a programmer become a new project.

#include <filesystem>
#include <ostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "core/app/ImportedProject.h"
#include "core/app/ProjectPaths.h"
#include "core/compiler/ChipImport.h"
#include "core/platform/TextFile.h"

namespace lumafex::cli {

namespace fs = std::filesystem;

namespace {

int usageError(std::ostream& err, const std::string& message) {
  return cli::usageError(err, "import", message);
}

bool endsWithProjectExtension(const std::string& path) {
  const std::string extension = app::kProjectExtension;
  return path.size() > extension.size() &&
         path.compare(path.size() - extension.size(), extension.size(), extension) == 0;
}

}  // namespace

int importCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  const std::set<std::string> valued = {"single", "channels", "o", "output"};
  const Args args(words, valued, {"multi", "inverted", "keep-padding"});
  if (!args.ok()) return usageError(err, args.error());
  const auto single = args.value("single");
  const bool multi = args.flag("multi");
  if (single.has_value() == multi)
    return usageError(err, "请选择 --single FILE（单IC）或 --multi FILE...（每8路一IC）之一");
  if (single && !args.positional().empty())
    return usageError(err, "多余的参数“" + args.positional().front() + "”");
  if (multi && args.positional().empty()) return usageError(err, "--multi 需要芯片文件（芯片1在前）");
  if (args.value("o") && args.value("output")) return usageError(err, "-o 和 --output 只能给一个");
  const auto target = args.value("o") ? args.value("o") : args.value("output");
  if (!target) return usageError(err, "需要新工程的文件名（-o NEW.hs）");
  if (!endsWithProjectExtension(*target))
    return usageError(err, "新工程的文件名应以 .hs 结尾：“" + *target + "”");
  int channels = 0;
  if (const auto text = args.value("channels")) {
    const auto n = parseWhole(*text);
    if (!n || *n < compiler::kMinImportChannels || *n > compiler::kMaxImportChannels) {
      return usageError(err, "--channels 应为" + std::to_string(compiler::kMinImportChannels) + "到" +
                                 std::to_string(compiler::kMaxImportChannels) + "之间的整数，不是“" + *text +
                                 "”");
    }
    channels = static_cast<int>(*n);
  }

  compiler::ImportRequest request;
  request.layout = multi ? compiler::ChipLayout::PerEightChannels : compiler::ChipLayout::Single;
  request.channels = channels;
  request.inverted = args.flag("inverted");
  request.keepPadding = args.flag("keep-padding");
  const std::vector<std::string> files = multi ? args.positional() : std::vector<std::string>{*single};
  for (const std::string& file : files) {
    auto chip = compiler::readChipFile(platform::pathFromUtf8(file));
    if (!chip) {
      err << chip.error() << '\n';
      return kExitFailed;
    }
    request.chips.push_back(std::move(*chip));
  }
  const bool reordered = multi && compiler::orderByChipNumber(request.chips);

  // The widths a single image may have, for the messages that need them.
  auto widths = [&request] {
    return compiler::describeWidths(compiler::likelyWidths(request.chips.front().bytes, request.inverted));
  };
  if (!multi && channels == 0) return usageError(err, "请用 --channels N 指定路数。" + widths());
  if (const auto problem = compiler::requestProblem(request)) return usageError(err, *problem);

  const fs::path projectFile = platform::pathFromUtf8(*target);
  if (const auto problem = app::existingProjectProblem(projectFile)) {
    err << *problem << '\n';
    return kExitFailed;
  }
  const std::string image = multi ? std::string() : request.chips.front().bytes;
  const bool inverted = request.inverted;
  auto sequence = compiler::importChips(std::move(request));
  if (!sequence) {
    err << sequence.error() << '\n';
    if (!multi) err << compiler::describeWidths(compiler::likelyWidths(image, inverted)) << '\n';
    return kExitFailed;
  }
  sequence->reordered = reordered;
  if (auto written = app::createImportedProject(projectFile, *sequence); !written) {
    err << written.error() << '\n';
    return kExitFailed;
  }
  std::error_code ec;
  out << compiler::describeImport(*sequence) << "新工程（project）："
      << platform::pathToUtf8(fs::absolute(projectFile, ec)) << '\n';
  out.flush();
  return out ? kExitOk : kExitFailed;
}

}  // namespace lumafex::cli
