// Stage one: title merge, the channel count and the row count.

#include <gtest/gtest.h>

#include "core/compiler/OutputBuffer.h"

#include <random>

#include "core/compiler/EpromImages.h"

namespace lumafex::compiler {
namespace {

const std::string kFive = "L1aaaaaa\r\nL2bbbbbb\r\nL3cccccc\r\nL4dddddd\r\nL5eeeeee\r\n";

BufferInput merged(std::string_view program, std::string_view effect) {
  BufferInput in;
  in.totalProgram = program;
  in.title = "欢迎光";
  in.titleEffect = effect;
  in.horizontalShown = true;
  in.horizontalTitleEffect = true;
  return in;
}

TEST(OutputBuffer, TitleChannelsFollowEachStep) {
  const auto r = buildOutputBuffer(merged(kFive, "X□X<2>\r\n□□□<4>\r\n"));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.bytes, "L1aaaaaaXXX\r\nL2bbbbbbX X\r\nL3ccccccX X\r\nL4dddddd   \r\nL5eeeeee   \r\n");
  EXPECT_EQ(r.channelsLabel, "11");
  EXPECT_EQ(r.rowsLabel, "5");
}

TEST(OutputBuffer, NoMergeGivesAByteCopy) {
  struct Case {
    const char* name;
    BufferInput in;
  };
  BufferInput endsWithOne = merged(kFive, "X□X<1>");
  BufferInput newProject = merged(kFive, "新工程<1>");
  BufferInput hidden = merged(kFive, "X□X<2>\r\n");
  hidden.horizontalShown = false;
  BufferInput effectOff = merged(kFive, "X□X<2>\r\n");
  effectOff.horizontalTitleEffect = false;
  for (const Case& c : {Case{"ends with <1>", endsWithOne}, Case{"new project", newProject},
                        Case{"preview hidden", hidden}, Case{"effect off", effectOff}}) {
    const auto r = buildOutputBuffer(c.in);
    ASSERT_TRUE(r.ok) << c.name;
    EXPECT_EQ(r.bytes, kFive) << c.name;
    EXPECT_EQ(r.channelsLabel, "8") << c.name;  // a fresh window takes the first line's length
  }
}

TEST(OutputBuffer, VerticalPreviewAlsoAsksForTheMerge) {
  BufferInput in = merged(kFive, "X□X<2>\r\n");
  in.horizontalTitleEffect = false;
  in.verticalShown = true;
  in.verticalTitleEffect = true;
  EXPECT_EQ(buildOutputBuffer(in).channelsLabel, "11");
}

TEST(OutputBuffer, MaskOfTheWrongLengthStopsTheCompile) {
  const std::string effect = "XXX<1>\r\nX□<2>\r\n";
  const auto r = buildOutputBuffer(merged(kFive, effect));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "“X□<2>”的长度有问题！");
  EXPECT_EQ(r.maskStart, 8u);
  EXPECT_EQ(r.maskLength, 2u);
  EXPECT_EQ(r.bytes, "L1aaaaaaXXX\r\n");  // what was written before the faulty step
  EXPECT_EQ(r.channelsLabel, "路数");     // unchanged
}

TEST(OutputBuffer, AnyMaskCharacterButTheDarkMarkLights) {
  const auto r = buildOutputBuffer(merged("ab\r\n", "A □<1>\r\n"));
  EXPECT_EQ(r.bytes, "abXX \r\n");
}

TEST(OutputBuffer, ManualFileAddsTheTitleToTheBaseChannels) {
  BufferInput in;
  in.totalProgram = kFive;
  in.title = "一二三四";
  in.manualFileExists = true;
  in.baseChannels = "32";
  auto r = buildOutputBuffer(in);
  EXPECT_EQ(r.channelsLabel, "36");
  in.baseChannels = "基本路数";  // no number: the first line decides
  EXPECT_EQ(buildOutputBuffer(in).channelsLabel, "8");
}

// Numbers beyond what a channel count can be are held at the end of the range, not converted
// into whatever the machine makes of them; a base channel count no sign can have reads as no
// number, so the count stays as found.
TEST(OutputBuffer, HugeNumbersInLabelsAreHeld) {
  EXPECT_GT(labelValue("1e300"), 1'000'000'000'000'000'000L);
  EXPECT_LT(labelValue("-1e300"), -1'000'000'000'000'000'000L);
  EXPECT_EQ(labelValue("40.9路"), 40);
  BufferInput in;
  in.totalProgram = kFive;
  in.manualFileExists = true;
  in.baseChannels = "+1999999999999999999999999999999999999999";
  EXPECT_EQ(buildOutputBuffer(in).channelsLabel, "8");
}

