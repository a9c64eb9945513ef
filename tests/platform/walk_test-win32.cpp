#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "helpers/temp_project.hpp"
#include "helpers/windows_fixtures.hpp"
#include "platform/files.hpp"
#include "platform/paths.hpp"
#include "platform/walk.hpp"
#include "platform/walk_items.hpp"

namespace quorvane::platform {
namespace {

namespace fs = std::filesystem;
using testing::sorted;
using testing::TempProject;
using testing::walk_items;

// Wine keeps each folder in a Unix one, whose path the Unix calls take only up to PATH_MAX (4096
// bytes): a folder below that depth is listed in its parent but cannot itself be listed. That is
// the folder that cannot be listed which wine can show (it keeps no permissions from the test,
// which runs as an owner of everything). Wine creates no folder there either, so the chain is
// made short and then pushed past the limit by renaming its top folder to a long name.
constexpr std::size_t kUnixPathMax = 4096;

// Renames `from` to `to` for the scope, and back at its end.
class RenamedFor {
 public:
  RenamedFor(fs::path from, fs::path to) : from_(std::move(from)), to_(std::move(to)) {
    if (!::MoveFileW(testing::verbatim(from_).c_str(), testing::verbatim(to_).c_str())) {
      throw testing::windows_failure("MoveFileW");
    }
  }
  ~RenamedFor() { ::MoveFileW(testing::verbatim(to_).c_str(), testing::verbatim(from_).c_str()); }
  RenamedFor(const RenamedFor&) = delete;
  RenamedFor& operator=(const RenamedFor&) = delete;

 private:
  fs::path from_;
  fs::path to_;
};

TEST(WalkTreeOnWindows, FolderThatCannotBeListedIsOneErrorRightAfterItsEntry) {
  TempProject project;
  project.write("tree/a.rs", "");
  project.write("tree/z/b.rs", "");
  const std::optional<std::string> tree_in_unix = testing::wine_unix_name(project.path() / "tree");
  if (!tree_in_unix) {
    GTEST_SKIP() << "only wine shows a folder that cannot be listed to a test that owns "
                    "everything (one too deep for the Unix path limit)";
  }
  // Names of 200 characters, as many as keep the deepest within the limit below "tree/s".
  const std::wstring level(200, L'd');
  const std::size_t levels = (kUnixPathMax - 1 - tree_in_unix->size() - 2) / (level.size() + 1);
  fs::path chain = project.path() / "tree" / "s";
  testing::make_directory(chain);
  for (std::size_t i = 0; i < levels; ++i) {
    chain /= level;
    testing::make_directory(chain);
  }
  // Then "s" renamed so that the deepest lies well past the limit, and its parent well within.
  const std::size_t long_name =
      kUnixPathMax + 50 - tree_in_unix->size() - 1 - levels * (level.size() + 1);
  ASSERT_LE(long_name, std::size_t{255});
  const RenamedFor pushed(project.path() / "tree" / "s",
                          project.path() / "tree" / std::wstring(long_name, L'x'));
  fs::path deepest = project.path() / "tree" / std::wstring(long_name, L'x');
  std::vector<std::string> expected{"D tree", "D tree/z", "F tree/a.rs", "F tree/z/b.rs"};
  std::string relative = "tree/" + std::string(long_name, 'x');
  expected.push_back("D " + relative);
  for (std::size_t i = 0; i < levels; ++i) {
    deepest /= level;
    relative += '/';
    relative += path_bytes(level);
    expected.push_back("D " + relative);
  }
  // The error is the system's own for that listing.
  WIN32_FIND_DATAW data;
  const HANDLE find = ::FindFirstFileW(testing::verbatim(deepest / L"*").c_str(), &data);
  ASSERT_EQ(find, INVALID_HANDLE_VALUE) << "the deepest folder can be listed after all";
  const std::string error = "! " + relative + ": IO error for operation on " + path_bytes(deepest) +
                            ": " + os_error_text(static_cast<int>(::GetLastError()));
  expected.push_back(error);

  const std::vector<std::string> items = walk_items(project.path(), project.path() / "tree");
  EXPECT_EQ(sorted(items), sorted(expected));
  const auto folder = std::find(items.begin(), items.end(), "D " + relative);
  ASSERT_NE(folder, items.end());
  ASSERT_NE(folder + 1, items.end());
  EXPECT_EQ(*(folder + 1), error);
}

// Names that the system would change or refuse if it parsed them again: a trailing dot or space,
// and device names. The walk goes by the names as listed, so each is an entry, each folder is
// walked, and each file opens through the walk's path.
TEST(WalkTreeOnWindows, ListedNamesAreWalkedAndOpenedAsListed) {
  TempProject project;
  const fs::path tree = project.path() / "tree";
  testing::make_directory(tree);
  for (const wchar_t* folder : {L"d ", L"e.", L"lpt1", L"aux"}) {
    testing::make_directory(tree / folder);
    testing::write_file(tree / folder / L"in.rs", "x");
  }
  for (const wchar_t* file : {L"con.rs", L"nul.md", L"aux.py", L"f.rs.", L"g.rs "}) {
    testing::write_file(tree / file, "x");
  }
  std::vector<std::string> items;
  std::vector<std::string> unread;
  walk_tree(tree, WalkVisitor{[&](const WalkEntry& entry) {
                                items.push_back(
                                    path_bytes(fs::path(entry.path).lexically_relative(tree)));
                                if (entry.type != EntryType::Other) return;
                                if (const auto text = read_utf8_file(open_path(entry));
                                    !text || text.value() != "x") {
                                  unread.push_back(path_bytes(entry.path));
                                }
                              },
                              [&](const WalkError& error) { items.push_back(error.message); }});
  EXPECT_EQ(sorted(items), (std::vector<std::string>{".", "aux", "aux.py", "aux\\in.rs", "con.rs",
                                                     "d ", "d \\in.rs", "e.", "e.\\in.rs", "f.rs.",
                                                     "g.rs ", "lpt1", "lpt1\\in.rs", "nul.md"}));
  EXPECT_EQ(unread, std::vector<std::string>{});
}

// The start's names as written: the system drops no trailing space from them.
TEST(WalkTreeOnWindows, StartNamesAreTakenAsWritten) {
  TempProject project;
  testing::make_directory(project.path() / L"d ");
  testing::write_file(project.path() / L"d " / L"a.rs", "");
  const fs::path start = project.path() / L"d ";
  EXPECT_EQ(walk_items(project.path(), start), (std::vector<std::string>{"D d ", "F d /a.rs"}));
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
