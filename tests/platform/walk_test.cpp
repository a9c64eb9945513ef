#include "platform/walk.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "helpers/file_links.hpp"
#include "helpers/os_texts.hpp"
#include "helpers/posix_fixtures.hpp"
#include "helpers/temp_project.hpp"
#include "helpers/without_privileges.hpp"
#include "platform/paths.hpp"
#include "platform/system.hpp"
#include "platform/walk_items.hpp"

namespace quorvane::platform {
namespace {

namespace fs = std::filesystem;
using quorvane::testing::sorted;
using quorvane::testing::TempProject;
using quorvane::testing::walk_items;

// The full path of `relative` ("a/b") below `base`, joined the way the walk joins names.
std::string full_path(const fs::path& base, std::string_view relative) {
  return path_bytes(base / path_from_utf8(relative).make_preferred());
}

std::string path_of(const std::string& item) {
  return item.substr(2);
}

// Depth first: every directory's contents come right after it, as one unbroken run.
void expect_depth_first(const std::vector<std::string>& items) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!items[i].starts_with("D ")) continue;
    const std::string prefix = path_of(items[i]) + "/";
    std::size_t inside = 0;
    for (const std::string& item : items) inside += path_of(item).starts_with(prefix) ? 1 : 0;
    for (std::size_t k = 1; k <= inside; ++k) {
      ASSERT_LT(i + k, items.size());
      EXPECT_TRUE(path_of(items[i + k]).starts_with(prefix))
          << items[i + k] << " breaks the run of " << items[i];
    }
  }
}

TEST(WalkTree, VisitsEverythingDepthFirstWithoutFilter) {
  TempProject project;
  project.write("tree/a/x.rs", "");
  project.write("tree/a/b/y", "");
  project.write("tree/a/.git/HEAD", "");
  project.write("tree/.hidden", "");
  project.write("tree/c", "");
  project.mkdir("tree/empty");
  const std::vector<std::string> items = walk_items(project.path(), project.path() / "tree");
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items.front(), "D tree");
  const std::vector<std::string> expected{
      "D tree",         "D tree/a",           "D tree/a/.git", "D tree/a/b",    "D tree/empty",
      "F tree/.hidden", "F tree/a/.git/HEAD", "F tree/a/b/y",  "F tree/a/x.rs", "F tree/c",
  };
  EXPECT_EQ(sorted(items), expected);
  expect_depth_first(items);
}

TEST(WalkTree, DirectoryLinkBelowTheStartIsReportedAndNotFollowed) {
  TempProject project;
  testing::FileLinks links;
  project.write("outside/inner/file", "");
  project.write("tree/file", "");
  if (auto reason =
          links.to_directory(fs::path("..") / "outside", project.path() / "tree" / "dir_link")) {
    GTEST_SKIP() << *reason;
  }
  EXPECT_EQ(sorted(walk_items(project.path(), project.path() / "tree")),
            (std::vector<std::string>{"D tree", "F tree/file", "L tree/dir_link"}));
}

TEST(WalkTree, FileAndDanglingLinksBelowTheStartAreReported) {
  TempProject project;
  testing::FileLinks links;
  project.write("outside/inner/file", "");
  project.mkdir("tree");
  for (const auto& [target, link] :
       {std::pair{"../outside/inner/file", "file_link"}, std::pair{"missing", "dangling"}}) {
    if (auto reason = links.to_file(path_from_utf8(target).make_preferred(),
                                    project.path() / "tree" / link)) {
      GTEST_SKIP() << *reason;
    }
  }
  EXPECT_EQ(sorted(walk_items(project.path(), project.path() / "tree")),
            (std::vector<std::string>{"D tree", "L tree/dangling", "L tree/file_link"}));
}

TEST(WalkTree, FifoBelowTheStartIsAnOtherEntry) {
  if (auto reason = testing::why_no_fifos()) GTEST_SKIP() << *reason;
  TempProject project;
  project.mkdir("tree");
  testing::make_fifo(project.path() / "tree" / "fifo");
  EXPECT_EQ(sorted(walk_items(project.path(), project.path() / "tree")),
            (std::vector<std::string>{"D tree", "F tree/fifo"}));
}

TEST(WalkTree, StartThatLinksToADirectoryIsWalkedUnderItsOwnName) {
  TempProject project;
  testing::FileLinks links;
  project.write("outside/sub/file", "");
  if (auto reason = links.to_directory("outside", project.path() / "alias")) {
    GTEST_SKIP() << *reason;
  }
  const std::vector<std::string> items = walk_items(project.path(), project.path() / "alias");
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items.front(), "L alias");
  EXPECT_EQ(sorted(items),
            (std::vector<std::string>{"D alias/sub", "F alias/sub/file", "L alias"}));
}

