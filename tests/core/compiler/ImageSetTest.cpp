// Publishing one compile's images as a set, and clearing what interrupted publications left.

#include "core/compiler/ImageSet.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <random>

#include "core/compiler/OutputBuffer.h"
#include "core/compiler/ProjectCompile.h"
#include "core/design/TitleEffect.h"
#include "core/patterns/StepText.h"
#include "core/platform/TextFile.h"
#include "support/TempDir.h"

namespace lumafex::compiler {
namespace {

namespace fs = std::filesystem;
using platform::pathFromUtf8;

std::string read(const fs::path& p) {
  auto r = platform::readBytes(p);
  return r ? *r : "<missing>";
}
void put(const fs::path& p, std::string_view bytes) {
  fs::create_directories(p.parent_path());
  ASSERT_TRUE(platform::writeBytesSafely(p, bytes, false));
}
std::vector<std::string> names(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.push_back(platform::pathToUtf8(e.path().filename()));
  std::sort(out.begin(), out.end());
  return out;
}

TEST(ImageSet, ReplacesRetiresAndKeeps) {
  testing::TempDir dir;
  const fs::path bin = dir.path() / "bin";
  for (const char* name : {"正1.bin", "正2.bin", "正3.bin", "正5.bin", "反1.bin", "单IC正.bin", "说明.txt"}) {
    put(bin / pathFromUtf8(name), name);
  }
  put(bin / "sub" / "a", "kept");
  ImageSet set;
  set.add("正1.bin", "new");
  set.retired = {{"正", 2}, {"反", 2}};
  ASSERT_TRUE(publishImageSet(bin, set));
  // 正2 and 正3 go (正4 is missing, so 正5 stays), 反1 was not retired, the user's files stay.
  EXPECT_EQ(names(bin),
            (std::vector<std::string>{"sub", "单IC正.bin", "反1.bin", "正1.bin", "正5.bin", "说明.txt"}));
  EXPECT_EQ(read(bin / pathFromUtf8("正1.bin")), "new");
  EXPECT_EQ(read(bin / pathFromUtf8("说明.txt")), "说明.txt");
  EXPECT_EQ(read(bin / "sub" / "a"), "kept");
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"bin"});  // no folder left beside it
}

TEST(ImageSet, WithoutFolderExchangeTheSameSetIsPublished) {
  testing::TempDir dir;
  const fs::path bin = dir.path() / "bin";
  put(bin / pathFromUtf8("正1.bin"), "old");
  put(bin / pathFromUtf8("正2.bin"), "old");
  put(bin / "keep", "kept");
  ImageSet set;
  set.add("正1.bin", "new");
  set.retired = {{"正", 2}};
  ASSERT_TRUE(publishImageSetByRenames(bin, set));
  EXPECT_EQ(names(bin), (std::vector<std::string>{"keep", "正1.bin"}));
  EXPECT_EQ(read(bin / pathFromUtf8("正1.bin")), "new");
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"bin"});
}

TEST(ImageSet, CreatesAMissingBinAndRefusesAFile) {
  testing::TempDir dir;
  ImageSet set;
  set.add("单IC正.bin", std::string("\x81", 1));
  ASSERT_TRUE(publishImageSet(dir.path() / "p" / "bin", set));
  EXPECT_EQ(read(dir.path() / "p" / "bin" / pathFromUtf8("单IC正.bin")), "\x81");
  put(dir.path() / "q" / "bin", "a file");
  EXPECT_FALSE(publishImageSet(dir.path() / "q" / "bin", set));
  EXPECT_EQ(read(dir.path() / "q" / "bin"), "a file");
  EXPECT_EQ(names(dir.path() / "q"), std::vector<std::string>{"bin"});
}

TEST(ImageSet, ABinThatIsALinkIsFollowedAndStays) {
  testing::TempDir dir;
  put(dir.path() / "elsewhere" / pathFromUtf8("正1.bin"), "old");
  fs::create_directories(dir.path() / "p");
  fs::create_directory_symlink(dir.path() / "elsewhere", dir.path() / "p" / "bin");
  ImageSet set;
  set.add("正1.bin", "new");
  ASSERT_TRUE(publishImageSet(dir.path() / "p" / "bin", set));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "p" / "bin"));
  EXPECT_EQ(read(dir.path() / "elsewhere" / pathFromUtf8("正1.bin")), "new");
  EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"elsewhere", "p"}));
}

