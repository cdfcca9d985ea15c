#pragma once
// The code page of the files users already have: every text file of the system is GBK (code page
// 936) on disk; inside the program text is UTF-8.

#include <string>
#include <string_view>

#include "core/platform/Result.h"

namespace lumafex::platform {

// Decodes GBK bytes. Bytes that are not valid GBK are reported with their offset, never guessed.
Result<std::string> gbkToUtf8(std::string_view gbk);

// Encodes UTF-8 text. A character that GBK cannot hold, or bytes that are not UTF-8, are reported
// by name, never replaced.
Result<std::string> utf8ToGbk(std::string_view utf8);

// Whether a character (given as UTF-8) takes two bytes in GBK: Chinese characters and full-width
// forms do, ASCII does not.
bool isDoubleByte(std::string_view utf8Character);

// The characters of the text for which isDoubleByte holds, in order, found with one conversion
// rather than one per character.
std::string doubleByteCharacters(std::string_view utf8);

// Splits UTF-8 text into its characters (each a UTF-8 sequence; a stray byte is a character of its
// own).
std::size_t utf8Length(std::string_view utf8);
// utf8Length of a text that comes in pieces: the sum is what utf8Length gives for the whole.
class Utf8Counter {
 public:
  void add(std::string_view piece);
  std::size_t count() const { return count_; }

 private:
  std::size_t count_ = 0;
  int pending_ = 0;  // continuation bytes the last character of the previous piece may still take
};
bool isAscii(std::string_view text);
std::string_view utf8Char(std::string_view utf8, std::size_t& offset);

}  // namespace lumafex::platform
