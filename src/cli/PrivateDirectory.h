#pragma once
// A private temporary directory for the working files of one command, removed when it ends. Its
// name carries the process number, so a later compile can remove the folders of killed runs.

#include <filesystem>

#include "compiler/ProjectCompile.h"

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

}  // namespace lumafex::cli
