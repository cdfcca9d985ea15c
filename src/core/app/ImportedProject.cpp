#include "core/app/ImportedProject.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/app/ProjectPaths.h"
#include "core/compiler/ChipSettings.h"
#include "core/compiler/OutputBuffer.h"
#include "core/compiler/ProjectCompile.h"
#include "core/design/Project.h"
#include "core/design/Rules.h"
#include "core/platform/TextFile.h"

namespace lumafex::app {

namespace fs = std::filesystem;

namespace {

constexpr int kPicturePixels = 32;

void putLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The picture of an image channel: an amber lamp on black (black lets the sign show through).
std::string lampPicture() {
  constexpr int n = kPicturePixels;
  constexpr std::uint32_t rowBytes = n * 3;  // a multiple of 4
  constexpr std::uint32_t pixelBytes = rowBytes * n;
  std::string bmp;
  bmp.reserve(54 + pixelBytes);
  bmp += "BM";
  putLittleEndian(bmp, 54 + pixelBytes, 4);
  putLittleEndian(bmp, 0, 4);
  putLittleEndian(bmp, 54, 4);
  putLittleEndian(bmp, 40, 4);  // BITMAPINFOHEADER
  putLittleEndian(bmp, n, 4);
  putLittleEndian(bmp, n, 4);  // bottom-up rows
  putLittleEndian(bmp, 1, 2);
  putLittleEndian(bmp, 24, 2);
  putLittleEndian(bmp, 0, 4);
  putLittleEndian(bmp, pixelBytes, 4);
  putLittleEndian(bmp, 3780, 4);  // 96 dpi
  putLittleEndian(bmp, 3780, 4);
  putLittleEndian(bmp, 0, 4);
  putLittleEndian(bmp, 0, 4);
  const double centre = (n - 1) / 2.0;
  const double radius = n / 2.0 - 2;
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      const double dx = x - centre;
      const double dy = y - centre;
      const bool lamp = dx * dx + dy * dy <= radius * radius;
      bmp += '\0';                                // blue
      bmp += static_cast<char>(lamp ? 0xB0 : 0);  // green
      bmp += static_cast<char>(lamp ? 0xFF : 0);  // red
    }
  }
  return bmp;
}

// Moves `from` to `to` unless `to` exists (also when another program made it a moment ago).
Status renameWithoutReplacing(const fs::path& from, const fs::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return success();
  int error = errno;
  if (error == EINVAL || error == ENOSYS || error == ENOTSUP) {
    // A file system without the no-replace rename: a hard link fails as well when `to` exists.
    if (::link(from.c_str(), to.c_str()) == 0) {
      ::unlink(from.c_str());
      return success();
    }
    error = errno;
  }
  if (error == EEXIST) return Status::fail("工程“" + platform::pathToUtf8(to) + "”已经存在，没有覆盖它。");
  return Status::fail("不能写入工程“" + platform::pathToUtf8(to) + "”：" + std::strerror(error));
}

}  // namespace

design::ProjectSettings importedProjectSettings(int channels) {
  design::ProjectSettings s = design::newProjectSettings("");
  const int columns = std::min(channels, design::kMaxChannels);
  s.columns = std::to_string(columns);
  s.colourCount = "1";
  s.baseChannels = std::to_string(channels);
  // No title: a title character would be one more channel.
  s.titleOff = 1;
  s.horizontalTitleEffect = 0;
  s.verticalTitleEffect = 0;
  s.logosOn = 0;
  s.tubesOn = 1;
  s.imagesOn = channels > columns ? 1 : 0;
  s.manualEdit = 0;
  return s;
}

std::optional<std::string> existingProjectProblem(const fs::path& projectFile) {
  std::error_code ec;
  if (fs::symlink_status(projectFile, ec).type() != fs::file_type::not_found) {
    return "工程“" + platform::pathToUtf8(projectFile) + "”已经存在，没有覆盖它。";
  }
  const fs::path dir = projectDirectory(projectFile);
  if (dir == projectFile) {
    return "工程文件“" + platform::pathToUtf8(projectFile) + "”应以 " + kProjectExtension + " 结尾。";
  }
  if (fs::symlink_status(dir, ec).type() != fs::file_type::not_found) {
    return "工程目录“" + platform::pathToUtf8(dir) + "”已经存在，没有覆盖它。";
  }
  return std::nullopt;
}

