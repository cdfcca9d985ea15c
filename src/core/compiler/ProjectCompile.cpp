#include "core/compiler/ProjectCompile.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

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
  if (!design::channelsInRange(in.channels)) {
    return Result<AssemblyInput>::fail("列数“" + p.settings.columns + "”不正确，应在4到300之间。");
  }
  return Result<AssemblyInput>::ok(std::move(in));
}

namespace {

constexpr const char* kNoProjectDirectory = "不能写入EPROM文件：没有工程目录。";
constexpr const char* kNoManualFile = "工程中没有人工修改的花式（人工修改的花式.txt）。";
constexpr const char* kNoWorkingProgram = "没有总程序文件（霓虹灯花式.txt），请先生成TXT文件。";

// The sequence of a compile: the assembled total program in memory, or a file read piece by piece.
struct SequenceSource {
  std::string text;
  std::optional<fs::path> file;
};

// A file the compile reads piece by piece, refused as reading it whole would be: missing, or
// larger than a manual file may be.
Result<SequenceSource> fileSequence(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) {
    return Result<SequenceSource>::fail("文件不存在：" + platform::pathToUtf8(file));
  }
  const auto size = fs::file_size(file, ec);
  if (ec) return Result<SequenceSource>::fail("不能读取文件：" + platform::pathToUtf8(file));
  if (size > kMaxManualBytes) return Result<SequenceSource>::fail("文件太大：" + platform::pathToUtf8(file));
  SequenceSource s;
  s.file = file;
  return Result<SequenceSource>::ok(std::move(s));
}

// The sequence the request names, or the message why there is none. `baseChannels` becomes the
// assembled width when the board is assembled.
Result<SequenceSource> sequenceOf(const ProjectInputs& p, const CompileRequest& request, bool manual,
                                  std::string& baseChannels) {
  const fs::path manualFile = p.projectDirectory / platform::pathFromUtf8(kManualFile);
  switch (request.sequence) {
    case Sequence::WorkingProgram: {
      const fs::path file = request.workDirectory / platform::pathFromUtf8(kTotalProgramFile);
      std::error_code ec;
      if (!fs::exists(file, ec)) return Result<SequenceSource>::fail(kNoWorkingProgram);
      return fileSequence(file);
    }
    case Sequence::ManualFile:
      if (!manual) return Result<SequenceSource>::fail(kNoManualFile);
      return fileSequence(manualFile);
    case Sequence::Export:
      if (request.layout == ChipLayout::PerEightChannels && manual) return fileSequence(manualFile);
      break;
  }
  auto input = assemblyInputOf(p);
  if (!input) return Result<SequenceSource>::fail(input.error());
  AssemblyResult assembled = assembleTotalProgram(*input);
  if (assembled.tooLarge) return Result<SequenceSource>::fail(kProgramTooLargeMessage);
  baseChannels = std::to_string(assembled.width);
  SequenceSource s;
  s.text = std::move(assembled.bytes);
  return Result<SequenceSource>::ok(std::move(s));
}

// The extent of a file's lines, read piece by piece.
SequenceExtent extentOfFile(const fs::path& file) {
  SequenceExtent e;
  platform::LineSplitter lines;
  std::size_t offset = 0;
  std::size_t line = 0;
  bool first = true;
  auto piece = [&](std::string_view p, bool end) {
    line += p.size();
    if (!end) return;
    if (first) e.firstLineBytes = line;
    first = false;
    e.lastLineBytes = line;
    line = 0;
  };
  (void)platform::readInPieces(file, kMaxManualBytes, [&](std::string_view p) {
    e.hasLines = true;
    if (e.firstCr == std::string_view::npos) {
      if (const auto cr = p.find('\r'); cr != std::string_view::npos) e.firstCr = offset + cr;
    }
    offset += p.size();
    lines.feed(p, piece);
    return true;
  });
  lines.finish(piece);
  return e;
}

// Hands the bytes to two sinks (either may be null).
class BothSinks final : public platform::ByteSink {
 public:
  BothSinks(platform::ByteSink* a, platform::ByteSink* b) : a_(a), b_(b) {}
  bool write(std::string_view bytes) override {
    const bool okA = !a_ || a_->write(bytes);
    const bool okB = !b_ || b_->write(bytes);
    return okA && okB;
  }

