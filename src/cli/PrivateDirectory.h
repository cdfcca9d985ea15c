#pragma once
// A private temporary directory for the working files of one command, removed when it ends.

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace lumafex::cli {

class PrivateDirectory {
 public:
  PrivateDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumafex-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
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
