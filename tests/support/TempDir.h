#pragma once
// A fresh directory for one test, removed at the end.

#include <filesystem>
#include <random>
#include <string>

namespace lumafex::testing {

class TempDir {
 public:
  TempDir() {
    std::mt19937_64 rng{std::random_device{}()};
    const auto base = std::filesystem::temp_directory_path();
    do {
      path_ = base / ("lumafex-test-" + std::to_string(rng() % 1000000000ULL));
    } while (std::filesystem::exists(path_));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace lumafex::testing
