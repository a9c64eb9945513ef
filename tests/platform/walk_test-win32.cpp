#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "helpers/temp_project.hpp"
#include "helpers/windows_fixtures.hpp"
#include "platform/paths.hpp"
#include "platform/walk.hpp"
#include "platform/walk_items.hpp"

namespace quorvane::platform {
namespace {

namespace fs = std::filesystem;
using testing::sorted;
using testing::TempProject;
using testing::walk_items;

// A folder whose name ends in a dot exists only through the verbatim form: by its plain name the
// system drops the dot, and so lists a folder that is not there. That is the one folder that
// cannot be listed which wine can show (it keeps no permissions from the test, which runs as an
// owner of everything).
TEST(WalkTreeOnWindows, FolderThatCannotBeListedIsOneErrorRightAfterItsEntry) {
  TempProject project;
  project.write("tree/a.rs", "");
  project.write("tree/z/b.rs", "");
  const fs::path folder_path = project.path() / "tree" / "x.";
  testing::make_directory(folder_path);
  testing::write_file(folder_path / "inner.rs", "");
  // Removed here by the same form: the project's own removal goes by plain names.
  const struct Removal {
    fs::path folder;
    ~Removal() {
      ::DeleteFileW(testing::verbatim(folder / "inner.rs").c_str());
      ::RemoveDirectoryW(testing::verbatim(folder).c_str());
    }
  } removal{folder_path};
  const std::vector<std::string> items = walk_items(project.path(), project.path() / "tree");
  const std::string error = "! tree/x.: IO error for operation on " + path_bytes(folder_path) +
                            ": " + os_error_text(ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(sorted(items), (std::vector<std::string>{error, "D tree", "D tree/x.", "D tree/z",
                                                     "F tree/a.rs", "F tree/z/b.rs"}));
  const auto folder = std::find(items.begin(), items.end(), "D tree/x.");
  ASSERT_NE(folder, items.end());
  ASSERT_NE(folder + 1, items.end());
  EXPECT_EQ(*(folder + 1), error);
}

TEST(WalkTreeOnWindows, WalksPastMaxPath) {
  TempProject project;
  const fs::path deep = testing::make_long_directory(project.path() / "tree", MAX_PATH + 100);
  testing::write_file(deep / "leaf.rs", "");
  const std::vector<std::string> items = walk_items(project.path(), project.path() / "tree");
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(std::count_if(items.begin(), items.end(),
                          [](const std::string& item) { return item.starts_with("! "); }),
            0)
      << items.back();
  EXPECT_EQ(
      items.back(),
      "F " + path_bytes((deep / "leaf.rs").lexically_relative(project.path()).generic_wstring()));
  EXPECT_GT((deep / "leaf.rs").native().size(), static_cast<std::size_t>(MAX_PATH));
}

TEST(WalkTreeOnWindows, NamesAreUtf8) {
  TempProject project;
  project.write(
      fs::path(L"tree") / path_from_utf8("d\xC3\xA9") / path_from_utf8("\xF0\x9F\x98\x80.md"), "");
  EXPECT_EQ(sorted(walk_items(project.path(), project.path() / "tree")),
            (std::vector<std::string>{"D tree", "D tree/d\xC3\xA9",
                                      "F tree/d\xC3\xA9/\xF0\x9F\x98\x80.md"}));
}

TEST(WalkTreeOnWindows, StartWrittenWithSlashesKeepsItsFormAndAddsBackslashes) {
  TempProject project;
  project.write("tree/sub/a.rs", "");
  const fs::path start = path_from_utf8(path_bytes(project.path()) + "/tree/./sub/");
  std::vector<std::string> paths;
  walk_tree(
      start,
      WalkVisitor{[&](const WalkEntry& entry) { paths.push_back(path_bytes(entry.path)); }, {}});
  EXPECT_EQ(paths, (std::vector<std::string>{path_bytes(start), path_bytes(start) + "a.rs"}));
}

}  // namespace
}  // namespace quorvane::platform
