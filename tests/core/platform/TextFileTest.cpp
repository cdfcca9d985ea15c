// Text files: line splitting, GBK lines with unreadable ones, safe replacement, the scratch file.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "core/platform/ScratchFile.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::platform {
namespace {

TEST(TextFile, SplitsOnEveryKindOfLineEnd) {
  EXPECT_EQ(splitTextLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(splitTextLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(splitTextLines("").empty());
}

TEST(TextFile, GbkLinesRoundTripByteForByte) {
  testing::TempDir dir;
  const auto path = dir.path() / "t.txt";
  const std::vector<std::string> lines{"欢迎光临", "64", "", "<花式>=", "3左扫"};
  ASSERT_TRUE(writeGbkLines(path, lines));
  const auto bytes = readBytes(path);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes,
            "\xBB\xB6\xD3\xAD\xB9\xE2\xC1\xD9\r\n64\r\n\r\n<\xBB\xA8\xCA\xBD>=\r\n3\xD7\xF3\xC9\xA8\r\n");
  const auto back = readGbkLines(path);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ((*back)[i].value_or("?"), lines[i]);
}

TEST(TextFile, InvalidLineIsUnreadableOthersAreKept) {
  testing::TempDir dir;
  const auto path = dir.path() / "bad.txt";
  std::ofstream(path, std::ios::binary) << "ok\r\n\xFF\xFE\r\nalso ok\r\n";
  const auto lines = readGbkLines(path);
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 3u);
  EXPECT_EQ((*lines)[0], "ok");
  EXPECT_FALSE((*lines)[1].has_value());
  EXPECT_EQ((*lines)[2], "also ok");
}

TEST(TextFile, UnencodableTextLeavesTheOldFileAlone) {
  testing::TempDir dir;
  const auto path = dir.path() / "keep.txt";
  ASSERT_TRUE(writeGbkLines(path, {"old"}));
  EXPECT_FALSE(writeGbkLines(path, {"new", "😀"}));
  EXPECT_EQ(*readBytes(path), "old\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(TextFile, SafeWriteIntoAMissingDirectoryFails) {
  testing::TempDir dir;
  EXPECT_FALSE(writeBytesSafely(dir.path() / "no" / "such.txt", "x"));
  EXPECT_FALSE(readBytes(dir.path() / "missing.txt"));
}

TEST(TextFile, ASetOfFilesFollowsLinksAndRefusesWhatIsNoFile) {
  testing::TempDir dir;
  const fs::path& d = dir.path();
  ASSERT_TRUE(writeBytesSafely(d / "real", "old"));
  fs::create_symlink("real", d / "link");
  fs::create_directories(d / "folder");
  ASSERT_EQ(::mkfifo((d / "fifo").c_str(), 0644), 0);
  struct Case {
    const char* what;
    fs::path second;
    bool ok;
  };
  for (const Case& c : {Case{"a link is followed", d / "link", true},
                        Case{"a directory refuses the set", d / "folder", false},
                        Case{"a FIFO refuses the set", d / "fifo", false}}) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(writeBytesSafely(d / "first", "before"));
    const std::vector<std::pair<fs::path, std::string_view>> files{{d / "first", "after"}, {c.second, "new"}};
    EXPECT_EQ(static_cast<bool>(writeFilesSafely(files)), c.ok);
    EXPECT_EQ(*readBytes(d / "first"), c.ok ? "after" : "before");
  }
  EXPECT_TRUE(fs::is_symlink(d / "link"));
  EXPECT_EQ(*readBytes(d / "real"), "new");
  EXPECT_TRUE(fs::is_directory(d / "folder"));
  EXPECT_TRUE(fs::is_fifo(d / "fifo"));
  EXPECT_EQ(std::distance(fs::directory_iterator(d), fs::directory_iterator()), 5);  // nothing beside
}

TEST(TextFile, OversizedFilesAreRefused) {
  testing::TempDir dir;
  const auto path = dir.path() / "big.txt";
  std::ofstream(path, std::ios::binary) << std::string(100, 'X');
  EXPECT_FALSE(readBytes(path, 99));
  EXPECT_TRUE(readBytes(path, 100));
}

TEST(ScratchFile, CreatedEmptyWithTheCleanUpPrefix) {
  testing::TempDir dir;
  const auto a = createScratchFile(dir.path());
  const auto b = createScratchFile(dir.path());
  ASSERT_TRUE(a);
  ASSERT_TRUE(b);
  EXPECT_NE(*a, *b);
  const std::string name = a->filename().string();
  EXPECT_EQ(name.rfind("~00", 0), 0u);
  EXPECT_EQ(name.substr(name.size() - 4), ".TMP");
  EXPECT_EQ(fs::file_size(*a), 0u);
  std::ofstream(dir.path() / "other.txt") << "x";
  EXPECT_EQ(removeScratchFiles(dir.path()), 2);
  EXPECT_TRUE(fs::exists(dir.path() / "other.txt"));
}

TEST(ScratchFile, PlatformPathIsCleaned) {
  EXPECT_EQ(cleanPlatformPath(std::string("/tmp/\0\0 ", 8)), "/tmp/");
  EXPECT_EQ(cleanPlatformPath("  /var/tmp/  "), "/var/tmp/");
  EXPECT_EQ(cleanPlatformPath(std::string("\0", 1)), "");
}

TEST(ScratchFile, OverwriteTruncates) {
  testing::TempDir dir;
  const auto path = dir.path() / "s.TMP";
  ASSERT_TRUE(overwriteFile(path, "long content\r\n"));
  ASSERT_TRUE(overwriteFile(path, "X\r\n"));
  EXPECT_EQ(*readBytes(path), "X\r\n");
}

}  // namespace
}  // namespace lumafex::platform
