#pragma once
// A small project on disk for tests that run lumafex-cli against it: "红星.hs" (8 columns, one
// colour, the title "欢迎光", two board entries) and its directory "红星", in a fresh temporary
// directory. Record lines can be replaced one by one with raw GBK bytes.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/design/ProjectRecord.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::testing {

inline std::string gbk(std::string_view utf8) {
  auto r = platform::utf8ToGbk(utf8);
  return r ? *r : std::string();
}

// Every entry under a folder with its bytes (folders as "<dir>", anything else as "<other>").
inline std::map<std::string, std::string> snapshot(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const std::string name = platform::pathToUtf8(fs::relative(e.path(), root));
    if (e.is_regular_file() && !e.is_symlink()) {
      auto bytes = platform::readBytes(e.path(), 1u << 30);
      files[name] = bytes ? *bytes : "<unreadable>";
    } else if (e.is_symlink()) {
      files[name] = "<link " + platform::pathToUtf8(fs::read_symlink(e.path())) + ">";
    } else {
      files[name] = e.is_directory() ? "<dir>" : "<other>";
    }
  }
  return files;
}

struct ProjectFixture {
  TempDir dir;
  std::filesystem::path file = dir.path() / platform::pathFromUtf8("红星.hs");
  std::filesystem::path project = dir.path() / platform::pathFromUtf8("红星");
  std::filesystem::path bin = project / "bin";
  std::vector<std::string> lines;  // the record's lines, GBK

  ProjectFixture() {
    design::ProjectSettings s;
    s.columns = "8";
    s.colourCount = "1";
    s.title = "欢迎光";
    s.baseChannels = "8";
    const auto record = design::recordOf(s, {"1右扫", "22收缩"});
    for (const auto& v : record.values) lines.push_back(gbk(v.value_or("")));
    for (const auto& v : record.reserved) lines.push_back(gbk(v));
    lines.push_back(gbk(design::kBoardMarker));
    for (const auto& e : record.board) lines.push_back(gbk(e));
    std::filesystem::create_directories(project);
    writeRecord();
  }
  // Line k (1-based) of the record; board entries follow line 66.
  void set(int k, std::string gbkBytes) {
    lines[static_cast<std::size_t>(k - 1)] = std::move(gbkBytes);
    writeRecord();
  }
  void setBoard(const std::vector<std::string>& entries) {
    lines.resize(66);
    lines.insert(lines.end(), entries.begin(), entries.end());
    writeRecord();
  }
  void writeRecord() const {
    std::string bytes;
    for (const auto& l : lines) bytes += l + "\r\n";
    put(file, bytes);
  }
  // A file with these bytes, its folders made when missing.
  static void put(const std::filesystem::path& p, std::string_view bytes) {
    std::filesystem::create_directories(p.parent_path());
    std::filesystem::remove(p);
    ASSERT_TRUE(platform::writeBytesSafely(p, bytes, false));
  }
  void putInProject(const char* name, std::string_view bytes) const {
    put(project / platform::pathFromUtf8(name), bytes);
  }
  std::string quoted() const { return "'" + platform::pathToUtf8(file) + "'"; }
};

}  // namespace lumafex::testing
