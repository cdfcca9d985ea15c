// lumafex-cli compile killed with SIGKILL at random moments, also while it publishes the images:
// after every kill "bin" holds the complete previous set or the complete new one, the project
// record and the title effect are untouched, and the next compile leaves no temporary files.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <random>
#include <thread>

#include "core/design/ProjectRecord.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

extern char** environ;

namespace lumafex {
namespace {

namespace fs = std::filesystem;
using platform::pathFromUtf8;
using Clock = std::chrono::steady_clock;
using Files = std::map<std::string, std::string>;

Files folder(const fs::path& dir) {
  Files files;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    auto bytes = platform::readBytes(it->path());
    files[platform::pathToUtf8(it->path().filename())] = bytes ? *bytes : "<unreadable>";
  }
  return files;
}

bool hasStage(const fs::path& projectParent) {
  std::error_code ec;
  for (fs::directory_iterator it(projectParent, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().string().rfind("bin.~new-", 0) == 0) return true;
  }
  return false;
}

class Compile {
 public:
  Compile(const fs::path& project, const fs::path& tmp) {
    const std::string cli = LUMAFEX_CLI_PATH;
    const std::string file = platform::pathToUtf8(project);
    const std::string tmpdir = "TMPDIR=" + platform::pathToUtf8(tmp);
    std::vector<std::string> env{tmpdir};
    for (char** e = environ; *e; ++e) {
      if (std::string(*e).rfind("TMPDIR=", 0) != 0) env.emplace_back(*e);
    }
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string a0 = cli, a1 = "compile", a2 = file, a3 = "--multi";
    char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, cli.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  void kill() const {
    if (pid_ > 0) ::kill(pid_, SIGKILL);
  }
  bool running() const {
    siginfo_t info{};
    return pid_ > 0 && ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
  }
  // The exit status, -1 when killed.
  int wait() {
    int status = 0;
    if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) return -2;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  ~Compile() {
    if (pid_ > 0) {
      kill();
      wait();
    }
  }

 private:
  pid_t pid_ = -1;
};

TEST(CrashSafety, EveryKillLeavesOneWholeImageSet) {
  testing::TempDir dir;
  const fs::path tmp = dir.path() / "tmp";
  fs::create_directories(tmp);
  const fs::path file = dir.path() / pathFromUtf8("大工程.hs");
  const fs::path project = dir.path() / pathFromUtf8("大工程");
  const fs::path bin = project / "bin";
  fs::create_directories(project);
  ASSERT_TRUE(platform::writeGbkText(project / pathFromUtf8("标题花式.bt"), "XX□<2>\r\n□□X<40>\r\n"));

  // Two boards of a 300-channel sign (38 chips, 76 files): each compile replaces every image.
  design::ProjectSettings s;
  s.columns = "300";
  s.colourCount = "1";
  s.title = "欢迎光";
  s.horizontalTitleEffect = 1;
  std::vector<std::string> boards[2];
  for (int i = 0; i < 120; ++i) {
    boards[0].push_back(std::to_string(1 + i % 30));
    boards[1].push_back(std::to_string(1 + (i * 7 + 3) % 30));
  }
  std::string records[2];
  Files sets[2];
  double seconds = 0;
  for (int k = 0; k < 2; ++k) {
    ASSERT_TRUE(design::writeProjectRecord(file, design::recordOf(s, boards[k])));
    records[k] = *platform::readBytes(file);
    const auto start = Clock::now();
    Compile c(file, tmp);
    ASSERT_EQ(c.wait(), 0);
    seconds = std::max(seconds, std::chrono::duration<double>(Clock::now() - start).count());
    sets[k] = folder(bin);
  }
  ASSERT_EQ(sets[0].size(), 76u);
  ASSERT_NE(sets[0], sets[1]);
  const std::string titleEffect = *platform::readBytes(project / pathFromUtf8("标题花式.bt"));

  std::mt19937 rng(20261209);
  int current = 1;   // the set in bin now
  int recorded = 1;  // the record on disk
  int mixed = 0, sawOld = 0, sawNew = 0;
  const int kills = 60;
  for (int i = 0; i < kills; ++i) {
    const int next = 1 - current;
    ASSERT_TRUE(platform::writeBytesSafely(file, records[next]));
    recorded = next;
    Compile c(file, tmp);
    if (i % 2 == 0) {
      // Anywhere in the run.
      std::uniform_real_distribution<double> when(0, seconds);
      std::this_thread::sleep_for(std::chrono::duration<double>(when(rng)));
    } else {
      // While the images are published: from the moment the new folder appears.
      while (c.running() && !hasStage(project)) {
      }
      std::uniform_int_distribution<int> micros(0, 3000);
      std::this_thread::sleep_for(std::chrono::microseconds(micros(rng)));
    }
    c.kill();
    c.wait();
    const Files now = folder(bin);
    if (now == sets[next]) {
      current = next;
      ++sawNew;
    } else if (now == sets[current]) {
      ++sawOld;
    } else {
      ++mixed;
      ADD_FAILURE() << "kill " << i << ": bin holds neither whole set (" << now.size() << " files)";
    }
    EXPECT_EQ(*platform::readBytes(file), records[next]);
    EXPECT_EQ(*platform::readBytes(project / pathFromUtf8("标题花式.bt")), titleEffect);
  }
  EXPECT_EQ(mixed, 0);
  EXPECT_GT(sawOld, 0);  // the kills did interrupt compiles
  std::printf("kills: %d, old set kept: %d, new set complete: %d\n", kills, sawOld, sawNew);

  // The next compile clears what the killed ones left.
  Compile last(file, tmp);
  ASSERT_EQ(last.wait(), 0);
  EXPECT_EQ(folder(bin), sets[recorded]);
  for (const auto& e : fs::directory_iterator(dir.path())) {
    const std::string name = e.path().filename().string();
    EXPECT_EQ(name.find("bin.~"), std::string::npos) << name;
  }
  for (const auto& e : fs::directory_iterator(project)) {
    EXPECT_EQ(e.path().filename().string().find("bin.~"), std::string::npos) << e.path();
  }
  EXPECT_TRUE(fs::is_empty(tmp)) << "working folders left in the temporary directory";
}

}  // namespace
}  // namespace lumafex