Status createImportedProject(const fs::path& projectFile, const compiler::ImportedSequence& sequence) {
  std::error_code ec;
  const fs::path file = fs::absolute(projectFile, ec);
  if (ec) return Status::fail("工程文件名“" + platform::pathToUtf8(projectFile) + "”不正确。");
  if (const auto problem = existingProjectProblem(file)) return Status::fail(*problem);
  const fs::path parent = file.parent_path();
  if (!fs::is_directory(parent, ec)) {
    return Status::fail("目录“" + platform::pathToUtf8(parent) + "”不存在。");
  }
  if (sequence.frames < 1 || sequence.channels < compiler::kMinImportChannels ||
      sequence.channels > compiler::kMaxImportChannels) {
    return Status::fail("没有可以写入工程的步。");
  }
  const std::size_t lineBytes = static_cast<std::size_t>(sequence.channels) + 2;
  if (static_cast<std::uintmax_t>(sequence.frames) * lineBytes > compiler::kMaxManualBytes) {
    return Status::fail("步数太多：人工修改的花式将超过256MB。");
  }

  const design::ProjectSettings settings = importedProjectSettings(sequence.channels);
  const std::string text = compiler::sequenceText(sequence);

  // The project directory is made here and belongs to this call until the record is in place.
  const fs::path dir = projectDirectory(file);
  if (!fs::create_directory(dir, ec)) {
    if (ec) return Status::fail("不能建立工程目录“" + platform::pathToUtf8(dir) + "”：" + ec.message());
    return Status::fail("工程目录“" + platform::pathToUtf8(dir) + "”已经存在，没有覆盖它。");
  }
  const fs::path temporaryRecord =
      parent / platform::pathFromUtf8("." + platform::pathToUtf8(file.filename()) + ".~import-" +
                                      std::to_string(::getpid()));
  auto undo = [&](Status failure) {
    std::error_code rmEc;
    fs::remove_all(dir, rmEc);
    fs::remove(temporaryRecord, rmEc);
    return failure;
  };

  if (auto s = platform::writeBytesSafely(dir / platform::pathFromUtf8(compiler::kManualFile), text); !s) {
    return undo(s);
  }
  if (auto s = platform::writeGbkText(dir / platform::pathFromUtf8(kTitleEffectFile), kImportedTitleEffect);
      !s) {
    return undo(s);
  }
  // The chip the files are as large as, and the padding that was dropped, are the project's chip
  // choices: the desktop program's compile fills the chip again as it was.
  if (sequence.padding.chip) {
    compiler::ChipChoice choice;
    choice.chip = sequence.padding.chip;
    choice.padding = sequence.padding.kind;
    if (choice.padding == compiler::Padding::Off && sequence.padding.partBytes > 0) {
      choice.padding = compiler::Padding::Dark;
    }
    if (auto s = compiler::writeChipSettings(dir, choice); !s) return undo(s);
  }
  const int imageChannels = sequence.channels - design::columnsOf(settings);
  if (imageChannels > 0) {
    const std::string picture = lampPicture();
    for (int k = 1; k <= imageChannels; ++k) {
      if (auto s = platform::writeBytesSafely(dir / platform::pathFromUtf8(imagePictureName(k)), picture);
          !s) {
        return undo(s);
      }
    }
    design::Project project;
    project.settings = settings;
    const double twips = kPicturePixels * 15.0;
    design::fitPictureBlocks(
        project, design::PictureKind::Image,
        std::vector<std::pair<double, double>>(static_cast<std::size_t>(imageChannels), {twips, twips}));
    design::arrangePictures(project, design::PictureKind::Image, design::Arrangement::Row,
                            settings.horizontalWidth, settings.horizontalHeight, settings.verticalWidth,
                            settings.verticalHeight);
    if (auto s = design::savePictureCoordinates(project, dir, design::PictureKind::Image); !s) return undo(s);
  }

  // The record last, moved into place only if its name is still free.
  if (auto s = design::writeProjectRecord(temporaryRecord, design::recordOf(settings, {kImportedBoardEntry}));
      !s) {
    return undo(s);
  }
  if (auto s = renameWithoutReplacing(temporaryRecord, file); !s) return undo(s);
  return success();
}

}  // namespace lumafex::app
