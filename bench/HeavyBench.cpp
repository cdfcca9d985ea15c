// Heavy but valid work through lumafex-cli, each run as its own process and measured from outside
// (wall time, peak resident memory): the largest image set (300 channels, one 27C080 per 8 channels
// padded by repetition, with HEX and S-record copies) beside a durable write of the same bytes; a
// 200 MB manual file compiled, and one step of it drawn; a 250 MB manual file of NUL bytes, refused.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/design/ProjectRecord.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/TextFile.h"

namespace {

namespace fs = std::filesystem;
using namespace lumafex;
using Clock = std::chrono::steady_clock;

struct Measured {
  int status = -1;
  double seconds = 0;
  double megabytes = 0;  // peak resident
};

// Runs the function in a child process and measures it.
template <class F>
Measured inChild(F&& f) {
  const auto start = Clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(f());
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  Measured m;
  m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  m.megabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
  m.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return m;
}

Measured cli(const std::vector<std::string>& args) {
  return inChild([&] {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    std::vector<char*> argv;
    std::string cli = LUMAFEX_CLI_PATH;
    argv.push_back(cli.data());
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(cli.c_str(), argv.data());
    return 127;
  });
}

// The same number of bytes written into one new file and flushed, as `dd conv=fsync` does.
Measured durableWrite(const fs::path& file, std::uintmax_t bytes) {
  return inChild([&] {
    const std::string block(1 << 20, 'x');
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (std::uintmax_t left = bytes; left > 0;) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uintmax_t>(left, block.size()));
      if (!platform::writeAll(fd, std::string_view(block.data(), n))) return 1;
      left -= n;
    }
    const int r = ::fsync(fd);
    ::close(fd);
    return r == 0 ? 0 : 1;
  });
}

std::uintmax_t folderBytes(const fs::path& dir) {
  std::uintmax_t total = 0;
  for (const auto& e : fs::directory_iterator(dir)) total += e.file_size();
  return total;
}

// A 300-channel project with the title "欢迎光临" and its title effect; `manual`, when given, is
// written as its manual file by the function.
fs::path project(const fs::path& dir, const std::string& name, const std::vector<std::string>& board) {
  design::ProjectSettings s;
  s.columns = "300";
  s.colourCount = "2";
  s.title = "欢迎光临";
  s.baseChannels = "300";
  s.horizontalTitleEffect = 1;
  fs::path file = dir / (name + ".hs");
  (void)design::writeProjectRecord(file, design::recordOf(s, board));
  fs::create_directories(dir / name);
  (void)platform::writeGbkText(dir / name / platform::pathFromUtf8("标题花式.bt"), "X□X□<2>\r\n□□□□<40>\r\n");
  return file;
}

void print(const char* what, const Measured& m, const char* extra = "") {
  std::printf("%-44s exit %d  %7.2f s  %7.1f MB%s\n", what, m.status, m.seconds, m.megabytes, extra);
}

}  // namespace

int main() {
  const fs::path dir = fs::temp_directory_path() / ("lumafex-bench-heavy-" + std::to_string(::getpid()));
  fs::create_directories(dir);

  // The largest image set.
  std::vector<std::string> board;
  for (const auto& entry : patterns::catalogue(2)) board.emplace_back(entry.name);
  const fs::path chips = project(dir, "chips", board);
  const Measured compileChips = cli({"compile", chips.string(), "--multi", "--chip", "27C080", "--pad",
                                     "repeat", "--format", "bin,hex,srec"});
  const std::uintmax_t setBytes = folderBytes(dir / "chips" / "bin");
  const std::size_t setFiles = static_cast<std::size_t>(
      std::distance(fs::directory_iterator(dir / "chips" / "bin"), fs::directory_iterator()));
  const Measured floor = durableWrite(dir / "floor", setBytes);
  fs::remove(dir / "floor");

  // A 200 MB manual file of 300-channel lines.
  const fs::path manual = project(dir, "manual", {"1"});
  {
    std::mt19937 rng(1);
    std::vector<std::string> lines(997);
    for (auto& line : lines) {
      for (int i = 0; i < 300; ++i) line += rng() % 5 < 2 ? 'X' : ' ';
      line += "\r\n";
    }
    platform::FileReplacement out(dir / "manual" / platform::pathFromUtf8("人工修改的花式.txt"), false);
    for (std::size_t i = 0, size = 0; size + 302 <= std::size_t{200} << 20; ++i, size += 302)
      out.write(lines[i % 997]);
    (void)out.commit();
  }
  const Measured compileManual = cli({"compile", manual.string(), "--multi"});
  const Measured png = cli({"render", manual.string(), "--png", (dir / "step.png").string(), "--step", "5"});

  // A manual file of 250 MB of NUL bytes (a hole in the file system: it reads as zeros).
  const fs::path nul = project(dir, "nul", {"1"});
  {
    const int fd = ::open((dir / "nul" / platform::pathFromUtf8("人工修改的花式.txt")).c_str(),
                          O_WRONLY | O_CREAT | O_TRUNC, 0644);
    (void)!::ftruncate(fd, off_t{250} << 20);
    ::close(fd);
  }
  const Measured refuse = cli({"compile", nul.string(), "--multi"});

  std::error_code ec;
  fs::remove_all(dir, ec);
  char set[96];
  std::snprintf(set, sizeof set, "  (%zu files, %.0f MB)", setFiles, static_cast<double>(setBytes) / 1e6);
  print("compile 300 channels, 27C080, repeat, copies", compileChips, set);
  print("durable write of the same bytes", floor);
  print("compile of a 200 MB manual file", compileManual);
  print("render --png of one step of it", png);
  print("refusal of 250 MB of NUL bytes", refuse);
  std::printf("image set: %.2f of a durable write; largest memory: %.0f MB\n",
              compileChips.seconds / floor.seconds,
              std::max({compileChips.megabytes, compileManual.megabytes, refuse.megabytes}));
  return 0;
}
