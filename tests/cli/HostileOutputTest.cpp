// What lumafex-cli's outputs may replace, and which command lines it takes: an output path that is
// a device, a FIFO, a socket, a directory or a symbolic link is written through, refused or
// followed, never replaced by a file; an option it does not know, or a value given to a flag, is a
// bad argument.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <thread>

#include "core/compiler/ImageSet.h"
#include "core/platform/TextFile.h"
#include "support/ProjectFixture.h"
#include "support/RunCli.h"

namespace lumafex {
namespace {

namespace fs = std::filesystem;
using testing::runCli;
using Fixture = testing::ProjectFixture;
constexpr const char* kLeftoverMarkerName = compiler::kLeftoverMarker;

std::string quote(const fs::path& p) {
  return "'" + platform::pathToUtf8(p) + "'";
}

bool renderBuilt() {
  return runCli("--help").out.find("lumafex-cli render") != std::string::npos;
}

// A character device like /dev/null (1, 3) or /dev/full (1, 7) inside the test's own directory
// when devices can be made there; the system's own otherwise (then nobody here may replace it).
fs::path device(const fs::path& dir, const char* name, unsigned minor) {
  fs::path own = dir / name;
  if (::mknod(own.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0) return own;
  return fs::path("/dev") / name;
}

bool isCharacterDevice(const fs::path& p) {
  struct stat st {};
  return ::lstat(p.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// Reads a FIFO from before the command starts until the command closes it.
class FifoReader {
 public:
  explicit FifoReader(const fs::path& fifo) {
    fd_ = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    thread_ = std::thread([this] {
      char buf[65536];
      for (;;) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 20000) <= 0) return;  // never waits for ever
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n > 0) {
          bytes_.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EAGAIN) {
          return;  // the writer came and went
        }
      }
    });
  }
  ~FifoReader() {
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) ::close(fd_);
  }
  const std::string& bytes() {
    if (thread_.joinable()) thread_.join();
    return bytes_;
  }

 private:
  int fd_ = -1;
  std::string bytes_;
  std::thread thread_;
};

struct Target {
  const char* name;
  // Makes the output path in `dir`; returns it.
  std::function<fs::path(const fs::path& dir)> make;
  int exit;
  // Checks what is at the path afterwards; `expected` is what the command writes into a file.
  std::function<void(const fs::path& target, const std::string& expected)> check;
  const char* message = "";  // part of the message of a refusal
};

std::string fileBytes(const fs::path& p) {
  auto r = platform::readBytes(p, 1u << 30);
  return r ? *r : "<missing>";
}