struct StartCase {
  const char* name;
  std::vector<std::string> items;
};

TEST(WalkTree, StartsThatAreNoDirectory) {
  TempProject project;
  project.write("file.rs", "");
  const StartCase cases[] = {
      {"file.rs", {"F file.rs"}},
      {"missing",
       {"! missing: IO error for operation on " + full_path(project.path(), "missing") + ": " +
        testing::expected_os_text("No such file or directory (os error 2)",
                                  testing::win32_error::kFileNotFound)}},
      {"file.rs/below",
       {"! file.rs/below: IO error for operation on " + full_path(project.path(), "file.rs/below") +
        ": " +
        testing::expected_os_text("Not a directory (os error 20)",
                                  testing::win32_error::kPathNotFound)}},
  };
  for (const StartCase& c : cases) {
    EXPECT_EQ(walk_items(project.path(), project.path() / path_from_utf8(c.name).make_preferred()),
              c.items)
        << c.name;
  }
}

TEST(WalkTree, StartsThatAreLinksToNoDirectory) {
  TempProject project;
  testing::FileLinks links;
  project.write("file.rs", "");
  for (const auto& [target, link] :
       {std::pair{"file.rs", "file_link"}, std::pair{"nowhere", "dangling"}}) {
    if (auto reason = links.to_file(target, project.path() / link)) {
      GTEST_SKIP() << *reason;
    }
  }
  const StartCase cases[] = {
      {"file_link", {"L file_link"}},
      {"dangling",
       {"! dangling: IO error for operation on " + full_path(project.path(), "dangling") + ": " +
        testing::expected_os_text("No such file or directory (os error 2)",
                                  testing::win32_error::kFileNotFound)}},
  };
  for (const StartCase& c : cases) {
    EXPECT_EQ(walk_items(project.path(), project.path() / c.name), c.items) << c.name;
  }
}

TEST(WalkTree, KeepsFewDirectoriesOpenInDeepTrees) {
  if (auto reason = testing::why_descriptors_cannot_be_limited()) GTEST_SKIP() << *reason;
  TempProject project;
  fs::path deep = "tree";
  constexpr int kDepth = 120;
  for (int i = 0; i < kDepth; ++i) deep /= "d";
  project.write(deep / "leaf.rs", "");

  // Leave room for only a handful of new descriptors while walking.
  std::vector<std::string> items;
  testing::run_with_descriptor_room(
      8, [&] { items = walk_items(project.path(), project.path() / "tree"); });

  ASSERT_EQ(items.size(), static_cast<std::size_t>(kDepth + 2));
  EXPECT_EQ(std::count_if(items.begin(), items.end(),
                          [](const std::string& item) { return item.starts_with("! "); }),
            0);
  EXPECT_EQ(items.back(), "F " + path_bytes(deep / "leaf.rs"));
}

TEST(WalkTree, UnreadableDirectoryIsOneErrorRightAfterItsEntry) {
  if (auto reason = testing::why_privileges_cannot_be_dropped()) GTEST_SKIP() << *reason;
  TempProject project;
  project.write("tree/locked/inner.rs", "");
  project.write("tree/locked/sub/more.rs", "");
  project.write("tree/a.rs", "");
  project.write("tree/z/b.rs", "");
  quorvane::testing::open_to_others(project.path());
  fs::permissions(project.path() / "tree/locked", fs::perms::none);

  const auto outcome = quorvane::testing::run_without_privileges([&] {
    std::string text;
    for (const std::string& item : walk_items(project.path(), project.path() / "tree")) {
      text += item + "\n";
    }
    return text;
  });
  ASSERT_TRUE(outcome.ok) << outcome.output;
  std::vector<std::string> items;
  std::string_view rest = outcome.output;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    items.emplace_back(rest.substr(0, end));
    rest.remove_prefix(end + 1);
  }
  const std::string error = "! tree/locked: IO error for operation on " +
                            full_path(project.path(), "tree/locked") +
                            ": Permission denied (os error 13)";
  EXPECT_EQ(sorted(items), (std::vector<std::string>{error, "D tree", "D tree/locked", "D tree/z",
                                                     "F tree/a.rs", "F tree/z/b.rs"}));
  const auto locked = std::find(items.begin(), items.end(), "D tree/locked");
  ASSERT_NE(locked, items.end());
  ASSERT_NE(locked + 1, items.end());
  EXPECT_EQ(*(locked + 1), error);
}

}  // namespace
}  // namespace quorvane::platform
