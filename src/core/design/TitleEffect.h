#pragma once
// The title effect text: lines "mask<step>", each mask holding one character per title character,
// "□" for a dark character and anything else for a lit one. A mask applies from its step until a
// later step has a line of its own.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Result.h"

namespace lumafex::design {

inline constexpr std::string_view kDarkMark = "□";

// A title effect is typed by hand, one line per changing step: a larger file is refused.
inline constexpr std::uintmax_t kMaxTitleEffectBytes = std::uintmax_t{1024} * 1024;

// Reads "标题花式.bt" as UTF-8: refused with a message when larger than kMaxTitleEffectBytes or not
// valid GBK.
Result<std::string> readTitleEffectFile(const std::filesystem::path& path);

// Where the marker "<step>" first occurs and the mask before it: the text from the character after
// the last line feed before the marker up to the marker. Offsets and lengths are in characters
// (what a text box selects), not bytes.
struct MaskAt {
  std::string mask;
  std::size_t maskStart = 0;   // character offset of the mask in the text
  std::size_t maskLength = 0;  // characters
};
std::optional<MaskAt> findMask(std::string_view effectText, long step);

// The title state a mask gives a title of `titleLength` characters: the mask itself, or every
// character dark for an empty mask (a marker with nothing before it lights nothing).
std::string titleStateOf(std::string_view mask, std::size_t titleLength);

// findMask for every step of a compile at once: the text is read in one pass, so looking up each
// of many steps costs no new search of a long text. The text must outlive the index.
class TitleMasks {
 public:
  explicit TitleMasks(std::string_view effectText);
  std::optional<MaskAt> find(long step) const;

 private:
  struct Marker {
    long step;
    std::size_t at;         // byte offset of "<"
    std::size_t lineStart;  // byte offset after the last line feed before it
    std::size_t lineChars;  // characters before lineStart
  };
  std::string_view text_;
  std::vector<Marker> markers_;  // sorted by step, first occurrence only
};

// The title channels of a mask: a blank for every "□", "X" for every other character.
std::string maskChannels(std::string_view mask);

// Whether the effect text ends with the marker of step 1 (then the compiler does not merge title
// channels: a new project's text "新工程<1>" is such a text).
bool endsWithFirstStepMarker(std::string_view effectText);

// The title as the title box accepts it: every single-byte character (ASCII, half-width forms)
// removed, since only double-byte characters can be title characters.
std::string acceptedTitle(std::string_view title);

// Whether title character i (0-based) is lit in a title state.
bool isLit(std::string_view titleState, std::size_t i);

}  // namespace lumafex::design
