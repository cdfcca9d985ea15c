// Finding the mask of a step in the title effect text.

#include <gtest/gtest.h>

#include "core/design/TitleEffect.h"

namespace lumafex::design {
namespace {

TEST(TitleEffect, MaskOfAStep) {
  const std::string text = "X□X<2>\r\n□□□<4>\r\n";
  const auto two = findMask(text, 2);
  ASSERT_TRUE(two);
  EXPECT_EQ(two->mask, "X□X");
  EXPECT_EQ(two->maskStart, 0u);
  EXPECT_EQ(two->maskLength, 3u);
  const auto four = findMask(text, 4);
  ASSERT_TRUE(four);
  EXPECT_EQ(four->mask, "□□□");
  EXPECT_EQ(four->maskStart, 8u);  // characters: "X□X<2>" is 6, then CR LF
  EXPECT_FALSE(findMask(text, 3));
}

TEST(TitleEffect, FirstOccurrenceOfTheExactMarker) {
  const std::string text = "AB<12>\r\nCD<1>\r\n";
  EXPECT_EQ(findMask(text, 1)->mask, "CD");  // "<1>" is not found inside "<12>"
  EXPECT_EQ(findMask(text, 12)->mask, "AB");
}

TEST(TitleEffect, ChannelsAndLitCharacters) {
  EXPECT_EQ(maskChannels("欢□ 光"), "X XX");  // a blank in a mask lights its channel
  EXPECT_TRUE(isLit("欢□迎", 0));
  EXPECT_FALSE(isLit("欢□迎", 1));
  EXPECT_TRUE(isLit("欢□迎", 2));
}

TEST(TitleEffect, AcceptedTitle) {
  EXPECT_EQ(acceptedTitle("AB红星C"), "红星");
  EXPECT_EQ(acceptedTitle("ＡＢ全角"), "ＡＢ全角");
  EXPECT_EQ(acceptedTitle("abc"), "");
}

TEST(TitleEffect, FirstStepMarkerAtTheEnd) {
  EXPECT_TRUE(endsWithFirstStepMarker("新工程<1>"));
  EXPECT_FALSE(endsWithFirstStepMarker("新工程<1>\r\n"));
  EXPECT_FALSE(endsWithFirstStepMarker("AB<11>x"));
  EXPECT_FALSE(endsWithFirstStepMarker("AB<11>"));
  EXPECT_TRUE(endsWithFirstStepMarker("X<5>\r\nX□X<1>"));
}

}  // namespace
}  // namespace lumafex::design
