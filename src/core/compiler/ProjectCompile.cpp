#include "core/compiler/ProjectCompile.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "core/app/ProjectPaths.h"
#include "core/compiler/OutputBuffer.h"
#include "core/design/Rules.h"
#include "core/design/TitleEffect.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"

namespace lumafex::compiler {

namespace fs = std::filesystem;

namespace {
constexpr const char* kEmptyBoard = "请先选择花式到编程板。";
constexpr std::string_view kWorkPrefix = "lumafex-";

// A whole number from a value read by value, or nothing when it lies outside lo … hi (a value
// such as 4294967360 or 1e300 must not wrap or overflow on the way to a count).
std::optional<long> wholeIn(double value, long lo, long hi) {
  if (!(value >= static_cast<double>(lo) && value < static_cast<double>(hi) + 1)) return std::nullopt;
  return static_cast<long>(value);
}
}  // namespace

Result<ProjectInputs> loadProject(const fs::path& projectFile) {
  std::error_code ec;
  const fs::path file = fs::absolute(projectFile, ec);
  std::error_code sizeEc;
  if (fs::is_regular_file(file, sizeEc) && fs::file_size(file, sizeEc) > kMaxRecordBytes && !sizeEc) {
    return Result<ProjectInputs>::fail("工程文件太大（超过1MB），不是霓虹灯花式工程：" +
                                       platform::pathToUtf8(file));
  }
  auto record = design::readProjectRecord(file);
  if (!record) return Result<ProjectInputs>::fail(record.error());
  ProjectInputs p;
  design::applyRecord(*record, p.settings);
  // As the windows take the record: the title box keeps only the characters it accepts, and one
  // preview at least is on.
  p.settings.title = design::acceptedTitle(p.settings.title);
  design::keepOnePreview(p.settings);
  p.board = record->board;
  p.projectFile = file;
  p.projectDirectory = app::projectDirectory(file);
  p.imageCount = app::consecutivePictures(p.projectDirectory, app::imagePictureName);
  return Result<ProjectInputs>::ok(std::move(p));
}

Result<AssemblyInput> assemblyInputOf(const ProjectInputs& p) {
  AssemblyInput in;
  in.board = p.board;
  in.colours = design::colourCountOf(p.settings.colourCount);
  if (in.colours == 0) {
    return Result<AssemblyInput>::fail("色数“" + p.settings.colourCount + "”不正确，应为1、2或3。");
  }
  // Out of range reads as no column count at all (never cut to int on the way).
  const long columns = wholeIn(patterns::leadingValue(p.settings.columns), 0, 100000).value_or(-1);
  in.tubesOn = p.settings.tubesOn == 1;
  in.imagesOn = p.settings.imagesOn == 1;
  in.imageCount = p.imageCount;
  if (in.imagesOn && p.imageCount > kMaxImageChannels) {
    return Result<AssemblyInput>::fail("图案太多（" + std::to_string(p.imageCount) + "个），最多" +
                                       std::to_string(kMaxImageChannels) + "个。");
  }
  in.channels = channelsForGeneration(static_cast<int>(columns), in.tubesOn, in.imagesOn, p.imageCount,
                                      static_cast<int>(columns));
  in.maxBytes = kMaxProgramBytes;
  if (in.channels < 4 || in.channels > kMaxSignColumns) {
    return Result<AssemblyInput>::fail("列数“" + p.settings.columns + "”不正确，应在4到300之间。");
  }
  return Result<AssemblyInput>::ok(std::move(in));
}

CompileResult compileProject(const ProjectInputs& p, ChipLayout layout, const fs::path& workDirectory,
                             const ChipOptions& chip) {
  CompileResult r;
  if (p.board.empty()) {
    r.message = kEmptyBoard;
    return r;
  }
  const fs::path manualFile = p.projectDirectory / platform::pathFromUtf8(kManualFile);
  std::error_code ec;
  const bool manual = fs::is_regular_file(manualFile, ec);

  std::string baseChannels = p.settings.baseChannels;
  const long titleLength = static_cast<long>(platform::utf8Length(p.settings.title));
  const bool titleWanted = (p.settings.showHorizontal == 1 && p.settings.horizontalTitleEffect == 1) ||
                           (p.settings.showVertical == 1 && p.settings.verticalTitleEffect == 1);
  if ((titleWanted || manual) && titleLength > kMaxTitleCharacters) {
    r.message = "标题太长（" + std::to_string(titleLength) + "个字），最多" +
                std::to_string(kMaxTitleCharacters) + "个字。";
    return r;
  }
  const long imageChannels = p.settings.imagesOn == 1 && p.settings.tubesOn == 1 ? p.imageCount : 0;
  if (layout == ChipLayout::PerEightChannels && manual) {
    if (const auto base = design::parseNumber(baseChannels)) {
      const long most = kMaxSignColumns + imageChannels;
      if (!wholeIn(*base, 1, most)) {
        r.message = "基本路数“" + baseChannels + "”不正确，应在1到" + std::to_string(most) + "之间。";
        return r;
      }
    }
    auto bytes = platform::readBytes(manualFile, kMaxManualBytes);
    if (!bytes) {
      r.message = bytes.error();
      return r;
    }
    r.totalProgram = std::move(*bytes);
  } else {
    auto input = assemblyInputOf(p);
    if (!input) {
      r.message = input.error();
      return r;
    }
    AssemblyResult assembled = assembleTotalProgram(*input);
    if (assembled.tooLarge) {
      r.message = kProgramTooLargeMessage;
      return r;
    }
    r.totalProgram = std::move(assembled.bytes);
    baseChannels = std::to_string(assembled.width);
  }
  if (auto s = platform::writeBytesSafely(workDirectory / platform::pathFromUtf8(kTotalProgramFile),
                                          r.totalProgram, false);
      !s) {
    r.message = s.error();
    return r;
  }

  std::string titleEffect;
  const fs::path effectFile = p.projectDirectory / platform::pathFromUtf8(app::kTitleEffectFile);
  if (r.totalProgram.empty()) {
    r.message = kNoStepsMessage;
    return r;
  }
  // The title effect counts only where a preview uses it.
  if (titleWanted && fs::is_regular_file(effectFile, ec)) {
    auto text = design::readTitleEffectFile(effectFile);
    if (!text) {
      r.message = text.error();
      return r;
    }
    titleEffect = std::move(*text);
  }

  BufferInput bin;
  bin.totalProgram = r.totalProgram;
  bin.title = p.settings.title;
  bin.titleEffect = titleEffect;
  bin.horizontalShown = p.settings.showHorizontal == 1;
  bin.horizontalTitleEffect = p.settings.horizontalTitleEffect == 1;
  bin.verticalShown = p.settings.showVertical == 1;
  bin.verticalTitleEffect = p.settings.verticalTitleEffect == 1;
  bin.manualFileExists = manual;
  bin.baseChannels = baseChannels;
  BufferResult buffer = buildOutputBuffer(bin);
  r.buffer = std::move(buffer.bytes);
  (void)platform::writeBytesSafely(workDirectory / platform::pathFromUtf8(kOutputBufferFile), r.buffer,
                                   false);
  if (!buffer.ok) {
    r.message = buffer.message;
    return r;
  }
  r.channelsLabel = buffer.channelsLabel;
  r.rowsLabel = buffer.rowsLabel;

  // The channel count is bounded by what the sign can have: its columns, its image channels and
  // its title characters. Beyond that the images would only be padding (and a huge number of chip
  // files), so nothing is written.
  const long channels = labelValue(buffer.channelsLabel);
  const long most = kMaxSignColumns + imageChannels + titleLength;
  if (channels < 1 || channels > most) {
    r.message = channelRangeMessage(channels, most);
    return r;
  }

  ImageInput images;
  images.buffer = r.buffer;
  images.channels = channels;
  images.projectDirectory = p.projectDirectory;
  images.layout = layout;
  // The whole set is built in memory first and published as one change.
  ImageSet set;
  r.images = buildEpromImages(images, set, chip);
  if (!r.images.ok) {
    r.message = r.images.message;
    return r;
  }
  if (chip.inMemoryOnly) {
    r.ok = true;
    return r;
  }
  if (auto s = publishImageSet(p.projectDirectory / kBinDirectory, set); !s) {
    r.images.ok = false;
    r.message = s.error();
    return r;
  }
  r.ok = true;
  return r;
}

int cleanCompileLeftovers(const fs::path& projectDirectory) {
  if (projectDirectory.empty()) return 0;
  return cleanImageLeftovers(projectDirectory / kBinDirectory);
}

namespace {

// The process a working folder "lumafex-<pid>-XXXXXX" belongs to, or 0.
long ownerOf(const std::string& name) {
  if (name.compare(0, kWorkPrefix.size(), kWorkPrefix) != 0) return 0;
  const std::size_t dash = name.find('-', kWorkPrefix.size());
  if (dash == std::string::npos || name.size() != dash + 7) return 0;
  long pid = 0;
  for (std::size_t i = kWorkPrefix.size(); i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9' || pid > 100000000) return 0;
    pid = pid * 10 + (name[i] - '0');
  }
  return pid;
}

}  // namespace

int removeStaleWorkDirectories(const fs::path& temporaryDirectory) {
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(temporaryDirectory, ec), end; !ec && it != end; it.increment(ec)) {
    const long pid = ownerOf(platform::pathToUtf8(it->path().filename()));
    if (pid <= 0) continue;
    std::error_code typeEc;
    if (!it->is_directory(typeEc) || it->is_symlink(typeEc)) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;  // still running
    std::error_code rmEc;
    if (fs::remove_all(it->path(), rmEc) != static_cast<std::uintmax_t>(-1)) ++removed;
  }
  return removed;
}

fs::path createWorkDirectory(const fs::path& temporaryDirectory) {
  removeStaleWorkDirectories(temporaryDirectory);
  std::string pattern = platform::pathToUtf8(temporaryDirectory / std::string(kWorkPrefix)) +
                        std::to_string(::getpid()) + "-XXXXXX";
  if (!::mkdtemp(pattern.data())) return {};
  return platform::pathFromUtf8(pattern);
}

}  // namespace lumafex::compiler
