#pragma once
// Runs the built lumafex-cli with arguments and collects its exit status and output.

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace lumafex::testing {

struct CliOutcome {
  int status = -1;
  std::string out;
};

// `withErrors`: standard error is collected with standard output instead of being dropped.
inline CliOutcome runCliAs(const std::string& prefix, const std::string& arguments, bool withErrors);
inline CliOutcome runCli(const std::string& arguments, bool withErrors = false) {
  return runCliAs("", arguments, withErrors);
}

// The user a test runs lumafex-cli as when permissions must count: the super-user ignores them.
inline constexpr unsigned kOrdinaryUser = 65534;

// How to run a command as an ordinary user: nothing when the tests do not run as the super-user,
// a setpriv (or runuser) prefix when they do, and nullopt when neither works here.
inline std::optional<std::string> ordinaryUserPrefix() {
  if (::geteuid() != 0) return std::string();
  const std::string id = std::to_string(kOrdinaryUser);
  const std::string setpriv = "setpriv --reuid=" + id + " --regid=" + id + " --clear-groups ";
  if (std::system((setpriv + "true >/dev/null 2>&1").c_str()) == 0) return setpriv;
  const std::string runuser = "runuser -u nobody -- ";
  if (std::system((runuser + "true >/dev/null 2>&1").c_str()) == 0) return runuser;
  return std::nullopt;
}

// Gives a folder and everything in it to the ordinary user (when the tests run as the super-user).
inline bool giveToOrdinaryUser(const std::filesystem::path& dir) {
  if (::geteuid() != 0) return true;
  const std::string id = std::to_string(kOrdinaryUser);
  return std::system(("chown -R " + id + ":" + id + " '" + dir.string() + "'").c_str()) == 0;
}

// lumafex-cli run through `prefix` (ordinaryUserPrefix).
inline CliOutcome runCliAs(const std::string& prefix, const std::string& arguments, bool withErrors = false) {
  CliOutcome o;
  const std::string command =
      prefix + std::string(LUMAFEX_CLI_PATH) + " " + arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
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
