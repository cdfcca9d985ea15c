#pragma once
// The maker's product list "list.txt": one product a line, for example
//   《Lumafex》 版本：1.2.0 下载：lumafex-1.2.0.tar.gz
// The product name runs up to and including the first "》"; the version starts one character after
// "版本" (that character is a separator such as "：") and ends before the next blank; the download
// file name is everything after the last full-width colon "：".

#include <string>
#include <string_view>

namespace lumafex::update {

// The name under which this program appears in the list.
inline constexpr const char* kOwnProductName = "《Lumafex》";
// The list's file name, on the server (under the base address) and in the application directory.
inline constexpr const char* kProductListFile = "list.txt";

// Everything up to and including the first "》"; empty when the line has none.
std::string 产品名称(std::string_view line);

// The version text of the line; empty (an unusable version) when the line has no "版本" or no blank
// after it.
std::string 版本号(std::string_view line);

// Everything after the last "："; the whole line when it has none.
std::string 下载文件名(std::string_view line);

// The own version from the caption of the version label ("版本：1.0.0"): the caption from its 4th
// character on.
std::string ownVersionFromCaption(std::string_view caption);

// Versions are compared as text: "1.10.0" counts as older than "1.9.0".
bool isNewerVersion(std::string_view own, std::string_view listed);

// A server base address as typed by the maker: surrounding blanks and trailing "/" removed.
std::string normalisedBaseAddress(std::string_view address);

}  // namespace lumafex::update
