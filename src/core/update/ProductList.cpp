#include "core/update/ProductList.h"

#include "core/platform/TextCodec.h"

namespace lumafex::update {

namespace {

constexpr std::string_view kNameEnd = "》";
constexpr std::string_view kVersionMark = "版本";
constexpr std::string_view kColon = "：";

}  // namespace

std::string 产品名称(std::string_view line) {
  const auto end = line.find(kNameEnd);
  if (end == std::string_view::npos) return {};
  return std::string(line.substr(0, end + kNameEnd.size()));
}

std::string 版本号(std::string_view line) {
  const auto mark = line.find(kVersionMark);
  if (mark == std::string_view::npos) return {};
  // Skip the separator after "版本", one character whatever its width.
  std::size_t start = mark + kVersionMark.size();
  if (start >= line.size()) return {};
  (void)platform::utf8Char(line, start);
  const auto blank = line.find(' ', start);
  if (blank == std::string_view::npos) return {};
  return std::string(line.substr(start, blank - start));
}

std::string 下载文件名(std::string_view line) {
  const auto colon = line.rfind(kColon);
  if (colon == std::string_view::npos) return std::string(line);
  return std::string(line.substr(colon + kColon.size()));
}

std::string ownVersionFromCaption(std::string_view caption) {
  std::size_t offset = 0;
  for (int i = 0; i < 3 && offset < caption.size(); ++i) (void)platform::utf8Char(caption, offset);
  return std::string(caption.substr(offset));
}

bool isNewerVersion(std::string_view own, std::string_view listed) {
  return own < listed;
}

std::string normalisedBaseAddress(std::string_view address) {
  const auto first = address.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  address = address.substr(first, address.find_last_not_of(" \t\r\n") - first + 1);
  while (!address.empty() && address.back() == '/') address.remove_suffix(1);
  return std::string(address);
}

}  // namespace lumafex::update