// A folder of ours beside "bin" as a killed publication leaves it: the marker naming the folder,
// and the set inside.
void ourFolder(const fs::path& parent, const std::string& name, const std::string& markerText = "") {
  put(parent / name / kLeftoverMarker, markerText.empty() ? name + "\n" : markerText);
  put(parent / name / "set" / pathFromUtf8("正1.bin"), "half-built");
}

TEST(ImageSet, OnlyFoldersWithOurMarkerAreLeftovers) {
  struct Case {
    const char* what;
    std::function<void(const fs::path& parent)> setup;
    int removed;
    std::vector<std::string> after;  // beside "bin"
  };
  const std::vector<Case> cases{
      {"a half-built set of ours", [](const fs::path& d) { ourFolder(d, "bin.~new-abc123"); }, 1, {}},
      {"an old set of ours with a read-only folder the user kept",
       [](const fs::path& d) {
         ourFolder(d, "bin.~new-abc124");
         put(d / "bin.~new-abc124" / "set" / "mine" / "notes.txt", "x");
         fs::permissions(d / "bin.~new-abc124" / "set" / "mine", fs::perms::owner_write,
                         fs::perm_options::remove);
       },
       1,
       {}},
      {"a user's folder named like ours",
       [](const fs::path& d) { put(d / "bin.~new-backup" / "notes.txt", "mine"); },
       0,
       {"bin.~new-backup"}},
      {"a user's folder named like an old set",
       [](const fs::path& d) { put(d / "bin.~old-2024v1" / pathFromUtf8("正1.bin"), "mine"); },
       0,
       {"bin.~old-2024v1"}},
      {"an empty folder named like ours (a run stopped before its marker)",
       [](const fs::path& d) { fs::create_directories(d / "bin.~new-abc125"); },
       1,
       {}},
      {"a marker that is a folder",
       [](const fs::path& d) { put(d / "bin.~new-abc126" / kLeftoverMarker / "x", "bin.~new-abc126\n"); },
       0,
       {"bin.~new-abc126"}},
      {"a link named like ours to a folder of ours",
       [](const fs::path& d) {
         ourFolder(d, "elsewhere");
         put(d / "elsewhere" / kLeftoverMarker, "bin.~new-abc127\n");
         fs::create_directory_symlink(d / "elsewhere", d / "bin.~new-abc127");
       },
       0,
       {"bin.~new-abc127", "elsewhere"}},
      {"stray temporary files beside our images and beside the user's",
       [](const fs::path& d) {
         put(d / "bin" / pathFromUtf8("正1.bin.~0123abcd.tmp"), "half");
         put(d / "bin" / pathFromUtf8("单IC反.hex.~0123abcd.tmp"), "half");
         put(d / "bin" / "notes.~0123abcd.tmp", "mine");
         put(d / "bin" / "notes.tmp", "mine");
       },
       2,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempDir dir;
    const fs::path bin = dir.path() / "bin";
    put(bin / pathFromUtf8("正1.bin"), "old");
    c.setup(dir.path());
    const auto userFiles = names(bin);
    // Both ways in: the next compile's clean-up, and the one of a project being opened.
    EXPECT_EQ(cleanCompileLeftovers(dir.path()), c.removed);
    std::vector<std::string> after{"bin"};
    after.insert(after.end(), c.after.begin(), c.after.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(names(dir.path()), after);
    EXPECT_EQ(read(bin / pathFromUtf8("正1.bin")), "old");
    for (const auto& name : names(bin)) {
      // Only the user's own temporary-looking files stay.
      EXPECT_TRUE(name.find(".~0123abcd.tmp") == std::string::npos || name.rfind("notes", 0) == 0) << name;
    }
    // A compile leaves the user's folders as they are as well.
    ImageSet set;
    set.add("正1.bin", "new");
    ASSERT_TRUE(publishImageSet(bin, set));
    EXPECT_EQ(names(dir.path()), after);
    for (const auto& name : c.after) EXPECT_FALSE(fs::is_empty(dir.path() / name)) << name;
  }
}

TEST(ImageSet, AnOldSetStoppedBetweenTwoRenamesComesBack) {
  testing::TempDir dir;
  const fs::path bin = dir.path() / "bin";
  ourFolder(dir.path(), "bin.~new-def456");
  put(dir.path() / "bin.~new-def456" / "old" / pathFromUtf8("正1.bin"), "old");
  put(dir.path() / "bin.~old-2024v1" / pathFromUtf8("正1.bin"), "the user's");
  cleanImageLeftovers(bin);
  EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"bin", "bin.~old-2024v1"}));
  EXPECT_EQ(read(bin / pathFromUtf8("正1.bin")), "old");
  EXPECT_EQ(read(dir.path() / "bin.~old-2024v1" / pathFromUtf8("正1.bin")), "the user's");

  // Without a set of ours to restore, a user's folder never becomes "bin".
  fs::remove_all(bin);
  cleanImageLeftovers(bin);
  EXPECT_FALSE(fs::exists(bin));
}

