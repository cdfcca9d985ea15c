#include "core/compiler/ChipVerify.h"

#include "core/platform/TextFile.h"

namespace lumafex::compiler {

Result<std::vector<ReadBack>> readBackFiles(const std::vector<std::filesystem::path>& files) {
  std::vector<ReadBack> readBacks;
  for (const auto& path : files) {
    auto bytes = platform::readBytes(path);
    if (!bytes) return Result<std::vector<ReadBack>>::fail(bytes.error());
    auto readBack = readBackOf(platform::pathToUtf8(path.filename()), std::move(*bytes));
    if (!readBack) {
      return Result<std::vector<ReadBack>>::fail("“" + platform::pathToUtf8(path) +
                                                 "”不是有效的 HEX 或 S-record 文件");
    }
    readBacks.push_back(std::move(*readBack));
  }
  return Result<std::vector<ReadBack>>::ok(std::move(readBacks));
}

bool VerifyResult::identical() const {
  if (failure != Failure::None) return false;
  for (const auto& c : comparisons) {
    if (!c.identical()) return false;
  }
  return true;
}

std::string VerifyResult::report() const {
  std::string text;
  for (const auto& c : comparisons) text += describeComparison(c);
  return text;
}

VerifyResult verifyChips(const ProjectInputs& project, CompileRequest request,
                         const std::vector<ReadBack>& readBacks) {
  VerifyResult v;
  request.chip.inMemoryOnly = true;
  request.chip.hex = request.chip.srec = request.chip.checksums = false;
  request.progress = {};
  request.writeWorkingFiles = false;
  request.keepTexts = false;
  const CompileResult compiled = compileProject(project, request);
  if (!compiled.ok) {
    v.failure = VerifyResult::Failure::Compile;
    v.message = compiled.message;
    return v;
  }
  const std::size_t sequence =
      static_cast<std::size_t>(compiled.images.frames) *
      (request.layout == ChipLayout::Single ? static_cast<std::size_t>(compiled.images.bytes) : 1u);
  for (const auto& readBack : readBacks) {
    const ImageFile* image = nullptr;
    for (const auto& f : compiled.images.files) {
      if (f.name == readBack.imageName) image = &f;
    }
    if (!image) {
      v.failure = VerifyResult::Failure::NoSuchImage;
      v.message = "本次编译没有名为“" + readBack.imageName + "”的EPROM文件";
      v.comparisons.clear();
      return v;
    }
    v.comparisons.push_back(
        compareImage(readBack.imageName, image->bytes, readBack.bytes, compiled.images.bytes, sequence));
  }
  return v;
}

}  // namespace lumafex::compiler
