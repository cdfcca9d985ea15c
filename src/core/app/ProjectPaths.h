#pragma once
// Where a project's files lie: the project file "*.hs" and, beside it, the project directory of the
// same name without the extension, holding the title effect, the manual file, the position files,
// the logo and image pictures and the "bin" directory of EPROM images.

#include <filesystem>
#include <string>
#include <string_view>

namespace lumafex::app {

inline constexpr const char* kProjectExtension = ".hs";
inline constexpr const char* kSampleProject = "Velarn工作室.hs";
inline constexpr const char* kTitleEffectFile = "标题花式.bt";
inline constexpr const char* kTitlePositionFile = "标题_坐标.ini";
inline constexpr const char* kVerticalTitlePositionFile = "竖列_标题_坐标.ini";
inline constexpr const char* kLogoPositionFile = "标志_坐标.ini";
inline constexpr const char* kVerticalLogoPositionFile = "竖列_标志_坐标.ini";
inline constexpr const char* kImagePositionFile = "图案_坐标.ini";
inline constexpr const char* kVerticalImagePositionFile = "竖列_图案_坐标.ini";
inline constexpr const char* kHelpPage = "Velarn霓虹灯说明书.htm";

// The project directory: the project path up to (not including) the last "." of its file name. A
// file name without any "." (or with only a leading one) is its own directory name.
std::filesystem::path projectDirectory(const std::filesystem::path& projectFile);

// "标志" + k + ".bmp" / "图案" + k + ".bmp".
std::string logoPictureName(int k);
std::string imagePictureName(int k);

// How many pictures 1, 2, 3, … exist in a row (the first missing number ends the list).
int consecutivePictures(const std::filesystem::path& directory, std::string (*name)(int));

// The main window caption for a project: "Lumafex……" + the last 20 characters of the path.
std::string windowCaption(std::string_view projectPathUtf8);

// The last n characters of a text (all of it when shorter).
std::string lastCharacters(std::string_view utf8, std::size_t n);

}  // namespace lumafex::app
