#pragma once
// Stage one of a compile: the output buffer ("霓虹灯花式_输出缓冲.txt"). Every step line of the total
// program, followed by the title channels in force at that step when the title is merged; and the
// channel count (路数) and row count (行) the image writers use.

#include <string>
#include <string_view>

namespace lumafex::compiler {

inline constexpr const char* kOutputBufferFile = "霓虹灯花式_输出缓冲.txt";
inline constexpr const char* kManualFile = "人工修改的花式.txt";

struct BufferInput {
  std::string_view totalProgram;  // bytes of the total program file
  std::string_view title;         // the title text (UTF-8); one channel per character
  std::string_view titleEffect;   // the title effect text (UTF-8)
  // The title is merged when the previews ask for the title effect (启用横显示 with its 启用标题花式,
  // or 启用竖列显示 with its own) and the effect text does not end with "<1>".
  bool horizontalShown = true;
  bool horizontalTitleEffect = false;
  bool verticalShown = false;
  bool verticalTitleEffect = false;
  bool manualFileExists = false;
  std::string_view baseChannels;            // the post-processing window's 基本路数 caption
  std::string_view channelsLabel = "路数";  // 路数 as the output window shows it before this compile
};

struct BufferResult {
  bool ok = true;
  std::string bytes;          // the buffer file (on failure: the lines written before it)
  std::string channelsLabel;  // new text of 路数 (unchanged on failure)
  std::string rowsLabel;      // new text of 行 (empty on failure)
  // On a mask whose length differs from the title's: the message, and where the mask stands in
  // the title effect text (characters), so the editor can select it.
  std::string message;
  std::size_t maskStart = 0;
  std::size_t maskLength = 0;
};

bool titleMerged(const BufferInput& input);

BufferResult buildOutputBuffer(const BufferInput& input);

// 行: the buffer's length in characters divided by (路数 + 2), as the shortest decimal text.
std::string rowsText(std::size_t bufferCharacters, long channels);

// The number a label shows (its leading number; 0 for a text such as "路数").
long labelValue(std::string_view label);

}  // namespace lumafex::compiler
