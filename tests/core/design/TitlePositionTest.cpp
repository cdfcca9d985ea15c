// The title position files: what counts as a position and what leaves the title centred.

#include "core/design/TitlePosition.h"

#include <gtest/gtest.h>

#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::design {
namespace {

TEST(TitlePosition, WhatTheFileHolds) {
  struct Case {
    const char* name;
    std::string bytes;  // nullptr-like: "<none>" means no file
    std::optional<std::pair<long, long>> start;
  };
  const std::vector<Case> cases = {
      {"two numbers", "1500\r\n-300\r\n", std::pair{1500L, -300L}},
      {"blanks and a fraction", "  12.6 \r\n 7\r\n", std::pair{13L, 7L}},
      {"leading number of a text", "240twips\r\n60\r\n", std::pair{240L, 60L}},
      {"one line only", "1500\r\n", std::nullopt},
      {"empty file", "", std::nullopt},
      {"far beyond any screen", "1e300\r\n5\r\n", std::nullopt},
      {"not a number is 0", "abc\r\n5\r\n", std::pair{0L, 5L}},
      {"no file", "<none>", std::nullopt},
      {"far too large to be one", std::string(100 * 1024, '1') + "\r\n1\r\n", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir dir;
    const auto file = dir.path() / platform::pathFromUtf8("标题_坐标.ini");
    if (c.bytes != "<none>") {
      ASSERT_TRUE(platform::writeBytesSafely(file, c.bytes));
    }
    const auto start = readTitlePosition(file);
    ASSERT_EQ(start.has_value(), c.start.has_value());
    if (start) {
      EXPECT_EQ(start->x, c.start->first);
      EXPECT_EQ(start->y, c.start->second);
    }
  }
}

TEST(TitlePosition, WrittenAndReadBack) {
  testing::TempDir dir;
  const auto file = dir.path() / platform::pathFromUtf8("竖列_标题_坐标.ini");
  ASSERT_TRUE(writeTitlePosition(file, {-45, 2010}));
  EXPECT_EQ(*platform::readBytes(file), "-45\r\n2010\r\n");
  const auto start = readTitlePosition(file);
  ASSERT_TRUE(start);
  EXPECT_EQ(start->x, -45);
  EXPECT_EQ(start->y, 2010);
}

}  // namespace
}  // namespace lumafex::design
