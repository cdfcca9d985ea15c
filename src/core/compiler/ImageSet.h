#pragma once
// The EPROM images of one compile as one set: every file the compile writes into the project's
// "bin" is first assembled in memory (name → bytes), then the set is published by one function so
// that "bin" holds either the complete set of the previous compile or the complete new one, never
// a mixture, whenever the process is stopped.
//
// Publication builds a fresh folder beside "bin" ("bin.~new-XXXXXX") holding the new files and a
// hard link to every file of the old "bin" that the compile keeps, then exchanges the two folders
// in one rename. The old folder is removed only after the exchange. What an interrupted run left
// (a half-built new folder, an old folder not yet removed, stray ".tmp" files of the per-file
// writer) is removed by the next publication and by `cleanImageLeftovers`.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/platform/Result.h"

namespace lumafex::compiler {

struct ImageSet {
  // File name inside "bin" → its bytes.
  std::vector<std::pair<std::string, std::string>> files;
  // Numbered chip files this compile retires: prefix + k + ".bin" for k = first, first + 1, …
  // while the file exists in the old "bin" (the first missing number ends the run).
  struct Retired {
    std::string prefix;
    int first = 1;
  };
  std::vector<Retired> retired;
  // Single files this compile removes from "bin" (copies that no longer match their images).
  std::vector<std::string> retiredNames;

  void add(std::string name, std::string bytes) { files.emplace_back(std::move(name), std::move(bytes)); }
};

// Publishes the set into `bin` (created when missing) as one change. Files of the old "bin" that
// the set neither replaces nor retires are kept. On failure `bin` is as it was.
Status publishImageSet(const std::filesystem::path& bin, const ImageSet& set);
// The same without the folder exchange, in the two renames used on file systems that lack it.
Status publishImageSetByRenames(const std::filesystem::path& bin, const ImageSet& set);

// Removes what interrupted publications into `bin` left behind, and puts the old folder back as
// "bin" when a run on a file system without folder exchange was stopped between its two renames.
// Does nothing while another process publishes into the same project directory. Returns the
// number of leftovers removed.
int cleanImageLeftovers(const std::filesystem::path& bin);

}  // namespace lumafex::compiler
