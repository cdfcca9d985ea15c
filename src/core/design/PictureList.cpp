#include "core/design/PictureList.h"

#include <algorithm>
#include <system_error>

#include "core/platform/TextFile.h"

namespace lumafex::design {

namespace fs = std::filesystem;

namespace {

constexpr DesignerNames kLogoNames{
    "标志设计窗",
    "静态标志设计",
    "标志图",
    "标志的个数",
    "选中的标志号",
    "添加一个标志",
    "删除最后一个标志",
    "删除_最后一个标志",
    "删除最后一个_标志",
    "清空标志",
    "清空所有标志",
    "删除全部标志",
    "确定删除所有标志？",
    "复制当前的标志",
    "复制第一个标志",
    "粘贴到当前的标志",
    "从其他程序粘贴图片到当前标志",
};

constexpr DesignerNames kImageNames{
    "动态图案设计窗",
    "动态图案设计",
    "图案图",
    "图案的个数",
    "选中的图案号",
    "添加一个图案",
    "删除最后一个图案",
    "删除最后一个_图案",
    "删除最后一幅图",
    "清空图案",
    "清空所有的图案",
    "全部删除",
    "确定删除所有图片？",
    "复制当前的图",
    "复制第一个图",
    "粘贴到当前的图",
    "从其他程序粘贴图片到当前图案",
};

}  // namespace

const DesignerNames& designerNames(PictureKind kind) {
  return kind == PictureKind::Logo ? kLogoNames : kImageNames;
}

bool canAddPicture(int count) {
  return count >= 0 && count < kMaxDesignerPictures;
}

std::optional<int> pictureToReplace(int selection, int count) {
  if (count <= 0) return std::nullopt;
  if (count == 1) return 0;
  if (selection < 0) return std::nullopt;
  return std::min(selection, count - 1);
}

fs::path pictureFilePath(const fs::path& projectDirectory, PictureKind kind, int index) {
  return projectDirectory / platform::pathFromUtf8(pictureFileName(kind, index + 1));
}

Status removePictureFile(const fs::path& projectDirectory, PictureKind kind, int index) {
  const fs::path file = pictureFilePath(projectDirectory, kind, index);
  std::error_code ec;
  fs::remove(file, ec);
  std::error_code exists;
  if (ec && fs::exists(file, exists)) {
    return Status::fail("不能删除图片文件“" + platform::pathToUtf8(file) + "”：" + ec.message());
  }
  return success();
}

}  // namespace lumafex::design