const std::vector<Target>& targets() {
  static const std::vector<Target> table{
      {"a regular file", [](const fs::path& d) { return d / "out"; }, 0,
       [](const fs::path& t, const std::string& expected) { EXPECT_EQ(fileBytes(t), expected); }},
      {"a device that takes everything", [](const fs::path& d) { return device(d, "null", 3); }, 0,
       [](const fs::path& t, const std::string&) { EXPECT_TRUE(isCharacterDevice(t)); }},
      {"a device that is always full (the write error is reported)",
       [](const fs::path& d) { return device(d, "full", 7); }, 1,
       [](const fs::path& t, const std::string&) { EXPECT_TRUE(isCharacterDevice(t)); },
       std::strerror(ENOSPC)},
      {"a FIFO nobody reads",
       [](const fs::path& d) {
         ::mkfifo((d / "fifo").c_str(), 0644);
         return d / "fifo";
       },
       1, [](const fs::path& t, const std::string&) { EXPECT_TRUE(fs::is_fifo(fs::symlink_status(t))); },
       "管道没有读取者"},
      {"a directory",
       [](const fs::path& d) {
         fs::create_directories(d / "dir");
         Fixture::put(d / "dir" / "inside", "kept");
         return d / "dir";
       },
       1,
       [](const fs::path& t, const std::string&) {
         EXPECT_TRUE(fs::is_directory(fs::symlink_status(t)));
         EXPECT_EQ(fileBytes(t / "inside"), "kept");
       },
       std::strerror(EISDIR)},
      {"a socket",
       [](const fs::path& d) {
         fs::path p = d / "sock";
         const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
         sockaddr_un a{};
         a.sun_family = AF_UNIX;
         std::strncpy(a.sun_path, p.c_str(), sizeof a.sun_path - 1);
         EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
         ::close(fd);
         return p;
       },
       1, [](const fs::path& t, const std::string&) { EXPECT_TRUE(fs::is_socket(fs::symlink_status(t))); },
       "不能写入文件"},
      {"a link to a file (the file is replaced, the link stays)",
       [](const fs::path& d) {
         Fixture::put(d / "real", "old");
         fs::create_symlink("real", d / "link");
         return d / "link";
       },
       0,
       [](const fs::path& t, const std::string& expected) {
         EXPECT_TRUE(fs::is_symlink(t));
         EXPECT_EQ(fileBytes(t.parent_path() / "real"), expected);
       }},
      {"a link to nothing yet (its target is made)",
       [](const fs::path& d) {
         fs::create_directories(d / "sub");
         fs::create_symlink("sub/new", d / "dangling");
         return d / "dangling";
       },
       0,
       [](const fs::path& t, const std::string& expected) {
         EXPECT_TRUE(fs::is_symlink(t));
         EXPECT_EQ(fileBytes(t.parent_path() / "sub" / "new"), expected);
       }},
      {"a link to a link to a file",
       [](const fs::path& d) {
         Fixture::put(d / "real", "old");
         fs::create_symlink(d / "real", d / "first");
         fs::create_symlink("first", d / "second");
         return d / "second";
       },
       0,
       [](const fs::path& t, const std::string& expected) {
         EXPECT_TRUE(fs::is_symlink(t));
         EXPECT_TRUE(fs::is_symlink(t.parent_path() / "first"));
         EXPECT_EQ(fileBytes(t.parent_path() / "real"), expected);
       }},
      {"a link to a full device",
       [](const fs::path& d) {
         fs::create_symlink(device(d, "full", 7), d / "to-full");
         return d / "to-full";
       },
       1,
       [](const fs::path& t, const std::string&) {
         EXPECT_TRUE(fs::is_symlink(t));
         EXPECT_TRUE(isCharacterDevice(fs::read_symlink(t)));
       },
       std::strerror(ENOSPC)},
      {"a loop of links",
       [](const fs::path& d) {
         fs::create_symlink("b", d / "a");
         fs::create_symlink("a", d / "b");
         return d / "a";
       },
       1, [](const fs::path& t, const std::string&) { EXPECT_TRUE(fs::is_symlink(t)); },
       std::strerror(ELOOP)},
  };
  return table;
}

TEST(HostileOutput, AnOutputThatIsNoRegularFileIsWrittenThroughOrRefusedNeverReplaced) {
  Fixture f;
  std::vector<std::string> commands{"assemble " + f.quoted() + " -o "};
  if (renderBuilt()) {
    commands.push_back("render " + f.quoted() + " --gif ");
    commands.push_back("render " + f.quoted() + " --png ");
  }
  for (const std::string& command : commands) {
    const fs::path reference = f.dir.path() / "reference";
    ASSERT_EQ(runCli(command + quote(reference)).status, 0) << command;
    const std::string expected = fileBytes(reference);
    for (const Target& t : targets()) {
      SCOPED_TRACE(command + "… to " + t.name);
      const testing::TempDir dir;
      const fs::path path = t.make(dir.path());
      const auto o = runCli(command + quote(path), true);
      EXPECT_EQ(o.status, t.exit) << o.out;
      if (t.exit != 0) {
        EXPECT_NE(o.out.find(t.message), std::string::npos) << o.out;
      }
      t.check(path, expected);
      // Nothing is left beside the target.
      for (const auto& e : fs::directory_iterator(dir.path())) {
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
      }
    }
    // A FIFO that is read gets the same bytes as a file.
    const testing::TempDir dir;
    const fs::path fifo = dir.path() / "read-fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    FifoReader reader(fifo);
    EXPECT_EQ(runCli(command + quote(fifo)).status, 0) << command;
    EXPECT_EQ(reader.bytes(), expected) << command;
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(fifo)));
  }
}

