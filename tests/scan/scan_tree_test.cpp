#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "helpers/file_links.hpp"
#include "helpers/os_texts.hpp"
#include "helpers/posix_fixtures.hpp"
#include "helpers/temp_project.hpp"
#include "helpers/without_privileges.hpp"
#include "platform/paths.hpp"
#include "platform/system.hpp"
#include "scan/scan_records.hpp"
#include "scan/scanner.hpp"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using testing::describe;
using testing::sorted;
using testing::TempProject;

StageSet builtin_stages() {
  return StageSet{"doc", "impl", "unit", "int"};
}

ScanResult scan(const TempProject& project, const std::vector<fs::path>& roots) {
  return scan_tree(project.path(), roots, builtin_stages());
}

// `joined` ("src/locked") below the project, joined the way the walk joins names.
std::string io_error(const TempProject& project, std::string_view joined,
                     const std::string& os_text) {
  return "IO error for operation on " +
         platform::path_bytes(project.path() / platform::path_from_utf8(joined).make_preferred()) +
         ": " + os_text;
}

TEST(ScanTree, NoRootsGiveAnEmptyResult) {
  TempProject project;
  project.write("a.rs", "// [impl->REQ-1]\n");
  EXPECT_TRUE(describe(scan(project, {})).empty());
}

TEST(ScanTree, ScansEverySelectedFileIncludingHiddenOnes) {
  TempProject project;
  project.write("src/a.rs", "fn a() {} // [impl->REQ-1]\n");
  project.write("src/deep/b.PY", "x = 1\n# [unit->REQ-2] [x->y]\n");
  project.write("src/.hidden/c.md", "[doc->REQ-3]\n");
  project.write("src/.git/d.yml", "k: v # [int->REQ-4]\n");
  project.write("src/target/CMakeLists.txt", "# [impl->REQ-5]\n");
  project.write("src/notes.txt", "[impl->REQ-6]\n");
  project.write("src/README", "[impl->REQ-7]\n");
  project.write("src/e.json", "\xFF not read, so no error\n");
  const std::vector<std::string> expected{
      "parse src/deep/b.PY:2",
      "tag src/.git/d.yml:1 int->REQ-4",
      "tag src/.hidden/c.md:1 doc->REQ-3",
      "tag src/a.rs:1 impl->REQ-1",
      "tag src/deep/b.PY:2 unit->REQ-2",
      "tag src/target/CMakeLists.txt:1 impl->REQ-5",
  };
  EXPECT_EQ(sorted(describe(scan(project, {"src"}))), expected);
}

TEST(ScanTree, RootsAreScannedInListOrderAndOverlapsRepeat) {
  TempProject project;
  project.write("src/a.rs", "// [impl->REQ-1]\n");
  project.write("docs/b.md", "[doc->REQ-1]\n");
  const std::vector<std::string> expected{
      "tag docs/b.md:1 doc->REQ-1",
      "tag src/a.rs:1 impl->REQ-1",
      "tag src/a.rs:1 impl->REQ-1",
  };
  EXPECT_EQ(describe(scan(project, {"docs", "src", "src"})), expected);

  const ScanResult overlapping = scan(project, {".", "src"});
  ASSERT_EQ(overlapping.tags.size(), 3u);
  EXPECT_EQ(overlapping.tags.back().path, "src/a.rs");  // the second root comes last
  EXPECT_EQ(std::count_if(overlapping.tags.begin(), overlapping.tags.end(),
                          [](const Tag& t) { return t.path == "src/a.rs"; }),
            2);
}

TEST(ScanTree, RootThatIsAFileYieldsThatFile) {
  TempProject project;
  project.write("docs/spec.md", "x\n[doc->REQ-9]\n");
  EXPECT_EQ(describe(scan(project, {"docs/spec.md"})),
            std::vector<std::string>{"tag docs/spec.md:2 doc->REQ-9"});
}

TEST(ScanTree, RootWrittenWithDotsGivesPlainPaths) {
  TempProject project;
  project.write("src/a.rs", "// [impl->REQ-1]\n");
  project.write("b/c.rs", "// [impl->REQ-2]\n");
  project.mkdir("a");
  EXPECT_EQ(
      describe(scan(project, {"./src/", "a/../b"})),
      (std::vector<std::string>{"tag src/a.rs:1 impl->REQ-1", "tag a/../b/c.rs:1 impl->REQ-2"}));
}

TEST(ScanTree, MissingRootGivesOneErrorAndTheScanGoesOn) {
  TempProject project;
  project.write("src/a.rs", "// [impl->REQ-1]\n");
  const std::vector<std::string> expected{
      "tag src/a.rs:1 impl->REQ-1",
      "error gone " + io_error(project, "gone",
                               testing::expected_os_text("No such file or directory (os error 2)",
                                                         testing::win32_error::kFileNotFound)),
  };
  EXPECT_EQ(describe(scan(project, {"gone", "src"})), expected);
}

TEST(ScanTree, DirectoryLinksInsideARootAreNotFollowed) {
  TempProject project;
  testing::FileLinks links;
  project.write("outside/real.rs", "// [impl->REQ-1]\n");
  project.mkdir("src");
  if (auto reason =
          links.to_directory(fs::path("..") / "outside", project.path() / "src" / "linked_dir")) {
    GTEST_SKIP() << *reason;
  }
  EXPECT_TRUE(describe(scan(project, {"src"})).empty());
}

