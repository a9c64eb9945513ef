#include "platform/directory_listing.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/os_texts.hpp"
#include "helpers/temp_project.hpp"
#include "platform/os_error.hpp"
#include "platform/paths.hpp"
#include "platform/walk_items.hpp"

namespace quorvane::platform {
namespace {

using quorvane::testing::sorted;
using quorvane::testing::TempProject;

// The listed entries as "D name", "L name" or "F name".
std::vector<std::string> items_of(const DirectoryEntries& listed) {
  std::vector<std::string> items;
  for (const ListedEntry& entry : listed.entries) {
    EXPECT_EQ(entry.error, 0);
    const char* mark = entry.type == EntryType::Directory ? "D "
                       : entry.type == EntryType::Symlink ? "L "
                                                          : "F ";
    std::string scratch;
    const NativePath name = listed.names.substr(entry.name_start, entry.name_size);
    items.push_back(mark + std::string(path_bytes(name, scratch)));
  }
  return items;
}

TEST(ListDirectory, GivesEachEntryButDotAndDotDotWithItsOwnType) {
  TempProject project;
  project.write("dir/file.rs", "");
  project.write("dir/.hidden", "");
  project.write("dir/sub/inner.rs", "");
  project.write(path_from_utf8("dir/caf\xC3\xA9.md"), "");
  DirectoryEntries listed;
  ASSERT_EQ(list_directory((project.path() / "dir").native(), listed), 0);
  EXPECT_EQ(sorted(items_of(listed)),
            (std::vector<std::string>{"D sub", "F .hidden", "F caf\xC3\xA9.md", "F file.rs"}));
}

TEST(ListDirectory, ADirectoryThatIsNotThereIsTheSystemsErrorWithNoEntries) {
  TempProject project;
  DirectoryEntries listed;
  const int error = list_directory((project.path() / "missing").native(), listed);
  EXPECT_EQ(os_error_text(error),
            testing::expected_os_text("No such file or directory (os error 2)",
                                      testing::win32_error::kPathNotFound));
  EXPECT_TRUE(listed.entries.empty());
}

}  // namespace
}  // namespace quorvane::platform