TEST(HostileOutput, AnUnknownOptionOrAValueForAFlagIsABadArgument) {
  Fixture f;
  const std::string p = f.quoted();
  struct Line {
    std::string args;
    int exit;
  };
  const std::vector<Line> lines{
      {"compile " + p + " --single --foo=bar", 2},
      {"compile " + p + " --single --foo", 2},
      {"compile " + p + " --single -x", 2},
      {"compile " + p + " --single --checksums=no", 2},
      {"compile " + p + " --single --checksums=", 2},
      {"compile " + p + " --multi --single=no", 2},
      {"compile " + p + " --single=yes", 2},
      {"compile " + p + " --single --chip", 2},
      {"verify " + p + " --single --multi=1 x.bin", 2},
      {"assemble " + p + " --verbose", 2},
      {"assemble " + p + " -o", 2},
      {"catalogue --colours=1 --all", 2},
      {"catalogue --colours 1 extra", 2},
      {"effect --channels=8 --colours 1 --bogus=1 1", 2},
      // Values written either way are the same value.
      {"compile " + p + " --single --chip=27C256 --pad=dark", 0},
      {"compile " + p + " --multi --format=bin,hex", 0},
      {"catalogue --colours=1", 0},
      {"effect --channels=8 --colours=1 -- 1", 0},
  };
  for (const Line& l : lines) {
    SCOPED_TRACE(l.args);
    const fs::path bin = f.project / "bin";
    std::error_code ec;
    fs::remove_all(bin, ec);
    const auto o = runCli(l.args, true);
    EXPECT_EQ(o.status, l.exit) << o.out;
    if (l.exit == 2) {
      const std::string command = l.args.substr(0, l.args.find(' '));
      EXPECT_NE(o.out.find("用法 / usage: lumafex-cli " + command), std::string::npos) << o.out;
      EXPECT_FALSE(fs::exists(bin)) << "a refused command line wrote images";
    }
  }
}

// Everything under the project's folder but the compile's own images and copies.
std::map<std::string, std::string> besideTheImages(const Fixture& f) {
  auto files = testing::snapshot(f.dir.path());
  for (auto it = files.begin(); it != files.end();) {
    const std::string& name = it->first;
    const std::string inBin = platform::pathToUtf8(platform::pathFromUtf8("红星/bin/"));
    const bool image = (name.rfind(inBin, 0) == 0 && name.find('/', inBin.size()) == std::string::npos &&
                        it->second.rfind("<", 0) != 0) ||
                       name + "/" == inBin;
    it = image ? files.erase(it) : std::next(it);
  }
  return files;
}

