#include <ostream>

#include "cli/Commands.h"

namespace lumafex::cli {

namespace {

// The usage line of each command, as the full usage text gives it.
const char* usageOf(const std::string& command) {
  if (command == "catalogue") return "lumafex-cli catalogue --colours C";
  if (command == "effect") return "lumafex-cli effect --channels N --colours C ENTRY";
  if (command == "assemble") return "lumafex-cli assemble PROJECT.hs [-o FILE]";
  if (command == "compile") {
    return "lumafex-cli compile PROJECT.hs --single|--multi [--manual] [--workdir DIR] [--chip NAME] [--pad "
           "MODE]\n"
           "                    [--format bin,hex,srec] [--checksums]";
  }
  if (command == "verify") {
    return "lumafex-cli verify PROJECT.hs --single|--multi [--manual] [--chip NAME --pad MODE] [--workdir "
           "DIR] "
           "FILE...";
  }
  if (command == "render") {
    return "lumafex-cli render PROJECT.hs --gif OUT.gif [--vertical] [--from K --to L] [--scale F]\n"
           "       lumafex-cli render PROJECT.hs --png OUT.png [--step K] [--vertical] [--scale F]\n"
           "       lumafex-cli render PROJECT.hs --artwork (--png OUT --step K | --gif OUT | --mp4 OUT "
           "[--fps N])\n"
           "                          [--from K --to L] [--scale F]";
  }
  if (command == "import") {
    return "lumafex-cli import (--single FILE --channels N | --multi FILE...) [--channels N] [--inverted]\n"
           "                   [--keep-padding] -o NEW.hs";
  }
  return "lumafex-cli --help";
}

}  // namespace

int usageError(std::ostream& err, const std::string& command, const std::string& message) {
  err << "lumafex-cli: " << message << '\n' << "用法 / usage: " << usageOf(command) << '\n';
  return kExitUsage;
}

}  // namespace lumafex::cli
