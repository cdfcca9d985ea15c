#include "core/platform/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>

#include "core/platform/TextCodec.h"

namespace lumafex::platform {

namespace {

std::string describe(const fs::path& path, const std::string& what) {
  return what + "：" + pathToUtf8(path);
}

std::string uniqueSuffix() {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  static const char* hex = "0123456789abcdef";
  std::string s = ".~";
  auto v = rng();
  for (int i = 0; i < 8; ++i, v >>= 4) s += hex[v & 15];
  return s + ".tmp";
}

}  // namespace

bool writeAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

fs::path pathFromUtf8(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string pathToUtf8(const fs::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

Result<std::string> readBytes(const fs::path& path, std::uintmax_t limit) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return Result<std::string>::fail(describe(path, "文件不存在"));
  const auto size = fs::file_size(path, ec);
  if (ec) return Result<std::string>::fail(describe(path, "不能读取文件"));
  if (size > limit) return Result<std::string>::fail(describe(path, "文件太大"));
  std::ifstream in(path, std::ios::binary);
  if (!in) return Result<std::string>::fail(describe(path, "不能打开文件"));
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return Result<std::string>::ok(std::move(bytes));
}

namespace {

fs::path tempBeside(const fs::path& path) {
  const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  return dir / (path.filename().native() + uniqueSuffix());
}

std::string writeFailure(const fs::path& path, int err) {
  return describe(path, std::string("不能写入文件（") + std::strerror(err) + "）");
}

}  // namespace

WriteTarget writeTargetOf(const fs::path& path) {
  WriteTarget t;
  t.path = path;
  // A chain of symbolic links is followed to its end, as opening the path would follow it.
  for (int hops = 0;; ++hops) {
    struct stat st {};
    if (::lstat(t.path.c_str(), &st) != 0) {
      if (errno == ENOENT) {
        t.kind = WriteTarget::Missing;
      } else {
        t.error = errno;
      }
      return t;
    }
    if (S_ISLNK(st.st_mode)) {
      if (hops >= 40) {
        t.error = ELOOP;
        return t;
      }
      std::error_code ec;
      const fs::path link = fs::read_symlink(t.path, ec);
      if (ec) {
        t.error = ec.value();
        return t;
      }
      t.path = link.is_absolute() ? link : t.path.parent_path() / link;
      continue;
    }
    t.kind = S_ISREG(st.st_mode)   ? WriteTarget::Regular
             : S_ISDIR(st.st_mode) ? WriteTarget::Directory
                                   : WriteTarget::Special;
    t.fifo = S_ISFIFO(st.st_mode);
    return t;
  }
}

FileReplacement::FileReplacement(const fs::path& path, bool durable) : path_(path), durable_(durable) {
  const WriteTarget target = writeTargetOf(path);
  if (target.error) {
    refusal_ = writeFailure(path, target.error);
    return;
  }
  if (target.kind == WriteTarget::Directory) {
    refusal_ = writeFailure(path, EISDIR);
    return;
  }
  if (target.kind == WriteTarget::Special) {
    // Written into as it is: a device, a FIFO (refused when nobody reads it, rather than waited for).
    through_ = true;
    fd_ = ::open(target.path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
      refusal_ = errno == ENXIO && target.fifo ? describe(path, "不能写入文件（管道没有读取者）")
                                               : writeFailure(path, errno);
      return;
    }
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
    return;
  }
  // A regular file, or none yet (the end of a link, when the path is one): replaced whole.
  target_ = target.path;
  temp_ = tempBeside(target_);
  fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    refusal_ = writeFailure(path, errno);
    temp_.clear();
  }
}

FileReplacement::~FileReplacement() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

bool FileReplacement::write(std::string_view bytes) {
  if (fd_ < 0 || err_ != 0) return false;
  // Small pieces (a line, a line end) are gathered, so that a file written line by line costs a
  // write call per 256 KB, not per piece.
  constexpr std::size_t kGather = std::size_t{256} * 1024;
  if (pending_.size() + bytes.size() <= kGather) {
    pending_.append(bytes);
    return true;
  }
  if (!flush()) return false;
  if (bytes.size() < kGather) {
    pending_.append(bytes);
    return true;
  }
  if (!writeAll(fd_, bytes)) err_ = errno ? errno : EIO;
  return err_ == 0;
}

bool FileReplacement::flush() {
  if (!pending_.empty() && err_ == 0 && !writeAll(fd_, pending_)) err_ = errno ? errno : EIO;
  pending_.clear();
  return err_ == 0;
}

Status FileReplacement::commit() {
  if (!refusal_.empty()) return Status::fail(refusal_);
  if (fd_ < 0) return Status::fail(writeFailure(path_, EBADF));
  flush();
  int err = err_;
  if (err == 0 && durable_ && !through_ && ::fsync(fd_) != 0) err = errno;
  if (::close(fd_) != 0 && err == 0) err = errno;
  fd_ = -1;
  if (err == 0 && !through_ && ::rename(temp_.c_str(), target_.c_str()) != 0) err = errno;
  if (err != 0) return Status::fail(writeFailure(path_, err));
  temp_.clear();
  return success();
}

Status writeBytesSafely(const fs::path& path, std::string_view bytes, bool durable) {
  FileReplacement file(path, durable);
  file.write(bytes);
  return file.commit();
}

Status readInPieces(const fs::path& path, std::uintmax_t limit,
                    const std::function<bool(std::string_view)>& fn, std::size_t pieceBytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return Status::fail(describe(path, errno == ENOENT || errno == ENOTDIR ? "文件不存在" : "不能打开文件"));
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return Status::fail(describe(path, "文件不存在"));
  if (static_cast<std::uintmax_t>(st.st_size) > limit) return Status::fail(describe(path, "文件太大"));
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  std::string piece(std::max<std::size_t>(pieceBytes, 1), '\0');
  std::uintmax_t total = 0;
  for (;;) {
    const ssize_t n = ::read(fd, piece.data(), piece.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return Status::fail(describe(path, "不能读取文件"));
    }
    if (n == 0) return success();
    total += static_cast<std::uintmax_t>(n);
    if (total > limit) return Status::fail(describe(path, "文件太大"));  // it grew while read
    if (!fn(std::string_view(piece.data(), static_cast<std::size_t>(n)))) return success();
  }
}

Status writeFilesSafely(const std::vector<std::pair<fs::path, std::string_view>>& files) {
  // Every target is checked first: one that cannot be replaced stops the whole set before anything
  // is written.
  std::vector<fs::path> targets;
  for (const auto& [path, bytes] : files) {
    const WriteTarget target = writeTargetOf(path);
    if (target.error) return Status::fail(writeFailure(path, target.error));
    if (target.kind == WriteTarget::Directory) return Status::fail(writeFailure(path, EISDIR));
    if (target.kind == WriteTarget::Special)
      return Status::fail(describe(path, "不能写入文件（不是普通文件）"));
    targets.push_back(target.path);
  }
  std::vector<fs::path> temps;
  std::vector<int> open;
  auto closeAll = [&] {
    for (const int fd : open) ::close(fd);
    open.clear();
  };
  auto discard = [&] {
    closeAll();
    for (const auto& t : temps) ::unlink(t.c_str());
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    const auto& [path, bytes] = files[i];
    temps.push_back(tempBeside(targets[i]));
    const int fd = ::open(temps.back().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      const int err = errno;
      temps.pop_back();
      discard();
      return Status::fail(writeFailure(path, err));
    }
    open.push_back(fd);
    if (!writeAll(fd, bytes)) {
      const int err = errno;
      discard();
      return Status::fail(writeFailure(path, err));
    }
    // Start writing this file out while the next ones are written.
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
  }
  // Many small files: wait for the write-out of every one, then one fsync, which commits the file
  // system's journal (the new files' blocks with it) and flushes the disk's cache. Unlike syncfs it
  // does not wait for unrelated dirty data on the same file system; unlike an fsync per file it
  // commits the journal once.
  bool flushed = true;
  for (const int fd : open) {
    if (::sync_file_range(
            fd, 0, 0, SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER) != 0)
      flushed = false;
  }
  if (!open.empty() && ::fsync(open.back()) != 0) flushed = false;
  if (!flushed) {
    for (const int fd : open) ::fsync(fd);  // where write-out cannot be started per file
  }
  for (std::size_t i = 0; i < open.size(); ++i) {
    if (::close(open[i]) != 0) {
      const int err = errno;
      open.erase(open.begin(), open.begin() + static_cast<std::ptrdiff_t>(i) + 1);
      discard();
      return Status::fail(writeFailure(files[i].first, err));
    }
  }
  open.clear();
  for (std::size_t i = 0; i < temps.size(); ++i) {
    if (::rename(temps[i].c_str(), targets[i].c_str()) != 0) {
      const int err = errno;
      for (std::size_t k = i; k < temps.size(); ++k) ::unlink(temps[k].c_str());
      return Status::fail(writeFailure(files[i].first, err));
    }
  }
  return success();
}

std::vector<std::string> splitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  forEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

Result<std::vector<std::optional<std::string>>> readGbkLines(const fs::path& path) {
  return readGbkLines(path, kMaxTextFileBytes);
}

Result<std::vector<std::optional<std::string>>> readGbkLines(const fs::path& path, std::uintmax_t limit) {
  using R = Result<std::vector<std::optional<std::string>>>;
  auto bytes = readBytes(path, limit);
  if (!bytes) return R::fail(bytes.error());
  std::vector<std::optional<std::string>> out;
  // One pass over the bytes; a line of ASCII is its own UTF-8 and needs no converter.
  forEachLine(*bytes, [&](std::string_view raw) {
    if (isAscii(raw)) {
      out.emplace_back(std::string(raw));
      return;
    }
    auto decoded = gbkToUtf8(raw);
    if (decoded) {
      out.emplace_back(std::move(*decoded));
    } else {
      out.emplace_back(std::nullopt);
    }
  });
  return R::ok(std::move(out));
}

Status writeGbkLines(const fs::path& path, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) {
    auto encoded = utf8ToGbk(line);
    if (!encoded) return Status::fail(encoded.error());
    bytes += *encoded;
    bytes += "\r\n";
  }
  return writeBytesSafely(path, bytes);
}

Result<std::string> readGbkText(const fs::path& path) {
  auto bytes = readBytes(path);
  if (!bytes) return bytes;
  return gbkToUtf8(*bytes);
}

Status writeGbkText(const fs::path& path, std::string_view utf8) {
  auto encoded = utf8ToGbk(utf8);
  if (!encoded) return Status::fail(encoded.error());
  return writeBytesSafely(path, *encoded);
}

}  // namespace lumafex::platform
