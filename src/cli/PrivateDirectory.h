#pragma once
// A private temporary directory for the working files of one command, removed when it ends. Its
// name carries the process number, so a later compile can remove the folders of killed runs.

#include <filesystem>
#include <ostream>

#include "cli/Args.h"
#include "core/compiler/ProjectCompile.h"
#include "core/platform/TextFile.h"

namespace lumafex::cli {

class PrivateDirectory {
 public:
  PrivateDirectory() {
    std::error_code ec;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    if (!ec) path_ = compiler::createWorkDirectory(temp);
  }
  ~PrivateDirectory() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  PrivateDirectory(const PrivateDirectory&) = delete;
  PrivateDirectory& operator=(const PrivateDirectory&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The working directory of a compile: --workdir DIR when given (created when missing), else the
// command's private directory. Empty, after a message on `err`, when there is neither.
inline std::filesystem::path compileWorkDirectory(const Args& args, const PrivateDirectory& own,
                                                  std::ostream& err) {
  std::filesystem::path work = own.path();
  if (const auto dir = args.value("workdir")) {
    work = platform::pathFromUtf8(*dir);
    std::error_code ec;
    std::filesystem::create_directories(work, ec);
  }
  if (work.empty()) err << "lumafex-cli: 不能建立临时目录\n";
  return work;
}

}  // namespace lumafex::cli
