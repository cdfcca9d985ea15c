#include "compiler/ProjectCompile.h"

#include "app/ProjectPaths.h"
#include "compiler/OutputBuffer.h"
#include "design/TitleEffect.h"
#include "patterns/Catalogue.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"

namespace lumafex::compiler {

namespace fs = std::filesystem;

namespace {
constexpr const char* kEmptyBoard = "请先选择花式到编程板。";
}

Result<ProjectInputs> loadProject(const fs::path& projectFile) {
  std::error_code ec;
  const fs::path file = fs::absolute(projectFile, ec);
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

int colourCountOf(std::string_view text) {
  const auto value = design::parseNumber(text);
  if (!value) return 1;
  if (*value > 3) return 3;
  if (*value == 1 || *value == 2 || *value == 3) return static_cast<int>(*value);
  return 0;  // no catalogue at all
}

Result<AssemblyInput> assemblyInputOf(const ProjectInputs& p) {
  AssemblyInput in;
  in.board = p.board;
  in.colours = colourCountOf(p.settings.colourCount);
  const long columns = static_cast<long>(patterns::leadingValue(p.settings.columns));
  in.tubesOn = p.settings.tubesOn == 1;
  in.imagesOn = p.settings.imagesOn == 1;
  in.imageCount = p.imageCount;
  in.channels = channelsForGeneration(static_cast<int>(columns), in.tubesOn, in.imagesOn, p.imageCount,
                                      static_cast<int>(columns));
  if (in.channels < 4 || in.channels > 300) {
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
  if (layout == ChipLayout::PerEightChannels && manual) {
    auto bytes = platform::readBytes(manualFile);
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
    const AssemblyResult assembled = assembleTotalProgram(*input);
    r.totalProgram = assembled.bytes;
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
  if (fs::is_regular_file(effectFile, ec)) {
    auto text = platform::readGbkText(effectFile);
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
  r.buffer = buffer.bytes;
  (void)platform::writeBytesSafely(workDirectory / platform::pathFromUtf8(kOutputBufferFile), buffer.bytes,
                                   false);
  if (!buffer.ok) {
    r.message = buffer.message;
    return r;
  }
  r.channelsLabel = buffer.channelsLabel;
  r.rowsLabel = buffer.rowsLabel;

  ImageInput images;
  images.buffer = r.buffer;
  images.channels = labelValue(buffer.channelsLabel);
  images.projectDirectory = p.projectDirectory;
  images.layout = layout;
  r.images = writeEpromImages(images, chip);
  if (!r.images.ok) {
    r.message = r.images.message;
    return r;
  }
  r.ok = true;
  return r;
}

}  // namespace lumafex::compiler