TEST(OutputBuffer, ChannelCountIsCarriedWhileTheWindowStaysOpen) {
  BufferInput in;
  in.totalProgram = kFive;
  in.channelsLabel = "48";
  const auto r = buildOutputBuffer(in);
  EXPECT_EQ(r.channelsLabel, "48");
  EXPECT_EQ(r.rowsLabel, "1");  // 50 characters ÷ (48 + 2)
  in.channelsLabel = "18";
  EXPECT_EQ(buildOutputBuffer(in).rowsLabel, "2.5");
}

TEST(OutputBuffer, RowsText) {
  EXPECT_EQ(rowsText(4200, 40), "100");
  EXPECT_EQ(rowsText(10, 1), "3.33333333333333");
  EXPECT_EQ(rowsText(0, 8), "0");
}

TEST(OutputBuffer, EmptyProgramWithMergeTakesTheTitleLength) {
  const auto r = buildOutputBuffer(merged("", "X□X<2>"));
  EXPECT_TRUE(r.bytes.empty());
  EXPECT_EQ(r.channelsLabel, "3");
}

// Programs of every awkward shape: every kind of line end, a CR LF or a GBK character cut by the
// piece boundary, no line end at the end, invalid GBK, lines too long for the channels, title masks
// that fit and one that does not.
std::string randomProgram(std::mt19937& rng) {
  const std::vector<std::string> pieces{"X",        " ",    "_",    "XXXXXXXX", "        ",
                                        "\r\n",     "\r\n", "\n",   "\r",       "\xBB\xB6",
                                        "\xC1\xD9", "\xFF", "\x81", "X X X X ", "\r\n\r\n"};
  std::string text;
  const int n = static_cast<int>(rng() % 60);
  for (int i = 0; i < n; ++i) text += pieces[rng() % pieces.size()];
  return text;
}

TEST(BufferStream, PiecesGiveWhatTheWholeTextGives) {
  std::mt19937 rng(20261209);
  const std::vector<std::string> effects{"", "新工程<1>", "X□X<2>\r\n□□□<4>\r\n", "XX<3>\r\n"};
  for (int round = 0; round < 400; ++round) {
    const std::string program = randomProgram(rng);
    BufferInput in = merged(program, effects[rng() % effects.size()]);
    in.horizontalTitleEffect = rng() % 3 != 0;
    in.manualFileExists = rng() % 2 == 0;
    in.baseChannels = rng() % 2 ? "8" : "基本路数";
    const long channels = 1 + static_cast<long>(rng() % 24);
    SCOPED_TRACE("round " + std::to_string(round) + ": \"" + program + "\"");

    // The reference: the whole text at once, then stage two over the whole buffer.
    const BufferResult whole = buildOutputBuffer(in);
    ImageSet set;
    ChipOptions inMemory;
    inMemory.inMemoryOnly = true;
    const ImageResult images =
        buildEpromImages({whole.bytes, channels, {}, ChipLayout::Single, nullptr}, set, inMemory);
    if (whole.ok) {
      EXPECT_EQ(whole.rowsLabel,
                rowsText(platform::utf8Length(whole.bytes), labelValue(whole.channelsLabel)));
    }
    // The extent the channel count may ask for, against the lines as forEachLine gives them.
    std::vector<std::string_view> lines;
    platform::forEachLine(program, [&](std::string_view line) { lines.push_back(line); });
    const SequenceExtent extent = extentOf(program);
    EXPECT_EQ(extent.hasLines, !lines.empty());
    if (!lines.empty()) {
      EXPECT_EQ(extent.firstLineBytes, lines.front().size());
      EXPECT_EQ(extent.lastLineBytes, lines.back().size());
    }
    EXPECT_EQ(extent.firstCr, program.find('\r'));

    for (const std::size_t size : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}}) {
      std::string bytes;
      platform::StringSink sink(bytes);
      FrameBuilder frames(channels);
      BufferStream stream(in, &sink, &frames);
      for (std::size_t at = 0; at < program.size(); at += size)
        stream.feed(std::string_view(program).substr(at, size));
      stream.finish();
      EXPECT_EQ(bytes, whole.bytes) << "pieces of " << size;
      EXPECT_EQ(stream.failed(), !whole.ok);
      if (!whole.ok) {
        EXPECT_EQ(stream.message(), whole.message);
        continue;
      }
      EXPECT_EQ(stream.characters(), platform::utf8Length(whole.bytes));
      EXPECT_EQ(frames.tooLong(), images.message == kTooLongMessage) << images.message;
      if (frames.tooLong()) continue;
      EXPECT_EQ(frames.frames(), images.frames);
      if (frames.frames() > 0) {
        ASSERT_FALSE(images.files.empty());
        EXPECT_EQ(*frames.take(), images.files.front().bytes);  // the positive image: every frame
      }
    }
  }
}

}  // namespace
}  // namespace lumafex::compiler
