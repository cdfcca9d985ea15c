#include "core/compiler/ImageSet.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>

#include "core/platform/TextFile.h"

namespace lumafex::compiler {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNewPrefix = "bin.~new-";
constexpr const char* kStage = "set";  // the new set inside our folder, then the old one
constexpr const char* kOld = "old";    // the old set, when folders cannot be exchanged

std::string failure(const fs::path& bin, int err) {
  return "不能写入EPROM文件：" + platform::pathToUtf8(bin) + "（" + std::strerror(err) + "）";
}

std::string removalNote(const fs::path& folder, int err) {
  return "不能删除文件夹：" + platform::pathToUtf8(folder) + "（" + std::strerror(err) + "）";
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

 private:
  int fd_ = -1;
  bool held_ = false;
};

bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// A name this program writes into "bin": an image or one of its HEX and S-record copies.
bool isOwnFileName(std::string_view name) {
  for (std::string_view ext : {".bin", ".hex", ".s19"}) {
    if (!endsWith(name, ext)) continue;
    const std::string image = std::string(name.substr(0, name.size() - ext.size())) + ".bin";
    return isImageName(image);
  }
  return false;
}

// A stray file of the per-file writer beside one of our own files: name + ".~" + 8 hexadecimal
// digits + ".tmp".
bool isStrayTemporary(const std::string& name) {
  constexpr std::size_t tail = 2 + 8 + 4;
  if (name.size() <= tail || !endsWith(name, ".tmp")) return false;
  const std::size_t at = name.size() - tail;
  if (name.compare(at, 2, ".~") != 0) return false;
  for (std::size_t i = at + 2; i < at + 10; ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
  }
  return isOwnFileName(std::string_view(name).substr(0, at));
}

bool hasNewPrefix(const std::string& name) {
  return name.size() == kNewPrefix.size() + 6 && name.compare(0, kNewPrefix.size(), kNewPrefix) == 0;
}

// Whether a folder beside "bin" is one of ours: it holds our marker, made right after the folder.
bool isOurFolder(const fs::path& folder) {
  const fs::path marker = folder / kLeftoverMarker;
  struct stat st {};
  return ::lstat(marker.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void syncDirectory(const fs::path& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Removes a folder tree of ours. Subfolders the owner cannot change (a read-only folder the user
// kept in "bin") are made writable first. 0, or the errno of the first failure.
int removeTree(const fs::path& dir) {
  struct stat st {};
  if (::lstat(dir.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
  if (!S_ISDIR(st.st_mode)) return ::unlink(dir.c_str()) == 0 ? 0 : errno;
  if ((st.st_mode & S_IRWXU) != S_IRWXU) ::chmod(dir.c_str(), (st.st_mode & 07777) | S_IRWXU);
  int err = 0;
  std::vector<std::string> names;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (const dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
  } else {
    return errno;
  }
  for (const std::string& name : names) {
    if (const int e = removeTree(dir / name); e != 0 && err == 0) err = e;
  }
  if (::rmdir(dir.c_str()) != 0 && err == 0) err = errno;
  return err;
}

// Removes a folder of ours with what it holds; its marker goes last, so that a removal cut short
// still leaves a folder known as ours. 0 or the errno of the failure.
int removeOurFolder(const fs::path& folder) {
  int err = 0;
  for (const char* part : {kStage, kOld}) {
    if (const int e = removeTree(folder / part); e != 0 && err == 0) err = e;
  }
  if (err != 0) return err;
  return removeTree(folder);
}

// The folder's leftovers; the caller holds the lock.
int cleanLocked(const fs::path& bin, std::vector<std::string>* notes) {
  const fs::path parent = bin.parent_path();
  int removed = 0;
  std::error_code ec;
  std::vector<fs::path> ours;
  for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeEc;
    if (!it->is_directory(typeEc) || it->is_symlink(typeEc)) continue;
    if (!hasNewPrefix(platform::pathToUtf8(it->path().filename()))) continue;
    if (isOurFolder(it->path())) {
      ours.push_back(it->path());
    } else if (::rmdir(it->path().c_str()) == 0) {
      // Empty: stopped before its marker was made (or after it was removed). Removing an empty
      // folder can lose nothing, whoever made it.
      ++removed;
    }
  }
  for (const fs::path& folder : ours) {
    struct stat st {};
    if (::lstat(bin.c_str(), &st) != 0 && errno == ENOENT) {
      // Stopped between taking the old set away and putting the new one in place: the old set is
      // complete, so it goes back.
      ::rename((folder / kOld).c_str(), bin.c_str());
    }
    if (const int err = removeOurFolder(folder); err != 0) {
      if (notes) notes->push_back(removalNote(folder, err));
    } else {
      ++removed;
    }
  }
  std::error_code dirEc;
  if (fs::is_directory(bin, dirEc)) {
    for (fs::directory_iterator it(bin, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code typeEc;
      if (!it->is_regular_file(typeEc) || it->is_symlink(typeEc)) continue;
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

// The names the set replaces or retires in the old "bin".
std::set<std::string> droppedNames(const fs::path& bin, const ImageSet& set) {
  std::set<std::string> dropped;
  for (const auto& file : set.files) dropped.insert(file.name);
  for (const auto& name : set.retiredNames) dropped.insert(name);
  for (const auto& run : set.retired) {
    for (int k = run.first;; ++k) {
      const std::string name = run.prefix + std::to_string(k) + ".bin";
      std::error_code ec;
      if (!fs::exists(fs::symlink_status(bin / platform::pathFromUtf8(name), ec))) break;
      dropped.insert(name);
    }
  }
  return dropped;
}

// A file of the set whose name is taken in "bin" by something that is not a regular file: a
// folder, a link, a device. The user's, and not ours to replace.
Status checkNames(const fs::path& binPath, const fs::path& bin, const ImageSet& set) {
  for (const auto& file : set.files) {
    const fs::path path = bin / platform::pathFromUtf8(file.name);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) continue;
    const char* what = S_ISDIR(st.st_mode) ? "文件夹" : S_ISLNK(st.st_mode) ? "链接" : "特殊文件";
    return Status::fail("不能写入EPROM文件：" +
                        platform::pathToUtf8(binPath / platform::pathFromUtf8(file.name)) + " 是一个" + what +
                        "，不是EPROM文件。请把它移走或改名；没有写入任何文件。");
  }
  return success();
}

// A copy of a folder the user keeps in "bin": its folders made anew, its files hard links.
bool linkTree(const fs::path& from, const fs::path& to) {
  struct stat st {};
  if (::lstat(from.c_str(), &st) != 0) return false;
  if (::mkdir(to.c_str(), 0700) != 0) return false;
  std::error_code ec;
  for (fs::directory_iterator it(from, ec), end; it != end; it.increment(ec)) {
    if (ec) return false;
    const fs::path target = to / it->path().filename();
    const auto status = fs::symlink_status(it->path(), ec);
    if (ec) return false;
    if (fs::is_symlink(status)) {
      fs::copy_symlink(it->path(), target, ec);
    } else if (fs::is_directory(status)) {
      if (!linkTree(it->path(), target)) return false;
    } else if (::link(it->path().c_str(), target.c_str()) != 0) {
      fs::copy_file(it->path(), target, ec);  // a file system without hard links
    }
    if (ec) return false;
  }
  if (ec) return false;
  ::chmod(to.c_str(), st.st_mode & 07777);
  return true;
}

// Puts into `stage` a link to every entry of `bin` that the new set keeps: everything but the
// regular files it replaces or retires (a folder, a link or a special file of a retired name
// stays), our marker and stray temporary files.
bool linkKept(const fs::path& bin, const fs::path& stage, const ImageSet& set) {
  const std::set<std::string> dropped = droppedNames(bin, set);
  std::error_code ec;
  for (fs::directory_iterator it(bin, ec), end; it != end; it.increment(ec)) {
    if (ec) return false;
    const fs::path from = it->path();
    const std::string name = platform::pathToUtf8(from.filename());
    const auto status = fs::symlink_status(from, ec);
    if (ec) return false;
    const bool regular = fs::is_regular_file(status);
    if (name == kLeftoverMarker || (regular && (dropped.count(name) || isStrayTemporary(name)))) continue;
    const fs::path to = stage / from.filename();
    if (fs::is_symlink(status)) {
      fs::copy_symlink(from, to, ec);
    } else if (fs::is_directory(status)) {
      if (!linkTree(from, to)) return false;
    } else if (::link(from.c_str(), to.c_str()) != 0) {
      fs::copy_file(from, to, ec);  // a file system without hard links
    }
    if (ec) return false;
  }
  return !ec;
}

// Writes one file of the set into an open descriptor.
class DescriptorSink final : public platform::ByteSink {
 public:
  explicit DescriptorSink(int fd) : fd_(fd) {}
  bool write(std::string_view bytes) override {
    if (err_ != 0) return false;
    if (!platform::writeAll(fd_, bytes)) err_ = errno ? errno : EIO;
    return err_ == 0;
  }
  int error() const { return err_; }

 private:
  int fd_;
  int err_ = 0;
};

// Takes the checksums of what passes on to another sink.
class ChecksumSink final : public platform::ByteSink {
 public:
  explicit ChecksumSink(platform::ByteSink& next) : next_(next) {}
  bool write(std::string_view bytes) override {
    checksum_.add(bytes);
    return next_.write(bytes);
  }
  const ChecksumAccumulator& checksum() const { return checksum_; }

 private:
  platform::ByteSink& next_;
  ChecksumAccumulator checksum_;
};

// Writes one file of the set into `sink`, with its checksum when the set asks for them.
bool writeFile(const ImageSet& set, const ImageSet::File& file, platform::ByteSink& sink,
               PublishReport& report) {
  ChecksumSink checked(sink);
  platform::ByteSink& out = set.checksums ? static_cast<platform::ByteSink&>(checked) : sink;
  const bool ok = file.write ? file.write(out) : out.write(file.bytes);
  if (set.checksums) {
    report.checksums.push_back({file.name, checked.checksum().sum(), checked.checksum().crc()});
  }
  return ok;
}

// Writes the set file by file into `bin` and removes the retired files: for a "bin" that cannot
// be exchanged (a mount point). Each file is still replaced whole, and none before all are written.
Status publishInPlace(const fs::path& bin, const ImageSet& set, PublishReport& report) {
  std::set<std::string> retiring = droppedNames(bin, set);
  for (const auto& file : set.files) retiring.erase(file.name);
  std::vector<std::unique_ptr<platform::FileReplacement>> files;
  for (const auto& file : set.files) {
    files.push_back(
        std::make_unique<platform::FileReplacement>(bin / platform::pathFromUtf8(file.name), true));
    if (!writeFile(set, file, *files.back(), report)) return files.back()->commit();
  }
  for (auto& file : files) {
    if (auto s = file->commit(); !s) return s;
  }
  for (const auto& name : retiring) {
    const fs::path path = bin / platform::pathFromUtf8(name);
    std::error_code ec;
    if (fs::is_regular_file(fs::symlink_status(path, ec))) fs::remove(path, ec);
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

// A fresh folder of ours beside "bin", its marker written first; empty path (errno set) when it
// cannot be made.
fs::path ourFolder(const fs::path& parent) {
  std::string pattern = platform::pathToUtf8(parent / std::string(kNewPrefix)) + "XXXXXX";
  if (!::mkdtemp(pattern.data())) return {};
  fs::path folder = platform::pathFromUtf8(pattern);
  const fs::path marker = folder / kLeftoverMarker;
  const int fd = ::open(marker.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  const std::string text = platform::pathToUtf8(folder.filename()) + "\n";
  const bool ok = fd >= 0 && platform::writeAll(fd, text);
  const int err = errno;
  if (fd >= 0) ::close(fd);
  if (!ok || ::mkdir((folder / kStage).c_str(), 0700) != 0) {
    const int e = ok ? errno : err;
    removeTree(folder);
    errno = e;
    return {};
  }
  return folder;
}

Status publish(const fs::path& binPath, const ImageSet& set, bool exchange, PublishReport& report) {
  const fs::path bin = resolved(binPath);
  const fs::path parent = bin.parent_path();
  std::error_code ec;
  fs::create_directories(parent, ec);
  DirectoryLock lock(parent, true);
  cleanLocked(bin, &report.notes);

  const auto status = fs::symlink_status(bin, ec);
  const bool exists = fs::exists(status);
  if (exists && !fs::is_directory(status)) return Status::fail(failure(binPath, ENOTDIR));
  if (exists) {
    // A "bin" the user may not change keeps its images, as writing into it file by file would.
    if (::access(bin.c_str(), W_OK | X_OK) != 0) return Status::fail(failure(binPath, errno));
    if (auto s = checkNames(binPath, bin, set); !s) return s;
  }

  const fs::path folder = ourFolder(parent);
  if (folder.empty()) return Status::fail(failure(binPath, errno));
  const fs::path stage = folder / kStage;
  auto abandon = [&](int err) {
    removeOurFolder(folder);
    return Status::fail(failure(binPath, err));
  };
  auto finish = [&] {
    if (const int err = removeOurFolder(folder); err != 0) report.notes.push_back(removalNote(folder, err));
    return success();
  };
  if (exists && !linkKept(bin, stage, set)) return abandon(errno ? errno : EIO);
  // Each file is written as it is made and its write-out started at once; all are waited for, then
  // one fsync commits the file system's journal with them (unlike syncfs, without waiting for
  // other programs' data).
  std::vector<int> written;
  auto closeAll = [&] {
    int err = 0;
    for (const int fd : written) {
      if (::close(fd) != 0 && err == 0) err = errno;
    }
    written.clear();
    return err;
  };
  report.checksums.clear();
  for (const auto& file : set.files) {
    const fs::path path = stage / platform::pathFromUtf8(file.name);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      const int err = errno;
      closeAll();
      return abandon(err);
    }
    written.push_back(fd);
    DescriptorSink sink(fd);
    if (!writeFile(set, file, sink, report)) {
      const int err = sink.error() ? sink.error() : EIO;
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
    return finish();
  }
  if (exchange && ::renameat2(AT_FDCWD, stage.c_str(), AT_FDCWD, bin.c_str(), RENAME_EXCHANGE) == 0) {
    // The old set is now inside our folder, beside the marker, and goes with it.
    syncDirectory(parent);
    return finish();
  }
  const int err = exchange ? errno : EINVAL;
  if (err == EINVAL || err == ENOSYS || err == ENOTSUP) {
    // No exchange on this file system: the old set steps aside into our folder, the new one takes
    // its place. Stopped in between, the next run puts the old set back (cleanLocked).
    const fs::path old = folder / kOld;
    if (::rename(bin.c_str(), old.c_str()) != 0) {
      const int e = errno;
      if (e == EBUSY || e == EXDEV) {
        removeOurFolder(folder);
        return publishInPlace(bin, set, report);
      }
      return abandon(e);
    }
    if (::rename(stage.c_str(), bin.c_str()) != 0) {
      const int e = errno;
      ::rename(old.c_str(), bin.c_str());
      return abandon(e);
    }
    syncDirectory(parent);
    return finish();
  }
  if (err == EBUSY || err == EXDEV) {
    // "bin" is a mount point of its own.
    removeOurFolder(folder);
    return publishInPlace(bin, set, report);
  }
  return abandon(err);
}

}  // namespace

int cleanImageLeftovers(const fs::path& binPath, std::vector<std::string>* notes) {
  const fs::path bin = resolved(binPath);
  DirectoryLock lock(bin.parent_path(), false);
  if (!lock.held()) return 0;
  return cleanLocked(bin, notes);
}

Status publishImageSet(const fs::path& bin, const ImageSet& set, PublishReport* report) {
  PublishReport own;
  return publish(bin, set, true, report ? *report : own);
}

Status publishImageSetByRenames(const fs::path& bin, const ImageSet& set, PublishReport* report) {
  PublishReport own;
  return publish(bin, set, false, report ? *report : own);
}

}  // namespace lumafex::compiler
