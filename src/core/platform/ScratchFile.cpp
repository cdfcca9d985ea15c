#include "core/platform/ScratchFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>

namespace lumafex::platform {

std::string cleanPlatformPath(std::string_view raw) {
  std::string s;
  for (char c : raw) {
    if (c != '\0') s += c;
  }
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

Result<fs::path> createScratchFile(const fs::path& dir) {
  std::mt19937 rng{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "~00%X.TMP", static_cast<unsigned>(rng() & 0xFFFFF));
    const fs::path path = dir / name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return Result<fs::path>::ok(path);
    }
    if (errno != EEXIST) break;
  }
  return Result<fs::path>::fail("不能在临时目录中建立临时文件");
}

int removeScratchFiles(const fs::path& dir) {
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(kScratchPrefix, 0) != 0) continue;
    std::error_code typeEc;
    if (!it->is_regular_file(typeEc)) continue;
    std::error_code rmEc;
    if (fs::remove(it->path(), rmEc)) ++removed;
  }
  return removed;
}

Status overwriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return Status::fail("不能写入文件：" + path.string());
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return Status::fail("不能写入文件：" + path.string());
  return success();
}

}  // namespace lumafex::platform
