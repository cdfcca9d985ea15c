#pragma once
// Assembling the total program ("霓虹灯花式.txt"): every board entry's effect in board order, every
// line then made exactly N characters wide, plus one inverted image channel per image when both
// images and tubes are on.

#include <string>
#include <string_view>
#include <vector>

namespace lumafex::compiler {

inline constexpr const char* kTotalProgramFile = "霓虹灯花式.txt";
inline constexpr const char* kBackupFile = "bak.$$$";

struct AssemblyInput {
  std::vector<std::string> board;  // entry texts; the leading number is the catalogue position + 1
  int colours = 2;                 // the colour count; selects the catalogue
  int channels = 64;               // N: what every generator reads and every line is made wide
  bool tubesOn = true;             // 启用灯管
  bool imagesOn = false;           // 启用图案
  int imageCount = 0;              // images of the image designer
  // What the scratch step file held before the assembly: an entry that generates nothing
  // contributes it again, as the file still holds it.
  std::string scratchBefore;
  // The assembly stops with `tooLarge` once the program would pass this many bytes (0: no limit).
  std::size_t maxBytes = 0;
};

struct AssemblyResult {
  std::string bytes;             // the normalised total program, CR LF after every line
  std::string scratchAfter;      // the scratch step file afterwards (the last effect generated)
  int width = 0;                 // length of the last line written (0 when there is none)
  long steps = 0;                // bytes ÷ (width + 2)
  bool boardEndedEarly = false;  // an entry beyond the catalogue ended the assembly there
  bool tooLarge = false;         // the program would pass maxBytes; bytes are empty then
};

// The channel count a catalogue click sets: the columns when the tubes are on; otherwise, when the
// images are on, the image count (at least 4); otherwise the previous value.
int channelsForGeneration(int columns, bool tubesOn, bool imagesOn, int imageCount, int previous);

// The raw effects of the board, concatenated (before normalising).
AssemblyResult assembleRaw(const AssemblyInput& input);

// Normalises raw effect text: each line padded with blanks or cut to N characters, then the image
// channels appended (the inverse of tube channel i for image i).
std::string normaliseLines(std::string_view raw, int channels, bool appendImages, int imageCount);

// The whole step: effects, then normalising; width and step count of the result.
AssemblyResult assembleTotalProgram(const AssemblyInput& input);

}  // namespace lumafex::compiler
