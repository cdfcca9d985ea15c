#pragma once
// The EPROM images of one compile as one set: every file the compile writes into the project's
// "bin" is published by one function so that "bin" holds either the complete set of the previous
// compile or the complete new one, never a mixture, whenever the process is stopped.
//
// Publication makes a fresh folder beside "bin" ("bin.~new-XXXXXX") whose first content is a
// marker file, the proof that the folder is ours. Inside it, the folder "set"
// receives the new files, written one after the other as they are made, and a hard link to every
// file of the old "bin" that the compile keeps; then "set" and "bin" are exchanged in one rename,
// which leaves the old set inside the marked folder, and the marked folder is removed. What an
// interrupted run left (a marked folder, stray ".tmp" files of the per-file writer beside our own
// image names) is removed by the next publication and by `cleanImageLeftovers`; a folder that
// merely looks like ours, without the marker, is the user's and is never touched (unless it is
// empty, as ours is for the moment before its marker is made: removing it can lose nothing).
//
// Nothing in "bin" that is not a regular file is ever replaced or removed: a folder, a link or a
// special file with the name of a file of the set refuses the compile, and one with the name of a
// retired file stays. A "bin" the user may not write into is refused as well.

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/compiler/ChipImage.h"
#include "core/platform/ByteSink.h"
#include "core/platform/Result.h"

namespace lumafex::compiler {

struct ImageSet {
  // Hands a file's bytes to the sink when the file is written; false on a failed write.
  using Writer = std::function<bool(platform::ByteSink&)>;
  struct File {
    std::string name;  // inside "bin"
    std::string bytes;
    Writer write;  // when set, makes the bytes instead of `bytes`
  };
  std::vector<File> files;
  // Numbered chip files this compile retires: prefix + k + ".bin" for k = first, first + 1, …
  // while the file exists in the old "bin" (the first missing number ends the run).
  struct Retired {
    std::string prefix;
    int first = 1;
  };
  std::vector<Retired> retired;
  // Single files this compile removes from "bin" (copies that no longer match their images).
  std::vector<std::string> retiredNames;
  // Whether the sum and CRC-32 of every file are taken as it is written.
  bool checksums = false;

  void add(std::string name, std::string bytes) { files.push_back({std::move(name), std::move(bytes), {}}); }
  void add(std::string name, Writer write) { files.push_back({std::move(name), {}, std::move(write)}); }
};

// What a publication has to tell besides success or failure.
struct PublishReport {
  std::vector<FileChecksum> checksums;  // of every file of the set, in its order, when asked
  std::vector<std::string> notes;       // leftovers that could not be removed, one message each
};

// The marker file inside a folder of ours beside "bin".
inline constexpr const char* kLeftoverMarker = ".lumafex-image-set";

// Publishes the set into `bin` (created when missing) as one change. Files of the old "bin" that
// the set neither replaces nor retires are kept. On failure `bin` is as it was.
Status publishImageSet(const std::filesystem::path& bin, const ImageSet& set,
                       PublishReport* report = nullptr);
// The same without the folder exchange, in the two renames used on file systems that lack it.
Status publishImageSetByRenames(const std::filesystem::path& bin, const ImageSet& set,
                                PublishReport* report = nullptr);

// Removes what interrupted publications into `bin` left behind, and puts the old set back as
// "bin" when a run on a file system without folder exchange was stopped between its two renames.
// Does nothing while another process publishes into the same project directory. Returns the
// number of leftovers removed; a leftover that cannot be removed is described in `notes`.
int cleanImageLeftovers(const std::filesystem::path& bin, std::vector<std::string>* notes = nullptr);

}  // namespace lumafex::compiler
