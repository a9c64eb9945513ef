#include "platform/walk.hpp"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "helpers/temp_project.hpp"
#include "helpers/without_privileges.hpp"

namespace quorvane::platform {
namespace {

namespace fs = std::filesystem;
using quorvane::testing::TempProject;

// One walk item as text: "D a/b", "L a/link", "F a/x.rs" for entries (directory, link, other),
// "! a/b: message" for errors; paths relative to the project, the start itself as ".".
std::vector<std::string> walk_items(const fs::path& project, const fs::path& start) {
  std::vector<std::string> items;
  const auto relative = [&](const fs::path& path) {
    const std::string full = path.native();
    const std::string base = project.native();
    if (full == base) return std::string(".");
    return full.starts_with(base + "/") ? full.substr(base.size() + 1) : full;
  };
  walk_tree(start, WalkVisitor{[&](const WalkEntry& entry) {
                                 const char* mark = entry.type == EntryType::Directory ? "D "
                                                    : entry.type == EntryType::Symlink ? "L "
                                                                                       : "F ";
                                 items.push_back(mark + relative(entry.path));
                               },
                               [&](const WalkError& error) {
                                 items.push_back("! " + (error.path ? relative(*error.path) : "-") +
                                                 ": " + error.message);
                               }});
  return items;
}

std::vector<std::string> sorted(std::vector<std::string> items) {
  std::sort(items.begin(), items.end());
  return items;
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

TEST(WalkTree, LinksBelowTheStartAreReportedAndNotFollowed) {
  TempProject project;
  project.write("outside/inner/file", "");
  project.mkdir("tree");
  fs::create_directory_symlink("../outside", project.path() / "tree/dir_link");
  fs::create_symlink("../outside/inner/file", project.path() / "tree/file_link");
  fs::create_symlink("missing", project.path() / "tree/dangling");
  ASSERT_EQ(::mkfifo((project.path() / "tree/fifo").c_str(), 0644), 0);
  EXPECT_EQ(sorted(walk_items(project.path(), project.path() / "tree")),
            (std::vector<std::string>{"D tree", "F tree/fifo", "L tree/dangling", "L tree/dir_link",
                                      "L tree/file_link"}));
}

TEST(WalkTree, StartThatLinksToADirectoryIsWalkedUnderItsOwnName) {
  TempProject project;
  project.write("outside/sub/file", "");
  fs::create_directory_symlink("outside", project.path() / "alias");
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
  fs::create_symlink("file.rs", project.path() / "file_link");
  fs::create_symlink("nowhere", project.path() / "dangling");
  const std::string root = project.path().string();
  const StartCase cases[] = {
      {"file.rs", {"F file.rs"}},
      {"file_link", {"L file_link"}},
      {"missing",
       {"! missing: IO error for operation on " + root +
        "/missing: No such file or directory (os error 2)"}},
      {"dangling",
       {"! dangling: IO error for operation on " + root +
        "/dangling: No such file or directory (os error 2)"}},
      {"file.rs/below",
       {"! file.rs/below: IO error for operation on " + root +
        "/file.rs/below: Not a directory (os error 20)"}},
  };
  for (const StartCase& c : cases) {
    EXPECT_EQ(walk_items(project.path(), project.path() / c.name), c.items) << c.name;
  }
}

TEST(WalkTree, KeepsFewDirectoriesOpenInDeepTrees) {
  TempProject project;
  fs::path deep = "tree";
  constexpr int kDepth = 120;
  for (int i = 0; i < kDepth; ++i) deep /= "d";
  project.write(deep / "leaf.rs", "");

  // Leave room for only a handful of new descriptors while walking.
  const int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(probe, 0);
  ::close(probe);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(probe + 8);
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
  const std::vector<std::string> items = walk_items(project.path(), project.path() / "tree");
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);

  ASSERT_EQ(items.size(), static_cast<std::size_t>(kDepth + 2));
  EXPECT_EQ(std::count_if(items.begin(), items.end(),
                          [](const std::string& item) { return item.starts_with("! "); }),
            0);
  EXPECT_EQ(items.back(), "F " + (deep / "leaf.rs").string());
}

TEST(WalkTree, UnreadableDirectoryIsOneErrorRightAfterItsEntry) {
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
                            (project.path() / "tree/locked").string() +
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