TEST(ImageSet, WhatIsNoRegularFileInBinIsNeverReplacedOrRetired) {
  struct Case {
    const char* what;
    std::function<void(const fs::path& bin)> setup;
    const char* refusal;  // empty: published
  };
  const std::vector<Case> cases{
      {"a folder with an image's name",
       [](const fs::path& b) { put(b / pathFromUtf8("正1.bin") / "notes.txt", "mine"); }, "是一个文件夹"},
      {"a link with an image's name",
       [](const fs::path& b) {
         put(b.parent_path() / "outside", "mine");
         fs::create_symlink("../outside", b / pathFromUtf8("正1.bin"));
       },
       "是一个链接"},
      {"a FIFO with a copy's name",
       [](const fs::path& b) { ASSERT_EQ(::mkfifo((b / pathFromUtf8("正1.hex")).c_str(), 0644), 0); },
       "是一个特殊文件"},
      {"a folder with a retired image's name",
       [](const fs::path& b) { put(b / pathFromUtf8("正3.bin") / "notes.txt", "mine"); }, ""},
      {"a link with a stale copy's name",
       [](const fs::path& b) {
         put(b.parent_path() / "outside", "mine");
         fs::create_symlink("../outside", b / pathFromUtf8("正2.hex"));
       },
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempDir dir;
    const fs::path bin = dir.path() / "bin";
    put(bin / pathFromUtf8("正2.bin"), "old");
    c.setup(bin);
    const auto before = names(bin);
    ImageSet set;
    set.add("正1.bin", "new");
    set.add("正1.hex", "new copy");
    set.retired = {{"正", 2}};
    set.retiredNames = {"正2.hex"};
    const Status s = publishImageSet(bin, set);
    std::vector<std::string> beside{"bin"};
    if (fs::exists(dir.path() / "outside")) beside.push_back("outside");
    EXPECT_EQ(names(dir.path()), beside);  // no folder left beside "bin"
    if (*c.refusal) {
      ASSERT_FALSE(s);
      EXPECT_NE(s.error().find(c.refusal), std::string::npos) << s.error();
      EXPECT_NE(s.error().find("没有写入任何文件"), std::string::npos) << s.error();
      EXPECT_EQ(names(bin), before);
      EXPECT_EQ(read(bin / pathFromUtf8("正2.bin")), "old");
    } else {
      ASSERT_TRUE(s) << s.error();
      EXPECT_EQ(read(bin / pathFromUtf8("正1.bin")), "new");
      EXPECT_FALSE(fs::exists(bin / pathFromUtf8("正2.bin")));  // a regular file of a retired name goes
      for (const auto& name : before) {
        if (name != "正2.bin") {
          EXPECT_TRUE(fs::exists(fs::symlink_status(bin / pathFromUtf8(name)))) << name;
        }
      }
    }
    for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
      const std::string name = platform::pathToUtf8(e.path().filename());
      if (name == "notes.txt") {
        EXPECT_EQ(read(e.path()), "mine");
      }
    }
    if (fs::exists(dir.path() / "outside")) {
      EXPECT_EQ(read(dir.path() / "outside"), "mine");
    }
  }
}

