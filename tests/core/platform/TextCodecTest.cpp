// GBK <-> UTF-8: round trips, and bad input reported instead of garbled.

#include <gtest/gtest.h>

#include "core/platform/TextCodec.h"

namespace lumafex::platform {
namespace {

TEST(TextCodec, RoundTrips) {
  for (const char* text : {"Velarn工作室", "□□X<12>", "新工程<1>", "", "ＡＢＣ全角", "霓虹灯花式.txt", "€"}) {
    const auto gbk = utf8ToGbk(text);
    ASSERT_TRUE(gbk) << text << ": " << gbk.error();
    const auto back = gbkToUtf8(*gbk);
    ASSERT_TRUE(back) << text;
    EXPECT_EQ(*back, text);
  }
}

TEST(TextCodec, KnownBytes) {
  EXPECT_EQ(*utf8ToGbk("□"), "\xA1\xF5");
  EXPECT_EQ(*utf8ToGbk("霓虹灯"), "\xC4\xDE\xBA\xE7\xB5\xC6");
  EXPECT_EQ(*gbkToUtf8("\xC4\xDE\xBA\xE7\xB5\xC6"), "霓虹灯");
}

TEST(TextCodec, InvalidGbkIsReported) {
  const auto r = gbkToUtf8(std::string("AB\xC4", 3));  // a lead byte without its trail byte
  EXPECT_FALSE(r);
  EXPECT_NE(r.error().find('3'), std::string::npos) << r.error();
  EXPECT_FALSE(gbkToUtf8("\xFF\xFF"));
}

TEST(TextCodec, UnmappableCharacterIsReported) {
  const auto r = utf8ToGbk("标题😀");
  ASSERT_FALSE(r);
  EXPECT_NE(r.error().find("😀"), std::string::npos);
  EXPECT_FALSE(utf8ToGbk(std::string("\xC3", 1)));  // not UTF-8 at all
}

TEST(TextCodec, DoubleByteCharacters) {
  EXPECT_TRUE(isDoubleByte("欢"));
  EXPECT_TRUE(isDoubleByte("Ａ"));
  EXPECT_TRUE(isDoubleByte("□"));
  EXPECT_FALSE(isDoubleByte("A"));
  EXPECT_FALSE(isDoubleByte(" "));
  EXPECT_FALSE(isDoubleByte("😀"));  // cannot be saved, so not accepted in a title
}

std::string repeated(std::string_view unit, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += unit;
  return s;
}

// The whole-text filter keeps exactly the characters the one-character test accepts, including
// around characters GBK cannot hold and bytes that are not UTF-8.
TEST(TextCodec, DoubleByteFilterAgreesWithCharacterTest) {
  for (const std::string& text :
       {std::string("欢迎光临"), std::string("A欢 B€迎😀光ｶ临"), std::string("😀😀欢"),
        std::string("欢\xE4"
                    "A迎"),
        std::string("\xC0\x80欢\x80\xFF迎\xE6\x96"), std::string(), std::string("abc"),
        std::string(1000, 'x') + "欢" + std::string(7, 'y') + "迎", repeated("😀欢€", 5000)}) {
    std::string expected;
    for (std::size_t i = 0; i < text.size();) {
      const std::string_view ch = utf8Char(text, i);
      if (isDoubleByte(ch)) expected += ch;
    }
    EXPECT_EQ(doubleByteCharacters(text), expected) << text;
  }
}

TEST(TextCodec, AsciiAndLengthAcrossWords) {
  const std::string ascii(37, 'X');
  EXPECT_TRUE(isAscii(ascii));
  for (std::size_t at : {0u, 7u, 8u, 31u, 32u, 36u}) {
    std::string t = ascii;
    t[at] = '\xA1';
    EXPECT_FALSE(isAscii(t)) << at;
    EXPECT_EQ(utf8Length(t), 37u) << at;  // a stray byte is a character of its own
  }
  EXPECT_EQ(utf8Length(ascii + "欢迎" + ascii), 76u);
}

TEST(TextCodec, Utf8Characters) {
  EXPECT_EQ(utf8Length("欢迎A光临"), 5u);
  std::size_t at = 0;
  EXPECT_EQ(utf8Char("欢A", at), "欢");
  EXPECT_EQ(utf8Char("欢A", at), "A");
  EXPECT_EQ(at, 4u);
}

}  // namespace
}  // namespace lumafex::platform
