#pragma once
// Stage one of a compile: the output buffer ("霓虹灯花式_输出缓冲.txt"). Every step line of the total
// program, followed by the title channels in force at that step when the title is merged; and the
// channel count (路数) and row count (行) the image writers use.

#include <functional>
#include <string>
#include <string_view>

#include "core/design/TitleEffect.h"
#include "core/platform/ByteSink.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"

namespace lumafex::compiler {

class FrameBuilder;

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

// Stage one for a total program that comes in pieces (a manual file read piece by piece): the
// buffer's bytes go to `buffer` as they are made and its lines to stage two's `frames`, so that
// neither the program nor the buffer is ever held whole. Byte for byte what buildOutputBuffer
// makes of the whole text (it is built on this). Either sink may be null; the frames stop at a line
// too long for them.
class BufferStream {
 public:
  // `input` as for buildOutputBuffer, without its totalProgram; its title effect must outlive this.
  BufferStream(const BufferInput& input, platform::ByteSink* buffer, FrameBuilder* frames);
  BufferStream(const BufferStream&) = delete;
  BufferStream& operator=(const BufferStream&) = delete;

  void feed(std::string_view programPiece);
  void finish();  // the end of the program

  bool merged() const { return merged_; }
  // A title mask of the wrong length stopped the buffer (it holds the lines before it).
  bool failed() const { return failed_; }
  const std::string& message() const { return message_; }
  std::size_t maskStart() const { return maskStart_; }
  std::size_t maskLength() const { return maskLength_; }
  // The buffer's length in characters so far, as 行 counts them.
  std::size_t characters() const { return characters_.count(); }

 private:
  void write(std::string_view bytes);
  void frame(std::string_view piece, bool endsLine);
  void mergedPiece(std::string_view piece, bool endsLine);

  platform::ByteSink* buffer_;
  FrameBuilder* frames_;
  bool merged_;
  std::size_t title_;
  std::string part_;
  design::TitleMasks masks_;
  platform::LineSplitter lines_;
  platform::Utf8Counter characters_;
  bool lineOpen_ = false;
  long step_ = 0;
  bool failed_ = false;
  std::string message_;
  std::size_t maskStart_ = 0;
  std::size_t maskLength_ = 0;
};

// Where the lines of a total program end, as far as the channel count needs them.
struct SequenceExtent {
  bool hasLines = false;
  std::size_t firstLineBytes = 0;
  std::size_t lastLineBytes = 0;
  std::size_t firstCr = std::string_view::npos;  // the first CR byte
};
SequenceExtent extentOf(std::string_view totalProgram);

// 路数 after stage one (for a buffer built without a faulty mask): with the title merged the length
// of the last buffer line; with a manual file 基本路数 + the title's length; when that gives no
// number, the position of the buffer's first CR. `extent` (the total program's) is asked for only
// when needed.
std::string channelsLabelOf(const BufferInput& input, const std::function<SequenceExtent()>& extent);

// 行: the buffer's length in characters divided by (路数 + 2), as the shortest decimal text.
std::string rowsText(std::size_t bufferCharacters, long channels);

// The number a label shows (its leading number; 0 for a text such as "路数").
long labelValue(std::string_view label);

}  // namespace lumafex::compiler