TEST(ImageSet, WritersMakeTheirFilesAsTheyAreWrittenWithTheirChecksums) {
  testing::TempDir dir;
  const fs::path bin = dir.path() / "bin";
  std::string big(3 << 20, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 131 + (i >> 9));
  ImageSet set;
  set.add("正1.bin", [&](platform::ByteSink& sink) { return sink.write(big); });
  set.add("正1.hex", [&](platform::ByteSink& sink) { return writeIntelHex(big, sink); });
  set.add("正1.s19", [&](platform::ByteSink& sink) { return writeMotorolaS(big, sink); });
  set.add("反1.bin", "plain");
  set.checksums = true;
  PublishReport report;
  ASSERT_TRUE(publishImageSet(bin, set, &report));
  EXPECT_EQ(read(bin / pathFromUtf8("正1.bin")), big);
  EXPECT_EQ(read(bin / pathFromUtf8("正1.hex")), intelHex(big));
  EXPECT_EQ(read(bin / pathFromUtf8("正1.s19")), motorolaS(big));
  ASSERT_EQ(report.checksums.size(), 4u);
  for (const auto& c : report.checksums) {
    const auto expected = checksumOf({c.name, read(bin / pathFromUtf8(c.name))});
    EXPECT_EQ(c.sum, expected.sum) << c.name;
    EXPECT_EQ(c.crc, expected.crc) << c.name;
  }
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"bin"});
  EXPECT_FALSE(fs::exists(bin / kLeftoverMarker));
}

TEST(TitleMasks, FindsWhatTheSearchFinds) {
  std::mt19937 rng(7);
  const std::vector<std::string> pieces{"<", ">",    "1",  "2",   "0",   "12",  "X",
                                        "□", "\r\n", "\n", "<1>", "<2>", "<12>"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int n = static_cast<int>(rng() % 40);
    for (int i = 0; i < n; ++i) text += pieces[rng() % pieces.size()];
    const design::TitleMasks masks(text);
    for (long step = 1; step <= 13; ++step) {
      const auto a = design::findMask(text, step);
      const auto b = masks.find(step);
      ASSERT_EQ(a.has_value(), b.has_value()) << text << " step " << step;
      if (!a) continue;
      EXPECT_EQ(a->mask, b->mask) << text;
      EXPECT_EQ(a->maskStart, b->maskStart) << text;
      EXPECT_EQ(a->maskLength, b->maskLength) << text;
    }
  }
}

TEST(StepText, WholeNumbersOfHugeValuesSaturate) {
  EXPECT_EQ(patterns::whole(2.5), 2);
  EXPECT_EQ(patterns::whole(-3.5), -4);
  EXPECT_GT(patterns::whole(1e30), 1L << 61);
  EXPECT_LT(patterns::whole(-1e300), -(1L << 61));
  EXPECT_EQ(patterns::whole(std::nan("")), 0);
  EXPECT_GT(patterns::Int(1e300), 1L << 61);
  EXPECT_GT(labelValue("1e30"), 1L << 61);
  EXPECT_EQ(labelValue("路数"), 0);
  EXPECT_EQ(labelValue("-12.7"), -12);
}

TEST(OutputBuffer, ABaseChannelCountNoChannelCountCanBeReadsAsNoNumber) {
  BufferInput in;
  in.totalProgram = "XXXX\r\n";
  in.manualFileExists = true;
  in.baseChannels = "1e30";
  EXPECT_EQ(buildOutputBuffer(in).channelsLabel, "4");  // the first line's length
  in.baseChannels = "32";
  EXPECT_EQ(buildOutputBuffer(in).channelsLabel, "32");
}

}  // namespace
}  // namespace lumafex::compiler
