// GBK <-> UTF-8: round trips, and bad input reported instead of garbled.

#include <gtest/gtest.h>

#include "platform/TextCodec.h"

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
  EXPECT_NE(r.error().find("3"), std::string::npos) << r.error();
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

TEST(TextCodec, Utf8Characters) {
  EXPECT_EQ(utf8Length("欢迎A光临"), 5u);
  std::size_t at = 0;
  EXPECT_EQ(utf8Char("欢A", at), "欢");
  EXPECT_EQ(utf8Char("欢A", at), "A");
  EXPECT_EQ(at, 4u);
}

}  // namespace
}  // namespace lumafex::platform
