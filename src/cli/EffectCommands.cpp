#include <ostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "core/design/Rules.h"
#include "core/patterns/Catalogue.h"

namespace lumafex::cli {

namespace {

std::optional<int> colourCount(const Args& args, std::ostream& err) {
  const auto text = args.value("colours");
  if (!text) {
    err << "lumafex-cli: 缺少 --colours（色数 1、2 或 3）\n";
    return std::nullopt;
  }
  const auto c = parseWhole(*text);
  if (!c || *c < 1 || *c > 3) {
    err << "lumafex-cli: 色数必须是 1、2 或 3，不是“" << *text << "”\n";
    return std::nullopt;
  }
  return static_cast<int>(*c);
}

bool looksLikeGeneratorName(const std::string& s) {
  if (s.size() < 2 || (s[0] != 'S' && s[0] != 'D')) return false;
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
  }
  return true;
}

}  // namespace

int catalogueCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  const Args args(words, {"colours"}, {});
  if (!args.ok()) return usageError(err, "catalogue", args.error());
  if (!args.positional().empty())
    return usageError(err, "catalogue", "多余的参数“" + args.positional().front() + "”");
  const auto colours = colourCount(args, err);
  if (!colours) return kExitUsage;
  for (const auto& entry : patterns::catalogue(*colours)) out << entry.name << '\n';
  return kExitOk;
}

int effectCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  const Args args(words, {"colours", "channels"}, {});
  if (!args.ok()) return usageError(err, "effect", args.error());
  const auto colours = colourCount(args, err);
  if (!colours) return kExitUsage;
  const auto channelsText = args.value("channels");
  const auto channels = channelsText ? parseWhole(*channelsText) : std::nullopt;
  if (!channels || !design::channelsInRange(*channels)) {
    err << "lumafex-cli: 路数（--channels）必须在 4 到 300 之间\n";
    return kExitUsage;
  }
  if (args.positional().size() != 1)
    return usageError(err, "effect", "需要一个花式（如“3左扫”、“3”或生成器名“S3”）");
  const std::string& entry = args.positional().front();

  const patterns::GeneratorRef* generator = nullptr;
  if (looksLikeGeneratorName(entry)) {
    generator = patterns::findGenerator(entry);
  } else {
    generator = patterns::generatorAt(*colours, patterns::leadingNumber(entry) - 1);
  }
  if (!generator) {
    err << "lumafex-cli: 色数 " << *colours << " 的花式表中没有“" << entry << "”\n";
    return kExitUsage;
  }

  patterns::StepWriter steps;
  if (!patterns::runGenerator(*generator, static_cast<int>(*channels), *colours, steps)) return kExitNoRule;
  out.write(steps.bytes().data(), static_cast<std::streamsize>(steps.bytes().size()));
  out.flush();
  return out ? kExitOk : kExitFailed;
}

}  // namespace lumafex::cli
