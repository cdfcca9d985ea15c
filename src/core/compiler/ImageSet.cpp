#include "core/compiler/ImageSet.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <set>

#include "core/platform/TextFile.h"

namespace lumafex::compiler {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNewPrefix = "bin.~new-";
constexpr std::string_view kOldPrefix = "bin.~old-";

std::string failure(const fs::path& bin, int err) {
  return "不能写入EPROM文件：" + platform::pathToUtf8(bin) + "（" + std::strerror(err) + "）";
}

// An exclusive lock on the project directory for the time of a publication, so that two compiles
// of one project (the desktop program and the command line) never take each other's folders for
// leftovers. The lock goes with the process, also when it is killed.
class DirectoryLock {
 public:
  DirectoryLock(const fs::path& dir, bool wait) {
    fd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
      if (errno == EINTR) continue;
      held_ = errno == ENOLCK;  // no locks on this file system: go on unlocked
      return;
    }
    held_ = true;
  }
  ~DirectoryLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;
  // Whether the caller may go on: the lock is held, or the directory cannot be locked at all.
  bool held() const { return held_ || fd_ < 0; }
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
  bool held_ = false;
};

// A stray file of the per-file writer: name + ".~" + 8 hexadecimal digits + ".tmp".
bool isStrayTemporary(const std::string& name) {
  constexpr std::size_t tail = 2 + 8 + 4;
  if (name.size() <= tail || name.compare(name.size() - 4, 4, ".tmp") != 0) return false;
  const std::size_t at = name.size() - tail;
  if (name.compare(at, 2, ".~") != 0) return false;
  for (std::size_t i = at + 2; i < at + 10; ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

bool hasPrefix(const std::string& name, std::string_view prefix) {
  return name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0;
}

// A fresh empty folder beside `bin`.
fs::path freshFolder(const fs::path& parent, std::string_view prefix) {
  std::string pattern = platform::pathToUtf8(parent / std::string(prefix)) + "XXXXXX";
  if (!::mkdtemp(pattern.data())) return {};
  return platform::pathFromUtf8(pattern);
}

void syncDirectory(const fs::path& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The folder's leftovers; the caller holds the lock.
int cleanLocked(const fs::path& bin) {
  const fs::path parent = bin.parent_path();
  int removed = 0;
  std::error_code ec;
  std::vector<fs::path> oldFolders;
  for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = platform::pathToUtf8(it->path().filename());
    std::error_code typeEc;
    if (!it->is_directory(typeEc) || it->is_symlink(typeEc)) continue;
    if (hasPrefix(name, kNewPrefix)) {
      std::error_code rmEc;
      if (fs::remove_all(it->path(), rmEc) != static_cast<std::uintmax_t>(-1)) ++removed;
    } else if (hasPrefix(name, kOldPrefix)) {
      oldFolders.push_back(it->path());
    }
  }
  std::error_code existsEc;
  if (!fs::exists(fs::symlink_status(bin, existsEc)) && !oldFolders.empty()) {
    // Stopped between taking the old folder away and putting the new one in place: the old set
    // is complete, so it goes back.
    if (::rename(oldFolders.front().c_str(), bin.c_str()) == 0) oldFolders.erase(oldFolders.begin());
  }
  for (const fs::path& old : oldFolders) {
    std::error_code rmEc;
    if (fs::remove_all(old, rmEc) != static_cast<std::uintmax_t>(-1)) ++removed;
  }
  std::error_code dirEc;
  if (fs::is_directory(bin, dirEc)) {
    for (fs::directory_iterator it(bin, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code typeEc;
      if (!it->is_regular_file(typeEc)) continue;
      if (!isStrayTemporary(platform::pathToUtf8(it->path().filename()))) continue;
      std::error_code rmEc;
      if (fs::remove(it->path(), rmEc)) ++removed;
    }
  }
  return removed;
}

// Where the images really go: a "bin" that is a symbolic link is followed, so the link stays.
fs::path resolved(const fs::path& bin) {
  std::error_code ec;
  if (fs::is_symlink(bin, ec)) {
    fs::path target = fs::canonical(bin, ec);
    if (!ec) return target;
  }
  return bin;
}

// Puts into `stage` a link to every entry of `bin` that the new set keeps.
bool linkKept(const fs::path& bin, const fs::path& stage, const ImageSet& set) {
  std::set<std::string> dropped;
  for (const auto& [name, bytes] : set.files) dropped.insert(name);
  for (const auto& name : set.retiredNames) dropped.insert(name);
  for (const auto& run : set.retired) {
    for (int k = run.first;; ++k) {
      const std::string name = run.prefix + std::to_string(k) + ".bin";
      std::error_code ec;
      if (!fs::exists(fs::symlink_status(bin / platform::pathFromUtf8(name), ec))) break;
      dropped.insert(name);
    }
  }
  std::error_code ec;
  for (fs::directory_iterator it(bin, ec), end; it != end; it.increment(ec)) {
    if (ec) return false;
    const fs::path from = it->path();
    const std::string name = platform::pathToUtf8(from.filename());
    if (dropped.count(name) || isStrayTemporary(name)) continue;
    const fs::path to = stage / from.filename();
    std::error_code typeEc;
    const auto status = fs::symlink_status(from, typeEc);
    if (typeEc) return false;
    std::error_code copyEc;
    if (fs::is_symlink(status)) {
      fs::copy_symlink(from, to, copyEc);
    } else if (fs::is_directory(status)) {
      fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::create_hard_links, copyEc);
      if (copyEc) {
        std::error_code again;
        fs::remove_all(to, again);
        copyEc.clear();
        fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, copyEc);
      }
    } else if (::link(from.c_str(), to.c_str()) != 0) {
      fs::copy_file(from, to, copyEc);  // a file system without hard links
    }
    if (copyEc) return false;
  }
  return !ec;
}

// Writes the set file by file into `bin` and removes the retired files: for a "bin" that cannot
// be exchanged (a mount point). Each file is still replaced whole.
Status publishInPlace(const fs::path& bin, const ImageSet& set) {
  std::vector<std::pair<fs::path, std::string_view>> files;
  for (const auto& [name, bytes] : set.files) files.emplace_back(bin / platform::pathFromUtf8(name), bytes);
  if (auto s = platform::writeFilesSafely(files); !s) return s;
  for (const auto& name : set.retiredNames) {
    std::error_code ec;
    fs::remove(bin / platform::pathFromUtf8(name), ec);
  }
  for (const auto& run : set.retired) {
    for (int k = run.first;; ++k) {
      std::error_code ec;
      if (!fs::remove(bin / platform::pathFromUtf8(run.prefix + std::to_string(k) + ".bin"), ec)) break;
    }
  }
  return success();
}

mode_t folderMode(const fs::path& bin, bool exists) {
  struct stat st {};
  if (exists && ::stat(bin.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return 0777 & ~mask;
}

}  // namespace

int cleanImageLeftovers(const fs::path& binPath) {
  const fs::path bin = resolved(binPath);
  DirectoryLock lock(bin.parent_path(), false);
  if (!lock.held()) return 0;
  return cleanLocked(bin);
}

namespace {
Status publish(const fs::path& binPath, const ImageSet& set, bool exchange);
}

Status publishImageSet(const fs::path& bin, const ImageSet& set) {
  return publish(bin, set, true);
}
Status publishImageSetByRenames(const fs::path& bin, const ImageSet& set) {
  return publish(bin, set, false);
}

namespace {

Status publish(const fs::path& binPath, const ImageSet& set, bool exchange) {
  const fs::path bin = resolved(binPath);
  const fs::path parent = bin.parent_path();
  std::error_code ec;
  fs::create_directories(parent, ec);
  DirectoryLock lock(parent, true);
  cleanLocked(bin);

  const auto status = fs::symlink_status(bin, ec);
  const bool exists = fs::exists(status);
  if (exists && !fs::is_directory(status)) return Status::fail(failure(binPath, ENOTDIR));

  const fs::path stage = freshFolder(parent, kNewPrefix);
  if (stage.empty()) return Status::fail(failure(binPath, errno));
  auto abandon = [&](int err) {
    std::error_code rmEc;
    fs::remove_all(stage, rmEc);
    return Status::fail(failure(binPath, err));
  };
  if (exists && !linkKept(bin, stage, set)) return abandon(errno ? errno : EIO);
  // Every file's write-out starts as it is written; all are waited for, then one fsync commits the
  // file system's journal with them (unlike syncfs, without waiting for other programs' data).
  std::vector<int> written;
  auto closeAll = [&] {
    int err = 0;
    for (const int fd : written) {
      if (::close(fd) != 0 && err == 0) err = errno;
    }
    written.clear();
    return err;
  };
  for (const auto& [name, bytes] : set.files) {
    const fs::path path = stage / platform::pathFromUtf8(name);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      const int err = errno;
      closeAll();
      return abandon(err);
    }
    written.push_back(fd);
    if (!platform::writeAll(fd, bytes)) {
      const int err = errno ? errno : EIO;
      closeAll();
      return abandon(err);
    }
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
  }
  bool flushed = true;
  for (const int fd : written) {
    if (::sync_file_range(
            fd, 0, 0, SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER) != 0)
      flushed = false;
  }
  if (!written.empty() && ::fsync(written.back()) != 0) flushed = false;
  if (!flushed) {
    for (const int fd : written) ::fsync(fd);  // where write-out cannot be started per file
  }
  if (const int err = closeAll()) return abandon(err);
  ::chmod(stage.c_str(), folderMode(bin, exists));
  syncDirectory(stage);

  if (!exists) {
    if (::rename(stage.c_str(), bin.c_str()) != 0) return abandon(errno);
    syncDirectory(parent);
    return success();
  }
  if (exchange && ::renameat2(AT_FDCWD, stage.c_str(), AT_FDCWD, bin.c_str(), RENAME_EXCHANGE) == 0) {
    syncDirectory(parent);
    std::error_code rmEc;
    fs::remove_all(stage, rmEc);  // now the old set
    return success();
  }
  const int err = exchange ? errno : EINVAL;
  if (err == EINVAL || err == ENOSYS || err == ENOTSUP) {
    // No exchange on this file system: the old folder steps aside, the new one takes its place.
    // Stopped in between, the next run puts the old folder back (cleanLocked).
    const fs::path old = freshFolder(parent, kOldPrefix);
    if (old.empty()) return abandon(errno);
    if (::rename(bin.c_str(), old.c_str()) != 0) {
      const int e = errno;
      ::rmdir(old.c_str());
      if (e == EBUSY || e == EXDEV) {
        std::error_code rmEc;
        fs::remove_all(stage, rmEc);
        return publishInPlace(bin, set);
      }
      return abandon(e);
    }
    if (::rename(stage.c_str(), bin.c_str()) != 0) {
      const int e = errno;
      ::rename(old.c_str(), bin.c_str());
      return abandon(e);
    }
    syncDirectory(parent);
    std::error_code rmEc;
    fs::remove_all(old, rmEc);
    return success();
  }
  if (err == EBUSY || err == EXDEV) {
    // "bin" is a mount point of its own.
    std::error_code rmEc;
    fs::remove_all(stage, rmEc);
    return publishInPlace(bin, set);
  }
  return abandon(err);
}

}  // namespace

}  // namespace lumafex::compiler
