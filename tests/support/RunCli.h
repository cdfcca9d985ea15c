#pragma once
// Runs the built lumafex-cli with arguments and collects its exit status and output.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace lumafex::testing {

struct CliOutcome {
  int status = -1;
  std::string out;
};

// `withErrors`: standard error is collected with standard output instead of being dropped.
inline CliOutcome runCli(const std::string& arguments, bool withErrors = false) {
  CliOutcome o;
  const std::string command =
      std::string(LUMAFEX_CLI_PATH) + " " + arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return o;
  std::array<char, 4096> buf{};
  std::size_t n = 0;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) o.out.append(buf.data(), n);
  const int raw = pclose(pipe);
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return o;
}

}  // namespace lumafex::testing