TEST(ScanTree, FileLinksInsideARootAreNotRead) {
  TempProject project;
  testing::FileLinks links;
  project.write("outside/real.rs", "// [impl->REQ-1]\n");
  project.write("outside/real.md", "[doc->REQ-2]\n");
  project.mkdir("src");
  for (const auto& [target, link] :
       {std::pair{"../outside/real.rs", "link.rs"}, std::pair{"nowhere.rs", "dangling.rs"}}) {
    if (auto reason = links.to_file(platform::path_from_utf8(target).make_preferred(),
                                    project.path() / "src" / link)) {
      GTEST_SKIP() << *reason;
    }
  }
  EXPECT_TRUE(describe(scan(project, {"src"})).empty());
}

TEST(ScanTree, RootThatLinksToADirectoryIsWalked) {
  TempProject project;
  testing::FileLinks links;
  project.write("outside/real.rs", "// [impl->REQ-1]\n");
  if (auto reason = links.to_directory("outside", project.path() / "alias")) {
    GTEST_SKIP() << *reason;
  }
  EXPECT_EQ(describe(scan(project, {"alias"})),
            std::vector<std::string>{"tag alias/real.rs:1 impl->REQ-1"});
}

TEST(ScanTree, InvalidUtf8ContentIsOneErrorAndNothingElse) {
  TempProject project;
  project.write("src/bad.rs", "// [impl->REQ-1]\n\xC3\x28 // [x->y]\n");
  project.write("src/good.rs", "// [impl->REQ-2]\n");
  EXPECT_EQ(sorted(describe(scan(project, {"src"}))),
            (std::vector<std::string>{"error src/bad.rs stream did not contain valid UTF-8",
                                      "tag src/good.rs:1 impl->REQ-2"}));
}

TEST(ScanTree, InvalidUtf8NamesAreShownWithReplacementCharacters) {
  if (platform::kIsWindows) {
    GTEST_SKIP() << "Windows names are UTF-16 and hold no bytes that are not UTF-8; their "
                    "unpaired surrogates are the Windows form of this (scan_tree_test-win32.cpp)";
  }
  TempProject project;
  project.write("src/bad\xFF/n\xFE.rs", "// [impl->REQ-1]\n");
  // An extension that is not UTF-8 is not selected; the file is never opened.
  project.write("src/x.r\xFF", "\xFF");
  EXPECT_EQ(describe(scan(project, {"src"})),
            std::vector<std::string>{"tag src/bad\xEF\xBF\xBD/n\xEF\xBF\xBD.rs:1 impl->REQ-1"});
}

TEST(ScanTree, CrLfFilesKeepLineNumbersAndTags) {
  TempProject project;
  project.write("a.py", "x = 1  # [impl->REQ-1]\r\n\r\n'''\r\n[doc->REQ-2]\r\n'''\r\n");
  EXPECT_EQ(describe(scan(project, {"a.py"})),
            (std::vector<std::string>{"tag a.py:1 impl->REQ-1", "tag a.py:4 doc->REQ-2"}));
}

TEST(ScanTree, FifoReadsAsEmptyWithoutBlocking) {
  if (auto reason = testing::why_no_fifos()) GTEST_SKIP() << *reason;
  TempProject project;
  project.write("src/a.rs", "// [impl->REQ-1]\n");
  testing::make_fifo(project.path() / "src" / "pipe.rs");
  EXPECT_EQ(describe(scan(project, {"src"})),
            std::vector<std::string>{"tag src/a.rs:1 impl->REQ-1"});
}

TEST(ScanTree, SocketIsAReadError) {
  if (auto reason = testing::why_no_unix_sockets()) GTEST_SKIP() << *reason;
  TempProject project;
  project.mkdir("src");
  const testing::BoundSocket socket(project.path() / "src" / "sock.md");
  EXPECT_EQ(describe(scan(project, {"src"})),
            std::vector<std::string>{"error src/sock.md No such device or address (os error 6)"});
}

TEST(ScanTree, UnreadableEntriesAreErrorsAndTheScanGoesOn) {
  if (auto reason = testing::why_privileges_cannot_be_dropped()) GTEST_SKIP() << *reason;
  TempProject project;
  project.write("src/locked/hidden.rs", "// [impl->REQ-1]\n");
  project.write("src/secret.rs", "// [impl->REQ-2]\n");
  project.write("src/z/open.rs", "// [impl->REQ-3]\n");
  testing::open_to_others(project.path());
  fs::permissions(project.path() / "src/locked", fs::perms::none);
  fs::permissions(project.path() / "src/secret.rs", fs::perms::none);

  const testing::ProbeOutcome outcome = testing::run_without_privileges([&] {
    std::string text;
    for (const std::string& line : describe(scan(project, {"src"}))) text += line + "\n";
    return text;
  });
  ASSERT_TRUE(outcome.ok) << outcome.output;
  const std::string locked_error =
      "error src/locked " + io_error(project, "src/locked", "Permission denied (os error 13)");
  const std::vector<std::string> expected{
      locked_error,
      "error src/secret.rs Permission denied (os error 13)",
      "tag src/z/open.rs:1 impl->REQ-3",
  };
  std::vector<std::string> lines;
  std::string_view rest = outcome.output;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    lines.emplace_back(rest.substr(0, end));
    rest.remove_prefix(end + 1);
  }
  EXPECT_EQ(sorted(lines), expected);
}

}  // namespace
}  // namespace quorvane