 private:
  platform::ByteSink* a_;
  platform::ByteSink* b_;
};

}  // namespace

CompileResult compileProject(const ProjectInputs& p, ChipLayout layout, const fs::path& workDirectory,
                             const ChipOptions& chip) {
  CompileRequest request;
  request.layout = layout;
  request.workDirectory = workDirectory;
  request.chip = chip;
  return compileProject(p, request);
}

CompileResult compileProject(const ProjectInputs& p, const CompileRequest& request) {
  CompileResult r;
  if (p.board.empty()) {
    r.message = kEmptyBoard;
    return r;
  }
  if (p.projectDirectory.empty() && !request.chip.inMemoryOnly) {
    r.message = kNoProjectDirectory;
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
  // With a manual file the channel count is 基本路数 + the title's length; 0 (a caption without a
  // number) leaves it to the first buffer line.
  const bool sequenceFromManual =
      request.sequence == Sequence::ManualFile ||
      (request.sequence == Sequence::Export && request.layout == ChipLayout::PerEightChannels);
  if (manual && sequenceFromManual) {
    if (const auto base = design::parseNumber(baseChannels)) {
      const long most = kMaxSignColumns + imageChannels;
      if (!wholeIn(*base, 0, most)) {
        r.message = "基本路数“" + baseChannels + "”不正确，应在0到" + std::to_string(most) + "之间。";
        return r;
      }
    }
  }
  auto sequence = sequenceOf(p, request, manual, baseChannels);
  if (!sequence) {
    r.message = sequence.error();
    return r;
  }
  const bool fromFile = sequence->file.has_value();
  // The total program: a file is copied into the working file as it is read; a program in memory
  // is written at once.
  std::optional<platform::FileReplacement> programFile;
  const fs::path programPath = request.workDirectory / platform::pathFromUtf8(kTotalProgramFile);
  if (request.writeWorkingFiles && request.sequence != Sequence::WorkingProgram) {
    if (fromFile) {
      programFile.emplace(programPath, false);
    } else if (auto s = platform::writeBytesSafely(programPath, sequence->text, false); !s) {
      r.message = s.error();
      return r;
    }
  }
  if (!fromFile && request.keepTexts) r.totalProgram = std::move(sequence->text);
  const std::string_view text = fromFile            ? std::string_view()
                                : request.keepTexts ? r.totalProgram
                                                    : sequence->text;

  // The title effect counts only where a preview uses it.
  std::string titleEffect;
  std::string titleProblem;
  if (titleWanted) {
    if (p.titleEffect) {
      titleEffect = *p.titleEffect;
    } else if (const fs::path effectFile = p.projectDirectory / platform::pathFromUtf8(app::kTitleEffectFile);
               fs::is_regular_file(effectFile, ec)) {
      auto effect = design::readTitleEffectFile(effectFile);
      if (effect) {
        titleEffect = std::move(*effect);
      } else {
        titleProblem = effect.error();
      }
    }
  }

  BufferInput bin;
  bin.title = p.settings.title;
  bin.titleEffect = titleEffect;
  bin.horizontalShown = p.settings.showHorizontal == 1;
  bin.horizontalTitleEffect = p.settings.horizontalTitleEffect == 1;
  bin.verticalShown = p.settings.showVertical == 1;
  bin.verticalTitleEffect = p.settings.verticalTitleEffect == 1;
  bin.manualFileExists = manual;
  bin.baseChannels = baseChannels;
  bin.channelsLabel = request.channelsLabel;

  // The channel count is bounded by what the sign can have: its columns, its image channels and
  // its title characters. Beyond that the images would only be padding (and a huge number of chip
  // files), so no frame is built. It is known before the pass (the first or the last line of a
  // file is looked up only when the count depends on it), so stage one and stage two go together.
  std::string channelsLabel;
  long channels = 0;
  const long most = kMaxSignColumns + imageChannels + titleLength;
  if (titleProblem.empty()) {
    channelsLabel =
        channelsLabelOf(bin, [&] { return fromFile ? extentOfFile(*sequence->file) : extentOf(text); });
    channels = labelValue(channelsLabel);
  }
  const bool inRange = titleProblem.empty() && channels >= 1 && channels <= most;
  FrameBuilder frames(inRange ? channels : 1);
  if (request.progress && inRange) {
    // How many frames there will be, from the program's size (its lines are N characters wide).
    const std::uintmax_t size = fromFile ? fs::file_size(*sequence->file, ec) : text.size();
    const long line = std::max(1L, channels + 2 - (titleMerged(bin) ? titleLength : 0));
    const long estimate =
        std::max(1L, static_cast<long>(std::min<std::uintmax_t>(size, LONG_MAX / 2)) / line);
    frames.onFrame(
        [&request, estimate](long frame) { request.progress(frame, std::max(estimate, frame + 1)); });
  }

  // Stage one and two in one pass: the buffer's bytes to the buffer file (and the result, when
  // kept), its lines to the frames.
  std::optional<platform::FileReplacement> bufferFile;
  if (request.writeWorkingFiles) {
    bufferFile.emplace(request.workDirectory / platform::pathFromUtf8(kOutputBufferFile), false);
  }
  platform::StringSink keptBuffer(r.buffer);
  BothSinks bufferSinks(bufferFile ? &*bufferFile : nullptr, request.keepTexts ? &keptBuffer : nullptr);
  const bool bufferWanted = bufferFile || request.keepTexts;
  BufferStream stageOne(bin, bufferWanted ? &bufferSinks : nullptr, inRange ? &frames : nullptr);
  std::uintmax_t programBytes = 0;
  bool complete = true;
  auto still = [&] {
    // Whether anything still takes bytes: otherwise the rest is not read (a refusal of a huge file
    // costs no more than its first fault).
    const bool stageOneGoes = titleProblem.empty() && !stageOne.failed();
    return programFile || (fromFile && request.keepTexts) || (stageOneGoes && bufferWanted) ||
           (stageOneGoes && inRange && !frames.tooLong());
  };
  if (fromFile) {
    if (still()) {
      auto read = platform::readInPieces(*sequence->file, kMaxManualBytes, [&](std::string_view piece) {
        programBytes += piece.size();
        if (programFile) programFile->write(piece);
        if (request.keepTexts) r.totalProgram.append(piece);
        if (titleProblem.empty()) stageOne.feed(piece);
        const bool more = still();
        if (!more) complete = false;
        return more;
      });
      if (!read) {
        r.message = read.error();
        return r;
      }
    } else {
      complete = false;
      programBytes = fs::file_size(*sequence->file, ec);
    }
  } else {
    programBytes = text.size();
    if (titleProblem.empty()) stageOne.feed(text);
  }
  if (complete && titleProblem.empty()) stageOne.finish();

  if (programFile) {
    if (auto s = programFile->commit(); !s) {
      r.message = s.error();
      return r;
    }
  }
  if (programBytes == 0) {
    r.message = kNoStepsMessage;
    return r;
  }
  if (!titleProblem.empty()) {
    r.message = titleProblem;
    return r;
  }
  // On a faulty mask the buffer file keeps the steps before it, as far as the merge got.
  const Status written = bufferFile ? bufferFile->commit() : success();
  if (stageOne.failed()) {
    r.message = stageOne.message();
    r.faultyMask = true;
    r.maskStart = stageOne.maskStart();
    r.maskLength = stageOne.maskLength();
    return r;
  }
  if (!written) {
    r.message = written.error();
    return r;
  }
  r.channelsLabel = channelsLabel;
  if (complete) r.rowsLabel = rowsText(stageOne.characters(), channels);

  r.images.bytes = bytesPerFrame(channels);
  if (!inRange) {
    r.message = channelRangeMessage(channels, most);
    return r;
  }
  r.images = beginEpromImages(channels, request.layout, p.projectDirectory);
  if (frames.tooLong()) {
    r.images.frames = frames.frames();
    r.message = r.images.message = kTooLongMessage;
    return r;
  }
  // The set's files are made one by one as they are written into the new folder.
  ImageSet set;
  finishEpromImages(frames, request.layout, request.chip, p.projectDirectory, set, r.images);
  if (!r.images.ok) {
    r.message = r.images.message;
    return r;
  }
  if (request.chip.inMemoryOnly) {
    r.ok = true;
    return r;
  }
  publishEpromImages(p.projectDirectory, set, r.images);
  if (!r.images.ok) {
    r.message = r.images.message;
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