TEST(HostileOutput, WhatTheUserKeepsInAndBesideBinIsKept) {
  struct Case {
    const char* what;
    std::function<void(Fixture&)> setup;
    const char* layout;
    int exit;
    const char* message;
  };
  const std::vector<Case> cases{
      {"a folder with an image's name",
       [](Fixture& f) { Fixture::put(f.bin / platform::pathFromUtf8("正1.bin") / "notes.txt", "mine"); },
       "--multi", 1, "是一个文件夹"},
      {"a link with an image's name",
       [](Fixture& f) {
         fs::remove(f.bin / platform::pathFromUtf8("单IC正.bin"));
         fs::create_symlink("../notes.txt", f.bin / platform::pathFromUtf8("单IC正.bin"));
         Fixture::put(f.project / "notes.txt", "mine");
       },
       "--single", 1, "是一个链接"},
      {"a folder with the name of an image the compile retires",
       [](Fixture& f) { Fixture::put(f.bin / platform::pathFromUtf8("正3.bin") / "notes.txt", "mine"); },
       "--multi", 0, ""},
      {"a folder with a chip image's name, compiled for one chip",
       [](Fixture& f) { Fixture::put(f.bin / platform::pathFromUtf8("正1.bin") / "notes.txt", "mine"); },
       "--single", 0, ""},
      {"folders beside bin named like leftovers",
       [](Fixture& f) {
         Fixture::put(f.project / "bin.~new-backup" / "notes.txt", "mine");
         Fixture::put(f.project / "bin.~old-2024v1" / platform::pathFromUtf8("正1.bin"), "mine");
       },
       "--multi", 0, ""},
      {"no bin, and a folder named like an old set beside it",
       [](Fixture& f) {
         fs::remove_all(f.bin);
         Fixture::put(f.project / "bin.~old-2024v1" / platform::pathFromUtf8("正1.bin"), "mine");
       },
       "--single", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    ASSERT_EQ(runCli("compile " + f.quoted() + " --single").status, 0);
    c.setup(f);
    const auto before = besideTheImages(f);
    const auto all = testing::snapshot(f.dir.path());
    const auto o = runCli("compile " + f.quoted() + " " + c.layout, true);
    EXPECT_EQ(o.status, c.exit) << o.out;
    if (c.exit != 0) {
      EXPECT_NE(o.out.find(c.message), std::string::npos) << o.out;
      EXPECT_TRUE(testing::snapshot(f.dir.path()) == all) << "a refused compile changed files";
    } else {
      EXPECT_TRUE(besideTheImages(f) == before) << "a compile changed what is not its own";
    }
    for (const auto& e : fs::directory_iterator(f.project)) {
      const std::string name = e.path().filename().string();
      if (name.rfind("bin.~", 0) == 0) {
        EXPECT_TRUE(before.count("红星/" + name)) << "left behind: " << name;
      }
    }
  }
}

// lumafex-cli as an ordinary user, on a project that user owns: what permissions refuse is
// refused with the program's message, and nothing is left behind.
class AsOrdinaryUser : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto prefix = testing::ordinaryUserPrefix();
    if (!prefix) GTEST_SKIP() << "no way to run lumafex-cli as an ordinary user here (setpriv, runuser)";
    prefix_ = *prefix;
    ASSERT_TRUE(testing::giveToOrdinaryUser(f.dir.path()));
  }
  testing::CliOutcome compile(const char* layout) const {
    return testing::runCliAs(prefix_, "compile " + f.quoted() + " " + layout, true);
  }
  std::vector<std::string> besideBin() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(f.project)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  Fixture f;
  std::string prefix_;
};

TEST_F(AsOrdinaryUser, AReadOnlyBinKeepsItsImagesAndNothingIsLeftBeside) {
  ASSERT_EQ(compile("--single").status, 0);
  const auto names = besideBin();
  fs::permissions(f.bin, fs::perms(0555));
  const auto before = testing::snapshot(f.dir.path());
  for (const char* layout : {"--multi", "--single", "--multi"}) {
    SCOPED_TRACE(layout);
    const auto o = compile(layout);
    EXPECT_EQ(o.status, 1) << o.out;
    EXPECT_EQ(o.out.rfind("不能写入EPROM文件：", 0), 0u) << o.out;
    EXPECT_TRUE(testing::snapshot(f.dir.path()) == before);
    EXPECT_EQ(besideBin(), names);
  }
  fs::permissions(f.bin, fs::perms(0755));
  EXPECT_EQ(compile("--multi").status, 0);
  EXPECT_EQ(besideBin(), names);
}

TEST_F(AsOrdinaryUser, ALeftoverThatCannotBeRemovedIsReported) {
  if (::geteuid() != 0) GTEST_SKIP() << "only the super-user can leave a folder this user cannot remove";
  ASSERT_EQ(compile("--single").status, 0);
  // A set of ours left by a killed run of another user (the super-user), which this one may not
  // remove.
  const fs::path left = f.project / "bin.~new-abc123";
  Fixture::put(left / kLeftoverMarkerName, "bin.~new-abc123\n");
  Fixture::put(left / "set" / platform::pathFromUtf8("正1.bin"), "old");
  const auto o = compile("--multi");
  EXPECT_EQ(o.status, 0) << o.out;
  EXPECT_NE(o.out.find("不能删除文件夹：" + platform::pathToUtf8(left)), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("总步数"), std::string::npos);
  EXPECT_TRUE(fs::exists(left / "set" / platform::pathFromUtf8("正1.bin")));
}

}  // namespace
}  // namespace lumafex
