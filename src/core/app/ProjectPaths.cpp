#include "core/app/ProjectPaths.h"

#include <vector>

#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"

namespace lumafex::app {

namespace fs = std::filesystem;

fs::path projectDirectory(const fs::path& projectFile) {
  // Only the file name has an extension: a "." in a folder name (v1.2/P) is not cut.
  const std::string name = platform::pathToUtf8(projectFile.filename());
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return projectFile;
  return projectFile.parent_path() / platform::pathFromUtf8(name.substr(0, dot));
}

std::string logoPictureName(int k) {
  return "标志" + std::to_string(k) + ".bmp";
}
std::string imagePictureName(int k) {
  return "图案" + std::to_string(k) + ".bmp";
}

int consecutivePictures(const fs::path& directory, std::string (*name)(int)) {
  int k = 0;
  std::error_code ec;
  while (k < 100000 && fs::is_regular_file(directory / platform::pathFromUtf8(name(k + 1)), ec)) ++k;
  return k;
}

std::string lastCharacters(std::string_view utf8, std::size_t n) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < utf8.size();) {
    starts.push_back(i);
    platform::utf8Char(utf8, i);
  }
  if (starts.size() <= n) return std::string(utf8);
  return std::string(utf8.substr(starts[starts.size() - n]));
}

std::string windowCaption(std::string_view projectPathUtf8) {
  return "Lumafex……" + lastCharacters(projectPathUtf8, 20);
}

}  // namespace lumafex::app
